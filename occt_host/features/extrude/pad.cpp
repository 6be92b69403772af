#include "features/extrude/pad.h"

#include <TopExp_Explorer.hxx>
#include <TopoDS_Iterator.hxx>

#include "features/boolean/boolean_ops.h"

namespace occt_host {

Pad::Pad(std::string name, const std::shared_ptr<Sketch>& sketch)
    : PrismFeature("Pad", std::move(name), sketch) {}

namespace {

// A profile of one contour is a face the sketch checked; a profile with holes is not
// checked as a whole, so its prism is not taken as valid as made.
bool everyFaceHasOneWire(const TopoDS_Shape& shape) {
  for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) {
    TopoDS_Iterator wires(faces.Current());
    if (!wires.More()) return false;
    wires.Next();
    if (wires.More()) return false;
  }
  return true;
}

}  // namespace

TopoDS_Shape Pad::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = prism_.extrude(name());
  if (before.IsNull()) {
    // The kernel's prism of a valid plane face is valid.
    if (everyFaceHasOneWire(prism)) publishValidAsMade();
    return prism;
  }
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, prism, name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
