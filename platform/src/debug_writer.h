#pragma once

#include <string_view>

namespace platform {

// Sends text to the system's debugger output stream as it is.
void WriteDebugText(std::string_view text);

}  // namespace platform
