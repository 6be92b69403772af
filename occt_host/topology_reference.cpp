#include "occt_host/topology_reference.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "occt_host/feature_faces.h"
#include "occt_host/solid_feature.h"

namespace occt_host {

namespace {

struct Fingerprint {
  int kind = -1;
  gp_Pnt centre;
  double size = 0;
};

Fingerprint fingerprintOf(const TopoDS_Shape& shape) {
  Fingerprint print;
  GProp_GProps props;
  if (shape.ShapeType() == TopAbs_FACE) {
    print.kind = BRepAdaptor_Surface(TopoDS::Face(shape), false).GetType();
    BRepGProp::SurfaceProperties(shape, props);
  } else {
    print.kind = BRepAdaptor_Curve(TopoDS::Edge(shape)).GetType();
    BRepGProp::LinearProperties(shape, props);
  }
  print.centre = props.CentreOfMass();
  print.size = props.Mass();
  return print;
}

}  // namespace

TopologyReference::TopologyReference(std::shared_ptr<SolidFeature> owner, TopoDS_Shape shape)
    : owner_(owner), shape_(std::move(shape)) {
  Fingerprint print = fingerprintOf(shape_);
  geometryKind_ = print.kind;
  centre_ = print.centre;
  size_ = print.size;
}

bool TopologyReference::isFace() const {
  return shape_.ShapeType() == TopAbs_FACE;
}

std::string TopologyReference::typeName() const {
  return isFace() ? "FaceReference" : "EdgeReference";
}

std::string TopologyReference::name() const {
  try {
    auto owner = owner_.lock();
    return (isFace() ? "Face of " : "Edge of ") + (owner ? owner->name() : std::string("?"));
  } catch (...) {
    return {};
  }
}

host::SpecObjectPtr TopologyReference::feature() {
  return owner_.lock();
}

void* TopologyReference::findInterface(host::InterfaceId id) {
  if (id == host::SpecObject::kInterfaceId) return static_cast<host::SpecObject*>(this);
  if (id == host::FaceReference::kInterfaceId && isFace())
    return static_cast<host::FaceReference*>(this);
  if (id == host::EdgeReference::kInterfaceId && !isFace())
    return static_cast<host::EdgeReference*>(this);
  return nullptr;
}

// The referenced shape when it is still there; otherwise the candidate of the same kind
// nearest to where it was, of the most similar size.
TopoDS_Shape TopologyReference::resolveIn(SolidFeature& through) const {
  auto owner = owner_.lock();
  if (!owner) return TopoDS_Shape();
  TopTools_IndexedMapOfShape faces = facesOf(*owner, through);
  TopTools_IndexedMapOfShape candidates;
  if (isFace()) {
    candidates = faces;
  } else {
    for (int i = 1; i <= faces.Extent(); ++i) TopExp::MapShapes(faces(i), TopAbs_EDGE, candidates);
  }
  int index = candidates.FindIndex(shape_);
  if (index > 0) return candidates(index);
  TopoDS_Shape best;
  double bestScore = std::numeric_limits<double>::infinity();
  for (int i = 1; i <= candidates.Extent(); ++i) {
    Fingerprint print = fingerprintOf(candidates(i));
    if (print.kind != geometryKind_) continue;
    double score = print.centre.Distance(centre_) + std::abs(print.size - size_);
    if (score < bestScore) {
      bestScore = score;
      best = candidates(i);
    }
  }
  return best;
}

std::vector<TopoDS_Shape> resolveAll(const host::SpecObjectList& objects, SolidFeature& through,
                                     const std::string& owner) {
  std::vector<TopoDS_Shape> shapes;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    auto reference = std::dynamic_pointer_cast<TopologyReference>(objects[i]);
    if (!reference)
      throw std::runtime_error(owner + ": reference " + std::to_string(i + 1) +
                               " is not a face or edge reference");
    TopoDS_Shape shape = reference->resolveIn(through);
    if (shape.IsNull())
      throw std::runtime_error(owner + ": " + reference->name() + " (reference " +
                               std::to_string(i + 1) + ") is no longer on the solid");
    shapes.push_back(shape);
  }
  return shapes;
}

}  // namespace occt_host
