// The road and crossing tables of a surveyed outline (CKelSiteWorkOutline).
//
// Vocabulary: a piece is an edge of the outline with a survey's tiny edges
// folded into it; a line is a stretch of pieces the work outline put on
// one side (a side surveyed every few centimetres); a run is a stretch of
// pieces along one chord, one frontage or one corner cut. The corners of a
// road (its cut or straight ends, its crossings with the next road) are
// decided on the runs, where a noisy point a few millimetres off a 4 m
// frontage cannot turn a reflex corner into a road running into the site.
// Each line keeps its own road in between, its pieces dividing it as the
// road of a frontage split on its line is divided, and the table keeps one
// road per stored road edge: a folded edge's road has no length.

#include <algorithm>
#include <cmath>
#include <numeric>

#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"
#include "KelGeometry.h"
#include "KelPolyline.h"
#include "KelTolerance.h"

namespace {

using Road = CSiteRoadTable;

constexpr std::uint16_t kBegBits = Road::kBegCut | Road::kBegCut << 4 | Road::kBegJoined | Road::kBegNotJoined;
constexpr std::uint16_t kEndBits = Road::kEndCut | Road::kEndCut << 4 | Road::kEndJoined | Road::kEndNotJoined;

CKelCoord3D Flat(const CKelCoord2D& p) { return CKelCoord3D(p.m_x, p.m_y, 0); }

bool BeginIsCut(const Road& r) { return (r.GetCalcShape() & Road::kBegCut) != 0; }
bool EndIsCut(const Road& r) { return (r.GetCalcShape() & Road::kEndCut) != 0; }

// A road end that runs straight past its vertex with no crossing.
bool RunsStraightAtBegin(const Road& run) { return !BeginIsCut(run) && run.m_BegCross < 0; }
bool RunsStraightAtEnd(const Road& run) { return !EndIsCut(run) && run.m_EndCross < 0; }

// The straight run of the road of lines first..last (one run) past the
// run's end (or begin): along the side that ends it, from the farthest line
// vertex back (or on) from which every vertex in between lies within twice
// the on-line distance of the line to the run's end (points each within it
// of the side lie within twice it of the line through two of them), as the
// road of the unsplit side runs on along its own line. A survey's points on
// that side then turn the run-out by no more than their distance off the
// side over its length; along the last piece's own line, a piece of a side
// surveyed every few centimetres with a millimetre of scatter would swing
// it by centimetres.
void StraightRunEnd(const CKelHSite& lines, int first, int last, bool atBegin, CKelCoord3D& site,
                    CKelCoord3D& far)
{
  const auto straight = [&](int a, int b) {
    for (int v = a + 1; v < b; ++v) {
      const CKelCoord2D &from = lines.Vertex(a), &to = lines.Vertex(b);
      if (length_2point(from, to) > 0 && kel_polyline::OffLine(from, to, lines.Vertex(v)) > 2 * KelTol::SiteOnLine)
        return false;
    }
    return true;
  };
  int a = atBegin ? first : last;
  int b = atBegin ? first + 1 : last + 1;
  if (atBegin) {
    while (b <= last && straight(a, b + 1))
      ++b;
  } else {
    while (a > first && straight(a - 1, b))
      --a;
  }
  CKelHSite side;
  CKelSiteTable from = lines.Vertex(a);
  from.m_RoadWidthEnd = lines.Vertex(b - 1).m_RoadWidthEnd;
  from.m_RoadHeight2 = lines.Vertex(b - 1).m_RoadHeight2;
  side.m_pt = {from, lines.Vertex(b)};
  side.StraightEnd(0, atBegin, site, far);
}

// The begin (or end) of a run's first (or last) line's road r, as the run's
// road begins (or ends); lines first..last are the run's.
void TakeRunEnd(Road& r, const Road& run, const CKelHSite& lines, int first, int last, bool atBegin)
{
  const std::uint16_t bits = atBegin ? kBegBits : kEndBits;
  r.m_Flag = static_cast<std::uint16_t>((r.m_Flag & ~bits) | (run.m_Flag & bits));
  CKelCoord3D& site = atBegin ? r.m_SiteBeg : r.m_SiteEnd;
  CKelCoord3D& farPoint = atBegin ? r.m_FarBeg : r.m_FarEnd;
  if (!(atBegin ? RunsStraightAtBegin(run) : RunsStraightAtEnd(run))) {
    site = atBegin ? run.m_SiteBeg : run.m_SiteEnd;
    farPoint = atBegin ? run.m_FarBeg : run.m_FarEnd;
    return;
  }
  StraightRunEnd(lines, first, last, atBegin, site, farPoint);
}

constexpr std::uint16_t kCutBoth = Road::kBegCut | Road::kEndCut | (Road::kBegCut | Road::kEndCut) << 4;

// Road r ends (or begins) at its piece's vertex v with far point f, cut
// there and joined to the road that goes on.
void EndAt(Road& r, const CKelCoord2D& v, const CKelCoord2D& f)
{
  r.m_SiteEnd = Flat(v);
  r.m_FarEnd = Flat(f);
  r.m_EndCross = -1;
  r.m_Flag = static_cast<std::uint16_t>((r.m_Flag & ~kEndBits) | Road::kEndCut | Road::kEndCut << 4 | Road::kEndJoined);
}

void BeginAt(Road& r, const CKelCoord2D& v, const CKelCoord2D& f)
{
  r.m_SiteBeg = Flat(v);
  r.m_FarBeg = Flat(f);
  r.m_BegCross = -1;
  r.m_Flag = static_cast<std::uint16_t>((r.m_Flag & ~kBegBits) | Road::kBegCut | Road::kBegCut << 4 | Road::kBegJoined);
}

// Position of p along the line a -> b, 0 at a and 1 at b.
double AlongLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y;
  const double len2 = ux * ux + uy * uy;
  return len2 > 0 ? ((p.m_x - a.m_x) * ux + (p.m_y - a.m_y) * uy) / len2 : 0.0;
}

