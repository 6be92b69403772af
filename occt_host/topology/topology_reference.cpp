#include "topology/topology_reference.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <NCollection_DataMap.hxx>
#include <Precision.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ListIteratorOfListOfShape.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS.hxx>

#include <TopExp_Explorer.hxx>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "kernel/kernel_guard.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"

namespace occt_host {

// When the referenced shape is gone, a candidate stands in for it only if it is plausibly
// the same face or edge rebuilt: a pad that grew moves its top by the growth and stretches
// its sides, a recomputed cut trims a face a little differently. A face or edge that a
// later feature took away must not be replaced by whatever is nearest, so:
// - the direction (a plane's outward normal, an axis, a line) turns by at most this;
constexpr double kMaxTurnRadians = 3.14159265358979323846 / 180.0;
// - cylinders, cones and circles keep their radius (concentric ones differ only there);
constexpr double kMaxRadiusChange = 1e-3;  // relative
// - the centre moves across the direction by at most this fraction of the shape's extent
//   (its box diagonal), and along it (a pad's top as the pad grows, a hole's rim with it)
//   by at most the next; a small face that moved far is refused rather than guessed;
constexpr double kMaxShiftAcross = 0.5;
constexpr double kMaxShiftAlong = 1.0;
// - the size (area, length) keeps at least this fraction of the larger of the two;
constexpr double kMinSizeRatio = 0.25;
// - and the best candidate beats the runner-up by this much of the score (shift over
//   extent plus size mismatch); mirror-image candidates are refused, not picked at random.
constexpr double kAmbiguityMargin = 0.05;

namespace {

struct Fingerprint {
  int kind = -1;
  gp_Pnt centre;
  double size = 0;
  double extent = 0;
  // A plane's outward normal (signed), or the direction of an axis or a line (either way).
  bool directed = false;
  bool signedDirection = false;
  gp_Dir direction;
  // Cylinders, cones and circles: a point on the axis and the radius.
  bool axial = false;
  gp_Pnt axisPoint;
  double radius = 0;
};

void setAxis(Fingerprint& print, const gp_Ax1& axis, double radius) {
  print.directed = print.axial = true;
  print.direction = axis.Direction();
  print.axisPoint = axis.Location();
  print.radius = radius;
}

void describeFace(const TopoDS_Face& face, Fingerprint& print) {
  BRepAdaptor_Surface surface(face, false);
  print.kind = surface.GetType();
  if (print.kind == GeomAbs_Plane) {
    print.directed = print.signedDirection = true;
    print.direction = surface.Plane().Axis().Direction();
    if (face.Orientation() == TopAbs_REVERSED) print.direction.Reverse();
  } else if (print.kind == GeomAbs_Cylinder) {
    setAxis(print, surface.Cylinder().Axis(), surface.Cylinder().Radius());
  } else if (print.kind == GeomAbs_Cone) {
    setAxis(print, surface.Cone().Axis(), surface.Cone().RefRadius());
  }
}

void describeEdge(const TopoDS_Edge& edge, Fingerprint& print) {
  BRepAdaptor_Curve curve(edge);
  print.kind = curve.GetType();
  if (print.kind == GeomAbs_Line) {
    print.directed = true;
    print.direction = curve.Line().Direction();
  } else if (print.kind == GeomAbs_Circle) {
    setAxis(print, curve.Circle().Axis(), curve.Circle().Radius());
  }
}

// A face as its solid holds it: the kernel's history may hand its image back the other
// way round, and a plane's outward normal depends on that.
TopoDS_Shape asOnSolid(const TopoDS_Shape& shape, const TopTools_IndexedMapOfShape& solidFaces) {
  if (shape.ShapeType() != TopAbs_FACE) return shape;
  const int index = solidFaces.FindIndex(shape);
  return index > 0 ? solidFaces(index) : shape;
}

Fingerprint fingerprintOf(const TopoDS_Shape& shape) {
  Fingerprint print;
  GProp_GProps props;
  if (shape.ShapeType() == TopAbs_FACE) {
    describeFace(TopoDS::Face(shape), print);
    BRepGProp::SurfaceProperties(shape, props);
  } else {
    describeEdge(TopoDS::Edge(shape), print);
    BRepGProp::LinearProperties(shape, props);
  }
  print.centre = props.CentreOfMass();
  print.size = props.Mass();
  Bnd_Box box;
  BRepBndLib::Add(shape, box, false);
  if (!box.IsVoid()) print.extent = std::sqrt(box.SquareExtent());
  print.extent = std::max(print.extent, Precision::Confusion());
  return print;
}

// Same kind of surface or curve, lying the same way: direction, axis and radius.
bool sameCarrier(const Fingerprint& was, const Fingerprint& now) {
  if (now.kind != was.kind || now.directed != was.directed) return false;
  if (was.directed) {
    double cosine = was.direction.Dot(now.direction);
    if (!was.signedDirection) cosine = std::abs(cosine);
    if (cosine < std::cos(kMaxTurnRadians)) return false;
  }
  if (was.axial) {
    if (std::abs(now.radius - was.radius) > kMaxRadiusChange * std::max(was.radius, now.radius))
      return false;
    if (gp_Lin(was.axisPoint, was.direction).Distance(now.axisPoint) > kMaxShiftAcross * was.extent)
      return false;
  }
  return true;
}

// How far `now` is from `was`, or a negative number when it cannot be the same shape.
double mismatch(const Fingerprint& was, const Fingerprint& now) {
  if (!sameCarrier(was, now)) return -1;
  const gp_Vec move(was.centre, now.centre);
  const double along = was.directed ? std::abs(move.Dot(gp_Vec(was.direction))) : 0;
  const double across = std::sqrt(std::max(0.0, move.SquareMagnitude() - along * along));
  if (along > kMaxShiftAlong * was.extent || across > kMaxShiftAcross * was.extent) return -1;
  const double larger = std::max(was.size, now.size);
  const double ratio = larger > 0 ? std::min(was.size, now.size) / larger : 1.0;
  if (ratio < kMinSizeRatio) return -1;
  return move.Magnitude() / was.extent + (1 - ratio);
}

using SerialOfFace = NCollection_DataMap<TopoDS_Shape, std::uint64_t, TopTools_ShapeMapHasher>;

SerialOfFace serialsOf(const FacesByFeature& faces) {
  SerialOfFace out;
  for (const auto& [serial, made] : faces) {
    for (int i = 1; i <= made.Extent(); ++i) out.Bind(made(i), serial);
  }
  return out;
}

}  // namespace

// The faces on either side of an edge, named by the feature that made each and their
// carrier; an edge found again must lie between the same faces.
struct TopologyReference::Neighbour {
  std::uint64_t serial = 0;
  Fingerprint print;
};

namespace {

// Which faces meet at each edge of a solid, and which feature made each face.
class Neighbourhood {
 public:
  Neighbourhood(const TopoDS_Shape& solid, const FacesByFeature& faces) {
    TopExp::MapShapesAndUniqueAncestors(solid, TopAbs_EDGE, TopAbs_FACE, facesOfEdge_);
    serials_ = serialsOf(faces);
  }

