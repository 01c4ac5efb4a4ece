# Native unit tests: one GoogleTest program from tests/<module>/*_test.cpp, with the reference
# implementations and picture helpers of tests/support.

# The tooltip composer draws the pictures that the reader's tests and benchmarks read, natively
# and in the Windows tests.
add_subdirectory(tools/compose)

find_package(GTest QUIET)
if(NOT GTest_FOUND OR CMAKE_CROSSCOMPILING)
  return()
endif()
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS
  tests/base/*_test.cpp tests/reader/*_test.cpp tests/calc/*_test.cpp tests/app/*_test.cpp tests/cli/*_test.cpp
  tests/support/*.cpp)
if(NOT TARGET tallywick_cli_lib)
  list(FILTER TEST_SOURCES EXCLUDE REGEX "/tests/cli/")
endif()
add_executable(tallywick_tests ${TEST_SOURCES})
target_include_directories(tallywick_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tallywick_tests PRIVATE tallywick_glyphs tallywick_compose GTest::gtest GTest::gtest_main)
if(TARGET tallywick_cli_lib)
  target_link_libraries(tallywick_tests PRIVATE tallywick_cli_lib)
endif()
target_compile_definitions(tallywick_tests PRIVATE TALLYWICK_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
# GoogleTest's header is read by every test file; reading it once saves most of the build's time.
target_precompile_headers(tallywick_tests PRIVATE <gtest/gtest.h> <string> <vector>)
include(GoogleTest)
gtest_discover_tests(tallywick_tests DISCOVERY_TIMEOUT 60)
