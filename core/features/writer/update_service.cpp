#include "features/writer/update_service.h"

#include <exception>

#include "host/wireframe.h"
#include "log/core_log.h"

namespace kestrun {

host::UpdateResult updateFeature(const host::SpecObjectPtr& feature, bool insertIntoLinearBody) {
  host::UpdateResult result;
  if (!feature) {
    result = {host::kFail, "The Feature to update is NULL."};
  } else {
    try {
      result = feature->update();
    } catch (const std::exception& e) {
      // A host must not throw, but one that does must not take the import down with it.
      result = {host::kFail, e.what()};
    } catch (...) {
      result = {host::kFail, "unknown host error during update"};
    }
  }
  if (result.ok() && insertIntoLinearBody) {
    // A feature of an ordered geometrical set takes its place in the set's order.
    auto set = host::query<host::GeometricalSet>(feature->father());
    if (set && set->setType() == 1) result.status = set->insertIntoLinearBody(feature);
  }
  if (result.status < 0) logOut("(Update) ERROR : " + result.diagnostic);
  return result;
}

}  // namespace kestrun
