#include "CSphereBlkDataArrayNew.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <span>
#include <utility>

#include "CKelProgressCore.h"
#include "CSpherePolyAreaIndex.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::SkyDisc;
using Crossing = CKelArea<CKelCoord2D>::Crossing;

}  // namespace

CSphereBlkDataArrayNew::CSphereBlkDataArrayNew(const CSphereBlkDataArrayNew& other)
    : m_PolyCoord(other.m_PolyCoord), m_PolyArea(other.m_PolyArea), m_BlkLine(other.m_BlkLine),
      m_ExpandLine(other.m_ExpandLine)
{
  RepointPolygons();
}

CSphereBlkDataArrayNew& CSphereBlkDataArrayNew::operator=(const CSphereBlkDataArrayNew& other)
{
  if (this != &other) {
    m_PolyCoord = other.m_PolyCoord;
    m_PolyArea = other.m_PolyArea;
    m_BlkLine = other.m_BlkLine;
    m_ExpandLine = other.m_ExpandLine;
    RepointPolygons();
  }
  return *this;
}

void CSphereBlkDataArrayNew::RepointPolygons()
{
  for (CSpherePolyArea& area : m_PolyArea)
    area.m_pCoord = &m_PolyCoord;
}

CSpherePolyArea CSphereBlkDataArrayNew::NewPolyArea()
{
  CSpherePolyArea area;
  area.m_pCoord = &m_PolyCoord;
  return area;
}

namespace {

// Whether d lies on the ray from v through w, within the pool's band of it:
// two outlines running on together along one subdivided edge have points a
// rounding apart, which must not tell a side.
bool OnRay(const CKelCoord2D& v, const CKelCoord2D& w, const CKelCoord2D& d)
{
  const double wx = w.m_x - v.m_x, wy = w.m_y - v.m_y;
  const double dx = d.m_x - v.m_x, dy = d.m_y - v.m_y;
  const double len = std::hypot(wx, wy);
  return len > 0 && wx * dx + wy * dy > 0 && std::fabs(wx * dy - wy * dx) <= kTol * len;
}

// The side of the path from p through v on to n that direction d leaves v
// on: 1 within the turn from the way back counter-clockwise to the way on,
// -1 beyond it, 0 along either.
int SideOfPath(const CKelCoord2D& v, const CKelCoord2D& p, const CKelCoord2D& n, const CKelCoord2D& d)
{
  if (OnRay(v, p, d) || OnRay(v, n, d))
    return 0;
  const auto angle = [&v](const CKelCoord2D& q) { return std::atan2(q.m_y - v.m_y, q.m_x - v.m_x); };
  const double back = angle(p);
  const double on = std::remainder(angle(n) - back - KelAngle::Pi, KelAngle::TwoPi) + KelAngle::Pi;
  const double to = std::remainder(angle(d) - back - KelAngle::Pi, KelAngle::TwoPi) + KelAngle::Pi;
  if (to == 0 || to == KelAngle::TwoPi || to == on)
    return 0;
  return to < on ? 1 : -1;
}

// The neighbour of position k of a closed run of points that lies apart
// from it, looking one way (step 1 or -1).
template <class ChartAt>
CKelCoord2D NeighbourApart(int k, int n, int step, ChartAt chart)
{
  const CKelCoord2D v = chart(k);
  for (int s = 1; s < n; ++s) {
    const CKelCoord2D q = chart(((k + step * s) % n + n) % n);
    if (q.m_x != v.m_x || q.m_y != v.m_y)
      return q;
  }
  return v;
}

}  // namespace

bool CSphereBlkDataArrayNew::CrossesAt(int at, const CKelCoord2D& prev, const CKelCoord2D& next) const
{
  const CKelCoord2D v = m_PolyCoord.Chart(at);
  for (const CSpherePolyArea& area : m_PolyArea) {
    const int n = area.Size();
    const auto chart = [this, &area](int k) { return m_PolyCoord.Chart(area.IdxAt(k)); };
    for (int k = 0; k < n; ++k) {
      if (area.IdxAt(k) != at)
        continue;
      const CKelCoord2D p = NeighbourApart(k, n, -1, chart), q = NeighbourApart(k, n, 1, chart);
      if (SideOfPath(v, p, q, prev) * SideOfPath(v, p, q, next) < 0)
        return true;
    }
  }
  return false;
}

void CSphereBlkDataArrayNew::AddPolyLine(const CSpherePolyLineArray& lines)
{
  CSpherePolyArea area = NewPolyArea();
  const int earlier = static_cast<int>(m_PolyCoord.size());
  const int n = static_cast<int>(lines.m_OutlineIdx.size());
  std::vector<int> pooled(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k)
    pooled[static_cast<std::size_t>(k)] = m_PolyCoord.Add(lines.m_PolyCoord[static_cast<std::size_t>(lines.m_OutlineIdx[static_cast<std::size_t>(k)])]);
  // The path is read through the pool, as the earlier outlines are: where
  // two run on together they then share their points exactly.
  const auto chart = [this, &pooled](int k) { return m_PolyCoord.Chart(pooled[static_cast<std::size_t>(k)]); };
  for (int k = 0; k < n; ++k) {
    const int at = pooled[static_cast<std::size_t>(k)];
    // An outline that crosses an earlier one where their points at one
    // azimuth fell within the pool's band of each other crosses it at that
    // point: a corner of the union, as the crossing a hair apart would be,
    // though a subdivision's kind would let the boundary drop it.
    std::uint8_t& kind = m_PolyCoord[static_cast<std::size_t>(at)].m_PntKind;
    if (at < earlier && (kind == CSphereCoordD2D::kInserted || kind == CSphereCoordD2D::kSectorLine) &&
        CrossesAt(at, NeighbourApart(k, n, -1, chart), NeighbourApart(k, n, 1, chart)))
      kind = CSphereCoordD2D::kEnd;
    area.AddIdx(at);
  }
  m_PolyArea.push_back(area);
}

