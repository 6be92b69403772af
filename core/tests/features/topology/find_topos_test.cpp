// Topology descriptors resolved on real solids: plane, line, circle and arc tests, the
// strict-then-relaxed retry, the feature fallback and malformed descriptors.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "features/topology/find_topos.h"
#include "topology_fixture.h"

namespace {

using kestrun::findTopos;
using kestrun::findToposWithFeatureFallback;

class FindToposTest : public TopologyTest {
 protected:
  // The 100 x 100 x 10 plate as item "plate".
  void plate() { registerFeature("plate", prism(rectangle(0, 0, 100, 100), 10, false)); }

  host::SpecObjectList find(const std::string& descriptors, bool strict = true) {
    rapidjson::Document doc = json(descriptors);
    ::testing::internal::CaptureStdout();
    host::SpecObjectList found = findTopos(user(), doc, strict);
    log = ::testing::internal::GetCapturedStdout();
    return found;
  }

  bool logged(const std::string& text) const { return log.find(text) != std::string::npos; }

  std::string log;
};

// The top face of the plate, described by a point well inside it.
const char* kTopFace =
    R"({"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[50,50,10]})";

TEST_F(FindToposTest, PlaneLineAndCircleDescriptorsMatchFacesAndEdges) {
  plate();
  registerFeature("bore", prism(circle(30, 30, 5), 10, true));
  auto found = find(std::string("[") + kTopFace + R"(,
    {"parent":"plate","topoType":"edge","type":"line","start":[100,100,10],"end":[0,100,10]},
    {"featureId":"bore","topoType":"edge","type":"circle","axisDir":{"x":0,"y":0,"z":-2},
     "center":{"x":30,"y":30,"z":0},"radius":5}])");
  ASSERT_EQ(found.size(), 3u) << log;
  // In match order: the plate's face and edge (the line was given end first, and either
  // order matches) in the order its boundary is walked, then the bore's circle.
  int faces = 0, edges = 0;
  for (const auto& reference : found) {
    faces += host::query<host::FaceReference>(reference) ? 1 : 0;
    edges += host::query<host::EdgeReference>(reference) ? 1 : 0;
  }
  EXPECT_EQ(faces, 1);
  EXPECT_EQ(edges, 2);
  auto bore = host::query<host::EdgeReference>(found[2]);
  ASSERT_TRUE(bore);
  EXPECT_TRUE(host::sameObject(bore->feature(), registry["bore"]->feature()));
  EXPECT_TRUE(logged("debug: findTopos ids size = 2, entities size = 2"));
  EXPECT_TRUE(logged("] append face\n"));
  EXPECT_FALSE(logged("findTopos (isStrictPoint = false) again"));
}

TEST_F(FindToposTest, PointOnThePlaneOutsideTheFaceMatchesOnlyOnTheRelaxedRetry) {
  plate();
  auto found = find(
      R"([{"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[500,50,10]}])");
  ASSERT_EQ(found.size(), 1u) << log;
  EXPECT_TRUE(
      logged("warn: findTopos from feature plate expected face count = 1, selected face "
             "count = 0"));
  EXPECT_TRUE(
      logged("warn: --------------findTopos (isStrictPoint = true), count1 = 2, findTopos "
             "(isStrictPoint = false) again"));
  // A point off the plane matches neither way.
  EXPECT_TRUE(find(R"([{"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],
                        "loc":[50,50,10.01]}])")
                  .empty());
}

TEST_F(FindToposTest, ArcWithoutEndPointsNeverMatchesAndCircleDoes) {
  plate();
  registerFeature("bore", prism(circle(30, 30, 5), 10, true));
  const std::string circleKeys =
      R"("featureId":"bore","topoType":"edge","vDir":[0,0,1],"center":[30,30,10],"radius":5)";
  EXPECT_EQ(find("[{" + circleKeys + R"(,"type":"circle"}])").size(), 1u) << log;
  EXPECT_TRUE(find("[{" + circleKeys + R"(,"type":"arc"}])").empty());
  EXPECT_TRUE(logged("expected edge count = 1, selected edge count = 0"));
}

