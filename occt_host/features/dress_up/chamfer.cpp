#include "features/dress_up/chamfer.h"
#include "occt_host/kernel/operation_budget.h"

#include <BRepFilletAPI_MakeChamfer.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace occt_host {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The face the first length is measured on: the edge's first face in the solid, or the
// other one when the orientation is contrary.
TopoDS_Face measuredFace(const TopTools_IndexedDataMapOfShapeListOfShape& faces,
                         const TopoDS_Shape& edge, int orientation) {
  const TopTools_ListOfShape* list = faces.Seek(edge);
  if (!list || list->IsEmpty()) return TopoDS_Face();
  TopoDS_Shape first = list->First(), other;
  for (TopTools_ListIteratorOfListOfShape it(*list); it.More(); it.Next()) {
    if (!it.Value().IsSame(first)) {
      other = it.Value();
      break;
    }
  }
  if (orientation == host::kChamferOrientationContrary && !other.IsNull())
    return TopoDS::Face(other);
  return TopoDS::Face(first);
}

}  // namespace

ChamferFeature::ChamferFeature(std::string name, host::SpecObjectList edges, host::ChamferMode mode,
                               double first, double second, int orientation)
    : DressUpFeature("Chamfer", std::move(name), std::move(edges)),
      mode_(mode),
      first_(first),
      second_(second),
      orientation_(orientation) {}

double ChamferFeature::length1() const {
  return first_;
}

double ChamferFeature::length2() const {
  if (mode_ == host::ChamferMode::TwoLengths) return second_;
  return first_ * std::tan(second_ * kPi / 180.0);
}

void* ChamferFeature::findInterface(host::InterfaceId id) {
  if (id == host::Chamfer::kInterfaceId) return static_cast<host::Chamfer*>(this);
  return DressUpFeature::findInterface(id);
}

TopoDS_Shape ChamferFeature::build(const TopoDS_Shape& before) {
  needSolid(before);
  std::vector<TopoDS_Shape> edges = resolved();
  if (edges.empty()) throw std::runtime_error(name() + ": no edge to bevel");
  TopTools_IndexedDataMapOfShapeListOfShape faces;
  TopExp::MapShapesAndAncestors(before, TopAbs_EDGE, TopAbs_FACE, faces);
  BRepFilletAPI_MakeChamfer algo(before);
  for (const TopoDS_Shape& edge : edges) {
    TopoDS_Face face =
        edge.ShapeType() == TopAbs_EDGE ? measuredFace(faces, edge, orientation_) : TopoDS_Face();
    if (face.IsNull()) throw std::runtime_error(name() + ": a chamfer needs edges of the solid");
    if (mode_ == host::ChamferMode::TwoLengths)
      algo.Add(first_, second_, TopoDS::Edge(edge), face);
    else
      algo.AddDA(first_, second_ * kPi / 180.0, TopoDS::Edge(edge), face);
  }
  OperationBudget budget(name() + ": the chamfer");
  algo.Build(budget.range());
  budget.throwIfInterrupted();
  if (!algo.IsDone())
    throw std::runtime_error(name() +
                             ": the kernel could not bevel the edges (are the lengths "
                             "too large for the faces?)");
  publishHistory(FeatureHistory::of(algo, {before}));
  return algo.Shape();
}

}  // namespace occt_host