// Position of p along the run's edge, 0 at its start and 1 at its end.
double AlongRun(const CKelHSite& runs, int w, const CKelCoord2D& p)
{
  return AlongLine(runs.Vertex(w), runs.Vertex(w + 1), p);
}

// Whether far point f lies on road r's far side, as seen along far line
// `far`: within its ends, or the road's far side runs backwards.
bool OnFarSide(const CRoadLineParam& far, const Road& r, const CKelCoord2D& f)
{
  const double lo = AlongLine(far.m_Beg, far.m_End, r.m_FarBeg);
  const double hi = AlongLine(far.m_Beg, far.m_End, r.m_FarEnd);
  const double t = AlongLine(far.m_Beg, far.m_End, f);
  return !(lo <= hi) || (lo <= t && t <= hi);
}

// The point at fraction t of far line `far`, kept on road r's far side:
// where the road ends short of it on the far side (cut back at a crossing)
// a point beyond would cross a piece's road over itself, and the pieces
// would no longer cover the road exactly.
CKelCoord2D FarAcross(const CRoadLineParam& far, const Road& r, double t)
{
  const double lo = AlongLine(far.m_Beg, far.m_End, r.m_FarBeg);
  const double hi = AlongLine(far.m_Beg, far.m_End, r.m_FarEnd);
  if (lo <= hi)
    t = std::clamp(t, lo, hi);
  return {far.m_Beg.m_x + t * (far.m_End.m_x - far.m_Beg.m_x), far.m_Beg.m_y + t * (far.m_End.m_y - far.m_Beg.m_y)};
}

// Consecutive pieces a and b of a run meet at their common vertex. Cut
// there by their own corner (a joint that turns little), they keep what
// their own lines give; a short piece turning more (the rest of a notch a
// survey left) would run its own road out sideways, so both then meet at the
// vertex and at the run's far side across it; so do pieces whose own far
// points lie off the run's far side.
void MeetInRun(Road& a, Road& b, const Road& run, const CKelHSite& runs, const CKelHSite& pieces)
{
  const CRoadLineParam far = runs.Vertex(run.m_no).GetRoadLineParam(true, runs.Vertex(run.m_no + 1));
  if (EndIsCut(a) && BeginIsCut(b) && OnFarSide(far, run, a.m_FarEnd) && OnFarSide(far, run, b.m_FarBeg))
    return;
  const CKelCoord2D& v = pieces.Vertex(b.m_no);
  const CKelCoord2D f = FarAcross(far, run, AlongRun(runs, run.m_no, v));
  EndAt(a, v, f);
  BeginAt(b, v, f);
}

