#include "CKelSiteWorkOutline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

#include "KelGeometry.h"
#include "KelOutlineClean.h"
#include "KelPolyline.h"
#include "KelTolerance.h"

namespace {

using kel_polyline::OffLine;

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

// Road b runs on from road a: a's end values are b's begin values.
bool RoadRunsOn(const CKelSiteTable& a, const CKelSiteTable& b)
{
  return a.IsRoad() && b.IsRoad() && std::fabs(a.m_RoadWidthEnd - b.m_RoadWidthBeg) <= KelTol::SiteOnLine &&
         std::fabs(a.m_RoadHeight2 - b.m_RoadHeight1) <= KelTol::SiteOnLine;
}

// Edge b runs on from edge a as one side of the lot: of one kind, and of
// one road where they are roads.
bool OneSide(const CKelSiteTable& a, const CKelSiteTable& b)
{
  return Kind(a) == Kind(b) && (!a.IsRoad() || RoadRunsOn(a, b));
}


// The nearest long edge from each edge stepping by step (+1 or -1), the edge
// itself left out; found in two walks round the outline, as a search from
// each tiny edge would walk its whole chain of tiny edges again.
std::vector<int> NearestLongEdges(const std::vector<bool>& tiny, int step)
{
  const int n = static_cast<int>(tiny.size());
  std::vector<int> nearest(tiny.size(), -1);
  int last = -1;
  for (int s = 0; s < 2 * n; ++s) {
    const int k = step > 0 ? n - 1 - s % n : s % n;
    nearest[static_cast<std::size_t>(k)] = last;
    if (!tiny[static_cast<std::size_t>(k)])
      last = k;
  }
  return nearest;
}

// The marked kinds (road, corner cut, both) among the folded edges waiting
// for the next kept one, counted as they wait, so each edge learns in
// constant time whether one of another kind waits.
class WaitingKinds {
public:
  void Add(int kind) { ++m_Count[Slot(kind)]; }
  void Clear() { m_Count.fill(0); }
  bool OtherThan(int kind) const
  {
    for (std::size_t k = 1; k < m_Count.size(); ++k) {
      if (k != Slot(kind) && m_Count[k] > 0)
        return true;
    }
    return false;
  }

private:
  static std::size_t Slot(int kind)
  {
    return (kind & CKelSiteTable::kRoad ? 1u : 0u) | (kind & CKelSiteTable::kSumikiri ? 2u : 0u);
  }
  std::array<int, 4> m_Count{};
};

// How far vertex v lies off the lines of long edges j and k together.
double OffBothLines(const CKelHSite& site, int j, int k, int v)
{
  const CKelCoord2D& p = site.Vertex(v);
  return OffLine(site.Vertex(j), site.Vertex(j + 1), p) + OffLine(site.Vertex(k), site.Vertex(k + 1), p);
}

// How far edge e lies off the line of long edge j: its farther end's distance.
double EdgeOffLine(const CKelHSite& site, int j, int e)
{
  const CKelCoord2D &a = site.Vertex(j), &b = site.Vertex(j + 1);
  return std::max(OffLine(a, b, site.Vertex(e)), OffLine(a, b, site.Vertex(e + 1)));
}

// Whether tiny edge e, which long edges back and ahead would both take,
// goes back: to the neighbour whose line it lies nearer, however the
// outline is listed. A point a survey put on a side just past a shallow
// bend lies within the on-line distance of both lines, and nearer the
// side's own; the side it lies on keeps it for every reader. Lying as near
// both (a point listed again exactly), it goes forward, keeping its start
// as the pieces' joint, unless its end is the corner on both lines and its
// start is not.
bool FoldsBack(const CKelHSite& site, int back, int ahead, int e)
{
  const double offBack = EdgeOffLine(site, back, e), offAhead = EdgeOffLine(site, ahead, e);
  if (offBack != offAhead)
    return offBack < offAhead;
  return OffBothLines(site, back, ahead, e + 1) <= KelTol::SiteOnLineExactly &&
         OffBothLines(site, back, ahead, e) > KelTol::SiteOnLineExactly;
}

// Whether piece b continues a as one frontage, one corner cut or one
// neighbour side: unmarked pieces continue where b starts within the
// survey's on-line distance of the line from a's start to b's end (a side
// surveyed in pieces, as a point on a side is none of its corners).
bool Continues(const CKelSiteTable& a, const CKelSiteTable& b, const CKelCoord2D& end)
{
  if (Kind(a) == 0 && Kind(b) == 0)
    return OffLine(a, end, b) <= KelTol::SiteOnLine + KelTol::SiteOnLineExactly;
  if (Kind(a) == 0 || Kind(a) != Kind(b))
    return false;
  if (!a.IsRoad())
    return true;
  const double la = length_2point(a, b);
  const double lb = length_2point(b, end);
  if (!(la > 0) || !(lb > 0))
    return false;
  return RunsOn(a.m_RoadWidthBeg, a.m_RoadWidthEnd, b.m_RoadWidthBeg, b.m_RoadWidthEnd, la, lb) &&
         RunsOn(a.m_RoadHeight1, a.m_RoadHeight2, b.m_RoadHeight1, b.m_RoadHeight2, la, lb);
}



// p lies strictly between a and b along the line through them.
bool StrictlyBetween(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y;
  return (p.m_x - a.m_x) * ux + (p.m_y - a.m_y) * uy > 0 && (b.m_x - p.m_x) * ux + (b.m_y - p.m_y) * uy > 0;
}

// The bend of a stretch [a, b] of pts: its first and last point off the
// chord within SiteChordBand tiny sizes of the farthest distance (b and a
// when none lies farther than tiny).
std::pair<std::size_t, std::size_t> Bend(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b, double tiny)
{
  std::vector<double> off(b - a + 1, 0.0);
  double far = 0;
  for (std::size_t j = a + 1; j < b; ++j) {
    off[j - a] = OffLine(pts[a], pts[b], pts[j]);
    far = std::max(far, off[j - a]);
  }
  std::size_t first = b, last = a;
  if (!(far > tiny))
    return {first, last};
  for (std::size_t j = a + 1; j < b; ++j) {
    if (off[j - a] >= far - KelTol::SiteChordBand * tiny) {
      first = std::min(first, j);
      last = j;
    }
  }
  // A bend listed twice a hair apart is one point: the one farther off.
  double along = 0;
  for (std::size_t j = first; j < last; ++j)
    along += length_2point(pts[j], pts[j + 1]);
  if (along <= KelTol::SiteOnLine)
    first = last = off[last - a] > off[first - a] ? last : first;
  return {first, last};
}

// The point or points of a stretch [a, b] of pts nearest its middle along
// it: two when they lie equally near, so the halves of an evenly listed arc
// do not depend on the direction it is listed in.
std::pair<std::size_t, std::size_t> Middle(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b)
{
  std::vector<double> along{0};
  for (std::size_t j = a; j < b; ++j)
    along.push_back(along.back() + length_2point(pts[j], pts[j + 1]));
  const auto apart = [&](std::size_t j) { return std::fabs(2 * along[j - a] - along.back()); };
  std::size_t first = a + 1;
  for (std::size_t j = a + 2; j < b; ++j)
    first = apart(j) < apart(first) ? j : first;
  std::size_t last = first;
  while (last + 1 < b && apart(last + 1) <= apart(first) + KelTol::SiteOnLineExactly)
    ++last;
  while (first - 1 > a && apart(first - 1) <= apart(last) + KelTol::SiteOnLineExactly)
    --first;
  return {first, last};
}

// Where the polyline pts is cut into stretches that each lie within tiny of
// their chord, and whose chords are no longer than longest where they bend:
// the interior indices, in order. Each stretch farther off is cut at both
// ends of its bend (KelTol::SiteChordBand), a longer one at its middle, so
// the cuts depend neither on rounding nor on the direction the polyline is
// listed in.
std::vector<std::size_t> ChordCuts(const std::vector<CKelCoord2D>& pts, double tiny, double longest)
{
  std::vector<std::size_t> cuts;
  if (pts.size() < 3)
    return cuts;
  std::vector<std::pair<std::size_t, std::size_t>> todo{{0, pts.size() - 1}};
  while (!todo.empty()) {
    const auto [a, b] = todo.back();
    todo.pop_back();
    if (b - a < 2)
      continue;
    auto [first, last] = Bend(pts, a, b, tiny);
    // A straight side (DrawsSide) stays whole, however long: cut into short
    // chords, each would take its direction from a millimetre of scatter
    // over a few centimetres, and a reader squaring to its end chord would
    // turn the whole side by that.
    if (first > last && length_2point(pts[a], pts[b]) > longest && !kel_polyline::DrawsSide(pts, a, b))
      std::tie(first, last) = Middle(pts, a, b);
    if (first > last)
      continue;
    cuts.push_back(first);
    todo.push_back({a, first});
    todo.push_back({last, b});
    if (last != first) {
      cuts.push_back(last);
      todo.push_back({first, last});
    }
  }
  std::sort(cuts.begin(), cuts.end());
  return cuts;
}

// The joints of the polyline pts that bend: the ends and the corners of
// the sides drawn by the points off the line of their neighbours. A point
// off that line is the nearest point more than SiteOnLine away (so a corner
// listed twice a hair apart still bends); a point a survey puts exactly on
// an edge, an arc's chord included, splits no line. Of the rest, the
// corners at the survey's scale (OffLineCorners): a side listed densely
// with its survey scatter is the line it draws, its direction and ends
// those of the whole side, never one bend per point; an evenly listed
// arc's joints all bend, and so do those found on one across the folds
// (onArc, where given: a joint beside a fold sways the turns of the
// joints beside it, and they would no longer read as the arc's here).
std::vector<std::size_t> Bends(const std::vector<CKelCoord2D>& pts, const std::vector<bool>& onArc = {})
{
  const std::size_t m = pts.size() - 1;
  std::vector<std::size_t> off{0};
  for (std::size_t j = 1; j < m; ++j) {
    std::size_t a = j - 1, b = j + 1;
    while (a > 0 && !(length_2point(pts[a], pts[j]) > KelTol::SiteOnLine))
      --a;
    while (b < m && !(length_2point(pts[b], pts[j]) > KelTol::SiteOnLine))
      ++b;
    if (!(OffLine(pts[a], pts[b], pts[j]) <= KelTol::SiteOnLineExactly) || (j < onArc.size() && onArc[j]))
      off.push_back(j);
  }
  off.push_back(m);
  std::vector<CKelCoord2D> at;
  for (std::size_t j : off)
    at.push_back(pts[j]);
  const std::vector<bool> corner = kel_polyline::OffLineCorners(at);
  std::vector<std::size_t> out;
  for (std::size_t k = 0; k < off.size(); ++k) {
    if (corner[k] || (off[k] < onArc.size() && onArc[off[k]]))
      out.push_back(off[k]);
  }
  return out;
}

// ChordCuts of the polyline pts made at its bends only.
std::vector<std::size_t> CutsAtBends(const std::vector<CKelCoord2D>& pts, double tiny, double longest,
                                     const std::vector<bool>& onArc = {})
{
  const std::vector<std::size_t> bends = Bends(pts, onArc);
  std::vector<CKelCoord2D> at;
  for (std::size_t j : bends)
    at.push_back(pts[j]);
  std::vector<std::size_t> cuts;
  for (std::size_t c : ChordCuts(at, tiny, longest))
    cuts.push_back(bends[c]);
  return cuts;
}

// Per kept edge (kept: the stored edges CleanOutline keeps, in order): the
// length of the stored edges dropped between it and the kept edge before.
std::vector<double> DroppedBefore(const CKelHSite& stored, const std::vector<int>& kept)
{
  const int n = stored.GetSize();
  std::vector<double> out(kept.size(), 0.0);
  for (std::size_t k = 0; k < kept.size(); ++k) {
    for (int e = kept[(k + kept.size() - 1) % kept.size()] + 1; e % n != kept[k]; ++e)
      out[k] += length_2point(stored.Vertex(e), stored.Vertex(e + 1));
  }
  return out;
}

}  // namespace

