// Kernel-side measurements of a sketch's elements, for tests; no kernel types leak.
#pragma once

#include <string>
#include <vector>

#include "host/sketch.h"

namespace occt_host {

struct SketchElementInfo {
  std::string kind;  // "Point2D", "Line2D", "Circle2D", "Arc2D", "Ellipse2D", ...
  bool curve = false;
  host::Point2 point;               // a point's position
  host::Point2 start, middle, end;  // a curve at its first, middle and last parameter
  double length = 0;
  bool closed = false;
  // Circles and ellipses (also trimmed): centre, radii, major direction.
  bool conic = false;
  host::Point2 center;
  double majorRadius = 0, minorRadius = 0;
  host::Point2 majorDirection;
  int degree = 0;  // splines
};

// The elements of a sketch in creation order; empty for anything else.
std::vector<SketchElementInfo> inspectSketch(const host::SpecObjectPtr& sketch);
SketchElementInfo inspectElement(const host::Geometry2DPtr& element);
// Distance from `p` to a curve element; negative for anything else.
double distanceToCurve(const host::Geometry2DPtr& element, const host::Point2& p);
// The support a sketch was put on, null for absolute axes.
host::SpecObjectPtr sketchSupport(const host::SpecObjectPtr& sketch);

}  // namespace occt_host
