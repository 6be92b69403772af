// Sketches and their 2D geometry.
#pragma once

#include <memory>

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// A 2D element of a sketch: curve or point (stands for CATI2DCurve / CATI2DPoint).
class Geometry2D : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Geometry2D";
};
using Geometry2DPtr = std::shared_ptr<Geometry2D>;

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
};

// Creates 2D geometry in an open sketch (stands for CATI2DWFFactory), queried from it.
// Coordinates are the sketch's own, in millimetres.
class Factory2D : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Factory2D";
  virtual Geometry2DPtr createPoint(const Point2& at) = 0;
  virtual Geometry2DPtr createCircle(const Point2& center, double radius) = 0;
};

}  // namespace host
