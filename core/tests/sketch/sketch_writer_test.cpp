// SketchWriter end to end on an Open CASCADE Part: placement, every geometry kind
// measured on the host's curves, the log lines, and malformed input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "entry/import_result.h"
#include "host/document.h"
#include "host/part.h"
#include "host/sketch.h"
#include "host/wireframe.h"
#include "occt_host/session/session.h"
#include "occt_host/sketch/sketch_inspect.h"
#include "partjson/part_import_pipeline.h"
#include "sketch/sketch_writer.h"

namespace {

using kestrun::ImportResult;
using kestrun::PartImportPipeline;
using kestrun::SketchWriter;
using kestrun::Writer;
using occt_host::SketchElementInfo;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kIdentity = "[1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1]";

#define EXPECT_XY(p, ex, ey)        \
  do {                              \
    EXPECT_NEAR((p).x, (ex), 1e-9); \
    EXPECT_NEAR((p).y, (ey), 1e-9); \
  } while (0)

class SketchWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document = session.newDocument("Part");
    auto roots = host::query<host::DocumentRoots>(document);
    auto container =
        host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
    part = host::query<host::Part>(container->part());
  }

  // Imports one sketch item with the real writer; captures both log streams.
  SketchWriter* draw(const std::string& item) {
    json.Parse(("[" + item + "]").c_str());
    EXPECT_FALSE(json.HasParseError()) << item;
    outcome = std::make_unique<ImportResult>(&result);
    outcome->clear();
    pipeline =
        std::make_unique<PartImportPipeline>([](bool sketch, auto*) -> std::unique_ptr<Writer> {
          if (!sketch) return nullptr;
          return std::make_unique<SketchWriter>();
        });
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    if (pipeline->attach(document.get(), *outcome) == 0) pipeline->import(json, *outcome);
    out = ::testing::internal::GetCapturedStdout();
    err = ::testing::internal::GetCapturedStderr();
    auto it = pipeline->writers().find("s1");
    return it == pipeline->writers().end() ? nullptr
                                           : dynamic_cast<SketchWriter*>(it->second.get());
  }

  // A sketch item "s1" on the XY plane holding `geometries`.
  SketchWriter* drawGeometries(const std::string& geometries) {
    return draw(std::string(R"({"type": "sketch", "id": "s1", "name": "S", "matrix": )") +
                kIdentity + R"(, "geometries": [)" + geometries + "]}");
  }

  static std::vector<SketchElementInfo> elements(SketchWriter* writer) {
    return writer ? occt_host::inspectSketch(writer->sketch()) : std::vector<SketchElementInfo>{};
  }

  occt_host::Session session;
  std::shared_ptr<host::Document> document;
  std::shared_ptr<host::Part> part;
  rapidjson::Document json;
  MardelImportResult result{};
  std::unique_ptr<ImportResult> outcome;
  std::unique_ptr<PartImportPipeline> pipeline;
  std::string out, err;
};

// Whether the host answers createSketchOnPlane; the reference-plane route needs it.
bool hostPutsSketchesOnPlanes() {
  occt_host::Session probe;
  auto document = probe.newDocument("Part");
  auto container =
      host::query<host::DocumentRoots>(document)->rootContainer(host::kPartContainerType);
  auto part = host::query<host::Part>(host::query<host::PartContainer>(container)->part());
  auto factory = host::query<host::SketchFactory>(container);
  return factory && factory->createSketchOnPlane(part->referencePlanes()[0]) != nullptr;
}

