# tarnvel_add_test(<name> SOURCES <files...> [LABELS <labels...>] [SLOW <filter>])
# Builds one GoogleTest program against the program's library and the test
# support code, and registers its tests with CTest under the given labels;
# the tests that the GoogleTest filter SLOW names (the exhaustive
# comparisons) get the label "slow" instead, which the sanitizer presets
# leave out.
include(GoogleTest)

function(tarnvel_add_test name)
  cmake_parse_arguments(ARG "" "SLOW" "SOURCES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarnvel_core tarnvel_test_support GTest::gtest_main
    tarnvel_warnings)
  if(ARG_SLOW)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "-${ARG_SLOW}"
      PROPERTIES LABELS "${ARG_LABELS}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "${ARG_SLOW}"
      PROPERTIES LABELS slow)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
