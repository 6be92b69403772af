#include "validate/item_index.h"

namespace kestrun_validate {

std::string stringOf(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* v = memberOf(object, key);
  return v && v->IsString() ? std::string(v->GetString(), v->GetStringLength()) : std::string();
}

const rapidjson::Value* memberOf(const rapidjson::Value& object, const char* key) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(key);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

const IndexedItem* ItemIndex::find(const std::string& id) const {
  auto it = byId.find(id);
  return it == byId.end() ? nullptr : &items[it->second];
}

std::vector<std::string> ItemIndex::ids(bool sketches, bool features) const {
  std::vector<std::string> out;
  for (const IndexedItem& item : items) {
    if (item.sketch ? sketches : features) out.push_back(item.id);
  }
  return out;
}

std::vector<std::string> ItemIndex::vertexIds() const {
  std::vector<std::string> out;
  for (const auto& [id, g] : geometries) {
    if (g.type == "vertex") out.push_back(id);
  }
  return out;
}

namespace {

std::string unusedId(const ItemIndex& index, const std::string& id) {
  for (int n = 2;; ++n) {
    const std::string candidate = id + "_" + std::to_string(n);
    if (!index.byId.count(candidate)) return candidate;
  }
}

void indexGeometries(ItemIndex& index, const IndexedItem& sketch) {
  const rapidjson::Value* geometries = memberOf(*sketch.json, "geometries");
  if (!geometries || !geometries->IsArray()) return;
  for (rapidjson::SizeType g = 0; g < geometries->Size(); ++g) {
    const rapidjson::Value& geometry = (*geometries)[g];
    const std::string id = stringOf(geometry, "id");
    if (id.empty() || !memberOf(geometry, "type") || !geometry["type"].IsString()) continue;
    const std::string pointer = sketch.pointer + "/geometries/" + std::to_string(g);
    index.geometries.emplace(
        id, IndexedGeometry{&geometry, pointer, sketch.id, stringOf(geometry, "type")});
  }
}

}  // namespace

ItemIndex indexItems(const rapidjson::Value& list, const std::string& pointer,
                     std::vector<Problem>& out) {
  ItemIndex index;
  for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
    const rapidjson::Value& item = list[i];
    IndexedItem entry{&item, pointer + "/" + std::to_string(i), stringOf(item, "id"),
                      stringOf(item, "type"), false};
    if (entry.id.empty() || entry.type.empty()) continue;  // the schema names these
    entry.sketch = entry.type == "sketch" || entry.type == "Sketch";
    if (const IndexedItem* first = index.find(entry.id)) {
      out.push_back({entry.pointer + "/id", entry.id,
                     "duplicate id \"" + entry.id + "\": the item at " + first->pointer +
                         " has it, so this one would be skipped",
                     "give it an id of its own, e.g. \"" + unusedId(index, entry.id) + "\""});
      continue;
    }
    index.byId.emplace(entry.id, index.items.size());
    index.items.push_back(entry);
  }
  for (const IndexedItem& item : index.items) {
    if (item.sketch) indexGeometries(index, item);
  }
  for (const IndexedItem& item : index.items) index.geometries.erase(item.id);
  return index;
}

}  // namespace kestrun_validate
