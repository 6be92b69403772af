#include "occt_host/model/solid_feature.h"

#include <TopExp.hxx>
#include <TopTools_ListIteratorOfListOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#include "features/boolean/boolean_ops.h"
#include "kernel/kernel_guard.h"
#include "kernel/solid_check.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/model/body.h"
#include "occt_host/topology/feature_faces.h"
#include "topology/topology_cells.h"

namespace occt_host {

namespace {

// Stamps and serials come from one counter, so that each is unique.
std::atomic<std::uint64_t> counter{0};

std::uint64_t nextStamp() {
  return ++counter;
}

void checkValid(const TopoDS_Shape& shape, const std::string& owner) {
  if (!solidIsValid(shape))
    throw std::runtime_error(owner + ": the kernel produced an invalid solid");
}

// Every result is checked before it is kept; the kernel's check only when the result is
// not `trusted` (see trusts()), and then only of what it does not share with the valid
// solid `before` it was made from, when there is one.
void check(const TopoDS_Shape& shape, const std::string& owner, bool trusted,
           const TopoDS_Shape& before = TopoDS_Shape()) {
  if (shape.IsNull()) throw std::runtime_error(owner + ": the result is empty");
  if (!booleans::hasSolid(shape))
    throw std::runtime_error(owner + ": the result holds no solid (nothing is left of the body)");
  if (trusted) return;
  if (before.IsNull()) return checkValid(shape, owner);
  if (!solidIsValidAfter(shape, before))
    throw std::runtime_error(owner + ": the kernel produced an invalid solid");
}

}  // namespace

std::uint64_t SolidFeature::nextSerial() {
  return ++counter;
}

const TopoDS_Shape& SolidFeature::result() {
  refresh();
  return result_;
}

std::uint64_t SolidFeature::resultStamp() {
  refresh();
  return stamp_;
}

const std::string& SolidFeature::error() {
  refresh();
  return error_;
}

HistoryRecordPtr SolidFeature::historyRecord() {
  refresh();
  if (!record_) record_ = std::make_shared<HistoryRecord>(result_, nullptr, 1);
  return record_;
}

std::vector<std::shared_ptr<host::Unknown>> SolidFeature::boundaryCells() {
  return guarded({}, [&] {
    std::vector<std::shared_ptr<host::Unknown>> cells;
    auto self = std::static_pointer_cast<SolidFeature>(this->self());
    auto tip = bodyTip(*this);
    HistoryRecordPtr record = tip->historyRecord();
    TopTools_IndexedMapOfShape faces = facesOf(*this, *tip);
    cells.reserve(faces.Extent());
    for (int i = 1; i <= faces.Extent(); ++i) {
      auto cell = std::make_shared<FaceCellObject>(self, TopoDS::Face(faces(i)), record);
      cells.push_back(
          std::shared_ptr<host::Unknown>(cell, static_cast<host::FaceCell*>(cell.get())));
    }
    return cells;
  });
}

bool SolidFeature::volume(double& mm3) {
  return guarded(false, [&]() -> bool {
    if (volumeWithoutJointCut(mm3)) return true;
    return volume_.volume(
        resultStamp(), [this] { return result(); }, mm3);
  });
}

void* SolidFeature::findInterface(host::InterfaceId id) {
  if (id == host::FeatureGeometry::kInterfaceId) return static_cast<host::FeatureGeometry*>(this);
  if (id == host::SolidVolume::kInterfaceId) return static_cast<host::SolidVolume*>(this);
  return TreeNode::findInterface(id);
}

bool SolidFeature::upToDate() {
  Run run = runEndingHere();
  Solid before = solidBefore(run.front());
  return holds(before.stamp, run, run.size());
}

host::UpdateResult SolidFeature::recompute() {
  if (provisionallyValid()) return {};
  refresh();
  host::UpdateResult outcome;
  if (!error_.empty()) {
    outcome.status = host::kFail;
    outcome.diagnostic = error_;
  }
  return outcome;
}

// An update of a feature inside a run of two or more asks whether it can be computed, not
// for the solid: the run's one boolean waits until its solid is needed (a view, a measure,
// a feature of another kind, a reference to its faces, the export), and computing each
// tool against the growing solid, or even alone, would cost more than that boolean. Its
// tool is made now; when the run's boolean fails, the run is computed one feature at a
// time, and the feature at fault keeps its reason, which its next update reports.
bool SolidFeature::provisionallyValid() {
  if (runKind() == RunKind::None || !inRunOfTwoOrMore()) return false;
  Run run = runEndingHere();
  Solid before = solidBefore(run.front());
  if (joinsCutRun() && before.shape.IsNull()) return false;
  if (holds(before.stamp, run, run.size())) return false;
  std::string error;
  return runGuarded(
      [&] {
        if (!booleans::hasSolid(runTool()))
          throw std::runtime_error(name() + ": the feature makes no solid");
      },
      error);
}

// Whether a feature of the same kind stands right before or right after this one.
bool SolidFeature::inRunOfTwoOrMore() {
  auto body = toBody(parentNode());
  if (!body) return false;
  const auto& nodes = body->childNodes();
  const std::size_t at = body->indexOf(this);
  auto sameKind = [&](std::size_t i) {
    auto* feature = nodes[i]->asSolidFeature();
    return feature ? std::optional<bool>(feature->runKind() == runKind()) : std::nullopt;
  };
  for (std::size_t i = at; i > 0; --i) {
    if (auto same = sameKind(i - 1)) {
      if (*same) return true;
      break;
    }
  }
  for (std::size_t i = at + 1; i < nodes.size(); ++i) {
    if (auto same = sameKind(i)) return *same;
  }
  return false;
}

// This feature and the features of its kind right before it, in body order.
SolidFeature::Run SolidFeature::runEndingHere() {
  Run run{this};
  auto body = toBody(parentNode());
  if (!body || runKind() == RunKind::None) return run;
  const auto& nodes = body->childNodes();
  for (std::size_t i = body->indexOf(this); i > 0; --i) {
    auto* feature = nodes[i - 1]->asSolidFeature();
    if (!feature) continue;
    if (feature->runKind() != runKind()) break;
    run.push_back(feature);
  }
  return Run(run.rbegin(), run.rend());
}

SolidFeature::Solid SolidFeature::solidBefore(const SolidFeature* first) {
  auto body = toBody(parentNode());
  auto previous = body ? body->solidFeatureBefore(first) : nullptr;
  if (!previous) return {};
  // One refresh of the feature before: asking it twice would double the work at every
  // feature down the body, exponential in the body's length.
  previous->refresh();
  return {previous->result_, previous->stamp_, previous.get()};
}

SolidFeature::CacheKey SolidFeature::keyOf(std::uint64_t before, const Run& run,
                                           std::size_t count) {
  CacheKey key{before, {}};
  key.entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    key.entries.push_back({run[i]->serial_, run[i]->revision(), run[i]->inputRevision()});
  return key;
}

// Whether the kept result was computed from the first `count` features of `run`.
bool SolidFeature::holds(std::uint64_t before, const Run& run, std::size_t count) const {
  if (!computed_ || key_.before != before || key_.entries.size() != count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const Entry& entry = key_.entries[i];
    if (entry.serial != run[i]->serial_ || entry.own != run[i]->revision()) return false;
    if (entry.inputs != run[i]->inputRevision()) return false;
  }
  return true;
}

// Only this feature and the ones before it are brought up to date; later features
// notice the new stamp when their own result is asked for. The part of the run whose
// results are still valid is reused; the rest is cut at once.
void SolidFeature::refresh() {
  Run run = runEndingHere();
  Solid before = solidBefore(run.front());
  if (holds(before.stamp, run, run.size())) return;
  if (extendKept(run, before) != JointCut::Failed) return;
  Solid from = before;
  std::size_t start = firstStale(run, before.stamp, from);
  cutRange(run, start, run.size(), from, before.stamp);
}

// Cuts the features [lo, hi) of `run` from `from` (which becomes the solid after them) as
// one operation. One cut past its budget is split in halves, each with a budget of its
// own, down to single features, which fail alone: cutting the tools one after the other
// would cost far more than the budget just spent. A kernel failure cuts them one at a
// time, so that the feature that caused it reports it.
void SolidFeature::cutRange(const Run& run, std::size_t lo, std::size_t hi, Solid& from,
                            std::uint64_t before) {
  if (hi - lo > 1) {
    SolidFeature& last = *run[hi - 1];
    JointCut how = last.cutTogether(run, lo, hi, from, before);
    if (how == JointCut::Done) {
      from = {last.result_, last.stamp_, &last};
      return;
    }
    if (how == JointCut::Interrupted) {
      const std::size_t mid = lo + (hi - lo) / 2;
      cutRange(run, lo, mid, from, before);
      cutRange(run, mid, hi, from, before);
      return;
    }
  }
  for (std::size_t i = lo; i < hi; ++i) {
    run[i]->compute(from, keyOf(before, run, i + 1));
    from = {run[i]->result_, run[i]->stamp_, run[i]};
  }
}

// The index of the first run feature after the last one whose result is still valid;
// `from` becomes the solid that feature starts from.
std::size_t SolidFeature::firstStale(const Run& run, std::uint64_t before, Solid& from) {
  for (std::size_t i = run.size() - 1; i > 0; --i) {
    const SolidFeature* valid = run[i - 1];
    if (valid->holds(before, run, i)) {
      from = {valid->result_, valid->stamp_, valid};
      return i;
    }
  }
  return 0;
}

// Runs `work` (a cut of some of the run's tools) under the guard; tells a spent budget
// from a kernel failure.
SolidFeature::JointCut SolidFeature::guardedCut(const std::function<void()>& work,
                                                std::string& error) {
  bool interrupted = false;
  bool ok = runGuarded(
      [&] {
        try {
          work();
        } catch (const KernelInterrupted&) {
          interrupted = true;
          throw;
        }
      },
      error);
  if (ok) return JointCut::Done;
  return interrupted ? JointCut::Interrupted : JointCut::Failed;
}

// The features of `run` that the kept result has not cut yet, when it cut all the others
// unchanged; empty when the kept result cannot be carried on.
std::vector<SolidFeature*> SolidFeature::addedSinceKept(const Run& run) const {
  std::map<std::uint64_t, const Entry*> kept;
  for (const Entry& entry : key_.entries) kept[entry.serial] = &entry;
  std::vector<SolidFeature*> added;
  for (SolidFeature* feature : run) {
    auto found = kept.find(feature->serial_);
    if (found == kept.end()) {
      added.push_back(feature);
      continue;
    }
    const Entry& entry = *found->second;
    if (entry.own != feature->revision() || entry.inputs != feature->inputRevision()) return {};
    kept.erase(found);
  }
  if (!kept.empty()) return {};
  return added;
}

// A run whose last feature still holds the cut of some of its tools, all unchanged, from
// the same solid before (the run grew by features placed inside it) needs only the new
// tools cut from that result: cuts give the same solid in any order, so a refresh costs
// what the new items cost rather than the whole run again.
SolidFeature::JointCut SolidFeature::extendKept(const Run& run, const Solid& before) {
  if (!computed_ || !error_.empty() || !record_ || key_.before != before.stamp || before.stamp == 0)
    return JointCut::Failed;
  if (key_.entries.empty() || key_.entries.size() >= run.size()) return JointCut::Failed;
  const std::vector<SolidFeature*> added = addedSinceKept(run);
  if (added.empty()) return JointCut::Failed;
  TopoDS_Shape shape;
  std::shared_ptr<HistoryRecord> record;
  std::string error;
  bool trusted = false;
  JointCut how = guardedCut(
      [&] {
        std::vector<TopoDS_Shape> tools;
        for (SolidFeature* feature : added) tools.push_back(feature->runTool());
        Handle(BRepTools_History) history;
        booleans::WarningWatch watch;
        shape = joined(result_, tools, &history);
        trusted = trusts(watch, run);
        check(shape, name(), trusted);
        record = std::make_shared<HistoryRecord>(*record_, shape, history, run.size());
        for (std::size_t i = 0; i < added.size(); ++i)
          record->setMade(added[i]->serial_, imagesOf(tools[i], history, record->faces()));
      },
      error);
  // Past its budget, the run is cut again from the solid before it, in halves if need be.
  if (how == JointCut::Done)
    accept(shape, keyOf(before.stamp, run, run.size()), std::move(record), trusted);
  return how == JointCut::Done ? how : JointCut::Failed;
}

// Cuts the features [start, end) of `run`, this being the last of them, from `from`.
SolidFeature::JointCut SolidFeature::cutTogether(const Run& run, std::size_t start, std::size_t end,
                                                 const Solid& from, std::uint64_t before) {
  if (joinsCutRun() && from.shape.IsNull()) return JointCut::Failed;
  TopoDS_Shape shape;
  std::shared_ptr<HistoryRecord> record;
  std::string error;
  bool trusted = false;
  JointCut how = guardedCut(
      [&] {
        std::vector<TopoDS_Shape> tools;
        tools.reserve(end - start);
        for (std::size_t i = start; i < end; ++i) tools.push_back(run[i]->runTool());
        Handle(BRepTools_History) history;
        booleans::WarningWatch watch;
        shape = joined(from.shape, tools, &history);
        trusted = trusts(watch, run);
        check(shape, name(), trusted);
        // Each feature of the run made the walls its own tool left in the solid.
        record = std::make_shared<HistoryRecord>(shape, history, end - start);
        for (std::size_t i = start; i < end; ++i)
          record->setMade(run[i]->serial_, imagesOf(tools[i - start], history, record->faces()));
      },
      error);
  if (how == JointCut::Done) accept(shape, keyOf(before, run, end), std::move(record), trusted);
  return how;
}

// The run's one boolean of `tools` with `from`: a cut, or a union whose faces that meet in
// one surface are merged, as each addition alone merges them. A union of the body's first
// features starts from the first tool.
TopoDS_Shape SolidFeature::joined(const TopoDS_Shape& from, std::vector<TopoDS_Shape> tools,
                                  Handle(BRepTools_History) * history) {
  if (joinsCutRun()) return booleans::cut(from, tools, name(), history);
  TopoDS_Shape object = from;
  if (object.IsNull()) {
    object = tools.front();
    tools.erase(tools.begin());
  }
  return booleans::fuseMerged(object, tools, name(), history);
}

void SolidFeature::compute(const Solid& before, CacheKey key) {
  TopoDS_Shape built;
  std::shared_ptr<HistoryRecord> record;
  std::string error;
  bool trusted = false;
  published_ = FeatureHistory();
  publishedCopies_ = Copies();
  publishedValidAsMade_ = false;
  bool ok = runGuarded(
      [&] {
        booleans::WarningWatch watch;
        built = build(before.shape);
        trusted = trusts(watch);
        check(built, name(), trusted, before.shape);
        record = recordOf(before.shape, built);
      },
      error);
  published_ = FeatureHistory();
  Copies copies = std::move(publishedCopies_);
  publishedCopies_ = Copies();
  if (ok) {
    // Only a result checked whole needs no check when the body's solid is shown.
    const bool unchecked = trusted || !before.shape.IsNull();
    accept(built, std::move(key), std::move(record), unchecked);
    if (unchecked) copies_ = std::move(copies);
    validAsMade_ = publishedValidAsMade_ && !distrusted_;
    // The solid before is carried on now; its faces are mapped again should anyone ask.
    if (before.owner && before.owner->record_) before.owner->record_->letFacesGo();
    return;
  }
  noteModelChange();
  computed_ = true;
  unchecked_ = false;
  copies_ = Copies();
  validAsMade_ = false;
  key_ = std::move(key);
  error_ = error;
  result_ = before.shape;
  stamp_ = before.stamp;
  // A failed feature passes the solid on untouched and made nothing.
  record_ = std::make_shared<HistoryRecord>(result_, nullptr, 1);
}

// The record of a computation of this feature alone, from what build() published.
std::shared_ptr<HistoryRecord> SolidFeature::recordOf(const TopoDS_Shape& before,
                                                      const TopoDS_Shape& built) {
  auto record = std::make_shared<HistoryRecord>(built, published_.history, 1);
  if (!published_.madeGiven) {
    record->setMade(serial_, record->newFaces(before));
    return record;
  }
  TopTools_IndexedMapOfShape made;
  for (TopTools_ListIteratorOfListOfShape it(published_.made); it.More(); it.Next()) {
    if (record->faces().Contains(it.Value())) made.Add(it.Value());
  }
  record->setMade(serial_, std::move(made));
  return record;
}

void SolidFeature::accept(const TopoDS_Shape& shape, CacheKey key,
                          std::shared_ptr<HistoryRecord> record, bool unchecked) {
  noteModelChange();
  computed_ = true;
  unchecked_ = unchecked;
  key_ = std::move(key);
  error_.clear();
  result_ = shape;
  stamp_ = nextStamp();
  record_ = std::move(record);
  copies_ = Copies();
  validAsMade_ = false;
}

// A result made by booleans of valid shapes that reported no warning is valid: the kernel's
// full check, which costs as much as the boolean, is left to the body's solid when it is
// shown or exported (checkedNow()). The solid before a feature was accepted, so is valid;
// the features that answer validFromCleanBooleans() cut or add tools made by the kernel
// from checked profiles (a prism of a checked face is valid), or copies of valid solids.
bool SolidFeature::trusts(const booleans::WarningWatch& watch) const {
  return !distrusted_ && validFromCleanBooleans() && watch.clean();
}

bool SolidFeature::trusts(const booleans::WarningWatch& watch, const Run& run) const {
  if (!watch.clean()) return false;
  for (const SolidFeature* feature : run) {
    if (feature->distrusted_ || !feature->validFromCleanBooleans()) return false;
  }
  return true;
}

bool SolidFeature::checkedNow() {
  refresh();
  if (!unchecked_) return true;
  unchecked_ = false;
  std::string error;
  const bool valid = runGuarded([&] { checkWhole(); }, error);
  copies_ = Copies();
  return valid;
}

// A rigid copy of a valid face is valid, so the faces the result keeps of copies are
// checked through their sources. Should a source fail, the result is checked as a whole:
// its invalid part may not have been kept.
void SolidFeature::checkWhole() {
  if (copies_.copies.empty() || !std::all_of(copies_.sources.begin(), copies_.sources.end(),
                                             [](const TopoDS_Shape& s) { return solidIsValid(s); }))
    return checkValid(result_, name());
  TopTools_IndexedMapOfShape known;
  for (const TopoDS_Shape& copy : copies_.copies) TopExp::MapShapes(copy, TopAbs_FACE, known);
  if (!solidIsValidGiven(result_, known))
    throw std::runtime_error(name() + ": the kernel produced an invalid solid");
}

bool SolidFeature::validAsMade() {
  refresh();
  return validAsMade_;
}

void SolidFeature::distrust() {
  noteModelChange();
  distrusted_ = true;
  computed_ = false;
  record_.reset();
}

}  // namespace occt_host
