// Sketch planes: the matrix, same-plane comparison, plane features, normals, and the
// angle and parameter arithmetic of arcs; host text conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <rapidjson/document.h>

#include "host/document.h"
#include "host/part.h"
#include "occt_host/session/session.h"
#include "sketch/plane_math.h"
#include "sketch/sketch_geometry.h"
#include "text/host_text.h"

namespace {

using namespace kestrun;

constexpr double kPi = 3.14159265358979323846;

#define EXPECT_VEC(v, ex, ey, ez)    \
  do {                               \
    EXPECT_NEAR((v).x, (ex), 1e-12); \
    EXPECT_NEAR((v).y, (ey), 1e-12); \
    EXPECT_NEAR((v).z, (ez), 1e-12); \
  } while (0)

host::Plane parsed(const char* json) {
  rapidjson::Document doc;
  doc.Parse(json);
  return parseMatrix(&doc);
}

TEST(SketchPlaneMath, MatrixGivesOriginAndAxesAsWritten) {
  host::Plane p = parsed("[0,2,0,0, 0,0,3,0, 1,0,0,0, 10,20,30,1]");
  EXPECT_VEC(p.origin, 10, 20, 30);
  EXPECT_VEC(p.u, 0, 2, 0);  // not normalised
  EXPECT_VEC(p.v, 0, 0, 3);
}

TEST(SketchPlaneMath, ParallelAxesFallBackToTheNormal) {
  host::Plane p = parsed("[1,0,0,0, 1,0,0,0, 0,0,1,0, 0,0,5,1]");
  EXPECT_VEC(p.origin, 0, 0, 5);
  EXPECT_VEC(p.u, 1, 0, 0);
  EXPECT_VEC(p.v, 0, 1, 0);
  EXPECT_VEC(p.normal(), 0, 0, 1);
}

TEST(SketchPlaneMath, InvalidMatricesGiveTheXyPlaneWithTheirMessage) {
  for (const char* json :
       {"[1,0,0,0, 0,1,0,0, 0,0,1,0]", "{}", "[1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,\"5\",1]",
        "[1e308,0,0,0, 0,1e308,0,0, 0,0,1,0, 0,0,0,1]"}) {
    ::testing::internal::CaptureStderr();
    host::Plane p = parsed(json);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "parseMatrix: invalid matrix array\n")
        << json;
    EXPECT_VEC(p.origin, 0, 0, 0);
    EXPECT_VEC(p.u, 1, 0, 0);
    EXPECT_VEC(p.v, 0, 1, 0);
  }
  ::testing::internal::CaptureStderr();
  parseMatrix(nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "parseMatrix: invalid matrix array\n");
}

TEST(SketchPlaneMath, PlaneFromNormalKeepsTheReferenceAxes) {
  host::Plane p;
  ASSERT_TRUE(planeFromNormal({0, 0, 0}, {0, 0, 7}, p));
  EXPECT_VEC(p.u, 1, 0, 0);
  EXPECT_VEC(p.v, 0, 1, 0);
  ASSERT_TRUE(planeFromNormal({0, 0, 0}, {1, 0, 0}, p));
  EXPECT_VEC(p.u, 0, 1, 0);
  EXPECT_VEC(p.v, 0, 0, 1);
  ASSERT_TRUE(planeFromNormal({0, 0, 0}, {0, 1, 0}, p));
  EXPECT_VEC(p.u, 0, 0, 1);
  EXPECT_VEC(p.v, 1, 0, 0);
  // A slanted normal: u is x made square to n = (0, 1, 1)/sqrt2 -> (1, 0, 0) already is.
  ASSERT_TRUE(planeFromNormal({0, 0, 0}, {0, 1, 1}, p));
  EXPECT_NEAR(host::dot(p.u, p.normal()), 0, 1e-12);
  EXPECT_NEAR(p.normal().y, 1 / std::sqrt(2.0), 1e-12);
  EXPECT_FALSE(planeFromNormal({0, 0, 0}, {0, 0, 0}, p));
}

TEST(SketchPlaneMath, SamePlaneNeedsSameOriginAndSameWayAxes) {
  host::Plane a{{1, 2, 3}, {0, 1, 0}, {0, 0, 1}};
  EXPECT_TRUE(IsSamePlane(a, a));
  host::Plane scaled{{1, 2, 3}, {0, 5, 0}, {0, 0, 2}};
  EXPECT_TRUE(IsSamePlane(a, scaled));
  host::Plane reversed{{1, 2, 3}, {0, 1, 0}, {0, 0, -1}};
  EXPECT_FALSE(IsSamePlane(a, reversed));
  host::Plane moved{{1, 2, 3 + 2e-6}, {0, 1, 0}, {0, 0, 1}};
  EXPECT_FALSE(IsSamePlane(a, moved));
  host::Plane nearly{{1, 2, 3 + 5e-7}, {0, 1, 0}, {0, 0, 1}};
  EXPECT_TRUE(IsSamePlane(a, nearly));
  host::Plane degenerate{{1, 2, 3}, {0, 0, 0}, {0, 0, 1}};
  EXPECT_FALSE(IsSamePlane(a, degenerate));
}

