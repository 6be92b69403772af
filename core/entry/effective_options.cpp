#include "entry/effective_options.h"

#include <cmath>

namespace kestrun {

EffectiveOptions effectiveOptions(const MardelImportOptions* options) {
  EffectiveOptions out;
  if (options) {
    out.mode = options->mode;
    out.clearPart = options->clearPart != 0;
    out.radius = options->radius;
    out.height = options->height;
    out.preparedParts = options->preparedParts;
    out.preparedPartCount = options->preparedPartCount;
    out.drawDelayMs = static_cast<std::uint32_t>(options->drawDelayMs);
  }
  // NaN and infinity get the defaults too: no kernel builds an infinite cylinder.
  if (!(out.radius > 0.0) || !std::isfinite(out.radius)) out.radius = 300.0;
  if (!(out.height > 0.0) || !std::isfinite(out.height)) out.height = 500.0;
  if (out.mode != 1 && out.mode != 2) out.mode = 0;
  return out;
}

}  // namespace kestrun
