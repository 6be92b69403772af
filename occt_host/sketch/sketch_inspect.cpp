#include "occt_host/sketch/sketch_inspect.h"

#include <GCPnts_AbscissaPoint.hxx>
#include <Geom2dAPI_ProjectPointOnCurve.hxx>
#include <Geom2dAdaptor_Curve.hxx>
#include <Geom2d_BSplineCurve.hxx>
#include <Geom2d_Circle.hxx>
#include <Geom2d_Ellipse.hxx>
#include <Geom2d_TrimmedCurve.hxx>

#include "sketch/sketch.h"
#include "sketch/sketch_element.h"

namespace occt_host {

namespace {

host::Point2 toPoint(const gp_Pnt2d& p) {
  return {p.X(), p.Y()};
}

Handle(Geom2d_Curve) basisOf(const Handle(Geom2d_Curve) & curve) {
  Handle(Geom2d_TrimmedCurve) trimmed = Handle(Geom2d_TrimmedCurve)::DownCast(curve);
  return trimmed.IsNull() ? curve : trimmed->BasisCurve();
}

void describeConic(const Handle(Geom2d_Curve) & curve, SketchElementInfo& info) {
  Handle(Geom2d_Curve) basis = basisOf(curve);
  if (auto circle = Handle(Geom2d_Circle)::DownCast(basis)) {
    info.conic = true;
    info.center = toPoint(circle->Location());
    info.majorRadius = info.minorRadius = circle->Radius();
    gp_Dir2d x = circle->Position().XDirection();
    info.majorDirection = {x.X(), x.Y()};
  } else if (auto ellipse = Handle(Geom2d_Ellipse)::DownCast(basis)) {
    info.conic = true;
    info.center = toPoint(ellipse->Location());
    info.majorRadius = ellipse->MajorRadius();
    info.minorRadius = ellipse->MinorRadius();
    gp_Dir2d x = ellipse->Position().XDirection();
    info.majorDirection = {x.X(), x.Y()};
  }
}

}  // namespace

SketchElementInfo inspectElement(const host::Geometry2DPtr& element) {
  SketchElementInfo info;
  auto e = std::dynamic_pointer_cast<SketchElement>(element);
  if (!e) return info;
  info.kind = e->typeName();
  info.curve = e->isCurve();
  if (!info.curve) {
    info.point = toPoint(e->point());
    return info;
  }
  const Handle(Geom2d_Curve)& c = e->curve2d();
  double first = c->FirstParameter(), last = c->LastParameter();
  info.start = toPoint(c->Value(first));
  info.middle = toPoint(c->Value(0.5 * (first + last)));
  info.end = toPoint(c->Value(last));
  info.length = GCPnts_AbscissaPoint::Length(Geom2dAdaptor_Curve(c));
  info.closed = e->closure() == 1;
  describeConic(c, info);
  if (auto spline = Handle(Geom2d_BSplineCurve)::DownCast(c)) info.degree = spline->Degree();
  return info;
}

std::vector<SketchElementInfo> inspectSketch(const host::SpecObjectPtr& sketch) {
  std::vector<SketchElementInfo> out;
  auto s = std::dynamic_pointer_cast<Sketch>(sketch);
  if (!s) return out;
  for (const auto& element : s->elements()) out.push_back(inspectElement(element));
  return out;
}

double distanceToCurve(const host::Geometry2DPtr& element, const host::Point2& p) {
  auto e = std::dynamic_pointer_cast<SketchElement>(element);
  if (!e || !e->isCurve()) return -1;
  Geom2dAPI_ProjectPointOnCurve projection(gp_Pnt2d(p.x, p.y), e->curve2d());
  double best =
      std::min(gp_Pnt2d(p.x, p.y).Distance(e->curve2d()->Value(e->curve2d()->FirstParameter())),
               gp_Pnt2d(p.x, p.y).Distance(e->curve2d()->Value(e->curve2d()->LastParameter())));
  if (projection.NbPoints() > 0) best = std::min(best, projection.LowerDistance());
  return best;
}

host::SpecObjectPtr sketchSupport(const host::SpecObjectPtr& sketch) {
  auto s = std::dynamic_pointer_cast<Sketch>(sketch);
  return s ? s->support() : nullptr;
}

}  // namespace occt_host
