// Pattern features, as the import asks for them by capability: a finished import
// recomputes each array feature that answers one of these.
#pragma once

#include "host/unknown.h"

namespace host {

// A rectangular (linear) pattern of features (stands for CATIRectPattern).
class RectPattern : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.RectPattern";
};

// A circular (polar) pattern of features (stands for CATICircPattern).
class CircPattern : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.CircPattern";
};

}  // namespace host
