#include "cli/check_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "check_summary.h"
#include "platform/child_process.h"
#include "platform/directories.h"

namespace kestrun_app {
namespace {

namespace fs = std::filesystem;

const char* const kCheckUsage =
    "Usage: kestrun check DIR|FILE... --report-dir OUT [--jobs N] [--timeout S] [--mode N]\n"
    "\n"
    "Draws each part file (every *.json directly inside a DIR, and each FILE) with\n"
    "'kestrun draw FILE --report ...' in a child process of its own, so that a crash or\n"
    "a hang stops only that file. Writes OUT/summary.csv and OUT/summary.json (one row per\n"
    "file: status, items built and failed, seconds, peak memory, volume, items warned,\n"
    "skipped, never reached, without effect and unsupported, and the first failing item\n"
    "with its message), each file's report in OUT/reports/ and its standard output and\n"
    "error in OUT/logs/.\n"
    "Status: ok, warnings (the import warned, or built less than asked: an item warned,\n"
    "without effect, unsupported, skipped or never reached, the fallback cylinder, an\n"
    "empty item list), failed (the import failed), unreadable (not readable or not\n"
    "JSON), crashed (the child died), timedOut (stopped at the time limit), notWritten\n"
    "(drawn, but its report or result could not be written).\n"
    "Exit status: 0 when every file is ok or has warnings, 1 otherwise, 64 usage error.\n"
    "\n"
    "Options:\n"
    "  --report-dir OUT  folder for the summary and the reports (created; required)\n"
    "  --jobs N          files drawn at the same time (default: the number of processors)\n"
    "  --timeout S       seconds a file may take before it is stopped (default 600)\n"
    "  --mode N          0 tell parts from products as the add-in does (default),\n"
    "                    1 draw every file as a part, 2 as a product\n";

constexpr int kUsageError = 64;
constexpr int kMaxJobs = 256;
constexpr std::uintmax_t kMaxReportBytes = 256u << 20;

struct CheckArguments {
  std::vector<std::string> inputs;
  std::string reportDir;
  int jobs = 0;
  double timeoutSeconds = 600;
  std::string mode = "0";
};

bool parsePositive(const char* text, double limit, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(out) && out > 0 && out <= limit;
}

bool parseCheckArguments(int argc, char** argv, CheckArguments& args) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    double number = 0;
    const bool hasValue = i + 1 < argc;
    if (arg == "--report-dir" && hasValue) {
      args.reportDir = argv[++i];
    } else if (arg == "--jobs" && hasValue && parsePositive(argv[i + 1], kMaxJobs, number) &&
               number == std::floor(number)) {
      args.jobs = static_cast<int>(number);
      ++i;
    } else if (arg == "--timeout" && hasValue && parsePositive(argv[i + 1], 1e6, number)) {
      args.timeoutSeconds = number;
      ++i;
    } else if (arg == "--mode" && hasValue && std::strlen(argv[i + 1]) == 1 &&
               std::strchr("012", argv[i + 1][0]) != nullptr) {
      args.mode = argv[++i];
    } else if (arg.rfind("--", 0) == 0) {
      std::cerr << "kestrun check: bad option or value: " << arg << "\n";
      return false;
    } else {
      args.inputs.push_back(arg);
    }
  }
  if (args.reportDir.empty()) std::cerr << "kestrun check: --report-dir OUT is required\n";
  if (args.inputs.empty()) std::cerr << "kestrun check: no DIR or FILE given\n";
  if (args.jobs == 0) args.jobs = std::clamp<int>(std::thread::hardware_concurrency(), 1, 64);
  return !args.reportDir.empty() && !args.inputs.empty();
}

