#include "CSphereTriangleData.h"

#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelSnap.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// The fewest archive bytes a triangle takes: long side and four points.
constexpr std::uint64_t kMinArchivedTriangleBytes = 4 + 4 * 16;
constexpr double kRoundingSteps = 100000;  // base and height in 1e-5

bool ValidLongSide(std::int32_t side)
{
  return side >= 0 && side <= 2;
}

double RoundToStep(int mode, double v)
{
  return (mode == 0 ? KelSnap::Ceil(v * kRoundingSteps) : KelSnap::Floor(v * kRoundingSteps)) / kRoundingSteps;
}

// Area in 1e-7 steps, scaled as the stored sums were: by 10000, then 1000.
double RoundArea(int mode, double a)
{
  const double scaled = a * 10000 * 1000;
  const double rounded = mode == 0 ? KelSnap::Ceil(scaled) : KelSnap::Floor(scaled);
  return rounded / 1000 / 10000;
}

// The projection of p onto the line a-b; a for a degenerate line (the
// triangle has no extent and is never kept).
CKelCoord2D FootOnLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  const double squared = dx * dx + dy * dy;
  if (!(squared > 0))
    return a;
  const double t = ((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / squared;
  return CKelCoord2D(a.m_x + t * dx, a.m_y + t * dy);
}

}  // namespace

CSphereTriangleData::CSphereTriangleData(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
    : m_Vertex{a, b, c}
{
}

bool CSphereTriangleData::operator==(const CSphereTriangleData& other) const
{
  for (int i = 0; i < 3; ++i) {
    if (m_Vertex[i] != other.m_Vertex[i])
      return false;
  }
  const double legacy[] = {m_Legacy1 - other.m_Legacy1, m_Legacy2 - other.m_Legacy2, m_Legacy3 - other.m_Legacy3};
  for (double d : legacy) {
    if (!(std::fabs(d) < KelTol::PointEqual))
      return false;
  }
  return m_LongSide == other.m_LongSide && m_Foot == other.m_Foot && m_Legacy4 == other.m_Legacy4;
}

double CSphereTriangleData::SetTriangleParam()
{
  const CKelCoord2D& c0 = m_Vertex[0];
  const CKelCoord2D& c1 = m_Vertex[1];
  const CKelCoord2D& c2 = m_Vertex[2];
  const double l01 = length_2point(c0, c1);
  const double l12 = length_2point(c1, c2);
  const double l20 = length_2point(c2, c0);
  m_LongSide = 2;
  double longest = l01;
  if (l12 > longest) {
    m_LongSide = 0;
    longest = l12;
  }
  if (l20 > longest)
    m_LongSide = 1;
  const CKelCoord2D& from = m_Vertex[(m_LongSide + 1) % 3];
  const CKelCoord2D& to = m_Vertex[(m_LongSide + 2) % 3];
  m_Foot = FootOnLine(from, to, m_Vertex[m_LongSide]);
  const double s = (l01 + l12 + l20) / 2;
  return s * (s - l01) * (s - l12) * (s - l20);
}

void CSphereTriangleData::GetTriangleData(int mode, double* base, double* height, double* area) const
{
  PLN_ASSERT(ValidLongSide(m_LongSide));
  const int side = m_LongSide;
  *height = length_2point(m_Foot, m_Vertex[side]);
  *base = length_2point(m_Vertex[(side + 1) % 3], m_Vertex[(side + 2) % 3]);
  if (mode == -1) {
    *area = *base * *height * 0.5;
  } else if (mode == 0 || mode == 1) {
    *base = RoundToStep(mode, *base);
    *height = RoundToStep(mode, *height);
    *area = RoundArea(mode, *base * *height * 0.5);
  } else {
    *area = 0;
  }
}

bool CSphereTriangleData::Serialize(CKelArchiveCore& ar)
{
  const int version = ar.GetVersion();
  ar.SerializeTag("CSphereTriangleData");
  ar.Serialize(m_LongSide);
  if (version < kVersionWithoutLegacy1)
    ar.Serialize(m_Legacy1);
  for (CKelCoord2D& v : m_Vertex) {
    if (!v.Serialize(ar))
      return false;
  }
  if (!m_Foot.Serialize(ar))
    return false;
  if (version >= kFirstVersionWithLegacyTail && version < kVersionWithoutLegacy1) {
    ar.Serialize(m_Legacy2);
    ar.Serialize(m_Legacy3);
    ar.Serialize(m_Legacy4);
  }
  if (ar.IsLoading() && ar.GetError() == 0 && !ValidLongSide(m_LongSide))
    ar.SetError();
  return ar.GetError() == 0;
}

bool CSphereTriangleData::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && m_Vertex[0].SaveData(f) && m_Vertex[1].SaveData(f) && m_Vertex[2].SaveData(f) &&
         Write(f, m_LongSide) && m_Foot.SaveData(f);
}

namespace {

// The corner at a stored position into the outline.
bool ReadCornerAt(CKelFileIO& f, int* budget, const CSphereCoordD2DArray& points, CKelCoord2D& corner)
{
  std::int32_t at = 0;
  if (!KelRecord::Read(f, budget, at) || at < 0 || static_cast<std::size_t>(at) >= points.size())
    return false;
  corner = points[static_cast<std::size_t>(at)].m_Pos;
  return true;
}

}  // namespace

bool CSphereTriangleData::LoadData(CKelFileIO& f, int* budget, const CSphereCoordD2DArray& points)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record) || record < kRecordPositions || record > kRecord)
    return false;
  if (record >= kRecordCorners) {
    if (!m_Vertex[0].LoadData(f, budget) || !m_Vertex[1].LoadData(f, budget) || !m_Vertex[2].LoadData(f, budget) ||
        !Read(f, budget, m_LongSide) || !ValidLongSide(m_LongSide))
      return false;
  } else {
    CKelCoord2D opposite;
    if (!ReadCornerAt(f, budget, points, m_Vertex[0]) || !ReadCornerAt(f, budget, points, m_Vertex[1]) ||
        !ReadCornerAt(f, budget, points, m_Vertex[2]) || !ReadCornerAt(f, budget, points, opposite))
      return false;
    int side = 0;
    while (side < 3 && !(opposite == m_Vertex[side]))
      ++side;
    if (side == 3)
      return false;
    m_LongSide = side;
  }
  if (record == kRecord)
    return m_Foot.LoadData(f, budget);
  if (!Read(f, budget, m_Legacy1))
    return false;
  if (record == kRecordPositions) {
    CSphereCoordD2D foot;
    if (!foot.LoadData(f, budget))
      return false;
    m_Foot = foot.m_Pos;
    return true;
  }
  return m_Foot.LoadData(f, budget);
}

bool CSphereTriangleDataArray::operator==(const CSphereTriangleDataArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CSphereTriangleDataArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereTriangleDataArray");
  return KelList::Serialize(ar, *this, kMinArchivedTriangleBytes);
}
