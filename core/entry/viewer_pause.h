// After each finished item: show it in the document's window and pump the host's
// messages for the draw delay, so the user sees the part grow and can still quit.
#pragma once

#include <cstdint>

#include "host/document.h"

namespace kestrun {

enum class PauseOutcome { Continue, RefreshFailed, HostExiting };

// 0 and 0xFFFFFFFF mean no refresh and no pause.
bool drawDelayActive(std::uint32_t drawDelayMs);

// Redraws the viewer of the first window that shows this document's editor.
bool refreshViewer(host::Document* document);

// Returns HostExiting when a quit message arrived; the quit is posted again.
PauseOutcome pumpMessagesFor(std::uint32_t drawDelayMs);

PauseOutcome refreshAndPause(host::Document* document, std::uint32_t drawDelayMs);

}  // namespace kestrun
