// Every 2D kind of a sketch measured on its kernel curve.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "occt_host/sketch/sketch_inspect.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTol = 1e-9;

class SketchGeometryTest : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    edition = host::query<host::Sketch>(sketch);
    factory = host::query<host::Factory2D>(sketch);
    ASSERT_TRUE(edition && factory);
    edition->openEdition();
  }

  std::vector<host::Geometry2DPtr> points(std::initializer_list<host::Point2> at) {
    std::vector<host::Geometry2DPtr> out;
    for (const auto& p : at) out.push_back(factory->createPoint(p));
    return out;
  }

  static SketchElementInfo info(const host::Geometry2DPtr& element) {
    return inspectElement(element);
  }

  host::SpecObjectPtr sketch;
  std::shared_ptr<host::Sketch> edition;
  std::shared_ptr<host::Factory2D> factory;
};

#define EXPECT_POINT(p, ex, ey)     \
  do {                              \
    EXPECT_NEAR((p).x, (ex), 1e-9); \
    EXPECT_NEAR((p).y, (ey), 1e-9); \
  } while (0)

TEST_F(SketchGeometryTest, LineRunsBetweenItsEndsAndAnswersItsEndPoints) {
  auto line = factory->createLine({1, 2}, {4, 6});
  ASSERT_TRUE(line);
  SketchElementInfo i = info(line);
  EXPECT_EQ(i.kind, "Line2D");
  EXPECT_POINT(i.start, 1, 2);
  EXPECT_POINT(i.end, 4, 6);
  EXPECT_NEAR(i.length, 5.0, kTol);  // 3-4-5 triangle
  auto curve = host::query<host::Curve2D>(line);
  ASSERT_TRUE(curve);
  EXPECT_EQ(curve->closure(), 0);
  EXPECT_POINT(info(curve->startPoint()).point, 1, 2);
  EXPECT_POINT(info(curve->endPoint()).point, 4, 6);
  // The end points answer SpecObject, so the update service can update them.
  auto end = host::query<host::SpecObject>(curve->endPoint());
  ASSERT_TRUE(end);
  EXPECT_TRUE(end->update().ok());
  EXPECT_TRUE(host::query<host::SpecObject>(line)->update().ok());
  EXPECT_FALSE(factory->createLine({1, 2}, {1, 2}));
  EXPECT_FALSE(factory->createLine({1, 2}, {NAN, 2}));
}

TEST_F(SketchGeometryTest, QuarterArcCounterClockwise) {
  auto arc = factory->createCircleArc({0, 0}, 10, 0, kPi / 2);
  ASSERT_TRUE(arc);
  SketchElementInfo i = info(arc);
  EXPECT_POINT(i.start, 10, 0);
  EXPECT_POINT(i.end, 0, 10);
  // middle at pi/4: 10 * (cos, sin) = (7.0711, 7.0711)
  EXPECT_POINT(i.middle, 10 * std::cos(kPi / 4), 10 * std::sin(kPi / 4));
  EXPECT_NEAR(i.length, 10 * kPi / 2, 1e-9);  // r * (b - a) = 5 pi
  EXPECT_FALSE(i.closed);
}

TEST_F(SketchGeometryTest, LongArcFromHalfPiToTwoPi) {
  auto arc = factory->createCircleArc({0, 0}, 10, kPi / 2, 2 * kPi);
  ASSERT_TRUE(arc);
  SketchElementInfo i = info(arc);
  EXPECT_POINT(i.start, 0, 10);
  EXPECT_POINT(i.end, 10, 0);
  // middle at 5 pi / 4, in the third quadrant
  EXPECT_POINT(i.middle, -10 / std::sqrt(2.0), -10 / std::sqrt(2.0));
  EXPECT_NEAR(i.length, 10 * 1.5 * kPi, 1e-9);  // 15 pi
}

