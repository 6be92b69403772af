// Hostile and malformed input: every case ends with a clear result, never a crash.
#include <fstream>
#include <sstream>

#include <rapidjson/document.h>

#include "entry/json_input.h"
#include "entry/mode_detection.h"
#include "entry_fixture.h"

namespace {

using kestrun::ImportMode;

struct BadCase {
  std::string file;
  std::string expected;
};

std::vector<BadCase> loadExpectations() {
  std::ifstream in(std::string(KESTRUN_TEST_DATA) + "/bad_json/EXPECTED.txt");
  std::vector<BadCase> cases;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto bar = line.find(" | ");
    cases.push_back({line.substr(0, bar), line.substr(bar + 3)});
  }
  return cases;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST_F(EntryTest, NegativeCorpusReportsTheParserText) {
  const auto cases = loadExpectations();
  ASSERT_GE(cases.size(), 10u);
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string json = readFile(std::string(KESTRUN_TEST_DATA) + "/bad_json/" + c.file);
    ASSERT_FALSE(json.empty());
    EXPECT_EQ(draw(json), 2);
    EXPECT_EQ(result.errorCode, 100);
    EXPECT_STREQ(result.message, "JSON parse failed.");
    EXPECT_EQ(std::string(result.warning), c.expected);
    EXPECT_EQ(result.createdCount, 0u);
  }
}

TEST_F(EntryTest, NulByteEndsTheText) {
  const std::string json("{}\0garbage", 10);
  EXPECT_EQ(draw(json), 1);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
}

TEST_F(EntryTest, InvalidUtf8InsideStringsIsNotAParseError) {
  EXPECT_EQ(draw("{\"name\": \"\xFF\xFE\xC3\"}"), 1);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
}

TEST_F(EntryTest, DeepNestingIsCappedWithAClearText) {
  const std::string json(1000000, '[');
  EXPECT_EQ(draw(json), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "JSON parse failed.");
  EXPECT_STREQ(result.warning,
               "The document is nested deeper than 512 levels of arrays and objects.");
}

TEST_F(EntryTest, NestingUpToTheCapParses) {
  // 511 arrays inside the root array: 512 levels in all.
  const std::string json = std::string(512, '[') + std::string(512, ']');
  rapidjson::Document doc;
  EXPECT_TRUE(
      kestrun::parseJsonInput(reinterpret_cast<const unsigned char*>(json.data()), json.size(), doc)
          .ok);
  const std::string deeper = "[" + json + "]";
  EXPECT_FALSE(kestrun::parseJsonInput(reinterpret_cast<const unsigned char*>(deeper.data()),
                                       deeper.size(), doc)
                   .ok);
}

TEST_F(EntryTest, HundredMegabytesOfInputEndCleanly) {
  // A 100 MB string member: parsed, no mode found, the cylinder is drawn.
  std::string json = "{\"blob\": \"";
  json.append(100u << 20, 'a');
  json += "\"}";
  EXPECT_EQ(draw(json), 1);
  EXPECT_STREQ(result.warning,
               "Unable to auto-detect JSON mode; skeleton import draws the fixed cylinder.");
  // The same, cut short: a parse failure with the parser's text.
  json.resize(json.size() - 2);
  EXPECT_EQ(draw(json), 2);
  EXPECT_STREQ(result.warning, "Missing a closing quotation mark in string.");
}

ImportMode detect(const char* json, int requested = 0) {
  rapidjson::Document doc;
  doc.Parse(json);
  return kestrun::detectMode(doc, requested);
}

TEST(ModeDetection, ExplicitShapeAndOptionRules) {
  EXPECT_EQ(detect("[]"), ImportMode::Part);
  EXPECT_EQ(detect(R"({"flatNode": []})"), ImportMode::Part);
  EXPECT_EQ(detect(R"({"sequences": []})"), ImportMode::Part);
  EXPECT_EQ(detect(R"({"partList": []})"), ImportMode::Product);
  EXPECT_EQ(detect(R"({"flatNode": {}})"), ImportMode::None);
  EXPECT_EQ(detect(R"({"flatNode": [], "partList": []})"), ImportMode::None);
  EXPECT_EQ(detect(R"({"mode": "product", "flatNode": [], "partList": []})"), ImportMode::Product);
  EXPECT_EQ(detect(R"({"mode": "part", "partList": []})"), ImportMode::Part);
  EXPECT_EQ(detect(R"({"mode": "Part"})"), ImportMode::None);
  EXPECT_EQ(detect(R"({"mode": 1, "partList": []})"), ImportMode::Product);
  EXPECT_EQ(detect(R"("part")"), ImportMode::None);
  EXPECT_EQ(detect("{}", 2), ImportMode::Product);
  EXPECT_EQ(detect(R"({"partList": []})", 1), ImportMode::Part);
  EXPECT_EQ(detect(R"({"mode": "part\u0000x"})"), ImportMode::None);
}

TEST_F(EntryTest, ProductIntoAPartDocumentIsRefusedForARetry) {
  EXPECT_EQ(draw(R"({"mode": "product", "partList": []})"), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "CATDocument does not expose Product roots.");
}

TEST_F(EntryTest, ForcedPartModeWithoutAnItemListFails) {
  MardelImportOptions options = defaults();
  options.mode = 1;
  EXPECT_EQ(draw(R"({"flatNode": {}})", &options), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "part JSON requires a flatNode, sequences, or bare detail array.");
}

}  // namespace
