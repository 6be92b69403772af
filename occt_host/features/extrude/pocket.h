// A pocket (stands for CATIPocket): the sketch's profile extruded between two limits and
// cut from the body's solid before it. Consecutive pockets and removes recompute as one
// cut with many tools.
#pragma once

#include <memory>
#include <string>

#include "features/extrude/prism.h"

namespace occt_host {

class Pocket : public PrismFeature<host::Pocket> {
 public:
  Pocket(std::string name, const std::shared_ptr<Sketch>& sketch);

  RunKind runKind() const override { return RunKind::Cut; }
  TopoDS_Shape runTool() override { return prism_.extrude(name()); }

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;
};

}  // namespace occt_host
