#include <gtest/gtest.h>

#include "features/sweep/loft.h"
#include "features/sweep/sweep_fixture.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Circ.hxx>

namespace occt_host::testing {
namespace {

class LoftTest : public SweepFixture {
 protected:
  host::SpecObjectPtr circleAt(double z, double r) {
    return sketch({{0, 0, z}}, {{}, {{0, 0, r}}, {}});
  }
  host::SpecObjectPtr squareAt(double z, double half) {
    return sketch({{0, 0, z}}, rectangle(-half, -half, half, half));
  }
  host::SpecObjectPtr loftThrough(const std::vector<host::SpecObjectPtr>& sections) {
    auto feature = sweeps->createLoft();
    auto loft = host::query<host::Loft>(feature);
    if (!loft) return nullptr;
    for (const auto& s : sections) {
      if (host::failed(loft->addSection(s, 1, nullptr))) return nullptr;
    }
    return feature;
  }
  host::SpecObjectPtr pointAt(double x, double y, double z) {
    return wireframe->createPoint({x, y, z});
  }
};

TEST_F(LoftTest, ThreeCoaxialCirclesWithLinearRadiiMakeAFrustum) {
  // Radii 10, 15, 20 at z 0, 10, 20: pi h / 3 (R^2 + R r + r^2) = pi 20 / 3 (400 + 200 + 100).
  auto feature = loftThrough({circleAt(0, 10), circleAt(10, 15), circleAt(20, 20)});
  ASSERT_TRUE(feature);
  EXPECT_EQ(feature->typeName(), "Loft");
  EXPECT_EQ(host::query<host::Loft>(feature)->sectionCount(), 3);
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  const double expected = kPi * 20 / 3 * 700;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-3);
  Box box = boxOf(solidOf(feature));
  EXPECT_NEAR(box.z0, 0, 1e-6);
  EXPECT_NEAR(box.z1, 20, 1e-6);
  EXPECT_NEAR(box.x1, 20, 1e-3);
}

TEST_F(LoftTest, SectionsFacingOppositeWaysDoNotTwist) {
  // The top circle's sketch faces -z (v = -y), so its contour runs the other way round:
  // still the cylinder pi 10^2 10 = 1000 pi.
  auto top = sketch({{0, 0, 10}, {1, 0, 0}, {0, -1, 0}}, {{}, {{0, 0, 10}}, {}});
  auto feature = loftThrough({circleAt(0, 10), top});
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(feature)), 1000 * kPi, 1000 * kPi * 1e-3);
  // Squares likewise: 20 x 20 x 10 = 4000.
  auto square = sketch({{0, 0, 10}, {1, 0, 0}, {0, -1, 0}}, rectangle(-10, -10, 10, 10));
  auto squares = loftThrough({squareAt(0, 10), square});
  result = squares->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(squares)), 4000, 4000 * 1e-3);
}

TEST_F(LoftTest, SquareToCircleLiesBetweenTheCylinderAndTheSquarePrism) {
  // A 20 x 20 square at z 0 to the inscribed circle of radius 10 at z 10: every section
  // lies between the circle and the square, so pi 10^2 10 < V < 20^2 10.
  auto feature = loftThrough({squareAt(0, 10), circleAt(10, 10)});
  ASSERT_TRUE(feature);
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  const double v = volume(solidOf(feature));
  EXPECT_GT(v, 1000 * kPi);
  EXPECT_LT(v, 4000);
}

TEST_F(LoftTest, MatchedClosingPointsKeepEqualSquaresUntwisted) {
  // Two equal squares 10 apart, both started at their (10, 10) corner: the prism
  // 20 x 20 x 10 = 4000.
  auto feature = loftThrough({squareAt(0, 10), squareAt(10, 10)});
  auto loft = host::query<host::Loft>(feature);
  ASSERT_EQ(loft->setSectionPoint(1, pointAt(10, 10, 0)), host::kOk);
  ASSERT_EQ(loft->setSectionPoint(2, pointAt(10.5, 9, 10)), host::kOk);
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(feature)), 4000, 4000 * 1e-6);
  EXPECT_EQ(loft->setSectionPoint(3, pointAt(0, 0, 0)), host::kInvalidArg);
  EXPECT_EQ(loft->setSectionPoint(1, squareAt(20, 1)), host::kInvalidArg);
}

TEST_F(LoftTest, StartNearestRotatesAPolygonAndReseamsACircle) {
  TopoDS_Wire square = BRepBuilderAPI_MakePolygon(gp_Pnt(0, 0, 0), gp_Pnt(1, 0, 0), gp_Pnt(1, 1, 0),
                                                  gp_Pnt(0, 1, 0), true)
                           .Wire();
  TopoDS_Vertex first, last;
  TopExp::Vertices(startNearest(square, gp_Pnt(0.9, 1.2, 0)), first, last);
  EXPECT_TRUE(BRep_Tool::Pnt(first).IsEqual(gp_Pnt(1, 1, 0), 1e-9));
  // A circle of radius 10 about z, seamed at (10, 0, 0), moves its seam to the point's
  // projection (0, 10, 0).
  TopoDS_Wire circle =
      BRepBuilderAPI_MakeWire(BRepBuilderAPI_MakeEdge(gp_Circ(gp::XOY(), 10)).Edge()).Wire();
  TopExp::Vertices(startNearest(circle, gp_Pnt(0, 25, 3)), first, last);
  EXPECT_TRUE(BRep_Tool::Pnt(first).IsEqual(gp_Pnt(0, 10, 0), 1e-9));
}

TEST_F(LoftTest, DegenerateSectionsFailWithTheKernelsText) {
  // Two circles in one plane enclose nothing.
  auto coincident = loftThrough({circleAt(0, 10), circleAt(0, 5)});
  host::UpdateResult result = coincident->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("sections 1 and 2 lie in the same plane"), std::string::npos)
      << result.diagnostic;
  EXPECT_FALSE(result.diagnostic.empty());
  // One section is no loft.
  auto single = loftThrough({circleAt(0, 10)});
  result = single->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("at least two sections"), std::string::npos);
  // A section with a hole is not one contour.
  auto holed = sketch({{0, 0, 10}}, {{}, {{0, 0, 10}, {0, 0, 4}}, {}});
  auto withHole = loftThrough({circleAt(0, 10), holed});
  result = withHole->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("without holes"), std::string::npos) << result.diagnostic;
}

TEST_F(LoftTest, SectionsMustBeSketches) {
  auto loft = host::query<host::Loft>(sweeps->createLoft());
  ASSERT_TRUE(loft);
  EXPECT_EQ(loft->addSection(nullptr, 1, nullptr), host::kInvalidArg);
  EXPECT_EQ(loft->addSection(circleAt(0, 1), 2, nullptr), host::kInvalidArg);
  EXPECT_EQ(loft->addSection(circleAt(0, 1), 1, circleAt(1, 1)), host::kInvalidArg);
  EXPECT_EQ(loft->sectionCount(), 0);
}

}  // namespace
}  // namespace occt_host::testing