// Piece q runs straight on from the piece before it: its start lies on the
// line from that piece's start to its own end.
bool RunsStraightOn(const CKelHSite& pieces, int q)
{
  const CKelCoord2D& a = pieces.Vertex(q - 1);
  const CKelCoord2D& v = pieces.Vertex(q);
  const CKelCoord2D& b = pieces.Vertex(q + 1);
  return std::hypot(b.m_x - a.m_x, b.m_y - a.m_y) > 0 && kel_polyline::OffLine(a, b, v) <= KelTol::SiteOnLineExactly;
}

CKelCoord3D Between(const CKelCoord2D& a, const CKelCoord2D& b, double t)
{
  return CKelCoord3D(a.m_x + t * (b.m_x - a.m_x), a.m_y + t * (b.m_y - a.m_y), 0);
}

// Whether the far side fs -> fe crosses the site line s -> e (a road
// tapering to nothing in its run-out); *x the crossing.
bool FarCrossesSite(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& fs, const CKelCoord2D& fe,
                    CKelCoord2D* x)
{
  const double ux = e.m_x - s.m_x, uy = e.m_y - s.m_y;
  const double ds = ux * (fs.m_y - s.m_y) - uy * (fs.m_x - s.m_x);
  const double de = ux * (fe.m_y - s.m_y) - uy * (fe.m_x - s.m_x);
  if (!((ds < 0 && de > 0) || (ds > 0 && de < 0)))
    return false;
  *x = Between(fs, fe, ds / (ds - de));
  return true;
}

// The far point of a joint at fraction t along the site side s -> e of a
// road whose far side runs fs -> fe: at the same share of the way. Where
// the far side crosses the site line, the road is two triangles meeting at
// the crossing x, and the joint divides the one it lies in, sharing the way
// to x: a share of the whole far side would put the far point past x, on
// the lot's side of the site line, and the piece's road over the lot.
CKelCoord3D FarOfJoint(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& fs, const CKelCoord2D& fe,
                       double t)
{
  CKelCoord2D x;
  if (!FarCrossesSite(s, e, fs, fe, &x))
    return Between(fs, fe, t);
  const double at = AlongLine(s, e, x);
  if (t <= at && at > 0)
    return Between(fs, x, t / at);
  return Between(x, fe, (t - at) / (1 - at));
}

// Pieces of a run lying on one line (an edge split by points exactly on
// it) divide the road of that line: each joint's far point lies on the far
// side from the first piece's far begin to the last one's far end, at the
// joint's share of the way (FarOfJoint). The split then changes no area
// the roads cover, where each piece meeting the run's far side across the
// joint would bend the far side at every split.
void DivideStraightJoints(std::vector<Road>& along, std::size_t first, std::size_t last, const CKelHSite& pieces)
{
  for (std::size_t j = first; j < last;) {
    std::size_t k = j;
    while (k < last && RunsStraightOn(pieces, along[k + 1].m_no))
      ++k;
    const CKelCoord2D s(along[j].m_SiteBeg), e(along[k].m_SiteEnd);
    const CKelCoord2D fs(along[j].m_FarBeg), fe(along[k].m_FarEnd);
    for (std::size_t i = j; i < k; ++i) {
      const CKelCoord2D& v = pieces.Vertex(along[i + 1].m_no);
      const CKelCoord3D f = FarOfJoint(s, e, fs, fe, std::clamp(AlongLine(s, e, v), 0.0, 1.0));
      along[i].m_SiteEnd = along[i + 1].m_SiteBeg = Flat(v);
      along[i].m_FarEnd = along[i + 1].m_FarBeg = f;
    }
    j = k + 1;
  }
}

double SiteLength(const Road& r) { return length_2point(r.m_SiteBeg, r.m_SiteEnd); }