CKelSiteWorkOutline::CKelSiteWorkOutline(const CKelHSite& stored)
    : m_Tiny(SiteTinySize(stored.m_pt)), m_Stored(&stored)
{
  const auto oneSide = [&stored](int a, int b) { return OneSide(stored.Vertex(a), stored.Vertex(b)); };
  const KeptOutline clean = CleanOutline(stored.m_pt, m_Tiny, true, oneSide);
  const std::vector<int>& kept = clean.m_Edges;
  m_RunsBack = RunBackPoint(stored.m_pt, clean, m_Tiny);
  const int n = stored.GetSize();
  CKelHSite cleaned;
  if (kept.size() != static_cast<std::size_t>(n))
    cleaned = Cleaned(stored, clean);
  const CKelHSite& site = kept.size() != static_cast<std::size_t>(n) ? cleaned : stored;
  m_PieceOf.resize(static_cast<std::size_t>(n));
  m_Folded.assign(static_cast<std::size_t>(n), false);
  m_Dropped.assign(static_cast<std::size_t>(n), true);
  m_StartAt.assign(static_cast<std::size_t>(n), -1);
  for (std::size_t k = 0; k < kept.size(); ++k) {
    m_Dropped[static_cast<std::size_t>(kept[k])] = false;
    m_StartAt[static_cast<std::size_t>(kept[k])] = clean.m_At[k];
  }
  if (kept.size() == static_cast<std::size_t>(n) && IsPlain(stored)) {
    // Every edge its own piece and run, found without copying a record.
    for (int e = 0; e < n; ++e) {
      m_PieceOf[static_cast<std::size_t>(e)] = e;
      m_PieceEdges.push_back({e});
      m_PieceKept.push_back(e);
      m_RunPieces.push_back({e});
    }
    ReadSides();
    return;
  }
  std::vector<Piece> pieces = FoldTinyEdges(site, DroppedBefore(stored, kept));
  if (pieces.size() < 3)
    pieces = EdgeByEdge(site);
  std::vector<Piece> runs = JoinRuns(pieces);
  if (runs.size() < 3)
    runs = OneRunEach(pieces);
  // A point put on its side (MeetAcrossFolds) moves a piece off its listed
  // start: the pieces are then no longer the stored outline.
  const bool listed = std::all_of(pieces.begin(), pieces.end(), [&](const Piece& p) {
    const CKelCoord2D& at = site.Vertex(p.m_Kept);
    return p.m_Rec.m_x == at.m_x && p.m_Rec.m_y == at.m_y;
  });
  m_Identity = kept.size() == static_cast<std::size_t>(n) && pieces.size() == kept.size() &&
               runs.size() == pieces.size() && listed;
  ToStoredEdges(kept, n, pieces);
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    for (int e : pieces[p].m_Edges) {
      m_PieceOf[static_cast<std::size_t>(e)] = static_cast<int>(p);
      m_Folded[static_cast<std::size_t>(e)] = e != pieces[p].m_Kept;
    }
  }
  for (const Piece& p : pieces) {
    m_PieceEdges.push_back(p.m_Edges);
    m_PieceKept.push_back(p.m_Kept);
  }
  if (m_Identity) {
    // Runs of one piece each, in the stored order the sites keep.
    for (int e = 0; e < n; ++e)
      m_RunPieces.push_back({e});
    ReadSides();
    return;
  }
  for (const Piece& r : runs)
    m_RunPieces.push_back(r.m_Edges);
  m_Pieces = MakeSite(stored, pieces);
  m_Runs = MakeSite(stored, runs);
  ReadSides();
  PinCorners();
  SpanRuns();
}

