#include "CSiteRoad.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "CKelArchiveCore.h"
#include "CXYtemp2.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

// The least bytes a stored road or crossing takes (its int16 fields), so a
// count can be checked against what the archive holds.
constexpr std::uint64_t kMinRoadBytes = 8;
constexpr std::uint64_t kMinCrossBytes = 6;

CKelCoord2D Midpoint(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return CKelCoord2D((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
}

XY_FPAIR ToPair(const CKelCoord2D& p) { return XY_FPAIR{static_cast<float>(p.m_x), static_cast<float>(p.m_y)}; }
CKelCoord3D FromPair(XY_FPAIR p) { return CKelCoord3D(p.x, p.y, 0); }

// The old records of a table, and a table replaced by old records.
template <class Cell, class Table>
std::vector<Cell> OldCells(const Table& table)
{
  std::vector<Cell> cells;
  for (const auto& element : table)
    cells.push_back(element.GetOldParam());
  return cells;
}

template <class Table, class Cell>
void FromOldCells(Table& table, const Cell* cells, int count)
{
  table.clear();
  for (int k = 0; cells != nullptr && k < count; ++k) {
    typename Table::value_type element;
    element.FromOldParam(cells[k]);
    table.push_back(element);
  }
}

bool Plan2DEqual(const CKelCoord3D& a, const CKelCoord3D& b)
{
  return static_cast<const CKelCoord2D&>(a) == static_cast<const CKelCoord2D&>(b);
}

}  // namespace

std::vector<CKelCoord2D> cross_line0Ex(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                       const CKelCoord2D& b2)
{
  int parallel = 0;
  std::vector<CKelCoord2D> found = cross_line0(a1, a2, b1, b2, &parallel);
  if (!found.empty() || parallel == 0)
    return found;
  double c = 1, s = 0, len = 0;
  CalcCosSin(a1, a2, &c, &s, &len);
  auto offLine = [&](const CKelCoord2D& p) { return std::fabs(c * (p.m_y - a1.m_y) - s * (p.m_x - a1.m_x)); };
  const double t = (b1.m_x - a1.m_x) * c + (b1.m_y - a1.m_y) * s;
  if (offLine(b1) <= KelTol::SiteOnLine && t > 0 && t < len && offLine(b2) <= KelTol::SiteOnLine)
    return {a2};
  return {};
}

// ---------------------------------------------------------------------------
// CSiteRoadTable

bool CSiteRoadTable::cross_check(const CSiteRoadTable& next, const CKelCoord3D* p) const
{
  if (p == nullptr)
    return false;
  if (check_range(m_FarBeg, m_FarEnd, *p, KelTol::Geometry) &&
      check_range(next.m_FarBeg, next.m_FarEnd, *p, KelTol::Geometry))
    return true;
  return length_2point(*p, m_FarEnd) < length_2point(*p, m_FarBeg) &&
         length_2point(*p, next.m_FarBeg) < length_2point(*p, next.m_FarEnd);
}

bool CSiteRoadTable::CheckEnableRoadShape(int shape) const
{
  const int computed = GetCalcShape();
  if (computed == 1 && (shape & kEndCut) == 0)
    return false;
  if (computed == 2 && shape < 2)
    return false;
  if (computed == 3 && shape != 3)
    return false;
  if (shape >= 2 && m_BegCross >= 0)
    return false;
  if ((shape & kEndCut) != 0 && m_EndCross >= 0)
    return false;
  return true;
}

bool CSiteRoadTable::operator==(const CSiteRoadTable& o) const
{
  return m_no == o.m_no && m_Flag == o.m_Flag && m_BegCross == o.m_BegCross && m_EndCross == o.m_EndCross &&
         Plan2DEqual(m_SiteBeg, o.m_SiteBeg) && Plan2DEqual(m_SiteEnd, o.m_SiteEnd) &&
         Plan2DEqual(m_FarBeg, o.m_FarBeg) && Plan2DEqual(m_FarEnd, o.m_FarEnd);
}

bool CSiteRoadTable::IsNearlyEqual(const CSiteRoadTable& o) const
{
  return m_no == o.m_no && m_Flag == o.m_Flag && m_BegCross == o.m_BegCross && m_EndCross == o.m_EndCross &&
         m_SiteBeg.IsNearlyEqual(o.m_SiteBeg) && m_SiteEnd.IsNearlyEqual(o.m_SiteEnd) &&
         m_FarBeg.IsNearlyEqual(o.m_FarBeg) && m_FarEnd.IsNearlyEqual(o.m_FarEnd);
}

bool CSiteRoadTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteRoadTable");
  ar.Serialize(m_no);
  ar.Serialize(m_Flag);
  ar.Serialize(m_BegCross);
  ar.Serialize(m_EndCross);
  for (CKelCoord3D* p : {&m_SiteBeg, &m_SiteEnd, &m_FarBeg, &m_FarEnd}) {
    if (!p->Serialize(ar))
      return false;
  }
  return ar.GetError() == 0;
}

