#include "platform/temp_files.h"

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

}  // namespace platform