// Roads a and b (along[i], along[l], i < l) meet where their far lines
// cross, when the crossing lies on both far sides; the pieces between have
// no far side of their own there and fan out to the crossing.
bool JoinOver(std::vector<Road>& along, std::size_t i, std::size_t l)
{
  Road& a = along[i];
  Road& b = along[l];
  const std::vector<CKelCoord2D> x = cross_line0(a.m_FarBeg, a.m_FarEnd, b.m_FarBeg, b.m_FarEnd);
  if (x.empty())
    return false;
  const CKelCoord3D at = Flat(x[0]);
  if (!a.cross_check(b, &at))
    return false;
  a.m_FarEnd = b.m_FarBeg = at;
  a.m_Flag = static_cast<std::uint16_t>(a.m_Flag & ~Road::kEndNotJoined);
  b.m_Flag = static_cast<std::uint16_t>(b.m_Flag & ~Road::kBegNotJoined);
  for (std::size_t k = i + 1; k < l; ++k) {
    along[k].m_FarBeg = along[k].m_FarEnd = at;
    along[k].m_Flag = static_cast<std::uint16_t>(kCutBoth | Road::kBegJoined | Road::kEndJoined);
  }
  return true;
}

// Where the far lines of pieces j and j + 1 of a run (a side listed every
// few centimetres, at a bend inside the run) cross beyond the shorter
// piece, that piece keeps its own far end and the roads overlap; the
// crossing is then sought with the pieces before j, or after j + 1, within
// the other piece's length, as the unsplit side's road meets the next one.
void JoinPastShortPieces(std::vector<Road>& along, std::size_t first, std::size_t last)
{
  for (std::size_t j = first; j < last; ++j) {
    const Road& a = along[j];
    if (!(a.m_Flag & Road::kEndNotJoined) || !EndIsCut(a) || !BeginIsCut(along[j + 1]))
      continue;
    double passed = SiteLength(a);
    bool joined = false;
    for (std::size_t i = j; i-- > first && passed <= SiteLength(along[j + 1]) && !joined;) {
      joined = JoinOver(along, i, j + 1);
      passed += SiteLength(along[i]);
    }
    passed = SiteLength(along[j + 1]);
    for (std::size_t l = j + 2; l <= last && passed <= SiteLength(along[j]) && !joined; ++l) {
      joined = JoinOver(along, j, l);
      if (joined)
        j = l - 1;
      passed += SiteLength(along[l]);
    }
  }
}

// The run's road laid over its lines' roads (along, m_no their lines in
// `pieces`): the line where the run's road begins takes its begin, the one
// where it ends its end, and they meet in between. A crossing can move a road's
// begin past a vertex (1 m down a frontage at a reflex corner); the pieces
// it passes have no road of their own, and sit where the road begins.
void SpreadRun(std::vector<Road>& along, const Road& run, const CKelHSite& runs, const CKelHSite& pieces)
{
  const std::size_t m = along.size();
  const double beg = AlongRun(runs, run.m_no, run.m_SiteBeg);
  const double end = AlongRun(runs, run.m_no, run.m_SiteEnd);
  std::size_t first = 0;
  while (first + 1 < m && !(AlongRun(runs, run.m_no, pieces.Vertex(along[first + 1].m_no)) > beg))
    ++first;
  std::size_t last = m - 1;
  while (last > first && !(AlongRun(runs, run.m_no, pieces.Vertex(along[last].m_no)) < end))
    --last;
  for (std::size_t j = 0; j < m; ++j) {
    if (j <= first)
      TakeRunEnd(along[j], run, pieces, along.front().m_no, along.back().m_no, true);
    if (j >= last)
      TakeRunEnd(along[j], run, pieces, along.front().m_no, along.back().m_no, false);
    if (j < first)
      EndAt(along[j], run.m_SiteBeg, run.m_FarBeg);
    if (j > last)
      BeginAt(along[j], run.m_SiteEnd, run.m_FarEnd);
  }
  JoinPastShortPieces(along, first, last);
  for (std::size_t j = first; j < last; ++j)
    MeetInRun(along[j], along[j + 1], run, runs, pieces);
  DivideStraightJoints(along, first, last, pieces);
}

// The road of a folded edge inside a frontage: no length, at v.
Road Collapsed(const Road& like, const CKelCoord2D& v, const CKelCoord2D& f)
{
  Road r = like;
  r.m_SiteBeg = r.m_SiteEnd = Flat(v);
  r.m_FarBeg = r.m_FarEnd = Flat(f);
  r.m_BegCross = r.m_EndCross = -1;
  r.m_Flag = kCutBoth | Road::kBegJoined | Road::kEndJoined;
  return r;
}

