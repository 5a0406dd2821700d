#include "CKelWallLine.h"

#include <cmath>

#include "KelTolerance.h"

namespace {

bool NearPi(double angle) { return std::fabs(angle - KelAngle::Pi) <= KelTol::WallMinLength; }
bool NearMinusPi(double angle) { return std::fabs(angle + KelAngle::Pi) <= KelTol::WallMinLength; }

double Direction(const CKelCoord2D& p, const CKelCoord2D& centre)
{
  return std::atan2(p.m_y - centre.m_y, p.m_x - centre.m_x);
}

}  // namespace

void CKelWallLineArray::Add(const CKelCoord2D& p1, const CKelCoord2D& p2, bool flag)
{
  if (!p1.IsNearlyEqual(p2))
    emplace_back(p1, p2, flag);
}

double CKelWallArc::GetBegAng() const
{
  const double a = Direction(m_p1, m_Center);
  if (m_bCCW && NearPi(a))
    return a - KelAngle::TwoPi;
  if (!m_bCCW && NearMinusPi(a))
    return a + KelAngle::TwoPi;
  return a;
}

double CKelWallArc::GetEndAng() const
{
  const double a = Direction(m_p2, m_Center);
  if (m_bCCW && NearMinusPi(a))
    return a + KelAngle::TwoPi;
  if (!m_bCCW && NearPi(a))
    return a - KelAngle::TwoPi;
  return a;
}

void CKelWallArcArray::Add(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& centre, bool ccw,
                           bool mark)
{
  if (!p1.IsNearlyEqual(p2))
    emplace_back(p1, p2, centre, ccw, mark);
}

void CKelWallArcArray::Add2(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& centre, bool ccw,
                            bool mark)
{
  const double a1 = Direction(p1, centre);
  const double a2 = Direction(p2, centre);
  if ((ccw && a1 > a2) || (!ccw && a2 > a1)) {
    const CKelCoord2D seam(centre.m_x - p1.GetLength(centre), centre.m_y);
    Add(p1, seam, centre, ccw, mark);
    Add(seam, p2, centre, ccw, mark);
    return;
  }
  Add(p1, p2, centre, ccw, mark);
}
