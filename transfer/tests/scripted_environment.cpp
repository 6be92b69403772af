#include "scripted_environment.h"

namespace vantrel::testing {

ScriptedEnvironment::ScriptedEnvironment() : real_(host::environment()) {
  scripted = std::make_shared<ScriptedApplication>(real_->application());
  host::setEnvironment(this);
}

ScriptedEnvironment::~ScriptedEnvironment() {
  host::setEnvironment(real_);
}

}  // namespace vantrel::testing