// The pieces grouped into the sides they draw (OnSides over the long
// pieces that run on from the one before). A joint lying exactly on the
// line between the joints beside it (a side listed evenly, as a clean lot
// lists a neighbour's long side) is no corner and is left out first, as
// the runs leave it out (Bends): all lying as far from a chord across the
// lot, such joints would otherwise stay corners together, one side each.
void CKelSiteWorkOutline::ReadSides()
{
  const CKelHSite& pieces = Pieces();
  const int m = pieces.GetSize();
  m_SideOfPiece.assign(static_cast<std::size_t>(std::max(m, 0)), -1);
  if (m < 3)
    return;
  std::vector<bool> same;
  for (int q = 0; q < m; ++q)
    same.push_back(RunsOnAt(q));
  int first = 0;
  while (first < m && same[static_cast<std::size_t>(first)])
    ++first;
  std::vector<bool> on(static_cast<std::size_t>(m), false);
  std::vector<int> kept;
  std::vector<CKelCoord2D> joints;
  std::vector<bool> candidate;
  for (int s = 0; s < m; ++s) {
    const int q = (first + s) % m;
    const CKelCoord2D& p = pieces.Vertex(q);
    if (first < m && same[static_cast<std::size_t>(q)] && !kept.empty() &&
        StrictlyBetween(joints.back(), pieces.Vertex(q + 1), p) &&
        OffLine(joints.back(), pieces.Vertex(q + 1), p) <= KelTol::SiteOnLineExactly) {
      on[static_cast<std::size_t>(q)] = true;
      continue;
    }
    kept.push_back(q);
    joints.push_back(p);
    candidate.push_back(same[static_cast<std::size_t>(q)]);
  }
  // Joints listed densely carry the survey's scatter: whether a stretch of
  // them draws one side is judged by the points listed along it.
  const auto drawsSide = [&](std::size_t a, std::size_t steps) {
    std::vector<CKelCoord2D> along;
    for (std::size_t s = 0; s < steps; ++s)
      ListedAfterJoint(kept[(a + s) % kept.size()], kept[(a + s + 1) % kept.size()], along);
    along.push_back(joints[(a + steps) % kept.size()]);
    return kel_polyline::DrawsSide(along, 0, along.size() - 1);
  };
  const SideJoints sides = OnSides(joints, candidate, nullptr, drawsSide);
  for (std::size_t k = 0; k < kept.size(); ++k)
    on[static_cast<std::size_t>(kept[k])] = sides.m_On[k];
  first = 0;
  while (first < m && on[static_cast<std::size_t>(first)])
    ++first;
  for (int s = 0; s < m; ++s) {
    const int q = (first + s) % m;
    if (s == 0 || !on[static_cast<std::size_t>(q)])
      m_Sides.push_back({q, 0, pieces.Vertex(q), {}});
    ++m_Sides.back().m_Count;
    m_SideOfPiece[static_cast<std::size_t>(q)] = static_cast<int>(m_Sides.size()) - 1;
  }
  for (std::size_t k = 0; k < m_Sides.size(); ++k)
    m_Sides[k].m_End = m_Sides[(k + 1) % m_Sides.size()].m_Beg;
}

// The joint of piece q and the points listed after it up to piece `to`.
void CKelSiteWorkOutline::ListedAfterJoint(int q, int to, std::vector<CKelCoord2D>& out) const
{
  const CKelHSite& pieces = Pieces();
  const int m = pieces.GetSize();
  out.push_back(pieces.Vertex(q));
  for (int p = q; p != to; p = (p + 1) % m) {
    const std::vector<int>& edges = StoredOfPiece(p);
    for (std::size_t i = 0; i < edges.size(); ++i) {
      if (IsDropped(edges[i]))
        continue;
      if (p != q || i > 0)
        out.push_back(m_Stored->Vertex(m_StartAt[static_cast<std::size_t>(edges[i])]));
    }
  }
}

// Piece q runs on from the piece before it as one side might: both long,
// of one kind, a road running on across their joint.
bool CKelSiteWorkOutline::RunsOnAt(int q) const
{
  const CKelHSite& pieces = Pieces();
  const auto isLong = [&](int k) { return length_2point(pieces.Vertex(k), pieces.Vertex(k + 1)) > m_Tiny; };
  const CKelSiteTable& u = pieces.Vertex(q - 1);
  const CKelSiteTable& v = pieces.Vertex(q);
  return isLong(q - 1) && isLong(q) && ((Kind(u) == 0 && Kind(v) == 0) || Continues(u, v, pieces.Vertex(q + 1)));
}

// The points side k draws: its start, the listed points of its stored
// edges after that, and its end; those farther than KelTol::SiteSideFit off
// its chord (a stub's tip) left out.
std::vector<CKelCoord2D> CKelSiteWorkOutline::ListedOnSide(std::size_t k) const
{
  const SurveyedSide& side = m_Sides[k];
  std::vector<CKelCoord2D> listed;
  ListedAfterJoint(side.m_First, (side.m_First + side.m_Count) % m_Pieces.GetSize(), listed);
  std::vector<CKelCoord2D> out{side.m_Beg};
  for (std::size_t i = 1; i < listed.size(); ++i) {
    if (OffLine(side.m_Beg, side.m_End, listed[i]) <= KelTol::SiteSideFit)
      out.push_back(listed[i]);
  }
  out.push_back(side.m_End);
  return out;
}

namespace {

struct FittedLine {
  CKelCoord2D m_At;        // a point of it
  double m_C = 1, m_S = 0;  // its unit direction
};

// The line the polyline pts draws: through its centroid along its main
// axis, each segment weighing as its length, so a listed point's scatter
// tilts the line by its share of the whole side rather than by its offset
// over one short piece. Directed from the first point to the last; worked
// out from the first point, so it reads alike wherever the lot lies.
FittedLine FitLine(const std::vector<CKelCoord2D>& pts)
{
  const CKelCoord2D& o = pts.front();
  double w = 0, cx = 0, cy = 0;
  for (std::size_t k = 0; k + 1 < pts.size(); ++k) {
    const double l = length_2point(pts[k], pts[k + 1]);
    w += l;
    cx += l * ((pts[k].m_x + pts[k + 1].m_x) / 2 - o.m_x);
    cy += l * ((pts[k].m_y + pts[k + 1].m_y) / 2 - o.m_y);
  }
  cx /= w;
  cy /= w;
  double sxx = 0, syy = 0, sxy = 0;
  for (std::size_t k = 0; k + 1 < pts.size(); ++k) {
    const double l = length_2point(pts[k], pts[k + 1]);
    const double mx = (pts[k].m_x + pts[k + 1].m_x) / 2 - o.m_x - cx;
    const double my = (pts[k].m_y + pts[k + 1].m_y) / 2 - o.m_y - cy;
    const double dx = pts[k + 1].m_x - pts[k].m_x, dy = pts[k + 1].m_y - pts[k].m_y;
    sxx += l * (mx * mx + dx * dx / 12);
    syy += l * (my * my + dy * dy / 12);
    sxy += l * (mx * my + dx * dy / 12);
  }
  const double angle = std::atan2(2 * sxy, sxx - syy) / 2;
  FittedLine line{CKelCoord2D(o.m_x + cx, o.m_y + cy), std::cos(angle), std::sin(angle)};
  if ((pts.back().m_x - o.m_x) * line.m_C + (pts.back().m_y - o.m_y) * line.m_S < 0) {
    line.m_C = -line.m_C;
    line.m_S = -line.m_S;
  }
  return line;
}

// Where lines a and b cross; nothing when they run parallel.
std::optional<CKelCoord2D> Crossing(const FittedLine& a, const FittedLine& b)
{
  const double cross = a.m_C * b.m_S - a.m_S * b.m_C;
  if (!(std::fabs(cross) > 0))
    return std::nullopt;
  const double t = ((b.m_At.m_x - a.m_At.m_x) * b.m_S - (b.m_At.m_y - a.m_At.m_y) * b.m_C) / cross;
  return CKelCoord2D(a.m_At.m_x + t * a.m_C, a.m_At.m_y + t * a.m_S);
}

// Some point of pts farther than KelTol::SiteSideFit from corner (a point
// listed again beside it says nothing of where the bend lies) lies within
// the survey's scatter of the line through a and b: the on-line distance
// either way, as the line's own ends carry it too.
bool AnyOnLine(const std::vector<CKelCoord2D>& pts, const CKelCoord2D& corner, const CKelCoord2D& a,
               const CKelCoord2D& b)
{
  for (const CKelCoord2D& p : pts) {
    if (length_2point(p, corner) > KelTol::SiteSideFit &&
        OffLine(a, b, p) <= 2 * (KelTol::SiteOnLine + KelTol::SiteOnLineExactly))
      return true;
  }
  return false;
}

}  // namespace

