// Road shapes chosen by the user, carried over when the road and crossing
// tables are rebuilt; road heights; the deemed and floor-area-ratio roads;
// the widths and directions the slant-line check reads.

#include <cmath>

#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// Widths from 12.0 on gain nothing from a nearby specific road.
constexpr double kTokuteiFullWidth = 12.0;

CKelCoord3D Flat(const CKelCoord2D& p) { return CKelCoord3D(p.m_x, p.m_y, 0); }

// The road index of crossing c's first or second road, or its m_no in the
// given table when that index resolves.
int RoadEdge(const CSiteRoad& roads, int index)
{
  if (index < 0 || index >= static_cast<int>(roads.size()))
    return -1;
  return roads[static_cast<std::size_t>(index)].m_no;
}

}  // namespace

bool CKelHSite::ChangeRoadStatus(CSiteRoadTable* road, int shape)
{
  // A stored road table may name an edge that is no road (any more).
  if (road == nullptr || road->m_no < 0 || road->m_no >= GetSize() || !Vertex(road->m_no).IsRoad() ||
      !road->CheckEnableRoadShape(shape))
    return false;
  // A surveyed outline's road is reshaped on its piece's own line; only a
  // frontage's real ends are left uncut by the corners, so only they move.
  const CKelSiteWorkOutline work(*this);
  if (work.IsIdentity()) {
    ReshapeRoad(*road, shape);
  } else {
    const std::int16_t stored = road->m_no;
    const int piece = work.PieceOf(stored);
    // A road of no length on an edge folded into a corner cut's piece has no
    // line of its own to take a shape on.
    if (!work.Pieces().Vertex(piece).IsRoad())
      return false;
    road->m_no = static_cast<std::int16_t>(piece);
    work.Pieces().ReshapeRoad(*road, shape);
    road->m_no = stored;
  }
  SetRoadHeight();
  return true;
}

void CKelHSite::StraightEnd(int i, bool atBegin, CKelCoord3D& site, CKelCoord3D& far) const
{
  const CKelSiteTable& p = Vertex(i);
  const CKelSiteTable& q = Vertex(i + 1);
  CXYtemp2 line(p, q);
  line.point_of_line1();
  const CRoadLineParam farLine = p.GetRoadLineParam(true, q);
  const double ext = CXYtemp2::kExtension;
  if (atBegin) {
    site = Flat(line.m_a);
    far = Flat(CKelCoord2D(farLine.m_Beg.m_x - ext * farLine.m_Cos, farLine.m_Beg.m_y - ext * farLine.m_Sin));
  } else {
    site = Flat(line.m_b);
    far = Flat(CKelCoord2D(farLine.m_End.m_x + ext * farLine.m_Cos, farLine.m_End.m_y + ext * farLine.m_Sin));
  }
}

void CKelHSite::ReshapeRoad(CSiteRoadTable& road, int shape) const
{
  const int computed = road.GetCalcShape();
  road.m_Flag = static_cast<std::uint16_t>((road.m_Flag & ~CSiteRoadTable::kShapeMask) | shape);
  const CKelSiteTable& p = Vertex(road.m_no);
  const CKelSiteTable& q = Vertex(road.m_no + 1);
  const CRoadLineParam far = p.GetRoadLineParam(true, q);
  if (!(computed & CSiteRoadTable::kBegCut) && road.m_BegCross < 0) {
    if (shape < CSiteRoadTable::kBegCut) {
      StraightEnd(road.m_no, true, road.m_SiteBeg, road.m_FarBeg);
    } else {
      road.m_SiteBeg = Flat(p);
      road.m_FarBeg = Flat(far.m_Beg);
    }
  }
  if (!(computed & CSiteRoadTable::kEndCut) && road.m_EndCross < 0) {
    if ((shape & CSiteRoadTable::kEndCut) == 0) {
      StraightEnd(road.m_no, false, road.m_SiteEnd, road.m_FarEnd);
    } else {
      road.m_SiteEnd = Flat(q);
      road.m_FarEnd = Flat(far.m_End);
    }
  }
}

void CKelHSite::ResetRoadCrossData()
{
  const CSiteRoad oldRoads = m_Road;
  const CSiteCross oldCross = m_Cross;
  m_Road = CalcRoadData();
  m_Cross = SetCrossRoad(m_Road);
  KeepRoadShapes(oldRoads);
  // Crossings are matched by the edges of their roads, which survive a
  // rebuild; without old roads only the indices are left to match by.
  const bool byEdge = !oldRoads.empty();
  for (CSiteCrossTable& c : m_Cross) {
    const int e1 = byEdge ? RoadEdge(m_Road, c.m_Road1) : c.m_Road1;
    const int e2 = byEdge ? RoadEdge(m_Road, c.m_Road2) : c.m_Road2;
    for (const CSiteCrossTable& old : oldCross) {
      const int o1 = byEdge ? RoadEdge(oldRoads, old.m_Road1) : old.m_Road1;
      const int o2 = byEdge ? RoadEdge(oldRoads, old.m_Road2) : old.m_Road2;
      if (o1 == e1 && o2 == e2) {
        c.m_Flag = old.m_Flag;
        break;
      }
    }
  }
  SetRoadHeight();
}

void CKelHSite::KeepRoadShapes(const CSiteRoad& old)
{
  for (CSiteRoadTable& road : m_Road) {
    for (const CSiteRoadTable& before : old) {
      if (before.m_no != road.m_no)
        continue;
      // Roads made just now name real road edges, and the shape was checked:
      // nothing is left to refuse.
      if (road.CheckEnableRoadShape(before.GetShape()))
        (void)ChangeRoadStatus(&road, before.GetShape());
      break;
    }
  }
}

