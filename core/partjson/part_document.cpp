#include "partjson/part_document.h"

#include <cmath>
#include <limits>
#include <unordered_set>

namespace kestrun {

namespace {

const rapidjson::Value* arrayMember(const rapidjson::Value& object, const char* key) {
  auto it = object.FindMember(key);
  return it != object.MemberEnd() && it->value.IsArray() ? &it->value : nullptr;
}

const char* const kArrayReferenceKeys[] = {"features",  "featureIds", "mirrorFeature", "sketches",
                                           "sketchIds", "stetches",   "boolSolids",    "targetIds",
                                           "profile",   "sketchPath", "locations"};
const char* const kStringReferenceKeys[] = {"featureId", "sketchId", "stetchId"};

class ReferenceList {
 public:
  void add(const rapidjson::Value& value) {
    if (!value.IsString()) return;
    std::string id(value.GetString(), value.GetStringLength());
    if (seen_.insert(id).second) ids_.push_back(std::move(id));
  }
  std::vector<std::string> take() { return std::move(ids_); }

 private:
  std::vector<std::string> ids_;
  std::unordered_set<std::string> seen_;
};

// Pre-order walk with an explicit stack: nesting is bounded only by the parser's cap.
void walkForNestedReferences(const rapidjson::Value& item, ReferenceList& refs) {
  std::vector<const rapidjson::Value*> stack{&item};
  while (!stack.empty()) {
    const rapidjson::Value* v = stack.back();
    stack.pop_back();
    if (v->IsObject()) {
      if (const rapidjson::Value* id = stringMember(*v, "featureId")) refs.add(*id);
      if (const rapidjson::Value* parent = stringMember(*v, "parent")) refs.add(*parent);
      for (auto m = v->MemberEnd(); m != v->MemberBegin();) stack.push_back(&(--m)->value);
    } else if (v->IsArray()) {
      for (auto e = v->End(); e != v->Begin();) stack.push_back(--e);
    }
  }
}

bool numberAt(const rapidjson::Value& array, unsigned index, double& out) {
  if (!array[index].IsNumber()) return false;
  out = array[index].GetDouble();
  return true;
}

}  // namespace

const rapidjson::Value* findItemList(const rapidjson::Value& root) {
  if (root.IsArray()) return &root;
  if (!root.IsObject()) return nullptr;
  if (const rapidjson::Value* flat = arrayMember(root, "flatNode")) return flat;
  return arrayMember(root, "sequences");
}

bool isSketchType(std::string_view type) {
  return type == "sketch" || type == "Sketch";
}

std::vector<std::string> collectReferences(const rapidjson::Value& item) {
  ReferenceList refs;
  if (!item.IsObject()) return {};
  for (const char* key : kArrayReferenceKeys) {
    if (const rapidjson::Value* list = arrayMember(item, key)) {
      for (const auto& element : list->GetArray()) refs.add(element);
    }
  }
  for (const char* key : kStringReferenceKeys) {
    if (const rapidjson::Value* id = stringMember(item, key)) refs.add(*id);
  }
  walkForNestedReferences(item, refs);
  return refs.take();
}

std::vector<std::string> geometryIds(const rapidjson::Value& sketchItem) {
  std::vector<std::string> ids;
  if (!stringMember(sketchItem, "id")) return ids;
  const rapidjson::Value* geometries = arrayMember(sketchItem, "geometries");
  if (!geometries) return ids;
  for (const auto& g : geometries->GetArray()) {
    const rapidjson::Value* id = stringMember(g, "id");
    if (stringMember(g, "type") && id && id->GetStringLength() > 0) {
      ids.emplace_back(id->GetString(), id->GetStringLength());
    }
  }
  return ids;
}

std::vector<BodyColor> readBodyColors(const rapidjson::Value& root) {
  std::vector<BodyColor> colors;
  const rapidjson::Value* list = root.IsObject() ? arrayMember(root, "bodyColors") : nullptr;
  if (!list) return colors;
  for (const auto& element : list->GetArray()) {
    const rapidjson::Value* id = stringMember(element, "id");
    const rapidjson::Value* rgb = id ? arrayMember(element, "color") : nullptr;
    if (!rgb || rgb->Size() < 3) continue;
    double c[3];
    if (!numberAt(*rgb, 0, c[0]) || !numberAt(*rgb, 1, c[1]) || !numberAt(*rgb, 2, c[2])) continue;
    auto toInt = [](double v) {
      // Truncation as the host takes it; out-of-range values are clamped, not undefined.
      if (!std::isfinite(v)) return 0;
      if (v >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
      if (v <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
      return static_cast<int>(v);
    };
    colors.push_back({std::string(stringView(*id)), {toInt(c[0]), toInt(c[1]), toInt(c[2])}});
  }
  return colors;
}

bool needPlaneForSketch(const rapidjson::Value& item) {
  auto it = item.IsObject() ? item.FindMember("matrix") : rapidjson::Value::ConstMemberIterator();
  if (!item.IsObject() || it == item.MemberEnd()) return false;
  const rapidjson::Value& m = it->value;
  if (!m.IsArray() || m.Size() != 16) return false;
  double v[7];
  for (unsigned i : {0u, 1u, 2u, 4u, 5u, 6u}) {
    if (!numberAt(m, i, v[i])) return false;
  }
  auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9; };
  const bool identity = near(v[0], 1) && near(v[1], 0) && near(v[2], 0) && near(v[4], 0) &&
                        near(v[5], 1) && near(v[6], 0);
  return !identity;
}

}  // namespace kestrun
