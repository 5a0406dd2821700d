// Clean-up and tests of a block's plan outline.
//
// Edges: edge k runs from vertex k - 1 to vertex k, the first being the
// closing edge from the last vertex to the first; an edge is named by the
// index of its start vertex. The frame of a segment p1 -> p2 is
// KelEdge::Measure: t along it from p1, h across it (positive on its left).
//
// Two crossing tests with different bands and end rules exist on purpose:
// the strict one (KelTol::BlockPoint) lets segments touch at their ends and
// serves the self-crossing and site checks; the closed one
// (KelTol::BlockAreaSign) lets an end on a segment's inside count and serves
// the diagonals of the convex cut.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "CKelBlockCube.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

const CKelCoord2D& At(const CKelBlockCoordArray& coords, int i) { return coords[static_cast<std::size_t>(i)]; }

// The sweeps sort by x, which needs every coordinate to be a number.
bool AllFinite(const CKelBlockCoordArray& coords)
{
  return std::all_of(coords.begin(), coords.end(),
                     [](const CKelBlockCoord& c) { return std::isfinite(c.m_x) && std::isfinite(c.m_y); });
}

// Strictly inside (0, len) by more than tol at both ends.
bool InsideSpan(double t, double len, double tol) { return t > tol && t < len - tol; }

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
bool SurelyOffLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
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
bool OnLineOf(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const KelEdge::Direction d(a, b);
  return d.len < KelTol::Collinear || std::fabs(KelEdge::Measure(a, d, p).h) < KelTol::Collinear;
}

}  // namespace

// Each vertex in turn against the line through its neighbours as the
// outline then stands: the last vertex kept before it (the outline's last
// vertex while none is kept) and the next vertex (the first kept one after
// the last). The kept vertices close up in place as the scan goes, so that
// removals cost no shifting of the rest.
bool CKelBlockCube::DeleteOnLine()
{
  const int n = GetSize();
  int kept = 0;  // vertices [0, kept) are those kept so far
  for (int j = 0; j < n; ++j) {
    const CKelCoord2D& a = At(m_Coord, kept > 0 ? kept - 1 : n - 1);
    const CKelCoord2D& b = At(m_Coord, j + 1 < n ? j + 1 : (kept > 0 ? 0 : j));
    if (!SurelyOffLine(a, b, At(m_Coord, j)) && OnLineOf(a, b, At(m_Coord, j)))
      continue;
    if (kept != j)
      m_Coord[static_cast<std::size_t>(kept)] = std::move(m_Coord[static_cast<std::size_t>(j)]);
    ++kept;
  }
  m_Coord.erase(m_Coord.begin() + kept, m_Coord.end());
  return kept < n;
}

// Points are equal only within KelTol::PointEqual in x, so on long outlines
// a sweep in x order compares each point with its few neighbours only.
bool CKelBlockCube::CheckSameCoord() const
{
  const std::size_t n = m_Coord.size();
  if (n < 16 || !AllFinite(m_Coord)) {
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = i + 1; j < n; ++j) {
        if (static_cast<const CKelCoord2D&>(m_Coord[i]) == m_Coord[j])
          return false;
      }
    }
    return true;
  }
  std::vector<const CKelCoord2D*> order;
  order.reserve(n);
  for (const CKelBlockCoord& c : m_Coord)
    order.push_back(&c);
  std::sort(order.begin(), order.end(), [](const CKelCoord2D* a, const CKelCoord2D* b) { return a->m_x < b->m_x; });
  const double reach = 2 * KelTol::PointEqual;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n && order[j]->m_x - order[i]->m_x <= reach; ++j) {
      if (*order[i] == *order[j])
        return false;
    }
  }
  return true;
}

bool CKelBlockCube::CheckSamePoint() const
{
  for (int i = 0; i < GetSize(); ++i) {
    if (At(m_Coord, i) == At(m_Coord, NextPos(i)))
      return false;
  }
  return true;
}

// --- Strict crossing ------------------------------------------------------------------------

