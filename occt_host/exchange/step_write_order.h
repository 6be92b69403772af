// A solid as the STEP writer should see it. The writer bounds a face's parameters over all
// of the face's edges once for each edge it meets first through that face, so a face with
// n holes (a perforated plate's top) costs it n^2. Met first through the bores' walls, of a
// few edges each, every edge is written before the plate's face is reached.
#pragma once

#include <TopoDS_Shape.hxx>

namespace occt_host {

// `shape` with the faces of each shell in order of their number of edges, fewest first.
// The faces, edges and vertices are the same shapes; only the shells and what holds them
// are new. Anything that is not a shell, solid or compound of them comes back as it is.
TopoDS_Shape inStepWriteOrder(const TopoDS_Shape& shape);

}  // namespace occt_host
