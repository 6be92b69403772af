// Host hole features, one per location, on the support faces found for them.
#pragma once

#include <vector>

#include "features/hole/hole_params.h"
#include "features/writer/feature_writer.h"

namespace kestrun {

// Makes the axis line of every resolved location, then drills a host hole at each one
// that has a support face (`supports` has one entry per location). The outcome holds the
// last hole; a hole that fails its update fails the item.
FeatureOutcome drillHostHoles(FeatureWriter& writer, const HoleParams& params,
                              const std::vector<host::SpecObjectPtr>& supports);

}  // namespace kestrun
