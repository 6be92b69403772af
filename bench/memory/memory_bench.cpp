// A workstation's life: the 400-bore plate drawn again and again into the same Part,
// cleared before each draw, in one process. Resident memory after the last draw is
// compared with the second draw (the first one pays for the kernel's one-time tables).
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "host/document.h"
#include "host/part.h"
#include "kestrun/kestrun.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"
#include "plate_json.h"

namespace {

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

// Resident set size from /proc/self/statm, in MiB.
double residentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void PlateDrawnIntoAClearedPart(benchmark::State& state) {
  const std::string json = bench::plateJson();
  const char* asked = std::getenv("MEMORY_BENCH_DRAWS");
  const int draws =
      asked && std::atoi(asked) > 2 ? std::atoi(asked) : static_cast<int>(state.range(0));
  for (auto _ : state) {
    occt_host::Session session;
    auto document = session.newDocument("Part");
    auto container = host::query<host::DocumentRoots>(document)->rootContainer("CATIPrtContainer");
    auto part = host::query<host::Part>(host::query<host::PartContainer>(container)->part());
    MardelImportOptions options{0, 1, 300.0, 500.0, nullptr, 0, 0};
    double second = 0, last = 0, peak = 0, seconds = 0;
    for (int draw = 1; draw <= draws; ++draw) {
      auto start = std::chrono::steady_clock::now();
      MardelImportResult result{};
      const int32_t status =
          MardelImport_DrawJson(document.get(), reinterpret_cast<const unsigned char*>(json.data()),
                                json.size(), &options, &result);
      require(status != 2 && result.createdCount == 802, "draw failed");
      require(!occt_host::solidOf(part->mainBody()).IsNull(), "no solid");
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      last = residentMiB();
      if (draw == 2) second = last;
      if (last > peak) peak = last;
      std::fprintf(stderr, "draw %d: resident %.1f MiB, heap in use %.1f MiB\n", draw, last,
                   static_cast<double>(mallinfo2().uordblks) / 1048576.0);
    }
    state.counters["rss_after_2nd_MiB"] = second;
    state.counters["rss_after_last_MiB"] = last;
    state.counters["rss_peak_MiB"] = peak;
    state.counters["growth_after_2nd_pct"] = second > 0 ? 100.0 * (last - second) / second : 0;
    state.counters["s_per_draw"] = seconds / draws;
  }
}

}  // namespace

BENCHMARK(PlateDrawnIntoAClearedPart)
    ->Arg(50)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
