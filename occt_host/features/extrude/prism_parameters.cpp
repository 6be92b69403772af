#include "features/extrude/prism_parameters.h"

#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "sketch/sketch.h"

namespace occt_host {

namespace {

// Default first length of a new prism, in millimetres, as the original proposes.
constexpr double kDefaultLength = 20.0;
// Extrusions shorter than this, or directions this close to the sketch plane, are refused.
constexpr double kMinimum = 1e-7;
// Limits beyond a kilometre are input errors; the kernel would work at scales where its
// tolerances no longer hold.
constexpr double kMaximumLength = 1e6;

bool finite(const host::Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The sketch's text says what is wrong with the profile; the owner says where.
TopoDS_Shape profileOf(const Sketch& sketch, const std::string& owner) {
  try {
    return sketch.profile();
  } catch (const std::exception& e) {
    throw std::runtime_error(owner + ": " + e.what());
  }
}

}  // namespace

PrismParameters::PrismParameters(const std::shared_ptr<Sketch>& sketch) : sketch_(sketch) {
  limits_[0].length = kDefaultLength;
}

std::optional<std::size_t> PrismParameters::slot(host::LimitEnd end) {
  if (end == host::LimitEnd::First) return 0;
  if (end == host::LimitEnd::Second) return 1;
  return std::nullopt;
}

host::Status PrismParameters::setDirection(const host::Vec3& direction) {
  if (!finite(direction) || !(host::norm(direction) > kMinimum)) return host::kInvalidArg;
  direction_ = direction;
  return host::kOk;
}

host::Vec3 PrismParameters::direction() const {
  if (direction_) return *direction_;
  auto sketch = sketch_.lock();
  return sketch ? sketch->plane().normal() : host::Vec3{0, 0, 1};
}

host::Status PrismParameters::setLimitType(host::LimitEnd end, int type) {
  auto i = slot(end);
  if (!i || type < 0) return host::kInvalidArg;
  limits_[*i].type = type;
  return host::kOk;
}

int PrismParameters::limitType(host::LimitEnd end) const {
  auto i = slot(end);
  return i ? limits_[*i].type : -1;
}

host::Status PrismParameters::setLimitLength(host::LimitEnd end, double length) {
  auto i = slot(end);
  if (!i || !std::isfinite(length)) return host::kInvalidArg;
  limits_[*i].length = length;
  return host::kOk;
}

double PrismParameters::limitLength(host::LimitEnd end) const {
  auto i = slot(end);
  return i ? limits_[*i].length : 0.0;
}

std::uint64_t PrismParameters::sketchRevision() const {
  auto sketch = sketch_.lock();
  return sketch ? sketch->revision() : 0;
}

void PrismParameters::checkLimits(const std::string& owner) const {
  for (const Limit& limit : limits_) {
    if (limit.type != host::kLimitLength)
      throw std::runtime_error(owner + ": limit type " + std::to_string(limit.type) +
                               " is not supported");
  }
  for (const Limit& limit : limits_) {
    if (std::abs(limit.length) > kMaximumLength)
      throw std::runtime_error(owner + ": a limit of " + std::to_string(limit.length) +
                               " mm is beyond the 1e6 mm an extrusion may reach");
  }
  if (!(std::abs(limits_[0].length + limits_[1].length) > kMinimum))
    throw std::runtime_error(owner + ": the extrusion length (first plus second limit) is zero");
}

TopoDS_Shape PrismParameters::extrude(const std::string& owner) const {
  auto sketch = sketch_.lock();
  if (!sketch || !sketch->parentNode())
    throw std::runtime_error(owner + ": its sketch is no longer in the Part");
  checkLimits(owner);
  host::Vec3 d = direction();
  d = d * (1.0 / host::norm(d));
  if (std::abs(host::dot(d, sketch->plane().normal())) < kMinimum)
    throw std::runtime_error(owner + ": the direction lies in the sketch plane");
  // The solid fills the slab between the two limit planes, whichever way round they lie:
  // a reversed ("contrary") limit extrudes the other way rather than failing.
  const double from = std::min(-limits_[1].length, limits_[0].length);
  const double span = std::abs(limits_[0].length + limits_[1].length);

  gp_Trsf back;
  back.SetTranslation(gp_Vec(d.x, d.y, d.z) * from);
  TopoDS_Shape start = BRepBuilderAPI_Transform(profileOf(*sketch, owner), back, true).Shape();
  BRepPrimAPI_MakePrism prism(start, gp_Vec(d.x, d.y, d.z) * span);
  if (!prism.IsDone()) throw std::runtime_error(owner + ": the extrusion failed");
  return prism.Shape();
}

}  // namespace occt_host