// The corners between sides of one kind at bends so slight that another
// listed point beside the corner lies within the on-line distance of both
// sides: which of them the bend was read at is the survey's to say, up to
// (SiteOnLine + scatter) / sin(bend) along the sides, so the corner is put
// where the lines fitted to the two whole sides cross (FitLine), where that
// lies near both sides' chords, within half of each side and within
// KelTol::SitePinnedSlide of the listed corner. Both sides must list points
// of their own: beside a side listed by its two ends alone (a clean lot's
// side, or one next to a side carrying a single point a survey put on it)
// the corner stays as listed, as a point or two cannot tell where a side's
// line runs better than the corner listed beside them. The joints inside a
// side whose end moved are put on its new chord.
// Whether the corner between sides a and b may move to x: it must stay
// short of the joints beside it along both sides by more than the on-line
// distance, as a corner slid past a joint would turn the piece between them
// back over its neighbour once the joints are put on the new chord, and the
// outline would touch itself.
bool CKelSiteWorkOutline::KeepsJointOrder(const SurveyedSide& a, const SurveyedSide& b, const CKelCoord2D& x) const
{
  const int m = m_Pieces.GetSize();
  const auto along = [](const CKelCoord2D& from, const CKelCoord2D& to, const CKelCoord2D& p) {
    const double len = length_2point(from, to);
    return ((p.m_x - from.m_x) * (to.m_x - from.m_x) + (p.m_y - from.m_y) * (to.m_y - from.m_y)) / len;
  };
  const CKelCoord2D& afterCorner = m_Pieces.Vertex((b.m_First + 1) % m);
  const CKelCoord2D& beforeCorner = m_Pieces.Vertex((b.m_First + m - 1) % m);
  return along(x, b.m_End, afterCorner) > KelTol::SiteOnLine && along(x, a.m_Beg, beforeCorner) > KelTol::SiteOnLine;
}

void CKelSiteWorkOutline::PinCorners()
{
  if (m_Sides.size() < 3)
    return;
  std::vector<std::vector<CKelCoord2D>> listed(m_Sides.size());
  for (std::size_t k = 0; k < m_Sides.size(); ++k)
    listed[k] = ListedOnSide(k);
  const std::size_t count = m_Sides.size();
  if (count < 3)
    return;
  std::vector<bool> moved(count, false);
  std::vector<CKelCoord2D> at(count);
  for (std::size_t k = 0; k < count; ++k) {
    const SurveyedSide& a = m_Sides[(k + count - 1) % count];
    const SurveyedSide& b = m_Sides[k];
    at[k] = b.m_Beg;
    const std::vector<CKelCoord2D>& pa = listed[(k + count - 1) % count];
    const std::vector<CKelCoord2D>& pb = listed[k];
    if (!RunsOnAt(b.m_First) || pa.size() < 3 || pb.size() < 3)
      continue;
    if (!AnyOnLine(pa, b.m_Beg, b.m_Beg, b.m_End) && !AnyOnLine(pb, b.m_Beg, a.m_Beg, a.m_End))
      continue;
    const FittedLine la = FitLine(pa), lb = FitLine(pb);
    const double sine = std::fabs(la.m_C * lb.m_S - la.m_S * lb.m_C);
    const std::optional<CKelCoord2D> x = Crossing(la, lb);
    if (!x || !(KelTol::SiteOnLine < KelTol::SitePinnedSlide * sine))
      continue;
    const double reach = std::min({length_2point(a.m_Beg, a.m_End) / 2, length_2point(b.m_Beg, b.m_End) / 2,
                                   KelTol::SitePinnedSlide});
    if (length_2point(*x, b.m_Beg) <= reach && OffLine(a.m_Beg, a.m_End, *x) <= KelTol::SiteSideFit &&
        OffLine(b.m_Beg, b.m_End, *x) <= KelTol::SiteSideFit && KeepsJointOrder(a, b, *x)) {
      at[k] = *x;
      moved[k] = true;
    }
  }
  if (std::none_of(moved.begin(), moved.end(), [](bool b) { return b; }))
    return;
  const int m = m_Pieces.GetSize();
  for (std::size_t k = 0; k < count; ++k) {
    m_Sides[k].m_Beg = at[k];
    static_cast<CKelCoord2D&>(m_Pieces.m_pt[static_cast<std::size_t>(m_Sides[k].m_First)]) = at[k];
  }
  for (std::size_t k = 0; k < count; ++k) {
    SurveyedSide& side = m_Sides[k];
    side.m_End = m_Sides[(k + 1) % count].m_Beg;
    if (!moved[k] && !moved[(k + 1) % count])
      continue;
    for (int j = 1; j < side.m_Count; ++j) {
      CKelCoord2D& p = m_Pieces.m_pt[static_cast<std::size_t>((side.m_First + j) % m)];
      p = kel_polyline::Foot(side.m_Beg, side.m_End, p);
    }
  }
  m_Pieces.SetMaxMin();
}

int CKelSiteWorkOutline::SideOfPiece(int p) const
{
  if (p < 0 || p >= static_cast<int>(m_SideOfPiece.size()))
    return -1;
  return m_SideOfPiece[static_cast<std::size_t>(p)];
}

// A run's edge data (start, direction, length) are those of its whole line:
// from where the side it begins starts (Sides(), so every reader of a run
// reads the side's own ends) to where the next run's does. Never those of its first piece, which a survey point 10 cm along
// and 10 mm off the frontage turns by 6 degrees, nor those of the edge
// kept after a doubled corner, which starts a hair past the corner: the
// kept edge starts where the cleaned outline starts it (CleanOutline).
void CKelSiteWorkOutline::SpanRuns()
{
  const int count = m_Runs.GetSize();
  std::vector<CKelCoord2D> start;
  for (int r = 0; r < count; ++r) {
    const std::vector<int>& edges = StoredOfPiece(PiecesOfRun(r).front());
    const auto kept = std::find_if(edges.begin(), edges.end(), [&](int e) { return !IsDropped(e); });
    // Where folded edges lie before it, or its start was put on its side,
    // the run starts at its joint (MeetAcrossFolds), as far from the edge's
    // listed start as the joint, however little: a point put on a short
    // side from a hair off it would else turn the side by that hair.
    const int at = kept != edges.end() ? m_StartAt[static_cast<std::size_t>(*kept)] : edges.front();
    const CKelSiteTable& first = m_Stored->Vertex(at);
    const int side = SideOfPiece(PiecesOfRun(r).front());
    const bool begins = side >= 0 && m_Sides[static_cast<std::size_t>(side)].m_First == PiecesOfRun(r).front();
    const CKelCoord2D joint = begins ? m_Sides[static_cast<std::size_t>(side)].m_Beg : CKelCoord2D(m_Runs.Vertex(r));
    static_cast<CKelCoord2D&>(m_Runs.m_pt[static_cast<std::size_t>(r)]) = joint;
    const bool moved = joint.m_x != first.m_x || joint.m_y != first.m_y;
    const CKelCoord2D& listed = first.m_Sphere.m_EdgePos[0];
    start.push_back(moved ? CKelCoord2D(listed.m_x + (joint.m_x - first.m_x), listed.m_y + (joint.m_y - first.m_y)) : listed);
  }
  for (int r = 0; r < count; ++r) {
    CKelHsiteSphereTable& edge = m_Runs.m_pt[static_cast<std::size_t>(r)].m_Sphere;
    edge.m_EdgePos[0] = start[static_cast<std::size_t>(r)];
    (void)CalcCosSin(start[static_cast<std::size_t>(r)], start[static_cast<std::size_t>((r + 1) % count)],
                     &edge.m_EdgeCos, &edge.m_EdgeSin, &edge.m_EdgeLen);
  }
  m_Runs.SetMaxMin();
}

// The kept edges, each from where it now starts. An edge whose start (or
// end) moved to another listed point, a back-track's tip, takes the road
// values the listing gives there, from the edge that starts (or ends) at
// that point, where it is of the same road: a tapered road's width at the
// tip is the width listed at the tip.
CKelHSite CKelSiteWorkOutline::Cleaned(const CKelHSite& stored, const KeptOutline& clean)
{
  CKelHSite out = stored;
  out.m_pt.clear();
  const std::size_t m = clean.m_Edges.size();
  for (std::size_t k = 0; k < m; ++k) {
    const int at = clean.m_At[k], end = clean.m_At[(k + 1) % m];
    CKelSiteTable v = stored.Vertex(clean.m_Edges[k]);
    static_cast<CKelCoord2D&>(v) = stored.Vertex(at);
    const CKelSiteTable& begins = stored.Vertex(at);
    if (at != clean.m_Edges[k] && RoadRunsOn(begins, v)) {
      v.m_RoadWidthBeg = begins.m_RoadWidthBeg;
      v.m_RoadHeight1 = begins.m_RoadHeight1;
    }
    const CKelSiteTable& ends = stored.Vertex(end - 1);
    if (end != stored.Next(clean.m_Edges[k]) && RoadRunsOn(v, ends)) {
      v.m_RoadWidthEnd = ends.m_RoadWidthEnd;
      v.m_RoadHeight2 = ends.m_RoadHeight2;
    }
    out.m_pt.push_back(v);
  }
  return out;
}

