// Chains: N pads each fused onto the last (a staircase of 6 x 10 blocks 5 mm apart, every
// other one 2 mm taller, so that the solid's faces grow with N), and N fillets in a row
// (radius 0.5 on the top edge of each of N ribs standing on a plate, one fillet item per
// rib, each finding its edge through the rib pad's faces), built through the host's
// objects as the importer builds them, beside the same operations made directly with the
// kernel one by one, in processor time. The goal is a flat time per item from 10 to 160 (exponent
// <= 1.1) and heap per fillet within 2x of the kernel's.
#include <benchmark/benchmark.h>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <malloc.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/document.h"
#include "host/dress_up.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "host/topology.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"

namespace {

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

// Processor time of this thread: the machine is shared, and wall time counts the others.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double seconds(double since) {
  return threadSeconds() - since;
}

double heapBytes() {
  return static_cast<double>(mallinfo2().uordblks);
}

// Seconds per item by chain and length, for the exponents reported last.
std::map<std::string, std::map<int, double>>& perItem() {
  static std::map<std::string, std::map<int, double>> table;
  return table;
}

class HostPart {
 public:
  HostPart() {
    document_ = session_.newDocument("Part");
    auto container =
        host::query<host::DocumentRoots>(document_)->rootContainer(host::kPartContainerType);
    part_ = host::query<host::Part>(host::query<host::PartContainer>(container)->part());
    sketches_ = host::query<host::SketchFactory>(container);
    features_ = host::query<host::PartFactory>(container);
    dressUps_ = host::query<host::DressUpFactory>(container);
    require(part_ && sketches_ && features_ && dressUps_, "no Part");
  }

  // A pad of the rectangles [x0, x1] x [y0, y1] on z = z0, `height` up, updated.
  host::SpecObjectPtr pad(const std::vector<std::array<double, 4>>& boxes, double z0,
                          double height) {
    auto sketch = sketches_->createSketch({0, 0, z0}, {1, 0, 0}, {0, 1, 0});
    auto factory = host::query<host::Factory2D>(sketch);
    host::query<host::Sketch>(sketch)->openEdition();
    for (const auto& b : boxes) {
      factory->createLine({b[0], b[1]}, {b[2], b[1]});
      factory->createLine({b[2], b[1]}, {b[2], b[3]});
      factory->createLine({b[2], b[3]}, {b[0], b[3]});
      factory->createLine({b[0], b[3]}, {b[0], b[1]});
    }
    host::query<host::Sketch>(sketch)->closeEdition();
    auto feature = features_->createPad(sketch);
    auto prism = host::query<host::Pad>(feature);
    prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::First, height);
    prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::Second, 0);
    part_->setCurrentFeature(feature);
    require(feature->update().ok(), "pad failed");
    return feature;
  }

  // The reference of the edge of `feature`'s faces along y at (x, z).
  host::SpecObjectPtr edgeAlongY(const host::SpecObjectPtr& feature, double x, double z) {
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      for (const auto& edgeCell : host::query<host::FaceCell>(cell)->edgeCells()) {
        host::Point3 s, e;
        auto found = host::query<host::EdgeCell>(edgeCell)->edges().at(0);
        if (!found->vertices(s, e)) continue;
        if (std::abs(s.x - x) < 1e-6 && std::abs(e.x - x) < 1e-6 && std::abs(s.z - z) < 1e-6 &&
            std::abs(e.z - z) < 1e-6 && std::abs(s.y - e.y) > 1)
          return host::query<host::Featurize>(edgeCell)->featurize();
      }
    }
    return nullptr;
  }

  void fillet(const host::SpecObjectPtr& edge) {
    auto feature = dressUps_->createSolidFillet({edge}, 0.5, host::kPropagationNone);
    require(feature && feature->update().ok(), "fillet failed");
    part_->setCurrentFeature(feature);
  }

  TopoDS_Shape solid() { return occt_host::solidOf(part_->mainBody()); }

 private:
  occt_host::Session session_;
  std::shared_ptr<host::Document> document_;
  std::shared_ptr<host::Part> part_;
  std::shared_ptr<host::SketchFactory> sketches_;
  std::shared_ptr<host::PartFactory> features_;
  std::shared_ptr<host::DressUpFactory> dressUps_;
};

double stairHeight(int i) {
  return 10.0 + 2.0 * (i % 2);
}

void HostPadChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double total = 0;
  for (auto _ : state) {
    const double start = threadSeconds();
    HostPart part;
    for (int i = 0; i < n; ++i) part.pad({{{5.0 * i, 0, 5.0 * i + 6, 10}}}, 0, stairHeight(i));
    require(!part.solid().IsNull(), "no solid");
    total += seconds(start);
  }
  const double per = total / static_cast<double>(state.iterations()) / n;
  state.counters["ms_per_pad"] = 1e3 * per;
  perItem()["host_pads"][n] = per;
}

void KernelPadChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double total = 0;
  for (auto _ : state) {
    const double start = threadSeconds();
    TopoDS_Shape shape;
    for (int i = 0; i < n; ++i) {
      TopoDS_Shape box = BRepPrimAPI_MakeBox(gp_Pnt(5.0 * i, 0, 0), 6, 10, stairHeight(i)).Shape();
      if (shape.IsNull()) {
        shape = box;
        continue;
      }
      BRepAlgoAPI_Fuse fuse(shape, box);
      require(fuse.IsDone(), "fuse failed");
      shape = fuse.Shape();
    }
    benchmark::DoNotOptimize(shape);
    total += seconds(start);
  }
  const double per = total / static_cast<double>(state.iterations()) / n;
  state.counters["ms_per_pad"] = 1e3 * per;
  perItem()["kernel_pads"][n] = per;
}