TEST_F(SketchGeometryTest, FullTurnArcIsClosedAndStartsAtItsAngle) {
  auto arc = factory->createCircleArc({1, 1}, 2, kPi / 4, kPi / 4 + 2 * kPi);
  ASSERT_TRUE(arc);
  SketchElementInfo i = info(arc);
  EXPECT_TRUE(i.closed);
  EXPECT_EQ(host::query<host::Curve2D>(arc)->closure(), 1);
  EXPECT_NEAR(i.length, 4 * kPi, 1e-9);  // 2 pi r
  EXPECT_POINT(i.start, 1 + std::sqrt(2.0), 1 + std::sqrt(2.0));
  EXPECT_FALSE(factory->createCircleArc({0, 0}, 10, 1, 1));
  EXPECT_FALSE(factory->createCircleArc({0, 0}, -1, 0, 1));
}

TEST_F(SketchGeometryTest, EllipseMajorAxisFollowsTheDirectionWhicheverRadiusComesFirst) {
  auto ellipse = factory->createEllipse({1, 2}, {0, 1}, 5, 10);
  ASSERT_TRUE(ellipse);
  SketchElementInfo i = info(ellipse);
  EXPECT_TRUE(i.closed);
  EXPECT_POINT(i.center, 1, 2);
  EXPECT_POINT(i.majorDirection, 0, 1);
  EXPECT_NEAR(i.majorRadius, 10, kTol);
  EXPECT_NEAR(i.minorRadius, 5, kTol);
  // 10 along y, 5 along x
  EXPECT_NEAR(distanceToCurve(ellipse, {1, 12}), 0, 1e-7);
  EXPECT_NEAR(distanceToCurve(ellipse, {6, 2}), 0, 1e-7);
  EXPECT_FALSE(factory->createEllipse({0, 0}, {0, 0}, 5, 10));
  EXPECT_FALSE(factory->createEllipse({0, 0}, {1, 0}, 5, 0));
}

TEST_F(SketchGeometryTest, EllipseArcRunsBetweenItsParameters) {
  // Major 10 along (0,1), minor 5 along (-1,0); t = -pi/4 names
  // (1,2) + 10 cos(-pi/4) (0,1) + 5 sin(-pi/4) (-1,0) = (1 + 3.5355, 2 + 7.0711).
  auto arc = factory->createEllipseArc({1, 2}, {0, 1}, 5, 10, -kPi / 4, kPi / 2);
  ASSERT_TRUE(arc);
  SketchElementInfo i = info(arc);
  EXPECT_POINT(i.start, 1 + 5 / std::sqrt(2.0), 2 + 10 / std::sqrt(2.0));
  EXPECT_POINT(i.end, 1 - 5, 2);  // t = pi/2: 5 * (-1, 0)
  EXPECT_FALSE(i.closed);
}

TEST_F(SketchGeometryTest, CubicSplinePassesThroughItsPoints) {
  auto through = points({{0, 0}, {10, 5}, {20, 0}});
  auto spline = factory->createSpline(through, 0);
  ASSERT_TRUE(spline);
  SketchElementInfo i = info(spline);
  EXPECT_EQ(i.degree, 2);  // three points carry a parabola at most
  EXPECT_POINT(i.start, 0, 0);
  EXPECT_POINT(i.end, 20, 0);
  EXPECT_NEAR(distanceToCurve(spline, {10, 5}), 0, 1e-9);
  EXPECT_EQ(host::query<host::Curve2D>(spline)->closure(), 0);
  auto four = factory->createSpline(points({{0, 0}, {10, 5}, {20, 0}, {30, 5}}), 0);
  ASSERT_TRUE(four);
  EXPECT_EQ(info(four).degree, 3);
  EXPECT_NEAR(distanceToCurve(four, {20, 0}), 0, 1e-9);
  // Coincident neighbours, a single point, and a curve among the points are refused.
  EXPECT_FALSE(factory->createSpline(points({{0, 0}, {0, 0}, {1, 1}}), 0));
  EXPECT_FALSE(factory->createSpline(points({{0, 0}}), 0));
  EXPECT_FALSE(factory->createSpline({through[0], spline}, 0));
}

