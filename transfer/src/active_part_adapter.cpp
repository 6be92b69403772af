#include "vantrel/active_part_adapter.h"

namespace vantrel {

GeometryUpdateResult ActivePartAdapter::ClearAll() {
  GeometryUpdatePlan empty;
  empty.updateMode = kUpdateModeFullRedraw;
  return ApplyUpdate(empty);
}

GeometryUpdateResult UnwiredActivePartAdapter::ApplyUpdate(const GeometryUpdatePlan&) {
  GeometryUpdateResult result;
  result.succeeded = false;
  result.errorCode = "catia.noActivePart";
  result.errorMessage = "CATIA CAA active Part adapter is not wired.";
  return result;
}

}  // namespace vantrel
