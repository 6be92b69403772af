// The items of one part document by id, as the core registers them, for the rules that
// look across items: references, cycles, profiles, hole locations.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "cli/validate/problem.h"

namespace kestrun_validate {

struct IndexedItem {
  const rapidjson::Value* json = nullptr;
  std::string pointer;  // e.g. "/flatNode/3"
  std::string id, type;
  bool sketch = false;
};

struct IndexedGeometry {
  const rapidjson::Value* json = nullptr;
  std::string pointer, sketchId, type;
};

struct ItemIndex {
  std::vector<IndexedItem> items;  // registered items, in list order
  std::map<std::string, std::size_t> byId;
  std::map<std::string, IndexedGeometry> geometries;

  const IndexedItem* find(const std::string& id) const;
  std::vector<std::string> ids(bool sketches, bool features) const;
  std::vector<std::string> vertexIds() const;
};

// Registers the items of `list` (at `pointer`) as the core does; duplicate ids are
// problems.
ItemIndex indexItems(const rapidjson::Value& list, const std::string& pointer,
                     std::vector<Problem>& out);

std::string stringOf(const rapidjson::Value& object, const char* key);
const rapidjson::Value* memberOf(const rapidjson::Value& object, const char* key);

}  // namespace kestrun_validate