namespace {

// Whether the chord's length times the distance of the chart line's halfway
// point from it on the disc can exceed KelTol::SkyChordSag: along a chart
// segment moving (da, de) the drawing bends by at most (|da| + |de|)^2 / 8
// off its chord (its second derivatives are cosines and sines of the
// angles) and the chord is at most the segment's length. Most segments of a
// one-degree step cannot.
bool MaySagOffChord(const CKelCoord2D& p, const CKelCoord2D& q)
{
  const double da = std::fabs(q.m_x - p.m_x), de = std::fabs(q.m_y - p.m_y);
  return (da + de) * (da + de) / 8 * std::sqrt(da * da + de * de) > KelTol::SkyChordSag;
}

// Whether it does; a and b are p's and q's disc positions.
bool SagsOffChord(const CKelCoord2D& p, const CKelCoord2D& q, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const CKelCoord2D m = SphereDiscOf(CKelCoord2D((p.m_x + q.m_x) / 2, (p.m_y + q.m_y) / 2));
  return std::fabs((b.m_x - a.m_x) * (m.m_y - a.m_y) - (b.m_y - a.m_y) * (m.m_x - a.m_x)) > KelTol::SkyChordSag;
}

// The share of the disc (of pi) between the chord from a to b and the
// chords from them to the point of the chart line from p to q at azimuth.
double NotchShare(const CKelCoord2D& p, const CKelCoord2D& q, const CKelCoord2D& a, const CKelCoord2D& b,
                  double azimuth)
{
  const CKelCoord2D d = SphereDiscOf(CKelCoord2D(azimuth, p.m_y + (q.m_y - p.m_y) * ((azimuth - p.m_x) / (q.m_x - p.m_x))));
  return std::fabs((b.m_x - a.m_x) * (d.m_y - a.m_y) - (b.m_y - a.m_y) * (d.m_x - a.m_x)) / KelAngle::TwoPi;
}

// Whether the notch of the chart line's point at azimuth (as NotchShare)
// widens towards q: the cross product's change along the line, the
// disc's (-cos e cos a, cos e sin a) turning with a and with e at the
// line's slope.
bool NotchWidensTowardsQ(const CKelCoord2D& p, const CKelCoord2D& q, const CKelCoord2D& a, const CKelCoord2D& b,
                         double azimuth)
{
  const double slope = (q.m_y - p.m_y) / (q.m_x - p.m_x), e = p.m_y + slope * (azimuth - p.m_x);
  const CKelCoord2D d = SphereDiscOf(CKelCoord2D(azimuth, e));
  const double tx = std::sin(e) * slope * std::cos(azimuth) + std::cos(e) * std::sin(azimuth);
  const double ty = -std::sin(e) * slope * std::sin(azimuth) + std::cos(e) * std::cos(azimuth);
  const double ex = b.m_x - a.m_x, ey = b.m_y - a.m_y;
  return (ex * (d.m_y - a.m_y) - ey * (d.m_x - a.m_x)) * (ex * ty - ey * tx) * (q.m_x - p.m_x) > 0;
}

// The azimuth of the point on the chart line from p to q (disc positions
// a and b) whose notch takes share of the disc, between the corner's
// azimuth (whose notch takes at least share) and the end the notch
// narrows towards from there. The notch swells from either end to one
// widest place, so on that side the share is met once, and the notch runs
// down as evenly as share.
double FadedAzimuth(const CKelCoord2D& p, const CKelCoord2D& q, const CKelCoord2D& a, const CKelCoord2D& b,
                    double corner, double share)
{
  // Halvings enough to bring the span of a sector down to the round-off.
  constexpr int kHalvings = 56;
  double in = corner, out = NotchWidensTowardsQ(p, q, a, b, corner) ? p.m_x : q.m_x;
  for (int k = 0; k < kHalvings; ++k) {
    const double mid = (in + out) / 2;
    (NotchShare(p, q, a, b, mid) > share ? in : out) = mid;
  }
  return (in + out) / 2;
}

// The tag of a point a corner of another outline put on an edge's chart
// line: a corner of the area, not one that puts points on other edges.
constexpr std::int32_t kLinePointTag = 2;
// The widest band over which a corner's points on an edge part, as a
// share of the band between the edge's chart line and its chord at its
// middle.
constexpr double kFade = 0.5;

// A corner's azimuth and elevation with its polygon, its place on the
// polygon and its pool point.
struct ChordCorner {
  double m_Azimuth;
  double m_Elevation;
  std::size_t m_Poly;
  int m_Pos;
  int m_At;
};

// How a chart point turns as the check point moves across the ground: the
// gradients (per metre of the move, x and y) of its azimuth and elevation.
struct ChartTurn {
  double m_Azimuth[2];
  double m_Elevation[2];
};

// The turn of the chart point of source point v (in the check point's
// frame; its azimuth runs as sign runs atan2(y, x)), fixed on the ground:
// moving the check point by d moves v by -d.
ChartTurn FixedTurn(const CKelCoord3D& v, double sign)
{
  const double r2 = v.m_x * v.m_x + v.m_y * v.m_y, r = std::sqrt(r2), rr = r2 + v.m_z * v.m_z;
  const double e = v.m_z / (rr * r);
  return ChartTurn{{sign * v.m_y / r2, -sign * v.m_x / r2}, {e * v.m_x, e * v.m_y}};
}

// The turn of a point cut from the source line through v along dir at a
// fixed azimuth (a sector line's): it slides along the line as the check
// point moves, keeping its azimuth (the faster, the nearer the line runs
// along it). None when the line runs exactly along it.
std::optional<ChartTurn> SlidingTurn(const CKelCoord3D& v, const CKelCoord3D& dir)
{
  const double r2 = v.m_x * v.m_x + v.m_y * v.m_y, r = std::sqrt(r2), rr = r2 + v.m_z * v.m_z;
  // The gradients of the azimuth and elevation over the source point.
  const double ax = -v.m_y / r2, ay = v.m_x / r2;
  const double ex = -v.m_z * v.m_x / (r * rr), ey = -v.m_z * v.m_y / (r * rr), ez = r / rr;
  const double along = ax * dir.m_x + ay * dir.m_y;
  if (!(std::fabs(along) > 0))
    return std::nullopt;
  const double k = (ex * dir.m_x + ey * dir.m_y + ez * dir.m_z) / along;
  return ChartTurn{{0, 0}, {k * ax - ex, k * ay - ey}};
}

// The least distance across the ground from the check point to the edge
// between source points a and b.
double GroundReach(const CKelCoord3D& a, const CKelCoord3D& b)
{
  const double ex = b.m_x - a.m_x, ey = b.m_y - a.m_y, len2 = ex * ex + ey * ey;
  const double t = len2 > 0 ? std::clamp(-(a.m_x * ex + a.m_y * ey) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(a.m_x + t * ex, a.m_y + t * ey);
}

// The lists the chord points of a union are found with. They are kept from
// union to union on each thread (which works on one union at a time): a
// union's lists are short, and taking their memory afresh each time cost
// about as much as filling them.
struct ChordLists {
  std::vector<ChordCorner> m_Raised, m_Low, m_Near;
  // The azimuths of the points an edge takes, each with the pool point of
  // the corner that puts it there.
  std::vector<std::pair<double, int>> m_At;
  // The points taken, each after the polygon's position that starts its
  // edge.
  std::vector<std::pair<int, int>> m_Taken;
  std::vector<int> m_Path;
};

ChordLists& EmptyChordLists()
{
  thread_local ChordLists lists;
  lists.m_Raised.clear();
  lists.m_Low.clear();
  return lists;
}

// The chord points of one union's polygons.
class ChordPoints {
public:
  explicit ChordPoints(CSphereBlkDataArrayNew& store) : ChordPoints(store, EmptyChordLists()) {}
  // Polygon i with the chord points of its edges; false when it takes none.
  bool Take(std::size_t i);
  // Polygon i's path with the points Take found, rebuilt in place (an area
  // copies rather than moves).
  void Rebuild(std::size_t i);

private:
  using Corner = ChordCorner;
  ChordPoints(CSphereBlkDataArrayNew& store, ChordLists& lists)
      : m_Store(store), m_Raised(lists.m_Raised), m_Low(lists.m_Low), m_Near(lists.m_Near), m_At(lists.m_At),
        m_Taken(lists.m_Taken),
        m_Path(lists.m_Path)
  {
  }
  // The edge from pool point a to b of polygon i (position k) takes its
  // points.
  void TakeOnEdge(std::size_t i, int k, int a, int b);
  // The corners' azimuths with their polygons, in azimuth order, those on
  // the horizon apart: an edge standing clear of the horizon at both ends
  // passes above them however it is drawn. Points a subdivision inserted
  // are none (the boundary drops them for the chord they lie near). Taken
  // before any point is inserted, once an edge needs them.
  void ListCorners();
  // Into m_Near, the corners strictly between lo and hi in azimuth that
  // are not polygon own's.
  void Gather(const std::vector<Corner>& corners, double lo, double hi, std::size_t own);
  // The disc position of pool point at; the last one is kept for the next
  // edge, which starts there.
  CKelCoord2D DiscOf(int at);
  const CKelCoord3D& Source(int at) const { return m_Store.m_PolyCoord[static_cast<std::size_t>(at)].m_Coord3D; }
  // How pool point at turns, dir its source line's way; none for a point
  // a subdivision put halfway, which turns as its neighbours do.
  std::optional<ChartTurn> TurnOf(int at, const CKelCoord3D& dir) const;
  // The first point of a source outline (neither a crossing nor a line
  // point, which stand on no source point) from place k of polygon i on,
  // stepping by step, that the path reaches along the chart's line through
  // p and q; -1 if it leaves the line first.
  int SourceAlong(std::size_t i, int k, int step, const CKelCoord2D& p, const CKelCoord2D& q) const;
  // Whether a line point on the source line polygon i's edge from place k
  // runs along (put there by an earlier union, of a block's faces) draws
  // the notch of a corner at c's source point already: the same corner,
  // met again in the union of the blocks, would draw it twice over.
  bool DrawnAlready(std::size_t i, int k, const Corner& c) const;
  // How fast (radians per metre of the check point's move, the fastest way)
  // corner c's elevation turns against the chart line of polygon i's edge
  // from place k, the edge of the source outline it runs along taken from
  // its source ends.
  double OffTurn(std::size_t i, int k, const Corner& c) const;

  CSphereBlkDataArrayNew& m_Store;
  std::vector<Corner>& m_Raised;
  std::vector<Corner>& m_Low;
  std::vector<Corner>& m_Near;
  std::vector<std::pair<double, int>>& m_At;
  std::vector<std::pair<int, int>>& m_Taken;
  std::vector<int>& m_Path;
  bool m_Listed = false;
  double m_Turn = 0;
  int m_DiscAt = -1;
  CKelCoord2D m_Disc;
};

bool ChordPoints::Take(std::size_t i)
{
  const CSpherePolyArea& area = m_Store.m_PolyArea[i];
  m_Taken.clear();
  const int n = area.Size();
  // Twice the chart area, its sign the way the outline turns.
  m_Turn = 0;
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D p = m_Store.m_PolyCoord.Chart(area.IdxAt(k));
    const CKelCoord2D q = m_Store.m_PolyCoord.Chart(area.IdxAt(k + 1 < n ? k + 1 : 0));
    m_Turn += p.m_x * q.m_y - q.m_x * p.m_y;
  }
  for (int k = 0; k < n; ++k)
    TakeOnEdge(i, k, area.IdxAt(k), area.IdxAt(k + 1 < n ? k + 1 : 0));
  return !m_Taken.empty();
}

void ChordPoints::TakeOnEdge(std::size_t i, int k, int a, int b)
{
  const CKelCoord2D p = m_Store.m_PolyCoord.Chart(a), q = m_Store.m_PolyCoord.Chart(b);
  // The horizon is drawn as its arc (the chord and its bow).
  if (p.m_y == 0 && q.m_y == 0)
    return;
  const double lo = std::min(p.m_x, q.m_x) + KelTol::SkyDisc, hi = std::max(p.m_x, q.m_x) - KelTol::SkyDisc;
  if (!(lo < hi) || !MaySagOffChord(p, q))
    return;
  if (!m_Listed)
    ListCorners();
  m_Near.clear();
  Gather(m_Raised, lo, hi, i);
  if (p.m_y == 0 || q.m_y == 0)
    Gather(m_Low, lo, hi, i);
  if (m_Near.empty())
    return;
  const CKelCoord2D da = DiscOf(a), db = DiscOf(b);
  if (!SagsOffChord(p, q, da, db))
    return;
  // A corner on the outline's side of the chart line and within its band
  // of it puts a point on the line: at the corner's azimuth while the
  // corner touches the line, so that the notch it cuts on coming out is
  // drawn already, and walked towards an end of the edge as the corner
  // draws away, so that the notch's share runs down evenly to nothing at
  // the band's end. The band is as narrow as that share allows at
  // KelTol::SkyCornerFadeRate, at the pace a move of the check point turns
  // the corner against the line: beyond it a hidden corner changes nothing.
  const double mid = (p.m_x + q.m_x) / 2;
  const double widest = kFade * std::fabs(ChordElevationOnDisc(da, db, mid) - (p.m_y + q.m_y) / 2);
  m_At.clear();
  for (const Corner& c : m_Near) {
    const double u = (c.m_Azimuth - p.m_x) / (q.m_x - p.m_x);
    const double side = (q.m_x - p.m_x) * (c.m_Elevation - p.m_y) - (q.m_y - p.m_y) * (c.m_Azimuth - p.m_x);
    const double off = std::fabs(c.m_Elevation - (p.m_y + (q.m_y - p.m_y) * u));
    if (!(off < widest) || side * m_Turn < 0)
      continue;
    if (DrawnAlready(i, k, c))
      continue;
    const double share = NotchShare(p, q, da, db, c.m_Azimuth);
    const double fade = std::min(widest, share * OffTurn(i, k, c) / KelTol::SkyCornerFadeRate);
    if (!(off < fade))
      continue;
    m_At.emplace_back(FadedAzimuth(p, q, da, db, c.m_Azimuth, share * (1 - off / fade)), c.m_At);
  }
  std::sort(m_At.begin(), m_At.end());
  if (q.m_x < p.m_x)
    std::reverse(m_At.begin(), m_At.end());
  int last = a;
  for (std::size_t j = 0; j < m_At.size(); ++j) {
    if (j > 0 && m_At[j].first == m_At[j - 1].first)
      continue;
    const double t = (m_At[j].first - p.m_x) / (q.m_x - p.m_x);
    CSphereCoordD2D c(0, 0, m_At[j].first, p.m_y + (q.m_y - p.m_y) * t, kLinePointTag);
    c.m_PntKind = CSphereCoordD2D::kEnd;
    // The source point of the corner whose notch it draws, which a later
    // union that meets the corner again knows it by.
    c.m_Coord3D = Source(m_At[j].second);
    const int n = m_Store.m_PolyCoord.Add(c);
    if (n != a && n != b && n != last) {
      m_Taken.emplace_back(k, n);
      last = n;
    }
  }
}

void ChordPoints::ListCorners()
{
  m_Listed = true;
  for (std::size_t i = 0; i < m_Store.m_PolyArea.size(); ++i) {
    const CSpherePolyArea& area = m_Store.m_PolyArea[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const CSphereCoordD2D& p = m_Store.m_PolyCoord[static_cast<std::size_t>(area.IdxAt(k))];
      if (p.m_PntKind != CSphereCoordD2D::kInserted && p.m_Tag != kLinePointTag && std::isfinite(p.m_AD))
        (p.m_AE == 0 ? m_Low : m_Raised)
            .push_back(Corner{p.m_AD, p.m_AE, i, k, area.IdxAt(k)});
    }
  }
  // The pair's own order, spelled out: its three-way comparison of the
  // azimuths costs the sort several times over.
  const auto before = [](const Corner& x, const Corner& y) {
    return x.m_Azimuth < y.m_Azimuth || (!(y.m_Azimuth < x.m_Azimuth) && x.m_Poly < y.m_Poly);
  };
  std::sort(m_Raised.begin(), m_Raised.end(), before);
  std::sort(m_Low.begin(), m_Low.end(), before);
}

void ChordPoints::Gather(const std::vector<Corner>& corners, double lo, double hi, std::size_t own)
{
  const auto past = [](double azimuth, const Corner& c) { return azimuth < c.m_Azimuth; };
  for (auto c = std::upper_bound(corners.begin(), corners.end(), lo, past); c != corners.end() && c->m_Azimuth < hi;
       ++c) {
    if (c->m_Poly != own)
      m_Near.push_back(*c);
  }
}

std::optional<ChartTurn> ChordPoints::TurnOf(int at, const CKelCoord3D& dir) const
{
  const CSphereCoordD2D& p = m_Store.m_PolyCoord[static_cast<std::size_t>(at)];
  if (p.m_PntKind == CSphereCoordD2D::kInserted || p.m_Tag != 0)
    return std::nullopt;
  const CKelCoord3D& v = p.m_Coord3D;
  if (!(v.m_x * v.m_x + v.m_y * v.m_y > 0))
    return std::nullopt;
  // A point on a whole degree is an edge's cut at a sector line (of any
  // step); any other stands where its source point does.
  if (std::fabs(std::remainder(p.m_AD * KelAngle::DegreesPerRadian, 1.0)) <= KelTol::SkySubdivisionEnd)
    return SlidingTurn(v, dir);
  const double sign =
      std::fabs(std::remainder(p.m_AD - std::atan2(v.m_y, v.m_x), KelAngle::TwoPi)) <= KelTol::SkyDisc ? 1 : -1;
  return FixedTurn(v, sign);
}

int ChordPoints::SourceAlong(std::size_t i, int k, int step, const CKelCoord2D& p, const CKelCoord2D& q) const
{
  const CSpherePolyArea& area = m_Store.m_PolyArea[i];
  const int n = area.Size();
  const double len = std::hypot(q.m_x - p.m_x, q.m_y - p.m_y);
  for (int s = 0; s < n; ++s, k += step) {
    const int at = area.IdxAt(((k % n) + n) % n);
    const CKelCoord2D r = m_Store.m_PolyCoord.Chart(at);
    if (!(std::fabs((q.m_x - p.m_x) * (r.m_y - p.m_y) - (q.m_y - p.m_y) * (r.m_x - p.m_x)) <= KelTol::SkyDisc * len))
      return -1;
    if (m_Store.m_PolyCoord[static_cast<std::size_t>(at)].m_Tag == 0)
      return at;
  }
  return -1;
}

bool ChordPoints::DrawnAlready(std::size_t i, int k, const Corner& c) const
{
  const CSpherePolyArea& area = m_Store.m_PolyArea[i];
  const int n = area.Size();
  const auto at = [&area, n](int pos) { return area.IdxAt(((pos % n) + n) % n); };
  const CKelCoord2D p = m_Store.m_PolyCoord.Chart(at(k)), q = m_Store.m_PolyCoord.Chart(at(k + 1));
  const double len = std::hypot(q.m_x - p.m_x, q.m_y - p.m_y);
  const CKelCoord3D& v = Source(c.m_At);
  // From each end of the edge on along the line, over the points that
  // stand on no source point.
  for (const int step : {-1, 1}) {
    for (int s = 0, pos = step < 0 ? k : k + 1; s < n; ++s, pos += step) {
      const CSphereCoordD2D& r = m_Store.m_PolyCoord[static_cast<std::size_t>(at(pos))];
      const CKelCoord2D rc = m_Store.m_PolyCoord.Chart(at(pos));
      if (r.m_Tag == 0 ||
          !(std::fabs((q.m_x - p.m_x) * (rc.m_y - p.m_y) - (q.m_y - p.m_y) * (rc.m_x - p.m_x)) <= KelTol::SkyDisc * len))
        break;
      if (r.m_Tag == kLinePointTag && r.m_Coord3D == v)
        return true;
    }
  }
  return false;
}

double ChordPoints::OffTurn(std::size_t i, int k, const Corner& c) const
{
  const CSpherePolyArea& area = m_Store.m_PolyArea[i];
  const int n = area.Size();
  const auto chart = [this](std::size_t j, int pos) {
    const CSpherePolyArea& on = m_Store.m_PolyArea[j];
    return m_Store.m_PolyCoord.Chart(on.IdxAt(((pos % on.Size()) + on.Size()) % on.Size()));
  };
  // The edge's chart line runs on through the crossings and line points
  // its source edge was cut at: the source edge's ends turn it.
  const CKelCoord2D p0 = chart(i, k), q0 = chart(i, k + 1);
  const int a0 = SourceAlong(i, k, -1, p0, q0), b0 = SourceAlong(i, k + 1, 1, p0, q0);
  const int a = a0 >= 0 ? a0 : area.IdxAt(k), b = b0 >= 0 ? b0 : area.IdxAt(k + 1 < n ? k + 1 : 0);
  const CKelCoord2D p = m_Store.m_PolyCoord.Chart(a), q = m_Store.m_PolyCoord.Chart(b);
  const double u = (c.m_Azimuth - p.m_x) / (q.m_x - p.m_x), slope = (q.m_y - p.m_y) / (q.m_x - p.m_x);
  const CKelCoord3D &va = Source(a), &vb = Source(b), &v = Source(c.m_At);
  const CKelCoord3D ab(vb.m_x - va.m_x, vb.m_y - va.m_y, vb.m_z - va.m_z);
  // A corner cut at a sector line slides along its edge, which runs on to
  // the source points before and after it; taken either way, the faster
  // counts.
  const CKelCoord2D cc(c.m_Azimuth, c.m_Elevation);
  const int before = SourceAlong(c.m_Poly, c.m_Pos - 1, -1, cc, chart(c.m_Poly, c.m_Pos - 1));
  const int after = SourceAlong(c.m_Poly, c.m_Pos + 1, 1, cc, chart(c.m_Poly, c.m_Pos + 1));
  const CKelCoord3D &v0 = Source(before >= 0 ? before : c.m_At), &v1 = Source(after >= 0 ? after : c.m_At);
  const std::optional<ChartTurn> tp = TurnOf(a, ab), tq = TurnOf(b, ab),
                                 t0 = TurnOf(c.m_At, CKelCoord3D(v.m_x - v0.m_x, v.m_y - v0.m_y, v.m_z - v0.m_z)),
                                 t1 = TurnOf(c.m_At, CKelCoord3D(v1.m_x - v.m_x, v1.m_y - v.m_y, v1.m_z - v.m_z));
  // Where a turn is not known, the sum of the inverse ground distances of
  // the edge and the corner bounds it; an end that stands on no source
  // point bounds nothing.
  if (!tp || !tq || !t0 || !t1 || !(std::fabs(q.m_x - p.m_x) > 0)) {
    if (m_Store.m_PolyCoord[static_cast<std::size_t>(a)].m_Tag != 0 ||
        m_Store.m_PolyCoord[static_cast<std::size_t>(b)].m_Tag != 0)
      return std::numeric_limits<double>::infinity();
    return 1 / GroundReach(va, vb) + 1 / GroundReach(v, v);
  }
  const auto turn = [&](const ChartTurn& tc) {
    double g[2];
    for (int j = 0; j < 2; ++j)
      g[j] = tc.m_Elevation[j] - (1 - u) * tp->m_Elevation[j] - u * tq->m_Elevation[j] -
             slope * (tc.m_Azimuth[j] - (1 - u) * tp->m_Azimuth[j] - u * tq->m_Azimuth[j]);
    return std::hypot(g[0], g[1]);
  };
  return std::max(turn(*t0), turn(*t1));
}

CKelCoord2D ChordPoints::DiscOf(int at)
{
  if (at != m_DiscAt) {
    m_DiscAt = at;
    m_Disc = SphereDiscOf(m_Store.m_PolyCoord.Chart(at));
  }
  return m_Disc;
}

void ChordPoints::Rebuild(std::size_t i)
{
  CSpherePolyArea& area = m_Store.m_PolyArea[i];
  m_Path.clear();
  m_Path.reserve(static_cast<std::size_t>(area.Size()) + m_Taken.size());
  auto taken = m_Taken.begin();
  for (int k = 0; k < area.Size(); ++k) {
    m_Path.push_back(area.IdxAt(k));
    for (; taken != m_Taken.end() && taken->first == k; ++taken)
      m_Path.push_back(taken->second);
  }
  area = m_Store.NewPolyArea();
  area.m_Idx.reserve(m_Path.size());
  for (int n : m_Path)
    area.AddIdx(n);
}

}  // namespace

