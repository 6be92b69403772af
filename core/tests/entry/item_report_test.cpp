// The per-item report through the report sink: every element of the item list accounted
// for once, in build order, with the outcome the import gave it, the exact lines it
// logged, the body it landed in and that body's measured volume.
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "entry_fixture.h"
#include "forty_items_order.h"
#include "host/document.h"
#include "host/part.h"
#include "host/solid_volume.h"
#include "occt_host/kernel/inspect.h"

namespace {

struct Item {
  std::string id, type, name, body, reason;
  int32_t outcome = -1;
  uint32_t index = 0, total = 0;
  std::vector<std::string> messages, objects;
  bool hasBody = false, hasVolume = false;
  double volume = 0, seconds = -1;
  // The log lines written between this item's start and its record.
  std::size_t logFrom = 0, logTo = 0;
};

std::string text(const MardelText& t) {
  return std::string(t.text, t.size);
}

// Everything the two sinks receive, in order.
struct Capture {
  std::vector<std::string> log;
  std::vector<uint32_t> begins;  // totals
  std::vector<std::string> started;
  std::vector<Item> records;
  std::size_t startedAt = 0;

  static void line(void* self, int32_t, const char* t, uint64_t size) {
    static_cast<Capture*>(self)->log.emplace_back(t, size);
  }
  static void event(void* self, int32_t kind, const MardelItemReport* r) {
    static_cast<Capture*>(self)->take(kind, *r);
  }
  void take(int32_t kind, const MardelItemReport& r) {
    if (kind == MARDEL_REPORT_BEGIN) begins.push_back(r.total);
    if (kind == MARDEL_REPORT_ITEM_START) {
      started.push_back(text(r.id));
      startedAt = log.size();
    }
    if (kind != MARDEL_REPORT_ITEM_DONE) return;
    Item item;
    item.id = text(r.id), item.type = text(r.type), item.name = text(r.name);
    item.outcome = r.outcome, item.index = r.index, item.total = r.total;
    for (uint64_t i = 0; i < r.messageCount; ++i) item.messages.push_back(text(r.messages[i]));
    for (uint64_t i = 0; i < r.objectCount; ++i) item.objects.push_back(text(r.objects[i]));
    item.hasBody = r.hasBody != 0, item.body = text(r.body);
    item.hasVolume = r.hasVolume != 0, item.volume = r.volume, item.seconds = r.seconds;
    item.reason = text(r.reason);
    item.logFrom = startedAt, item.logTo = log.size();
    records.push_back(item);
  }
  const Item* find(const std::string& id) const {
    for (const Item& item : records) {
      if (item.id == id && item.outcome != MARDEL_ITEM_SKIPPED) return &item;
    }
    return nullptr;
  }
  // The warning and error lines the log got while the item was written, without the trace
  // lines that carry no level word and, for a feature that names no boolean targets (none
  // of these do), the first "error: invalid or missing ids": the core's way of saying so.
  std::vector<std::string> loggedFor(const Item& item) const {
    static const char* const traces[] = {"debug:",          "info:",
                                         "alias = ",        "hole supportList size:",
                                         "hole dirs size:", "hole points size:",
                                         "holePoints["};
    std::vector<std::string> lines;
    bool missingIdsSeen = item.type == "sketch";
    for (std::size_t i = item.logFrom; i < item.logTo; ++i) {
      bool trace = false;
      for (const char* word : traces) trace = trace || log[i].rfind(word, 0) == 0;
      if (trace) continue;
      if (!missingIdsSeen && log[i] == "error: invalid or missing ids") {
        missingIdsSeen = true;
        continue;
      }
      lines.push_back(log[i]);
    }
    return lines;
  }
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string fortyItems() {
  return readFile(std::string(KESTRUN_TEST_DATA) + "/parts/forty_items.json");
}

const char* const kUnit = "[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1]";

// A w x h rectangle from the origin in the XY plane at height z.
std::string rectangleSketch(const std::string& id, double w, double h, double z = 0) {
  auto n = [](double v) { return std::to_string(v); };
  return R"({"type":"sketch","id":")" + id + R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,)" + n(z) +
         R"(,1],"geometries":[{"type":"line","x1":0,"y1":0,"x2":)" + n(w) + R"(,"y2":0},)" +
         R"({"type":"line","x1":)" + n(w) + R"(,"y1":0,"x2":)" + n(w) + R"(,"y2":)" + n(h) +
         R"(},{"type":"line","x1":)" + n(w) + R"(,"y1":)" + n(h) + R"(,"x2":0,"y2":)" + n(h) +
         R"(},{"type":"line","x1":0,"y1":)" + n(h) + R"(,"x2":0,"y2":0}]})";
}

class ItemReport : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    MardelImport_SetLogSink(&Capture::line, &capture);
    MardelImport_SetReportSink(&Capture::event, &capture);
  }
  void TearDown() override {
    MardelImport_SetReportSink(nullptr, nullptr);
    MardelImport_SetLogSink(nullptr, nullptr);
  }
  Capture capture;
};

