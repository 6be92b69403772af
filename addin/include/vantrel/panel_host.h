// The panel host: binds the runtime configuration to a panel window and shows the front end.
#pragma once

#include "vantrel/panel_window.h"
#include "vantrel/runtime_config.h"

namespace vantrel {

// Binds the runtime configuration to a panel window.
class PanelHost {
 public:
  explicit PanelHost(const RuntimeConfig& config);

  void SetWindow(PanelWindow* window) { window_ = window; }
  // Publishes the draw delay and shows the front end. Throws std::runtime_error for an empty
  // location or a window that cannot show it; does nothing once initialized.
  void Initialize();
  void Shutdown();
  bool initialized() const { return initialized_; }

 private:
  RuntimeConfig config_;
  PanelWindow* window_ = nullptr;  // not owned
  bool initialized_ = false;
};

}  // namespace vantrel
