#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "log_test_support.h"
#include "platform/debug_output.h"
#include "platform/directories.h"
#include "vantrel/diagnostic_log.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

class DiagnosticLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    DiagnosticLog::Instance().ResetForTesting();
    now_ = FixedTime(2026, 3, 4, 5, 6, 7, 89);
    DiagnosticLog::SetClockForTesting([this] { return now_; });
    dir_ = MakeTempDir();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    DiagnosticLog::SetClockForTesting(nullptr);
    DiagnosticLog::Instance().ResetForTesting();
    RemoveTree(dir_);
    platform::SetDebugOutputEnabled(true);
  }
  std::string TodayFile(const std::string& folder) { return folder + "/2026-03-04.log"; }

  platform::LocalTime now_;
  std::string dir_;
};

}  // namespace

TEST_F(DiagnosticLogTest, LineFormatIsExact) {
  std::string prefix = ExpectedPrefix(now_, "INFO", "runtime.config");
  EXPECT_EQ(prefix.substr(0, 40), "2026-03-04 05:06:07.089 level=INFO compo");
  EXPECT_EQ(FormatLogLine(kLogInfo, "runtime.config", "config X source=default value="),
            prefix + "config X source=default value=");
  EXPECT_EQ(FormatLogLine(kLogWarn, "webview.protocol", "m"),
            ExpectedPrefix(now_, "WARN", "webview.protocol") + "m");
  EXPECT_EQ(FormatLogLine(kLogError, "webview.protocol", ""),
            ExpectedPrefix(now_, "ERROR", "webview.protocol"));
}

TEST_F(DiagnosticLogTest, MissingComponentAndUnknownLevelFallBack) {
  EXPECT_EQ(FormatLogLine(kLogInfo, nullptr, "a"), ExpectedPrefix(now_, "INFO", "plugin") + "a");
  EXPECT_EQ(FormatLogLine(kLogInfo, "", "a"), ExpectedPrefix(now_, "INFO", "plugin") + "a");
  EXPECT_EQ(FormatLogLine(7, "c", "a"), ExpectedPrefix(now_, "INFO", "c") + "a");
}

TEST_F(DiagnosticLogTest, LineBreaksAndTabsBecomeSpaces) {
  EXPECT_EQ(FormatLogLine(kLogInfo, "c", "x\r\ny\tz"),
            ExpectedPrefix(now_, "INFO", "c") + "x  y z");
}

TEST_F(DiagnosticLogTest, PrefixIsCutAt255Characters) {
  std::string component(400, 'k');
  std::string line = FormatLogLine(kLogInfo, component.c_str(), "MSG");
  EXPECT_EQ(line.size(), 255u + 3u);
  EXPECT_EQ(line.substr(255), "MSG");
  EXPECT_EQ(line.substr(0, 255), ExpectedPrefix(now_, "INFO", component.c_str()).substr(0, 255));
}

TEST_F(DiagnosticLogTest, DailyFilePathDropsTrailingSeparators) {
  EXPECT_EQ(DailyLogFilePath("/var/logs//"), "/var/logs/2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("/var/logs\\"), "/var/logs/2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("/"), "/2026-03-04.log");
  EXPECT_EQ(DailyLogFilePath("logs"), "logs/2026-03-04.log");
}

TEST_F(DiagnosticLogTest, PendingLinesReachTheFileInOrderWhenTheFolderArrives) {
  WriteLog(kLogInfo, "plugin.addin", "first");
  WriteLog(kLogWarn, "webview", "second");
  SetLogFolder("");
  EXPECT_EQ(DiagnosticLog::Instance().PendingCount(), 2u);  // empty folder keeps them
  EXPECT_FALSE(platform::FileExists(TodayFile(dir_)));
  SetLogFolder(dir_ + "//");
  EXPECT_EQ(DiagnosticLog::Instance().Folder(), dir_);
  WriteLog(kLogError, "webview.protocol", "third");
  std::vector<std::string> lines = ReadLines(TodayFile(dir_));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(MaskLine(lines[0]), "TIME level=INFO component=plugin.addin pid=P tid=T message=first");
  EXPECT_EQ(MaskLine(lines[1]), "TIME level=WARN component=webview pid=P tid=T message=second");
  EXPECT_EQ(lines[2], ExpectedPrefix(now_, "ERROR", "webview.protocol") + "third");
}

