// The projection of building blocks and 3D faces onto the sky disc, face by
// face, and their registration with the outline union.
//
// A vertical side face (one per plan edge of a block) projects to its lower
// edge followed by its upper edge reversed. A straight edge does not project
// straight, so it is subdivided where it crosses the sector lines (every
// m_AngleStep degrees from azimuth 0), or every degree in the one-degree
// variant; heights are interpolated along the edge.

#include <algorithm>
#include <cmath>
#include <utility>

#include "CKelAreaCoord3D.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSpherePolyArea.h"
#include "CSpherePolyLine.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kEnd = KelTol::SkySubdivisionEnd;
constexpr double kLine = KelTol::SkyAngleLine;
constexpr double kHeight = KelTol::SkyHeight;
constexpr double kNearAxis = KelTol::BlockPoint;
constexpr double kDegreesPerRadian = KelAngle::DegreesPerRadian;
// The most halfway points one edge takes for its sag (each halves a span).
constexpr int kMostSagPoints = 256;

double Degrees(const CSphereCoordD2D& p)
{
  return p.m_AD * kDegreesPerRadian;
}

CKelCoord2D PlanOf(const CSphereCoordD2D& p)
{
  return CKelCoord2D(p.m_Coord3D.m_x, p.m_Coord3D.m_y);
}

bool Finite(const CKelCoord3D& p)
{
  return std::isfinite(p.m_x) && std::isfinite(p.m_y) && std::isfinite(p.m_z);
}

// The azimuths of an edge walk from a1 to a2 (degrees): a1, the multiples
// of s strictly between, a2. An end closer than kEnd to a multiple takes its
// place. A multiple within kLine of an end is not walked: the end stands for
// it, as it would on the line itself. Walked beside the end, the line's point
// would be one point with it in the union's pool, and whichever came first
// would lend the corner its kind: an inserted kind drops the corner from the
// outline. A rising and a falling walk are mirror images.
std::vector<double> WalkAngles(double a1, double a2, double s)
{
  const double d = a2 - a1;
  if (std::fabs(d) <= kEnd || !(s >= 1) || !std::isfinite(d))
    return {a1, a2};
  const double dir = d > 0 ? 1 : -1;
  double a = (d > 0 ? std::ceil(a1 / s) : std::floor(a1 / s)) * s;
  std::vector<double> out{std::fabs(a - a1) <= kEnd ? a : a1};
  if (std::fabs(a - a1) <= kLine)
    a += dir * s;
  for (; dir * (a2 - a) > kLine; a += dir * s)
    out.push_back(a);
  out.push_back(a2);
  return out;
}

// Inserts, between neighbours whose chosen height changes sign strictly,
// the point where it is zero; the other height is interpolated.
template <class Entry, class Point>
void InsertZeroCrossings(std::vector<Entry>& list, Point point, bool lower)
{
  for (std::size_t i = 0; i + 1 < list.size(); ++i) {
    const CKelCoord3DEx& a = point(list[i]);
    const CKelCoord3DEx& b = point(list[i + 1]);
    const double ha = lower ? a.m_zL : a.m_z;
    const double hb = lower ? b.m_zL : b.m_z;
    if (!((ha > 0 && hb < 0) || (ha < 0 && hb > 0)))
      continue;
    const double t = ha / (ha - hb);
    Entry e{};
    CKelCoord3DEx& p = point(e);
    p.m_x = a.m_x + t * (b.m_x - a.m_x);
    p.m_y = a.m_y + t * (b.m_y - a.m_y);
    p.m_z = lower ? a.m_z + t * (b.m_z - a.m_z) : 0;
    p.m_zL = lower ? 0 : a.m_zL + t * (b.m_zL - a.m_zL);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, e);
    ++i;
  }
}

