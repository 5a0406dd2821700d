#include "CXYtemp2.h"

#include "KelGeometry.h"

namespace {

// Whether q lies strictly ahead of origin along the direction from -> to.
bool IsAhead(const CKelCoord2D& origin, const CKelCoord2D& from, const CKelCoord2D& to, const CKelCoord2D& q)
{
  const double dx = to.m_x - from.m_x;
  const double dy = to.m_y - from.m_y;
  return (q.m_x - origin.m_x) * dx + (q.m_y - origin.m_y) * dy > 0;
}

}  // namespace

void CXYtemp2::point_of_line1()
{
  double c = 0;
  double s = 0;
  if (!CalcCosSin(m_a, m_b, &c, &s, nullptr))
    return;
  m_a = CKelCoord2D(m_a.m_x - kExtension * c, m_a.m_y - kExtension * s);
  m_b = CKelCoord2D(m_b.m_x + kExtension * c, m_b.m_y + kExtension * s);
}

void CXYtemp2::SetEndPos(CKelCoord3D& a, CKelCoord3D& b, const CKelCoord2D& p)
{
  CXYtemp2 line(a, p);
  line.point_of_line1();
  if (IsAhead(a, a, b, line.m_b))
    b = CKelCoord3D(line.m_b.m_x, line.m_b.m_y, 0);
}

void CXYtemp2::SetBegPos(CKelCoord3D& a, CKelCoord3D& b, const CKelCoord2D& p)
{
  CXYtemp2 line(p, b);
  line.point_of_line1();
  // Behind b along a -> b is ahead of b along b -> a.
  if (IsAhead(b, b, a, line.m_a))
    a = CKelCoord3D(line.m_a.m_x, line.m_a.m_y, 0);
}