TEST_F(ItemReport, FortyItemsEveryElementOnceInBuildOrderThenTheSkippedOnes) {
  ASSERT_EQ(draw(fortyItems()), 1);
  // 36 elements in the list: 31 items written, five turned away when registered.
  ASSERT_EQ(capture.begins, std::vector<uint32_t>{36});
  EXPECT_EQ(capture.started, kFortyItemsOrder);
  ASSERT_EQ(capture.records.size(), 36u);
  for (uint32_t i = 0; i < 36; ++i) {
    EXPECT_EQ(capture.records[i].index, i);
    EXPECT_EQ(capture.records[i].total, 36u);
  }
  for (std::size_t i = 0; i < kFortyItemsOrder.size(); ++i)
    EXPECT_EQ(capture.records[i].id, kFortyItemsOrder[i]);
  // The skipped ones, in list order: the number 5, {"id":"no_type"}, a sketch without id,
  // one with an empty id, and the second "s_rect".
  const std::vector<std::pair<std::string, std::string>> skipped = {
      {"", "Skipped sequence item without string type."},
      {"no_type", "Skipped sequence item without string type."},
      {"", "Skipped sequence item without string id."},
      {"", "Skipped sequence item with empty id."},
      {"s_rect", "Skipped duplicate sequence item id."}};
  for (std::size_t i = 0; i < skipped.size(); ++i) {
    const Item& item = capture.records[31 + i];
    EXPECT_EQ(item.outcome, MARDEL_ITEM_SKIPPED);
    EXPECT_EQ(item.id, skipped[i].first);
    EXPECT_EQ(item.reason, skipped[i].second);
    EXPECT_FALSE(item.hasBody);
  }
}

TEST_F(ItemReport, FortyItemsOutcomesAndMessages) {
  ASSERT_EQ(draw(fortyItems()), 1);
  std::map<std::string, int32_t> outcomes;
  for (const Item& item : capture.records) {
    if (item.outcome != MARDEL_ITEM_SKIPPED) outcomes[item.id] = item.outcome;
  }
  // The import reports no failure (status 1, code 0), so no item failed. "Extrude" has no
  // handler; each end of a reference cycle and the self-reference carry the cycle warning.
  // Three 1 mm pads stand inside solid that is there already, so they change nothing:
  // cyc_a (r 5 at z 20..21 inside e_circle's z 15..25), cyc_b (r 4 at z 40..41 inside
  // e_cxcy's 40..43, its cycle warning still among its messages) and e_nested (on s_rect,
  // inside e_rect's 0..10).
  std::map<std::string, int32_t> expected;
  for (const std::string& id : kFortyItemsOrder) expected[id] = MARDEL_ITEM_BUILT;
  expected["cap_e"] = MARDEL_ITEM_UNSUPPORTED;
  expected["cyc_a"] = MARDEL_ITEM_NO_EFFECT;
  expected["cyc_b"] = MARDEL_ITEM_NO_EFFECT;
  expected["e_nested"] = MARDEL_ITEM_NO_EFFECT;
  expected["self_ref"] = MARDEL_ITEM_WARNED;
  EXPECT_EQ(outcomes, expected);
  EXPECT_EQ(capture.find("cap_e")->reason, "unsupported feature type Extrude");

  // Every item's messages are the warning and error lines the log got while it was
  // written, word for word, after the import's own warnings about it.
  for (const Item& item : capture.records) {
    if (item.outcome == MARDEL_ITEM_SKIPPED) continue;
    SCOPED_TRACE(item.id);
    std::vector<std::string> messages = item.messages;
    if (!messages.empty() && messages.front() == "Cyclic detail reference skipped.")
      messages.erase(messages.begin());
    EXPECT_EQ(messages, capture.loggedFor(item));
  }
  // s_bad holds a circle without a centre and a hyperbola, between two good circles.
  EXPECT_EQ(capture.find("s_bad")->messages,
            (std::vector<std::string>{"error: circle geometry missing center or cx/cy",
                                      "unsupported geometry type: hyperbola"}));
  EXPECT_EQ(capture.find("self_ref")->messages.front(), "Cyclic detail reference skipped.");
}

