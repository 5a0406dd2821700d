#include "CSpherePolyArea.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

#include "CKelProgressCore.h"
#include "CSpherePolyAreaIndex.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::SkyDisc;

using ReachEdge = CSpherePolyAreaReach::Edge;

using NearHorizon = CSpherePolyAreaReach::NearHorizon;

// A segment on the horizon: both ends at elevation 0 (+0 or -0), their
// azimuths finite. Its span along y is the same for every such segment.
bool OnHorizon(const CKelCoord2D& beg, const CKelCoord2D& end)
{
  return beg.m_y == 0 && end.m_y == 0 && std::isfinite(beg.m_x) && std::isfinite(end.m_x);
}

bool OnHorizon(const ReachEdge& edge) { return OnHorizon(edge.m_Segment.m_Beg, edge.m_Segment.m_End); }

// Whether the contact search tries the pair at all: not for an edge of no
// length or the same edge.
bool Searched(const ReachEdge& own, int from, int to)
{
  return own.m_From != own.m_To && !(from == own.m_From && to == own.m_To);
}

// The edge's direction, worked out once.
void Measure(const CSpherePolyCoordArray& pool, ReachEdge& edge)
{
  if (!edge.m_Measured) {
    edge.m_Segment = CrossPointSegment(pool, edge.m_From, edge.m_To);
    edge.m_Measured = true;
  }
}

// Whether the contact search places an end of the segment at its own
// position.
bool PlacedAtItself(const CrossPointSegment& s, const CKelCoord2D& p)
{
  const CKelCoord2D at = s.At(s.Along(p));
  return at.m_x == p.m_x && at.m_y == p.m_y;
}

// Whether a contact found at either end of the cut edge comes back from the
// pool as that end: the end is placed at its own position, and both ends
// are separated, so the pool answers with the first hint equal to the
// point, the end itself (separated points differ), without growing. Worked
// out once for the edge: the pool only grows while the edge is cut, which
// leaves its points' separation as it was.
bool EndsKept(const CSpherePolyCoordArray& pool, ReachEdge& own)
{
  if (own.m_EndsKept < 0) {
    Measure(pool, own);
    const CrossPointSegment& s = own.m_Segment;
    own.m_EndsKept = s.m_HasDirection && pool.IsSeparated(own.m_From) && pool.IsSeparated(own.m_To) &&
                     PlacedAtItself(s, s.m_Beg) && PlacedAtItself(s, s.m_End);
  }
  return own.m_EndsKept > 0;
}

// Whether the contact search of a cut edge a-b on the horizon, measured and
// with its ends kept, with an edge c-d of another polygon near it changes
// nothing. With all four ends on the horizon the search takes its collinear
// branch: the rises of c and d over a and the edge's sine are all +-0, so
// their distances across the edge are +-0. It finds those of c, d that the
// edge holds, each placed at At(Along(end)) and added with the hints a, b,
// c, d. An end other than a and b that the edge does not hold gives
// nothing; an end that is a or b comes back as itself (EndsKept), and the
// cut edge's own ends are not inserted.
bool FindsOnlyOwnEnds(const ReachEdge& own, const NearHorizon& near)
{
  const CrossPointSegment& s = own.m_Segment;
  const auto nothingElse = [&](int end, const CKelCoord2D& p) {
    return end == own.m_From || end == own.m_To || !s.Holds(s.Along(p));
  };
  return near.m_OnHorizon && nothingElse(near.m_From, near.m_Beg) && nothingElse(near.m_To, near.m_End);
}

// The span along x within which a point on the horizon is near a segment
// on the horizon with this span: kHorizonReach beyond it.
std::pair<double, double> NearAlongHorizon(const CrossPointSpan& span)
{
  return {span.LowX() - CSpherePolyAreaReach::kHorizonReach, span.HighX() + CSpherePolyAreaReach::kHorizonReach};
}

bool ByAzimuth(const CSpherePolyAreaReach::HorizonPoint& a, const CSpherePolyAreaReach::HorizonPoint& b)
{
  return a.x < b.x || (a.x == b.x && a.idx < b.idx);
}

// Whether the only points of a list by azimuth within reach of a segment on
// the horizon with this span are from and to. The first point at or past
// the reach is stepped to from `at`, where the previous answer started, as
// the pieces of an edge follow each other along the horizon; it is looked
// up by halving where it lies farther. Bounds that are not numbers reach
// every point.
bool OnlyEndsNearIn(const std::vector<CSpherePolyAreaReach::HorizonPoint>& points, const CrossPointSpan& span,
                    int from, int to, std::size_t& at)
{
  const std::pair<double, double> near = NearAlongHorizon(span);
  const double low = near.first;
  const double high = near.second;
  const auto below = [low](const CSpherePolyAreaReach::HorizonPoint& p) { return p.x < low; };
  const auto first = points.begin();
  const std::size_t n = points.size();
  at = std::min(at, n);
  if (at > 0 && !below(points[at - 1])) {
    at = static_cast<std::size_t>(std::partition_point(first, first + static_cast<std::ptrdiff_t>(at), below) - first);
  } else {
    for (int step = 0; step < 4 && at < n && below(points[at]); ++step)
      ++at;
    const auto stepped = first + static_cast<std::ptrdiff_t>(at);
    if (at < n && below(*stepped))
      at = static_cast<std::size_t>(std::partition_point(stepped, points.end(), below) - first);
  }
  for (std::size_t k = at; k < n && !(points[k].x > high); ++k) {
    if (points[k].idx != from && points[k].idx != to)
      return false;
  }
  return true;
}

