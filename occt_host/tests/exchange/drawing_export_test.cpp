// The drawing sheet: hidden-line views of known solids, counted and measured by hand.
#include <gtest/gtest.h>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeBox.hxx>

#include <algorithm>
#include <map>
#include <regex>
#include <string>

#include "occt_host/exchange/drawing_export.h"

namespace occt_host {
namespace {

struct Counts {
  int visible = 0;
  int hidden = 0;
};

Counts countsOf(const ProjectedView& view) {
  Counts c;
  for (const auto& edge : view.edges) (edge.hidden ? c.hidden : c.visible)++;
  return c;
}

const ProjectedView& viewNamed(const std::vector<ProjectedView>& views, const std::string& name) {
  auto it = std::find_if(views.begin(), views.end(), [&](auto& v) { return v.name == name; });
  EXPECT_NE(it, views.end()) << name;
  return *it;
}

// Width and height of what the view draws, in millimetres.
std::pair<double, double> extentOf(const ProjectedView& view) {
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (const auto& edge : view.edges)
    for (auto [x, y] : edge.points) {
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
  return {maxX - minX, maxY - minY};
}

TEST(DrawingViews, AnIsometricBoxShowsNineEdgesAndHidesThree) {
  // Of a box's 12 edges, the three meeting at the corner turned away are behind it.
  const auto views = projectViews(BRepPrimAPI_MakeBox(10, 20, 30).Shape());
  const Counts iso = countsOf(viewNamed(views, "Isometric"));
  EXPECT_EQ(iso.visible, 9);
  EXPECT_EQ(iso.hidden, 3);
}

TEST(DrawingViews, EachOrthographicViewShowsItsTwoAxesAtFullSize) {
  const auto views = projectViews(BRepPrimAPI_MakeBox(10, 20, 30).Shape());
  // Front sees x by z, top x by y, right y by z.
  const std::map<std::string, std::pair<double, double>> expected = {
      {"Front", {10, 30}}, {"Top", {10, 20}}, {"Right", {20, 30}}};
  for (const auto& [name, size] : expected) {
    const auto [w, h] = extentOf(viewNamed(views, name));
    EXPECT_NEAR(w, size.first, 1e-6) << name;
    EXPECT_NEAR(h, size.second, 1e-6) << name;
    // The face turned to the viewer: its four edges, nothing in front of them.
    EXPECT_EQ(countsOf(viewNamed(views, name)).visible, 4) << name;
  }
}

TEST(DrawingViews, EachViewLooksFromTheSideItIsNamedAfter) {
  // A 2 mm cube on the top face at the corner nearest the origin: seen from above its top
  // square adds four visible edges; seen from below, the big box would hide them.
  TopoDS_Shape base = BRepPrimAPI_MakeBox(10, 20, 30).Shape();
  TopoDS_Shape cap = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 30), 2, 2, 2).Shape();
  const auto views = projectViews(BRepAlgoAPI_Fuse(base, cap).Shape());
  const ProjectedView& top = viewNamed(views, "Top");
  // Seen: the outline, whose two edges at the cap's corner are split by it (4 pieces left
  // in sight), and the cap's top square (4). Seen from below, only the bottom's 4 would be.
  EXPECT_EQ(countsOf(top).visible, 8);
  // Behind them: the bottom's 4 edges and, under the cap's top, the 2 outline pieces and
  // the 2 edges of its footprint.
  EXPECT_EQ(countsOf(top).hidden, 8);
  // Front (from -Y): the cap stands up at the left end, x from 0 to 2, z from 30 to 32.
  const auto [w, h] = extentOf(viewNamed(views, "Front"));
  EXPECT_NEAR(w, 10, 1e-6);
  EXPECT_NEAR(h, 32, 1e-6);
}

int countMatches(const std::string& text, const std::regex& pattern) {
  return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                        std::sregex_iterator()));
}

TEST(DrawingSheet, EveryEdgeOfEveryViewIsOnePathInItsLabelledGroup) {
  const auto views = projectViews(BRepPrimAPI_MakeBox(10, 20, 30).Shape());
  const std::string svg = svgSheet(views);
  for (const auto& view : views) {
    const size_t begin = svg.find("<g class=\"view\" id=\"" + view.name + "\">");
    ASSERT_NE(begin, std::string::npos) << view.name;
    const std::string group = svg.substr(begin, svg.find("</g>", begin) - begin);
    const Counts c = countsOf(view);
    EXPECT_EQ(countMatches(group, std::regex("<path class=\"visible\"")), c.visible);
    EXPECT_EQ(countMatches(group, std::regex("<path class=\"hidden\"")), c.hidden);
    EXPECT_NE(group.find(">" + view.name + "</text>"), std::string::npos);
  }
  EXPECT_NE(svg.find("stroke-dasharray"), std::string::npos);
}

TEST(DrawingSheet, OrthographicViewsShareOneScale) {
  const std::string svg = svgSheet(projectViews(BRepPrimAPI_MakeBox(10, 20, 30).Shape()));
  // The tallest view (30 mm) fills the room of a cell: 400 - 2 * 40 - 24 = 296 px, so the
  // front view's 10 mm are 296 / 30 * 10 = 98.667 px wide. Its first edge spans one side.
  const size_t front = svg.find("id=\"Front\"");
  const std::string group = svg.substr(front, svg.find("</g>", front) - front);
  std::smatch m;
  const std::regex numbers(R"(M(-?[0-9.]+) (-?[0-9.]+) L(-?[0-9.]+) (-?[0-9.]+))");
  double widest = 0;
  for (auto it = std::sregex_iterator(group.begin(), group.end(), numbers);
       it != std::sregex_iterator(); ++it)
    widest = std::max(widest, std::abs(std::stod((*it)[3]) - std::stod((*it)[1])));
  EXPECT_NEAR(widest, 296.0 / 30 * 10, 1e-2);
}

}  // namespace
}  // namespace occt_host
