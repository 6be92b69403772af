#include "topology/topology_cells.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepTools.hxx>
#include <BRepTopAdaptor_FClass2d.hxx>
#include <BRep_Tool.hxx>
#include <ElSLib.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <GeomAPI_ProjectPointOnSurf.hxx>
#include <Geom_Curve.hxx>
#include <Geom_Surface.hxx>
#include <Precision.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>

#include <algorithm>
#include <utility>

#include "kernel/kernel_guard.h"
#include "occt_host/model/solid_feature.h"
#include "topology/topology_reference.h"

namespace occt_host {

namespace {

host::Point3 toPoint(const gp_Pnt& p) {
  return {p.X(), p.Y(), p.Z()};
}

host::Vec3 toVec(const gp_Dir& d) {
  return {d.X(), d.Y(), d.Z()};
}

host::SurfaceKind kindOf(GeomAbs_SurfaceType type) {
  switch (type) {
    case GeomAbs_Plane:
      return host::SurfaceKind::Plane;
    case GeomAbs_Cylinder:
      return host::SurfaceKind::Cylinder;
    case GeomAbs_Cone:
      return host::SurfaceKind::Cone;
    case GeomAbs_Sphere:
      return host::SurfaceKind::Sphere;
    case GeomAbs_Torus:
      return host::SurfaceKind::Torus;
    case GeomAbs_BSplineSurface:
    case GeomAbs_BezierSurface:
      return host::SurfaceKind::BSpline;
    default:
      return host::SurfaceKind::Other;
  }
}

host::CurveKind kindOf(GeomAbs_CurveType type) {
  switch (type) {
    case GeomAbs_Line:
      return host::CurveKind::Line;
    case GeomAbs_Circle:
      return host::CurveKind::Circle;
    case GeomAbs_Ellipse:
      return host::CurveKind::Ellipse;
    case GeomAbs_BSplineCurve:
    case GeomAbs_BezierCurve:
      return host::CurveKind::BSpline;
    default:
      return host::CurveKind::Other;
  }
}

// The surface of a face, placed where the face is.
class FaceSurface : public host::Surface {
 public:
  explicit FaceSurface(const TopoDS_Face& face)
      : face_(face), adaptor_(face, false), surface_(BRep_Tool::Surface(face)) {}

  host::SurfaceKind kind() const override { return kindOf(adaptor_.GetType()); }

  bool plane(host::Point3& origin, host::Vec3& normal) const override {
    if (adaptor_.GetType() != GeomAbs_Plane) return false;
    gp_Pln pln = adaptor_.Plane();
    origin = toPoint(pln.Location());
    normal = toVec(pln.Axis().Direction());
    return true;
  }

  bool parametersOf(const host::Point3& point, host::Point2& uv) const override {
    gp_Pnt p(point.x, point.y, point.z);
    if (adaptor_.GetType() == GeomAbs_Plane) {
      ElSLib::Parameters(adaptor_.Plane(), p, uv.x, uv.y);
      return true;
    }
    std::string error;
    bool found = false;
    runGuarded(
        [&] {
          GeomAPI_ProjectPointOnSurf projection(p, surface_);
          if (projection.NbPoints() < 1) return;
          projection.LowerDistanceParameters(uv.x, uv.y);
          found = true;
        },
        error);
    return found;
  }

  host::Point3 pointAt(const host::Point2& uv) const override {
    return toPoint(adaptor_.Value(uv.x, uv.y));
  }

  host::ParamBox limits() const override {
    host::ParamBox box;
    if (!surface_.IsNull()) surface_->Bounds(box.uMin, box.uMax, box.vMin, box.vMax);
    return box;
  }

 private:
  TopoDS_Face face_;
  BRepAdaptor_Surface adaptor_;
  Handle(Geom_Surface) surface_;
};

// The 3D curve of an edge, placed where the edge is, within the edge's range.
class EdgeCurve : public host::Curve {
 public:
  explicit EdgeCurve(const TopoDS_Edge& edge) : edge_(edge), adaptor_(edge) {
    TopLoc_Location location;
    curve_ = BRep_Tool::Curve(edge, location, first_, last_);
    if (!curve_.IsNull() && !location.IsIdentity())
      curve_ = Handle(Geom_Curve)::DownCast(curve_->Transformed(location.Transformation()));
  }

  host::CurveKind kind() const override { return kindOf(adaptor_.GetType()); }

  bool circle(host::Point3& centre, host::Vec3& axis, double& radius) const override {
    if (adaptor_.GetType() != GeomAbs_Circle) return false;
    gp_Circ c = adaptor_.Circle();
    centre = toPoint(c.Location());
    axis = toVec(c.Axis().Direction());
    radius = c.Radius();
    return true;
  }

  bool ellipse(host::Point3& centre, host::Vec3& axis, double& major,
               double& minor) const override {
    if (adaptor_.GetType() != GeomAbs_Ellipse) return false;
    gp_Elips e = adaptor_.Ellipse();
    centre = toPoint(e.Location());
    axis = toVec(e.Axis().Direction());
    major = e.MajorRadius();
    minor = e.MinorRadius();
    return true;
  }

  bool project(const host::Point3& point, double& parameter, double& distance) const override {
    if (curve_.IsNull()) return false;
    gp_Pnt p(point.x, point.y, point.z);
    // The ends are candidates too: an interior projection may not exist near them.
    parameter = first_;
    distance = p.Distance(curve_->Value(first_));
    double atLast = p.Distance(curve_->Value(last_));
    if (atLast < distance) {
      parameter = last_;
      distance = atLast;
    }
    std::string error;
    runGuarded(
        [&] {
          GeomAPI_ProjectPointOnCurve projection(p, curve_, first_, last_);
          if (projection.NbPoints() > 0 && projection.LowerDistance() < distance) {
            distance = projection.LowerDistance();
            parameter = projection.LowerDistanceParameter();
          }
        },
        error);
    return true;
  }

