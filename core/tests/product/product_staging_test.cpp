// The product staging exports: which partList entries are source parts, the staged part JSON,
// the part numbers, the refusals, and hostile product JSON.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/part.h"
#include "host/product.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"

namespace {

const unsigned char* bytesOf(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// Lists `json` and keeps the list until the test ends.
struct Listed {
  explicit Listed(const std::string& json) {
    status =
        MardelImport_ListProductSourceParts(bytesOf(json), json.size(), &parts, &count, &result);
  }
  ~Listed() { MardelImport_FreeProductSourcePartSpecs(parts, count); }
  std::string staged(uint64_t i) const {
    return std::string(reinterpret_cast<const char*>(parts[i].jsonBytes), parts[i].jsonSize);
  }

  int32_t status = -1;
  ProductSourcePartSpec* parts = reinterpret_cast<ProductSourcePartSpec*>(0x1);  // must be reset
  uint64_t count = 99;
  MardelImportResult result{};
};

void expectRefused(const Listed& listed, const char* message) {
  EXPECT_EQ(listed.status, 2);
  EXPECT_EQ(listed.result.status, 2);
  EXPECT_EQ(listed.result.errorCode, 100);
  EXPECT_STREQ(listed.result.message, message);
  EXPECT_EQ(listed.parts, nullptr);
  EXPECT_EQ(listed.count, 0u);
}

TEST(ProductStaging, RefIdEntriesAreInstancesAndNumberingCountsSourcePartsOnly) {
  Listed listed(R"({"partList":[)"
                R"({"id":"A","sequences":[{"type":"sketch","id":"s"}]},)"
                R"({"id":"A2","refId":"A","sequences":[]},)"
                R"({"id":"B","flatNode":[]}]})");
  ASSERT_EQ(listed.status, 0);
  EXPECT_EQ(listed.result.status, 0);
  EXPECT_EQ(listed.result.errorCode, 0);
  EXPECT_STREQ(listed.result.message, "Product source parts listed.");
  ASSERT_EQ(listed.count, 2u);
  EXPECT_STREQ(listed.parts[0].sourcePartId, "A");
  EXPECT_EQ(listed.parts[0].sourcePartIndex, 0);
  EXPECT_EQ(listed.staged(0), R"({"sequences":[{"type":"sketch","id":"s"}]})");
  EXPECT_STREQ(listed.parts[1].sourcePartId, "B");
  EXPECT_EQ(listed.parts[1].sourcePartIndex, 1);
  EXPECT_EQ(listed.staged(1), R"({"sequences":[]})");
}

TEST(ProductStaging, StagedJsonTakesFlatNodeFirstAndOnlyArrayBodyColors) {
  Listed listed(
      "\xEF\xBB\xBF"
      R"({"partList":[)"
      R"({"id":"E","refId":"","sequences":[1],"bodyColors":{"r":1}},)"
      R"({"id":"F","sequences":[2],"flatNode":[3],)"
      R"( "bodyColors":[{"body":"b","r":255}],"name":"ignored"},)"
      R"({"id":"G","sequences":"not an array"},7,{"sequences":[]}]})");
  ASSERT_EQ(listed.status, 0);
  ASSERT_EQ(listed.count, 2u);
  EXPECT_EQ(listed.staged(0), R"({"sequences":[1]})");
  EXPECT_EQ(listed.staged(1), R"({"sequences":[3],"bodyColors":[{"body":"b","r":255}]})");
}

TEST(ProductStaging, Refusals) {
  MardelImportResult result{};
  uint64_t count = 5;
  const std::string json = R"({"partList":[]})";
  EXPECT_EQ(
      MardelImport_ListProductSourceParts(bytesOf(json), json.size(), nullptr, &count, &result), 2);
  EXPECT_STREQ(result.message, "outParts/outCount are required.");
  ProductSourcePartSpec* parts = nullptr;
  EXPECT_EQ(
      MardelImport_ListProductSourceParts(bytesOf(json), json.size(), &parts, nullptr, nullptr), 2);
  EXPECT_EQ(MardelImport_ListProductSourceParts(nullptr, 3, &parts, &count, &result), 2);
  EXPECT_STREQ(result.message, "product JSON bytes are required.");
  EXPECT_EQ(count, 0u);

  expectRefused(Listed(R"({"partList":[{"id":"A","sequences":[]},]})"), "JSON parse failed.");
  Listed parse(R"({"partList":[1 2]})");
  EXPECT_STREQ(parse.result.warning, "Missing a comma or ']' after an array element.");
  expectRefused(Listed(R"([{"partList":[]}])"), "product JSON requires a partList array.");
  expectRefused(Listed(R"({"partList":{"id":"A"}})"), "product JSON requires a partList array.");
  expectRefused(Listed(R"({"partList":[{"id":"A","refId":"B","sequences":[]},{"id":3}]})"),
                "No importable product source parts were found.");
  expectRefused(Listed(R"({"partList":[{"id":"A","sequences":[]},{"id":"","sequences":[]}]})"),
                "Failed to allocate product source part JSON.");
}

TEST(ProductStaging, FreeOfNothingDoesNothing) {
  MardelImport_FreeProductSourcePartSpecs(nullptr, 4);
  ProductSourcePartSpec none{};
  MardelImport_FreeProductSourcePartSpecs(&none, 0);
}

TEST(ProductStaging, LongIdsAreCutAt255BytesWithZeroesBehind) {
  const std::string id(300, 'x');
  Listed listed(R"({"partList":[{"id":")" + id + R"(","sequences":[]}]})");
  ASSERT_EQ(listed.count, 1u);
  EXPECT_EQ(std::string(listed.parts[0].sourcePartId), id.substr(0, 255));
  EXPECT_EQ(listed.parts[0].sourcePartId[255], '\0');
}

class PartNumberTest : public ::testing::Test {
 protected:
  void SetUp() override { part = session.newDocument("Part"); }
  std::string assign(const std::string& json, int32_t index) {
    result = MardelImportResult{};
    status = MardelImport_AssignProductSourcePartNumber(bytesOf(json), json.size(), index,
                                                        part.get(), &result);
    auto roots = host::query<host::DocumentRoots>(part);
    auto container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
    return host::query<host::PartProduct>(container->part())->product()->partNumber();
  }

  occt_host::Session session;
  std::shared_ptr<host::Document> part;
  MardelImportResult result{};
  int32_t status = -1;
};

TEST_F(PartNumberTest, EveryByteOutsideTheSafeSetBecomesAnUnderscore) {
  const std::string json =
      R"({"partList":[{"id":"a","sequences":[]},{"id":"b","refId":"a"},{"id":"b","sequences":[]},)"
      R"({"id":"c","flatNode":[]},{"id":"Bracket 1/ä","sequences":[]}]})";
  // Index 3 is the fourth source part: the refId entry is not counted.
  EXPECT_EQ(assign(json, 3), "MardelPart_3_Bracket_1___");
  EXPECT_EQ(status, 0);
  EXPECT_STREQ(result.message, "Product source part number assigned.");
  EXPECT_EQ(assign(json, 1), "MardelPart_1_b");
}

TEST_F(PartNumberTest, CappedAt120BytesAndFallingBackToNameThenPart) {
  const std::string id(300, 'k');
  EXPECT_EQ(assign(R"({"partList":[{"id":")" + id + R"(","sequences":[]}]})", 0),
            "MardelPart_0_" + std::string(120 - 13, 'k'));
  EXPECT_EQ(assign(R"({"partList":[{"id":"","name":"Lid-2.b","sequences":[]}]})", 0),
            "MardelPart_0_Lid-2.b");
  EXPECT_EQ(assign(R"({"partList":[{"id":"","name":7,"sequences":[]}]})", 0), "MardelPart_0_Part");
}

TEST_F(PartNumberTest, Refusals) {
  const std::string json = R"({"partList":[{"id":"a","sequences":[]},{"id":"b","sequences":[]}]})";
  const std::string before = assign(json, 5);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "Product source part index was not found.");
  EXPECT_EQ(before, "Part1");  // the refusal leaves the document's own part number
  assign(json, -1);
  EXPECT_STREQ(result.message, "product JSON bytes and sourcePartIndex are required.");
  assign(R"({"partList":[}")", 0);
  EXPECT_STREQ(result.message, "JSON parse failed.");
  EXPECT_NE(result.warning[0], '\0');
  assign(R"([1])", 0);
  EXPECT_STREQ(result.message, "Product source part index was not found.");

  MardelImportResult r{};
  EXPECT_EQ(MardelImport_AssignProductSourcePartNumber(bytesOf(json), json.size(), 0, nullptr, &r),
            2);
  EXPECT_STREQ(r.message, "partDocument is required.");
  auto product = session.newDocument("Product");
  EXPECT_EQ(
      MardelImport_AssignProductSourcePartNumber(bytesOf(json), json.size(), 0, product.get(), &r),
      2);
  EXPECT_STREQ(r.message, "CATIPrtContainer was unavailable.");
  EXPECT_EQ(MardelImport_AssignProductSourcePartNumber(bytesOf(json), json.size(), 0, part.get(),
                                                       nullptr),
            0);
}

// 100,000 entries: one in `sourceEvery` a source part, the rest instances naming themselves.
std::string hundredThousandEntries(int sourceEvery) {
  std::string json = R"({"partList":[)";
  for (int i = 0; i < 100000; ++i) {
    if (i) json += ',';
    json += i % sourceEvery ? R"({"id":"r","refId":"r"})"
                            : R"({"id":"p)" + std::to_string(i) + R"(","sequences":[]})";
  }
  return json + "]}";
}

TEST(ProductStagingHostile, HundredThousandEntriesAndMegabyteIds) {
  Listed many(hundredThousandEntries(10));
  ASSERT_EQ(many.status, 0);
  ASSERT_EQ(many.count, 10000u);
  EXPECT_EQ(many.parts[9999].sourcePartIndex, 9999);
  EXPECT_STREQ(many.parts[9999].sourcePartId, "p99990");
  // Each source part costs a saved Part and a re-read of the product: 10,000 is the most.
  expectRefused(Listed(hundredThousandEntries(2)),
                "product JSON lists more than 10000 source parts.");

  const std::string huge(1 << 20, 'h');
  Listed big(R"({"partList":[{"id":")" + huge + R"(","name":")" + huge + R"(","sequences":[]}]})");
  ASSERT_EQ(big.count, 1u);
  EXPECT_EQ(strnlen(big.parts[0].sourcePartId, 256), 255u);
  EXPECT_EQ(big.staged(0), R"({"sequences":[]})");

  expectRefused(Listed(R"({"partList":[{"id":"a","sequences":[NaN]}]})"), "JSON parse failed.");
}

TEST(ProductStagingModule, ExportsBindByName) {
  void* module = dlopen(KESTRUN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  EXPECT_NE(dlsym(module, "MardelImport_ListProductSourceParts"), nullptr);
  EXPECT_NE(dlsym(module, "MardelImport_AssignProductSourcePartNumber"), nullptr);
  EXPECT_NE(dlsym(module, "MardelImport_FreeProductSourcePartSpecs"), nullptr);
  dlclose(module);
}

}  // namespace
