// The handlers of rotate, loft and sweep items, one file each.
#pragma once

#include <string>

#include "features/writer/feature_dispatch.h"

namespace kestrun {

FeatureOutcome rotateHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome loftHandler(FeatureWriter& writer, const rapidjson::Value& item,
                           const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);
FeatureOutcome sweepHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body);

// The revolution of a rotate item, in degrees, as its "rotateType" reads the angles.
struct RotateAngles {
  double start = 0, end = 0;
};
RotateAngles rotateAngles(double angle1, double angle2, const std::string& rotateType);

}  // namespace kestrun
