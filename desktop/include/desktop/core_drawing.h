// The desktop program's link to the geometry core: part JSON drawn through Kestrun, product
// JSON through the add-in's two stages, and the core's per-item report fed to the session's
// progress (status bar, model tree, selection). The session itself knows no core.
#pragma once

#include <cstdint>

namespace workstation {
class Workstation;
}

namespace desktop {

// Installs the drawers into `ws` and holds the core's report sink while it lives; at most one
// per process, and it must go before `ws` does.
class CoreDrawing {
 public:
  explicit CoreDrawing(workstation::Workstation& ws);
  ~CoreDrawing();
  CoreDrawing(const CoreDrawing&) = delete;
  CoreDrawing& operator=(const CoreDrawing&) = delete;

 private:
  workstation::Workstation& ws_;
};

}  // namespace desktop
