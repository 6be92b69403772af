// The registry as the host reads it: status codes, views and key access.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/registry_tree.h"

namespace platform {

// Status codes with the host's numeric values, since they appear in log lines.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

enum class RegistryView { k64Bit, k32Bit };

// The path a key has in the 64-bit view when it is opened in `view`: 32-bit programs see
// "Software\X" at "Software\WOW6432Node\X".
std::string MapRegistryPathToView(std::string_view path, RegistryView view);

// An open key of HKEY_LOCAL_MACHINE. The registry is the export file named by
// TOLVANE_REGISTRY_FILE, read afresh at each open; no file means an empty registry. On Windows
// it is the system's registry, read through its 32-bit or 64-bit view.
class RegistryKey {
 public:
  static long OpenLocalMachine(std::string_view path, RegistryView view, RegistryKey* key);
  // Same, over a given tree (tests and tools).
  static long Open(std::shared_ptr<const RegistryTree> tree, std::string_view path,
                   RegistryView view, RegistryKey* key);

  // Name of the subkey at `index` in case-insensitive name order; kErrorNoMoreItems past the end.
  long EnumSubkey(uint32_t index, std::string* name) const;
  // Reads a value ("" is the default value). A value longer than `bufferSize` bytes gives
  // kErrorMoreData with the type and the full size reported and no bytes.
  long QueryValue(std::string_view name, uint32_t bufferSize, uint32_t* type, std::string* bytes,
                  uint32_t* size) const;
  void Close();
#if defined(_WIN32)
  // On Windows, HKEY_LOCAL_MACHINE is the system's registry; a key holds its handle.
  RegistryKey() = default;
  ~RegistryKey() {
    Close();
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  bool IsOpen() const {
    return node_ != nullptr || native_ != nullptr;
  }
#else
  bool IsOpen() const {
    return node_ != nullptr;
  }
#endif

 private:
  std::shared_ptr<const RegistryTree> tree_;
  const RegistryTree::Node* node_ = nullptr;
#if defined(_WIN32)
  void* native_ = nullptr;  // HKEY
#endif
};

// The tree the registry reads now (empty when no file is named or it cannot be read).
std::shared_ptr<const RegistryTree> LoadRegistryFromEnvironment();

}  // namespace platform