TEST_F(ItemReport, FortyItemsBodiesVolumesAndObjects) {
  ASSERT_EQ(draw(fortyItems()), 1);
  const Item* rect = capture.find("e_rect");
  ASSERT_TRUE(rect && rect->hasBody && rect->hasVolume);
  EXPECT_EQ(rect->body, "PartBody");
  EXPECT_EQ(rect->objects, std::vector<std::string>{"RectPad"});
  // The first pad: 100 x 50 x 10 = 50,000 mm^3.
  EXPECT_REL_NEAR(rect->volume, 50000.0, 1e-9);
  // The circle of radius 5 at z = 20, 5 up and 5 down: a separate cylinder of
  // pi * 25 * 10 = 785.398 mm^3 beside the plate.
  const Item* circle = capture.find("e_circle");
  ASSERT_TRUE(circle && circle->hasVolume);
  EXPECT_REL_NEAR(circle->volume, 50000.0 + 250.0 * M_PI, 1e-9);
  // A sketch lands in the body but makes no solid.
  const Item* sketch = capture.find("s_rect");
  ASSERT_TRUE(sketch && sketch->hasBody);
  EXPECT_EQ(sketch->body, "PartBody");
  EXPECT_FALSE(sketch->hasVolume);
  EXPECT_EQ(sketch->objects, std::vector<std::string>{"s_rect"});
  // The tilted sketch stands on a plane of its own, made before it.
  EXPECT_EQ(capture.find("s_tilted")->objects,
            (std::vector<std::string>{"Tilted_plane", "Tilted"}));
  for (const Item& item : capture.records) EXPECT_GE(item.seconds, 0) << item.id;
}

TEST_F(ItemReport, WithoutVolumesTheRecordsKeepEverythingElse) {
  MardelImport_SetReportSinkWithFlags(&Capture::event, &capture, MARDEL_REPORT_NO_VOLUMES);
  ASSERT_EQ(draw(fortyItems()), 1);
  const Item* rect = capture.find("e_rect");
  ASSERT_TRUE(rect && rect->hasBody);
  EXPECT_EQ(rect->body, "PartBody");
  EXPECT_EQ(rect->objects, std::vector<std::string>{"RectPad"});
  for (const Item& item : capture.records) EXPECT_FALSE(item.hasVolume) << item.id;
  // Installing the sink again without flags measures again: 100 x 50 x 10 = 50,000 mm^3.
  capture.records.clear();
  MardelImport_SetReportSink(&Capture::event, &capture);
  ASSERT_EQ(draw(fortyItems()), 1);
  rect = capture.find("e_rect");
  ASSERT_TRUE(rect && rect->hasVolume);
  EXPECT_REL_NEAR(rect->volume, 50000.0, 1e-9);
}

// A caller that installs a sink for one draw reads the one there first, to put it back.
TEST_F(ItemReport, TheInstalledSinkCanBeReadBack) {
  MardelReportSinkFn sink = nullptr;
  void* context = &capture;
  uint32_t flags = 7;
  MardelImport_SetReportSink(nullptr, nullptr);
  MardelImport_GetReportSink(&sink, &context, &flags);
  EXPECT_EQ(sink, nullptr);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(flags, 0u);
  MardelImport_SetReportSinkWithFlags(&Capture::event, &capture, MARDEL_REPORT_NO_VOLUMES);
  MardelImport_GetReportSink(&sink, &context, &flags);
  EXPECT_EQ(sink, &Capture::event);
  EXPECT_EQ(context, &capture);
  EXPECT_EQ(flags, static_cast<uint32_t>(MARDEL_REPORT_NO_VOLUMES));
  MardelImport_SetReportSink(&Capture::event, &capture);
  MardelImport_GetReportSink(nullptr, nullptr, &flags);
  EXPECT_EQ(flags, 0u);
}

