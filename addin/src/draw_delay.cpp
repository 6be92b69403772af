#include "vantrel/draw_delay.h"

#include <atomic>

namespace vantrel {
namespace {
std::atomic<uint32_t> g_drawDelayMs{0};
}

void PublishDrawDelayMs(uint32_t delayMs) {
  g_drawDelayMs.store(delayMs);
}

uint32_t PublishedDrawDelayMs() {
  return g_drawDelayMs.load();
}

}  // namespace vantrel
