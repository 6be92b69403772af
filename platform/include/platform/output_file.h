// Output files checked before any work is spent on writing them.
#pragma once

#include <string>

namespace platform {

// Checks, before a writer spends any work on it, that `path` can be written as a file:
// opens it for writing the way the writer will (made when missing, never truncated) and
// closes it again. False with the system's reason (its error text) in `reason`. `created`
// says whether this call made the file, so that a write that fails afterwards can take it
// away again instead of leaving an empty file that looks like a result.
bool ProbeOutputFile(const std::string& path, bool& created, std::string& reason);

}  // namespace platform