// Ribs 2 x 20 x 5, 5 mm apart, on a plate 5n + 10 x 30 x 5.
std::vector<std::array<double, 4>> ribs(int n) {
  std::vector<std::array<double, 4>> out;
  for (int i = 0; i < n; ++i) out.push_back({10.0 + 5.0 * i, 5, 12.0 + 5.0 * i, 25});
  return out;
}

void HostFilletChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double total = 0, heap = 0;
  for (auto _ : state) {
    auto part = std::make_unique<HostPart>();
    part->pad({{{0, 0, 5.0 * n + 15, 30}}}, 0, 5);
    auto comb = part->pad(ribs(n), 5, 5);
    const double heapBefore = heapBytes();
    const double start = threadSeconds();
    for (int i = 0; i < n; ++i) {
      auto edge = part->edgeAlongY(comb, 10.0 + 5.0 * i, 10);
      require(edge != nullptr, "no rib edge");
      part->fillet(edge);
    }
    require(!part->solid().IsNull(), "no solid");
    total += seconds(start);
    heap += heapBytes() - heapBefore;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ms_per_fillet"] = 1e3 * total / iterations / n;
  state.counters["KiB_per_fillet"] = heap / iterations / n / 1024;
  perItem()["host_fillets"][n] = total / iterations / n;
  perItem()["host_fillet_heap"][n] = heap / iterations / n;
}

// The edge of `shape` along y at (x, z), as a search over its edges.
TopoDS_Edge ribEdge(const TopoDS_Shape& shape, double x, double z) {
  for (TopExp_Explorer e(shape, TopAbs_EDGE); e.More(); e.Next()) {
    TopoDS_Vertex a, b;
    TopExp::Vertices(TopoDS::Edge(e.Current()), a, b);
    if (a.IsNull() || b.IsNull()) continue;
    gp_Pnt p = BRep_Tool::Pnt(a), q = BRep_Tool::Pnt(b);
    if (std::abs(p.X() - x) < 1e-6 && std::abs(q.X() - x) < 1e-6 && std::abs(p.Z() - z) < 1e-6 &&
        std::abs(q.Z() - z) < 1e-6 && std::abs(p.Y() - q.Y()) > 1)
      return TopoDS::Edge(e.Current());
  }
  throw std::runtime_error("no rib edge");
}

void KernelFilletChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double total = 0, heap = 0;
  for (auto _ : state) {
    TopoDS_Shape shape = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 5.0 * n + 15, 30, 5).Shape();
    for (const auto& r : ribs(n)) {
      BRepAlgoAPI_Fuse fuse(shape, BRepPrimAPI_MakeBox(gp_Pnt(r[0], r[1], 5), 2, 20, 5).Shape());
      shape = fuse.Shape();
    }
    const double heapBefore = heapBytes();
    const double start = threadSeconds();
    for (int i = 0; i < n; ++i) {
      BRepFilletAPI_MakeFillet fillet(shape);
      fillet.Add(0.5, ribEdge(shape, 10.0 + 5.0 * i, 10));
      fillet.Build();
      require(fillet.IsDone(), "fillet failed");
      shape = fillet.Shape();
    }
    benchmark::DoNotOptimize(shape);
    total += seconds(start);
    heap += heapBytes() - heapBefore;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ms_per_fillet"] = 1e3 * total / iterations / n;
  state.counters["KiB_per_fillet"] = heap / iterations / n / 1024;
  perItem()["kernel_fillets"][n] = total / iterations / n;
  perItem()["kernel_fillet_heap"][n] = heap / iterations / n;
}

// Runs last: the exponent of each chain's total time over the lengths measured (1: linear)
// and the host's figures as multiples of the kernel's at the longest chain.
void Exponents(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(perItem().size());
  for (const auto& [name, table] : perItem()) {
    if (table.size() < 2) continue;
    const auto& [n0, t0] = *table.begin();
    const auto& [n1, t1] = *table.rbegin();
    state.counters[name + "_exponent"] = 1 + std::log(t1 / t0) / std::log(double(n1) / n0);
  }
  auto& t = perItem();
  auto last = [&](const char* name) { return t[name].empty() ? 0.0 : t[name].rbegin()->second; };
  if (last("kernel_pads") > 0)
    state.counters["host_over_kernel_pads"] = last("host_pads") / last("kernel_pads");
  if (last("kernel_fillets") > 0)
    state.counters["host_over_kernel_fillets"] = last("host_fillets") / last("kernel_fillets");
  if (last("kernel_fillet_heap") > 0)
    state.counters["host_over_kernel_fillet_heap"] =
        last("host_fillet_heap") / last("kernel_fillet_heap");
}

}  // namespace

BENCHMARK(HostPadChain)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->Arg(80)
    ->Arg(160)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(KernelPadChain)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->Arg(80)
    ->Arg(160)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(HostFilletChain)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->Arg(80)
    ->Arg(160)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(KernelFilletChain)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->Arg(80)
    ->Arg(160)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(Exponents)->Iterations(1);
