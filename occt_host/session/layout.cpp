#include "occt_host/session/layout.h"

#include "kernel/kernel_guard.h"
#include "session/window.h"

namespace occt_host {

std::vector<std::shared_ptr<host::Window>> Layout::windows() {
  return guarded({}, [&] { return windows_; });
}

host::Status Layout::setCurrentWindow(const std::shared_ptr<host::Window>& window) {
  if (!window) return host::kPointer;
  std::shared_ptr<host::Window> ours = find(window);
  if (!ours) return host::kInvalidArg;
  current_ = ours;
  return host::kOk;
}

host::Status Layout::setWindowEditor(const std::shared_ptr<host::Window>& window,
                                     const std::shared_ptr<host::Editor>& editor) {
  if (!window || !editor) return host::kPointer;
  auto ours = std::dynamic_pointer_cast<Window>(find(window));
  if (!ours) return host::kInvalidArg;
  ours->setEditor(editor);
  return host::kOk;
}

void Layout::add(const std::shared_ptr<host::Window>& window, bool makeCurrent) {
  windows_.push_back(window);
  if (makeCurrent) current_ = window;
}

std::shared_ptr<host::Window> Layout::find(const std::shared_ptr<host::Window>& window) const {
  for (const auto& w : windows_) {
    if (host::sameObject(w, window)) return w;
  }
  return nullptr;
}

void Layout::removeWindowsOf(const std::shared_ptr<host::Editor>& editor) {
  for (auto it = windows_.begin(); it != windows_.end();) {
    it = host::sameObject((*it)->editor(), editor) ? windows_.erase(it) : std::next(it);
  }
  if (auto current = current_.lock(); current && host::sameObject(current->editor(), editor))
    current_.reset();
}

}  // namespace occt_host
