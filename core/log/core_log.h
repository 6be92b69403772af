// The core's diagnostic lines: written to the process's standard output or standard
// error, as the host's console shows them.
#pragma once

#include <string_view>

namespace kestrun {

void logOut(std::string_view line);
void logErr(std::string_view line);

}  // namespace kestrun
