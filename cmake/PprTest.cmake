# ppr_add_test(NAME SOURCES ... LIBS ... [GUI] [TIMEOUT seconds]): one GoogleTest executable registered with CTest.
# Every test runs headless: the test main (tests/support/TestMain.cpp) puts Qt on its offscreen platform,
# sets the desktop opener to "true" and sends message boxes to stderr, unless the environment says else.
function(ppr_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ppr_testsupport GTest::gtest)
  ppr_warnings(${name})
  target_compile_definitions(${name} PRIVATE PPR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             PPR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # A test that skips itself (a tool such as LibreOffice missing) shows as skipped in CTest, not passed.
  set(properties SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  if(ARG_TIMEOUT)
    list(APPEND properties TIMEOUT ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
