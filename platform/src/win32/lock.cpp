#include <windows.h>

#include "platform/lock.h"

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= 40 && alignof(CRITICAL_SECTION) <= alignof(void*),
              "the lock's storage holds a critical section");

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}
}  // namespace

Lock::Lock() {
  ::InitializeCriticalSection(Section(section_));
}

Lock::~Lock() {
  ::DeleteCriticalSection(Section(section_));
}

void Lock::Enter() {
  ::EnterCriticalSection(Section(section_));
}

void Lock::Leave() {
  ::LeaveCriticalSection(Section(section_));
}

}  // namespace platform
