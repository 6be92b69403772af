// The add-in's diagnostic log: levels and the one process-wide writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace vantrel {

using LogLevel = uint32_t;
inline constexpr LogLevel kLogInfo = 0;
inline constexpr LogLevel kLogWarn = 1;
inline constexpr LogLevel kLogError = 2;

// The add-in's process-wide log: every line goes to the debugger output at once and to a daily
// file in the log folder; lines written before the folder is known wait in memory (at most
// kMaxPendingLines). Never fails towards its caller and never throws.
void WriteLog(LogLevel level, const char* component, std::string_view message);
void SetLogFolder(std::string_view folder);

// The one formatted line (no line end) for a message written now by this thread.
std::string FormatLogLine(LogLevel level, const char* component, std::string_view message);
// folder (trailing separators removed) + separator + "YYYY-MM-DD.log" for today's date.
std::string DailyLogFilePath(std::string_view folder);
// Creates every missing level of `path`; true when it is a directory afterwards.
bool EnsureDirectoryTree(std::string_view path);

class DiagnosticLog {
 public:
  static constexpr size_t kMaxPendingLines = 256;

  static DiagnosticLog& Instance();

  void Write(LogLevel level, const char* component, std::string_view message);
  void SetFolder(std::string_view folder);
  std::string Folder();
  size_t PendingCount();

  // Tests replace the clock and start from a fresh state.
  static void SetClockForTesting(std::function<platform::LocalTime()> clock);
  static platform::LocalTime Now();
  void ResetForTesting();

 private:
  DiagnosticLog() = default;
  void AppendToDailyFile(const std::string& line);

  struct State;
  State& state();
};

}  // namespace vantrel