RD_CELL CSiteRoadTable::GetOldParam() const
{
  RD_CELL r;
  r.no = m_no;
  r.flag = m_Flag;
  r.begCross = m_BegCross;
  r.endCross = m_EndCross;
  r.pt[0] = ToPair(m_SiteBeg);
  r.pt[1] = ToPair(m_SiteEnd);
  r.pt[2] = ToPair(m_FarBeg);
  r.pt[3] = ToPair(m_FarEnd);
  return r;
}

void CSiteRoadTable::FromOldParam(const RD_CELL& cell)
{
  m_no = cell.no;
  m_Flag = cell.flag;
  m_BegCross = cell.begCross;
  m_EndCross = cell.endCross;
  m_SiteBeg = FromPair(cell.pt[0]);
  m_SiteEnd = FromPair(cell.pt[1]);
  m_FarBeg = FromPair(cell.pt[2]);
  m_FarEnd = FromPair(cell.pt[3]);
}

// ---------------------------------------------------------------------------
// CoordRoadCross

bool CoordRoadCross::operator==(const CoordRoadCross& o) const
{
  return m_pt == o.m_pt && std::fabs(m_Height2 - o.m_Height2) <= KelTol::PolygonCache &&
         std::fabs(m_Height1 - o.m_Height1) <= KelTol::PolygonCache;
}

bool CoordRoadCross::IsNearlyEqual(const CoordRoadCross& o) const
{
  return m_pt.IsNearlyEqual(o.m_pt) && fcmpNearly(m_Height2 - o.m_Height2) == 0 &&
         fcmpNearly(m_Height1 - o.m_Height1) == 0;
}

bool CoordRoadCross::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CoordRoadCross");
  if (!m_pt.Serialize(ar))
    return false;
  ar.Serialize(m_Height2);
  ar.Serialize(m_Height1);
  return ar.GetError() == 0;
}

// ---------------------------------------------------------------------------
// CSiteCrossTable

void CSiteCrossTable::ChangeCrossStatus(int shape)
{
  m_Flag = static_cast<std::uint16_t>((m_Flag & ~kShapeMask) | (shape & kShapeMask));
}

bool CSiteCrossTable::CreateCross(CSiteRoadTable& r1, CSiteRoadTable& r2, int a, int b)
{
  const std::vector<CKelCoord2D> c11 = cross_line0Ex(r1.m_SiteBeg, r1.m_SiteEnd, r2.m_SiteBeg, r2.m_SiteEnd);
  const std::vector<CKelCoord2D> c12 = cross_line0Ex(r1.m_SiteBeg, r1.m_SiteEnd, r2.m_FarBeg, r2.m_FarEnd);
  const std::vector<CKelCoord2D> c21 = cross_line0Ex(r1.m_FarBeg, r1.m_FarEnd, r2.m_SiteBeg, r2.m_SiteEnd);
  const std::vector<CKelCoord2D> c22 = cross_line0Ex(r1.m_FarBeg, r1.m_FarEnd, r2.m_FarBeg, r2.m_FarEnd);
  if (c11.empty() || c12.empty() || c21.empty() || c22.empty())
    return false;
  m_Flag = 1;
  m_Road1 = static_cast<std::int16_t>(a);
  m_Road2 = static_cast<std::int16_t>(b);
  m_Pt[0] = CoordRoadCross{c11[0], 0, 0};
  m_Pt[1] = CoordRoadCross{c12[0], 0, 0};
  m_Pt[2] = CoordRoadCross{c21[0], 0, 0};
  m_Pt[3] = CoordRoadCross{c22[0], 0, 0};
  CXYtemp2::SetEndPos(r1.m_SiteBeg, r1.m_SiteEnd, m_Pt[1].m_pt);
  CXYtemp2::SetEndPos(r1.m_FarBeg, r1.m_FarEnd, m_Pt[3].m_pt);
  CXYtemp2::SetBegPos(r2.m_SiteBeg, r2.m_SiteEnd, m_Pt[2].m_pt);
  CXYtemp2::SetBegPos(r2.m_FarBeg, r2.m_FarEnd, m_Pt[3].m_pt);
  return true;
}

