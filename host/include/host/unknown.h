// Base of every host interface. Objects are shared handles; a capability that an
// object may lack is asked for by interface id and answers null when absent, as the
// original platform's interface queries do.
#pragma once

#include <memory>
#include <string_view>

namespace host {

// Ids are compared by text, not by address, because every module hides its symbols
// and a static's address would differ from one shared library to the next.
using InterfaceId = std::string_view;

// The identity every object answers: two handles with equal identities are one object.
constexpr InterfaceId kUnknownId = "host.Unknown";

class Unknown {
 public:
  virtual ~Unknown() = default;

  // Returns a handle to the interface `id`, sharing ownership with this object, or null.
  virtual std::shared_ptr<void> queryInterface(InterfaceId id) = 0;

  template <class T>
  std::shared_ptr<T> query() {
    return std::static_pointer_cast<T>(queryInterface(T::kInterfaceId));
  }
};

// Null-safe query on a handle.
template <class T, class U>
std::shared_ptr<T> query(const std::shared_ptr<U>& object) {
  if (!object) return nullptr;
  return object->template query<T>();
}

// Two handles name the same host object when their identity handles are equal.
template <class A, class B>
bool sameObject(const std::shared_ptr<A>& a, const std::shared_ptr<B>& b) {
  if (!a || !b) return false;
  return a->queryInterface(kUnknownId) == b->queryInterface(kUnknownId);
}

}  // namespace host
