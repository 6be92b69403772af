// A plain hole with explicit targets cut as one cylinder per location, straight into the
// target body, instead of as host hole features.
#pragma once

#include <rapidjson/document.h>

#include "features/hole/hole_params.h"
#include "features/writer/feature_writer.h"

namespace kestrun {

// With at least one location cut: the last cut's boolean, finished as a simple hole cut,
// and the writer's hole geometry record filled. Otherwise the host path builds the holes;
// a cut that failed is returned as it stands (its feature and status).
FeatureOutcome simpleHoleRemoveCut(FeatureWriter& writer, const rapidjson::Value& item,
                                   const HoleParams& params);

}  // namespace kestrun
