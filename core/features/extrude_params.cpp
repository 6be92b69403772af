#include "core/features/extrude_params.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/features/sketch_frame.h"
#include "platform/environment.h"

namespace kestrun {

namespace {

template <class T, class Get>
void readMember(const rapidjson::Value& item, const char* key, bool (rapidjson::Value::*is)() const,
                Get get, T& out) {
  auto it = item.FindMember(key);
  if (it != item.MemberEnd() && (it->value.*is)()) out = get(it->value);
}

double number(const rapidjson::Value& v) {
  return v.GetDouble();
}
bool boolean(const rapidjson::Value& v) {
  return v.GetBool();
}

void readDirection(const rapidjson::Value& item, host::Vec3& out) {
  auto it = item.FindMember("direction");
  if (it == item.MemberEnd() || !it->value.IsObject()) return;
  host::Vec3 d;
  double* parts[] = {&d.x, &d.y, &d.z};
  const char* keys[] = {"x", "y", "z"};
  for (int i = 0; i < 3; ++i) {
    auto c = it->value.FindMember(keys[i]);
    if (c == it->value.MemberEnd() || !c->value.IsNumber()) return;
    *parts[i] = c->value.GetDouble();
  }
  out = d;
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
  readMember(item, "n1Height", &rapidjson::Value::IsNumber, number, p.n1Height);
  readMember(item, "n2Height", &rapidjson::Value::IsNumber, number, p.n2Height);
  readMember(item, "contrary", &rapidjson::Value::IsBool, boolean, p.contrary);
  readMember(item, "contrary2", &rapidjson::Value::IsBool, boolean, p.contrary2);
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
