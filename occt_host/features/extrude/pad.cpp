#include "features/extrude/pad.h"

#include "features/boolean/boolean_ops.h"

namespace occt_host {

Pad::Pad(std::string name, const std::shared_ptr<Sketch>& sketch)
    : PrismFeature("Pad", std::move(name), sketch) {}

TopoDS_Shape Pad::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = prism_.extrude(name());
  if (before.IsNull()) return prism;
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, prism, name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
