#include "occt_host/layout.h"

namespace occt_host {

std::vector<std::shared_ptr<host::Window>> Layout::windows() {
  try {
    return windows_;
  } catch (...) {
    return {};
  }
}

host::Status Layout::setCurrentWindow(const std::shared_ptr<host::Window>& window) {
  if (!window) return host::kPointer;
  for (const auto& w : windows_) {
    if (host::sameObject(w, window)) {
      current_ = w;
      return host::kOk;
    }
  }
  return host::kInvalidArg;
}

void Layout::add(const std::shared_ptr<host::Window>& window) {
  windows_.push_back(window);
  current_ = window;
}

}  // namespace occt_host
