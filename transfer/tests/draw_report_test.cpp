// The draw's per-item report, asked for by the packet: what the real core reports of a part
// with one failing item, the session's own sink kept, and cores that cannot report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <fstream>
#include <optional>

#include <rapidjson/document.h>

#include "kestrun/kestrun.h"
#include "occt_host/kernel/inspect.h"
#include "platform/environment.h"
#include "processor_test_support.h"

namespace vantrel::testing {
namespace {

using ::testing::HasSubstr;

// A circle of radius 10 extruded by 20, and a second extrude of it by 0, which fails.
const char kOneFailingItem[] =
    R"({"flatNode":[{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
    R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":10}]},)"
    R"({"type":"extrude","id":"e","sketchId":"s","n1Height":20},)"
    R"({"type":"extrude","id":"z","sketchId":"s","n1Height":0}]})";

// π·10²·20: the circle extruded by 20.
const double kCircleVolume = M_PI * 10.0 * 10.0 * 20.0;

// The single "json" packet, asking for the report when `report` is true.
std::string SinglePacket(const std::string& json, bool report) {
  std::string packet = Packet("transferSingle", json, "json");
  if (report) packet.insert(packet.size() - 1, ",\"report\":true");
  return packet;
}

// The module at `path`, held loaded by the test so that its sink outlives each draw.
struct HeldModule {
  explicit HeldModule(const char* path) : handle(dlopen(path, RTLD_NOW)) {}
  ~HeldModule() {
    if (handle != nullptr) dlclose(handle);
  }
  template <class Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(dlsym(handle, name));
  }
  void* handle;
};

// A session's own sink: it counts what it is handed.
struct CountingSink {
  static void Event(void* self, int32_t event, const MardelItemReport* item) {
    auto* sink = static_cast<CountingSink*>(self);
    if (event == MARDEL_REPORT_ITEM_DONE && item != nullptr) ++sink->done;
  }
  int done = 0;
};

class DrawReportTest : public ProcessorTest {
 protected:
  // The report message of the outcome, parsed; fails the test when it is not JSON.
  static rapidjson::Document Parsed(const std::string& text) {
    rapidjson::Document doc;
    doc.Parse(text.c_str(), text.size());
    EXPECT_FALSE(doc.HasParseError()) << text;
    return doc;
  }
};

TEST_F(DrawReportTest, AskedTheReportFollowsWithOneEntryPerItem) {
  // The same draw into two new Parts, asking and not asking.
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  const TransferOutcome asked =
      HandleTransferPacket(table_, SinglePacket(kOneFailingItem, true), drawing_);
  const std::vector<std::string> askedLog = Messages(TakeProcessorLog());
  EXPECT_NEAR(occt_host::partVolume(part), kCircleVolume, kCircleVolume * 1e-6);
  session_.openWindow(session_.newDocument("Part"));
  const TransferOutcome plain =
      HandleTransferPacket(table_, SinglePacket(kOneFailingItem, false), drawing_);
  EXPECT_TRUE(plain.report.empty());
  // The reply and the draw's log lines are those of the draw that asked for nothing.
  EXPECT_EQ(asked.reply, plain.reply);
  EXPECT_EQ(askedLog, Messages(TakeProcessorLog()));

  // The schema check (report_schema_check.py) reads the message from where it is named.
  if (std::optional<std::string> sample = platform::GetEnv("TOLVANE_REPORT_SAMPLE"))
    std::ofstream(*sample, std::ios::binary) << asked.report;
  const rapidjson::Document doc = Parsed(asked.report);
  ASSERT_TRUE(doc.IsObject());
  EXPECT_STREQ(doc["id"].GetString(), "draw-report");
  EXPECT_STREQ(doc["type"].GetString(), "plugin:response");
  ASSERT_TRUE(doc["ok"].GetBool()) << asked.report;
  const rapidjson::Value& report = doc["result"];
  const rapidjson::Value& items = report["items"];
  ASSERT_EQ(items.Size(), 3u) << asked.report;
  EXPECT_STREQ(items[0]["id"].GetString(), "s");
  EXPECT_STREQ(items[0]["outcome"].GetString(), "built");
  EXPECT_STREQ(items[1]["id"].GetString(), "e");
  EXPECT_STREQ(items[1]["outcome"].GetString(), "built");
  EXPECT_NEAR(items[1]["volume"].GetDouble(), kCircleVolume, kCircleVolume * 1e-6);
  EXPECT_STREQ(items[2]["id"].GetString(), "z");
  EXPECT_STREQ(items[2]["outcome"].GetString(), "failed");
  ASSERT_GE(items[2]["messages"].Size(), 1u);
  EXPECT_TRUE(items[2]["reason"].IsNull());
  // A failed item says what happened in its problem, as the command's report does.
  EXPECT_FALSE(std::string(items[2]["problem"]["message"].GetString()).empty());
  EXPECT_FALSE(items[0].HasMember("problem"));
  const rapidjson::Value& summary = report["summary"];
  EXPECT_EQ(summary["items"].GetInt(), 3);
  EXPECT_EQ(summary["built"].GetInt(), 2);
  EXPECT_EQ(summary["failed"].GetInt(), 1);
  EXPECT_NEAR(summary["volume"].GetDouble(), kCircleVolume, kCircleVolume * 1e-6);
  EXPECT_EQ(report["result"]["status"].GetInt(), MARDEL_STATUS_FAILED);
}

TEST_F(DrawReportTest, TheSessionsOwnSinkStillHearsTheDrawAndIsPutBack) {
  session_.openWindow(session_.newDocument("Part"));
  HeldModule core(KESTRUN_MODULE_PATH);
  ASSERT_NE(core.handle, nullptr);
  auto set = core.Get<MardelImport_SetReportSinkWithFlagsFn>("MardelImport_SetReportSinkWithFlags");
  auto get = core.Get<MardelImport_GetReportSinkFn>("MardelImport_GetReportSink");
  ASSERT_TRUE(set && get);
  CountingSink counting;
  set(&CountingSink::Event, &counting, MARDEL_REPORT_NO_VOLUMES);
  const TransferOutcome asked =
      HandleTransferPacket(table_, SinglePacket(kOneFailingItem, true), drawing_);
  EXPECT_THAT(asked.report, HasSubstr("\"ok\":true"));
  // The three records, and the pad's once more with the faces and edges it owns.
  EXPECT_EQ(counting.done, 4);
  MardelReportSinkFn sink = nullptr;
  void* context = nullptr;
  uint32_t flags = 0;
  get(&sink, &context, &flags);
  EXPECT_EQ(sink, &CountingSink::Event);
  EXPECT_EQ(context, &counting);
  EXPECT_EQ(flags, static_cast<uint32_t>(MARDEL_REPORT_NO_VOLUMES));
  set(nullptr, nullptr, 0);
}

TEST_F(DrawReportTest, NotAskedNoSinkIsInstalledAndNothingFollows) {
  session_.openWindow(session_.newDocument("Part"));
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_REPORT_CORE_PATH));
  HeldModule fake(FAKE_REPORT_CORE_PATH);
  auto sets = fake.Get<int (*)()>("FakeCore_ReportSinkSets");
  ASSERT_NE(sets, nullptr);
  const TransferOutcome plain =
      HandleTransferPacket(table_, SinglePacket(R"({"sequences":[]})", false), drawing_);
  EXPECT_EQ(plain.kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(plain.report.empty());
  EXPECT_EQ(sets(), 0);
  // Asked: installed for the draw and taken away after it (two calls), the stand-in's two
  // items reported.
  const TransferOutcome asked =
      HandleTransferPacket(table_, SinglePacket(R"({"sequences":[]})", true), drawing_);
  EXPECT_EQ(sets(), 2);
  const rapidjson::Document doc = Parsed(asked.report);
  ASSERT_TRUE(doc["ok"].GetBool()) << asked.report;
  const rapidjson::Value& items = doc["result"]["items"];
  ASSERT_EQ(items.Size(), 2u);
  EXPECT_STREQ(items[0]["outcome"].GetString(), "built");
  EXPECT_STREQ(items[1]["outcome"].GetString(), "failed");
  EXPECT_STREQ(items[1]["problem"]["message"].GetString(), "error: fake failure");
  auto get = fake.Get<MardelImport_GetReportSinkFn>("MardelImport_GetReportSink");
  MardelReportSinkFn sink = &CountingSink::Event;
  void* context = nullptr;
  uint32_t flags = 1;
  get(&sink, &context, &flags);
  EXPECT_EQ(sink, nullptr);
}

