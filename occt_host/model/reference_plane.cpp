#include "model/reference_plane.h"

namespace occt_host {

host::Plane toHostPlane(const gp_Pln& plane) {
  const gp_Ax3& ax = plane.Position();
  const gp_Pnt& o = ax.Location();
  const gp_Dir& x = ax.XDirection();
  const gp_Dir& y = ax.YDirection();
  return {{o.X(), o.Y(), o.Z()}, {x.X(), x.Y(), x.Z()}, {y.X(), y.Y(), y.Z()}};
}

bool ReferencePlane::plane(host::Plane& out) {
  out = toHostPlane(plane_);
  return true;
}

void* ReferencePlane::findInterface(host::InterfaceId id) {
  if (id == host::PlaneGeometry::kInterfaceId) return static_cast<host::PlaneGeometry*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
