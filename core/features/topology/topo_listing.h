// The faces and edges a feature owns on its body's final solid, listed as the topology
// descriptors a later item names them by, so that a front end can copy one into a fillet,
// chamfer, shell, draft or hole.
#pragma once

#include <string>
#include <vector>

#include "host/spec_object.h"

namespace kestrun {

// Each a JSON object text ("featureId", "topoType", "type", points, directions, radius).
// Only descriptors that the lookup resolves back to the same face or edge are listed: a
// face or edge that an earlier one of the same feature would be taken for is left out, so
// every listed descriptor names exactly one face or edge. Faces are listed when planar,
// edges when lines, circles, arcs or other curves with two ends.
std::vector<std::string> listTopoDescriptors(const std::string& itemId,
                                             const host::SpecObjectPtr& feature);

}  // namespace kestrun
