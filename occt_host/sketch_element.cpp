#include "occt_host/sketch_element.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <GeomAPI.hxx>
#include <Geom_Curve.hxx>

namespace occt_host {

SketchElement::SketchElement(const gp_Pnt2d& point) : point_(point) {}

SketchElement::SketchElement(const opencascade::handle<Geom2d_Curve>& curve) : curve_(curve) {}

TopoDS_Edge SketchElement::edgeOn(const gp_Pln& plane) const {
  Handle(Geom_Curve) curve = GeomAPI::To3d(curve_, plane);
  return BRepBuilderAPI_MakeEdge(curve, curve_->FirstParameter(), curve_->LastParameter());
}

void* SketchElement::findInterface(host::InterfaceId id) {
  if (id == host::Geometry2D::kInterfaceId) return static_cast<host::Geometry2D*>(this);
  return nullptr;
}

}  // namespace occt_host
