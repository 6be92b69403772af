#include "model/point_feature.h"

namespace occt_host {

bool PointFeature::position(host::Point3& out) {
  out = {at_.X(), at_.Y(), at_.Z()};
  return true;
}

void* PointFeature::findInterface(host::InterfaceId id) {
  if (id == host::PointGeometry::kInterfaceId) return static_cast<host::PointGeometry*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
