// The rules about ids that a schema cannot say: every id named exists and is of the kind
// its key wants (a sketch for a profile, a feature for a boolean target, a vertex for a
// hole location), and no chain of references comes back to where it began.
#pragma once

#include <vector>

#include "validate/item_index.h"

namespace kestrun_validate {

void checkReferences(const ItemIndex& index, std::vector<Problem>& out);
void checkCycles(const ItemIndex& index, std::vector<Problem>& out);
// "bodyColors" of the root (at `pointer`) naming feature items.
void checkBodyColors(const ItemIndex& index, const rapidjson::Value& colors,
                     const std::string& pointer, std::vector<Problem>& out);

}  // namespace kestrun_validate
