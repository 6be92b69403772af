// Finds the face or edge under a pixel of a 3D view: the nearest face the line of sight
// meets, unless an edge that is not hidden behind it passes within a few pixels of the
// cursor. Edges are sampled along their length and compared in screen pixels, so that
// picking an edge is as forgiving at any zoom.
#pragma once

#include <TopoDS_Shape.hxx>
#include <V3d_View.hxx>
#include <gp_Pnt.hxx>

#include <vector>

namespace workstation {

struct PickHit {
  int solid = -1;  // index into the solids given, -1 when nothing is hit
  TopoDS_Shape shape;
  gp_Pnt point;
};

// `x`, `y` in the view's window pixels; `edgePixels` how close an edge must pass.
PickHit pickTopology(const Handle(V3d_View) & view, const std::vector<TopoDS_Shape>& solids, int x,
                     int y, double edgePixels);

}  // namespace workstation
