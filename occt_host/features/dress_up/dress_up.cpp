#include "features/dress_up/dress_up.h"

#include <stdexcept>
#include <utility>

#include "occt_host/model/body.h"
#include "topology/topology_reference.h"

namespace occt_host {

DressUpFeature::DressUpFeature(std::string type, std::string name, host::SpecObjectList references)
    : SolidFeature(std::move(type), std::move(name)), references_(std::move(references)) {}

SolidFeature& DressUpFeature::featureBefore() {
  auto body = std::dynamic_pointer_cast<Body>(parentNode());
  auto previous = body ? body->solidFeatureBefore(this) : nullptr;
  if (!previous) throw std::runtime_error(name() + ": the body has no solid before it");
  return *previous;
}

void DressUpFeature::needSolid(const TopoDS_Shape& before) const {
  if (before.IsNull()) throw std::runtime_error(name() + ": the body has no solid before it");
}

std::vector<TopoDS_Shape> DressUpFeature::resolved() {
  if (references_.empty()) return {};
  return resolveAll(references_, featureBefore(), name());
}

}  // namespace occt_host