// Every *.json directly inside a folder, by name; any other argument as it is, so that a
// missing file gets its row ("unreadable") instead of vanishing from the batch.
std::vector<std::string> gatherFiles(const std::vector<std::string>& inputs) {
  std::vector<std::string> files;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (!fs::is_directory(input, ec)) {
      files.push_back(input);
      continue;
    }
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(input, ec)) {
      if (!entry.is_directory(ec) && entry.path().extension() == ".json")
        found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// A report name per file from its own name; numbered when two files share one.
std::vector<std::string> reportNames(const std::vector<std::string>& files) {
  std::set<std::string> taken;
  std::vector<std::string> names;
  for (const std::string& file : files) {
    std::string stem = fs::path(file).stem().string();
    if (stem.empty() || stem == "." || stem == "..") stem = "file";
    std::string name = stem;
    for (int n = 2; !taken.insert(name).second; ++n) name = stem + "-" + std::to_string(n);
    names.push_back(name);
  }
  return names;
}

std::string readBounded(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec || size > kMaxReportBytes) return "";
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Job {
  size_t index = 0;
  platform::ChildProcess child;
  ChildRun run;
  bool killed = false;
};

class Batch {
 public:
  Batch(const CheckArguments& args, std::vector<std::string> files)
      : args_(args), files_(std::move(files)), names_(reportNames(files_)), rows_(files_.size()) {}

  bool run();
  const std::vector<FileRow>& rows() const { return rows_; }

 private:
  std::string reportPath(size_t i) const {
    return args_.reportDir + "/reports/" + names_[i] + ".json";
  }
  std::string logPath(size_t i, const char* suffix) const {
    return args_.reportDir + "/logs/" + names_[i] + suffix;
  }
  void start(size_t index);
  void finish(Job& job);
  bool tend();

  CheckArguments args_;
  std::vector<std::string> files_;
  std::vector<std::string> names_;
  std::vector<FileRow> rows_;
  std::vector<std::unique_ptr<Job>> running_;
  std::string self_ = platform::ExecutablePath();
  size_t done_ = 0;
};

void Batch::start(size_t index) {
  auto job = std::make_unique<Job>();
  job->index = index;
  job->run.timeoutSeconds = args_.timeoutSeconds;
  // A report left by an earlier batch in the same folder must not pass for this one's.
  platform::RemoveFile(reportPath(index));
  const std::vector<std::string> argv = {
      self_, "draw", files_[index], "--report", reportPath(index), "--mode", args_.mode};
  if (!job->child.start(argv, logPath(index, ".out.json"), logPath(index, ".log"),
                        &job->run.startError)) {
    finish(*job);
    return;
  }
  running_.push_back(std::move(job));
}

void Batch::finish(Job& job) {
  const size_t i = job.index;
  if (job.run.startError.empty() && job.run.outcome.exited) {
    job.run.resultText = readBounded(logPath(i, ".out.json"));
    job.run.reportText = readBounded(reportPath(i));
  }
  rows_[i] = classify(files_[i], "reports/" + names_[i] + ".json", job.run);
  ++done_;
  std::cerr << "[" << done_ << "/" << files_.size() << "] " << files_[i] << ": " << rows_[i].status
            << "\n";
}

// Reaps the children that ended and stops those past their time; true when any ended.
bool Batch::tend() {
  bool any = false;
  for (auto it = running_.begin(); it != running_.end();) {
    Job& job = **it;
    if (job.child.poll(job.run.outcome)) {
      finish(job);
      it = running_.erase(it);
      any = true;
      continue;
    }
    if (!job.killed && job.child.secondsRunning() >= args_.timeoutSeconds) {
      job.child.killGroup();
      job.killed = job.run.timedOut = true;
    }
    ++it;
  }
  return any;
}

bool Batch::run() {
  size_t next = 0;
  while (next < files_.size() || !running_.empty()) {
    if (platform::StopRequested()) {
      running_.clear();  // each child's group is killed and reaped
      return false;
    }
    while (running_.size() < static_cast<size_t>(args_.jobs) && next < files_.size()) start(next++);
    if (!tend()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace

int runCheck(int argc, char** argv) {
  if (argc >= 3 && (std::string(argv[2]) == "--help" || std::string(argv[2]) == "-h")) {
    std::cout << kCheckUsage;
    return 0;
  }
  CheckArguments args;
  if (!parseCheckArguments(argc, argv, args)) {
    std::cerr << kCheckUsage;
    return kUsageError;
  }
  if (!platform::CreateDirectoryTree(args.reportDir + "/reports") ||
      !platform::CreateDirectoryTree(args.reportDir + "/logs")) {
    std::cerr << "kestrun check: cannot create " << args.reportDir << "\n";
    return kUsageError;
  }
  const auto began = std::chrono::steady_clock::now();
  platform::WatchForStopSignals();
  Batch batch(args, gatherFiles(args.inputs));
  if (!batch.run()) {
    std::cerr << "kestrun check: stopped; no summary written\n";
    return 130;
  }
  BatchInfo info{args.jobs, args.timeoutSeconds,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count()};
  std::string error;
  if (!writeSummary(args.reportDir, batch.rows(), info, &error)) {
    std::cerr << "kestrun check: " << error << "\n";
    return 1;
  }
  const auto& rows = batch.rows();
  const auto good = std::count_if(rows.begin(), rows.end(), succeeded);
  std::cerr << "kestrun check: " << good << " of " << rows.size() << " files succeeded; summary in "
            << args.reportDir << "/summary.csv\n";
  return good == static_cast<long>(rows.size()) ? 0 : 1;
}

}  // namespace kestrun_app
