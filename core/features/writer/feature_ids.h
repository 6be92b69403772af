// Id lists that feature items name: boolean targets and profile sketches.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "partjson/writer.h"

namespace kestrun {

// "boolSolids", else "targetIds": non-empty strings in order.
std::vector<std::string> boolTargetIds(const rapidjson::Value& item);
// "sketches", else "stetches", else "sketchId", else "stetchId".
std::vector<std::string> profileSketchIds(const rapidjson::Value& item);

// The registered writers of the ids, in order; unknown ids are dropped. An empty list
// logs that the ids are missing.
std::vector<Writer*> resolveWriters(const WriterRegistry& registry,
                                    const std::vector<std::string>& ids);
// Only the writers that are not sketch writers.
std::vector<Writer*> featureWritersOnly(const std::vector<Writer*>& writers);

}  // namespace kestrun
