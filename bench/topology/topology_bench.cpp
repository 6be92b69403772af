// findTopos of 100 descriptors against a 250 x 200 x 10 plate with 500 counterbored holes
// (about 2,000 faces: two half-cylinder walls per bore, a wall and a floor per
// counterbore), with and without the cached face and edge boxes.
#include <benchmark/benchmark.h>

#include <rapidjson/document.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "features/topology/find_topos.h"
#include "features/writer/feature_writer.h"
#include "features/writer/update_service.h"
#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "host/topology.h"
#include "host/wireframe.h"
#include "occt_host/session/session.h"

namespace {

constexpr int kColumns = 25, kRows = 20;
constexpr double kPi = 3.14159265358979323846;

double xOf(int i) {
  return 5.0 + 10.0 * (i % kColumns);
}
double yOf(int i) {
  return 5.0 + 10.0 * (i / kColumns);
}

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

class Plate {
 public:
  Plate() {
    document_ = session_.newDocument("Part");
    auto roots = host::query<host::DocumentRoots>(document_);
    state_.container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
    state_.partObject = state_.container->part();
    state_.part = host::query<host::Part>(state_.partObject);
    state_.brepFactory = state_.container->query<host::BRepFactory>();
    state_.verbosity = 0;
    require(state_.part && state_.brepFactory, "no Part");
    add("plate", prism(sketch(0, [](host::Factory2D& f) { rectangle(f); }), 10, false));
    // Bores as two half circles, so each leaves two half-cylinder walls.
    add("bores", prism(sketch(0,
                              [](host::Factory2D& f) {
                                for (int i = 0; i < kColumns * kRows; ++i) {
                                  f.createCircleArc({xOf(i), yOf(i)}, 2, 0, kPi);
                                  f.createCircleArc({xOf(i), yOf(i)}, 2, kPi, 2 * kPi);
                                }
                              }),
                       10, true));
    // Counterbores 3.5 wide and 3 deep from the top (z 7 to 10).
    add("cbores", prism(sketch(7,
                               [](host::Factory2D& f) {
                                 for (int i = 0; i < kColumns * kRows; ++i)
                                   f.createCircle({xOf(i), yOf(i)}, 3.5);
                               }),
                        3, true));
    user_ = std::make_unique<kestrun::FeatureWriter>(&registry_);
    user_->setSharedState(state_);
    descriptors_.Parse(descriptors().c_str());
    require(!descriptors_.HasParseError(), "descriptors");
  }

  kestrun::FeatureWriter& user() { return *user_; }
  const rapidjson::Value& descriptorList() const { return descriptors_; }
  std::size_t faceCount() {
    std::size_t n = 0;
    for (const auto& [id, writer] : registry_) {
      auto geometry = host::query<host::FeatureGeometry>(writer->feature());
      if (geometry) n += geometry->boundaryCells().size();
    }
    return n;
  }

 private:
  static void rectangle(host::Factory2D& f) {
    f.createLine({0, 0}, {250, 0});
    f.createLine({250, 0}, {250, 200});
    f.createLine({250, 200}, {0, 200});
    f.createLine({0, 200}, {0, 0});
  }

  template <class Draw>
  host::SpecObjectPtr sketch(double z, Draw draw) {
    auto sketch = state_.container->query<host::SketchFactory>()->createSketch({0, 0, z}, {1, 0, 0},
                                                                               {0, 1, 0});
    auto edit = host::query<host::Sketch>(sketch);
    auto factory = host::query<host::Factory2D>(sketch);
    require(edit && factory, "no sketch");
    edit->openEdition();
    draw(*factory);
    edit->closeEdition();
    return sketch;
  }

  host::SpecObjectPtr prism(const host::SpecObjectPtr& sketch, double length, bool pocket) {
    auto factory = state_.container->query<host::PartFactory>();
    auto feature = pocket ? factory->createPocket(sketch) : factory->createPad(sketch);
    auto parameters = host::query<host::Prism>(feature);
    require(parameters != nullptr, "no prism");
    parameters->setLimitLength(host::LimitEnd::First, length);
    parameters->setLimitLength(host::LimitEnd::Second, 0);
    require(kestrun::updateFeature(feature).ok(), "update failed");
    state_.part->setCurrentFeature(feature);
    return feature;
  }

  void add(const std::string& id, const host::SpecObjectPtr& feature) {
    auto writer = std::make_unique<kestrun::FeatureWriter>(&registry_);
    writer->setSharedState(state_);
    rapidjson::Document item;
    item.Parse(("{\"id\":\"" + id + "\",\"type\":\"extrude\"}").c_str());
    writer->initFromJson(item);
    writer->setSpecObj(feature);
    registry_[id] = std::move(writer);
  }

  // 40 bore circles at the bottom, 30 counterbore floors and 30 bore half circles at the
  // counterbore floor, spread over the plate.
  static std::string descriptors() {
    std::string out = "[";
    auto at = [](int i) { return "[" + std::to_string(xOf(i)) + "," + std::to_string(yOf(i)); };
    for (int k = 0; k < 100; ++k) {
      int i = (k * 97) % (kColumns * kRows);
      if (k) out += ",";
      if (k < 40) {
        out +=
            R"({"featureId":"bores","topoType":"edge","type":"circle","vDir":[0,0,1],"center":)" +
            at(i) + R"(,0],"radius":2})";
      } else if (k < 70) {
        out += R"({"featureId":"cbores","topoType":"face","type":"plane","vDir":[0,0,1],"loc":[)" +
               std::to_string(xOf(i) + 3) + "," + std::to_string(yOf(i)) + ",7]}";
      } else {
        out += R"({"featureId":"bores","topoType":"edge","type":"arc","vDir":[0,0,1],"center":)" +
               at(i) + R"(,7],"radius":2,"start":[)" + std::to_string(xOf(i) + 2) + "," +
               std::to_string(yOf(i)) + R"(,7],"end":[)" + std::to_string(xOf(i) - 2) + "," +
               std::to_string(yOf(i)) + ",7]}";
      }
    }
    return out + "]";
  }

  occt_host::Session session_;
  std::shared_ptr<host::Document> document_;
  kestrun::SharedWriterState state_;
  kestrun::WriterRegistry registry_;
  std::unique_ptr<kestrun::FeatureWriter> user_;
  rapidjson::Document descriptors_;
};

Plate& plate() {
  static Plate instance;
  return instance;
}

void findToposOnThePlate(benchmark::State& state, bool boxes) {
  Plate& p = plate();
  kestrun::FindToposOptions options;
  options.useBoxes = boxes;
  std::size_t found = 0;
  for (auto _ : state) {
    found = kestrun::findTopos(p.user(), p.descriptorList(), true, options).size();
    benchmark::DoNotOptimize(found);
  }
  if (found != 100) state.SkipWithError("not every descriptor matched");
  state.counters["faces"] = static_cast<double>(p.faceCount());
  state.counters["matched"] = static_cast<double>(found);
  state.counters["per_descriptor"] =
      benchmark::Counter(100.0 * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FindToposWithCachedBoxes(benchmark::State& state) {
  findToposOnThePlate(state, true);
}
void FindToposWithoutBoxes(benchmark::State& state) {
  findToposOnThePlate(state, false);
}

}  // namespace

BENCHMARK(FindToposWithCachedBoxes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(FindToposWithoutBoxes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
