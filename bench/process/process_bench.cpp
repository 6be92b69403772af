// Whole processes on the benchmark plate (bench/plate_json.h), each from start to exit:
// `kestrun draw` writing STEP, beside a raw process that makes the same tools with the
// kernel, cuts once and writes the STEP (raw_plate_cut). Drawn as one remove item per bore
// and as one simple hole item with every location; and the removes from 50 to 1,600 bores,
// for the flatness of the time per bore, of the whole process and of what the bores add to
// a draw of the plate alone (drawn in each round too: the process's start, the plate and
// the export would otherwise weigh on the short draws alone). Processor time is the steadier
// figure on a shared machine; the processes of a round run back to back so that load slows
// them alike.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "plate_json.h"

namespace {

struct Spent {
  double wall = -1, cpu = -1;
};

// Wall and processor seconds of one process; negative when it failed (exit above 1: the
// draw's 1 is a success with warnings).
Spent run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return {};
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return {};
  auto secondsOf = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime)};
}

std::string scratch(const std::string& name) {
  return "/tmp/process_bench_" + std::to_string(getpid()) + "_" + name;
}

std::string written(const std::string& name, const std::string& text) {
  const std::string path = scratch(name);
  std::ofstream(path) << text;
  return path;
}

// Processor seconds per bore of the remove draws, by count, for the flatness figures: of
// the whole process, and of what the bores add to a draw of the plate alone.
struct PerBore {
  double whole = 0, added = 0;
};
std::map<int, PerBore>& perBore() {
  static std::map<int, PerBore> table;
  return table;
}

// The heights the draw's cutters run between, which the raw process makes the same.
struct Cutters {
  const char* bottom;
  const char* top;
};
// A remove extrude reaches 1 mm past both faces of the 10 mm plate (the default overshoot).
constexpr Cutters kRemoveCutters{"-1", "11"};
// A simple hole's cutter runs from its depth, here the bottom face, as far above the top.
constexpr Cutters kHoleCutters{"0", "20"};

// `alone`, when not empty, is the plate without its bores, drawn in each round as well.
void drawBeside(benchmark::State& state, const std::string& json, const std::string& name,
                int bores, Cutters cutters, const std::string& alone = {}) {
  const std::string input = written(name + ".json", json);
  const std::string plate = alone.empty() ? std::string() : written(name + "_plate.json", alone);
  const std::string ours = scratch(name + ".step"), raw = scratch(name + "_raw.step");
  Spent drawn{0, 0}, direct{0, 0}, bare{0, 0};
  for (auto _ : state) {
    const Spent a = run({KESTRUN_PROGRAM, "draw", input, "--step", ours});
    const Spent b = run({RAW_PROGRAM, std::to_string(bores), raw, cutters.bottom, cutters.top});
    const Spent c =
        plate.empty() ? Spent{0, 0} : run({KESTRUN_PROGRAM, "draw", plate, "--step", ours});
    if (a.wall < 0 || b.wall < 0 || c.wall < 0) {
      state.SkipWithError("a process failed");
      break;
    }
    drawn.wall += a.wall, drawn.cpu += a.cpu, direct.wall += b.wall, direct.cpu += b.cpu;
    bare.cpu += c.cpu;
  }
  for (const std::string& path : {input, plate, ours, raw}) std::remove(path.c_str());
  const double n = static_cast<double>(state.iterations());
  state.counters["draw_cpu_s"] = drawn.cpu / n;
  state.counters["raw_cpu_s"] = direct.cpu / n;
  state.counters["draw_over_raw_cpu"] = drawn.cpu / direct.cpu;
  state.counters["draw_over_raw_wall"] = drawn.wall / direct.wall;
  state.counters["draw_cpu_ms_per_bore"] = 1e3 * drawn.cpu / n / bores;
  if (plate.empty()) return;
  state.counters["plate_alone_cpu_s"] = bare.cpu / n;
  state.counters["added_cpu_ms_per_bore"] = 1e3 * (drawn.cpu - bare.cpu) / n / bores;
  perBore()[bores] = {drawn.cpu / n / bores, (drawn.cpu - bare.cpu) / n / bores};
}

void RemovesBesideRawCut(benchmark::State& state) {
  unsetenv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM");  // the raw cutters assume the default
  const int bores = static_cast<int>(state.range(0));
  drawBeside(state, bench::plateJson(bores), "removes_" + std::to_string(bores), bores,
             kRemoveCutters, bench::plateAloneJson(bores));
}

void HoleItemBesideRawCut(benchmark::State& state) {
  const int bores = static_cast<int>(state.range(0));
  drawBeside(state, bench::holeItemJson(bores), "hole_" + std::to_string(bores), bores,
             kHoleCutters);
}

void PerBoreFlatness(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(perBore().size());
  if (perBore().size() < 2) return;
  double low = 1e300, high = 0, addedLow = 1e300, addedHigh = 0;
  for (const auto& [bores, seconds] : perBore()) {
    low = std::min(low, seconds.whole), high = std::max(high, seconds.whole);
    addedLow = std::min(addedLow, seconds.added), addedHigh = std::max(addedHigh, seconds.added);
  }
  state.counters["highest_over_lowest_cpu_per_bore"] = high / low;
  state.counters["highest_over_lowest_added_cpu_per_bore"] = addedHigh / addedLow;
}

}  // namespace

BENCHMARK(RemovesBesideRawCut)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Arg(800)
    ->Arg(1600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(HoleItemBesideRawCut)
    ->Arg(400)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(PerBoreFlatness)->Iterations(1);
