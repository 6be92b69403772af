#include "features/pattern/pattern_support.h"

#include <cmath>
#include <sstream>

#include "features/writer/profile_sketch.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/json_members.h"

namespace kestrun {

std::vector<FeatureWriter*> patternSources(FeatureWriter& writer, const rapidjson::Value& item) {
  auto it = item.FindMember("features");
  if (it == item.MemberEnd() || !it->value.IsArray() || it->value.Empty()) {
    logOut("error: invalid or missing json reference");
    return {};
  }
  std::vector<std::string> ids;
  for (const auto& id : it->value.GetArray()) {
    if (id.IsString()) ids.emplace_back(id.GetString(), id.GetStringLength());
  }
  std::vector<FeatureWriter*> sources;
  for (Writer* w : expandedWriters(writer, ids)) {
    FeatureWriter* source = w->asFeatureWriter();
    if (source && source != &writer) sources.push_back(source);
  }
  writer.debug("debug: findEntities size = " + std::to_string(sources.size()));
  return sources;
}

host::SpecObjectPtr patternedObject(const FeatureWriter& source) {
  return source.previousSpecObj() ? source.previousSpecObj() : source.feature();
}

long long readCount(const rapidjson::Value& item, const char* key) {
  double value = 1;
  if (!numberMember(item, key, value) || !std::isfinite(value)) return 1;
  constexpr double kClamp = 1e15;
  if (value > kClamp) value = kClamp;
  if (value < -kClamp) value = -kClamp;
  return static_cast<long long>(value);
}

std::string overCapLine(const FeatureWriter& writer, double instances) {
  if (instances <= static_cast<double>(host::kMaxPatternInstances)) return {};
  std::ostringstream out;
  out.precision(15);
  out << "error: " << writer.type() << " " << writer.name() << " asks for " << instances
      << " instances, more than the " << host::kMaxPatternInstances
      << " one pattern may make, id = " << writer.id();
  return out.str();
}

void trace(const FeatureWriter& writer, const std::string& line) {
  if (writer.sharedState().verbosity >= 4) logOut(line);
}

void traceCurrent(const FeatureWriter& writer, const std::string& what) {
  if (writer.sharedState().verbosity < 4 || !writer.sharedState().part) return;
  const auto& part = writer.sharedState().part;
  logOut("debug: " + what + " cur feature " + aliasLine(part->currentFeature()));
  logOut("debug: " + what + " cur tool " + aliasLine(part->currentTool()));
}

void traceReset(const FeatureWriter& writer, const std::string& what) {
  if (writer.sharedState().verbosity < 4 || !writer.sharedState().part) return;
  const auto& part = writer.sharedState().part;
  logOut("debug: " + what + " reset curFeature = " + aliasLine(part->currentFeature()));
  logOut("debug: " + what + " reset curTool = " + aliasLine(part->currentTool()));
}

host::SpecObjectPtr itemAxisLine(FeatureWriter& writer, const rapidjson::Value& item,
                                 const char* key, const std::string& alias) {
  auto it = item.FindMember(key);
  if (it == item.MemberEnd() || !it->value.IsObject()) return nullptr;
  host::SpecObjectPtr line = writer.createAxisLine(it->value);
  if (!line) return nullptr;
  saveRefObj(writer.sharedState(), line, kRefObjGeometricalSet, alias);
  setAlias(line, alias);
  return line;
}

std::string numberText(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace kestrun
