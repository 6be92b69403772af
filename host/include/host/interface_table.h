// Answers capability queries from the list of interfaces an object implements, so that
// an adapter names each interface once instead of writing a chain of id comparisons:
//
//   void* Pad::findInterface(host::InterfaceId id) {
//     if (void* found = host::answerAs<host::Pad, host::Prism>(this, id)) return found;
//     return SolidFeature::findInterface(id);
//   }
#pragma once

#include "host/unknown.h"

namespace host {

// The `Interfaces` subobject of `self` whose id is `id`, or null; the first match wins.
template <class... Interfaces, class Self>
void* answerAs(Self* self, InterfaceId id) {
  void* found = nullptr;
  (void)((id == Interfaces::kInterfaceId && (found = static_cast<Interfaces*>(self))) || ...);
  return found;
}

}  // namespace host