// The pieces were made on the outline without its repeats and spikes, whose
// edge k is stored edge kept[k]; each dropped stored edge joins the piece
// of the kept edge after it, before that edge, as it lies in the outline.
void CKelSiteWorkOutline::ToStoredEdges(const std::vector<int>& kept, int n, std::vector<Piece>& pieces)
{
  if (kept.empty())
    return;
  std::vector<std::vector<int>> withDropped(kept.size());
  std::vector<int> pending;
  const int first = kept.front();
  std::size_t at = 0;
  for (int s = 1; s <= n; ++s) {
    const int e = (first + s) % n;
    if (m_Dropped[static_cast<std::size_t>(e)]) {
      pending.push_back(e);
      continue;
    }
    at = e == first ? 0 : at + 1;
    pending.push_back(e);
    withDropped[at] = std::move(pending);
    pending.clear();
  }
  for (Piece& p : pieces) {
    std::vector<int> edges;
    for (int c : p.m_Edges)
      edges.insert(edges.end(), withDropped[static_cast<std::size_t>(c)].begin(),
                   withDropped[static_cast<std::size_t>(c)].end());
    p.m_Edges = std::move(edges);
    p.m_Kept = kept[static_cast<std::size_t>(p.m_Kept)];
  }
}

std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::EdgeByEdge(const CKelHSite& site)
{
  std::vector<Piece> out;
  out.reserve(static_cast<std::size_t>(site.GetSize()));
  for (int e = 0; e < site.GetSize(); ++e)
    out.push_back(Piece{site.Vertex(e), {e}, e});
  return out;
}

std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::OneRunEach(const std::vector<Piece>& pieces)
{
  std::vector<Piece> out;
  out.reserve(pieces.size());
  for (std::size_t p = 0; p < pieces.size(); ++p)
    out.push_back(Piece{pieces[p].m_Rec, {static_cast<int>(p)}, pieces[p].m_Kept});
  return out;
}

// A tiny edge folds into the neighbour of its own kind, or, unmarked, into
// the next edge; a marked one between edges of other kinds (a lone road
// stub) is an edge of its own. Where both neighbours would take it, it
// goes to the one whose line alone it lies on (FoldsBack): a point on an
// edge's line just before a corner then changes nothing. Pieces stay contiguous:
// an edge going back takes the edges before it that wait to go forward
// along.
std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::FoldTinyEdges(const CKelHSite& site,
                                                                          const std::vector<double>& dropped) const
{
  const int n = site.GetSize();
  std::vector<bool> tiny(static_cast<std::size_t>(n));
  for (int e = 0; e < n; ++e)
    tiny[static_cast<std::size_t>(e)] = length_2point(site.Vertex(e), site.Vertex(e + 1)) <= m_Tiny;
  // A dense chain's pieces stand as edges of their own: each first edge is
  // kept, the rest of its piece follows it.
  const std::vector<int> head = DenseChains(site, tiny);
  int longEdges = 0;
  for (int e = 0; e < n; ++e) {
    if (head[static_cast<std::size_t>(e)] == e)
      tiny[static_cast<std::size_t>(e)] = false;
    longEdges += tiny[static_cast<std::size_t>(e)] ? 0 : 1;
  }
  std::vector<Piece> pieces;
  if (longEdges < 3)
    return pieces;
  pieces.reserve(static_cast<std::size_t>(longEdges));
  auto kindOf = [&](int e) { return Kind(site.Vertex(e)); };
  const std::vector<int> longBefore = NearestLongEdges(tiny, -1);
  const std::vector<int> longAfter = NearestLongEdges(tiny, +1);
  // 0 kept, 1 folded back, 2 folded forward, 3 following its dense chain
  // piece's first edge; whether it may go forward.
  std::vector<int> fate(static_cast<std::size_t>(n), 0);
  std::vector<bool> mayAhead(static_cast<std::size_t>(n), false);
  std::vector<bool> mayBack(static_cast<std::size_t>(n), false);
  for (int e = 0; e < n; ++e) {
    if (!tiny[static_cast<std::size_t>(e)])
      continue;
    if (head[static_cast<std::size_t>(e)] >= 0) {
      fate[static_cast<std::size_t>(e)] = 3;
      continue;
    }
    const int k = kindOf(e);
    const int back = longBefore[static_cast<std::size_t>(e)];
    const int ahead = longAfter[static_cast<std::size_t>(e)];
    const int before = kindOf(back);
    const int after = kindOf(ahead);
    if (k != 0 && k != before && k != after)
      continue;
    const bool mayGoBack = k == before;
    const bool mayGoAhead = k == 0 || k == after;
    // Going back, the edge's end becomes the joint of the two pieces;
    // going forward, its start.
    const bool goBack = mayGoBack && (!mayGoAhead || FoldsBack(site, back, ahead, e));
    fate[static_cast<std::size_t>(e)] = goBack ? 1 : 2;
    mayAhead[static_cast<std::size_t>(e)] = mayGoAhead;
    mayBack[static_cast<std::size_t>(e)] = mayGoBack;
  }
  // Start after a kept edge so no piece wraps round the walk.
  int start = 0;
  while (fate[static_cast<std::size_t>((start + n - 1) % n)] != 0)
    start = (start + 1) % n;
  std::vector<int> pending;  // folded edges waiting for the next kept one
  std::vector<int> leading;  // folded back before the walk met a kept edge
  WaitingKinds waiting;      // the marked kinds in pending
  const auto settled = [&] {
    pending.clear();
    waiting.Clear();
  };
  for (int s = 0; s < n; ++s) {
    const int e = (start + s) % n;
    int f = fate[static_cast<std::size_t>(e)];
    if (f == 3) {
      // Before any piece only when the walk starts just after its first edge.
      (pieces.empty() ? leading : pieces.back().m_Edges).push_back(e);
      continue;
    }
    // Edges waiting to go forward lie between this one and the piece it
    // goes back to, so they go back with it: an unmarked one, or one of its
    // kind. A marked one of another kind keeps it from going back.
    const bool pastOther = waiting.OtherThan(kindOf(e));
    // Nor does a piece of another kind kept between (a tiny corner cut).
    const bool backOther = !pieces.empty() && kindOf(e) != 0 && Kind(pieces.back().m_Rec) != kindOf(e);
    // A tiny road edge with no road piece to go to, right after a kept
    // corner cut, is part of that corner (its road has no length): as an
    // edge of its own it would make the corner a corner of two roads.
    const bool cornerTakes = !pastOther && !mayAhead[static_cast<std::size_t>(e)] && !pieces.empty() &&
                             kindOf(e) == CKelSiteTable::kRoad && Kind(pieces.back().m_Rec) == CKelSiteTable::kSumikiri;
    if (f == 1 && (pastOther || backOther) && !cornerTakes)
      f = mayAhead[static_cast<std::size_t>(e)] ? 2 : 0;
    if (f == 1 && pieces.empty()) {
      leading.insert(leading.end(), pending.begin(), pending.end());
      leading.push_back(e);
      settled();
    } else if (f == 1) {
      pieces.back().m_Edges.insert(pieces.back().m_Edges.end(), pending.begin(), pending.end());
      pieces.back().m_Edges.push_back(e);
      settled();
    } else if (f != 0) {
      pending.push_back(e);
      waiting.Add(kindOf(e));
    } else {
      SettleWaiting(site, e, mayBack, pending, leading, pieces);
      Piece p{site.Vertex(e), pending, e};
      p.m_Edges.push_back(e);
      static_cast<CKelCoord2D&>(p.m_Rec) = site.Vertex(p.m_Edges.front());
      pieces.push_back(std::move(p));
      settled();
    }
  }
  // The walk's first edges follow its last ones round the outline: edges
  // folded back there go to the last piece, unless edges folded forward lie
  // between; those go to the first piece, whose start then moves back.
  if (pending.empty()) {
    Piece& last = pieces.back();
    last.m_Edges.insert(last.m_Edges.end(), leading.begin(), leading.end());
  } else {
    pending.insert(pending.end(), leading.begin(), leading.end());
    Piece& first = pieces.front();
    first.m_Edges.insert(first.m_Edges.begin(), pending.begin(), pending.end());
    static_cast<CKelCoord2D&>(first.m_Rec) = site.Vertex(pending.front());
  }
  for (Piece& p : pieces)
    TakeFoldedEnds(site, p);
  MeetAcrossFolds(site, fate, dropped, pieces);
  return pieces;
}

