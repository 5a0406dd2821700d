// Validation of a block and its containment in the site outline or in
// another block.
//
// The site is read through the kernel's point-list interface only (its plan
// points, closed from the last back to the first), so any outline can stand
// for it. Touching the site outline is allowed: a vertex on it passes the
// point test (KelTol::BlockLevelCut), and the strict crossing test ignores
// meetings at a block edge's ends; a site vertex inside a block edge's span
// fails.

#include <algorithm>
#include <cmath>

#include "CKelAreaCoord2D.h"
#include "CKelBlockCube.h"
#include "KelTolerance.h"

namespace {

enum CheckBit : std::uint32_t {
  kTopBelowBottom = 1,
  kPlaneFit = 2,
  kSameCoord = 4,
  kSelfCrossing = 8,
  kOutsideSite = 16,
};

CKelAreaCoord2D SitePolygon(const CKelObject& site)
{
  CKelAreaCoord2D polygon;
  for (int i = 0; i < site.GetSize(); ++i) {
    const CKelCoord3D p = site.GetCoord3D(i);
    polygon.m_pt.emplace_back(p.m_x, p.m_y);
  }
  polygon.SetMaxMin();
  return polygon;
}

// Every vertex's place and heights, and both planes: a plane is fitted
// through them and every cut interpolates them.
bool NumbersFinite(const CKelBlockCoordArray& vertices, const double* top, const double* bottom)
{
  const auto finite = [](double v) { return std::isfinite(v); };
  const auto vertexFinite = [&](const CKelBlockCoord& c) {
    return finite(c.m_x) && finite(c.m_y) && finite(c.m_z) && finite(c.m_zL);
  };
  return std::all_of(vertices.begin(), vertices.end(), vertexFinite) && std::all_of(top, top + 4, finite) &&
         std::all_of(bottom, bottom + 4, finite);
}

bool VerticesInSite(const CKelBlockCoordArray& vertices, const CKelAreaCoord2D& site)
{
  for (const CKelBlockCoord& c : vertices) {
    if (site.InArea(c, 0, KelTol::BlockLevelCut) == 0)
      return false;
  }
  return true;
}

}  // namespace

bool CKelBlockCube::CheckBlock3(const CKelObject* site, bool checkSite)
{
  m_bError = false;
  m_Value = 0;
  if (m_Coord.size() >= 3) {
    const int status = Check_block_status();
    if (status != 0)
      m_bError = true;
    if (status > 255)
      m_Value |= kPlaneFit;
    if ((status & 16) != 0)
      m_Value |= kTopBelowBottom;
  }
  const struct {
    bool failed;
    std::uint32_t bit;
  } checks[] = {{!NumbersFinite(m_Coord, m_Top, m_Bot), kPlaneFit},
                {!CheckSameCoord(), kSameCoord},
                {!CheckCross(), kSelfCrossing}};
  for (const auto& check : checks) {
    if (check.failed) {
      m_Value |= check.bit;
      m_bError = true;
    }
  }
  if ((checkSite || m_bSyasen) && !CheckInSite(site)) {
    m_Value |= kOutsideSite;
    m_bError = true;
  }
  return m_bError;
}

bool CKelBlockCube::CheckInSite(const CKelObject* site) const
{
  if (m_Coord.empty())
    return true;
  if (site == nullptr)
    return false;
  const CKelAreaCoord2D polygon = SitePolygon(*site);
  if (!VerticesInSite(m_Coord, polygon))
    return false;
  const std::vector<CKelCoord2D>& s = polygon.m_pt;
  for (int k = 0; k < GetSize(); ++k) {
    const CKelCoord2D& b1 = m_Coord[static_cast<std::size_t>(PrevPos(k))];
    const CKelCoord2D& b2 = m_Coord[static_cast<std::size_t>(k)];
    for (std::size_t m = 0; m < s.size(); ++m) {
      const CKelCoord2D& s1 = s[m == 0 ? s.size() - 1 : m - 1];
      if (IsLineCrossed(b1, b2, s1, s[m]))
        return false;
    }
  }
  return true;
}

bool CKelBlockCube::CheckInSiteSyasenBlock(const CKelObject* site) const
{
  if (!m_bSyasen || m_Coord.empty())
    return true;
  return site != nullptr && VerticesInSite(m_Coord, SitePolygon(*site));
}

bool CKelBlockCube::IsInsideBlock(const CKelBlockCube& other) const
{
  if (IsDegenerate() || m_Top[2] == 0 || m_Bot[2] == 0)
    return false;
  const CKelAreaCoord2D outline = ToArea2D();
  for (const CKelBlockCoord& c : other.m_Coord) {
    if (outline.InArea(c, 0, KelTol::BlockOnEdge) != 1)
      return false;
    const double top = Check_CalcZH(c);
    if (top - c.m_z < 0 && std::fabs(top - c.m_z) > KelTol::BlockPlaneFit)
      return false;
    const double bottom = Check_CalcZL(c);
    if (bottom - c.m_zL > 0 && std::fabs(bottom - c.m_zL) > KelTol::BlockPlaneFit)
      return false;
  }
  return true;
}
