// The angle between neighbouring instances of a circular pattern.
#pragma once

#include <cmath>

namespace kestrun {

// True when `angle` (degrees) is a whole number of turns, 0 included.
inline bool isWholeTurn(double angle) {
  const double r = std::fabs(std::fmod(angle, 360.0));
  return r <= 1e-9 || std::fabs(r - 360.0) <= 1e-9;
}

// A whole turn shares its angle among all n instances (the last would meet the first);
// otherwise the first and the last instance lie `angle` apart.
inline double circularStep(double angle, long long n) {
  if (isWholeTurn(angle)) return angle / static_cast<double>(n);
  return angle / static_cast<double>(n - 1);
}

}  // namespace kestrun
