#include "host_polygon2d.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Geometry {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;

template <typename T>
UInt32 EntriesIn(T** handle)
{
  return static_cast<UInt32>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(handle)) / sizeof(T));
}

// The vertex range [first, last] of contour k (1-based), the closing
// repeat included.
struct ContourRange {
  UInt32 first = 0;
  UInt32 last = 0;
};

ContourRange RangeOf(const Polygon2DData& polygon, UInt32 k)
{
  return {(*polygon.contourEnds)[k - 1] + 1, (*polygon.contourEnds)[k]};
}

bool ContourEndsValid(const Polygon2DData& polygon)
{
  const UIndex* ends = *polygon.contourEnds;
  if (ends[0] != 0 || ends[polygon.nContours] != polygon.nVertices)
    return false;
  // Every contour holds at least one edge and ends inside the vertices; the
  // sums are taken in 64 bits so a huge end cannot wrap round and pass.
  for (UInt32 k = 1; k <= polygon.nContours; ++k)
    if (std::uint64_t{ends[k]} < std::uint64_t{ends[k - 1]} + 2 || ends[k] > polygon.nVertices)
      return false;
  return true;
}

bool SameContour(const Polygon2DData& polygon, UInt32 a, UInt32 b)
{
  for (UInt32 k = 1; k <= polygon.nContours; ++k) {
    const ContourRange range = RangeOf(polygon, k);
    if (a >= range.first && a <= range.last)
      return b >= range.first && b <= range.last;
  }
  return false;
}

bool ArcsValid(const Polygon2DData& polygon)
{
  for (UInt32 i = 1; i <= polygon.nArcs; ++i) {
    const PolyArcRec& arc = (*polygon.arcs)[i];
    const bool inRange = arc.begIndex >= 1 && arc.endIndex >= 1 &&
                         static_cast<UInt32>(arc.begIndex) <= polygon.nVertices &&
                         static_cast<UInt32>(arc.endIndex) <= polygon.nVertices;
    if (!inRange || std::abs(arc.begIndex - arc.endIndex) != 1 || !std::isfinite(arc.arcAngle))
      return false;
    if (!SameContour(polygon, static_cast<UInt32>(arc.begIndex), static_cast<UInt32>(arc.endIndex)))
      return false;
  }
  return true;
}

// Counts that agree with the handles, ordered contour ends, and arcs that
// join adjacent vertices of one contour. Every reader checks this first.
bool IsWellFormed(const Polygon2DData& polygon)
{
  if (polygon.nContours == 0 || polygon.vertices == nullptr || polygon.contourEnds == nullptr)
    return false;
  if (EntriesIn(polygon.vertices) < std::uint64_t{polygon.nVertices} + 1 ||
      EntriesIn(polygon.contourEnds) < std::uint64_t{polygon.nContours} + 1)
    return false;
  if (polygon.nArcs > 0 && (polygon.arcs == nullptr || EntriesIn(polygon.arcs) < std::uint64_t{polygon.nArcs} + 1))
    return false;
  return ContourEndsValid(polygon) && ArcsValid(polygon);
}

// The signed angle of the edge from vertex i to vertex i + 1, when it is
// an arc. A record stored the other way round describes the same arc
// walked backwards.
std::optional<double> EdgeArcAngle(const Polygon2DData& polygon, UInt32 i)
{
  for (UInt32 a = 1; a <= polygon.nArcs; ++a) {
    const PolyArcRec& arc = (*polygon.arcs)[a];
    if (static_cast<UInt32>(arc.begIndex) == i && static_cast<UInt32>(arc.endIndex) == i + 1)
      return arc.arcAngle;
    if (static_cast<UInt32>(arc.begIndex) == i + 1 && static_cast<UInt32>(arc.endIndex) == i)
      return -arc.arcAngle;
  }
  return std::nullopt;
}

// Area between the chord and an arc of signed angle a over a chord of
// squared length c2: r^2 / 2 (a - sin a) with r = chord / (2 |sin(a / 2)|).
// Positive when the arc bulges to the right of its walking direction, which
// enlarges a counter-clockwise contour.
double ArcSegmentArea(double c2, double a)
{
  const double s = std::sin(a / 2.0);
  if (s == 0.0)
    return 0.0;
  return c2 / (8.0 * s * s) * (a - std::sin(a));
}

double ContourSignedArea(const Polygon2DData& polygon, UInt32 k)
{
  const ContourRange range = RangeOf(polygon, k);
  const Coord* v = *polygon.vertices;
  double twiceArea = 0.0;
  double segments = 0.0;
  for (UInt32 i = range.first; i < range.last; ++i) {
    twiceArea += v[i].x * v[i + 1].y - v[i + 1].x * v[i].y;
    if (const auto angle = EdgeArcAngle(polygon, i)) {
      const double dx = v[i + 1].x - v[i].x;
      const double dy = v[i + 1].y - v[i].y;
      segments += ArcSegmentArea(dx * dx + dy * dy, *angle);
    }
  }
  return twiceArea / 2.0 + segments;
}