// Where the chart's straight line between neighbouring points of an edge
// departs from the edge's own elevations halfway by more than
// KelTol::SkyChartSag (upper or lower height), the halfway point is walked
// too. A straight edge seen nearly end-on and close (a wall whose plane
// passes a hair from the check point) keeps its top near the zenith until
// the last hair of azimuth and then drops: the union, which takes every edge
// for the chart's straight line, would cross it far from where the disc
// draws it. Heights are linear along the edge, so the halfway point's are
// the neighbours' mean. Returns which entries are such points: they serve
// the union's crossings and, like any point a walk inserts, leave the
// boundary unless an outline meets them, so that the edge keeps the chords
// of its step.
template <class Entry, class Point, class BearingOf>
std::vector<bool> InsertSagPoints(std::vector<Entry>& list, Point point, BearingOf bearingOf)
{
  struct Angles {
    double az, upper, lower;
  };
  const auto angles = [&bearingOf](const CKelCoord3DEx& p) {
    const auto bearing = bearingOf(p.m_x, p.m_y);
    const double reach = bearing.m_Reach;
    return Angles{bearing.m_Azimuth, std::atan2(p.m_z, reach), p.m_zL == 0 ? 0.0 : std::atan2(p.m_zL, reach)};
  };
  std::vector<bool> sag(list.size(), false);
  std::vector<Angles> at;
  at.reserve(list.size());
  for (Entry& e : list)
    at.push_back(angles(point(e)));
  int budget = kMostSagPoints;
  for (std::size_t i = 0; i + 1 < list.size() && budget > 0;) {
    const Angles &p = at[i], &q = at[i + 1];
    const double span = q.az - p.az;
    if (!(std::fabs(span) > KelTol::SkyDisc)) {
      ++i;
      continue;
    }
    const CKelCoord3DEx& a = point(list[i]);
    const CKelCoord3DEx& b = point(list[i + 1]);
    const CKelCoord3DEx m((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2, (a.m_z + b.m_z) / 2, (a.m_zL + b.m_zL) / 2);
    const Angles mid = angles(m);
    const double t = (mid.az - p.az) / span;
    if (!(std::fabs(mid.upper - (p.upper + t * (q.upper - p.upper))) > KelTol::SkyChartSag ||
          std::fabs(mid.lower - (p.lower + t * (q.lower - p.lower))) > KelTol::SkyChartSag)) {
      ++i;
      continue;
    }
    Entry e{};
    point(e) = m;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, e);
    at.insert(at.begin() + static_cast<std::ptrdiff_t>(i) + 1, mid);
    sag.insert(sag.begin() + static_cast<std::ptrdiff_t>(i) + 1, true);
    --budget;
  }
  return sag;
}

// Heights along the edge from p1 (h1) to p2 (h2), by horizontal distance.
void Interpolate(CKelCoord3DEx& p, const CKelCoord2D& p1, double len, const CKelCoord3DEx& h1, const CKelCoord3DEx& h2)
{
  const double t = std::hypot(p.m_x - p1.m_x, p.m_y - p1.m_y) / len;
  p.m_z = h1.m_z + t * (h2.m_z - h1.m_z);
  p.m_zL = h1.m_zL + t * (h2.m_zL - h1.m_zL);
}

// The point of segment p1-p2 on the sector line at azimuth a (degrees). The
// crossing of an edge running nearly along the line is ill-conditioned and
// may fall anywhere on the edge's line, even behind the check point: the
// point is kept on the segment, which holds every sector line the walk
// between the ends' azimuths visits.
CKelCoord3DEx OnSegment(const CSphereA& sphere, int side, const CKelCoord2D& p1, const CKelCoord2D& p2, double a)
{
  CKelCoord3DEx q = sphere.CalcSphereCoord(side, p1, p2, a);
  const double dx = p2.m_x - p1.m_x;
  const double dy = p2.m_y - p1.m_y;
  const double len2 = dx * dx + dy * dy;
  if (!(len2 > 0))
    return q;
  const double t = ((q.m_x - p1.m_x) * dx + (q.m_y - p1.m_y) * dy) / len2;
  const double off = std::fabs((q.m_y - p1.m_y) * dx - (q.m_x - p1.m_x) * dy) / len2;
  if (t >= -kEnd && t <= 1 + kEnd && off <= kEnd)
    return q;
  const double clamped = std::isfinite(t) ? std::clamp(t, 0.0, 1.0) : 0.0;
  q.m_x = p1.m_x + clamped * dx;
  q.m_y = p1.m_y + clamped * dy;
  return q;
}

