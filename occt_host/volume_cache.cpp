#include "occt_host/volume_cache.h"

#include <BRepGProp_Domain.hxx>
#include <BRepGProp_Face.hxx>
#include <BRepGProp_Vinert.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>

#include <stdexcept>
#include <string>

#include "occt_host/kernel_guard.h"

namespace occt_host {

namespace {

// A face's flux integral about the origin, as the kernel's volume integration takes it
// face by face: the faces of a closed shell sum to the volume they enclose. All shares
// are taken about one point, so that they add up whichever solid they came from.
double faceShare(const TopoDS_Shape& shape) {
  const TopoDS_Face& face = TopoDS::Face(shape);
  if (face.Orientation() != TopAbs_FORWARD && face.Orientation() != TopAbs_REVERSED) return 0;
  BRepGProp_Face surface;
  surface.Load(face);
  BRepGProp_Vinert integral;
  integral.SetLocation(gp_Pnt(0, 0, 0));
  if (TopoDS_Iterator(face).More()) {
    BRepGProp_Domain domain(face);
    integral.Perform(surface, domain);
  } else {
    integral.Perform(surface);  // bounded by the surface's own limits
  }
  return integral.Mass();
}

}  // namespace

double VolumeCache::measure(const TopoDS_Shape& shape) {
  Shares shares;
  double total = 0;
  for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) {
    const TopoDS_Shape& face = faces.Current();
    Share share{face.Orientation(), 0};
    if (const Share* known = shares_.Seek(face)) {
      // The same face the other way round encloses the other side.
      share.volume = known->orientation == share.orientation ? known->volume : -known->volume;
    } else {
      share.volume = faceShare(face);
    }
    total += share.volume;
    shares.Bind(face, share);
  }
  shares_.Exchange(shares);
  return total;
}

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
          measured = measure(shape);
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
