#pragma once
// An exact judge of areas for the site tests: the area of the union of a
// set of polygons, and of the symmetric difference of two such unions.
// Polygons may be of either orientation, degenerate (no length) or
// self-crossing; a point belongs to a polygon when its winding number is not
// zero. The plane is cut into vertical slabs at every vertex and every
// crossing of two edges; inside a slab no edges cross, so the regions
// between consecutive edges are trapezoids whose membership is read off the
// winding counts. Coordinates should be local (metres from the site).
// SelfCrosses tells whether an outline is no simple polygon;
// TurnsStraightBack whether it runs out and straight back somewhere.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelCoord.h"

namespace site_test {

using Polygon = std::vector<CKelCoord2D>;
using PolygonSet = std::vector<Polygon>;

class AreaJudge {
public:
  // Area of a (in a) and of b (in b) where exactly one holds: the symmetric
  // difference of the unions; with b empty, the union of a.
  static double XorArea(const PolygonSet& a, const PolygonSet& b)
  {
    std::vector<Edge> edges;
    AddEdges(a, 0, edges);
    AddEdges(b, static_cast<int>(a.size()), edges);
    const std::vector<double> xs = SlabBounds(edges);
    std::vector<int> winding(a.size() + b.size());
    double area = 0;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k)
      area += SlabArea(edges, xs[k], xs[k + 1], a.size(), winding);
    return area;
  }
  static double UnionArea(const PolygonSet& a) { return XorArea(a, {}); }

private:
  struct Edge {
    CKelCoord2D m_P, m_Q;  // m_P.m_x <= m_Q.m_x
    int m_Owner;           // polygon index over both sets
    int m_Dir;             // +1 when the polygon runs towards +x
    double YAt(double x) const
    {
      const double t = (x - m_P.m_x) / (m_Q.m_x - m_P.m_x);
      return m_P.m_y + t * (m_Q.m_y - m_P.m_y);
    }
  };

  static void AddEdges(const PolygonSet& set, int first, std::vector<Edge>& edges)
  {
    for (std::size_t k = 0; k < set.size(); ++k) {
      const Polygon& poly = set[k];
      for (std::size_t i = 0; i < poly.size(); ++i) {
        const CKelCoord2D& p = poly[i];
        const CKelCoord2D& q = poly[(i + 1) % poly.size()];
        if (p.m_x == q.m_x)
          continue;  // vertical edges bound no slab's inside
        const bool right = p.m_x < q.m_x;
        edges.push_back({right ? p : q, right ? q : p, first + static_cast<int>(k), right ? 1 : -1});
      }
    }
  }

  static std::vector<double> SlabBounds(const std::vector<Edge>& edges)
  {
    std::vector<double> xs;
    for (const Edge& e : edges) {
      xs.push_back(e.m_P.m_x);
      xs.push_back(e.m_Q.m_x);
    }
    for (std::size_t i = 0; i < edges.size(); ++i) {
      for (std::size_t j = i + 1; j < edges.size(); ++j) {
        double x = 0;
        if (CrossX(edges[i], edges[j], &x))
          xs.push_back(x);
      }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    return xs;
  }

  // The x where two edges cross strictly inside both x ranges.
  static bool CrossX(const Edge& a, const Edge& b, double* x)
  {
    const double lo = std::max(a.m_P.m_x, b.m_P.m_x);
    const double hi = std::min(a.m_Q.m_x, b.m_Q.m_x);
    if (!(lo < hi))
      return false;
    const double dlo = a.YAt(lo) - b.YAt(lo);
    const double dhi = a.YAt(hi) - b.YAt(hi);
    if ((dlo > 0 && dhi > 0) || (dlo < 0 && dhi < 0) || dlo == dhi)
      return false;
    *x = lo + (hi - lo) * (dlo / (dlo - dhi));
    return *x > lo && *x < hi;
  }

  static double SlabArea(const std::vector<Edge>& edges, double x0, double x1, std::size_t countA,
                         std::vector<int>& winding)
  {
    if (!(x1 > x0))
      return 0;
    const double xm = (x0 + x1) / 2;
    std::vector<const Edge*> across;
    for (const Edge& e : edges) {
      if (e.m_P.m_x <= x0 && e.m_Q.m_x >= x1)
        across.push_back(&e);
    }
    std::sort(across.begin(), across.end(), [xm](const Edge* a, const Edge* b) { return a->YAt(xm) < b->YAt(xm); });
    std::fill(winding.begin(), winding.end(), 0);
    int insideA = 0, insideB = 0;  // polygons of each set with winding != 0
    double area = 0;
    for (std::size_t k = 0; k < across.size(); ++k) {
      const Edge& e = *across[k];
      int& w = winding[static_cast<std::size_t>(e.m_Owner)];
      int& count = static_cast<std::size_t>(e.m_Owner) < countA ? insideA : insideB;
      count -= w != 0 ? 1 : 0;
      w += e.m_Dir;
      count += w != 0 ? 1 : 0;
      if (k + 1 == across.size() || (insideA > 0) == (insideB > 0))
        continue;
      const Edge& f = *across[k + 1];
      area += (x1 - x0) * ((f.YAt(x0) - e.YAt(x0)) + (f.YAt(x1) - e.YAt(x1))) / 2;
    }
    return area;
  }
};

// Twice the signed area of a, b, c, about a so far coordinates keep digits.
inline double Turn(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  return (b.m_x - a.m_x) * (c.m_y - a.m_y) - (b.m_y - a.m_y) * (c.m_x - a.m_x);
}

inline bool BoxesMeet(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& d)
{
  return std::max(a.m_x, b.m_x) >= std::min(c.m_x, d.m_x) && std::max(c.m_x, d.m_x) >= std::min(a.m_x, b.m_x) &&
         std::max(a.m_y, b.m_y) >= std::min(c.m_y, d.m_y) && std::max(c.m_y, d.m_y) >= std::min(a.m_y, b.m_y);
}

// Whether two edges that share no vertex cross or touch.
inline bool SelfCrosses(const Polygon& pts)
{
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1)
        continue;
      const CKelCoord2D &a = pts[i], &b = pts[(i + 1) % n], &c = pts[j], &d = pts[(j + 1) % n];
      if (!BoxesMeet(a, b, c, d))
        continue;
      const double t1 = Turn(a, b, c), t2 = Turn(a, b, d), t3 = Turn(c, d, a), t4 = Turn(c, d, b);
      if (((t1 <= 0 && t2 >= 0) || (t1 >= 0 && t2 <= 0)) && ((t3 <= 0 && t4 >= 0) || (t3 >= 0 && t4 <= 0)))
        return true;
    }
  }
  return false;
}

// A stroke out and straight back at a corner: no lot has one.
inline bool TurnsStraightBack(const Polygon& p)
{
  for (std::size_t k = 0; k < p.size(); ++k) {
    const CKelCoord2D& a = p[(k + p.size() - 1) % p.size()];
    const CKelCoord2D& b = p[k];
    const CKelCoord2D& c = p[(k + 1) % p.size()];
    const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y, vx = c.m_x - b.m_x, vy = c.m_y - b.m_y;
    if (ux * vx + uy * vy < 0 && std::fabs(ux * vy - uy * vx) <= 1e-9 * std::hypot(ux, uy) * std::hypot(vx, vy))
      return true;
  }
  return false;
}

}  // namespace site_test
