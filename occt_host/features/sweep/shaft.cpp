#include "features/sweep/shaft.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "features/boolean/boolean_ops.h"
#include "features/sweep/sweep_inputs.h"
#include "host/interface_table.h"
#include "occt_host/model/line_feature.h"
#include "sketch/sketch.h"

namespace occt_host {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Angles closer than this (degrees) are equal; distances below kOnAxis (mm) touch the axis.
constexpr double kAngleTolerance = 1e-9;
constexpr double kOnAxis = 1e-7;
// Points per edge when testing on which side of the axis a profile lies.
constexpr int kSamplesPerEdge = 64;

// Signed distance of `p` from the line through `origin` along `dir`, within the plane of
// normal `normal`: positive on one side, negative on the other.
double side(const gp_Pnt& p, const gp_Pnt& origin, const gp_Dir& dir, const gp_Dir& normal) {
  return gp_Vec(dir).Crossed(gp_Vec(origin, p)).Dot(gp_Vec(normal));
}

// The axis as seen in the profile's plane: swept around it, two points of the profile
// that mirror each other across it meet on the same circle.
void checkSides(const TopoDS_Shape& profile, const gp_Pln& plane, const gp_Ax1& axis,
                const std::string& owner) {
  const gp_Dir normal = plane.Axis().Direction();
  const gp_Vec d(axis.Direction());
  const gp_Dir inPlane(d - gp_Vec(normal) * d.Dot(gp_Vec(normal)));
  const gp_Pnt origin = axis.Location().Translated(
      -gp_Vec(normal) * gp_Vec(plane.Location(), axis.Location()).Dot(gp_Vec(normal)));
  double low = 0, high = 0;
  for (TopExp_Explorer e(profile, TopAbs_EDGE); e.More(); e.Next()) {
    BRepAdaptor_Curve curve(TopoDS::Edge(e.Current()));
    const double first = curve.FirstParameter(), last = curve.LastParameter();
    for (int i = 0; i <= kSamplesPerEdge; ++i) {
      const double s =
          side(curve.Value(first + (last - first) * i / kSamplesPerEdge), origin, inPlane, normal);
      low = std::min(low, s);
      high = std::max(high, s);
    }
  }
  if (low < -kOnAxis && high > kOnAxis)
    throw std::runtime_error(owner + ": the profile lies on both sides of the revolution axis");
}

}  // namespace

void checkProfileClearsAxis(const TopoDS_Shape& profile, const gp_Pln& plane, const gp_Ax1& axis,
                            const std::string& owner) {
  const gp_Dir normal = plane.Axis().Direction();
  const double across = axis.Direction().Dot(normal);
  if (std::abs(across) < 1e-9) {
    checkSides(profile, plane, axis, owner);
    return;
  }
  // An axis that leaves the plane meets it in one point, which must not be inside.
  const double t = gp_Vec(axis.Location(), plane.Location()).Dot(gp_Vec(normal)) / across;
  const gp_Pnt pierce = axis.Location().Translated(gp_Vec(axis.Direction()) * t);
  for (TopExp_Explorer f(profile, TopAbs_FACE); f.More(); f.Next()) {
    BRepClass_FaceClassifier inside(TopoDS::Face(f.Current()), pierce, kOnAxis);
    if (inside.State() == TopAbs_IN)
      throw std::runtime_error(owner + ": the revolution axis passes through the profile");
  }
}

Shaft::Shaft(std::string name, const std::shared_ptr<Sketch>& sketch)
    : SolidFeature("Shaft", std::move(name)), sketch_(sketch) {}

host::Status Shaft::setStartAngle(double degrees) {
  if (!std::isfinite(degrees)) return host::kInvalidArg;
  start_ = degrees;
  touch();
  return host::kOk;
}

host::Status Shaft::setEndAngle(double degrees) {
  if (!std::isfinite(degrees)) return host::kInvalidArg;
  end_ = degrees;
  touch();
  return host::kOk;
}

host::Status Shaft::setAxis(const host::SpecObjectPtr& line) {
  auto axis = std::dynamic_pointer_cast<LineFeature>(line);
  if (!axis) return host::kInvalidArg;
  axis_ = axis;
  touch();
  return host::kOk;
}

host::SpecObjectPtr Shaft::axis() const {
  return axis_;
}

void* Shaft::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Shaft>(this, id)) return found;
  return SolidFeature::findInterface(id);
}

std::uint64_t Shaft::inputRevision() const {
  return revisionOf(sketch_);
}

gp_Ax1 Shaft::axisOrThrow() const {
  if (!axis_) throw std::runtime_error(name() + ": the shaft has no axis");
  return gp_Ax1(axis_->from(), gp_Dir(gp_Vec(axis_->from(), axis_->to())));
}

// The turn from the start angle to the end angle, whichever is larger, in degrees.
double Shaft::spanOrThrow() const {
  const double span = std::abs(end_ - start_);
  if (span < kAngleTolerance)
    throw std::runtime_error(name() + ": the start and end angles are equal");
  if (span > 360 + kAngleTolerance)
    throw std::runtime_error(name() + ": the angle from start to end exceeds 360 degrees");
  return std::min(span, 360.0);
}

TopoDS_Shape Shaft::build(const TopoDS_Shape& before) {
  auto sketch = liveSketch(sketch_, name(), "profile");
  const gp_Ax1 axis = axisOrThrow();
  const double span = spanOrThrow();
  TopoDS_Shape profile = profileFaces(*sketch, name());
  checkProfileClearsAxis(profile, sketch->kernelPlane(), axis, name());
  gp_Trsf turn;
  turn.SetRotation(axis, std::min(start_, end_) * kPi / 180);
  TopoDS_Shape start = BRepBuilderAPI_Transform(profile, turn, true).Shape();
  BRepPrimAPI_MakeRevol revol(start, axis, span * kPi / 180);
  if (!revol.IsDone()) throw std::runtime_error(name() + ": the revolution failed");
  if (before.IsNull()) return revol.Shape();
  // The fuse's record of both solids lets later features follow this one's faces.
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, revol.Shape(), name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
