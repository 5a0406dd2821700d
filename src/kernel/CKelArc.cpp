#include "CKelArc.h"

#include "CDrawCore.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_assert.h"

#include <cmath>

CKelArc::CKelArc(const CKelCoord3D& beg, const CKelCoord3D& end, const CKelCoord3D& center, bool ccw)
    : m_Beg(beg), m_End(end), m_Center(center), m_bCCW(ccw)
{
}

double CKelArc::GetRadius() const
{
  return length_2point(m_Beg, m_Center);
}

double CKelArc::GetBegAng() const
{
  return std::atan2(m_Beg.m_y - m_Center.m_y, m_Beg.m_x - m_Center.m_x);
}

double CKelArc::GetEndAng() const
{
  return std::atan2(m_End.m_y - m_Center.m_y, m_End.m_x - m_Center.m_x);
}

// The sweep runs from begin to end in the arc's sense. Only the one turn
// needed to order the angles is added, so a begin and end in the same
// direction give 0, not a full circle.
double CKelArc::GetAngleEx() const
{
  const double b = GetBegAng();
  double e = GetEndAng();
  if (m_bCCW) {
    if (e < b)
      e += KelAngle::TwoPi;
    return e - b;
  }
  if (b < e)
    e -= KelAngle::TwoPi;
  return b - e;
}

void CKelArc::AngleNormalize(double& beg, double& end) const
{
  if (m_bCCW && beg > end)
    end += KelAngle::TwoPi;
  else if (!m_bCCW && end > beg)
    end -= KelAngle::TwoPi;
}

double CKelArc::GetArcLength() const
{
  return GetRadius() * GetAngleEx();
}

void CKelArc::SetRadius(double r)
{
  const auto moveTo = [&](CKelCoord3D& p) {
    double c = 0;
    double s = 0;
    if (!CalcCosSin(m_Center, p, &c, &s, nullptr))
      return;  // an end on the centre has no direction to keep
    p.m_x = m_Center.m_x + r * c;
    p.m_y = m_Center.m_y + r * s;
  };
  moveTo(m_Beg);
  moveTo(m_End);
}

double CKelArc::GetDistance(const CKelCoord2D& p, CKelCoord3D* foot) const
{
  CKelCoord2D nearest;
  const double d = arcdist(GetRadius(), RunStart(), RunEnd(), m_Center, p, &nearest);
  if (foot != nullptr)
    *foot = CKelCoord3D(nearest.m_x, nearest.m_y, m_Center.m_z);
  return d;
}

bool CKelArc::IsNearlyEqual(const CKelArc& other) const
{
  return m_Beg.IsNearlyEqual(other.m_Beg) && m_Center.IsNearlyEqual(other.m_Center) &&
         m_End.IsNearlyEqual(other.m_End) && m_bCCW == other.m_bCCW;
}

bool CKelArc::operator==(const CKelArc& other) const
{
  return m_Beg == other.m_Beg && m_Center == other.m_Center && m_End == other.m_End && m_bCCW == other.m_bCCW;
}

bool CKelArc::operator!=(const CKelArc& other) const
{
  return !(*this == other);
}

void CKelArc::Draw(CDrawCore* draw, CWindowPort* port) const
{
  const CKelCoord3D& s = RunStart();
  const CKelCoord3D& e = RunEnd();
  draw->DrawArc(port, m_Center.m_x, m_Center.m_y, m_Center.m_z, GetRadius(), s.m_x, s.m_y, e.m_x, e.m_y);
}

// --- Point list: begin (0), centre (1), end (2); the shape is fixed ----------

void CKelArc::InsertPoint(int, const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CKelArc::MovePoint(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= index && index <= 2);
  if (index == 0)
    m_Beg = p;
  else if (index == 1)
    m_Center = p;
  else
    m_End = p;
}

void CKelArc::SwapCoord(int, int)
{
  PLN_ASSERT(false);
}

void CKelArc::Append(const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CKelArc::DeletePoint(int)
{
  PLN_ASSERT(false);
}

CKelCoord3D CKelArc::GetCoord3D(int index) const
{
  PLN_ASSERT(0 <= index && index <= 2);
  if (index == 0)
    return m_Beg;
  return index == 1 ? m_Center : m_End;
}

int CKelArc::GetSize() const
{
  return 3;
}

bool CKelArc::IsClosed() const
{
  return false;
}

void CKelArc::Clear()
{
  PLN_ASSERT(false);
}

bool CKelArc::IsCenter(int index) const
{
  return index == 1;
}

bool CKelArc::IsCCW() const
{
  return m_bCCW;
}

void CKelArc::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  const double dx = a.m_x - b.m_x;
  const double dy = a.m_y - b.m_y;
  for (CKelCoord3D* p : {&m_Beg, &m_Center, &m_End}) {
    p->m_x += dx;
    p->m_y += dy;
  }
}

void CKelArc::AddCenter(const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CKelArc::InsertCenter(int, const CKelCoord3D&)
{
  PLN_ASSERT(false);
}