TEST_F(SketchWriterTest, AbsoluteAxisPlacesTheSketchAtItsHeight) {
  SketchWriter* w = draw(R"({"type": "sketch", "id": "s1", "name": "Base",
      "matrix": [1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,50,1],
      "geometries": [{"type": "vertex", "id": "v1", "x": 3, "y": 4},
                     {"type": "circle", "cx": 1, "cy": 2, "radius": 6}]})");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_EQ(w->status(), host::kOk);
  EXPECT_FALSE(w->supportPlane());
  EXPECT_FALSE(occt_host::sketchSupport(w->sketch()));
  host::Plane plane = host::query<host::Sketch>(w->sketch())->plane();
  EXPECT_NEAR(plane.origin.z, 50, 1e-12);
  EXPECT_EQ(host::query<host::Alias>(w->sketch())->alias(), "Base");
  EXPECT_THAT(out, HasSubstr("debug: parseJson sketch begin, name = Base, id = s1\n"));
  EXPECT_THAT(out, HasSubstr("debug: parseJson sketch matrix parsed, name = Base, id = s1, "
                             "needPlaneForSketch = 0\n"));
  EXPECT_THAT(out, HasSubstr("debug: CreateSketch by absolute axis begin, origin = (0, 0, 50), "
                             "h = (1, 0, 0), v = (0, 1, 0)\n"));
  EXPECT_THAT(out, HasSubstr("debug: CreateSketch by absolute axis end, isNull = 0\n"));
  EXPECT_THAT(out, HasSubstr("debug: AddGeometries begin, name = Base, id = s1, "
                             "hasGeometries = 1\n"));
  EXPECT_THAT(out, HasSubstr("debug: AddGeometries end, name = Base, id = s1, rcUpdate = 0\n"));
  EXPECT_THAT(out, HasSubstr("debug: parseJson sketch end, name = Base, id = s1\n"));
  EXPECT_THAT(out, Not(HasSubstr("_plane")));
  host::Point3 p;
  ASSERT_TRUE(w->vertexPoint3D("v1", p));
  EXPECT_NEAR(p.x, 3, 1e-12);  // (0,0,50) + 3 (1,0,0) + 4 (0,1,0)
  EXPECT_NEAR(p.y, 4, 1e-12);
  EXPECT_NEAR(p.z, 50, 1e-12);
  EXPECT_FALSE(w->vertexPoint3D("nope", p));
  double radius = 0;
  ASSERT_TRUE(w->firstCircle3D(p, radius));
  EXPECT_EQ(radius, 6);
  EXPECT_NEAR(p.x, 1, 1e-12);
  EXPECT_NEAR(p.z, 50, 1e-12);
}

TEST_F(SketchWriterTest, ArcWithoutSweepRunsCounterClockwise) {
  SketchWriter* w = drawGeometries(R"({"type": "arc", "center": {"x": 0, "y": 0},
      "start": {"x": 10, "y": 0}, "end": {"x": 0, "y": 10}, "radius": 10, "sweep": false})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].kind, "Point2D");
  EXPECT_XY(e[0].point, 0, 0);
  EXPECT_EQ(e[1].kind, "Arc2D");
  // From 0 to pi/2: length 10 * pi/2.
  EXPECT_XY(e[1].start, 10, 0);
  EXPECT_XY(e[1].end, 0, 10);
  EXPECT_NEAR(e[1].length, 5 * kPi, 1e-9);
}

TEST_F(SketchWriterTest, ArcWithSweepTakesTheLongWayRound) {
  SketchWriter* w = drawGeometries(R"({"type": "arc", "center": {"x": 0, "y": 0},
      "start": {"x": 10, "y": 0}, "end": {"x": 0, "y": 10}, "radius": 10, "sweep": true})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  // From pi/2 to 2 pi: length 10 * 3pi/2, through 5pi/4 in the third quadrant.
  EXPECT_XY(e[1].start, 0, 10);
  EXPECT_XY(e[1].end, 10, 0);
  EXPECT_NEAR(e[1].length, 15 * kPi, 1e-9);
  EXPECT_XY(e[1].middle, -10 / std::sqrt(2.0), -10 / std::sqrt(2.0));
}

TEST_F(SketchWriterTest, ArcWithCoincidentEndsIsAFullTurn) {
  SketchWriter* w = drawGeometries(R"({"type": "arc", "center": {"x": 0, "y": 0},
      "start": {"x": 0, "y": 10}, "end": {"x": 0, "y": 10}, "radius": 10, "sweep": false})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_TRUE(e[1].closed);
  EXPECT_NEAR(e[1].length, 20 * kPi, 1e-9);  // from pi/2 to 5pi/2
  EXPECT_XY(e[1].start, 0, 10);
}

