// Assemblies at scale: staging a product of 1,000 source parts (the list export alone, and the
// whole first stage: each part drawn, numbered, saved and closed), and placing 10,000
// instances of one prepared part. Each reports its time per part or per instance.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/document_services.h"
#include "host/product.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"
#include "platform/temp_files.h"
#include "vantrel/transfer_data_processor.h"

namespace {

std::string cylinder(int i) {
  char text[400];
  std::snprintf(text, sizeof text,
                R"([{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
                R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":%d}]},)"
                R"({"type":"extrude","id":"e","sketchId":"s","n1Height":5}])",
                1 + i % 9);
  return text;
}

// `sources` source parts, then `extra` instances of the first one, each moved along X.
std::string product(int sources, int extra) {
  std::string json = R"({"partList":[)";
  for (int i = 0; i < sources; ++i) {
    if (i) json += ',';
    json += R"({"id":"part)" + std::to_string(i) + R"(","sequences":)" + cylinder(i) + "}";
  }
  for (int i = 0; i < extra; ++i) {
    json += R"(,{"id":"copy)" + std::to_string(i) + R"(","refId":"part0","matrix":[1,0,0,)" +
            std::to_string(i * 20) + R"(,0,1,0,0,0,0,1,0,0,0,0,1]})";
  }
  return json + "]}";
}

vantrel::CoreExports linkedCore() {
  vantrel::CoreExports exports;
  exports.drawJson = &MardelImport_DrawJson;
  exports.listProductSourceParts = &MardelImport_ListProductSourceParts;
  exports.freeProductSourcePartSpecs = &MardelImport_FreeProductSourcePartSpecs;
  exports.assignProductSourcePartNumber = &MardelImport_AssignProductSourcePartNumber;
  return exports;
}

void perItem(benchmark::State& state, int items) {
  state.counters["us_per_item"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * items * 1e-6,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ListSourceParts(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string json = product(n, 0);
  for (auto _ : state) {
    ProductSourcePartSpec* sourceParts = nullptr;
    uint64_t count = 0;
    MardelImport_ListProductSourceParts(reinterpret_cast<const unsigned char*>(json.data()),
                                        json.size(), &sourceParts, &count, nullptr);
    if (count != static_cast<uint64_t>(n)) state.SkipWithError("list failed");
    MardelImport_FreeProductSourcePartSpecs(sourceParts, count);
  }
  perItem(state, n);
}
BENCHMARK(ListSourceParts)->Arg(1000)->Unit(benchmark::kMillisecond);

void PrepareSourceParts(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string json = product(n, 0);
  const std::vector<unsigned char> bytes(json.begin(), json.end());
  occt_host::Session session;
  const vantrel::CoreExports exports = linkedCore();
  for (auto _ : state) {
    std::vector<ProductPreparedPart> prepared;
    if (!vantrel::TransferDataProcessor::PrepareProductSourceParts(exports, bytes, prepared,
                                                                   nullptr) ||
        prepared.size() != static_cast<size_t>(n))
      state.SkipWithError("preparation failed");
    state.PauseTiming();
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(prepared.front().partPath).parent_path(),
                                ignored);
    state.ResumeTiming();
  }
  perItem(state, n);
}
BENCHMARK(PrepareSourceParts)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

void PlaceInstances(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string json = product(1, n - 1);
  const std::vector<unsigned char> bytes(json.begin(), json.end());
  occt_host::Session session;
  const vantrel::CoreExports exports = linkedCore();
  std::vector<ProductPreparedPart> prepared;
  if (!vantrel::TransferDataProcessor::PrepareProductSourceParts(exports, bytes, prepared,
                                                                 nullptr)) {
    state.SkipWithError("preparation failed");
    return;
  }
  MardelImportOptions options{2, 1, 300, 500, prepared.data(), prepared.size(), 0};
  for (auto _ : state) {
    state.PauseTiming();
    auto document = session.newDocument("Product");
    state.ResumeTiming();
    MardelImportResult result{};
    MardelImport_DrawJson(document.get(), bytes.data(), bytes.size(), &options, &result);
    if (result.createdCount != static_cast<uint32_t>(n)) state.SkipWithError("placement failed");
  }
  perItem(state, n);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(prepared.front().partPath).parent_path(),
                              ignored);
}
BENCHMARK(PlaceInstances)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
