#include "features/hole/hole_params.h"

#include "features/writer/feature_ids.h"
#include "partjson/json_members.h"
#include "partjson/part_document.h"
#include "sketch/sketch_writer.h"

namespace kestrun {

namespace {

double numberOr(const rapidjson::Value& object, const char* key, double fallback) {
  double value = 0;
  return numberMember(object, key, value) ? value : fallback;
}

bool has(const rapidjson::Value& object, const char* key) {
  return member(object, key) != nullptr;
}

}  // namespace

HoleParams readHoleParams(const rapidjson::Value& item) {
  HoleParams p;
  if (!item.IsObject()) return p;
  if (const rapidjson::Value* type = stringMember(item, "holeType")) p.holeType = stringView(*type);
  p.diameter = numberOr(item, "diameter", 10);
  p.depth = numberOr(item, "depth", 20);
  p.tipAngle = numberOr(item, "tipAngle", 0);
  p.counterboreDiameter = numberOr(item, "counterboreDiameter", 0);
  p.counterboreDepth = numberOr(item, "counterboreDepth", 0);
  p.chamferedHoleDiameter = numberOr(item, "chamferedHoleDiameter", 0);
  p.chamferedHoleAngle = numberOr(item, "chamferedHoleAngle", 0);
  auto locations = item.FindMember("locations");
  if (locations != item.MemberEnd() && locations->value.IsArray()) p.locations = &locations->value;
  auto direction = item.FindMember("direction");
  p.hasDirection = direction != item.MemberEnd() && direction->value.IsObject();
  p.direction = holeDirection(item);
  return p;
}

host::Vec3 holeDirection(const rapidjson::Value& item) {
  const host::Vec3 up{0, 0, 1};
  if (!item.IsObject()) return up;
  auto it = item.FindMember("direction");
  if (it == item.MemberEnd() || !it->value.IsObject()) return up;
  const rapidjson::Value& d = it->value;
  host::Vec3 v;
  if (has(d, "dx") || has(d, "dy") || has(d, "dz")) {
    v = {numberOr(d, "dx", 0), numberOr(d, "dy", 0), numberOr(d, "dz", 0)};
  } else {
    // A plain vector names the face's outward side; the drill goes the other way.
    v = {-numberOr(d, "x", 0), -numberOr(d, "y", 0), -numberOr(d, "z", 0)};
  }
  if (v.x == 0 && v.y == 0 && v.z == 0) return up;
  return v;
}

bool resolveHoleLocation(const WriterRegistry& registry, const rapidjson::Value& location,
                         host::Point3& out) {
  if (location.IsObject()) {
    auto x = location.FindMember("x"), y = location.FindMember("y"), z = location.FindMember("z");
    if (x == location.MemberEnd() || y == location.MemberEnd() || z == location.MemberEnd() ||
        !x->value.IsNumber() || !y->value.IsNumber() || !z->value.IsNumber())
      return false;
    out = {x->value.GetDouble(), y->value.GetDouble(), z->value.GetDouble()};
    return true;
  }
  if (!location.IsString()) return false;
  const std::string id(stringView(location));
  for (const auto& [key, writer] : registry) {
    const auto* sketch = dynamic_cast<const SketchWriter*>(writer.get());
    if (sketch && sketch->vertexPoint3D(id, out)) return true;
  }
  return false;
}

std::vector<std::string> holeTargetIds(const rapidjson::Value& item) {
  std::vector<std::string> ids = boolTargetIds(item);
  if (ids.empty() && item.IsObject()) {
    const rapidjson::Value* id = stringMember(item, "featureId");
    if (id && id->GetStringLength() > 0) ids.emplace_back(stringView(*id));
  }
  return ids;
}

std::vector<std::string> allSolidIds(const WriterRegistry& registry) {
  std::vector<std::string> ids;
  for (const auto& [key, writer] : registry) {
    if (writer && !writer->isSketchWriter()) ids.push_back(key);
  }
  return ids;
}

}  // namespace kestrun