// An edge of a face in the local frame with its ends projected at their
// upper heights and their azimuths in degrees.
struct Edge {
  CKelCoord2D q1, q2;
  double len = 0;
  CSphereCoordD2D c1, c2;
  double a1 = 0, a2 = 0;
};

// False when nothing is projected: no sectors, an edge of no length, or one
// passing through the check point (seen edge-on).
bool MeasureEdge(const CSphereA& sphere, const CKelCoord3D& p1, const CKelCoord3D& p2, int side, Edge& e)
{
  e.q1 = CKelCoord2D(p1.m_x, p1.m_y);
  e.q2 = CKelCoord2D(p2.m_x, p2.m_y);
  e.len = length_2point(e.q1, e.q2);
  CKelCoord2D foot;
  if (sphere.m_AngleStep < 1 || !(e.len > 0) || linedist(e.q1, e.q2, CKelCoord2D(0, 0), &foot) < kNearAxis)
    return false;
  e.c1.m_Coord3D = p1;
  e.c2.m_Coord3D = p2;
  sphere.SphereAPos(side, &e.c1);
  sphere.SphereAPos(side, &e.c2);
  e.a1 = Degrees(e.c1);
  e.a2 = Degrees(e.c2);
  return true;
}

CKelCoord3DEx& Itself(CKelCoord3DEx& p)
{
  return p;
}

CKelCoord3DEx& CoordOf(CSphereAWork& w)
{
  return w.m_Coord;
}

}  // namespace

CSphereCoordD2D CSphereA::Project(int side, double x, double y, double z) const
{
  return Project(BearingOf(side, x, y), x, y, z);
}

CSphereCoordD2D CSphereA::Project(const Bearing& bearing, double x, double y, double z) const
{
  CSphereCoordD2D p;
  p.m_Coord3D = CKelCoord3D(x, y, z);
  SetPos(bearing, &p);
  return p;
}

// --- Edge subdivision ----------------------------------------------------------------------

std::vector<CKelCoord3DEx> CSphereA::InsertAnglePoint(int side, const CSphereCoordD2D& c1, const CSphereCoordD2D& c2,
                                                      double a1, double a2, int step) const
{
  const CKelCoord2D p1 = PlanOf(c1);
  const CKelCoord2D p2 = PlanOf(c2);
  const double d = a2 - a1;
  if (std::fabs(d) <= kEnd)
    return {CKelCoord3DEx(p1.m_x, p1.m_y, 0, 0), CKelCoord3DEx(p2.m_x, p2.m_y, 0, 0)};
  std::vector<CKelCoord3DEx> out;
  if (std::fabs(d - 180) <= kEnd || std::fabs(d + 180) <= kEnd) {
    out.push_back(OnSegment(*this, side, p1, p2, a1));
    out.push_back(OnSegment(*this, side, p1, p2, a2));
    return out;
  }
  for (double a : WalkAngles(a1, a2, step))
    out.push_back(OnSegment(*this, side, p1, p2, a));
  return out;
}

std::vector<CSphereAWork> CSphereA::InsertAnglePointExpand0(int side, const CSphereCoordD2D& c1,
                                                            const CSphereCoordD2D& c2, double a1, double a2, int mode,
                                                            int step) const
{
  const double s = mode < 2 ? 1 : step;
  std::vector<CSphereAWork> list;
  const std::vector<double> angles = WalkAngles(a1, a2, s);
  for (std::size_t i = 0; i < angles.size(); ++i) {
    CSphereAWork w;
    w.m_AD = angles[i];
    const bool inner = i > 0 && i + 1 < angles.size();
    w.m_Kind = inner && step >= 1 && std::fabs(std::remainder(angles[i], step)) <= kEnd ? 1 : 0;
    list.push_back(w);
  }
  // The walk starts and ends at the edge's own azimuths.
  list.front().m_AD = a1;
  list.front().m_Kind = 0;
  list.back().m_AD = a2;
  list.back().m_Kind = 0;
  if (mode < 2 && step >= 1 && std::fabs(a2 - a1) > kEnd) {
    const bool rising = a2 > a1;
    for (double a : WalkAngles(a1, a2, step)) {
      if (std::fabs(a - a1) > kEnd && std::fabs(a - a2) > kEnd)
        AddAngle(list, a, rising);
    }
  }
  // An edge seen edge-on crosses its own azimuth anywhere: its ends stand
  // for it, as in the plain walk.
  if (std::fabs(a2 - a1) <= kEnd) {
    list.front().m_Coord = CKelCoord3DEx(PlanOf(c1).m_x, PlanOf(c1).m_y, 0, 0);
    list.back().m_Coord = CKelCoord3DEx(PlanOf(c2).m_x, PlanOf(c2).m_y, 0, 0);
    return list;
  }
  for (CSphereAWork& w : list)
    w.m_Coord = OnSegment(*this, side, PlanOf(c1), PlanOf(c2), w.m_AD);
  return list;
}