namespace {

// IsLineCrossed with p1 -> p2 given by its start and direction, so that an
// edge tested against many others has its direction worked out once (the
// frames are the same as KelEdge::Measure(p1, p2, q) gives).
bool CrossesFrom(const CKelCoord2D& p1, const KelEdge::Direction& d, const CKelCoord2D& q1, const CKelCoord2D& q2)
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
bool ShortOutlineCrosses(const CKelBlockCoordArray& coords)
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

}  // namespace

bool CKelBlockCube::IsLineCrossed(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1,
                                  const CKelCoord2D& q2, CKelCoord2D* /*unused*/)
{
  return CrossesFrom(p1, KelEdge::Direction(p1, p2), q1, q2);
}

bool CKelBlockCube::CheckCross(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip, int /*unused*/) const
{
  const KelEdge::Direction d(p1, p2);
  for (int k = 0; k < GetSize(); ++k) {
    const int start = PrevPos(k);
    if (start != skip && CrossesFrom(p1, d, At(m_Coord, start), At(m_Coord, k)))
      return false;
  }
  return true;
}

// Every edge against every other, both ways round. IsLineCrossed reports a
// crossing only at a point of the line within the first edge's span that
// lies on the second edge or on its extension by at most its own length
// (an end within the tolerance band lets the crossing slide out), so only
// pairs whose boxes, each grown by its own size and twice the tolerance,
// meet can cross: a sweep over those boxes in x finds the same answer
// without the quadratic scan, on long outlines and short ones alike (the
// merges of the set operations test many short ones).
bool CKelBlockCube::CheckCross() const
{
  const int n = GetSize();
  if (!AllFinite(m_Coord)) {
    for (int k = 0; k < n; ++k) {
      const int start = PrevPos(k);
      if (!CheckCross(At(m_Coord, start), At(m_Coord, k), start))
        return false;
    }
    return true;
  }
  if (n <= static_cast<int>(kShortOutline))
    return !ShortOutlineCrosses(m_Coord);
  struct EdgeBox {
    double x0, x1, y0, y1;
    int start, end;
    KelEdge::Direction d;
  };
  const double margin = 2 * KelTol::BlockPoint;
  std::vector<EdgeBox> boxes;
  boxes.reserve(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D& p = At(m_Coord, PrevPos(k));
    const CKelCoord2D& q = At(m_Coord, k);
    const double gx = std::fabs(q.m_x - p.m_x) + margin;
    const double gy = std::fabs(q.m_y - p.m_y) + margin;
    boxes.push_back({std::min(p.m_x, q.m_x) - gx, std::max(p.m_x, q.m_x) + gx, std::min(p.m_y, q.m_y) - gy,
                     std::max(p.m_y, q.m_y) + gy, PrevPos(k), k, KelEdge::Direction(p, q)});
  }
  std::sort(boxes.begin(), boxes.end(), [](const EdgeBox& a, const EdgeBox& b) { return a.x0 < b.x0; });
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const EdgeBox& a = boxes[i];
    for (std::size_t j = i + 1; j < boxes.size() && boxes[j].x0 <= a.x1; ++j) {
      const EdgeBox& b = boxes[j];
      if (b.y0 > a.y1 || a.y0 > b.y1)
        continue;
      const CKelCoord2D& a1 = At(m_Coord, a.start);
      const CKelCoord2D& a2 = At(m_Coord, a.end);
      const CKelCoord2D& b1 = At(m_Coord, b.start);
      const CKelCoord2D& b2 = At(m_Coord, b.end);
      if (CrossesFrom(a1, a.d, b1, b2) || CrossesFrom(b1, b.d, a1, a2))
        return false;
    }
  }
  return true;
}

// --- Closed crossing ------------------------------------------------------------------------

