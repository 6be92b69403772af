// The fields of a hole item: sizes, direction, locations and the ids of its targets.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "host/values.h"
#include "partjson/writer.h"

namespace kestrun {

struct HoleParams {
  std::string holeType = "simple";
  double diameter = 10;
  double depth = 20;
  double tipAngle = 0;
  double counterboreDiameter = 0, counterboreDepth = 0;
  double chamferedHoleDiameter = 0, chamferedHoleAngle = 0;
  // Null when the item has no "locations" array.
  const rapidjson::Value* locations = nullptr;
  bool hasDirection = false;  // "direction" is an object
  host::Vec3 direction{0, 0, 1};
};

HoleParams readHoleParams(const rapidjson::Value& item);

// "direction": {"dx","dy","dz"} as given; without any of those, {"x","y","z"} negated;
// all zero, or no object, gives (0, 0, 1).
host::Vec3 holeDirection(const rapidjson::Value& item);

// A location: an object with the numbers "x", "y" and "z", or the id of a vertex that a
// sketch writer of the registry knows. False when neither resolves.
bool resolveHoleLocation(const WriterRegistry& registry, const rapidjson::Value& location,
                         host::Point3& out);

// "boolSolids", else "targetIds", else "featureId".
std::vector<std::string> holeTargetIds(const rapidjson::Value& item);
// The ids of every registered writer that is not a sketch writer, in key order.
std::vector<std::string> allSolidIds(const WriterRegistry& registry);

}  // namespace kestrun
