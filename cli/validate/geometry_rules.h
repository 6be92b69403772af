// The rules about geometry that need no building: a sketch used as a profile is closed,
// a circle has its centre, an extrusion has a length, and a hole location lies near some
// solid when every solid's extent can be told from its sketch.
#pragma once

#include <set>
#include <vector>

#include "validate/item_index.h"

namespace kestrun_validate {

// Items whose pointers are in `broken` already have a schema problem; the rules that
// would only repeat it (a zero length when the length key is misspelt) leave them out.
void checkGeometry(const ItemIndex& index, const std::set<std::string>& broken,
                   std::vector<Problem>& out);

}  // namespace kestrun_validate
