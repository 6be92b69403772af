#include "entry/skeleton_cylinder.h"

#include "entry/part_access.h"
#include "features/writer/update_service.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "log/core_log.h"

namespace kestrun {

namespace {

// Creates the sketch with its circle; on failure records the reason and returns null.
host::SpecObjectPtr createCircleSketch(const PartAccess& access, double radius,
                                       ImportResult& result) {
  auto factory = access.container->query<host::SketchFactory>();
  if (!factory) {
    result.fail(kCodeSketch, "CATISketchFactory not found.");
    return nullptr;
  }
  host::SpecObjectPtr sketchObject = factory->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto sketch = host::query<host::Sketch>(sketchObject);
  if (!sketch) {
    result.fail(kCodeSketch, "CreateSketch failed.");
    return nullptr;
  }
  sketch->openEdition();
  auto factory2d = sketch->query<host::Factory2D>();
  const bool drawn = factory2d && factory2d->createCircle({0, 0}, radius) != nullptr;
  sketch->closeEdition();
  if (!factory2d) {
    result.fail(kCodeSketch, "CATI2DWFFactory not found.");
    return nullptr;
  }
  if (!drawn) {
    result.fail(kCodeSketch, "CreateCircle failed.");
    return nullptr;
  }
  return sketchObject;
}

host::SpecObjectPtr createPad(const PartAccess& access, const host::SpecObjectPtr& sketch,
                              double height, ImportResult& result) {
  auto factory = access.container->query<host::PartFactory>();
  if (!factory) {
    result.fail(kCodeFeature, "CATIPrtFactory not found.");
    return nullptr;
  }
  host::SpecObjectPtr padObject = factory->createPad(sketch);
  if (!padObject) {
    result.fail(kCodeFeature, "CreatePad failed.");
    return nullptr;
  }
  auto pad = padObject->query<host::Pad>();
  if (!pad) {
    result.fail(kCodeFeature, "CATIPad not found.");
    return nullptr;
  }
  pad->setDirection({0, 0, 1});
  pad->setLimitType(host::LimitEnd::First, host::kLimitLength);
  pad->setLimitLength(host::LimitEnd::First, height);
  pad->setLimitType(host::LimitEnd::Second, host::kLimitLength);
  pad->setLimitLength(host::LimitEnd::Second, 0.0);
  return padObject;
}

}  // namespace

std::int32_t drawSkeletonCylinder(host::Document& document, double radius, double height,
                                  ImportResult& result) {
  PartAccess access = reachPart(document, result);
  if (!access) return kStatusFailed;
  host::SpecObjectPtr sketch = createCircleSketch(access, radius, result);
  if (!sketch) return kStatusFailed;
  access.part->setCurrentFeature(sketch);
  host::SpecObjectPtr pad = createPad(access, sketch, height, result);
  if (!pad) return kStatusFailed;
  access.part->setCurrentFeature(pad);
  if (!updateFeature(pad).ok()) return result.fail(kCodeUpdate, "Fixed cylinder update failed.");
  result.setSuccess("Fixed cylinder created.");
  result.setCreatedCount(2);
  return result.status();
}

}  // namespace kestrun
