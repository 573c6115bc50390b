# ppr_add_test(NAME SOURCES ... LIBS ... [GUI]): one GoogleTest executable registered with CTest.
# Every test runs headless: Qt's offscreen platform, no desktop opener, a recorder for message boxes.
function(ppr_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main ppr_testsupport)
  ppr_warnings(${name})
  target_compile_definitions(${name} PRIVATE PPR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             PPR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PPR_OPEN_COMMAND=true;ASAN_OPTIONS=detect_leaks=1")
endfunction()
