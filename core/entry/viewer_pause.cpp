#include "entry/viewer_pause.h"

#include "host/application.h"
#include "host/environment.h"

namespace kestrun {

bool drawDelayActive(std::uint32_t drawDelayMs) {
  return drawDelayMs != 0 && drawDelayMs != 0xFFFFFFFFu;
}

namespace {

enum class WindowLookup { Found, NoWindow, Failed };

struct DocumentWindow {
  WindowLookup lookup = WindowLookup::Failed;
  std::shared_ptr<host::Layout> layout;
  std::shared_ptr<host::Window> window;
};

// The first window of the current layout that shows the document's editor. NoWindow only when
// the host answered everything and simply shows the document nowhere.
DocumentWindow findDocumentWindow(host::Document* document) {
  DocumentWindow found;
  host::Environment* env = host::environment();
  if (!document || !env) return found;
  auto documentEditor = document->query<host::DocumentEditor>();
  std::shared_ptr<host::Editor> editor = documentEditor ? documentEditor->editor() : nullptr;
  found.layout = env->currentLayout();
  if (!editor || !found.layout) return found;
  for (const auto& window : found.layout->windows()) {
    if (!window || !host::sameObject(window->editor(), editor)) continue;
    found.lookup = WindowLookup::Found;
    found.window = window;
    return found;
  }
  found.lookup = WindowLookup::NoWindow;
  return found;
}

}  // namespace

bool shownInNoWindow(host::Document* document) {
  return findDocumentWindow(document).lookup == WindowLookup::NoWindow;
}

bool refreshViewer(host::Document* document) {
  const DocumentWindow found = findDocumentWindow(document);
  if (found.lookup != WindowLookup::Found) return false;
  std::shared_ptr<host::Viewer> viewer = found.window->viewer();
  if (!viewer) return false;
  found.layout->setCurrentWindow(found.window);
  // Once for the new window, once for the geometry it now shows.
  viewer->redraw();
  viewer->redraw();
  return true;
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
  // A document that no window shows (the source Parts of an assembly are drawn so) has nothing
  // to show: waiting would only slow the draw, and failing would cancel every delayed assembly.
  if (shownInNoWindow(document)) return PauseOutcome::Continue;
  if (!refreshViewer(document)) return PauseOutcome::RefreshFailed;
  return pumpMessagesFor(drawDelayMs);
}

}  // namespace kestrun
