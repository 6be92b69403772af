// Pattern and mirror items drawn through the pipeline, measured on the STEP export
// against volumes and extents worked out by hand. Boxes come from rectangle sketches
// padded along +z.
#include <chrono>
#include <string>

#include "entry/import_result.h"
#include "features/writer/feature_writer.h"
#include "host/part.h"
#include "host/pattern.h"
#include "host/topology.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"
#include "pipeline_fixture.h"

namespace {

using kestrun::FeatureWriter;

std::string n(double v) {
  std::string text = std::to_string(v);
  return text;
}

// A rectangle sketch x0..x1, y0..y1 in the plane z = z, and its pad `id` of `height`.
std::string box(const std::string& id, double x0, double y0, double x1, double y1, double z,
                double height, const std::string& extra = "") {
  const std::string s = "s_" + id;
  auto line = [](double a, double b, double c, double d) {
    return R"({"type":"line","x1":)" + n(a) + R"(,"y1":)" + n(b) + R"(,"x2":)" + n(c) +
           R"(,"y2":)" + n(d) + "}";
  };
  return R"({"type":"sketch","id":")" + s + R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,)" + n(z) +
         R"(,1],"geometries":[)" + line(x0, y0, x1, y0) + "," + line(x1, y0, x1, y1) + "," +
         line(x1, y1, x0, y1) + "," + line(x0, y1, x0, y0) + R"(]},{"type":"extrude","id":")" + id +
         R"(","sketchId":")" + s + R"(","n1Height":)" + n(height) + extra + "}";
}

// The plate 100 x 100 x 10 on z = 0..10: 100,000 mm^3.
const std::string kPlate = box("plate", 0, 0, 100, 100, 0, 10);

std::string axis(double x, double y, double z, double dx, double dy, double dz) {
  return R"({"x":)" + n(x) + R"(,"y":)" + n(y) + R"(,"z":)" + n(z) + R"(,"dx":)" + n(dx) +
         R"(,"dy":)" + n(dy) + R"(,"dz":)" + n(dz) + "}";
}

class PatternTest : public PipelineTest {
 protected:
  // Faces the item's feature made on its body's solid.
  std::size_t facesMadeBy(const std::string& id) {
    auto geometry = host::query<host::FeatureGeometry>(writer(id)->feature());
    return geometry ? geometry->boundaryCells().size() : 0;
  }
};

// A 10 x 10 x 10 boss on the plate at x 5..15, y 5..15, z 10..20: 1000 mm^3.
const std::string kBoss = box("boss", 5, 5, 15, 15, 10, 10, R"(,"boolType":"add")");

TEST_F(PatternTest, LinearGridOfABossGoesAlongBothDirections) {
  const std::string grid = R"({"type":"linearArray","id":"p","name":"P","features":["boss"],
      "direct":)" + axis(0, 0, 0, 1, 0, 0) +
                           R"(,"direct2":)" + axis(0, 0, 0, 0, 1, 0) +
                           R"(,"distance":20,"distance2":30,"itemNumber":3,"itemNumber2":2,
      "secondDirection":true})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + grid), 0) << log;
  // Bosses at x 5, 25, 45 and y 5, 35: 6 x 1000 on the plate = 106,000; all on +x and +y,
  // so nothing passes x = 0 or y = 0, and the farthest boss ends at x 55, y 45.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 106000, 1e-6);
  EXPECT_NEAR(m.xmin, 0, 1e-6);
  EXPECT_NEAR(m.ymin, 0, 1e-6);
  EXPECT_NEAR(m.zmax, 20, 1e-6);
  EXPECT_EQ(countOfType("RectPattern"), 1);
  EXPECT_TRUE(hasAlias("P") && hasAlias("P_direct1") && hasAlias("P_direct2"));
  EXPECT_FALSE(hasAlias("P_axis"));
  // The 5 copies each made 4 sides and a top that later items can name.
  EXPECT_EQ(facesMadeBy("p"), 25u);
  // The finished import leaves the last item, the pattern, current.
  EXPECT_EQ(writer("p")->sharedState().part->currentFeature(), writer("p")->feature());
}