  host::Point3 pointAt(double parameter) const override {
    return toPoint(adaptor_.Value(parameter));
  }

 private:
  TopoDS_Edge edge_;
  BRepAdaptor_Curve adaptor_;
  Handle(Geom_Curve) curve_;
  double first_ = 0, last_ = 0;
};

}  // namespace

host::Box3 toBox(const Bnd_Box& box) {
  host::Box3 out;
  if (box.IsVoid()) return out;
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  out.empty = false;
  out.min = {x0, y0, z0};
  out.max = {x1, y1, z1};
  return out;
}

FaceCellObject::FaceCellObject(std::shared_ptr<SolidFeature> owner, TopoDS_Face face,
                               HistoryRecordPtr record)
    : owner_(owner), face_(std::move(face)), record_(std::move(record)) {}

std::vector<std::shared_ptr<host::Face>> FaceCellObject::faces() {
  return guarded({}, [&]() -> std::vector<std::shared_ptr<host::Face>> {
    return {std::shared_ptr<host::Face>(shared_from_this(), static_cast<host::Face*>(this))};
  });
}

std::vector<std::shared_ptr<host::Unknown>> FaceCellObject::edgeCells() {
  return guarded({}, [&] {
    std::vector<std::shared_ptr<host::Unknown>> cells;
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(face_, TopAbs_EDGE, edges);
    auto owner = owner_.lock();
    cells.reserve(edges.Extent());
    for (int i = 1; i <= edges.Extent(); ++i) {
      auto cell = std::make_shared<EdgeCellObject>(owner, TopoDS::Edge(edges(i)), record_);
      cells.push_back(
          std::shared_ptr<host::Unknown>(cell, static_cast<host::EdgeCell*>(cell.get())));
    }
    return cells;
  });
}

std::shared_ptr<host::Surface> FaceCellObject::surface() {
  return guarded(nullptr, [&] { return std::make_shared<FaceSurface>(face_); });
}

host::ParamBox FaceCellObject::parameterBox() const {
  return guarded({}, [&] {
    host::ParamBox box;
    BRepTools::UVBounds(face_, box.uMin, box.uMax, box.vMin, box.vMax);
    return box;
  });
}

bool FaceCellObject::holds(const host::Point2& uv) const {
  return guarded(false, [&] {
    BRepTopAdaptor_FClass2d classifier(face_, Precision::PConfusion());
    return classifier.Perform(gp_Pnt2d(uv.x, uv.y)) == TopAbs_IN;
  });
}

host::Box3 FaceCellObject::box() const {
  return guarded({}, [&] { return toBox(record_->box(face_)); });
}

host::SpecObjectPtr FaceCellObject::featurize() {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto owner = owner_.lock();
    if (!owner) return nullptr;
    return std::make_shared<TopologyReference>(owner, face_);
  });
}

void* FaceCellObject::findInterface(host::InterfaceId id) {
  if (id == host::FaceCell::kInterfaceId) return static_cast<host::FaceCell*>(this);
  if (id == host::Featurize::kInterfaceId) return static_cast<host::Featurize*>(this);
  return nullptr;
}

EdgeCellObject::EdgeCellObject(std::shared_ptr<SolidFeature> owner, TopoDS_Edge edge,
                               HistoryRecordPtr record)
    : owner_(owner), edge_(std::move(edge)), record_(std::move(record)) {}

std::vector<std::shared_ptr<host::Edge>> EdgeCellObject::edges() {
  return guarded({}, [&]() -> std::vector<std::shared_ptr<host::Edge>> {
    return {std::shared_ptr<host::Edge>(shared_from_this(), static_cast<host::Edge*>(this))};
  });
}

std::shared_ptr<host::Curve> EdgeCellObject::curve() {
  return guarded(nullptr, [&]() -> std::shared_ptr<host::Curve> {
    if (BRep_Tool::Degenerated(edge_)) return nullptr;
    return std::make_shared<EdgeCurve>(edge_);
  });
}

bool EdgeCellObject::vertices(host::Point3& start, host::Point3& end) const {
  return guarded(false, [&]() -> bool {
    TopoDS_Vertex first, last;
    TopExp::Vertices(edge_, first, last);
    if (first.IsNull() || last.IsNull()) return false;
    // In the direction of the curve's parameters.
    if (BRep_Tool::Parameter(first, edge_) > BRep_Tool::Parameter(last, edge_))
      std::swap(first, last);
    start = toPoint(BRep_Tool::Pnt(first));
    end = toPoint(BRep_Tool::Pnt(last));
    return true;
  });
}

bool EdgeCellObject::vertexParameters(double& start, double& end) const {
  return guarded(false, [&] {
    BRep_Tool::Range(edge_, start, end);
    return true;
  });
}

host::Box3 EdgeCellObject::box() const {
  return guarded({}, [&] { return toBox(record_->box(edge_)); });
}

host::SpecObjectPtr EdgeCellObject::featurize() {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto owner = owner_.lock();
    if (!owner) return nullptr;
    return std::make_shared<TopologyReference>(owner, edge_);
  });
}

void* EdgeCellObject::findInterface(host::InterfaceId id) {
  if (id == host::EdgeCell::kInterfaceId) return static_cast<host::EdgeCell*>(this);
  if (id == host::Featurize::kInterfaceId) return static_cast<host::Featurize*>(this);
  return nullptr;
}

}  // namespace occt_host
