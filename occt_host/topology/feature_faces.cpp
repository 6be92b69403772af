#include "occt_host/topology/feature_faces.h"

#include <algorithm>

#include "features/boolean/boolean.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

namespace {

// One computation on the way to a solid, with the features it stands for.
struct Step {
  HistoryRecordPtr record;
  std::vector<SolidFeature*> covered;
};

// Every result of a chain keeps every feature's faces, which over a long chain is the square
// of its length; of the results a later one was carried on from, only every this many keeps
// them, so that an ask about an earlier result walks back this many steps at most.
constexpr std::size_t kKeptEvery = 32;

// The computations that produced the solid after `through`, first to last, back to the
// latest one whose faces are known already: `known` receives those and `from` its record
// (null: from the start).
std::vector<Step> stepsTo(SolidFeature& through, std::shared_ptr<const FacesByFeature>& known,
                          HistoryRecordPtr& from) {
  std::vector<Step> steps;
  auto body = std::dynamic_pointer_cast<Body>(through.parentNode());
  std::shared_ptr<SolidFeature> current = std::static_pointer_cast<SolidFeature>(through.self());
  // Refreshing `through` brought every feature before it up to date.
  HistoryRecordPtr record = through.historyRecord();
  while (current) {
    if (!record) record = current->historyRecord();
    // A chain asks for its faces after every item: carrying the last answer on makes each
    // ask cost one step, not the whole history again.
    if (!steps.empty() && (known = record->cachedFaces())) {
      from = record;
      break;
    }
    Step step{record, {current.get()}};
    std::shared_ptr<SolidFeature> first = current;
    for (std::size_t i = 1; body && i < step.record->covers(); ++i) {
      auto previous = body->solidFeatureBefore(first.get());
      if (!previous) break;
      first = previous;
      step.covered.push_back(first.get());
    }
    steps.push_back(std::move(step));
    current = body ? body->solidFeatureBefore(first.get()) : nullptr;
    record = current ? current->keptHistoryRecord() : nullptr;
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

// The faces of the features of a body merged in by a boolean of `step`, on its result.
void mergeToolFaces(const Step& step, FacesByFeature& faces) {
  for (SolidFeature* feature : step.covered) {
    auto boolean = dynamic_cast<BooleanFeature*>(feature);
    auto tool = boolean ? boolean->toolBody() : nullptr;
    auto tip = tool ? tool->solidFeatureBefore(nullptr) : nullptr;
    if (!tip) continue;
    for (const auto& [serial, own] : *facesByFeature(*tip))
      faces[serial] = step.record->follow(own);
  }
}

std::shared_ptr<const FacesByFeature> collect(SolidFeature& through, HistoryRecordPtr& from,
                                              std::size_t& depth) {
  std::shared_ptr<const FacesByFeature> known;
  std::vector<Step> steps = stepsTo(through, known, from);
  depth = (from ? from->cachedFacesDepth() : 0) + steps.size();
  auto faces =
      known ? std::make_shared<FacesByFeature>(*known) : std::make_shared<FacesByFeature>();
  for (const Step& step : steps) {
    for (auto& entry : *faces) entry.second = step.record->follow(entry.second);
    mergeToolFaces(step, *faces);
    for (const auto& [serial, made] : step.record->made()) (*faces)[serial] = made;
  }
  return faces;
}

}  // namespace

std::shared_ptr<const FacesByFeature> facesByFeature(SolidFeature& through) {
  HistoryRecordPtr record = through.historyRecord();
  if (auto cached = record->cachedFaces()) return cached;
  HistoryRecordPtr from;
  std::size_t depth = 0;
  auto faces = collect(through, from, depth);
  record->cacheFaces(faces, depth);
  if (from && from != record && from->cachedFacesDepth() % kKeptEvery != 0)
    from->cacheFaces(nullptr, 0);
  return faces;
}

TopTools_IndexedMapOfShape facesOf(const SolidFeature& feature, SolidFeature& through) {
  auto faces = facesByFeature(through);
  auto found = faces->find(feature.serial());
  return found == faces->end() ? TopTools_IndexedMapOfShape() : found->second;
}

// A body that a boolean took as its tool lives on in the boolean's own body, so the
// solid its features' faces now stand on is that body's.
std::shared_ptr<SolidFeature> bodyTip(SolidFeature& feature) {
  auto body = std::dynamic_pointer_cast<Body>(feature.parentNode());
  while (body) {
    auto boolean = std::dynamic_pointer_cast<BooleanFeature>(body->parentNode());
    auto outer = boolean ? std::dynamic_pointer_cast<Body>(boolean->parentNode()) : nullptr;
    if (!outer) break;
    body = outer;
  }
  auto tip = body ? body->solidFeatureBefore(nullptr) : nullptr;
  return tip ? tip : std::static_pointer_cast<SolidFeature>(feature.self());
}

TopTools_IndexedMapOfShape facesOnBody(SolidFeature& feature) {
  return facesOf(feature, *bodyTip(feature));
}

namespace {

void gatherFeatures(Body& body, std::vector<std::shared_ptr<SolidFeature>>& out) {
  for (const auto& node : body.childNodes()) {
    auto feature = std::dynamic_pointer_cast<SolidFeature>(node);
    if (!feature) continue;
    if (auto boolean = std::dynamic_pointer_cast<BooleanFeature>(feature)) {
      if (auto tool = boolean->toolBody()) gatherFeatures(*tool, out);
    }
    out.push_back(feature);
  }
}

}  // namespace

std::vector<std::pair<std::shared_ptr<SolidFeature>, TopTools_IndexedMapOfShape>>
featureFacesOfBody(Body& body) {
  std::vector<std::pair<std::shared_ptr<SolidFeature>, TopTools_IndexedMapOfShape>> out;
  auto tip = body.solidFeatureBefore(nullptr);
  if (!tip) return out;
  auto faces = facesByFeature(*tip);
  std::vector<std::shared_ptr<SolidFeature>> features;
  gatherFeatures(body, features);
  for (const auto& feature : features) {
    auto found = faces->find(feature->serial());
    if (found != faces->end() && found->second.Extent() > 0)
      out.emplace_back(feature, found->second);
  }
  return out;
}

}  // namespace occt_host
