#pragma once
// Doubles becoming integers. Every place where the area calculation turns a
// double into an integer (angles, manual area texts, tsubo products, lengths)
// goes through these, so that values one round-off away from a whole number
// land on it and negative values mirror positive ones.

#include "KelSnap.h"

#include <cmath>
#include <cstdlib>

// x itself, or the integer it lies within
// min(KelTol::IntegerSnap x max(1, |x|), KelTol::IntegerSnapCap) of; call it
// just before floor, ceil or truncation (for half up on x + 0.5, the value
// that is truncated). The same band as the regulation library's.
inline double SnapToInteger(double x) { return KelSnap::ToInteger(x); }

// Beyond this a scaled value (an angle in its last digit, a tsubo product)
// cannot be held in 64 bits; only damaged parameters or settings come near
// it, and they give the limit rather than overflow.
constexpr double kMaxScaledValue = 9.0e18;

// The magnitude of x held to what 64 bits take; 0 for a value that is no
// number at all.
inline double ScaledMagnitude(double x) { return std::isfinite(x) ? std::fmin(std::fabs(x), kMaxScaledValue) : 0.0; }

// Metres to whole micrometres, rounded to the nearest (half away from zero):
// 1.005 m is 1005000 µm although its double lies just below.
inline long long MetresToMicrometres(double metres) { return std::llround(metres * 1000000.0); }
