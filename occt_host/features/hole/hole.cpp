#include "features/hole/hole.h"

#include <BRepAdaptor_Surface.hxx>
#include <TopoDS.hxx>
#include <gp_Vec.hxx>

#include <cmath>
#include <stdexcept>

#include "features/boolean/boolean_ops.h"
#include "host/interface_table.h"
#include "host/wireframe.h"
#include "occt_host/model/line_feature.h"
#include "topology/topology_reference.h"

namespace occt_host {

namespace {

// The plane of a referenced planar face, as the lookup matched it; its normal points out
// of the material.
bool facePlane(const TopologyReference& reference, gp_Pnt& origin, gp_Dir& normal) {
  if (!reference.owner() || !reference.isFace()) return false;
  const TopoDS_Shape& face = reference.shape();
  BRepAdaptor_Surface surface(TopoDS::Face(face), false);
  if (surface.GetType() != GeomAbs_Plane) return false;
  const gp_Pln plane = surface.Plane();
  origin = plane.Location();
  normal = plane.Axis().Direction();
  if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
  return true;
}

// The support's plane: a planar face reference, a plane feature or a reference plane.
bool supportPlane(const host::SpecObjectPtr& support, gp_Pnt& origin, gp_Dir& normal) {
  if (auto reference = std::dynamic_pointer_cast<TopologyReference>(support))
    return facePlane(*reference, origin, normal);
  auto geometry = host::query<host::PlaneGeometry>(support);
  host::Plane plane;
  if (!geometry || !geometry->plane(plane)) return false;
  const gp_Vec n(plane.normal().x, plane.normal().y, plane.normal().z);
  if (n.Magnitude() <= 1e-9) return false;
  origin = gp_Pnt(plane.origin.x, plane.origin.y, plane.origin.z);
  normal = gp_Dir(n);
  return true;
}

}  // namespace

Hole::Hole(std::string name, const gp_Pnt& origin, const gp_Dir& axis, const gp_Dir& normal)
    : SolidFeature("Hole", std::move(name)),
      origin_(origin),
      direction_(axis.Dot(normal) < 0 ? axis.Reversed() : axis) {}

host::Status Hole::set(double& field, double value) {
  if (!std::isfinite(value)) return host::kInvalidArg;
  field = value;
  touch();
  return host::kOk;
}

host::Status Hole::setType(int type) {
  if (type < host::kHoleSimple || type > host::kHoleCountersunk) return host::kInvalidArg;
  shape_.type = type;
  touch();
  return host::kOk;
}

host::Status Hole::setDiameter(double diameter) {
  return set(shape_.diameter, diameter);
}

host::Point3 Hole::origin() const {
  return {origin_.X(), origin_.Y(), origin_.Z()};
}

host::Vec3 Hole::direction() const {
  return {direction_.X(), direction_.Y(), direction_.Z()};
}

host::Status Hole::reverse() {
  direction_.Reverse();
  touch();
  return host::kOk;
}

host::Status Hole::setTaperAngle(double degrees) {
  return set(shape_.taperAngle, degrees);
}

host::Status Hole::setCounterboreDiameter(double diameter) {
  return set(shape_.counterboreDiameter, diameter);
}

host::Status Hole::setCounterboreDepth(double depth) {
  return set(shape_.counterboreDepth, depth);
}

host::Status Hole::setCountersinkDiameter(double diameter) {
  return set(shape_.countersinkDiameter, diameter);
}

host::Status Hole::setCountersinkAngle(double degrees) {
  return set(shape_.countersinkAngle, degrees);
}

host::Status Hole::setDepth(double depth) {
  return set(shape_.depth, depth);
}

host::Status Hole::setBottomType(int type) {
  if (type != host::kHoleBottomFlat && type != host::kHoleBottomV) return host::kInvalidArg;
  shape_.bottomType = type;
  touch();
  return host::kOk;
}

host::Status Hole::setBottomAngle(double degrees) {
  return set(shape_.bottomAngle, degrees);
}

TopoDS_Shape Hole::runTool() {
  return revolvedHole(shape_, origin_, direction_, name());
}

void* Hole::findInterface(host::InterfaceId id) {
  // Every kind extends the common interface; the simple one stands for it.
  if (id == host::Hole::kInterfaceId)
    return static_cast<host::Hole*>(static_cast<host::SimpleHole*>(this));
  if (void* found = host::answerAs<host::SimpleHole, host::TaperedHole, host::CounterBoredHole,
                                   host::CounterSunkHole, host::HoleLimit>(this, id))
    return found;
  return SolidFeature::findInterface(id);
}

TopoDS_Shape Hole::build(const TopoDS_Shape& before) {
  TopoDS_Shape tool = runTool();
  if (before.IsNull())
    throw std::runtime_error(name() + ": the body has no solid before it to drill");
  FeatureHistory history;
  TopoDS_Shape cut = booleans::cut(before, {tool}, name(), &history.history);
  publishHistory(std::move(history));
  return cut;
}

std::shared_ptr<Hole> makeHole(std::string name, const host::Point3& point,
                               const host::SpecObjectPtr& support,
                               const host::SpecObjectPtr& line) {
  auto axisLine = std::dynamic_pointer_cast<LineFeature>(line);
  gp_Pnt planeOrigin;
  gp_Dir up;
  if (!axisLine || !supportPlane(support, planeOrigin, up)) return nullptr;
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return nullptr;
  const gp_Vec along(axisLine->from(), axisLine->to());
  if (along.Magnitude() <= 1e-9) return nullptr;
  const gp_Dir axis(along);
  const double across = axis.Dot(up);
  if (std::fabs(across) <= 1e-9) return nullptr;
  // Along the axis from the point to the support's plane.
  const gp_Pnt at(point.x, point.y, point.z);
  const gp_Pnt origin =
      at.Translated(gp_Vec(axis) * (gp_Vec(at, planeOrigin).Dot(gp_Vec(up)) / across));
  return std::make_shared<Hole>(std::move(name), origin, axis, up);
}

}  // namespace occt_host
