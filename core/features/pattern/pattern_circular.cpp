// The circular pattern of one source.
#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_step.h"
#include "features/pattern/pattern_support.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "partjson/json_members.h"

namespace kestrun {

namespace {

struct CircularInput {
  long long n = 1;
  double angle = 0;
  bool clockwise = false;
};

CircularInput circularInput(const rapidjson::Value& item) {
  CircularInput in;
  in.n = readCount(item, "itemNumber");
  numberMember(item, "angle", in.angle);
  boolMember(item, "clockwise", in.clockwise);
  return in;
}

// The pattern made and updated; the Part's current feature follows the outcome.
FeatureOutcome createCircular(FeatureWriter& writer, FeatureWriter& source,
                              const host::SpecObjectPtr& object, const host::CircPatternParams& p,
                              const host::SpecObjectPtr& previous) {
  const auto& part = writer.sharedState().part;
  auto factory = host::query<host::PatternFactory>(writer.sharedState().container);
  host::SpecObjectPtr pattern =
      factory ? inBuildOrder(writer.sharedState(),
                             [&] { return factory->createCircPattern(object, p); })
              : nullptr;
  if (!pattern) {
    logOut("CreateCircPatt failed");
    part->setCurrentFeature(previous);
    return {};
  }
  FeatureOutcome out = FeatureOutcome::built(pattern);
  out.body = source.body();
  setAlias(pattern, writer.name());
  part->setCurrentFeature(pattern);
  out.status = updateFeature(pattern).status;
  if (host::failed(out.status)) part->setCurrentFeature(previous);
  traceReset(writer, "after addPolarArray,");
  return out;
}

}  // namespace

FeatureOutcome circularPattern(FeatureWriter& writer, const rapidjson::Value& item,
                               FeatureWriter* source, const host::SpecObjectPtr& axis) {
  const CircularInput in = circularInput(item);
  if (!source) return FeatureOutcome::failed(host::kInvalidArg);
  if (source->holeGeometry().singleLocation) {
    bool ran = false;
    FeatureOutcome cut = simpleHolePolarCut(writer, item, *source, ran);
    if (ran) return cut;
  }
  const auto& part = writer.sharedState().part;
  const host::SpecObjectPtr previous = part->currentFeature();
  if (in.n < 2 || !axis) {
    part->setCurrentFeature(previous);
    return FeatureOutcome::failed(host::kInvalidArg,
                                  "error: " + writer.type() + " " + writer.name() +
                                      " needs an axis and an itemNumber of at least 2");
  }
  const std::string overCap = overCapLine(writer, static_cast<double>(in.n));
  if (!overCap.empty()) return FeatureOutcome::failed(host::kInvalidArg, overCap);
  const double step = circularStep(in.angle, in.n);
  const host::SpecObjectPtr object = patternedObject(*source);
  if (!object || !source->body()) {
    part->setCurrentFeature(previous);
    return FeatureOutcome::failed(host::kFail);
  }
  const std::string sense = in.clockwise ? "1" : "0";
  writer.debug("debug: angle = " + numberText(in.angle) + ", itemNumber = " + std::to_string(in.n) +
               ", iStepa = " + numberText(step) + ", iSensa = " + sense + ", clockwise = " + sense);
  part->setCurrentFeature(object);
  const host::CircPatternParams params{axis, in.n, step, in.clockwise, isWholeTurn(in.angle)};
  return createCircular(writer, *source, object, params, previous);
}

}  // namespace kestrun
