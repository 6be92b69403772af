#include "debug_writer.h"

#include <unistd.h>

#include <cerrno>

namespace platform {

// Standard error stands for the debugger output here.
void WriteDebugText(std::string_view text) {
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    left -= static_cast<size_t>(written);
  }
}

}  // namespace platform
