#include "occt_host/model/object.h"

namespace occt_host {

std::shared_ptr<void> Object::answer(host::InterfaceId id) noexcept {
  try {
    std::shared_ptr<Object> self = shared_from_this();
    void* found = id == host::kUnknownId ? static_cast<void*>(identity()) : findInterface(id);
    if (!found) return nullptr;
    return std::shared_ptr<void>(self, found);
  } catch (...) {
    // An object not owned by a shared_ptr has no handle to give.
    return nullptr;
  }
}

}  // namespace occt_host
