// The raw kernel's way to the benchmark plate, as a whole process to set beside
// `kestrun draw`: the plate and its bores made directly, cut once with every bore as a
// tool, and written to STEP. Usage: raw_plate_cut COUNT OUT.step [BOTTOM TOP]
// BOTTOM and TOP (default 0 and 10, the plate's own faces) are the heights the bores run
// between, so that they are the cutters the draw makes: a remove extrude's reach 1 mm past
// both faces, a simple hole's cutter from the bottom face to as far above the top.
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <STEPControl_Writer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <gp_Ax2.hxx>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "plate_json.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::cerr << "usage: raw_plate_cut COUNT OUT.step [BOTTOM TOP]\n";
    return 64;
  }
  const int count = std::atoi(argv[1]);
  const double bottom = argc == 5 ? std::atof(argv[3]) : 0,
               top = argc == 5 ? std::atof(argv[4]) : 10;
  const int side = bench::gridSideFor(count);
  const double w = std::max(200.0, 50 + 7.5 * (side - 1));
  const double h = std::max(150.0, 40 + 5.5 * (side - 1));
  std::vector<bench::Spot> spots = bench::boreGrid(side);
  spots.resize(static_cast<std::size_t>(std::max(count, 0)));
  TopTools_ListOfShape object, tools;
  object.Append(BRepPrimAPI_MakeBox(w, h, 10).Shape());
  for (bench::Spot at : spots)
    tools.Append(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(at.x, at.y, bottom), gp::DZ()),
                                          bench::kBoreRadius, top - bottom)
                     .Shape());
  BRepAlgoAPI_Cut cut;
  cut.SetArguments(object);
  cut.SetTools(tools);
  cut.Build();
  if (!cut.IsDone()) return 2;
  STEPControl_Writer writer;
  if (writer.Transfer(cut.Shape(), STEPControl_AsIs) != IFSelect_RetDone) return 2;
  return writer.Write(argv[2]) == IFSelect_RetDone ? 0 : 2;
}