bool CKelBlockCube::IsLineCrossed2(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1,
                                   const CKelCoord2D& q2, CKelCoord2D* /*unused*/)
{
  const double t = KelTol::BlockAreaSign;
  const KelEdge::Frame a = KelEdge::Measure(p1, p2, q1);
  const KelEdge::Frame b = KelEdge::Measure(p1, p2, q2);
  const double len = a.len;
  if (std::fabs(a.h) <= t && std::fabs(b.h) <= t)
    return InsideSpan(a.t, len, t) || InsideSpan(b.t, len, t);
  if (std::fabs(a.h - b.h) <= t)
    return false;
  if ((a.h > t && b.h > t) || (a.h < -t && b.h < -t))
    return false;
  const double x = a.t + (0 - a.h) * (b.t - a.t) / (b.h - a.h);
  if (!(x > 0 && std::fabs(x) > t && x <= len && std::fabs(x - len) > t))
    return false;
  // The crossing on p1-p2 must also lie on q1-q2 (its ends within t).
  const double qLen = length_2point(q1, q2);
  if (qLen == 0)
    return false;
  const CKelCoord2D point(p1.m_x + x * (p2.m_x - p1.m_x) / len, p1.m_y + x * (p2.m_y - p1.m_y) / len);
  const double w = ((point.m_x - q1.m_x) * (q2.m_x - q1.m_x) + (point.m_y - q1.m_y) * (q2.m_y - q1.m_y)) / qLen;
  return (w > 0 || std::fabs(w) <= t) && (w <= qLen || std::fabs(w - qLen) <= t);
}

bool CKelBlockCube::CheckCross2(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip1, int skip2) const
{
  const double t = KelTol::BlockAreaSign;
  for (int i = 0; i < GetSize(); ++i) {
    if (i == skip1 || i == skip2)
      continue;
    const KelEdge::Frame f = KelEdge::Measure(p1, p2, At(m_Coord, i));
    if (std::fabs(f.h) <= t && InsideSpan(f.t, f.len, t))
      return false;
  }
  for (int k = 0; k < GetSize(); ++k) {
    const int start = PrevPos(k);
    if (start == skip1)
      continue;
    if (length_2point(At(m_Coord, start), p1) <= t || IsLineCrossed2(p1, p2, At(m_Coord, start), At(m_Coord, k)))
      return false;
  }
  return true;
}

bool CKelBlockCube::CheckCross2() const
{
  for (int k = 0; k < GetSize(); ++k) {
    const int start = PrevPos(k);
    if (!CheckCross2(At(m_Coord, start), At(m_Coord, k), start, k))
      return false;
  }
  return true;
}

// --- Points ------------------------------------------------------------------------------------

bool CKelBlockCube::CalCrossPoint(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                  double y4, double* x, double* y)
{
  const double d = (y2 - y1) * (x4 - x3) - (x2 - x1) * (y4 - y3);
  if (d == 0)
    return false;
  if (x != nullptr)
    *x = ((x2 - x1) * (y3 * x4 - x3 * y4) + (x1 * y2 - y1 * x2) * (x4 - x3)) / d;
  if (y != nullptr)
    *y = ((y2 - y1) * (x3 * y4 - y3 * x4) + (y1 * x2 - x1 * y2) * (y4 - y3)) / (-d);
  return true;
}

bool CKelBlockCube::OnLinePoint(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double tol = KelTol::BlockOnEdge;
  const KelEdge::Frame f = KelEdge::Measure(a, b, p);
  return SignOf(f.h, tol) == 0 && SignOf(f.t, tol) >= 0 && SignOf(f.t - f.len, tol) < 1;
}

int CKelBlockCube::InArea(const CKelCoord2D& p) const
{
  // The box band is exactly 1e-6 against the kernel's strict compare, which
  // rejects what lies beyond BlockInAreaRay inclusive.
  const KelEdge::LocateTol tol{KelTol::BlockAreaSign, KelTol::BlockOnEdge, KelTol::BlockInAreaRay};
  return KelEdge::Locate(m_Coord, KelEdge::Extents{m_XMin, m_XMax, m_YMin, m_YMax}, p, tol);
}
