#include <gtest/gtest.h>

#include "part_fixture.h"

namespace occt_host::testing {
namespace {

using UpdateFailureTest = PartFixture;

TEST_F(UpdateFailureTest, ZeroLengthPadFailsWithText) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}}), 0, 0);
  host::UpdateResult result = feature->update();
  EXPECT_LT(result.status, 0);
  EXPECT_EQ(result.status, host::kFail);
  EXPECT_NE(result.diagnostic.find("length"), std::string::npos) << result.diagnostic;
  EXPECT_TRUE(solidOf(part->mainBody()).IsNull());
}

TEST_F(UpdateFailureTest, OppositeLimitsCancellingOutFail) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}}), 5, -5);
  EXPECT_FALSE(feature->update().ok());
}

TEST_F(UpdateFailureTest, ReversedLimitsExtrudeTheOtherWay) {
  // First -6, second +1: the slab between -6 and -1 along +Z, 5 thick: pi*10^2*5.
  auto feature = pad(sketchWithCircles({{0, 0, 10}}), -6, 1);
  ASSERT_TRUE(feature->update().ok());
  EXPECT_NEAR(volume(solidOf(part->mainBody())), M_PI * 100 * 5, 1e-6);
}

TEST_F(UpdateFailureTest, SketchWithoutClosedContourFails) {
  auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto edition = host::query<host::Sketch>(sketch);
  edition->openEdition();
  ASSERT_TRUE(host::query<host::Factory2D>(sketch)->createPoint({1, 2}));
  edition->closeEdition();
  auto feature = pad(sketch, 10, 0);
  host::UpdateResult result = feature->update();
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("closed contour"), std::string::npos) << result.diagnostic;
}

TEST_F(UpdateFailureTest, DirectionInTheSketchPlaneFails) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  host::query<host::Prism>(feature)->setDirection({1, 0, 0});
  host::UpdateResult result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.diagnostic.empty());
}

TEST_F(UpdateFailureTest, UnsupportedLimitTypeFails) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  host::query<host::Prism>(feature)->setLimitType(host::LimitEnd::First, 1);
  host::UpdateResult result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("limit type 1"), std::string::npos) << result.diagnostic;
}

TEST_F(UpdateFailureTest, PadWhoseSketchWasRemovedFails) {
  auto sketch = sketchWithCircles({{0, 0, 10}});
  auto feature = pad(sketch, 10, 0);
  ASSERT_TRUE(feature->update().ok());
  auto body = host::query<host::Descendants>(part->mainBody());
  ASSERT_EQ(body->removeChild(sketch), host::kOk);
  host::UpdateResult result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("sketch"), std::string::npos) << result.diagnostic;
  EXPECT_TRUE(solidOf(part->mainBody()).IsNull());
  sketch.reset();
  EXPECT_FALSE(feature->update().ok());
}

TEST_F(UpdateFailureTest, FailedPadPassesTheSolidOnAndRecoversWhenFixed) {
  pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  auto broken = pad(sketchWithCircles({{50, 0, 10}}), 0, 0);
  EXPECT_FALSE(broken->update().ok());
  // The body keeps the first cylinder: pi * 100 * 10.
  double one = 3.14159265358979323846 * 1000.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), one, one * 1e-9);
  host::query<host::Prism>(broken)->setLimitLength(host::LimitEnd::First, 10);
  EXPECT_TRUE(broken->update().ok());
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 2 * one, one * 1e-9);
}

TEST_F(UpdateFailureTest, PartUpdateReportsTheFailure) {
  pad(sketchWithCircles({{0, 0, 10}}), 0, 0);
  host::UpdateResult result = partObject->update();
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.diagnostic.empty());
}

}  // namespace
}  // namespace occt_host::testing
