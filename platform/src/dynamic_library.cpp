#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

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
  const int flags = RTLD_NOW | RTLD_LOCAL | (residency == Residency::UntilExit ? RTLD_NODELETE : 0);
  handle_ = ::dlopen(path.c_str(), flags);
  if (handle_ == nullptr) {
    const char* message = ::dlerror();
    lastError_ = message != nullptr ? message : "dlopen failed";
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
  ::dlerror();
  void* symbol = ::dlsym(handle_, name.c_str());
  if (symbol == nullptr) {
    const char* message = ::dlerror();
    lastError_ = message != nullptr ? message : "symbol not found";
  }
  return symbol;
}

void DynamicLibrary::Close() {
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace platform
