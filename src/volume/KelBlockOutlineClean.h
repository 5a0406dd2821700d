#pragma once
// The clean-up and the strict self-crossing test of a plan outline, over a
// list of vertices that are plan points: a block's own clean-up and the
// merge of two blocks get their answers from this one code. Edge k runs
// from vertex k - 1 to vertex k, the first being the closing edge from the
// last vertex to the first.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "CKelCoord.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace kel_outline {

inline std::size_t PrevOf(std::size_t i, std::size_t n) { return i == 0 ? n - 1 : i - 1; }

// The sweeps sort by x, which needs every coordinate to be a number.
template <class Ring>
bool AllFinite(const Ring& ring)
{
  return std::all_of(ring.begin(), ring.end(), [](const CKelCoord2D& c) { return std::isfinite(c.m_x) && std::isfinite(c.m_y); });
}

// A bound on the round-off of a cross product and of KelEdge::Measure's h,
// relative to the sizes of their terms: a few ulps, taken far over.
constexpr double kRelRoundOff = 1e-12;

// Whether DeleteOnLine surely keeps vertex p between a and b, shown without
// the square root of their distance L: |dx| + |dy| bounds L from above and
// from below within a factor of the square root of two, and Measure's h is
// the cross product over L up to round-off of its terms. So a cross product
// clear of the band times |dx| + |dy| means h is clear of the band, and an
// |dx| + |dy| over twice the band means L is over it. Anything else (a
// quantity that is not a number too) goes the full way.
inline bool SurelyOffLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  const double across = dx * (p.m_y - a.m_y);
  const double along = dy * (p.m_x - a.m_x);
  const double span = std::fabs(dx) + std::fabs(dy);
  const double terms = std::fabs(across) + std::fabs(along);
  return span > 2 * KelTol::Collinear &&
         std::fabs(across - along) - kRelRoundOff * terms > KelTol::Collinear * span * (1 + kRelRoundOff);
}

// Whether DeleteOnLine removes vertex p between a and b. Coinciding
// neighbours give no direction: the vertex is a spike and goes.
inline bool OnLineOf(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const KelEdge::Direction d(a, b);
  return d.len < KelTol::Collinear || std::fabs(KelEdge::Measure(a, d, p).h) < KelTol::Collinear;
}

// IsLineCrossed with p1 -> p2 given by its start and direction, so that an
// edge tested against many others has its direction worked out once (the
// frames are the same as KelEdge::Measure(p1, p2, q) gives).
inline bool CrossesFrom(const CKelCoord2D& p1, const KelEdge::Direction& d, const CKelCoord2D& q1, const CKelCoord2D& q2)
{
  const double T = KelTol::BlockPoint;
  const KelEdge::Frame a = KelEdge::Measure(p1, d, q1);
  const KelEdge::Frame b = KelEdge::Measure(p1, d, q2);
  const double len = a.len;
  const auto within = [&](double u) { return u >= T && u <= len - T; };
  if (std::fabs(a.h - b.h) < T) {
    if (std::fabs(a.h) >= T || std::fabs(b.h) >= T)
      return false;
    return within(a.t) || within(b.t);
  }
  if ((a.h >= T && b.h >= T) || (a.h <= -T && b.h <= -T))
    return false;
  return within(a.t + (0 - a.h) * (b.t - a.t) / (b.h - a.h));
}

// An edge's box grown by its own size and twice the tolerance (see
// CheckCross).
struct GrownBox {
  double x0, x1, y0, y1;

  GrownBox() = default;
  GrownBox(const CKelCoord2D& p, const CKelCoord2D& q)
  {
    const double margin = 2 * KelTol::BlockPoint;
    const double gx = std::fabs(q.m_x - p.m_x) + margin;
    const double gy = std::fabs(q.m_y - p.m_y) + margin;
    x0 = std::min(p.m_x, q.m_x) - gx;
    x1 = std::max(p.m_x, q.m_x) + gx;
    y0 = std::min(p.m_y, q.m_y) - gy;
    y1 = std::max(p.m_y, q.m_y) + gy;
  }
  bool Meets(const GrownBox& b) const { return x0 <= b.x1 && b.x0 <= x1 && y0 <= b.y1 && b.y0 <= y1; }
};

constexpr std::size_t kShortOutline = 16;

// CheckCross's test of an outline of kShortOutline edges at most (those of
// most merges): every pair whose boxes meet, as the sweep pairs them, on
// the stack. The pairs come in another order, which the answer (whether
// any pair crosses, either way round) does not depend on.
template <class Ring>
bool ShortOutlineCrosses(const Ring& coords)
{
  const std::size_t n = coords.size();
  std::array<GrownBox, kShortOutline> boxes;
  std::array<KelEdge::Direction, kShortOutline> directions;
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& p = coords[k == 0 ? n - 1 : k - 1];
    boxes[k] = GrownBox(p, coords[k]);
    directions[k] = KelEdge::Direction(p, coords[k]);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& a1 = coords[i == 0 ? n - 1 : i - 1];
    for (std::size_t j = i + 1; j < n; ++j) {
      if (!boxes[i].Meets(boxes[j]))
        continue;
      const CKelCoord2D& b1 = coords[j - 1];
      if (CrossesFrom(a1, directions[i], b1, coords[j]) || CrossesFrom(b1, directions[j], a1, coords[i]))
        return true;
    }
  }
  return false;
}

// Whether edge p1 -> p2 crosses an edge of the ring other than the one
// starting at vertex skip.
template <class Ring>
bool EdgeCrossesRing(const Ring& ring, const CKelCoord2D& p1, const CKelCoord2D& p2, std::size_t skip)
{
  const KelEdge::Direction d(p1, p2);
  const std::size_t n = ring.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t start = PrevOf(k, n);
    if (start != skip && CrossesFrom(p1, d, ring[start], ring[k]))
      return true;
  }
  return false;
}