void CSphereBlkDataArrayNew::InsertChordPoints()
{
  ChordPoints points(*this);
  for (std::size_t i = 0; i < m_PolyArea.size(); ++i) {
    if (points.Take(i))
      points.Rebuild(i);
  }
}

// --- Progress ------------------------------------------------------------------------

int CSphereBlkDataArrayNew::StepProgress(CKelProgressCore* progress) const
{
  if (progress == nullptr)
    return kDone;
  progress->StepIt();
  ShowStepText(progress);
  return progress->CheckAbort() ? kCancelled : kDone;
}

void CSphereBlkDataArrayNew::ShowStepText(CKelProgressCore* progress)
{
  if (progress == nullptr || progress->GetRange() == 0)
    return;
  const long long perMille = static_cast<long long>(progress->GetPos()) * 1000 / progress->GetRange();
  char text[32];
  std::snprintf(text, sizeof text, " %3lld.%lld%% ", perMille / 10, perMille % 10);
  progress->SetText(text);
}

// --- Phases ------------------------------------------------------------------------------

int CSphereBlkDataArrayNew::CalcCrossPoint(CKelProgressCore* progress)
{
  for (CSpherePolyArea& area : m_PolyArea) {
    if (area.GetArea() < 0)
      std::reverse(area.m_Idx.begin(), area.m_Idx.end());
  }
  // Each polygon's reach tree serves every polygon cut after it until its
  // own turn changes it.
  std::vector<CSpherePolyAreaReach> reach;
  reach.reserve(m_PolyArea.size());
  for (const CSpherePolyArea& area : m_PolyArea)
    reach.emplace_back(area);
  CSphereHorizonIndex horizon;
  for (std::size_t i = 0; i < m_PolyArea.size(); ++i) {
    horizon.TakeIn(m_PolyCoord);
    // The polygon is as its reach was built on, and no later search asks
    // for that reach: its edges are the ones to cut.
    CSpherePolyArea::CutEdgeList edges(std::move(reach[i]).TakeEdges(), &horizon);
    for (std::size_t j = 0; j < m_PolyArea.size(); ++j) {
      if (i == j || !m_PolyArea[i].BoxMeets(m_PolyArea[j]))
        continue;
      const int r = m_PolyArea[i].CalcCrossPoint(progress, m_PolyArea[j], reach[j], edges);
      if (r != 0) {
        m_PolyArea[i].TakeCutEdges(edges);
        return r;
      }
    }
    m_PolyArea[i].TakeCutEdges(edges);
    // The cut edges are the polygon's edges as its turn left them.
    reach[i] = CSpherePolyAreaReach(&m_PolyCoord, edges.InOrder());
    if (StepProgress(progress) != kDone)
      return kCancelled;
  }
  return kDone;
}