TEST_F(FindToposTest, UnsupportedKindIsNotCountedAndSketchesYieldNothing) {
  plate();
  auto sketch = rectangle(0, 0, 5, 5, 20);
  registerFeature("s1", sketch, "sketch");
  auto found = find(std::string("[") + kTopFace + R"(,
    {"featureId":"plate","topoType":"face","type":"cylinder","loc":[0,0,0]},
    {"featureId":"s1","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[1,1,20]}])");
  ASSERT_EQ(found.size(), 1u) << log;
  EXPECT_TRUE(logged("warn: unsupported geoType cylinder"));
  // The cylinder did not raise the plate's expected count: no mismatch for the plate.
  EXPECT_FALSE(logged("from feature plate expected"));
  EXPECT_TRUE(logged("error: QueryInterface CATIMfGeometryAccess failed, featureId = s1"));
}

TEST_F(FindToposTest, EllipsesEllipseArcsAndSplines) {
  // A 10 mm pad of the ellipse centred (50, 50) with radii 20 along x and 10 along y.
  auto ellipse =
      state.container->query<host::SketchFactory>()->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  host::query<host::Sketch>(ellipse)->openEdition();
  host::query<host::Factory2D>(ellipse)->createEllipse({50, 50}, {1, 0}, 20, 10);
  host::query<host::Sketch>(ellipse)->closeEdition();
  registerFeature("oval", prism(ellipse, 10, false));
  // Half an ellipse (t from 0 to pi, from (170, 50) over the top to (130, 50)) closed by a
  // spline back through (150, 45), padded 10 mm.
  auto half =
      state.container->query<host::SketchFactory>()->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto factory = host::query<host::Factory2D>(half);
  host::query<host::Sketch>(half)->openEdition();
  factory->createEllipseArc({150, 50}, {1, 0}, 20, 10, 0, M_PI);
  factory->createSpline({factory->createPoint({130, 50}), factory->createPoint({150, 45}),
                         factory->createPoint({170, 50})},
                        0);
  host::query<host::Sketch>(half)->closeEdition();
  registerFeature("half", prism(half, 10, false));
  auto found = find(R"([
    {"featureId":"oval","topoType":"edge","type":"ellipse","center":[50,50,10],"vDir":[0,0,1],
     "rx":20,"ry":10,"midPt":[70,50,10]},
    {"featureId":"half","topoType":"edge","type":"ellipseArc","center":[150,50,10],
     "axisDir":[0,0,1],"majorRadius":20,"minorRadius":10,"edgeCenter":[150,60,10],
     "start":[170,50,10],"end":[130,50,10]},
    {"featureId":"half","topoType":"edge","type":"bSplineCurve","start":[130,50,0],
     "end":[170,50,0]},
    {"featureId":"half","topoType":"edge","type":"bspline","midPt":[150,45,10]}])");
  EXPECT_EQ(found.size(), 4u) << log;
  // The wrong radii or a middle point off the arc's middle match nothing.
  EXPECT_TRUE(find(R"([{"featureId":"oval","topoType":"edge","type":"ellipse",
    "center":[50,50,10],"vDir":[0,0,1],"rx":20,"ry":11,"midPt":[70,50,10]}])",
                   false)
                  .empty());
  EXPECT_TRUE(find(R"([{"featureId":"half","topoType":"edge","type":"ellipseArc",
    "center":[150,50,10],"vDir":[0,0,1],"rx":20,"ry":10,"edgeCenter":[170,50,10],
    "start":[170,50,10],"end":[130,50,10]}])",
                   false)
                  .empty());
}

TEST_F(FindToposTest, FacesPartlyCutAwayByALaterPocketStillMatch) {
  plate();
  // A 10 mm slot across the top (x 45 to 55, z 6 to 10) splits the plate's top in two.
  registerFeature("slot", prism(rectangle(45, -10, 55, 110, 6), 10, true));
  auto found = find(R"([
    {"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[20,50,10]},
    {"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[80,50,10]},
    {"featureId":"slot","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[50,50,6]},
    {"featureId":"plate","topoType":"edge","type":"line","start":[0,0,10],"end":[45,0,10]}])");
  EXPECT_EQ(found.size(), 4u) << log;
  // The cut-away middle of the old top belongs to nobody any more.
  EXPECT_TRUE(find(R"([{"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],
                        "loc":[50,50,10]}])",
                   false)
                  .size() == 1u);
}

TEST_F(FindToposTest, FallbackFindsDescriptorsThatNameTheWrongFeature) {
  plate();
  registerFeature("bore", prism(circle(30, 30, 5), 10, true));
  rapidjson::Document doc = json(R"([
    {"featureId":"bore","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[50,50,10]},
    {"featureId":"plate","topoType":"edge","type":"line","start":[0,0,0],"end":[0,0,99]}])");
  ::testing::internal::CaptureStdout();
  auto found = findToposWithFeatureFallback(user(), doc);
  log = ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(found.size(), 1u) << log;
  EXPECT_TRUE(
      logged("info: topology fallback matched featureId = plate, originalFeatureId = "
             "bore, index = 0"));
  EXPECT_TRUE(
      logged("warn: topology fallback could not match index = 1, originalFeatureId = "
             "plate"));
}

TEST_F(FindToposTest, MalformedDescriptorsAreLoggedAndLeaveShorterLists) {
  plate();
  EXPECT_TRUE(find("{}").empty());
  EXPECT_TRUE(logged("error: findTopos invalid or missing json reference"));
  EXPECT_TRUE(find("[]").empty());
  std::string huge = "[";
  for (int i = 0; i < 5000; ++i) huge += "1,";
  huge += "1]";
  auto found = find(std::string("[") + kTopFace + R"(,
    {"featureId":"plate","topoType":"face","type":"plane","vDir":["0","0","1"],"loc":[50,50,10]},
    {"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,0],"loc":[50,50,10]},
    {"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1]},
    {"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,1],"loc":)" +
                    huge + R"(},
    {"featureId":"plate","topoType":"edge","type":"line","start":[0,0],"end":"here"},
    {"featureId":"plate","topoType":"edge","type":"circle","center":[50,50],"radius":"5"},
    {"topoType":"face","type":"plane","vDir":[0,0,1],"loc":[50,50,10]},
    {"featureId":7,"topoType":"face","type":"plane"}, 12, null, "plate", [1,2]])");
  EXPECT_EQ(found.size(), 1u) << log;
  EXPECT_TRUE(logged("expected face count = 5, selected face count = 1"));
  // A two-number point lies at z = 0: the bottom face.
  auto bottom = find(
      R"([{"featureId":"plate","topoType":"face","type":"plane","vDir":[0,0,-1],"loc":[5,5]}])");
  EXPECT_EQ(bottom.size(), 1u) << log;
}

}  // namespace