TEST_F(ItemReport, FailedItemCarriesTheLoggedTextsAndItsDependentIsNeverReached) {
  // A zero-height pad fails; "e2" names it and is never written; "x1" has no handler;
  // "e3" is built.
  const std::string json =
      R"({"flatNode":[)" + rectangleSketch("s1", 10, 10) +
      R"(,{"type":"extrude","id":"e1","sketchId":"s1","n1Height":0},)"
      R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"featureId":"e1"},)"
      R"({"type":"spring","id":"x1","sketchId":"s1"},)"
      R"({"type":"extrude","id":"e3","sketchId":"s1","n1Height":2}]})";
  ASSERT_EQ(draw(json), 2);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
  std::vector<std::string> order;
  for (const Item& item : capture.records) order.push_back(item.id);
  EXPECT_EQ(order, (std::vector<std::string>{"s1", "e1", "x1", "e3", "e2"}));

  const Item* failed = capture.find("e1");
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->outcome, MARDEL_ITEM_FAILED);
  ASSERT_FALSE(failed->messages.empty());
  EXPECT_EQ(failed->messages, capture.loggedFor(*failed));
  EXPECT_EQ(failed->messages.back(),
            "error: exception occurred while parsing extrude, name = e1, id = e1");

  const Item* dependent = capture.find("e2");
  EXPECT_EQ(dependent->outcome, MARDEL_ITEM_NEVER_REACHED);
  EXPECT_EQ(dependent->reason, "depends on e1, which failed");
  EXPECT_EQ(capture.find("x1")->outcome, MARDEL_ITEM_UNSUPPORTED);
  EXPECT_EQ(capture.find("x1")->reason, "unsupported feature type spring");
  const Item* built = capture.find("e3");
  EXPECT_EQ(built->outcome, MARDEL_ITEM_BUILT);
  // 10 x 10 x 2 = 200 mm^3.
  ASSERT_TRUE(built->hasVolume);
  EXPECT_REL_NEAR(built->volume, 200.0, 1e-9);
}

TEST_F(ItemReport, ToolBodyLandsInTheBodyItCutsAndThePartMeasuresAllBodies) {
  // A 100 x 50 x 10 plate, a bore of radius 5 cut through it from the top, and a block
  // in a body of its own.
  const std::string json =
      R"({"flatNode":[)" + rectangleSketch("s_plate", 100, 50) +
      R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10},)"
      R"({"type":"sketch","id":"s_bore","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],)"
      R"("geometries":[{"type":"circle","center":{"x":50,"y":25},"radius":5}]},)"
      R"({"type":"extrude","id":"bore","boolType":"remove","boolSolids":["plate"],)"
      R"("sketchId":"s_bore","n1Height":10,"direction":{"x":0,"y":0,"z":-1}},)" +
      rectangleSketch("s_block", 10, 10, 50) +
      R"(,{"type":"extrude","id":"block","boolType":"new","sketchId":"s_block","n1Height":4}]})";
  ASSERT_LE(draw(json), 1);
  const Item* plate = capture.find("plate");
  const Item* bore = capture.find("bore");
  const Item* block = capture.find("block");
  ASSERT_TRUE(plate && bore && block);
  EXPECT_EQ(bore->body, plate->body);
  // 50,000 - pi * 25 * 10.
  ASSERT_TRUE(bore->hasVolume);
  EXPECT_REL_NEAR(bore->volume, 50000.0 - 250.0 * M_PI, 1e-9);
  EXPECT_NE(block->body, plate->body);
  // 10 x 10 x 4.
  ASSERT_TRUE(block->hasVolume);
  EXPECT_REL_NEAR(block->volume, 400.0, 1e-9);

  auto roots = host::query<host::DocumentRoots>(document);
  auto container = host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
  auto measure = host::query<host::SolidVolume>(container->part());
  ASSERT_TRUE(measure);
  double all = 0;
  ASSERT_TRUE(measure->volume(all));
  EXPECT_REL_NEAR(all, 50000.0 - 250.0 * M_PI + 400.0, 1e-9);
}

