# On Windows: the portable rules and parsers, and the system services through the Win32 API
# (under Wine in CI).
add_executable(platform_win32_tests
  encoding_and_paths_test.cpp
  registry_test.cpp
  win32/win32_automation_test.cpp
  win32/win32_registry_test.cpp
  win32/win32_services_test.cpp
)
target_link_libraries(platform_win32_tests PRIVATE tolvane_platform GTest::gtest_main GTest::gmock
                      ole32 oleaut32)
target_include_directories(platform_win32_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win32)
target_compile_definitions(platform_win32_tests PRIVATE
  PLATFORM_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
tolvane_warnings(platform_win32_tests)
tolvane_windows_tests(platform_win32_tests)
