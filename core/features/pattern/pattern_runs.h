// One pattern or mirror run on one writer (the item's own, or a child made for one
// source or one body), each returning what the writer then holds.
#pragma once

#include <vector>

#include <rapidjson/document.h>

#include "features/writer/feature_writer.h"

namespace kestrun {

// Copies of `source` along the first line (and the second with "secondDirection").
FeatureOutcome linearPattern(FeatureWriter& writer, const rapidjson::Value& item,
                             FeatureWriter& source, const host::SpecObjectPtr& line1,
                             const host::SpecObjectPtr& line2);

// Copies of `source` turned about the axis line; a simple hole cut as one cylinder is
// repeated as cylinder cuts instead.
FeatureOutcome circularPattern(FeatureWriter& writer, const rapidjson::Value& item,
                               FeatureWriter* source, const host::SpecObjectPtr& axis);

// The repeated cuts of a single-location simple hole about the item's "axis". `ran` is
// false when the item does not allow them (no axis object, fewer than 2 instances, too
// many for cuts of their own).
FeatureOutcome simpleHolePolarCut(FeatureWriter& writer, const rapidjson::Value& item,
                                  FeatureWriter& source, bool& ran);

// A mirror about `plane`: of the whole current solid with `addCurSolid`, otherwise of
// the sources' features.
FeatureOutcome mirrorRun(FeatureWriter& writer, const std::vector<FeatureWriter*>& sources,
                         const host::SpecObjectPtr& plane, bool addCurSolid);

}  // namespace kestrun
