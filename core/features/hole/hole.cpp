// Hole items: a plain hole with targets is cut as cylinders; otherwise, or when that
// cut fails, host holes are drilled on the support face of each location.
#include <sstream>

#include "features/hole/hole_params.h"
#include "features/hole/host_hole.h"
#include "features/hole/host_hole_support.h"
#include "features/hole/simple_cylinder_cut.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "log/core_log.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

// Each location is a feature and a boolean of its own; beyond this many, one item would
// hold the session for minutes.
constexpr rapidjson::SizeType kMaxHoleLocations = 10000;

}  // namespace

FeatureOutcome holeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                           const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  const HoleParams p = readHoleParams(item);
  writer.debug("debug: hole - type=" + p.holeType + ", diameter=" + num(p.diameter) +
               ", depth=" + num(p.depth) + ", tipAngle=" + num(p.tipAngle));
  if (p.locations && p.locations->Size() > kMaxHoleLocations) {
    return FeatureOutcome::failed(
        host::kFail, "error: hole has " + std::to_string(p.locations->Size()) +
                         " locations, more than the " + std::to_string(kMaxHoleLocations) +
                         " one item may drill, name = " + writer.name() + ", id = " + writer.id());
  }
  FeatureOutcome cut;
  if (p.holeType == "simple") {
    cut = simpleHoleRemoveCut(writer, item, p);
    if (cut.finish == FeatureOutcome::Finish::SimpleHoleCut) return cut;
  }
  std::vector<host::SpecObjectPtr> supports;
  if (p.locations && p.hasDirection) supports = findHoleSupports(writer, p, holeTargetIds(item));
  FeatureOutcome made = drillHostHoles(writer, p, supports);
  // A failed cut stays the item's outcome when no host hole took its place.
  if (made.feature || !host::failed(cut.status)) return made;
  return cut;
}

}  // namespace kestrun
