// Registration, dependency order, cycles, warnings and outcome of the part pipeline,
// with writers that only record what they were asked to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "occt_host/session/session.h"
#include "partjson/part_document.h"
#include "partjson/part_import_pipeline.h"

namespace {

using kestrun::ImportResult;
using kestrun::PartImportPipeline;
using kestrun::Writer;

// Fails when the item says "fail": true; leaves the item's "warn" text as its warning.
class RecordingWriter : public Writer {
 public:
  RecordingWriter(bool sketch, std::vector<std::string>* log) : sketch_(sketch), log_(log) {}
  bool isSketchWriter() const override { return sketch_; }
  void parseJson(const rapidjson::Value& item) override {
    log_->push_back(id() + (boolType_.empty() ? "" : ":" + boolType_) + (last_ ? "!" : ""));
    if (item.HasMember("fail")) status_ = host::kFail;
    if (item.HasMember("warn")) warning_ = item["warn"].GetString();
  }
  host::SpecObjectPtr feature() const override { return nullptr; }
  void setBoolType(const std::string& t) override { boolType_ = t; }
  void setLastFeature(bool last) override { last_ = last; }

 private:
  bool sketch_;
  std::vector<std::string>* log_;
  std::string boolType_;
  bool last_ = false;
};

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override { document = session.newDocument("Part"); }

  int32_t run(const char* json, uint32_t delayMs = 0) {
    rapidjson::Document doc;
    doc.Parse(json);
    EXPECT_FALSE(doc.HasParseError()) << json;
    outcome = std::make_unique<ImportResult>(&result);
    outcome->clear();
    pipeline = std::make_unique<PartImportPipeline>(
        [this](bool sketch, auto*) { return std::make_unique<RecordingWriter>(sketch, &order); });
    pipeline->setDrawDelay(delayMs);
    if (pipeline->attach(document.get(), *outcome) != 0) return 2;
    return pipeline->import(doc, *outcome);
  }

  occt_host::Session session;
  std::shared_ptr<host::Document> document;
  MardelImportResult result{};
  std::unique_ptr<ImportResult> outcome;
  std::unique_ptr<PartImportPipeline> pipeline;
  std::vector<std::string> order;
};

TEST_F(PipelineTest, FeatureListedBeforeItsSketchIsBuiltAfterIt) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e1", "sketchId": "s1"},
                    {"type": "sketch", "id": "s1"}])"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"s1", "e1:add!"}));
  EXPECT_EQ(result.createdCount, 2u);
  EXPECT_STREQ(result.message, "Part JSON imported.");
  EXPECT_EQ(result.hasWarnings, 0);
}

TEST_F(PipelineTest, EnvelopesAreFoundInTheirOrder) {
  EXPECT_EQ(run(R"({"sequences": [{"type": "sketch", "id": "a"}],
                    "flatNode": [{"type": "sketch", "id": "b"}]})"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"b"}));
  EXPECT_EQ(run(R"({"flatNode": {}, "sequences": [{"type": "sketch", "id": "c"}]})"), 0);
  EXPECT_EQ(order.back(), "c");
  EXPECT_EQ(run(R"({"flatNode": {}})"), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "part JSON requires a flatNode, sequences, or bare detail array.");
}

TEST_F(PipelineTest, ValidationWarningsKeepTheFirstAndSkipOnlyTheOffender) {
  EXPECT_EQ(run(R"([5, {"id": "x"}, {"type": "sketch"}, {"type": "sketch", "id": ""},
                    {"type": "sketch", "id": "s1"}, {"type": "extrude", "id": "s1"}])"),
            1);
  EXPECT_STREQ(result.warning, "Skipped sequence item without string type.");
  EXPECT_EQ(order, (std::vector<std::string>{"s1"}));
  EXPECT_EQ(result.createdCount, 1u);
}

TEST_F(PipelineTest, DuplicateIdKeepsTheFirstItem) {
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "s1"}, {"type": "extrude", "id": "s1"}])"), 1);
  EXPECT_STREQ(result.warning, "Skipped duplicate sequence item id.");
  EXPECT_EQ(order, (std::vector<std::string>{"s1"}));
}

