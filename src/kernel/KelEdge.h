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
inline Frame Measure(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  double c = 1, sn = 0, len = 0;
  CalcCosSin(s, e, &c, &sn, &len);
  const double dx = p.m_x - s.m_x;
  const double dy = p.m_y - s.m_y;
  return Frame{dx * c + dy * sn, c * dy - sn * dx, len};
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

// Locate over the edges named by `edges` (each the index of an edge's end
// vertex; the edge starts at the vertex before it). Any set that holds
// every edge whose y range comes within FarFromLevel(tol) of p's level gives
// Locate's answer: the answer does not depend on the order of the edges.
template <class V, class Edges>
int LocateAmong(const std::vector<V>& pts, const Extents& box, const CKelCoord2D& p, const LocateTol& tol,
                const Edges& edges)
{
  const std::size_t n = pts.size();
  if (n < 3)
    return 0;
  if (p.m_y < box.ymin - tol.box || p.m_y > box.ymax + tol.box || p.m_x < box.xmin - tol.box ||
      p.m_x > box.xmax + tol.box)
    return 0;
  const double far = FarFromLevel(tol);
  int count = 0;
  for (const std::size_t i : edges) {
    const std::size_t prev = i == 0 ? n - 1 : i - 1;
    const CKelCoord2D s(pts[prev].m_x, pts[prev].m_y);
    const CKelCoord2D e(pts[i].m_x, pts[i].m_y);
    if (std::fmin(s.m_y, e.m_y) - p.m_y > far || p.m_y - std::fmax(s.m_y, e.m_y) > far)
      continue;
    const Frame f = Measure(s, e, p);
    double dist = std::fabs(f.h);
    if (f.t < 0)
      dist = std::hypot(f.t, f.h);
    else if (f.t >= f.len)
      dist = std::hypot(f.t - f.len, f.h);
    if (dist <= tol.edge)
      return -1;
    count += CountEdgeCrossing(pts, prev, s, e, p, f.h, tol);
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
class LevelIndex {
public:
  template <class V>
  LevelIndex(const std::vector<V>& pts, const LocateTol& tol)
  {
    const std::size_t n = pts.size();
    if (n < 3)
      return;
    m_Low = m_High = pts[0].m_y;
    for (const V& v : pts) {
      m_Low = std::fmin(m_Low, v.m_y);
      m_High = std::fmax(m_High, v.m_y);
    }
    const double far = FarFromLevel(tol);
    const std::size_t bands = std::max<std::size_t>(1, n / 4);
    m_Step = (m_High - m_Low + 2 * far) / static_cast<double>(bands);
    if (!(m_Step > 0) || !std::isfinite(m_Step)) {
      m_Bands.assign(1, {});
      for (std::size_t i = 0; i < n; ++i)
        m_Bands[0].push_back(i);
      return;
    }
    m_Low -= far;
    m_Bands.resize(bands);
    for (std::size_t i = 0, prev = n - 1; i < n; prev = i++) {
      // One band more on either side absorbs the round-off of the division.
      const std::size_t lo = BandOf(std::fmin(pts[prev].m_y, pts[i].m_y) - far, -1);
      const std::size_t hi = BandOf(std::fmax(pts[prev].m_y, pts[i].m_y) + far, 1);
      for (std::size_t b = lo; b <= hi; ++b)
        m_Bands[b].push_back(i);
    }
  }
  // The edges filed for y's band, every edge within FarFromLevel of y; null
  // for a level off the bands (or not a number), where the caller asks
  // Locate itself, which settles such points by the extents at once.
  const std::vector<std::size_t>* Near(double y) const
  {
    if (m_Bands.empty())
      return nullptr;
    if (m_Bands.size() == 1)
      return &m_Bands[0];
    const double top = m_Low + m_Step * static_cast<double>(m_Bands.size());
    if (!(y >= m_Low - m_Step && y <= top + m_Step))
      return nullptr;
    return &m_Bands[BandOf(y, 0)];
  }

private:
  std::size_t BandOf(double y, int grow) const
  {
    const double at = std::floor((y - m_Low) / m_Step) + grow;
    const double last = static_cast<double>(m_Bands.size() - 1);
    return static_cast<std::size_t>(std::fmin(std::fmax(at, 0.0), last));
  }

  double m_Low = 0;
  double m_High = 0;
  double m_Step = 0;
  std::vector<std::vector<std::size_t>> m_Bands;
};

// Locate through an index built over the same points with the same tolerance.
template <class V>
int LocateNear(const std::vector<V>& pts, const LevelIndex& index, const Extents& box, const CKelCoord2D& p,
               const LocateTol& tol)
{
  if (const std::vector<std::size_t>* edges = index.Near(p.m_y))
    return LocateAmong(pts, box, p, tol, *edges);
  return Locate(pts, box, p, tol);
}

}  // namespace KelEdge
