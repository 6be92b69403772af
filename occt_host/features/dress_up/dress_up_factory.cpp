#include "features/dress_up/dress_up_factory.h"

#include <cmath>

#include "features/dress_up/chamfer.h"
#include "features/dress_up/draft.h"
#include "features/dress_up/fillet.h"
#include "features/dress_up/shell.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/part.h"
#include "topology/topology_reference.h"

namespace occt_host {

namespace {

bool positive(double value) {
  return std::isfinite(value) && value > 0;
}

// Every object is a face or edge reference of this host.
bool references(const host::SpecObjectList& objects) {
  for (const auto& object : objects) {
    if (!std::dynamic_pointer_cast<TopologyReference>(object)) return false;
  }
  return true;
}

bool knownPropagation(int propagation) {
  return propagation == host::kPropagationNone || propagation == host::kPropagationTangent;
}

}  // namespace

host::SpecObjectPtr DressUpFactory::place(const std::shared_ptr<TreeNode>& feature) noexcept {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    if (host::failed(part_.addFeature(feature))) return nullptr;
    return feature;
  });
}

host::SpecObjectPtr DressUpFactory::createSolidFillet(const host::SpecObjectList& edges,
                                                      double radius, int propagation) {
  if (edges.empty() || !references(edges) || !positive(radius) || !knownPropagation(propagation))
    return nullptr;
  return guarded(nullptr, [&] {
    return place(std::make_shared<FilletFeature>(part_.nextName("EdgeFillet"), edges, radius));
  });
}

host::SpecObjectPtr DressUpFactory::createChamfer(const host::SpecObjectList& edges,
                                                  int propagation, host::ChamferMode mode,
                                                  double first, double second, int orientation) {
  bool sizes = mode == host::ChamferMode::TwoLengths
                   ? positive(first) && positive(second)
                   : positive(first) && positive(second) && second < 90.0;
  bool oriented = orientation == host::kChamferOrientationNormal ||
                  orientation == host::kChamferOrientationContrary;
  if (edges.empty() || !references(edges) || !sizes || !oriented || !knownPropagation(propagation))
    return nullptr;
  return guarded(nullptr, [&] {
    return place(std::make_shared<ChamferFeature>(part_.nextName("Chamfer"), edges, mode, first,
                                                  second, orientation));
  });
}

host::SpecObjectPtr DressUpFactory::createShell(const host::SpecObjectList& openFaces, double inner,
                                                double outer) {
  bool sizes = std::isfinite(inner) && std::isfinite(outer) && inner >= 0 && outer >= 0 &&
               (inner > 0) != (outer > 0);
  if (!references(openFaces) || !sizes) return nullptr;
  return guarded(nullptr, [&] {
    return place(std::make_shared<ShellFeature>(part_.nextName("Shell"), openFaces, inner, outer));
  });
}

host::SpecObjectPtr DressUpFactory::createDraft(const host::SpecObjectList& faces,
                                                const host::SpecObjectPtr& neutral,
                                                const host::Vec3& pullDirection,
                                                double angleDegrees) {
  bool angle = std::isfinite(angleDegrees) && std::abs(angleDegrees) < 90.0;
  double length = host::norm(pullDirection);
  if (faces.empty() || !references(faces) || !references({neutral}) || !angle ||
      !std::isfinite(length) || !(length > 0))
    return nullptr;
  return guarded(nullptr, [&] {
    return place(std::make_shared<DraftFeature>(part_.nextName("Draft"), faces, neutral,
                                                pullDirection, angleDegrees));
  });
}

}  // namespace occt_host