// The entry of a list from which, taken round, the lows and the highs both
// rise (or stay); -1 when there is none. An empty list rises from 0.
int RisingFrom(const std::vector<CSpherePolyAreaReach::NearHorizon>& list)
{
  const std::size_t n = list.size();
  int turn = 0;
  int falls = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t next = k + 1 == n ? 0 : k + 1;
    if (list[next].m_Low < list[k].m_Low || list[next].m_High < list[k].m_High) {
      ++falls;
      turn = static_cast<int>(next);
    }
  }
  return falls <= 1 ? turn : -1;
}

}  // namespace

// --- Polygons ------------------------------------------------------------------------

void CSpherePolyArea::SetMaxMin(int idx)
{
  const CKelCoord2D p = m_pCoord->Chart(idx);
  m_BoxMin.m_x = std::min(m_BoxMin.m_x, p.m_x);
  m_BoxMin.m_y = std::min(m_BoxMin.m_y, p.m_y);
  m_BoxMax.m_x = std::max(m_BoxMax.m_x, p.m_x);
  m_BoxMax.m_y = std::max(m_BoxMax.m_y, p.m_y);
}

void CSpherePolyArea::AddIdx(int idx)
{
  if (!m_Idx.empty() && m_Idx.back().m_Idx == idx)
    return;
  m_Idx.emplace_back(idx);
  SetMaxMin(idx);
}

bool CSpherePolyArea::InsertIdx(int pos, const CSpherePolyAreaFlag& entry)
{
  m_Idx.insert(m_Idx.begin() + pos, entry);
  SetMaxMin(entry.m_Idx);
  return true;
}

int CSpherePolyArea::SearchIdx(int a, int b) const
{
  const int n = Size();
  for (int k = 0; k < n; ++k) {
    const int p = k == 0 ? n - 1 : k - 1;
    const int from = IdxAt(p);
    const int to = IdxAt(p == n - 1 ? 0 : p + 1);
    if (from == a && to == b)
      return p + 1;
    if (from == b && to == a)
      return -(p + 1);
  }
  return 0;
}

int CSpherePolyArea::SearchIdx(int a) const
{
  for (int k = 0; k < Size(); ++k) {
    if (IdxAt(k) == a)
      return k;
  }
  return -1;
}

double CSpherePolyArea::GetArea() const
{
  const int n = Size();
  double sum = 0;
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D p = Chart(k == 0 ? n - 1 : k - 1);
    const CKelCoord2D q = Chart(k);
    sum += (p.m_y + q.m_y) * (p.m_x - q.m_x);
  }
  return sum / 2;
}

bool CSpherePolyArea::BoxMeets(const CSpherePolyArea& other) const
{
  // Within the pool's band: faces seen edge-on along one azimuth line have
  // boxes of no width, whose azimuths differ by round-off alone, and their
  // contacts are within reach all the same.
  constexpr double band = KelTol::SkyDisc;
  return m_BoxMin.m_x <= other.m_BoxMax.m_x + band && other.m_BoxMin.m_x <= m_BoxMax.m_x + band &&
         m_BoxMin.m_y <= other.m_BoxMax.m_y + band && other.m_BoxMin.m_y <= m_BoxMax.m_y + band;
}

// --- Contacts with another polygon ---------------------------------------------------

CSpherePolyAreaReach::CSpherePolyAreaReach(const CSpherePolyArea& area)
    : CSpherePolyAreaReach(area.m_pCoord, area.CutEdges())
{
}

CSpherePolyAreaReach::CSpherePolyAreaReach(const CSpherePolyCoordArray* pool, std::vector<Edge> edges)
    : m_Edges(std::move(edges)), m_pCoord(pool)
{
  const int m = static_cast<int>(m_Edges.size());
  // A node per run and fewer above them.
  m_Nodes.reserve(static_cast<std::size_t>(2 * (m / kRun + 1)));
  if (m > 0)
    m_Root = Build(0, m);
  ListNearHorizon();
}

const CSpherePolyAreaReach::Edge& CSpherePolyAreaReach::MeasuredAt(int j) const
{
  Edge& edge = m_Edges[static_cast<std::size_t>(j)];
  Measure(*m_pCoord, edge);
  return edge;
}

int CSpherePolyAreaReach::Build(int from, int to)
{
  Node node;
  node.m_From = from;
  node.m_To = to;
  if (to - from <= kRun) {
    for (int j = from; j < to; ++j)
      node.m_Span.Add(EdgeAt(j).m_Span);
  } else {
    // Halves at a multiple of the run, so the runs stay whole.
    const int mid = from + (to - from + 2 * kRun - 1) / (2 * kRun) * kRun;
    node.m_Left = Build(from, mid);
    node.m_Right = Build(mid, to);
    node.m_Span = m_Nodes[static_cast<std::size_t>(node.m_Left)].m_Span;
    node.m_Span.Add(m_Nodes[static_cast<std::size_t>(node.m_Right)].m_Span);
  }
  m_Nodes.push_back(node);
  return static_cast<int>(m_Nodes.size()) - 1;
}

