#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation.h"

namespace vantrel::testing {

// A stand-in application registered under the application's programmatic identifier: every
// member called by name is recorded as "Type.Member(arguments)", and any member can be made
// to fail with a chosen result.
class RecordingApplication {
 public:
  struct Script {
    std::string activeKind = "Part";  // "Part", "Product", "Drawing", or "" for no document
    std::map<std::string, platform::automation::HResult> failures;  // "Type.Member" -> result
    bool withViewer = true;
  };

  explicit RecordingApplication(Script script);
  ~RecordingApplication();
  bool Registered() const { return cookie_ != 0; }
  const std::vector<std::string>& Calls() const;
  struct State;

 private:
  std::shared_ptr<State> state_;
  platform::automation::AutomationServerApi api_;
  platform::automation::IDispatch* app_ = nullptr;
  uint32_t cookie_ = 0;
};

}  // namespace vantrel::testing
