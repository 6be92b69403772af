// Triangulating a plate with many through holes, as the 3D view and mesh export do: the
// kernel's default triangulator beside ours (occt_host::triangulate), for 100 to 1,600 holes.
// The plate's two caps carry every hole's boundary; the default triangulator's time on them
// grows with the square of the holes, ours stays near linear. Counters give milliseconds per
// hole, and the last line each one's growth from the fewest holes to the most.
#include <benchmark/benchmark.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepTools.hxx>
#include <TopTools_ListOfShape.hxx>
#include <gp_Ax2.hxx>

#include <chrono>
#include <cmath>
#include <map>
#include <string>

#include "occt_host/kernel/triangulation.h"

namespace {

// 40 holes of radius 2 to a row, 10 mm apart, as many rows as it takes.
TopoDS_Shape holedPlate(int holes) {
  const int rows = (holes + 39) / 40;
  TopTools_ListOfShape plate, tools;
  plate.Append(BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 400, 10.0 * rows, 10).Shape());
  for (int i = 0; i < holes; ++i)
    tools.Append(
        BRepPrimAPI_MakeCylinder(
            gp_Ax2(gp_Pnt(5 + 10 * (i % 40), 5 + 10 * (i / 40), -1), gp_Dir(0, 0, 1)), 2, 12)
            .Shape());
  BRepAlgoAPI_Cut cut;
  cut.SetArguments(plate);
  cut.SetTools(tools);
  cut.SetRunParallel(true);
  cut.Build();
  return cut.Shape();
}

const TopoDS_Shape& plateWith(int holes) {
  static std::map<int, TopoDS_Shape> made;
  TopoDS_Shape& plate = made[holes];
  if (plate.IsNull()) plate = holedPlate(holes);
  return plate;
}

// The view's chord for this plate (a thousandth of four times its largest side) and angle.
IMeshTools_Parameters viewParameters() {
  IMeshTools_Parameters parameters;
  parameters.Deflection = 1.6;
  parameters.Angle = 20 * M_PI / 180;
  parameters.InParallel = false;  // one core each, so that the two compare
  return parameters;
}

std::map<std::string, std::map<int, double>>& perHole() {
  static std::map<std::string, std::map<int, double>> table;
  return table;
}

template <bool Ours>
void Triangulate(benchmark::State& state) {
  const int holes = static_cast<int>(state.range(0));
  const TopoDS_Shape& plate = plateWith(holes);
  double seconds = 0;
  for (auto _ : state) {
    BRepTools::Clean(plate);
    const auto start = std::chrono::steady_clock::now();
    if (Ours) {
      occt_host::triangulate(plate, viewParameters());
    } else {
      BRepMesh_IncrementalMesh(plate, viewParameters());
    }
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(spent);
    seconds += spent;
  }
  const double perHoleMs = 1e3 * seconds / static_cast<double>(state.iterations()) / holes;
  state.counters["ms_per_hole"] = perHoleMs;
  perHole()[Ours ? "ours" : "default"][holes] = perHoleMs;
}

void DefaultTriangulator(benchmark::State& state) {
  Triangulate<false>(state);
}
void OurTriangulation(benchmark::State& state) {
  Triangulate<true>(state);
}

// Time per hole at the most holes over the time per hole at the fewest, for each.
void GrowthPerHole(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(perHole().size());
  for (const auto& [name, table] : perHole()) {
    if (table.size() < 2) continue;
    state.counters[name + "_last_over_first"] = table.rbegin()->second / table.begin()->second;
  }
}

}  // namespace

BENCHMARK(DefaultTriangulator)
    ->Arg(100)
    ->Arg(400)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(2);
BENCHMARK(OurTriangulation)
    ->Arg(100)
    ->Arg(400)
    ->Arg(800)
    ->Arg(1600)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(GrowthPerHole)->Iterations(1);
