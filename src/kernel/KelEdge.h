#pragma once
// A point seen from a straight edge, and the edge rule of straight polygons,
// shared by point location, the on-outline tests of polygons and of outlines
// with arcs.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelCoord.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace KelEdge {

// p in the frame of the edge s -> e: t along the edge from s, h across it
// (positive on its left), len the edge's length.
struct Frame {
  double t = 0;
  double h = 0;
  double len = 0;
};

// A zero-length edge gets the direction (1, 0) and length 0, so it measures
// as its single point instead of spreading NaN.
// An edge's direction and length as CalcCosSin gives them, worked out once
// for an edge that is measured against many points.
struct Direction {
  double c = 1;
  double sn = 0;
  double len = 0;

  Direction() = default;
  Direction(const CKelCoord2D& s, const CKelCoord2D& e) { CalcCosSin(s, e, &c, &sn, &len); }
};

inline Frame Measure(const CKelCoord2D& s, const Direction& d, const CKelCoord2D& p)
{
  const double dx = p.m_x - s.m_x;
  const double dy = p.m_y - s.m_y;
  return Frame{dx * d.c + dy * d.sn, d.c * dy - d.sn * dx, d.len};
}

inline Frame Measure(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  return Measure(s, Direction(s, e), p);
}

// Along the edge at least t from both ends and less than t off its line:
// the test by which outline merges insert a point into an edge.
inline bool WellInside(const Frame& f, double t)
{
  return t <= f.t && f.t <= f.len - t && -t < f.h && f.h < t;
}

// hypot(a, b) <= tol without the square root where either leg alone
// exceeds tol: a faithfully rounded hypot is never below its longer leg, so
// the answer is the same.
inline bool WithinHypot(double a, double b, double tol)
{
  return std::fabs(a) <= tol && std::fabs(b) <= tol && std::hypot(a, b) <= tol;
}

// On the edge: along it from -OnEdge to its length + OnEdge, and within
// OnEdge of its line.
inline bool IsOn(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  const Frame f = Measure(s, e, p);
  const double tol = KelTol::OnEdge;
  const bool afterStart = f.t > 0 || std::fabs(f.t) <= tol;
  const bool beyondEnd = f.t > f.len && std::fabs(f.t - f.len) > tol;
  return afterStart && std::fabs(f.h) <= tol && !beyondEnd;
}

// --- Point location in a straight-edged outline ----------------------------
// The outline is any vertex list whose elements start with m_x and m_y; the
// closing edge runs from the last vertex to the first.

// The three bands of a location: the box test rejects points farther than box
// beyond the given extents; a point within edge of the outline is on it; ray
// is the band of the level and side tests of the crossing count. A vertex at
// p's level lies left of p when it is at least ray left of it, or, with
// strictLeft, more than ray left of it.
struct LocateTol {
  double box = 0;
  double edge = 0;
  double ray = 0;
  bool strictLeft = false;
};

struct Extents {
  double xmin = 0;
  double xmax = 0;
  double ymin = 0;
  double ymax = 0;
};

// Steps back from vertex start over the vertices level with it (within tol)
// to the first that is not, and tells whether the outline arrives from the
// side opposite to the one dir leaves to. At most n - 1 steps: the edge's own
// end differs from the level (dir != 0).
template <class V>
bool PassesThroughLevel(const std::vector<V>& pts, std::size_t start, int dir, double tol)
{
  const std::size_t n = pts.size();
  const double level = pts[start].m_y;
  std::size_t k = start;
  for (std::size_t steps = 0; steps + 1 < n; ++steps) {
    k = k == 0 ? n - 1 : k - 1;
    const double dy = level - pts[k].m_y;
    if (std::fabs(dy) >= tol)
      return SignOf(dy, tol) == dir;
  }
  return false;
}

// 1 when the edge s -> e (s is vertex prev) crosses the ray from p towards
// -x. h is p's offset from the edge's line, positive on its left. An edge
// that ends at p's level does not count: the next edge, which starts there,
// decides for the vertex.
template <class V>
int CountEdgeCrossing(const std::vector<V>& pts, std::size_t prev, const CKelCoord2D& s, const CKelCoord2D& e,
                      const CKelCoord2D& p, double h, const LocateTol& band)
{
  const double tol = band.ray;
  int dir = 0;
  const int level = XCross3(s, e, p, dir, tol);
  if (level == 1) {
    // The edge spans p's level: it lies left of p when p is on its right
    // going up, or on its left going down.
    const int side = SignOf(h, tol);
    return side != 0 && side != dir ? 1 : 0;
  }
  // The edge starts at p's level: it counts once for the vertex when the
  // outline passes through the level there (rather than only touching it),
  // and the vertex lies left of p.
  const bool left = band.strictLeft ? s.m_x - p.m_x < -tol : s.m_x <= p.m_x - tol;
  if (level == -1 && PassesThroughLevel(pts, prev, dir, tol) && left)
    return 1;
  return 0;
}

