// Pattern and mirror features: the factory that makes them, the parameters it takes, and
// the interfaces by which the import recognises them afterwards (a finished import
// recomputes each array feature that answers RectPattern or CircPattern).
#pragma once

#include "host/spec_object.h"

namespace host {

// The most instances one pattern may make, the source included. Every instance is a tool
// of one boolean; far beyond this the kernel would hold the session for hours.
constexpr long long kMaxPatternInstances = 10000;

// A rectangular (linear) pattern of features (stands for CATIRectPattern).
class RectPattern : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.RectPattern";
};

// A circular (polar) pattern of features (stands for CATICircPattern).
class CircPattern : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.CircPattern";
};

// Copies along one direction, or along two (a grid). Positions count from 1: the source
// is instance `position1` along the first direction (and `position2` along the second);
// copies go along +direction from it, and against it for the instances before it.
struct RectPatternParams {
  SpecObjectPtr direction1;  // a line; its orientation is the +direction
  SpecObjectPtr direction2;  // a line; used only with `secondDirection`
  bool secondDirection = false;
  long long count1 = 1, count2 = 1;
  double distance1 = 0, distance2 = 0;  // mm between neighbouring instances
  long long position1 = 1, position2 = 1;
};

// Copies turned about an axis: instance k (from 0, the source) is turned by k x step.
// Without `clockwise` the turn is right-handed about the axis line's orientation.
struct CircPatternParams {
  SpecObjectPtr axis;  // a line
  long long count = 1;
  double stepDegrees = 0;
  bool clockwise = false;
  bool wholeTurn = false;  // the instances share one whole turn (informative)
};

// Creates patterns and mirrors (stands for the pattern and mirror creation of
// CATIPrtFactory), queried from the Part container. Each goes after the current feature.
// The patterned object is a feature (its contribution, the material it added or removed,
// is copied) or a body (its whole solid is copied). Null when an argument is refused:
// no object, a direction or axis that is not a line, counts below 1 or above
// kMaxPatternInstances in all, positions outside the counts, values that are not finite,
// copies more than a kilometre from the source along a direction.
class PatternFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PatternFactory";
  virtual SpecObjectPtr createRectPattern(const SpecObjectPtr& object,
                                          const RectPatternParams& params) = 0;
  virtual SpecObjectPtr createCircPattern(const SpecObjectPtr& object,
                                          const CircPatternParams& params) = 0;
  // A mirror of the current solid about a plane feature (or a reference plane); objects
  // added to it narrow it to their contributions. Null when `plane` has no plane.
  virtual SpecObjectPtr createMirror(const SpecObjectPtr& plane) = 0;
};

// A mirror feature (stands for CATIMirror).
class Mirror : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Mirror";
  // Mirrors `object`'s contribution instead of the whole solid; objects add up in order.
  virtual Status addMirrorObject(const SpecObjectPtr& object) = 0;
};

}  // namespace host
