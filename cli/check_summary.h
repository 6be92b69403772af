// One row per file of a `kestrun check` batch: what its child process did, read from its
// report (or its result record), and the batch summary written as CSV and JSON.
#pragma once

#include <string>
#include <vector>

#include "platform/child_process.h"

namespace kestrun_app {

// What the parent saw of one child.
struct ChildRun {
  platform::ChildOutcome outcome;
  bool timedOut = false;
  double timeoutSeconds = 0;
  std::string startError;  // the child could not be started
  std::string resultText;  // its standard output: the result record
  std::string reportText;  // its report file
};

struct FileRow {
  std::string file;
  std::string report;  // the report's path inside the report folder, empty when none
  // "ok", "warnings", "failed", "crashed", "timedOut", "unreadable", "notWritten"
  std::string status;
  long long items = -1, built = -1, failed = -1;  // -1: not known
  long long warned = -1, skipped = -1, neverReached = -1, noEffect = -1, unsupported = -1;
  bool fallback = false, empty = false;  // the fallback cylinder; an empty item list
  double seconds = 0;
  unsigned long long peakMemoryKiB = 0;
  double volume = -1;  // -1: not known
  std::string message;
  // The first item that failed, else the first that did not simply build, and what its
  // report says of it.
  std::string firstItem, firstItemMessage;
};

// `report` is the report's path as the summary names it; dropped when the child left none.
FileRow classify(const std::string& file, const std::string& report, const ChildRun& run);

// True for the rows a batch counts as succeeded.
bool succeeded(const FileRow& row);

struct BatchInfo {
  int jobs = 1;
  double timeoutSeconds = 0;
  double seconds = 0;
};

// Writes summary.csv and summary.json into `dir`; false with a reason when it cannot.
bool writeSummary(const std::string& dir, const std::vector<FileRow>& rows, const BatchInfo& batch,
                  std::string* error);

}  // namespace kestrun_app
