#include <gtest/gtest.h>

#include "occt_host/model/solid_feature.h"
#include "plate_fixture.h"

namespace occt_host::testing {
namespace {

using PocketTest = PlateFixture;

// A pocket of `sketch` with two length limits, updated.
host::UpdateResult pocketWith(const std::shared_ptr<host::PartFactory>& features,
                              const host::SpecObjectPtr& sketch, double first, double second,
                              host::SpecObjectPtr* made = nullptr) {
  auto feature = features->createPocket(sketch);
  auto prism = host::query<host::Pocket>(feature);
  if (!prism) return {host::kFail, "no pocket"};
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, first);
  prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::Second, second);
  if (made) *made = feature;
  return feature->update();
}

TEST_F(PocketTest, ThroughPocketCutsTheCylinder) {
  ASSERT_TRUE(plate());
  host::SpecObjectPtr pocket;
  ASSERT_TRUE(pocketWith(features, sketchWithCircles({{50, 50, 5}}), 20, 20, &pocket).ok());
  EXPECT_EQ(pocket->typeName(), "Pocket");
  EXPECT_TRUE(host::query<host::Prism>(pocket));
  EXPECT_FALSE(host::query<host::Pad>(pocket));
  // 100 * 100 * 10 - pi * 5^2 * 10 = 100000 - 785.398... = 99214.60...
  double expected = 100000.0 - kPi * 25.0 * 10.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

TEST_F(PocketTest, BlindPocketFromTheTopGoingDown) {
  ASSERT_TRUE(plate());
  auto sketch = sketchWithCircles({{50, 50, 5}}, {0, 0, 10});
  auto feature = features->createPocket(sketch);
  auto prism = host::query<host::Pocket>(feature);
  ASSERT_TRUE(prism);
  ASSERT_EQ(prism->setDirection({0, 0, -1}), host::kOk);
  prism->setLimitLength(host::LimitEnd::First, 3);
  prism->setLimitLength(host::LimitEnd::Second, 0);
  ASSERT_TRUE(feature->update().ok());
  // The hole goes from z = 10 down to z = 7: 100000 - pi * 25 * 3 = 99764.38...
  double expected = 100000.0 - kPi * 25.0 * 3.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

TEST_F(PocketTest, NegativeSecondLimitLeavesAnInnerCavity) {
  ASSERT_TRUE(plate());
  // From z = 2 (second limit -2, against the direction) up to z = 8: a closed cavity of
  // pi * 25 * 6; the plate keeps 100000 - 150 pi = 99528.76...
  ASSERT_TRUE(pocketWith(features, sketchWithCircles({{50, 50, 5}}), 8, -2).ok());
  double expected = 100000.0 - kPi * 25.0 * 6.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

TEST_F(PocketTest, ConsecutivePocketsGiveTheSameSolidAsOneByOne) {
  ASSERT_TRUE(plate());
  host::SpecObjectPtr first;
  ASSERT_TRUE(pocketWith(features, sketchWithCircles({{20, 20, 5}}), 20, 20, &first).ok());
  ASSERT_TRUE(pocketWith(features, sketchWithCircles({{80, 80, 5}}), 20, 20).ok());
  ASSERT_TRUE(pocketWith(features, sketchWithCircles({{20, 80, 5}}), 20, 20).ok());
  // Three holes: 100000 - 3 * 250 pi; after the first alone: 100000 - 250 pi.
  double all = 100000.0 - 3 * kPi * 250.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), all, all * 1e-6);
  double one = 100000.0 - kPi * 250.0;
  EXPECT_NEAR(volume(solidOf(first)), one, one * 1e-6);
  EXPECT_TRUE(partObject->update().ok());
}

TEST_F(PocketTest, ZeroLengthPocketFailsWithText) {
  ASSERT_TRUE(plate());
  host::UpdateResult result = pocketWith(features, sketchWithCircles({{50, 50, 5}}), 4, -4);
  RecordProperty("diagnostic", result.diagnostic);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("length"), std::string::npos) << result.diagnostic;
  // The failed pocket passes the plate on unchanged.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 100000.0, 1e-6 * 100000.0);
}

TEST_F(PocketTest, PocketInAnEmptyBodyFails) {
  host::UpdateResult result = pocketWith(features, sketchWithCircles({{50, 50, 5}}), 10, 0);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("no solid"), std::string::npos) << result.diagnostic;
}

TEST_F(PocketTest, PocketRemovingEverythingFails) {
  ASSERT_TRUE(plate());
  host::UpdateResult result = pocketWith(features, rectangle(-10, -10, 110, 110), 20, 20);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("no solid"), std::string::npos) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 100000.0, 1e-6 * 100000.0);
}

TEST_F(PocketTest, SelfIntersectingProfileFailsWithText) {
  ASSERT_TRUE(plate());
  // A bow tie: its two diagonals cross at (50, 50).
  auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto edition = host::query<host::Sketch>(sketch);
  auto factory = host::query<host::Factory2D>(sketch);
  edition->openEdition();
  factory->createLine({40, 40}, {60, 60});
  factory->createLine({60, 60}, {60, 40});
  factory->createLine({60, 40}, {40, 60});
  factory->createLine({40, 60}, {40, 40});
  edition->closeEdition();
  host::UpdateResult result = pocketWith(features, sketch, 20, 20);
  RecordProperty("diagnostic", result.diagnostic);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_FALSE(result.diagnostic.empty());
}

TEST_F(PocketTest, EmptySketchFailsWithText) {
  ASSERT_TRUE(plate());
  auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  host::UpdateResult result = pocketWith(features, sketch, 20, 20);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("Pocket.1: "), std::string::npos) << result.diagnostic;
  EXPECT_GT(result.diagnostic.size(), std::string("Pocket.1: ").size());
}

TEST_F(PocketTest, NoPocketWithoutASketch) {
  EXPECT_FALSE(features->createPocket(nullptr));
  EXPECT_FALSE(features->createPocket(part->mainBody()));
}

}  // namespace
}  // namespace occt_host::testing