// --- Side faces ------------------------------------------------------------------------------

int CSphereA::CalcSide(const CKelBlockCoord& p1, const CKelBlockCoord& p2, int side, int which, bool expand0,
                       CSphereCoordD2DArray& out) const
{
  out.clear();
  if (expand0 && (which == 0 || which == 1))
    return CalcSideExpand0(p1, p2, side, which, out);
  Edge e;
  if (!MeasureEdge(*this, p1, p2, side, e))
    return 0;
  std::vector<CKelCoord3DEx> pts = InsertAnglePoint(side, e.c1, e.c2, e.a1, e.a2, m_AngleStep);
  for (CKelCoord3DEx& p : pts)
    Interpolate(p, e.q1, e.len, p1, p2);
  InsertZeroCrossings(pts, Itself, false);
  InsertZeroCrossings(pts, Itself, true);
  std::vector<bool> sag = InsertSagPoints(pts, Itself, [side](double x, double y) { return BearingOf(side, x, y); });
  for (CKelCoord3DEx& p : pts) {
    Expand(p, which);
    if (p.m_z < kHeight)
      p.m_z = 0;
    if (p.m_zL < kHeight)
      p.m_zL = 0;
  }
  if (which == 0 && std::fabs(e.c1.m_AD - e.c2.m_AD) > KelTol::SkyDisc &&
      std::any_of(pts.begin(), pts.end(), [](const CKelCoord3DEx& p) { return p.m_z <= p.m_zL - kHeight; }))
    return -1;
  // Each point's lower and upper images, its bearing worked out once for
  // both.
  std::vector<CSphereCoordD2D> lower, upper;
  lower.reserve(pts.size());
  upper.reserve(pts.size());
  for (const CKelCoord3DEx& p : pts) {
    const Bearing bearing = BearingOf(side, p.m_x, p.m_y);
    lower.push_back(Project(bearing, p.m_x, p.m_y, p.m_zL));
    upper.push_back(Project(bearing, p.m_x, p.m_y, p.m_z));
  }
  const auto lowerSame = [&lower](std::size_t i, std::size_t j) {
    const CSphereCoordD2D &a = lower[i], &b = lower[j];
    return std::fabs(a.m_AD - b.m_AD) <= KelTol::SkyDisc && std::fabs(a.m_AE - b.m_AE) <= KelTol::SkyDisc;
  };
  const auto drop = [&](std::size_t k) {
    lower.erase(lower.begin() + static_cast<std::ptrdiff_t>(k));
    upper.erase(upper.begin() + static_cast<std::ptrdiff_t>(k));
    sag.erase(sag.begin() + static_cast<std::ptrdiff_t>(k));
  };
  if (lower.size() >= 3 && lowerSame(0, 1))
    drop(1);
  if (lower.size() >= 3 && lowerSame(lower.size() - 2, lower.size() - 1))
    drop(lower.size() - 2);
  const std::size_t n = lower.size();
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t at = pass == 0 ? k : n - 1 - k;
      CSphereCoordD2D c = pass == 0 ? lower[at] : upper[at];
      const bool end = k == 0 || k + 1 == n;
      c.m_PntKind = end || (which >= 2 && !sag[at]) ? CSphereCoordD2D::kEnd : CSphereCoordD2D::kInserted;
      out.push_back(c);
    }
  }
  return out.size() > 1 ? 1 : 0;
}

