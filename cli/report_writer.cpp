#include "cli/report_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "host/document.h"
#include "host/part.h"
#include "host/solid_volume.h"
#include "vantrel/draw_report.h"

namespace kestrun_app {

namespace {

std::string textOf(const MardelText& text) {
  return text.text ? std::string(text.text, text.size) : std::string();
}

ReportItem itemOf(const MardelItemReport& in) {
  ReportItem item;
  item.id = textOf(in.id);
  item.type = textOf(in.type);
  item.name = textOf(in.name);
  item.outcome = in.outcome;
  for (std::uint64_t i = 0; i < in.messageCount; ++i)
    item.messages.push_back(textOf(in.messages[i]));
  for (std::uint64_t i = 0; i < in.objectCount; ++i) item.objects.push_back(textOf(in.objects[i]));
  if (in.hasBody) item.body = textOf(in.body);
  if (in.hasVolume && std::isfinite(in.volume)) item.volume = in.volume;
  item.seconds = in.seconds;
  item.reason = textOf(in.reason);
  for (std::uint64_t i = 0; in.descriptors != nullptr && i < in.descriptorCount; ++i)
    item.descriptors.push_back(textOf(in.descriptors[i]));
  return item;
}

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes), or 0.
std::size_t sequenceLength(const unsigned char* p, std::size_t left) {
  const unsigned char c = p[0];
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (left < n || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < n; ++i) {
    if (p[i] < 0x80 || p[i] > 0xBF) return 0;
  }
  return n;
}

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

void string(Writer& w, const std::string& text) {
  const std::string valid = validUtf8(text);
  w.String(valid.data(), static_cast<rapidjson::SizeType>(valid.size()));
}

void key(Writer& w, const char* name) {
  w.Key(name);
}

void optionalNumber(Writer& w, const std::optional<double>& value) {
  if (value && std::isfinite(*value)) {
    w.Double(*value);
  } else {
    w.Null();
  }
}

void strings(Writer& w, const std::vector<std::string>& texts) {
  w.StartArray();
  for (const std::string& text : texts) string(w, text);
  w.EndArray();
}

// The core writes each descriptor as one JSON object; an item's id may carry bytes that are
// not UTF-8, which the report mends as it does every text.
void descriptors(Writer& w, const std::vector<std::string>& texts) {
  w.StartArray();
  for (const std::string& text : texts) {
    const std::string valid = validUtf8(text);
    w.RawValue(valid.data(), valid.size(), rapidjson::kObjectType);
  }
  w.EndArray();
}

void writeSummary(Writer& w, const ReportSummary& s) {
  w.StartObject();
  key(w, "items");
  w.Uint64(s.items);
  key(w, "built");
  w.Uint64(s.built);
  key(w, "warned");
  w.Uint64(s.warned);
  key(w, "failed");
  w.Uint64(s.failed);
  key(w, "skipped");
  w.Uint64(s.skipped);
  key(w, "neverReached");
  w.Uint64(s.neverReached);
  key(w, "unsupported");
  w.Uint64(s.unsupported);
  key(w, "noEffect");
  w.Uint64(s.noEffect);
  key(w, "fallback");
  w.Bool(s.fallback);
  key(w, "empty");
  w.Bool(s.empty);
  key(w, "seconds");
  w.Double(s.seconds);
  key(w, "volume");
  optionalNumber(w, s.volume);
  w.EndObject();
}

void writeProblems(Writer& w, const std::vector<const kestrun_validate::Problem*>& problems) {
  w.StartArray();
  for (const kestrun_validate::Problem* p : problems) {
    w.StartObject();
    key(w, "pointer");
    string(w, p->pointer);
    key(w, "item");
    string(w, p->item);
    key(w, "message");
    string(w, p->message);
    key(w, "suggestion");
    string(w, p->suggestion);
    if (p->line > 0) {
      key(w, "line");
      w.Int(p->line);
      key(w, "column");
      w.Int(p->column);
    }
    w.EndObject();
  }
  w.EndArray();
}

using ProblemList = std::vector<const kestrun_validate::Problem*>;

void writeItemProblem(Writer& w, const ItemProblem& p) {
  w.StartObject();
  key(w, "pointer");
  string(w, p.pointer);
  key(w, "key");
  string(w, p.key);
  key(w, "expected");
  string(w, p.expected);
  key(w, "suggestion");
  string(w, p.suggestion);
  key(w, "message");
  string(w, p.message);
  w.EndObject();
}

// The outcomes whose `reason` says why.
bool hasReason(std::int32_t outcome) {
  return outcome == MARDEL_ITEM_NEVER_REACHED || outcome == MARDEL_ITEM_SKIPPED ||
         outcome == MARDEL_ITEM_UNSUPPORTED || outcome == MARDEL_ITEM_NO_EFFECT;
}

void writeItem(Writer& w, const ReportItem& item, const ProblemList& problems) {
  w.StartObject();
  key(w, "id");
  string(w, item.id);
  key(w, "type");
  string(w, item.type);
  key(w, "name");
  string(w, item.name);
  key(w, "outcome");
  w.String(outcomeWord(item.outcome));
  key(w, "messages");
  strings(w, item.messages);
  key(w, "objects");
  strings(w, item.objects);
  key(w, "body");
  if (item.body) {
    string(w, *item.body);
  } else {
    w.Null();
  }
  key(w, "seconds");
  w.Double(item.seconds);
  key(w, "volume");
  optionalNumber(w, item.volume);
  key(w, "reason");
  if (hasReason(item.outcome)) {
    string(w, item.reason);
  } else {
    w.Null();
  }
  if (item.problem) {
    key(w, "problem");
    writeItemProblem(w, *item.problem);
  }
  if (!problems.empty()) {
    key(w, "problems");
    writeProblems(w, problems);
  }
  if (!item.descriptors.empty()) {
    key(w, "descriptors");
    descriptors(w, item.descriptors);
  }
  w.EndObject();
}

}  // namespace

