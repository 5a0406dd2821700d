// Check points against the building and the regulation: the wall a point
// lies at, its shadow times, and the point whose time most exceeds what
// its regulation area permits.

#include <cmath>
#include <cstdint>
#include <limits>

#include "CKelBaseParam.h"
#include "CKelBlockCubeArray.h"
#include "CKelCpntParam.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr std::int64_t kMsPerHour = 3600000;
constexpr std::int64_t kMsPerDay = 24 * kMsPerHour;

// Where a point lies relative to a wall's plan line.
struct WallFrame {
  double along = 0;   // from the wall's start, along it
  double side = 0;    // positive to the left of the wall's direction
  double length = 0;
};

WallFrame Frame(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  WallFrame w;
  double c = 0, s = 0;
  CalcCosSin(a, b, &c, &s, &w.length);
  const double dx = p.m_x - a.m_x, dy = p.m_y - a.m_y;
  w.along = c * dx + s * dy;
  w.side = c * dy - s * dx;
  return w;
}

// On the wall line or outside it (to its right) by at most the offset.
bool WithinOffset(double side, double offset)
{
  const double out = -side - offset;
  return side <= KelTol::CpntWallOffset && (out <= 0 || std::fabs(out) <= KelTol::CpntWallOffset);
}

// The wall's bottom and top at the point's place along it, linearly between
// its two vertices; the point's height is classed against both by sign.
bool WithinHeights(const CKelBlockCoord& a, const CKelBlockCoord& b, double t, double z)
{
  const double lower = a.m_zL + t * (b.m_zL - a.m_zL);
  const double upper = a.m_z + t * (b.m_z - a.m_z);
  return SignOf(z - lower, KelTol::CpntWallEnd) >= 0 && SignOf(upper - z, KelTol::CpntWallEnd) >= 0;
}

// The permitted time in milliseconds truncated, kept inside 32 bits.
std::int64_t PermittedMs(double hours)
{
  const double ms = std::trunc(hours * static_cast<double>(kMsPerHour));
  if (!(ms > std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (!(ms < std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int64_t>(ms);
}

}  // namespace

bool CKelCpntTable::CheckWallNo(const CKelBlockCubeArray& blocks, int blockNo, int vertexNo)
{
  if (blockNo < 0 || vertexNo < 0 || blockNo >= blocks.Size())
    return false;
  const CKelBlockCube& block = blocks[static_cast<std::size_t>(blockNo)];
  if (vertexNo >= block.GetSize())
    return false;
  const CKelBlockCoord& a = block.m_Coord[static_cast<std::size_t>(vertexNo)];
  const CKelBlockCoord& b = block.m_Coord[static_cast<std::size_t>(block.GetNextNo(vertexNo + 1))];
  const WallFrame w = Frame(a, b, *this);
  // A wall without length has no side to lie at.
  if (!(w.length > KelTol::WallMinLength))
    return false;
  if (w.along < -KelTol::CpntWallEnd || w.along > w.length + KelTol::CpntWallEnd)
    return false;
  if (!WithinOffset(w.side, m_WallOffset))
    return false;
  const double t = std::clamp(w.along / w.length, 0.0, 1.0);
  if (!WithinHeights(a, b, t, m_z))
    return false;
  m_BlockNo = static_cast<std::int16_t>(blockNo);
  m_WallNo = static_cast<std::int16_t>(vertexNo);
  return true;
}

bool CKelCpntTable::SSCPntSearchWallNo(const CKelBlockCubeArray& blocks)
{
  if (CheckWallNo(blocks, m_BlockNo, m_WallNo))
    return true;
  // Stored indices are 16-bit: blocks and vertices beyond cannot be named.
  const int blockCount = std::min(blocks.Size(), static_cast<int>(std::numeric_limits<std::int16_t>::max()));
  for (int i = 0; i < blockCount; ++i) {
    const int vertexCount =
        std::min(blocks[static_cast<std::size_t>(i)].GetSize(), static_cast<int>(std::numeric_limits<std::int16_t>::max()));
    for (int k = 0; k < vertexCount; ++k) {
      if (CheckWallNo(blocks, i, k))
        return true;
    }
  }
  m_BlockNo = -1;
  m_WallNo = -1;
  return false;
}

bool CKelCpntTable::SSChkpntTime(CKelBaseParam& base)
{
  CKelHikageTimeCore* calc = base.m_pTimeCalc;
  if (calc == nullptr)
    return false;
  const std::int32_t oldA = m_TimeA, oldB = m_TimeB, oldC = m_TimeC;
  calc->Prepare(base);
  calc->CalcTime1(*this, m_Time);
  m_TimeB = m_Time;
  m_TimeC = -1;
  calc->CalcTime2(*this, m_Time);
  m_TimeA = m_Time;
  return m_TimeA != oldA || m_TimeB != oldB || oldC != -1;
}

int CKelCpntParam::SearchMaxTimeCpnt(CKelBaseParam& base) const
{
  std::int64_t best = -kMsPerDay;
  int result = -1;
  for (std::size_t k = 0; k < size(); ++k) {
    const CKelCpntTable& p = (*this)[k];
    int flag = 0;
    const int area = base.m_Rgl.check_regulate(base.m_Site, p, &flag);
    if (flag == 0 || area < 0 || area >= static_cast<int>(base.m_Rgl.size()))
      continue;
    const CRglTable& table = base.m_Rgl[static_cast<std::size_t>(area)].m_RglTable;
    // Points are stored in single precision: a point at the measuring
    // height reads back within the point tolerance, never exactly.
    if (!(std::fabs(p.m_z - table.m_Height) < KelTol::PointEqual))
      continue;
    const double d = base.m_MSite.CalcSiteDistance3(p);
    double hours = 0;
    if (d - base.m_Distance1 <= KelTol::CpntMeasureDistance && p.m_Time > 0)
      hours = table.m_Time1.m_Value;
    else if (d - base.m_Distance2 <= KelTol::CpntMeasureDistance && p.m_Time >= 1)
      hours = table.m_Time2.m_Value;
    else
      continue;
    const std::int64_t excess = static_cast<std::int64_t>(p.m_Time) - PermittedMs(hours);
    if (excess > best) {
      best = excess;
      result = static_cast<int>(k);
    }
  }
  return result;
}
