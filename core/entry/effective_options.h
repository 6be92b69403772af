// The entry's private copy of the caller's options, with its corrections applied.
#pragma once

#include <cstdint>

#include "kestrun/kestrun.h"

namespace kestrun {

struct EffectiveOptions {
  int mode = 0;
  bool clearPart = true;
  double radius = 300.0;
  double height = 500.0;
  const ProductPreparedPart* preparedParts = nullptr;
  std::uint64_t preparedPartCount = 0;
  std::uint32_t drawDelayMs = 0;
};

EffectiveOptions effectiveOptions(const MardelImportOptions* options);

}  // namespace kestrun