// An edge whose y range misses p's level by more than this is neither
// within tol.edge of p nor level with it within tol.ray, whatever the
// round-off of its frame: it takes no part in Locate and is not measured.
inline double FarFromLevel(const LocateTol& tol) { return 2 * std::fmax(tol.edge, tol.ray) + KelTol::LocateFarEdge; }

// Locate's step for edge i (from vertex i - 1 to vertex i): true when p is
// on it, else its share of the crossing count added to count. An edge far
// from p's level takes no part. direction, when given, is the edge's own.
template <class V>
bool MeetsEdge(const std::vector<V>& pts, std::size_t i, const CKelCoord2D& p, const LocateTol& tol,
               const Direction* direction, int* count)
{
  const std::size_t n = pts.size();
  const std::size_t prev = i == 0 ? n - 1 : i - 1;
  const CKelCoord2D s(pts[prev].m_x, pts[prev].m_y);
  const CKelCoord2D e(pts[i].m_x, pts[i].m_y);
  const double far = FarFromLevel(tol);
  if (std::fmin(s.m_y, e.m_y) - p.m_y > far || p.m_y - std::fmax(s.m_y, e.m_y) > far)
    return false;
  const Frame f = direction != nullptr ? Measure(s, *direction, p) : Measure(s, e, p);
  bool on = std::fabs(f.h) <= tol.edge;
  if (f.t < 0)
    on = WithinHypot(f.t, f.h, tol.edge);
  else if (f.t >= f.len)
    on = WithinHypot(f.t - f.len, f.h, tol.edge);
  if (on)
    return true;
  *count += CountEdgeCrossing(pts, prev, s, e, p, f.h, tol);
  return false;
}

// Whether p lies beyond the extents grown by tol.box.
inline bool OutsideBox(const Extents& box, const CKelCoord2D& p, const LocateTol& tol)
{
  return p.m_y < box.ymin - tol.box || p.m_y > box.ymax + tol.box || p.m_x < box.xmin - tol.box ||
         p.m_x > box.xmax + tol.box;
}

// Locate over the edges named by `edges` (each the index of an edge's end
// vertex; the edge starts at the vertex before it). Any set that holds
// every edge whose y range comes within FarFromLevel(tol) of p's level gives
// Locate's answer: the answer does not depend on the order of the edges.
template <class V, class Edges>
int LocateAmong(const std::vector<V>& pts, const Extents& box, const CKelCoord2D& p, const LocateTol& tol,
                const Edges& edges)
{
  if (pts.size() < 3 || OutsideBox(box, p, tol))
    return 0;
  int count = 0;
  for (const std::size_t i : edges) {
    if (MeetsEdge(pts, i, p, tol, nullptr, &count))
      return -1;
  }
  return count % 2;
}

// The edges 0 ... n - 1 in turn.
struct AllEdges {
  std::size_t n = 0;
  struct Iterator {
    std::size_t i;
    std::size_t operator*() const { return i; }
    Iterator& operator++()
    {
      ++i;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return i != o.i; }
  };
  Iterator begin() const { return {0}; }
  Iterator end() const { return {n}; }
};

// 1 inside, 0 outside, -1 within tol.edge of the outline; 0 for fewer than 3
// vertices and beyond the extents grown by tol.box. Per edge the distance
// comes first (on the outline wins at once), then the edge's share in the
// crossing count of the ray from p towards -x.
template <class V>
int Locate(const std::vector<V>& pts, const Extents& box, const CKelCoord2D& p, const LocateTol& tol)
{
  return LocateAmong(pts, box, p, tol, AllEdges{pts.size()});
}

// The edges of an outline filed by the bands of y they come near, so that
// repeated Locate calls with one tolerance visit only the edges near each
// point's level instead of every edge: LocateNear gives Locate's answer.
//
// Bands hold about four vertex levels each, so a run of shallow edges (an
// arc) spreads over many bands. Within a band, level edges (their ends
// within tol.ray of one level) never count a crossing, so they are kept
// apart by their start in x and only those that reach p's x within
// FarFromLevel are measured; every edge that starts farther than that right
// of p is neither near p nor left of it, so it counts nothing either.
class LevelIndex {
public:
  template <class V>
  LevelIndex(const std::vector<V>& pts, const LocateTol& tol);

  // Whether the index answers for points at level y (built, y a number).
  bool Covers(double y) const { return !m_Bands.empty() && std::isfinite(y); }
  // Locate's answer for a point whose level the index covers.
  template <class V>
  int Locate(const std::vector<V>& pts, const Extents& box, const CKelCoord2D& p, const LocateTol& tol) const;

private:
  struct LevelEdge {
    double xmin;
    double xmax;
    std::size_t i;
  };
  struct Band {
    std::vector<std::size_t> sloped;
    std::vector<LevelEdge> level;  // by xmin
    double levelReach = 0;         // the longest level edge's x extent
  };