int CSphereBlkDataArrayNew::DeletePointInArea(CKelProgressCore* progress)
{
  if (ChartOutlines(progress) != kDone || FlagSharedEdges(progress) != kDone)
    return kCancelled;
  return FlagInsideEdges(progress);
}

int CSphereBlkDataArrayNew::ChartOutlines(CKelProgressCore* progress)
{
  // Outline polygons of the chart for the inside tests.
  for (CSpherePolyArea& area : m_PolyArea) {
    area.m_AreaCoord.m_pt.clear();
    area.m_AreaCoord.m_pt.reserve(area.m_Idx.size());
    for (int k = 0; k < area.Size(); ++k)
      area.m_AreaCoord.m_pt.push_back(m_PolyCoord.Chart(area.IdxAt(k)));
    area.m_AreaCoord.SetMaxMin();
    area.m_AreaCoord.SetArea();
    if (StepProgress(progress) != kDone)
      return kCancelled;
  }
  return kDone;
}

namespace {

// The edges each polygon runs both ways, as (polygon, lower end, higher
// end), ascending. Such a pair (a spike or slit of no width, as a face seen
// edge-on along the horizon gives) cancels within its polygon, so it must
// not cancel another polygon's copy as well: each end would then lose one
// edge more going out than coming in, and the boundary through it stays open.
class BothWays {
public:
  explicit BothWays(const CSpherePolyAreaArray& polys)
  {
    std::vector<std::array<int, 3>> runs;  // lower end, higher end, forward
    for (std::size_t j = 0; j < polys.size(); ++j) {
      const CSpherePolyArea& area = polys[j];
      const int n = area.Size();
      runs.clear();
      for (int k = 0; k < n; ++k) {
        const int a = area.IdxAt(k), b = area.IdxAt(k + 1 == n ? 0 : k + 1);
        if (a != b)
          runs.push_back({std::min(a, b), std::max(a, b), a < b ? 1 : 0});
      }
      std::sort(runs.begin(), runs.end());
      for (std::size_t e = 1; e < runs.size(); ++e) {
        if (runs[e][0] == runs[e - 1][0] && runs[e][1] == runs[e - 1][1] && runs[e][2] != runs[e - 1][2])
          m_Pairs.push_back({static_cast<int>(j), runs[e][0], runs[e][1]});
      }
    }
  }

