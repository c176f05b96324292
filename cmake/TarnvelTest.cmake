# tarnvel_add_test(<name> SOURCES <files...> [LABELS <labels...>])
# Builds one GoogleTest program against the program's library and the test
# support code, and registers its tests with CTest under the given labels.
include(GoogleTest)

function(tarnvel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarnvel_core tarnvel_test_support GTest::gtest_main
    tarnvel_warnings)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}")
endfunction()