// Sorts the table stably by key; the new index of each entry as it stood.
template <class Table, class Key>
std::vector<std::int16_t> StableSortBy(Table& items, Key key)
{
  std::vector<std::size_t> order(items.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(items[a]) < key(items[b]); });
  std::vector<std::int16_t> to(order.size());
  Table sorted;
  for (std::size_t k = 0; k < order.size(); ++k) {
    to[order[k]] = static_cast<std::int16_t>(k);
    sorted.push_back(items[order[k]]);
  }
  items = std::move(sorted);
  return to;
}

// Crossings in the order of their first roads, as a walk over the road
// table makes them; the roads' crossing indices follow.
void SortCrossings(CKelHSite::RoadTables& t)
{
  const std::vector<std::int16_t> to = StableSortBy(t.m_Cross, [](const CSiteCrossTable& c) { return c.m_Road1; });
  for (Road& r : t.m_Road) {
    if (r.m_BegCross >= 0)
      r.m_BegCross = to[static_cast<std::size_t>(r.m_BegCross)];
    if (r.m_EndCross >= 0)
      r.m_EndCross = to[static_cast<std::size_t>(r.m_EndCross)];
  }
}

// The pieces lying on one line: consecutive pieces of a run whose joints
// the work outline put on their side (RunsStraightOn), a side listed every
// few centimetres as the clean listing draws it, in one edge. The lines'
// roads then meet as the clean listing's edges' do, where the roads of
// pieces a few centimetres long would meet wherever their far lines cross
// within a piece's length, or across the run's far side at the joint.
struct Lines {
  CKelHSite m_Site;                        // one record per line
  std::vector<std::vector<int>> m_Pieces;  // per line, its pieces in order
  std::vector<std::vector<int>> m_OfRun;   // per run, its lines in order
};

// Each line's record is its first piece's with the last one's end values.
Lines LinesOf(const CKelSiteWorkOutline& work, const CKelHSite& pieces)
{
  Lines out;
  out.m_Site = pieces;
  out.m_Site.m_pt.clear();
  for (int r = 0; r < work.Runs().GetSize(); ++r) {
    out.m_OfRun.emplace_back();
    for (int p : work.PiecesOfRun(r)) {
      const CKelSiteTable& v = pieces.Vertex(p);
      if (out.m_OfRun.back().empty() || !RunsStraightOn(pieces, p)) {
        out.m_OfRun.back().push_back(static_cast<int>(out.m_Pieces.size()));
        out.m_Pieces.emplace_back();
        out.m_Site.m_pt.push_back(v);
      }
      out.m_Pieces.back().push_back(p);
      CKelSiteTable& line = out.m_Site.m_pt.back();
      line.m_RoadWidthEnd = v.m_RoadWidthEnd;
      line.m_RoadHeight2 = v.m_RoadHeight2;
    }
  }
  out.m_Site.SetMaxMin();
  return out;
}

// A line's road divided among its pieces (m_no their pieces): each joint
// on the road's site side and far side at its share of the way
// (FarOfJoint), so the pieces cover the line's road exactly. A piece the road's begin (or end)
// has passed sits where it begins (or ends). The pieces' far sides run on
// along one line, joined at no crossing, as those of two road edges listed
// in line are.
std::vector<Road> DivideLine(const Road& road, const std::vector<int>& ps, const CKelHSite& pieces)
{
  std::vector<Road> out(ps.size(), road);
  for (std::size_t j = 0; j < ps.size(); ++j)
    out[j].m_no = static_cast<std::int16_t>(ps[j]);
  const CKelCoord2D s(road.m_SiteBeg), e(road.m_SiteEnd), fs(road.m_FarBeg), fe(road.m_FarEnd);
  for (std::size_t j = 0; j + 1 < ps.size(); ++j) {
    const double t = std::clamp(AlongLine(s, e, pieces.Vertex(ps[j + 1])), 0.0, 1.0);
    const CKelCoord2D at(Between(s, e, t));
    const CKelCoord2D far(FarOfJoint(s, e, fs, fe, t));
    EndAt(out[j], at, far);
    BeginAt(out[j + 1], at, far);
    out[j].m_Flag |= Road::kEndNotJoined;
    out[j + 1].m_Flag |= Road::kBegNotJoined;
  }
  return out;
}

}  // namespace