// The sides of the pieces and where they meet. A side is a stretch of
// long pieces of one kind, a road running on across them, whose joints lie
// within the survey's on-line distance of its line (OffLineCorners); a
// joint inside a side is put on that line, so a point a survey put on a
// side, or a hair off it, is no corner for any reader, at any placement,
// wherever along the side it lies. Where tiny edges were folded between two
// pieces, they meet where their sides' lines cross (FoldedJoint); a fold
// inside one side (a stub on a frontage) then lies on it too. A dense
// chain's piece is weighed as the line its chain draws: a side listed
// densely over part of its length is one side with the rest of it, its
// joints put on the whole side's line, never a line of their own taken
// from a scattered point a few decimetres along. The joints of an evenly
// listed arc keep the points they were listed at, however a fold or a
// corner listed again beside them sways their turns (ArcAcrossFolds): the
// runs cut the arc there too.
void CKelSiteWorkOutline::MeetAcrossFolds(const CKelHSite& site, const std::vector<int>& fate,
                                          const std::vector<double>& dropped, std::vector<Piece>& pieces) const
{
  const std::size_t m = pieces.size();
  if (m < 3)
    return;
  const auto at = [&](std::size_t q) -> const Piece& { return pieces[q % m]; };
  const auto before = [&](std::size_t q) -> const Piece& { return pieces[(q + m - 1) % m]; };
  const auto folded = [&](int e) {
    const int f = fate[static_cast<std::size_t>(e)];
    return f == 1 || f == 2;
  };
  // The edges piece p's own line spans from its kept edge: a dense chain's
  // piece spans the chain's edges that follow it.
  const auto ownEdges = [&](const Piece& p) {
    auto it = std::find(p.m_Edges.begin(), p.m_Edges.end(), p.m_Kept);
    int count = 1;
    while (it != p.m_Edges.end() && ++it != p.m_Edges.end() && fate[static_cast<std::size_t>(*it)] == 3)
      ++count;
    return count;
  };
  const auto endOf = [&](const Piece& p) { return p.m_Kept + ownEdges(p); };
  const auto isLong = [&](const Piece& p) { return length_2point(site.Vertex(p.m_Kept), site.Vertex(endOf(p))) > m_Tiny; };
  // Joint q (where piece q starts): between two pieces of their own with
  // only folded edges between (foldedAt: some), both long and of one kind.
  std::vector<bool> foldedAt(m, false), plainAt(m, false), sameAt(m, false);
  for (std::size_t q = 0; q < m; ++q) {
    const Piece& b = before(q);
    const Piece& a = at(q);
    std::vector<int> between(std::find(b.m_Edges.begin(), b.m_Edges.end(), b.m_Kept) + ownEdges(b), b.m_Edges.end());
    between.insert(between.end(), a.m_Edges.begin(), std::find(a.m_Edges.begin(), a.m_Edges.end(), a.m_Kept));
    plainAt[q] = fate[static_cast<std::size_t>(b.m_Kept)] == 0 && fate[static_cast<std::size_t>(a.m_Kept)] == 0 &&
                 std::all_of(between.begin(), between.end(), folded);
    foldedAt[q] = plainAt[q] && !between.empty();
    const CKelSiteTable& u = site.Vertex(b.m_Kept);
    const CKelSiteTable& v = site.Vertex(a.m_Kept);
    sameAt[q] = plainAt[q] && isLong(b) && isLong(a) &&
                ((Kind(u) == 0 && Kind(v) == 0) || Continues(u, v, site.Vertex(endOf(a))));
  }
  std::vector<CKelCoord2D> joints, listed;
  for (const Piece& p : pieces) {
    joints.push_back(p.m_Rec);
    listed.push_back(site.Vertex(p.m_Kept));
  }
  // The joints of evenly listed arcs are no points on a side, at any step:
  // weighed across the folds, which end the sides of step 1, as a few
  // chords left between a fold and the arc's end would read alone as one
  // straight side.
  std::vector<int> foldedFrom(m, -1);
  for (std::size_t q = 0; q < m; ++q)
    foldedFrom[q] = foldedAt[q] ? endOf(before(q)) : -1;
  const std::vector<double> slack = JointSlack(site, pieces, foldedFrom, dropped);
  const std::vector<CKelCoord2D> starts = joints;
  std::vector<bool> arc = ArcAcrossFolds(starts, sameAt, slack);
  std::vector<bool> onSide(m);
  for (std::size_t q = 0; q < m; ++q)
    onSide[q] = sameAt[q] && !arc[q];
  // 1. Sides through the kept edges' listed starts, folds left out. A side
  // ending at a fold ends where its own last kept edge does, not at the
  // next piece's listed start across the fold: else a step read the other
  // way round would end the side before it on the step's far side.
  std::vector<bool> direct(m);
  std::vector<CKelCoord2D> endsAt = listed;
  for (std::size_t q = 0; q < m; ++q) {
    direct[q] = onSide[q] && !foldedAt[q];
    if (foldedAt[q])
      endsAt[q] = site.Vertex(endOf(before(q)));
  }
  SideJoints sides = OnSides(listed, direct, &endsAt);
  // 2. The folds, where the sides' lines cross.
  for (std::size_t q = 0; q < m; ++q) {
    if (!foldedAt[q])
      continue;
    std::vector<CKelCoord2D> chain;
    for (int e = endOf(before(q));; ++e) {
      chain.push_back(site.Vertex(e));
      if ((e - at(q).m_Kept) % site.GetSize() == 0)
        break;
    }
    const CKelCoord2D& b0 = site.Vertex(at(sides.m_Start[(q + m - 1) % m]).m_Kept);
    const CKelCoord2D& a1 = site.Vertex(endOf(at(sides.m_End[q])));
    joints[q] = kel_polyline::FoldedJoint(b0, a1, chain, m_Tiny);
  }
  PutOnSides(sides, joints);
  // 3. Sides through the folds too: a stub folded inside a side. The arcs
  // are weighed again with the sides' joints put on them and the folds at
  // their starts: three points of a side's scatter turning alike to
  // round-off are no arc once the points beside them lie on the side.
  std::vector<CKelCoord2D> settled = joints;
  for (std::size_t q = 0; q < m; ++q) {
    if (foldedAt[q])
      settled[q] = starts[q];
  }
  arc = ArcAcrossFolds(settled, sameAt, slack);
  for (std::size_t q = 0; q < m; ++q) {
    onSide[q] = sameAt[q] && !arc[q];
    pieces[q].m_OnArc = arc[q];
  }
  sides = OnSides(joints, onSide);
  PutOnSides(sides, joints);
  for (std::size_t q = 0; q < m; ++q)
    static_cast<CKelCoord2D&>(pieces[q].m_Rec) = joints[q];
}

// How far each joint of the pieces may lie off the corner the survey drew:
// by its folded edges' length (from foldedFrom, the first of them, where
// not -1), and by the edges the cleaning dropped before its kept edge (a
// corner listed again a hair back along the side before, the kept edge
// starting at the copy).
std::vector<double> CKelSiteWorkOutline::JointSlack(const CKelHSite& site, const std::vector<Piece>& pieces,
                                                    const std::vector<int>& foldedFrom,
                                                    const std::vector<double>& dropped)
{
  const std::size_t m = pieces.size();
  const int n = site.GetSize();
  std::vector<double> slack(m, 0.0);
  for (std::size_t q = 0; q < m; ++q) {
    const int kept = pieces[q].m_Kept;
    for (int e = foldedFrom[q] >= 0 ? foldedFrom[q] : kept;; ++e) {
      slack[q] += dropped[static_cast<std::size_t>(e % n)];
      if ((e - kept) % n == 0)
        break;
      slack[q] += length_2point(site.Vertex(e), site.Vertex(e + 1));
    }
  }
  return slack;
}

