#include "occt_host/model/object.h"

#include "kernel/kernel_guard.h"

namespace occt_host {

std::shared_ptr<void> Object::answer(host::InterfaceId id) noexcept {
  // An object not owned by a shared_ptr has no handle to give.
  return guarded(nullptr, [&]() -> std::shared_ptr<void> {
    std::shared_ptr<Object> self = shared_from_this();
    void* found = id == host::kUnknownId ? static_cast<void*>(identity()) : findInterface(id);
    if (!found) return nullptr;
    return std::shared_ptr<void>(self, found);
  });
}

}  // namespace occt_host
