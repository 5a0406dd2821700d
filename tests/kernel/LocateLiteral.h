#pragma once
// Point location as first written: every edge of the outline measured in
// turn, its direction worked out again for every point. Kept only so that
// tests can check that the indexed location gives the same answers.

#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelArea.h"
#include "KelEdge.h"
#include "KelGeometry.h"

namespace locate_literal {

inline KelEdge::Frame Measure(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  double c = 1, sn = 0, len = 0;
  CalcCosSin(s, e, &c, &sn, &len);
  const double dx = p.m_x - s.m_x;
  const double dy = p.m_y - s.m_y;
  return KelEdge::Frame{dx * c + dy * sn, c * dy - sn * dx, len};
}

template <class V>
int Locate(const std::vector<V>& pts, const KelEdge::Extents& box, const CKelCoord2D& p, const KelEdge::LocateTol& tol)
{
  const std::size_t n = pts.size();
  if (n < 3)
    return 0;
  if (p.m_y < box.ymin - tol.box || p.m_y > box.ymax + tol.box || p.m_x < box.xmin - tol.box ||
      p.m_x > box.xmax + tol.box)
    return 0;
  const double far = 2 * std::fmax(tol.edge, tol.ray) + KelTol::LocateFarEdge;
  int count = 0;
  for (std::size_t i = 0, prev = n - 1; i < n; prev = i++) {
    const CKelCoord2D s(pts[prev].m_x, pts[prev].m_y);
    const CKelCoord2D e(pts[i].m_x, pts[i].m_y);
    if (std::fmin(s.m_y, e.m_y) - p.m_y > far || p.m_y - std::fmax(s.m_y, e.m_y) > far)
      continue;
    const KelEdge::Frame f = Measure(s, e, p);
    double dist = std::fabs(f.h);
    if (f.t < 0)
      dist = std::hypot(f.t, f.h);
    else if (f.t >= f.len)
      dist = std::hypot(f.t - f.len, f.h);
    if (dist <= tol.edge)
      return -1;
    count += KelEdge::CountEdgeCrossing(pts, prev, s, e, p, f.h, tol);
  }
  return count % 2;
}

// CKelArea::InArea as first written.
template <class T>
int InArea(const CKelArea<T>& area, const CKelCoord2D& p, double tol, typename CKelArea<T>::Crossing crossing)
{
  const KelEdge::Extents box{area.m_xmin, area.m_xmax, area.m_ymin, area.m_ymax};
  return locate_literal::Locate(area.m_pt, box, p, CKelArea<T>::InAreaBand(tol, crossing));
}

}  // namespace locate_literal
