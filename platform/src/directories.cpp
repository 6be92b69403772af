#include "platform/directories.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool CreateDirectory(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool CreateDirectoryTree(const std::string& path) {
  if (path.empty()) return false;
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') CreateDirectory(path.substr(0, i));
  }
  CreateDirectory(path);
  return IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

}  // namespace platform
