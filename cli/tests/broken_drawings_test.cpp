// Broken documents drawn as a new user draws them (`kestrun draw FILE --report OUT`): none
// crashes or hangs, and each report says what became of the item in the document's terms:
// its outcome, the JSON pointer and key of its problem, and the fix. The cases are in
// data/broken_drawings.json.
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>
#include <vector>

#include "cli_fixture.h"

namespace {

using kestrun_test::readText;
using kestrun_test::writeText;

struct Case {
  std::string name, text, item, outcome, pointer, key, suggestion, expected, message;
  bool second = false, hasKey = false, fallback = false, empty = false;
  int line = 0;
};

std::string compact(const rapidjson::Value& v) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  v.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

std::string member(const rapidjson::Value& v, const char* key) {
  auto it = v.FindMember(key);
  return it != v.MemberEnd() && it->value.IsString() ? it->value.GetString() : "";
}

bool flag(const rapidjson::Value& v, const char* key) {
  auto it = v.FindMember(key);
  return it != v.MemberEnd() && it->value.IsBool() && it->value.GetBool();
}

// The block 0..100 x 0..60 x 0..10: the rectangle sketch s1 and its 10 mm pad e1.
const char* const kSketch =
    R"({"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
    R"({"type":"line","x1":0,"y1":0,"x2":100,"y2":0},{"type":"line","x1":100,"y1":0,"x2":100,"y2":60},)"
    R"({"type":"line","x1":100,"y1":60,"x2":0,"y2":60},{"type":"line","x1":0,"y1":60,"x2":0,"y2":0}]})";
const char* const kPad = R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":10})";

std::string documentOf(const rapidjson::Value& c) {
  if (c.HasMember("text")) return c["text"].GetString();
  if (c.HasMember("document")) return compact(c["document"]);
  const std::string setup = member(c, "setup");
  std::string items = setup == "sketch"  ? std::string(kSketch) + ","
                      : setup == "block" ? std::string(kSketch) + "," + kPad + ","
                                         : std::string();
  const std::string list = compact(c["items"]);
  return "{\"flatNode\":[" + items + list.substr(1, list.size() - 2) + "]}";
}

std::vector<Case> loadCases() {
  rapidjson::Document data;
  data.Parse(readText(std::string(KESTRUN_TEST_DATA) + "/broken_drawings.json").c_str());
  std::vector<Case> cases;
  if (data.HasParseError() || !data.HasMember("cases")) return cases;
  for (const auto& c : data["cases"].GetArray()) {
    Case k;
    k.name = member(c, "name");
    k.text = documentOf(c);
    k.item = member(c, "item");
    k.outcome = member(c, "outcome");
    k.pointer = member(c, "pointer");
    k.hasKey = c.HasMember("key");
    k.key = member(c, "key");
    k.suggestion = member(c, "suggestion");
    k.expected = member(c, "expected");
    k.message = member(c, "message");
    k.second = flag(c, "second");
    k.fallback = flag(c, "fallback");
    k.empty = flag(c, "empty");
    k.line = c.HasMember("line") ? c["line"].GetInt() : 0;
    cases.push_back(k);
  }
  return cases;
}

// Shown by name when a case fails, not as bytes.
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class BrokenDrawing : public kestrun_test::CliTest, public ::testing::WithParamInterface<Case> {};

// The report's record of the case's item (the second of that id when the case says so).
const rapidjson::Value* findItem(const rapidjson::Value& report, const Case& c) {
  bool skipOne = c.second;
  for (const auto& item : report["items"].GetArray()) {
    if (member(item, "id") != c.item) continue;
    if (skipOne) {
      skipOne = false;
      continue;
    }
    return &item;
  }
  return nullptr;
}

void checkItem(const rapidjson::Value& report, const Case& c) {
  const rapidjson::Value* item = findItem(report, c);
  ASSERT_TRUE(item) << "no item " << c.item;
  EXPECT_EQ(member(*item, "outcome"), c.outcome) << compact(*item);
  ASSERT_TRUE(item->HasMember("problem") && (*item)["problem"].IsObject()) << compact(*item);
  const rapidjson::Value& problem = (*item)["problem"];
  EXPECT_EQ(member(problem, "pointer"), c.pointer) << compact(problem);
  if (c.hasKey) {
    EXPECT_EQ(member(problem, "key"), c.key) << compact(problem);
  }
  if (c.suggestion.empty()) {
    EXPECT_EQ(member(problem, "suggestion"), "") << compact(problem);
  } else {
    EXPECT_NE(member(problem, "suggestion").find(c.suggestion), std::string::npos)
        << compact(problem);
  }
  EXPECT_NE(member(problem, "expected").find(c.expected), std::string::npos) << compact(problem);
  EXPECT_FALSE(member(problem, "message").empty());
  EXPECT_NE(member(problem, "message").find(c.message), std::string::npos) << compact(problem);
}

// A case about the document as a whole: the summary's flags and the report's own problems.
void checkDocument(const rapidjson::Value& report, const Case& c, const std::string& err) {
  EXPECT_EQ(flag(report["summary"], "fallback"), c.fallback);
  EXPECT_EQ(flag(report["summary"], "empty"), c.empty);
  ASSERT_TRUE(report.HasMember("problems")) << compact(report);
  const rapidjson::Value& problem = report["problems"][0];
  EXPECT_EQ(member(problem, "pointer"), c.pointer) << compact(problem);
  EXPECT_NE(member(problem, "suggestion").find(c.suggestion), std::string::npos)
      << compact(problem);
  if (c.line == 0) return;
  // A text that is not JSON: where it stopped, in the report and on standard error.
  ASSERT_TRUE(problem.HasMember("line")) << compact(problem);
  EXPECT_EQ(problem["line"].GetInt(), c.line);
  EXPECT_NE(err.find("kestrun: not JSON at line " + std::to_string(c.line) + ", column "),
            std::string::npos)
      << err;
}

TEST_P(BrokenDrawing, SaysWhatBecameOfTheItemInTheDocumentsTerms) {
  const Case& c = GetParam();
  writeText(dir / "part.json", c.text);
  // Each draws in well under a second; the time limit only stops a hang.
  const int code = shell("timeout 60 " + kestrun() + " draw " + (dir / "part.json").string() +
                         " --report " + (dir / "report.json").string() + " > " +
                         (dir / "out.txt").string() + " 2> " + (dir / "err.txt").string());
  EXPECT_GE(code, 0);
  EXPECT_LE(code, 2) << readText(dir / "err.txt");
  rapidjson::Document report;
  ASSERT_FALSE(report.Parse(readText(dir / "report.json").c_str()).HasParseError())
      << readText(dir / "err.txt");
  // Every item that did not simply build says why; a problem's message names items by
  // their ids, not by the host's object names; the core's way of saying that a feature
  // names no "boolSolids" is no message of a built item.
  for (const auto& item : report["items"].GetArray()) {
    if (item.HasMember("problem")) {
      const std::string said = member(item["problem"], "message");
      for (const char* host : {"Pad.", "EdgeFillet.", "Shaft.", "Pocket.", "spSpecObj"})
        EXPECT_EQ(said.find(host), std::string::npos) << said;
    }
    if (member(item, "outcome") == "built") {
      for (const auto& m : item["messages"].GetArray())
        EXPECT_STRNE(m.GetString(), "error: invalid or missing ids") << compact(item);
    }
    const bool built = member(item, "outcome") == "built";
    EXPECT_TRUE(built || item.HasMember("problem")) << compact(item);
  }
  if (c.outcome.empty()) {
    checkDocument(report, c, readText(dir / "err.txt"));
  } else {
    EXPECT_FALSE(flag(report["summary"], "fallback"));
    checkItem(report, c);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenDrawing, ::testing::ValuesIn(loadCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return info.param.name;
                         });

TEST(BrokenDrawingTable, HoldsAtLeastFiftyOneCases) {
  EXPECT_GE(loadCases().size(), 51u);
}

}  // namespace
