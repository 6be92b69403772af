// Fillet, chamfer, shell and draft items drawn through the entry on real solids, with
// volumes worked out by hand and each item's own outcome read from the log.
#include <BRepCheck_Analyzer.hxx>

#include <cmath>
#include <string>

#include "entry_fixture.h"
#include "host/part.h"
#include "occt_host/kernel/inspect.h"
#include "part_json.h"

namespace {

using namespace part_json;

// The 40 x 30 x 20 block: 24,000 mm^3.
const std::string kBlock = sketchAt("s_block", 0, rectangle(0, 0, 40, 30)) +
                           R"(,{"type":"extrude","id":"block","sketchId":"s_block","n1Height":20})";

std::string line(const std::string& feature, const char* start, const char* end) {
  return R"({"featureId":")" + feature + R"(","topoType":"edge","type":"line","start":)" + start +
         R"(,"end":)" + end + "}";
}

std::string plane(const std::string& feature, const char* normal, const char* point) {
  return R"({"featureId":")" + feature + R"(","topoType":"face","type":"plane","vDir":)" + normal +
         R"(,"loc":)" + point + "}";
}

class DressUpImportTest : public EntryTest {
 protected:
  TopoDS_Shape body() {
    auto roots = document->query<host::DocumentRoots>();
    auto container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
    return occt_host::solidOf(container->part());
  }
  double volume() { return occt_host::partVolume(document); }
  bool valid() { return BRepCheck_Analyzer(body()).IsValid(); }
};

constexpr double kPi = 3.14159265358979323846;
// What a fillet of radius 2 takes off a right-angled edge per mm: (1 - pi/4) r^2.
const double kRound2 = (1 - kPi / 4) * 4;

TEST_F(DressUpImportTest, FourMatchedEdgesMakeOneFilletNamedByTheItem) {
  // The four edges along x (top and bottom, front and back) do not meet one another.
  const std::string items =
      kPlate + R"(,{"type":"fillet","id":"f","name":"Rounds","radius":2,"filletTopos":[)" +
      line("plate", "[0,0,10]", "[100,0,10]") + "," + line("plate", "[0,100,10]", "[100,100,10]") +
      "," + line("plate", "[0,0,0]", "[100,0,0]") + "," +
      line("plate", "[100,100,0]", "[0,100,0]") + "]}";
  EXPECT_EQ(drawItems(items), 0) << result.message << log;
  // 100000 - 4 * 0.8584 * 100 = 99656.63...
  EXPECT_NEAR(volume(), 100000 - 4 * kRound2 * 100, 1e-6 * 100000);
  EXPECT_TRUE(hasAlias("Rounds"));
  EXPECT_TRUE(valid());
}

TEST_F(DressUpImportTest, WrongFeatureIdsFallBackToOneFilletPerEdge) {
  const std::string items =
      kPlate + "," + sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","sketchId":"s_p","n1Height":4,
          "direction":{"x":0,"y":0,"z":-1}})" +
      R"(,{"type":"fillet","id":"f","name":"Rounds","radius":2,"filletTopos":[)" +
      line("pocket", "[0,0,10]", "[100,0,10]") + "," +
      line("pocket", "[0,100,10]", "[100,100,10]") + "]}";
  EXPECT_EQ(drawItems(items), 0) << result.message << log;
  EXPECT_TRUE(
      logged("info: fillet topology fallback matched all references, name = Rounds, id = f"));
  EXPECT_TRUE(
      logged("info: topology fallback matched featureId = plate, originalFeatureId = "
             "pocket, index = 0"));
  EXPECT_TRUE(hasAlias("Rounds_1"));
  // 100000 - 2000 (the pocket with its 1 mm overshoot) - 2 * 85.84.
  EXPECT_NEAR(volume(), 100000 - 2000 - 2 * kRound2 * 100, 1e-6 * 100000);
  EXPECT_TRUE(valid());
}

TEST_F(DressUpImportTest, FilletWithoutReferencesIsSkippedWithAWarning) {
  const std::string items = kPlate + R"(,{"type":"fillet","id":"f","name":"Rounds","radius":2})";
  EXPECT_EQ(drawItems(items), 1) << result.message << log;
  EXPECT_EQ(result.hasWarnings, 1);
  EXPECT_TRUE(
      logged("warning: Skipped fillet because one or more topology references were not "
             "matched, name = Rounds, id = f"));
  EXPECT_NEAR(volume(), 100000, 1e-6);
}

TEST_F(DressUpImportTest, ChamferTypesAndTheirFailures) {
  const std::string edge = line("plate", "[0,0,10]", "[100,0,10]");
  // Equidistant 2: d^2 L / 2 = 4 * 100 / 2 = 200.
  EXPECT_EQ(drawItems(kPlate + R"(,{"type":"chamfer","id":"c","chamferType":"equidistant",
                                    "distance":2,"chamferTopos":[)" +
                      edge + "]}"),
            0)
      << result.message << log;
  EXPECT_NEAR(volume(), 100000 - 200, 1e-6);
  EXPECT_TRUE(logged("debug: chamfer, GetLength1 = 2, GetLength2 = 2"));
  // The type is case-sensitive: nothing is created and the item fails.
  EXPECT_EQ(drawItems(kPlate + R"(,{"type":"chamfer","id":"c","chamferType":"Equidistant",
                                    "distance":2,"chamferTopos":[)" +
                      edge + "]}"),
            2);
  EXPECT_TRUE(logged("chamferType invalid"));
  EXPECT_TRUE(logged("error: spSpecObj is null after parsing chamfer, name = c, id = c"));
  // An edge that is not there fails the item too.
  EXPECT_EQ(drawItems(kPlate + R"(,{"type":"chamfer","id":"c","chamferType":"equidistant",
                                    "distance":2,"chamferTopos":[)" +
                      line("plate", "[0,0,11]", "[100,0,11]") + "]}"),
            2);
  EXPECT_TRUE(logged("error: findTopos size = 0, expected = 1"));
}

