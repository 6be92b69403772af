// Cost of receiving a large "json" payload through the transfer protocol (hashed chunks,
// reassembly, completion) beside a plain copy of the same bytes and beside FNV-1a alone over
// them (every chunk is hashed, so that is the floor), and how it depends on the number of
// chunks for the same total.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "transfer_payload.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/transfer_protocol.h"

namespace {

using bench::kTransferPayloadBytes;
using bench::TransferPackets;
using bench::TransferPayload;

void BM_PlainCopy(benchmark::State& state) {
  const std::string& payload = TransferPayload();
  for (auto _ : state) {
    std::string copy(payload.size(), '\0');
    std::memcpy(copy.data(), payload.data(), payload.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
}

// The chunk hash over the whole payload at once: FNV-1a and its hex text, nothing else.
void BM_Fnv1aAlone(benchmark::State& state) {
  const std::string& payload = TransferPayload();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::ChunkHash(payload));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
}

void BM_TransferChunks(benchmark::State& state) {
  platform::SetDebugOutputEnabled(false);
  const std::vector<std::string>& packets = TransferPackets(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    vantrel::TransferOutcome last = bench::ReceivePackets(packets);
    if (last.kind != vantrel::TransferOutcomeKind::Completed ||
        last.data.size() != kTransferPayloadBytes) {
      state.SkipWithError("transfer did not complete");
      break;
    }
    benchmark::DoNotOptimize(last.data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTransferPayloadBytes));
}

// The same through pretty-printed JSON, whose line breaks are escapes of their own.
void BM_TransferPrettyChunks(benchmark::State& state) {
  platform::SetDebugOutputEnabled(false);
  const std::vector<std::string>& packets =
      TransferPackets(static_cast<size_t>(state.range(0)), bench::PrettyTransferPayload());
  for (auto _ : state) {
    vantrel::TransferOutcome last = bench::ReceivePackets(packets);
    if (last.kind != vantrel::TransferOutcomeKind::Completed ||
        last.data != bench::PrettyTransferPayload()) {
      state.SkipWithError("transfer did not complete");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTransferPayloadBytes));
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Fnv1aAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TransferChunks)->Arg(4096)->Arg(1024)->Unit(benchmark::kMillisecond)->MinTime(5.0);
BENCHMARK(BM_TransferPrettyChunks)->Arg(4096)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// Prints the benchmark table and then the figures that matter (from CPU time, like the table's
// bytes_per_second, so that other load on the machine does not skew them): MB/s, the ratios to
// the plain copy and to FNV-1a alone, and the 1,024 versus 4,096 chunk comparison.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        // Names carry their options ("BM_PlainCopy/min_time:2.000"); keep the base part.
        std::string name = run.benchmark_name();
        size_t options = name.find("/min_time");
        seconds_[name.substr(0, options)] = run.GetAdjustedCPUTime() / 1e3;  // ms to s
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double mb = static_cast<double>(kTransferPayloadBytes) / 1e6;
    const double copy = seconds_["BM_PlainCopy"];
    const double fnv = seconds_["BM_Fnv1aAlone"];
    const double c4096 = seconds_["BM_TransferChunks/4096"];
    const double c1024 = seconds_["BM_TransferChunks/1024"];
    const double pretty = seconds_["BM_TransferPrettyChunks/4096"];
    if (copy <= 0 || fnv <= 0 || c4096 <= 0 || c1024 <= 0) return;
    std::printf("\nplain copy            %10.1f MB/s\n", mb / copy);
    std::printf("FNV-1a alone          %10.1f MB/s\n", mb / fnv);
    std::printf("transfer 4096 chunks  %10.1f MB/s  (%.1fx the copy time, %.2fx FNV-1a alone)\n",
                mb / c4096, c4096 / copy, c4096 / fnv);
    std::printf("transfer 1024 chunks  %10.1f MB/s  (%.1fx the copy time, %.2fx FNV-1a alone)\n",
                mb / c1024, c1024 / copy, c1024 / fnv);
    if (pretty > 0) {
      std::printf("pretty-printed, 4096   %10.1f MB/s  (%.2fx FNV-1a alone)\n", mb / pretty,
                  pretty / fnv);
    }
    const double difference = (c4096 > c1024 ? c4096 / c1024 : c1024 / c4096) - 1.0;
    std::printf("1024 vs 4096 chunks: %.1f%% apart (%s the 20%% bound)\n", difference * 100.0,
                difference <= 0.20 ? "within" : "OUTSIDE");
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
