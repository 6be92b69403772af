// Registers a running session with the automation runtime under the application's
// programmatic identifier, so that late-bound clients (STEP insertion) reach its documents.
#pragma once

#include <memory>
#include <string>

#include "host/environment.h"

namespace occt_host {

class ApplicationFrame;

inline constexpr char kApplicationProgId[] = "CATIA.Application";

// A running-object registration; revoked when destroyed.
class AutomationRegistration {
 public:
  virtual ~AutomationRegistration() = default;
};

// Registers the application of `frame` (its documents, with windows from `environment`'s
// layout) as the running application. Null when the automation runtime is not available or
// refuses the registration; the session then works without automation.
std::unique_ptr<AutomationRegistration> registerRunningApplication(
    const std::shared_ptr<ApplicationFrame>& frame, host::Environment* environment);

}  // namespace occt_host
