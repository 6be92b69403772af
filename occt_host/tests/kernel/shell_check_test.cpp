// The one-pass shell check gives the kernel's verdict: the shells of valid solids (planes,
// seams, poles, a plate with ribs and rounds) pass, and a shell with a face missing, a face
// turned over, a face given twice, two parts apart or an edge of three faces does not,
// whichever of its faces is at fault.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepCheck_ListOfStatus.hxx>
#include <BRepCheck_Shell.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shell.hxx>

#include <cmath>
#include <vector>

#include "kernel/shell_check.h"

namespace occt_host::testing {
namespace {

TopoDS_Shell firstShell(const TopoDS_Shape& shape) {
  TopExp_Explorer shells(shape, TopAbs_SHELL);
  return shells.More() ? TopoDS::Shell(shells.Current()) : TopoDS_Shell();
}

std::vector<TopoDS_Shape> facesOf(const TopoDS_Shape& shape) {
  std::vector<TopoDS_Shape> out;
  for (TopExp_Explorer f(shape, TopAbs_FACE); f.More(); f.Next()) out.push_back(f.Current());
  return out;
}

TopoDS_Shell shellOf(const std::vector<TopoDS_Shape>& faces) {
  BRep_Builder builder;
  TopoDS_Shell shell;
  builder.MakeShell(shell);
  for (const TopoDS_Shape& face : faces) builder.Add(shell, face);
  return shell;
}

// The kernel's own verdict, as the check stood before the one pass.
bool kernelSays(const TopoDS_Shell& shell) {
  BRepCheck_Shell check(shell);
  for (BRepCheck_ListOfStatus::Iterator it(check.Status()); it.More(); it.Next()) {
    if (it.Value() != BRepCheck_NoError) return false;
  }
  return check.Closed() == BRepCheck_NoError && check.Orientation() == BRepCheck_NoError;
}

// The edge of `shape` along y at (x, z).
TopoDS_Edge edgeAlongY(const TopoDS_Shape& shape, double x, double z) {
  TopTools_IndexedMapOfShape edges;
  TopExp::MapShapes(shape, TopAbs_EDGE, edges);
  for (int i = 1; i <= edges.Extent(); ++i) {
    TopoDS_Vertex a, b;
    TopExp::Vertices(TopoDS::Edge(edges(i)), a, b);
    gp_Pnt p = BRep_Tool::Pnt(a), q = BRep_Tool::Pnt(b);
    if (std::abs(p.X() - x) < 1e-9 && std::abs(q.X() - x) < 1e-9 && std::abs(p.Z() - z) < 1e-9 &&
        std::abs(q.Z() - z) < 1e-9 && std::abs(p.Y() - q.Y()) > 1)
      return TopoDS::Edge(edges(i));
  }
  return TopoDS_Edge();
}

// A 60 x 30 x 5 plate with ten 2 x 20 x 5 ribs, the top edge of every other rib rounded.
TopoDS_Shape ribbedPlate() {
  TopTools_ListOfShape arguments, tools;
  arguments.Append(BRepPrimAPI_MakeBox(60, 30, 5).Shape());
  for (int i = 0; i < 10; ++i)
    tools.Append(BRepPrimAPI_MakeBox(gp_Pnt(5.0 + 5 * i, 5, 5), 2, 20, 5).Shape());
  BRepAlgoAPI_Fuse fuse;
  fuse.SetArguments(arguments);
  fuse.SetTools(tools);
  fuse.Build();
  const TopoDS_Shape plate = fuse.Shape();
  BRepFilletAPI_MakeFillet fillet(plate);
  for (int i = 0; i < 10; i += 2) {
    const TopoDS_Edge edge = edgeAlongY(plate, 5.0 + 5 * i, 10);
    if (edge.IsNull()) return TopoDS_Shape();
    fillet.Add(0.5, edge);
  }
  fillet.Build();
  return fillet.IsDone() ? fillet.Shape() : TopoDS_Shape();
}

TEST(ShellCheckTest, ValidSolidsShellsPass) {
  const TopoDS_Shape plate = ribbedPlate();
  ASSERT_FALSE(plate.IsNull());
  for (const TopoDS_Shape& solid :
       {BRepPrimAPI_MakeBox(10, 20, 30).Shape(), BRepPrimAPI_MakeCylinder(5, 10).Shape(),
        BRepPrimAPI_MakeSphere(4).Shape(), plate}) {
    TopoDS_Shell shell = firstShell(solid);
    ASSERT_FALSE(shell.IsNull());
    EXPECT_TRUE(kernelSays(shell));
    EXPECT_TRUE(shellIsValid(shell));
  }
}

TEST(ShellCheckTest, FaultyShellsFailWhicheverFaceIsAtFault) {
  const TopoDS_Shape plate = ribbedPlate();
  ASSERT_FALSE(plate.IsNull());
  const std::vector<TopoDS_Shape> faces = facesOf(plate);
  ASSERT_GT(faces.size(), 60u);
  for (std::size_t at : {std::size_t{0}, faces.size() / 2, faces.size() - 1}) {
    std::vector<TopoDS_Shape> missing = faces, turned = faces, twice = faces;
    missing.erase(missing.begin() + static_cast<long>(at));
    turned[at].Reverse();
    twice.push_back(faces[at]);
    for (const TopoDS_Shell& shell : {shellOf(missing), shellOf(turned), shellOf(twice)}) {
      EXPECT_FALSE(kernelSays(shell)) << at;
      EXPECT_FALSE(shellIsValid(shell)) << at;
    }
  }
}

TEST(ShellCheckTest, TwoPartsApartOrAnEdgeOfThreeFacesFail) {
  std::vector<TopoDS_Shape> apart = facesOf(BRepPrimAPI_MakeBox(10, 10, 10).Shape());
  for (const TopoDS_Shape& face : facesOf(BRepPrimAPI_MakeBox(gp_Pnt(20, 0, 0), 5, 5, 5).Shape()))
    apart.push_back(face);
  EXPECT_FALSE(kernelSays(shellOf(apart)));
  EXPECT_FALSE(shellIsValid(shellOf(apart)));

  // Two boxes that share one edge only: four faces meet at it, which the kernel settles.
  TopoDS_Shape other = BRepPrimAPI_MakeBox(gp_Pnt(10, 10, 0), 10, 10, 10).Shape();
  BRepAlgoAPI_Fuse fuse(BRepPrimAPI_MakeBox(10, 10, 10).Shape(), other);
  ASSERT_TRUE(fuse.IsDone());
  const TopoDS_Shell whole = shellOf(facesOf(fuse.Shape()));
  EXPECT_EQ(shellIsValid(whole), kernelSays(whole));
}

}  // namespace
}  // namespace occt_host::testing
