#include <windows.h>

#include <string>

#include "platform/text_encoding.h"
#include "wide_text.h"

namespace platform {

// Through UTF-16, as the system converts text of its active ANSI code page.
std::string AnsiToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int count = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(static_cast<size_t>(count), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), count);
  return win32::Narrow(wide);
}

}  // namespace platform