const char* outcomeWord(std::int32_t outcome) {
  return vantrel::DrawReportOutcomeWord(outcome);
}

void ReportCollector::take(std::int32_t event, const MardelItemReport& item) {
  if (event == MARDEL_REPORT_BEGIN) {
    importStart_ = items_.size();
    return;
  }
  if (event != MARDEL_REPORT_ITEM_DONE) return;
  const std::size_t at = importStart_ + item.index;
  if (at < items_.size()) {
    items_[at] = itemOf(item);  // sent again: a closing update changed it
  } else {
    items_.push_back(itemOf(item));
  }
}

ReportSummary ReportCollector::summary(double seconds, std::optional<double> volume) const {
  ReportSummary s;
  s.items = items_.size();
  for (const ReportItem& item : items_) {
    switch (item.outcome) {
      case MARDEL_ITEM_WARNED:
        ++s.warned;
        break;
      case MARDEL_ITEM_FAILED:
        ++s.failed;
        break;
      case MARDEL_ITEM_SKIPPED:
        ++s.skipped;
        break;
      case MARDEL_ITEM_NEVER_REACHED:
        ++s.neverReached;
        break;
      case MARDEL_ITEM_UNSUPPORTED:
        ++s.unsupported;
        break;
      case MARDEL_ITEM_NO_EFFECT:
        ++s.noEffect;
        break;
      default:
        ++s.built;
    }
  }
  s.seconds = seconds;
  s.volume = volume;
  return s;
}

void flagDocument(ReportSummary& summary, const MardelImportResult& result) {
  summary.fallback = std::strcmp(result.message, "Fixed cylinder created.") == 0;
  summary.empty = !summary.fallback && summary.items == 0 && result.status != MARDEL_STATUS_FAILED;
}

std::string validUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = sequenceLength(p + i, text.size() - i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text, i, n);
      i += n;
    }
  }
  return out;
}

std::optional<double> partSolidsVolume(const std::shared_ptr<host::Document>& document) {
  return vantrel::PartSolidsVolume(document);
}

bool writeText(const std::string& path, const std::string& text, std::string* reason) {
  const bool toStdout = path == "-";
  std::FILE* out = toStdout ? stdout : std::fopen(path.c_str(), "wb");
  if (!out) {
    if (reason) *reason = std::strerror(errno);
    return false;
  }
  errno = 0;
  const bool wrote = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  int error = errno;
  // A full disk often shows only when the buffer is flushed or the file closed.
  const bool closed = toStdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
  if (!closed && error == 0) error = errno;
  if (wrote && closed) return true;
  if (reason) *reason = std::strerror(error ? error : EIO);
  return false;
}

// The problems of each item (by position in `items`), and those of none.
std::vector<ProblemList> problemsByItem(const std::vector<ReportItem>& items,
                                        const std::vector<kestrun_validate::Problem>& problems,
                                        ProblemList& rest) {
  std::vector<ProblemList> out(items.size());
  for (const kestrun_validate::Problem& p : problems) {
    auto it = p.item.empty() ? items.end()
                             : std::find_if(items.begin(), items.end(),
                                            [&](const ReportItem& i) { return i.id == p.item; });
    if (it == items.end()) {
      rest.push_back(&p);
    } else {
      out[static_cast<std::size_t>(it - items.begin())].push_back(&p);
    }
  }
  return out;
}

std::string reportJson(const std::string& file, const std::string& resultObject,
                       const ReportSummary& summary, const std::vector<ReportItem>& items,
                       const std::vector<kestrun_validate::Problem>& problems) {
  ProblemList rest;
  const std::vector<ProblemList> perItem = problemsByItem(items, problems, rest);
  rapidjson::StringBuffer buffer;
  Writer w(buffer);
  w.SetIndent(' ', 2);
  w.StartObject();
  key(w, "file");
  string(w, file);
  key(w, "result");
  const std::string result = validUtf8(resultObject);
  w.RawValue(result.data(), result.size(), rapidjson::kObjectType);
  key(w, "summary");
  writeSummary(w, summary);
  key(w, "items");
  w.StartArray();
  for (std::size_t i = 0; i < items.size(); ++i) writeItem(w, items[i], perItem[i]);
  w.EndArray();
  if (!rest.empty()) {
    key(w, "problems");
    writeProblems(w, rest);
  }
  w.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

}  // namespace kestrun_app
