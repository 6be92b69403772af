// Hole items drawn through the pipeline, measured on the STEP export against volumes
// worked out by hand. The plate is 100 x 100 x 10 on z = 0..10: 100,000 mm^3.
#include <chrono>
#include <string>

#include "entry/import_result.h"
#include "features/hole/hole_params.h"
#include "features/writer/feature_writer.h"
#include "host/part.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"
#include "pipeline_fixture.h"

namespace {

using kestrun::FeatureWriter;

const std::string kPlate =
    R"({"type":"sketch","id":"s_plate","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],
        "geometries":[{"type":"line","x1":0,"y1":0,"x2":100,"y2":0},
                      {"type":"line","x1":100,"y1":0,"x2":100,"y2":100},
                      {"type":"line","x1":100,"y1":100,"x2":0,"y2":100},
                      {"type":"line","x1":0,"y1":100,"x2":0,"y2":0}]},
       {"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10},
       {"type":"sketch","id":"s_points","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],
        "geometries":[{"type":"vertex","id":"v_mid","x":50,"y":50}]})";

std::string at(double x, double y, double z) {
  return "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) +
         ",\"z\":" + std::to_string(z) + "}";
}

class HoleTest : public PipelineTest {};

TEST_F(HoleTest, SimpleHoleWithTargetsCutsACylinderPerLocationAndNoHostHole) {
  const std::string hole =
      R"({"type":"hole","id":"h","name":"H","diameter":10,"depth":3,"boolSolids":["plate"],
          "direction":{"dx":0,"dy":0,"dz":-1},"locations":[)" +
      at(30, 30, 10) + "," + at(70, 70, 5) + "]}";
  EXPECT_EQ(run(kPlate + "," + hole), 0) << log;
  // Each cylinder runs from the point - 3 x direction over 6: z 13..7 at the top face cuts
  // 3 mm, z 8..2 around the point inside the plate 6 mm; pi*25*(3 + 6) = 225 pi.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 100000 - 225 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("H_cut_1_body") && hasAlias("H_cut_2_body") && hasAlias("H_cut_2_pad"));
  EXPECT_TRUE(hasAlias("H"));
  EXPECT_EQ(countOfType("Hole"), 0);
  EXPECT_FALSE(hasAlias("H_1_dir"));
  EXPECT_TRUE(
      logged("info: simple hole remove cut, name = H, targetId = plate, "
             "targetMode = boolSolids, index = 2/2, diameter = 10, depth = 3"));
  EXPECT_TRUE(logged("info: ----------simple hole remove H complete"));
  const kestrun::HoleGeometry& g = writer("h")->holeGeometry();
  EXPECT_FALSE(g.singleLocation);
  EXPECT_EQ(g.diameter, 10);
  EXPECT_EQ(g.depth, 3);
  EXPECT_EQ(g.point.x, 30);
  EXPECT_EQ(g.direction.z, -1);
}

TEST_F(HoleTest, RecordOfOneLocationGivenAsAVertexWithAPlainDirection) {
  // {"x","y","z"} is the face's outward side: the drill goes along -z, normalised.
  const std::string hole =
      R"({"type":"hole","id":"h","name":"H","diameter":4,"depth":3,"featureId":"plate",
          "direction":{"x":0,"y":0,"z":7},"locations":["v_mid"]})";
  EXPECT_EQ(run(kPlate + "," + hole), 0) << log;
  // z = 13 down to 7: 3 mm of plate, pi*4*3 = 12 pi.
  EXPECT_REL_NEAR(exported().volume, 100000 - 12 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("H_cut_body"));
  const kestrun::HoleGeometry& g = writer("h")->holeGeometry();
  EXPECT_TRUE(g.singleLocation);
  EXPECT_EQ(g.point.x, 50);
  EXPECT_EQ(g.point.z, 0);  // the vertex lies in the sketch plane z = 0
  EXPECT_EQ(g.direction.z, -1);
  EXPECT_TRUE(logged("targetMode = featureId-current-chain"));
}

TEST_F(HoleTest, TargetModesDecideWhereInTheBodyTheCutGoes) {
  // A 20 x 20 x 10 boss on top of the plate, added to the same body: 104,000 mm^3.
  const std::string boss =
      R"({"type":"sketch","id":"s_boss","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],
          "geometries":[{"type":"line","x1":40,"y1":40,"x2":60,"y2":40},
                        {"type":"line","x1":60,"y1":40,"x2":60,"y2":60},
                        {"type":"line","x1":60,"y1":60,"x2":40,"y2":60},
                        {"type":"line","x1":40,"y1":60,"x2":40,"y2":40}]},
         {"type":"extrude","id":"boss","boolType":"add","sketchId":"s_boss","n1Height":10})";
  auto hole = [](const std::string& targets) {
    return R"({"type":"hole","id":"h","diameter":10,"depth":15,)" + targets +
           R"(,"direction":{"dx":0,"dy":0,"dz":-1},"locations":[{"x":50,"y":50,"z":20}]})";
  };
  // Following the chain, the cut comes after the boss: z 5..20, pi*25*15 = 375 pi.
  EXPECT_EQ(run(kPlate + "," + boss + "," + hole(R"("featureId":"plate")")), 0) << log;
  EXPECT_REL_NEAR(exported().volume, 104000 - 375 * M_PI, 1e-6);
  // "targetIds" cuts right after the plate, so the boss is padded over it: z 5..10 only.
  document = session.newDocument("Part");
  EXPECT_EQ(run(kPlate + "," + boss + "," + hole(R"("targetIds":["plate"])")), 0) << log;
  EXPECT_REL_NEAR(exported().volume, 104000 - 125 * M_PI, 1e-6);
  EXPECT_TRUE(logged("targetMode = targetIds"));
}

