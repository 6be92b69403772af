#include "cli/item_account.h"

#include <algorithm>
#include <cctype>
#include <regex>

#include <rapidjson/document.h>

#include "validate/item_index.h"
#include "validate/json_text.h"

namespace kestrun_app {

namespace {

using kestrun_validate::Problem;

// One element of an item list of the document.
struct Element {
  std::string pointer, id, type;
  const rapidjson::Value* json = nullptr;
  bool used = false;
};

void listElements(const rapidjson::Value* list, const std::string& at, std::vector<Element>& out) {
  if (!list || !list->IsArray()) return;
  for (rapidjson::SizeType i = 0; i < list->Size(); ++i) {
    const rapidjson::Value& e = (*list)[i];
    out.push_back({at + "/" + std::to_string(i), kestrun_validate::stringOf(e, "id"),
                   kestrun_validate::stringOf(e, "type"), &e, false});
  }
}

// The item lists of a part, of a bare list, or of each part of a product, in document order.
void ownLists(const rapidjson::Value& owner, const std::string& at, std::vector<Element>& out) {
  if (owner.IsArray()) return listElements(&owner, at, out);
  const rapidjson::Value* flat = kestrun_validate::memberOf(owner, "flatNode");
  if (flat && flat->IsArray()) return listElements(flat, at + "/flatNode", out);
  listElements(kestrun_validate::memberOf(owner, "sequences"), at + "/sequences", out);
}

std::vector<Element> elementsOf(const rapidjson::Value& root) {
  std::vector<Element> out;
  ownLists(root, "", out);
  const rapidjson::Value* parts = kestrun_validate::memberOf(root, "partList");
  if (parts && parts->IsArray()) {
    for (rapidjson::SizeType i = 0; i < parts->Size(); ++i)
      ownLists((*parts)[i], "/partList/" + std::to_string(i), out);
  }
  return out;
}

// The element a report item was made from: the first unused one with its id and type.
Element* elementFor(const ReportItem& item, std::vector<Element>& elements) {
  for (Element& e : elements) {
    if (e.used || e.id != item.id || e.type != item.type) continue;
    e.used = true;
    return &e;
  }
  return nullptr;
}

std::string unescaped(const std::string& token) {
  std::string out;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '~' && i + 1 < token.size()) {
      out += token[i + 1] == '1' ? '/' : '~';
      ++i;
    } else {
      out += token[i];
    }
  }
  return out;
}

