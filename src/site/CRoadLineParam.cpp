#include "CRoadLineParam.h"

#include "KelGeometry.h"

CRoadLineParam::CRoadLineParam(const CKelCoord3D& beg, const CKelCoord3D& end) : m_Beg(beg), m_End(end)
{
  CalcCosSin(m_Beg, m_End, &m_Cos, &m_Sin, &m_Len);
}

double CRoadLineParam::HeightAt(const CKelCoord2D& p) const
{
  if (m_Len <= 0)
    return m_Beg.m_z;
  const double t = ((p.m_x - m_Beg.m_x) * m_Cos + (p.m_y - m_Beg.m_y) * m_Sin) / m_Len;
  return m_Beg.m_z + (m_End.m_z - m_Beg.m_z) * t;
}

CKelCoord2D CRoadLineParam::FootOf(const CKelCoord2D& p) const
{
  const double t = (p.m_x - m_Beg.m_x) * m_Cos + (p.m_y - m_Beg.m_y) * m_Sin;
  return CKelCoord2D(m_Beg.m_x + t * m_Cos, m_Beg.m_y + t * m_Sin);
}