// The sink adds a report and nothing else: the log is line for line what it is without it,
// and so is the result record.
// A 100 x 50 x 10 plate (50,000 mm^3) and, after it, `items`.
std::string onPlate(const std::string& items) {
  return R"({"flatNode":[)" + rectangleSketch("s_plate", 100, 50) +
         R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10},)" + items + "]}";
}

// A circle of radius 5 at (x, y) on a plane at height z.
std::string circleSketch(const std::string& id, double x, double y, double z) {
  auto n = [](double v) { return std::to_string(v); };
  return R"({"type":"sketch","id":")" + id + R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,)" + n(z) +
         R"(,1],"geometries":[{"type":"circle","center":{"x":)" + n(x) + R"(,"y":)" + n(y) +
         R"(},"radius":5}]})";
}

TEST_F(ItemReport, ItemsThatChangeNothingHaveNoEffect) {
  // A bore at x = 300, beside the plate: the cut removes nothing. A hole whose location
  // (250, 25, 10) is off every face drills nothing. A bore through the middle does cut:
  // 50,000 - pi * 25 * 10.
  const std::string json =
      onPlate(circleSketch("s_miss", 300, 25, 10) +
              R"(,{"type":"extrude","id":"miss","boolType":"remove","boolSolids":["plate"],)"
              R"("sketchId":"s_miss","n1Height":10,"direction":{"x":0,"y":0,"z":-1}},)"
              R"({"type":"hole","id":"h_off","holeType":"simple","diameter":6,"depth":5,)"
              R"("locations":[{"x":250,"y":25,"z":10}],"direction":{"dx":0,"dy":0,"dz":-1},)"
              R"("boolSolids":["plate"]},)" +
              circleSketch("s_bore", 50, 25, 10) +
              R"(,{"type":"extrude","id":"bore","boolType":"remove","boolSolids":["plate"],)"
              R"("sketchId":"s_bore","n1Height":10,"direction":{"x":0,"y":0,"z":-1}})");
  ASSERT_LE(draw(json), 1);
  const Item* miss = capture.find("miss");
  ASSERT_TRUE(miss);
  EXPECT_EQ(miss->outcome, MARDEL_ITEM_NO_EFFECT);
  EXPECT_EQ(miss->reason,
            "the cut removed no material (the body's volume stays 50000 mm^3): it misses the "
            "solid");
  const Item* off = capture.find("h_off");
  ASSERT_TRUE(off);
  EXPECT_EQ(off->outcome, MARDEL_ITEM_NO_EFFECT);
  EXPECT_EQ(off->reason.rfind("the hole drilled nothing", 0), 0u) << off->reason;
  const Item* bore = capture.find("bore");
  ASSERT_TRUE(bore && bore->hasVolume);
  EXPECT_EQ(bore->outcome, MARDEL_ITEM_BUILT);
  EXPECT_REL_NEAR(bore->volume, 50000.0 - 250.0 * M_PI, 1e-9);

  // Without volumes nothing is measured, and the cut that misses passes as built.
  capture = Capture();
  MardelImport_SetReportSinkWithFlags(&Capture::event, &capture, MARDEL_REPORT_NO_VOLUMES);
  auto second = session.newDocument("Part");
  ASSERT_LE(drawInto(second.get(), json), 1);
  ASSERT_TRUE(capture.find("miss"));
  EXPECT_EQ(capture.find("miss")->outcome, MARDEL_ITEM_BUILT);
}

TEST_F(ItemReport, AShellWhoseFacesMatchNothingHasNoEffect) {
  // The face descriptor at z = 25 lies above the 10 mm plate: no face matches, and the shell
  // is a closed cavity. Said even without volumes: the writer knows it.
  MardelImport_SetReportSinkWithFlags(&Capture::event, &capture, MARDEL_REPORT_NO_VOLUMES);
  ASSERT_LE(draw(onPlate(R"({"type":"shell","id":"sh","thickness":2,"shellFaces":[)"
                         R"({"featureId":"plate","topoType":"face","type":"plane",)"
                         R"("loc":[50,25,25],"vDir":[0,0,1]}]})")),
            1);
  const Item* shell = capture.find("sh");
  ASSERT_TRUE(shell);
  EXPECT_EQ(shell->outcome, MARDEL_ITEM_NO_EFFECT);
  EXPECT_EQ(shell->reason,
            "none of the 1 \"shellFaces\" matched a face of the solid: the shell is a closed "
            "cavity with no open face");
}

