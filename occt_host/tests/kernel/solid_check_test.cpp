// The validity check of faces with many holes, checked in parts, gives the kernel's own
// verdict: a plate with holes far apart is valid, and holes that cross, nest or stray
// outside the plate are not, wherever they stand among the others.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepLib.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Shell.hxx>
#include <TopoDS_Solid.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>

#include <utility>
#include <vector>

#include "kernel/solid_check.h"

namespace occt_host::testing {
namespace {

TopoDS_Wire circle(double x, double y, double r) {
  TopoDS_Wire wire = BRepBuilderAPI_MakeWire(
      BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(x, y, 0), gp::DZ()), r)).Edge());
  wire.Reverse();  // a hole runs clockwise
  return wire;
}

// A 200 x 200 face with a 10 x 10 grid of holes of radius 2, 20 apart, and `extra` ones.
TopoDS_Face perforated(const std::vector<std::pair<gp_Pnt2d, double>>& extra) {
  BRepBuilderAPI_MakeFace face(gp_Pln(gp::XOY()), 0, 200, 0, 200);
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j) face.Add(circle(10 + 20 * i, 10 + 20 * j, 2));
  }
  for (const auto& [at, r] : extra) face.Add(circle(at.X(), at.Y(), r));
  TopoDS_Face made = face.Face();
  BRepLib::BuildCurves3d(made);
  return made;
}

// A solid of the faces of `shape` but its first: its shell is open.
TopoDS_Solid shortOfItsFirstFace(const TopoDS_Shape& shape) {
  BRep_Builder builder;
  TopoDS_Shell open;
  builder.MakeShell(open);
  TopExp_Explorer faces(shape, TopAbs_FACE);
  for (faces.Next(); faces.More(); faces.Next()) builder.Add(open, faces.Current());
  TopoDS_Solid solid;
  builder.MakeSolid(solid);
  builder.Add(solid, open);
  return solid;
}

TEST(SolidCheckTest, APerforatedFaceIsJudgedAsTheKernelJudgesIt) {
  const struct {
    const char* what;
    std::vector<std::pair<gp_Pnt2d, double>> extra;
    bool valid;
  } cases[] = {
      {"holes apart", {{gp_Pnt2d(100, 100), 3}}, true},
      {"a hole crossing one of the grid", {{gp_Pnt2d(113, 110), 2}}, false},
      {"a hole inside one of the grid", {{gp_Pnt2d(110, 110), 1}}, false},
      {"a hole past the outer edge", {{gp_Pnt2d(250, 100), 2}}, false},
      {"two holes crossing each other far from the rest",
       {{gp_Pnt2d(100, 100), 3}, {gp_Pnt2d(102, 100), 3}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TopoDS_Face face = perforated(c.extra);
    EXPECT_EQ(BRepCheck_Analyzer(face).IsValid(), c.valid);
    EXPECT_EQ(solidIsValid(face), c.valid);
  }
}

TEST(SolidCheckTest, APlateCutByManyBoresIsValidAndAnOpenOneIsNot) {
  TopTools_ListOfShape object, tools;
  object.Append(BRepPrimAPI_MakeBox(200, 200, 10).Shape());
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j)
      tools.Append(
          BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(10 + 20 * i, 10 + 20 * j, -1), gp::DZ()), 2, 12)
              .Shape());
  }
  BRepAlgoAPI_Cut cut;
  cut.SetArguments(object);
  cut.SetTools(tools);
  cut.Build();
  ASSERT_TRUE(cut.IsDone());
  EXPECT_TRUE(solidIsValid(cut.Shape()));
  // The same solid without its bottom face: the shell is no longer closed.
  TopExp_Explorer shells(cut.Shape(), TopAbs_SHELL);
  ASSERT_TRUE(shells.More());
  BRep_Builder builder;
  TopoDS_Shell open;
  builder.MakeShell(open);
  bool skipped = false;
  for (TopExp_Explorer faces(shells.Current(), TopAbs_FACE); faces.More(); faces.Next()) {
    TopoDS_Iterator wires(faces.Current());
    std::size_t count = 0;
    for (; wires.More(); wires.Next()) ++count;
    if (!skipped && count > 50) {
      skipped = true;
      continue;
    }
    builder.Add(open, faces.Current());
  }
  ASSERT_TRUE(skipped);
  TopoDS_Solid solid;
  builder.MakeSolid(solid);
  builder.Add(solid, open);
  EXPECT_FALSE(BRepCheck_Analyzer(solid).IsValid());
  EXPECT_FALSE(solidIsValid(solid));
}

// A result checked against the solid it was made from: what it shares is not checked again,
// what is new is, and so is its shell as a whole.
TEST(SolidCheckTest, AResultIsCheckedForWhatItDoesNotShareWithTheSolidBefore) {
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(20, 20, 20).Shape();
  BRepFilletAPI_MakeFillet fillet(box);
  TopExp_Explorer edges(box, TopAbs_EDGE);
  fillet.Add(2, TopoDS::Edge(edges.Current()));
  fillet.Build();
  ASSERT_TRUE(fillet.IsDone());
  EXPECT_TRUE(solidIsValidAfter(fillet.Shape(), box));
  // Only faces of the box, but one short: the shell is open.
  EXPECT_FALSE(solidIsValidAfter(shortOfItsFirstFace(box), box));
  // A new face whose holes cross.
  EXPECT_FALSE(solidIsValidAfter(perforated({{gp_Pnt2d(113, 110), 2}}), box));
}

// Faces known to be valid are not checked again, whatever they hold; every other face is,
// and so is each shell, however many of its faces are known.
TEST(SolidCheckTest, FacesGivenAsValidAreLeftAndTheRestIsChecked) {
  const TopoDS_Face crossing = perforated({{gp_Pnt2d(113, 110), 2}});
  TopTools_IndexedMapOfShape known;
  EXPECT_FALSE(solidIsValidGiven(crossing, known));
  known.Add(crossing);
  EXPECT_TRUE(solidIsValidGiven(crossing, known));
  // A box short of its first face, every face it still has given as valid: the shell is open.
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(20, 20, 20).Shape();
  known.Clear();
  TopExp::MapShapes(box, TopAbs_FACE, known);
  EXPECT_TRUE(solidIsValidGiven(box, known));
  EXPECT_FALSE(solidIsValidGiven(shortOfItsFirstFace(box), known));
}

}  // namespace
}  // namespace occt_host::testing
