#include "validate/schema_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "validate/suggest.h"

namespace kestrun_validate {

namespace {

std::string text(const rapidjson::Value& v) {
  return v.IsString() ? std::string(v.GetString(), v.GetStringLength()) : std::string();
}

std::string compact(const rapidjson::Value& v) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  v.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

const rapidjson::Value* get(const rapidjson::Value& object, const char* key) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(key);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

Problem below(const Problem& at, const std::string& token) {
  Problem p = at;
  p.pointer += "/" + pointerToken(token);
  return p;
}

Problem with(const Problem& at, std::string message, std::string suggestion = {}) {
  Problem p = at;
  p.message = std::move(message);
  p.suggestion = std::move(suggestion);
  return p;
}

bool isKind(const std::string& kind, const rapidjson::Value& v) {
  if (kind == "object") return v.IsObject();
  if (kind == "array") return v.IsArray();
  if (kind == "string") return v.IsString();
  if (kind == "boolean") return v.IsBool();
  if (kind == "number") return v.IsNumber();
  if (kind == "integer")
    return v.IsInt64() || v.IsUint64() ||
           (v.IsDouble() && std::floor(v.GetDouble()) == v.GetDouble());
  if (kind == "null") return v.IsNull();
  return true;
}

std::string article(const std::string& kind) {
  if (kind == "object" || kind == "array" || kind == "integer") return "an " + kind;
  return "a " + kind;
}

// The number a string starts with, and whether anything follows it.
bool leadingNumber(const std::string& s, std::string& number, bool& unit) {
  const char* begin = s.c_str();
  char* end = nullptr;
  std::strtod(begin, &end);
  if (end == begin) return false;
  number.assign(begin, static_cast<std::size_t>(end - begin));
  while (*end == ' ') ++end;
  unit = *end != '\0';
  return true;
}

// The fix for a value of the wrong kind, when the front end's intent is plain.
std::string kindFix(const std::string& kind, const rapidjson::Value& v) {
  if ((kind == "number" || kind == "integer") && v.IsString()) {
    std::string number;
    bool unit = false;
    if (!leadingNumber(text(v), number, unit)) return {};
    return unit ? "write " + number + " (in mm or degrees, without the unit)"
                : "write " + number + " without quotes";
  }
  if (kind == "integer" && v.IsNumber())
    return "write a whole number, e.g. " + std::to_string(std::llround(v.GetDouble()));
  if (kind == "boolean" && v.IsString() && (text(v) == "true" || text(v) == "false"))
    return "write " + text(v) + " without quotes";
  if (kind == "boolean" && v.IsNumber()) return "write true or false";
  if (kind == "array" && v.IsString()) return "write [" + compact(v) + "]";
  return {};
}

// An object written as an array of numbers ([0, 0, 1] for a direction): the same numbers
// under the object's keys, when it has x, y and z.
std::string objectFromArray(const rapidjson::Value& s, const rapidjson::Value& v) {
  const rapidjson::Value* properties = get(s, "properties");
  if (!v.IsArray() || v.Size() < 2 || v.Size() > 3 || !properties || !get(*properties, "x") ||
      !get(*properties, "y") || !get(*properties, "z"))
    return {};
  std::string out = "write {";
  const char* names[] = {"x", "y", "z"};
  for (rapidjson::SizeType i = 0; i < 3; ++i) {
    if (i < v.Size() && !v[i].IsNumber()) return {};
    out += std::string(i ? ", " : "") + "\"" + names[i] +
           "\": " + (i < v.Size() ? compact(v[i]) : "0");
  }
  return out + "}";
}

std::string joined(const rapidjson::Value& values) {
  std::string out;
  for (const auto& v : values.GetArray()) out += (out.empty() ? "" : ", ") + compact(v);
  return out;
}

// What a schema asks for, in words: its kind, constant or values, and its description
// (on the property itself or on the definition it names).
std::string askedFor(const rapidjson::Value& property, const rapidjson::Value& resolved) {
  std::string out;
  const rapidjson::Value* kind = get(resolved, "type");
  const rapidjson::Value* constant = get(resolved, "const");
  const rapidjson::Value* values = get(resolved, "enum");
  if (constant) {
    out = compact(*constant);
  } else if (values && values->IsArray()) {
    out = "one of " + joined(*values);
  } else if (kind && kind->IsString()) {
    out = article(text(*kind));
  }
  const rapidjson::Value* about = get(property, "description");
  if (!about) about = get(resolved, "description");
  if (about && about->IsString()) out += (out.empty() ? "" : ": ") + text(*about);
  return out;
}

}  // namespace

std::string describe(const rapidjson::Value& v) {
  if (v.IsString()) return "the string " + compact(v);
  if (v.IsNumber()) return "the number " + compact(v);
  if (v.IsBool()) return v.GetBool() ? "true" : "false";
  if (v.IsNull()) return "null";
  return v.IsObject() ? "an object" : "an array";
}

const rapidjson::Value* SchemaWalk::definition(const char* name) const {
  const rapidjson::Value* defs = get(root_, "$defs");
  return defs ? get(*defs, name) : nullptr;
}

std::vector<std::string> SchemaWalk::keysOf(const char* name) const {
  std::vector<std::string> keys;
  const rapidjson::Value* d = definition(name);
  const rapidjson::Value* properties = d ? get(resolve(*d), "properties") : nullptr;
  if (properties && properties->IsObject()) {
    for (const auto& m : properties->GetObject()) keys.push_back(text(m.name));
  }
  return keys;
}

const rapidjson::Value& SchemaWalk::resolve(const rapidjson::Value& schema) const {
  const rapidjson::Value* s = &schema;
  for (int depth = 0; depth < 16; ++depth) {
    const rapidjson::Value* r = get(*s, "$ref");
    if (!r || !r->IsString()) return *s;
    const std::string ref = text(*r);
    const char* prefix = "#/$defs/";
    const rapidjson::Value* next =
        ref.rfind(prefix, 0) == 0 ? definition(ref.c_str() + std::strlen(prefix)) : nullptr;
    if (!next) return *s;
    s = next;
  }
  return *s;
}

std::string SchemaWalk::keyAskedFor(const rapidjson::Value& properties,
                                    const std::string& key) const {
  const rapidjson::Value* property = get(properties, key.c_str());
  return property ? askedFor(*property, resolve(*property)) : std::string();
}

void SchemaWalk::check(const rapidjson::Value& schema, const rapidjson::Value& value,
                       const std::string& pointer, const std::string& item,
                       std::vector<Problem>& out) const {
  Problem at;
  at.pointer = pointer;
  at.item = item;
  at.expected = askedFor(schema, resolve(schema));
  // An item's problems carry its id.
  const rapidjson::Value* r = get(schema, "$ref");
  if (r && r->IsString() && text(*r) == "#/$defs/item") {
    const rapidjson::Value* id = get(value, "id");
    if (id && id->IsString()) at.item = text(*id);
  }
  checkValue(resolve(schema), value, at, out);
}

void SchemaWalk::checkValue(const rapidjson::Value& s, const rapidjson::Value& value,
                            const Problem& at, std::vector<Problem>& out) const {
  if (const rapidjson::Value* branches = get(s, "anyOf")) {
    checkAnyOf(*branches, value, at, out);
    return;
  }
  if (!checkKind(s, value, at, out)) return;
  if (value.IsObject()) checkObject(s, value, at, out);
  if (value.IsArray()) checkArray(s, value, at, out);
}

// The value's kind, constant, enumeration and bounds; false when it is of the wrong kind.
bool SchemaWalk::checkKind(const rapidjson::Value& s, const rapidjson::Value& value,
                           const Problem& at, std::vector<Problem>& out) const {
  if (const rapidjson::Value* kind = get(s, "type"); kind && kind->IsString()) {
    if (!isKind(text(*kind), value)) {
      std::string fix = kindFix(text(*kind), value);
      if (fix.empty() && text(*kind) == "object") fix = objectFromArray(s, value);
      out.push_back(with(at, "expected " + article(text(*kind)) + ", not " + describe(value), fix));
      return false;
    }
  }
  const rapidjson::Value* constant = get(s, "const");
  if (constant && *constant != value) {
    out.push_back(with(at, "expected " + compact(*constant) + ", not " + describe(value)));
    return false;
  }
  const rapidjson::Value* values = get(s, "enum");
  if (values && values->IsArray()) {
    for (const auto& v : values->GetArray()) {
      if (v == value) return true;
    }
    std::vector<std::string> words;
    for (const auto& v : values->GetArray()) {
      if (v.IsString()) words.push_back(text(v));
    }
    const std::string near = value.IsString() ? nearest(text(value), words) : std::string();
    out.push_back(with(at, describe(value) + " is not one of " + joined(*values),
                       near.empty() ? std::string() : didYouMean(near)));
    return false;
  }
  if (value.IsNumber()) {
    const double x = value.GetDouble();
    const rapidjson::Value* min = get(s, "minimum");
    const rapidjson::Value* max = get(s, "maximum");
    const rapidjson::Value* above = get(s, "exclusiveMinimum");
    if (min && min->IsNumber() && x < min->GetDouble())
      out.push_back(with(at, "must be at least " + compact(*min) + ", not " + compact(value)));
    if (max && max->IsNumber() && x > max->GetDouble())
      out.push_back(with(at, "must be at most " + compact(*max) + ", not " + compact(value)));
    if (above && above->IsNumber() && !(x > above->GetDouble()))
      out.push_back(with(at, "must be more than " + compact(*above) + ", not " + compact(value)));
  }
  const rapidjson::Value* minLength = get(s, "minLength");
  if (value.IsString() && minLength && minLength->IsUint() &&
      value.GetStringLength() < minLength->GetUint())
    out.push_back(with(at, "must not be empty"));
  return true;
}

void SchemaWalk::checkObject(const rapidjson::Value& s, const rapidjson::Value& value,
                             const Problem& at, std::vector<Problem>& out) const {
  const rapidjson::Value* properties = get(s, "properties");
  const rapidjson::Value* additional = get(s, "additionalProperties");
  std::vector<std::string> known;
  if (properties && properties->IsObject()) {
    for (const auto& m : properties->GetObject()) known.push_back(text(m.name));
  }
  std::vector<std::string> suggested;
  for (const auto& m : value.GetObject()) {
    const std::string key = text(m.name);
    const rapidjson::Value* sub = properties ? get(*properties, key.c_str()) : nullptr;
    if (sub) {
      check(*sub, m.value, below(at, key).pointer, at.item, out);
    } else if (additional && additional->IsObject()) {
      check(*additional, m.value, below(at, key).pointer, at.item, out);
    } else if (additional && additional->IsFalse()) {
      const std::string near = nearest(key, known);
      if (!near.empty()) suggested.push_back(near);
      Problem p = with(below(at, key), "unknown key \"" + key + "\"",
                       near.empty() ? std::string() : didYouMean(near));
      p.expected = near.empty() ? "no such key: the core ignores it"
                                : "\"" + near + "\", " + keyAskedFor(*properties, near);
      out.push_back(std::move(p));
    }
  }
  const rapidjson::Value* required = get(s, "required");
  if (!required || !required->IsArray()) return;
  for (const auto& r : required->GetArray()) {
    const std::string key = text(r);
    if (value.HasMember(r) || std::find(suggested.begin(), suggested.end(), key) != suggested.end())
      continue;
    Problem p = with(at, "\"" + key + "\" is required");
    p.key = key;
    p.expected = properties ? "\"" + key + "\", " + keyAskedFor(*properties, key) : std::string();
    out.push_back(std::move(p));
  }
}

void SchemaWalk::checkArray(const rapidjson::Value& s, const rapidjson::Value& value,
                            const Problem& at, std::vector<Problem>& out) const {
  const rapidjson::Value* min = get(s, "minItems");
  const rapidjson::Value* max = get(s, "maxItems");
  if (min && min->IsUint() && value.Size() < min->GetUint())
    out.push_back(with(
        at, "needs at least " + compact(*min) + " elements, has " + std::to_string(value.Size())));
  if (max && max->IsUint() && value.Size() > max->GetUint())
    out.push_back(with(at, "may have at most " + compact(*max) + " elements, has " +
                               std::to_string(value.Size())));
  const rapidjson::Value* items = get(s, "items");
  if (!items || !items->IsObject()) return;
  for (rapidjson::SizeType i = 0; i < value.Size(); ++i)
    check(*items, value[i], at.pointer + "/" + std::to_string(i), at.item, out);
}

// A choice among objects told apart by their "type" (an item, a geometry): the branch
// that the value's "type" picks, or the nearest type there is.
bool SchemaWalk::checkByType(const rapidjson::Value& branches, const rapidjson::Value& value,
                             const Problem& at, std::vector<Problem>& out) const {
  std::vector<std::string> types;
  const rapidjson::Value* wanted = get(value, "type");
  for (const auto& b : branches.GetArray()) {
    const rapidjson::Value& branch = resolve(b);
    const rapidjson::Value* properties = get(branch, "properties");
    const rapidjson::Value* type = properties ? get(*properties, "type") : nullptr;
    if (!type) return false;
    const rapidjson::Value* constant = get(*type, "const");
    const rapidjson::Value* values = get(*type, "enum");
    bool picked = constant && wanted && *constant == *wanted;
    if (constant) types.push_back(text(*constant));
    if (values && values->IsArray()) {
      for (const auto& v : values->GetArray()) {
        types.push_back(text(v));
        picked = picked || (wanted && v == *wanted);
      }
    }
    if (picked) {
      checkValue(branch, value, at, out);
      return true;
    }
  }
  std::string list;
  for (const std::string& t : types) list += (list.empty() ? "\"" : ", \"") + t + "\"";
  if (!wanted) {
    Problem p = with(at, "\"type\" is required: one of " + list);
    p.key = "type";
    p.expected = "one of " + list;
    out.push_back(std::move(p));
  } else {
    const std::string near = wanted->IsString() ? nearest(text(*wanted), types) : std::string();
    Problem p =
        with(below(at, "type"), "unsupported type " + compact(*wanted) + "; the types are " + list,
             near.empty() ? std::string() : didYouMean(near));
    p.expected = "one of " + list;
    out.push_back(std::move(p));
  }
  return true;
}

void SchemaWalk::checkAnyOf(const rapidjson::Value& branches, const rapidjson::Value& value,
                            const Problem& at, std::vector<Problem>& out) const {
  if (!branches.IsArray() || branches.Empty()) return;
  if (value.IsObject() && checkByType(branches, value, at, out)) return;
  std::vector<Problem> fitting;
  std::string kinds;
  for (const auto& b : branches.GetArray()) {
    const rapidjson::Value& branch = resolve(b);
    std::vector<Problem> found;
    checkValue(branch, value, at, found);
    if (found.empty()) return;
    const rapidjson::Value* kind = get(branch, "type");
    if (kind && kind->IsString()) {
      const std::string kindText = article(text(*kind));
      if (kinds.find(kindText) == std::string::npos)
        kinds += (kinds.empty() ? "" : " or ") + kindText;
      if (isKind(text(*kind), value) && fitting.empty()) fitting = found;
    }
  }
  if (!fitting.empty()) {
    out.insert(out.end(), fitting.begin(), fitting.end());
    return;
  }
  std::string fix;
  for (const auto& b : branches.GetArray()) {
    if (fix.empty()) fix = objectFromArray(resolve(b), value);
  }
  out.push_back(with(at,
                     "expected " + (kinds.empty() ? std::string("another value") : kinds) +
                         ", not " + describe(value),
                     fix));
}

}  // namespace kestrun_validate