TEST(SketchPlaneMath, PlaneNormalThroughThreePoints) {
  host::Vec3 n;
  EXPECT_FALSE(ComputePlaneNormal({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, n));
  ASSERT_TRUE(ComputePlaneNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, n));
  EXPECT_VEC(n, 0, 0, 1);
  // (0,3,0) x (0,0,4) = (12, 0, 0) -> (1, 0, 0)
  ASSERT_TRUE(ComputePlaneNormal({5, 0, 0}, {5, 3, 0}, {5, 0, 4}, n));
  EXPECT_VEC(n, 1, 0, 0);
  EXPECT_FALSE(ComputePlaneNormal({0, 0, 0}, {0, 0, 0}, {0, 1, 0}, n));
}

TEST(SketchPlaneMath, PlaneOfAReferencePlaneAndOfSomethingElse) {
  occt_host::Session session;
  auto document = session.newDocument("Part");
  auto container = host::query<host::PartContainer>(
      host::query<host::DocumentRoots>(document)->rootContainer(host::kPartContainerType));
  auto part = host::query<host::Part>(container->part());
  host::Plane p;
  ASSERT_TRUE(GetMathPlaneFromSpec(part->referencePlanes()[1], p));
  EXPECT_VEC(p.u, 0, 1, 0);
  EXPECT_VEC(p.v, 0, 0, 1);
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(GetMathPlaneFromSpec(part->mainBody(), p));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "error: QueryInterface IID_CAAISysPlane rc = -2147467262\n");
  EXPECT_FALSE(GetMathPlaneFromSpec(nullptr, p));
}

TEST(SketchArcMath, AnglesAreReducedAndOrderedBySweep) {
  EXPECT_NEAR(reduceAngle(-kPi / 2), 1.5 * kPi, 1e-15);
  EXPECT_NEAR(reduceAngle(5 * kPi), kPi, 1e-12);
  EXPECT_EQ(reduceAngle(-1e-20), 0.0);
  AngleRange r = orderBySweep(0, kPi / 2, false);
  EXPECT_NEAR(r.start, 0, 1e-15);
  EXPECT_NEAR(r.end, kPi / 2, 1e-15);
  r = orderBySweep(0, kPi / 2, true);
  EXPECT_NEAR(r.start, kPi / 2, 1e-15);
  EXPECT_NEAR(r.end, 2 * kPi, 1e-15);
  r = orderBySweep(kPi, kPi / 2, true);  // a > b: from b to a
  EXPECT_NEAR(r.start, kPi / 2, 1e-15);
  EXPECT_NEAR(r.end, kPi, 1e-15);
  r = orderBySweep(1, 1, false);  // a full turn
  EXPECT_NEAR(r.end - r.start, 2 * kPi, 1e-15);
}

TEST(SketchArcMath, EllipseParameterIsTheHostsWhicheverRadiusIsLarger) {
  // rx 20 >= ry 10 along x: (20 cos t, 10 sin t) has parameter t.
  double t = 0.7;
  EXPECT_NEAR(ellipseParameter({0, 0}, {20 * std::cos(t), 10 * std::sin(t)}, 0, 20, 10), t, 1e-12);
  // rx 5 < ry 10, angle 0: major 10 along theta = pi/2, minor 5 along (-1, 0); the point
  // (5 cos 45°, 10 sin 45°) = 10 cos s (0,1) + 5 sin s (-1,0) gives s = -pi/4 -> 7pi/4.
  double s = ellipseParameter({0, 0}, {5 / std::sqrt(2.0), 10 / std::sqrt(2.0)}, kPi / 2, 5, 10);
  EXPECT_NEAR(s, 1.75 * kPi, 1e-12);
}

TEST(SketchHostText, Utf8KeptAndWindows1252Converted) {
  EXPECT_EQ(toHostText("plain"), "plain");
  EXPECT_EQ(toHostText("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(toHostText("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");  // été
  EXPECT_EQ(toHostText("\x80"), "\xE2\x82\xAC");            // the euro sign
}

}  // namespace