TEST_F(SketchGeometryTest, ClosedCubicSplineIsPeriodic) {
  auto spline = factory->createSpline(points({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 1);
  ASSERT_TRUE(spline);
  EXPECT_EQ(host::query<host::Curve2D>(spline)->closure(), 1);
  EXPECT_NEAR(distanceToCurve(spline, {10, 10}), 0, 1e-9);
}

TEST_F(SketchGeometryTest, QuinticSplinePassesThroughItsPoints) {
  std::initializer_list<host::Point2> at = {{0, 0},  {10, 5}, {20, 0}, {30, -5},
                                            {40, 0}, {50, 5}, {60, 0}};
  auto spline = factory->createQuinticSpline(points(at), 0);
  ASSERT_TRUE(spline);
  EXPECT_EQ(info(spline).degree, 5);
  for (const auto& p : at) EXPECT_LT(distanceToCurve(spline, p), 1e-4) << p.x;
  auto small = factory->createQuinticSpline(points({{0, 0}, {10, 5}, {20, 0}}), 0);
  ASSERT_TRUE(small);
  EXPECT_EQ(info(small).degree, 5);
  EXPECT_LT(distanceToCurve(small, {10, 5}), 1e-4);
}

TEST_F(SketchGeometryTest, SplineStartOnTheCurveTrimsIt) {
  auto spline = factory->createSpline(points({{0, 0}, {10, 5}, {20, 0}}), 0);
  auto curve = host::query<host::Curve2D>(spline);
  ASSERT_TRUE(curve);
  auto start = curve->startPoint();
  EXPECT_EQ(curve->setStartPoint({10, 5}), host::kOk);
  SketchElementInfo i = info(spline);
  EXPECT_POINT(i.start, 10, 5);
  EXPECT_POINT(i.end, 20, 0);
  // The end point element follows the curve.
  EXPECT_POINT(info(start).point, 10, 5);
  EXPECT_EQ(curve->setEndPoint({10, 5}), host::kFail);  // nothing would be left
}

TEST_F(SketchGeometryTest, SplineEndOffTheCurveExtendsIt) {
  auto spline = factory->createSpline(points({{0, 0}, {10, 5}, {20, 0}}), 0);
  auto curve = host::query<host::Curve2D>(spline);
  EXPECT_EQ(curve->setEndPoint({25, -5}), host::kOk);
  SketchElementInfo i = info(spline);
  EXPECT_POINT(i.start, 0, 0);
  EXPECT_NEAR(i.end.x, 25, 1e-6);
  EXPECT_NEAR(i.end.y, -5, 1e-6);
  EXPECT_NEAR(distanceToCurve(spline, {10, 5}), 0, 1e-7);
  EXPECT_EQ(curve->setStartPoint({-3, -4}), host::kOk);
  EXPECT_NEAR(info(spline).start.x, -3, 1e-6);
}

TEST_F(SketchGeometryTest, ClosedCurvesKeepTheirEnds) {
  auto spline = factory->createSpline(points({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 1);
  EXPECT_EQ(host::query<host::Curve2D>(spline)->setStartPoint({1, 1}), host::kFail);
  auto circle = factory->createCircle({0, 0}, 3);
  EXPECT_EQ(host::query<host::Curve2D>(circle)->setStartPoint({1, 1}), host::kFail);
  EXPECT_FALSE(host::query<host::Curve2D>(factory->createPoint({1, 1})));
}

TEST_F(SketchGeometryTest, VertexCircleOfOneHundredthMillimetre) {
  auto point = factory->createPoint({3, 4});
  auto circle = factory->createCircle({3, 4}, 0.01);
  ASSERT_TRUE(point && circle);
  SketchElementInfo i = info(circle);
  EXPECT_POINT(i.center, 3, 4);
  EXPECT_NEAR(i.majorRadius, 0.01, 1e-15);
  EXPECT_NEAR(i.length, 2 * kPi * 0.01, 1e-12);
  EXPECT_EQ(info(point).kind, "Point2D");
  EXPECT_POINT(info(point).point, 3, 4);
  auto all = inspectSketch(sketch);
  ASSERT_EQ(all.size(), 2u);
}

}  // namespace
}  // namespace occt_host::testing
