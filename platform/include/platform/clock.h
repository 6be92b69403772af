// Wall-clock local time and the millisecond tick count.
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  unsigned year = 0;
  unsigned month = 0;
  unsigned day = 0;
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
  unsigned millisecond = 0;
};

LocalTime NowLocal();
// Milliseconds since an arbitrary start; wraps around after 2^32 ms like the host's tick count.
uint32_t TickCount();

}  // namespace platform
