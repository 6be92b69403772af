#include "platform/process.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

uint32_t ProcessId() {
  return static_cast<uint32_t>(::getpid());
}

uint32_t ThreadId() {
  return static_cast<uint32_t>(::syscall(SYS_gettid));
}

}  // namespace platform
