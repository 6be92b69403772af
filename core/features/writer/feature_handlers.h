// The handlers of the feature types, one file each.
#pragma once

#include "features/writer/feature_dispatch.h"

namespace kestrun {

FeatureOutcome extrudeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome filletHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome chamferHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome shellHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome draftHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome holeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                           const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);

// "linearArray" and "polarArray".
FeatureOutcome patternHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome mirrorHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);

}  // namespace kestrun
