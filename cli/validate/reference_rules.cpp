#include "validate/reference_rules.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "validate/suggest.h"

namespace kestrun_validate {

namespace {

enum class Want { Any, Sketch, Feature, Vertex };

// The keys the pipeline orders by, and what each must name.
const std::pair<const char*, Want> kReferenceKeys[] = {
    {"features", Want::Feature},   {"featureIds", Want::Any},    {"mirrorFeature", Want::Any},
    {"sketches", Want::Sketch},    {"sketchIds", Want::Any},     {"stetches", Want::Sketch},
    {"boolSolids", Want::Feature}, {"targetIds", Want::Feature}, {"profile", Want::Sketch},
    {"sketchPath", Want::Sketch},  {"locations", Want::Vertex},  {"featureId", Want::Any},
    {"sketchId", Want::Sketch},    {"stetchId", Want::Sketch},
};

struct Reference {
  std::string id, pointer;
  Want want;
};

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}

// Every id the item names, where, and what it must be.
std::vector<Reference> referencesOf(const IndexedItem& item) {
  std::vector<Reference> refs;
  for (const auto& [key, want] : kReferenceKeys) {
    const rapidjson::Value* v = memberOf(*item.json, key);
    const std::string at = item.pointer + "/" + key;
    if (v && v->IsString()) refs.push_back({stringOf(*item.json, key), at, want});
    if (!v || !v->IsArray()) continue;
    for (rapidjson::SizeType i = 0; i < v->Size(); ++i) {
      if ((*v)[i].IsString())
        refs.push_back({(*v)[i].GetString(), at + "/" + std::to_string(i), want});
    }
  }
  // Descriptors deeper in the item name the feature that made their face or edge.
  std::function<void(const rapidjson::Value&, const std::string&, bool)> walk =
      [&](const rapidjson::Value& v, const std::string& at, bool top) {
        if (v.IsObject()) {
          for (const char* key : {"featureId", "parent"}) {
            const rapidjson::Value* id = memberOf(v, key);
            if (!top && id && id->IsString())
              refs.push_back({id->GetString(), at + "/" + key, Want::Feature});
          }
          for (const auto& m : v.GetObject()) {
            if (m.value.IsObject() || m.value.IsArray())
              walk(m.value, at + "/" + pointerToken(m.name.GetString()), false);
          }
        } else if (v.IsArray()) {
          for (rapidjson::SizeType i = 0; i < v.Size(); ++i)
            walk(v[i], at + "/" + std::to_string(i), false);
        }
      };
  walk(*item.json, item.pointer, true);
  return refs;
}

const char* wantWord(Want want) {
  switch (want) {
    case Want::Sketch:
      return "a sketch";
    case Want::Feature:
      return "a feature item";
    case Want::Vertex:
      return "a vertex geometry";
    default:
      return "an item";
  }
}

std::vector<std::string> candidates(const ItemIndex& index, Want want) {
  if (want == Want::Vertex) return index.vertexIds();
  std::vector<std::string> ids = index.ids(want != Want::Feature, want != Want::Sketch);
  if (want == Want::Any) {
    for (const auto& [id, g] : index.geometries) ids.push_back(id);
  }
  return ids;
}

// Empty when the id is of the wanted kind; otherwise what it is.
std::string mismatch(const ItemIndex& index, const Reference& ref) {
  const IndexedItem* item = index.find(ref.id);
  auto geometry = index.geometries.find(ref.id);
  const bool isGeometry = geometry != index.geometries.end();
  if (!item && !isGeometry) return "names no item";
  switch (ref.want) {
    case Want::Sketch:
      if (item && item->sketch) return {};
      return item ? "names the " + item->type + " item " + quoted(ref.id) + ", not a sketch"
                  : "names a geometry of sketch " + quoted(geometry->second.sketchId) +
                        ", not the sketch";
    case Want::Feature:
      if (item && !item->sketch) return {};
      return item ? "names the sketch " + quoted(ref.id) + ", not a feature item"
                  : "names a geometry, not a feature item";
    case Want::Vertex:
      if (isGeometry && geometry->second.type == "vertex") return {};
      return "names " + std::string(item ? "an item" : "a " + geometry->second.type) +
             ", not a vertex geometry";
    default:
      return {};
  }
}

// ": s1, s2" for the first few ids there are, or "" when there are none.
std::string idsOf(const std::vector<std::string>& ids) {
  std::string out;
  for (std::size_t i = 0; i < ids.size() && i < 8; ++i) out += (i ? ", " : ": ") + quoted(ids[i]);
  if (ids.size() > 8) out += ", ...";
  return out;
}

}  // namespace