TEST_F(SketchWriterTest, ArcRadiusComesFromRadiusNotFromThePoints) {
  SketchWriter* w = drawGeometries(R"({"type": "arc", "center": {"x": 0, "y": 0},
      "start": {"x": 1, "y": 0}, "end": {"x": 0, "y": 1}, "radius": 4, "sweep": false})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_XY(e[1].start, 4, 0);
  EXPECT_NEAR(e[1].majorRadius, 4, 1e-12);
}

TEST_F(SketchWriterTest, EllipseWithLargerRyTurnsItsMajorAxis) {
  SketchWriter* w = drawGeometries(
      R"({"type": "ellipse", "center": {"x": 2, "y": 3}, "rx": 5, "ry": 10, "angle": 0})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_XY(e[0].point, 2, 3);
  EXPECT_EQ(e[1].kind, "Ellipse2D");
  EXPECT_TRUE(e[1].closed);
  EXPECT_XY(e[1].majorDirection, 0, 1);  // angle 0 + pi/2
  EXPECT_NEAR(e[1].majorRadius, 10, 1e-12);
  EXPECT_NEAR(e[1].minorRadius, 5, 1e-12);
  EXPECT_XY(e[1].center, 2, 3);
}

TEST_F(SketchWriterTest, EllipseWithLargerRxKeepsItsAngle) {
  SketchWriter* w =
      drawGeometries(R"({"type": "ellipse", "cx": 0, "cy": 0, "rx": 8, "ry": 2, "angle": 0.5})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_XY(e[1].majorDirection, std::cos(0.5), std::sin(0.5));
  EXPECT_NEAR(e[1].majorRadius, 8, 1e-12);
  EXPECT_NEAR(e[1].minorRadius, 2, 1e-12);
}

TEST_F(SketchWriterTest, EllipseArcEndsOnItsGivenPoints) {
  // rx 5 along x, ry 10 along y. Start (5 cos 45°, 10 sin 45°) = (3.5355, 7.0711), end
  // (-5, 0); counter-clockwise from start to end through (0, 10), no centre point.
  SketchWriter* w = drawGeometries(R"({"type": "ellipseArc", "center": {"x": 0, "y": 0},
      "start": {"x": 3.5355339059327378, "y": 7.0710678118654755}, "end": {"x": -5, "y": 0},
      "sweep": false, "rx": 5, "ry": 10, "angle": 0})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].kind, "EllipseArc2D");
  EXPECT_XY(e[0].start, 3.5355339059327378, 7.0710678118654755);
  EXPECT_XY(e[0].end, -5, 0);
  EXPECT_NEAR(e[0].majorRadius, 10, 1e-12);
}

TEST_F(SketchWriterTest, SplineStartEqualToTheFirstPointIsNotSet) {
  SketchWriter* w = drawGeometries(R"({"type": "spline",
      "fitPoints": [{"x": 0, "y": 0}, {"x": 10, "y": 5}, {"x": 20, "y": 0}],
      "start": {"x": 0, "y": 0}})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 4u);  // three points and the spline
  EXPECT_EQ(e[3].kind, "Spline2D");
  EXPECT_XY(e[3].start, 0, 0);
  EXPECT_XY(e[3].end, 20, 0);
  EXPECT_THAT(out, HasSubstr("debug: splineType = , use fitPoints, size = 3\n"));
  EXPECT_THAT(out, HasSubstr("debug: GetClosure = 0\n"));
  EXPECT_THAT(out, Not(HasSubstr("SetStartPoint")));
}

TEST_F(SketchWriterTest, SplineStartElsewhereIsSet) {
  SketchWriter* w = drawGeometries(R"({"type": "spline", "splineType": "fit",
      "fitPoints": [{"x": 0, "y": 0}, {"x": 10, "y": 5}, {"x": 20, "y": 0}],
      "start": {"x": 1, "y": 0}})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 4u);
  EXPECT_NEAR(e[3].start.x, 1, 1e-6);
  EXPECT_NEAR(e[3].start.y, 0, 1e-6);
  EXPECT_THAT(out, HasSubstr("debug: splineType = fit, use fitPoints, size = 3\n"));
  EXPECT_THAT(out, HasSubstr("debug: SetStartPoint\n\n"));
}

