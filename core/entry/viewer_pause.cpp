#include "core/entry/viewer_pause.h"

#include "host/application.h"
#include "host/environment.h"

namespace kestrun {

bool drawDelayActive(std::uint32_t drawDelayMs) {
  return drawDelayMs != 0 && drawDelayMs != 0xFFFFFFFFu;
}

bool refreshViewer(host::Document* document) {
  host::Environment* env = host::environment();
  if (!document || !env) return false;
  auto documentEditor = document->query<host::DocumentEditor>();
  std::shared_ptr<host::Editor> editor = documentEditor ? documentEditor->editor() : nullptr;
  std::shared_ptr<host::Layout> layout = env->currentLayout();
  if (!editor || !layout) return false;
  for (const auto& window : layout->windows()) {
    if (!window || !host::sameObject(window->editor(), editor)) continue;
    std::shared_ptr<host::Viewer> viewer = window->viewer();
    if (!viewer) return false;
    layout->setCurrentWindow(window);
    // Once for the new window, once for the geometry it now shows.
    viewer->redraw();
    viewer->redraw();
    return true;
  }
  return false;
}

namespace {

// Drains the queue; false when a quit arrived.
bool drainMessages(host::Environment& env, std::uint32_t start, std::uint32_t delay, bool& done) {
  host::MessagePump& pump = env.messagePump();
  host::Message message;
  while (pump.peekMessage(message)) {
    if (message.id == host::kQuitMessage) {
      pump.postQuit(static_cast<int>(message.wParam));
      return false;
    }
    pump.dispatchMessage(message);
    if (static_cast<std::uint32_t>(env.tickCount() - start) >= delay) {
      done = true;
      return true;
    }
  }
  return true;
}

}  // namespace

PauseOutcome pumpMessagesFor(std::uint32_t delay) {
  host::Environment* env = host::environment();
  if (!env) return PauseOutcome::Continue;
  const std::uint32_t start = env->tickCount();
  for (;;) {
    const std::uint32_t elapsed = env->tickCount() - start;
    if (elapsed >= delay) return PauseOutcome::Continue;
    const host::WaitResult wait = env->messagePump().waitForInput(delay - elapsed);
    if (wait == host::WaitResult::Timeout) continue;
    if (wait != host::WaitResult::Input) return PauseOutcome::Continue;
    bool done = false;
    if (!drainMessages(*env, start, delay, done)) return PauseOutcome::HostExiting;
    if (done) return PauseOutcome::Continue;
  }
}

PauseOutcome refreshAndPause(host::Document* document, std::uint32_t drawDelayMs) {
  if (!drawDelayActive(drawDelayMs)) return PauseOutcome::Continue;
  if (!refreshViewer(document)) return PauseOutcome::RefreshFailed;
  return pumpMessagesFor(drawDelayMs);
}

}  // namespace kestrun
