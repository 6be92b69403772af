// The objects that joined a Part, in the order they joined it, so that a caller learns
// what one step made without walking the whole feature tree.
#pragma once

#include <cstdint>

#include "host/spec_object.h"
#include "host/unknown.h"

namespace host {

// Answered by the Part.
class CreationJournal : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.CreationJournal";
  // The journal's current end; objects that join later come after it.
  virtual std::uint64_t mark() = 0;
  // The objects that first joined the Part after `mark` and are still in it, in order.
  // An object moved from one place of the Part to another is not new.
  virtual SpecObjectList joinedSince(std::uint64_t mark) = 0;
};

}  // namespace host
