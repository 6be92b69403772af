// Sketch geometry read in two and three dimensions without building it: open ends of a
// profile, the missing centre of a circle, and the extent of the solids that extrusions
// of such sketches can make, against which hole locations are tried.
#pragma once

#include <vector>

#include "validate/item_index.h"

namespace kestrun_validate {

// Circles and ellipses without "center" or "cx"/"cy", vertices without a position.
void checkSketchCentres(const IndexedItem& sketch, std::vector<Problem>& out);
// The profile sketch of `user` (an extrude, rotate, loft or sweep) has no open end.
void checkClosedProfile(const IndexedItem& sketch, const IndexedItem& user,
                        std::vector<Problem>& out);
// Hole locations that lie outside every solid, when each solid comes from an extrusion
// of a sketch whose extent is known.
void checkHoleLocations(const ItemIndex& index, std::vector<Problem>& out);

}  // namespace kestrun_validate
