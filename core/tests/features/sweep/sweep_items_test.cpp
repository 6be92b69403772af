// Rotate, loft and sweep items drawn through the entry, measured on the STEP export.
#include <string>
#include <vector>

#include "entry_fixture.h"
#include "features/writer/feature_writer.h"
#include "features/writer/writer_services.h"
#include "host/part.h"
#include "host/wireframe.h"
#include "occt_host/kernel/inspect.h"
#include "part_json.h"
#include "sketch/sketch_writer.h"

namespace {

using part_json::circle;
using part_json::kPlaneXZ;
using part_json::kPlaneYZ;
using part_json::line;
using part_json::planeAtZ;
using part_json::rectangle;
using part_json::sketchOn;

const std::string kZAxis = R"("axis":{"x":0,"y":0,"z":0,"dx":0,"dy":0,"dz":1})";

// The rectangle x 10..20, z 0..5; a full turn about z is the ring
// pi (20^2 - 10^2) 5 = 1500 pi.
const std::string kRingProfile = sketchOn("s_ring", kPlaneXZ, rectangle(10, 0, 20, 5));
constexpr double kRing = 1500 * M_PI;

// Circles of radius 10, 15, 20 at z 0, 10, 20: the frustum pi 20 / 3 (400 + 200 + 100).
const std::string kFrustumSections = sketchOn("c1", planeAtZ(0), circle(0, 0, 10)) + "," +
                                     sketchOn("c2", planeAtZ(10), circle(0, 0, 15)) + "," +
                                     sketchOn("c3", planeAtZ(20), circle(0, 0, 20));
constexpr double kFrustum = M_PI * 20 / 3 * 700;

class SweepItemsTest : public EntryTest {};

TEST_F(SweepItemsTest, EachRotateTypeRevolvesTheRingBetweenItsAngles) {
  struct Case {
    std::string fields;
    double fraction;
  };
  const std::vector<Case> cases = {
      {R"("rotateType":"completely","angle1":10,"angle2":20)", 1.0},         // 0..360
      {R"("rotateType":"oneDirection","angle1":90,"angle2":20)", 0.25},      // 0..90
      {R"("rotateType":"twoDirection","angle1":10,"angle2":130)", 1.0 / 3},  // 10..130
      {R"("rotateType":"symmetry","angle1":30)", 1.0 / 6},                   // -30..30
      {R"("rotateType":"Completely","angle1":0,"angle2":180)", 0.5},         // as given
      {R"("angle1":0,"angle2":270)", 0.75},                                  // no type: as given
  };
  for (const Case& c : cases) {
    const std::string items = kRingProfile + R"(,{"type":"rotate","id":"r","name":"R",)" + kZAxis +
                              R"(,"sketchId":"s_ring",)" + c.fields + "}";
    EXPECT_EQ(drawItems(items), 0) << c.fields << result.message;
    EXPECT_REL_NEAR(exported().volume, kRing * c.fraction, 1e-6) << c.fields;
    EXPECT_TRUE(hasAlias("R_axis")) << c.fields;
    EXPECT_TRUE(hasAlias("R")) << c.fields;
  }
  drawItems(kRingProfile + R"(,{"type":"rotate","id":"r","name":"R",)" + kZAxis +
            R"(,"sketchId":"s_ring","rotateType":"symmetry","angle1":30})");
  EXPECT_TRUE(
      logged("debug: angle1 = 30, angle2 = 0, rotateType = symmetry, startAngle = -30, "
             "endAngle = 30"))
      << log;
}

TEST_F(SweepItemsTest, ShaftNewBodyIsAddedToThePadThroughTheBooleanStep) {
  // A 40 x 40 x 5 plate under the ring (z -5..0); the shaft is built apart ("new") and
  // added into the plate's body when a later item names both: 8000 + 1500 pi + a
  // separate 10 mm cube of 1000.
  const std::string items =
      sketchOn("s_plate", planeAtZ(-5), rectangle(-20, -20, 20, 20)) +
      R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":5},)" + kRingProfile +
      R"(,{"type":"rotate","id":"shaft","boolType":"new","rotateType":"completely",)" + kZAxis +
      R"(,"sketchId":"s_ring"},)" + sketchOn("s_cube", planeAtZ(0), rectangle(100, 0, 110, 10)) +
      R"(,{"type":"extrude","id":"cube","boolType":"add","boolSolids":["plate","shaft"],
          "sketchId":"s_cube","n1Height":10})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  StepMeasure m = exported();
  EXPECT_REL_NEAR(m.volume, 9000 + kRing, 1e-6);
}

TEST_F(SweepItemsTest, ShaftRemovedFromAPlateCutsARingGroove) {
  // Plate 40 x 40 x 10 (z 0..10) less the ring z 0..5: 16000 - 1500 pi.
  const std::string items =
      sketchOn("s_plate", planeAtZ(0), rectangle(-20, -20, 20, 20)) +
      R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10},)" + kRingProfile +
      R"(,{"type":"rotate","id":"groove","boolType":"remove","boolSolids":["plate"],)" +
      R"("rotateType":"completely",)" + kZAxis + R"(,"sketchId":"s_ring"})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 16000 - kRing, 1e-6);
}

