#include "sketch/sketch.h"

#include <gp_Vec2d.hxx>

#include <algorithm>
#include <cmath>

#include "kernel/kernel_guard.h"
#include "sketch/profile_builder.h"
#include "sketch/sketch_curves.h"
#include "sketch/sketch_element.h"

namespace occt_host {

namespace {

// Directions shorter than this (or this far from independent) are refused.
constexpr double kDegenerate = 1e-9;

host::Vec3 toVec(const gp_XYZ& xyz) {
  return {xyz.X(), xyz.Y(), xyz.Z()};
}

gp_Pnt2d toPnt(const host::Point2& p) {
  return gp_Pnt2d(p.x, p.y);
}

}  // namespace

Sketch::Sketch(std::string name, const gp_Ax3& placement)
    : TreeNode("Sketch", std::move(name)), placement_(placement) {}

std::shared_ptr<Sketch> Sketch::create(std::string name, const host::Point3& origin,
                                       const host::Vec3& h, const host::Vec3& v) {
  if (!std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(origin.z))
    return nullptr;
  double hn = host::norm(h);
  if (!(hn > kDegenerate) || !std::isfinite(hn)) return nullptr;
  host::Vec3 u = h * (1.0 / hn);
  // Keep the horizontal axis and make the vertical one square to it.
  host::Vec3 w = v - u * host::dot(v, u);
  double wn = host::norm(w);
  if (!(wn > kDegenerate * std::max(1.0, host::norm(v))) || !std::isfinite(wn)) return nullptr;
  w = w * (1.0 / wn);
  host::Vec3 n = host::cross(u, w);
  gp_Ax3 placement(gp_Pnt(origin.x, origin.y, origin.z), gp_Dir(n.x, n.y, n.z),
                   gp_Dir(u.x, u.y, u.z));
  return std::make_shared<Sketch>(std::move(name), placement);
}

host::Status Sketch::openEdition() {
  open_ = true;
  return host::kOk;
}

host::Status Sketch::closeEdition() {
  if (!open_) return host::kFalse;
  open_ = false;
  return host::kOk;
}

host::Plane Sketch::plane() const {
  host::Plane out;
  out.origin = toVec(placement_.Location().XYZ());
  out.u = toVec(placement_.XDirection().XYZ());
  out.v = toVec(placement_.YDirection().XYZ());
  return out;
}

host::Geometry2DPtr Sketch::createPoint(const host::Point2& at) {
  if (!open_ || !std::isfinite(at.x) || !std::isfinite(at.y)) return nullptr;
  return guarded(nullptr,
                 [&] { return add(std::make_shared<SketchElement>(gp_Pnt2d(at.x, at.y))); });
}

host::Geometry2DPtr Sketch::createCircle(const host::Point2& center, double radius) {
  return guarded(nullptr,
                 [&] { return addCurve(makeCircle2d(toPnt(center), radius), "Circle2D"); });
}

host::Geometry2DPtr Sketch::createLine(const host::Point2& from, const host::Point2& to) {
  return guarded(nullptr, [&] { return addCurve(makeLine2d(toPnt(from), toPnt(to)), "Line2D"); });
}

host::Geometry2DPtr Sketch::createCircleArc(const host::Point2& center, double radius,
                                            double startAngle, double endAngle) {
  return guarded(nullptr, [&] {
    return addCurve(makeCircleArc2d(toPnt(center), radius, startAngle, endAngle), "Arc2D");
  });
}

host::Geometry2DPtr Sketch::createEllipse(const host::Point2& center,
                                          const host::Point2& majorDirection, double firstRadius,
                                          double secondRadius) {
  return guarded(nullptr, [&] {
    gp_Vec2d major(majorDirection.x, majorDirection.y);
    return addCurve(makeEllipse2d(toPnt(center), major, firstRadius, secondRadius), "Ellipse2D");
  });
}

host::Geometry2DPtr Sketch::createEllipseArc(const host::Point2& center,
                                             const host::Point2& majorDirection, double firstRadius,
                                             double secondRadius, double startParameter,
                                             double endParameter) {
  return guarded(nullptr, [&] {
    gp_Vec2d major(majorDirection.x, majorDirection.y);
    return addCurve(makeEllipseArc2d(toPnt(center), major, firstRadius, secondRadius,
                                     startParameter, endParameter),
                    "EllipseArc2D");
  });
}

host::Geometry2DPtr Sketch::createSpline(const std::vector<host::Geometry2DPtr>& points,
                                         int closure) {
  return addSpline(points, closure, false);
}

host::Geometry2DPtr Sketch::createQuinticSpline(const std::vector<host::Geometry2DPtr>& points,
                                                int closure) {
  return addSpline(points, closure, true);
}

// The points must be point elements of this sketch.
host::Geometry2DPtr Sketch::addSpline(const std::vector<host::Geometry2DPtr>& points, int closure,
                                      bool quintic) {
  return guarded(nullptr, [&]() -> host::Geometry2DPtr {
    std::vector<gp_Pnt2d> at;
    for (const auto& point : points) {
      auto element = std::dynamic_pointer_cast<SketchElement>(point);
      if (!element || element->isCurve()) return nullptr;
      if (std::find(elements_.begin(), elements_.end(), element) == elements_.end()) return nullptr;
      at.push_back(element->point());
    }
    bool closed = closure != 0;
    return addCurve(quintic ? makeQuinticSpline2d(at, closed) : makeSpline2d(at, closed),
                    "Spline2D");
  });
}

host::Geometry2DPtr Sketch::addCurve(const opencascade::handle<Geom2d_Curve>& curve,
                                     const char* kind) {
  if (!open_ || curve.IsNull()) return nullptr;
  return add(std::make_shared<SketchElement>(curve, kind));
}

host::Geometry2DPtr Sketch::add(std::shared_ptr<SketchElement> element) {
  std::weak_ptr<Sketch> self = std::static_pointer_cast<Sketch>(shared_from_this());
  element->attach(std::static_pointer_cast<Sketch>(shared_from_this()), [self] {
    if (auto sketch = self.lock()) sketch->elementChanged();
  });
  elements_.push_back(element);
  touch();
  return element;
}

TopoDS_Compound Sketch::profile() const {
  gp_Pln plane = kernelPlane();
  ProfileBuilder builder(plane);
  for (const auto& element : elements_) {
    if (element->isCurve()) builder.addEdge(element->edgeOn(plane));
  }
  return builder.build();
}

void* Sketch::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Sketch, host::Factory2D>(this, id)) return found;
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
