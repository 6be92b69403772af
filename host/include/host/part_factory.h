// Part design features: the factory and the prism (pad/pocket) parameters.
#pragma once

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// Limit types of a prism as the host numbers them.
constexpr int kLimitLength = 0;

enum class LimitEnd { First = 1, Second = 2 };

// Creates part design features (stands for CATIPrtFactory), queried from the Part container.
class PartFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PartFactory";
  // A pad of the sketch's profile, placed after the current feature.
  virtual SpecObjectPtr createPad(const SpecObjectPtr& sketch) = 0;
  // A pocket (the profile's prism cut from the solid before it), placed likewise.
  virtual SpecObjectPtr createPocket(const SpecObjectPtr& sketch) = 0;
};

// Parameters common to pads and pockets (stands for CATIPrism). The first limit is
// measured along the direction, the second against it.
class Prism : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Prism";
  virtual Status setDirection(const Vec3& direction) = 0;
  virtual Vec3 direction() const = 0;
  virtual Status setLimitType(LimitEnd end, int type) = 0;
  virtual int limitType(LimitEnd end) const = 0;
  virtual Status setLimitLength(LimitEnd end, double length) = 0;
  virtual double limitLength(LimitEnd end) const = 0;
};

// Boolean features that combine one body's solid into another (stands for
// CATIPrtBooleanFactory), queried from the Part container. `operated` is the object
// operated on, in the target body; `tool` the feature or body combined into it, which
// may be given later through BooleanOperation.
class BooleanFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.BooleanFactory";
  virtual SpecObjectPtr createAdd(const SpecObjectPtr& operated, const SpecObjectPtr& tool) = 0;
  virtual SpecObjectPtr createRemove(const SpecObjectPtr& operated, const SpecObjectPtr& tool) = 0;
  virtual SpecObjectPtr createIntersect(const SpecObjectPtr& operated,
                                        const SpecObjectPtr& tool) = 0;
};

// A boolean feature (stands for CATIPrtBooleanOperation).
class BooleanOperation : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.BooleanOperation";
  // Names the feature whose body is combined into the target.
  virtual Status modifyOperatedObject(const SpecObjectPtr& object) = 0;
};

// A pad (stands for CATIPad); it has every prism parameter.
class Pad : public Prism {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Pad";
};

// A pocket (stands for CATIPocket); it has every prism parameter.
class Pocket : public Prism {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Pocket";
};

}  // namespace host