  bool Holds(std::size_t area, int a, int b) const
  {
    return !m_Pairs.empty() && std::binary_search(m_Pairs.begin(), m_Pairs.end(),
                                                  std::array<int, 3>{static_cast<int>(area), std::min(a, b),
                                                                     std::max(a, b)});
  }

private:
  std::vector<std::array<int, 3>> m_Pairs;
};

}  // namespace

int CSphereBlkDataArrayNew::FlagSharedEdges(CKelProgressCore* progress)
{
  // Edges shared with another polygon in the opposite direction: the edge
  // and every other polygon's copy of it, either way round. (A polygon with
  // the edge holds both ends in its box, charted from the same vertices, so
  // no box needs asking.)
  const SphereEdgeOwners owners(m_PolyArea);
  const BothWays bothWays(m_PolyArea);
  for (std::size_t i = 0; i < m_PolyArea.size(); ++i) {
    CSpherePolyArea& area = m_PolyArea[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag != 0)
        continue;
      const int a = area.IdxAt(prev);
      const int b = area.IdxAt(k);
      if (bothWays.Holds(i, a, b)) {
        area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kShared;
        continue;
      }
      const SphereEdgeOwners::Owners run = owners.Of(a, b);
      const auto other = [&](const SphereEdgeOwners::Owner& o) {
        const auto no = static_cast<std::size_t>(o.m_AreaNo);
        return no != i && !bothWays.Holds(no, a, b);
      };
      bool reversed = false;
      for (const SphereEdgeOwners::Owner& o : run)
        reversed = reversed || (other(o) && o.SearchIdx(a) < 0);
      if (!reversed)
        continue;
      area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kShared;
      for (const SphereEdgeOwners::Owner& o : run) {
        if (other(o))
          m_PolyArea[static_cast<std::size_t>(o.m_AreaNo)].m_Idx[static_cast<std::size_t>(o.m_Pos)].m_EdgeFlag =
              CSpherePolyAreaFlag::kShared;
      }
    }
    if (StepProgress(progress) != kDone)
      return kCancelled;
  }
  return kDone;
}

