// Triangulating a shape's faces, for the 3D view and for mesh export.
#pragma once

#include <IMeshTools_Parameters.hxx>
#include <Message_ProgressRange.hxx>
#include <TopoDS_Shape.hxx>

namespace occt_host {

// Triangulates, in place, the faces of `shape` that lack a triangulation as fine as
// `parameters` ask; faces already fine enough keep theirs. The triangulator is chosen here:
// on a planar face with many holes the kernel's default one grows with the square of the
// face's boundary nodes, the Delabella one stays near linear on the same nodes. Delabella can
// leave a face bare, and such a face is triangulated again with the default one.
void triangulate(const TopoDS_Shape& shape, IMeshTools_Parameters parameters,
                 const Message_ProgressRange& range = Message_ProgressRange());

}  // namespace occt_host