TEST_F(DiagnosticLogTest, At256PendingLinesFurtherLinesOnlyReachTheDebugger) {
  platform::SetDebugOutputEnabled(true);
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 300; ++i) WriteLog(kLogInfo, "c", "line " + std::to_string(i));
  std::string debugger = ::testing::internal::GetCapturedStderr();
  platform::SetDebugOutputEnabled(false);
  EXPECT_EQ(std::count(debugger.begin(), debugger.end(), '\n'), 300);
  EXPECT_NE(debugger.find("message=line 299\n"), std::string::npos);
  SetLogFolder(dir_);
  std::vector<std::string> lines = ReadLines(TodayFile(dir_));
  ASSERT_EQ(lines.size(), 256u);
  EXPECT_EQ(MaskLine(lines[0]), "TIME level=INFO component=c pid=P tid=T message=line 0");
  EXPECT_EQ(MaskLine(lines[255]), "TIME level=INFO component=c pid=P tid=T message=line 255");
  EXPECT_EQ(DiagnosticLog::Instance().PendingCount(), 0u);
}

TEST_F(DiagnosticLogTest, MissingParentFoldersAreCreatedLevelByLevel) {
  std::string deep = dir_ + "/a/b/c";
  SetLogFolder(deep);
  WriteLog(kLogInfo, "c", "deep");
  EXPECT_TRUE(platform::IsDirectory(dir_ + "/a/b"));
  EXPECT_EQ(ReadLines(TodayFile(deep)).size(), 1u);
}

TEST_F(DiagnosticLogTest, UnusableFolderLosesLinesSilently) {
  std::string file = dir_ + "/plain-file";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  WriteLog(kLogInfo, "c", "pending");
  SetLogFolder(file + "/logs");
  WriteLog(kLogInfo, "c", "after");
  EXPECT_EQ(DiagnosticLog::Instance().PendingCount(), 0u);  // discarded, not kept
  EXPECT_FALSE(EnsureDirectoryTree(file + "/logs"));
  EXPECT_FALSE(EnsureDirectoryTree(""));
  EXPECT_TRUE(EnsureDirectoryTree(dir_ + "/x/y/"));
}

TEST_F(DiagnosticLogTest, MidnightStartsTheNextDaysFile) {
  SetLogFolder(dir_);
  now_ = FixedTime(2026, 12, 31, 23, 59, 59, 999);
  WriteLog(kLogInfo, "c", "old day");
  now_ = FixedTime(2027, 1, 1, 0, 0, 0, 0);
  WriteLog(kLogInfo, "c", "new day");
  std::vector<std::string> before = ReadLines(dir_ + "/2026-12-31.log");
  std::vector<std::string> after = ReadLines(dir_ + "/2027-01-01.log");
  ASSERT_EQ(before.size(), 1u);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(before[0].substr(0, 23), "2026-12-31 23:59:59.999");
  EXPECT_EQ(after[0].substr(0, 23), "2027-01-01 00:00:00.000");
}

TEST_F(DiagnosticLogTest, ConcurrentWritersNeverTearOrLoseLines) {
  SetLogFolder(dir_);
  constexpr int kThreads = 8;
  constexpr int kLines = 400;
  std::string filler(300, 'f');
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &filler] {
      for (int i = 0; i < kLines; ++i) {
        WriteLog(kLogInfo, "thread",
                 "t=" + std::to_string(t) + " i=" + std::to_string(i) + " " + filler + " end");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::vector<std::string> lines = ReadLines(TodayFile(dir_));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
  std::set<std::string> seen;
  for (const std::string& line : lines) {
    std::string masked = MaskLine(line);
    ASSERT_EQ(masked.rfind("TIME level=INFO component=thread pid=P tid=T message=t=", 0), 0u)
        << line;
    ASSERT_EQ(masked.substr(masked.size() - filler.size() - 4), filler + " end");
    seen.insert(masked);
  }
  EXPECT_EQ(seen.size(), lines.size());
}
