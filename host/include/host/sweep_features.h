// Features that sweep a profile: shafts (revolved), lofts (through sections) and ribs
// (along a path), and the points on a plane that close loft sections.
#pragma once

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// Creates shafts, lofts and ribs (stands for the part factory's CreateShaft, CreateLoft
// and CreateRib), queried from the Part container. Each new feature goes after the
// current feature, as pads do.
class SweepFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.SweepFactory";
  // A shaft of the sketch's profile; its axis is set later through Shaft.
  virtual SpecObjectPtr createShaft(const SpecObjectPtr& sketch) = 0;
  // A loft without sections; they are added through Loft.
  virtual SpecObjectPtr createLoft() = 0;
  // A rib of the profile sketch swept along the path sketch.
  virtual SpecObjectPtr createRib(const SpecObjectPtr& profile, const SpecObjectPtr& path) = 0;
};

// A shaft's parameters (stands for CATIShaft). Angles are degrees, counter-clockwise
// about the axis direction; the profile turns from the start angle to the end angle.
class Shaft : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Shaft";
  virtual Status setStartAngle(double degrees) = 0;
  virtual double startAngle() const = 0;
  virtual Status setEndAngle(double degrees) = 0;
  virtual double endAngle() const = 0;
  // A line feature of the wireframe.
  virtual Status setAxis(const SpecObjectPtr& line) = 0;
  virtual SpecObjectPtr axis() const = 0;
};

// A loft's sections (stands for CATIGSMLoft). Positions count from 1 in the order the
// sections were added.
class Loft : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Loft";
  // Orientation 1 keeps the section's sense, -1 reverses it; the closing point may be null.
  virtual Status addSection(const SpecObjectPtr& sketch, int orientation,
                            const SpecObjectPtr& closingPoint) = 0;
  virtual Status setSectionPoint(int position, const SpecObjectPtr& point) = 0;
  virtual int sectionCount() const = 0;
};

// A point given by two length parameters in a plane's own coordinates (stands for the
// wireframe factory's point on a plane), queried from the Part container.
class PlanePointFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PlanePointFactory";
  // `plane` is a plane feature, a reference plane or a sketch; `x` and `y` are length
  // parameters. Null when either is missing.
  virtual SpecObjectPtr createPointOnPlane(const SpecObjectPtr& plane, const SpecObjectPtr& x,
                                           const SpecObjectPtr& y) = 0;
};

}  // namespace host
