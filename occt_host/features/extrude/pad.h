// A pad (stands for CATIPad): the sketch's profile extruded between two limits and
// fused into the body's solid.
#pragma once

#include <memory>
#include <string>

#include "features/extrude/prism.h"

namespace occt_host {

class Pad : public PrismFeature<host::Pad> {
 public:
  Pad(std::string name, const std::shared_ptr<Sketch>& sketch);

  RunKind runKind() const override { return RunKind::Fuse; }
  TopoDS_Shape runTool() override { return prism_.extrude(name()); }
  bool contribution(Contribution& out) override {
    out = {{prism_.extrude(name())}, true};
    return true;
  }

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;
};

}  // namespace occt_host
