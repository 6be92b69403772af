// A plain hole with explicit targets cut as one cylinder per location, straight into the
// target body, instead of as host hole features.
#pragma once

#include <rapidjson/document.h>

#include "core/features/feature_writer.h"
#include "core/features/hole_params.h"

namespace kestrun {

// True when at least one location was cut; the writer then holds the last cut's boolean,
// the simple-hole-remove mark and the hole geometry record. False leaves the host path
// to build the holes.
bool simpleHoleRemoveCut(FeatureWriter& writer, const rapidjson::Value& item,
                         const HoleParams& params);

}  // namespace kestrun
