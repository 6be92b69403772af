#include "validate/geometry_rules.h"

#include <cmath>
#include <optional>
#include <sstream>

#include "validate/sketch_shapes.h"

namespace kestrun_validate {

namespace {

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}

double numberOr(const rapidjson::Value& object, const char* key, double fallback) {
  const rapidjson::Value* v = memberOf(object, key);
  return v && v->IsNumber() ? v->GetDouble() : fallback;
}

bool boolOr(const rapidjson::Value& object, const char* key, bool fallback) {
  const rapidjson::Value* v = memberOf(object, key);
  return v && v->IsBool() ? v->GetBool() : fallback;
}

// The ids of the profile sketches, as the extrude, rotate and loft handlers read them.
std::vector<std::string> profileIds(const rapidjson::Value& item) {
  std::vector<std::string> ids;
  for (const char* key : {"sketches", "stetches"}) {
    const rapidjson::Value* list = memberOf(item, key);
    if (list && list->IsArray()) {
      for (const auto& v : list->GetArray()) {
        if (v.IsString() && v.GetStringLength() > 0) ids.emplace_back(v.GetString());
      }
    }
    if (!ids.empty()) return ids;
  }
  for (const char* key : {"sketchId", "stetchId"}) {
    const std::string id = stringOf(item, key);
    if (!id.empty()) return {id};
  }
  return ids;
}

std::string firstOf(const rapidjson::Value& item, const char* key) {
  const rapidjson::Value* list = memberOf(item, key);
  if (!list || !list->IsArray() || list->Empty() || !(*list)[0].IsString()) return {};
  return (*list)[0].GetString();
}

// The nearest sketch before the item: what a front end that forgot the profile meant.
std::string sketchBefore(const ItemIndex& index, const IndexedItem& item) {
  std::string last;
  for (const IndexedItem& other : index.items) {
    if (&other == &item) break;
    if (other.sketch) last = other.id;
  }
  return last;
}

void checkProfilePresent(const ItemIndex& index, const IndexedItem& item,
                         std::vector<Problem>& out) {
  if (!profileIds(*item.json).empty()) return;
  const std::string sketch = sketchBefore(index, item);
  out.push_back({item.pointer, item.id,
                 "the " + item.type + " names no profile: \"sketches\" or \"sketchId\" is needed",
                 sketch.empty() ? "add a sketch and name it in \"sketchId\""
                                : "did you mean \"sketchId\": " + quoted(sketch) + "?"});
}

void checkExtrudeLength(const IndexedItem& item, std::vector<Problem>& out) {
  const double n1 = numberOr(*item.json, "n1Height", 0), n2 = numberOr(*item.json, "n2Height", 0);
  const double first = boolOr(*item.json, "contrary", false) ? -n1 : n1;
  const double second = boolOr(*item.json, "contrary2", true) ? n2 : -n2;
  if (first + second != 0) return;
  out.push_back({item.pointer, item.id,
                 "the extrusion length (n1Height + n2Height) is zero, so nothing would be built",
                 "give the length in mm as \"n1Height\", e.g. \"n1Height\": 10"});
}

void checkChamfer(const IndexedItem& item, std::vector<Problem>& out) {
  const std::string type = stringOf(*item.json, "chamferType");
  std::vector<const char*> needed;
  if (type == "equidistant") needed = {"distance"};
  if (type == "twoDistance") needed = {"distance1", "distance2"};
  if (type == "distanceAndAngle") needed = {"distance", "angle"};
  for (const char* key : needed) {
    if (numberOr(*item.json, key, 0) > 0) continue;
    out.push_back({item.pointer, item.id,
                   "a " + type + " chamfer needs \"" + key + "\" greater than 0",
                   "add \"" + std::string(key) + "\""});
  }
}

// The last feature item before `item`: the one a descriptor without its feature most likely
// meant.
std::string featureBefore(const ItemIndex& index, const IndexedItem& item) {
  std::string last;
  for (const IndexedItem& other : index.items) {
    if (&other == &item) break;
    if (!other.sketch) last = other.id;
  }
  return last;
}

// Each descriptor names the feature that made its face or edge.
void checkDescriptors(const ItemIndex& index, const IndexedItem& item, std::vector<Problem>& out) {
  auto check = [&](const rapidjson::Value& d, const std::string& at) {
    if (!d.IsObject() || !stringOf(d, "featureId").empty() || !stringOf(d, "parent").empty())
      return;
    const std::string feature = featureBefore(index, item);
    out.push_back(
        {at, item.id, "the descriptor names no feature: \"featureId\" is needed",
         feature.empty() ? std::string() : "did you mean \"featureId\": " + quoted(feature) + "?"});
  };
  for (const char* key : {"filletTopos", "chamferTopos", "shellFaces", "draftFaces"}) {
    const rapidjson::Value* list = memberOf(*item.json, key);
    if (!list || !list->IsArray()) continue;
    for (rapidjson::SizeType i = 0; i < list->Size(); ++i)
      check((*list)[i], item.pointer + "/" + key + "/" + std::to_string(i));
  }
  if (const rapidjson::Value* neutral = memberOf(*item.json, "neutralPlane"))
    check(*neutral, item.pointer + "/neutralPlane");
}

void checkItem(const ItemIndex& index, const IndexedItem& item, const std::set<std::string>& broken,
               std::vector<Problem>& out) {
  checkDescriptors(index, item, out);
  if (broken.count(item.pointer)) return;
  if (item.type == "extrude" || item.type == "rotate" || item.type == "loft")
    checkProfilePresent(index, item, out);
  if (item.type == "extrude") checkExtrudeLength(item, out);
  if (item.type == "chamfer") checkChamfer(item, out);
  if (item.type == "fillet" && !(numberOr(*item.json, "radius", 0) > 0))
    out.push_back(
        {item.pointer + "/radius", item.id, "a fillet needs a radius greater than 0", {}});
}

void checkProfiles(const ItemIndex& index, std::vector<Problem>& out) {
  std::set<std::string> checked;
  for (const IndexedItem& item : index.items) {
    std::vector<std::string> ids;
    if (item.type == "extrude" || item.type == "rotate") {
      ids = profileIds(*item.json);
      if (ids.size() > 1) ids.resize(1);
    } else if (item.type == "loft") {
      ids = profileIds(*item.json);
    } else if (item.type == "sweep") {
      ids = {firstOf(*item.json, "profile")};
    }
    for (const std::string& id : ids) {
      const IndexedItem* sketch = index.find(id);
      if (!sketch || !sketch->sketch || !checked.insert(id).second) continue;
      checkClosedProfile(*sketch, item, out);
    }
  }
}

}  // namespace

void checkGeometry(const ItemIndex& index, const std::set<std::string>& broken,
                   std::vector<Problem>& out) {
  for (const IndexedItem& item : index.items) {
    if (item.sketch) checkSketchCentres(item, out);
    checkItem(index, item, broken, out);
  }
  checkProfiles(index, out);
  checkHoleLocations(index, out);
}

}  // namespace kestrun_validate