int CSphereA::CalcSideExpand0(const CKelBlockCoord& p1, const CKelBlockCoord& p2, int side, int which,
                              CSphereCoordD2DArray& out) const
{
  out.clear();
  Edge e;
  if (!MeasureEdge(*this, p1, p2, side, e))
    return 0;
  std::vector<CSphereAWork> list = InsertAnglePointExpand0(side, e.c1, e.c2, e.a1, e.a2, which, m_AngleStep);
  for (CSphereAWork& w : list)
    Interpolate(w.m_Coord, e.q1, e.len, p1, p2);
  InsertZeroCrossings(list, CoordOf, false);
  InsertZeroCrossings(list, CoordOf, true);
  static_cast<void>(InsertSagPoints(list, CoordOf, [side](double x, double y) { return BearingOf(side, x, y); }));
  // The expanded heights' projections, one per entry, serve their pass too.
  std::vector<CSphereCoordD2D> expanded;
  expanded.reserve(list.size());
  for (CSphereAWork& w : list) {
    if (w.m_Coord.m_z <= -kHeight)
      w.m_Coord.m_z = 0;
    if (w.m_Coord.m_zL <= -kHeight)
      w.m_Coord.m_zL = 0;
    Expand(w.m_Coord, which);
    const CKelCoord3DEx& p = w.m_Coord;
    expanded.push_back(Project(side, p.m_x, p.m_y, which == 0 ? p.m_z : p.m_zL));
    w.m_AD = expanded.back().m_AD;
    w.m_AE = expanded.back().m_AE;
  }
  for (int pass = 0; pass < 2; ++pass) {
    // Angle-line entries stand on the expanded pass only.
    const bool skipLines = (pass == 0) == (which == 0);
    // The lower pass (0) projects the lower heights, as the expansion did
    // unless it worked on the upper ones (which 0).
    const bool expandedPass = (pass == 1) == (which == 0);
    std::vector<std::size_t> kept;
    for (std::size_t k = 0; k < list.size(); ++k) {
      const std::size_t at = pass == 0 ? k : list.size() - 1 - k;
      if (!(skipLines && list[at].m_Kind == CSphereAWork::kAngleLine))
        kept.push_back(at);
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
      const CSphereAWork& w = list[kept[k]];
      const CKelCoord3DEx& p = w.m_Coord;
      CSphereCoordD2D c = expandedPass ? expanded[kept[k]] : Project(side, p.m_x, p.m_y, pass == 0 ? p.m_zL : p.m_z);
      const bool end = k == 0 || k + 1 == kept.size();
      c.m_PntKind = end ? CSphereCoordD2D::kEnd : static_cast<std::uint8_t>(w.m_Kind);
      out.push_back(c);
    }
  }
  return out.size() > 1 ? 1 : 0;
}

int CSphereA::CalcSideArea(const CKelCoord3D& p1, const CKelCoord3D& p2, int side, CSphereCoordD2DArray& out) const
{
  out.clear();
  Edge e;
  if (!MeasureEdge(*this, p1, p2, side, e))
    return 0;
  std::vector<CKelCoord3DEx> pts = InsertAnglePoint(side, e.c1, e.c2, e.a1, e.a2, m_AngleStep);
  const CKelCoord3DEx h1(p1.m_x, p1.m_y, p1.m_z, 0), h2(p2.m_x, p2.m_y, p2.m_z, 0);
  for (CKelCoord3DEx& p : pts)
    Interpolate(p, e.q1, e.len, h1, h2);
  InsertZeroCrossings(pts, Itself, false);
  for (const CKelCoord3DEx& p : pts)
    out.push_back(Project(side, p.m_x, p.m_y, p.m_z < kHeight ? 0 : p.m_z));
  return out.size() > 1 ? 1 : 0;
}

