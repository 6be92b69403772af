#include "features/hole/cylinder_cutter.h"

#include <sstream>

#include "features/writer/sketch_frame.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "partjson/build_order.h"

namespace kestrun {

namespace {

std::string triple(const host::Vec3& v) {
  std::ostringstream out;
  out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
  return out.str();
}

// The writer's state after a failed step: what its services made, and the status.
FeatureOutcome cutterFailed(const FeatureWriter& writer, host::Status status) {
  FeatureOutcome out = FeatureOutcome::failed(status);
  out.feature = writer.specObj();
  return out;
}

// The circle sketch of the cutter; a failed status when it cannot be made.
host::Status cutterSketch(host::SketchFactory& factory, const host::Point3& origin,
                          const SketchFrame& frame, const CylinderCut& cut,
                          host::SpecObjectPtr& out) {
  host::SpecObjectPtr sketchObject = factory.createSketch(origin, frame.h, frame.v);
  auto sketch = host::query<host::Sketch>(sketchObject);
  if (!sketch) return host::kFail;
  setAlias(sketchObject, cut.name + "_sketch");
  sketch->openEdition();
  auto factory2d = sketch->query<host::Factory2D>();
  host::Geometry2DPtr circle =
      factory2d ? factory2d->createCircle({0, 0}, cut.diameter / 2) : nullptr;
  if (circle) updateFeature(host::query<host::SpecObject>(circle));
  sketch->closeEdition();
  if (!circle) return host::kFail;
  const host::UpdateResult updated = updateFeature(sketchObject);
  if (!updated.ok()) return updated.status;
  out = sketchObject;
  return host::kOk;
}

// The cylinder pad along the direction, made the writer's feature for the boolean.
host::Status cutterPad(FeatureWriter& writer, host::PartFactory& factory,
                       const host::SpecObjectPtr& sketch, const host::Vec3& n, double length,
                       const std::string& name) {
  writer.sharedState().part->setCurrentFeature(sketch);
  host::SpecObjectPtr pad =
      inBuildOrder(writer.sharedState(), [&] { return factory.createPad(sketch); });
  auto prism = host::query<host::Prism>(pad);
  if (!prism) return host::kFail;
  writer.setSpecObj(pad);
  setAlias(pad, name + "_pad");
  prism->setDirection(n);
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, length);
  prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::Second, 0.0);
  return updateFeature(pad).status;
}

}  // namespace

FeatureOutcome simpleHoleCutter(FeatureWriter& writer, const CylinderCut& cut) {
  SketchFrame frame;
  if (!frameFromDirection(cut.direction, frame)) return {};
  const SharedWriterState& state = writer.sharedState();
  auto sketchFactory = host::query<host::SketchFactory>(state.container);
  auto partFactory = host::query<host::PartFactory>(state.container);
  if (!sketchFactory || !partFactory || !state.part) return {};

  const std::string savedBoolType = writer.boolType();
  host::SpecObjectPtr body = writer.createPRTTool(cut.name + "_body");
  if (!body) return cutterFailed(writer, host::kFail);
  writer.setPrtTool(body);
  state.part->setCurrentFeature(body);

  const host::Vec3 n = normalizedDirection(cut.direction);
  const host::Point3 origin = cut.point - n * cut.halfLength;
  const double length = 2 * cut.halfLength;
  std::ostringstream depth;
  depth << length;
  writer.info("info: simple hole cutter, name = " + cut.name + ", point = " + triple(cut.point) +
              ", origin = " + triple(origin) + ", direction = " + triple(n) +
              ", cutterDepth = " + depth.str());

  host::SpecObjectPtr sketch;
  host::Status status = cutterSketch(*sketchFactory, origin, frame, cut, sketch);
  if (host::failed(status)) return cutterFailed(writer, status);
  status = cutterPad(writer, *partFactory, sketch, n, length, cut.name);
  if (host::failed(status)) return cutterFailed(writer, status);

  writer.setBoolType("remove");
  state.part->setCurrentFeature(cut.target ? cut.target : cut.tool);
  writer.createBool(cut.target, cut.atTarget ? BoolPlace::AfterOperated : BoolPlace::BuildOrder);
  writer.setBoolType(savedBoolType);
  writer.clearPreviousSpecObj();
  writer.setPrtTool(cut.tool);
  return FeatureOutcome::built(writer.specObj(), writer.status());
}

}  // namespace kestrun
