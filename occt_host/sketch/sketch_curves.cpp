#include "sketch/sketch_curves.h"

#include <GCE2d_MakeSegment.hxx>
#include <Geom2dAPI_Interpolate.hxx>
#include <Geom2dAPI_PointsToBSpline.hxx>
#include <Geom2dAPI_ProjectPointOnCurve.hxx>
#include <Geom2d_BSplineCurve.hxx>
#include <Geom2d_Circle.hxx>
#include <Geom2d_Ellipse.hxx>
#include <Geom2d_Line.hxx>
#include <Geom2d_TrimmedCurve.hxx>
#include <GeomLib.hxx>
#include <Geom_BSplineCurve.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array1OfPnt2d.hxx>
#include <TColgp_HArray1OfPnt2d.hxx>
#include <gp_Ax22d.hxx>
#include <gp_Circ2d.hxx>
#include <gp_Elips2d.hxx>

#include <algorithm>
#include <cmath>

namespace occt_host {

namespace {

constexpr double kTwoPi = 2 * M_PI;
// Points closer than this are one point; spans shorter than this are no curve.
constexpr double kCoincident = 1e-7;
// An end point given on a spline within this distance trims it instead of extending it.
constexpr double kOnCurve = 1e-6;
// How far the degree-5 spline may pass from its points.
constexpr double kApproximation = 1e-4;
// Radii below this are below what the kernel can tell apart from a point.
constexpr double kMinRadius = 1e-6;

bool finite(const gp_Pnt2d& p) {
  return std::isfinite(p.X()) && std::isfinite(p.Y());
}
bool finite(double a) {
  return std::isfinite(a);
}

bool allFinite(const std::vector<gp_Pnt2d>& points) {
  return std::all_of(points.begin(), points.end(), [](const gp_Pnt2d& p) { return finite(p); });
}

// The frame of an ellipse: x along the major axis, y a quarter turn counter-clockwise.
bool ellipseFrame(const gp_Pnt2d& center, const gp_Vec2d& major, double r1, double r2,
                  gp_Elips2d& out) {
  if (!finite(center) || !finite(major.X()) || !finite(major.Y())) return false;
  if (!(major.Magnitude() > kCoincident) || !finite(major.Magnitude())) return false;
  if (!(r1 >= kMinRadius) || !(r2 >= kMinRadius) || !finite(r1) || !finite(r2)) return false;
  gp_Dir2d x(major);
  gp_Ax22d frame(center, x, gp_Dir2d(-x.Y(), x.X()));
  out = gp_Elips2d(frame, std::max(r1, r2), std::min(r1, r2));
  return true;
}

Handle(TColgp_HArray1OfPnt2d) toArray(const std::vector<gp_Pnt2d>& points) {
  Handle(TColgp_HArray1OfPnt2d) array =
      new TColgp_HArray1OfPnt2d(1, static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i)
    array->SetValue(static_cast<int>(i) + 1, points[i]);
  return array;
}

bool neighboursDistinct(const std::vector<gp_Pnt2d>& points) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (points[i].Distance(points[i - 1]) <= kCoincident) return false;
  }
  return true;
}

Handle(Geom_BSplineCurve) lift(const Handle(Geom2d_BSplineCurve) & curve) {
  TColgp_Array1OfPnt poles(1, curve->NbPoles());
  for (int i = 1; i <= curve->NbPoles(); ++i) {
    poles.SetValue(i, gp_Pnt(curve->Pole(i).X(), curve->Pole(i).Y(), 0));
  }
  TColStd_Array1OfReal weights(1, curve->NbPoles());
  curve->Weights(weights);
  TColStd_Array1OfReal knots(1, curve->NbKnots());
  curve->Knots(knots);
  TColStd_Array1OfInteger mults(1, curve->NbKnots());
  curve->Multiplicities(mults);
  return new Geom_BSplineCurve(poles, weights, knots, mults, curve->Degree());
}

