#include "entry/part_access.h"

namespace kestrun {

PartAccess reachPart(host::Document& document, ImportResult& result) {
  PartAccess access;
  auto roots = document.query<host::DocumentRoots>();
  if (!roots) {
    result.fail(kCodeDocument, "CATDocument does not implement CATInit.");
    return {};
  }
  access.container =
      host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
  if (!access.container) {
    result.fail(kCodeDocument, "CATIPrtContainer not found.");
    return {};
  }
  access.partObject = access.container->part();
  access.part = host::query<host::Part>(access.partObject);
  if (!access.part) {
    result.fail(kCodeDocument, "CATIPrtPart not found.");
    return {};
  }
  return access;
}

}  // namespace kestrun
