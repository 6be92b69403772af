#include <windows.h>
// windows.h names its own CreateDirectory macro; this file defines the platform's function.
#undef CreateDirectory

#include "platform/directories.h"
#include "platform/windows_path.h"
#include "wide_text.h"

namespace platform {
namespace {

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(win32::Widen(path).c_str());
}

}  // namespace

bool CreateDirectory(const std::string& path) {
  return !path.empty() && ::CreateDirectoryW(win32::Widen(path).c_str(), nullptr) != 0;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool CreateDirectoryTree(const std::string& path) {
  if (path.empty()) return false;
  // A drive root is never created; every deeper level is, in turn.
  for (const std::string& level : winpath::DirectoryPrefixes(path)) CreateDirectory(level);
  return IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
  return !path.empty() && ::DeleteFileW(win32::Widen(path).c_str()) != 0;
}

}  // namespace platform
