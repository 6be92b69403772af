// The volume of a cutting run measured without the run's joint cut.
//
// A report measures the body after every item. For a run of cuts that grows by one tool per
// item (a perforated plate), cutting the whole run again at each measure costs the run's
// size every time, quadratic over the document. When the run's tools lie apart from one
// another, the run removes from the solid before it exactly the sum of what each tool
// removes alone, and the update of each feature has already cut its tool alone to check it.
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <stdexcept>
#include <string>

#include "features/boolean/boolean_ops.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

void SolidFeature::keepAloneCut(std::uint64_t before, const TopoDS_Shape& tool,
                                const TopoDS_Shape& result) {
  alone_ = AloneCut();
  alone_.before = before;
  alone_.own = revision();
  alone_.inputs = inputRevision();
  alone_.tool = tool;
  alone_.result = result;
}

// This feature's tool alone, cut from `before`, for its current inputs: kept from the last
// measure, or the first feature's own result (it was computed on its own from that solid),
// or cut now. Only a measure asks for it, so a draw without a report never cuts it.
bool SolidFeature::aloneCut(const Solid& before, const Run& run) {
  const bool current =
      alone_.before == before.stamp && alone_.own == revision() && alone_.inputs == inputRevision();
  if (current && !alone_.result.IsNull()) return true;
  if (run.front() == this && holds(before.stamp, run, 1)) {
    if (!error_.empty()) return false;
    keepAloneCut(before.stamp, runTool(), result_);
    return true;
  }
  std::string error;
  return runGuarded(
      [&] {
        TopoDS_Shape tool = runTool();
        TopoDS_Shape alone = booleans::cut(before.shape, {tool}, name(), nullptr);
        if (!booleans::hasSolid(alone)) throw std::runtime_error(name() + ": nothing is left");
        keepAloneCut(before.stamp, tool, alone);
      },
      error);
}

double SolidFeature::aloneVolume() {
  if (!alone_.measured) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(alone_.result, props);
    alone_.volume = props.Mass();
    alone_.measured = true;
  }
  return alone_.volume;
}

const Bnd_Box& SolidFeature::aloneBox() {
  if (!alone_.boxed) {
    BRepBndLib::Add(alone_.tool, alone_.box);
    alone_.boxed = true;
  }
  return alone_.box;
}

bool SolidFeature::keyEquals(const CacheKey& a, const CacheKey& b) {
  if (a.before != b.before || a.entries.size() != b.entries.size()) return false;
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
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
  auto body = std::dynamic_pointer_cast<Body>(parentNode());
  auto previous = body ? body->solidFeatureBefore(run.front()) : nullptr;
  if (!previous) return false;
  Solid before = solidBefore(run.front());
  if (before.shape.IsNull() || holds(before.stamp, run, run.size())) return false;
  double beforeVolume = 0;
  if (!previous->volume(beforeVolume)) return false;
  return runVolumeFrom(run, before, beforeVolume, mm3);
}

// The run before this feature, when its last feature measured it the same way and nothing
// in it changed since, gives all but this feature's share; otherwise every pair of tools is
// checked once.
bool SolidFeature::runVolumeFrom(const Run& run, const Solid& before, double beforeVolume,
                                 double& mm3) {
  const std::size_t count = run.size();
  for (SolidFeature* feature : run) {
    if (!feature->aloneCut(before, run)) return false;
  }
  SolidFeature& last = *run[count - 1];
  SolidFeature& prior = *run[count - 2];
  double volume = 0;
  std::size_t from = 0;
  if (prior.runVolume_.valid &&
      keyEquals(prior.runVolume_.key, keyOf(before.stamp, run, count - 1))) {
    volume = prior.runVolume_.volume;
    from = count - 1;
  } else {
    volume = beforeVolume;
  }
  for (std::size_t i = from; i < count; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (!run[i]->aloneBox().IsOut(run[j]->aloneBox())) return false;
    }
    volume -= beforeVolume - run[i]->aloneVolume();
  }
  last.runVolume_ = {keyOf(before.stamp, run, count), volume, true};
  mm3 = volume;
  return true;
}

}  // namespace occt_host