TEST_F(PipelineTest, SelfReferenceIsBuiltOnceWithTheCycleWarning) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e1", "features": ["e1"]}])"), 1);
  EXPECT_EQ(order, (std::vector<std::string>{"e1:add!"}));
  EXPECT_STREQ(result.warning, "Cyclic detail reference skipped.");
}

TEST_F(PipelineTest, MutualReferencesBuildTheOneReachedSecondFirst) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "a", "featureId": "b"},
                    {"type": "extrude", "id": "b", "featureId": "a"}])"),
            1);
  EXPECT_EQ(order, (std::vector<std::string>{"b!", "a:add"}));
  EXPECT_STREQ(result.warning, "Cyclic detail reference skipped.");
}

TEST_F(PipelineTest, GeometryIdsOrderTheirSketchFirst) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e1", "sketchId": "g7"},
                    {"type": "sketch", "id": "s1",
                     "geometries": [{"type": "line", "id": "g7"}]}])"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"s1", "e1:add!"}));
}

TEST_F(PipelineTest, AnItemTakesOverAGeometryId) {
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "s1", "geometries": [{"type": "line", "id": "g"}]},
                    {"type": "extrude", "id": "e1", "featureId": "g"},
                    {"type": "extrude", "id": "g"}])"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"s1", "g!", "e1:add"}));
}

TEST_F(PipelineTest, UnknownReferencesAreIgnoredForOrdering) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e1", "sketchId": "nowhere"}])"), 0);
  EXPECT_EQ(order, (std::vector<std::string>{"e1:add!"}));
}

TEST_F(PipelineTest, NestedFeatureIdAndParentReferencesCount) {
  EXPECT_EQ(run(R"([{"type": "fillet", "id": "f", "edges": [{"ref": {"featureId": "e"}}]},
                    {"type": "extrude", "id": "e", "x": [[{"parent": "s"}]]},
                    {"type": "sketch", "id": "s"}])"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"s", "e!", "f:add"}));
}

TEST_F(PipelineTest, OneFailingFeatureAmongTenFailsTheImportAfterTheRest) {
  std::string json = "[";
  for (int i = 0; i < 10; ++i) {
    json += std::string(i ? "," : "") + R"({"type": "extrude", "id": "e)" + std::to_string(i) +
            "\"" + (i == 4 ? R"(, "fail": true)" : "") + "}";
  }
  json += "]";
  EXPECT_EQ(run(json.c_str()), 2);
  EXPECT_EQ(order.size(), 10u);
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
  EXPECT_EQ(result.createdCount, 0u);
}

TEST_F(PipelineTest, DependentsOfAFailedItemAreNotWritten) {
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "s", "fail": true},
                    {"type": "extrude", "id": "e", "sketchId": "s"},
                    {"type": "extrude", "id": "other"}])"),
            2);
  EXPECT_EQ(order, (std::vector<std::string>{"s", "other!"}));
}

TEST_F(PipelineTest, WriterWarningsAreReportedOnce) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e", "warn": "two targets"}])"), 1);
  EXPECT_STREQ(result.warning, "One or more features produced warnings.");
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "e", "warn": "x"}, 3])"), 1);
  EXPECT_STREQ(result.warning, "Skipped sequence item without string type.");
}

TEST_F(PipelineTest, ExplicitBoolTypeOfTheFirstFeatureIsKept) {
  EXPECT_EQ(run(R"([{"type": "extrude", "id": "a", "boolType": "new"},
                    {"type": "extrude", "id": "b"}])"),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b!"}));
}

TEST_F(PipelineTest, LongReferenceChainDoesNotRecurse) {
  // 100,000 items, each naming the next: built from the far end back.
  const int n = 100000;
  std::string json = "[";
  for (int i = 0; i < n; ++i) {
    json += std::string(i ? "," : "") + R"({"type":"extrude","id":"e)" + std::to_string(i) + "\"";
    if (i + 1 < n) json += R"(,"featureId":"e)" + std::to_string(i + 1) + "\"";
    json += "}";
  }
  json += "]";
  EXPECT_EQ(run(json.c_str()), 0);
  ASSERT_EQ(order.size(), static_cast<size_t>(n));
  EXPECT_EQ(order.front(), "e99999!");
  EXPECT_EQ(order.back(), "e0:add");
}