void CSpherePolyAreaReach::ListNearHorizon()
{
  const CrossPointSpan horizon(CKelCoord2D(0, 0), CKelCoord2D(0, 0));
  // Room for every edge: growing the list cost more than the room.
  m_Horizon.reserve(m_Edges.size());
  for (std::size_t j = 0; j < m_Edges.size(); ++j) {
    const CrossPointSpan& span = m_Edges[j].m_Span;
    // A span that is not all numbers reaches everywhere: no list.
    if (!span.Numbers()) {
      m_Horizon.clear();
      return;
    }
    if (!horizon.ApartAlongY(span)) {
      const Edge& edge = m_Edges[j];
      const CrossPointSegment& s = edge.m_Segment;
      m_Horizon.push_back(NearHorizon{span.LowX(), span.HighX(), static_cast<int>(j), edge.m_From, edge.m_To,
                                      OnHorizon(s.m_Beg, s.m_End), s.m_Beg, s.m_End});
    }
  }
  // Kept in the order they rise in; the wrap marks the first edge.
  const int turn = RisingFrom(m_Horizon);
  if (turn < 0) {
    m_Horizon.clear();
    return;
  }
  std::rotate(m_Horizon.begin(), m_Horizon.begin() + turn, m_Horizon.end());
  m_HorizonWrap = static_cast<int>(m_Horizon.size()) - turn;
  ListHorizonPoints();
}

void CSpherePolyAreaReach::ListHorizonPoints()
{
  m_HorizonEdgesStand = true;
  m_HorizonPoints.reserve(2 * m_Horizon.size());
  // The list rises along x, so the points mostly come in order already;
  // a point that the edge before ended at is not listed twice.
  const auto push = [this](double x, int idx) {
    if (m_HorizonPoints.empty() || m_HorizonPoints.back().idx != idx)
      m_HorizonPoints.push_back({x, idx});
  };
  for (const NearHorizon& near : m_Horizon) {
    if (near.m_OnHorizon) {
      const bool rising = near.m_Beg.m_x <= near.m_End.m_x;
      push(rising ? near.m_Beg.m_x : near.m_End.m_x, rising ? near.m_From : near.m_To);
      push(rising ? near.m_End.m_x : near.m_Beg.m_x, rising ? near.m_To : near.m_From);
      continue;
    }
    // An edge standing on the horizon meets a segment on it at its foot or
    // nowhere (see CSpherePolyArea::CalcCrossPoint).
    const bool standsOnBeg = near.m_Beg.m_y == 0 && std::fabs(near.m_End.m_y) > 2 * KelTol::SkyCrossParallel;
    const bool standsOnEnd = near.m_End.m_y == 0 && std::fabs(near.m_Beg.m_y) > 2 * KelTol::SkyCrossParallel;
    if (!(near.m_Beg.m_x == near.m_End.m_x && std::isfinite(near.m_Beg.m_x) && std::isfinite(near.m_End.m_y) &&
          std::isfinite(near.m_Beg.m_y) && (standsOnBeg || standsOnEnd))) {
      m_HorizonEdgesStand = false;
      m_HorizonPoints.clear();
      return;
    }
    if (standsOnBeg)
      push(near.m_Beg.m_x, near.m_From);
    else
      push(near.m_End.m_x, near.m_To);
  }
  const auto byX = [](const HorizonPoint& a, const HorizonPoint& b) { return a.x < b.x; };
  if (!std::is_sorted(m_HorizonPoints.begin(), m_HorizonPoints.end(), byX))
    std::sort(m_HorizonPoints.begin(), m_HorizonPoints.end(), byX);
}

bool CSpherePolyAreaReach::OnlyEndsNear(const CrossPointSpan& span, int from, int to, std::size_t& at) const
{
  return OnlyEndsNearIn(m_HorizonPoints, span, from, to, at);
}

CSpherePolyAreaReach::HorizonRuns CSpherePolyAreaReach::AlongHorizon(const CrossPointSpan& span, int& from) const
{
  // The entries before `from` end short of the span (its low beyond their
  // high) and those from `to` on start past it (their low beyond its
  // high): apart along x, as Apart tells it. `from` moves on from where the
  // caller's previous span left it, mostly by a step or none, since the
  // pieces of an edge on the horizon follow each other.
  const int n = static_cast<int>(m_Horizon.size());
  from = std::min(from, n);
  while (from > 0 && !(span.LowX() > HorizonAt(from - 1).m_High))
    --from;
  while (from < n && span.LowX() > HorizonAt(from).m_High)
    ++from;
  int to = from;
  while (to < n && !(HorizonAt(to).m_Low > span.HighX()))
    ++to;
  // The entries from the wrap on come earlier in edge order.
  HorizonRuns runs;
  runs.m_From[0] = std::max(from, m_HorizonWrap);
  runs.m_To[0] = std::max(to, m_HorizonWrap);
  runs.m_From[1] = std::min(from, m_HorizonWrap);
  runs.m_To[1] = std::min(to, m_HorizonWrap);
  return runs;
}

