#include "entry/part_clearing.h"

#include <algorithm>

#include "entry/part_access.h"
#include "features/writer/update_service.h"

namespace kestrun {

namespace {

bool isKept(const host::SpecObjectPtr& element, const host::SpecObjectList& planes,
            const host::SpecObjectPtr& body) {
  if (host::sameObject(element, body)) return true;
  return std::any_of(planes.begin(), planes.end(),
                     [&](const host::SpecObjectPtr& p) { return host::sameObject(element, p); });
}

// Walks from the last descendant to the first so that children go before their fathers.
int removeDescendants(const host::SpecObjectList& all, const host::SpecObjectList& planes,
                      const host::SpecObjectPtr& body) {
  int removed = 0;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    const host::SpecObjectPtr& element = *it;
    if (!element || isKept(element, planes, body)) continue;
    host::SpecObjectPtr father = element->father();
    if (!father || host::sameObject(father, element)) continue;
    auto fatherChildren = father->query<host::Descendants>();
    if (fatherChildren && host::succeeded(fatherChildren->removeChild(element))) ++removed;
  }
  return removed;
}

}  // namespace

std::int32_t clearPart(host::Document& document, ImportResult& result) {
  PartAccess access = reachPart(document, result);
  if (!access) return kStatusFailed;
  auto descendants = access.partObject->query<host::Descendants>();
  if (!descendants) {
    return result.fail(kCodeInput, "CATIDescendants not available for Part clearing.");
  }
  const int removed = removeDescendants(descendants->allDescendants(),
                                        access.part->referencePlanes(), access.part->currentTool());
  updateFeature(access.partObject);
  if (removed > 0) result.fillEmptyWarning("Existing Part content cleared before import.");
  return result.status();
}

}  // namespace kestrun
