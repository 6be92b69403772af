#include <windows.h>

#include <cerrno>
#include <utility>

#include "platform/dynamic_library.h"
#include "wide_text.h"

namespace platform {

DynamicLibrary::~DynamicLibrary() {
  Close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), lastError_(std::move(other.lastError_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    lastError_ = std::move(other.lastError_);
  }
  return *this;
}

bool DynamicLibrary::Open(const std::string& path, Residency residency) {
  Close();
  if (path.empty()) {
    lastError_ = "empty library path";
    return false;
  }
  handle_ = reinterpret_cast<void*>(::LoadLibraryW(win32::Widen(path).c_str()));
  if (handle_ == nullptr) {
    const DWORD error = ::GetLastError();
    lastError_ = win32::ErrorText(error);
    // Callers read a failed load's number from errno on every platform; here it is the
    // loader's own (2 for a missing file, 126 for a missing module).
    errno = static_cast<int>(error);
    return false;
  }
  // Pinned, the module stays mapped until the process ends whatever FreeLibrary is called.
  HMODULE pinned = nullptr;
  if (residency == Residency::UntilExit &&
      !::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(handle_), &pinned)) {
    lastError_ = win32::ErrorText(::GetLastError());
    Close();
    return false;
  }
  lastError_.clear();
  return true;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  if (handle_ == nullptr) {
    lastError_ = "library is not open";
    return nullptr;
  }
  FARPROC symbol = ::GetProcAddress(static_cast<HMODULE>(handle_), name.c_str());
  if (symbol == nullptr) lastError_ = win32::ErrorText(::GetLastError());
  return reinterpret_cast<void*>(symbol);
}

void DynamicLibrary::Close() {
  if (handle_ != nullptr) ::FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace platform
