// The whole workstation command line: options, the session, the add-in, the draw on start.
#pragma once

namespace desktop {

// Runs the desktop session as `argv` asks and returns the process's exit status.
int runWorkstation(int argc, char** argv);

}  // namespace desktop
