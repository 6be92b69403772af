// Turns a sketch's edges into profile faces: closed contours are joined into wires,
// contours inside others become holes, and separate outer contours separate faces.
#pragma once

#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Pln.hxx>

#include <cstddef>
#include <vector>

namespace occt_host {

class ProfileBuilder {
 public:
  explicit ProfileBuilder(const gp_Pln& plane) : plane_(plane) {}

  void addEdge(const TopoDS_Edge& edge) { edges_.push_back(edge); }
  // The faces of every closed contour; throws when there is none. Open chains are
  // ignored, as construction geometry is.
  TopoDS_Compound build() const;

 private:
  struct Contour {
    TopoDS_Wire wire;  // counter-clockwise seen from the plane's normal
    TopoDS_Face face;  // the contour alone, to test containment
    double area = 0;
    int depth = 0;       // how many contours enclose this one
    int container = -1;  // the innermost enclosing contour
  };

  std::vector<TopoDS_Wire> closedWires() const;
  Contour makeContour(const TopoDS_Wire& wire) const;
  TopoDS_Face planarFace(const TopoDS_Wire& wire) const;
  bool onPlane(const TopoDS_Wire& wire) const;
  static bool encloses(const Contour& outer, const Contour& inner);
  static void nest(std::vector<Contour>& contours);
  static TopoDS_Face withHoles(const std::vector<Contour>& contours, std::size_t outer);

  gp_Pln plane_;
  std::vector<TopoDS_Edge> edges_;
};

}  // namespace occt_host
