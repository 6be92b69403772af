#include "features/topology/topo_descriptor.h"
#include "partjson/json_members.h"

#include <cmath>

namespace kestrun {

namespace {

const rapidjson::Value* firstMember(const rapidjson::Value& object,
                                    std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    if (const rapidjson::Value* value = member(object, key)) return value;
  }
  return nullptr;
}

}  // namespace

std::string stringOf(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = stringMember(object, key);
  return value ? std::string(stringView(*value)) : std::string();
}

std::string descriptorFeatureId(const rapidjson::Value& descriptor) {
  std::string id = stringOf(descriptor, "featureId");
  if (id.empty()) id = stringOf(descriptor, "parent");
  return id;
}

bool readPoint(const rapidjson::Value& value, host::Point3& out) {
  if (value.IsArray()) {
    auto size = value.Size();
    if (size < 2 || size > 3) return false;
    for (const auto& element : value.GetArray()) {
      if (!element.IsNumber()) return false;
    }
    out = {value[0].GetDouble(), value[1].GetDouble(), size == 3 ? value[2].GetDouble() : 0.0};
    return true;
  }
  if (!value.IsObject()) return false;
  host::Point3 p;
  if (!numberMember(value, "x", p.x) || !numberMember(value, "y", p.y)) return false;
  auto z = value.FindMember("z");
  if (z != value.MemberEnd()) {
    if (!z->value.IsNumber()) return false;
    p.z = z->value.GetDouble();
  }
  out = p;
  return true;
}

bool pointAt(const rapidjson::Value& object, std::initializer_list<const char*> keys,
             host::Point3& out) {
  const rapidjson::Value* value = firstMember(object, keys);
  return value && readPoint(*value, out);
}

bool vectorAt(const rapidjson::Value& object, std::initializer_list<const char*> keys,
              host::Vec3& out) {
  host::Vec3 v;
  if (!pointAt(object, keys, v)) return false;
  double length = host::norm(v);
  if (!std::isfinite(length) || !(length > 0.0)) return false;
  out = v;
  return true;
}

bool numberAt(const rapidjson::Value& object, std::initializer_list<const char*> keys,
              double& out) {
  const rapidjson::Value* value = firstMember(object, keys);
  if (!value || !value->IsNumber()) return false;
  out = value->GetDouble();
  return true;
}

bool isEdgeKind(const std::string& type) {
  return type == "line" || type == "circle" || type == "arc" || type == "ellipse" ||
         type == "ellipseArc" || type == "bspline" || type == "bSplineCurve";
}

bool isFaceKind(const std::string& type) {
  return type == "plane";
}

}  // namespace kestrun
