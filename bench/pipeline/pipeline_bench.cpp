// Registering and ordering N sketch items that name one another: the pipeline's own
// cost per item, with writers that do no host work. The time per item should stay
// flat from 1,000 to 100,000 items.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <rapidjson/document.h>

#include "entry/import_result.h"
#include "occt_host/session/session.h"
#include "partjson/part_import_pipeline.h"

namespace {

class NullWriter : public kestrun::Writer {
 public:
  bool isSketchWriter() const override { return true; }
  void parseJson(const rapidjson::Value&) override {}
  host::SpecObjectPtr feature() const override { return nullptr; }
};

// Items listed in reverse, each naming the next by "featureId" and a geometry of
// another sketch by "parent", so that ordering has real work to do.
std::string crossReferencedSketches(int n) {
  std::string json = "[";
  for (int i = n - 1; i >= 0; --i) {
    const std::string id = "s" + std::to_string(i);
    json += "{\"type\":\"sketch\",\"id\":\"" + id +
            "\",\"geometries\":[{\"type\":\"line\",\"id\":\"g" + std::to_string(i) + "\"}]";
    if (i + 1 < n) json += ",\"featureId\":\"s" + std::to_string(i + 1) + "\"";
    if (i >= 2) json += ",\"ref\":{\"parent\":\"g" + std::to_string(i / 2) + "\"}";
    json += "}";
    if (i) json += ",";
  }
  return json + "]";
}

void RegisterAndOrderSketches(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  rapidjson::Document doc;
  doc.Parse(crossReferencedSketches(n).c_str());
  occt_host::Session session;
  auto document = session.newDocument("Part");
  for (auto _ : state) {
    MardelImportResult record{};
    kestrun::ImportResult result(&record);
    kestrun::PartImportPipeline pipeline(
        [](bool, kestrun::WriterRegistry*) { return std::make_unique<NullWriter>(); });
    pipeline.attach(document.get(), result);
    benchmark::DoNotOptimize(pipeline.import(doc, result));
    if (record.createdCount != static_cast<uint32_t>(n)) state.SkipWithError("not all built");
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["ns_per_item"] =
      benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}

BENCHMARK(RegisterAndOrderSketches)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
