#include "check_summary.h"

#include <rapidjson/document.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/result_json.h"

namespace kestrun_app {
namespace {

const char* const kStatuses[] = {"ok",       "warnings",   "failed",    "crashed",
                                 "timedOut", "unreadable", "notWritten"};

std::string number(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

long long memberInt(const rapidjson::Value& object, const char* key) {
  auto it = object.FindMember(key);
  return it != object.MemberEnd() && it->value.IsInt64() ? it->value.GetInt64() : -1;
}

std::string memberText(const rapidjson::Value& object, const char* key) {
  auto it = object.FindMember(key);
  return it != object.MemberEnd() && it->value.IsString() ? it->value.GetString() : "";
}

// The status the import reported, -1 when the record is missing or not one of ours.
int readResult(const rapidjson::Value& result, FileRow& row) {
  if (!result.IsObject()) return -1;
  const long long status = memberInt(result, "status");
  if (status < 0 || status > 2) return -1;
  row.message = memberText(result, "message");
  // A file that is not JSON at all is unreadable rather than a part that failed.
  if (row.message == "JSON parse failed.") {
    row.status = "unreadable";
    row.message += " " + memberText(result, "warning");
  } else {
    row.status = kStatuses[status];
  }
  return static_cast<int>(status);
}

bool memberBool(const rapidjson::Value& object, const char* key) {
  auto it = object.FindMember(key);
  return it != object.MemberEnd() && it->value.IsBool() && it->value.GetBool();
}

void readSummary(const rapidjson::Value& s, FileRow& row) {
  row.items = memberInt(s, "items");
  row.built = memberInt(s, "built");
  row.warned = memberInt(s, "warned");
  if (row.built >= 0 && row.warned > 0) row.built += row.warned;
  row.failed = memberInt(s, "failed");
  row.skipped = memberInt(s, "skipped");
  row.neverReached = memberInt(s, "neverReached");
  row.noEffect = memberInt(s, "noEffect");
  row.unsupported = memberInt(s, "unsupported");
  row.fallback = memberBool(s, "fallback");
  row.empty = memberBool(s, "empty");
  auto volume = s.FindMember("volume");
  if (volume != s.MemberEnd() && volume->value.IsNumber()) row.volume = volume->value.GetDouble();
}

// What an item's report says of it: its problem, else its first message, else its reason.
std::string itemMessage(const rapidjson::Value& item) {
  auto problem = item.FindMember("problem");
  if (problem != item.MemberEnd() && problem->value.IsObject()) {
    std::string text = memberText(problem->value, "message");
    const std::string fix = memberText(problem->value, "suggestion");
    const std::string at = memberText(problem->value, "pointer");
    if (!at.empty()) text = at + ": " + text;
    if (!fix.empty()) text += " (" + fix + ")";
    return text;
  }
  auto messages = item.FindMember("messages");
  if (messages != item.MemberEnd() && messages->value.IsArray() && !messages->value.Empty() &&
      messages->value[0].IsString())
    return messages->value[0].GetString();
  return memberText(item, "reason");
}

// The first failed item, else the first that did not simply build.
void readFirstItem(const rapidjson::Value& items, FileRow& row) {
  if (!items.IsArray()) return;
  const rapidjson::Value* first = nullptr;
  for (const auto& item : items.GetArray()) {
    if (!item.IsObject()) continue;
    const std::string outcome = memberText(item, "outcome");
    if (outcome == "failed") {
      first = &item;
      break;
    }
    if (!first && outcome != "built") first = &item;
  }
  if (!first) return;
  row.firstItem = memberText(*first, "id");
  row.firstItemMessage = itemMessage(*first);
}

// Where a text that is not JSON stopped being JSON, from the report's own problems.
std::string parseStop(const rapidjson::Document& report) {
  auto problems = report.FindMember("problems");
  if (problems == report.MemberEnd() || !problems->value.IsArray()) return "";
  for (const auto& p : problems->value.GetArray()) {
    const long long line = p.IsObject() ? memberInt(p, "line") : -1;
    if (line > 0)
      return " (line " + std::to_string(line) + ", column " +
             std::to_string(memberInt(p, "column")) + ")";
  }
  return "";
}

// Items and volume from the report's summary; its result record when stdout had none.
bool readReport(const std::string& text, FileRow& row, bool haveResult) {
  rapidjson::Document report;
  if (text.empty() || report.Parse(text.c_str()).HasParseError() || !report.IsObject())
    return false;
  auto summary = report.FindMember("summary");
  if (summary != report.MemberEnd() && summary->value.IsObject()) readSummary(summary->value, row);
  auto items = report.FindMember("items");
  if (items != report.MemberEnd()) readFirstItem(items->value, row);
  auto result = report.FindMember("result");
  if (!haveResult && result != report.MemberEnd()) readResult(result->value, row);
  if (row.status == "unreadable") row.message += parseStop(report);
  return true;
}

// A draw that went through but built less than it was asked: an item without effect or
// without a handler, a problem the core passed over, the fallback cylinder, an empty list.
bool fellShort(const FileRow& row) {
  return row.warned > 0 || row.noEffect > 0 || row.unsupported > 0 || row.skipped > 0 ||
         row.neverReached > 0 || row.fallback || row.empty;
}

bool readResultRecord(const std::string& text, FileRow& row) {
  rapidjson::Document result;
  if (text.empty() || result.Parse(text.c_str()).HasParseError()) return false;
  return readResult(result, row) >= 0;
}

// What the record says of the first file the child could not write; empty when none.
std::string outputError(const std::string& resultText) {
  rapidjson::Document result;
  if (resultText.empty() || result.Parse(resultText.c_str()).HasParseError() || !result.IsObject())
    return "";
  for (const char* key : {"reportError", "stepError", "gltfError", "stlError"}) {
    std::string text = memberText(result, key);
    if (!text.empty()) return text;
  }
  return "";
}

// A child that ended by itself: what it wrote says how the import went.
void classifyExited(const ChildRun& run, FileRow& row) {
  const int code = run.outcome.exitCode;
  if (code == 64) {
    row.report.clear();
    row.status = "unreadable";
    row.message = "the file could not be read";
    return;
  }
  const bool haveResult = readResultRecord(run.resultText, row);
  const bool haveReport = readReport(run.reportText, row, haveResult);
  if (!haveReport) row.report.clear();
  // The drawing went through but the child could not write what it was asked to: not a
  // success, whatever the record's own status says.
  if (code == kOutputNotWritten && (row.status.empty() || succeeded(row))) {
    row.status = "notWritten";
    row.message = outputError(run.resultText);
    if (row.message.empty()) row.message = "an output could not be written";
    return;
  }
  if (row.status == "ok" && fellShort(row)) row.status = "warnings";
  if (row.firstItemMessage.empty() && (row.fallback || row.empty))
    row.firstItemMessage = row.fallback ? "no item list: the fallback cylinder was drawn"
                                        : "the item list is empty: nothing was drawn";
  if (!row.status.empty()) return;
  if (code >= 0 && code <= 2) {
    row.status = kStatuses[code];
    row.message = "no result record";
  } else {
    row.status = "crashed";
    row.message = "exit status " + std::to_string(code);
  }
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string known(long long value) {
  return value < 0 ? "" : std::to_string(value);
}

std::string jsonKnown(long long value) {
  return value < 0 ? "null" : std::to_string(value);
}

std::string volumeText(double volume, const char* unknown) {
  return volume < 0 ? unknown : number(volume, "%.10g");
}

std::string csv(const std::vector<FileRow>& rows) {
  std::string out =
      "file,status,items,built,failed,seconds,peakMemoryKiB,volume,report,message,warned,"
      "skipped,neverReached,noEffect,unsupported,firstItem,firstItemMessage\n";
  for (const FileRow& r : rows) {
    out += csvField(r.file) + "," + r.status + "," + known(r.items) + "," + known(r.built) + "," +
           known(r.failed) + "," + number(r.seconds, "%.3f") + "," +
           std::to_string(r.peakMemoryKiB) + "," + volumeText(r.volume, "") + "," +
           csvField(r.report) + "," + csvField(r.message) + "," + known(r.warned) + "," +
           known(r.skipped) + "," + known(r.neverReached) + "," + known(r.noEffect) + "," +
           known(r.unsupported) + "," + csvField(r.firstItem) + "," + csvField(r.firstItemMessage) +
           "\n";
  }
  return out;
}

std::string jsonRow(const FileRow& r) {
  return "{\"file\":\"" + escapeJson(r.file.c_str()) + "\",\"status\":\"" + r.status +
         "\",\"items\":" + jsonKnown(r.items) + ",\"built\":" + jsonKnown(r.built) +
         ",\"failed\":" + jsonKnown(r.failed) + ",\"seconds\":" + number(r.seconds, "%.3f") +
         ",\"peakMemoryKiB\":" + std::to_string(r.peakMemoryKiB) +
         ",\"volume\":" + volumeText(r.volume, "null") +
         ",\"report\":" + (r.report.empty() ? "null" : "\"" + escapeJson(r.report.c_str()) + "\"") +
         ",\"message\":\"" + escapeJson(r.message.c_str()) +
         "\",\"warned\":" + jsonKnown(r.warned) + ",\"skipped\":" + jsonKnown(r.skipped) +
         ",\"neverReached\":" + jsonKnown(r.neverReached) +
         ",\"noEffect\":" + jsonKnown(r.noEffect) + ",\"unsupported\":" + jsonKnown(r.unsupported) +
         ",\"fallback\":" + (r.fallback ? "true" : "false") +
         ",\"empty\":" + (r.empty ? "true" : "false") + ",\"firstItem\":\"" +
         escapeJson(r.firstItem.c_str()) + "\",\"firstItemMessage\":\"" +
         escapeJson(r.firstItemMessage.c_str()) + "\"}";
}

std::string json(const std::vector<FileRow>& rows, const BatchInfo& batch) {
  std::map<std::string, int> counts;
  for (const char* status : kStatuses) counts[status] = 0;
  for (const FileRow& r : rows) ++counts[r.status];
  std::string out = "{\"files\":" + std::to_string(rows.size()) +
                    ",\"jobs\":" + std::to_string(batch.jobs) +
                    ",\"timeoutSeconds\":" + number(batch.timeoutSeconds, "%g") +
                    ",\"seconds\":" + number(batch.seconds, "%.3f") + ",\"counts\":{";
  for (const char* status : kStatuses)
    out += std::string(status == kStatuses[0] ? "" : ",") + "\"" + status +
           "\":" + std::to_string(counts[status]);
  out += "},\"rows\":[";
  for (size_t i = 0; i < rows.size(); ++i) out += (i ? ",\n" : "\n") + jsonRow(rows[i]);
  return out + "\n]}\n";
}

bool writeFile(const std::string& path, const std::string& text, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  if (error) *error = "cannot write " + path;
  return false;
}

}  // namespace

FileRow classify(const std::string& file, const std::string& report, const ChildRun& run) {
  FileRow row;
  row.file = file;
  row.report = report;
  row.seconds = run.outcome.seconds;
  row.peakMemoryKiB = run.outcome.peakMemoryKiB;
  if (run.outcome.exited) {
    classifyExited(run, row);
    return row;
  }
  row.report.clear();
  if (!run.startError.empty()) {
    row.status = "crashed";
    row.message = run.startError;
  } else if (run.timedOut) {
    row.status = "timedOut";
    row.message = "stopped after " + number(run.timeoutSeconds, "%g") + " s";
  } else {
    row.status = "crashed";
    row.message = "ended by signal " + std::to_string(run.outcome.signal) + " (" +
                  strsignal(run.outcome.signal) + ")";
  }
  return row;
}

bool succeeded(const FileRow& row) {
  return row.status == "ok" || row.status == "warnings";
}

bool writeSummary(const std::string& dir, const std::vector<FileRow>& rows, const BatchInfo& batch,
                  std::string* error) {
  return writeFile(dir + "/summary.csv", csv(rows), error) &&
         writeFile(dir + "/summary.json", json(rows, batch), error);
}

}  // namespace kestrun_app