Coord ArcCentre(const Coord& p1, const Coord& p2, double angle)
{
  const double k = 1.0 / std::tan(angle / 2.0);
  return {(p1.x + p2.x - (p2.y - p1.y) * k) / 2.0, (p1.y + p2.y + (p2.x - p1.x) * k) / 2.0};
}

// True when the direction phi lies on the arc that starts at direction
// start and sweeps the signed angle sweep.
bool DirectionOnArc(double phi, double start, double sweep)
{
  double delta = sweep >= 0.0 ? phi - start : start - phi;
  delta = std::fmod(delta, kTwoPi);
  if (delta < 0.0)
    delta += kTwoPi;
  return delta <= std::abs(sweep);
}

void Extend(Box2DData* box, const Coord& c)
{
  box->xMin = std::min(box->xMin, c.x);
  box->yMin = std::min(box->yMin, c.y);
  box->xMax = std::max(box->xMax, c.x);
  box->yMax = std::max(box->yMax, c.y);
}

// The arc's points that lie furthest along +x, +y, -x and -y.
void ExtendByArc(Box2DData* box, const Coord& from, const Coord& to, double angle)
{
  if (std::sin(angle / 2.0) == 0.0)
    return;
  const Coord c = ArcCentre(from, to, angle);
  const double r = std::hypot(from.x - c.x, from.y - c.y);
  const double start = std::atan2(from.y - c.y, from.x - c.x);
  for (int quarter = 0; quarter < 4; ++quarter) {
    const double phi = quarter * (kPi / 2.0);
    if (DirectionOnArc(phi, start, angle))
      Extend(box, {c.x + r * std::cos(phi), c.y + r * std::sin(phi)});
  }
}

// Reverses contour k in place; each arc of it is renumbered so that it
// still joins the same two points, walked in the new direction.
void ReverseContour(Polygon2DData* polygon, UInt32 k)
{
  const ContourRange range = RangeOf(*polygon, k);
  std::reverse(*polygon->vertices + range.first, *polygon->vertices + range.last + 1);
  const auto mirror = [&](Int32 index) { return static_cast<Int32>(range.first + range.last) - index; };
  for (UInt32 a = 1; a <= polygon->nArcs; ++a) {
    PolyArcRec& arc = (*polygon->arcs)[a];
    if (static_cast<UInt32>(arc.begIndex) < range.first || static_cast<UInt32>(arc.begIndex) > range.last)
      continue;
    const Int32 beg = mirror(arc.begIndex);
    const Int32 end = mirror(arc.endIndex);
    arc = {end, beg, -arc.arcAngle};
  }
}

}  // namespace

void InitPolygon2DData(Polygon2DData* polygon) { *polygon = Polygon2DData{}; }

void FreePolygon2DData(Polygon2DData* polygon)
{
  BMKillHandle(reinterpret_cast<GSHandle*>(&polygon->vertices));
  BMKillHandle(reinterpret_cast<GSHandle*>(&polygon->arcs));
  BMKillHandle(reinterpret_cast<GSHandle*>(&polygon->contourEnds));
  InitPolygon2DData(polygon);
}

bool GetPolygon2DDataBoundBox(const Polygon2DData& polygon, Box2DData* box)
{
  if (!IsWellFormed(polygon))
    return false;
  const Coord* v = *polygon.vertices;
  Box2DData result{v[1].x, v[1].y, v[1].x, v[1].y};
  for (UInt32 i = 2; i <= polygon.nVertices; ++i)
    Extend(&result, v[i]);
  for (UInt32 a = 1; a <= polygon.nArcs; ++a) {
    const PolyArcRec& arc = (*polygon.arcs)[a];
    ExtendByArc(&result, v[arc.begIndex], v[arc.endIndex], arc.arcAngle);
  }
  *box = result;
  return true;
}

bool OrientPolygon2DData(Polygon2DData* polygon)
{
  if (!IsWellFormed(*polygon))
    return false;
  for (UInt32 k = 1; k <= polygon->nContours; ++k) {
    const double area = ContourSignedArea(*polygon, k);
    const bool outer = k == 1;
    if ((outer && area < 0.0) || (!outer && area > 0.0))
      ReverseContour(polygon, k);
  }
  return true;
}

double GetPolygon2DDataArea(const Polygon2DData& polygon, bool signedArea)
{
  if (!IsWellFormed(polygon))
    return 0.0;
  double total = 0.0;
  for (UInt32 k = 1; k <= polygon.nContours; ++k) {
    const double area = ContourSignedArea(polygon, k);
    if (signedArea)
      total += area;
    else
      total += k == 1 ? std::abs(area) : -std::abs(area);
  }
  return total;
}

bool Circle_3Pt(const Coord pc[3], Circle* circle)
{
  const Coord& a = pc[0];
  const Coord& b = pc[1];
  const Coord& c = pc[2];
  const double d = 2.0 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
  if (d == 0.0 || !std::isfinite(d))
    return false;
  const double a2 = a.x * a.x + a.y * a.y;
  const double b2 = b.x * b.x + b.y * b.y;
  const double c2 = c.x * c.x + c.y * c.y;
  const Coord o{(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
  circle->o = o;
  circle->r = std::hypot(a.x - o.x, a.y - o.y);
  return true;
}

}  // namespace Geometry
