#pragma once
// Drops the points a survey adds to a closed outline (a block's plan, any
// ring of points standing on CKelCoord2D): doubled points, a notch's
// corners, points splitting an edge. Each step decides by distances alone,
// never by which of several equal candidates comes first, so the same
// points stay wherever the outline lies: a curved wall drawn in short
// chords stays as drawn, where a greedy removal (the vertex moving the area
// least first) would take a different share of its chords at each
// placement.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelCoord.h"
#include "KelGeometry.h"
#include "KelOutlineIndex.h"

namespace kel_survey {

// Keeps the marked vertices when at least three are left. True when any
// went.
template <class Ring>
bool KeepMarked(Ring& ring, const std::vector<bool>& keep)
{
  if (std::count(keep.begin(), keep.end(), true) < 3 || std::count(keep.begin(), keep.end(), false) == 0)
    return false;
  Ring kept;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    if (keep[i])
      kept.push_back(ring[i]);
  }
  ring.swap(kept);
  return true;
}

// A cluster of neighbours each within tol of the next and all within tol of
// its first (a doubled point, a notch's corners) becomes the one of them
// that stands for it with the least area moved.
template <class Ring>
bool MergeClusters(Ring& ring, double tol)
{
  const std::size_t n = ring.size();
  std::size_t start = 0;
  while (start < n && length_2point(ring[(start + n - 1) % n], ring[start]) <= tol)
    ++start;
  if (start == n)
    return false;  // the whole outline within the band: nothing to tell apart
  std::vector<bool> keep(n, true);
  for (std::size_t k = 0; k < n;) {
    const std::size_t first = (start + k) % n;
    std::size_t len = 1;
    while (k + len < n && length_2point(ring[(first + len - 1) % n], ring[(first + len) % n]) <= tol &&
           length_2point(ring[first], ring[(first + len) % n]) <= tol)
      ++len;
    if (len > 1) {
      const CKelCoord2D before = ring[(first + n - 1) % n];
      const CKelCoord2D after = ring[(first + len) % n];
      std::vector<CKelCoord2D> drawn{before};
      for (std::size_t j = 0; j < len; ++j)
        drawn.push_back(ring[(first + j) % n]);
      drawn.push_back(after);
      const double whole = SignedShoelaceArea(drawn);
      std::size_t best = 0;
      double least = 0;
      for (std::size_t j = 0; j < len; ++j) {
        const std::vector<CKelCoord2D> one{before, ring[(first + j) % n], after};
        const double moved = std::fabs(whole - SignedShoelaceArea(one));
        if (j == 0 || moved < least) {
          best = j;
          least = moved;
        }
      }
      for (std::size_t j = 0; j < len; ++j)
        keep[(first + j) % n] = j == best;
    }
    k += len;
  }
  return KeepMarked(ring, keep);
}

// A chain of vertices each within tol of the segment between its
// neighbours goes when every one of them lies within tol of the segment
// between the corners at its ends (points splitting an edge, to the
// survey's millimetre); a chain that draws more (a curve in short chords)
// stays.
template <class Ring>
bool DropStraightChains(Ring& ring, double tol)
{
  const std::size_t n = ring.size();
  std::vector<bool> onLine(n);
  for (std::size_t i = 0; i < n; ++i)
    onLine[i] = linedist(ring[(i + n - 1) % n], ring[(i + 1) % n], ring[i], nullptr) <= tol;
  const auto corner = std::find(onLine.begin(), onLine.end(), false);
  if (corner == onLine.end())
    return false;
  const auto start = static_cast<std::size_t>(corner - onLine.begin());
  std::vector<bool> keep(n, true);
  for (std::size_t k = 1; k <= n;) {
    if (!onLine[(start + k) % n]) {
      ++k;
      continue;
    }
    std::size_t len = 0;
    while (onLine[(start + k + len) % n])
      ++len;
    const CKelCoord2D& a = ring[(start + k - 1) % n];
    const CKelCoord2D& b = ring[(start + k + len) % n];
    bool straight = true;
    for (std::size_t j = 0; j < len && straight; ++j)
      straight = linedist(a, b, ring[(start + k + j) % n], nullptr) <= tol;
    for (std::size_t j = 0; straight && j < len; ++j)
      keep[(start + k + j) % n] = false;
    k += len;
  }
  return KeepMarked(ring, keep);
}

// Clusters first, then straight chains; three vertices always stay. True
// when any went.
template <class Ring>
bool DropSurveyPoints(Ring& ring, double tol)
{
  if (ring.size() <= 3)
    return false;
  const bool merged = MergeClusters(ring, tol);
  const bool dropped = DropStraightChains(ring, tol);
  return merged || dropped;
}

}  // namespace kel_survey