// Whether some edge crosses another, either way round. IsLineCrossed
// reports a crossing only at a point of the line within the first edge's
// span that lies on the second edge or on its extension by at most its own
// length (an end within the tolerance band lets the crossing slide out), so
// only pairs whose boxes, each grown by its own size and twice the
// tolerance, meet can cross: a sweep over those boxes in x finds the same
// answer without the quadratic scan, on long outlines and short ones alike
// (the merges of the set operations test many short ones).
template <class Ring>
bool Crosses(const Ring& ring)
{
  const std::size_t n = ring.size();
  if (!AllFinite(ring)) {
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t start = PrevOf(k, n);
      if (EdgeCrossesRing(ring, ring[start], ring[k], start))
        return true;
    }
    return false;
  }
  if (n <= kShortOutline)
    return ShortOutlineCrosses(ring);
  struct EdgeBox {
    double x0, x1, y0, y1;
    std::size_t start, end;
    KelEdge::Direction d;
  };
  const double margin = 2 * KelTol::BlockPoint;
  std::vector<EdgeBox> boxes;
  boxes.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& p = ring[PrevOf(k, n)];
    const CKelCoord2D& q = ring[k];
    const double gx = std::fabs(q.m_x - p.m_x) + margin;
    const double gy = std::fabs(q.m_y - p.m_y) + margin;
    boxes.push_back({std::min(p.m_x, q.m_x) - gx, std::max(p.m_x, q.m_x) + gx, std::min(p.m_y, q.m_y) - gy,
                     std::max(p.m_y, q.m_y) + gy, PrevOf(k, n), k, KelEdge::Direction(p, q)});
  }
  std::sort(boxes.begin(), boxes.end(), [](const EdgeBox& a, const EdgeBox& b) { return a.x0 < b.x0; });
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const EdgeBox& a = boxes[i];
    for (std::size_t j = i + 1; j < boxes.size() && boxes[j].x0 <= a.x1; ++j) {
      const EdgeBox& b = boxes[j];
      if (b.y0 > a.y1 || a.y0 > b.y1)
        continue;
      const CKelCoord2D& a1 = ring[a.start];
      const CKelCoord2D& a2 = ring[a.end];
      const CKelCoord2D& b1 = ring[b.start];
      const CKelCoord2D& b2 = ring[b.end];
      if (CrossesFrom(a1, a.d, b1, b2) || CrossesFrom(b1, b.d, a1, a2))
        return true;
    }
  }
  return false;
}

// Whether two vertices are the same point. Points are equal only within
// KelTol::PointEqual in x, so on long outlines a sweep in x order compares
// each point with its few neighbours only.
template <class Ring>
bool HasSamePoints(const Ring& ring)
{
  const std::size_t n = ring.size();
  if (n < 16 || !AllFinite(ring)) {
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = i + 1; j < n; ++j) {
        // Most pairs differ in x by the band already: the comparison's own
        // first test, without the call.
        const double dx = ring[i].m_x - ring[j].m_x;
        if (-KelTol::PointEqual < dx && dx < KelTol::PointEqual &&
            static_cast<const CKelCoord2D&>(ring[i]) == ring[j])
          return true;
      }
    }
    return false;
  }
  std::vector<const CKelCoord2D*> order;
  order.reserve(n);
  for (const CKelCoord2D& c : ring)
    order.push_back(&c);
  std::sort(order.begin(), order.end(), [](const CKelCoord2D* a, const CKelCoord2D* b) { return a->m_x < b->m_x; });
  const double reach = 2 * KelTol::PointEqual;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n && order[j]->m_x - order[i]->m_x <= reach; ++j) {
      if (*order[i] == *order[j])
        return true;
    }
  }
  return false;
}

// Whether neighbours a and b lie within KelTol::BlockPoint of each other in
// x and in y, so that EraseSamePoints takes them for one point.
inline bool SameNeighbours(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return std::fabs(a.m_x - b.m_x) < KelTol::BlockPoint && std::fabs(a.m_y - b.m_y) < KelTol::BlockPoint;
}

// Removes each vertex that is the same as its successor (SameNeighbours),
// the successor then being tried again.
template <class Ring>
void EraseSamePoints(Ring& ring)
{
  std::size_t i = 0;
  while (i < ring.size()) {
    if (SameNeighbours(ring[i], ring[i + 1 >= ring.size() ? 0 : i + 1]))
      ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

// Each vertex in turn against the line through its neighbours as the
// outline then stands: the last vertex kept before it (the outline's last
// vertex while none is kept) and the next vertex (the first kept one after
// the last). The kept vertices close up in place as the scan goes, so that
// removals cost no shifting of the rest. True when any went.
template <class Ring>
bool DeleteOnLine(Ring& ring)
{
  const std::size_t n = ring.size();
  std::size_t kept = 0;  // vertices [0, kept) are those kept so far
  for (std::size_t j = 0; j < n; ++j) {
    const CKelCoord2D& a = ring[kept > 0 ? kept - 1 : n - 1];
    const CKelCoord2D& b = ring[j + 1 < n ? j + 1 : (kept > 0 ? 0 : j)];
    if (!SurelyOffLine(a, b, ring[j]) && OnLineOf(a, b, ring[j]))
      continue;
    if (kept != j)
      ring[kept] = std::move(ring[j]);
    ++kept;
  }
  ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(kept), ring.end());
  return kept < n;
}

}  // namespace kel_outline
