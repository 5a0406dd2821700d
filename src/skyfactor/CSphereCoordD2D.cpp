#include "CSphereCoordD2D.h"

#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelList.h"
#include "KelRecord.h"

namespace {

// The fewest archive bytes a point takes: the fields without tags at
// version 1.
constexpr std::uint64_t kMinArchivedPointBytes = 8 + 8 + 4 + 1 + 16 + 24;

}  // namespace

CSphereCoordD2D::CSphereCoordD2D(double x, double y, double azimuth, double elevation, int tag)
    : m_Pos(x, y), m_AD(azimuth), m_AE(elevation), m_Tag(tag)
{
}

bool CSphereCoordD2D::operator==(const CSphereCoordD2D& other) const
{
  return m_Pos == other.m_Pos && m_AD == other.m_AD && m_AE == other.m_AE && m_Tag == other.m_Tag &&
         m_Coord3D == other.m_Coord3D && m_PntKind == other.m_PntKind;
}

CKelCoord2D SphereDiscOf(const CKelCoord2D& chart)
{
  return CKelCoord2D(-std::cos(chart.m_y) * std::cos(chart.m_x), std::cos(chart.m_y) * std::sin(chart.m_x));
}

void CSphereCoordD2D::ConvertCoordXY() { m_Pos = SphereDiscOf(CKelCoord2D(m_AD, m_AE)); }

bool CSphereCoordD2D::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereCoordD2D");
  ar.Serialize(m_AD);
  ar.Serialize(m_AE);
  ar.Serialize(m_Tag);
  ar.Serialize(m_PntKind);
  if (!m_Pos.Serialize(ar) || !m_Coord3D.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSphereCoordD2D::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && m_Pos.SaveData(f) && Write(f, m_AD) && Write(f, m_AE) && Write(f, m_Tag) &&
         m_Coord3D.SaveData(f) && Write(f, m_PntKind);
}

bool CSphereCoordD2D::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record) || record < kRecordPosition || record > kRecord)
    return false;
  if (!m_Pos.LoadData(f, budget))
    return false;
  if (record == kRecordPosition) {
    m_Tag = 0;
    return true;
  }
  if (!Read(f, budget, m_AD) || !Read(f, budget, m_AE) || !Read(f, budget, m_Tag))
    return false;
  if (record == kRecordAngles)
    return true;
  return m_Coord3D.LoadData(f, budget) && Read(f, budget, m_PntKind);
}

bool CSphereCoordD2DArray::operator==(const CSphereCoordD2DArray& other) const
{
  return KelList::Equal(*this, other);
}

double CSphereCoordD2DArray::CalcArea() const
{
  const std::size_t n = size();
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& prev = (*this)[i == 0 ? n - 1 : i - 1].m_Pos;
    const CKelCoord2D& cur = (*this)[i].m_Pos;
    sum += (prev.m_y + cur.m_y) * (prev.m_x - cur.m_x);
  }
  return 0.5 * sum;
}

bool CSphereCoordD2DArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereCoordD2DArray");
  return KelList::Serialize(ar, *this, kMinArchivedPointBytes);
}
