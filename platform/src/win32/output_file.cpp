#include <windows.h>

#include "platform/output_file.h"
#include "wide_text.h"

namespace platform {

bool ProbeOutputFile(const std::string& path, bool& created, std::string& reason) {
  created = false;
  if (path.empty()) {
    reason = win32::ErrorText(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const std::wstring wide = win32::Widen(path);
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    created = true;
  } else if (::GetLastError() == ERROR_FILE_EXISTS) {
    // An existing file is opened as it is: the writer truncates it only once it has
    // something to put there.
    file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    reason = win32::ErrorText(::GetLastError());
    return false;
  }
  ::CloseHandle(file);
  return true;
}

}  // namespace platform
