#pragma once
// The pairwise tests of the triangulation's simplicity checks: whether an
// edge keeps clear of another, with the cheap box filter in front.

#include <cmath>

#include "CKelAreaCoord2D.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace KelCrossing {

// Whether segments p1-p2 and q1-q2 may cross: their boxes, grown by
// KelTol::CrossingBox, overlap. A cheap filter in front of IsLineCrossed2.
inline bool BoxesMeet(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1, const CKelCoord2D& q2)
{
  const double m = KelTol::CrossingBox;
  return std::fmax(q1.m_x, q2.m_x) >= std::fmin(p1.m_x, p2.m_x) - m &&
         std::fmin(q1.m_x, q2.m_x) <= std::fmax(p1.m_x, p2.m_x) + m &&
         std::fmax(q1.m_y, q2.m_y) >= std::fmin(p1.m_y, p2.m_y) - m &&
         std::fmin(q1.m_y, q2.m_y) <= std::fmax(p1.m_y, p2.m_y) + m;
}

// length_2point(a, b) <= KelTol::Crossing, without the root for points that
// differ by more than that in either coordinate.
inline bool Coincide(const CKelCoord2D& a, const CKelCoord2D& b)
{
  if (std::fabs(a.m_x - b.m_x) > KelTol::Crossing || std::fabs(a.m_y - b.m_y) > KelTol::Crossing)
    return false;
  return length_2point(a, b) <= KelTol::Crossing;
}

// A piece's closing edge s -> e against its edge b1 -> b2, in both roles:
// clear when s does not coincide with b1 and neither crosses the other.
inline bool EdgeClear(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& b1, const CKelCoord2D& b2)
{
  if (Coincide(s, b1))
    return false;
  return !(BoxesMeet(s, e, b1, b2) &&
           (CKelAreaCoord2D::IsLineCrossed2(s, e, b1, b2) || CKelAreaCoord2D::IsLineCrossed2(b1, b2, s, e)));
}

}  // namespace KelCrossing
