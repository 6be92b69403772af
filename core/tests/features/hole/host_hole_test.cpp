// Hole items drilled as host holes on the support faces that the topology lookup finds,
// measured on the STEP export against volumes worked out by hand. The plate is
// 100 x 100 x 10 on z = 0..10 (100,000 mm^3); the block 40 x 40 x 30 on z = 0..30
// (48,000 mm^3).
#include <cmath>
#include <string>

#include "entry/import_result.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "host/hole_features.h"
#include "host/part.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"
#include "pipeline_fixture.h"

namespace {

std::string box(const std::string& id, double side, double height) {
  const std::string s = std::to_string(side);
  return R"({"type":"sketch","id":"s_)" + id +
         R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[
           {"type":"line","x1":0,"y1":0,"x2":)" +
         s + R"(,"y2":0},
           {"type":"line","x1":)" +
         s + R"(,"y1":0,"x2":)" + s + R"(,"y2":)" + s + R"(},
           {"type":"line","x1":)" +
         s + R"(,"y1":)" + s + R"(,"x2":0,"y2":)" + s + R"(},
           {"type":"line","x1":0,"y1":)" +
         s + R"(,"x2":0,"y2":0}]},
         {"type":"extrude","id":")" +
         id + R"(","sketchId":"s_)" + id + R"(","n1Height":)" + std::to_string(height) + "}";
}

const std::string kPlate = box("plate", 100, 10);
const std::string kBlock = box("block", 40, 30);

std::string at(double x, double y, double z) {
  return "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) +
         ",\"z\":" + std::to_string(z) + "}";
}

// A hole item with the given extra fields, drilled down into the top face at z = `top`.
std::string hole(const std::string& fields, const std::string& locations) {
  return R"({"type":"hole","id":"h","name":"H","direction":{"x":0,"y":0,"z":1},)" + fields +
         R"(,"locations":[)" + locations + "]}";
}

class HostHoleTest : public PipelineTest {
 protected:
  std::vector<std::shared_ptr<host::Hole>> holes() {
    std::vector<std::shared_ptr<host::Hole>> out;
    for (const auto& object : everything()) {
      if (auto h = host::query<host::Hole>(object)) out.push_back(h);
    }
    return out;
  }
};

TEST_F(HostHoleTest, FlatSimpleHoleWithoutTargetsIsAHostHoleOnTheTopFace) {
  EXPECT_EQ(run(kPlate + "," + hole(R"("diameter":10,"depth":6)", at(50, 50, 10))), 0) << log;
  // pi * 5^2 * 6 = 150 pi
  EXPECT_REL_NEAR(exported().volume, 100000 - 150 * M_PI, 1e-6);
  ASSERT_EQ(holes().size(), 1u);
  EXPECT_EQ(holes()[0]->type(), host::kHoleSimple);
  EXPECT_EQ(holes()[0]->direction().z, -1);  // reversed into the plate
  EXPECT_TRUE(hasAlias("H") && hasAlias("H_dir"));
  EXPECT_TRUE(logged("info: hole support fallback matched featureId = plate, index = 0"));
}

