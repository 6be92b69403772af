#include "kernel/prism_removal.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <BRepTopAdaptor_FClass2d.hxx>
#include <BRep_Tool.hxx>
#include <ElSLib.hxx>
#include <GProp_GProps.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>
#include <gp_Pnt2d.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <optional>

namespace occt_host {

// A solid bounded by two plane caps square to `axis` and by sides that run along it: the
// cap's section swept from `low` to `high`.
struct Prism {
  gp_Dir axis;
  double low = 0, high = 0;
  double section = 0;
  gp_Pnt corner;  // a point of the low cap's boundary
  Bnd_Box box;
};

// Where the axis through the section passes the solid's boundary, going up the axis.
struct Crossing {
  double at = 0;
  bool leaves = false;
};

namespace {

constexpr double kAngle = 1e-9;
constexpr double kLength = 1e-7;  // the kernel's confusion distance

// A face of the prism as the test reads it: a plane's outward normal and a point of it, or
// the direction a cylinder or an extruded surface runs along.
struct PrismFace {
  TopoDS_Face face;
  bool isPlane = false;
  gp_Dir direction;
  gp_Ax3 plane;
};

std::optional<PrismFace> readFace(const TopoDS_Face& face) {
  BRepAdaptor_Surface surface(face, false);
  PrismFace read{face, false, gp_Dir(), gp_Ax3()};
  switch (surface.GetType()) {
    case GeomAbs_Plane: {
      read.plane = surface.Plane().Position();
      gp_Dir normal = read.plane.XDirection().Crossed(read.plane.YDirection());
      read.isPlane = true;
      read.direction = face.Orientation() == TopAbs_REVERSED ? normal.Reversed() : normal;
      return read;
    }
    case GeomAbs_Cylinder:
      read.direction = surface.Cylinder().Axis().Direction();
      return read;
    case GeomAbs_SurfaceOfExtrusion:
      read.direction = surface.Direction();
      return read;
    default:
      return std::nullopt;
  }
}

// Twice the area an edge sweeps about the origin of (e1, e2), the integral of x dy - y dx
// along it: exact for a segment and for an arc; false for other curves.
bool sweptByEdge(const TopoDS_Edge& edge, const gp_Ax3& plane, double& twice) {
  BRepAdaptor_Curve curve(edge);
  double u0 = curve.FirstParameter(), u1 = curve.LastParameter();
  if (edge.Orientation() == TopAbs_REVERSED) std::swap(u0, u1);
  auto planar = [&](const gp_Pnt& p) {
    const gp_Vec v(plane.Location(), p);
    return gp_XY(v.Dot(gp_Vec(plane.XDirection())), v.Dot(gp_Vec(plane.YDirection())));
  };
  const gp_XY a = planar(curve.Value(u0)), b = planar(curve.Value(u1));
  if (curve.GetType() == GeomAbs_Line) {
    twice = a.X() * b.Y() - b.X() * a.Y();
    return true;
  }
  if (curve.GetType() != GeomAbs_Circle) return false;
  // x = cx + r (p cos u + q sin u), y = cy + r (s cos u + t sin u): the integral is
  // cx (y1 - y0) - cy (x1 - x0) + r^2 (p t - q s) (u1 - u0).
  const gp_Circ circle = curve.Circle();
  const gp_XY centre = planar(circle.Location());
  const gp_XY x = planar(plane.Location().Translated(gp_Vec(circle.XAxis().Direction())));
  const gp_XY y = planar(plane.Location().Translated(gp_Vec(circle.YAxis().Direction())));
  const double turn = x.X() * y.Y() - y.X() * x.Y();
  const double r = circle.Radius();
  twice = centre.X() * (b.Y() - a.Y()) - centre.Y() * (b.X() - a.X()) + r * r * turn * (u1 - u0);
  return true;
}

// A plane face's area: from its edges when they are segments and arcs, as most sections
// are, else by the kernel's integration over the face.
double areaOf(const TopoDS_Face& face, const gp_Ax3& plane) {
  double twice = 0;
  for (TopExp_Explorer edge(face, TopAbs_EDGE); edge.More(); edge.Next()) {
    double part = 0;
    if (!sweptByEdge(TopoDS::Edge(edge.Current()), plane, part)) {
      GProp_GProps props;
      BRepGProp::SurfaceProperties(face, props);
      return props.Mass();
    }
    twice += part;
  }
  return std::abs(twice) / 2;
}

// The prism along `axis`, when every face is a cap square to it or a side along it, with
// one cap facing each way.
bool prismAlong(const std::vector<PrismFace>& faces, const gp_Dir& axis, Prism& out) {
  out = Prism();
  const PrismFace *low = nullptr, *high = nullptr;
  for (const PrismFace& face : faces) {
    const bool cap = face.isPlane && face.direction.IsParallel(axis, kAngle);
    const bool side = face.isPlane ? face.direction.IsNormal(axis, kAngle)
                                   : face.direction.IsParallel(axis, kAngle);
    if (side) continue;
    if (!cap) return false;
    const PrismFace*& slot = face.direction.Dot(axis) < 0 ? low : high;
    if (slot) return false;
    slot = &face;
  }
  if (!low || !high) return false;
  out.axis = axis;
  out.low = gp_Vec(axis).Dot(gp_Vec(low->plane.Location().XYZ()));
  out.high = gp_Vec(axis).Dot(gp_Vec(high->plane.Location().XYZ()));
  out.section = areaOf(low->face, low->plane);
  const double other = areaOf(high->face, high->plane);
  if (!(out.high > out.low + kLength) || std::abs(out.section - other) > 1e-9 * out.section)
    return false;
  TopExp_Explorer vertex(low->face, TopAbs_VERTEX);
  if (!vertex.More()) return false;
  out.corner = BRep_Tool::Pnt(TopoDS::Vertex(vertex.Current()));
  // A plane face lies within the box of its edges; the prism within the low cap's box
  // and that box moved to the high cap.
  for (TopExp_Explorer edge(low->face, TopAbs_EDGE); edge.More(); edge.Next())
    BRepBndLib::Add(edge.Current(), out.box, false);
  gp_Trsf up;
  up.SetTranslation(gp_Vec(axis) * (out.high - out.low));
  out.box.Add(out.box.Transformed(up));
  return true;
}

// Each way `shape` is one straight prism. Its axis is that of any side that is not a plane;
// a solid of planes only may be a prism along several of its planes' normals (a box is one
// along each of its three), and any of them measures it.
std::vector<Prism> rightPrisms(const TopoDS_Shape& shape) {
  TopExp_Explorer solids(shape, TopAbs_SOLID);
  if (!solids.More()) return {};
  solids.Next();
  if (solids.More() || TopExp_Explorer(shape, TopAbs_FACE, TopAbs_SOLID).More()) return {};
  std::vector<PrismFace> faces;
  for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) {
    std::optional<PrismFace> read = readFace(TopoDS::Face(face.Current()));
    if (!read) return {};
    faces.push_back(*read);
  }
  std::vector<Prism> prisms;
  Prism prism;
  for (const PrismFace& face : faces) {
    if (face.isPlane) continue;
    if (prismAlong(faces, face.direction, prism)) prisms.push_back(prism);
    return prisms;
  }
  std::vector<gp_Dir> tried;
  for (const PrismFace& face : faces) {
    if (tried.size() == 3) break;
    const bool seen = std::any_of(tried.begin(), tried.end(), [&](const gp_Dir& axis) {
      return axis.IsParallel(face.direction, kAngle);
    });
    if (seen) continue;
    tried.push_back(face.direction);
    if (prismAlong(faces, face.direction, prism)) prisms.push_back(prism);
  }
  return prisms;
}

// The length of [low, high] inside the solid, given every place where the axis through a
// point of the section crosses the solid's boundary there, in order.
bool lengthInside(const Prism& prism, const std::vector<Crossing>& crossings, double& length) {
  bool inside = crossings.front().leaves;
  double from = prism.low;
  length = 0;
  for (const Crossing& crossing : crossings) {
    if (crossing.leaves != inside) return false;
    const double to = std::clamp(crossing.at, prism.low, prism.high);
    if (inside) length += to - from;
    from = to;
    inside = !inside;
  }
  if (inside) length += prism.high - from;
  return true;
}

}  // namespace

