#include <windows.h>

#include "platform/module_path.h"
#include "wide_text.h"

namespace platform {

std::optional<std::string> ModulePathOf(const void* address) {
  if (address == nullptr) return std::nullopt;
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!::GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module)) return std::nullopt;
  // Long paths exist; the buffer grows until the name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return win32::Narrow(path);
    }
    if (path.size() >= 32768) return std::nullopt;
    path.resize(path.size() * 2);
  }
}

}  // namespace platform
