// Cost of receiving a large "json" payload through the transfer protocol (hashed chunks,
// reassembly, completion) beside a plain copy of the same bytes, and how it depends on the
// number of chunks for the same total.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/transfer_protocol.h"

namespace {

constexpr size_t kPayloadBytes = size_t{64} << 20;

// A part-like JSON document of exactly kPayloadBytes.
const std::string& Payload() {
  static const std::string payload = [] {
    std::string text = "{\"items\":[";
    for (size_t i = 0; text.size() < kPayloadBytes - 64; ++i) {
      if (i > 0) text += ",";
      text += "{\"id\":\"s" + std::to_string(i) +
              "\",\"type\":\"line\",\"x\":" + std::to_string(i % 1000) + ".25,\"y\":-" +
              std::to_string(i % 777) + ".5}";
    }
    text += "]}";
    text.append(kPayloadBytes - text.size(), ' ');
    return text;
  }();
  return payload;
}

std::string Packet(const std::string& cmd, const std::string& body) {
  return "{\"cmd\":\"" + cmd + "\",\"data\":\"" + vantrel::EscapeJsonString(body) +
         "\",\"mode\":\"json\"}";
}

// The packets a front end sends for the payload cut into `count` chunks.
const std::vector<std::string>& Packets(size_t count) {
  static std::map<size_t, std::vector<std::string>> cache;
  std::vector<std::string>& packets = cache[count];
  if (!packets.empty()) return packets;
  const std::string& payload = Payload();
  const size_t chunkBytes = payload.size() / count;
  packets.push_back(
      Packet("transferLargeStart", "{\"name\":\"bench\",\"size\":" + std::to_string(count) + "}"));
  for (size_t i = 0; i < count; ++i) {
    std::string chunk =
        payload.substr(i * chunkBytes, i + 1 == count ? std::string::npos : chunkBytes);
    packets.push_back(
        Packet("transferLargeData", "{\"name\":\"bench\",\"index\":" + std::to_string(i) +
                                        ",\"data\":\"" + vantrel::EscapeJsonString(chunk) +
                                        "\",\"hash\":\"" + vantrel::ChunkHash(chunk) + "\"}"));
  }
  packets.push_back(Packet("transferLargeEnd", "{\"name\":\"bench\"}"));
  return packets;
}

void BM_PlainCopy(benchmark::State& state) {
  const std::string& payload = Payload();
  for (auto _ : state) {
    std::string copy(payload.size(), '\0');
    std::memcpy(copy.data(), payload.data(), payload.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
}

void BM_TransferChunks(benchmark::State& state) {
  platform::SetDebugOutputEnabled(false);
  const std::vector<std::string>& packets = Packets(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    vantrel::TransferTable table;
    vantrel::TransferOutcome last;
    for (const std::string& packet : packets) last = vantrel::HandleTransferPacket(table, packet);
    if (last.kind != vantrel::TransferOutcomeKind::Completed || last.data.size() != kPayloadBytes) {
      state.SkipWithError("transfer did not complete");
      break;
    }
    benchmark::DoNotOptimize(last.data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPayloadBytes));
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TransferChunks)->Arg(4096)->Arg(1024)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// Prints the benchmark table and then the figures that matter (from CPU time, like the table's
// bytes_per_second, so that other load on the machine does not skew them): MB/s, the ratio to the
// plain copy, and the 1,024 versus 4,096 chunk comparison.
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
    const double mb = static_cast<double>(kPayloadBytes) / 1e6;
    const double copy = seconds_["BM_PlainCopy"];
    const double c4096 = seconds_["BM_TransferChunks/4096"];
    const double c1024 = seconds_["BM_TransferChunks/1024"];
    if (copy <= 0 || c4096 <= 0 || c1024 <= 0) return;
    std::printf("\nplain copy            %10.1f MB/s\n", mb / copy);
    std::printf("transfer 4096 chunks  %10.1f MB/s  (%.1fx the copy time)\n", mb / c4096,
                c4096 / copy);
    std::printf("transfer 1024 chunks  %10.1f MB/s  (%.1fx the copy time)\n", mb / c1024,
                c1024 / copy);
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
