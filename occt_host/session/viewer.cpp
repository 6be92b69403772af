#include "occt_host/session/viewer.h"

namespace occt_host {

int redrawCount(const std::shared_ptr<host::Viewer>& viewer) {
  auto ours = std::dynamic_pointer_cast<Viewer>(viewer);
  return ours ? ours->redraws() : -1;
}

}  // namespace occt_host