Handle(Geom2d_BSplineCurve) flatten(const Handle(Geom_BSplineCurve) & curve) {
  TColgp_Array1OfPnt2d poles(1, curve->NbPoles());
  for (int i = 1; i <= curve->NbPoles(); ++i) {
    poles.SetValue(i, gp_Pnt2d(curve->Pole(i).X(), curve->Pole(i).Y()));
  }
  TColStd_Array1OfReal weights(1, curve->NbPoles());
  curve->Weights(weights);
  TColStd_Array1OfReal knots(1, curve->NbKnots());
  curve->Knots(knots);
  TColStd_Array1OfInteger mults(1, curve->NbKnots());
  curve->Multiplicities(mults);
  return new Geom2d_BSplineCurve(poles, weights, knots, mults, curve->Degree());
}

Handle(Geom2d_Curve)
    extendSpline(const Handle(Geom2d_BSplineCurve) & spline, const gp_Pnt2d& to, bool start) {
  Handle(Geom_BoundedCurve) bounded = lift(spline);
  GeomLib::ExtendCurveToPoint(bounded, gp_Pnt(to.X(), to.Y(), 0), 1, !start);
  Handle(Geom_BSplineCurve) extended = Handle(Geom_BSplineCurve)::DownCast(bounded);
  if (extended.IsNull()) return nullptr;
  Handle(Geom2d_BSplineCurve) flat = flatten(extended);
  gp_Pnt2d reached = start ? flat->StartPoint() : flat->EndPoint();
  if (reached.Distance(to) > kOnCurve) return nullptr;
  return flat;
}

Handle(Geom2d_Curve)
    moveSplineEnd(const Handle(Geom2d_BSplineCurve) & spline, const gp_Pnt2d& to, bool start) {
  if (spline->IsPeriodic() || spline->IsClosed()) return nullptr;
  Geom2dAPI_ProjectPointOnCurve projection(to, spline);
  if (projection.NbPoints() == 0 || projection.LowerDistance() > kOnCurve) {
    return extendSpline(spline, to, start);
  }
  double u = projection.LowerDistanceParameter();
  double first = spline->FirstParameter(), last = spline->LastParameter();
  double keptFrom = start ? u : first, keptTo = start ? last : u;
  if (keptTo - keptFrom <= kCoincident) return nullptr;
  Handle(Geom2d_BSplineCurve) trimmed = Handle(Geom2d_BSplineCurve)::DownCast(spline->Copy());
  trimmed->Segment(keptFrom, keptTo);
  return trimmed;
}

}  // namespace

Handle(Geom2d_Curve) makeLine2d(const gp_Pnt2d& from, const gp_Pnt2d& to) {
  double length = from.Distance(to);
  if (!finite(from) || !finite(to) || !(length > kCoincident) || !finite(length)) return nullptr;
  GCE2d_MakeSegment segment(from, to);
  if (!segment.IsDone()) return nullptr;
  return Handle(Geom2d_Curve)(segment.Value());
}

Handle(Geom2d_Curve) makeCircle2d(const gp_Pnt2d& center, double radius) {
  if (!finite(center) || !(radius >= kMinRadius) || !finite(radius)) return nullptr;
  return new Geom2d_Circle(gp_Circ2d(gp_Ax2d(center, gp_Dir2d(1, 0)), radius));
}

Handle(Geom2d_Curve)
    makeCircleArc2d(const gp_Pnt2d& center, double radius, double start, double end) {
  if (!finite(center) || !(radius >= kMinRadius) || !finite(radius)) return nullptr;
  if (!finite(start) || !finite(end)) return nullptr;
  double span = end - start;
  if (!(span * radius > kCoincident) || !finite(span)) return nullptr;
  // The circle's own x axis points at the start, so a full turn begins there too.
  gp_Ax2d axis(center, gp_Dir2d(std::cos(start), std::sin(start)));
  Handle(Geom2d_Circle) circle = new Geom2d_Circle(gp_Circ2d(axis, radius));
  if (span >= kTwoPi - 1e-12) return circle;
  return new Geom2d_TrimmedCurve(circle, 0, span);
}