TEST_F(PipelineTest, RefreshFailureCancelsAfterTheFirstItem) {
  // The document's window has no viewer, so the refresh after the first item fails.
  session.openWindow(document, /*withViewer=*/false);
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "a"}, {"type": "sketch", "id": "b"}])", 10), 2);
  EXPECT_EQ(order, (std::vector<std::string>{"a"}));
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "CATIA viewer refresh failed; Part import cancelled.");
}

TEST_F(PipelineTest, ADocumentWithoutAWindowIsDrawnWholeWithoutPausing) {
  // A queued quit would cancel the draw at its first pause: there is none.
  session.eventLoop().postQuit(3);
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "a"}, {"type": "sketch", "id": "b"}])", 50), 0);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
  EXPECT_STREQ(result.message, "Part JSON imported.");
  host::Message quit;
  ASSERT_TRUE(session.eventLoop().peekMessage(quit));
  EXPECT_EQ(quit.id, host::kQuitMessage);
}

TEST_F(PipelineTest, QuitDuringAPauseCancelsAndKeepsWhatWasBuilt) {
  session.openWindow(document);
  session.eventLoop().postQuit(3);
  EXPECT_EQ(run(R"([{"type": "sketch", "id": "a"}, {"type": "sketch", "id": "b"}])", 50), 2);
  EXPECT_EQ(order, (std::vector<std::string>{"a"}));
  EXPECT_STREQ(result.message, "CATIA host is exiting; Part import cancelled.");
}

TEST(PartDocument, SketchPlacementFlag) {
  auto flag = [](const char* json) {
    rapidjson::Document doc;
    doc.Parse(json);
    return kestrun::needPlaneForSketch(doc);
  };
  EXPECT_FALSE(flag(R"({"matrix": [1,0,0,0, 0,1,0,0, 0,0,1,0, 5,6,7,1]})"));
  EXPECT_FALSE(flag(R"({"matrix": [1.0000000001,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1]})"));
  EXPECT_TRUE(flag(R"({"matrix": [0.9999999,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1]})"));
  EXPECT_TRUE(flag(R"({"matrix": [0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1]})"));
  // Only elements 0 to 2 and 4 to 6 need to be numbers.
  EXPECT_TRUE(flag(R"({"matrix": [0,1,0,"x", 0,0,1,0, 1,0,0,0, 0,0,0,1]})"));
  EXPECT_FALSE(flag(R"({"matrix": [0,1,"a",0, 0,0,1,0, 1,0,0,0, 0,0,0,1]})"));
  EXPECT_FALSE(flag(R"({"matrix": [0,1,0]})"));
  EXPECT_FALSE(flag(R"({"matrix": {}})"));
  EXPECT_FALSE(flag(R"({})"));
}

TEST(PartDocument, ReferenceOrderAndDeduplication) {
  rapidjson::Document doc;
  doc.Parse(R"({"featureId": "f", "sketchId": "s", "sketches": ["s", 3, "t"],
                "boolSolids": ["b"], "nested": {"parent": "p", "featureId": "q"},
                "stetchId": "u", "features": ["f0"]})");
  EXPECT_EQ(kestrun::collectReferences(doc),
            (std::vector<std::string>{"f0", "s", "t", "b", "f", "u", "q", "p"}));
}

TEST(PartDocument, BodyColorsSkipMalformedElements) {
  rapidjson::Document doc;
  doc.Parse(R"({"bodyColors": [{"id": "a", "color": [255, 0.9, 7.7, 1]}, {"id": "b",
                "color": [255, 0]}, 4, {"color": [1, 2, 3]}, {"id": "c", "color": [1, "x", 3]},
                {"id": "d", "color": [-1.5, 1e30, 2]}]})");
  auto colors = kestrun::readBodyColors(doc);
  ASSERT_EQ(colors.size(), 2u);
  EXPECT_EQ(colors[0].id, "a");
  EXPECT_EQ(colors[0].color.r, 255);
  EXPECT_EQ(colors[0].color.g, 0);
  EXPECT_EQ(colors[0].color.b, 7);
  EXPECT_EQ(colors[1].color.r, -1);
}

}  // namespace
