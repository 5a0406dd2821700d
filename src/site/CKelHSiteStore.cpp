// The stored forms of the site: the archive record and the old C records.

#include <algorithm>

#include "CKelArchiveCore.h"
#include "CKelHSite.h"

namespace {

template <class Index>
bool ResolvesOrNone(Index index, std::size_t count)
{
  return index == -1 || (index >= 0 && static_cast<std::size_t>(index) < count);
}

}  // namespace

bool CKelHSite::Serialize(CKelArchiveCore& ar, int /*reserved*/, void* /*p1*/, void* /*p2*/) { return Serialize2(ar); }

bool CKelHSite::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelHSite");
  ar.Serialize(m_FloorAreaRatio);
  ar.Serialize(m_CoverageRatio);
  ar.Serialize(m_DeemedRoadNo);
  ar.Serialize(m_DeemedRoadWidth);
  ar.Serialize(m_CapacityRoadNo);
  ar.Serialize(m_CapacityRoadWidth);
  ar.Serialize(m_KanwaWidth);
  ar.Serialize(m_DefTokuteiDistance);
  if (ar.GetError() != 0 || !CKelArea<CKelSiteTable>::Serialize(ar) || !m_Road.Serialize(ar) ||
      !m_Cross.Serialize(ar))
    return false;
  if (ar.IsLoading() && !ReferencesResolve()) {
    // Every later edit follows these indices; a site whose tables point
    // nowhere is refused rather than left to fail there.
    ar.SetError();
    return false;
  }
  return ar.GetError() == 0;
}

// optno of each vertex, the edge of each road and its crossings, the roads
// of each crossing: -1 or a valid index. A road's edge must be a vertex.
bool CKelHSite::ReferencesResolve() const
{
  const std::size_t roads = m_Road.size();
  const std::size_t crosses = m_Cross.size();
  const bool vertices = std::all_of(m_pt.begin(), m_pt.end(),
                                    [roads](const CKelSiteTable& v) { return ResolvesOrNone(v.optno, roads); });
  const bool roadLinks = std::all_of(m_Road.begin(), m_Road.end(), [this, crosses](const CSiteRoadTable& r) {
    return r.m_no >= 0 && r.m_no < GetSize() && ResolvesOrNone(r.m_BegCross, crosses) &&
           ResolvesOrNone(r.m_EndCross, crosses);
  });
  const bool crossLinks = std::all_of(m_Cross.begin(), m_Cross.end(), [roads](const CSiteCrossTable& c) {
    return ResolvesOrNone(c.m_Road1, roads) && ResolvesOrNone(c.m_Road2, roads);
  });
  return vertices && roadLinks && crossLinks;
}

bool CKelHSite::FromOldParam(const XY_FPAIR* pts, int ptCount, const SITECELL& cell, const SITEAREA& area,
                             const LCONDITION* conds, int condCount, const MTG_CELL& mtg)
{
  const int count = area.count;
  if (count < 0 || count > ptCount || count > condCount || (count > 0 && (pts == nullptr || conds == nullptr)))
    return false;
  m_pt.clear();
  for (int k = 0; k < count; ++k) {
    const LCONDITION c = conds[k];
    const XY_FPAIR p = pts[k];
    CKelSiteTable v(CKelCoord2D(p.x, p.y));
    v.COND = static_cast<std::uint16_t>(c.COND);
    v.optno = c.optno;
    v.m_RinchiHeight = c.RinchiHeight;
    v.m_RoadWidthBeg = v.m_RoadWidthEnd = v.m_AdoptRoadWidth = c.RoadWidth;
    v.m_RoadWidthType = 0;
    v.m_RoadHeight1 = c.RoadHeight1;
    v.m_RoadHeight2 = c.RoadHeight2;
    v.m_TokuteiDistance = c.TokuteiDistance;
    v.m_Kanwa1 = c.Kanwa1;
    v.m_Kanwa2 = c.Kanwa2;
    if (v.IsRoad() && v.m_TokuteiDistance == 0)
      v.m_TokuteiDistance = m_DefTokuteiDistance;
    m_pt.push_back(v);
  }
  m_FloorAreaRatio = cell.FloorAreaRatio;
  m_CoverageRatio = cell.CoverageRatio;
  m_area = cell.Area;
  m_DeemedRoadNo = mtg.DeemedRoadNo;
  m_DeemedRoadWidth = mtg.DeemedRoadWidth;
  m_CapacityRoadNo = mtg.CapacityRoadNo;
  m_CapacityRoadWidth = mtg.CapacityRoadWidth;
  m_KanwaWidth = mtg.KanwaWidth;
  SetMaxMin();
  SetArea();
  return true;
}

std::vector<LCONDITION> CKelHSite::GetOldLineCond() const
{
  std::vector<LCONDITION> conds;
  for (const CKelSiteTable& v : m_pt)
    conds.push_back(v.GetOldLineCond());
  return conds;
}

SITECELL CKelHSite::GetOldSiteInf() const
{
  return SITECELL{m_FloorAreaRatio, m_CoverageRatio, static_cast<float>(m_area)};
}

MTG_CELL CKelHSite::GetOldSiteMtg() const
{
  return MTG_CELL{m_DeemedRoadNo, m_DeemedRoadWidth, m_CapacityRoadNo, m_CapacityRoadWidth, m_KanwaWidth};
}
