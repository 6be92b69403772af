// Child processes: exit codes and signals as they happened, output in files, the whole
// process group stopped at once, and the peak memory the kernel measured.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/child_process.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Polls for at most ten seconds.
bool waitFor(platform::ChildProcess& child, platform::ChildOutcome& outcome) {
  for (int i = 0; i < 1000; ++i) {
    if (child.poll(outcome)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Gone, or a zombie waiting for whoever adopted it: in either case it runs no more.
bool processEnded(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

class ChildProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("platform_child_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  bool run(const std::string& script, platform::ChildOutcome& outcome) {
    std::string error;
    if (!child.start({"/bin/sh", "-c", script}, (dir / "out").string(), (dir / "err").string(),
                     &error)) {
      ADD_FAILURE() << error;
      return false;
    }
    return waitFor(child, outcome);
  }

  fs::path dir;
  platform::ChildProcess child;
};

TEST_F(ChildProcessTest, ExitCodeAndOutputFiles) {
  platform::ChildOutcome outcome;
  ASSERT_TRUE(run("echo out; echo err >&2; exit 3", outcome));
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(outcome.signal, 0);
  EXPECT_EQ(readFile(dir / "out"), "out\n");
  EXPECT_EQ(readFile(dir / "err"), "err\n");
  EXPECT_FALSE(child.running());
}

TEST_F(ChildProcessTest, CrashIsReportedWithItsSignal) {
  platform::ChildOutcome outcome;
  ASSERT_TRUE(run("kill -SEGV $$", outcome));
  EXPECT_FALSE(outcome.exited);
  EXPECT_EQ(outcome.signal, SIGSEGV);
}

TEST_F(ChildProcessTest, KillingTheGroupStopsWhatTheChildStarted) {
  std::string error;
  const fs::path pidFile = dir / "grandchild";
  ASSERT_TRUE(child.start({"/bin/sh", "-c", "sleep 30 & echo $! > " + pidFile.string() + "; wait"},
                          "", "", &error))
      << error;
  platform::ChildOutcome outcome;
  for (int i = 0; i < 500 && readFile(pidFile).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const pid_t grandchild = std::stoi(readFile(pidFile));
  EXPECT_FALSE(child.poll(outcome));
  child.killGroup();
  ASSERT_TRUE(waitFor(child, outcome));
  EXPECT_FALSE(outcome.exited);
  EXPECT_EQ(outcome.signal, SIGKILL);
  for (int i = 0; i < 500 && !processEnded(grandchild); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(processEnded(grandchild));
}

TEST_F(ChildProcessTest, PeakMemoryIsMeasuredForTheChild) {
  platform::ChildOutcome big;
  // The shell keeps 25 MB of text in a variable: its resident set passes 24,000 KiB.
  ASSERT_TRUE(run("x=$(head -c 25000000 /dev/zero | tr '\\0' a); exit 0", big));
  EXPECT_EQ(big.exitCode, 0);
  EXPECT_GT(big.peakMemoryKiB, 24000u);
  // Linux keeps the larger of the child's peak and the starting process's size at the
  // start, so a tiny child shows about this test's own size: still 20 MB below the big one.
  platform::ChildProcess small;
  platform::ChildOutcome tiny;
  std::string error;
  ASSERT_TRUE(small.start({"/bin/true"}, "", "", &error)) << error;
  ASSERT_TRUE(waitFor(small, tiny));
  EXPECT_GT(tiny.peakMemoryKiB, 0u);
  EXPECT_LT(tiny.peakMemoryKiB + 20000, big.peakMemoryKiB);
}

TEST_F(ChildProcessTest, MissingProgramAndSecondStartAreRefused) {
  std::string error;
  EXPECT_FALSE(child.start({(dir / "no_such_program").string()}, "", "", &error));
  EXPECT_NE(error.find("cannot start"), std::string::npos);
  EXPECT_FALSE(child.start({}, "", "", &error));
  ASSERT_TRUE(child.start({"/bin/sleep", "30"}, "", "", &error)) << error;
  EXPECT_FALSE(child.start({"/bin/true"}, "", "", &error));
  EXPECT_EQ(error, "a child is already running");
}

TEST_F(ChildProcessTest, DestroyingARunningChildLeavesNoProcessBehind) {
  pid_t pid = 0;
  {
    platform::ChildProcess sleeper;
    std::string error;
    ASSERT_TRUE(sleeper.start({"/bin/sleep", "30"}, "", "", &error)) << error;
    pid = sleeper.pid();
  }
  // Reaped by the destructor: the id no longer names a process of ours.
  EXPECT_TRUE(processEnded(pid));
}

TEST_F(ChildProcessTest, ExecutablePathIsThisProgram) {
  EXPECT_EQ(fs::path(platform::ExecutablePath()).filename(), "platform_tests");
}

}  // namespace
