// A solid's measured volume, kept with the stamp of the solid it was measured on, so
// that asking again after every item of an import measures only what changed.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <functional>

namespace occt_host {

class VolumeCache {
 public:
  // The volume of `solid()` whose current stamp is `stamp` (0: no solid); false when
  // there is no solid or the kernel fails. Never throws.
  bool volume(std::uint64_t stamp, const std::function<TopoDS_Shape()>& solid, double& mm3);

 private:
  std::uint64_t stamp_ = 0;
  double volume_ = 0;
};

}  // namespace occt_host
