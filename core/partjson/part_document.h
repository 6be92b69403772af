// Reading a part JSON document: envelope, item references, geometry ids, colours,
// and the sketch placement flag.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <rapidjson/document.h>

#include "host/values.h"
#include "partjson/json_members.h"

namespace kestrun {

// The item list of a part document, or null when the root has none.
const rapidjson::Value* findItemList(const rapidjson::Value& root);

bool isSketchType(std::string_view type);

// The ids an item names, in reference order, each once.
std::vector<std::string> collectReferences(const rapidjson::Value& item);

// The ids of a sketch item's geometries that may be named by other items.
std::vector<std::string> geometryIds(const rapidjson::Value& sketchItem);

struct BodyColor {
  std::string id;
  host::Color color;
};
// Well-formed "bodyColors" elements, in order; malformed ones are skipped.
std::vector<BodyColor> readBodyColors(const rapidjson::Value& root);

// Whether a sketch's "matrix" asks for a plane feature instead of absolute axes.
bool needPlaneForSketch(const rapidjson::Value& item);

}  // namespace kestrun
