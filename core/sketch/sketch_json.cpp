#include "sketch/sketch_json.h"

#include <cmath>

namespace kestrun {

namespace {
constexpr double kSamePoint = 1e-6;
}

bool pointValue(const rapidjson::Value& value, host::Point2& out) {
  host::Point2 p;
  if (!numberMember(value, "x", p.x) || !numberMember(value, "y", p.y)) return false;
  out = p;
  return true;
}

bool pointMember(const rapidjson::Value& object, const char* key, host::Point2& out) {
  const rapidjson::Value* value = member(object, key);
  return value && pointValue(*value, out);
}

bool samePoint(const rapidjson::Value& a, const rapidjson::Value& b) {
  host::Point2 p, q;
  if (!pointValue(a, p) || !pointValue(b, q)) return false;
  if (!(std::fabs(p.x - q.x) <= kSamePoint) || !(std::fabs(p.y - q.y) <= kSamePoint)) return false;
  double za = 0, zb = 0;
  if (numberMember(a, "z", za) && numberMember(b, "z", zb)) return std::fabs(za - zb) <= kSamePoint;
  return true;
}

}  // namespace kestrun
