// The report document, in the shapes `kestrun draw --report` writes (its summary and its
// items), written by hand: the add-in carries no JSON library.
#include <charconv>
#include <cmath>
#include <cstring>

#include "vantrel/draw_report.h"
#include "vantrel/reply_text.h"

namespace vantrel {
namespace {

void Quoted(std::string& out, const std::string& text) {
  out += '"';
  out += EscapeJsonReplyString(text);
  out += '"';
}

void Number(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof(buffer), value);
  out.append(buffer, end.ptr);
}

void OptionalNumber(std::string& out, const std::optional<double>& value) {
  if (value) {
    Number(out, *value);
  } else {
    out += "null";
  }
}

void Texts(std::string& out, const std::vector<std::string>& texts) {
  out += '[';
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ',';
    Quoted(out, texts[i]);
  }
  out += ']';
}

std::string FieldText(const char (&field)[512]) {
  return std::string(field, strnlen(field, sizeof(field)));
}

void Result(std::string& out, const MardelImportResult& r) {
  out += "{\"status\":" + std::to_string(r.status) +
         ",\"errorCode\":" + std::to_string(r.errorCode) +
         ",\"hasWarnings\":" + std::to_string(r.hasWarnings) +
         ",\"createdCount\":" + std::to_string(r.createdCount) + ",\"message\":";
  Quoted(out, FieldText(r.message));
  out += ",\"warning\":";
  Quoted(out, FieldText(r.warning));
  out += '}';
}

bool HasReason(int32_t outcome) {
  return outcome == MARDEL_ITEM_NEVER_REACHED || outcome == MARDEL_ITEM_SKIPPED ||
         outcome == MARDEL_ITEM_UNSUPPORTED || outcome == MARDEL_ITEM_NO_EFFECT;
}

// What the outcome says: the reason, else the first error line, else the first line. Where in
// the document it lies is left to the page, which holds the document.
std::string ProblemMessage(const DrawReportItem& item) {
  if (HasReason(item.outcome) && !item.reason.empty()) return item.reason;
  for (const std::string& m : item.messages) {
    if (m.rfind("error", 0) == 0 || m.find("ERROR") != std::string::npos) return m;
  }
  if (!item.messages.empty()) return item.messages.front();
  return item.outcome == MARDEL_ITEM_FAILED ? "the item failed without a message"
                                            : "the core warned about the item";
}

void Problem(std::string& out, const DrawReportItem& item) {
  out +=
      ",\"problem\":{\"pointer\":\"\",\"key\":\"\",\"expected\":\"\",\"suggestion\":\"\","
      "\"message\":";
  Quoted(out, ProblemMessage(item));
  out += '}';
}

void Item(std::string& out, const DrawReportItem& item) {
  out += "{\"id\":";
  Quoted(out, item.id);
  out += ",\"type\":";
  Quoted(out, item.type);
  out += ",\"name\":";
  Quoted(out, item.name);
  out += ",\"outcome\":\"";
  out += DrawReportOutcomeWord(item.outcome);
  out += "\",\"messages\":";
  Texts(out, item.messages);
  out += ",\"objects\":";
  Texts(out, item.objects);
  out += ",\"body\":";
  if (item.body) {
    Quoted(out, *item.body);
  } else {
    out += "null";
  }
  out += ",\"seconds\":";
  Number(out, item.seconds);
  out += ",\"volume\":";
  OptionalNumber(out, item.volume);
  out += ",\"reason\":";
  if (HasReason(item.outcome)) {
    Quoted(out, item.reason);
  } else {
    out += "null";
  }
  if (item.outcome != MARDEL_ITEM_BUILT) Problem(out, item);
  if (!item.descriptors.empty()) {
    // Each is one JSON object, written by the core.
    out += ",\"descriptors\":[";
    for (size_t i = 0; i < item.descriptors.size(); ++i)
      out += (i ? "," : "") + item.descriptors[i];
    out += ']';
  }
  out += '}';
}

void Count(std::string& out, const char* key, size_t n) {
  out += ",\"";
  out += key;
  out += "\":" + std::to_string(n);
}

void Summary(std::string& out, const std::vector<DrawReportItem>& items,
             const MardelImportResult& result, double seconds,
             const std::optional<double>& volume) {
  size_t counts[7] = {};
  for (const DrawReportItem& item : items)
    ++counts[item.outcome >= 0 && item.outcome < 7 ? item.outcome : 0];
  const bool fallback = std::strcmp(result.message, "Fixed cylinder created.") == 0;
  const bool empty = !fallback && items.empty() && result.status != MARDEL_STATUS_FAILED;
  out += "{\"items\":" + std::to_string(items.size());
  Count(out, "built", counts[MARDEL_ITEM_BUILT]);
  Count(out, "warned", counts[MARDEL_ITEM_WARNED]);
  Count(out, "failed", counts[MARDEL_ITEM_FAILED]);
  Count(out, "skipped", counts[MARDEL_ITEM_SKIPPED]);
  Count(out, "neverReached", counts[MARDEL_ITEM_NEVER_REACHED]);
  Count(out, "unsupported", counts[MARDEL_ITEM_UNSUPPORTED]);
  Count(out, "noEffect", counts[MARDEL_ITEM_NO_EFFECT]);
  out += std::string(",\"fallback\":") + (fallback ? "true" : "false");
  out += std::string(",\"empty\":") + (empty ? "true" : "false");
  out += ",\"seconds\":";
  Number(out, seconds > 0 ? seconds : 0);
  out += ",\"volume\":";
  OptionalNumber(out, volume);
  out += '}';
}

}  // namespace

std::string DrawReport::Json() const {
  std::string out = "{\"result\":";
  Result(out, result_);
  out += ",\"summary\":";
  Summary(out, items_, result_, seconds_, volume_);
  out += ",\"items\":[";
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out += ',';
    Item(out, items_[i]);
  }
  out += "]}";
  return out;
}

}  // namespace vantrel
