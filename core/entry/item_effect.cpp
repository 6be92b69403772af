#include "entry/item_effect.h"

#include <cmath>
#include <cstdio>

#include "host/solid_volume.h"
#include "host/topology.h"
#include "partjson/json_members.h"

namespace kestrun {

namespace {

// Bodies answer a volume too, but only features stand in a body's history.
bool isSolidFeature(const host::SpecObjectPtr& node) {
  return host::query<host::FeatureGeometry>(node) && host::query<host::SolidVolume>(node);
}

std::string volumeText(double mm3) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", mm3);
  return text;
}

bool removes(const rapidjson::Value* item) {
  const rapidjson::Value* kind = item ? stringMember(*item, "boolType") : nullptr;
  return kind && stringView(*kind) == "remove";
}

}  // namespace

bool volumeBefore(const host::SpecObjectPtr& body, const host::SpecObjectPtr& feature,
                  double& mm3) {
  auto descendants = host::query<host::Descendants>(body);
  if (!descendants || !feature) return false;
  const host::SpecObjectList children = descendants->children();
  std::size_t at = 0;
  while (at < children.size() && !host::sameObject(children[at], feature)) ++at;
  if (at == children.size()) return false;
  while (at-- > 0) {
    if (!isSolidFeature(children[at])) continue;
    auto measured = host::query<host::SolidVolume>(children[at]);
    return measured->volume(mm3) && std::isfinite(mm3);
  }
  return false;
}

// A solid rebuilt unchanged measures the same to many digits; a real cut or boss, even a
// small hole in a large block, changes the volume far more than this.
bool sameVolume(double before, double after) {
  return std::fabs(after - before) <= 1e-6 + 1e-9 * std::fabs(before);
}

std::string unchangedReason(const std::string& type, const rapidjson::Value* item, double mm3) {
  const std::string stays = "the body's volume stays " + volumeText(mm3) + " mm^3";
  if (type == "hole")
    return "the hole drilled nothing (" + stays +
           "): its location is off every face of the solid, or it points away from it";
  if (removes(item)) return "the cut removed no material (" + stays + "): it misses the solid";
  if (type == "linearArray" || type == "polarArray" || type == "mirrorFeature")
    return "the copies changed nothing (" + stays + ")";
  return "the item changed nothing (" + stays + ")";
}

}  // namespace kestrun