TEST_F(SketchWriterTest, SplineFromControlPointsWarnsAndDegreeFiveIsQuintic) {
  SketchWriter* w = drawGeometries(R"({"type": "spline", "degree": 5,
      "controlPoints": [{"x": 0, "y": 0}, {"x": 10, "y": 5}, {"x": 20, "y": 0},
                        {"x": 30, "y": 5}, {"x": 40, "y": 0}, {"x": 50, "y": 5}]})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 7u);
  EXPECT_EQ(e[6].degree, 5);
  EXPECT_THAT(out, HasSubstr("warn: ------fitPoints empty, use controlPoints\n"));
  EXPECT_THAT(out, HasSubstr("debug: splineType = , use controlPoints, size = 6\n"));
}

TEST_F(SketchWriterTest, DegreeWrittenAsFiveDotZeroGivesACubic) {
  SketchWriter* w = drawGeometries(R"({"type": "spline", "degree": 5.0,
      "fitPoints": [{"x": 0, "y": 0}, {"x": 10, "y": 5}, {"x": 20, "y": 0}, {"x": 30, "y": 5}]})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e[4].degree, 3);
}

TEST_F(SketchWriterTest, ClosedSplineIgnoresStartAndEnd) {
  SketchWriter* w = drawGeometries(R"({"type": "spline",
      "fitPoints": [{"x": 0, "y": 0}, {"x": 10, "y": 5}, {"x": 20, "y": 0}, {"x": 0, "y": 0}],
      "start": {"x": 1, "y": 0}, "end": {"x": 3, "y": 3}})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 5u);
  EXPECT_XY(e[4].start, 0, 0);
  EXPECT_XY(e[4].end, 0, 0);
  EXPECT_THAT(out, Not(HasSubstr("SetStartPoint")));
  EXPECT_THAT(out, Not(HasSubstr("SetEndPoint")));
}

TEST_F(SketchWriterTest, VertexIsAPointAndAHundredthMillimetreCircle) {
  SketchWriter* w = drawGeometries(R"({"type": "vertex", "position": {"x": 7, "y": -2}})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].kind, "Point2D");
  EXPECT_XY(e[0].point, 7, -2);
  EXPECT_EQ(e[1].kind, "Circle2D");
  EXPECT_XY(e[1].center, 7, -2);
  EXPECT_NEAR(e[1].majorRadius, 0.01, 1e-15);
}

TEST_F(SketchWriterTest, LineAndCircleFromCxCy) {
  SketchWriter* w = drawGeometries(R"({"type": "line", "x1": 0, "y1": 0, "x2": 3, "y2": 4},
      {"type": "circle", "cx": 5, "cy": 6, "radius": 2})");
  auto e = elements(w);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].kind, "Line2D");
  EXPECT_NEAR(e[0].length, 5, 1e-12);
  EXPECT_XY(e[2].center, 5, 6);
  EXPECT_NEAR(e[2].majorRadius, 2, 1e-12);
}

