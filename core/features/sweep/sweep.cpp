// Sweep items: a rib of the first "profile" sketch along the first "sketchPath" sketch.
#include "features/sweep/sweep_handlers.h"
#include "features/writer/feature_writer.h"
#include "features/writer/profile_sketch.h"
#include "features/writer/update_service.h"
#include "host/sweep_features.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "sketch/sketch_json.h"

namespace kestrun {

namespace {

// The first element of the array `key` when it is a string; empty otherwise.
std::string firstId(const rapidjson::Value& item, const char* key) {
  const rapidjson::Value* list = member(item, key);
  if (!list || !list->IsArray() || list->Empty() || !(*list)[0].IsString()) return {};
  return std::string((*list)[0].GetString(), (*list)[0].GetStringLength());
}

// The sketch of the id's first writer, made and made current when it does not exist yet.
host::SpecObjectPtr sweepSketch(FeatureWriter& writer, const std::string& id) {
  Writer* owner = firstExpandedWriter(writer, {id});
  if (!owner) return nullptr;
  const bool made = owner->sketchObject() != nullptr;
  host::SpecObjectPtr sketch = ensureSketch(owner);
  if (!made && sketch && writer.sharedState().part)
    writer.sharedState().part->setCurrentFeature(sketch);
  return sketch;
}

}  // namespace

FeatureOutcome sweepHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr& /*previous*/,
                            const host::SpecObjectPtr& body) {
  const std::string profileId = firstId(item, "profile");
  const std::string pathId = firstId(item, "sketchPath");
  writer.debug("debug: sweep profile = " + profileId);
  writer.debug("debug: sweep path = " + pathId);
  host::SpecObjectPtr profile = profileId.empty() ? nullptr : sweepSketch(writer, profileId);
  host::SpecObjectPtr path = pathId.empty() ? nullptr : sweepSketch(writer, pathId);
  if (!profile) return FeatureOutcome::none("error: sweep profile not found");
  if (!path) return FeatureOutcome::none("error: sweep path not found");
  makeProfileCurrent(writer, profile, body);
  auto factory = host::query<host::SweepFactory>(writer.sharedState().container);
  if (!factory)
    return FeatureOutcome::none("error: the part factory is not available, name = " +
                                writer.name());
  host::SpecObjectPtr rib =
      inBuildOrder(writer.sharedState(), [&] { return factory->createRib(profile, path); });
  if (!rib) return FeatureOutcome::none("error: CreateRib failed");
  writer.debug("debug: sweep created successfully");
  const host::Status status = updateFeature(rib).status;
  writer.sharedState().part->setCurrentFeature(rib);
  return FeatureOutcome::built(rib, status);
}

}  // namespace kestrun
