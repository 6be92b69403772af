#include "core/features/simple_hole_cutter.h"

#include <sstream>

#include "core/features/sketch_frame.h"
#include "core/features/update_service.h"
#include "core/features/writer_services.h"
#include "host/part_factory.h"
#include "host/sketch.h"

namespace kestrun {

namespace {

std::string triple(const host::Vec3& v) {
  std::ostringstream out;
  out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
  return out.str();
}

// The circle sketch of the cutter; null with the writer's status set on failure.
host::SpecObjectPtr cutterSketch(FeatureWriter& writer, host::SketchFactory& factory,
                                 const host::Point3& origin, const SketchFrame& frame,
                                 const CylinderCut& cut) {
  host::SpecObjectPtr sketchObject = factory.createSketch(origin, frame.h, frame.v);
  auto sketch = host::query<host::Sketch>(sketchObject);
  if (!sketch) {
    writer.setStatus(host::kFail);
    return nullptr;
  }
  setAlias(sketchObject, cut.name + "_sketch");
  sketch->openEdition();
  auto factory2d = sketch->query<host::Factory2D>();
  host::Geometry2DPtr circle =
      factory2d ? factory2d->createCircle({0, 0}, cut.diameter / 2) : nullptr;
  if (circle) updateFeature(host::query<host::SpecObject>(circle));
  sketch->closeEdition();
  if (!circle) {
    writer.setStatus(host::kFail);
    return nullptr;
  }
  const host::UpdateResult updated = updateFeature(sketchObject);
  if (!updated.ok()) {
    writer.setStatus(updated.status);
    return nullptr;
  }
  return sketchObject;
}

// The cylinder pad along the direction; false with the writer's status set on failure.
bool cutterPad(FeatureWriter& writer, host::PartFactory& factory, const host::SpecObjectPtr& sketch,
               const host::Vec3& n, double length, const std::string& name) {
  writer.sharedState().part->setCurrentFeature(sketch);
  host::SpecObjectPtr pad = factory.createPad(sketch);
  auto prism = host::query<host::Prism>(pad);
  if (!prism) {
    writer.setStatus(host::kFail);
    return false;
  }
  writer.setSpecObj(pad);
  setAlias(pad, name + "_pad");
  prism->setDirection(n);
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, length);
  prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::Second, 0.0);
  writer.setStatus(updateFeature(pad).status);
  return !host::failed(writer.status());
}

}  // namespace

bool simpleHoleCutter(FeatureWriter& writer, const CylinderCut& cut) {
  SketchFrame frame;
  if (!frameFromDirection(cut.direction, frame)) return false;
  const SharedWriterState& state = writer.sharedState();
  auto sketchFactory = host::query<host::SketchFactory>(state.container);
  auto partFactory = host::query<host::PartFactory>(state.container);
  if (!sketchFactory || !partFactory || !state.part) return false;

  const std::string savedBoolType = writer.boolType();
  host::SpecObjectPtr body = writer.createPRTTool(cut.name + "_body");
  if (!body) {
    writer.setStatus(host::kFail);
    return false;
  }
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

  host::SpecObjectPtr sketch = cutterSketch(writer, *sketchFactory, origin, frame, cut);
  if (!sketch || !cutterPad(writer, *partFactory, sketch, n, length, cut.name)) return false;

  writer.setBoolType("remove");
  state.part->setCurrentFeature(cut.target ? cut.target : cut.tool);
  writer.createBool(cut.target);
  writer.setBoolType(savedBoolType);
  writer.clearPreviousSpecObj();
  writer.setPrtTool(cut.tool);
  return !host::failed(writer.status());
}

}  // namespace kestrun
