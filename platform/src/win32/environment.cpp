#include <windows.h>

#include "platform/environment.h"
#include "wide_text.h"

namespace platform {

std::optional<std::string> GetEnv(const std::string& name) {
  if (name.empty()) return std::nullopt;
  const std::wstring wideName = win32::Widen(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length =
        ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    // Zero is an unset variable, or one set to the empty text when no error is left.
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < value.size()) {
      value.resize(length);
      return win32::Narrow(value);
    }
    value.assign(length, L'\0');  // too small: `length` counts the terminator
  }
}

bool SetEnv(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  return ::SetEnvironmentVariableW(win32::Widen(name).c_str(), win32::Widen(value).c_str()) != 0;
}

bool UnsetEnv(const std::string& name) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  return ::SetEnvironmentVariableW(win32::Widen(name).c_str(), nullptr) != 0 ||
         ::GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace platform