TEST_F(PatternTest, SeveralSourcesMakeAChildPatternEach) {
  // Two bosses (x 5..15 at y 5 and y 55), each copied twice 20 apart along +x: 6 x 1000.
  const std::string boss2 = box("boss2", 5, 55, 15, 65, 10, 10, R"(,"boolType":"add")");
  const std::string pattern = R"({"type":"linearArray","id":"p","name":"P",
      "features":["boss","boss2"],"direct":)" +
                              axis(0, 0, 0, 1, 0, 0) + R"(,"distance":20,"itemNumber":3})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + boss2 + "," + pattern), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 106000, 1e-6);
  ASSERT_EQ(writer("p")->childWriters().size(), 2u);
  EXPECT_TRUE(hasAlias("P_1") && hasAlias("P_2"));
  EXPECT_EQ(countOfType("RectPattern"), 2);
  EXPECT_TRUE(logged("debug: P linearArray feature[1] boss2"));
  // The item stands for the child of the last source in the current body.
  EXPECT_EQ(writer("p")->feature(), writer("p")->childWriters()[1]->feature());
}

TEST_F(PatternTest, PatternOfAPatternCopiesItsInstances) {
  // Three bosses along +x (x 5, 25, 45), then that row twice 30 apart along +y: 6 bosses,
  // 106,000 with the plate; the plate itself is not copied (it would reach y = 130).
  const std::string row = R"({"type":"linearArray","id":"p1","features":["boss"],"direct":)" +
                          axis(0, 0, 0, 1, 0, 0) + R"(,"distance":20,"itemNumber":3})";
  const std::string rows = R"({"type":"linearArray","id":"p2","features":["p1"],"direct":)" +
                           axis(0, 0, 0, 0, 1, 0) + R"(,"distance":30,"itemNumber":2})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + row + "," + rows), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 106000, 1e-6);
  EXPECT_NEAR(m.ymax, 100, 1e-6);
  // The row's 3 bosses copied once more: 15 faces made by the second pattern.
  EXPECT_EQ(facesMadeBy("p2"), 15u);
}

TEST_F(PatternTest, CentredPatternOfThreeMakesFiveWithTheSourceInTheMiddle) {
  // The boss at x 45..55; copies 30 apart at -60, -30, +30, +60: x -15..-5 and 105..115 hang
  // off the plate as lumps of their own. 100,000 + 5 x 1000 = 105,000 in 3 solids.
  const std::string boss = box("boss", 45, 45, 55, 55, 10, 10, R"(,"boolType":"add")");
  const std::string centred = R"({"type":"linearArray","id":"p","features":["boss"],"direct":)" +
                              axis(0, 0, 0, 1, 0, 0) +
                              R"(,"distance":30,"itemNumber":3,"isCenter":true})";
  EXPECT_EQ(run(kPlate + "," + boss + "," + centred), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 3);
  EXPECT_REL_NEAR(m.volume, 105000, 1e-6);
  EXPECT_NEAR(m.xmin, -15, 1e-6);
  EXPECT_NEAR(m.xmax, 115, 1e-6);
}

TEST_F(PatternTest, SecondCentringWithoutSecondDirectionHasNoEffect) {
  // Only the first direction counts: 2 bosses at x 5 and 25, none along y.
  const std::string pattern = R"({"type":"linearArray","id":"p","features":["boss"],"direct":)" +
                              axis(0, 0, 0, 1, 0, 0) + R"(,"direct2":)" + axis(0, 0, 0, 0, -1, 0) +
                              R"(,"distance":20,"distance2":30,"itemNumber":2,"itemNumber2":3,
      "isCenter2":true})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + pattern), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 102000, 1e-6);
  EXPECT_NEAR(m.ymin, 0, 1e-6);
}

