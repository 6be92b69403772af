// The debugger output stream, and the switch that turns it off.
#pragma once

#include <string_view>

namespace platform {

// The debugger output stream: OutputDebugString on Windows, standard error elsewhere. It is on
// unless switched off by SetDebugOutputEnabled(false) or by TOLVANE_DEBUG_OUTPUT=0/off/false in the
// environment.
void DebugOutput(std::string_view text);
void SetDebugOutputEnabled(bool enabled);
bool DebugOutputEnabled();

}  // namespace platform
