// A sketch (stands for CATISketch with its CATI2DWFFactory): 2D elements on a plane.
#pragma once

#include <TopoDS_Compound.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/sketch.h"
#include "occt_host/tree_node.h"

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

  bool isOpen() const { return open_; }
  gp_Pln kernelPlane() const { return gp_Pln(placement_); }
  // The faces of the closed contours; throws when there is none.
  TopoDS_Compound profile() const;

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  host::Geometry2DPtr add(std::shared_ptr<SketchElement> element);

  gp_Ax3 placement_;
  bool open_ = false;
  std::vector<std::shared_ptr<SketchElement>> elements_;
};

}  // namespace occt_host
