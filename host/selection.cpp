#include "host/selection.h"

#include <vector>

namespace host {

int SelectionHub::subscribe(Listener listener) {
  const int key = next_++;
  listeners_[key] = std::move(listener);
  return key;
}

void SelectionHub::unsubscribe(int key) {
  listeners_.erase(key);
}

void SelectionHub::publish(const std::string& json) {
  last_ = json;
  // A listener may unsubscribe while it is told.
  std::vector<Listener> now;
  for (const auto& entry : listeners_) now.push_back(entry.second);
  for (const Listener& listener : now) {
    try {
      listener(json);
    } catch (...) {
      // One listener's failure does not keep the others from hearing it.
    }
  }
}

SelectionHub& selectionHub() {
  static SelectionHub hub;
  return hub;
}

}  // namespace host
