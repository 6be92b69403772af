// Running another program as a child process: in a process group of its own, so that it
// and whatever it starts can be stopped together, with its resource use once it ends.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ChildOutcome {
  bool exited = false;  // ended by exit(); otherwise by `signal`
  int exitCode = -1;
  int signal = 0;
  double seconds = 0;          // from start to end, wall clock
  uint64_t peakMemoryKiB = 0;  // largest resident set the child reached
};

class ChildProcess {
 public:
  ChildProcess() = default;
  // A child still running is killed with its group and reaped: none is left behind.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (a path) with standard input from /dev/null and standard output and
  // error written to the given files (created or truncated; empty means /dev/null).
  // False with a reason in `error` when the program could not be started.
  bool start(const std::vector<std::string>& argv, const std::string& stdoutPath,
             const std::string& stderrPath, std::string* error);

  // True once the child has ended, with `outcome` filled; never blocks.
  bool poll(ChildOutcome& outcome);

  // Kills the child's whole process group at once (SIGKILL); poll() then reaps it.
  void killGroup();

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // Since the start, while running; the run's length once it has ended.
  double secondsRunning() const;

 private:
  pid_t pid_ = -1;
  int64_t startNs_ = 0;
};

// The running program's own file, to start another copy of it.
std::string ExecutablePath();

// In a program started through ChildProcess: ties its life to the parent's, so that it is
// killed when the parent ends, even by SIGKILL. Does nothing in a program started otherwise.
void EndWithParentIfAsked();

// After WatchForStopSignals(), SIGINT and SIGTERM no longer end the process but make
// StopRequested() true, so that a parent can stop its children before it leaves.
void WatchForStopSignals();
bool StopRequested();

}  // namespace platform