void CSphereHorizonIndex::TakeIn(const CSpherePolyCoordArray& pool)
{
  if (pool.size() < m_TakenIn) {
    // A pool cut short: taken in anew.
    m_Points.clear();
    m_TakenIn = 0;
  }
  for (; m_TakenIn < pool.size(); ++m_TakenIn) {
    const int idx = static_cast<int>(m_TakenIn);
    const CKelCoord2D p = pool.Chart(idx);
    if (p.m_y == 0 && std::isfinite(p.m_x)) {
      const CSpherePolyAreaReach::HorizonPoint point{p.m_x, idx};
      m_Points.insert(std::upper_bound(m_Points.begin(), m_Points.end(), point, ByAzimuth), point);
    }
  }
}

bool CSphereHorizonIndex::OnlyEndsNear(const CrossPointSpan& span, int from, int to, std::size_t& at) const
{
  return OnlyEndsNearIn(m_Points, span, from, to, at);
}

int CSpherePolyArea::CalcCrossPoint(CKelProgressCore* progress, const CSpherePolyArea& other)
{
  CutEdgeList edges(CutEdges());
  const int r = CalcCrossPoint(progress, other, CSpherePolyAreaReach(other), edges);
  TakeCutEdges(edges);
  return r;
}

void CSpherePolyArea::TakeCutEdges(const CutEdgeList& edges)
{
  m_Idx = edges.Vertices(m_Idx);
}

CSpherePolyArea::CutEdgeList::CutEdgeList(std::vector<Edge> edges, const CSphereHorizonIndex* horizon)
    : m_Stored(std::move(edges)), m_Horizon(horizon)
{
  m_Stored.reserve(kRoom * m_Stored.size());
  m_Order.reserve(m_Stored.capacity());
  m_Order.resize(m_Stored.size());
  for (std::size_t k = 0; k < m_Order.size(); ++k)
    m_Order[k] = static_cast<int>(k);
}

void CSpherePolyArea::CutEdgeList::InsertAfter(int k, int count)
{
  const int stored = static_cast<int>(m_Stored.size());
  m_Stored.resize(m_Stored.size() + static_cast<std::size_t>(count));
  m_Order.insert(m_Order.begin() + k + 1, static_cast<std::size_t>(count), 0);
  for (int n = 0; n < count; ++n)
    m_Order[static_cast<std::size_t>(k + 1 + n)] = stored + n;
}

bool CSpherePolyArea::CutEdgeList::NoOtherPointNear(int k)
{
  Edge& edge = m_Stored[Stored(k)];
  if (edge.m_NoOtherPointNear < 0)
    edge.m_NoOtherPointNear =
        m_Horizon != nullptr && m_Horizon->OnlyEndsNear(edge.m_Span, edge.m_From, edge.m_To, m_HorizonAt);
  return edge.m_NoOtherPointNear > 0;
}

std::vector<CSpherePolyAreaFlag> CSpherePolyArea::CutEdgeList::Vertices(
    const std::vector<CSpherePolyAreaFlag>& cutFrom) const
{
  // The first edges stored are those cut from, edge k from vertex k; the
  // others begin at contacts.
  std::vector<CSpherePolyAreaFlag> vertices;
  vertices.reserve(m_Order.size());
  for (const int k : m_Order) {
    const std::size_t stored = static_cast<std::size_t>(k);
    if (stored < cutFrom.size())
      vertices.push_back(cutFrom[stored]);
    else
      vertices.emplace_back(m_Stored[stored].m_From);
  }
  return vertices;
}

std::vector<CSpherePolyAreaReach::Edge> CSpherePolyArea::CutEdgeList::InOrder() const
{
  std::vector<Edge> edges;
  edges.reserve(m_Order.size());
  for (const int k : m_Order)
    edges.push_back(m_Stored[static_cast<std::size_t>(k)]);
  return edges;
}

std::vector<CSpherePolyAreaReach::Edge> CSpherePolyArea::CutEdges() const
{
  std::vector<CSpherePolyAreaReach::Edge> edges;
  // With the room a turn of contact searches cutting them takes
  // (CutEdgeList), so that edges passed on to it from a reach stay put.
  edges.reserve(CutEdgeList::kRoom * m_Idx.size());
  for (int k = 0; k < Size(); ++k)
    edges.push_back(CutEdge(k));
  return edges;
}

CSpherePolyAreaReach::Edge CSpherePolyArea::CutEdgeBetween(int from, int to) const
{
  CSpherePolyAreaReach::Edge edge;
  edge.m_From = from;
  edge.m_To = to;
  edge.m_Segment.m_Beg = m_pCoord->Chart(edge.m_From);
  edge.m_Segment.m_End = m_pCoord->Chart(edge.m_To);
  edge.m_Segment.m_BegIdx = edge.m_From;
  edge.m_Segment.m_EndIdx = edge.m_To;
  edge.m_Span = CrossPointSpan(edge.m_Segment.m_Beg, edge.m_Segment.m_End);
  edge.m_Measured = false;
  return edge;
}

