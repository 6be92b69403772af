#include "features/dress_up/draft.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepOffsetAPI_DraftAngle.hxx>
#include <TopoDS.hxx>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "occt_host/kernel/operation_budget.h"
#include "topology/topology_reference.h"

namespace occt_host {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

DraftFeature::DraftFeature(std::string name, host::SpecObjectList faces,
                           host::SpecObjectPtr neutral, const host::Vec3& pull, double angleDegrees)
    : DressUpFeature("Draft", std::move(name), std::move(faces)),
      neutral_(std::move(neutral)),
      pull_(pull),
      angle_(angleDegrees) {}

TopoDS_Shape DraftFeature::build(const TopoDS_Shape& before) {
  needSolid(before);
  std::vector<TopoDS_Shape> faces = resolved();
  if (faces.empty()) throw std::runtime_error(name() + ": no face to draft");
  TopoDS_Shape neutralFace = resolveAll({neutral_}, featureBefore(), name()).front();
  if (neutralFace.ShapeType() != TopAbs_FACE)
    throw std::runtime_error(name() + ": the neutral element must be a face");
  BRepAdaptor_Surface neutral(TopoDS::Face(neutralFace));
  if (neutral.GetType() != GeomAbs_Plane)
    throw std::runtime_error(name() + ": the neutral face is not planar");
  if (!(host::norm(pull_) > 0)) throw std::runtime_error(name() + ": no pulling direction");
  gp_Dir pull(pull_.x, pull_.y, pull_.z);
  // A positive angle to the kernel leans a face inward as it goes along the direction.
  double angle = angle_ * kPi / 180.0;
  BRepOffsetAPI_DraftAngle algo(before);
  for (const TopoDS_Shape& face : faces) {
    if (face.ShapeType() != TopAbs_FACE)
      throw std::runtime_error(name() + ": a draft tilts faces, an edge was given");
    algo.Add(TopoDS::Face(face), pull, angle, neutral.Plane());
    if (!algo.AddDone())
      throw std::runtime_error(name() +
                               ": the kernel cannot tilt a face about the neutral "
                               "plane (is it parallel to the pulling direction?)");
  }
  OperationBudget budget(name() + ": the draft");
  algo.Build(budget.range());
  budget.throwIfInterrupted();
  if (!algo.IsDone()) throw std::runtime_error(name() + ": the kernel could not draft the faces");
  publishHistory(FeatureHistory::of(algo, {before}));
  return algo.Shape();
}

}  // namespace occt_host
