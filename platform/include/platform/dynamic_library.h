#pragma once

#include <string>

namespace platform {

// A shared library loaded by path; unloaded when the object goes away.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

  // Loads the library; on failure returns false and keeps the loader's message.
  bool Open(const std::string& path);
  void* Symbol(const std::string& name) const;
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& LastError() const { return lastError_; }

 private:
  void* handle_ = nullptr;
  mutable std::string lastError_;
};

}  // namespace platform
