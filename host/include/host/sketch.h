// Sketches and their 2D geometry.
#pragma once

#include <memory>
#include <vector>

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// A 2D element of a sketch: curve or point (stands for CATI2DCurve / CATI2DPoint).
// Elements also answer SpecObject, so that the update service can update them.
class Geometry2D : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Geometry2D";
};
using Geometry2DPtr = std::shared_ptr<Geometry2D>;

// A 2D curve of a sketch (stands for CATI2DCurve), queried from a curve element.
class Curve2D : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Curve2D";
  // The sketch points at the curve's two ends; they follow the curve when it changes.
  virtual Geometry2DPtr startPoint() = 0;
  virtual Geometry2DPtr endPoint() = 0;
  // 1 when the curve is closed, 0 when it is open.
  virtual int closure() const = 0;
  // Moves an open curve's end to `at`, trimming or extending it; a failure leaves the
  // curve as it was.
  virtual Status setStartPoint(const Point2& at) = 0;
  virtual Status setEndPoint(const Point2& at) = 0;
};

// A sketch (stands for CATISketch). 2D elements are created between open and close.
class Sketch : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Sketch";
  virtual Status openEdition() = 0;
  virtual Status closeEdition() = 0;
  // The sketch's placement: origin, horizontal and vertical directions.
  virtual Plane plane() const = 0;
};

// Creates sketches (stands for CATISketchFactory), queried from the Part container.
class SketchFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.SketchFactory";
  // A sketch through `origin` whose horizontal and vertical axes are `h` and `v`.
  virtual SpecObjectPtr createSketch(const Point3& origin, const Vec3& h, const Vec3& v) = 0;
  // A sketch on a reference plane or plane feature (one that answers PlaneGeometry); its
  // axes are the plane's directions. Null when the support has no plane, or where the
  // host cannot put sketches on planes.
  virtual SpecObjectPtr createSketchOnPlane(const SpecObjectPtr& planeFeature) {
    (void)planeFeature;
    return nullptr;
  }
};

// Creates 2D geometry in an open sketch (stands for CATI2DWFFactory), queried from it.
// Coordinates are the sketch's own, in millimetres; angles are radians, counter-clockwise
// from the horizontal axis. Each call answers null when the element cannot be made; the
// calls without a body answer null on hosts that lack them.
class Factory2D : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Factory2D";
  virtual Geometry2DPtr createPoint(const Point2& at) = 0;
  virtual Geometry2DPtr createCircle(const Point2& center, double radius) = 0;

  virtual Geometry2DPtr createLine(const Point2& from, const Point2& to) {
    (void)from, (void)to;
    return nullptr;
  }
  // Counter-clockwise from `startAngle` to `endAngle` (which may exceed it by up to 2π);
  // a span of 2π is a full turn that starts and ends at `startAngle`.
  virtual Geometry2DPtr createCircleArc(const Point2& center, double radius, double startAngle,
                                        double endAngle) {
    (void)center, (void)radius, (void)startAngle, (void)endAngle;
    return nullptr;
  }
  // A closed ellipse whose major axis lies along `majorDirection`. The larger of the two
  // radii is the major radius whichever comes first, so the major axis always follows the
  // direction given.
  virtual Geometry2DPtr createEllipse(const Point2& center, const Point2& majorDirection,
                                      double firstRadius, double secondRadius) {
    (void)center, (void)majorDirection, (void)firstRadius, (void)secondRadius;
    return nullptr;
  }
  // The arc of that ellipse counter-clockwise between two parameters. The parameter t
  // names the point center + major·cos t·d + minor·sin t·d⊥, with d the major direction
  // and d⊥ that direction turned a quarter counter-clockwise.
  virtual Geometry2DPtr createEllipseArc(const Point2& center, const Point2& majorDirection,
                                         double firstRadius, double secondRadius,
                                         double startParameter, double endParameter) {
    (void)center, (void)majorDirection, (void)firstRadius, (void)secondRadius;
    (void)startParameter, (void)endParameter;
    return nullptr;
  }
  // A cubic spline through the sketch points `points`, in order (of degree n - 1 for fewer
  // than four points); closure 1 makes it periodic. Null when fewer than two points are
  // given, two neighbours coincide, or an element is not a point of this sketch.
  virtual Geometry2DPtr createSpline(const std::vector<Geometry2DPtr>& points, int closure) {
    (void)points, (void)closure;
    return nullptr;
  }
  // The second point-list spline: a degree-5 spline fitted through the points, passing
  // within 1e-4 mm of each; closure 1 joins the last point back to the first.
  virtual Geometry2DPtr createQuinticSpline(const std::vector<Geometry2DPtr>& points, int closure) {
    (void)points, (void)closure;
    return nullptr;
  }
};

}  // namespace host
