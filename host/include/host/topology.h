// Topology of the solids that features build, as the plug-in sees it: the boundary faces
// and edges that belong to a feature, their surfaces and curves, and feature-level
// references to them that dress-up features and holes accept.
//
// The chain the core walks: a solid feature answers FeatureGeometry; its boundary cells
// answer FaceCell (a face of the feature on its body's current solid); a face cell gives
// its topological faces and its edge cells; an edge cell answers EdgeCell and gives its
// topological edges. Face and edge cells answer Featurize, which turns them into
// reference objects (FaceReference, EdgeReference) that follow the feature: they resolve
// to the live face or edge of the body's solid whenever the feature that uses them computes.
#pragma once

#include <memory>
#include <vector>

#include "host/spec_object.h"
#include "host/unknown.h"
#include "host/values.h"

namespace host {

// An axis-aligned box; `empty` when nothing is in it.
struct Box3 {
  bool empty = true;
  Point3 min, max;
  // Whether `p` lies inside the box enlarged by `tolerance` on every side.
  bool contains(const Point3& p, double tolerance) const {
    return !empty && p.x >= min.x - tolerance && p.x <= max.x + tolerance &&
           p.y >= min.y - tolerance && p.y <= max.y + tolerance && p.z >= min.z - tolerance &&
           p.z <= max.z + tolerance;
  }
};

// A rectangle of surface parameters.
struct ParamBox {
  double uMin = 0, uMax = 0, vMin = 0, vMax = 0;
  bool contains(const Point2& uv, double tolerance) const {
    return uv.x >= uMin - tolerance && uv.x <= uMax + tolerance && uv.y >= vMin - tolerance &&
           uv.y <= vMax + tolerance;
  }
};

enum class SurfaceKind { Plane, Cylinder, Cone, Sphere, Torus, BSpline, Other };
enum class CurveKind { Line, Circle, Ellipse, BSpline, Other };

// The surface under a face (stands for CATSurface and CATPlane).
class Surface {
 public:
  virtual ~Surface() = default;
  virtual SurfaceKind kind() const = 0;
  // A plane's origin and normal (unit length); false for any other surface.
  virtual bool plane(Point3& origin, Vec3& normal) const = 0;
  // The parameters of the surface point nearest `point`; false when there is none.
  virtual bool parametersOf(const Point3& point, Point2& uv) const = 0;
  // The point at parameters `uv`.
  virtual Point3 pointAt(const Point2& uv) const = 0;
  // The surface's own parameter limits (very large for an unbounded plane).
  virtual ParamBox limits() const = 0;
};

// The curve under an edge (stands for CATCurve, CATLine, CATCircle, CATEllipse).
class Curve {
 public:
  virtual ~Curve() = default;
  virtual CurveKind kind() const = 0;
  // A circle's centre, unit axis (normal of its plane) and radius; false otherwise.
  virtual bool circle(Point3& centre, Vec3& axis, double& radius) const = 0;
  // An ellipse's centre, unit axis and its major and minor radii; false otherwise.
  virtual bool ellipse(Point3& centre, Vec3& axis, double& major, double& minor) const = 0;
  // The nearest point of the curve (within its parameter range) to `point`: its parameter
  // and its distance. False when the projection fails.
  virtual bool project(const Point3& point, double& parameter, double& distance) const = 0;
  virtual Point3 pointAt(double parameter) const = 0;
};

// A topological face of a solid (stands for CATFace).
class Face {
 public:
  virtual ~Face() = default;
  virtual std::shared_ptr<Surface> surface() = 0;
  // The face's bounds in its surface's parameters.
  virtual ParamBox parameterBox() const = 0;
  // Whether the surface's point at `uv` lies on the face itself, within its boundary: the
  // parameter box also covers the face's holes and notches.
  virtual bool holds(const Point2& uv) const = 0;
  // The face's box in space, kept with the solid it belongs to.
  virtual Box3 box() const = 0;
};

// A topological edge of a solid (stands for CATEdge).
class Edge {
 public:
  virtual ~Edge() = default;
  virtual std::shared_ptr<Curve> curve() = 0;
  // The points of the edge's two vertices and their curve parameters, in the curve's
  // direction; false when the edge lacks a vertex.
  virtual bool vertices(Point3& start, Point3& end) const = 0;
  virtual bool vertexParameters(double& start, double& end) const = 0;
  virtual Box3 box() const = 0;
};

// A face of a feature's boundary (stands for CATIRSur on a boundary cell).
class FaceCell : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.FaceCell";
  virtual std::vector<std::shared_ptr<Face>> faces() = 0;
  // The cells of the face's edges (seams included), each once.
  virtual std::vector<std::shared_ptr<Unknown>> edgeCells() = 0;
};

// An edge of a feature's boundary (stands for CATIREdge on an edge cell).
class EdgeCell : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.EdgeCell";
  virtual std::vector<std::shared_ptr<Edge>> edges() = 0;
};

// Turns a face or edge cell into a feature-level reference (stands for CATIFeaturize).
class Featurize : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Featurize";
  // Null when the cell no longer belongs to a live feature.
  virtual SpecObjectPtr featurize() = 0;
};

// The geometry a solid feature contributes (stands for CATIMfGeometryAccess).
class FeatureGeometry : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.FeatureGeometry";
  // The faces this feature made, as they stand on its body's current solid (trimmed or
  // split by later features, without those that later features removed), as cells.
  virtual std::vector<std::shared_ptr<Unknown>> boundaryCells() = 0;
};

// The Part's access to the topology of its solids (stands for the BRep access factory),
// queried from the Part container; without it nothing can be referenced by face or edge.
class BRepFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.BRepFactory";
  // The feature-level reference of a face or edge cell; null when it has none.
  virtual SpecObjectPtr featurize(const std::shared_ptr<Unknown>& cell) = 0;
};

// A feature-level reference to a face (stands for CATIMfRsur) or an edge (CATIMfRedge).
class FaceReference : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.FaceReference";
  // The feature that made the face.
  virtual SpecObjectPtr feature() = 0;
};

class EdgeReference : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.EdgeReference";
  // The feature whose face the edge bounds.
  virtual SpecObjectPtr feature() = 0;
};

}  // namespace host