  template <class V>
  static CKelCoord2D At(const std::vector<V>& pts, std::size_t i)
  {
    return CKelCoord2D(pts[i].m_x, pts[i].m_y);
  }
  std::size_t BandOf(double y) const;
  template <class V>
  void File(const std::vector<V>& pts, double ray, double far);

  std::vector<double> m_Bounds;  // the lowest level of each band, rising
  std::vector<Band> m_Bands;
  std::vector<Direction> m_Directions;  // by the edge's end vertex
};

template <class V>
LevelIndex::LevelIndex(const std::vector<V>& pts, const LocateTol& tol)
{
  const std::size_t n = pts.size();
  if (n < 3)
    return;
  std::vector<double> levels;
  for (const V& v : pts) {
    // Not a number or infinite: the caller asks Locate itself.
    if (!std::isfinite(v.m_x) || !std::isfinite(v.m_y))
      return;
    levels.push_back(v.m_y);
  }
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  const std::size_t stride = std::max<std::size_t>(1, levels.size() / std::max<std::size_t>(1, n / 4));
  for (std::size_t k = 0; k < levels.size(); k += stride)
    m_Bounds.push_back(levels[k]);
  m_Bands.resize(m_Bounds.size());
  m_Directions.reserve(n);
  for (std::size_t i = 0, prev = n - 1; i < n; prev = i++)
    m_Directions.emplace_back(At(pts, prev), At(pts, i));
  File(pts, tol.ray, FarFromLevel(tol));
}

// Below the lowest bound counts as the lowest band. The search is monotone
// in y, so an edge filed from the band of (its lowest level - 2 far) to that
// of (its highest + 2 far) is in the band of every level within far of it
// whatever the round-off of those sums.
inline std::size_t LevelIndex::BandOf(double y) const
{
  const auto above = std::upper_bound(m_Bounds.begin(), m_Bounds.end(), y);
  return above == m_Bounds.begin() ? 0 : static_cast<std::size_t>(above - m_Bounds.begin()) - 1;
}

template <class V>
void LevelIndex::File(const std::vector<V>& pts, double ray, double far)
{
  const std::size_t n = pts.size();
  for (std::size_t i = 0, prev = n - 1; i < n; prev = i++) {
    const CKelCoord2D s = At(pts, prev), e = At(pts, i);
    const std::size_t lo = BandOf(std::fmin(s.m_y, e.m_y) - 2 * far);
    const std::size_t hi = BandOf(std::fmax(s.m_y, e.m_y) + 2 * far);
    // XCross3's direction: zero for an edge level within ray.
    const bool level = SignOf(e.m_y - s.m_y, ray) == 0;
    for (std::size_t b = lo; b <= hi; ++b) {
      if (!level) {
        m_Bands[b].sloped.push_back(i);
        continue;
      }
      m_Bands[b].level.push_back(LevelEdge{std::fmin(s.m_x, e.m_x), std::fmax(s.m_x, e.m_x), i});
      m_Bands[b].levelReach = std::fmax(m_Bands[b].levelReach, std::fabs(e.m_x - s.m_x));
    }
  }
  for (Band& band : m_Bands) {
    std::sort(band.level.begin(), band.level.end(),
              [](const LevelEdge& x, const LevelEdge& y) { return x.xmin < y.xmin || (x.xmin == y.xmin && x.i < y.i); });
  }
}

template <class V>
int LevelIndex::Locate(const std::vector<V>& pts, const Extents& box, const CKelCoord2D& p,
                       const LocateTol& tol) const
{
  if (OutsideBox(box, p, tol))
    return 0;
  const Band& band = m_Bands[BandOf(p.m_y)];
  const double far = FarFromLevel(tol);
  int count = 0;
  const double from = p.m_x - far - band.levelReach;
  auto it = std::partition_point(band.level.begin(), band.level.end(),
                                 [from](const LevelEdge& x) { return x.xmin < from; });
  for (; it != band.level.end() && it->xmin - p.m_x <= far; ++it) {
    if (p.m_x - it->xmax <= far && MeetsEdge(pts, it->i, p, tol, &m_Directions[it->i], &count))
      return -1;
  }
  for (const std::size_t i : band.sloped) {
    const std::size_t prev = i == 0 ? pts.size() - 1 : i - 1;
    if (std::fmin(pts[prev].m_x, pts[i].m_x) - p.m_x > far)
      continue;
    if (MeetsEdge(pts, i, p, tol, &m_Directions[i], &count))
      return -1;
  }
  return count % 2;
}

// Locate through an index built over the same points with the same tolerance.
template <class V>
int LocateNear(const std::vector<V>& pts, const LevelIndex& index, const Extents& box, const CKelCoord2D& p,
               const LocateTol& tol)
{
  if (pts.size() >= 3 && index.Covers(p.m_y))
    return index.Locate(pts, box, p, tol);
  return Locate(pts, box, p, tol);
}

}  // namespace KelEdge
