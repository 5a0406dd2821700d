#pragma once
// The pairwise tests of the triangulation's simplicity checks: whether an
// edge keeps clear of another, with the cheap box filter in front.

#include <cmath>

#include "CKelAreaCoord2D.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "KelVertexTree.h"

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

// Round-off of a cross product of differences, as a share of the product of
// their sizes (|dx| + |dy|): far above double round-off, far below any
// tolerance it is set against.
inline constexpr double kCrossRoundOff = 1e-12;

// What rules out edges for a segment s - e tested against them, as a
// piece's closing edge or as one of a pair. Edges whose boxes keep twice the
// box filter's margin from the segment's pass that filter in neither role
// and hold no vertex that coincides with an end of it. So do edges wholly on
// one side of its line by more than ClearOfLine: the crossing test needs a
// point of each within KelTol::Crossing of the other, whatever the two
// segments' lengths, and its round-off stays far below that margin.
class SegmentReach {
public:
  static constexpr double ClearOfLine = 2 * KelTol::CrossingBox;

  SegmentReach(const CKelCoord2D& s, const CKelCoord2D& e)
      : m_s(s), m_dx(e.m_x - s.m_x), m_dy(e.m_y - s.m_y), m_size(std::fabs(m_dx) + std::fabs(m_dy))
  {
    const double reach = 2 * KelTol::CrossingBox;
    m_xlo = std::fmin(s.m_x, e.m_x) - reach;
    m_xhi = std::fmax(s.m_x, e.m_x) + reach;
    m_ylo = std::fmin(s.m_y, e.m_y) - reach;
    m_yhi = std::fmax(s.m_y, e.m_y) + reach;
  }

  bool Apart(const KelBox& box) const
  {
    return box.xmax < m_xlo || box.xmin > m_xhi || box.ymax < m_ylo || box.ymin > m_yhi;
  }

  // Apart, or wholly on one side. Only for boxes of finite coordinates.
  bool Clear(const KelBox& box) const
  {
    if (Apart(box))
      return true;
    const KelBoxCorners k(box, m_s);
    // m_size is at least the segment's length.
    const double need = m_size * (ClearOfLine + kCrossRoundOff * k.reach);
    const auto cross = [&](double ex, double ey) { return m_dx * ey - m_dy * ex; };
    return k.All([&](double ex, double ey) { return cross(ex, ey) > need; }) ||
           k.All([&](double ex, double ey) { return cross(ex, ey) < -need; });
  }

  // Clear for the segment b1 - b2 itself, by its ends rather than its box.
  bool Clear(const CKelCoord2D& b1, const CKelCoord2D& b2) const
  {
    const KelBox box{std::fmin(b1.m_x, b2.m_x), std::fmin(b1.m_y, b2.m_y), std::fmax(b1.m_x, b2.m_x),
                     std::fmax(b1.m_y, b2.m_y)};
    if (Apart(box))
      return true;
    const double e1x = b1.m_x - m_s.m_x, e1y = b1.m_y - m_s.m_y;
    const double e2x = b2.m_x - m_s.m_x, e2y = b2.m_y - m_s.m_y;
    const double far = std::fmax(std::fabs(e1x) + std::fabs(e1y), std::fabs(e2x) + std::fabs(e2y));
    const double need = m_size * (ClearOfLine + kCrossRoundOff * far);
    const double c1 = m_dx * e1y - m_dy * e1x;
    const double c2 = m_dx * e2y - m_dy * e2x;
    return (c1 > need && c2 > need) || (c1 < -need && c2 < -need);
  }

private:
  CKelCoord2D m_s;
  double m_dx;
  double m_dy;
  double m_size;
  double m_xlo = 0;
  double m_xhi = 0;
  double m_ylo = 0;
  double m_yhi = 0;
};

}  // namespace KelCrossing
