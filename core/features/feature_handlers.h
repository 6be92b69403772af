// The handlers of the feature types, one file each.
#pragma once

#include "core/features/feature_dispatch.h"

namespace kestrun {

void extrudeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                    const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
void filletHandler(FeatureWriter& writer, const rapidjson::Value& item,
                   const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
void chamferHandler(FeatureWriter& writer, const rapidjson::Value& item,
                    const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
void shellHandler(FeatureWriter& writer, const rapidjson::Value& item,
                  const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
void draftHandler(FeatureWriter& writer, const rapidjson::Value& item,
                  const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);

}  // namespace kestrun
