#include "cli/validate/validate.h"

#include <exception>
#include <set>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "validate/geometry_rules.h"
#include "validate/json_text.h"
#include "validate/library_check.h"
#include "validate/reference_rules.h"
#include "validate/schema_walk.h"
#include "validate/schemas.h"
#include "validate/suggest.h"

namespace kestrun_validate {

namespace {

// The core refuses JSON nested deeper than this; the checks recurse once per level.
constexpr std::size_t kMaxDepth = 512;

const rapidjson::Document& schema(bool product) {
  static const rapidjson::Document part = [] {
    rapidjson::Document d;
    d.Parse(partSchemaText());
    return d;
  }();
  static const rapidjson::Document assembly = [] {
    rapidjson::Document d;
    d.Parse(productSchemaText());
    return d;
  }();
  return product ? assembly : part;
}

std::size_t depthOf(const rapidjson::Value& root) {
  std::vector<std::pair<const rapidjson::Value*, std::size_t>> pending{{&root, 1}};
  std::size_t deepest = 0;
  while (!pending.empty()) {
    auto [v, depth] = pending.back();
    pending.pop_back();
    if (!v->IsObject() && !v->IsArray()) continue;
    deepest = std::max(deepest, depth);
    if (deepest > kMaxDepth) return deepest;
    if (v->IsObject()) {
      for (const auto& m : v->GetObject()) pending.push_back({&m.value, depth + 1});
    } else {
      for (const auto& e : v->GetArray()) pending.push_back({&e, depth + 1});
    }
  }
  return deepest;
}

const rapidjson::Value* arrayAt(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* v = memberOf(object, key);
  return v && v->IsArray() ? v : nullptr;
}

bool isProduct(const rapidjson::Value& root) {
  if (!root.IsObject()) return false;
  const std::string mode = stringOf(root, "mode");
  if (mode == "product") return true;
  if (mode == "part") return false;
  return !arrayAt(root, "flatNode") && !arrayAt(root, "sequences") && arrayAt(root, "partList");
}

// The pointers of the items (".../flatNode/3") that have a schema problem.
std::set<std::string> brokenItems(const std::vector<Problem>& problems, const std::string& list) {
  std::set<std::string> out;
  for (const Problem& p : problems) {
    if (p.pointer.rfind(list + "/", 0) != 0) continue;
    const std::size_t end = p.pointer.find('/', list.size() + 1);
    out.insert(p.pointer.substr(0, end));
  }
  return out;
}

void checkItemList(const rapidjson::Value& owner, const std::string& at,
                   const std::vector<Problem>& schemaProblems, std::vector<Problem>& out) {
  const char* key = arrayAt(owner, "flatNode") ? "flatNode" : "sequences";
  const rapidjson::Value* list = owner.IsArray() ? &owner : arrayAt(owner, key);
  const std::string pointer = owner.IsArray() ? at : at + "/" + key;
  if (!list) {
    for (const Problem& p : schemaProblems) {
      if (p.suggestion == didYouMean("flatNode")) return;
    }
    out.push_back(
        {at, "",
         "no item list: a part needs \"flatNode\": [items] (without one the core draws its "
         "300 x 500 mm fallback cylinder)",
         "add \"flatNode\": [...] with the sketches and features"});
    return;
  }
  if (list->Empty()) {
    out.push_back({pointer, "", "the item list is empty: nothing would be drawn", ""});
    return;
  }
  ItemIndex index = indexItems(*list, pointer, out);
  checkReferences(index, out);
  checkCycles(index, out);
  checkGeometry(index, brokenItems(schemaProblems, pointer), out);
  if (const rapidjson::Value* colors = arrayAt(owner, "bodyColors"))
    checkBodyColors(index, *colors, at + "/bodyColors", out);
}

void checkProduct(const rapidjson::Value& root, const std::vector<Problem>& schemaProblems,
                  std::vector<Problem>& out) {
  const rapidjson::Value* list = arrayAt(root, "partList");
  if (!list) return;  // the schema says it is required
  std::map<std::string, const rapidjson::Value*> own;
  std::vector<std::string> ids;
  for (const auto& entry : list->GetArray()) {
    const std::string id = stringOf(entry, "id");
    if (!id.empty() && (arrayAt(entry, "flatNode") || arrayAt(entry, "sequences")))
      own.emplace(id, &entry);
    ids.push_back(id);
  }
  std::set<std::string> seen;
  for (rapidjson::SizeType i = 0; i < list->Size(); ++i) {
    const rapidjson::Value& entry = (*list)[i];
    const std::string at = "/partList/" + std::to_string(i), id = stringOf(entry, "id");
    if (!id.empty() && !seen.insert(id).second)
      out.push_back({at + "/id", id, "duplicate entry id \"" + id + "\"", ""});
    const std::string ref = stringOf(entry, "refId");
    if (!ref.empty()) {
      if (!own.count(ref)) {
        std::vector<std::string> names;
        for (const auto& [name, e] : own) names.push_back(name);
        const std::string near = nearest(ref, names);
        out.push_back({at + "/refId", id, "\"" + ref + "\" names no entry with a part of its own",
                       near.empty() ? std::string() : didYouMean(near)});
      }
    } else if (entry.IsObject()) {
      checkItemList(entry, at, schemaProblems, out);
    }
  }
}

// The document as the schema sees it: a bare item list is read as the "flatNode" of a part.
const rapidjson::Value& schemaTarget(const rapidjson::Document& document,
                                     rapidjson::Document& wrapped) {
  if (!document.IsArray()) return document;
  wrapped.SetObject();
  wrapped.AddMember("flatNode", rapidjson::Value(document, wrapped.GetAllocator()),
                    wrapped.GetAllocator());
  return wrapped;
}

Validation validateDocument(const rapidjson::Document& document) {
  Validation v;
  if (depthOf(document) > kMaxDepth) {
    v.readable = false;
    v.problems.push_back({"", "", "nested deeper than 512 levels of arrays and objects", ""});
    return v;
  }
  const bool product = isProduct(document);
  const rapidjson::Document& s = schema(product);
  rapidjson::Document wrapped;
  const rapidjson::Value* target = &schemaTarget(document, wrapped);
  std::vector<Problem> found;
  SchemaWalk(s).checkRoot(*target, found);
  if (found.empty()) libraryCheck(s, *target, found);
  if (document.IsArray()) {
    for (Problem& p : found) p.pointer.erase(0, std::string("/flatNode").size());
  }
  std::vector<Problem> rules;
  if (product) {
    checkProduct(document, found, rules);
  } else if (document.IsObject() || document.IsArray()) {
    checkItemList(document, "", found, rules);
  }
  v.problems = std::move(found);
  v.problems.insert(v.problems.end(), rules.begin(), rules.end());
  return v;
}

}  // namespace

Validation validateText(std::string_view text) {
  try {
    rapidjson::Document document;
    Problem problem;
    if (!parseStrict(text, document, problem)) {
      Validation v;
      v.readable = false;
      v.problems.push_back(problem);
      return v;
    }
    return validateDocument(document);
  } catch (const std::exception& e) {
    Validation v;
    v.readable = false;
    v.problems.push_back(
        {"", "", std::string("the document could not be checked: ") + e.what(), ""});
    return v;
  }
}

std::vector<Problem> schemaWalkProblems(std::string_view text) {
  rapidjson::Document document, wrapped;
  Problem unused;
  std::vector<Problem> out;
  if (!parseStrict(text, document, unused) || depthOf(document) > kMaxDepth) return out;
  SchemaWalk(schema(isProduct(document))).checkRoot(schemaTarget(document, wrapped), out);
  return out;
}

std::vector<Problem> libraryProblems(std::string_view text) {
  rapidjson::Document document, wrapped;
  Problem unused;
  std::vector<Problem> out;
  if (!parseStrict(text, document, unused) || depthOf(document) > kMaxDepth) return out;
  libraryCheck(schema(isProduct(document)), schemaTarget(document, wrapped), out);
  return out;
}

std::string pointerToken(const std::string& key) {
  std::string out;
  for (char c : key) {
    if (c == '~')
      out += "~0";
    else if (c == '/')
      out += "~1";
    else
      out += c;
  }
  return out;
}

std::string validationJson(const Validation& validation) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> w(buffer);
  w.StartObject();
  w.Key("valid");
  w.Bool(validation.valid());
  w.Key("problems");
  w.StartArray();
  for (const Problem& p : validation.problems) {
    w.StartObject();
    w.Key("pointer");
    w.String(p.pointer.c_str(), static_cast<rapidjson::SizeType>(p.pointer.size()));
    w.Key("item");
    w.String(p.item.c_str(), static_cast<rapidjson::SizeType>(p.item.size()));
    w.Key("message");
    w.String(p.message.c_str(), static_cast<rapidjson::SizeType>(p.message.size()));
    w.Key("suggestion");
    w.String(p.suggestion.c_str(), static_cast<rapidjson::SizeType>(p.suggestion.size()));
    if (p.line > 0) {
      w.Key("line");
      w.Int(p.line);
      w.Key("column");
      w.Int(p.column);
    }
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

int validationExitStatus(const Validation& validation) {
  if (!validation.readable) return 2;
  return validation.problems.empty() ? 0 : 1;
}

}  // namespace kestrun_validate
