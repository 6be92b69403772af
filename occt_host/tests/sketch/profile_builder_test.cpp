#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopAbs_ShapeEnum.hxx>
#include <TopExp_Explorer.hxx>
#include <gp_Circ.hxx>

#include <stdexcept>

#include "sketch/profile_builder.h"

namespace occt_host {
namespace {

constexpr double kPi = 3.14159265358979323846;

TopoDS_Edge line(double x0, double y0, double x1, double y1) {
  return BRepBuilderAPI_MakeEdge(gp_Pnt(x0, y0, 0), gp_Pnt(x1, y1, 0));
}

double area(const TopoDS_Shape& faces) {
  GProp_GProps props;
  BRepGProp::SurfaceProperties(faces, props);
  return props.Mass();
}

int faceCount(const TopoDS_Shape& shape) {
  int n = 0;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) ++n;
  return n;
}

// Edges from separate elements meet end to end in any order and direction.
TEST(ProfileBuilderTest, LinesInAnyOrderCloseIntoAContourWithAHole) {
  ProfileBuilder builder(gp_Pln(gp::XOY()));
  builder.addEdge(line(100, 0, 100, 100));
  builder.addEdge(line(0, 100, 0, 0));
  builder.addEdge(line(0, 0, 100, 0));
  builder.addEdge(line(0, 100, 100, 100));  // runs against the others
  builder.addEdge(BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(50, 50, 0), gp::DZ()), 10)));
  TopoDS_Compound faces = builder.build();
  EXPECT_EQ(faceCount(faces), 1);
  // 100 * 100 - pi * 10^2
  double expected = 10000.0 - kPi * 100.0;
  EXPECT_NEAR(area(faces), expected, expected * 1e-9);
}

TEST(ProfileBuilderTest, OpenChainsAreIgnored) {
  ProfileBuilder builder(gp_Pln(gp::XOY()));
  builder.addEdge(line(0, 0, 10, 0));
  builder.addEdge(line(10, 0, 10, 10));
  builder.addEdge(BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(50, 50, 0), gp::DZ()), 5)));
  TopoDS_Compound faces = builder.build();
  // Only the circle: pi * 5^2
  EXPECT_NEAR(area(faces), kPi * 25.0, 1e-9 * kPi * 25.0);
}

TEST(ProfileBuilderTest, NoClosedContourThrows) {
  ProfileBuilder builder(gp_Pln(gp::XOY()));
  EXPECT_THROW(builder.build(), std::runtime_error);
  builder.addEdge(line(0, 0, 10, 0));
  EXPECT_THROW(builder.build(), std::runtime_error);
}

TEST(ProfileBuilderTest, ContourOffThePlaneIsRefused) {
  ProfileBuilder builder(gp_Pln(gp::XOY()));
  builder.addEdge(BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(0, 0, 5), gp::DZ()), 5)));
  EXPECT_THROW(builder.build(), std::runtime_error);
}

}  // namespace
}  // namespace occt_host