void CKelHSite::ResetCrossData()
{
  const CSiteRoad oldRoads = m_Road;
  const CSiteCross oldCross = m_Cross;
  m_Cross = SetCrossRoad(m_Road);
  // A surveyed outline's crossings are laid with roads computed afresh, so
  // the shapes the user chose are set back on them.
  if (!CKelSiteWorkOutline(*this).IsIdentity())
    KeepRoadShapes(oldRoads);
  for (CSiteCrossTable& c : m_Cross) {
    for (const CSiteCrossTable& old : oldCross) {
      if (old.m_Road1 == c.m_Road1 && old.m_Road2 == c.m_Road2) {
        c.m_Flag = old.m_Flag;
        break;
      }
    }
  }
}

void CKelHSite::SetRoadHeight()
{
  for (CSiteCrossTable& c : m_Cross) {
    const int e1 = RoadEdge(m_Road, c.m_Road1);
    const int e2 = RoadEdge(m_Road, c.m_Road2);
    for (CoordRoadCross& pt : c.m_Pt) {
      if (e1 >= 0)
        pt.m_Height1 = ChangeHeight(pt.m_pt, e1);
      if (e2 >= 0)
        pt.m_Height2 = ChangeHeight(pt.m_pt, e2);
    }
  }
  for (CSiteRoadTable& r : m_Road) {
    for (CKelCoord3D* p : {&r.m_SiteBeg, &r.m_SiteEnd, &r.m_FarBeg, &r.m_FarEnd})
      p->m_z = ChangeHeight(*p, r.m_no);
  }
}

int CKelHSite::SCrossTargetNo(int i) const
{
  const CKelSiteTable& v = Vertex(i);
  const CSiteRoadTable* road = nullptr;
  if (v.IsSumikiri())
    road = RoadOf(Vertex(NonCutAfter(i)).optno);
  else if (v.COND & CKelSiteTable::kWideRun)
    road = RoadOf(v.optno);
  if (road == nullptr || road->m_BegCross < 0 || road->m_BegCross >= static_cast<int>(m_Cross.size()))
    return -1;
  return road->m_BegCross;
}

const CSiteCrossTable* CKelHSite::SCrossTarget(int i) const
{
  const int k = SCrossTargetNo(i);
  return k < 0 ? nullptr : &m_Cross[static_cast<std::size_t>(k)];
}

void CKelHSite::CalcSiteMaxRoad()
{
  m_DeemedRoadNo = -1;
  m_DeemedRoadWidth = 0;
  m_CapacityRoadNo = -1;
  m_CapacityRoadWidth = 0;
  m_KanwaWidth = -1.0f;
  for (int k = 0; k < GetSize(); ++k) {
    const CKelSiteTable& v = Vertex(k);
    if (!(v.COND & CKelSiteTable::kWideRun) || (v.COND & CKelSiteTable::kSumikiri))
      continue;
    double w = v.GetAdoptRoadWidth(true);
    if (w + v.m_Kanwa1 > m_DeemedRoadWidth) {
      m_DeemedRoadNo = static_cast<std::int16_t>(k);
      m_DeemedRoadWidth = static_cast<float>(w + v.m_Kanwa1);
    }
    // The specific-road addition: a narrow road near a wide one counts
    // wider, the more the nearer.
    const double d = m_DefTokuteiDistance;
    const double l = v.m_TokuteiDistance;
    double wa = -1.0;
    if ((v.COND & CKelSiteTable::kTokutei) && d > l) {
      wa = (d - l) * (kTokuteiFullWidth - w) / d;
      w += wa;
    }
    if (w > m_CapacityRoadWidth) {
      m_CapacityRoadNo = static_cast<std::int16_t>(k);
      m_CapacityRoadWidth = static_cast<float>(w);
      m_KanwaWidth = static_cast<float>(wa);
    }
  }
}

// Edge i's own width at its start or end when the two edges carry the same
// widths, else road j's adopted width; plus i's setback when asked.
double CKelHSite::RoadWidthAt(int i, int j, bool atEnd, int withBack) const
{
  const CKelSiteTable& a = Vertex(i);
  const CKelSiteTable& b = Vertex(j);
  const bool same = std::fabs(a.m_RoadWidthBeg - b.m_RoadWidthBeg) <= KelTol::SiteOnLine &&
                    std::fabs(a.m_RoadWidthEnd - b.m_RoadWidthEnd) <= KelTol::SiteOnLine;
  const double own = atEnd ? a.m_RoadWidthEnd : a.m_RoadWidthBeg;
  const double w = same ? own + a.m_Kanwa1 : b.GetAdoptRoadWidth(false);
  return withBack ? w + a.m_Sphere.m_BldBack[0] : w;
}

double CKelHSite::GetBegRoadWidth(int i, int j, int withBack) const { return RoadWidthAt(i, j, false, withBack); }
double CKelHSite::GetEndRoadWidth(int i, int j, int withBack) const { return RoadWidthAt(i, j, true, withBack); }

double CKelHSite::GetRoadAdoptiveDistance(int i, int j, int withBack) const
{
  const double w = Vertex(j).GetAdoptRoadWidth(false);
  return withBack ? w + Vertex(i).m_Sphere.m_BldBack[0] : w;
}

double CKelHSite::CalcRelAngle(int i, int reverse) const
{
  if (m_pt.empty())
    return 0.0;
  PLN_ASSERT(i < GetSize());
  const CKelCoord2D& a = Vertex(i);
  const CKelCoord2D& b = Vertex(i + 1);
  return reverse ? arc_radian(0, b, a) : arc_radian(0, a, b);
}