// The joints of the closed polyline pts that lie on evenly listed arcs
// (EvenArcJoints), each stretch of candidates weighed whole with the
// joints that end it. A joint given slack (a fold, the piece's start an
// end of its folded edges) sways the arc's turns beside it by that much.
std::vector<bool> CKelSiteWorkOutline::ArcAcrossFolds(const std::vector<CKelCoord2D>& pts,
                                                      const std::vector<bool>& candidate,
                                                      const std::vector<double>& slack)
{
  const std::size_t m = pts.size();
  std::vector<bool> arc(m, false);
  std::size_t first = 0;
  while (first < m && candidate[first])
    ++first;
  for (std::size_t s = 0; first < m && s < m;) {
    std::size_t len = 1;
    while (len < m - s && candidate[(first + s + len) % m])
      ++len;
    std::vector<CKelCoord2D> stretch;
    std::vector<double> sway;
    for (std::size_t k = 0; k <= len; ++k) {
      stretch.push_back(pts[(first + s + k) % m]);
      sway.push_back(slack[(first + s + k) % m]);
    }
    const std::vector<bool> on = kel_polyline::EvenArcJoints(stretch, sway);
    for (std::size_t k = 1; k < len; ++k)
      arc[(first + s + k) % m] = on[k];
    s += len;
  }
  return arc;
}

// The sides of the closed polyline pts whose joints may lie on a side
// (candidate; the others end sides): each stretch of candidates thinned to
// the joints off its line (OffLineCorners). A side ends at endsAt of its
// end joint where given, at the joint itself else. No side when all are
// candidates.
CKelSiteWorkOutline::SideJoints CKelSiteWorkOutline::OnSides(const std::vector<CKelCoord2D>& pts,
                                                        const std::vector<bool>& candidate,
                                                        const std::vector<CKelCoord2D>* endsAt,
                                                        const kel_polyline::StretchJudge& drawsSide)
{
  const std::size_t m = pts.size();
  SideJoints sides{std::vector<bool>(m, false), std::vector<std::size_t>(m), std::vector<std::size_t>(m)};
  std::size_t first = 0;
  while (first < m && candidate[first])
    ++first;
  if (first == m)
    first = 0;
  for (std::size_t s = 0; first < m && s < m && !candidate[first];) {
    std::size_t len = 1;
    while (len < m - s && candidate[(first + s + len) % m])
      ++len;
    std::vector<CKelCoord2D> stretch;
    for (std::size_t k = 0; k < len; ++k)
      stretch.push_back(pts[(first + s + k) % m]);
    stretch.push_back((endsAt != nullptr ? *endsAt : pts)[(first + s + len) % m]);
    const std::size_t from = first + s;
    const std::vector<bool> corner =
        drawsSide ? kel_polyline::OffLineCorners(stretch, [&](std::size_t a, std::size_t b) {
          return drawsSide((from + a) % m, b - a);
        })
                  : kel_polyline::OffLineCorners(stretch);
    for (std::size_t k = 1; k < len; ++k)
      sides.m_On[(first + s + k) % m] = !corner[k];
    s += len;
  }
  for (std::size_t s = 0; s < m; ++s) {
    const std::size_t q = (first + s) % m;
    sides.m_Start[q] = sides.m_On[q] && s > 0 ? sides.m_Start[(q + m - 1) % m] : q;
  }
  for (std::size_t s = m; s-- > 0;) {
    const std::size_t q = (first + s) % m;
    const std::size_t next = (q + 1) % m;
    sides.m_End[q] = sides.m_On[next] && s + 1 < m ? sides.m_End[next] : q;
  }
  return sides;
}

// Each joint inside a side onto the line between the side's end joints.
void CKelSiteWorkOutline::PutOnSides(const SideJoints& sides, std::vector<CKelCoord2D>& joints)
{
  const std::size_t m = joints.size();
  const std::vector<CKelCoord2D> was = joints;
  for (std::size_t q = 0; q < m; ++q) {
    if (sides.m_On[q])
      joints[q] = kel_polyline::Foot(was[sides.m_Start[q]], was[(sides.m_End[q] + 1) % m], was[q]);
  }
}

// The chains of consecutive tiny edges of one kind drawing more than
// KelTol::SiteDenseTinies tiny sizes, each cut into the pieces of the line
// or arc it draws (CutsAtBends): a line stays whole, an arc is cut into
// chords of at most that length, as finely as an arc drawn in edges just
// above the tiny size is read, so the direction beside a rounded corner
// does not depend on how densely it is listed. Per edge the first edge of
// its piece, -1 outside every chain. An outline that is one chain all round
// has none.
std::vector<int> CKelSiteWorkOutline::DenseChains(const CKelHSite& site, const std::vector<bool>& tiny) const
{
  const int n = site.GetSize();
  std::vector<int> head(static_cast<std::size_t>(n), -1);
  const auto on = [&](int e) { return tiny[static_cast<std::size_t>(e % n)]; };
  // Edge e carries on the chain of the edge before it: of its kind, and of
  // its road where it is one, so a piece of a dense listing never straddles
  // the corner where two roads meet and stays with the road whose line it
  // lies on.
  const auto links = [&](int e) {
    const CKelSiteTable& before = site.Vertex((e + n - 1) % n);
    const CKelSiteTable& own = site.Vertex(e % n);
    return on(e) && on(e + n - 1) && OneSide(before, own);
  };
  int start = 0;
  while (start < n && links(start))
    ++start;
  if (start == n)
    return head;
  for (int s = 0; s < n;) {
    const int e = start + s;
    int len = 1;
    while (on(e) && s + len < n && links(e + len))
      ++len;
    s += len;
    std::vector<CKelCoord2D> pts{site.Vertex(e)};
    double drawn = 0;
    for (int k = 1; k <= len; ++k) {
      pts.push_back(site.Vertex(e + k));
      drawn += length_2point(pts[static_cast<std::size_t>(k - 1)], pts[static_cast<std::size_t>(k)]);
    }
    if (!on(e) || !(drawn > KelTol::SiteDenseTinies * m_Tiny))
      continue;
    std::vector<std::size_t> cuts = CutsAtBends(pts, m_Tiny, KelTol::SiteDenseTinies * m_Tiny);
    cuts.push_back(static_cast<std::size_t>(len));
    int from = 0;
    for (std::size_t to : cuts) {
      for (int k = from; k < static_cast<int>(to); ++k)
        head[static_cast<std::size_t>((e + k) % n)] = (e + from) % n;
      from = static_cast<int>(to);
    }
  }
  return head;
}

// Edges waiting to go forward meet kept edge e before the long edge they
// were going to (a tiny corner cut kept between its roads): a marked one of
// another kind than e cannot join e's piece, or a road edge would lose its
// road inside a cut. It goes back with the edges before it when the piece
// there is of its kind; else tiny road edges join a kept cut's piece, and
// others make a piece of their own, kept as that edge.
void CKelSiteWorkOutline::SettleWaiting(const CKelHSite& site, int e, const std::vector<bool>& mayBack,
                                        std::vector<int>& pending, std::vector<int>& leading,
                                        std::vector<Piece>& pieces)
{
  const int kind = Kind(site.Vertex(e));
  int last = -1;
  for (std::size_t j = 0; j < pending.size(); ++j) {
    const int k = Kind(site.Vertex(pending[j]));
    if (k != 0 && k != kind)
      last = static_cast<int>(j);
  }
  if (last < 0)
    return;
  const int edge = pending[static_cast<std::size_t>(last)];
  const bool backFits = pieces.empty() ? mayBack[static_cast<std::size_t>(edge)]
                                       : Kind(pieces.back().m_Rec) == Kind(site.Vertex(edge));
  // Tiny road edges before a kept corner cut that cannot go back are part
  // of that corner, as a road edge of their own would make it a corner of
  // two roads: they join the cut's piece, their roads of no length.
  const bool onlyRoads = std::all_of(pending.begin(), pending.begin() + last + 1, [&](int q) {
    const int k = Kind(site.Vertex(q));
    return k == 0 || k == kind || k == CKelSiteTable::kRoad;
  });
  if (!backFits && kind == CKelSiteTable::kSumikiri && onlyRoads)
    return;
  const std::vector<int> head(pending.begin(), pending.begin() + last + 1);
  pending.erase(pending.begin(), pending.begin() + last + 1);
  if (!backFits) {
    Piece own{site.Vertex(edge), head, edge};
    static_cast<CKelCoord2D&>(own.m_Rec) = site.Vertex(head.front());
    pieces.push_back(own);
  } else if (pieces.empty()) {
    leading.insert(leading.end(), head.begin(), head.end());
  } else {
    pieces.back().m_Edges.insert(pieces.back().m_Edges.end(), head.begin(), head.end());
  }
}

