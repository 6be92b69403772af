// Rotate items: a shaft of the profile sketch about the item's axis, between the angles
// that "rotateType" derives from "angle1" and "angle2".
#include <sstream>

#include "features/sweep/sweep_handlers.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"
#include "features/writer/profile_sketch.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/sweep_features.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "partjson/part_document.h"
#include "sketch/sketch_json.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

// A number member, 0 when absent or of another kind.
double numberOr0(const rapidjson::Value& item, const char* key) {
  double value = 0;
  return numberMember(item, key, value) ? value : 0;
}

std::string who(const FeatureWriter& writer) {
  return ", name = " + writer.name() + ", id = " + writer.id();
}

// The axis line, stored hidden as name + "_axis"; null, with the line that says why,
// when it cannot be made.
host::SpecObjectPtr rotateAxis(FeatureWriter& writer, const rapidjson::Value& item,
                               std::string& error) {
  auto axis = item.FindMember("axis");
  if (axis == item.MemberEnd() || !axis->value.IsObject()) {
    error = "error: rotate axis is missing" + who(writer);
    return nullptr;
  }
  host::SpecObjectPtr line = writer.createAxisLine(axis->value);
  if (!line) {
    error = "error: rotate axis creation failed" + who(writer);
    return nullptr;
  }
  const std::string axisName = writer.name() + "_axis";
  saveRefObj(writer.sharedState(), line, kRefObjGeometricalSet, axisName);
  setAlias(line, axisName);
  return line;
}

FeatureOutcome buildShaft(FeatureWriter& writer, host::SweepFactory& factory,
                          const host::SpecObjectPtr& sketch, const host::SpecObjectPtr& axis,
                          const RotateAngles& angles) {
  host::SpecObjectPtr shaft =
      inBuildOrder(writer.sharedState(), [&] { return factory.createShaft(sketch); });
  if (!shaft) return FeatureOutcome::none("error: the shaft could not be created" + who(writer));
  auto parameters = host::query<host::Shaft>(shaft);
  if (!parameters) {
    FeatureOutcome out =
        FeatureOutcome::failed(host::kFail, "error: QueryInterface CATIShaft failed" + who(writer));
    out.feature = shaft;
    return out;
  }
  parameters->setStartAngle(angles.start);
  parameters->setEndAngle(angles.end);
  parameters->setAxis(axis);
  const host::Status status = updateFeature(shaft).status;
  writer.sharedState().part->setCurrentFeature(shaft);
  if (parameters->startAngle() != angles.start || parameters->endAngle() != angles.end)
    logOut("error: the shaft angles are not correctly set");
  return FeatureOutcome::built(shaft, status);
}

}  // namespace

RotateAngles rotateAngles(double angle1, double angle2, const std::string& rotateType) {
  if (rotateType == "completely") return {0, 360};
  if (rotateType == "oneDirection") return {0, angle1};
  if (rotateType == "symmetry") return {-angle1, angle1};
  return {angle1, angle2};  // "twoDirection", and anything else
}

FeatureOutcome rotateHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr& /*previous*/,
                             const host::SpecObjectPtr& body) {
  std::string error;
  host::SpecObjectPtr axis = rotateAxis(writer, item, error);
  if (!axis) return FeatureOutcome::failed(host::kFail, error);
  const double angle1 = numberOr0(item, "angle1");
  const double angle2 = numberOr0(item, "angle2");
  const rapidjson::Value* typeValue = stringMember(item, "rotateType");
  const std::string type(typeValue ? stringView(*typeValue) : std::string_view());
  const RotateAngles angles = rotateAngles(angle1, angle2, type);
  writer.debug("debug: angle1 = " + num(angle1) + ", angle2 = " + num(angle2) + ", rotateType = " +
               type + ", startAngle = " + num(angles.start) + ", endAngle = " + num(angles.end));
  Writer* profile = firstExpandedWriter(writer, profileSketchIds(item));
  if (!profile) return FeatureOutcome::none();
  host::SpecObjectPtr sketch = ensureSketch(profile);
  makeProfileCurrent(writer, sketch, body);
  auto factory = host::query<host::SweepFactory>(writer.sharedState().container);
  if (!factory)
    return FeatureOutcome::none("error: the part factory is not available" + who(writer));
  return buildShaft(writer, *factory, sketch, axis, angles);
}

}  // namespace kestrun
