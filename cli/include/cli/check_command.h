// kestrun check: draws many part files, each in a child process of its own, and writes
// one summary of the batch (CSV and JSON) beside each file's report.
#pragma once

namespace kestrun_app {

// argv[1] is "check". Returns 0 when every file succeeded, 1 otherwise, 64 for a usage error.
int runCheck(int argc, char** argv);

}  // namespace kestrun_app