namespace {

// Whether another polygon of the union holds an edge. Every polygon is asked
// about the midpoints of the others' edges that its box may hold (a point
// beyond the box is outside at once), so each gets an index of its edges by
// level once, and the polygons are filed by the cells their boxes cover.
class HeldByAnother {
public:
  explicit HeldByAnother(const CSpherePolyAreaArray& polys)
      : m_Polys(polys), m_Band(CKelAreaCoord2D::InAreaBand(KelTol::SkyUnionInside, Crossing::TenthTol)),
        m_Levels(polys.size()), m_Floors(SphereFloors(polys)), m_Grid(polys, m_Band.box), m_EveryArea(polys.size())
  {
    // The boxes side by side: most polygons asked about a point are passed
    // over by their box, which answers outside before any index is built.
    m_Boxes.reserve(polys.size());
    for (const CSpherePolyArea& area : polys) {
      const CKelAreaCoord2D& o = area.m_AreaCoord;
      m_Boxes.push_back(KelEdge::Extents{o.m_xmin, o.m_xmax, o.m_ymin, o.m_ymax});
    }
    for (std::size_t j = 0; j < m_EveryArea.size(); ++j)
      m_EveryArea[j] = j;
    m_Grid.OrderCellsBy(m_Floors);
    std::stable_sort(m_EveryArea.begin(), m_EveryArea.end(),
                     [this](std::size_t x, std::size_t y) { return m_Floors[x] < m_Floors[y]; });
    m_LowestFloor = m_EveryArea.empty() ? 0 : m_Floors[m_EveryArea.front()];
  }

  // Whether some polygon other than i holds the edge a-b; `last`, the
  // polygon that held the edge before it, is asked first and then names
  // the one that held this edge. The answer does not depend on the order
  // the polygons are asked in.
  bool Holds(std::size_t i, const CKelCoord2D& a, const CKelCoord2D& b, std::size_t& last)
  {
    const CKelCoord2D mid((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
    // An edge along the horizon lies under every polygon.
    if (UnderFloor(m_LowestFloor, a, b, mid))
      return false;
    if (last != i && Holds(last, a, b, mid))
      return true;
    const std::span<const std::size_t> asked = m_Grid.Near(mid).value_or(m_EveryArea);
    // Lowest floors first: the polygons that an edge lies under are left
    // out at once, and along the horizon those are nearly all of them.
    const auto end = std::partition_point(asked.begin(), asked.end(),
                                          [&](std::size_t j) { return !Under(j, a, b, mid); });
    for (auto it = asked.begin(); it != end; ++it) {
      const std::size_t j = *it;
      if (j != i && j != last && Holds(j, a, b, mid)) {
        last = j;
        return true;
      }
    }
    return false;
  }

private:
  // No point level with a polygon's lowest vertex or below it is inside
  // it, so an edge along the horizon under a block is settled at once.
  static bool UnderFloor(double floor, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& mid)
  {
    return a.m_y <= floor && b.m_y <= floor && mid.m_y <= floor;
  }
  bool Under(std::size_t j, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& mid) const
  {
    return UnderFloor(m_Floors[j], a, b, mid);
  }

  bool Holds(std::size_t j, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& mid)
  {
    if (Under(j, a, b, mid))
      return false;
    const int r = Inside(j, mid);
    return r == 1 || (r == -1 && (Inside(j, a) == 1 || Inside(j, b) == 1));
  }

  int Inside(std::size_t j, const CKelCoord2D& p)
  {
    if (KelEdge::OutsideBox(m_Boxes[j], p, m_Band))
      return 0;
    // Indexed when first asked: the floors and boxes settle most polygons
    // beforehand.
    std::optional<KelEdge::LevelIndex>& level = m_Levels[j];
    if (!level)
      level.emplace(m_Polys[j].m_AreaCoord.m_pt, m_Band);
    return m_Polys[j].m_AreaCoord.InArea(p, *level, KelTol::SkyUnionInside, Crossing::TenthTol);
  }

  const CSpherePolyAreaArray& m_Polys;
  KelEdge::LocateTol m_Band;
  std::vector<std::optional<KelEdge::LevelIndex>> m_Levels;
  std::vector<KelEdge::Extents> m_Boxes;
  std::vector<double> m_Floors;
  SphereBoxGrid m_Grid;
  std::vector<std::size_t> m_EveryArea;  // by floor
  double m_LowestFloor = 0;             // of every polygon
};

}  // namespace

int CSphereBlkDataArrayNew::FlagInsideEdges(CKelProgressCore* progress)
{
  HeldByAnother held(m_PolyArea);
  for (std::size_t i = 0; i < m_PolyArea.size(); ++i) {
    CSpherePolyArea& area = m_PolyArea[i];
    const int n = area.Size();
    // Neighbouring edges mostly lie in the same polygon.
    std::size_t last = i;
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (held.Holds(i, m_PolyCoord.Chart(area.IdxAt(prev)), m_PolyCoord.Chart(area.IdxAt(k)), last))
        area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kInside;
    }
    if (StepProgress(progress) != kDone)
      return kCancelled;
  }
  return kDone;
}

int CSphereBlkDataArrayNew::AddLineArray(CKelProgressCore* progress)
{
  SphereChainIndex index(m_BlkLine);
  for (const CSpherePolyArea& area : m_PolyArea) {
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag >= 0)
        m_BlkLine.Add(area.IdxAt(prev), area.IdxAt(k), index);
    }
    if (StepProgress(progress) != kDone)
      return kCancelled;
  }
  return kDone;
}

bool CSphereBlkDataArrayNew::CheckDupLine() const
{
  const std::size_t n = m_BlkLine.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const CSphereBlkDataLineArray& ci = m_BlkLine[i];
      const CSphereBlkDataLineArray& cj = m_BlkLine[j];
      if (ci.empty() || cj.empty())
        continue;
      if (ci.back() == cj.front()) {
        for (std::size_t k = j + 1; k < n; ++k) {
          if (!m_BlkLine[k].empty() && m_BlkLine[k].front() == ci.back())
            return true;
        }
      } else if (ci.front() == cj.back()) {
        for (std::size_t k = j + 1; k < n; ++k) {
          if (!m_BlkLine[k].empty() && m_BlkLine[k].back() == ci.front())
            return true;
        }
      }
    }
  }
  return false;
}

int CSphereBlkDataArrayNew::MergeLine()
{
  for (std::size_t i = 0; i < m_BlkLine.size(); ++i) {
    bool joined = true;
    while (joined) {
      joined = false;
      for (std::size_t j = i + 1; j < m_BlkLine.size() && !joined; ++j) {
        CSphereBlkDataLineArray& ci = m_BlkLine[i];
        const CSphereBlkDataLineArray& cj = m_BlkLine[j];
        if (ci.empty() || cj.empty())
          continue;
        if (cj.front() == ci.back()) {
          ci.insert(ci.end(), cj.begin() + 1, cj.end());
          joined = true;
        } else if (cj.back() == ci.front()) {
          ci.insert(ci.begin(), cj.begin(), cj.end() - 1);
          joined = true;
        }
        if (joined)
          m_BlkLine.erase(m_BlkLine.begin() + static_cast<std::ptrdiff_t>(j));
      }
    }
  }
  return kDone;
}