int CSpherePolyArea::CalcCrossPoint(CKelProgressCore* progress, const CSpherePolyArea& other,
                                    const CSpherePolyAreaReach& reach, CutEdgeList& edges)
{
  if (reach.Root() < 0)
    return 0;
  const CrossPointSpan& whole = reach.Nodes()[static_cast<std::size_t>(reach.Root())].m_Span;
  int horizonFrom = 0;
  std::size_t pointsFrom = 0;
  // Searches along the horizon that can insert nothing are passed over
  // whole, where that is sure without the cancel questions: every edge of
  // the other polygon's horizon list lies on the horizon or stands on it,
  // the cut edge keeps its ends (EndsKept), and the other polygon's horizon
  // points within reach of it are its own ends. Then an edge on the horizon
  // ends at the cut edge's ends or out of its reach, which FindsOnlyOwnEnds
  // passes; and an edge standing on the horizon (its ends at one azimuth,
  // so its rise along the cut edge is 0) is met by the crossing search
  // exactly at its foot: at the cut edge's start (along 0) or end (placed
  // at itself, EndsKept), which the pool answers with that end, not
  // inserted; or out of reach, no contact. A cut edge near which the pool
  // holds no horizon point but its ends (NoOtherPointNear) has none of the
  // other polygon's near it either: found once for the edge, not once per
  // polygon.
  const bool passable = progress == nullptr && reach.HasHorizonList() && reach.HorizonEdgesStand();
  // The edges' count grows as contacts are inserted.
  for (int i = 0; i < edges.Count(); ++i) {
    // Most edges lie beyond the other polygon's box: passed over at once.
    if (whole.Apart(edges[i].m_Span)) {
      if (CheckAbortPerPair(progress, other, edges[i], 0, other.Size()))
        return 1;
      continue;
    }
    Cut cut{i, &edges, &edges[i]};
    const bool alongHorizon = reach.HasHorizonList() && OnHorizon(cut.Edge());
    if (alongHorizon && passable && EndsKept(*m_pCoord, cut.Edge()) &&
        (edges.NoOtherPointNear(i) ||
         reach.OnlyEndsNear(cut.Edge().m_Span, cut.Edge().m_From, cut.Edge().m_To, pointsFrom)))
      continue;
    const bool cancelled = alongHorizon ? InsertContactsAlongHorizon(progress, other, reach, cut, horizonFrom)
                                        : InsertContactsUnder(progress, other, reach, reach.Root(), cut);
    if (cancelled)
      return 1;
  }
  return 0;
}

bool CSpherePolyArea::InsertContacts(Cut& cut, const CSpherePolyAreaReach& reach, int j)
{
  const CSpherePolyAreaReach::Edge& edge = reach.EdgeAt(j);
  const CSpherePolyAreaReach::Edge& own = cut.Edge();
  if (!Searched(own, edge.m_From, edge.m_To))
    return false;
  // Not a number somewhere: the spans cannot tell.
  const bool apart = own.m_Span.Apart(edge.m_Span) ||
                     ((!own.m_Span.Numbers() || !edge.m_Span.Numbers()) &&
                      CrossPointOutOfReach(own.m_Segment.m_Beg, own.m_Segment.m_End, edge.m_Segment.m_Beg,
                                           edge.m_Segment.m_End));
  if (!apart)
    InsertCrossPoints(cut, reach.MeasuredAt(j));
  return true;
}

void CSpherePolyArea::InsertCrossPoints(Cut& cut, const CSpherePolyAreaReach::Edge& edge)
{
  CSpherePolyAreaReach::Edge& own = cut.Edge();
  const int a = own.m_From;
  const int b = own.m_To;
  Measure(*m_pCoord, own);
  int contacts[2];
  const int n = ::CalcCrossPoint(m_pCoord, own.m_Segment, edge.m_Segment, contacts);
  // The contacts other than the edge's ends, in order along the edge; the
  // box takes them in last first.
  std::array<int, 2> kept{};
  int inserted = 0;
  for (int k = 0; k < n; ++k) {
    if (contacts[k] != a && contacts[k] != b)
      kept[static_cast<std::size_t>(inserted++)] = contacts[k];
  }
  // Where another outline's edge meets this one the boundary may turn: the
  // point is a corner, also where it fell on a point of a subdivision
  // (within the pool's band), whose kind would let the boundary drop it
  // and cut the corner off. A contact a hair away is a new point, a corner
  // of its own.
  for (int k = 0; k < inserted; ++k) {
    std::uint8_t& kind = (*m_pCoord)[static_cast<std::size_t>(kept[static_cast<std::size_t>(k)])].m_PntKind;
    if (kind == CSphereCoordD2D::kInserted || kind == CSphereCoordD2D::kSectorLine)
      kind = CSphereCoordD2D::kEnd;
  }
  for (int k = inserted - 1; k >= 0; --k)
    SetMaxMin(kept[static_cast<std::size_t>(k)]);
  if (inserted > 0) {
    // The cut edge and the pieces after it, in place of the edge it was.
    CutEdgeList& edges = *cut.m_Edges;
    edges.InsertAfter(cut.m_I, inserted);
    int from = a;
    for (int k = 0; k <= inserted; ++k) {
      const int to = k < inserted ? kept[static_cast<std::size_t>(k)] : b;
      edges[cut.m_I + k] = CutEdgeBetween(from, to);
      from = to;
    }
    cut.m_Own = &edges[cut.m_I];
  }
}

