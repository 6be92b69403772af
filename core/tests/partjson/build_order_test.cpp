// Each body's features stand in the order their items were built, so that an item that
// works on an earlier item's faces (a fillet, a hole, a cut) is computed after it. The
// tree is walked through the host and every object is traced to the item that made it.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "entry_fixture.h"
#include "host/creation_journal.h"
#include "plate_json.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string num(double v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

// A sketch at height z holding the rectangle (x0, y0)-(x1, y1).
std::string rectangleSketch(const std::string& id, double z, double x0, double y0, double x1,
                            double y1) {
  auto line = [](double a, double b, double c, double d) {
    return R"({"type":"line","x1":)" + num(a) + R"(,"y1":)" + num(b) + R"(,"x2":)" + num(c) +
           R"(,"y2":)" + num(d) + "}";
  };
  return R"({"type":"sketch","id":")" + id + R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,)" +
         num(z) + R"(,1],"geometries":[)" + line(x0, y0, x1, y0) + "," + line(x1, y0, x1, y1) +
         "," + line(x1, y1, x0, y1) + "," + line(x0, y1, x0, y0) + "]}";
}

std::string pad(const std::string& id, double height, const std::string& extra = "") {
  return R"({"type":"extrude","id":")" + id + R"(","sketchId":"s_)" + id + R"(","n1Height":)" +
         num(height) + extra + "}";
}

// The L-bracket: a 60 x 40 x 10 base, an upright 40 x 10 x 40 standing on it at
// x 10..50, y 10..20; a round of radius 3 on the upright's vertical edge at x 50, y 10;
// a counterbored hole drilled along +y into the upright's front face at (30, 10, 30).
const std::string kBase = rectangleSketch("s_base", 0, 0, 0, 60, 40) + "," + pad("base", 10);
const std::string kUprightSketch = rectangleSketch("s_upright", 10, 10, 10, 50, 20);
const std::string kRound =
    R"({"type":"fillet","id":"round","radius":3,"filletTopos":[{"featureId":"upright",)"
    R"("topoType":"edge","type":"line","start":[50,10,10],"end":[50,10,50]}]})";
const std::string kCounterbore =
    R"({"type":"hole","id":"cbore","holeType":"counterbore","diameter":6,"depth":8,)"
    R"("counterboreDiameter":12,"counterboreDepth":3,"featureId":"upright",)"
    R"("direction":{"dx":0,"dy":1,"dz":0},"locations":[{"x":30,"y":10,"z":30}]})";
// Base 24000 + upright 16000; the round takes (1 - pi/4) * 3^2 * 40 = 360 - 90 pi; the
// counterbore 12 x 3 in the 6 mm hole 8 deep takes pi*36*3 + pi*9*5 = 153 pi.
const double kBracket = 40000 - (360 - 90 * M_PI) - 153 * M_PI;

class BuildOrderTest : public EntryTest {
 protected:
  struct Item {
    std::string id;
    int32_t outcome = -1;
    bool hasVolume = false;
    double volume = 0;
  };

  void SetUp() override {
    EntryTest::SetUp();
    MardelImport_SetReportSink(&BuildOrderTest::event, this);
  }
  void TearDown() override { MardelImport_SetReportSink(nullptr, nullptr); }

  host::SpecObjectPtr part() {
    auto roots = document->query<host::DocumentRoots>();
    return host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType))->part();
  }
  static const void* identity(const host::SpecObjectPtr& object) {
    return object->queryInterface(host::kUnknownId).get();
  }

  // Every object an item made is traced to its place in the build order.
  static void event(void* self, int32_t kind, const MardelItemReport* r) {
    static_cast<BuildOrderTest*>(self)->take(kind, *r);
  }
  void take(int32_t kind, const MardelItemReport& r) {
    auto journal = host::query<host::CreationJournal>(part());
    if (kind == MARDEL_REPORT_ITEM_START) {
      mark = journal->mark();
      inItem = true;
    }
    if (kind != MARDEL_REPORT_ITEM_DONE || !inItem) return;
    inItem = false;
    for (const auto& object : journal->joinedSince(mark)) madeBy[identity(object)] = built.size();
    built.push_back({std::string(r.id.text, r.id.size), r.outcome, r.hasVolume != 0, r.volume});
  }

  // Each body's children whose items came out of build order, and how many were checked.
  std::vector<std::string> outOfOrder(std::size_t& checked) {
    std::vector<std::string> wrong;
    checked = 0;
    for (const auto& node : host::query<host::Descendants>(part())->allDescendants()) {
      if (node->typeName() != "Body") continue;
      std::size_t last = 0;
      std::string lastName;
      for (const auto& child : host::query<host::Descendants>(node)->children()) {
        auto it = madeBy.find(identity(child));
        if (it == madeBy.end()) continue;
        ++checked;
        if (it->second < last) {
          wrong.push_back(node->name() + ": " + child->name() + " of " + built[it->second].id +
                          " stands after " + lastName + " of " + built[last].id);
          continue;
        }
        last = it->second;
        lastName = child->name();
      }
    }
    return wrong;
  }
  void expectBuildOrder(std::size_t atLeast) {
    std::size_t checked = 0;
    const std::vector<std::string> wrong = outOfOrder(checked);
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
    EXPECT_GE(checked, atLeast);
  }
  void fresh() {
    document = session.newDocument("Part");
    window = session.openWindow(document);
    madeBy.clear();
    built.clear();
  }

  std::uint64_t mark = 0;
  bool inItem = false;
  std::map<const void*, std::size_t> madeBy;
  std::vector<Item> built;
};

