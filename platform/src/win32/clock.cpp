#include <windows.h>

#include "platform/clock.h"

namespace platform {

LocalTime NowLocal() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  LocalTime result;
  result.year = now.wYear;
  result.month = now.wMonth;
  result.day = now.wDay;
  result.hour = now.wHour;
  result.minute = now.wMinute;
  result.second = now.wSecond;
  result.millisecond = now.wMilliseconds;
  return result;
}

uint32_t TickCount() {
  return static_cast<uint32_t>(::GetTickCount());
}

}  // namespace platform