bool CSpherePolyArea::InsertContactsUnder(CKelProgressCore* progress, const CSpherePolyArea& other,
                                          const CSpherePolyAreaReach& reach, int node, Cut& cut)
{
  // Edges out of reach take no contacts, so the cut edge keeps its end
  // while they are passed over; it shortens only where a contact is
  // inserted, and each node is measured against the edge as it then stands.
  // The tree halves its runs at every level, so its depth stays under 33
  // and the nodes still to walk under 64. The node itself the caller found
  // within reach.
  const CSpherePolyAreaReach::Node& top = reach.Nodes()[static_cast<std::size_t>(node)];
  if (top.m_Left < 0)
    return InsertContactsFrom(progress, reach, top.m_From, top.m_To, cut);
  std::array<int, 64> toWalk;
  std::size_t count = 0;
  toWalk[count++] = top.m_Right;
  toWalk[count++] = top.m_Left;
  while (count > 0) {
    const CSpherePolyAreaReach::Node& at = reach.Nodes()[static_cast<std::size_t>(toWalk[--count])];
    if (at.m_Span.Apart(cut.Edge().m_Span)) {
      if (CheckAbortPerPair(progress, other, cut.Edge(), at.m_From, at.m_To))
        return true;
      continue;
    }
    if (at.m_Left >= 0) {
      toWalk[count++] = at.m_Right;
      toWalk[count++] = at.m_Left;
      continue;
    }
    for (int j = at.m_From; j < at.m_To; ++j) {
      // Most edges of a run lie apart from the cut edge: searched, with
      // nothing to insert, as InsertContacts finds them.
      const CSpherePolyAreaReach::Edge& edge = reach.EdgeAt(j);
      const bool searched = cut.Edge().m_Span.Apart(edge.m_Span) ? Searched(cut.Edge(), edge.m_From, edge.m_To)
                                                                 : InsertContacts(cut, reach, j);
      if (searched && progress != nullptr && progress->CheckAbort())
        return true;
    }
  }
  return false;
}

bool CSpherePolyArea::InsertContactsAlongHorizon(CKelProgressCore* progress, const CSpherePolyArea& other,
                                                 const CSpherePolyAreaReach& reach, Cut& cut, int& from)
{
  // Other's edges are tried in their order, as the tree walk tries them. An
  // edge off the list is apart along y from every segment on the horizon,
  // one off the runs apart along x from the cut edge: either only asks for
  // a cancel. An insertion shortens the cut edge, so the runs are found
  // again for the edges after the one that cut it; a cut edge that left the
  // horizon (a contact snapped to a point above it) walks the rest in turn.
  const int m = other.Size();
  int next = 0;
  enum class Tried { kAll, kCut, kCancelled };
  const auto tryRuns = [&](const CSpherePolyAreaReach::HorizonRuns& runs) {
    const int end = cut.Edge().m_To;
    for (int r = 0; r < 2; ++r) {
      for (int k = runs.m_From[r]; k < runs.m_To[r]; ++k) {
        const NearHorizon& near = reach.HorizonAt(k);
        const int j = near.m_Edge;
        if (j < next)
          continue;
        if (CheckAbortPerPair(progress, other, cut.Edge(), next, j))
          return Tried::kCancelled;
        const bool searched = EndsKept(*m_pCoord, cut.Edge()) && FindsOnlyOwnEnds(cut.Edge(), near)
                                  ? Searched(cut.Edge(), near.m_From, near.m_To)
                                  : InsertContacts(cut, reach, j);
        if (searched && progress != nullptr && progress->CheckAbort())
          return Tried::kCancelled;
        next = j + 1;
        if (cut.Edge().m_To != end)
          return Tried::kCut;
      }
    }
    return Tried::kAll;
  };
  while (OnHorizon(cut.Edge())) {
    switch (tryRuns(reach.AlongHorizon(cut.Edge().m_Span, from))) {
      case Tried::kCancelled: return true;
      case Tried::kAll: return CheckAbortPerPair(progress, other, cut.Edge(), next, m);
      case Tried::kCut: break;
    }
  }
  return InsertContactsFrom(progress, reach, next, m, cut);
}

bool CSpherePolyArea::InsertContactsFrom(CKelProgressCore* progress, const CSpherePolyAreaReach& reach, int from,
                                         int to, Cut& cut)
{
  for (int j = from; j < to; ++j) {
    if (InsertContacts(cut, reach, j) && progress != nullptr && progress->CheckAbort())
      return true;
  }
  return false;
}

