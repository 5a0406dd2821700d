#include "CKelSiteWorkOutline.h"

#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr std::uint16_t kKindBits = CKelSiteTable::kRoad | CKelSiteTable::kSumikiri;

int Kind(const CKelSiteTable& v) { return v.COND & kKindBits; }

// Value at the joint of a quantity running linearly from beg to end over
// lengths a then b.
double AtJoint(double beg, double end, double a, double b) { return beg + (end - beg) * (a / (a + b)); }

bool RunsOn(double accBeg, double accEnd, double nextBeg, double nextEnd, double a, double b)
{
  const double joint = AtJoint(accBeg, nextEnd, a, b);
  return std::fabs(accEnd - joint) <= KelTol::SiteOnLine && std::fabs(nextBeg - joint) <= KelTol::SiteOnLine;
}

}  // namespace

CKelSiteWorkOutline::CKelSiteWorkOutline(const CKelHSite& site) : m_Site(site)
{
  const std::vector<Piece> joined = JoinShortEdges(site);
  if (joined.empty())
    return;
  const std::vector<Piece> pieces = JoinCollinearPieces(joined);
  if (pieces.size() < 3 || pieces.size() == static_cast<std::size_t>(site.GetSize()))
    return;
  Adopt(site, pieces);
}

// One piece per edge longer than SiteSurveyPiece, starting where the run of
// short edges before it starts. Empty when fewer than three edges are long
// enough: such an outline is no survey of a site and is taken as it is.
std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::JoinShortEdges(const CKelHSite& site)
{
  const int n = site.GetSize();
  std::vector<bool> isShort(static_cast<std::size_t>(n));
  int longEdges = 0;
  for (int e = 0; e < n; ++e) {
    isShort[static_cast<std::size_t>(e)] = length_2point(site.Vertex(e), site.Vertex(e + 1)) <= KelTol::SiteSurveyPiece;
    longEdges += isShort[static_cast<std::size_t>(e)] ? 0 : 1;
  }
  std::vector<Piece> pieces;
  if (longEdges < 3)
    return pieces;
  for (int e = 0; e < n; ++e) {
    if (isShort[static_cast<std::size_t>(e)])
      continue;
    int s = e;
    while (isShort[static_cast<std::size_t>(site.Prev(s))])
      s = site.Prev(s);
    Piece p{site.Vertex(e), {e}};
    static_cast<CKelCoord2D&>(p.m_Rec) = site.Vertex(s);
    pieces.push_back(p);
  }
  return pieces;
}

// Whether piece next (ending at end) continues acc as one frontage or one
// corner cut.
bool CKelSiteWorkOutline::JoinsOn(const Piece& acc, const Piece& next, const CKelCoord2D& end)
{
  const CKelSiteTable& a = acc.m_Rec;
  const CKelSiteTable& b = next.m_Rec;
  if (Kind(a) == 0 || Kind(a) != Kind(b))
    return false;
  const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y;
  const double vx = end.m_x - b.m_x, vy = end.m_y - b.m_y;
  // Written to refuse a turn that is not a number (stored garbage).
  if (!(std::fabs(std::atan2(ux * vy - uy * vx, ux * vx + uy * vy)) <= KelTol::SiteCollinearPiece))
    return false;
  if (!a.IsRoad())
    return true;
  const double la = std::hypot(ux, uy);
  const double lb = std::hypot(vx, vy);
  return RunsOn(a.m_RoadWidthBeg, a.m_RoadWidthEnd, b.m_RoadWidthBeg, b.m_RoadWidthEnd, la, lb) &&
         RunsOn(a.m_RoadHeight1, a.m_RoadHeight2, b.m_RoadHeight1, b.m_RoadHeight2, la, lb);
}

void CKelSiteWorkOutline::Append(Piece& acc, const Piece& next)
{
  acc.m_Rec.m_RoadWidthEnd = next.m_Rec.m_RoadWidthEnd;
  acc.m_Rec.m_RoadHeight2 = next.m_Rec.m_RoadHeight2;
  acc.m_Stored.insert(acc.m_Stored.end(), next.m_Stored.begin(), next.m_Stored.end());
}

// Walks the pieces once round from one that does not continue its
// predecessor, so a frontage across the outline's first vertex is met whole.
std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::JoinCollinearPieces(const std::vector<Piece>& pieces)
{
  const std::size_t n = pieces.size();
  auto at = [&](std::size_t k) -> const Piece& { return pieces[k % n]; };
  std::size_t start = 0;
  while (start < n && JoinsOn(at(start + n - 1), at(start), at(start + 1).m_Rec))
    ++start;
  if (start == n)
    return pieces;
  std::vector<Piece> out;
  for (std::size_t k = 0; k < n; ++k) {
    const Piece& p = at(start + k);
    if (!out.empty() && JoinsOn(out.back(), p, at(start + k + 1).m_Rec))
      Append(out.back(), p);
    else
      out.push_back(p);
  }
  return out;
}

void CKelSiteWorkOutline::Adopt(const CKelHSite& site, const std::vector<Piece>& pieces)
{
  m_Identity = false;
  m_Site.m_pt.clear();
  m_Work.assign(static_cast<std::size_t>(site.GetSize()), -1);
  for (const Piece& p : pieces) {
    const int w = static_cast<int>(m_Site.m_pt.size());
    for (int e : p.m_Stored)
      m_Work[static_cast<std::size_t>(e)] = w;
    m_Owner.push_back(p.m_Stored.front());
    m_Site.m_pt.push_back(p.m_Rec);
  }
  m_Site.SetMaxMin();
}

int CKelSiteWorkOutline::StoredEdge(int w) const
{
  if (m_Identity || w < 0 || w >= static_cast<int>(m_Owner.size()))
    return w;
  return m_Owner[static_cast<std::size_t>(w)];
}

int CKelSiteWorkOutline::WorkEdge(int i) const
{
  if (m_Identity)
    return i;
  if (i < 0 || i >= static_cast<int>(m_Work.size()))
    return -1;
  return m_Work[static_cast<std::size_t>(i)];
}

CSiteRoad CKelSiteWorkOutline::ToWork(const CSiteRoad& roads) const
{
  CSiteRoad out = roads;
  for (CSiteRoadTable& r : out)
    r.m_no = static_cast<std::int16_t>(WorkEdge(r.m_no));
  return out;
}

void CKelSiteWorkOutline::ToStored(CSiteRoad& roads) const
{
  for (CSiteRoadTable& r : roads)
    r.m_no = static_cast<std::int16_t>(StoredEdge(r.m_no));
}
