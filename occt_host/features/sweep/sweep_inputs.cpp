#include "features/sweep/sweep_inputs.h"

#include <ShapeAnalysis_FreeBounds.hxx>
#include <TopTools_HSequenceOfShape.hxx>
#include <TopoDS.hxx>

#include <exception>
#include <stdexcept>

#include "sketch/sketch.h"
#include "sketch/sketch_element.h"

namespace occt_host {

namespace {

// Path curves meet within this distance (millimetres), as profile contours do.
constexpr double kJoinTolerance = 1e-6;

}  // namespace

std::shared_ptr<Sketch> liveSketch(const std::weak_ptr<Sketch>& sketch, const std::string& owner,
                                   const std::string& role) {
  auto held = sketch.lock();
  if (!held || !held->parentNode())
    throw std::runtime_error(owner + ": its " + role + " sketch is no longer in the Part");
  return held;
}

TopoDS_Compound profileFaces(const Sketch& sketch, const std::string& owner) {
  try {
    return sketch.profile();
  } catch (const std::exception& e) {
    throw std::runtime_error(owner + ": " + e.what());
  }
}

TopoDS_Wire pathWire(const Sketch& sketch, const std::string& owner) {
  Handle(TopTools_HSequenceOfShape) edges = new TopTools_HSequenceOfShape;
  const gp_Pln plane = sketch.kernelPlane();
  for (const auto& element : sketch.elements()) {
    if (element->isCurve()) edges->Append(element->edgeOn(plane));
  }
  if (edges->IsEmpty()) throw std::runtime_error(owner + ": the path sketch has no curve");
  Handle(TopTools_HSequenceOfShape) wires;
  ShapeAnalysis_FreeBounds::ConnectEdgesToWires(edges, kJoinTolerance, false, wires);
  if (wires.IsNull() || wires->Length() != 1) {
    throw std::runtime_error(owner + ": the path is not one chain of curves joined end to end (" +
                             std::to_string(wires.IsNull() ? 0 : wires->Length()) + " pieces)");
  }
  return TopoDS::Wire(wires->Value(1));
}

std::uint64_t revisionOf(const std::weak_ptr<Sketch>& sketch) {
  auto held = sketch.lock();
  return held ? held->revision() : 0;
}

}  // namespace occt_host