bool CSpherePolyArea::CheckAbortPerPair(CKelProgressCore* progress, const CSpherePolyArea& other,
                                        const CSpherePolyAreaReach::Edge& own, int from, int to)
{
  if (progress == nullptr)
    return false;
  const int m = other.Size();
  const int a = own.m_From;
  const int b = own.m_To;
  for (int j = from; j < to; ++j) {
    const int oa = other.IdxAt(j);
    const int ob = other.IdxAt((j + 1) % m);
    if (a == b || (oa == a && ob == b))
      continue;
    if (progress->CheckAbort())
      return true;
  }
  return false;
}

int CSpherePolyArea::CalcCrossPoint(CKelProgressCore* /*progress*/)
{
  for (int i = 0; i < Size(); ++i) {
    // The edge's frame, measured again whenever an insertion shortens it.
    int frameEnd = -1;
    CKelCoord2D a, b;
    double c = 1, s = 0, len = 0;
    for (int k = 0; k < Size(); ++k) {
      const int next = (i + 1) % Size();
      if (k == i || k == next)
        continue;
      if (IdxAt(next) != frameEnd) {
        frameEnd = IdxAt(next);
        a = Chart(i);
        b = Chart(next);
        CalcCosSin(a, b, &c, &s, &len);
      }
      const CKelCoord2D p = Chart(k);
      if (CrossPointOutOfReach(a, b, p, p))
        continue;
      const double dx = p.m_x - a.m_x;
      const double dy = p.m_y - a.m_y;
      const double t = dx * c + dy * s;
      if (t > kTol && std::fabs(dy * c - dx * s) <= kTol && t < len - kTol) {
        const CSpherePolyAreaFlag entry = m_Idx[static_cast<std::size_t>(k)];
        InsertIdx(i + 1, entry);
        // The positions behind the insertion moved up by one; the shortened
        // edge is examined on from the next vertex.
        if (k > i)
          ++k;
      }
    }
  }
  return 0;
}

// --- Chains ----------------------------------------------------------------------------

bool CSphereBlkDataLineArray::IsDeletable(const CSphereCoordD2D& prev, const CSphereCoordD2D& cur,
                                          const CSphereCoordD2D& next, int step)
{
  if (step < 1)
    return false;
  const bool between =
      (prev.m_AD < cur.m_AD && cur.m_AD < next.m_AD) || (next.m_AD < cur.m_AD && cur.m_AD < prev.m_AD);
  if (!between)
    return false;
  // Where a side reaches the horizon the outline turns onto it: the point
  // is a corner whatever put it there, and dropping it would draw the side
  // on to the next point kept, over the sky beside it.
  const bool turnsOntoHorizon = cur.m_AE == 0 && (prev.m_AE != 0 || next.m_AE != 0);
  if (cur.m_PntKind == CSphereCoordD2D::kInserted || cur.m_PntKind == CSphereCoordD2D::kSectorLine)
    return !turnsOntoHorizon;
  if (cur.m_PntKind != CSphereCoordD2D::kEnd)
    return false;
  const double r = std::fmod(std::fabs(cur.m_AD * KelAngle::DegreesPerRadian), step);
  return prev.m_AE == 0 && cur.m_AE == 0 && next.m_AE == 0 && std::fabs(r) > kTol && std::fabs(r - step) > kTol;
}

CSphereRatioBlockParam CSphereBlkDataLineArray::GetSphereRatioBlock(int step, const CSpherePolyCoordArray& pool,
                                                                    const std::vector<int>& visits, bool* ok) const
{
  CSphereRatioBlockParam param;
  *ok = IsClosed();
  if (!*ok)
    return param;
  const std::size_t n = size() - 1;
  const auto point = [&](std::size_t k) -> const CSphereCoordD2D& {
    return pool[static_cast<std::size_t>((*this)[k])];
  };
  // Where boundaries touch (two outlines traced apart at a common point,
  // or one outline pinched), the point is a corner of each pass: dropped,
  // each would be drawn as the chord past it, and chords on both sides of
  // one point overlap, counting the sliver between them twice.
  const auto touching = [&](std::size_t k) { return visits[static_cast<std::size_t>((*this)[k])] > 1; };
  for (std::size_t k = 0; k < n; ++k) {
    if (touching(k) || !IsDeletable(point(k == 0 ? n - 1 : k - 1), point(k), point(k + 1 == n ? 0 : k + 1), step))
      param.m_pt.push_back(point(k));
  }
  param.DeleteVertPoint();
  param.ConvertCoordXY();
  *ok = param.CheckCross();
  param.m_area = param.CalcArea();
  return param;
}

CSphereBlkDataLineArrayArray& CSphereBlkDataLineArrayArray::operator=(const CSphereBlkDataLineArrayArray& other)
{
  std::vector<CSphereBlkDataLineArray>::operator=(other);
  m_DeleteLine.clear();
  return *this;
}

bool CSphereBlkDataLineArrayArray::IsDeleted(int a, int b) const
{
  return std::any_of(m_DeleteLine.begin(), m_DeleteLine.end(), [a, b](const std::vector<int>& pair) {
    return pair.size() == 2 && ((pair[0] == a && pair[1] == b) || (pair[0] == b && pair[1] == a));
  });
}

void CSphereBlkDataLineArrayArray::Append(const CSphereBlkDataLineArray& chain, SphereChainIndex& index)
{
  push_back(chain);
  index.AddChain(size() - 1, back());
}

