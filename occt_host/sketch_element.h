// A 2D element of a sketch, kept as a kernel curve (or point) in sketch coordinates.
#pragma once

#include <Geom2d_Curve.hxx>
#include <TopoDS_Edge.hxx>
#include <gp_Pln.hxx>
#include <gp_Pnt2d.hxx>

#include <memory>

#include "host/sketch.h"
#include "occt_host/object.h"

namespace occt_host {

class SketchElement : public Object, public host::Geometry2D {
 public:
  // A point element.
  explicit SketchElement(const gp_Pnt2d& point);
  // A curve element: circles now; lines, arcs, ellipses and splines use the same path.
  explicit SketchElement(const opencascade::handle<Geom2d_Curve>& curve);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  bool isCurve() const { return !curve_.IsNull(); }
  const opencascade::handle<Geom2d_Curve>& curve2d() const { return curve_; }
  const gp_Pnt2d& point() const { return point_; }
  // The curve placed on `plane` as a 3D edge; only for curve elements.
  TopoDS_Edge edgeOn(const gp_Pln& plane) const;

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::Geometry2D*>(this); }

 private:
  Handle(Geom2d_Curve) curve_;
  gp_Pnt2d point_;
};

}  // namespace occt_host
