// Shared libraries loaded by path and their symbols bound by name.
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

  // Whether Close (or the destructor) may unmap the library's code.
  enum class Residency { Unloadable, UntilExit };

  // Loads the library; on failure returns false and keeps the loader's message. A library
  // loaded UntilExit stays mapped after Close: one that brings frameworks with exit-time
  // clean-up of their own (Qt WebEngine) must still be there when that clean-up runs.
  bool Open(const std::string& path, Residency residency = Residency::Unloadable);
  void* Symbol(const std::string& name) const;
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& LastError() const { return lastError_; }

 private:
  void* handle_ = nullptr;
  mutable std::string lastError_;
};

}  // namespace platform
