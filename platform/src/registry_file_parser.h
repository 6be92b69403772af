#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_tree.h"

namespace platform {

// Reads the lines of a registry export into a RegistryTree.
class RegistryFileParser {
 public:
  explicit RegistryFileParser(RegistryTree& tree) : tree_(tree) {}
  void Run(std::string_view utf8Text);
  const std::string& Error() const { return error_; }

 private:
  std::vector<std::string> LogicalLines(std::string_view text);
  void HandleLine(const std::string& line, size_t number);
  void OpenKey(std::string_view path, bool remove);
  void HandleValue(const std::string& line);
  std::optional<RegistryValue> ParseData(std::string_view data);
  std::optional<RegistryValue> ParseHex(uint32_t type, std::string_view list);
  void Fail(const std::string& message);

  RegistryTree& tree_;
  RegistryTree::Node* current_ = nullptr;
  bool unicode_ = true;
  size_t lineNumber_ = 0;
  std::string error_;
};

// Reads a quoted registry string starting at `pos` (on the opening quote); `\\` and `\"` are
// the only escapes. Advances `pos` past the closing quote.
std::optional<std::string> ReadRegistryQuoted(std::string_view text, size_t& pos);

// The key at `path` of the tree's HKEY_LOCAL_MACHINE in `view`, and reading it: what a key
// opened over a tree does on every platform.
long OpenTreeKey(const RegistryTree& tree, std::string_view path, RegistryView view,
                 const RegistryTree::Node** node);
long EnumTreeSubkey(const RegistryTree::Node& node, uint32_t index, std::string* name);
long QueryTreeValue(const RegistryTree::Node& node, std::string_view name, uint32_t bufferSize,
                    uint32_t* type, std::string* bytes, uint32_t* size);

}  // namespace platform
