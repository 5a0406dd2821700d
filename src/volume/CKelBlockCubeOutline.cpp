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
#include "KelBlockOutlineClean.h"
#include "KelTolerance.h"

namespace {

const CKelCoord2D& At(const CKelBlockCoordArray& coords, int i) { return coords[static_cast<std::size_t>(i)]; }

// Strictly inside (0, len) by more than tol at both ends.
bool InsideSpan(double t, double len, double tol) { return t > tol && t < len - tol; }

}  // namespace

bool CKelBlockCube::DeleteOnLine() { return kel_outline::DeleteOnLine(m_Coord); }

bool CKelBlockCube::CheckSameCoord() const { return !kel_outline::HasSamePoints(m_Coord); }

bool CKelBlockCube::CheckSamePoint() const
{
  for (int i = 0; i < GetSize(); ++i) {
    if (At(m_Coord, i) == At(m_Coord, NextPos(i)))
      return false;
  }
  return true;
}

// --- Strict crossing ------------------------------------------------------------------------

bool CKelBlockCube::IsLineCrossed(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1,
                                  const CKelCoord2D& q2, CKelCoord2D* /*unused*/)
{
  return kel_outline::CrossesFrom(p1, KelEdge::Direction(p1, p2), q1, q2);
}

bool CKelBlockCube::CheckCross(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip, int /*unused*/) const
{
  return skip < 0 ? !kel_outline::EdgeCrossesRing(m_Coord, p1, p2, m_Coord.size())
                  : !kel_outline::EdgeCrossesRing(m_Coord, p1, p2, static_cast<std::size_t>(skip));
}

bool CKelBlockCube::CheckCross() const { return !kel_outline::Crosses(m_Coord); }

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
