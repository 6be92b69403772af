// What the command shows on standard error while it draws: by default one progress line
// (on a terminal) and a closing summary; the core's info lines with -v, all its lines with
// -vv. The whole log still goes to the --log file when one is given.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/report_writer.h"
#include "kestrun/kestrun.h"

namespace kestrun_app {

class Progress {
 public:
  // `terminal`: whether `err` is a terminal, where the progress line is drawn in place.
  // `log`: the --log file, or null.
  Progress(std::FILE* err, bool terminal, int verbosity, std::FILE* log);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Sends the core's log lines and report events here (with this as context); the items'
  // volumes are measured and faces and edges listed only for a report file (`report`).
  void install(bool report);
  void uninstall();

  // One of the core's log lines: whole to the log file, to standard error by verbosity.
  void logLine(std::string_view line);
  void reportEvent(std::int32_t event, const MardelItemReport& item);

  const ReportCollector& collector() const { return collector_; }
  ReportCollector& collector() { return collector_; }
  double elapsed() const;
  // Clears the progress line and writes the summary with the failed items.
  void finish(const ReportSummary& summary, const MardelImportResult& result);

  static void logSink(void* context, std::int32_t level, const char* text, std::uint64_t size);
  static void reportSink(void* context, std::int32_t event, const MardelItemReport* item);

 private:
  bool shows(std::string_view line) const;
  void draw(bool force);
  void clearLine();
  void showUnbuilt(const ReportSummary& summary);

  std::FILE* err_;
  bool terminal_;
  int verbosity_;
  std::FILE* log_;
  ReportCollector collector_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
  bool lineShown_ = false;
  std::uint32_t done_ = 0, total_ = 0;
  std::string current_;
};

}  // namespace kestrun_app
