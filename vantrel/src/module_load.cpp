// Loading the module enters its classes into the host's run-time dictionary, as the host's
// dictionary file makes it do for the original.
#include "host/environment.h"
#include "vantrel/vantrel_addin.h"

namespace {

struct ModuleRegistration {
  ModuleRegistration() {
    try {
      host::Environment* env = host::environment();
      if (host::Desktop* desktop = env != nullptr ? env->desktop() : nullptr)
        vantrel::RegisterVantrelModule(*desktop);
    } catch (...) {
      // A host that cannot take the entries simply does not offer the add-in.
    }
  }
};

const ModuleRegistration g_registration;

}  // namespace