TEST_F(SweepItemsTest, RotateFailuresAreReportedWithTheirText) {
  EXPECT_EQ(
      drawItems(kRingProfile + R"(,{"type":"rotate","id":"r","name":"R","sketchId":"s_ring"})"), 2);
  EXPECT_TRUE(logged("error: rotate axis is missing, name = R, id = r")) << log;
  // A profile across its axis: the kernel's text names the fault.
  const std::string across = sketchOn("s_x", kPlaneXZ, rectangle(-5, 0, 10, 5)) +
                             R"(,{"type":"rotate","id":"r","rotateType":"completely",)" + kZAxis +
                             R"(,"sketchId":"s_x"})";
  EXPECT_EQ(drawItems(across), 2);
  EXPECT_TRUE(logged("both sides of the revolution axis")) << log;
  EXPECT_STREQ(result.message, "One or more features failed to update.");
}

TEST_F(SweepItemsTest, LoftThroughThreeCirclesWithOneClosingPoint) {
  const std::string items =
      kFrustumSections + R"(,{"type":"loft","id":"l","name":"L","sketches":["c1","c2","c3"],
          "matchConnections":{"c2":{"x":15,"y":0}}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, kFrustum, 1e-3);
  EXPECT_TRUE(hasAlias("L_point2"));
  EXPECT_FALSE(hasAlias("L_point1"));
  EXPECT_FALSE(hasAlias("L_point3"));
  EXPECT_TRUE(logged("debug: SetSectionPoint for L sketch[1], rc = 0")) << log;
}

TEST_F(SweepItemsTest, LoftFromASquareToACircleLiesBetweenItsBounds) {
  // Square 20 x 20 at z 0 to its inscribed circle at z 10: pi 10^2 10 < V < 20^2 10.
  const std::string items = sketchOn("sq", planeAtZ(0), rectangle(-10, -10, 10, 10)) + "," +
                            sketchOn("ci", planeAtZ(10), circle(0, 0, 10)) +
                            R"(,{"type":"loft","id":"l","sketches":["sq","ci"]})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  const double v = exported().volume;
  EXPECT_GT(v, 1000 * M_PI);
  EXPECT_LT(v, 4000);
}

TEST_F(SweepItemsTest, LoftPocketedByARemoveItem) {
  // A 6 x 6 pocket from the top (z 20) down 20, with the 1 mm overshoot each way, goes
  // right through: the frustum less 6 * 6 * 20 = 720.
  const std::string items =
      kFrustumSections + R"(,{"type":"loft","id":"l","sketches":["c1","c2","c3"]},)" +
      sketchOn("s_p", planeAtZ(20), rectangle(-3, -3, 3, 3)) +
      R"(,{"type":"extrude","id":"p","boolType":"remove","boolSolids":["l"],"sketchId":"s_p",
          "n1Height":20,"direction":{"x":0,"y":0,"z":-1}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, kFrustum - 720, 1e-3);
}

TEST_F(SweepItemsTest, LoftThroughCoincidentSectionsFails) {
  const std::string items = sketchOn("a", planeAtZ(0), circle(0, 0, 10)) + "," +
                            sketchOn("b", planeAtZ(0), circle(0, 0, 10)) +
                            R"(,{"type":"loft","id":"l","sketches":["a","b"]})";
  EXPECT_EQ(drawItems(items), 2);
  EXPECT_TRUE(logged("(Update) ERROR : ")) << log;
}

// In the XY plane: a line from (0, 0) to (50, 0), then a quarter arc of radius 20 about
// (50, 20) on to (70, 20), tangent to the line.
const std::string kBentPath =
    sketchOn("path", planeAtZ(0),
             line(0, 0, 50, 0) +
                 R"(,{"type":"arc","center":{"x":50,"y":20},"start":{"x":50,"y":0},
                   "end":{"x":70,"y":20},"radius":20,"sweep":false})");

TEST_F(SweepItemsTest, CircleSweptAlongALineAndAnArcIsABentPipe) {
  const std::string items = kBentPath + "," + sketchOn("disc", kPlaneYZ, circle(0, 0, 2)) +
                            R"(,{"type":"sweep","id":"w","profile":["disc"],
                                "sketchPath":["path"]})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  // Cylinder plus a quarter torus (Pappus): pi 2^2 (50 + 20 pi / 2).
  EXPECT_REL_NEAR(exported().volume, 4 * M_PI * (50 + 10 * M_PI), 1e-3);
  EXPECT_TRUE(logged("debug: sweep created successfully")) << log;
}

