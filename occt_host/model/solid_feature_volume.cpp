// The volume of a cutting run measured without the run's joint cut.
//
// A report measures the body after every item. For a run of cuts that grows by one tool per
// item (a perforated plate), cutting the whole run again at each measure costs the run's
// size every time, quadratic over the document. When the run's tools lie apart from one
// another, the run removes from the solid before it exactly the sum of what each tool
// removes alone. That share is measured on the tool itself where the solid around it is a
// stack of planes across it (a plate around a bore, kernel/prism_removal.h), and otherwise
// from the tool's own cut from the solid before the run.
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <stdexcept>
#include <string>

#include "features/boolean/boolean_ops.h"
#include "kernel/kernel_guard.h"
#include "kernel/prism_removal.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

// This feature's tool for its current revisions `now`, kept for the measures of its run.
bool SolidFeature::aloneTool(const Solid& before, const Entry& now) {
  if (alone_.before == before.stamp && alone_.own == now.own && alone_.inputs == now.inputs &&
      !alone_.tool.IsNull())
    return true;
  alone_ = AloneCut();
  std::string error;
  return runGuarded(
      [&] {
        alone_.tool = runTool();
        alone_.before = before.stamp;
        alone_.own = now.own;
        alone_.inputs = now.inputs;
      },
      error);
}

// The tool alone (aloneTool() has made it), cut from `before`: the first feature's own
// result (it was computed on its own from that solid), or cut now. Only a measure asks for
// it, so a draw without a report never cuts it.
bool SolidFeature::aloneCut(const Solid& before, const Run& run) {
  if (!alone_.result.IsNull()) return true;
  if (run.front() == this && holds(before.stamp, run, 1)) {
    if (!error_.empty()) return false;
    alone_.result = result_;
    return true;
  }
  std::string error;
  return runGuarded(
      [&] {
        TopoDS_Shape alone = booleans::cut(before.shape, {alone_.tool}, name(), nullptr);
        if (!booleans::hasSolid(alone)) throw std::runtime_error(name() + ": nothing is left");
        alone_.result = alone;
      },
      error);
}

// What the tool alone (aloneTool() has made it) takes from `before` (of `beforeVolume`):
// measured on the tool when the solid around it is a stack of planes across it, as around
// a plate's bore, and otherwise from the tool's own cut.
bool SolidFeature::aloneRemoval(const Solid& before, const Run& run, double beforeVolume,
                                double& removed) {
  if (run.front() == this && holds(before.stamp, run, 1) && !error_.empty()) return false;
  if (!alone_.removedKnown) {
    double measured = 0;
    Bnd_Box box;
    if (run.front()->slabsOf(before).removedBy(alone_.tool, measured, &box)) {
      if (!alone_.boxed) {
        alone_.box = box;
        alone_.boxed = true;
      }
      // A tool that takes all there is fails its cut; the cut tells how.
      if (beforeVolume - measured <= 1e-9 * beforeVolume) return false;
    } else {
      if (!aloneCut(before, run)) return false;
      GProp_GProps props;
      BRepGProp::VolumeProperties(alone_.result, props);
      measured = beforeVolume - props.Mass();
    }
    alone_.removed = measured;
    alone_.removedKnown = true;
  }
  removed = alone_.removed;
  return true;
}

const SlabFaces& SolidFeature::slabsOf(const Solid& before) {
  if (!slabs_.faces || slabs_.before != before.stamp) {
    slabs_.faces = std::make_shared<const SlabFaces>(before.shape);
    slabs_.before = before.stamp;
  }
  return *slabs_.faces;
}

const Bnd_Box& SolidFeature::aloneBox() {
  if (!alone_.boxed) {
    BRepBndLib::Add(alone_.tool, alone_.box, false);
    alone_.boxed = true;
  }
  return alone_.box;
}

bool SolidFeature::keyEquals(const CacheKey& a, const CacheKey& b) {
  return a.entries.size() == b.entries.size() && keyStartsWith(a, b);
}

bool SolidFeature::keyStartsWith(const CacheKey& a, const CacheKey& b) {
  if (a.before != b.before || a.entries.size() < b.entries.size()) return false;
  for (std::size_t i = 0; i < b.entries.size(); ++i) {
    const Entry& x = a.entries[i];
    const Entry& y = b.entries[i];
    if (x.serial != y.serial || x.own != y.own || x.inputs != y.inputs) return false;
  }
  return true;
}

// Only for a stale run of two or more cuts; anything the shortcut cannot vouch for (a tool
// whose box meets another's, a feature never cut alone) leaves the measure to the solid.
bool SolidFeature::volumeWithoutJointCut(double& mm3) {
  if (!joinsCutRun()) return false;
  Run run = runEndingHere();
  if (run.size() < 2) return false;
  auto body = toBody(parentNode());
  auto previous = body ? body->solidFeatureBefore(run.front()) : nullptr;
  if (!previous) return false;
  Solid before = solidBefore(run.front());
  if (before.shape.IsNull() || holds(before.stamp, run, run.size())) return false;
  double beforeVolume = 0;
  if (!previous->volume(beforeVolume)) return false;
  return runVolumeFrom(run, before, beforeVolume, mm3);
}

// The run's revisions are read once: reading a boolean's inputs brings its tool body up to
// date. A measure of the same run again is kept; the run before this feature, when its last
// feature measured it and nothing in it changed since, gives all but this feature's share;
// otherwise every pair of tools is checked once.
bool SolidFeature::runVolumeFrom(const Run& run, const Solid& before, double beforeVolume,
                                 double& mm3) {
  const std::size_t count = run.size();
  SolidFeature& last = *run[count - 1];
  CacheKey key = keyOf(before.stamp, run, count);
  if (last.runVolume_.valid && keyEquals(last.runVolume_.key, key)) {
    mm3 = last.runVolume_.volume;
    return true;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (!run[i]->aloneTool(before, key.entries[i])) return false;
  }
  const RunVolume& prior = run[count - 2]->runVolume_;
  double volume = beforeVolume;
  std::size_t from = 0;
  if (prior.valid && prior.key.entries.size() == count - 1 && keyStartsWith(key, prior.key)) {
    volume = prior.volume;
    from = count - 1;
  }
  for (std::size_t i = from; i < count; ++i) {
    double removed = 0;
    if (!run[i]->aloneRemoval(before, run, beforeVolume, removed)) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (!run[i]->aloneBox().IsOut(run[j]->aloneBox())) return false;
    }
    volume -= removed;
  }
  last.runVolume_ = {std::move(key), volume, true};
  mm3 = volume;
  return true;
}

}  // namespace occt_host