namespace {

// Folded road edge v lies before (or after) the kept edge k of its piece and
// is of the same road: widths and heights meet at the joint.
bool SameRoad(const CKelSiteTable& v, const CKelSiteTable& k, bool before)
{
  auto near = [](double a, double b) { return std::fabs(a - b) <= KelTol::SiteOnLine; };
  return before ? near(v.m_RoadWidthEnd, k.m_RoadWidthBeg) && near(v.m_RoadHeight2, k.m_RoadHeight1)
                : near(v.m_RoadWidthBeg, k.m_RoadWidthEnd) && near(v.m_RoadHeight1, k.m_RoadHeight2);
}

}  // namespace

// The roads of the stored road edges of piece p, whose road is r. A folded
// edge of the same road before the piece's own edge at a frontage's start
// carries the frontage's begin up to the piece's vertex (so the road at the
// frontage's start is the first in the table, as for the unsurveyed
// outline); likewise at its end. Any other folded edge's road has no
// length: a repeat's or a spike's edge, which encloses nothing, and a tiny
// edge of another road (a point a hair before a bend between widths), which
// takes nothing of the road it was folded into. Answers the indices in made
// of the roads carrying the piece's begin and its end.
std::pair<std::size_t, std::size_t> CKelHSite::HandOut(const CKelSiteWorkOutline& work, const CKelHSite& pieces, int p,
                                                       const CSiteRoadTable& r, bool first, bool last,
                                                       std::vector<CSiteRoadTable>& made) const
{
  const CKelSiteTable& from = pieces.Vertex(p);
  const CKelCoord2D& to = pieces.Vertex(p + 1);
  const CRoadLineParam far = from.GetRoadLineParam(true, to);
  const int kept = work.KeptOfPiece(p);
  std::vector<int> before, after;
  bool past = false;
  for (int e : work.StoredOfPiece(p)) {
    past = past || e == kept;
    if (e != kept && Vertex(e).IsRoad())
      (past ? after : before).push_back(e);
  }
  // A folded edge at the piece's start whose road may run on from the piece
  // before is the end of that road, of no length: a stub or a point listed
  // again just before a corner between two roads takes neither road's
  // run-out. A dropped edge longer than the tiny size (a spike's side) lies
  // off the piece and has no road either.
  const CKelSiteTable& previous = pieces.Vertex(p - 1);
  auto carries = [&](int e, bool atBegin) {
    const bool endsRoadBefore = atBegin && previous.IsRoad() && SameRoad(Vertex(e), previous, false);
    const bool offPiece = work.IsDropped(e) && length_2point(Vertex(e), Vertex(e + 1)) > work.Tiny();
    return !endsRoadBefore && !offPiece && SameRoad(Vertex(e), Vertex(kept), atBegin);
  };
  const bool lead = first && !before.empty() && carries(before.front(), true);
  const bool trail = last && !after.empty() && carries(after.back(), false);
  Road own = r;
  own.m_no = static_cast<std::int16_t>(kept);
  // Where the frontage's road starts (or ends) past the vertex, the
  // folded edge's road has no length there.
  const double ux = to.m_x - from.m_x, uy = to.m_y - from.m_y;
  const bool begFar = (r.m_SiteBeg.m_x - from.m_x) * ux + (r.m_SiteBeg.m_y - from.m_y) * uy < 0;
  const bool endFar = (r.m_SiteEnd.m_x - to.m_x) * ux + (r.m_SiteEnd.m_y - to.m_y) * uy > 0;
  // The road is cut at a vertex as its pieces on one line are (DivideLine):
  // at the vertex's share of its site side and of its far side, so the two
  // parts cover it exactly. The site side of a run's last piece runs on the
  // run's line, which a bend inside the run leaves a few millimetres off
  // the vertex; a cut at the vertex itself, or at the piece's own far point,
  // would leave the strip between them to neither part.
  const CKelCoord2D s(r.m_SiteBeg), e(r.m_SiteEnd);
  auto cutAt = [&](const CKelCoord2D& v) { return std::clamp(AlongLine(s, e, v), 0.0, 1.0); };
  const CKelCoord2D begAt = begFar ? CKelCoord2D(Between(s, e, cutAt(from))) : s;
  const CKelCoord2D begFarAt = begFar ? CKelCoord2D(FarOfJoint(s, e, r.m_FarBeg, r.m_FarEnd, cutAt(from)))
                                      : CKelCoord2D(r.m_FarBeg);
  const CKelCoord2D endAt = endFar ? CKelCoord2D(Between(s, e, cutAt(to))) : e;
  const CKelCoord2D endFarAt = endFar ? CKelCoord2D(FarOfJoint(s, e, r.m_FarBeg, r.m_FarEnd, cutAt(to)))
                                      : CKelCoord2D(r.m_FarEnd);
  std::pair<std::size_t, std::size_t> ends{0, 0};
  for (std::size_t k = 0; k < before.size(); ++k) {
    Road head = Collapsed(r, from, far.m_Beg);
    if (k == 0 && lead) {
      head = r;
      EndAt(head, begAt, begFarAt);
      BeginAt(own, begAt, begFarAt);
    }
    head.m_no = static_cast<std::int16_t>(before[k]);
    made.push_back(head);
  }
  Road tail = r;
  if (trail) {
    BeginAt(tail, endAt, endFarAt);
    EndAt(own, endAt, endFarAt);
  }
  ends.first = lead ? made.size() - before.size() : made.size();
  ends.second = made.size();
  made.push_back(own);
  for (std::size_t k = 0; k < after.size(); ++k) {
    Road piece = k + 1 == after.size() && trail ? tail : Collapsed(r, to, far.m_End);
    piece.m_no = static_cast<std::int16_t>(after[k]);
    made.push_back(piece);
  }
  if (trail)
    ends.second = made.size() - 1;
  return ends;
}