// A road piece that starts (or ends) with a folded road edge of the same
// road takes that edge's begin (or end) width and height: a tapered road's
// width at the piece's start is that of the edge lying there, not the kept
// edge's. The same road runs on across the joint (the widths and heights
// meet there); an edge of another road (across a bend where the width
// changes) gives nothing.
void CKelSiteWorkOutline::TakeFoldedEnds(const CKelHSite& site, Piece& p)
{
  if (!p.m_Rec.IsRoad())
    return;
  auto near = [](double a, double b) { return std::fabs(a - b) <= KelTol::SiteOnLine; };
  const auto at = std::find(p.m_Edges.begin(), p.m_Edges.end(), p.m_Kept);
  if (at == p.m_Edges.end())
    return;
  // Walks out from the kept edge while the folded road edges run on.
  double wBeg = p.m_Rec.m_RoadWidthBeg, hBeg = p.m_Rec.m_RoadHeight1;
  for (auto it = std::make_reverse_iterator(at); it != p.m_Edges.rend(); ++it) {
    const CKelSiteTable& v = site.Vertex(*it);
    if (!v.IsRoad() || !near(v.m_RoadWidthEnd, wBeg) || !near(v.m_RoadHeight2, hBeg))
      break;
    wBeg = v.m_RoadWidthBeg;
    hBeg = v.m_RoadHeight1;
  }
  double wEnd = p.m_Rec.m_RoadWidthEnd, hEnd = p.m_Rec.m_RoadHeight2;
  for (auto it = at + 1; it != p.m_Edges.end(); ++it) {
    const CKelSiteTable& v = site.Vertex(*it);
    if (!v.IsRoad() || !near(v.m_RoadWidthBeg, wEnd) || !near(v.m_RoadHeight1, hEnd))
      break;
    wEnd = v.m_RoadWidthEnd;
    hEnd = v.m_RoadHeight2;
  }
  p.m_Rec.m_RoadWidthBeg = wBeg;
  p.m_Rec.m_RoadHeight1 = hBeg;
  p.m_Rec.m_RoadWidthEnd = wEnd;
  p.m_Rec.m_RoadHeight2 = hEnd;
}


// No edge is tiny, none continues the one before and no point lies within
// the survey's on-line distance of its unmarked neighbours' line (a point
// on a side, which the pieces put on it): every edge is a piece and a run
// of its own (most clean outlines).
bool CKelSiteWorkOutline::IsPlain(const CKelHSite& site) const
{
  const int n = site.GetSize();
  if (n < 3)
    return false;
  for (int e = 0; e < n; ++e) {
    const CKelSiteTable& before = site.Vertex(e - 1);
    const CKelSiteTable& own = site.Vertex(e);
    const bool onSide = Kind(before) == 0 && Kind(own) == 0 &&
                        OffLine(before, site.Vertex(e + 1), own) <= KelTol::SiteOnLine + KelTol::SiteOnLineExactly;
    if (!(length_2point(own, site.Vertex(e + 1)) > m_Tiny) || Continues(before, own, site.Vertex(e + 1)) || onSide)
      return false;
  }
  return true;
}

// Walks the pieces once round from one that does not continue its
// predecessor, so a frontage across the outline's first vertex is met whole;
// each stretch of continuing pieces is then cut where it leaves its chord.
std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::JoinRuns(const std::vector<Piece>& pieces) const
{
  const std::size_t n = pieces.size();
  auto rec = [&](std::size_t k) -> const CKelSiteTable& { return pieces[k % n].m_Rec; };
  // Consecutive neighbour pieces are weighed together, however they zigzag
  // within the survey's scatter (two by two, a piece's start may lie off
  // the line of the next by twice the scatter), and cut into the sides they
  // draw by SplitByChord.
  const auto joins = [&](std::size_t k) {
    return (Kind(rec(k + n - 1)) == 0 && Kind(rec(k)) == 0) || Continues(rec(k + n - 1), rec(k), rec(k + 1));
  };
  std::size_t start = 0;
  while (start < n && joins(start))
    ++start;
  if (start == n) {
    // A lot of neighbours alone starts where its pieces do not run on.
    start = 0;
    while (start < n && Continues(rec(start + n - 1), rec(start), rec(start + 1)))
      ++start;
  }
  if (start == n)
    return OneRunEach(pieces);
  std::vector<Piece> out;
  std::vector<Piece> stretch;
  for (std::size_t s = 0; s < n; ++s) {
    const std::size_t k = (start + s) % n;
    const Piece one{pieces[k].m_Rec, {static_cast<int>(k)}, pieces[k].m_Kept, pieces[k].m_OnArc};
    if (!stretch.empty() && !joins(k)) {
      const std::vector<Piece> runs = SplitByChord(stretch, one.m_Rec);
      out.insert(out.end(), runs.begin(), runs.end());
      stretch.clear();
    }
    stretch.push_back(one);
  }
  const std::vector<Piece> runs = SplitByChord(stretch, rec(start));
  out.insert(out.end(), runs.begin(), runs.end());
  return out;
}

// The stretch's pieces (their points, then end) as runs whose points lie
// within tiny of their chords, cut only where the frontage bends
// (CutsAtBends).
std::vector<CKelSiteWorkOutline::Piece> CKelSiteWorkOutline::SplitByChord(const std::vector<Piece>& stretch,
                                                                         const CKelCoord2D& end) const
{
  std::vector<CKelCoord2D> pts;
  std::vector<bool> onArc;
  for (const Piece& p : stretch) {
    pts.push_back(p.m_Rec);
    onArc.push_back(p.m_OnArc);
  }
  pts.push_back(end);
  onArc.push_back(false);
  // A neighbour's pieces are its sides at the survey's scale: each is cut
  // at every bend, however slight, as a side of its own gives a cut its
  // direction.
  std::vector<std::size_t> cuts;
  if (Kind(stretch.front().m_Rec) == 0) {
    const std::vector<std::size_t> bends = Bends(pts, onArc);
    cuts.assign(bends.begin() + 1, bends.end() - 1);
  } else {
    cuts = CutsAtBends(pts, m_Tiny, std::numeric_limits<double>::infinity(), onArc);
  }
  cuts.push_back(stretch.size());
  std::vector<Piece> out;
  std::size_t from = 0;
  for (std::size_t to : cuts) {
    Piece run = stretch[from];
    for (std::size_t j = from + 1; j < to; ++j) {
      run.m_Rec.m_RoadWidthEnd = stretch[j].m_Rec.m_RoadWidthEnd;
      run.m_Rec.m_RoadHeight2 = stretch[j].m_Rec.m_RoadHeight2;
      run.m_Edges.push_back(stretch[j].m_Edges.front());
    }
    out.push_back(run);
    from = to;
  }
  return out;
}

CKelHSite CKelSiteWorkOutline::MakeSite(const CKelHSite& site, const std::vector<Piece>& pieces)
{
  CKelHSite out = site;
  out.m_pt.clear();
  for (const Piece& p : pieces)
    out.m_pt.push_back(p.m_Rec);
  out.SetMaxMin();
  return out;
}

int CKelSiteWorkOutline::PieceOf(int i) const
{
  if (i < 0 || i >= static_cast<int>(m_PieceOf.size()))
    return -1;
  return m_PieceOf[static_cast<std::size_t>(i)];
}

bool CKelSiteWorkOutline::IsDropped(int i) const
{
  return i >= 0 && i < static_cast<int>(m_Dropped.size()) && m_Dropped[static_cast<std::size_t>(i)];
}

bool CKelSiteWorkOutline::IsFolded(int i) const
{
  return i >= 0 && i < static_cast<int>(m_Folded.size()) && m_Folded[static_cast<std::size_t>(i)];
}

const std::vector<int>& CKelSiteWorkOutline::StoredOfPiece(int p) const
{
  return m_PieceEdges[static_cast<std::size_t>(p)];
}

int CKelSiteWorkOutline::KeptOfPiece(int p) const { return m_PieceKept[static_cast<std::size_t>(p)]; }

const std::vector<int>& CKelSiteWorkOutline::PiecesOfRun(int r) const
{
  return m_RunPieces[static_cast<std::size_t>(r)];
}

int CKelSiteWorkOutline::FirstOfRun(int r) const
{
  return StoredOfPiece(PiecesOfRun(r).front()).front();
}
