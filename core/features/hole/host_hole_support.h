// The planar support face of each hole location, found geometrically on the target
// solids and, failing that, on every solid of the part.
#pragma once

#include <string>
#include <vector>

#include "features/hole/hole_params.h"
#include "features/writer/feature_writer.h"

namespace kestrun {

// One entry per location, in order; null where the location did not resolve or no face
// holds it, so that every location keeps its own support.
std::vector<host::SpecObjectPtr> findHoleSupports(FeatureWriter& writer, const HoleParams& params,
                                                  const std::vector<std::string>& targetIds);

}  // namespace kestrun