void CSphereBlkDataLineArrayArray::CutAfter(std::size_t c, std::size_t at, SphereChainIndex& index)
{
  CSphereBlkDataLineArray& chain = (*this)[c];
  const CSphereBlkDataLineArray tail(chain.begin() + static_cast<std::ptrdiff_t>(at) + 1, chain.end());
  chain.resize(at + 1);
  if (chain.size() < 2) {
    // A piece under two points is no edge; the chains behind move up.
    erase(begin() + static_cast<std::ptrdiff_t>(c));
    if (tail.size() >= 2)
      push_back(tail);
    index.Rebuild(*this);
    return;
  }
  if (tail.size() >= 2)
    Append(tail, index);
}

bool CSphereBlkDataLineArrayArray::CancelReversed(int a, int b, SphereChainIndex& index)
{
  // The first chain, and in it the first place, where b runs on to a.
  for (const SphereChainIndex::Place& at : index.PlacesOf(b, *this)) {
    const CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    if (at.m_Pos + 1 >= chain.size() || chain[at.m_Pos + 1] != a)
      continue;
    // The edge runs back over its own reverse: both vanish, b and a stay
    // as the ends of the two pieces.
    CutAfter(at.m_Chain, at.m_Pos, index);
    return true;
  }
  return false;
}

bool CSphereBlkDataLineArrayArray::SplitAtBranch(int a, int b, SphereChainIndex& index)
{
  // The first place (chain, then position k from 1 on) where a chain
  // already leaves a (at k - 1, not its first point unless it goes on to
  // b), or passes through b (at k, not its last point); at one place a's
  // case comes first.
  struct Branch {
    std::size_t c = SIZE_MAX;
    std::size_t k = SIZE_MAX;
    bool fromA = false;
  } best;
  const auto better = [&best](std::size_t c, std::size_t k, bool fromA) {
    if (std::pair{c, k} < std::pair{best.c, best.k} || (c == best.c && k == best.k && fromA && !best.fromA))
      best = Branch{c, k, fromA};
  };
  for (const SphereChainIndex::Place& at : index.PlacesOf(a, *this)) {
    const CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    const std::size_t k = at.m_Pos + 1;
    if (k < chain.size() && (chain[k] == b || k >= 2)) {
      better(at.m_Chain, k, true);
      break;
    }
  }
  for (const SphereChainIndex::Place& at : index.PlacesOf(b, *this)) {
    const CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    if (at.m_Pos >= 1 && at.m_Pos + 1 < chain.size()) {
      better(at.m_Chain, at.m_Pos, false);
      break;
    }
  }
  if (best.c == SIZE_MAX)
    return false;
  CSphereBlkDataLineArray& chain = (*this)[best.c];
  if (best.fromA && chain[best.k] == b)
    return true;
  // The chain is cut at the branch point, which ends the one piece and
  // starts the other; the edge becomes a chain of its own.
  const std::size_t at = best.fromA ? best.k - 1 : best.k;
  const CSphereBlkDataLineArray tail(chain.begin() + static_cast<std::ptrdiff_t>(at), chain.end());
  chain.resize(at + 1);
  Append(tail, index);
  Append({a, b}, index);
  return true;
}

void CSphereBlkDataLineArrayArray::Add(const CSpherePolyCoordArray* /*pool*/, int a, int b)
{
  SphereChainIndex index(*this);
  Add(a, b, index);
}

bool CSphereBlkDataLineArrayArray::HasEdge(int a, int b, SphereChainIndex& index) const
{
  for (const SphereChainIndex::Place& at : index.PlacesOf(a, *this)) {
    const CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    if (at.m_Pos + 1 < chain.size() && chain[at.m_Pos + 1] == b)
      return true;
  }
  return false;
}

void CSphereBlkDataLineArrayArray::Add(int a, int b, SphereChainIndex& index)
{
  // Outlines that share a stretch of boundary running the same way give its
  // edges twice. A chain passing twice through a point (lobes meeting at a
  // corner) must not take the second copy for a branch there, whichever of
  // its passes comes first.
  if (IsDeleted(a, b) || CancelReversed(a, b, index) || HasEdge(a, b, index) || SplitAtBranch(a, b, index))
    return;
  for (const SphereChainIndex::Place& at : index.PlacesOf(b, *this)) {
    if (at.m_Pos != 0)
      continue;
    CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    // An edge closing its own chain keeps the chain's start.
    if (chain.back() == a) {
      chain.push_back(b);
      index.PutAtBack(at.m_Chain, b, chain.size() - 1);
    } else {
      chain.insert(chain.begin(), a);
      index.PutInFront(at.m_Chain, a);
    }
    return;
  }
  for (const SphereChainIndex::Place& at : index.PlacesOf(a, *this)) {
    CSphereBlkDataLineArray& chain = (*this)[at.m_Chain];
    if (at.m_Pos + 1 != chain.size())
      continue;
    chain.push_back(b);
    index.PutAtBack(at.m_Chain, b, chain.size() - 1);
    return;
  }
  Append({a, b}, index);
}
