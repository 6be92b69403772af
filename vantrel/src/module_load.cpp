// Loading the module enters its classes into the host's run-time dictionary, as the host's
// dictionary file makes it do for the original.
#include "host/environment.h"
#include "vantrel/vantrel_addin.h"
#if defined(TOLVANE_WEB_PANEL)
#include "panel/web_panel_window.h"
#endif
#if defined(_WIN32)
#include "win32/webview2_panel_window.h"
#endif

namespace {

struct ModuleRegistration {
  ModuleRegistration() {
    try {
#if defined(TOLVANE_WEB_PANEL)
      panel::InstallWebPanel();
#endif
#if defined(_WIN32)
      vantrel::InstallWin32PanelWindow();
#endif
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