TEST_F(BuildOrderTest, BracketRoundAndCounterboreOnTheSecondPad) {
  ASSERT_EQ(draw("{\"flatNode\":[" + kBase + "," + kUprightSketch + "," + pad("upright", 40) + "," +
                 kRound + "," + kCounterbore + "]}"),
            0)
      << result.message;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, kBracket, 1e-6);
  EXPECT_NEAR(m.zmax, 50, 1e-6);
  expectBuildOrder(6);
}

TEST_F(BuildOrderTest, BracketWithTheUprightInABodyOfItsOwnMergedByAdd) {
  // A 60 x 10 x 5 lip at the back of the base (y 30..40) merges the upright's body into
  // the part body by "add", before the round and the hole: 3000 more.
  const std::string lip = rectangleSketch("s_lip", 10, 0, 30, 60, 40) + "," +
                          pad("lip", 5, R"(,"boolType":"add","boolSolids":["base","upright"])");
  ASSERT_EQ(draw("{\"flatNode\":[" + kBase + "," + kUprightSketch + "," +
                 pad("upright", 40, R"(,"boolType":"new")") + "," + lip + "," + kRound + "," +
                 kCounterbore + "]}"),
            0)
      << result.message;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, kBracket + 3000, 1e-6);
  expectBuildOrder(8);
}

TEST_F(BuildOrderTest, BundledExamplesAndTheFortyItemsKeepBuildOrderInEveryBody) {
  std::vector<std::string> files = {std::string(KESTRUN_TEST_DATA) + "/parts/forty_items.json"};
  for (const auto& entry : std::filesystem::directory_iterator(KESTRUN_EXAMPLES)) {
    const std::string text = readFile(entry.path().string());
    // Part files only: an assembly has its own documents, and no_mode.json has no items.
    const bool items = text.find("\"flatNode\"") != std::string::npos ||
                       text.find("\"sequences\"") != std::string::npos;
    if (entry.path().extension() == ".json" && items &&
        text.find("\"partList\"") == std::string::npos)
      files.push_back(entry.path().string());
  }
  ASSERT_GE(files.size(), 7u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    fresh();
    EXPECT_LE(draw(readFile(file)), 1) << result.message;
    ASSERT_FALSE(built.empty());
    expectBuildOrder(built.size() / 2);
  }
}

TEST_F(BuildOrderTest, WithoutClearingTheFirstItemLandsAfterTheFeatureTheUserMadeCurrent) {
  // A user's part of two stacked blocks, 40 x 40 x 10 each; the user makes the lower
  // pad current and draws three more items without clearing.
  ASSERT_EQ(
      draw("{\"flatNode\":[" + rectangleSketch("s_low", 0, 0, 0, 40, 40) + "," + pad("low", 10) +
           "," + rectangleSketch("s_high", 10, 0, 0, 40, 40) + "," + pad("high", 10) + "]}"),
      0);
  auto partApi = host::query<host::Part>(part());
  host::SpecObjectPtr low, high;
  for (const auto& object : host::query<host::Descendants>(part())->allDescendants()) {
    auto alias = host::query<host::Alias>(object);
    if (alias && alias->alias() == "low" && object->typeName() == "Pad") low = object;
    if (alias && alias->alias() == "high" && object->typeName() == "Pad") high = object;
  }
  ASSERT_TRUE(low && high);
  ASSERT_EQ(partApi->setCurrentFeature(low), host::kOk);
  madeBy.clear();
  built.clear();
  MardelImportOptions keep = defaults();
  keep.clearPart = 0;
  // Three 10 x 10 x 5 studs on the lower block's top.
  ASSERT_EQ(draw("{\"flatNode\":[" + rectangleSketch("s_stud1", 10, 0, 0, 10, 10) + "," +
                     pad("stud1", 5) + "," + rectangleSketch("s_stud2", 10, 20, 0, 30, 10) + "," +
                     pad("stud2", 5) + "," + rectangleSketch("s_stud3", 10, 0, 20, 10, 30) + "," +
                     pad("stud3", 5) + "]}",
                 &keep),
            0)
      << result.message;
  // PartBody: the user's sketch and pad, the six new items in build order, then the
  // user's later sketch and pad.
  std::vector<std::string> names;
  for (const auto& child : host::query<host::Descendants>(partApi->mainBody())->children()) {
    auto alias = host::query<host::Alias>(child);
    names.push_back(alias ? alias->alias() : child->name());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"s_low", "low", "s_stud1", "stud1", "s_stud2", "stud2",
                                             "s_stud3", "stud3", "s_high", "high"}));
  // The import leaves the body current, as it did.
  EXPECT_TRUE(host::sameObject(partApi->currentFeature(), partApi->mainBody()));
  // Two blocks of 16000; the studs lie inside the upper block.
  EXPECT_REL_NEAR(exported().volume, 32000, 1e-6);
}