TEST_F(SketchWriterTest, BadGeometriesAreSkippedWithTheirMessages) {
  SketchWriter* w = drawGeometries(R"(
      {"type": "circle", "radius": 2},
      {"type": "polygon"},
      {"type": "ellipse", "rx": 1, "ry": 2, "angle": 0},
      {"type": "vertex", "x": 1},
      {"type": "arc", "center": {"x": 0, "y": 0}, "start": {"x": 1, "y": 0},
       "end": {"x": 0, "y": 1}, "radius": 1, "sweep": "yes"},
      {"type": "arc", "center": {"x": 0, "y": 0}, "start": {"x": 1, "y": 0},
       "end": {"x": 0, "y": 1}, "radius": -1, "sweep": false},
      {"type": "ellipseArc", "center": {"x": 0, "y": 0}, "start": {"x": 1, "y": 0},
       "end": {"x": 0, "y": 1}, "sweep": false, "rx": 0, "ry": 2, "angle": 0},
      {"type": "line", "x1": 0, "y1": 0, "x2": 3},
      {"type": "line", "x1": 1e308, "y1": -1e308, "x2": -1e308, "y2": 1e308},
      {"type": "spline", "fitPoints": []},
      {"type": "spline", "degree": 4, "fitPoints": [{"x": 0, "y": 0}, {"x": 1, "y": 1}]},
      {"type": "spline", "fitPoints": [{"x": 0, "y": 0}, {"y": 1}]},
      {"type": "spline"},
      {"type": 7}, 12, null,
      {"type": "circle", "center": {"x": 0, "y": 0}, "radius": 1})");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_EQ(w->status(), host::kOk);  // the sketch still updates
  EXPECT_THAT(err, HasSubstr("error: circle geometry missing center or cx/cy\n"));
  EXPECT_THAT(err, HasSubstr("unsupported geometry type: polygon\n"));
  EXPECT_THAT(out, HasSubstr("error: ellipse geometry missing center or cx/cy\n"));
  EXPECT_THAT(out, HasSubstr("error: vertex geometry missing x/y or position\n"));
  EXPECT_THAT(err, HasSubstr("error: arc geometry creation failed\n"));
  EXPECT_THAT(out, HasSubstr("error: ellipseArc geometry creation failed\n"));
  EXPECT_THAT(err, HasSubstr("error: arc geometry missing center/start/end/radius/sweep\n"));
  EXPECT_THAT(err, HasSubstr("error: line geometry missing x1/y1/x2/y2\n"));
  EXPECT_THAT(err, HasSubstr("error: spline degree not supported: 4\n"));
  EXPECT_THAT(err, HasSubstr("error: geometry without string type\n"));
  // The line from (1e308, -1e308) to (-1e308, 1e308) is longer than a double can hold.
  EXPECT_THAT(err, HasSubstr("error: line geometry creation failed\n"));
  EXPECT_THAT(err, HasSubstr("error: spline geometry needs 1 to 10000 points\n"));
  EXPECT_THAT(err, HasSubstr("error: spline geometry point missing x/y\n"));
  // The writer sees each skip, in item order: all 17 elements but the last circle.
  const std::vector<std::string>& skipped = w->geometryWarnings();
  ASSERT_EQ(skipped.size(), 16u);
  EXPECT_EQ(skipped.front(), "error: circle geometry missing center or cx/cy");
  EXPECT_EQ(skipped[1], "unsupported geometry type: polygon");
  EXPECT_EQ(skipped[2], "error: ellipse geometry missing center or cx/cy");
  EXPECT_EQ(skipped.back(), "error: geometry without string type");
  // What was drawn: the centre points of the failed arc and of both circles, then the
  // last circle; nothing else.
  auto e = elements(w);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].kind, "Point2D");
  EXPECT_EQ(e[2].kind, "Circle2D");
}

TEST_F(SketchWriterTest, HugeGeometryListsAreNotDrawn) {
  std::string many;
  for (int i = 0; i <= 100000; ++i) many += i ? ",{}" : "{}";
  SketchWriter* w = drawGeometries(many);
  ASSERT_TRUE(w && w->sketch());
  EXPECT_TRUE(elements(w).empty());
  EXPECT_THAT(err, HasSubstr("error: sketch has more than 100000 geometries, none drawn"));
  ASSERT_EQ(w->geometryWarnings().size(), 1u);
  EXPECT_THAT(w->geometryWarnings()[0], HasSubstr("none drawn, name = S, id = s1"));
}

TEST_F(SketchWriterTest, MissingOrShortMatrixUsesTheXyPlane) {
  SketchWriter* w = draw(R"({"type": "sketch", "id": "s1",
      "matrix": [1,0,0,0, 0,1,0,0, 0,0,1,0], "geometries": "none"})");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_THAT(err, HasSubstr("parseMatrix: invalid matrix array\n"));
  EXPECT_THAT(err, HasSubstr("error: sketch geometries is not an array"));
  host::Plane plane = host::query<host::Sketch>(w->sketch())->plane();
  EXPECT_NEAR(plane.u.x, 1, 1e-12);
  EXPECT_NEAR(plane.origin.z, 0, 1e-12);
  host::Point3 p;
  EXPECT_FALSE(w->vertexPoint3D("v", p));
}

