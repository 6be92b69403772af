// Cost of receiving a 100 MB STEP file sent as 4,096 base64 chunks: each chunk decoded on its
// own and written into the temporary file, which is then handed on and deleted. Beside it, a
// plain in-memory base64 decode of the same text in one piece.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "vantrel/step_insertion.h"

namespace {

constexpr size_t kFileBytes = size_t{100} * 1000 * 1000;
constexpr size_t kChunkCount = 4096;

std::string Encode(const std::string& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k)
      v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out.push_back(k <= n ? alphabet[(v >> (18 - 6 * k)) & 63] : '=');
  }
  return out;
}

// STEP-like text: numbered entity lines of points, as a tessellated model holds by the million.
std::string StepText() {
  std::string text = "ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\n";
  for (size_t i = 1; text.size() < kFileBytes; ++i) {
    text += "#" + std::to_string(i) + "=CARTESIAN_POINT('',(" + std::to_string(i % 997) + ".125," +
            std::to_string(i % 331) + ".5,-" + std::to_string(i % 71) + ".75));\n";
  }
  text.resize(kFileBytes);
  return text;
}

struct Payload {
  std::vector<std::string> chunks;  // each a whole base64 text of a multiple of 3 bytes
  std::string whole;                // the chunks concatenated: the same text in one piece
};

const Payload& Data() {
  static const Payload payload = [] {
    const std::string text = StepText();
    const size_t step = (kFileBytes / kChunkCount / 3 + 1) * 3;
    Payload p;
    for (size_t at = 0; at < text.size(); at += step)
      p.chunks.push_back(Encode(text.substr(at, step)));
    for (const std::string& chunk : p.chunks) p.whole += chunk;
    return p;
  }();
  return payload;
}

void BM_Base64StepTransfer(benchmark::State& state) {
  platform::SetDebugOutputEnabled(false);
  const Payload& payload = Data();
  for (auto _ : state) {
    const bool ok = vantrel::InsertBase64Step("model.step", payload.chunks, [](const std::string&) {
      return vantrel::StepInsertResult{true, "handed on"};
    });
    if (!ok) state.SkipWithError("the transfer failed");
  }
  state.counters["chunks"] = static_cast<double>(payload.chunks.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}

void BM_PlainBase64Decode(benchmark::State& state) {
  const Payload& payload = Data();
  std::vector<unsigned char> bytes;
  for (auto _ : state) {
    if (!vantrel::DecodeBase64Chunk(payload.whole, bytes)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}

BENCHMARK(BM_Base64StepTransfer)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_PlainBase64Decode)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
