// Text at the Win32 boundary: the platform's interfaces carry UTF-8, the system's wide API
// takes and gives UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Invalid UTF-8 becomes U+FFFD, as the system's conversion makes it.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// The system's message for an error number, without its line end.
std::string ErrorText(unsigned long error);

}  // namespace platform::win32
