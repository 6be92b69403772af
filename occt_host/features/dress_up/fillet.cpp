#include "features/dress_up/fillet.h"
#include "occt_host/kernel/operation_budget.h"

#include <BRepFilletAPI_MakeFillet.hxx>
#include <TopoDS.hxx>

#include <stdexcept>
#include <utility>

namespace occt_host {

namespace {

std::string whyNot(BRepFilletAPI_MakeFillet& algo) {
  if (algo.NbFaultyContours() < 1) return "the kernel built no fillet";
  switch (algo.StripeStatus(algo.FaultyContour(1))) {
    case ChFiDS_WalkingFailure:
      return "the round could not follow the faces (is the radius too large for them?)";
    case ChFiDS_StartsolFailure:
      return "the round found no start (is the radius too large for the faces?)";
    case ChFiDS_TwistedSurface:
      return "the round would be a twisted surface";
    default:
      return "the kernel could not round the edges";
  }
}

}  // namespace

FilletFeature::FilletFeature(std::string name, host::SpecObjectList edges, double radius)
    : DressUpFeature("EdgeFillet", std::move(name), std::move(edges)), radius_(radius) {}

TopoDS_Shape FilletFeature::build(const TopoDS_Shape& before) {
  needSolid(before);
  std::vector<TopoDS_Shape> edges = resolved();
  if (edges.empty()) throw std::runtime_error(name() + ": no edge to round");
  BRepFilletAPI_MakeFillet algo(before);
  for (const TopoDS_Shape& edge : edges) {
    if (edge.ShapeType() != TopAbs_EDGE)
      throw std::runtime_error(name() + ": a fillet needs edges, a face was given");
    algo.Add(radius_, TopoDS::Edge(edge));
  }
  OperationBudget budget(name() + ": the fillet");
  algo.Build(budget.range());
  budget.throwIfInterrupted();
  if (!algo.IsDone()) throw std::runtime_error(name() + ": " + whyNot(algo));
  publishHistory(FeatureHistory::of(algo, {before}));
  return algo.Shape();
}

}  // namespace occt_host
