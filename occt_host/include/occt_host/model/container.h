// The container of a Part document's feature tree (stands for CATIPrtContainer); it
// gives the Part and the factories that place new features in it.
#pragma once

#include <memory>

#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "occt_host/model/object.h"

namespace occt_host {

class BooleanFactory;
class HoleFactory;
class BRepFactory;
class DressUpFactory;
class Part;
class PatternFactory;
class StructureFactory;
class SweepFactory;

class Container : public Object,
                  public host::PartContainer,
                  public host::SketchFactory,
                  public host::PartFactory {
 public:
  explicit Container(std::shared_ptr<Part> part);
  ~Container() override;

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::PartContainer
  host::SpecObjectPtr part() override;
  // host::SketchFactory: the sketch goes into the current body after the current feature.
  host::SpecObjectPtr createSketch(const host::Point3& origin, const host::Vec3& h,
                                   const host::Vec3& v) override;
  // host::PartFactory
  host::SpecObjectPtr createPad(const host::SpecObjectPtr& sketch) override;
  host::SpecObjectPtr createPocket(const host::SpecObjectPtr& sketch) override;
  // host::SketchFactory: a sketch on a reference plane or plane feature.
  host::SpecObjectPtr createSketchOnPlane(const host::SpecObjectPtr& planeFeature) override;

  const std::shared_ptr<Part>& partNode() const { return part_; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::PartContainer*>(this); }

 private:
  std::shared_ptr<Part> part_;
  std::unique_ptr<StructureFactory> structure_;
  std::unique_ptr<BooleanFactory> booleans_;
  std::unique_ptr<HoleFactory> holes_;
  std::unique_ptr<SweepFactory> sweeps_;
  std::unique_ptr<BRepFactory> brep_;
  std::unique_ptr<DressUpFactory> dressUps_;
  std::unique_ptr<PatternFactory> patterns_;
};

}  // namespace occt_host