TEST_F(SweepItemsTest, SweepWithoutProfileOrAlongACuspFails) {
  EXPECT_EQ(drawItems(kBentPath + R"(,{"type":"sweep","id":"w","profile":[],
                                       "sketchPath":["path"]})"),
            2);
  EXPECT_TRUE(logged("error: sweep profile not found")) << log;
  EXPECT_EQ(drawItems(sketchOn("disc", kPlaneYZ, circle(0, 0, 2)) +
                      R"(,{"type":"sweep","id":"w","profile":["disc"],"sketchPath":["none"]})"),
            2);
  EXPECT_TRUE(logged("error: sweep path not found")) << log;
  const std::string cusp =
      sketchOn("back", planeAtZ(0), line(0, 0, 50, 0) + "," + line(50, 0, 0, 1));
  EXPECT_EQ(drawItems(cusp + "," + sketchOn("disc", kPlaneYZ, circle(0, 0, 2)) +
                      R"(,{"type":"sweep","id":"w","profile":["disc"],"sketchPath":["back"]})"),
            2);
}

}  // namespace

namespace {

// Writers driven by hand, as the pipeline does, with section sketches not made yet.
class LoftWriterTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    auto roots = document->query<host::DocumentRoots>();
    state.container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
    state.partObject = state.container->part();
    state.part = host::query<host::Part>(state.partObject);
    state.booleanFactory = state.container->query<host::BooleanFactory>();
    state.wireframeFactory = state.container->query<host::WireframeFactory>();
    state.referenceSet = kestrun::createReferenceSet(state);
  }

  kestrun::Writer* add(std::unique_ptr<kestrun::Writer> writer, const rapidjson::Value& item) {
    writer->setSharedState(state);
    writer->setItem(&item);
    writer->initFromJson(item);
    kestrun::Writer* raw = writer.get();
    registry.emplace(raw->id(), std::move(writer));
    return raw;
  }

  kestrun::SharedWriterState state;
  kestrun::WriterRegistry registry;
  rapidjson::Document json;
};

TEST_F(LoftWriterTest, SectionsNotMadeYetGetPlanesOfTheirOwnAndPointsOnThem) {
  // c2 stands at z 10 turned a quarter about z: h = (0, 1, 0), v = (-1, 0, 0). Its closing
  // point (10, 0) is origin + 10 h = (0, 10, 10).
  json.Parse(("[" + sketchOn("c1", planeAtZ(0), circle(0, 0, 10)) + "," +
              sketchOn("c2", "[0,1,0,0, -1,0,0,0, 0,0,1,0, 0,0,10,1]", circle(0, 0, 10)) +
              R"(,{"type":"loft","id":"l","name":"L","sketches":["c1","c2"],
                   "matchConnections":{"c2":{"x":10,"y":0},"c1":{"x":"10"}}}])")
                 .c_str());
  ASSERT_FALSE(json.HasParseError());
  auto* c1 = add(std::make_unique<kestrun::SketchWriter>(), json[0]);
  auto* c2 = add(std::make_unique<kestrun::SketchWriter>(), json[1]);
  auto loft = std::make_unique<kestrun::FeatureWriter>(&registry);
  auto* writer = static_cast<kestrun::FeatureWriter*>(add(std::move(loft), json[2]));
  writer->setBoolType("add");
  ::testing::internal::CaptureStdout();
  writer->parseJson(json[2]);
  const std::string log = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(writer->status(), host::kOk) << log;
  ASSERT_TRUE(c1->hasSketch() && c2->hasSketch());
  EXPECT_TRUE(static_cast<kestrun::SketchWriter*>(c2)->supportPlane());
  // Two circles of radius 10, 10 apart: a cylinder of 1000 pi.
  EXPECT_REL_NEAR(occt_host::partVolume(document), 1000 * M_PI, 1e-3);
  // Only c2 has a well-formed closing point.
  host::SpecObjectPtr point;
  auto all = host::query<host::Descendants>(state.partObject)->allDescendants();
  for (const auto& object : all) {
    auto alias = host::query<host::Alias>(object);
    EXPECT_FALSE(alias && alias->alias() == "L_point1");
    if (alias && alias->alias() == "L_point2") point = object;
  }
  host::Point3 at;
  auto position = host::query<host::PointGeometry>(point);
  ASSERT_TRUE(position && position->position(at)) << log;
  EXPECT_NEAR(at.x, 0, 1e-9);
  EXPECT_NEAR(at.y, 10, 1e-9);
  EXPECT_NEAR(at.z, 10, 1e-9);
}

TEST_F(SweepItemsTest, LoftSectionThatIsNoSketchFailsTheItem) {
  const std::string items =
      kFrustumSections + R"(,{"type":"extrude","id":"pad","sketchId":"c1","n1Height":5},
          {"type":"loft","id":"l","name":"L","sketches":["c2","pad","c3"]})";
  EXPECT_EQ(drawItems(items), 2);
  EXPECT_TRUE(logged("debug: add section 1 to loft, rc = -2147024809")) << log;
  EXPECT_TRUE(logged("error: a loft section could not be added, name = L")) << log;
}

}  // namespace
