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

# ppr_test_fixture(NAME SOURCES ... LIBS ... [OBJECT]): code shared by several test executables, built
# once as a library of its own. OBJECT for a fixture that registers itself (a global test environment):
# its objects are then linked whole into each test that links it directly, used symbol or not.
function(ppr_test_fixture name)
  cmake_parse_arguments(ARG "OBJECT" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_OBJECT)
    add_library(${name} OBJECT ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} ppr_testsupport GTest::gtest)
  target_compile_definitions(${name} PRIVATE PPR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             PPR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  ppr_warnings(${name})
endfunction()
