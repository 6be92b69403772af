#include "platform/temp_files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "platform/environment.h"

namespace platform {
namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

std::vector<char> Template(const std::string& folder, const std::string& prefix,
                           const std::string& suffix) {
  std::string text = WithSeparator(folder) + prefix + "XXXXXX" + suffix;
  return std::vector<char>(text.begin(), text.end() + 1);
}

}  // namespace

std::optional<std::string> TempPath() {
  std::optional<std::string> dir = GetEnv("TMPDIR");
  if (!dir || dir->empty()) dir = "/tmp";
  return WithSeparator(*dir);
}

std::optional<std::string> CreateUniqueTempFile(const std::string& folder,
                                                const std::string& prefix,
                                                const std::string& suffix) {
  if (folder.empty() || prefix.find('/') != std::string::npos ||
      suffix.find('/') != std::string::npos) {
    return std::nullopt;
  }
  std::vector<char> name = Template(folder, prefix, suffix);
  int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return std::nullopt;
  ::close(fd);
  return std::string(name.data());
}

std::optional<std::string> CreateUniqueTempDirectory(const std::string& folder,
                                                     const std::string& prefix) {
  if (folder.empty() || prefix.find('/') != std::string::npos) return std::nullopt;
  std::vector<char> name = Template(folder, prefix, "");
  if (::mkdtemp(name.data()) == nullptr) return std::nullopt;
  return std::string(name.data());
}

bool NewFile::CreateUnique(const std::string& folder, const std::string& prefix,
                           const std::string& suffix) {
  Close();
  path_.clear();
  if (folder.empty() || prefix.find('/') != std::string::npos ||
      suffix.find('/') != std::string::npos) {
    return false;
  }
  std::vector<char> name = Template(folder, prefix, suffix);
  // mkstemps opens with O_CREAT | O_EXCL and mode 0600.
  fd_ = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
  if (fd_ < 0) return false;
  path_.assign(name.data());
  return true;
}

bool NewFile::Write(const void* data, size_t size) {
  if (fd_ < 0) return false;
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool NewFile::Close() {
  if (fd_ < 0) return true;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0;
}

}  // namespace platform