CKelHSite::RoadTables CKelHSite::BuildSurveyedTables(const CKelSiteWorkOutline& work) const
{
  CKelHSite pieces = work.Pieces();
  Lines lines = LinesOf(work, pieces);
  CSiteRoad onLines = lines.m_Site.BuildRoadTable();
  (void)lines.m_Site.BuildCrossTable(onLines);
  CKelHSite runs = work.Runs();
  CSiteRoad onRuns = runs.BuildRoadTable();
  RoadTables out;
  out.m_Cross = runs.BuildCrossTable(onRuns);

  std::vector<const Road*> lineRoad(lines.m_Pieces.size(), nullptr);
  for (const Road& r : onLines)
    lineRoad[static_cast<std::size_t>(r.m_no)] = &r;

  // Roads in the order of the runs, with the first and last of each run.
  std::vector<Road> made;
  std::vector<std::size_t> firstOf(onRuns.size()), lastOf(onRuns.size());
  for (std::size_t k = 0; k < onRuns.size(); ++k) {
    const Road& run = onRuns[k];
    const std::size_t count = work.PiecesOfRun(run.m_no).size();
    const std::vector<int>& ls = lines.m_OfRun[static_cast<std::size_t>(run.m_no)];
    std::vector<Road> along;
    for (int l : ls) {
      const Road* own = lineRoad[static_cast<std::size_t>(l)];
      along.push_back(ls.size() == 1 || own == nullptr ? run : *own);
      along.back().m_no = static_cast<std::int16_t>(l);
      along.back().m_BegCross = along.back().m_EndCross = -1;
    }
    if (ls.size() > 1)
      SpreadRun(along, run, runs, lines.m_Site);
    std::size_t j = 0;
    for (std::size_t l = 0; l < ls.size(); ++l) {
      for (const Road& r : DivideLine(along[l], lines.m_Pieces[static_cast<std::size_t>(ls[l])], pieces)) {
        const auto [beg, end] = HandOut(work, pieces, r.m_no, r, j == 0, j + 1 == count, made);
        if (j == 0)
          firstOf[k] = beg;
        lastOf[k] = end;
        ++j;
      }
    }
    made[firstOf[k]].m_BegCross = run.m_BegCross;
    made[lastOf[k]].m_EndCross = run.m_EndCross;
  }

  // A tiny road edge that is part of a corner cut's piece keeps a road of
  // no length where it starts.
  for (int p = 0; p < pieces.GetSize(); ++p) {
    if (pieces.Vertex(p).IsRoad())
      continue;
    for (int e : work.StoredOfPiece(p)) {
      if (!Vertex(e).IsRoad())
        continue;
      const CRoadLineParam far = Vertex(e).GetRoadLineParam(true, Vertex(e + 1));
      Road none = Collapsed(Road{}, Vertex(e), far.m_Beg);
      none.m_no = static_cast<std::int16_t>(e);
      made.push_back(none);
    }
  }

  // In edge order, as the table of an unsurveyed outline is.
  out.m_Road.assign(made.begin(), made.end());
  const std::vector<std::int16_t> at = StableSortBy(out.m_Road, [](const Road& r) { return r.m_no; });
  for (CSiteCrossTable& c : out.m_Cross) {
    c.m_Road1 = at[lastOf[static_cast<std::size_t>(c.m_Road1)]];
    c.m_Road2 = at[firstOf[static_cast<std::size_t>(c.m_Road2)]];
  }
  SortCrossings(out);
  return out;
}