void checkReferences(const ItemIndex& index, std::vector<Problem>& out) {
  for (const IndexedItem& item : index.items) {
    for (const Reference& ref : referencesOf(item)) {
      // A hole's own locations may be points; any other item's only order the build.
      if (ref.want == Want::Vertex && item.type != "hole") continue;
      const std::string what = mismatch(index, ref);
      if (what.empty()) continue;
      const std::vector<std::string> named = candidates(index, ref.want);
      const std::string near = nearest(ref.id, named);
      Problem p{ref.pointer, item.id,
                quoted(ref.id) + " " + what + " (" + wantWord(ref.want) + " is wanted)",
                near.empty() ? std::string() : didYouMean(near)};
      p.expected = std::string("the id of ") + wantWord(ref.want) + idsOf(named);
      out.push_back(std::move(p));
    }
  }
}

// Depth first without recursion: a chain of thousands of items must not exhaust the stack.
void checkCycles(const ItemIndex& index, std::vector<Problem>& out) {
  // The item each id stands for: a geometry stands for its sketch.
  auto owner = [&](const std::string& id) -> const IndexedItem* {
    if (const IndexedItem* item = index.find(id)) return item;
    auto g = index.geometries.find(id);
    return g == index.geometries.end() ? nullptr : index.find(g->second.sketchId);
  };
  struct Frame {
    const IndexedItem* item;
    std::vector<Reference> refs;
    std::size_t next = 0;
  };
  std::map<std::string, int> state;  // 1 on the path, 2 done
  for (const IndexedItem& start : index.items) {
    if (state[start.id] != 0) continue;
    std::vector<Frame> path{{&start, referencesOf(start)}};
    state[start.id] = 1;
    while (!path.empty()) {
      Frame& top = path.back();
      if (top.next == top.refs.size()) {
        state[top.item->id] = 2;
        path.pop_back();
        continue;
      }
      const Reference ref = top.refs[top.next++];
      const IndexedItem* next = owner(ref.id);
      if (!next) continue;
      if (state[next->id] == 1) {
        std::string chain;
        bool on = false;
        for (const Frame& f : path) {
          on = on || f.item->id == next->id;
          if (on) chain += f.item->id + " -> ";
        }
        out.push_back({ref.pointer, top.item->id, "reference cycle: " + chain + next->id,
                       "remove " + quoted(ref.id) + " here: an item cannot need itself"});
      } else if (state[next->id] == 0) {
        state[next->id] = 1;
        path.push_back({next, referencesOf(*next)});
      }
    }
  }
}

void checkBodyColors(const ItemIndex& index, const rapidjson::Value& colors,
                     const std::string& pointer, std::vector<Problem>& out) {
  if (!colors.IsArray()) return;
  for (rapidjson::SizeType i = 0; i < colors.Size(); ++i) {
    const std::string id = stringOf(colors[i], "id");
    if (id.empty()) continue;
    const Reference ref{id, pointer + "/" + std::to_string(i) + "/id", Want::Feature};
    const std::string what = mismatch(index, ref);
    if (what.empty()) continue;
    const std::string near = nearest(id, candidates(index, Want::Feature));
    out.push_back({ref.pointer, "", quoted(id) + " " + what + " (a feature item is wanted)",
                   near.empty() ? std::string() : didYouMean(near)});
  }
}

}  // namespace kestrun_validate
