// The kernel curves of a sketch's 2D elements, in sketch coordinates. Each maker answers a
// null handle when its input does not describe a curve (degenerate, not finite).
#pragma once

#include <Geom2d_Curve.hxx>
#include <gp_Pnt2d.hxx>
#include <gp_Vec2d.hxx>

#include <vector>

namespace occt_host {

Handle(Geom2d_Curve) makeLine2d(const gp_Pnt2d& from, const gp_Pnt2d& to);
Handle(Geom2d_Curve) makeCircle2d(const gp_Pnt2d& center, double radius);
// Counter-clockwise from `start` to `end`; a span of 2π or more is the whole circle
// starting at `start`.
Handle(Geom2d_Curve)
    makeCircleArc2d(const gp_Pnt2d& center, double radius, double start, double end);
// The larger radius lies along `major`.
Handle(Geom2d_Curve)
    makeEllipse2d(const gp_Pnt2d& center, const gp_Vec2d& major, double r1, double r2);
Handle(Geom2d_Curve) makeEllipseArc2d(const gp_Pnt2d& center, const gp_Vec2d& major, double r1,
                                      double r2, double start, double end);
// Cubic interpolation (degree n - 1 below four points); `closed` makes it periodic.
Handle(Geom2d_Curve) makeSpline2d(const std::vector<gp_Pnt2d>& points, bool closed);
// A degree-5 B-spline fitted through the points, within 1e-4 mm of each.
Handle(Geom2d_Curve) makeQuinticSpline2d(const std::vector<gp_Pnt2d>& points, bool closed);

// The curve with its start (or end) moved to `to`: a line is redrawn, a spline is trimmed
// when `to` lies on it and extended to `to` otherwise. Null when that is not possible.
Handle(Geom2d_Curve)
    withMovedEnd(const Handle(Geom2d_Curve) & curve, const gp_Pnt2d& to, bool start);

}  // namespace occt_host
