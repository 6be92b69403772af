// The kernel's validity check of a solid, in time that grows with its size rather than with
// the square of the holes in one face.
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

namespace occt_host {

// True when the kernel's checker finds `shape` valid. The checker compares every wire of a
// face with every other; a plane face with many inner wires (a perforated plate, the foot
// of each boss of a pattern) is checked instead as several faces on the same plane, each
// with the outer wire and a group of inner wires whose boxes meet only one another, so
// that no pair of wires the checker would compare goes unchecked. The shells and solids
// are checked as they stand.
bool solidIsValid(const TopoDS_Shape& shape);

// True when `result`, made from the valid solid `before`, is valid: the faces it shares
// with `before` (a fillet leaves most of the solid as it was) are not checked again; its
// other faces, and each of its shells and solids, are. With no solid before, the whole.
bool solidIsValidAfter(const TopoDS_Shape& result, const TopoDS_Shape& before);

// True when `result` is valid, given that the faces in `known` are: a face of `result`
// that is one of them, as the same shape, is not checked again; its other faces, and each
// of its shells and solids, are. The kernel's booleans keep a face they do not split as
// it was, and what they change of its edges is checked with the faces that now share them.
bool solidIsValidGiven(const TopoDS_Shape& result, const TopTools_IndexedMapOfShape& known);

}  // namespace occt_host
