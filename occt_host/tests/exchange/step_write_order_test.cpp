// The solid handed to the STEP writer is the body's solid with each shell's faces reordered:
// the same faces, each as it stood, and so the same solid.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRep_Builder.hxx>
#include <GProp_GProps.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS_Compound.hxx>

#include <vector>

#include "exchange/step_write_order.h"

namespace occt_host::testing {
namespace {

double volumeOf(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

// A 100 x 100 x 10 plate with 25 bores of radius 2 and a spherical void between them,
// placed away from the origin.
TopoDS_Shape holedPlate() {
  TopTools_ListOfShape plate, bores;
  plate.Append(BRepPrimAPI_MakeBox(100, 100, 10).Shape());
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      gp_Ax2 axis(gp_Pnt(10 + 20 * i, 10 + 20 * j, -1), gp::DZ());
      bores.Append(BRepPrimAPI_MakeCylinder(axis, 2, 12).Shape());
    }
  }
  bores.Append(BRepPrimAPI_MakeSphere(gp_Pnt(40, 40, 5), 3).Shape());
  BRepAlgoAPI_Cut cut;
  cut.SetArguments(plate);
  cut.SetTools(bores);
  cut.Build();
  gp_Trsf away;
  away.SetTranslation(gp_Vec(5, -7, 3));
  return cut.Shape().Moved(TopLoc_Location(away));
}

struct Listed {
  std::vector<TopoDS_Shape> faces;
  std::vector<int> edges;
};

Listed facesOf(const TopoDS_Shape& shape) {
  Listed listed;
  for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) {
    listed.faces.push_back(face.Current());
    int edges = 0;
    for (TopExp_Explorer edge(face.Current(), TopAbs_EDGE); edge.More(); edge.Next()) ++edges;
    listed.edges.push_back(edges);
  }
  return listed;
}

TEST(StepWriteOrderTest, TheSameFacesFewestEdgesFirstMakeTheSameSolid) {
  const TopoDS_Shape plate = holedPlate();
  const TopoDS_Shape ordered = inStepWriteOrder(plate);
  const Listed before = facesOf(plate), after = facesOf(ordered);
  ASSERT_EQ(after.faces.size(), before.faces.size());
  // Each face is there once, with the same orientation and placement as in the solid.
  for (const TopoDS_Shape& face : before.faces) {
    int found = 0;
    for (const TopoDS_Shape& other : after.faces) found += face.IsEqual(other) ? 1 : 0;
    EXPECT_EQ(found, 1);
  }
  // The outer shell: walls and caps (1 to 4 edges) before the top and bottom (29 edges:
  // 4 of the plate and 25 circles). The void's sphere is a shell of its own.
  const std::vector<int> outer(after.edges.begin(), after.edges.end() - 1);
  EXPECT_TRUE(std::is_sorted(outer.begin(), outer.end()));
  EXPECT_EQ(outer.back(), 29);
  EXPECT_LT(before.edges.front(), 29) << "the box's first face is no longer the plate's";
  EXPECT_TRUE(BRepCheck_Analyzer(ordered).IsValid());
  // 100000 - 25 pi 2^2 10 - 4/3 pi 3^3.
  const double expected = 100000 - 1000 * M_PI - 36 * M_PI;
  EXPECT_NEAR(volumeOf(ordered), expected, expected * 1e-9);
  EXPECT_NEAR(volumeOf(plate), expected, expected * 1e-9);
}

TEST(StepWriteOrderTest, CompoundsAreOrderedThroughAndOtherShapesPassAsTheyAre) {
  TopoDS_Compound both;
  BRep_Builder builder;
  builder.MakeCompound(both);
  builder.Add(both, holedPlate());
  builder.Add(both, BRepPrimAPI_MakeBox(gp_Pnt(200, 0, 0), 10, 10, 10).Shape());
  const TopoDS_Shape ordered = inStepWriteOrder(both);
  EXPECT_EQ(facesOf(ordered).faces.size(), facesOf(both).faces.size());
  EXPECT_NEAR(volumeOf(ordered), volumeOf(both), 1e-6);
  TopExp_Explorer face(both, TopAbs_FACE);
  EXPECT_TRUE(inStepWriteOrder(face.Current()).IsEqual(face.Current()));
  EXPECT_TRUE(inStepWriteOrder(TopoDS_Shape()).IsNull());
}

}  // namespace
}  // namespace occt_host::testing
