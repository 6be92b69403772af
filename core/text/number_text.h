// Numbers in log lines and messages, written as the standard stream writes a double.
#pragma once

#include <string>

namespace kestrun {

// `value` in the stream's default format: at most six significant digits (12.5, 1e+06).
std::string num(double value);

}  // namespace kestrun
