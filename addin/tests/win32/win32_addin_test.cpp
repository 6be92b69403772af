// The add-in's configuration and log on Windows: the installation found through the system's
// registry (its uninstall entry in the 32-bit view) and the daily log in the ProgramData
// folder.
#include <gtest/gtest.h>

#include <fstream>

#include "log_test_support.h"
#include "platform/debug_output.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "platform/windows_path.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"
#include "win32_test_support.h"

namespace {

using namespace vantrel;
using namespace vantrel::testing;

// Its address names this test program, the module that holds the add-in's code here.
const char kAnchor = 0;

std::string ThisFolder() {
  return platform::winpath::ParentFolder(*platform::ModulePathOf(&kAnchor));
}

std::string Today() {
  const platform::LocalTime t = platform::NowLocal();
  char name[32];
  std::snprintf(name, sizeof name, "%04u-%02u-%02u.log", t.year, t.month, t.day);
  return name;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

class Win32Addin : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    DiagnosticLog::Instance().ResetForTesting();
    ResetRegistrySelectionForTesting();
    programData_ = platform::GetEnv("ProgramData").value_or("");
    ASSERT_FALSE(programData_.empty());
    logFile_ = programData_ + "\\Vexmoor\\Tolvane\\debug\\" + Today();
    platform::RemoveFile(logFile_);
  }
  void TearDown() override {
    ResetRegistrySelectionForTesting();
    DiagnosticLog::Instance().ResetForTesting();
    platform::RemoveFile(logFile_);
    platform::SetDebugOutputEnabled(true);
  }
  std::string programData_;
  std::string logFile_;
};

// Two installations hold this program's folder: the one whose uninstall entry is in the 32-bit
// view is selected; the other one's entry sits in the 64-bit view, where it is not looked for.
TEST_F(Win32Addin, TheInstallationIsFoundThroughThe32BitUninstallEntry) {
  const std::string folder = win32_test::RegString(ThisFolder());
  ASSERT_TRUE(win32_test::ImportRegistryText(
      "[HKEY_LOCAL_MACHINE\\Software\\Vexmoor\\Tolvane\\Wine32\\x64]\r\n"
      "\"TOLVANE_ICON_NAME\"=\"IconFromRegistry\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Vexmoor\\Tolvane\\Wine64\\x64]\r\n"
      "\"TOLVANE_ICON_NAME\"=\"WrongInstallation\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
      "Tolvane-Wine32-x64]\r\n\"InstallLocation\"=\"" +
      folder +
      "\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
      "Tolvane-Wine64-x64]\r\n\"InstallLocation\"=\"" +
      folder + "\"\r\n"));
  const RuntimeConfig config = LoadRuntimeConfig();
  EXPECT_EQ(config.iconName, "IconFromRegistry");
  EXPECT_EQ(SelectRegistryKey(), "Software\\Vexmoor\\Tolvane\\Wine32\\x64");
  const std::vector<std::string> lines = ReadLines(logFile_);
  EXPECT_TRUE(Contains(lines, "registry selection matched Wine32-x64 at " + ThisFolder()));
  EXPECT_TRUE(Contains(lines, "config TOLVANE_ICON_NAME source=registry value=IconFromRegistry"));
}

TEST_F(Win32Addin, TheDailyLogLandsInTheProgramDataFolder) {
  const RuntimeConfig config = LoadRuntimeConfig();
  EXPECT_EQ(config.debugLogFolder, programData_ + "\\Vexmoor\\Tolvane\\debug");
  WriteLog(kLogWarn, "plugin.addin", "written on Windows");
  const std::vector<std::string> lines = ReadLines(logFile_);
  ASSERT_FALSE(lines.empty()) << logFile_;
  EXPECT_TRUE(Contains(lines, "config TOLVANE_DEBUG_LOG_PATH source=default value=" + programData_ +
                                  "\\Vexmoor\\Tolvane\\debug"));
  EXPECT_TRUE(Contains(
      lines, "level=WARN component=plugin.addin pid=" + std::to_string(::GetCurrentProcessId()) +
                 " tid=" + std::to_string(::GetCurrentThreadId()) + " message=written on Windows"));
}

TEST(Win32DailyLog, FilePathTakesABackslashAndDropsTrailingSeparators) {
  DiagnosticLog::SetClockForTesting([] { return FixedTime(2026, 3, 4, 5, 6, 7, 89); });
  EXPECT_EQ(DailyLogFilePath("D:\\logs\\\\"), "D:\\logs\\2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("D:/logs/"), "D:/logs\\2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("C:\\"), "C:\\2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("logs"), "logs\\2026-03-04.log");
  DiagnosticLog::SetClockForTesting(nullptr);
}

// A folder given with forward slashes is made level by level with backslashes.
TEST(Win32DailyLog, ForwardSlashFoldersAreCreated) {
  const std::string dir = MakeTempDir();
  ASSERT_FALSE(dir.empty());
  std::string forward = dir + "/a/b/c";
  EXPECT_TRUE(EnsureDirectoryTree(forward));
  EXPECT_TRUE(platform::IsDirectory(dir + "\\a\\b\\c"));
  RemoveTree(dir);
}

}  // namespace
