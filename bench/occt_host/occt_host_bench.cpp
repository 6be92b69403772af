// A 200 x 150 x 10 plate cut by 400 through-bores of diameter 4 on a 20 x 20 grid:
// drawn from part JSON through the import entry, built through the host's objects as
// the importer builds it (a body, sketch and pad per bore, a remove operated on the
// plate's pad, each updated), beside the same cuts made directly with the kernel one by
// one and as one cut with 400 tools.
#include <benchmark/benchmark.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <TopTools_ListOfShape.hxx>
#include <gp_Ax2.hxx>

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "draw_json.h"
#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "host/wireframe.h"
#include "kestrun/kestrun.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"
#include "plate_json.h"

namespace {

using bench::Spot;
constexpr double kRadius = bench::kBoreRadius;

std::vector<Spot> grid() {
  return bench::boreGrid();
}

// Mean seconds per iteration of each variant, for the ratios reported last.
std::map<std::string, double>& means() {
  static std::map<std::string, double> table;
  return table;
}

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

class HostPart {
 public:
  HostPart() {
    document_ = session_.newDocument("Part");
    auto container =
        host::query<host::DocumentRoots>(document_)->rootContainer(host::kPartContainerType);
    part_ = host::query<host::Part>(host::query<host::PartContainer>(container)->part());
    sketches_ = host::query<host::SketchFactory>(container);
    features_ = host::query<host::PartFactory>(container);
    booleans_ = host::query<host::BooleanFactory>(container);
    bodies_ = host::query<host::BodyFactory>(container);
    require(part_ && sketches_ && features_ && booleans_ && bodies_, "no Part");
  }

  host::SpecObjectPtr plate() {
    auto sketch = sketches_->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    auto factory = host::query<host::Factory2D>(sketch);
    host::query<host::Sketch>(sketch)->openEdition();
    factory->createLine({0, 0}, {200, 0});
    factory->createLine({200, 0}, {200, 150});
    factory->createLine({200, 150}, {0, 150});
    factory->createLine({0, 150}, {0, 0});
    host::query<host::Sketch>(sketch)->closeEdition();
    return padded(sketch, 10, 0);
  }

  // The importer's through-bore: a body, a sketch with the circle, a pad through the
  // plate, and a remove operated on the plate's pad.
  void bore(const host::SpecObjectPtr& plate, Spot at) {
    part_->setCurrentTool(bodies_->createBody(""));
    auto sketch = sketches_->createSketch({at.x, at.y, -1}, {1, 0, 0}, {0, 1, 0});
    host::query<host::Sketch>(sketch)->openEdition();
    host::query<host::Factory2D>(sketch)->createCircle({0, 0}, kRadius);
    host::query<host::Sketch>(sketch)->closeEdition();
    auto cutter = padded(sketch, 12, 0);
    part_->setCurrentFeature(plate);
    auto remove = booleans_->createRemove(plate, cutter);
    require(remove && remove->update().ok(), "remove failed");
    part_->setCurrentFeature(remove);
  }

  TopoDS_Shape solid() { return occt_host::solidOf(part_->mainBody()); }

 private:
  host::SpecObjectPtr padded(const host::SpecObjectPtr& sketch, double first, double second) {
    auto pad = features_->createPad(sketch);
    auto prism = host::query<host::Pad>(pad);
    prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::First, first);
    prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::Second, second);
    require(pad->update().ok(), "pad failed");
    return pad;
  }

  occt_host::Session session_;
  std::shared_ptr<host::Document> document_;
  std::shared_ptr<host::Part> part_;
  std::shared_ptr<host::SketchFactory> sketches_;
  std::shared_ptr<host::PartFactory> features_;
  std::shared_ptr<host::BooleanFactory> booleans_;
  std::shared_ptr<host::BodyFactory> bodies_;
};

void HostPlateWith400Bores(benchmark::State& state) {
  double building = 0, final = 0, total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    HostPart part;
    auto plate = part.plate();
    for (Spot at : grid()) part.bore(plate, at);
    building += seconds(start);
    auto asked = std::chrono::steady_clock::now();
    TopoDS_Shape solid = part.solid();
    require(!solid.IsNull(), "no solid");
    benchmark::DoNotOptimize(solid);
    final += seconds(asked);
    total += seconds(start);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["build_s"] = building / n;
  state.counters["final_solid_s"] = final / n;
  means()["host"] = total / n;
}

void DrawJsonPlateWith400Bores(benchmark::State& state) {
  const std::string json = bench::plateJson();
  double total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    occt_host::Session session;
    int32_t status = -1;
    MardelImportResult result{};
    auto document = bench::drawnPart(session, json, status, result);
    require(status == 0 && result.createdCount == 802, "draw failed");
    TopoDS_Shape solid = bench::mainSolid(document);
    require(!solid.IsNull(), "no solid");
    benchmark::DoNotOptimize(solid);
    total += seconds(start);
  }
  means()["draw_json"] = total / static_cast<double>(state.iterations());
}

TopoDS_Shape plateSolid() {
  return BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 200, 150, 10).Shape();
}

std::vector<TopoDS_Shape> cylinders() {
  std::vector<TopoDS_Shape> tools;
  for (Spot at : grid()) {
    gp_Ax2 axis(gp_Pnt(at.x, at.y, -1), gp::DZ());
    tools.push_back(BRepPrimAPI_MakeCylinder(axis, kRadius, 12).Shape());
  }
  return tools;
}

void DirectCutsOneByOne(benchmark::State& state) {
  std::vector<TopoDS_Shape> tools = cylinders();
  double total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    TopoDS_Shape shape = plateSolid();
    for (const TopoDS_Shape& tool : tools) {
      BRepAlgoAPI_Cut cut(shape, tool);
      require(cut.IsDone(), "cut failed");
      shape = cut.Shape();
    }
    benchmark::DoNotOptimize(shape);
    total += seconds(start);
  }
  means()["one_by_one"] = total / static_cast<double>(state.iterations());
}

void DirectOneCutWith400Tools(benchmark::State& state) {
  std::vector<TopoDS_Shape> tools = cylinders();
  TopTools_ListOfShape toolList;
  for (const TopoDS_Shape& tool : tools) toolList.Append(tool);
  double total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    TopTools_ListOfShape arguments;
    arguments.Append(plateSolid());
    BRepAlgoAPI_Cut cut;
    cut.SetArguments(arguments);
    cut.SetTools(toolList);
    cut.Build();
    require(cut.IsDone(), "cut failed");
    benchmark::DoNotOptimize(cut.Shape());
    total += seconds(start);
  }
  means()["many_tools"] = total / static_cast<double>(state.iterations());
}

// Runs last: the host's time as a fraction of each direct way, measured above.
void Ratios(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(means().size());
  auto& m = means();
  if (m.count("host") && m.count("one_by_one") && m.count("many_tools")) {
    state.counters["host_over_one_by_one"] = m["host"] / m["one_by_one"];
    state.counters["host_over_many_tools"] = m["host"] / m["many_tools"];
    state.counters["one_by_one_over_many_tools"] = m["one_by_one"] / m["many_tools"];
  }
  if (m.count("draw_json") && m.count("one_by_one") && m.count("many_tools")) {
    state.counters["draw_json_over_one_by_one"] = m["draw_json"] / m["one_by_one"];
    state.counters["draw_json_over_many_tools"] = m["draw_json"] / m["many_tools"];
  }
}

}  // namespace

BENCHMARK(HostPlateWith400Bores)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(DrawJsonPlateWith400Bores)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(DirectCutsOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(DirectOneCutWith400Tools)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Ratios)->Iterations(1);