TEST_F(DressUpImportTest, ShellsOpenAndClosed) {
  // Open at the top, 2 thick: 24000 - 36 * 26 * 18 = 7152.
  EXPECT_EQ(drawItems(kBlock + R"(,{"type":"shell","id":"sh","thickness":2,"shellFaces":[)" +
                      plane("block", "[0,0,1]", "[20,15,20]") + "]}"),
            0)
      << result.message << log;
  EXPECT_NEAR(volume(), 7152, 1e-6 * 7152);
  EXPECT_TRUE(valid());
  // Descriptors that match nothing leave a closed hollow: 24000 - 36 * 26 * 16 = 9024.
  EXPECT_EQ(drawItems(kBlock + R"(,{"type":"shell","id":"sh","thickness":2,"shellFaces":[)" +
                      plane("block", "[0,0,1]", "[20,15,25]") + "]}"),
            0)
      << result.message << log;
  EXPECT_NEAR(volume(), 9024, 1e-6 * 9024);
  EXPECT_TRUE(valid());
}

TEST_F(DressUpImportTest, DraftOfFourSidesAndADraftWithoutNeutralPlane) {
  const std::string sides =
      plane("block", "[0,-1,0]", "[20,0,10]") + "," + plane("block", "[1,0,0]", "[40,15,10]") +
      "," + plane("block", "[0,1,0]", "[20,30,10]") + "," + plane("block", "[-1,0,0]", "[0,15,10]");
  const std::string neutral =
      R"({"featureId":"block","topoType":"face","type":"plane","vDir":{"x":0,"y":0,"z":1},"loc":[20,15,0]})";
  EXPECT_EQ(drawItems(kBlock + R"(,{"type":"draft","id":"d","angle":5,"neutralPlane":)" + neutral +
                      R"(,"draftFaces":[)" + sides + "]}"),
            0)
      << result.message << log;
  // A frustum: V = 1200 h - 70 t h^2 + 4/3 t^2 h^3, t = tan 5 deg, h = 20.
  double t = std::tan(5 * kPi / 180), h = 20;
  double frustum = 1200 * h - 70 * t * h * h + 4.0 / 3.0 * t * t * h * h * h;
  EXPECT_NEAR(volume(), frustum, 1e-6 * frustum);
  EXPECT_TRUE(logged("debug: pullDir = (0, 0, 1)"));
  EXPECT_TRUE(valid());
  EXPECT_EQ(
      drawItems(kBlock + R"(,{"type":"draft","id":"d","angle":5,"draftFaces":[)" + sides + "]}"),
      2);
  EXPECT_TRUE(logged("error: spSpecObj is null after parsing draft, name = d, id = d"));
}

TEST_F(DressUpImportTest, ChamferOfAThroughBoreMadeInABodyOfItsOwn) {
  // The bore's cylinder is padded in a body of its own and removed from the plate; its
  // faces now stand on the plate's solid, where the descriptor finds the top rim.
  const std::string items =
      kPlate + "," +
      sketchAt("s_b", 10, R"({"type":"circle","center":{"x":50,"y":50},"radius":5})") +
      R"(,{"type":"extrude","id":"bore","boolType":"remove","sketchId":"s_b","n1Height":10,
          "direction":{"x":0,"y":0,"z":-1}},)" +
      R"({"type":"chamfer","id":"c","chamferType":"equidistant","distance":1,"chamferTopos":[
          {"featureId":"bore","topoType":"edge","type":"circle","vDir":[0,0,1],
           "center":[50,50,10],"radius":5}]})";
  EXPECT_EQ(drawItems(items), 0) << result.message << log;
  // The bevel is a ring of triangle 1 x 1 / 2 whose centroid lies at radius 5 + 1/3:
  // by Pappus 0.5 * 2 pi * (16 / 3) = 16 pi / 3. Plate 100000 - 250 pi - 16 pi / 3.
  EXPECT_NEAR(volume(), 100000 - 250 * kPi - 16 * kPi / 3, 1e-6 * 100000);
  EXPECT_TRUE(valid());
}

TEST_F(DressUpImportTest, FilletThenPocketThenChamferOfThePocketsRim) {
  const std::string items =
      kPlate + R"(,{"type":"fillet","id":"f","radius":2,"filletTopos":[)" +
      line("plate", "[0,0,10]", "[100,0,10]") + "]}," +
      sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","sketchId":"s_p","n1Height":4,
          "direction":{"x":0,"y":0,"z":-1}},)" +
      R"({"type":"chamfer","id":"c","chamferType":"equidistant","distance":2,"chamferTopos":[)" +
      line("pocket", "[40,40,10]", "[60,40,10]") + "]}";
  EXPECT_EQ(drawItems(items), 0) << result.message << log;
  // Each item reports its own outcome: none failed.
  EXPECT_FALSE(logged("error: spSpecObj is null")) << log;
  EXPECT_FALSE(logged("error: exception occurred")) << log;
  EXPECT_FALSE(logged("Skipped fillet")) << log;
  // 100000 - 85.84 (round) - 20 * 20 * 5 (pocket with overshoot) - 2 * 2 / 2 * 20 (bevel).
  EXPECT_NEAR(volume(), 100000 - kRound2 * 100 - 2000 - 40, 1e-6 * 100000);
  EXPECT_TRUE(valid());
}

}  // namespace
