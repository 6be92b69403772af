#include "platform/memory_advice.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void AdviseLargeBuffer(void* data, size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only whole large pages inside the buffer can be advised.
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<uintptr_t>(data);
  const uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void ReturnFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace platform
