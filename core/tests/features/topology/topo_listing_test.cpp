// The faces and edges a feature owns, listed as descriptors: counted on a plate with a bore
// worked out by hand, each found again by the lookup as exactly one reference.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "features/topology/find_topos.h"
#include "features/topology/topo_listing.h"
#include "topology_fixture.h"

namespace {

class TopoListingTest : public TopologyTest {
 protected:
  int count(const std::vector<std::string>& listed, const std::string& what) {
    int n = 0;
    for (const std::string& d : listed) n += d.find(what) != std::string::npos;
    return n;
  }
};

TEST_F(TopoListingTest, APlateWithABoreListsItsPlanesLinesAndCirclesButNoSeam) {
  auto& plate = registerFeature("plate", prism(rectangle(0, 0, 100, 100), 10, false));
  auto& bore = registerFeature("bore", prism(circle(30, 30, 5), 10, true));
  // The plate: 6 planes, 12 straight edges, and the bore's two rims on its top and bottom.
  const auto plateList = kestrun::listTopoDescriptors("plate", plate.feature());
  EXPECT_EQ(plateList.size(), 20u);
  EXPECT_EQ(count(plateList, R"("type":"plane")"), 6);
  EXPECT_EQ(count(plateList, R"("type":"line")"), 12);
  EXPECT_EQ(count(plateList, R"("type":"circle")"), 2);
  // The bore's wall is no plane and its seam is no edge to round: its two rims only.
  const auto boreList = kestrun::listTopoDescriptors("bore", bore.feature());
  ASSERT_EQ(boreList.size(), 2u);
  EXPECT_EQ(count(boreList, R"("radius":5.0)"), 2);
  for (const auto& listed : {plateList, boreList}) {
    for (const std::string& d : listed) {
      rapidjson::Document descriptors = json("[" + d + "]");
      ::testing::internal::CaptureStdout();
      const auto found = kestrun::findTopos(user(), descriptors, true);
      const std::string log = ::testing::internal::GetCapturedStdout();
      EXPECT_EQ(found.size(), 1u) << d << "\n" << log;
      EXPECT_EQ(log.find("again"), std::string::npos) << d;
    }
  }
}

TEST_F(TopoListingTest, AFaceWhoseMiddleIsANotchIsNamedByAPointOnIt) {
  // An L-shaped plate: the middle of its top's parameter box, (50, 50), is in the notch.
  auto sketch =
      state.container->query<host::SketchFactory>()->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto edit = host::query<host::Sketch>(sketch);
  auto lines = host::query<host::Factory2D>(sketch);
  edit->openEdition();
  lines->createLine({0, 0}, {100, 0});
  lines->createLine({100, 0}, {100, 20});
  lines->createLine({100, 20}, {20, 20});
  lines->createLine({20, 20}, {20, 100});
  lines->createLine({20, 100}, {0, 100});
  lines->createLine({0, 100}, {0, 0});
  edit->closeEdition();
  auto& plate = registerFeature("l", prism(sketch, 10, false));
  const auto listed = kestrun::listTopoDescriptors("l", plate.feature());
  EXPECT_EQ(count(listed, R"("type":"plane")"), 8);
  int horizontal = 0;
  for (const std::string& d : listed) {
    rapidjson::Document face = json(d);
    if (!face.HasMember("loc") || std::abs(face["vDir"][2].GetDouble()) != 1.0) continue;
    // The top's and the bottom's points lie on the L: x < 20 or y < 20.
    const double x = face["loc"][0].GetDouble(), y = face["loc"][1].GetDouble();
    EXPECT_TRUE(x < 20 || y < 20) << d;
    ++horizontal;
  }
  EXPECT_EQ(horizontal, 2);
}

}  // namespace
