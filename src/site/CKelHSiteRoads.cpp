// The road and crossing tables of the site.
//
// A road's ends: at a convex corner (class -1) the road runs straight 5.0
// past the vertex; otherwise its end is cut where it meets the neighbouring
// edge's line (or that road's far side). Where two roads meet, their far
// sides are joined at their crossing (a cut end) or a crossing record is
// made (a straight end, or two roads either side of a corner cut).

#include <algorithm>
#include <cmath>

#include "CKelHSite.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

using Points = std::vector<CKelCoord2D>;

constexpr std::uint16_t kJoinBits = CSiteRoadTable::kEndJoined | CSiteRoadTable::kBegJoined |
                                    CSiteRoadTable::kEndNotJoined | CSiteRoadTable::kBegNotJoined;

CKelCoord2D Midpoint(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return CKelCoord2D((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
}

int CornerClass(double a)
{
  if (a < -KelTol::SiteStraightCorner)
    return -1;
  return a > KelTol::SiteStraightCorner ? 1 : 0;
}

// Signed distance of p from the line, positive on its left.
double SideDistance(const CRoadLineParam& line, const CKelCoord2D& p)
{
  return line.m_Cos * (p.m_y - line.m_Beg.m_y) - line.m_Sin * (p.m_x - line.m_Beg.m_x);
}

CKelCoord3D Flat(const CKelCoord2D& p) { return CKelCoord3D(p.m_x, p.m_y, 0); }

}  // namespace

CRoadLineParam CKelHSite::FarSide(int i) const { return Vertex(i).GetRoadLineParam(true, Vertex(i + 1)); }

double CKelHSite::get_pointangle(int i) const { return arc_radian1(Vertex(i + 1), Vertex(i - 1), Vertex(i)); }

int CKelHSite::check_sideline(int i, const CKelCoord2D& p) const
{
  if (i < 0 || GetSize() == 0)
    return 0;
  const CKelCoord2D& a = Vertex(i);
  const CKelCoord2D& b = Vertex(i + 1);
  // Shifted by the minima, so large survey coordinates keep their digits.
  const double ox = std::min({a.m_x, b.m_x, p.m_x});
  const double oy = std::min({a.m_y, b.m_y, p.m_y});
  const double ax = a.m_x - ox, ay = a.m_y - oy, bx = b.m_x - ox, by = b.m_y - oy, px = p.m_x - ox, py = p.m_y - oy;
  const double twiceArea = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  if (std::fabs(twiceArea) > KelTol::Geometry)
    return 0;
  return check_range(a, b, p, KelTol::Geometry) ? 1 : 0;
}

int CKelHSite::check_point0(int i) const
{
  const double a = get_pointangle(i) - KelAngle::Pi;
  if (std::fabs(a) <= KelTol::SiteStraightCorner)
    return 0;
  if (Vertex(i - 1).IsRoad() && Vertex(i).IsRoad()) {
    const CRoadLineParam prevFar = FarSide(Prev(i));
    const CRoadLineParam thisFar = FarSide(i);
    // Parallel when either far side keeps its distance from the other's
    // line end to end: asking both ways keeps a lot and its mirror image,
    // whose roads come in the other order, alike.
    const double spanThis = SideDistance(prevFar, thisFar.m_Beg) - SideDistance(prevFar, thisFar.m_End);
    const double spanPrev = SideDistance(thisFar, prevFar.m_Beg) - SideDistance(thisFar, prevFar.m_End);
    if (std::fabs(spanThis) <= KelTol::SiteOnLine || std::fabs(spanPrev) <= KelTol::SiteOnLine)
      return 0;
    // The far sides' own turn, from their directions: where one far side
    // lies against the other (a short step beside a wide road) says nothing
    // about which way the road turns. Positive turns right, toward the
    // site, as the interior angle does at a reflex corner.
    const double cross = prevFar.m_Cos * thisFar.m_Sin - prevFar.m_Sin * thisFar.m_Cos;
    const double dot = prevFar.m_Cos * thisFar.m_Cos + prevFar.m_Sin * thisFar.m_Sin;
    const double turn = -std::atan2(cross, dot);
    // Far sides folding back onto each other turn by a whole half circle
    // either way; which way must not hang on round-off, so the fold is
    // always convex.
    if (std::fabs(turn) > KelAngle::Pi - KelTol::SiteStraightCorner)
      return -1;
    return CornerClass(turn);
  }
  return CornerClass(a);
}

int CKelHSite::get_roadflag(int i, int* a, int* b) const
{
  const int ca = check_point0(i);
  const int cb = check_point0(Next(i));
  if (a != nullptr)
    *a = ca;
  if (b != nullptr)
    *b = cb;
  if (ca < 0 && cb < 0)
    return 0;
  if (ca < 0)
    return 1;
  return cb < 0 ? 2 : 3;
}

CKelCoord2D CKelHSite::CalcRoadDataPrev(int i, const CKelCoord2D& farBeg, const CKelCoord2D& farEnd,
                                        const CXYtemp2& far, int cls) const
{
  if (cls == 0)
    return farBeg;
  const int p = Prev(i);
  Points x;
  if (Vertex(p).IsRoad()) {
    const CRoadLineParam prevFar = FarSide(p);
    x = cross_line0(prevFar.m_Beg, prevFar.m_End, farBeg, farEnd);
  } else {
    x = cross_line0(Vertex(p), Vertex(i), farBeg, farEnd);
  }
  if (!x.empty() && check_range(far.m_a, far.m_b, x[0], KelTol::Geometry))
    return x[0];
  return farBeg;
}

CKelCoord2D CKelHSite::CalcRoadDataNext(int j, const CKelCoord2D& farBeg, const CKelCoord2D& farEnd,
                                        const CXYtemp2& far, int cls) const
{
  if (cls == 0)
    return farEnd;
  Points x;
  if (Vertex(j).IsRoad()) {
    const CRoadLineParam nextFar = FarSide(j);
    x = cross_line0(nextFar.m_Beg, nextFar.m_End, farBeg, farEnd);
  } else {
    x = cross_line0(Vertex(j), Vertex(j + 1), farBeg, farEnd);
  }
  if (!x.empty() && check_range(far.m_a, far.m_b, x[0], KelTol::Geometry))
    return x[0];
  return farEnd;
}

CSiteRoad CKelHSite::BuildRoadTable()
{
  CSiteRoad roads;
  SetMaxMin();
  for (int i = 0; i < GetSize(); ++i) {
    CKelSiteTable& v = At(i);
    v.optno = -1;
    if (!v.IsRoad())
      continue;
    v.optno = static_cast<std::int16_t>(roads.size());
    const CKelCoord2D& p = v;
    const CKelCoord2D& q = Vertex(i + 1);
    const CRoadLineParam farLine = FarSide(i);
    CXYtemp2 site(p, q);
    CXYtemp2 far(farLine.m_Beg, farLine.m_End);
    site.point_of_line1();
    far.point_of_line1();
    int a = 0, b = 0;
    const int f = get_roadflag(i, &a, &b);
    CSiteRoadTable r;
    r.m_no = static_cast<std::int16_t>(i);
    r.m_Flag = static_cast<std::uint16_t>(f | f << 4);
    r.m_SiteBeg = Flat(site.m_a);
    r.m_SiteEnd = Flat(site.m_b);
    r.m_FarBeg = Flat(far.m_a);
    r.m_FarEnd = Flat(far.m_b);
    if (f & CSiteRoadTable::kBegCut) {
      r.m_SiteBeg = Flat(p);
      r.m_FarBeg = Flat(CalcRoadDataPrev(i, farLine.m_Beg, farLine.m_End, far, a));
    }
    if (f & CSiteRoadTable::kEndCut) {
      r.m_SiteEnd = Flat(q);
      r.m_FarEnd = Flat(CalcRoadDataNext(Next(i), farLine.m_Beg, farLine.m_End, far, b));
    }
    roads.push_back(r);
  }
  return roads;
}

int CKelHSite::CheckNewCross(const CSiteRoadTable& r1, const CSiteRoadTable& r2) const
{
  if (r1.m_no < 0 || r1.m_no >= GetSize() || r2.m_no < 0 || r2.m_no >= GetSize())
    return 0;
  const Points x = cross_line0(r1.m_SiteBeg, r1.m_SiteEnd, r2.m_SiteBeg, r2.m_SiteEnd);
  if (x.empty()) {
    if (check_side(r2.m_SiteBeg, r2.m_SiteEnd, r1.m_SiteBeg) != 0)
      return 0;
    const CKelCoord2D mid = Midpoint(r2.m_SiteBeg, r1.m_SiteEnd);
    if (InArea(mid, KelTol::OnEdge, KelTol::OnEdge) == 1)
      return 0;
    return length_2point(r1.m_SiteEnd, r2.m_SiteBeg) > length_2point(r1.m_SiteBeg, r2.m_SiteEnd) ? -2 : -1;
  }
  const int where = InArea(x[0], KelTol::OnEdge, KelTol::OnEdge);
  if (where == 1)
    return 0;
  if (where == -1 && (check_sideline(r1.m_no, x[0]) != 0 || check_sideline(r2.m_no, x[0]) != 0))
    return 0;
  const double d1 = length_2point(x[0], Vertex(r1.m_no));
  const double d2 = length_2point(x[0], Vertex(r1.m_no + 1));
  const double d3 = length_2point(x[0], Vertex(r2.m_no));
  const double d4 = length_2point(x[0], Vertex(r2.m_no + 1));
  if (d2 > d1 && d3 > d4 && !(r1.m_Flag & CSiteRoadTable::kBegJoined) && !(r2.m_Flag & CSiteRoadTable::kEndJoined))
    return 2;
  if (d2 < d1 && d3 < d4 && !(r1.m_Flag & CSiteRoadTable::kEndJoined) && !(r2.m_Flag & CSiteRoadTable::kBegJoined))
    return 1;
  return 0;
}

void CKelHSite::ClearCrossLinks(CSiteRoad& roads) const
{
  for (CSiteRoadTable& r : roads) {
    r.m_BegCross = -1;
    r.m_EndCross = -1;
    r.m_Flag = static_cast<std::uint16_t>(r.m_Flag & ~kJoinBits);
  }
}

// Roads k and k2 on consecutive edges meeting at a straight end: a crossing.
void CKelHSite::CrossConsecutive(CSiteRoad& roads, int k, int k2, CSiteCross& crosses) const
{
  CSiteRoadTable& r = roads[static_cast<std::size_t>(k)];
  CSiteRoadTable& r2 = roads[static_cast<std::size_t>(k2)];
  r.m_Flag |= CSiteRoadTable::kEndJoined;
  r2.m_Flag |= CSiteRoadTable::kBegJoined;
  CSiteCrossTable c;
  if (!c.CreateCross(r, r2, k, k2)) {
    r.m_Flag |= CSiteRoadTable::kEndNotJoined;
    r2.m_Flag |= CSiteRoadTable::kBegNotJoined;
    return;
  }
  r.m_EndCross = r2.m_BegCross = static_cast<std::int16_t>(crosses.size());
  crosses.push_back(c);
}

// Roads k and k2 on consecutive edges meeting at a cut end: their far sides
// meet where they cross, judged on the roads as `laid` (a snapshot taken
// before this round of joins). Whether they met.
bool CKelHSite::JoinFarSides(CSiteRoad& roads, const CSiteRoad& laid, int k, int k2) const
{
  const CSiteRoadTable& was = laid[static_cast<std::size_t>(k)];
  const CSiteRoadTable& was2 = laid[static_cast<std::size_t>(k2)];
  CSiteRoadTable& r = roads[static_cast<std::size_t>(k)];
  CSiteRoadTable& r2 = roads[static_cast<std::size_t>(k2)];
  r.m_Flag = static_cast<std::uint16_t>((r.m_Flag & ~CSiteRoadTable::kEndNotJoined) | CSiteRoadTable::kEndJoined);
  r2.m_Flag = static_cast<std::uint16_t>((r2.m_Flag & ~CSiteRoadTable::kBegNotJoined) | CSiteRoadTable::kBegJoined);
  const Points x = cross_line0(was.m_FarBeg, was.m_FarEnd, was2.m_FarBeg, was2.m_FarEnd);
  const CKelCoord3D at = x.empty() ? CKelCoord3D() : Flat(x[0]);
  if (!x.empty() && was.cross_check(was2, &at)) {
    r.m_FarEnd = at;
    r2.m_FarBeg = at;
    return true;
  }
  r.m_Flag |= CSiteRoadTable::kEndNotJoined;
  r2.m_Flag |= CSiteRoadTable::kBegNotJoined;
  return false;
}

// Roads k and k2 either side of a corner cut.
void CKelHSite::JoinAcrossCut(CSiteRoad& roads, int k, int k2, CSiteCross& crosses) const
{
  CSiteRoadTable& r = roads[static_cast<std::size_t>(k)];
  CSiteRoadTable& r2 = roads[static_cast<std::size_t>(k2)];
  const int kind = CheckNewCross(r, r2);
  CSiteCrossTable c;
  if (kind == -1) {
    c.SpecialCross(r, r2);
    c.m_Flag |= CSiteCrossTable::kMadeAcrossCut;
  } else if (kind == 1) {
    if (!c.CreateCross(r, r2, k, k2)) {
      r.m_Flag |= CSiteRoadTable::kEndNotJoined;
      r2.m_Flag |= CSiteRoadTable::kBegNotJoined;
      return;
    }
    c.m_Flag |= CSiteCrossTable::kBeyondCut | CSiteCrossTable::kMadeAcrossCut;
  } else {
    return;
  }
  c.m_Road1 = static_cast<std::int16_t>(k);
  c.m_Road2 = static_cast<std::int16_t>(k2);
  r.m_EndCross = r2.m_BegCross = static_cast<std::int16_t>(crosses.size());
  crosses.push_back(c);
}

CSiteCross CKelHSite::BuildCrossTable(CSiteRoad& roads)
{
  CSiteCross crosses;
  ClearCrossLinks(roads);
  const int count = static_cast<int>(roads.size());
  if (count < 2)
    return crosses;
  SetMaxMin();
  // Crossings are laid first, then far sides joined at cut ends, each on
  // the roads as the crossings left them: no corner waits on another that
  // comes earlier in the listing, so a lot and its mirror image, listed the
  // other way round, get the same roads. A short edge's far side reaches a
  // reflex corner's crossing only once the crossing at its other end has
  // stretched it.
  auto consecutive = [&](int k, int k2) {
    const int edge = roads[static_cast<std::size_t>(k)].m_no;
    return edge >= 0 && edge < GetSize() && roads[static_cast<std::size_t>(k2)].m_no == Next(edge);
  };
  for (int k = 0; k < count; ++k) {
    const int k2 = (k + 1) % count;
    const int edge = roads[static_cast<std::size_t>(k)].m_no;
    if (edge < 0 || edge >= GetSize())
      continue;
    if (consecutive(k, k2)) {
      if (!(roads[static_cast<std::size_t>(k)].m_Flag & CSiteRoadTable::kEndCut))
        CrossConsecutive(roads, k, k2, crosses);
    } else if (IsSumikiri(Next(edge))) {
      JoinAcrossCut(roads, k, k2, crosses);
    }
  }
  std::vector<int> open;
  const CSiteRoad laid = roads;
  for (int k = 0; k < count; ++k) {
    const int k2 = (k + 1) % count;
    if (consecutive(k, k2) && (roads[static_cast<std::size_t>(k)].m_Flag & CSiteRoadTable::kEndCut) &&
        !JoinFarSides(roads, laid, k, k2))
      open.push_back(k);
  }
  // Likewise a short edge between two reflex cut ends (a few centimetres of
  // a surveyed bend) reaches the crossing at one end only once the join at
  // its other end has stretched its far side: the ends left open are judged
  // again, all on the roads as the last round left them, so the order of
  // the listing still decides nothing, until a round joins no more.
  while (!open.empty()) {
    const CSiteRoad joined = roads;
    std::vector<int> still;
    for (int k : open)
      if (!JoinFarSides(roads, joined, k, (k + 1) % count))
        still.push_back(k);
    if (still.size() == open.size())
      break;
    open = std::move(still);
  }
  return crosses;
}
