// Chamfer items: a bevel of the edges the descriptors find, by two lengths or a length
// and an angle; unmatched edges or an unknown chamfer type fail the item.
#include <string>

#include "features/dress_up/dress_up_support.h"
#include "features/topology/find_topos.h"
#include "features/topology/topo_descriptor.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "log/core_log.h"
#include "partjson/build_order.h"

namespace kestrun {

namespace {

struct ChamferValues {
  host::ChamferMode mode = host::ChamferMode::TwoLengths;
  double first = 0, second = 0;
};

bool chamferValues(const std::string& type, double d, double d1, double d2, double angle,
                   ChamferValues& out) {
  if (type == "equidistant") {
    out = {host::ChamferMode::TwoLengths, d, d};
  } else if (type == "twoDistance") {
    out = {host::ChamferMode::TwoLengths, d1, d2};
  } else if (type == "distanceAndAngle") {
    out = {host::ChamferMode::LengthAngle, d, angle};
  } else {
    return false;
  }
  return true;
}

}  // namespace

FeatureOutcome chamferHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  auto factory = dressUpFactory(writer);
  if (!factory) return FeatureOutcome::none();
  std::string type = stringOf(item, "chamferType");
  double d = numberOr(item, "distance", 0), d1 = numberOr(item, "distance1", 0);
  double d2 = numberOr(item, "distance2", 0), angle = numberOr(item, "angle", 0);
  const rapidjson::Value& contrary = memberOrNull(item, "contrary");
  bool reversed = contrary.IsBool() && contrary.GetBool();
  writer.debug("debug: " + std::string("chamferType = ") + type + ", distance = " + num(d) +
               ", distance1 = " + num(d1) + ", distance2 = " + num(d2) + ", angle = " + num(angle));
  const rapidjson::Value& topos = memberOrNull(item, "chamferTopos");
  std::size_t n = arrayLength(topos);
  host::SpecObjectList refs = findTopos(writer, topos, true);
  if (refs.empty() || refs.size() != n) {
    logOut("error: findTopos size = " + std::to_string(refs.size()) +
           ", expected = " + std::to_string(n));
    return FeatureOutcome::none();
  }
  ChamferValues values;
  if (!chamferValues(type, d, d1, d2, angle, values)) {
    logOut("chamferType invalid");
    return FeatureOutcome::none();
  }
  auto chamfer = inBuildOrder(writer.sharedState(), [&] {
    return factory->createChamfer(
        refs, host::kPropagationNone, values.mode, values.first, values.second,
        reversed ? host::kChamferOrientationContrary : host::kChamferOrientationNormal);
  });
  if (!chamfer) {
    logOut("error: CreateChamfer failed, name = " + writer.name());
    return FeatureOutcome::none();
  }
  if (auto lengths = host::query<host::Chamfer>(chamfer))
    writer.debug("debug: chamfer, GetLength1 = " + num(lengths->length1()) +
                 ", GetLength2 = " + num(lengths->length2()));
  return updateAndMakeCurrent(writer, chamfer);
}

}  // namespace kestrun
