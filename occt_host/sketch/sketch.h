// A sketch (stands for CATISketch with its CATI2DWFFactory): 2D elements on a plane.
#pragma once

#include <Geom2d_Curve.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/sketch.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class SketchElement;

// The 2D factory is always answered; it creates elements only while the sketch is open
// for edition, as the original's does.
class Sketch : public TreeNode, public host::Sketch, public host::Factory2D {
 public:
  Sketch(std::string name, const gp_Ax3& placement);

  // Null when `h` and `v` do not span a plane.
  static std::shared_ptr<Sketch> create(std::string name, const host::Point3& origin,
                                        const host::Vec3& h, const host::Vec3& v);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Sketch
  host::Status openEdition() override;
  host::Status closeEdition() override;
  host::Plane plane() const override;

  // host::Factory2D
  host::Geometry2DPtr createPoint(const host::Point2& at) override;
  host::Geometry2DPtr createCircle(const host::Point2& center, double radius) override;
  host::Geometry2DPtr createLine(const host::Point2& from, const host::Point2& to) override;
  host::Geometry2DPtr createCircleArc(const host::Point2& center, double radius, double startAngle,
                                      double endAngle) override;
  host::Geometry2DPtr createEllipse(const host::Point2& center, const host::Point2& majorDirection,
                                    double firstRadius, double secondRadius) override;
  host::Geometry2DPtr createEllipseArc(const host::Point2& center,
                                       const host::Point2& majorDirection, double firstRadius,
                                       double secondRadius, double startParameter,
                                       double endParameter) override;
  host::Geometry2DPtr createSpline(const std::vector<host::Geometry2DPtr>& points,
                                   int closure) override;
  host::Geometry2DPtr createQuinticSpline(const std::vector<host::Geometry2DPtr>& points,
                                          int closure) override;

  bool isOpen() const { return open_; }
  // The plane feature or reference plane the sketch was put on; null for absolute axes.
  const host::SpecObjectPtr& support() const { return support_; }
  void setSupport(host::SpecObjectPtr support) { support_ = std::move(support); }
  const std::vector<std::shared_ptr<SketchElement>>& elements() const { return elements_; }
  // A curve of the sketch changed shape after its creation.
  void elementChanged() { touch(); }
  gp_Pln kernelPlane() const { return gp_Pln(placement_); }
  // The faces of the closed contours; throws when there is none.
  TopoDS_Compound profile() const;

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  host::Geometry2DPtr add(std::shared_ptr<SketchElement> element);
  host::Geometry2DPtr addCurve(const opencascade::handle<Geom2d_Curve>& curve, const char* kind);
  host::Geometry2DPtr addSpline(const std::vector<host::Geometry2DPtr>& points, int closure,
                                bool quintic);

  gp_Ax3 placement_;
  bool open_ = false;
  host::SpecObjectPtr support_;
  std::vector<std::shared_ptr<SketchElement>> elements_;
};

}  // namespace occt_host