int CSphereA::CalcSideExpand0Area(const CKelCoord3D& p1, const CKelCoord3D& p2, int side,
                                  CSphereCoordD2DArray& out) const
{
  out.clear();
  Edge e;
  if (!MeasureEdge(*this, p1, p2, side, e))
    return 0;
  std::vector<CSphereAWork> list = InsertAnglePointExpand0(side, e.c1, e.c2, e.a1, e.a2, 0, m_AngleStep);
  const CKelCoord3DEx h1(p1.m_x, p1.m_y, p1.m_z, 0), h2(p2.m_x, p2.m_y, p2.m_z, 0);
  for (CSphereAWork& w : list)
    Interpolate(w.m_Coord, e.q1, e.len, h1, h2);
  InsertZeroCrossings(list, CoordOf, false);
  for (std::size_t k = 0; k < list.size(); ++k) {
    const CKelCoord3DEx& p = list[k].m_Coord;
    CSphereCoordD2D c = Project(side, p.m_x, p.m_y, p.m_z <= -kHeight ? 0 : p.m_z);
    const bool end = k == 0 || k + 1 == list.size();
    c.m_PntKind = end ? CSphereCoordD2D::kEnd : static_cast<std::uint8_t>(list[k].m_Kind);
    out.push_back(c);
  }
  return out.size() > 1 ? 1 : 0;
}

// --- Blocks and faces ------------------------------------------------------------------------

namespace {

// Far above the round-off of the sine between two corners' bearings (a face
// the division cut along a sector line), far below the disc's identity band.
constexpr double kEdgeOnRoundOff = 1e-12;

// The far end of a side face seen edge-on within the disc's identity band,
// turned about the check point onto the near end's azimuth: the face is
// then exactly edge-on, as a face on a sector line is. Left within the band
// its two sides would be one line to the union in some points and two in
// others, and the block's outline could not be traced (a check point on the
// line of a wall broken by a recess). A face edge-on within round-off is
// taken as it is.
CKelBlockCoord EdgeOnEnd(const CKelBlockCoord& p1, const CKelBlockCoord& p2)
{
  const double r1 = std::hypot(p1.m_x, p1.m_y), r2 = std::hypot(p2.m_x, p2.m_y);
  const double sine = std::fabs(p1.m_x * p2.m_y - p1.m_y * p2.m_x) / (r1 * r2);
  const double dot = p1.m_x * p2.m_x + p1.m_y * p2.m_y;
  if (!(dot > 0) || !(r1 > kNearAxis) || !(r2 > kNearAxis) || !(sine > kEdgeOnRoundOff) ||
      sine > KelTol::SkyDisc)
    return p2;
  CKelBlockCoord end = p2;
  end.m_x = p1.m_x * (r2 / r1);
  end.m_y = p1.m_y * (r2 / r1);
  return end;
}

}  // namespace

bool CSphereA::AppendBlockFaces(CKelBlockCoordArray local, int which, bool expand0,
                                std::vector<CSphereCoordD2DArray>& out) const
{
  // The branch of the azimuths: the upper side where a corner stands off
  // the local x axis above it; a piece all within that length of the axis
  // (a millimetre from the check point, behind it) takes the side it
  // reaches farther into, as the division left it. Taken as the lower
  // side, such a piece took the other branch than its group's other pieces
  // and the group's two-sided regions spanned the whole turn.
  bool upper = false, lower = false;
  double above = 0, below = 0;
  for (CKelBlockCoord& v : local) {
    const CKelCoord2D p = ToLocal(CKelCoord2D(v.m_x, v.m_y));
    v.m_x = p.m_x;
    v.m_y = p.m_y;
    upper = upper || v.m_y >= kNearAxis;
    lower = lower || v.m_y <= -kNearAxis;
    above = std::max(above, v.m_y);
    below = std::max(below, -v.m_y);
  }
  const int side = upper || (!lower && above > below) ? 1 : -1;
  const std::size_t n = local.size();
  for (std::size_t k = 0; k < n; ++k) {
    CSphereCoordD2DArray outline;
    const CKelBlockCoord& from = local[k == 0 ? n - 1 : k - 1];
    const int r = CalcSide(from, EdgeOnEnd(from, local[k]), side, which, expand0, outline);
    if (r < 0)
      return false;
    if (r == 1)
      out.push_back(std::move(outline));
  }
  return true;
}

