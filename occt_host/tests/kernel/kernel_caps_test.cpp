// The host refuses what its kernel cannot build sensibly: extrusion limits beyond 1e6 mm
// and radii below 1e-6 mm.
#include <gtest/gtest.h>

#include "part_fixture.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

using KernelCapsTest = PartFixture;

TEST_F(KernelCapsTest, ExtrusionLimitsUpToAKilometre) {
  auto beyond = pad(sketchWithCircles({{0, 0, 1}}), 1e6 + 1, 0);
  ASSERT_TRUE(beyond);
  host::UpdateResult refused = beyond->update();
  EXPECT_FALSE(refused.ok());
  EXPECT_NE(refused.diagnostic.find("beyond the 1e6 mm an extrusion may reach"), std::string::npos)
      << refused.diagnostic;
  auto behind = pad(sketchWithCircles({{5, 0, 1}}), 1, -2e6);
  ASSERT_TRUE(behind);
  EXPECT_FALSE(behind->update().ok());

  auto longest = pad(sketchWithCircles({{20, 0, 1}}), 1e6, 0);
  ASSERT_TRUE(longest);
  host::UpdateResult built = longest->update();
  ASSERT_TRUE(built.ok()) << built.diagnostic;
  // pi * 1^2 * 1e6.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), kPi * 1e6, kPi * 1e6 * 1e-6);
}

TEST_F(KernelCapsTest, RadiiFromAMillionthOfAMillimetre) {
  auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto edition = host::query<host::Sketch>(sketch);
  auto factory = host::query<host::Factory2D>(sketch);
  ASSERT_TRUE(edition && factory);
  edition->openEdition();
  EXPECT_FALSE(factory->createCircle({0, 0}, 9.9e-7));
  EXPECT_FALSE(factory->createCircleArc({0, 0}, 9.9e-7, 0, 1));
  EXPECT_FALSE(factory->createEllipse({0, 0}, {1, 0}, 2, 9.9e-7));
  EXPECT_FALSE(factory->createEllipseArc({0, 0}, {1, 0}, 9.9e-7, 2, 0, 1));
  EXPECT_TRUE(factory->createCircle({0, 0}, 1e-6));
  EXPECT_TRUE(factory->createEllipse({10, 0}, {1, 0}, 2, 1e-6));
  edition->closeEdition();
}

}  // namespace
}  // namespace occt_host::testing
