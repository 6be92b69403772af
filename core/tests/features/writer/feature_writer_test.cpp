// The boolean service of the feature writer against the host's own refusals.
#include "features/writer/feature_writer.h"
#include "entry_fixture.h"
#include "features/writer/update_service.h"
#include "host/part.h"
#include "host/sketch.h"
#include "occt_host/model/line_feature.h"

namespace {

class FeatureWriterTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    auto roots = document->query<host::DocumentRoots>();
    state.container =
        host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
    state.partObject = state.container->part();
    state.part = host::query<host::Part>(state.partObject);
    state.booleanFactory = state.container->query<host::BooleanFactory>();
    state.wireframeFactory = state.container->query<host::WireframeFactory>();
  }

  // A 10 mm cube padded in the current body.
  host::SpecObjectPtr cube(double x) {
    auto sketch = state.container->query<host::SketchFactory>()->createSketch({x, 0, 0}, {1, 0, 0},
                                                                              {0, 1, 0});
    auto edit = host::query<host::Sketch>(sketch);
    auto lines = host::query<host::Factory2D>(sketch);
    edit->openEdition();
    lines->createLine({0, 0}, {10, 0});
    lines->createLine({10, 0}, {10, 10});
    lines->createLine({10, 10}, {0, 10});
    lines->createLine({0, 10}, {0, 0});
    edit->closeEdition();
    auto pad = state.container->query<host::PartFactory>()->createPad(sketch);
    auto prism = host::query<host::Prism>(pad);
    prism->setLimitLength(host::LimitEnd::First, 10);
    prism->setLimitLength(host::LimitEnd::Second, 0);
    EXPECT_TRUE(kestrun::updateFeature(pad).ok());
    return pad;
  }

  kestrun::SharedWriterState state;
  kestrun::WriterRegistry registry;
};

TEST_F(FeatureWriterTest, RefusedModifyOperatedObjectKeepsTheItemsFeatureAndFails) {
  host::SpecObjectPtr first = cube(0);
  host::SpecObjectPtr second = cube(20);  // same body: it cannot be combined into itself
  kestrun::FeatureWriter writer(&registry);
  writer.setSharedState(state);
  writer.setBoolType("common");
  writer.setSpecObj(second);
  writer.createBool(first);
  EXPECT_EQ(writer.status(), host::kInvalidArg);
  EXPECT_TRUE(host::sameObject(writer.feature(), second));
  EXPECT_EQ(writer.previousSpecObj(), nullptr);
}

TEST_F(FeatureWriterTest, NewAndUnknownBoolTypesCreateNoBoolean) {
  host::SpecObjectPtr first = cube(0);
  for (const char* type : {"new", "union"}) {
    kestrun::FeatureWriter writer(&registry);
    writer.setSharedState(state);
    writer.setBoolType(type);
    writer.setSpecObj(first);
    writer.createBool(first);
    EXPECT_EQ(writer.status(), host::kFail) << type;
    EXPECT_TRUE(host::sameObject(writer.feature(), first));
  }
}

TEST_F(FeatureWriterTest, AxisLineNeedsADirectionAndAllSixNumbers) {
  kestrun::FeatureWriter writer(&registry);
  writer.setSharedState(state);
  rapidjson::Document axis;
  axis.Parse(R"({"x": 1, "y": 2, "z": 3, "dx": 0, "dy": 0, "dz": 5})");
  EXPECT_NE(writer.createAxisLine(axis), nullptr);
  axis.Parse(R"({"x": 1, "y": 2, "z": 3, "dx": 0, "dy": 0, "dz": 0})");
  EXPECT_EQ(writer.createAxisLine(axis), nullptr);  // two equal points make no line
  axis.Parse(R"({"x": 1, "dx": 1})");
  EXPECT_EQ(writer.createAxisLine(axis), nullptr);
}

// The axis is 1000 mm long along the direction made unit, as its log line says, however
// long the given direction is.
TEST_F(FeatureWriterTest, AxisLineRunsAThousandMillimetresAlongTheUnitDirection) {
  kestrun::FeatureWriter writer(&registry);
  writer.setSharedState(state);
  rapidjson::Document axis;
  // (0, 0, 5) is (0, 0, 1) made unit: from (1, 2, 3) to (1, 2, 3 + 1000).
  axis.Parse(R"({"x": 1, "y": 2, "z": 3, "dx": 0, "dy": 0, "dz": 5})");
  auto line = std::dynamic_pointer_cast<occt_host::LineFeature>(writer.createAxisLine(axis));
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->from().IsEqual(gp_Pnt(1, 2, 3), 1e-9));
  EXPECT_TRUE(line->to().IsEqual(gp_Pnt(1, 2, 1003), 1e-9));
  // (0, 0.003, 0.004) has length 0.005, unit (0, 0.6, 0.8): the end is (1, 2 + 600, 3 + 800).
  axis.Parse(R"({"x": 1, "y": 2, "z": 3, "dx": 0, "dy": 0.003, "dz": 0.004})");
  line = std::dynamic_pointer_cast<occt_host::LineFeature>(writer.createAxisLine(axis));
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->to().IsEqual(gp_Pnt(1, 602, 803), 1e-9));
}

}  // namespace
