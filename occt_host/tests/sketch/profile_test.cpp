#include <gtest/gtest.h>

#include <TopAbs_ShapeEnum.hxx>
#include <TopExp_Explorer.hxx>

#include "part_fixture.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

using ProfileTest = PartFixture;

int count(const TopoDS_Shape& shape, TopAbs_ShapeEnum type) {
  int n = 0;
  for (TopExp_Explorer e(shape, type); e.More(); e.Next()) ++n;
  return n;
}

TEST_F(ProfileTest, CircleInsideCircleIsARing) {
  auto feature = pad(sketchWithCircles({{0, 0, 20}, {0, 0, 50}}), 10, 0);
  ASSERT_TRUE(feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  // pi * (50^2 - 20^2) * 10 = pi * 21000
  double expected = kPi * 21000.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-9);
  EXPECT_EQ(count(solid, TopAbs_SOLID), 1);
  // Outer and inner cylinder walls, top and bottom.
  EXPECT_EQ(count(solid, TopAbs_FACE), 4);
}

TEST_F(ProfileTest, OffCentreHoleIsAHoleToo) {
  auto feature = pad(sketchWithCircles({{0, 0, 50}, {25, 5, 10}}), 10, 0);
  ASSERT_TRUE(feature->update().ok());
  // pi * (2500 - 100) * 10
  double expected = kPi * 24000.0;
  EXPECT_NEAR(volume(solidOf(feature)), expected, expected * 1e-9);
}

TEST_F(ProfileTest, SeparateCirclesAreSeparateDomains) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}, {100, 0, 5}}), 10, 0);
  ASSERT_TRUE(feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  // pi * (10^2 + 5^2) * 10 = pi * 1250
  double expected = kPi * 1250.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-9);
  EXPECT_EQ(count(solid, TopAbs_SOLID), 2);
}

TEST_F(ProfileTest, IslandInsideAHoleIsSolidAgain) {
  auto feature = pad(sketchWithCircles({{0, 0, 10}, {0, 0, 50}, {0, 0, 30}}), 10, 0);
  ASSERT_TRUE(feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  // pi * (50^2 - 30^2 + 10^2) * 10 = pi * 17000
  double expected = kPi * 17000.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-9);
  EXPECT_EQ(count(solid, TopAbs_SOLID), 2);
}

}  // namespace
}  // namespace occt_host::testing
