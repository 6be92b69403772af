// A feature of a body whose result is a solid computed from the body's solid before it.
// It is a container so that a boolean feature can aggregate its tool body; other solid
// features hold no children and do not answer the children interface.
#pragma once

#include <Bnd_Box.hxx>
#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/solid_volume.h"
#include "host/topology.h"
#include "occt_host/model/tree_container.h"
#include "occt_host/topology/feature_history.h"
#include "occt_host/topology/volume_cache.h"

namespace occt_host {

namespace booleans {
class WarningWatch;
}
class SlabFaces;

class SolidFeature : public TreeContainer, public host::FeatureGeometry, public host::SolidVolume {
 public:
  using TreeContainer::TreeContainer;

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  SolidFeature* asSolidFeature() override { return this; }

  // host::FeatureGeometry: the faces this feature made on its body's current solid.
  std::vector<std::shared_ptr<host::Unknown>> boundaryCells() override;
  // host::SolidVolume: the body's solid right after this feature.
  bool volume(double& mm3) override;

  // The body's solid after this feature, computed on demand and kept until an input
  // changes. A failed feature passes the solid before it on unchanged.
  const TopoDS_Shape& result();
  // Identifies the current result: equal stamps mean the same shape.
  std::uint64_t resultStamp();
  // The diagnostic of the last computation; empty when it succeeded.
  const std::string& error();
  // True when the kept result still matches every input; computes nothing of its own.
  bool upToDate();
  // The diagnostic of the last computation as it was kept, computing nothing: what a view
  // shows of a feature, which must not cost a recompute each time it is drawn.
  const std::string& lastError() const { return error_; }
  // The stamp of the result as kept, computing nothing: for a caller that has just brought
  // the feature up to date.
  std::uint64_t keptStamp() const { return stamp_; }
  // Brings the result up to date and gives it the kernel's full check if it has not had it;
  // false when it fails that check.
  bool checkedNow();
  // From now on every result of this feature has the kernel's full check, and the next
  // one is computed afresh.
  void distrust();
  // Brings the result up to date; true when it is valid as the kernel made it (see
  // publishValidAsMade()), so that a boolean may use it as a tool unchecked.
  bool validAsMade();

  // Features that cut a tool from the solid before them, or add one to it. Consecutive
  // features of one kind form a run, computed as one boolean with all their tools.
  enum class RunKind { None, Cut, Fuse };
  virtual RunKind runKind() const { return RunKind::None; }
  bool joinsCutRun() const { return runKind() == RunKind::Cut; }
  // The shape such a feature cuts away or adds; throws when there is none.
  virtual TopoDS_Shape runTool() { return TopoDS_Shape(); }
  // What this feature adds to or takes from the solid before it, as shapes that may
  // overlap one another, for the patterns and mirrors that copy it; false when it has none
  // (they copy the whole solid).
  struct Contribution {
    std::vector<TopoDS_Shape> shapes;
    bool adds = true;
  };
  virtual bool contribution(Contribution& out) {
    if (!joinsCutRun()) return false;
    out = {{runTool()}, false};
    return true;
  }

