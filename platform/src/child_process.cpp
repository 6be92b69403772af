#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The spawn attributes: a new process group, and the default action for the signals a
// parent may have set to be ignored or caught.
bool initAttributes(posix_spawnattr_t& attr) {
  if (posix_spawnattr_init(&attr) != 0) return false;
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGINT, SIGTERM, SIGPIPE, SIGCHLD, SIGHUP, SIGQUIT}) sigaddset(&defaults, s);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  return posix_spawnattr_setflags(
             &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
}

bool initFileActions(posix_spawn_file_actions_t& actions, const std::string& out,
                     const std::string& err) {
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  const int flags = O_WRONLY | O_CREAT | O_TRUNC;
  return posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
         posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(),
                                          flags, 0644) == 0 &&
         posix_spawn_file_actions_addopen(&actions, 2, err.empty() ? "/dev/null" : err.c_str(),
                                          flags, 0644) == 0;
}

// Names the starting process to its child, which ends with it when it asks to
// (EndWithParentIfAsked): a parent killed outright cannot stop its children itself.
constexpr char kParentVariable[] = "TOLVANE_END_WITH_PARENT";

// The environment of a child: this process's, with the parent variable set to this process.
std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> variables;
  const std::string prefix = std::string(kParentVariable) + "=";
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0) variables.emplace_back(*entry);
  }
  variables.push_back(prefix + std::to_string(::getpid()));
  return variables;
}

volatile sig_atomic_t stopRequested = 0;

extern "C" void noteStop(int) {
  stopRequested = 1;
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ <= 0) return;
  killGroup();
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}

bool ChildProcess::start(const std::vector<std::string>& argv, const std::string& stdoutPath,
                         const std::string& stderrPath, std::string* error) {
  if (pid_ > 0 || argv.empty()) {
    if (error) *error = pid_ > 0 ? "a child is already running" : "no program given";
    return false;
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  int rc = EINVAL;
  const bool attrOk = initAttributes(attr);
  const bool actionsOk = initFileActions(actions, stdoutPath, stderrPath);
  pid_t pid = -1;
  const std::vector<std::string> environment = ChildEnvironment();
  std::vector<char*> variables;
  for (const std::string& variable : environment) {
    variables.push_back(const_cast<char*>(variable.c_str()));
  }
  variables.push_back(nullptr);
  if (attrOk && actionsOk) {
    rc = posix_spawn(&pid, args[0], &actions, &attr, args.data(), variables.data());
  }
  if (attrOk) posix_spawnattr_destroy(&attr);
  if (actionsOk) posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    if (error) *error = std::string("cannot start ") + argv[0] + ": " + std::strerror(rc);
    return false;
  }
  pid_ = pid;
  startNs_ = monotonicNs();
  return true;
}

bool ChildProcess::poll(ChildOutcome& outcome) {
  if (pid_ <= 0) return false;
  int status = 0;
  rusage usage{};
  pid_t done;
  do {
    done = wait4(pid_, &status, WNOHANG, &usage);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return false;
  outcome = ChildOutcome{};
  outcome.seconds = secondsRunning();
  if (done == pid_) {
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.peakMemoryKiB = static_cast<uint64_t>(usage.ru_maxrss);  // KiB on Linux
  }
  pid_ = -1;
  return true;
}

void ChildProcess::killGroup() {
  if (pid_ > 0) ::kill(-pid_, SIGKILL);
}

double ChildProcess::secondsRunning() const {
  return startNs_ != 0 ? double(monotonicNs() - startNs_) / 1e9 : 0.0;
}

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return size > 0 ? std::string(path, static_cast<size_t>(size)) : std::string();
}

void EndWithParentIfAsked() {
  const char* value = std::getenv(kParentVariable);
  if (value == nullptr) return;
  const long parent = std::strtol(value, nullptr, 10);
  ::unsetenv(kParentVariable);
  if (parent <= 0) return;
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have ended before the request was made.
  if (::getppid() != static_cast<pid_t>(parent)) ::_exit(128 + SIGKILL);
}

void WatchForStopSignals() {
  struct sigaction action {};
  action.sa_handler = noteStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
  return stopRequested != 0;
}

}  // namespace platform
