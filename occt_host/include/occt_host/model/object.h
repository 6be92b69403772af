// Common base of every host object: shared ownership, identity and interface lookup.
#pragma once

#include <memory>

#include "host/interface_table.h"
#include "host/unknown.h"

namespace occt_host {

// Concrete classes derive from this and from the host interfaces they offer, and
// answer queryInterface with answer(id); findInterface lists the interfaces through
// host::answerAs. Object itself is not a host::Unknown so that the several Unknown
// bases of a class all meet in one final override.
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

 protected:
  Object() = default;

  // The interface subobject for `id`, or null; "host.Unknown" is handled by answer().
  virtual void* findInterface(host::InterfaceId id) = 0;
  // The one Unknown subobject that stands for this object's identity.
  virtual host::Unknown* identity() = 0;

  // Shares ownership with this object; never throws.
  std::shared_ptr<void> answer(host::InterfaceId id) noexcept;
};

}  // namespace occt_host
