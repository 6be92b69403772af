#include "entry/busy_flag.h"

namespace kestrun {

namespace {
std::atomic<std::int32_t> g_busy{0};
}

bool BusyFlag::tryTake() {
  std::int32_t idle = 0;
  return g_busy.compare_exchange_strong(idle, 1);
}

void BusyFlag::release() {
  g_busy.exchange(0);
}

bool BusyFlag::taken() {
  return g_busy.load() != 0;
}

}  // namespace kestrun
