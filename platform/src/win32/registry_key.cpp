#include <windows.h>

#include <vector>

#include "../registry_file_parser.h"
#include "platform/registry.h"
#include "wide_text.h"

namespace platform {
namespace {

constexpr DWORD kNameChars = 256;

HKEY Handle(void* native) {
  return static_cast<HKEY>(native);
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A string value as the registry export gives it: UTF-8 followed by its terminating zero byte.
std::string TextBytes(const std::vector<BYTE>& data) {
  std::wstring_view wide(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
  while (!wide.empty() && wide.back() == L'\0') wide.remove_suffix(1);
  std::string bytes = win32::Narrow(wide);
  bytes.push_back('\0');
  return bytes;
}

// The value's type and bytes, read in full (it may change between the two calls).
long ReadValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data) {
  for (;;) {
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    data->assign(size, 0);
    status = ::RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status == ERROR_SUCCESS) data->resize(size);
    return status;
  }
}

}  // namespace

long RegistryKey::OpenLocalMachine(std::string_view path, RegistryView view, RegistryKey* key) {
  if (key == nullptr) return kErrorInvalidParameter;
  key->Close();
  const REGSAM access =
      KEY_READ | (view == RegistryView::k32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
  HKEY handle = nullptr;
  const LONG status =
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(path).c_str(), 0, access, &handle);
  if (status != ERROR_SUCCESS) return status;
  key->native_ = handle;
  return kErrorSuccess;
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
  if (node_ != nullptr) return EnumTreeSubkey(*node_, index, name);
  if (native_ == nullptr || name == nullptr) return kErrorInvalidParameter;
  wchar_t buffer[kNameChars] = {};
  DWORD length = kNameChars;
  const LONG status =
      ::RegEnumKeyExW(Handle(native_), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  *name = win32::Narrow(std::wstring_view(buffer, length));
  return kErrorSuccess;
}

long RegistryKey::QueryValue(std::string_view name, uint32_t bufferSize, uint32_t* type,
                             std::string* bytes, uint32_t* size) const {
  if (node_ != nullptr) return QueryTreeValue(*node_, name, bufferSize, type, bytes, size);
  if (native_ == nullptr) return kErrorInvalidParameter;
  DWORD valueType = REG_NONE;
  std::vector<BYTE> data;
  const long status = ReadValue(Handle(native_), win32::Widen(name), &valueType, &data);
  if (status != ERROR_SUCCESS) return status;
  std::string value = IsText(valueType) ? TextBytes(data) : std::string(data.begin(), data.end());
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = static_cast<uint32_t>(value.size());
  if (value.size() > bufferSize) return kErrorMoreData;
  if (bytes != nullptr) *bytes = std::move(value);
  return kErrorSuccess;
}

void RegistryKey::Close() {
  if (native_ != nullptr) ::RegCloseKey(Handle(native_));
  native_ = nullptr;
  node_ = nullptr;
  tree_.reset();
}

}  // namespace platform