TEST_F(PatternTest, CircularPatternsStepByTheWholeTurnOrTheSpan) {
  // A 6 x 6 x 10 box centred at (25, 0) turned about the z axis: 360 mm^3 each.
  const std::string source = box("b", 22, -3, 28, 3, 0, 10);
  auto polar = [](int count, int angle) {
    return R"({"type":"polarArray","id":"p","features":["b"],"axis":)" + axis(0, 0, 0, 0, 0, 1) +
           R"(,"itemNumber":)" + std::to_string(count) + R"(,"angle":)" + std::to_string(angle) +
           "}";
  };
  // 6 over 360: every 60 degrees, 6 separate boxes (centres 25 apart): 2160 mm^3; the one
  // at 180 degrees spans x -28..-22.
  EXPECT_EQ(run(source + "," + polar(6, 360)), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 6);
  EXPECT_REL_NEAR(m.volume, 2160, 1e-6);
  EXPECT_NEAR(m.xmin, -28, 1e-6);
  EXPECT_TRUE(logged("debug: angle = 360, itemNumber = 6, iStepa = 60, iSensa = 0"));
  EXPECT_EQ(countOfType("CircPattern"), 1);
  EXPECT_TRUE(hasAlias("p_axis"));
  // 4 over 90: every 30 degrees, turned right-handed about +z (towards +y): the last box is
  // centred at (0, 25), x -3..3, y 22..28; none goes below y = -3. 4 x 360 = 1440 mm^3.
  fresh();
  EXPECT_EQ(run(source + "," + polar(4, 90)), 0) << log;
  m = exported();
  EXPECT_EQ(m.solids, 4);
  EXPECT_REL_NEAR(m.volume, 1440, 1e-6);
  EXPECT_NEAR(m.xmin, -3, 1e-6);
  EXPECT_NEAR(m.ymin, -3, 1e-6);
  EXPECT_NEAR(m.ymax, 28, 1e-6);
  EXPECT_TRUE(logged("iStepa = 30"));
}

TEST_F(PatternTest, ClockwiseTurnsTheOtherWay) {
  const std::string source = box("b", 22, -3, 28, 3, 0, 10);
  const std::string polar = R"({"type":"polarArray","id":"p","features":["b"],"axis":)" +
                            axis(0, 0, 0, 0, 0, 1) +
                            R"(,"itemNumber":2,"angle":90,"clockwise":true})";
  // 2 over 90 steps 90 degrees, clockwise about +z: the copy sits at (0, -25).
  EXPECT_EQ(run(source + "," + polar), 0) << log;
  StepMeasure m = exported();
  EXPECT_REL_NEAR(m.volume, 720, 1e-6);
  EXPECT_NEAR(m.ymin, -28, 1e-6);
  EXPECT_NEAR(m.ymax, 3, 1e-6);
}

TEST_F(PatternTest, PolarPatternOfASimpleHoleRepeatsTheCut) {
  // One through hole of diameter 10 at (75, 50): the cylinder runs z 30..-10 and removes
  // pi x 25 x 10 = 250 pi of the plate; 3 more at (50, 75), (25, 50), (50, 25).
  const std::string hole =
      R"({"type":"hole","id":"h","name":"H","diameter":10,"depth":20,"boolSolids":["plate"],
          "direction":{"dx":0,"dy":0,"dz":-1},"locations":[{"x":75,"y":50,"z":10}]})";
  const std::string polar = R"({"type":"polarArray","id":"p","name":"P","features":["h"],
      "axis":)" + axis(50, 50, 0, 0, 0, 1) +
                            R"(,"itemNumber":4,"angle":360})";
  EXPECT_EQ(run(kPlate + "," + hole + "," + polar), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 100000 - 4 * 250 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("P_cut_2_body") && hasAlias("P_cut_4_pad") && hasAlias("P"));
  EXPECT_FALSE(hasAlias("P_cut_5_body"));
  EXPECT_EQ(countOfType("CircPattern"), 0);
  EXPECT_TRUE(
      logged("info: simple hole polar array remove cut, name = P, source = H, itemNumber = 4, "
             "angle = 360"));
  EXPECT_TRUE(logged("info: ----------simple hole remove P complete"));
}

