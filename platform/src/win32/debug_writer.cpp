#include <windows.h>

#include "../debug_writer.h"
#include "wide_text.h"

namespace platform {

void WriteDebugText(std::string_view text) {
  if (text.empty()) return;
  const std::wstring wide = win32::Widen(text);
  ::OutputDebugStringW(wide.c_str());
}

}  // namespace platform
