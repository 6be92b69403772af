// Process-wide access to the host application, as the original reaches its frame
// through static calls. The host installs its environment once at start-up.
#pragma once

#include <cstdint>
#include <memory>

#include "host/api.h"
#include "host/application.h"
#include "host/desktop.h"
#include "host/message_pump.h"

namespace host {

class Environment {
 public:
  virtual ~Environment() = default;
  // The current layout, or null when the application has none.
  virtual std::shared_ptr<Layout> currentLayout() = 0;
  virtual MessagePump& messagePump() = 0;
  // Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual std::uint32_t tickCount() = 0;
  // The application session with its editors and documents; null when the host has none.
  virtual std::shared_ptr<Application> application() { return nullptr; }
  // Dialogs, toolbars, timers and the dictionary; null for a session without a desktop.
  virtual Desktop* desktop() { return nullptr; }
};

// Null until a host installs one. Not owned.
HOST_API Environment* environment();
HOST_API void setEnvironment(Environment* env);

}  // namespace host