TEST_F(PatternTest, PatternOfAPocketCutsEveryCopy) {
  // A 10 x 10 pocket from the top face down 5 mm; with the 1 mm overshoot at both ends it
  // cuts z 4..10: 600 mm^3. Three of them 20 apart: 100,000 - 1800 = 98,200.
  const std::string pocket =
      box("pk", 5, 5, 15, 15, 10, 5,
          R"(,"boolType":"remove","boolSolids":["plate"],"direction":{"x":0,"y":0,"z":-1})");
  const std::string pattern = R"({"type":"linearArray","id":"p","features":["pk"],"direct":)" +
                              axis(0, 0, 0, 1, 0, 0) + R"(,"distance":20,"itemNumber":3})";
  EXPECT_EQ(run(kPlate + "," + pocket + "," + pattern), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 98200, 1e-6);
  EXPECT_NEAR(m.zmax, 10, 1e-6);
}

// The plane x = 95 as a sketch matrix: x axis (0, 1, 0), y axis (0, 0, 1), normal +x.
const std::string kPlaneX95 = R"([0,1,0,0, 0,0,1,0, 1,0,0,0, 95,0,0,1])";
// An item after the mirror, so that the mirror is not the last feature: a 10 x 10 x 10
// box of its own body high above, 1000 mm^3.
const std::string kTail = box("tail", 0, 0, 10, 10, 100, 10, R"(,"boolType":"new")");

TEST_F(PatternTest, MirrorOfABossAboutAPlaneGivenAsAMatrix) {
  // The boss at x 70..80 mirrored in x = 95 lands at x 110..120, off the plate: plate and
  // boss 101,000, the mirrored boss 1000, the tail 1000. Mirroring the whole solid would
  // have copied the plate as well.
  const std::string boss = box("boss", 70, 45, 80, 55, 10, 10, R"(,"boolType":"add")");
  const std::string mirror = R"({"type":"mirrorFeature","id":"m","name":"M","features":["boss"],
      "plane":)" + kPlaneX95 +
                             "}";
  EXPECT_EQ(run(kPlate + "," + boss + "," + mirror + "," + kTail), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 3);
  EXPECT_REL_NEAR(m.volume, 103000, 1e-6);
  EXPECT_NEAR(m.xmax, 120, 1e-6);
  EXPECT_TRUE(hasAlias("M") && hasAlias("M_plane"));
  EXPECT_TRUE(logged("debug: add object 0 - boss to mirror, ret = 0"));
  EXPECT_EQ(countOfType("Mirror"), 1);
}

TEST_F(PatternTest, MirrorAsTheLastItemMirrorsTheWholeSolid) {
  // The plate and boss mirrored in x = 0: a second plate on x -100..0 joined at x = 0,
  // with its boss: 2 x 101,000.
  const std::string mirror = R"({"type":"mirrorFeature","id":"m","features":["boss"],"plane":
      [0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1]})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + mirror), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 202000, 1e-6);
  EXPECT_NEAR(m.xmin, -100, 1e-6);
  EXPECT_TRUE(logged("debug: isLastFeature = 1, total addCurSolid = 1"));
}

TEST_F(PatternTest, MirrorOfFeaturesInTwoBodiesMakesAChildPerBody) {
  // Body 1 the plate, body 2 a box x 0..10 at z 50..60. Mirrored in x = 0 (the last item,
  // so whole solids): the plate doubles to 200,000, the box to 2000, each still one solid.
  const std::string high = box("high", 0, 0, 10, 10, 50, 10, R"(,"boolType":"new")");
  const std::string mirror = R"({"type":"mirrorFeature","id":"m","name":"M",
      "features":["plate","high"],"plane":[0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1]})";
  EXPECT_EQ(run(kPlate + "," + high + "," + mirror), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 2);
  EXPECT_REL_NEAR(m.volume, 202000, 1e-6);
  ASSERT_EQ(writer("m")->childWriters().size(), 2u);
  EXPECT_TRUE(hasAlias("M_1") && hasAlias("M_2"));
  EXPECT_EQ(countOfType("Mirror"), 2);
  EXPECT_TRUE(writer("m")->feature());
}