void CSphereBlkDataArrayNew::TraceAtBranches()
{
  // The boundary edges the chains hold, each once, in chain order.
  std::vector<std::pair<int, int>> edges;
  for (const CSphereBlkDataLineArray& chain : m_BlkLine) {
    for (std::size_t k = 1; k < chain.size(); ++k) {
      if (chain[k - 1] != chain[k])
        edges.emplace_back(chain[k - 1], chain[k]);
    }
  }
  std::vector<std::vector<int>> leaving(m_PolyCoord.size());
  for (std::size_t e = 0; e < edges.size(); ++e)
    leaving[static_cast<std::size_t>(edges[e].first)].push_back(static_cast<int>(e));
  const auto angle = [this](int from, int to) {
    const CKelCoord2D a = m_PolyCoord.Chart(from), b = m_PolyCoord.Chart(to);
    return std::atan2(b.m_y - a.m_y, b.m_x - a.m_x);
  };
  std::vector<bool> used(edges.size(), false);
  // At a point where boundaries touch, an edge goes on along the edge
  // first met turning clockwise from the way back: the sharpest left turn.
  // The boundaries run counter-clockwise about what they cover, so this
  // keeps each touching piece a loop of its own; a trace straight back is
  // the last choice. Candidates are the edges not taken yet, and `first`.
  const auto next = [&](int e, int first) {
    const auto [from, at] = edges[static_cast<std::size_t>(e)];
    const double back = angle(at, from);
    int best = -1;
    double bestTurn = 0;
    for (int c : leaving[static_cast<std::size_t>(at)]) {
      if (used[static_cast<std::size_t>(c)] && c != first)
        continue;
      double turn = back - angle(at, edges[static_cast<std::size_t>(c)].second);
      while (turn <= 0)
        turn += KelAngle::TwoPi;
      while (turn > KelAngle::TwoPi)
        turn -= KelAngle::TwoPi;
      if (best < 0 || turn < bestTurn) {
        best = c;
        bestTurn = turn;
      }
    }
    return best;
  };
  m_BlkLine.clear();
  for (std::size_t e0 = 0; e0 < edges.size(); ++e0) {
    if (used[e0])
      continue;
    CSphereBlkDataLineArray chain{edges[e0].first};
    for (int e = static_cast<int>(e0);;) {
      used[static_cast<std::size_t>(e)] = true;
      chain.push_back(edges[static_cast<std::size_t>(e)].second);
      e = next(e, static_cast<int>(e0));
      if (e < 0 || e == static_cast<int>(e0))
        break;
    }
    m_BlkLine.push_back(chain);
  }
}

void CSphereBlkDataArrayNew::CheckPoint(int p)
{
  const CKelCoord2D pt = m_PolyCoord.Chart(p);
  for (CSpherePolyArea& area : m_PolyArea) {
    for (int k = 0; k < area.Size(); ++k) {
      const int a = area.IdxAt(k);
      const int b = area.IdxAt((k + 1) % area.Size());
      if (a == p || b == p)
        continue;
      double c = 1, s = 0, len = 0;
      const CKelCoord2D pa = m_PolyCoord.Chart(a);
      CalcCosSin(pa, m_PolyCoord.Chart(b), &c, &s, &len);
      const double dx = pt.m_x - pa.m_x;
      const double dy = pt.m_y - pa.m_y;
      const double t = dx * c + dy * s;
      if (t > 0 && t < len && std::fabs(dy * c - dx * s) <= kTol) {
        area.InsertIdx(k + 1, CSpherePolyAreaFlag(p));
        ++k;
      }
    }
  }
}

void CSphereBlkDataArrayNew::ResetFlags()
{
  for (CSpherePolyArea& area : m_PolyArea) {
    for (CSpherePolyAreaFlag& f : area.m_Idx)
      f.m_EdgeFlag = CSpherePolyAreaFlag::kKept;
    area.m_AreaCoord.m_pt.clear();
  }
}

int CSphereBlkDataArrayNew::RunPhases(CKelProgressCore* progress, bool withCrossings)
{
  int r = withCrossings ? CalcCrossPoint(progress) : kDone;
  if (r == kDone)
    r = DeletePointInArea(progress);
  if (r == kDone)
    r = AddLineArray(progress);
  return r;
}

int CSphereBlkDataArrayNew::RetryOpenChains(CKelProgressCore* progress, int startPos)
{
  bool open = false;
  const CSphereBlkDataLineArrayArray chains = m_BlkLine;
  for (const CSphereBlkDataLineArray& chain : chains) {
    if (chain.IsClosed())
      continue;
    open = true;
    for (int p : chain)
      CheckPoint(p);
  }
  if (!open)
    return kDone;
  if (progress != nullptr)
    progress->SetPos(startPos);
  m_BlkLine.clear();
  ResetFlags();
  if (RunPhases(progress, false) != kDone)
    return kCancelled;
  if (CheckDupLine()) {
    TraceAtBranches();
    return kDone;
  }
  return MergeLine();
}

int CSphereBlkDataArrayNew::CalcRatio(CKelProgressCore* progress, int step, std::vector<CSphereRatioBlockParam>& params)
{
  m_BlkLine.clear();
  int startPos = 0;
  if (progress != nullptr) {
    progress->SetRange(static_cast<int>(m_PolyArea.size()), "");
    startPos = progress->GetPos();
  }
  int r = RunPhases(progress, true);
  if (r != kDone)
    return r;
  if (CheckDupLine()) {
    // Once more from a clean state: the crossings inserted meanwhile may
    // settle the branch.
    if (progress != nullptr)
      progress->SetPos(startPos);
    m_BlkLine.clear();
    m_BlkLine.m_DeleteLine.clear();
    ResetFlags();
    r = RunPhases(progress, true) == kDone ? kDone : kCancelled;
    if (r != kDone)
      return r;
  }
  // Boundaries that still touch (a face seen edge-on, expanded slivers
  // meeting, neighbours sharing a corner) are traced apart at the touching
  // points instead of joined end to end.
  if (CheckDupLine())
    TraceAtBranches();
  else
    MergeLine();
  r = RetryOpenChains(progress, startPos);
  if (r != kDone)
    return r;
  return RegistBlock(step, params);
}

void CSphereBlkDataArrayNew::JoinAzimuths(int step)
{
  std::vector<int> used;
  for (const CSphereBlkDataLineArray& chain : m_BlkLine)
    used.insert(used.end(), chain.begin(), chain.end());
  const auto azimuth = [this](int idx) -> double& { return m_PolyCoord[static_cast<std::size_t>(idx)].m_AD; };
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  std::stable_sort(used.begin(), used.end(), [&](int a, int b) { return azimuth(a) < azimuth(b); });
  const double s = step >= 1 ? step * KelAngle::Pi / 180 : 0;
  const auto offLine = [s](double a) { return s > 0 ? std::fabs(std::remainder(a, s)) : 0.0; };
  for (std::size_t i = 0; i < used.size();) {
    std::size_t j = i + 1;
    double join = azimuth(used[i]);
    while (j < used.size() && azimuth(used[j]) - azimuth(used[i]) <= kTol) {
      if (offLine(azimuth(used[j])) < offLine(join))
        join = azimuth(used[j]);
      ++j;
    }
    for (std::size_t k = i; k < j; ++k)
      azimuth(used[k]) = join;
    i = j;
  }
}