void CSiteCrossTable::SpecialCross(const CSiteRoadTable& r1, const CSiteRoadTable& r2)
{
  m_Flag = kCollinear | 1;
  m_Pt[0].m_pt = Midpoint(r2.m_SiteBeg, r1.m_SiteEnd);
  m_Pt[3].m_pt = Midpoint(r2.m_FarBeg, r1.m_FarEnd);
}

bool CSiteCrossTable::operator==(const CSiteCrossTable& o) const
{
  return m_Flag == o.m_Flag && m_Road1 == o.m_Road1 && m_Road2 == o.m_Road2 && std::equal(std::begin(m_Pt), std::end(m_Pt), std::begin(o.m_Pt));
}

bool CSiteCrossTable::IsNearlyEqual(const CSiteCrossTable& o) const
{
  return m_Flag == o.m_Flag && m_Road1 == o.m_Road1 && m_Road2 == o.m_Road2 && std::equal(std::begin(m_Pt), std::end(m_Pt), std::begin(o.m_Pt),
                    [](const CoordRoadCross& a, const CoordRoadCross& b) { return a.IsNearlyEqual(b); });
}

bool CSiteCrossTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteCrossTable");
  ar.Serialize(m_Flag);
  ar.Serialize(m_Road1);
  ar.Serialize(m_Road2);
  for (CoordRoadCross& p : m_Pt) {
    if (!p.Serialize(ar))
      return false;
  }
  return ar.GetError() == 0;
}

CRS_ROAD CSiteCrossTable::GetOldParam() const
{
  CRS_ROAD r;
  r.flag = m_Flag;
  r.road1 = m_Road1;
  r.road2 = m_Road2;
  for (int k = 0; k < 4; ++k)
    r.pt[k] = ToPair(m_Pt[k].m_pt);
  return r;
}

void CSiteCrossTable::FromOldParam(const CRS_ROAD& cell)
{
  m_Flag = cell.flag;
  m_Road1 = cell.road1;
  m_Road2 = cell.road2;
  for (int k = 0; k < 4; ++k) {
    const XY_FPAIR p = cell.pt[k];
    m_Pt[k] = CoordRoadCross{CKelCoord2D(p.x, p.y), 0, 0};
  }
}

// ---------------------------------------------------------------------------
// The tables

bool CSiteRoad::operator==(const CSiteRoad& o) const { return KelList::Equal(*this, o); }
bool CSiteRoad::IsNearlyEqual(const CSiteRoad& o) const { return KelList::NearlyEqual(*this, o); }

bool CSiteRoad::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteRoad");
  return KelList::Serialize(ar, static_cast<std::vector<CSiteRoadTable>&>(*this), kMinRoadBytes);
}

std::vector<RD_CELL> CSiteRoad::GetOldParam() const { return OldCells<RD_CELL>(*this); }
void CSiteRoad::FromOldParam(const RD_CELL* cells, int count) { FromOldCells(*this, cells, count); }

bool CSiteCross::operator==(const CSiteCross& o) const { return KelList::Equal(*this, o); }
bool CSiteCross::IsNearlyEqual(const CSiteCross& o) const { return KelList::NearlyEqual(*this, o); }

bool CSiteCross::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteCross");
  return KelList::Serialize(ar, static_cast<std::vector<CSiteCrossTable>&>(*this), kMinCrossBytes);
}

std::vector<CRS_ROAD> CSiteCross::GetOldParam() const { return OldCells<CRS_ROAD>(*this); }
void CSiteCross::FromOldParam(const CRS_ROAD* cells, int count) { FromOldCells(*this, cells, count); }
