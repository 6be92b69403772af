#include "platform/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

bool ProbeOutputFile(const std::string& path, bool& created, std::string& reason) {
  created = false;
  if (path.empty()) {
    reason = std::strerror(ENOENT);
    return false;
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    created = true;
  } else if (errno == EEXIST) {
    // An existing file (or a device, a pipe, a link) is opened as it is, without O_TRUNC:
    // the writer truncates it only once it has something to put there. A pipe nobody reads
    // is refused at once instead of blocking the probe.
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  }
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  ::close(fd);
  return true;
}

}  // namespace platform
