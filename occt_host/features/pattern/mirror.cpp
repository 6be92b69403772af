#include "features/pattern/mirror.h"

#include <gp_Ax2.hxx>
#include <gp_Trsf.hxx>
#include <gp_Vec.hxx>

#include <stdexcept>

#include "features/pattern/feature_copies.h"
#include "host/interface_table.h"
#include "host/wireframe.h"
#include "kernel/kernel_guard.h"

namespace occt_host {

namespace {

bool planeAxes(const host::SpecObjectPtr& object, gp_Ax2& out) {
  auto geometry = host::query<host::PlaneGeometry>(object);
  host::Plane plane;
  if (!geometry || !geometry->plane(plane)) return false;
  const host::Vec3 n = plane.normal();
  const gp_Vec normal(n.x, n.y, n.z), first(plane.u.x, plane.u.y, plane.u.z);
  if (!(normal.Magnitude() > 1e-9) || !(first.Magnitude() > 1e-9)) return false;
  out =
      gp_Ax2(gp_Pnt(plane.origin.x, plane.origin.y, plane.origin.z), gp_Dir(normal), gp_Dir(first));
  return true;
}

}  // namespace

bool hasPlane(const host::SpecObjectPtr& plane) {
  gp_Ax2 axes;
  return guarded(false, [&] { return planeAxes(plane, axes); });
}

MirrorFeature::MirrorFeature(std::string name, const host::SpecObjectPtr& plane)
    : SolidFeature("Mirror", std::move(name)), plane_(plane) {}

host::Status MirrorFeature::addMirrorObject(const host::SpecObjectPtr& object) {
  if (!object) return host::kPointer;
  if (object.get() == static_cast<host::SpecObject*>(this)) return host::kInvalidArg;
  objects_.push_back(object);
  touch();
  return host::kOk;
}

void* MirrorFeature::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Mirror>(this, id)) return found;
  return SolidFeature::findInterface(id);
}

gp_Trsf MirrorFeature::reflection() const {
  gp_Ax2 axes;
  if (!planeAxes(plane_.lock(), axes))
    throw std::runtime_error(name() + ": the mirror plane is missing or has no plane");
  gp_Trsf mirror;
  mirror.SetMirror(axes);
  return mirror;
}

TopoDS_Shape MirrorFeature::build(const TopoDS_Shape& before) {
  const gp_Trsf mirror = reflection();
  std::vector<TopoDS_Shape> adds, removes;
  if (objects_.empty()) {
    if (before.IsNull()) throw std::runtime_error(name() + ": the body has no solid to mirror");
    adds.push_back(placedCopy(before, mirror));
  }
  for (const auto& weak : objects_) {
    const CopySource source = copySourceOf(weak.lock(), *this, before);
    for (const TopoDS_Shape& shape : source.shapes)
      (source.adds ? adds : removes).push_back(placedCopy(shape, mirror));
  }
  FeatureHistory history;
  TopoDS_Shape shape = combineCopies(before, adds, removes, name(), history);
  publishHistory(std::move(history));
  return shape;
}

}  // namespace occt_host