TEST_F(DrawReportTest, ACoreWithoutTheSinkExportsStillDraws) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  const TransferOutcome asked =
      HandleTransferPacket(table_, SinglePacket(R"({"sequences":[]})", true), drawing_);
  EXPECT_EQ(asked.kind, TransferOutcomeKind::Completed);
  EXPECT_THAT(
      Messages(TakeProcessorLog()),
      ::testing::ElementsAre("TransferDataProcessor::ImportStatus status=0 resultStatus=0 "
                             "errorCode=0 created=16",
                             "fake core drew into a document",
                             "mode=1 clearPart=1 radius=300 height=500 prepared=0 delay=0"));
  ASSERT_TRUE(drawer_.LastDraw(part));
  EXPECT_EQ(asked.report,
            "{\"id\":\"draw-report\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{\"code\":"
            "\"report.unavailable\",\"message\":\"the core module does not export "
            "MardelImport_GetReportSink and MardelImport_SetReportSinkWithFlags\"}}");
}

TEST_F(DrawReportTest, ACoreThatCannotBeLoadedAnswersWhyThereIsNoReport) {
  session_.openWindow(session_.newDocument("Part"));
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", "/nonexistent/libKestrun.so"));
  const TransferOutcome asked = SendChunked("part", kOneFailingItem, 50, true);
  EXPECT_EQ(asked.kind, TransferOutcomeKind::Completed);
  EXPECT_THAT(asked.report, HasSubstr("\"code\":\"report.notDrawn\","
                                      "\"message\":\"the core module could not be loaded\""));
}

}  // namespace
}  // namespace vantrel::testing
