// Triangulating faces for the view and for mesh export: every face of a plate with many
// holes is covered, the mesh's area is the solid's within the chord error, and faces already
// fine enough keep their triangulation, so that a solid grown by one more cut is meshed again
// only where it changed.
#include "occt_host/kernel/triangulation.h"

#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Tool.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include <cmath>
#include <vector>

namespace occt_host {
namespace {

constexpr double kRadius = 3;

// A 100 x 100 x 10 plate with through holes of radius 3 on a 20 mm grid, `rows` rows of 5.
TopoDS_Shape holedPlate(int rows) {
  TopTools_ListOfShape plate, holes;
  plate.Append(BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 100, 100, 10).Shape());
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < rows; ++j)
      holes.Append(BRepPrimAPI_MakeCylinder(
                       gp_Ax2(gp_Pnt(10 + 20 * i, 10 + 20 * j, -1), gp_Dir(0, 0, 1)), kRadius, 12)
                       .Shape());
  BRepAlgoAPI_Cut cut;
  cut.SetArguments(plate);
  cut.SetTools(holes);
  cut.Build();
  EXPECT_TRUE(cut.IsDone());
  return cut.Shape();
}

IMeshTools_Parameters chord(double deflection) {
  IMeshTools_Parameters parameters;
  parameters.Deflection = deflection;
  parameters.Angle = 0.2;
  parameters.InParallel = true;
  return parameters;
}

struct Meshed {
  int faces = 0, bare = 0, triangles = 0;
  double area = 0;
};

Meshed measure(const TopoDS_Shape& shape) {
  Meshed out;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
    ++out.faces;
    TopLoc_Location where;
    const Handle(Poly_Triangulation)& mesh =
        BRep_Tool::Triangulation(TopoDS::Face(e.Current()), where);
    if (mesh.IsNull() || mesh->NbTriangles() == 0) {
      ++out.bare;
      continue;
    }
    out.triangles += mesh->NbTriangles();
    for (int t = 1; t <= mesh->NbTriangles(); ++t) {
      int a, b, c;
      mesh->Triangle(t).Get(a, b, c);
      const gp_Vec ab(mesh->Node(a), mesh->Node(b)), ac(mesh->Node(a), mesh->Node(c));
      out.area += 0.5 * ab.Crossed(ac).Magnitude();
    }
  }
  return out;
}

std::vector<Handle(Poly_Triangulation)> triangulations(const TopoDS_Shape& shape) {
  std::vector<Handle(Poly_Triangulation)> all;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
    TopLoc_Location where;
    all.push_back(BRep_Tool::Triangulation(TopoDS::Face(e.Current()), where));
  }
  return all;
}

TEST(TriangulationTest, EveryFaceOfAPlateWithManyHolesIsCoveredAndMeasuresTheSolidsArea) {
  const TopoDS_Shape plate = holedPlate(5);
  triangulate(plate, chord(0.02));
  const Meshed meshed = measure(plate);
  // Top, bottom, four sides and one wall per hole.
  EXPECT_EQ(meshed.faces, 6 + 25);
  EXPECT_EQ(meshed.bare, 0);
  // 2 x (100 x 100 - 25 pi 3^2) + 4 x 100 x 10 + 25 x 2 pi 3 x 10 = 24000 + 1050 pi. The
  // holes' polygons lie inside their circles: a chord of 0.02 mm on radius 3 loses less than
  // a thousandth of the walls and gives it back, a little less, to the caps.
  const double exact = 24000 + 1050 * M_PI;
  EXPECT_NEAR(meshed.area, exact, exact * 1e-3);
  EXPECT_LT(meshed.area, exact + 2 * 25 * M_PI * kRadius * kRadius * 2e-2);
}

TEST(TriangulationTest, FacesFineEnoughKeepTheirTriangulationAndCoarserOnesAreRedone) {
  const TopoDS_Shape plate = holedPlate(2);
  triangulate(plate, chord(0.5));
  const std::vector<Handle(Poly_Triangulation)> coarse = triangulations(plate);
  const int coarseTriangles = measure(plate).triangles;
  // Asked again as coarse or coarser: nothing is meshed again.
  triangulate(plate, chord(1.0));
  EXPECT_EQ(triangulations(plate), coarse);
  // Asked finer: every face gets a finer triangulation, the walls many more triangles.
  triangulate(plate, chord(0.001));
  const std::vector<Handle(Poly_Triangulation)> fine = triangulations(plate);
  ASSERT_EQ(fine.size(), coarse.size());
  for (size_t i = 0; i < fine.size(); ++i) EXPECT_NE(fine[i], coarse[i]) << "face " << i;
  EXPECT_GT(measure(plate).triangles, 2 * coarseTriangles);
  EXPECT_EQ(measure(plate).bare, 0);
}

}  // namespace
}  // namespace occt_host
