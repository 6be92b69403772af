// A 2D element of a sketch, kept as a kernel curve (or point) in sketch coordinates.
#pragma once

#include <Geom2d_Curve.hxx>
#include <TopoDS_Edge.hxx>
#include <gp_Pln.hxx>
#include <gp_Pnt2d.hxx>

#include <functional>
#include <memory>
#include <string>

#include "host/sketch.h"
#include "occt_host/model/object.h"

namespace occt_host {

class SketchElement : public Object,
                      public host::Geometry2D,
                      public host::SpecObject,
                      public host::Curve2D {
 public:
  // A point element; `kind` is its host type name ("Point2D").
  explicit SketchElement(const gp_Pnt2d& point, std::string kind = "Point2D");
  // A curve element: "Line2D", "Circle2D", "Arc2D", "Ellipse2D", "EllipseArc2D", "Spline2D".
  explicit SketchElement(const opencascade::handle<Geom2d_Curve>& curve,
                         std::string kind = "Curve2D");

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::SpecObject: an element's father is its sketch (or, for an end point, its curve).
  std::string typeName() const override { return kind_; }
  std::string name() const override { return kind_; }
  host::SpecObjectPtr father() override;
  host::UpdateResult update() override;

  // host::Curve2D, answered by curve elements only.
  host::Geometry2DPtr startPoint() override { return endElement(true); }
  host::Geometry2DPtr endPoint() override { return endElement(false); }
  int closure() const override;
  host::Status setStartPoint(const host::Point2& at) override { return moveEnd(at, true); }
  host::Status setEndPoint(const host::Point2& at) override { return moveEnd(at, false); }

  bool isCurve() const { return !curve_.IsNull(); }
  const opencascade::handle<Geom2d_Curve>& curve2d() const { return curve_; }
  // A point's position; an end point follows its curve.
  gp_Pnt2d point() const;
  // The curve placed on `plane` as a 3D edge; only for curve elements.
  TopoDS_Edge edgeOn(const gp_Pln& plane) const;

  // The sketch that holds this element, and what it calls when a curve changes shape.
  void attach(host::SpecObjectPtr sketch, std::function<void()> changed);

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::Geometry2D*>(this); }

 private:
  host::Geometry2DPtr endElement(bool start);
  host::Status moveEnd(const host::Point2& at, bool start);

  std::string kind_;
  Handle(Geom2d_Curve) curve_;
  gp_Pnt2d point_;
  std::weak_ptr<host::SpecObject> father_;
  std::function<void()> changed_;
  // An end point element: the curve it sits on, and which end.
  std::weak_ptr<SketchElement> onCurve_;
  bool atStart_ = true;
  std::shared_ptr<SketchElement> start_, end_;
};

}  // namespace occt_host
