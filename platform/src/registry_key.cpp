#include "platform/registry.h"
#include "registry_file_parser.h"

namespace platform {

long RegistryKey::OpenLocalMachine(std::string_view path, RegistryView view, RegistryKey* key) {
  return Open(LoadRegistryFromEnvironment(), path, view, key);
}

long RegistryKey::Open(std::shared_ptr<const RegistryTree> tree, std::string_view path,
                       RegistryView view, RegistryKey* key) {
  if (key == nullptr || !tree) return kErrorInvalidParameter;
  key->Close();
  const RegistryTree::Node* node = nullptr;
  const long status = OpenTreeKey(*tree, path, view, &node);
  if (status != kErrorSuccess) return status;
  key->tree_ = std::move(tree);
  key->node_ = node;
  return kErrorSuccess;
}

long RegistryKey::EnumSubkey(uint32_t index, std::string* name) const {
  if (node_ == nullptr) return kErrorInvalidParameter;
  return EnumTreeSubkey(*node_, index, name);
}

long RegistryKey::QueryValue(std::string_view name, uint32_t bufferSize, uint32_t* type,
                             std::string* bytes, uint32_t* size) const {
  if (node_ == nullptr) return kErrorInvalidParameter;
  return QueryTreeValue(*node_, name, bufferSize, type, bytes, size);
}

void RegistryKey::Close() {
  node_ = nullptr;
  tree_.reset();
}

}  // namespace platform
