#pragma once
// Doubles becoming integers in the regulation library: a value one
// round-off away from a whole number lands on it before it is floored or
// ceiled, so 1.00001 x 100000 is 100001 and not 100002 after a ceiling.

#include <cmath>

#include "KelTolerance.h"

namespace KelSnap {

// x, or the integer within min(IntegerSnap x max(1, |x|), IntegerSnapCap)
// of it.
inline double ToInteger(double x)
{
  const double nearest = std::nearbyint(x);
  const double band = std::fmin(KelTol::IntegerSnap * std::fmax(1.0, std::fabs(x)), KelTol::IntegerSnapCap);
  return std::fabs(x - nearest) <= band ? nearest : x;
}

inline double Ceil(double x) { return std::ceil(ToInteger(x)); }
inline double Floor(double x) { return std::floor(ToInteger(x)); }

}  // namespace KelSnap
