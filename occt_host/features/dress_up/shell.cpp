#include "features/dress_up/shell.h"

#include <BRepBuilderAPI_MakeSolid.hxx>
#include <BRepLib.hxx>
#include <BRepOffsetAPI_MakeOffsetShape.hxx>
#include <BRepOffsetAPI_MakeThickSolid.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Solid.hxx>

#include <stdexcept>
#include <utility>

#include "features/boolean/boolean_ops.h"
#include "occt_host/kernel/operation_budget.h"

namespace occt_host {

namespace {

constexpr double kOffsetTolerance = 1e-3;

}  // namespace

ShellFeature::ShellFeature(std::string name, host::SpecObjectList openFaces, double inner,
                           double outer)
    : DressUpFeature("Shell", std::move(name), std::move(openFaces)),
      inner_(inner),
      outer_(outer) {}

// Walls grow inward by the inner thickness (negative offset) or outward by the outer one;
// sharp edges are joined by intersecting the offset faces, as a moulded part has them.
TopoDS_Shape ShellFeature::build(const TopoDS_Shape& before) {
  needSolid(before);
  if (inner_ < 0 || outer_ < 0 || (inner_ > 0) == (outer_ > 0))
    throw std::runtime_error(name() + ": a shell needs one positive thickness, inner or outer");
  double offset = inner_ > 0 ? -inner_ : outer_;
  std::vector<TopoDS_Shape> faces = resolved();
  if (faces.empty()) return closedHollow(before, offset);
  TopTools_ListOfShape open;
  for (const TopoDS_Shape& face : faces) {
    if (face.ShapeType() != TopAbs_FACE)
      throw std::runtime_error(name() + ": a shell opens faces, an edge was given");
    open.Append(face);
  }
  BRepOffsetAPI_MakeThickSolid algo;
  OperationBudget budget(name() + ": the shell");
  algo.MakeThickSolidByJoin(before, open, offset, kOffsetTolerance, BRepOffset_Skin, false, false,
                            GeomAbs_Intersection, false, budget.range());
  budget.throwIfInterrupted();
  if (!algo.IsDone())
    throw std::runtime_error(name() +
                             ": the kernel could not hollow the solid (is the "
                             "thickness too large for it?)");
  publishHistory(FeatureHistory::of(algo, {before}));
  return algo.Shape();
}

// With no face open the hollow is a closed cavity: the solid less its offset copy.
TopoDS_Shape ShellFeature::closedHollow(const TopoDS_Shape& before, double offset) {
  BRepOffsetAPI_MakeOffsetShape algo;
  algo.PerformByJoin(before, offset, kOffsetTolerance, BRepOffset_Skin, false, false,
                     GeomAbs_Intersection);
  if (!algo.IsDone())
    throw std::runtime_error(name() + ": the kernel could not offset the solid's faces");
  // The offset comes as a closed shell; the kernel cuts with solids only.
  TopExp_Explorer shells(algo.Shape(), TopAbs_SHELL);
  if (!shells.More()) throw std::runtime_error(name() + ": the offset of the solid is empty");
  BRepBuilderAPI_MakeSolid makeSolid(TopoDS::Shell(shells.Current()));
  TopoDS_Solid copy = makeSolid.Solid();
  BRepLib::OrientClosedSolid(copy);
  FeatureHistory history;
  TopoDS_Shape shape;
  if (offset < 0) {
    shape = booleans::cut(before, {copy}, name(), &history.history);
  } else {
    shape = booleans::cut(copy, {before}, name(), &history.history);
  }
  publishHistory(std::move(history));
  return shape;
}

}  // namespace occt_host