std::vector<std::vector<CSphereCoordD2DArray>> CSphereA::GetSpherePieces(const CKelBlockCube& block, int which,
                                                                       bool expand0) const
{
  std::vector<std::vector<CSphereCoordD2DArray>> out;
  if (!m_bChkPnt || m_AngleStep < 1)
    return out;
  const auto lower = [this](CKelBlockCoordArray& coord) {
    for (CKelBlockCoord& v : coord) {
      v.m_z -= m_ChkPnt.m_z;
      v.m_zL -= m_ChkPnt.m_z;
    }
  };
  // A level top is one piece: its outline alone is projected, so the block
  // is not copied and no planes are fitted (only the cut uses them).
  if (!block.IsTopSlope()) {
    CKelBlockCoordArray local = block.m_Coord;
    lower(local);
    out.emplace_back();
    if (!AppendBlockFaces(std::move(local), which, expand0, out.back()))
      return {};
    return out;
  }
  CKelBlockCube lowered = block;
  lower(lowered.m_Coord);
  lowered.GetPlaneEquation(false);
  lowered.GetPlaneEquation(true);
  CKelBlockCubeList pieces;
  lowered.CutTopSlope(nullptr, 0, pieces, false, true);
  // A concave sloped top may leave several pieces above the cut: all count.
  for (const CKelBlockCube& piece : pieces) {
    out.emplace_back();
    if (!AppendBlockFaces(piece.m_Coord, which, expand0, out.back()))
      return {};
  }
  return out;
}