TEST_F(SketchWriterTest, NameInWindows1252BecomesUtf8) {
  SketchWriter* w = draw(
      "{\"type\": \"sketch\", \"id\": \"s1\", \"name\": \"\xE9t\xE9\", "
      "\"matrix\": [1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1]}");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_EQ(host::query<host::Alias>(w->sketch())->alias(), "\xC3\xA9t\xC3\xA9");
  EXPECT_THAT(out, HasSubstr("hasGeometries = 0"));
}

TEST_F(SketchWriterTest, RotatedMatrixAwayFromTheOriginCreatesAPlane) {
  // The host under test must put sketches on planes: a host that stops is a failure here.
  ASSERT_TRUE(hostPutsSketchesOnPlanes()) << "the host no longer puts sketches on planes";
  SketchWriter* w = draw(R"({"type": "sketch", "id": "s1", "name": "Side",
      "matrix": [0,1,0,0, 0,0,1,0, 1,0,0,0, 10,0,0,1],
      "geometries": [{"type": "circle", "cx": 5, "cy": 7, "radius": 2}]})");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_EQ(w->status(), host::kOk);
  ASSERT_TRUE(w->supportPlane());
  EXPECT_EQ(host::query<host::Alias>(w->supportPlane())->alias(), "Side_plane");
  EXPECT_TRUE(host::sameObject(occt_host::sketchSupport(w->sketch()), w->supportPlane()));
  for (const auto& reference : part->referencePlanes())
    EXPECT_FALSE(host::sameObject(reference, w->supportPlane()));
  host::Plane plane = host::query<host::Sketch>(w->sketch())->plane();
  EXPECT_NEAR(plane.origin.x, 10, 1e-12);
  EXPECT_NEAR(plane.u.y, 1, 1e-12);
  EXPECT_NEAR(plane.v.z, 1, 1e-12);
  EXPECT_THAT(out, HasSubstr("needPlaneForSketch = 1\n"));
  EXPECT_THAT(out, HasSubstr("debug: spListRefPlanes.Size() = 3\n"));
  EXPECT_THAT(out, HasSubstr("debug: CreateSketch by reference plane begin, isPlaneNull = 0\n"));
  EXPECT_THAT(out, HasSubstr("debug: CreateSketch by reference plane end, isNull = 0\n"));
  EXPECT_THAT(out, Not(HasSubstr("found same plane")));
  EXPECT_THAT(out, Not(HasSubstr("absolute axis")));
  host::Point3 c;
  double r = 0;
  ASSERT_TRUE(w->firstCircle3D(c, r));
  EXPECT_NEAR(c.x, 10, 1e-12);  // (10,0,0) + 5 (0,1,0) + 7 (0,0,1)
  EXPECT_NEAR(c.y, 5, 1e-12);
  EXPECT_NEAR(c.z, 7, 1e-12);
}

TEST_F(SketchWriterTest, RotatedMatrixThroughTheOriginReusesTheYzPlane) {
  // The host under test must put sketches on planes: a host that stops is a failure here.
  ASSERT_TRUE(hostPutsSketchesOnPlanes()) << "the host no longer puts sketches on planes";
  SketchWriter* w = draw(R"({"type": "sketch", "id": "s1", "name": "Side",
      "matrix": [0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1],
      "geometries": [{"type": "circle", "cx": 5, "cy": 7, "radius": 2}]})");
  ASSERT_TRUE(w && w->sketch());
  EXPECT_TRUE(host::sameObject(w->supportPlane(), part->referencePlanes()[1]));
  EXPECT_THAT(out, HasSubstr("debug: found same plane index = 2\n"));
  EXPECT_THAT(out, Not(HasSubstr("saveRefObj")));
  host::Plane plane = host::query<host::Sketch>(w->sketch())->plane();
  EXPECT_NEAR(plane.u.y, 1, 1e-12);
  EXPECT_NEAR(plane.v.z, 1, 1e-12);
}

}  // namespace
