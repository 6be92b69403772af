// The whole kestrun command line: `draw`, `check` and `validate`, their help and exit statuses.
#pragma once

namespace kestrun_app {

// Runs the command `argv` names and returns the process's exit status.
int runKestrun(int argc, char** argv);

}  // namespace kestrun_app