std::vector<CSphereCoordD2DArray> CSphereA::GetSphereBlock(const CKelBlockCube& block, int which, bool expand0) const
{
  std::vector<CSphereCoordD2DArray> out;
  for (const std::vector<CSphereCoordD2DArray>& piece : GetSpherePieces(block, which, expand0))
    out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

CSphereCoordD2DArray CSphereA::GetSphereArea(const CKelAreaCoord3D& face, int /*which*/, bool /*expand0*/) const
{
  CSphereCoordD2DArray out;
  if (!m_bChkPnt || m_AngleStep < 1 || face.m_pt.empty())
    return out;
  CKelAreaCoord3D local = face;
  for (CKelCoord3D& v : local.m_pt)
    v.m_z -= m_ChkPnt.m_z;
  local.GetPlaneEquation();
  bool upper = false, lower = false;
  for (CKelCoord3D& v : local.m_pt) {
    const CKelCoord2D p = ToLocal(CKelCoord2D(v.m_x, v.m_y));
    v.m_x = p.m_x;
    v.m_y = p.m_y;
    upper = upper || v.m_y >= kNearAxis;
    lower = lower || v.m_y <= -kNearAxis;
  }
  // A face on both sides of the local x axis has no one branch of azimuths.
  if (upper == lower)
    return out;
  const int side = upper ? 1 : -1;
  const std::size_t n = local.m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    CSphereCoordD2DArray line;
    if (CalcSideArea(local.m_pt[k == 0 ? n - 1 : k - 1], local.m_pt[k], side, line) == 1)
      out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

std::vector<CSphereCoordD2DArray> CSphereA::GetSphereBlockArea(const CKelAreaCoord3D& face) const
{
  CSphereCoordD2DArray out;
  if (m_bChkPnt && m_AngleStep >= 1) {
    CKelAreaCoord3D local = face;
    bool upper = false, lower = false;
    for (CKelCoord3D& v : local.m_pt) {
      v.m_z -= m_ChkPnt.m_z;
      const CKelCoord2D p = ToLocal(CKelCoord2D(v.m_x, v.m_y));
      v.m_x = p.m_x;
      v.m_y = p.m_y;
      upper = upper || v.m_y >= kNearAxis;
      lower = lower || v.m_y <= -kNearAxis;
    }
    const std::size_t n = local.m_pt.size();
    for (std::size_t k = 0; upper != lower && k < n; ++k) {
      CSphereCoordD2DArray line;
      if (CalcSideExpand0Area(local.m_pt[k == 0 ? n - 1 : k - 1], local.m_pt[k], upper ? 1 : -1, line) == 1)
        out.insert(out.end(), line.begin(), line.end());
    }
  }
  return {out};
}

// --- Registration ----------------------------------------------------------------------------

bool CSphereA::BlockCoversCheckPoint(const CKelBlockCube& block) const
{
  if (!(block.ZMax() - m_ChkPnt.m_z > kHeight))
    return false;
  CKelBlockCube plan = block;
  plan.SetMinMax();
  return plan.InArea(CKelCoord2D(m_ChkPnt.m_x, m_ChkPnt.m_y)) != 0;
}

int CSphereA::RegistSphereRatio2(int which, bool expand0, const CKelCoord3D* /*chk*/, const CKelBlockCubeArray& blocks,
                                 CSphereBlkDataArrayNew& store) const
{
  if (!m_bChkPnt)
    return 0;
  if (m_AngleStep < 1 || !Finite(m_ChkPnt))
    return 1;
  for (const CKelBlockCube& block : blocks) {
    const bool finite = std::all_of(block.m_Coord.begin(), block.m_Coord.end(), [](const CKelBlockCoord& v) {
      return Finite(v) && std::isfinite(v.m_zL);
    });
    // A check point under a block has no sky factor: the faces' edges
    // would pass through it.
    if (!finite || BlockCoversCheckPoint(block))
      return 1;
    // Each piece is traced on its own: one trace finds one outer outline.
    for (const std::vector<CSphereCoordD2DArray>& piece : GetSpherePieces(block, which, expand0)) {
      const int r = RegistSphereRatioCommon(piece, store, m_bChordUnion && which >= 2);
      if (r != 0)
        return r;
    }
  }
  return 0;
}

int CSphereA::RegistSphereRatioFace(int which, bool expand0, const CKelCoord3D* /*chk*/, const CKelAreaCoord3D& face,
                                    CSphereBlkDataArrayNew& store) const
{
  const CSphereCoordD2DArray outline = GetSphereArea(face, which, expand0);
  if (outline.empty())
    return 1;
  return RegistSphereRatioCommon({outline}, store);
}

int CSphereA::RegistSphereRatioCommon(const std::vector<CSphereCoordD2DArray>& outlines, CSphereBlkDataArrayNew& store,
                                      bool chords)
{
  if (outlines.empty())
    return 0;
  CSphereBlkDataArrayNew work;
  work.m_PolyArea.reserve(outlines.size());
  bool hasArea = false;
  for (const CSphereCoordD2DArray& outline : outlines) {
    CSpherePolyArea area = work.NewPolyArea();
    double sum = 0;
    const std::size_t n = outline.size();
    area.m_Idx.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      const CSphereCoordD2D& prev = outline[i == 0 ? n - 1 : i - 1];
      area.AddIdx(work.m_PolyCoord.Add(prev));
      sum += (prev.m_AE + outline[i].m_AE) * (prev.m_AD - outline[i].m_AD);
    }
    hasArea = hasArea || std::fabs(sum) > KelTol::SkyOutlineArea;
    area.CalcCrossPoint(nullptr);
    work.m_PolyArea.push_back(std::move(area));
  }
  if (!hasArea)
    return 0;
  if (chords)
    work.InsertChordPoints();
  const int r = work.CalcCrossPoint(nullptr);
  if (r != 0)
    return r;
  std::vector<std::pair<int, int>> edges;
  for (const CSpherePolyArea& area : work.m_PolyArea) {
    for (int k = 0; k < area.Size(); ++k) {
      const int a = area.IdxAt(k);
      const int b = area.IdxAt((k + 1) % area.Size());
      if (a != b)
        edges.emplace_back(a, b);
    }
  }
  CSpherePolyLineArray lines;
  lines.AddLines(work.m_PolyCoord, edges);
  const int traced = lines.Create2();
  if (traced == 0 && std::fabs(lines.GetArea()) > KelTol::SkyOutlineArea)
    store.AddPolyLine(lines);
  return traced;
}