TEST_F(HoleTest, DirectionRules) {
  rapidjson::Document item;
  auto direction = [&](const char* text) {
    item.Parse(text);
    return kestrun::holeDirection(item);
  };
  EXPECT_EQ(direction(R"({"direction":{"x":0,"y":0,"z":1}})").z, -1);
  EXPECT_EQ(direction(R"({"direction":{"dx":0,"dy":0,"dz":1}})").z, 1);
  EXPECT_EQ(direction(R"({"direction":{"dx":2}})").x, 2);  // as given, missing ones 0
  EXPECT_EQ(direction(R"({"direction":{"x":3,"dy":1}})").x, 0);
  EXPECT_EQ(direction(R"({"direction":{"x":0,"y":0,"z":0}})").z, 1);
  EXPECT_EQ(direction(R"({"direction":{"dx":0}})").z, 1);
  EXPECT_EQ(direction(R"({"direction":"down"})").z, 1);
  EXPECT_EQ(direction(R"({})").z, 1);
}

TEST_F(HoleTest, UnknownLocationStringIsSkippedWithItsWarnings) {
  const std::string cut =
      R"({"type":"hole","id":"h","name":"H","diameter":10,"depth":6,"boolSolids":["plate"],
          "direction":{"dx":0,"dy":0,"dz":-1},"locations":["nowhere",)" +
      at(50, 50, 10) + "]}";
  EXPECT_EQ(run(kPlate + "," + cut), 0) << log;
  EXPECT_TRUE(
      logged("warning: simple hole remove cut location cannot be resolved, name = H, "
             "index = 0"));
  EXPECT_REL_NEAR(exported().volume, 100000 - 150 * M_PI, 1e-6);
  EXPECT_TRUE(hasAlias("H_cut_2_body"));
  EXPECT_FALSE(hasAlias("H_cut_1_body"));
  // Without targets it goes the host way, which warns twice.
  document = session.newDocument("Part");
  run(kPlate + R"(,{"type":"hole","id":"h2","holeType":"counterbore","direction":{"dz":-1},
      "locations":["nowhere"]})");
  EXPECT_TRUE(logged("warning: hole location cannot be resolved for support face, index = 0"));
  EXPECT_TRUE(logged("warning: hole location cannot be resolved, index = 0"));
}

TEST_F(HoleTest, HostileValuesEndWithClearOutcomesInBoundedTime) {
  const auto started = std::chrono::steady_clock::now();
  std::string many;
  for (int i = 0; i < 10001; ++i) many += (i ? "," : "") + at(i % 100, i / 100, 10);
  EXPECT_EQ(run(kPlate + R"(,{"type":"hole","id":"h","boolSolids":["plate"],
      "direction":{"dz":-1},"locations":[)" +
                many + "]}"),
            2);
  EXPECT_TRUE(logged("error: hole has 10001 locations, more than the 10000 one item may drill"));
  EXPECT_EQ(countOfType("Body"), 1);  // nothing was cut
  for (const char* sizes : {R"("diameter":0)", R"("depth":-5)", R"("diameter":-1,"depth":0)",
                            R"("depth":1e308)", R"("diameter":1e300)"}) {
    SCOPED_TRACE(sizes);
    document = session.newDocument("Part");
    EXPECT_EQ(run(kPlate + R"(,{"type":"hole","id":"h","boolSolids":["plate"],)" + sizes +
                  R"(,"direction":{"dz":-1},"locations":[{"x":50,"y":50,"z":10}]})"),
              2);
    EXPECT_EQ(countOfType("Body"), 1);  // the cylinder cut refuses such sizes
    EXPECT_REL_NEAR(exported().volume, 100000, 1e-9);
  }
  // Wider than the part: the cut would leave nothing, so it fails and the plate stays.
  document = session.newDocument("Part");
  EXPECT_EQ(run(kPlate + R"(,{"type":"hole","id":"h","boolSolids":["plate"],"diameter":1000,
      "depth":50,"direction":{"dz":-1},"locations":[{"x":50,"y":50,"z":10}]})"),
            2);
  EXPECT_TRUE(logged("warning: simple hole remove cut failed, name = h, index = 0"));
  EXPECT_REL_NEAR(exported().volume, 100000, 1e-9);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

}  // namespace
