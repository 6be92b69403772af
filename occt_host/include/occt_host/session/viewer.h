// The 3D viewer of a window. It draws nothing; it counts redraw requests so that callers
// can see that the geometry would have been shown.
#pragma once

#include <memory>

#include "host/api.h"
#include "host/application.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Viewer : public Object, public host::Viewer {
 public:
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  void redraw() override { ++redraws_; }
  int redraws() const { return redraws_; }
  void reframe() override { ++reframes_; }
  int reframes() const { return reframes_; }

 protected:
  void* findInterface(host::InterfaceId id) override {
    return id == host::Viewer::kInterfaceId ? static_cast<host::Viewer*>(this) : nullptr;
  }
  host::Unknown* identity() override { return static_cast<host::Viewer*>(this); }

 private:
  int redraws_ = 0;
  int reframes_ = 0;
};

// The redraws requested on `viewer` so far; -1 when it is not one of this host's viewers.
int redrawCount(const std::shared_ptr<host::Viewer>& viewer);

}  // namespace occt_host
