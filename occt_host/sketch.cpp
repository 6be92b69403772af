#include "occt_host/sketch.h"

#include <Geom2d_Circle.hxx>
#include <gp_Circ2d.hxx>

#include <algorithm>
#include <cmath>

#include "occt_host/profile_builder.h"
#include "occt_host/sketch_element.h"

namespace occt_host {

namespace {

// Directions shorter than this (or this far from independent) are refused.
constexpr double kDegenerate = 1e-9;

host::Vec3 toVec(const gp_XYZ& xyz) {
  return {xyz.X(), xyz.Y(), xyz.Z()};
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
  try {
    return add(std::make_shared<SketchElement>(gp_Pnt2d(at.x, at.y)));
  } catch (...) {
    return nullptr;
  }
}

host::Geometry2DPtr Sketch::createCircle(const host::Point2& center, double radius) {
  if (!open_ || !(radius > 0) || !std::isfinite(radius)) return nullptr;
  if (!std::isfinite(center.x) || !std::isfinite(center.y)) return nullptr;
  try {
    gp_Circ2d circle(gp_Ax2d(gp_Pnt2d(center.x, center.y), gp_Dir2d(1, 0)), radius);
    return add(std::make_shared<SketchElement>(Handle(Geom2d_Curve)(new Geom2d_Circle(circle))));
  } catch (...) {
    return nullptr;
  }
}

host::Geometry2DPtr Sketch::add(std::shared_ptr<SketchElement> element) {
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
  if (id == host::Sketch::kInterfaceId) return static_cast<host::Sketch*>(this);
  if (id == host::Factory2D::kInterfaceId) return static_cast<host::Factory2D*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
