// A solid's measured volume, kept with the stamp of the solid it was measured on, so
// that asking again after every item of an import measures only what changed. The
// volume is the sum of each face's share (its flux integral), and a face that the next
// solid still holds (a boolean leaves untouched faces as they were) is not integrated
// again: a plate cut by one more bore costs its two cut faces and the new wall.
#pragma once

#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS_Shape.hxx>

#include <NCollection_DataMap.hxx>

#include <cstdint>
#include <functional>

namespace occt_host {

class VolumeCache {
 public:
  // The volume of `solid()` whose current stamp is `stamp` (0: no solid); false when
  // there is no solid or the kernel fails. Never throws.
  bool volume(std::uint64_t stamp, const std::function<TopoDS_Shape()>& solid, double& mm3);

 private:
  // A face's share as its orientation in the solid gives it.
  struct Share {
    TopAbs_Orientation orientation = TopAbs_FORWARD;
    double volume = 0;
  };
  using Shares = NCollection_DataMap<TopoDS_Shape, Share, TopTools_ShapeMapHasher>;

  double measure(const TopoDS_Shape& shape);

  std::uint64_t stamp_ = 0;
  double volume_ = 0;
  Shares shares_;  // of the faces of the solid last measured
};

}  // namespace occt_host