// Folded edges go with the cut run: a doubled point's unmarked edge between
// a cut and its road is part of that corner.
bool CKelHSite::IsCutBetweenRoads(const CKelSiteWorkOutline& work, int i) const
{
  const int n = GetSize();
  auto endsOnRoad = [&](int step) {
    int k = i;
    for (int s = 0; s < n; ++s) {
      k = (k + step + n) % n;
      if (!IsSumikiri(k) && !work.IsFolded(k))
        return IsRoad(k);
      if (IsRoad(k))
        return true;
    }
    return false;
  };
  return endsOnRoad(-1) && endsOnRoad(+1);
}

CSiteRoad CKelHSite::CalcRoadData()
{
  const CKelSiteWorkOutline work(*this);
  if (work.IsIdentity())
    return BuildRoadTable();
  SetMaxMin();
  RoadTables tables = BuildSurveyedTables(work);
  for (CKelSiteTable& v : m_pt)
    v.optno = -1;
  for (std::size_t k = 0; k < tables.m_Road.size(); ++k) {
    Road& r = tables.m_Road[k];
    At(r.m_no).optno = static_cast<std::int16_t>(k);
    r.m_BegCross = r.m_EndCross = -1;
  }
  return tables.m_Road;
}

CSiteCross CKelHSite::SetCrossRoad(CSiteRoad& roads)
{
  const CKelSiteWorkOutline work(*this);
  if (work.IsIdentity())
    return BuildCrossTable(roads);
  SetMaxMin();
  const RoadTables tables = BuildSurveyedTables(work);
  // The given table may lack roads (a stored one); it is matched by edge.
  std::vector<int> to(tables.m_Road.size(), -1);
  ClearCrossLinks(roads);
  for (std::size_t k = 0; k < roads.size(); ++k) {
    for (std::size_t j = 0; j < tables.m_Road.size(); ++j) {
      if (tables.m_Road[j].m_no == roads[k].m_no && to[j] < 0) {
        roads[k] = tables.m_Road[j];
        to[j] = static_cast<int>(k);
        break;
      }
    }
  }
  std::vector<std::int16_t> crossTo(tables.m_Cross.size(), -1);
  CSiteCross out;
  for (std::size_t c = 0; c < tables.m_Cross.size(); ++c) {
    CSiteCrossTable x = tables.m_Cross[c];
    const int r1 = to[static_cast<std::size_t>(x.m_Road1)];
    const int r2 = to[static_cast<std::size_t>(x.m_Road2)];
    if (r1 < 0 || r2 < 0)
      continue;
    x.m_Road1 = static_cast<std::int16_t>(r1);
    x.m_Road2 = static_cast<std::int16_t>(r2);
    crossTo[c] = static_cast<std::int16_t>(out.size());
    out.push_back(x);
  }
  for (std::size_t j = 0; j < tables.m_Road.size(); ++j) {
    if (to[j] < 0)
      continue;
    Road& r = roads[static_cast<std::size_t>(to[j])];
    r.m_BegCross = r.m_BegCross < 0 ? std::int16_t{-1} : crossTo[static_cast<std::size_t>(r.m_BegCross)];
    r.m_EndCross = r.m_EndCross < 0 ? std::int16_t{-1} : crossTo[static_cast<std::size_t>(r.m_EndCross)];
  }
  return out;
}
