#include "features/writer/feature_ids.h"

#include "log/core_log.h"
#include "partjson/part_document.h"

namespace kestrun {

namespace {

void appendStrings(const rapidjson::Value& item, const char* key, std::vector<std::string>& out) {
  auto it = item.FindMember(key);
  if (it == item.MemberEnd() || !it->value.IsArray()) return;
  for (const auto& element : it->value.GetArray()) {
    if (element.IsString() && element.GetStringLength() > 0) {
      out.emplace_back(element.GetString(), element.GetStringLength());
    }
  }
}

void appendString(const rapidjson::Value& item, const char* key, std::vector<std::string>& out) {
  const rapidjson::Value* value = stringMember(item, key);
  if (value && value->GetStringLength() > 0) out.emplace_back(stringView(*value));
}

}  // namespace

std::vector<std::string> boolTargetIds(const rapidjson::Value& item) {
  std::vector<std::string> ids;
  if (!item.IsObject()) return ids;
  appendStrings(item, "boolSolids", ids);
  if (ids.empty()) appendStrings(item, "targetIds", ids);
  return ids;
}

std::vector<std::string> profileSketchIds(const rapidjson::Value& item) {
  std::vector<std::string> ids;
  if (!item.IsObject()) return ids;
  appendStrings(item, "sketches", ids);
  if (ids.empty()) appendStrings(item, "stetches", ids);
  if (ids.empty()) appendString(item, "sketchId", ids);
  if (ids.empty()) appendString(item, "stetchId", ids);
  return ids;
}

std::vector<Writer*> resolveWriters(const WriterRegistry& registry,
                                    const std::vector<std::string>& ids) {
  std::vector<Writer*> writers;
  if (ids.empty()) {
    logOut("error: invalid or missing ids");
    return writers;
  }
  for (const std::string& id : ids) {
    auto it = registry.find(id);
    if (it != registry.end() && it->second) writers.push_back(it->second.get());
  }
  return writers;
}

std::vector<Writer*> featureWritersOnly(const std::vector<Writer*>& writers) {
  std::vector<Writer*> features;
  for (Writer* w : writers) {
    if (!isSketchType(w->type())) features.push_back(w);
  }
  return features;
}

}  // namespace kestrun
