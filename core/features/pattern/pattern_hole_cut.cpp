// A circular pattern of a simple hole that was cut as one cylinder: the cut is repeated
// at each turned position, as cylinders of their own, instead of a host pattern.
#include <cmath>

#include "features/hole/cylinder_cutter.h"
#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_step.h"
#include "features/pattern/pattern_support.h"
#include "log/core_log.h"
#include "partjson/json_members.h"

namespace kestrun {

namespace {

// Each instance is a body, a sketch, a pad and a boolean; beyond this many the host
// pattern of the hole's cut does the same work in one boolean.
constexpr long long kMaxHoleCuts = 100;

struct Axis {
  host::Point3 origin;
  host::Vec3 direction;  // unit
};

bool readAxis(const rapidjson::Value& item, Axis& out) {
  const rapidjson::Value* axis = member(item, "axis");
  host::Vec3 d;
  if (!axis || !axis->IsObject() || !numberMember(*axis, "x", out.origin.x) ||
      !numberMember(*axis, "y", out.origin.y) || !numberMember(*axis, "z", out.origin.z) ||
      !numberMember(*axis, "dx", d.x) || !numberMember(*axis, "dy", d.y) ||
      !numberMember(*axis, "dz", d.z))
    return false;
  const double length = host::norm(d);
  if (!(length > 1e-9) || !std::isfinite(length)) return false;
  out.direction = d * (1.0 / length);
  return true;
}

// `v` turned right-handed about the unit `k` by `radians` (Rodrigues).
host::Vec3 turned(const host::Vec3& v, const host::Vec3& k, double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  return v * c + host::cross(k, v) * s + k * (host::dot(k, v) * (1 - c));
}

}  // namespace

FeatureOutcome simpleHolePolarCut(FeatureWriter& writer, const rapidjson::Value& item,
                                  FeatureWriter& source, bool& ran) {
  ran = false;
  Axis axis;
  const long long n = readCount(item, "itemNumber");
  if (!readAxis(item, axis) || n < 2 || n > kMaxHoleCuts) return {};
  double angle = 0;
  bool clockwise = false;
  numberMember(item, "angle", angle);
  boolMember(item, "clockwise", clockwise);
  const double step = circularStep(angle, n) * (clockwise ? -1.0 : 1.0);
  writer.info("info: simple hole polar array remove cut, name = " + writer.name() +
              ", source = " + source.name() + ", itemNumber = " + std::to_string(n) +
              ", angle = " + numberText(angle));
  ran = true;
  const HoleGeometry& hole = source.holeGeometry();
  host::SpecObjectPtr target = source.feature(), body = source.body();
  FeatureOutcome last;
  for (long long k = 1; k < n; ++k) {
    const double radians = static_cast<double>(k) * step * M_PI / 180.0;
    const host::Vec3 direction = turned(hole.direction, axis.direction, radians);
    if (host::norm(direction) < 1e-9) break;
    const host::Point3 point =
        axis.origin + turned(hole.point - axis.origin, axis.direction, radians);
    const std::string cutName = writer.name() + "_cut_" + std::to_string(k + 1);
    FeatureOutcome out = simpleHoleCutter(
        writer, CylinderCut{target, body, point, direction, hole.diameter, hole.depth, cutName});
    if (!out.feature || host::failed(out.status)) {
      // A series that stops short is no pattern of n instances: the item fails.
      if (!host::failed(out.status)) out.status = host::kFail;
      out.error = "error: simple hole polar array cut failed, name = " + cutName;
      return out;
    }
    last = out;
    target = out.feature;
    body = writer.body();
  }
  last.finish = FeatureOutcome::Finish::SimpleHoleCut;
  return last;
}

}  // namespace kestrun
