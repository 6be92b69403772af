#include "platform/registry.h"

#include <fstream>
#include <iterator>

#include "platform/environment.h"
#include "platform/text_encoding.h"
#include "platform/windows_path.h"
#include "registry_file_parser.h"

namespace platform {
namespace {

// Registry exports are small; anything larger is not one.
constexpr std::streamoff kMaxRegistryFileBytes = 64 * 1024 * 1024;

std::string DecodeFileText(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return Utf16LeToUtf8(std::string_view(bytes).substr(2));
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  return IsValidUtf8(bytes) ? bytes : Windows1252ToUtf8(bytes);
}

const std::shared_ptr<const RegistryTree>& EmptyTree() {
  static const std::shared_ptr<const RegistryTree> empty = RegistryTree::Parse("", nullptr);
  return empty;
}

}  // namespace

std::shared_ptr<const RegistryTree> RegistryTree::Parse(std::string_view fileBytes,
                                                        std::string* error) {
  auto tree = std::make_shared<RegistryTree>();
  RegistryFileParser parser(*tree);
  parser.Run(DecodeFileText(std::string(fileBytes)));
  if (error != nullptr) *error = parser.Error();
  return tree;
}

const RegistryTree::Node* RegistryTree::Find(std::string_view path) const {
  const Node* node = &root_;
  std::string lower = winpath::ToLowerAscii(path);
  std::string_view rest = lower;
  while (!rest.empty()) {
    size_t cut = rest.find('\\');
    std::string part(rest.substr(0, cut));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (part.empty()) return nullptr;
    auto found = node->children.find(part);
    if (found == node->children.end()) return nullptr;
    node = found->second.get();
  }
  return node == &root_ ? nullptr : node;
}

std::string MapRegistryPathToView(std::string_view path, RegistryView view) {
  constexpr std::string_view kSoftware = "software";
  std::string lower = winpath::ToLowerAscii(path);
  bool underSoftware = lower.compare(0, kSoftware.size(), kSoftware) == 0 &&
                       (lower.size() == kSoftware.size() || lower[kSoftware.size()] == '\\');
  if (view == RegistryView::k64Bit || !underSoftware) return std::string(path);
  if (lower.rfind("software\\wow6432node", 0) == 0) return std::string(path);
  std::string mapped(path.substr(0, kSoftware.size()));
  mapped += "\\WOW6432Node";
  mapped += path.substr(kSoftware.size());
  return mapped;
}

std::shared_ptr<const RegistryTree> LoadRegistryFromEnvironment() {
  std::optional<std::string> file = GetEnv("TOLVANE_REGISTRY_FILE");
  if (!file || file->empty()) return EmptyTree();
  std::ifstream in(*file, std::ios::binary);
  if (!in) return EmptyTree();
  in.seekg(0, std::ios::end);
  std::streamoff length = in.tellg();
  if (length < 0 || length > kMaxRegistryFileBytes) return EmptyTree();
  in.seekg(0, std::ios::beg);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return RegistryTree::Parse(bytes, nullptr);
}

long OpenTreeKey(const RegistryTree& tree, std::string_view path, RegistryView view,
                 const RegistryTree::Node** node) {
  const std::string full = "HKEY_LOCAL_MACHINE\\" + MapRegistryPathToView(path, view);
  *node = tree.Find(full);
  return *node == nullptr ? kErrorFileNotFound : kErrorSuccess;
}

long EnumTreeSubkey(const RegistryTree::Node& node, uint32_t index, std::string* name) {
  if (name == nullptr) return kErrorInvalidParameter;
  if (index >= node.children.size()) return kErrorNoMoreItems;
  auto it = node.children.begin();
  std::advance(it, index);
  *name = it->second->name;
  return kErrorSuccess;
}

long QueryTreeValue(const RegistryTree::Node& node, std::string_view name, uint32_t bufferSize,
                    uint32_t* type, std::string* bytes, uint32_t* size) {
  auto found = node.values.find(winpath::ToLowerAscii(name));
  if (found == node.values.end()) return kErrorFileNotFound;
  const RegistryValue& value = found->second;
  if (type != nullptr) *type = value.type;
  if (size != nullptr) *size = static_cast<uint32_t>(value.bytes.size());
  if (value.bytes.size() > bufferSize) return kErrorMoreData;
  if (bytes != nullptr) *bytes = value.bytes;
  return kErrorSuccess;
}

}  // namespace platform