namespace {

// The closed chain as it runs from its point at position at round to it.
CSphereBlkDataLineArray RunFrom(const CSphereBlkDataLineArray& chain, std::size_t at)
{
  CSphereBlkDataLineArray run(chain.begin() + static_cast<std::ptrdiff_t>(at), chain.end() - 1);
  run.insert(run.end(), chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(at) + 1);
  return run;
}

// A point of chain b (not its closing repeat) that chain a passes too and
// that the boundaries pass more than once; -1 when there is none.
int CommonPoint(const CSphereBlkDataLineArray& a, const CSphereBlkDataLineArray& b, const std::vector<int>& visits)
{
  for (std::size_t k = 0; k + 1 < b.size(); ++k) {
    const int p = b[k];
    if (visits[static_cast<std::size_t>(p)] > 1 && std::find(a.begin(), a.end() - 1, p) != a.end() - 1)
      return p;
  }
  return -1;
}

// Closed chains that pass one point are joined there into one chain that
// pinches at it, chains touching a joined one joined to it in turn. Apart,
// each would lose the points its step drops on its own, and the chords
// drawn past them could overlap the other's on the disc unseen; as one
// chain, their crossings are found and shared like a chain's own.
CSphereBlkDataLineArrayArray JoinedAtTouches(const CSphereBlkDataLineArrayArray& chains, const std::vector<int>& visits)
{
  CSphereBlkDataLineArrayArray joined = chains;
  const auto position = [](const CSphereBlkDataLineArray& chain, int p) {
    return static_cast<std::size_t>(std::find(chain.begin(), chain.end(), p) - chain.begin());
  };
  for (std::size_t i = 0; i < joined.size(); ++i) {
    for (std::size_t j = i + 1; j < joined.size();) {
      const int p = CommonPoint(joined[i], joined[j], visits);
      if (p < 0) {
        ++j;
        continue;
      }
      CSphereBlkDataLineArray run = RunFrom(joined[i], position(joined[i], p));
      const CSphereBlkDataLineArray added = RunFrom(joined[j], position(joined[j], p));
      run.insert(run.end(), added.begin() + 1, added.end());
      joined[i] = run;
      joined.erase(joined.begin() + static_cast<std::ptrdiff_t>(j));
      // The joined chain may touch chains passed over before.
      j = i + 1;
    }
  }
  return joined;
}

}  // namespace

int CSphereBlkDataArrayNew::RegistBlock(int step, std::vector<CSphereRatioBlockParam>& params)
{
  JoinAzimuths(step);
  std::vector<int> visits(m_PolyCoord.size(), 0);
  for (const CSphereBlkDataLineArray& chain : m_BlkLine) {
    for (int idx : chain)
      m_PolyCoord[static_cast<std::size_t>(idx)].ConvertCoordXY();
    if (!chain.IsClosed())
      return kOpenChain;
    for (std::size_t k = 0; k + 1 < chain.size(); ++k)
      ++visits[static_cast<std::size_t>(chain[k])];
  }
  for (const CSphereBlkDataLineArray& chain : JoinedAtTouches(m_BlkLine, visits)) {
    bool ok = true;
    CSphereRatioBlockParam param = chain.GetSphereRatioBlock(step, m_PolyCoord, visits, &ok);
    if (!ok)
      return kCancelled;
    if (param.m_pt.size() >= 3 && std::fabs(param.CalcArea()) > KelTol::SkyParamArea)
      params.push_back(param);
  }
  if (step > 0) {
    for (CSphereRatioBlockParam& param : params) {
      if (!param.SetBowShape())
        return kCancelled;
    }
  }
  m_ExpandLine = CreateExpandLine();
  return kDone;
}

CSphereExpandLineArray CSphereBlkDataArrayNew::CreateExpandLine() const
{
  CSphereExpandLineArray lines;
  for (const CSphereBlkDataLineArray& chain : m_BlkLine) {
    if (!chain.IsClosed())
      continue;
    const int n = static_cast<int>(chain.size()) - 1;
    const auto at = [&](int k) -> const CSphereCoordD2D& {
      return m_PolyCoord[static_cast<std::size_t>(chain[static_cast<std::size_t>((k % n + n) % n)])];
    };
    const auto nearestMarked = [&](int k, int dir) {
      for (int s = 1; s <= n; ++s) {
        if (at(k + dir * s).m_PntKind != CSphereCoordD2D::kInserted)
          return k + dir * s;
      }
      return k;
    };
    for (int k = 0; k < n; ++k) {
      if (at(k).m_PntKind != CSphereCoordD2D::kSectorLine)
        continue;
      const int back = nearestMarked(k, -1);
      if (at(back).m_PntKind != CSphereCoordD2D::kEnd)
        continue;
      const int fwd = nearestMarked(k, 1);
      if (at(fwd).m_PntKind == CSphereCoordD2D::kEnd)
        lines.emplace_back(at(back).m_Pos, at(k).m_Pos, at(fwd).m_Pos);
    }
  }
  return lines;
}

// --- Duplicate runs (kept for callers that collect them) ------------------------------------

namespace {

// Whether the contacts of target a-b on source c-d end with the point end.
bool EndsWith(CSpherePolyCoordArray& pool, int c, int d, int a, int b, int end)
{
  const std::vector<int> contacts = CalcCrossPoint(&pool, pool.Chart(c), pool.Chart(d), pool.Chart(a), pool.Chart(b));
  return !contacts.empty() && contacts.back() == end;
}

}  // namespace

bool CSphereBlkDataArrayNew::CutDupLineFront(CSphereBlkDataLineArray src, CSphereBlkDataLineArray dst,
                                             CSpherePolyCoordArray& pool, std::vector<int>& out)
{
  if (src.empty() || dst.empty() || src.front() != dst.front())
    return false;
  out.push_back(src.front());
  while (src.size() >= 2 && dst.size() >= 2) {
    if (EndsWith(pool, src[0], src[1], dst[0], dst[1], dst[1]))
      out.push_back(dst[1]);
    else if (EndsWith(pool, dst[0], dst[1], src[0], src[1], src[1]))
      out.push_back(src[1]);
    else
      break;
    src.erase(src.begin());
    dst.erase(dst.begin());
  }
  return out.size() >= 2;
}

bool CSphereBlkDataArrayNew::CutDupLineBack(CSphereBlkDataLineArray src, CSphereBlkDataLineArray dst,
                                            CSpherePolyCoordArray& pool, std::vector<int>& out)
{
  std::reverse(src.begin(), src.end());
  std::reverse(dst.begin(), dst.end());
  return CutDupLineFront(src, dst, pool, out);
}

int CSphereBlkDataArrayNew::CutDupLine()
{
  for (std::size_t i = 0; i < m_BlkLine.size(); ++i) {
    for (std::size_t j = i + 1; j < m_BlkLine.size(); ++j) {
      const CSphereBlkDataLineArray& a = m_BlkLine[i];
      const CSphereBlkDataLineArray& b = m_BlkLine[j];
      if (a.empty() || b.empty())
        continue;
      std::vector<int> run;
      if (a.front() == b.front())
        CutDupLineFront(a, b, m_PolyCoord, run);
      run.clear();
      if (a.back() == b.back())
        CutDupLineBack(a, b, m_PolyCoord, run);
    }
  }
  return kDone;
}
