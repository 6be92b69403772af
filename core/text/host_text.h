// JSON text to host text: UTF-8 when the bytes are valid UTF-8, else the system's
// ANSI code page (Windows-1252 here), converted to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kestrun {

std::string toHostText(std::string_view jsonText);

}  // namespace kestrun
