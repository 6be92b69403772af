#pragma once

#include <memory>

#include "host/document.h"

namespace vantrel::testing {

// The volume of a Part document's main body solid; 0 when it has none.
double PartVolume(const std::shared_ptr<host::Document>& document);

}  // namespace vantrel::testing
