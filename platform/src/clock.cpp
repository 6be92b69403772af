#include "platform/clock.h"

#include <time.h>

namespace platform {

LocalTime NowLocal() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  struct tm parts {};
  time_t seconds = now.tv_sec;
  ::localtime_r(&seconds, &parts);
  LocalTime result;
  result.year = static_cast<unsigned>(parts.tm_year + 1900);
  result.month = static_cast<unsigned>(parts.tm_mon + 1);
  result.day = static_cast<unsigned>(parts.tm_mday);
  result.hour = static_cast<unsigned>(parts.tm_hour);
  result.minute = static_cast<unsigned>(parts.tm_min);
  // A leap second shows as 60; the host clock never does.
  result.second = static_cast<unsigned>(parts.tm_sec > 59 ? 59 : parts.tm_sec);
  result.millisecond = static_cast<unsigned>(now.tv_nsec / 1000000);
  return result;
}

uint32_t TickCount() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

}  // namespace platform
