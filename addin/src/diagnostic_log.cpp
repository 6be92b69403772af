#include "vantrel/diagnostic_log.h"

#include <cstdio>
#include <deque>
#include <memory>

#include "platform/debug_output.h"
#include "platform/directories.h"
#include "platform/lock.h"
#include "platform/process.h"
#include "platform/windows_path.h"

namespace vantrel {
namespace {

constexpr size_t kMaxPrefixChars = 255;

const char* LevelWord(LogLevel level) {
  switch (level) {
    case kLogWarn:
      return "WARN";
    case kLogError:
      return "ERROR";
    default:
      return "INFO";
  }
}

std::string StripTrailingSeparators(std::string_view folder) {
  std::string out(folder);
  while (out.size() > platform::kPathRootLength && (out.back() == '/' || out.back() == '\\')) {
    out.pop_back();
  }
  return out;
}

// Only the clock override needs its own lock: it is read outside the log's lock.
platform::Lock g_clockLock;
std::function<platform::LocalTime()> g_clock;

}  // namespace

struct DiagnosticLog::State {
  platform::Lock lock;
  std::string folder;
  bool folderSet = false;
  std::deque<std::string> pending;
};

DiagnosticLog& DiagnosticLog::Instance() {
  static DiagnosticLog log;
  return log;
}

DiagnosticLog::State& DiagnosticLog::state() {
  // Created on first use and released with the module.
  static State state;
  return state;
}

void DiagnosticLog::SetClockForTesting(std::function<platform::LocalTime()> clock) {
  platform::LockGuard guard(g_clockLock);
  g_clock = std::move(clock);
}

platform::LocalTime DiagnosticLog::Now() {
  {
    platform::LockGuard guard(g_clockLock);
    if (g_clock) return g_clock();
  }
  return platform::NowLocal();
}

void DiagnosticLog::AppendToDailyFile(const std::string& line) {
  const State& s = state();
  if (!EnsureDirectoryTree(s.folder)) return;
  std::FILE* file = std::fopen(DailyLogFilePath(s.folder).c_str(), "a");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

void DiagnosticLog::Write(LogLevel level, const char* component, std::string_view message) {
  std::string line = FormatLogLine(level, component, message);
  platform::DebugOutput(line);
  platform::DebugOutput("\n");
  State& s = state();
  platform::LockGuard guard(s.lock);
  if (!s.folderSet) {
    if (s.pending.size() < kMaxPendingLines) s.pending.push_back(std::move(line));
    return;
  }
  AppendToDailyFile(line);
}

void DiagnosticLog::SetFolder(std::string_view folder) {
  State& s = state();
  platform::LockGuard guard(s.lock);
  s.folder = StripTrailingSeparators(folder);
  s.folderSet = !s.folder.empty();
  if (!s.folderSet) return;
  for (const std::string& line : s.pending) AppendToDailyFile(line);
  s.pending.clear();
}

std::string DiagnosticLog::Folder() {
  State& s = state();
  platform::LockGuard guard(s.lock);
  return s.folder;
}

size_t DiagnosticLog::PendingCount() {
  State& s = state();
  platform::LockGuard guard(s.lock);
  return s.pending.size();
}

void DiagnosticLog::ResetForTesting() {
  State& s = state();
  platform::LockGuard guard(s.lock);
  s.folder.clear();
  s.folderSet = false;
  s.pending.clear();
}

std::string FormatLogLine(LogLevel level, const char* component, std::string_view message) {
  platform::LocalTime t = DiagnosticLog::Now();
  const char* name = component != nullptr && component[0] != '\0' ? component : "plugin";
  char prefix[kMaxPrefixChars + 1];
  int length =
      std::snprintf(prefix, sizeof prefix,
                    "%04u-%02u-%02u %02u:%02u:%02u.%03u level=%s component=%s pid=%lu "
                    "tid=%lu message=",
                    t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond,
                    LevelWord(level), name, static_cast<unsigned long>(platform::ProcessId()),
                    static_cast<unsigned long>(platform::ThreadId()));
  std::string line(prefix, length < 0 ? 0 : std::min<size_t>(length, kMaxPrefixChars));
  size_t start = line.size();
  line.append(message);
  for (size_t i = start; i < line.size(); ++i) {
    if (line[i] == '\r' || line[i] == '\n' || line[i] == '\t') line[i] = ' ';
  }
  return line;
}

std::string DailyLogFilePath(std::string_view folder) {
  platform::LocalTime t = DiagnosticLog::Now();
  char name[32];
  std::snprintf(name, sizeof name, "%04u-%02u-%02u.log", t.year, t.month, t.day);
  std::string path = StripTrailingSeparators(folder);
  if (path.empty() || path.back() != platform::kPathSeparator)
    path.push_back(platform::kPathSeparator);
  return path + name;
}

bool EnsureDirectoryTree(std::string_view path) {
  if (path.empty()) return false;
  std::string text(path);
  if (platform::kPathSeparator == '\\') text = platform::winpath::ToBackslashes(text);
  // Each level is created in turn; a level that already exists is no failure.
  for (size_t i = platform::kPathRootLength; i < text.size(); ++i) {
    if (text[i] == platform::kPathSeparator) platform::CreateDirectory(text.substr(0, i));
  }
  platform::CreateDirectory(text);
  return platform::IsDirectory(text);
}

void WriteLog(LogLevel level, const char* component, std::string_view message) {
  try {
    DiagnosticLog::Instance().Write(level, component, message);
  } catch (...) {
    // The log never fails its caller; an allocation failure loses this one line.
  }
}

void SetLogFolder(std::string_view folder) {
  try {
    DiagnosticLog::Instance().SetFolder(folder);
  } catch (...) {
  }
}

}  // namespace vantrel
