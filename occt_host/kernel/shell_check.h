// The kernel's check of a shell (connected, closed, its faces oriented alike), in one pass
// over its faces' edges. The kernel's own check looks each shared edge up again in both of
// its faces, which over a face with many edges (a plate's top around its holes or ribs)
// grows with the square of that face's edges.
#pragma once

#include <TopoDS_Shell.hxx>

namespace occt_host {

// True when the kernel's shell check (its minimum, closure and orientation checks) finds
// `shell` without error. Shells that the single pass cannot settle for certain (a face
// given twice, an edge of three or more faces, a face or an edge neither forward nor
// reversed) and the ones it finds at fault are given to the kernel's check itself, so the
// answer is always the kernel's.
bool shellIsValid(const TopoDS_Shell& shell);

}  // namespace occt_host
