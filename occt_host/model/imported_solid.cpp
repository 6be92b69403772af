#include "model/imported_solid.h"

#include <stdexcept>

#include "features/boolean/boolean_ops.h"

namespace occt_host {

ImportedSolid::ImportedSolid(std::string name, TopoDS_Shape shape)
    : SolidFeature("Solid", std::move(name)), shape_(std::move(shape)) {}

TopoDS_Shape ImportedSolid::build(const TopoDS_Shape& before) {
  if (shape_.IsNull()) throw std::runtime_error(name() + ": there is no solid to take in");
  if (before.IsNull()) return shape_;
  return booleans::fuse(before, shape_, name());
}

}  // namespace occt_host
