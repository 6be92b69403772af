// The live draw in the desktop session: the workstation program drawing a plate with 50,
// 100 and 200 bores (bench/plate_json.h) while showing each item for 1 ms, beside the same
// draw with no delay, each a whole process from start to quit. The goal is the live draw
// within 1.3 times the silent one plus the delays, with a flat time per bore.
// Runs on an X server: `xvfb-run -a -s "-screen 0 1600x1000x24"
// build/release/bin/workstation_bench`. WORKSTATION_BENCH_PROGRAM names another workstation program
// to measure instead (an older build, for a before and after).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>

#include "plate_json.h"

namespace {

const char* program() {
  const char* chosen = std::getenv("WORKSTATION_BENCH_PROGRAM");
  return chosen && *chosen ? chosen : WORKSTATION_PROGRAM;
}

struct Spent {
  double wall = -1, cpu = -1;
};

// Wall and processor seconds of one workstation process drawing `path`; negative when it
// failed. The machine is shared: processor time is the steadier figure.
Spent drawSeconds(const std::string& path, int delayMs) {
  const std::string delay = std::to_string(delayMs);
  const char* path0 = program();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execl(path0, path0, "--no-addin", "--open", path.c_str(), "--delay-ms", delay.c_str(),
          "--quit-after-draw", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return {};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  auto secondsOf = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime)};
}

std::string plateFile(int bores) {
  const std::string path = "/tmp/workstation_bench_plate_" + std::to_string(getpid()) + "_" +
                           std::to_string(bores) + ".json";
  std::ofstream(path) << bench::plateJson(bores);
  return path;
}

// Seconds per bore of the live draw, by count, for the flatness figure reported last.
std::map<int, double>& perBore() {
  static std::map<int, double> table;
  return table;
}

// Silent and live draws alternate, so that a busy machine slows both alike.
void LiveVersusSilentDraw(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X server: run under xvfb-run -a");
    return;
  }
  const int bores = static_cast<int>(state.range(0));
  const std::string path = plateFile(bores);
  // Two items per bore (its sketch and its remove) and the plate's two.
  const double delays = (2.0 * bores + 2) * 1e-3;
  Spent silent{0, 0}, live{0, 0};
  for (auto _ : state) {
    const Spent a = drawSeconds(path, 0), b = drawSeconds(path, 1);
    if (a.wall < 0 || b.wall < 0) {
      state.SkipWithError("the workstation failed");
      break;
    }
    silent.wall += a.wall, silent.cpu += a.cpu, live.wall += b.wall, live.cpu += b.cpu;
  }
  std::remove(path.c_str());
  const double n = static_cast<double>(state.iterations());
  state.counters["silent_s"] = silent.wall / n;
  state.counters["live_s"] = live.wall / n;
  state.counters["silent_cpu_s"] = silent.cpu / n;
  state.counters["live_cpu_s"] = live.cpu / n;
  state.counters["live_over_silent_plus_delays"] = live.wall / (silent.wall + n * delays);
  state.counters["live_over_silent_cpu"] = live.cpu / silent.cpu;
  state.counters["live_cpu_ms_per_bore"] = 1e3 * live.cpu / n / bores;
  perBore()[bores] = live.cpu / n / bores;
}

void PerBoreFlatness(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(perBore().size());
  if (perBore().size() < 2) return;
  state.counters["last_over_first_cpu_per_bore"] =
      perBore().rbegin()->second / perBore().begin()->second;
}

}  // namespace

BENCHMARK(LiveVersusSilentDraw)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(PerBoreFlatness)->Iterations(1);
