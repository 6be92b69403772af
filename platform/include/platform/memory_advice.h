// Hints to the system about how a large buffer will be used.
#pragma once

#include <cstddef>

namespace platform {

// Tells the system that [data, data + size) is a large buffer about to be written from end to
// end, so that it is backed by large pages where it can be: far fewer page faults than one
// per 4 KiB. A hint only; nothing happens where it does not apply.
void AdviseLargeBuffer(void* data, size_t size);

// Hands the memory the allocator keeps free back to the system: after a large draw, most of
// what it used is free again, and a long session would otherwise keep it resident. Nothing
// happens where the allocator cannot.
void ReturnFreeMemory();

}  // namespace platform
