#include "model/plane_feature.h"

#include <gp_Ax3.hxx>

#include <cmath>

#include "model/reference_plane.h"

namespace occt_host {

namespace {
bool finite(const host::Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
}  // namespace

std::shared_ptr<PlaneFeature> PlaneFeature::create(std::string name, const host::Plane& p) {
  if (!finite(p.origin) || !finite(p.u) || !finite(p.v)) return nullptr;
  const host::Vec3 n = host::cross(p.u, p.v);
  // Parallel or zero directions span no plane.
  if (host::norm(n) <= 1e-12 * std::max(1.0, host::norm(p.u) * host::norm(p.v))) return nullptr;
  const gp_Ax3 axes(gp_Pnt(p.origin.x, p.origin.y, p.origin.z), gp_Dir(n.x, n.y, n.z),
                    gp_Dir(p.u.x, p.u.y, p.u.z));
  return std::make_shared<PlaneFeature>(std::move(name), gp_Pln(axes));
}

PlaneFeature::PlaneFeature(std::string name, const gp_Pln& plane)
    : TreeNode("Plane", std::move(name)), plane_(plane) {}

bool PlaneFeature::plane(host::Plane& out) {
  out = toHostPlane(plane_);
  return true;
}

void* PlaneFeature::findInterface(host::InterfaceId id) {
  if (id == host::PlaneGeometry::kInterfaceId) return static_cast<host::PlaneGeometry*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
