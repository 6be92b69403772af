# On Windows: the protocol's own tests, and the processor and STEP insertion through the system
# (under Wine in CI). The test program sits beside Vantrel.dll, with Kestrun.dll in Fennick\bin\.
add_executable(transfer_win32_tests
  base64_step_test.cpp
  demo_schema_test.cpp
  field_readers_test.cpp
  protocol_test_support.cpp
  transfer_end_test.cpp
  transfer_limits_test.cpp
  transfer_packets_test.cpp
  win32/win32_processor_test.cpp
)
target_link_libraries(transfer_win32_tests PRIVATE vantrel_processor tolvane_null_host
                      GTest::gtest_main GTest::gmock)
target_include_directories(transfer_win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/transfer/src)
target_compile_definitions(transfer_win32_tests PRIVATE
  TRANSFER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
add_dependencies(transfer_win32_tests Kestrun Vantrel)
tolvane_warnings(transfer_win32_tests)
# Two cases are POSIX only (the temporary folder from TMPDIR, owner-only file modes); the
# Windows file rules are checked in win32_processor_test.cpp and the platform's own tests.
tolvane_windows_tests(transfer_win32_tests --gtest_filter=-Base64StepTest.WritesTheDecodedChunksIntoAnOwnerOnlyFileAndDeletesIt:Base64StepTest.AFolderThatCannotTakeTheFileFailsCleanly)
