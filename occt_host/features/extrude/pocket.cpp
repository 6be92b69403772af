#include "features/extrude/pocket.h"

#include <stdexcept>

#include "features/boolean/boolean_ops.h"

namespace occt_host {

Pocket::Pocket(std::string name, const std::shared_ptr<Sketch>& sketch)
    : PrismFeature("Pocket", std::move(name), sketch) {}

TopoDS_Shape Pocket::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = prism_.extrude(name());
  if (before.IsNull())
    throw std::runtime_error(name() + ": the body has no solid before it to cut");
  FeatureHistory history;
  TopoDS_Shape cut = booleans::cut(before, {prism}, name(), &history.history);
  publishHistory(std::move(history));
  return cut;
}

}  // namespace occt_host
