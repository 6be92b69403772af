// Extrudes and booleans drawn through the entry, measured on the STEP export.
#include <string>

#include "entry_fixture.h"
#include "host/part.h"
#include "part_json.h"
#include "platform/environment.h"

namespace {

using namespace part_json;

class ExtrudeTest : public EntryTest {
 protected:
  void TearDown() override { platform::UnsetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM"); }
};

TEST_F(ExtrudeTest, HoledRectanglePaddedBothWaysOnATiltedPlane) {
  // Sketch axes x = (1,0,0), y = (0, cos 30, sin 30); normal (0, -sin 30, cos 30).
  const std::string items =
      R"({"type":"sketch","id":"s","name":"Tilted","matrix":[1,0,0,0, 0,0.8660254037844386,0.5,0,
          0,-0.5,0.8660254037844386,0, 0,0,0,1],"geometries":[)" +
      rectangle(0, 0, 40, 20) + "," + circle(20, 10, 5) +
      R"(]},{"type":"extrude","id":"e","sketchId":"s","n1Height":7,"n2Height":3,
          "direction":{"x":0,"y":-0.5,"z":0.8660254037844386}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  // (40*20 - pi*5^2) * (7 + 3) = 8000 - 250 pi
  EXPECT_REL_NEAR(exported().volume, 8000 - 250 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("Tilted_plane"));
}

TEST_F(ExtrudeTest, PocketWithTheDefaultOvershoot) {
  // Down from z = 10 by 4, plus 1 mm each way: the cut spans z 5..11, 20*20*5 = 2000.
  const std::string items =
      kPlate + "," + sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","sketchId":"s_p","n1Height":4,
          "direction":{"x":0,"y":0,"z":-1}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 100000 - 2000, 1e-6);
}

TEST_F(ExtrudeTest, PocketOvershootFollowsTheVariable) {
  const std::string items =
      kPlate + "," + sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","sketchId":"s_p","n1Height":4,
          "direction":{"x":0,"y":0,"z":-1}})";
  platform::SetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM", "0");
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 100000 - 1600, 1e-6);  // 20*20*4
  platform::SetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM", "-3");
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 100000 - 2000, 1e-6);  // a negative value means 1
}

TEST_F(ExtrudeTest, ContraryPocketCutsTheOtherWay) {
  // Along +Z with "contrary": first -5 grows to -6, second 0 becomes +1, so the cut fills
  // z 4..9 below the sketch at z = 10: 20*20*5 = 2000.
  const std::string items =
      kPlate + "," + sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","sketchId":"s_p","n1Height":5,
          "contrary":true})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 100000 - 2000, 1e-6);
}

TEST_F(ExtrudeTest, ThroughBoreCutsTheCircleOnlyAndNamesItsParts) {
  const std::string items =
      kPlate + "," + sketchAt("s_b", 10, rectangle(10, 10, 30, 30) + "," + circle(70, 70, 5)) +
      R"(,{"type":"extrude","id":"bore","name":"Bore","boolType":"remove","sketchId":"s_b",
          "n1Height":10,"direction":{"x":0,"y":0,"z":-1}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  // Only the cylinder goes: 100000 - pi*5^2*10.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 100000 - 250 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("Bore_through_bore_body"));
  EXPECT_TRUE(hasAlias("Bore_through_bore_sketch"));
  EXPECT_TRUE(hasAlias("Bore_through_bore_pad"));
  EXPECT_TRUE(hasAlias("Bore"));
}

TEST_F(ExtrudeTest, RemoveWithATargetCutsThatTargetAfterOtherBodies) {
  // A separate "new" box comes between the plate and the cut that names the plate.
  const std::string items =
      kPlate + "," + sketchAt("s_box", 0, rectangle(200, 0, 210, 10)) +
      R"(,{"type":"extrude","id":"box","boolType":"new","sketchId":"s_box","n1Height":10},)" +
      sketchAt("s_p", 10, rectangle(40, 40, 60, 60)) +
      R"(,{"type":"extrude","id":"pocket","boolType":"remove","boolSolids":["plate"],
          "sketchId":"s_p","n1Height":4,"direction":{"x":0,"y":0,"z":-1}})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  // Plate minus 2000, plus the untouched 1000 box.
  EXPECT_REL_NEAR(exported().volume, 100000 - 2000 + 1000, 1e-6);
}

TEST_F(ExtrudeTest, CommonKeepsTheOverlap) {
  const std::string items =
      sketchAt("s_a", 0, rectangle(0, 0, 20, 20)) +
      R"(,{"type":"extrude","id":"a","sketchId":"s_a","n1Height":20},)" +
      sketchAt("s_b", 0, rectangle(10, 10, 30, 30)) +
      R"(,{"type":"extrude","id":"b","boolType":"common","boolSolids":["a"],"sketchId":"s_b",
          "n1Height":20})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 10 * 10 * 20, 1e-6);
}

TEST_F(ExtrudeTest, NewBodyIsMergedByALaterItemThatNamesIt) {
  // a: 0..10 cube; b: "new" cube at x 5..15 overlapping a by 500; c names both, so b is
  // added into a's body first. One body: 1000 + 1000 - 500 + 1000 = 2500. Left apart the
  // bodies would sum to 3000.
  const std::string items =
      sketchAt("s_a", 0, rectangle(0, 0, 10, 10)) +
      R"(,{"type":"extrude","id":"a","sketchId":"s_a","n1Height":10},)" +
      sketchAt("s_b", 0, rectangle(5, 0, 15, 10)) +
      R"(,{"type":"extrude","id":"b","boolType":"new","sketchId":"s_b","n1Height":10},)" +
      sketchAt("s_c", 0, rectangle(40, 0, 50, 10)) +
      R"(,{"type":"extrude","id":"c","boolType":"add","boolSolids":["a","b"],"sketchId":"s_c",
          "n1Height":10})";
  EXPECT_EQ(drawItems(items), 0) << result.message;
  EXPECT_REL_NEAR(exported().volume, 2500, 1e-6);
}

TEST_F(ExtrudeTest, UnsupportedBoolTypeFailsTheItem) {
  const std::string items =
      kPlate + "," + sketchAt("s_u", 0, rectangle(0, 0, 10, 10)) +
      R"(,{"type":"extrude","id":"u","boolType":"union","sketchId":"s_u","n1Height":10})";
  EXPECT_EQ(drawItems(items), 2);
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
}

TEST_F(ExtrudeTest, ExtrudeOfAMissingSketchFails) {
  EXPECT_EQ(drawItems(R"({"type":"extrude","id":"e","sketchId":"nowhere","n1Height":5})"), 2);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
}

TEST_F(ExtrudeTest, UnsupportedTypeIsLoggedNotFailed) {
  EXPECT_EQ(drawItems(kPlate + R"(,{"type":"Extrude","id":"x","sketchId":"s_plate"})"), 0);
  EXPECT_EQ(result.createdCount, 3u);
  EXPECT_REL_NEAR(exported().volume, 100000, 1e-6);
}

}  // namespace
