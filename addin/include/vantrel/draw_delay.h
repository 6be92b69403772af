// The draw delay that a panel host publishes and the core's draws read.
#pragma once

#include <cstdint>

namespace vantrel {

// The draw delay handed to the core: one process-wide value, 0 until a panel host
// publishes the configured one.
void PublishDrawDelayMs(uint32_t delayMs);
uint32_t PublishedDrawDelayMs();

}  // namespace vantrel
