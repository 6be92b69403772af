// The registry's value types and an in-memory tree of keys and values.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

// A value as the host reports it: its type and its raw bytes. String types hold UTF-8 text
// followed by the terminating zero byte, so the byte count matches what a query reports.
struct RegistryValue {
  uint32_t type = kRegNone;
  std::string bytes;
};

// The keys and values of a registry export file. Key and value names compare case-insensitively;
// the first path level is the hive ("HKEY_LOCAL_MACHINE").
class RegistryTree {
 public:
  struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> children;  // by lower-cased name
    std::map<std::string, RegistryValue> values;            // by lower-cased name
  };

  // Parses the bytes of an export file (UTF-16LE with BOM, or UTF-8/ANSI). Lines that cannot be
  // read are skipped; `error` receives the first problem. A missing header gives an empty tree.
  static std::shared_ptr<const RegistryTree> Parse(std::string_view fileBytes, std::string* error);

  // The key at a backslash-separated path (hive first), or null.
  const Node* Find(std::string_view path) const;
  const Node& Root() const { return root_; }

 private:
  Node root_;
  friend class RegistryFileParser;
};

}  // namespace platform
