#include "features/extrude/extrude_params.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "features/writer/sketch_frame.h"
#include "partjson/json_members.h"
#include "platform/environment.h"

namespace kestrun {

namespace {

void readDirection(const rapidjson::Value& item, host::Vec3& out) {
  const rapidjson::Value* direction = member(item, "direction");
  host::Vec3 d;
  if (direction && numberMember(*direction, "x", d.x) && numberMember(*direction, "y", d.y) &&
      numberMember(*direction, "z", d.z)) {
    out = d;
  }
}

double grow(double limit, double overshoot, bool zeroGoesNegative) {
  if (limit > 0) return limit + overshoot;
  if (limit < 0) return limit - overshoot;
  return zeroGoesNegative ? -overshoot : overshoot;
}

}  // namespace

ExtrudeParams readExtrudeParams(const rapidjson::Value& item) {
  ExtrudeParams p;
  if (!item.IsObject()) return p;
  numberMember(item, "n1Height", p.n1Height);
  numberMember(item, "n2Height", p.n2Height);
  boolMember(item, "contrary", p.contrary);
  boolMember(item, "contrary2", p.contrary2);
  readDirection(item, p.direction);
  p.direction = normalizedDirection(p.direction);
  p.first = p.contrary ? -p.n1Height : p.n1Height;
  p.second = p.contrary2 ? p.n2Height : -p.n2Height;
  return p;
}

double removeOvershootMm() {
  std::optional<std::string> text = platform::GetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM");
  if (!text || text->empty()) return 1.0;
  char* end = nullptr;
  const double value = std::strtod(text->c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text->c_str() || *end != '\0' || !std::isfinite(value)) return 0.0;
  if (value < 0) return 1.0;
  return value;
}

void applyOvershoot(ExtrudeParams& p, double overshoot) {
  if (!(overshoot > 0)) return;
  p.first = grow(p.first, overshoot, p.contrary);
  p.second = grow(p.second, overshoot, !p.contrary2);
}

}  // namespace kestrun