TEST_F(HostHoleTest, VBottomCounterboreCountersinkAndTaper) {
  // V bottom of 90 degrees below 4 mm of wall: cylinder pi*25*4 = 100 pi, cone of
  // height 5 / tan 45 = 5: pi*25*5/3.
  EXPECT_EQ(run(kPlate + "," + hole(R"("diameter":10,"depth":4,"tipAngle":90)", at(50, 50, 10))), 0)
      << log;
  EXPECT_REL_NEAR(exported().volume, 100000 - (100 + 125.0 / 3) * M_PI, 1e-6);

  // Counterbore 12 x 3 in a 6 mm hole 20 deep in the block: pi*36*3 + pi*9*17 = 261 pi.
  fresh();
  EXPECT_EQ(run(kBlock + "," +
                hole(R"("holeType":"counterbore","diameter":6,"depth":20,
      "counterboreDiameter":12,"counterboreDepth":3)",
                     at(20, 20, 30))),
            0)
      << log;
  EXPECT_REL_NEAR(exported().volume, 48000 - 261 * M_PI, 1e-6);
  ASSERT_EQ(holes().size(), 1u);
  EXPECT_EQ(holes()[0]->type(), host::kHoleCounterbored);

  // Countersink 12 at 90 degrees on a 6 mm hole 20 deep: the cone from radius 6 to 3 is
  // 3 deep, pi*3/3*(36+18+9) = 63 pi; the shank pi*9*17 = 153 pi.
  fresh();
  EXPECT_EQ(run(kBlock + "," +
                hole(R"("holeType":"chamferedHole","diameter":6,"depth":20,
      "chamferedHoleDiameter":12,"chamferedHoleAngle":90)",
                     at(20, 20, 30))),
            0)
      << log;
  EXPECT_REL_NEAR(exported().volume, 48000 - 216 * M_PI, 1e-6);

  // The taper is always 20 degrees: radius 5 at the top, 5 - 5 tan 10 at depth 5.
  fresh();
  EXPECT_EQ(run(kPlate + "," +
                hole(R"("holeType":"taperedHole","taperAngle":3,"diameter":10,
      "depth":5)",
                     at(50, 50, 10))),
            0)
      << log;
  const double r = 5 - 5 * std::tan(10 * M_PI / 180);
  EXPECT_REL_NEAR(exported().volume, 100000 - M_PI * 5 / 3 * (25 + 5 * r + r * r), 1e-6);
  auto tapered = host::query<host::TaperedHole>(holes().at(0));
  ASSERT_TRUE(tapered);
  EXPECT_EQ(tapered->taperAngle(), 20);
}

TEST_F(HostHoleTest, PlainDirectionDrillsIntoTheFaceAndDeltasAsGiven) {
  // {"dx","dy","dz"} = +z on the top face points out of the plate: nothing is cut.
  EXPECT_EQ(run(kPlate + R"(,{"type":"hole","id":"h","holeType":"counterbore","diameter":6,
      "depth":8,"counterboreDiameter":12,"counterboreDepth":3,"direction":{"dx":0,"dy":0,"dz":1},
      "locations":[)" +
                at(50, 50, 10) + "]}"),
            0)
      << log;
  EXPECT_REL_NEAR(exported().volume, 100000, 1e-6);
  EXPECT_EQ(holes().at(0)->direction().z, 1);
  // The same from the bottom face drills up into the plate: pi*36*3 + pi*9*5 = 153 pi.
  fresh();
  EXPECT_EQ(run(kPlate + R"(,{"type":"hole","id":"h","holeType":"counterbore","diameter":6,
      "depth":8,"counterboreDiameter":12,"counterboreDepth":3,"direction":{"dx":0,"dy":0,"dz":1},
      "locations":[)" +
                at(50, 50, 0) + "]}"),
            0)
      << log;
  EXPECT_REL_NEAR(exported().volume, 100000 - 153 * M_PI, 1e-6);
}

TEST_F(HostHoleTest, ALocationWithoutSupportIsSkippedAndTheOthersKeepTheirOwn) {
  EXPECT_EQ(run(kPlate + "," +
                hole(R"("holeType":"counterbore","diameter":6,"depth":8,
                   "counterboreDiameter":12,"counterboreDepth":3)",
                     at(20, 20, 10) + "," + at(50, 50, 50) + "," + at(80, 30, 10))),
            0)
      << log;
  EXPECT_TRUE(logged("warning: hole support face not found, index = 1"));
  EXPECT_TRUE(logged("support is null"));
  EXPECT_REL_NEAR(exported().volume, 100000 - 2 * 153 * M_PI, 1e-6);
  auto drilled = holes();
  ASSERT_EQ(drilled.size(), 2u);
  EXPECT_EQ(drilled[0]->origin().x, 20);
  EXPECT_EQ(drilled[1]->origin().x, 80);
  EXPECT_TRUE(hasAlias("H_1_dir") && hasAlias("H_2_dir") && hasAlias("H_3_dir"));
}

TEST_F(HostHoleTest, AWrongFeatureIdIsMendedByTheFallback) {
  for (const char* id : {"s_plate", "nope"}) {
    SCOPED_TRACE(id);
    fresh();
    EXPECT_EQ(run(kPlate + "," +
                  hole(R"("holeType":"counterbore","diameter":6,"depth":8,"counterboreDiameter":12,
                     "counterboreDepth":3,"featureId":")" +
                           std::string(id) + "\"",
                       at(50, 50, 10))),
              0)
        << log;
    EXPECT_TRUE(logged("info: hole support fallback matched featureId = plate, index = 0"));
    EXPECT_REL_NEAR(exported().volume, 100000 - 153 * M_PI, 1e-6);
  }
}

