#include <windows.h>

#include "platform/process.h"

namespace platform {

uint32_t ProcessId() {
  return static_cast<uint32_t>(::GetCurrentProcessId());
}

uint32_t ThreadId() {
  return static_cast<uint32_t>(::GetCurrentThreadId());
}

}  // namespace platform
