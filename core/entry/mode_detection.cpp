#include "entry/mode_detection.h"

#include <cstring>

namespace kestrun {

namespace {

bool hasArrayMember(const rapidjson::Value& object, const char* name) {
  auto it = object.FindMember(name);
  return it != object.MemberEnd() && it->value.IsArray();
}

ImportMode explicitMode(const rapidjson::Value& root) {
  if (!root.IsObject()) return ImportMode::None;
  auto it = root.FindMember("mode");
  if (it == root.MemberEnd() || !it->value.IsString()) return ImportMode::None;
  const rapidjson::Value& v = it->value;
  auto equals = [&v](const char* text) {
    return v.GetStringLength() == std::strlen(text) &&
           std::memcmp(v.GetString(), text, v.GetStringLength()) == 0;
  };
  if (equals("part")) return ImportMode::Part;
  if (equals("product")) return ImportMode::Product;
  return ImportMode::None;
}

}  // namespace

ImportMode detectMode(const rapidjson::Value& root, int requested) {
  if (requested == 1) return ImportMode::Part;
  if (requested == 2) return ImportMode::Product;
  const ImportMode named = explicitMode(root);
  if (named != ImportMode::None) return named;

  const bool partLike =
      root.IsArray() ||
      (root.IsObject() && (hasArrayMember(root, "flatNode") || hasArrayMember(root, "sequences")));
  const bool productLike = root.IsObject() && hasArrayMember(root, "partList");
  if (partLike && !productLike) return ImportMode::Part;
  if (productLike && !partLike) return ImportMode::Product;
  return ImportMode::None;
}

}  // namespace kestrun
