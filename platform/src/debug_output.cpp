#include "platform/debug_output.h"

#include <atomic>

#include "debug_writer.h"
#include "platform/environment.h"

namespace platform {
namespace {

// -1: not decided yet (read from the environment on first use), 0 off, 1 on.
std::atomic<int> g_enabled{-1};

bool EnvironmentSwitchesOff() {
  std::optional<std::string> value = GetEnv("TOLVANE_DEBUG_OUTPUT");
  return value && (*value == "0" || *value == "off" || *value == "OFF" || *value == "false");
}

}  // namespace

void SetDebugOutputEnabled(bool enabled) {
  g_enabled.store(enabled ? 1 : 0);
}

bool DebugOutputEnabled() {
  int state = g_enabled.load();
  if (state < 0) {
    state = EnvironmentSwitchesOff() ? 0 : 1;
    int expected = -1;
    g_enabled.compare_exchange_strong(expected, state);
    state = g_enabled.load();
  }
  return state == 1;
}

void DebugOutput(std::string_view text) {
  if (DebugOutputEnabled()) WriteDebugText(text);
}

}  // namespace platform
