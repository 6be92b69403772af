// Text encodings: UTF-8 checks and conversions from Windows-1252 and UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);
// Each byte read as Windows-1252; the five unassigned bytes map to the C1 controls of the same
// value, as the host's conversion does.
std::string Windows1252ToUtf8(std::string_view text);
void AppendUtf8(uint32_t codePoint, std::string& out);
// UTF-16LE bytes (odd trailing byte ignored) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
// Text of the system's ANSI code page to UTF-8: the active code page on Windows,
// Windows-1252 elsewhere.
std::string AnsiToUtf8(std::string_view text);

}  // namespace platform
