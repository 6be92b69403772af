#include "occt_host/topology/volume_cache.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <stdexcept>
#include <string>

#include "kernel/kernel_guard.h"

namespace occt_host {

bool VolumeCache::volume(std::uint64_t stamp, const std::function<TopoDS_Shape()>& solid,
                         double& mm3) {
  if (stamp == 0) return false;
  if (stamp != stamp_) {
    double measured = 0;
    std::string error;
    const bool ok = runGuarded(
        [&] {
          const TopoDS_Shape shape = solid();
          if (shape.IsNull()) throw std::runtime_error("no solid");
          GProp_GProps props;
          BRepGProp::VolumeProperties(shape, props);
          measured = props.Mass();
        },
        error);
    if (!ok) return false;
    volume_ = measured;
    stamp_ = stamp;
  }
  mm3 = volume_;
  return true;
}

}  // namespace occt_host