SlabFaces::SlabFaces(const TopoDS_Shape& solid) {
  if (solid.IsNull() || TopExp_Explorer(solid, TopAbs_FACE, TopAbs_SOLID).More()) return;
  for (TopExp_Explorer explorer(solid, TopAbs_FACE); explorer.More(); explorer.Next()) {
    Face face;
    face.face = TopoDS::Face(explorer.Current());
    BRepBndLib::Add(face.face, face.box, false);
    std::optional<PrismFace> read = readFace(face.face);
    face.plane = read && read->isPlane;
    if (face.plane) {
      face.outward = read->direction;
      face.axes = read->plane;
      face.offset = gp_Vec(face.outward).Dot(gp_Vec(read->plane.Location().XYZ()));
      for (TopExp_Explorer edge(face.face, TopAbs_EDGE); edge.More(); edge.Next()) {
        Bnd_Box box;
        BRepBndLib::Add(edge.Current(), box, false);
        face.edges.push_back(box);
      }
    }
    faces_.push_back(std::move(face));
  }
  usable_ = !faces_.empty();
}

// Where the axis through the prism's section crosses the solid within `reach`: only at
// planes square to it whose edges all stay out of reach, so that each holds the section
// whole or not at all, and one point of the section tells which.
bool SlabFaces::crossings(const Prism& prism, const Bnd_Box& reach,
                          std::vector<Crossing>& out) const {
  for (const Face& face : faces_) {
    if (face.box.IsOut(reach)) continue;
    if (!face.plane || !face.outward.IsParallel(prism.axis, kAngle)) return false;
    const double along = face.outward.Dot(prism.axis);
    const double at = face.offset * along;
    if (at < prism.low - kLength || at > prism.high + kLength) continue;
    for (const Bnd_Box& edge : face.edges) {
      if (!edge.IsOut(reach)) return false;
    }
    const gp_Pnt point = prism.corner.Translated(gp_Vec(prism.axis) * (at - prism.low));
    if (!face.classifier)
      face.classifier = std::make_shared<BRepTopAdaptor_FClass2d>(face.face, kLength);
    double u = 0, v = 0;
    ElSLib::PlaneParameters(face.axes, point, u, v);
    const TopAbs_State state = face.classifier->Perform(gp_Pnt2d(u, v));
    if (state == TopAbs_OUT) continue;
    if (state != TopAbs_IN) return false;
    out.push_back({at, along > 0});
  }
  std::sort(out.begin(), out.end(),
            [](const Crossing& a, const Crossing& b) { return a.at < b.at; });
  return !out.empty();
}

bool SlabFaces::removedBy(const TopoDS_Shape& shape, double& mm3, Bnd_Box* box) const {
  if (!usable_) return false;
  try {
    for (const Prism& prism : rightPrisms(shape)) {
      std::vector<Crossing> found;
      double length = 0;
      if (!crossings(prism, prism.box, found) || !lengthInside(prism, found, length)) continue;
      mm3 = prism.section * length;
      if (box) *box = prism.box;
      return true;
    }
    return false;
  } catch (const Standard_Failure&) {
    return false;
  }
}

}  // namespace occt_host