TEST_F(HostHoleTest, HostileSizesFailTheItemWithTheHostsReason) {
  const std::pair<const char*, const char*> cases[] = {
      {R"("depth":-5)", "depth must be positive"},
      {R"("diameter":0)", "diameter must be positive"},
      {R"("diameter":1000,"depth":50)", "nothing is left"},
      {R"("holeType":"counterbore","counterboreDiameter":4)", "counterbore diameter must exceed"},
  };
  for (const auto& [fields, reason] : cases) {
    SCOPED_TRACE(fields);
    fresh();
    EXPECT_EQ(run(kPlate + "," + hole(fields, at(50, 50, 10))), 2) << log;
    EXPECT_TRUE(logged(reason)) << log;
    EXPECT_TRUE(logged("error: exception occurred while parsing hole, name = H, id = h"));
  }
}

// A Part container that answers the hole factory with a stand-in and forwards the rest.
class HoleFactoryStandIn : public host::PartContainer, public host::HoleFactory {
 public:
  HoleFactoryStandIn(std::shared_ptr<host::PartContainer> real, bool offerFactory)
      : real_(std::move(real)), offerFactory_(offerFactory) {}
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    if (id == host::HoleFactory::kInterfaceId) {
      if (!offerFactory_) return nullptr;
      return std::shared_ptr<void>(keep(), static_cast<host::HoleFactory*>(this));
    }
    if (id == host::PartContainer::kInterfaceId)
      return std::shared_ptr<void>(keep(), static_cast<host::PartContainer*>(this));
    return real_->queryInterface(id);
  }
  host::SpecObjectPtr part() override { return real_->part(); }
  // A feature that answers none of the hole interfaces.
  host::SpecObjectPtr createHole(const host::Point3&, const host::SpecObjectPtr&,
                                 const host::SpecObjectPtr& line) override {
    ++created;
    return line;
  }
  int created = 0;

 private:
  std::shared_ptr<void> keep() { return real_; }
  std::shared_ptr<host::PartContainer> real_;
  bool offerFactory_;
};

TEST_F(HostHoleTest, AHoleWithoutAHoleInterfaceOrNoFactoryBuildsNothing) {
  ASSERT_EQ(run(kPlate), 0);
  kestrun::FeatureWriter* plate = pipeline->writers().at("plate")->asFeatureWriter();
  ASSERT_TRUE(plate);
  rapidjson::Document item;
  item.Parse(R"({"type":"hole","id":"h","name":"H","holeType":"counterbore",
      "direction":{"x":0,"y":0,"z":1},"locations":[{"x":50,"y":50,"z":10}]})");
  for (bool offerFactory : {true, false}) {
    SCOPED_TRACE(offerFactory);
    auto standIn =
        std::make_shared<HoleFactoryStandIn>(plate->sharedState().container, offerFactory);
    kestrun::SharedWriterState state = plate->sharedState();
    state.container = standIn;
    // The writer only reads the registry: the supports are looked up on the plate.
    kestrun::WriterRegistry& registry = const_cast<kestrun::WriterRegistry&>(pipeline->writers());
    kestrun::FeatureWriter writer(&registry);
    writer.setSharedState(state);
    writer.initFromJson(item);
    ::testing::internal::CaptureStdout();
    const kestrun::FeatureOutcome out = kestrun::holeHandler(writer, item, nullptr, nullptr);
    log = ::testing::internal::GetCapturedStdout();
    if (offerFactory) {
      EXPECT_EQ(standIn->created, 1);
      EXPECT_EQ(out.status, host::kFail);
      EXPECT_EQ(out.error, "error: CATINewHole_var == NULL_var\n");
    } else {
      EXPECT_EQ(out.feature, nullptr);
      EXPECT_EQ(out.error, "error: the part factory is not available, name = H");
    }
  }
  EXPECT_REL_NEAR(exported().volume, 100000, 1e-9);
}

}  // namespace
