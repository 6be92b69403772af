// Open CASCADE prints its own messages (the STEP writer's statistics, for one) on
// standard output. A command line that keeps standard output for its result sends
// them elsewhere.
#pragma once

#include <cstdio>

namespace occt_host {

// Sends the kernel's messages to `stream` from now on (not owned: it must stay open
// while the kernel works); null restores standard output.
void sendKernelMessagesTo(std::FILE* stream);

}  // namespace occt_host