  // Names this feature for as long as it lives; never reused.
  std::uint64_t serial() const { return serial_; }
  // How the current result was computed (see feature_history.h); never null.
  HistoryRecordPtr historyRecord();
  // The record as kept, without bringing the feature up to date first; null before the
  // first computation. For walks down a body whose last feature was just refreshed.
  HistoryRecordPtr keptHistoryRecord() const { return record_; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  // Called from build(): how the result came from the solid before (feature_history.h).
  void publishHistory(FeatureHistory history) { published_ = std::move(history); }
  // Called from build() by a feature whose result holds rigid copies of `sources`: the
  // full check of that result checks each source once and leaves the faces the result
  // keeps of the copies, which are the sources' faces moved, unchecked.
  void publishCopies(std::vector<TopoDS_Shape> sources, std::vector<TopoDS_Shape> copies) {
    publishedCopies_ = {std::move(sources), std::move(copies)};
  }
  // Called from build() by a feature whose result is a solid the kernel swept from a
  // checked face, with no boolean: such a solid is valid as made.
  void publishValidAsMade() { publishedValidAsMade_ = true; }
  // Builds this feature's solid from `before` (null for the body's first solid). Throws
  // with a clear text on failure; the caller checks validity as well.
  virtual TopoDS_Shape build(const TopoDS_Shape& before) = 0;
  // True for features whose build() only fuses or cuts tools the kernel made from checked
  // profiles, or copies of valid solids, with the solid before.
  virtual bool validFromCleanBooleans() const { return false; }
  // The revision of inputs outside the body (a sketch, a tool body), part of the cache key.
  virtual std::uint64_t inputRevision() const { return 0; }

  host::UpdateResult recompute() override;

 private:
  // A feature is named by its serial, which no later feature reuses as it could an address.
  struct Entry {
    std::uint64_t serial = 0, own = 0, inputs = 0;
  };
  // What a result was computed from: the solid before the run and each run feature.
  struct CacheKey {
    std::uint64_t before = 0;
    std::vector<Entry> entries;
  };
  struct Solid {
    TopoDS_Shape shape;
    std::uint64_t stamp = 0;
    const SolidFeature* owner = nullptr;  // the feature whose result it is
  };
  using Run = std::vector<SolidFeature*>;
  struct Copies {
    std::vector<TopoDS_Shape> sources, copies;
  };

  // The cut of this feature's tool alone from the solid before its run, kept from the update
  // that checked it (solid_feature_volume.cpp).
  struct AloneCut {
    std::uint64_t before = 0, own = 0, inputs = 0;
    TopoDS_Shape tool, result;
    bool removedKnown = false, boxed = false;
    double removed = 0;  // what the tool alone takes from that solid
    Bnd_Box box;
  };
  // The faces of the solid before a run, for measuring what each of its tools takes without
  // a cut; kept on the run's first feature.
  struct Slabs {
    std::uint64_t before = 0;
    std::shared_ptr<const SlabFaces> faces;
  };
  // The volume of a stale run measured without its joint cut, kept on the run's last feature.
  struct RunVolume {
    CacheKey key;
    double volume = 0;
    bool valid = false;
  };

  Run runEndingHere();
  bool inRunOfTwoOrMore();
  bool provisionallyValid();
  bool aloneTool(const Solid& before, const Entry& now);
  bool aloneCut(const Solid& before, const Run& run);
  bool aloneRemoval(const Solid& before, const Run& run, double beforeVolume, double& removed);
  const SlabFaces& slabsOf(const Solid& before);
  const Bnd_Box& aloneBox();
  bool volumeWithoutJointCut(double& mm3);
  bool runVolumeFrom(const Run& run, const Solid& before, double beforeVolume, double& mm3);
  static bool keyEquals(const CacheKey& a, const CacheKey& b);
  // Whether `a` holds every entry of `b`, and then more or none.
  static bool keyStartsWith(const CacheKey& a, const CacheKey& b);
  Solid solidBefore(const SolidFeature* first);
  static CacheKey keyOf(std::uint64_t before, const Run& run, std::size_t count);
  bool holds(std::uint64_t before, const Run& run, std::size_t count) const;
  void refresh();
  static std::size_t firstStale(const Run& run, std::uint64_t before, Solid& from);
  enum class JointCut { Done, Failed, Interrupted };
  static JointCut guardedCut(const std::function<void()>& work, std::string& error);
  std::vector<SolidFeature*> addedSinceKept(const Run& run) const;
  JointCut extendKept(const Run& run, const Solid& before);
  JointCut cutTogether(const Run& run, std::size_t start, std::size_t end, const Solid& from,
                       std::uint64_t before);
  static void cutRange(const Run& run, std::size_t lo, std::size_t hi, Solid& from,
                       std::uint64_t before);
  TopoDS_Shape joined(const TopoDS_Shape& from, std::vector<TopoDS_Shape> tools,
                      Handle(BRepTools_History) * history);
  void compute(const Solid& before, CacheKey key);
  // `unchecked`: the result has not had the kernel's check of the whole solid.
  void accept(const TopoDS_Shape& shape, CacheKey key, std::shared_ptr<HistoryRecord> record,
              bool unchecked);
  bool trusts(const booleans::WarningWatch& watch) const;
  bool trusts(const booleans::WarningWatch& watch, const Run& run) const;
  std::shared_ptr<HistoryRecord> recordOf(const TopoDS_Shape& before, const TopoDS_Shape& built);
  void checkWhole();

  static std::uint64_t nextSerial();

  const std::uint64_t serial_ = nextSerial();
  bool computed_ = false;
  bool unchecked_ = false, distrusted_ = false;
  bool publishedValidAsMade_ = false, validAsMade_ = false;
  CacheKey key_;
  TopoDS_Shape result_;
  std::uint64_t stamp_ = 0;
  std::string error_;
  FeatureHistory published_;
  // What build() published of its copies, and what the unchecked result holds of them.
  Copies publishedCopies_, copies_;
  HistoryRecordPtr record_;
  VolumeCache volume_;
  AloneCut alone_;
  Slabs slabs_;
  RunVolume runVolume_;
};

}  // namespace occt_host
