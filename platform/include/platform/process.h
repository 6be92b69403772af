// Ids of the calling process and thread.
#pragma once

#include <cstdint>

namespace platform {

uint32_t ProcessId();
// The kernel's id of the calling thread (distinct across threads of all processes).
uint32_t ThreadId();

}  // namespace platform