  std::vector<TopologyReference::Neighbour> of(const TopoDS_Shape& edge) const {
    std::vector<TopologyReference::Neighbour> out;
    const TopTools_ListOfShape* faces = facesOfEdge_.Seek(edge);
    if (!faces) return out;
    for (TopTools_ListIteratorOfListOfShape it(*faces); it.More(); it.Next()) {
      const std::uint64_t* serial = serials_.Seek(it.Value());
      out.push_back({serial ? *serial : 0, fingerprintOf(it.Value())});
    }
    return out;
  }

 private:
  TopTools_IndexedDataMapOfShapeListOfShape facesOfEdge_;
  SerialOfFace serials_;
};

// The same as Neighbourhood(solid, faces).of(edge), for one edge: the faces that hold it,
// each once and in the solid's order, named by the last feature whose faces hold it.
std::vector<TopologyReference::Neighbour> neighboursOf(const TopoDS_Shape& edge,
                                                       const TopoDS_Shape& solid,
                                                       const FacesByFeature& faces) {
  std::vector<TopologyReference::Neighbour> out;
  std::vector<TopoDS_Shape> seen;
  for (TopExp_Explorer face(solid, TopAbs_FACE); face.More(); face.Next()) {
    bool holds = false;
    for (TopExp_Explorer e(face.Current(), TopAbs_EDGE); e.More() && !holds; e.Next())
      holds = e.Current().IsSame(edge);
    if (!holds || std::any_of(seen.begin(), seen.end(),
                              [&](const TopoDS_Shape& f) { return f.IsSame(face.Current()); }))
      continue;
    seen.push_back(face.Current());
    std::uint64_t serial = 0;
    for (const auto& [feature, made] : faces) {
      if (made.Contains(face.Current())) serial = feature;
    }
    out.push_back({serial, fingerprintOf(face.Current())});
  }
  return out;
}

bool sameNeighbours(const std::vector<TopologyReference::Neighbour>& was,
                    const std::vector<TopologyReference::Neighbour>& now) {
  if (was.size() != now.size()) return false;
  auto matched = [](const auto& from, const auto& to) {
    return std::all_of(from.begin(), from.end(), [&](const auto& a) {
      return std::any_of(to.begin(), to.end(), [&](const auto& b) {
        return a.serial == b.serial && sameCarrier(a.print, b.print);
      });
    });
  };
  return matched(was, now) && matched(now, was);
}

}  // namespace

struct TopologyReference::Recorded {
  Fingerprint print;
  // Edges only: the faces on either side of the edge as it was taken, and which feature made
  // each, found by one pass over the solid's faces. Keeping the solid and every feature's
  // faces to look them up later instead would hold, for each reference, as much as the
  // whole part: over a chain of fillets, the square of its length.
  std::vector<Neighbour> neighbours;  // empty: the edge was not on its solid
};

TopologyReference::TopologyReference(std::shared_ptr<SolidFeature> owner, TopoDS_Shape shape)
    : owner_(owner), shape_(std::move(shape)) {
  auto recorded = std::make_shared<Recorded>();
  if (!owner) {
    recorded->print = fingerprintOf(shape_);
  } else {
    SolidFeature& tip = *bodyTip(*owner);
    recorded->print = fingerprintOf(asOnSolid(shape_, tip.historyRecord()->faces()));
    if (!isFace()) {
      if (auto faces = facesByFeature(tip))
        recorded->neighbours = neighboursOf(shape_, tip.result(), *faces);
    }
  }
  recorded_ = std::move(recorded);
}

bool TopologyReference::isFace() const {
  return shape_.ShapeType() == TopAbs_FACE;
}

std::string TopologyReference::typeName() const {
  return isFace() ? "FaceReference" : "EdgeReference";
}

std::string TopologyReference::name() const {
  return guarded({}, [&] {
    auto owner = owner_.lock();
    return (isFace() ? "Face of " : "Edge of ") + (owner ? owner->name() : std::string("?"));
  });
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

// The referenced shape when it is still there (the kernel's history followed it);
// otherwise the one candidate that is plausibly it rebuilt, or nothing.
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
  return rebuilt(candidates, through);
}

TopoDS_Shape TopologyReference::rebuilt(const TopTools_IndexedMapOfShape& candidates,
                                        SolidFeature& through) const {
  const Fingerprint& was = recorded_->print;
  const HistoryRecordPtr record = through.historyRecord();
  const TopTools_IndexedMapOfShape& solidFaces = record->faces();
  TopoDS_Shape best;
  double bestScore = std::numeric_limits<double>::infinity();
  double runnerUp = bestScore;
  std::optional<Neighbourhood> around;  // built for the first candidate that needs it
  for (int i = 1; i <= candidates.Extent(); ++i) {
    // A degenerate edge (a cone's apex) has no curve to compare, nor is one ever named.
    if (candidates(i).ShapeType() == TopAbs_EDGE &&
        BRep_Tool::Degenerated(TopoDS::Edge(candidates(i))))
      continue;
    double score = mismatch(was, fingerprintOf(asOnSolid(candidates(i), solidFaces)));
    if (score < 0) continue;
    const std::vector<Neighbour>& neighbours = recorded_->neighbours;
    if (!neighbours.empty()) {
      if (!around) around.emplace(through.result(), *facesByFeature(through));
      if (!sameNeighbours(neighbours, around->of(candidates(i)))) continue;
    }
    if (score < bestScore) {
      runnerUp = bestScore;
      bestScore = score;
      best = candidates(i);
    } else if (score < runnerUp) {
      runnerUp = score;
    }
  }
  if (best.IsNull() || runnerUp - bestScore < kAmbiguityMargin) return TopoDS_Shape();
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