TEST_F(ItemReport, APadWithoutBoolSolidsIsNoErrorButAMissingProfileIs) {
  // The core logs "error: invalid or missing ids" for every feature without "boolSolids",
  // and again for an extrude without a profile; only the second is the item's.
  ASSERT_EQ(draw(onPlate(R"({"type":"extrude","id":"bare","n1Height":5})")), 2);
  const Item* plate = capture.find("plate");
  ASSERT_TRUE(plate);
  EXPECT_TRUE(plate->messages.empty()) << plate->messages.front();
  const Item* bare = capture.find("bare");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->messages,
            (std::vector<std::string>{
                "error: invalid or missing ids",
                "error: spSpecObj is null after parsing extrude, name = bare, id = bare"}));
}

// Two removes in a row are cut together once the plate's solid is needed; the second
// takes the whole plate away, which only that cut finds. It still fails its own item, at the
// close of the draw, with the kernel's reason, and the first still cuts: with the report and
// without it.
TEST_F(ItemReport, ACutFoundFailingWhenItsRunIsComputedFailsItsOwnItem) {
  const std::string json =
      onPlate(circleSketch("s_b1", 50, 25, 10) +
              R"(,{"type":"extrude","id":"b1","boolType":"remove","boolSolids":["plate"],)"
              R"("sketchId":"s_b1","n1Height":10,"direction":{"x":0,"y":0,"z":-1}},)" +
              rectangleSketch("s_all", 200, 200, 15) +
              R"(,{"type":"extrude","id":"all","boolType":"remove","boolSolids":["plate"],)"
              R"("sketchId":"s_all","n1Height":20,"direction":{"x":0,"y":0,"z":-1}})");
  for (bool withReport : {true, false}) {
    SCOPED_TRACE(withReport ? "with the report" : "without it");
    if (!withReport) MardelImport_SetReportSink(nullptr, nullptr);
    document = session.newDocument("Part");
    capture.records.clear();
    ASSERT_EQ(draw(json), 2);
    EXPECT_STREQ(result.message, "One or more features failed to update.");
    auto roots = host::query<host::DocumentRoots>(document);
    auto container =
        host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
    double all = 0;
    ASSERT_TRUE(host::query<host::SolidVolume>(container->part())->volume(all));
    // 50,000 - pi * 25 * 10: the first bore alone.
    EXPECT_REL_NEAR(all, 50000.0 - 250.0 * M_PI, 1e-9);
    if (!withReport) continue;
    const Item* failed = nullptr;
    for (const Item& item : capture.records) {
      if (item.id == "all") failed = &item;  // the last record of it stands
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->outcome, MARDEL_ITEM_FAILED);
    ASSERT_FALSE(failed->messages.empty());
    EXPECT_NE(failed->messages.back().find("(Update) ERROR : "), std::string::npos);
    EXPECT_NE(failed->messages.back().find("nothing is left of the body"), std::string::npos)
        << failed->messages.back();
    EXPECT_EQ(capture.find("b1")->outcome, MARDEL_ITEM_BUILT);
  }
}

TEST_F(ItemReport, LogAndResultAreTheSameWithoutTheSink) {
  ASSERT_EQ(draw(fortyItems()), 1);
  const std::vector<std::string> withSink = capture.log;
  const MardelImportResult withResult = result;

  MardelImport_SetReportSink(nullptr, nullptr);
  capture = Capture();
  auto second = session.newDocument("Part");
  ASSERT_EQ(drawInto(second.get(), fortyItems()), 1);
  EXPECT_TRUE(capture.records.empty());
  EXPECT_EQ(capture.log, withSink);
  EXPECT_EQ(std::memcmp(&withResult, &result, sizeof result), 0);
}

}  // namespace