TEST_F(PatternTest, MirrorOfAPatternMirrorsTheWholeCurrentSolid) {
  // Boxes x 10..20, 30..40, 50..60 (3 x 1000) mirrored in x = 0, then the tail: 7000 in
  // 7 solids, from x -60 to 60.
  const std::string first = box("b", 10, 0, 20, 10, 0, 10);
  const std::string pattern = R"({"type":"linearArray","id":"p","features":["b"],"direct":)" +
                              axis(0, 0, 0, 1, 0, 0) + R"(,"distance":20,"itemNumber":3})";
  const std::string mirror = R"({"type":"mirrorFeature","id":"m","name":"M","features":["p"],
      "plane":[0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1]})";
  EXPECT_EQ(run(first + "," + pattern + "," + mirror + "," + kTail), 0) << log;
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 7);
  EXPECT_REL_NEAR(m.volume, 7000, 1e-6);
  EXPECT_NEAR(m.xmin, -60, 1e-6);
  EXPECT_NEAR(m.xmax, 60, 1e-6);
  EXPECT_TRUE(logged("], name = p, linearArray, instead of addCurSolid = 1"));
}

TEST_F(PatternTest, CircularPatternOfOneFailsWithInvalidArgument) {
  const std::string polar = R"({"type":"polarArray","id":"p","features":["boss"],"axis":)" +
                            axis(50, 50, 0, 0, 0, 1) + R"(,"itemNumber":1,"angle":360})";
  EXPECT_EQ(run(kPlate + "," + kBoss + "," + polar), 2) << log;
  EXPECT_EQ(writer("p")->status(), host::kInvalidArg);
  EXPECT_EQ(countOfType("CircPattern"), 0);
  EXPECT_REL_NEAR(exported().volume, 101000, 1e-6);
}

TEST_F(PatternTest, SourcesWithoutFeaturesFailTheItem) {
  EXPECT_EQ(run(kPlate + R"(,{"type":"linearArray","id":"p","features":["nothing"]})"), 2);
  EXPECT_TRUE(logged("error: no feature found for linearArray"));
  fresh();
  EXPECT_EQ(run(kPlate + R"(,{"type":"mirrorFeature","id":"m","features":"plate"})"), 2);
  EXPECT_TRUE(logged("error: invalid or missing json reference"));
  EXPECT_TRUE(logged("error: no feature found for mirrorFeature"));
  // A plane matrix of zeros spans no plane: nothing to mirror about.
  fresh();
  EXPECT_EQ(run(kPlate + R"(,{"type":"mirrorFeature","id":"m","features":["plate"],
      "plane":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]})"),
            2);
  EXPECT_TRUE(logged("error: the mirror could not be created, name = m"));
  EXPECT_REL_NEAR(exported().volume, 100000, 1e-9);
}

TEST_F(PatternTest, InstanceCountsBeyondTheCapFailCleanlyAndFast) {
  const auto started = std::chrono::steady_clock::now();
  const std::string direct = R"("direct":)" + axis(0, 0, 0, 1, 0, 0) + R"(,"direct2":)" +
                             axis(0, 0, 0, 0, 1, 0) + R"(,"distance":1,"distance2":1)";
  for (const char* counts :
       {R"("itemNumber":100000)", R"("itemNumber":1e12)", R"("itemNumber":5001,"isCenter":true)",
        R"("itemNumber":100000,"itemNumber2":100000,"secondDirection":true)",
        R"("itemNumber":101,"itemNumber2":100,"secondDirection":true)"}) {
    SCOPED_TRACE(counts);
    fresh();
    EXPECT_EQ(run(kPlate + "," + kBoss + R"(,{"type":"linearArray","id":"p","features":["boss"],)" +
                  direct + "," + counts + "}"),
              2);
    EXPECT_EQ(writer("p")->status(), host::kInvalidArg);
    EXPECT_TRUE(logged("instances, more than the 10000 one pattern may make"));
    EXPECT_EQ(countOfType("RectPattern"), 0);
  }
  fresh();
  EXPECT_EQ(run(kPlate + "," + kBoss + R"(,{"type":"polarArray","id":"p","features":["boss"],
      "axis":)" +
                axis(50, 50, 0, 0, 0, 1) + R"(,"itemNumber":100000,"angle":360})"),
            2);
  EXPECT_TRUE(logged("error: polarArray p asks for 100000 instances, more than the 10000"));
  // A bound against a hang only: under the sanitizers on loaded cores the drawings take ~12 s.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

}  // namespace
