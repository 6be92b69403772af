// Hole features: holes drilled at a point of a planar support face along a line.
#pragma once

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// Hole types as the host numbers them.
constexpr int kHoleSimple = 0;
constexpr int kHoleTapered = 1;
constexpr int kHoleCounterbored = 2;
constexpr int kHoleCountersunk = 3;

// Bottom types of a hole's limit.
constexpr int kHoleBottomFlat = 0;
constexpr int kHoleBottomV = 1;

// Creates holes (stands for the hole creation of CATIPrtFactory), queried from the Part
// container. The hole goes after the current feature and cuts the body's solid there.
class HoleFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.HoleFactory";
  // A hole whose axis runs through `point` along the line `direction`, starting where
  // the axis meets the plane of `support`. Null when the support has no plane, the line
  // is not a line, or the axis lies in the support's plane.
  virtual SpecObjectPtr createHole(const Point3& point, const SpecObjectPtr& support,
                                   const SpecObjectPtr& direction) = 0;
};

// What every hole has (stands for CATINewHole); each kind's interface extends it.
// Lengths are millimetres, angles degrees.
class Hole : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Hole";
  // The setters refuse values that are not finite with kInvalidArg; a value that
  // describes no hole makes the update fail with a text that says why.
  virtual Status setType(int type) = 0;
  virtual int type() const = 0;
  virtual Status setDiameter(double diameter) = 0;
  virtual double diameter() const = 0;
  // Where the axis meets the support's plane.
  virtual Point3 origin() const = 0;
  // The unit direction in which the hole goes into the support.
  virtual Vec3 direction() const = 0;
  // Turns the hole round to the other side of its support.
  virtual Status reverse() = 0;
};

// The four kinds, each answered by every hole, as the original's holes answer them.
class SimpleHole : public Hole {
 public:
  static constexpr InterfaceId kInterfaceId = "host.SimpleHole";
};

class TaperedHole : public Hole {
 public:
  static constexpr InterfaceId kInterfaceId = "host.TaperedHole";
  virtual Status setTaperAngle(double degrees) = 0;
  virtual double taperAngle() const = 0;
};

class CounterBoredHole : public Hole {
 public:
  static constexpr InterfaceId kInterfaceId = "host.CounterBoredHole";
  virtual Status setCounterboreDiameter(double diameter) = 0;
  virtual double counterboreDiameter() const = 0;
  virtual Status setCounterboreDepth(double depth) = 0;
  virtual double counterboreDepth() const = 0;
};

class CounterSunkHole : public Hole {
 public:
  static constexpr InterfaceId kInterfaceId = "host.CounterSunkHole";
  virtual Status setCountersinkDiameter(double diameter) = 0;
  virtual double countersinkDiameter() const = 0;
  virtual Status setCountersinkAngle(double degrees) = 0;
  virtual double countersinkAngle() const = 0;
};

// The bottom of a hole (stands for CATIHoleLimit), queried from the hole.
class HoleLimit : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.HoleLimit";
  virtual Status setDepth(double depth) = 0;
  virtual double depth() const = 0;
  virtual Status setBottomType(int type) = 0;
  virtual int bottomType() const = 0;
  // The full included angle of a V bottom.
  virtual Status setBottomAngle(double degrees) = 0;
  virtual double bottomAngle() const = 0;
};

}  // namespace host