// The key a pointer names inside its item ("/flatNode/1/sketches/0" in "/flatNode/1" is
// "sketches"); outside any item, its last token that is not an index.
std::string keyAt(const std::string& pointer, const std::string& item) {
  std::string rest = pointer;
  if (!item.empty() && pointer.rfind(item + "/", 0) == 0) {
    rest = pointer.substr(item.size() + 1);
    return unescaped(rest.substr(0, rest.find('/')));
  }
  if (!item.empty() && pointer == item) return "";
  const std::size_t slash = rest.rfind('/');
  const std::string last = slash == std::string::npos ? rest : rest.substr(slash + 1);
  const bool index = !last.empty() && std::all_of(last.begin(), last.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
  return index ? std::string() : unescaped(last);
}

bool inside(const std::string& pointer, const std::string& item) {
  return !item.empty() && (pointer == item || pointer.rfind(item + "/", 0) == 0);
}

// The first problem of the element (by pointer), else the first of the item's id.
const Problem* problemOf(const ReportItem& item, const Element* element,
                         const std::vector<Problem>& problems) {
  for (const Problem& p : problems) {
    if (element && inside(p.pointer, element->pointer)) return &p;
  }
  if (element || item.id.empty()) return nullptr;
  for (const Problem& p : problems) {
    if (p.item == item.id) return &p;
  }
  return nullptr;
}

// The ids of the sketches an item draws from.
std::vector<std::string> profileIds(const rapidjson::Value& item) {
  std::vector<std::string> ids;
  for (const char* key : {"sketches", "profile", "sketchId"}) {
    const rapidjson::Value* v = kestrun_validate::memberOf(item, key);
    if (v && v->IsString()) ids.emplace_back(v->GetString(), v->GetStringLength());
    if (!v || !v->IsArray()) continue;
    for (const auto& e : v->GetArray()) {
      if (e.IsString()) ids.emplace_back(e.GetString(), e.GetStringLength());
    }
  }
  return ids;
}

// A problem in a sketch the item draws from: a failed extrude of an open profile.
const Problem* profileProblem(const Element& element, const std::vector<Element>& elements,
                              const std::vector<Problem>& problems) {
  for (const std::string& id : profileIds(*element.json)) {
    for (const Element& e : elements) {
      if (e.id != id) continue;
      for (const Problem& p : problems) {
        if (inside(p.pointer, e.pointer)) return &p;
      }
    }
  }
  return nullptr;
}

// The key and the fix for an item that was built but did nothing.
void noEffectHint(const ReportItem& item, const Element* element, ItemProblem& out) {
  const std::string boolType =
      element ? kestrun_validate::stringOf(*element->json, "boolType") : std::string();
  if (item.type == "hole") {
    out.key = "locations";
    out.suggestion =
        "put each location on a face of the solid (a point of its surface) and point "
        "\"direction\" into the material";
  } else if (item.type == "shell") {
    out.key = "shellFaces";
    out.suggestion =
        "describe each open face as it lies on the solid: a point on the face and its "
        "outward normal";
  } else if (boolType == "remove") {
    out.key = "boolSolids";
    out.suggestion =
        "place the profile and the limits so that the cut meets the solid it removes from";
  }
  if (!out.key.empty()) out.pointer += "/" + out.key;
}

// Dress-up items whose descriptors found nothing: the key that holds them.
void descriptorHint(const ReportItem& item, ItemProblem& out) {
  if (out.message.find("given faces or edges were found") == std::string::npos) return;
  static const std::map<std::string, std::string> keys = {{"fillet", "filletTopos"},
                                                          {"chamfer", "chamferTopos"},
                                                          {"shell", "shellFaces"},
                                                          {"draft", "draftFaces"}};
  auto it = keys.find(item.type);
  if (it == keys.end()) return;
  out.key = it->second;
  out.pointer += "/" + out.key;
  out.suggestion =
      "describe each one as it lies on the solid: copy the descriptor form of "
      "docs/part-json.md with a point on the face or edge";
}

// The first message worth showing: an error line, else the first line.
std::string firstMessage(const ReportItem& item) {
  for (const std::string& m : item.messages) {
    if (m.rfind("error", 0) == 0 || m.find("ERROR") != std::string::npos) return m;
  }
  return item.messages.empty() ? std::string() : item.messages.front();
}

ItemProblem fromOutcome(const ReportItem& item, const Element* element,
                        const std::map<std::string, std::string>& names) {
  ItemProblem out;
  out.pointer = element ? element->pointer : std::string();
  switch (item.outcome) {
    case MARDEL_ITEM_UNSUPPORTED:
      out.key = "type";
      out.pointer += "/type";
      out.expected = "a type the core builds (see docs/part-json.md)";
      out.message = item.reason;
      break;
    case MARDEL_ITEM_NO_EFFECT:
      out.message = item.reason;
      noEffectHint(item, element, out);
      break;
    case MARDEL_ITEM_NEVER_REACHED:
      out.message = item.reason;
      if (item.reason.rfind("depends on ", 0) == 0)
        out.suggestion = "fix " + item.reason.substr(11, item.reason.find(',') - 11) +
                         " first: its own problem says how";
      break;
    case MARDEL_ITEM_SKIPPED:
      out.message = item.reason;
      break;
    default:
      out.message = inItemTerms(firstMessage(item), names);
      if (out.message.empty())
        out.message = item.outcome == MARDEL_ITEM_FAILED ? "the item failed without a message"
                                                         : "the core warned about the item";
      descriptorHint(item, out);
  }
  return out;
}

// The problem as the report gives it; its key is named inside the item it lies in.
ItemProblem fromProblem(const Problem& p, const std::vector<Element>& elements) {
  std::string owner;
  for (const Element& e : elements) {
    if (inside(p.pointer, e.pointer)) owner = e.pointer;
  }
  ItemProblem out;
  out.pointer = p.pointer;
  out.key = p.key.empty() ? keyAt(p.pointer, owner) : p.key;
  out.expected = p.expected;
  out.suggestion = p.suggestion;
  out.message = p.message;
  return out;
}

bool nameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
}

