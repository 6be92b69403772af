// Removes the existing content of a Part before an import.
#pragma once

#include "entry/import_result.h"
#include "host/document.h"

namespace kestrun {

// Returns the current status, or 2 when the Part cannot be reached or cleared.
std::int32_t clearPart(host::Document& document, ImportResult& result);

}  // namespace kestrun
