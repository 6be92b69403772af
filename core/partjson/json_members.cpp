#include "partjson/json_members.h"

#include <cmath>

namespace kestrun {

const rapidjson::Value* member(const rapidjson::Value& object, const char* key) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(key);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

const rapidjson::Value* stringMember(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = member(object, key);
  return value && value->IsString() ? value : nullptr;
}

std::string_view stringView(const rapidjson::Value& value) {
  return {value.GetString(), value.GetStringLength()};
}

bool numberMember(const rapidjson::Value& object, const char* key, double& out) {
  const rapidjson::Value* value = member(object, key);
  if (!value || !value->IsNumber()) return false;
  double number = value->GetDouble();
  if (!std::isfinite(number)) return false;
  out = number;
  return true;
}

bool boolMember(const rapidjson::Value& object, const char* key, bool& out) {
  const rapidjson::Value* value = member(object, key);
  if (!value || !value->IsBool()) return false;
  out = value->GetBool();
  return true;
}

}  // namespace kestrun
