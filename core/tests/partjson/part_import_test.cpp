// Part JSON imported end to end through the entry: build order, warnings, counts and
// outcome of a document of about forty items, in each of the three envelopes.
#include <fstream>
#include <set>
#include <sstream>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "entry/import_result.h"
#include "entry_fixture.h"
#include "forty_items_order.h"
#include "occt_host/kernel/inspect.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Every string of `value` that is one of `ids` gets `suffix`, so that a copy of a list
// names its own items.
void renameIds(rapidjson::Value& value, const std::set<std::string>& ids, const std::string& suffix,
               rapidjson::Document::AllocatorType& allocator) {
  if (value.IsString() && ids.count(value.GetString())) {
    std::string renamed = std::string(value.GetString()) + suffix;
    value.SetString(renamed.c_str(), static_cast<rapidjson::SizeType>(renamed.size()), allocator);
  } else if (value.IsArray()) {
    for (auto& element : value.GetArray()) renameIds(element, ids, suffix, allocator);
  } else if (value.IsObject()) {
    for (auto& member : value.GetObject()) renameIds(member.value, ids, suffix, allocator);
  }
}

void collectIds(const rapidjson::Value& value, std::set<std::string>& ids) {
  if (value.IsArray()) {
    for (const auto& element : value.GetArray()) collectIds(element, ids);
  } else if (value.IsObject()) {
    auto id = value.FindMember("id");
    if (id != value.MemberEnd() && id->value.IsString() && id->value.GetStringLength() > 0)
      ids.insert(id->value.GetString());
    for (const auto& member : value.GetObject()) collectIds(member.value, ids);
  }
}

std::string compact(const rapidjson::Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return buffer.GetString();
}

const std::vector<std::string>& kExpectedOrder = kFortyItemsOrder;

class FortyItems : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    source.Parse(readFile(std::string(KESTRUN_TEST_DATA) + "/parts/forty_items.json").c_str());
    ASSERT_FALSE(source.HasParseError());
  }

  // The same items in the requested envelope.
  std::string envelope(const char* kind) {
    const rapidjson::Value& items = source["flatNode"];
    if (std::string(kind) == "bare") return compact(items);
    return std::string("{\"") + kind + "\":" + compact(items) + "}";
  }

  int32_t runPipeline(const std::string& json, std::vector<std::string>& order) {
    rapidjson::Document doc;
    doc.Parse(json.c_str());
    kestrun::ImportResult outcome(&result);
    outcome.clear();
    // Each envelope gets a Part of its own, as a cleared Part would be.
    auto part = session.newDocument("Part");
    kestrun::PartImportPipeline pipeline(kestrun::defaultWriterFactory());
    if (pipeline.attach(part.get(), outcome) != 0) return 2;
    const int32_t status = pipeline.import(doc, outcome);
    order = pipeline.buildOrder();
    return status;
  }

  rapidjson::Document source;
};

TEST_F(FortyItems, BuildOrderWarningsAndOutcomeInEveryEnvelope) {
  for (const char* kind : {"flatNode", "sequences", "bare"}) {
    SCOPED_TRACE(kind);
    std::vector<std::string> order;
    EXPECT_EQ(runPipeline(envelope(kind), order), 1);
    EXPECT_EQ(order, kExpectedOrder);
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_EQ(result.hasWarnings, 1);
    // 31 distinct valid items; the five malformed ones and the duplicate are skipped.
    EXPECT_EQ(result.createdCount, 31u);
    EXPECT_STREQ(result.warning, "Skipped sequence item without string type.");
    EXPECT_STREQ(result.message, "Part JSON imported.");
  }
}

TEST_F(FortyItems, EntryImportsItAndExportsOneColouredBody) {
  const std::string json = readFile(std::string(KESTRUN_TEST_DATA) + "/parts/forty_items.json");
  EXPECT_EQ(draw(json), 1);
  EXPECT_STREQ(result.message, "Part JSON imported.");
  EXPECT_EQ(result.createdCount, 31u);
  StepMeasure m = exported();
  ASSERT_TRUE(m.read);
  EXPECT_GE(m.solids, 1);
  // The 100 x 50 x 10 plate is the widest feature in x and y; the slot reaches z = 62
  // and the last circle's pad z = 221.
  EXPECT_NEAR(m.zmax, 221, 1e-3);
}

// The list followed by a copy of itself under other ids pads every profile twice onto
// exactly coincident solids; the body is the same as one copy's.
TEST_F(FortyItems, DoubledListGivesOneCopysVolume) {
  EXPECT_EQ(draw(envelope("flatNode")), 1);
  const double single = occt_host::partVolume(document);
  ASSERT_GT(single, 0);

  rapidjson::Document doubled;
  doubled.SetObject();
  rapidjson::Value items(source["flatNode"], doubled.GetAllocator());
  rapidjson::Value copy(source["flatNode"], doubled.GetAllocator());
  std::set<std::string> ids;
  collectIds(copy, ids);
  renameIds(copy, ids, "_copy", doubled.GetAllocator());
  for (auto& item : copy.GetArray()) items.PushBack(item, doubled.GetAllocator());
  doubled.AddMember("flatNode", items, doubled.GetAllocator());

  auto second = session.newDocument("Part");
  EXPECT_EQ(drawInto(second.get(), compact(doubled)), 1);
  EXPECT_EQ(result.createdCount, 62u);
  EXPECT_REL_NEAR(occt_host::partVolume(second), single, 1e-6);
}

}  // namespace
