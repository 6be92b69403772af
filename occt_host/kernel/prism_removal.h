// What a straight prism (a bore, a pocket's cutter) takes from a solid, measured without a
// boolean where the solid is simple around it: bounded there only by planes square to the
// prism's axis, each holding the prism's section whole or missing it whole (a plate's top
// and bottom around a bore, a pocket's floor under one). Then the prism removes its section
// times the length of its axis that lies inside the solid. Anything else is left to a cut.
#pragma once

#include <Bnd_Box.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Ax3.hxx>
#include <gp_Dir.hxx>

#include <memory>
#include <vector>

class BRepTopAdaptor_FClass2d;

namespace occt_host {

struct Prism;
struct Crossing;

// A solid's faces with the boxes the measure tests, made once for the many prisms cut from
// one solid.
class SlabFaces {
 public:
  explicit SlabFaces(const TopoDS_Shape& solid);

  // The volume `prism` takes from the solid, in mm^3, and the prism's box if `box` is
  // given; false when `prism` is not a straight prism or the solid is not that simple
  // around it.
  bool removedBy(const TopoDS_Shape& prism, double& mm3, Bnd_Box* box = nullptr) const;

 private:
  struct Face {
    TopoDS_Face face;
    Bnd_Box box;
    bool plane = false;
    gp_Dir outward;
    gp_Ax3 axes;
    double offset = 0;  // outward . any point of the plane
    std::vector<Bnd_Box> edges;
    // Made when a prism first asks, and kept for the others.
    mutable std::shared_ptr<BRepTopAdaptor_FClass2d> classifier;
  };
  bool crossings(const Prism& prism, const Bnd_Box& reach, std::vector<Crossing>& out) const;

  std::vector<Face> faces_;
  bool usable_ = false;
};

}  // namespace occt_host
