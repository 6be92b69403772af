#pragma once

#include <memory>

#include "host/environment.h"
#include "scripted_application.h"

namespace vantrel::testing {

// Hands out a scripted application in place of the installed environment's own.
class ScriptedEnvironment : public host::Environment {
 public:
  ScriptedEnvironment();
  ~ScriptedEnvironment() override;

  std::shared_ptr<host::Layout> currentLayout() override { return real_->currentLayout(); }
  host::MessagePump& messagePump() override { return real_->messagePump(); }
  std::uint32_t tickCount() override { return real_->tickCount(); }
  std::shared_ptr<host::Application> application() override { return scripted; }

  std::shared_ptr<ScriptedApplication> scripted;

 private:
  host::Environment* real_;
};

}  // namespace vantrel::testing
