// After each finished item: show it in the document's window and pump the host's
// messages for the draw delay, so the user sees the part grow and can still quit.
#pragma once

#include <cstdint>

#include "host/document.h"

namespace kestrun {

enum class PauseOutcome { Continue, RefreshFailed, HostExiting };

// 0 and 0xFFFFFFFF mean no refresh and no pause.
bool drawDelayActive(std::uint32_t drawDelayMs);

// True when the host shows the document in no window of its current layout; false as well when
// the document, its editor or the layout is missing (the refresh then fails).
bool shownInNoWindow(host::Document* document);

// Redraws the viewer of the first window that shows this document's editor.
bool refreshViewer(host::Document* document);

// Returns HostExiting when a quit message arrived; the quit is posted again.
PauseOutcome pumpMessagesFor(std::uint32_t drawDelayMs);

// Nothing happens without a delay or for a document without a window; a window without a
// viewer (or a host that cannot tell) fails the refresh.
PauseOutcome refreshAndPause(host::Document* document, std::uint32_t drawDelayMs);

}  // namespace kestrun
