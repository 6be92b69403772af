// The whole vantrel command line: `replay`, `replay --session`, `config`, and its help.
#pragma once

namespace vantrel {

// Runs the command `argv` names and returns the process's exit status.
int RunVantrelCommand(int argc, char** argv);

}  // namespace vantrel
