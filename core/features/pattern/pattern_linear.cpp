// The rectangular pattern of one source.
#include <algorithm>

#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_support.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "partjson/json_members.h"

namespace kestrun {

namespace {

// Counts and the source's position among them; centred, the source is the middle one.
struct LinearCounts {
  long long count1 = 1, count2 = 1, position1 = 1, position2 = 1;
};

LinearCounts linearCounts(const rapidjson::Value& item, bool secondDirection) {
  LinearCounts c;
  bool centred = false, centred2 = false;
  c.count1 = std::max(readCount(item, "itemNumber"), 1LL);
  if (boolMember(item, "isCenter", centred) && centred) {
    c.position1 = c.count1;
    c.count1 = 2 * c.count1 - 1;
  }
  c.count2 = std::max(readCount(item, "itemNumber2"), 1LL);
  if (secondDirection && boolMember(item, "isCenter2", centred2) && centred2) {
    c.position2 = c.count2;
    c.count2 = 2 * c.count2 - 1;
  }
  return c;
}

double number(const rapidjson::Value& item, const char* key) {
  double value = 0;
  numberMember(item, key, value);
  return value;
}

void traceSource(const FeatureWriter& writer, const FeatureWriter& source) {
  trace(writer, "debug: before addLinearArray, pFeature name = " + source.name() +
                    ", type = " + source.type() + ", boolType = " + source.boolType());
  traceCurrent(writer, "before addLinearArray,");
}

}  // namespace

FeatureOutcome linearPattern(FeatureWriter& writer, const rapidjson::Value& item,
                             FeatureWriter& source, const host::SpecObjectPtr& line1,
                             const host::SpecObjectPtr& line2) {
  bool secondDirection = false;
  boolMember(item, "secondDirection", secondDirection);
  const LinearCounts c = linearCounts(item, secondDirection);
  const double instances =
      static_cast<double>(c.count1) * static_cast<double>(secondDirection ? c.count2 : 1);
  const std::string overCap = overCapLine(writer, instances);
  if (!overCap.empty()) return FeatureOutcome::failed(host::kInvalidArg, overCap);

  const auto& part = writer.sharedState().part;
  const host::SpecObjectPtr rememberedFeature = part->currentFeature();
  const host::SpecObjectPtr object = patternedObject(source);
  traceSource(writer, source);
  if (object && rememberedFeature != object) {
    part->setCurrentFeature(object);
    traceReset(writer, "before addLinearArray,");
  }
  auto factory = host::query<host::PatternFactory>(writer.sharedState().container);
  host::RectPatternParams params{line1,
                                 line2,
                                 secondDirection,
                                 c.count1,
                                 c.count2,
                                 number(item, "distance"),
                                 number(item, "distance2"),
                                 c.position1,
                                 c.position2};
  host::SpecObjectPtr pattern =
      factory ? inBuildOrder(writer.sharedState(),
                             [&] { return factory->createRectPattern(object, params); })
              : nullptr;
  FeatureOutcome out;
  if (!pattern) {
    logOut("error: the rectangular pattern could not be created, name = " + writer.name());
  } else {
    out = FeatureOutcome::built(pattern);
    out.body = source.body();
    setAlias(pattern, writer.name());
    out.status = updateFeature(pattern).status;
  }
  const bool keep = rememberedFeature == object && pattern && !host::failed(out.status);
  part->setCurrentFeature(keep ? pattern : rememberedFeature);
  traceReset(writer, "after addLinearArray,");
  return out;
}

}  // namespace kestrun
