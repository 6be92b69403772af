#include "occt_host/pad.h"

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <gp_Trsf.hxx>

#include <cmath>
#include <stdexcept>

#include "occt_host/sketch.h"

namespace occt_host {

namespace {

// Default first length of a new pad, in millimetres, as the original proposes.
constexpr double kDefaultLength = 20.0;
// Extrusions shorter than this, or directions this close to the sketch plane, are refused.
constexpr double kMinimum = 1e-7;

bool finite(const host::Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

Pad::Pad(std::string name, const std::shared_ptr<Sketch>& sketch)
    : SolidFeature("Pad", std::move(name)), sketch_(sketch) {
  limits_[0].length = kDefaultLength;
}

std::optional<std::size_t> Pad::slot(host::LimitEnd end) {
  if (end == host::LimitEnd::First) return 0;
  if (end == host::LimitEnd::Second) return 1;
  return std::nullopt;
}

host::Status Pad::setDirection(const host::Vec3& direction) {
  if (!finite(direction) || !(host::norm(direction) > kMinimum)) return host::kInvalidArg;
  direction_ = direction;
  touch();
  return host::kOk;
}

host::Vec3 Pad::direction() const {
  if (direction_) return *direction_;
  auto sketch = sketch_.lock();
  return sketch ? sketch->plane().normal() : host::Vec3{0, 0, 1};
}

host::Status Pad::setLimitType(host::LimitEnd end, int type) {
  auto i = slot(end);
  if (!i || type < 0) return host::kInvalidArg;
  limits_[*i].type = type;
  touch();
  return host::kOk;
}

int Pad::limitType(host::LimitEnd end) const {
  auto i = slot(end);
  return i ? limits_[*i].type : -1;
}

host::Status Pad::setLimitLength(host::LimitEnd end, double length) {
  auto i = slot(end);
  if (!i || !std::isfinite(length)) return host::kInvalidArg;
  limits_[*i].length = length;
  touch();
  return host::kOk;
}

double Pad::limitLength(host::LimitEnd end) const {
  auto i = slot(end);
  return i ? limits_[*i].length : 0.0;
}

void* Pad::findInterface(host::InterfaceId id) {
  if (id == host::Pad::kInterfaceId) return static_cast<host::Pad*>(this);
  if (id == host::Prism::kInterfaceId) return static_cast<host::Prism*>(this);
  return SolidFeature::findInterface(id);
}

std::uint64_t Pad::inputRevision() const {
  auto sketch = sketch_.lock();
  return sketch ? sketch->revision() : 0;
}

TopoDS_Shape Pad::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = extrude();
  if (before.IsNull()) return prism;
  BRepAlgoAPI_Fuse fuse(before, prism);
  if (fuse.HasErrors() || !fuse.IsDone())
    throw std::runtime_error(name() + ": the union with the body's solid failed");
  fuse.SimplifyResult();
  return fuse.Shape();
}

// The profile moved back by the second limit, then swept over both limits.
TopoDS_Shape Pad::extrude() const {
  auto sketch = sketch_.lock();
  if (!sketch || !sketch->parentNode())
    throw std::runtime_error(name() + ": its sketch is no longer in the Part");
  for (const Limit& limit : limits_) {
    if (limit.type != host::kLimitLength)
      throw std::runtime_error(name() + ": limit type " + std::to_string(limit.type) +
                               " is not supported");
  }
  host::Vec3 d = direction();
  d = d * (1.0 / host::norm(d));
  host::Vec3 normal = sketch->plane().normal();
  if (std::abs(host::dot(d, normal)) < kMinimum)
    throw std::runtime_error(name() + ": the direction lies in the sketch plane");
  double span = limits_[0].length + limits_[1].length;
  if (!(span > kMinimum))
    throw std::runtime_error(
        name() + ": the extrusion length (first plus second limit) is zero or negative");

  gp_Trsf back;
  back.SetTranslation(gp_Vec(d.x, d.y, d.z) * -limits_[1].length);
  TopoDS_Shape start = BRepBuilderAPI_Transform(sketch->profile(), back, /*Copy=*/true).Shape();
  BRepPrimAPI_MakePrism prism(start, gp_Vec(d.x, d.y, d.z) * span);
  if (!prism.IsDone()) throw std::runtime_error(name() + ": the extrusion failed");
  return prism.Shape();
}

}  // namespace occt_host
