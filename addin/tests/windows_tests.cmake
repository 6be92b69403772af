# On Windows: the log's own tests, and the configuration, log folder and panel window through
# the system (under Wine in CI).
add_executable(addin_win32_tests
  diagnostic_log_test.cpp
  log_test_support.cpp
  win32/win32_addin_test.cpp
)
target_link_libraries(addin_win32_tests PRIVATE vantrel_addin GTest::gtest_main GTest::gmock)
target_include_directories(addin_win32_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                           ${PROJECT_SOURCE_DIR}/platform/tests/win32)
tolvane_warnings(addin_win32_tests)
# The debugger output is OutputDebugString here, not standard error, and file paths take
# backslashes: those two cases have Windows versions in win32_addin_test.cpp.
tolvane_windows_tests(addin_win32_tests --gtest_filter=-DiagnosticLogTest.DailyFilePathDropsTrailingSeparators:DiagnosticLogTest.At256PendingLinesFurtherLinesOnlyReachTheDebugger)
