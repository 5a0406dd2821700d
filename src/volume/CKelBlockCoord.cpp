#include "CKelBlockCoord.h"

#include <algorithm>
#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelBlockSlope.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"

namespace {

// The fewest bytes a vertex takes in an archive (version 1: no tags, no
// bottom height, a wall of 120 bytes).
constexpr std::uint64_t kMinArchivedVertexBytes = 168;

bool SameOffset(double a, double b) { return std::fabs(a - b) <= KelTol::BlockOnEdge; }

// The split of z by the item, floor 0 and offset z without a usable one.
int SplitHeight(double z, const CPrfPlanItem* item, double& height, std::int32_t& floor, double& offset)
{
  int f = 0;
  double o = z;
  if (item != nullptr)
    item->SetFlrLevel2(z, &f, &o);
  height = z;
  floor = f;
  offset = o;
  return f;
}

bool HeightFromFloor(int flr, const CPrfPlanItem* item, double& height, std::int32_t& floor, double& offset)
{
  if (item == nullptr || !item->IsUsable()) {
    floor = 0;
    offset = height;
    return true;
  }
  const int clamped = std::max(std::min(flr, static_cast<int>(item->m_G)), -static_cast<int>(item->m_B));
  double low = 0;
  double high = 0;
  const bool result = item->SBGetFlrL(item->GetConvFlr(1, clamped), &low, &high);
  height = offset + high;
  floor = clamped;
  return result;
}

// The height of the plane through the three points at (x, y); the first
// point's height when the points are collinear in plan.
double HeightOnSlope(const CCoordBldSurf (&p)[3], double x, double y)
{
  const double d = (p[1].m_x - p[0].m_x) * (p[2].m_y - p[0].m_y) - (p[2].m_x - p[0].m_x) * (p[1].m_y - p[0].m_y);
  if (d == 0)
    return p[0].m_z;
  const double zx = (p[1].m_z - p[0].m_z) * (p[2].m_y - p[0].m_y) - (p[2].m_z - p[0].m_z) * (p[1].m_y - p[0].m_y);
  const double zy = (p[1].m_x - p[0].m_x) * (p[2].m_z - p[0].m_z) - (p[2].m_x - p[0].m_x) * (p[1].m_z - p[0].m_z);
  return p[0].m_z + ((x - p[0].m_x) * zx + (y - p[0].m_y) * zy) / d;
}

}  // namespace

// --- Heights ------------------------------------------------------------------------

int CKelBlockCoord::SetZH(double z, const CPrfPlanItem* item) { return SplitHeight(z, item, m_z, m_FlrH, m_OffH); }

int CKelBlockCoord::SetZL(double z, const CPrfPlanItem* item) { return SplitHeight(z, item, m_zL, m_FlrL, m_OffL); }

bool CKelBlockCoord::SetFlrH(int flr, const CPrfPlanItem* item) { return HeightFromFloor(flr, item, m_z, m_FlrH, m_OffH); }

bool CKelBlockCoord::SetFlrL(int flr, const CPrfPlanItem* item)
{
  return HeightFromFloor(flr, item, m_zL, m_FlrL, m_OffL);
}

void CKelBlockCoord::SetOffH(double off) { CPrfPlanParam::SetOff(m_z, m_OffH, off); }

void CKelBlockCoord::SetOffL(double off) { CPrfPlanParam::SetOff(m_zL, m_OffL, off); }

int CKelBlockCoord::CutSlope(const CKelBlockSlopeItem* item)
{
  if (item == nullptr)
    return 0;
  if ((item->m_Face & CKelBlockSlopeItem::kFaceTop) != 0)
    m_z = HeightOnSlope(item->m_Top, m_x, m_y);
  if ((item->m_Face & CKelBlockSlopeItem::kFaceBottom) != 0)
    m_zL = HeightOnSlope(item->m_Bot, m_x, m_y);
  return item->m_Face;
}

// --- Compares -----------------------------------------------------------------------

bool CKelBlockCoord::operator==(const CKelBlockCoord& other) const
{
  return CKelCoord3DEx::operator==(other) && m_FlrH == other.m_FlrH && m_FlrL == other.m_FlrL &&
         SameOffset(m_OffH, other.m_OffH) && SameOffset(m_OffL, other.m_OffL) && m_HikageWall == other.m_HikageWall;
}

bool CKelBlockCoord::IsNearlyEqual(const CKelBlockCoord& other) const
{
  return CKelCoord3DEx::IsNearlyEqual(other) && m_FlrH == other.m_FlrH && m_FlrL == other.m_FlrL &&
         fcmpNearly(m_OffH - other.m_OffH) == 0 && fcmpNearly(m_OffL - other.m_OffL) == 0;
}

bool CKelBlockCoord::IsSameCoord2(const CPrfPlanParam*, const CKelBlockCoord& other) const
{
  return CKelCoord3DEx::operator==(other);
}

// --- Stored forms ---------------------------------------------------------------------

bool CKelBlockCoord::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelBlockCoord");
  ar.Serialize(m_OffL);
  ar.Serialize(m_OffH);
  ar.Serialize(m_FlrL);
  ar.Serialize(m_FlrH);
  if (ar.GetError() != 0 || !CKelCoord3DEx::Serialize(ar) || !m_HikageWall.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CKelBlockCoord::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, static_cast<std::int32_t>(kRecordNo)) && KelRecord::Write(f, m_OffL) &&
         KelRecord::Write(f, m_OffH) && KelRecord::Write(f, m_FlrL) && KelRecord::Write(f, m_FlrH) &&
         CKelCoord3DEx::SaveData(f);
}

bool CKelBlockCoord::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t recordNo = 0;
  if (!KelRecord::Read(f, budget, recordNo) || recordNo != kRecordNo)
    return false;
  return KelRecord::Read(f, budget, m_OffL) && KelRecord::Read(f, budget, m_OffH) &&
         KelRecord::Read(f, budget, m_FlrL) && KelRecord::Read(f, budget, m_FlrH) &&
         CKelCoord3DEx::LoadData(f, budget);
}

BldPntTag CKelBlockCoord::OldCoord() const
{
  BldPntTag old;
  old.x = static_cast<float>(m_x);
  old.y = static_cast<float>(m_y);
  old.zL = static_cast<float>(m_zL);
  old.z = static_cast<float>(m_z);
  old.OffL = static_cast<float>(m_OffL);
  old.OffH = static_cast<float>(m_OffH);
  old.FlrL = static_cast<std::int16_t>(m_FlrL);
  old.FlrH = static_cast<std::int16_t>(m_FlrH);
  return old;
}

CKelBlockCoord& CKelBlockCoord::operator=(const BldPntTag& old)
{
  m_x = old.x;
  m_y = old.y;
  m_z = old.z;
  m_zL = old.zL;
  m_OffL = old.OffL;
  m_OffH = old.OffH;
  m_FlrL = old.FlrL;
  m_FlrH = old.FlrH;
  return *this;
}

// --- CKelBlockCoordArray ------------------------------------------------------------

int CKelBlockCoordArray::Add(const CKelBlockCoord& c)
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i].CKelCoord3DEx::operator==(c))
      return static_cast<int>(i);
  }
  push_back(c);
  return static_cast<int>(size()) - 1;
}

bool CKelBlockCoordArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelBlockCoordArray");
  return KelList::Serialize(ar, *this, kMinArchivedVertexBytes);
}
