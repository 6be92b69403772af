// The one piece of process-wide state: whether an import is running.
#pragma once

#include <atomic>
#include <cstdint>

namespace kestrun {

class BusyFlag {
 public:
  // Atomic compare-and-swap 0 -> 1; false when an import already runs.
  static bool tryTake();
  static void release();
  static bool taken();
};

}  // namespace kestrun
