// The workstation program as a user ends it: every way out, with the add-in's web panel
// open and with it never opened, ends the process with exit status 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "window_close.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

enum class WayOut { CloseWindow, QuitAfterDraw, Terminate, Interrupt, QuitDuringPausedDraw };

struct Case {
  WayOut way;
  bool panel;
};

std::string Name(const ::testing::TestParamInfo<Case>& info);

void PrintTo(const Case& c, std::ostream* os) {
  *os << Name({c, 0});
}

std::string Name(const ::testing::TestParamInfo<Case>& info) {
  static const char* const kWays[] = {"CloseWindow", "QuitAfterDraw", "Terminate", "Interrupt",
                                      "QuitDuringPausedDraw"};
  return std::string(kWays[static_cast<int>(info.param.way)]) +
         (info.param.panel ? "WithPanel" : "WithoutPanel");
}

// Removes what it can: the browser engine may still be writing its own files there.
void RemoveTree(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::remove_all(path, error);
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class WorkstationExit : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tolvane-exit-" + std::to_string(getpid()) + "-" + Name({GetParam(), 0}));
    RemoveTree(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    RemoveTree(dir_);
  }

  void Start(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {WORKSTATION_BIN, "--report-startup"};
    args.insert(args.end(), extra.begin(), extra.end());
    const std::string out = (dir_ / "stdout.txt").string();
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      setenv("XDG_STATE_HOME", dir_.c_str(), 1);
      // The panel's browser profile lives in the temporary folder: one of its own per run.
      setenv("TMPDIR", dir_.c_str(), 1);
      unsetenv("TOLVANE_AUTO_OPEN_PANEL");
      if (!freopen(out.c_str(), "w", stdout)) _exit(120);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  // Whether `text` shows up in the file before the deadline (and the process still runs).
  bool WaitForText(const std::filesystem::path& file, const std::string& text,
                   std::chrono::seconds limit = 120s) {
    for (const auto end = Clock::now() + limit; Clock::now() < end;) {
      if (ReadAll(file).find(text) != std::string::npos) return true;
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = 0;
        return false;
      }
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }
  std::filesystem::path Stdout() const { return dir_ / "stdout.txt"; }
  std::filesystem::path LogFolder() const { return dir_ / "tolvane" / "debug"; }
  bool LogHas(const std::string& text) const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(LogFolder(), error))
      if (ReadAll(entry.path()).find(text) != std::string::npos) return true;
    return false;
  }
  // Waits until the panel's page is being loaded by the browser engine.
  bool WaitForPanel() {
    for (const auto end = Clock::now() + 120s; Clock::now() < end;) {
      if (LogHas("Win32WebView2PanelWindow::NavigateStarted")) {
        // Let the engine start its page and renderer before the way out.
        std::this_thread::sleep_for(2s);
        return true;
      }
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }
  // The exit status text: "exit N", "signal N" or "running".
  std::string Finish(std::chrono::seconds limit = 90s) {
    for (const auto end = Clock::now() + limit; pid_ > 0 && Clock::now() < end;) {
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = 0;
      } else {
        std::this_thread::sleep_for(50ms);
      }
    }
    if (pid_ > 0) return "running";
    if (WIFEXITED(status_)) return "exit " + std::to_string(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_)) return "signal " + std::to_string(WTERMSIG(status_));
    return "unknown";
  }

  std::filesystem::path dir_;
  pid_t pid_ = 0;
  int status_ = 0;
};

TEST_P(WorkstationExit, EndsWithStatusZero) {
  const Case c = GetParam();
  std::vector<std::string> args;
  if (c.panel) args = {"--frontend", CONSOLE_URL, "--open-panel"};
  if (c.way == WayOut::QuitAfterDraw) args.push_back("--quit-after-draw");
  if (c.way == WayOut::QuitDuringPausedDraw) {
    // Eighteen items shown for 3 s each: the quit comes within the first pause.
    args.insert(args.end(), {"--open", EXAMPLES_DIR "/flanged_bracket.json", "--delay-ms", "3000"});
  }
  Start(args);
  ASSERT_TRUE(WaitForText(Stdout(), "\"startupSeconds\"")) << Finish();
  if (c.panel) {
    ASSERT_TRUE(WaitForPanel()) << Finish();
  }
  switch (c.way) {
    case WayOut::CloseWindow:
      ASSERT_GE(CloseWindowsOf(pid_), 1);
      break;
    case WayOut::QuitAfterDraw:
      break;
    case WayOut::Terminate:
    case WayOut::QuitDuringPausedDraw:
      ASSERT_EQ(kill(pid_, SIGTERM), 0);
      break;
    case WayOut::Interrupt:
      ASSERT_EQ(kill(pid_, SIGINT), 0);
      break;
  }
  EXPECT_EQ(Finish(), "exit 0") << ReadAll(Stdout());
  if (c.way == WayOut::QuitDuringPausedDraw) {
    // The draw saw the quit and stopped: it did not finish its eighteen items.
    const std::string out = ReadAll(Stdout());
    EXPECT_NE(out.find("{\"status\":2,"), std::string::npos) << out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllWaysOut, WorkstationExit,
    ::testing::Values(Case{WayOut::CloseWindow, false}, Case{WayOut::CloseWindow, true},
                      Case{WayOut::QuitAfterDraw, false}, Case{WayOut::QuitAfterDraw, true},
                      Case{WayOut::Terminate, false}, Case{WayOut::Terminate, true},
                      Case{WayOut::Interrupt, false}, Case{WayOut::Interrupt, true},
                      Case{WayOut::QuitDuringPausedDraw, false},
                      Case{WayOut::QuitDuringPausedDraw, true}),
    Name);

}  // namespace
