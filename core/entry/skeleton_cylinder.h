// The fixed fallback geometry: a circle on the XY plane padded along +Z.
#pragma once

#include "entry/import_result.h"
#include "host/document.h"

namespace kestrun {

std::int32_t drawSkeletonCylinder(host::Document& document, double radius, double height,
                                  ImportResult& result);

}  // namespace kestrun
