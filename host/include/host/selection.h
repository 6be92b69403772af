// What the user has picked in the session's 3D view, for whoever shows it elsewhere (the
// add-in's panel hands it to its page). The session publishes the JSON text of each change;
// listeners hear every change on the user-interface thread. One per process.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "host/api.h"

namespace host {

class HOST_API SelectionHub {
 public:
  using Listener = std::function<void(const std::string& json)>;

  // Returns a key for unsubscribe; the listener hears each later change.
  int subscribe(Listener listener);
  void unsubscribe(int key);
  // The selection changed to `json` (the text of one JSON object).
  void publish(const std::string& json);
  // The last text published, empty before the first.
  const std::string& last() const { return last_; }

 private:
  std::map<int, Listener> listeners_;
  int next_ = 1;
  std::string last_;
};

HOST_API SelectionHub& selectionHub();

}  // namespace host