// `text` with every whole-word `name` replaced by `id`.
std::string replaceWord(const std::string& text, const std::string& name, const std::string& id) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    const bool whole = (at == 0 || !nameCharacter(text[at - 1])) &&
                       (end == text.size() || !nameCharacter(text[end]) ||
                        (text[end] == '.' && (end + 1 == text.size() || text[end + 1] == ' ')));
    if (!whole || at < from) continue;
    out.append(text, from, at - from);
    out += id;
    from = end;
  }
  return out + text.substr(from);
}

}  // namespace

std::map<std::string, std::string> itemsByObjectName(const std::vector<ReportItem>& items) {
  std::map<std::string, std::string> names;
  for (const ReportItem& item : items) {
    if (item.id.empty()) continue;
    for (const std::string& object : item.objects) names.emplace(object, item.id);
    if (!item.name.empty()) names.emplace(item.name, item.id);
  }
  return names;
}

std::string inItemTerms(const std::string& line, const std::map<std::string, std::string>& names) {
  static const std::regex nothing(
      R"(^error: spSpecObj is null after parsing (\w+), name = [^,]*, id = (.*)$)");
  static const std::regex failed(
      R"(^error: exception occurred while parsing (\w+), name = [^,]*, id = (.*)$)");
  static const std::regex found(
      R"(^error: (fallback fillet )?findTopos size = (\d+), expected = (\d+)$)");
  static const std::regex level(R"(^(\(Update\) ERROR : |error: ?|warning: ?|warn: ?)-*)");
  std::string text = std::regex_replace(line, nothing, "$2: the $1 built nothing");
  text = std::regex_replace(text, failed, "$2: the $1 could not be built");
  text =
      std::regex_replace(text, found, "$2 of the $3 given faces or edges were found on the solid");
  text = std::regex_replace(text, level, "");
  std::vector<std::pair<std::string, std::string>> byLength(names.begin(), names.end());
  std::sort(byLength.begin(), byLength.end(),
            [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
  for (const auto& [name, id] : byLength) {
    if (!name.empty() && name != id) text = replaceWord(text, name, id);
  }
  return text;
}

void explainItems(std::vector<ReportItem>& items, const std::vector<Problem>& problems,
                  std::string_view document) {
  rapidjson::Document root;
  Problem unused;
  std::vector<Element> elements;
  if (kestrun_validate::parseStrict(document, root, unused)) elements = elementsOf(root);
  const std::map<std::string, std::string> names = itemsByObjectName(items);
  for (ReportItem& item : items) {
    const Element* element = elementFor(item, elements);
    // An item that waited on a failed one is explained by that one, whatever else it has.
    const bool blocked =
        item.outcome == MARDEL_ITEM_NEVER_REACHED && item.reason.rfind("depends on ", 0) == 0;
    const Problem* p = blocked ? nullptr : problemOf(item, element, problems);
    // A key the core ignores explains an item without effect only when it has a fix
    // ("itemNumbers" for "itemNumber"); else the measured reason says more.
    if (p && item.outcome == MARDEL_ITEM_NO_EFFECT && p->suggestion.empty()) p = nullptr;
    if (!p && element && item.outcome == MARDEL_ITEM_FAILED)
      p = profileProblem(*element, elements, problems);
    if (p) {
      item.problem = fromProblem(*p, elements);
      if (item.outcome == MARDEL_ITEM_BUILT) item.outcome = MARDEL_ITEM_WARNED;
    } else if (item.outcome != MARDEL_ITEM_BUILT) {
      item.problem = fromOutcome(item, element, names);
    }
  }
}

}  // namespace kestrun_app
