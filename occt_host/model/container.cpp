#include "occt_host/model/container.h"

#include "features/boolean/boolean_factory.h"
#include "features/dress_up/dress_up_factory.h"
#include "features/extrude/pad.h"
#include "features/extrude/pocket.h"
#include "features/hole/hole_factory.h"
#include "features/pattern/pattern_factory.h"
#include "features/sweep/sweep_factory.h"
#include "kernel/kernel_guard.h"
#include "model/structure_factory.h"
#include "occt_host/model/part.h"
#include "sketch/sketch.h"
#include "sketch/sketch_on_plane.h"
#include "topology/brep_factory.h"

namespace occt_host {

Container::Container(std::shared_ptr<Part> part)
    : part_(std::move(part)),
      structure_(std::make_unique<StructureFactory>(*part_)),
      booleans_(std::make_unique<BooleanFactory>(*part_)),
      holes_(std::make_unique<HoleFactory>(*part_)),
      sweeps_(std::make_unique<SweepFactory>(*part_)),
      brep_(std::make_unique<BRepFactory>()),
      dressUps_(std::make_unique<DressUpFactory>(*part_)),
      patterns_(std::make_unique<PatternFactory>(*part_)) {}

Container::~Container() = default;

host::SpecObjectPtr Container::part() {
  return part_;
}

host::SpecObjectPtr Container::createSketch(const host::Point3& origin, const host::Vec3& h,
                                            const host::Vec3& v) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto sketch = Sketch::create(part_->nextName("Sketch"), origin, h, v);
    if (!sketch || host::failed(part_->addFeature(sketch))) return nullptr;
    return sketch;
  });
}

host::SpecObjectPtr Container::createPad(const host::SpecObjectPtr& sketch) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto profile = std::dynamic_pointer_cast<Sketch>(sketch);
    if (!profile || !profile->isWithin(part_.get())) return nullptr;
    auto pad = std::make_shared<Pad>(part_->nextName("Pad"), profile);
    if (host::failed(part_->addFeature(pad))) return nullptr;
    return pad;
  });
}

host::SpecObjectPtr Container::createSketchOnPlane(const host::SpecObjectPtr& planeFeature) {
  return occt_host::createSketchOnPlane(*part_, planeFeature);
}

host::SpecObjectPtr Container::createPocket(const host::SpecObjectPtr& sketch) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto profile = std::dynamic_pointer_cast<Sketch>(sketch);
    if (!profile || !profile->isWithin(part_.get())) return nullptr;
    auto pocket = std::make_shared<Pocket>(part_->nextName("Pocket"), profile);
    if (host::failed(part_->addFeature(pocket))) return nullptr;
    return pocket;
  });
}

void* Container::findInterface(host::InterfaceId id) {
  if (void* found =
          host::answerAs<host::PartContainer, host::SketchFactory, host::PartFactory>(this, id)) {
    return found;
  }
  if (void* found = host::answerAs<host::BooleanFactory>(booleans_.get(), id)) return found;
  if (void* found = host::answerAs<host::HoleFactory>(holes_.get(), id)) return found;
  if (void* found = host::answerAs<host::DressUpFactory>(dressUps_.get(), id)) return found;
  if (void* found = host::answerAs<host::BRepFactory>(brep_.get(), id)) return found;
  if (void* found = host::answerAs<host::PatternFactory>(patterns_.get(), id)) return found;
  if (void* found = host::answerAs<host::SweepFactory, host::PlanePointFactory>(sweeps_.get(), id))
    return found;
  // The structure factories share the container's lifetime through its handle.
  return host::answerAs<host::WireframeFactory, host::BodyFactory, host::ParameterFactory>(
      structure_.get(), id);
}

}  // namespace occt_host
