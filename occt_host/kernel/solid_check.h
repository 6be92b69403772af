// The kernel's validity check of a solid, in time that grows with its size rather than with
// the square of the holes in one face.
#pragma once

#include <TopoDS_Shape.hxx>

namespace occt_host {

// True when the kernel's checker finds `shape` valid. The checker compares every wire of a
// face with every other; a plane face with many inner wires (a perforated plate, the foot
// of each boss of a pattern) is checked instead as several faces on the same plane, each
// with the outer wire and a group of inner wires whose boxes meet only one another, so
// that no pair of wires the checker would compare goes unchecked. The shells and solids
// are checked as they stand.
bool solidIsValid(const TopoDS_Shape& shape);

}  // namespace occt_host
