// Reaches the Part of a document through its root container.
#pragma once

#include <memory>

#include "entry/import_result.h"
#include "host/document.h"
#include "host/part.h"

namespace kestrun {

struct PartAccess {
  std::shared_ptr<host::PartContainer> container;
  host::SpecObjectPtr partObject;
  std::shared_ptr<host::Part> part;
  explicit operator bool() const { return container && part; }
};

// On failure records status 2 with code 200 and returns an empty access.
PartAccess reachPart(host::Document& document, ImportResult& result);

}  // namespace kestrun
