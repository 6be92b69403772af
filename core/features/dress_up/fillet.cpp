// Fillet items: one constant-radius round over the edges the descriptors find; when they
// name the wrong features, the fallback finds them elsewhere and rounds them one by one.
// Every failure skips the item with a warning rather than failing it.
#include <string>

#include "features/dress_up/dress_up_support.h"
#include "features/topology/find_topos.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/build_order.h"

namespace kestrun {

namespace {

const char* const kNotMatched =
    "Skipped fillet because one or more topology references were "
    "not matched";
const char* const kNoFillet = "Skipped fillet because CreateSolidFillet returned null";

// One fillet per descriptor, each found through the fallback on its own.
FeatureOutcome filletEach(FeatureWriter& writer, host::DressUpFactory& factory,
                          const rapidjson::Value& topos, double radius) {
  FeatureOutcome outcome;
  for (rapidjson::SizeType i = 1; i <= topos.Size(); ++i) {
    rapidjson::Document one;
    one.SetArray();
    one.PushBack(rapidjson::Value(topos[i - 1], one.GetAllocator()), one.GetAllocator());
    host::SpecObjectList refs = findToposWithFeatureFallback(writer, one);
    if (refs.size() != 1) {
      logOut("error: fallback fillet findTopos size = " + std::to_string(refs.size()) +
             ", expected = 1, index = " + std::to_string(i));
      return FeatureOutcome::skipped(kNotMatched);
    }
    auto fillet = inBuildOrder(writer.sharedState(), [&] {
      return factory.createSolidFillet(refs, radius, host::kPropagationNone);
    });
    if (!fillet) {
      logOut("error: CreateFillet failed, name = " + writer.name());
      return FeatureOutcome::skipped(kNoFillet);
    }
    outcome = updateAndMakeCurrent(writer, fillet);
    if (host::failed(outcome.status)) return outcome;
    setAlias(fillet, writer.name() + "_" + std::to_string(i));
  }
  return outcome;
}

}  // namespace

FeatureOutcome filletHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  auto factory = dressUpFactory(writer);
  if (!factory) return FeatureOutcome::none();
  double radius = numberOr(item, "radius", 0);
  writer.debug("debug: " + std::string("radius = ") + num(radius));
  const rapidjson::Value& topos = memberOrNull(item, "filletTopos");
  std::size_t n = arrayLength(topos);
  host::SpecObjectList refs = findTopos(writer, topos, true);
  bool fallback = false;
  if (!((!refs.empty() && refs.size() == n) || n < 1)) {
    host::SpecObjectList found = findToposWithFeatureFallback(writer, topos);
    if (found.size() == n) {
      refs = found;
      fallback = true;
      writer.info("info: fillet topology fallback matched all references, name = " + writer.name() +
                  ", id = " + writer.id());
    }
  }
  if (refs.empty() || refs.size() != n) {
    logOut("error: findTopos size = " + std::to_string(refs.size()) +
           ", expected = " + std::to_string(n));
    return FeatureOutcome::skipped(kNotMatched);
  }
  if (fallback && refs.size() > 1) return filletEach(writer, *factory, topos, radius);
  auto fillet = inBuildOrder(writer.sharedState(), [&] {
    return factory->createSolidFillet(refs, radius, host::kPropagationNone);
  });
  if (!fillet) {
    logOut("error: CreateFillet failed, name = " + writer.name());
    return FeatureOutcome::skipped(kNoFillet);
  }
  return updateAndMakeCurrent(writer, fillet);
}

}  // namespace kestrun