Handle(Geom2d_Curve)
    makeEllipse2d(const gp_Pnt2d& center, const gp_Vec2d& major, double r1, double r2) {
  gp_Elips2d ellipse;
  if (!ellipseFrame(center, major, r1, r2, ellipse)) return nullptr;
  return new Geom2d_Ellipse(ellipse);
}

Handle(Geom2d_Curve) makeEllipseArc2d(const gp_Pnt2d& center, const gp_Vec2d& major, double r1,
                                      double r2, double start, double end) {
  gp_Elips2d ellipse;
  if (!ellipseFrame(center, major, r1, r2, ellipse)) return nullptr;
  if (!finite(start) || !finite(end) || !(end - start > 1e-12) || !finite(end - start))
    return nullptr;
  Handle(Geom2d_Ellipse) basis = new Geom2d_Ellipse(ellipse);
  return new Geom2d_TrimmedCurve(basis, start, std::min(end, start + kTwoPi));
}

Handle(Geom2d_Curve) makeSpline2d(const std::vector<gp_Pnt2d>& input, bool closed) {
  std::vector<gp_Pnt2d> points = input;
  // A periodic interpolation closes itself; a repeated first point would be a double point.
  if (closed && points.size() > 2 && points.front().Distance(points.back()) <= kCoincident)
    points.pop_back();
  if (points.size() < 2 || !allFinite(points) || !neighboursDistinct(points)) return nullptr;
  if (closed && points.size() < 3) return nullptr;
  Geom2dAPI_Interpolate interpolation(toArray(points), closed, kCoincident);
  interpolation.Perform();
  if (!interpolation.IsDone()) return nullptr;
  return Handle(Geom2d_Curve)(interpolation.Curve());
}

Handle(Geom2d_Curve) makeQuinticSpline2d(const std::vector<gp_Pnt2d>& input, bool closed) {
  std::vector<gp_Pnt2d> points = input;
  if (closed && points.size() > 2 && points.front().Distance(points.back()) > kCoincident)
    points.push_back(points.front());
  if (points.size() < 2 || !allFinite(points) || !neighboursDistinct(points)) return nullptr;
  constexpr int kQuintic = 5;
  const int degree = std::min(kQuintic, static_cast<int>(points.size()) - 1);
  GeomAbs_Shape continuity = degree >= 3 ? GeomAbs_C2 : (degree == 2 ? GeomAbs_C1 : GeomAbs_C0);
  TColgp_Array1OfPnt2d array(1, static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i)
    array.SetValue(static_cast<int>(i) + 1, points[i]);
  Geom2dAPI_PointsToBSpline approximation(array, degree, kQuintic, continuity, kApproximation);
  if (!approximation.IsDone()) return nullptr;
  // The approximation settles for a lower degree when that fits; raising it keeps the shape.
  Handle(Geom2d_BSplineCurve) curve = approximation.Curve();
  if (curve->Degree() < kQuintic) curve->IncreaseDegree(kQuintic);
  return Handle(Geom2d_Curve)(curve);
}

Handle(Geom2d_Curve)
    withMovedEnd(const Handle(Geom2d_Curve) & curve, const gp_Pnt2d& to, bool start) {
  if (curve.IsNull() || !finite(to)) return nullptr;
  Handle(Geom2d_BSplineCurve) spline = Handle(Geom2d_BSplineCurve)::DownCast(curve);
  if (!spline.IsNull()) return moveSplineEnd(spline, to, start);
  Handle(Geom2d_TrimmedCurve) trimmed = Handle(Geom2d_TrimmedCurve)::DownCast(curve);
  if (!trimmed.IsNull() && trimmed->BasisCurve()->IsKind(STANDARD_TYPE(Geom2d_Line))) {
    return start ? makeLine2d(to, curve->Value(curve->LastParameter()))
                 : makeLine2d(curve->Value(curve->FirstParameter()), to);
  }
  return nullptr;
}

}  // namespace occt_host
