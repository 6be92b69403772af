// A 200 x 200 x 10 plate with a 20 x 20 linear pattern of cylindrical bosses (diameter 4,
// height 5, 9 mm apart from (10, 10)): drawn from part JSON through the import entry, end
// to end, beside one union of the plate with the same 400 cylinders made directly with
// the kernel, alone and followed by the validity check. The goal is the drawing within
// 1.5 times the direct union.
#include <benchmark/benchmark.h>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <GProp_GProps.hxx>
#include <TopTools_ListOfShape.hxx>
#include <gp_Ax2.hxx>

#include <algorithm>
#include <chrono>
#include <cmath>

#include <stdexcept>
#include <string>
#include <vector>

#include "draw_json.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"

namespace {

constexpr int kSide = 20;
constexpr double kRadius = 2, kHeight = 5, kPitch = 9, kFirst = 10;
// 200 x 200 x 10 and 400 x pi x 4 x 5.
const double kVolume = 400000 + kSide * kSide * M_PI * kRadius * kRadius * kHeight;

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

double volumeOf(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

std::string patternJson() {
  const std::string n = std::to_string(kSide), pitch = std::to_string(kPitch);
  return std::string(
             R"({"flatNode":[{"type":"sketch","id":"s_plate","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
             R"("geometries":[{"type":"line","x1":0,"y1":0,"x2":200,"y2":0},)"
             R"({"type":"line","x1":200,"y1":0,"x2":200,"y2":200},)"
             R"({"type":"line","x1":200,"y1":200,"x2":0,"y2":200},)"
             R"({"type":"line","x1":0,"y1":200,"x2":0,"y2":0}]},)"
             R"({"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10},)"
             R"({"type":"sketch","id":"s_boss","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],)"
             R"("geometries":[{"type":"circle","center":{"x":10,"y":10},"radius":2}]},)"
             R"({"type":"extrude","id":"boss","boolType":"add","sketchId":"s_boss","n1Height":5},)"
             R"({"type":"linearArray","id":"grid","features":["boss"],)"
             R"("direct":{"x":0,"y":0,"z":0,"dx":1,"dy":0,"dz":0},)"
             R"("direct2":{"x":0,"y":0,"z":0,"dx":0,"dy":1,"dz":0},"secondDirection":true,)"
             R"("itemNumber":)") +
         n + R"(,"itemNumber2":)" + n + R"(,"distance":)" + pitch + R"(,"distance2":)" + pitch +
         "}]}";
}

// One draw of the pattern from JSON, end to end; its seconds.
double drawOnce(const std::string& json) {
  auto start = std::chrono::steady_clock::now();
  occt_host::Session session;
  int32_t status = -1;
  MardelImportResult result{};
  auto document = bench::drawnPart(session, json, status, result);
  require(status == 0, "draw failed");
  TopoDS_Shape solid = bench::mainSolid(document);
  const double spent = seconds(start);
  require(std::fabs(volumeOf(solid) - kVolume) < 1e-6 * kVolume, "wrong volume");
  return spent;
}

TopTools_ListOfShape bossCylinders() {
  TopTools_ListOfShape tools;
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) {
      gp_Ax2 axis(gp_Pnt(kFirst + kPitch * i, kFirst + kPitch * j, 10), gp::DZ());
      tools.Append(BRepPrimAPI_MakeCylinder(axis, kRadius, kHeight).Shape());
    }
  }
  return tools;
}

// The plate and the 400 cylinders in one union made directly; with `check`, followed by
// the validity check that every feature's result gets: the host's own floor for any way
// of building the part. Its seconds.
double directUnionOnce(const TopTools_ListOfShape& tools, bool check) {
  auto start = std::chrono::steady_clock::now();
  TopTools_ListOfShape arguments;
  arguments.Append(BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 200, 200, 10).Shape());
  BRepAlgoAPI_Fuse fuse;
  fuse.SetArguments(arguments);
  fuse.SetTools(tools);
  fuse.Build();
  require(fuse.IsDone() && (!check || BRepCheck_Analyzer(fuse.Shape()).IsValid()), "union failed");
  const double spent = seconds(start);
  require(std::fabs(volumeOf(fuse.Shape()) - kVolume) < 1e-6 * kVolume, "wrong volume");
  return spent;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Each round draws the pattern, then makes the direct union, then the checked one, so that
// a load on the machine falls on all three alike; the figures are the rounds' medians.
void PatternDrawBesideDirectUnion(benchmark::State& state) {
  const std::string json = patternJson();
  const TopTools_ListOfShape tools = bossCylinders();
  std::vector<double> draws, unions, checked;
  for (auto _ : state) {
    draws.push_back(drawOnce(json));
    unions.push_back(directUnionOnce(tools, false));
    checked.push_back(directUnionOnce(tools, true));
  }
  const double draw = median(draws), bare = median(unions), withCheck = median(checked);
  state.counters["draw_json_s"] = draw;
  state.counters["direct_union_s"] = bare;
  state.counters["direct_union_checked_s"] = withCheck;
  state.counters["draw_json_over_direct_union"] = draw / bare;
  state.counters["draw_json_over_checked_union"] = draw / withCheck;
}

}  // namespace

BENCHMARK(PatternDrawBesideDirectUnion)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
