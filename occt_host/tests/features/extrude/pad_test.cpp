#include <gtest/gtest.h>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <TopAbs_ShapeEnum.hxx>
#include <TopExp_Explorer.hxx>

#include <cmath>

#include "part_fixture.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

using PadTest = PartFixture;

TEST_F(PadTest, CircleOnXyAlongZIsTheExpectedCylinder) {
  auto sketch = sketchWithCircles({{0, 0, 300}});
  ASSERT_TRUE(sketch);
  auto feature = pad(sketch, 500, 0);
  ASSERT_TRUE(feature);
  ASSERT_TRUE(feature->update().ok());

  TopoDS_Shape solid = solidOf(part->mainBody());
  ASSERT_FALSE(solid.IsNull());
  // pi * 300^2 * 500 = 141371669.411...
  double expected = kPi * 300.0 * 300.0 * 500.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-9);

  Bnd_Box box;
  BRepBndLib::AddOptimal(solid, box, /*useTriangulation=*/false, /*useShapeTolerance=*/false);
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  EXPECT_NEAR(x0, -300, 1e-6);
  EXPECT_NEAR(x1, 300, 1e-6);
  EXPECT_NEAR(y0, -300, 1e-6);
  EXPECT_NEAR(y1, 300, 1e-6);
  EXPECT_NEAR(z0, 0, 1e-6);
  EXPECT_NEAR(z1, 500, 1e-6);
}

TEST_F(PadTest, LimitsAndDirectionReadBackAsSet) {
  auto feature = features->createPad(sketchWithCircles({{0, 0, 10}}));
  auto prism = host::query<host::Prism>(feature);
  ASSERT_TRUE(prism);
  // Until set, the direction is the sketch normal: (1,0,0) x (0,1,0).
  host::Vec3 normal = prism->direction();
  EXPECT_EQ(normal.z, 1.0);
  EXPECT_EQ(prism->setDirection({0, 0, 2.5}), host::kOk);
  EXPECT_EQ(prism->direction().z, 2.5);
  EXPECT_EQ(prism->setLimitLength(host::LimitEnd::First, 12.345), host::kOk);
  EXPECT_EQ(prism->setLimitLength(host::LimitEnd::Second, -3.25), host::kOk);
  EXPECT_EQ(prism->limitLength(host::LimitEnd::First), 12.345);
  EXPECT_EQ(prism->limitLength(host::LimitEnd::Second), -3.25);
  EXPECT_EQ(prism->limitType(host::LimitEnd::Second), host::kLimitLength);
  EXPECT_EQ(prism->setDirection({0, 0, 0}), host::kInvalidArg);
  EXPECT_EQ(prism->setLimitLength(host::LimitEnd::First, std::nan("")), host::kInvalidArg);
}

TEST_F(PadTest, BothLimitsOnATiltedPlane) {
  // Plane through (10, 20, 30) with h = (1, 0, 0) and v = (0, 1, 1): v becomes
  // (0, 1, 1)/sqrt(2) and the normal h x v = (0, -1, 1)/sqrt(2).
  auto sketch = sketchWithCircles({{0, 0, 20}}, {10, 20, 30}, {1, 0, 0}, {0, 1, 1});
  ASSERT_TRUE(sketch);
  auto feature = pad(sketch, 10, 5);
  ASSERT_TRUE(feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  // pi * 20^2 * (10 + 5) = 18849.555...
  double expected = kPi * 400.0 * 15.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-9);
  // The solid spans -5 .. +10 along the normal, so its centre sits 2.5 along it:
  // (10, 20, 30) + 2.5 * (0, -1, 1)/sqrt(2) = (10, 18.2322, 31.7678).
  GProp_GProps props;
  BRepGProp::VolumeProperties(solid, props);
  gp_Pnt centre = props.CentreOfMass();
  double step = 2.5 / std::sqrt(2.0);
  EXPECT_NEAR(centre.X(), 10, 1e-6);
  EXPECT_NEAR(centre.Y(), 20 - step, 1e-6);
  EXPECT_NEAR(centre.Z(), 30 + step, 1e-6);
}

TEST_F(PadTest, LaterPadsFuseIntoTheBodySolid) {
  pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  pad(sketchWithCircles({{30, 0, 10}}), 10, 0);
  // Two disjoint cylinders: 2 * pi * 10^2 * 10.
  double separate = 2 * kPi * 100.0 * 10.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), separate, separate * 1e-9);

  auto taller = pad(sketchWithCircles({{0, 0, 10}}), 20, 0);
  ASSERT_TRUE(taller->update().ok());
  // The third pad covers the first: pi*100*20 + pi*100*10.
  double merged = kPi * 100.0 * 30.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), merged, merged * 1e-9);
}

TEST_F(PadTest, ChangingAnEarlierPadRecomputesTheBodyWhenAsked) {
  auto first = pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  auto second = pad(sketchWithCircles({{30, 0, 10}}), 10, 0);
  ASSERT_TRUE(second->update().ok());
  auto prism = host::query<host::Pad>(first);
  prism->setLimitLength(host::LimitEnd::First, 40);
  ASSERT_TRUE(first->update().ok());
  // pi*100*40 + pi*100*10
  double expected = kPi * 100.0 * 50.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-9);
  int solids = 0;
  for (TopExp_Explorer e(solidOf(part->mainBody()), TopAbs_SOLID); e.More(); e.Next()) ++solids;
  EXPECT_EQ(solids, 2);
}

}  // namespace
}  // namespace occt_host::testing
