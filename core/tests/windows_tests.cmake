# On Windows: the core against the null adapter, linked without occt_host.
add_executable(core_null_host_tests null_host_draw_test.cpp)
target_include_directories(core_null_host_tests PRIVATE ${PROJECT_SOURCE_DIR}/core)
target_link_libraries(core_null_host_tests PRIVATE kestrun_core tolvane_null_host GTest::gtest_main)
tolvane_warnings(core_null_host_tests)
tolvane_windows_tests(core_null_host_tests)
