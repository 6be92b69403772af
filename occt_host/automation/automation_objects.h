// The application's automation objects: the application, its documents, parts, selections,
// products, windows and viewers, as a STEP insertion reaches them by name.
#pragma once

#include <memory>
#include <vector>

#include "automation/automation_dispatch.h"
#include "host/environment.h"
#include "occt_host/exchange/step_import.h"

namespace occt_host {

class ApplicationFrame;

namespace automation {

// What the objects of one registration share: the session they reach and the clipboard.
struct ServerState {
  std::weak_ptr<ApplicationFrame> frame;
  host::Environment* environment = nullptr;
  std::vector<StepSolid> clipboard;
};

// The root object, registered as the running application.
DispatchObject* newApplicationObject(const std::shared_ptr<ServerState>& state);

}  // namespace automation
}  // namespace occt_host
