#include "features/sweep/rib.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepGProp.hxx>
#include <BRepOffsetAPI_MakePipeShell.hxx>
#include <BRepTools.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Wire.hxx>

#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "features/boolean/boolean_ops.h"
#include "features/sweep/sweep_inputs.h"
#include "occt_host/kernel/operation_budget.h"
#include "sketch/sketch.h"

namespace occt_host {

namespace {

// Curves of a path meet at most this far from tangent (radians, about one degree).
constexpr double kMaxTurn = 0.0175;
// A swept solid smaller than this (cubic millimetres) has folded onto itself.
constexpr double kMinVolume = 1e-9;

// The unit tangent where the edge starts (or ends) along the wire's direction.
gp_Vec tangentAt(const TopoDS_Edge& edge, bool atStart) {
  BRepAdaptor_Curve curve(edge);
  const bool reversed = edge.Orientation() == TopAbs_REVERSED;
  const bool first = atStart != reversed;
  gp_Pnt p;
  gp_Vec d;
  curve.D1(first ? curve.FirstParameter() : curve.LastParameter(), p, d);
  if (reversed) d.Reverse();
  return d.Magnitude() > 0 ? d.Normalized() : d;
}

std::string pointText(const gp_Pnt& p) {
  std::ostringstream text;
  text << "(" << p.X() << ", " << p.Y() << ", " << p.Z() << ")";
  return text.str();
}

// A corner or a cusp in the path would fold the swept profile onto itself, which the
// kernel does not always notice, so the path must be tangent continuous.
void checkTangentContinuous(const TopoDS_Wire& path, const std::string& owner) {
  std::optional<gp_Vec> previous, first;
  for (BRepTools_WireExplorer e(path); e.More(); e.Next()) {
    const gp_Vec start = tangentAt(e.Current(), true);
    if (previous && previous->Angle(start) > kMaxTurn) {
      throw std::runtime_error(owner + ": the path turns sharply at " +
                               pointText(BRep_Tool::Pnt(e.CurrentVertex())) +
                               "; a swept path must be tangent continuous");
    }
    if (!first) first = start;
    previous = tangentAt(e.Current(), false);
  }
  if (BRep_Tool::IsClosed(path) && previous && first && previous->Angle(*first) > kMaxTurn)
    throw std::runtime_error(owner + ": the closed path turns sharply where it closes");
}

std::string pipeFailure(BRepBuilderAPI_PipeError status) {
  switch (status) {
    case BRepBuilderAPI_PlaneNotIntersectGuide:
      return "the sweep failed: a section plane does not meet the guide";
    case BRepBuilderAPI_ImpossibleContact:
      return "the sweep failed: the profile cannot be brought into contact with the path";
    default:
      return "the sweep along the path failed";
  }
}

// One closed contour swept into a solid; the binormal keeps the contour's angle to the
// path's plane constant, so a planar path gives no twist.
TopoDS_Shape sweepContour(const TopoDS_Wire& path, const TopoDS_Wire& contour,
                          const gp_Dir& binormal, const std::string& owner) {
  BRepOffsetAPI_MakePipeShell pipe(path);
  pipe.SetMode(binormal);
  pipe.Add(contour, /*WithContact=*/false, /*WithCorrection=*/false);
  OperationBudget budget(owner + ": the sweep");
  pipe.Build(budget.range());
  budget.throwIfInterrupted();
  if (!pipe.IsDone()) throw std::runtime_error(owner + ": " + pipeFailure(pipe.GetStatus()));
  if (!pipe.MakeSolid())
    throw std::runtime_error(owner + ": the swept contour could not be closed into a solid");
  GProp_GProps props;
  BRepGProp::VolumeProperties(pipe.Shape(), props);
  if (!(props.Mass() > kMinVolume))
    throw std::runtime_error(owner + ": the swept profile folds onto itself (no volume)");
  return pipe.Shape();
}

// A profile face swept: its outer contour, less its swept holes.
TopoDS_Shape sweepFace(const TopoDS_Wire& path, const TopoDS_Face& face, const gp_Dir& binormal,
                       const std::string& owner) {
  const TopoDS_Wire outer = BRepTools::OuterWire(face);
  TopoDS_Shape solid = sweepContour(path, outer, binormal, owner);
  std::vector<TopoDS_Shape> holes;
  for (TopExp_Explorer w(face, TopAbs_WIRE); w.More(); w.Next()) {
    if (!w.Current().IsSame(outer))
      holes.push_back(sweepContour(path, TopoDS::Wire(w.Current()), binormal, owner));
  }
  return holes.empty() ? solid : booleans::cut(solid, holes, owner);
}

}  // namespace

Rib::Rib(std::string name, const std::shared_ptr<Sketch>& profile,
         const std::shared_ptr<Sketch>& path)
    : SolidFeature("Rib", std::move(name)), profile_(profile), path_(path) {}

std::uint64_t Rib::inputRevision() const {
  return revisionOf(profile_) + revisionOf(path_);
}

TopoDS_Shape Rib::build(const TopoDS_Shape& before) {
  auto profile = liveSketch(profile_, name(), "profile");
  auto path = liveSketch(path_, name(), "path");
  const TopoDS_Wire spine = pathWire(*path, name());
  checkTangentContinuous(spine, name());
  const gp_Dir binormal = path->kernelPlane().Axis().Direction();
  TopoDS_Shape swept;
  for (TopExp_Explorer f(profileFaces(*profile, name()), TopAbs_FACE); f.More(); f.Next()) {
    TopoDS_Shape one = sweepFace(spine, TopoDS::Face(f.Current()), binormal, name());
    swept = swept.IsNull() ? one : booleans::fuse(swept, one, name());
  }
  if (before.IsNull()) return swept;
  // The fuse's record of both solids lets later features follow this one's faces.
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, swept, name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
