#include "sketch/sketch_element.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <GeomAPI.hxx>
#include <Geom_Curve.hxx>

#include <cmath>
#include <utility>

#include "kernel/kernel_guard.h"
#include "sketch/sketch_curves.h"

namespace occt_host {

SketchElement::SketchElement(const gp_Pnt2d& point, std::string kind)
    : kind_(std::move(kind)), point_(point) {}

SketchElement::SketchElement(const opencascade::handle<Geom2d_Curve>& curve, std::string kind)
    : kind_(std::move(kind)), curve_(curve) {}

host::SpecObjectPtr SketchElement::father() {
  if (auto curve = onCurve_.lock()) return std::shared_ptr<host::SpecObject>(curve, curve.get());
  return father_.lock();
}

host::UpdateResult SketchElement::update() {
  host::UpdateResult result;
  std::string error;
  bool ran = runGuarded(
      [&] {
        gp_Pnt2d p = isCurve() ? curve_->Value(curve_->FirstParameter()) : point();
        if (!std::isfinite(p.X()) || !std::isfinite(p.Y()))
          throw Standard_Failure("the element has no finite position");
      },
      error);
  if (!ran) {
    result.status = host::kFail;
    result.diagnostic = error;
  }
  return result;
}

int SketchElement::closure() const {
  return guarded(0, [&] { return isCurve() && curve_->IsClosed() ? 1 : 0; });
}

gp_Pnt2d SketchElement::point() const {
  auto curve = onCurve_.lock();
  if (!curve) return point_;
  const Handle(Geom2d_Curve)& c = curve->curve2d();
  return c->Value(atStart_ ? c->FirstParameter() : c->LastParameter());
}

TopoDS_Edge SketchElement::edgeOn(const gp_Pln& plane) const {
  Handle(Geom_Curve) curve = GeomAPI::To3d(curve_, plane);
  return BRepBuilderAPI_MakeEdge(curve, curve_->FirstParameter(), curve_->LastParameter());
}

void SketchElement::attach(host::SpecObjectPtr sketch, std::function<void()> changed) {
  father_ = sketch;
  changed_ = std::move(changed);
}

host::Geometry2DPtr SketchElement::endElement(bool start) {
  if (!isCurve()) return nullptr;
  std::shared_ptr<SketchElement>& end = start ? start_ : end_;
  return guarded(nullptr, [&] {
    if (!end) {
      end = std::make_shared<SketchElement>(gp_Pnt2d(), "Point2D");
      end->onCurve_ = std::static_pointer_cast<SketchElement>(shared_from_this());
      end->atStart_ = start;
    }
    return end;
  });
}

host::Status SketchElement::moveEnd(const host::Point2& at, bool start) {
  if (!isCurve()) return host::kNotImplemented;
  Handle(Geom2d_Curve) moved;
  std::string error;
  if (!runGuarded([&] { moved = withMovedEnd(curve_, gp_Pnt2d(at.x, at.y), start); }, error) ||
      moved.IsNull()) {
    return host::kFail;
  }
  curve_ = moved;
  if (changed_) changed_();
  return host::kOk;
}

void* SketchElement::findInterface(host::InterfaceId id) {
  if (id == host::Geometry2D::kInterfaceId) return static_cast<host::Geometry2D*>(this);
  if (id == host::SpecObject::kInterfaceId) return static_cast<host::SpecObject*>(this);
  if (id == host::Curve2D::kInterfaceId && isCurve()) return static_cast<host::Curve2D*>(this);
  return nullptr;
}

}  // namespace occt_host