// A bore of radius 2 down through the 10 mm plate at (x, y), removed from "plate".
std::string bore(const std::string& id, double x, double y) {
  return R"({"type":"sketch","id":"s_)" + id +
         R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],"geometries":[{"type":"circle",)"
         R"("center":{"x":)" +
         num(x) + R"(,"y":)" + num(y) + R"(},"radius":2}]},{"type":"extrude","id":")" + id +
         R"(","boolType":"remove","boolSolids":["plate"],"sketchId":"s_)" + id +
         R"(","n1Height":10,"direction":{"x":0,"y":0,"z":-1}})";
}

TEST_F(BuildOrderTest, ReportVolumesOfARunWhoseToolsOverlapAreThoseOfTheirUnion) {
  // Bores a and b overlap (centres 2 mm apart), c stands apart. Two circles of radius 2 at
  // distance 2 share the lens 2 r^2 acos(d / 2r) - (d / 2) sqrt(4 r^2 - d^2) = 8 pi / 3 -
  // 2 sqrt 3, so a and b together take 10 (8 pi - 8 pi / 3 + 2 sqrt 3) from the plate, not
  // twice 40 pi; c takes 40 pi more.
  const std::string json = R"({"flatNode":[)" + rectangleSketch("s_plate", 0, 0, 0, 100, 100) +
                           "," + pad("plate", 10) + "," + bore("a", 50, 50) + "," +
                           bore("b", 52, 50) + "," + bore("c", 20, 20) + "]}";
  ASSERT_EQ(draw(json), 0) << result.message;
  const double both = 10 * (16 * M_PI / 3 + 2 * std::sqrt(3.0));
  const std::map<std::string, double> expected = {{"plate", 100000},
                                                  {"a", 100000 - 40 * M_PI},
                                                  {"b", 100000 - both},
                                                  {"c", 100000 - both - 40 * M_PI}};
  std::size_t seen = 0;
  for (const Item& item : built) {
    auto want = expected.find(item.id);
    if (want == expected.end()) continue;
    ASSERT_TRUE(item.hasVolume) << item.id;
    EXPECT_REL_NEAR(item.volume, want->second, 1e-7) << item.id;
    ++seen;
  }
  EXPECT_EQ(seen, expected.size());
  EXPECT_REL_NEAR(exported().volume, 100000 - both - 40 * M_PI, 1e-6);
}

TEST_F(BuildOrderTest, PlateReportVolumeFallsBoreByBore) {
  // Sixty of the plate's bores: enough to see each one land in order, few enough that the
  // sanitizer build measures every one of them in reasonable time.
  ASSERT_EQ(draw(bench::plateJson(60)), 0) << result.message;
  // The plate 200 * 150 * 10 = 300000; each through-bore of radius 2 takes pi*2^2*10 =
  // 40 pi more than the one before it: the body after bore k holds 300000 - 40 pi k.
  std::vector<double> bores;
  for (const Item& item : built) {
    if (item.id == "plate") {
      EXPECT_REL_NEAR(item.volume, 300000, 1e-7);
    }
    if (item.id.rfind('b', 0) == 0 && item.hasVolume) bores.push_back(item.volume);
  }
  ASSERT_EQ(bores.size(), 60u);
  for (std::size_t k = 1; k <= bores.size(); ++k) {
    const double expected = 300000 - 40 * M_PI * static_cast<double>(k);
    ASSERT_NEAR(bores[k - 1], expected, expected * 1e-7) << "bore " << k;
  }
  EXPECT_REL_NEAR(exported().volume, 300000 - 60 * 40 * M_PI, 1e-6);
}

}  // namespace
