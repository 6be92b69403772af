#include "occt_host/solid_feature.h"

#include <BRepCheck_Analyzer.hxx>

#include <atomic>
#include <stdexcept>

#include "occt_host/body.h"
#include "occt_host/kernel_guard.h"

namespace occt_host {

namespace {

std::uint64_t nextStamp() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

}  // namespace

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

host::UpdateResult SolidFeature::recompute() {
  refresh();
  host::UpdateResult outcome;
  if (!error_.empty()) {
    outcome.status = host::kFail;
    outcome.diagnostic = error_;
  }
  return outcome;
}

// Only this feature and the ones before it are brought up to date; later features
// notice the new stamp when their own result is asked for.
void SolidFeature::refresh() {
  TopoDS_Shape before;
  std::uint64_t beforeStamp = 0;
  if (auto body = std::dynamic_pointer_cast<Body>(parentNode())) {
    if (auto previous = body->solidFeatureBefore(this)) {
      before = previous->result();
      beforeStamp = previous->resultStamp();
    }
  }
  CacheKey key{revision(), inputRevision(), beforeStamp};
  if (computed_ && key == key_) return;
  key_ = key;
  compute(before, beforeStamp);
}

void SolidFeature::compute(const TopoDS_Shape& before, std::uint64_t beforeStamp) {
  computed_ = true;
  error_.clear();
  TopoDS_Shape built;
  bool ok = runGuarded(
      [&] {
        built = build(before);
        if (built.IsNull()) throw std::runtime_error(name() + ": the result is empty");
        if (!BRepCheck_Analyzer(built).IsValid())
          throw std::runtime_error(name() + ": the kernel produced an invalid solid");
      },
      error_);
  if (ok) {
    result_ = built;
    stamp_ = nextStamp();
  } else {
    result_ = before;
    stamp_ = beforeStamp;
  }
}

}  // namespace occt_host
