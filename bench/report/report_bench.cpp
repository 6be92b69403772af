// The per-item report's cost: the 400-bore plate (bench/plate_json.h) drawn from part JSON
// with a report sink installed and without one. The two draws alternate in every
// iteration so that a busy machine slows both alike; the figure is the median of the
// rounds' ratios of their processor times (goal: under 1.05). The progress-only sink
// (MARDEL_REPORT_NO_VOLUMES, what `kestrun draw` installs without --report) is measured the
// same way, and so is the listing of every built item's faces and edges as descriptors
// (MARDEL_REPORT_DESCRIPTORS, what --report asks for) against the report without it (goal:
// under 1.05).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "draw_json.h"
#include "kestrun/kestrun.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"
#include "plate_json.h"

namespace {

double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What a consumer of the report does at the least: reads every text of every record.
struct Consumer {
  std::uint64_t records = 0, bytes = 0, descriptors = 0;
};

void consume(void* context, std::int32_t event, const MardelItemReport* item) {
  auto* consumer = static_cast<Consumer*>(context);
  if (event != MARDEL_REPORT_ITEM_DONE || !item) return;
  ++consumer->records;
  consumer->bytes += item->id.size + item->type.size + item->name.size + item->body.size;
  for (std::uint64_t i = 0; i < item->messageCount; ++i) consumer->bytes += item->messages[i].size;
  for (std::uint64_t i = 0; i < item->objectCount; ++i) consumer->bytes += item->objects[i].size;
  for (std::uint64_t i = 0; i < item->descriptorCount; ++i)
    consumer->bytes += item->descriptors[i].size;
  consumer->descriptors += item->descriptorCount;
}

void discardLine(void*, std::int32_t, const char*, std::uint64_t) {}

struct Timing {
  double cpu = 0, wall = 0;
};

// `finalSolid`: measure the Part's solid after the draw, as `kestrun draw --report` does for
// its summary; the listing of faces and edges stands on that solid.
Timing drawPlate(const std::string& json, Consumer* consumer, std::uint32_t flags = 0,
                 bool finalSolid = false) {
  MardelImport_SetReportSinkWithFlags(consumer ? &consume : nullptr, consumer, flags);
  const double cpu = threadSeconds(), wall = wallSeconds();
  occt_host::Session session;
  int32_t status = -1;
  MardelImportResult result{};
  auto document = bench::drawnPart(session, json, status, result);
  if (finalSolid && !(occt_host::partVolume(document) > 0))
    throw std::runtime_error("no solid after the draw");
  Timing spent{threadSeconds() - cpu, wallSeconds() - wall};
  MardelImport_SetReportSink(nullptr, nullptr);
  if (status != 0 || result.createdCount != 802) throw std::runtime_error("the draw failed");
  return spent;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The figures are the medians over the rounds, each round's ratio taken within it: on a
// shared machine a burst of load then spoils one round, not the figure.
void reportOnVersusOff(benchmark::State& state, std::uint32_t flags) {
  const std::string json = bench::plateJson();
  MardelImport_SetLogSink(&discardLine, nullptr);
  std::vector<double> offCpu, onCpu, cpuRatios, wallRatios;
  Consumer consumer;
  bool offFirst = true;
  for (auto _ : state) {
    // Which draw goes first alternates, so that neither always meets the heap as the
    // other left it.
    Timing a, b;
    if (offFirst) {
      a = drawPlate(json, nullptr);
      b = drawPlate(json, &consumer, flags);
    } else {
      b = drawPlate(json, &consumer, flags);
      a = drawPlate(json, nullptr);
    }
    offFirst = !offFirst;
    offCpu.push_back(a.cpu);
    onCpu.push_back(b.cpu);
    cpuRatios.push_back(b.cpu / a.cpu);
    wallRatios.push_back(b.wall / a.wall);
  }
  MardelImport_SetLogSink(nullptr, nullptr);
  if (consumer.records != 802 * static_cast<std::uint64_t>(state.iterations()))
    state.SkipWithError("records missing");
  state.counters["off_cpu_s"] = median(offCpu);
  state.counters["on_cpu_s"] = median(onCpu);
  state.counters["on_over_off_cpu"] = median(cpuRatios);
  state.counters["on_over_off_wall"] = median(wallRatios);
}

void PlateReportOnVersusOff(benchmark::State& state) {
  reportOnVersusOff(state, 0);
}

void PlateProgressOnlyVersusOff(benchmark::State& state) {
  reportOnVersusOff(state, MARDEL_REPORT_NO_VOLUMES);
}

// The report with descriptors against the report alone, alternating as above, each draw
// followed by the measure of the final solid that `kestrun draw --report` takes.
void PlateDescriptorsVersusReport(benchmark::State& state) {
  const std::string json = bench::plateJson();
  MardelImport_SetLogSink(&discardLine, nullptr);
  Timing report, listed;
  Consumer plain, withDescriptors;
  bool plainFirst = true;
  for (auto _ : state) {
    Timing a, b;
    if (plainFirst) {
      a = drawPlate(json, &plain, 0, true);
      b = drawPlate(json, &withDescriptors, MARDEL_REPORT_DESCRIPTORS, true);
    } else {
      b = drawPlate(json, &withDescriptors, MARDEL_REPORT_DESCRIPTORS, true);
      a = drawPlate(json, &plain, 0, true);
    }
    plainFirst = !plainFirst;
    report.cpu += a.cpu, report.wall += a.wall, listed.cpu += b.cpu, listed.wall += b.wall;
  }
  MardelImport_SetLogSink(nullptr, nullptr);
  const double n = static_cast<double>(state.iterations());
  if (plain.descriptors != 0 || withDescriptors.descriptors == 0)
    state.SkipWithError("descriptors listed where not asked for, or not where asked for");
  state.counters["report_cpu_s"] = report.cpu / n;
  state.counters["descriptors_cpu_s"] = listed.cpu / n;
  state.counters["descriptors_per_draw"] = static_cast<double>(withDescriptors.descriptors) / n;
  state.counters["descriptors_over_report_cpu"] = listed.cpu / report.cpu;
  state.counters["descriptors_over_report_wall"] = listed.wall / report.wall;
}

}  // namespace

BENCHMARK(PlateDescriptorsVersusReport)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(PlateReportOnVersusOff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);
BENCHMARK(PlateProgressOnlyVersusOff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);
