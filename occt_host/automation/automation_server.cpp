#include "occt_host/automation/automation_server.h"

#include "automation/automation_objects.h"
#include "kernel/kernel_guard.h"
#include "platform/automation.h"

namespace occt_host {

namespace {

namespace automation = platform::automation;

// The class id this session registers its application under (its own, not another product's).
constexpr automation::Guid kApplicationClassId{
    0x3c9d2e41, 0x7a15, 0x4b0e, {0x9d, 0x6f, 0x52, 0x18, 0xa4, 0xe7, 0x0b, 0xc3}};

class RunningObject : public AutomationRegistration {
 public:
  ~RunningObject() override {
    if (cookie_ != 0) api_.RevokeActiveObject(cookie_, nullptr);
    if (object_ != nullptr) object_->Release();
  }

  bool start(const std::shared_ptr<ApplicationFrame>& frame, host::Environment* environment) {
    if (!api_.Load()) return false;
    auto state = std::make_shared<occt_host::automation::ServerState>();
    state->frame = frame;
    state->environment = environment;
    object_ = occt_host::automation::newApplicationObject(state);
    const std::u16string progId = automation::Utf8ToUtf16(kApplicationProgId);
    return automation::Succeeded(api_.RegisterProgID(progId.c_str(), &kApplicationClassId)) &&
           automation::Succeeded(
               api_.RegisterActiveObject(object_, &kApplicationClassId, 0, &cookie_));
  }

 private:
  // Declared first so that the runtime stays loaded until the object is revoked.
  automation::AutomationServerApi api_;
  automation::IDispatch* object_ = nullptr;
  uint32_t cookie_ = 0;
};

}  // namespace

std::unique_ptr<AutomationRegistration> registerRunningApplication(
    const std::shared_ptr<ApplicationFrame>& frame, host::Environment* environment) {
  return guarded(nullptr, [&]() -> std::unique_ptr<AutomationRegistration> {
    auto registration = std::make_unique<RunningObject>();
    if (!frame || !registration->start(frame, environment)) return nullptr;
    return registration;
  });
}

}  // namespace occt_host
