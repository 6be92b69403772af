#include "features/sweep/loft.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepOffsetAPI_ThruSections.hxx>
#include <BRepTools.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Tool.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <Geom_Curve.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "features/boolean/boolean_ops.h"
#include "features/sweep/sweep_inputs.h"
#include "host/interface_table.h"
#include "host/wireframe.h"
#include "occt_host/kernel/operation_budget.h"
#include "sketch/sketch.h"

namespace occt_host {

namespace {

// Section wires are approximated within this distance (millimetres).
constexpr double kLoftTolerance = 1e-6;
// Planes closer than this to parallel (radians) count as parallel.
constexpr double kParallel = 1e-9;

int count(const TopoDS_Shape& shape, TopAbs_ShapeEnum kind) {
  int n = 0;
  for (TopExp_Explorer e(shape, kind); e.More(); e.Next()) ++n;
  return n;
}

// A single closed edge started again at the point's projection on its curve.
TopoDS_Wire reseamed(const TopoDS_Edge& edge, const gp_Pnt& point) {
  double first = 0, last = 0;
  Handle(Geom_Curve) curve = BRep_Tool::Curve(edge, first, last);
  if (curve.IsNull() || !curve->IsPeriodic()) return BRepBuilderAPI_MakeWire(edge).Wire();
  GeomAPI_ProjectPointOnCurve projection(point, curve);
  if (projection.NbPoints() == 0) return BRepBuilderAPI_MakeWire(edge).Wire();
  const double from = projection.LowerDistanceParameter();
  TopoDS_Edge moved = BRepBuilderAPI_MakeEdge(curve, from, from + (last - first)).Edge();
  moved.Orientation(edge.Orientation());
  return BRepBuilderAPI_MakeWire(moved).Wire();
}

}  // namespace

TopoDS_Wire startNearest(const TopoDS_Wire& wire, const gp_Pnt& point) {
  std::vector<TopoDS_Edge> edges;
  std::size_t nearest = 0;
  double best = std::numeric_limits<double>::infinity();
  for (BRepTools_WireExplorer e(wire); e.More(); e.Next()) {
    const double distance = BRep_Tool::Pnt(e.CurrentVertex()).Distance(point);
    if (distance < best) {
      best = distance;
      nearest = edges.size();
    }
    edges.push_back(e.Current());
  }
  if (edges.size() == 1) return reseamed(edges.front(), point);
  BRepBuilderAPI_MakeWire rotated;
  for (std::size_t i = 0; i < edges.size(); ++i) rotated.Add(edges[(nearest + i) % edges.size()]);
  if (!rotated.IsDone()) return wire;
  return rotated.Wire();
}

Loft::Loft(std::string name) : SolidFeature("Loft", std::move(name)) {}

host::Status Loft::addSection(const host::SpecObjectPtr& sketch, int orientation,
                              const host::SpecObjectPtr& closingPoint) {
  auto section = std::dynamic_pointer_cast<Sketch>(sketch);
  if (!section || (orientation != 1 && orientation != -1)) return host::kInvalidArg;
  if (closingPoint && !host::query<host::PointGeometry>(closingPoint)) return host::kInvalidArg;
  sections_.push_back({section, orientation, closingPoint});
  touch();
  return host::kOk;
}

host::Status Loft::setSectionPoint(int position, const host::SpecObjectPtr& point) {
  if (position < 1 || position > sectionCount()) return host::kInvalidArg;
  if (point && !host::query<host::PointGeometry>(point)) return host::kInvalidArg;
  sections_[static_cast<std::size_t>(position - 1)].point = point;
  touch();
  return host::kOk;
}

void* Loft::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Loft>(this, id)) return found;
  return SolidFeature::findInterface(id);
}

// Revisions only grow, so their sum changes whenever any section changes.
std::uint64_t Loft::inputRevision() const {
  std::uint64_t sum = 0;
  for (const Section& section : sections_) sum += revisionOf(section.sketch);
  return sum;
}

TopoDS_Wire Loft::sectionWire(const Section& section, std::size_t index) const {
  const std::string which = name() + " section " + std::to_string(index + 1);
  auto sketch = liveSketch(section.sketch, which, "section");
  TopoDS_Shape faces = profileFaces(*sketch, which);
  if (count(faces, TopAbs_FACE) != 1 || count(faces, TopAbs_WIRE) != 1)
    throw std::runtime_error(which + ": a section must be one closed contour without holes");
  TopExp_Explorer face(faces, TopAbs_FACE);
  TopoDS_Wire wire = BRepTools::OuterWire(TopoDS::Face(face.Current()));
  if (section.orientation < 0) wire.Reverse();
  host::Point3 at;
  auto point = host::query<host::PointGeometry>(section.point);
  if (point && point->position(at)) wire = startNearest(wire, gp_Pnt(at.x, at.y, at.z));
  return wire;
}

// Two neighbouring sections in one plane enclose nothing between them.
void Loft::checkSeparated() const {
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    auto a = sections_[i - 1].sketch.lock();
    auto b = sections_[i].sketch.lock();
    if (!a || !b) continue;
    const gp_Pln pa = a->kernelPlane(), pb = b->kernelPlane();
    if (pa.Axis().IsParallel(pb.Axis(), kParallel) && pa.Distance(pb.Location()) < kLoftTolerance)
      throw std::runtime_error(name() + ": sections " + std::to_string(i) + " and " +
                               std::to_string(i + 1) + " lie in the same plane");
  }
}

TopoDS_Shape Loft::build(const TopoDS_Shape& before) {
  if (sections_.size() < 2)
    throw std::runtime_error(name() + ": a loft needs at least two sections, it has " +
                             std::to_string(sections_.size()));
  checkSeparated();
  BRepOffsetAPI_ThruSections loft(/*isSolid=*/true, /*ruled=*/false, kLoftTolerance);
  for (std::size_t i = 0; i < sections_.size(); ++i) loft.AddWire(sectionWire(sections_[i], i));
  OperationBudget budget(name() + ": the loft");
  loft.Build(budget.range());
  budget.throwIfInterrupted();
  if (!loft.IsDone()) throw std::runtime_error(name() + ": the loft through the sections failed");
  if (before.IsNull()) return loft.Shape();
  // The fuse's record of both solids lets later features follow this one's faces.
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, loft.Shape(), name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
