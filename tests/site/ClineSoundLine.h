#pragma once
// The checks of a sound check line, each computed apart from the code under
// test: closed; every element at least the distance from the outline, by
// exact distances of segments and arcs to edges, and no point of it further
// than the distance, save what a mitre adds; no two elements crossing;
// the area of the offset region enclosed, integrated by levels; and a ray
// from a point of the site meets it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CClineData.h"

namespace cline_check {

using Pts = std::vector<CKelCoord2D>;

inline bool Inside(const Pts& poly, const CKelCoord2D& p)
{
  bool in = false;
  for (std::size_t k = 0, j = poly.size() - 1; k < poly.size(); j = k++) {
    const CKelCoord2D& a = poly[j];
    const CKelCoord2D& b = poly[k];
    if ((a.m_y > p.m_y) != (b.m_y > p.m_y) &&
        a.m_x + (p.m_y - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y) > p.m_x)
      in = !in;
  }
  return in;
}

struct Box {
  double x1 = 1e300, y1 = 1e300, x2 = -1e300, y2 = -1e300;
  void Add(const CKelCoord2D& p, double r = 0)
  {
    x1 = std::min(x1, p.m_x - r);
    y1 = std::min(y1, p.m_y - r);
    x2 = std::max(x2, p.m_x + r);
    y2 = std::max(y2, p.m_y + r);
  }
};

// Boxes filed by square cells, for the pairs that may meet.
class BoxGrid {
public:
  BoxGrid(const std::vector<Box>& boxes, double cell) : m_Cell(cell)
  {
    for (const Box& b : boxes) {
      m_All.Add({b.x1, b.y1});
      m_All.Add({b.x2, b.y2});
    }
    m_Nx = Index(m_All.x2, m_All.x1) + 1;
    m_Ny = Index(m_All.y2, m_All.y1) + 1;
    m_Cells.resize(static_cast<std::size_t>(m_Nx * m_Ny));
    for (std::size_t k = 0; k < boxes.size(); ++k)
      ForCells(boxes[k], [&](std::vector<int>& c) { c.push_back(static_cast<int>(k)); });
  }

  // Each box index near b once (ascending).
  std::vector<int> Near(const Box& b)
  {
    const long i1 = std::max(0L, Index(b.x1, m_All.x1)), i2 = std::min(m_Nx - 1, Index(b.x2, m_All.x1));
    const long j1 = std::max(0L, Index(b.y1, m_All.y1)), j2 = std::min(m_Ny - 1, Index(b.y2, m_All.y1));
    if (i1 == i2 && j1 == j2)
      return m_Cells[static_cast<std::size_t>(i1 * m_Ny + j1)];
    std::vector<int> found;
    ForCells(b, [&](std::vector<int>& c) { found.insert(found.end(), c.begin(), c.end()); });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
  }

private:
  template <class F>
  void ForCells(const Box& b, F f)
  {
    const long i1 = std::max(0L, Index(b.x1, m_All.x1)), i2 = std::min(m_Nx - 1, Index(b.x2, m_All.x1));
    const long j1 = std::max(0L, Index(b.y1, m_All.y1)), j2 = std::min(m_Ny - 1, Index(b.y2, m_All.y1));
    for (long i = i1; i <= i2; ++i) {
      for (long j = j1; j <= j2; ++j)
        f(m_Cells[static_cast<std::size_t>(i * m_Ny + j)]);
    }
  }
  long Index(double v, double v0) const { return static_cast<long>(std::floor((v - v0) / m_Cell)); }

  double m_Cell;
  Box m_All;
  long m_Nx = 0, m_Ny = 0;
  std::vector<std::vector<int>> m_Cells;
};

// One element of the line: a segment s -> e, or the arc of radius r about
// c from angle `from` on through `sweep` (counter-clockwise).
struct Piece {
  bool arc = false;
  CKelCoord2D s, e, c;
  double r = 0, from = 0, sweep = 0;
  bool OnArc(const CKelCoord2D& p, double slack) const
  {
    double a = std::atan2(p.m_y - c.m_y, p.m_x - c.m_x) - from;
    a -= 2 * M_PI * std::floor(a / (2 * M_PI));
    return a <= sweep + slack || a >= 2 * M_PI - slack;
  }
  CKelCoord2D At(double a) const { return {c.m_x + r * std::cos(from + a), c.m_y + r * std::sin(from + a)}; }
  Box Bounds() const
  {
    Box b;
    b.Add(s);
    b.Add(e);
    if (arc)
      b.Add(c, r);
    return b;
  }
};

inline std::vector<Piece> PiecesOf(const CClineData& line)
{
  std::vector<Piece> pieces;
  for (const ClineElement& e : line.Elements()) {
    Piece p;
    p.s = line[static_cast<std::size_t>(e.start)];
    p.e = line[static_cast<std::size_t>(e.end)];
    if (e.IsArc()) {
      p.arc = true;
      p.c = line[static_cast<std::size_t>(e.centre)];
      p.r = line.m_Distance;
      p.from = std::atan2(p.s.m_y - p.c.m_y, p.s.m_x - p.c.m_x);
      p.sweep = std::atan2(p.e.m_y - p.c.m_y, p.e.m_x - p.c.m_x) - p.from;
      if (p.sweep < 0)
        p.sweep += 2 * M_PI;
    }
    pieces.push_back(p);
  }
  return pieces;
}

inline double Cross(const CKelCoord2D& o, const CKelCoord2D& p, const CKelCoord2D& q)
{
  return (p.m_x - o.m_x) * (q.m_y - o.m_y) - (p.m_y - o.m_y) * (q.m_x - o.m_x);
}

inline double PointSegment(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / l2, 0.0, 1.0) : 0.0;
  return std::hypot(p.m_x - a.m_x - t * dx, p.m_y - a.m_y - t * dy);
}

// Where the line through a and b meets the circle about c, as shares of a -> b.
inline std::vector<double> LineCircle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, double r)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  if (l2 == 0)
    return {};
  const double t = ((c.m_x - a.m_x) * dx + (c.m_y - a.m_y) * dy) / l2;
  const double off2 = std::pow(Cross(a, b, c), 2) / l2;
  if (off2 > r * r)
    return {};
  const double h = std::sqrt((r * r - off2) / l2);
  return {t - h, t + h};
}

inline double PointArc(const CKelCoord2D& p, const Piece& arc)
{
  if (arc.OnArc(p, 0))
    return std::fabs(std::hypot(p.m_x - arc.c.m_x, p.m_y - arc.c.m_y) - arc.r);
  return std::min(std::hypot(p.m_x - arc.s.m_x, p.m_y - arc.s.m_y), std::hypot(p.m_x - arc.e.m_x, p.m_y - arc.e.m_y));
}

// The least distance between a line element and an outline edge a -> b:
// at the ends of either, at a crossing, or, for an arc, where the normal
// from its centre meets the edge.
inline double PieceEdge(const Piece& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  if (!p.arc) {
    if (Cross(a, b, p.s) * Cross(a, b, p.e) < 0 && Cross(p.s, p.e, a) * Cross(p.s, p.e, b) < 0)
      return 0;
    return std::min({PointSegment(p.s, a, b), PointSegment(p.e, a, b), PointSegment(a, p.s, p.e),
                     PointSegment(b, p.s, p.e)});
  }
  double best = std::min({PointSegment(p.s, a, b), PointSegment(p.e, a, b), PointArc(a, p), PointArc(b, p)});
  for (double t : LineCircle(a, b, p.c, p.r)) {
    const CKelCoord2D x(a.m_x + t * (b.m_x - a.m_x), a.m_y + t * (b.m_y - a.m_y));
    if (t >= 0 && t <= 1 && p.OnArc(x, 0))
      return 0;
  }
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? ((p.c.m_x - a.m_x) * dx + (p.c.m_y - a.m_y) * dy) / l2 : -1;
  const CKelCoord2D foot(a.m_x + t * dx, a.m_y + t * dy);
  if (t >= 0 && t <= 1 && p.OnArc(foot, 0))
    best = std::min(best, std::fabs(std::hypot(foot.m_x - p.c.m_x, foot.m_y - p.c.m_y) - p.r));
  return best;
}

// Points where two elements cross away from their ends (1e-9 m).
inline int Crossings(const Piece& p, const Piece& q)
{
  std::vector<CKelCoord2D> xs;
  if (!p.arc || !q.arc) {
    const Piece& seg = p.arc ? q : p;
    const Piece& other = p.arc ? p : q;
    if (!other.arc) {
      const double den = Cross({0, 0}, {seg.e.m_x - seg.s.m_x, seg.e.m_y - seg.s.m_y},
                               {other.e.m_x - other.s.m_x, other.e.m_y - other.s.m_y});
      if (den != 0) {
        const double t = Cross(seg.s, other.s, other.e) / den;
        xs.emplace_back(seg.s.m_x + t * (seg.e.m_x - seg.s.m_x), seg.s.m_y + t * (seg.e.m_y - seg.s.m_y));
      }
    } else {
      for (double t : LineCircle(seg.s, seg.e, other.c, other.r))
        xs.emplace_back(seg.s.m_x + t * (seg.e.m_x - seg.s.m_x), seg.s.m_y + t * (seg.e.m_y - seg.s.m_y));
    }
  } else {
    const double dx = q.c.m_x - p.c.m_x, dy = q.c.m_y - p.c.m_y, dd = std::hypot(dx, dy);
    if (dd > 0 && dd < 2 * p.r) {
      const double h = std::sqrt(p.r * p.r - dd * dd / 4);
      xs.emplace_back(p.c.m_x + dx / 2 + dy * h / dd, p.c.m_y + dy / 2 - dx * h / dd);
      xs.emplace_back(p.c.m_x + dx / 2 - dy * h / dd, p.c.m_y + dy / 2 + dx * h / dd);
    }
  }
  const auto inner = [](const Piece& e, const CKelCoord2D& x) {
    const double away =
        std::min(std::hypot(x.m_x - e.s.m_x, x.m_y - e.s.m_y), std::hypot(x.m_x - e.e.m_x, x.m_y - e.e.m_y));
    if (away < 1e-9)
      return false;
    if (e.arc)
      return e.OnArc(x, 0);
    return PointSegment(x, e.s, e.e) < 1e-9;
  };
  return static_cast<int>(
      std::count_if(xs.begin(), xs.end(), [&](const CKelCoord2D& x) { return inner(p, x) && inner(q, x); }));
}

// The area the line encloses, its arcs taken whole.
inline double EnclosedArea(const std::vector<Piece>& pieces)
{
  double twice = 0;
  for (const Piece& p : pieces) {
    if (!p.arc) {
      twice += p.s.m_x * p.e.m_y - p.e.m_x * p.s.m_y;
      continue;
    }
    const double to = p.from + p.sweep;
    twice += p.r * p.c.m_x * (std::sin(to) - std::sin(p.from)) - p.r * p.c.m_y * (std::cos(to) - std::cos(p.from)) +
             p.r * p.r * p.sweep;
  }
  return twice / 2;
}

// An outline edge a -> b with its direction, length and levels.
struct Edge {
  CKelCoord2D a, b;
  double ux = 0, uy = 0, len = 0, ylo = 0, yhi = 0;
};

// The width of the offset region along the level y: the site's own spans
// and, for each edge, the span of the points within d of it.
inline double Width(const std::vector<Edge>& all, const std::vector<int>& edges, double d, double y)
{
  static thread_local std::vector<std::pair<double, double>> spans;
  static thread_local std::vector<double> through;
  spans.clear();
  through.clear();
  int last = -2;
  for (int k : edges) {
    const Edge& e = all[static_cast<std::size_t>(k)];
    if (y < e.ylo - d || y > e.yhi + d)
      continue;
    const CKelCoord2D &a = e.a, &b = e.b;
    if ((a.m_y > y) != (b.m_y > y))
      through.push_back(a.m_x + (y - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y));
    double lo = 1e300, hi = -1e300;
    for (const CKelCoord2D* v : {&a, &b}) {
      if (std::fabs(v->m_y - y) <= d) {
        const double h = std::sqrt(d * d - (v->m_y - y) * (v->m_y - y));
        lo = std::min(lo, v->m_x - h);
        hi = std::max(hi, v->m_x + h);
      }
    }
    // The band beside the edge: 0 <= along <= L and |across| <= d, each
    // linear in x along the level.
    if (e.len > 0) {
      double x1 = -1e300, x2 = 1e300;
      const auto limit = [&](double coef, double base, double from, double to) {
        // from <= base + coef x <= to
        if (coef == 0) {
          if (base < from || base > to)
            x1 = 1e300;
          return;
        }
        const double p = (from - base) / coef, q = (to - base) / coef;
        x1 = std::max(x1, std::min(p, q));
        x2 = std::min(x2, std::max(p, q));
      };
      limit(e.ux, -a.m_x * e.ux + (y - a.m_y) * e.uy, 0, e.len);
      limit(-e.uy, a.m_x * e.uy + (y - a.m_y) * e.ux, -d, d);
      if (x1 <= x2) {
        lo = std::min(lo, x1);
        hi = std::max(hi, x2);
      }
    }
    // Edges one after the other meet at their vertex, so their spans mostly
    // overlap: merged at once, few are left to sort.
    if (lo <= hi && last + 1 == k && !spans.empty() && lo <= spans.back().second && spans.back().first <= hi) {
      spans.back() = {std::min(lo, spans.back().first), std::max(hi, spans.back().second)};
      last = k;
    } else if (lo <= hi) {
      spans.emplace_back(lo, hi);
      last = k;
    }
  }
  std::sort(through.begin(), through.end());
  for (std::size_t i = 0; i + 1 < through.size(); i += 2)
    spans.emplace_back(through[i], through[i + 1]);
  std::sort(spans.begin(), spans.end(), [](const auto& p, const auto& q) { return p.first < q.first; });
  double width = 0, reach = -1e300;
  for (const auto& [lo, hi] : spans) {
    width += std::max(0.0, hi - std::max(lo, reach));
    reach = std::max(reach, hi);
  }
  return width;
}

// The offset area by levels: between two levels where the line has a point
// or an arc its top or bottom, the width changes smoothly. Two Gauss points
// take a stretch, its midpoint a short one; next to the top or bottom of an
// arc, where the width grows as a square root, Gauss points on a cosine
// scale do.
inline double OffsetArea(const Pts& outline, double d, const std::vector<Piece>& line)
{
  // Extremes: the tops and bottoms of the arcs' circles; those on an arc
  // are levels too.
  std::vector<double> levels, extremes;
  for (const Piece& p : line) {
    levels.push_back(p.s.m_y);
    for (const double r : {p.r, -p.r}) {
      if (p.arc && p.OnArc({p.c.m_x, p.c.m_y + r}, 0))
        levels.push_back(p.c.m_y + r);
      if (p.arc)
        extremes.push_back(p.c.m_y + r);
    }
  }
  std::sort(levels.begin(), levels.end());
  std::sort(extremes.begin(), extremes.end());
  // Whether a square root's end lies within the stretch's length of it: a
  // V between two arcs lies just below their circles' tops.
  const auto nearExtreme = [&](double y1, double y2) {
    const auto at = std::lower_bound(extremes.begin(), extremes.end(), y1 - (y2 - y1));
    return at != extremes.end() && *at <= y2 + (y2 - y1);
  };
  std::vector<Box> bands;
  std::vector<Edge> all;
  for (std::size_t k = 0; k < outline.size(); ++k) {
    Edge e{outline[k], outline[(k + 1) % outline.size()]};
    e.len = std::hypot(e.b.m_x - e.a.m_x, e.b.m_y - e.a.m_y);
    if (e.len > 0) {
      e.ux = (e.b.m_x - e.a.m_x) / e.len;
      e.uy = (e.b.m_y - e.a.m_y) / e.len;
    }
    e.ylo = std::min(e.a.m_y, e.b.m_y);
    e.yhi = std::max(e.a.m_y, e.b.m_y);
    all.push_back(e);
    Box b;
    b.Add({0, e.ylo}, d);
    b.Add({0, e.yhi}, d);
    bands.push_back(b);
  }
  BoxGrid byLevel(bands, std::max(d, (levels.back() - levels.front()) / 200));
  static const double gx[] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
  static const double gw[] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
  double area = 0;
  for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
    const double y1 = levels[i], y2 = levels[i + 1];
    if (!(y2 > y1))
      continue;
    Box level;
    level.Add({0, y1});
    level.Add({0, y2});
    const std::vector<int> edges = byLevel.Near(level);
    const auto width = [&](double y) { return Width(all, edges, d, y); };
    // More panels where the stretch is long beside the distance.
    const int more = static_cast<int>(8 * (y2 - y1) / d);
    // Between close levels the width is nearly straight: its midpoint will do.
    if (!nearExtreme(y1, y2) && y2 - y1 < d / 64) {
      area += (y2 - y1) * width((y1 + y2) / 2);
      continue;
    }
    if (!nearExtreme(y1, y2)) {
      const int panels = 1 + more;
      const double half = (y2 - y1) / panels / 2;
      for (int panel = 0; panel < panels; ++panel) {
        const double mid = y1 + half * (2 * panel + 1);
        area += half * (width(mid - half / std::sqrt(3.0)) + width(mid + half / std::sqrt(3.0)));
      }
      continue;
    }
    const int panels = 2 + more;
    for (int panel = 0; panel < panels; ++panel) {
      for (int g = 0; g < 4; ++g) {
        const double th = M_PI / panels * (panel + (1 + gx[g]) / 2);
        const double y = y1 + (y2 - y1) * (1 - std::cos(th)) / 2;
        area += gw[g] * M_PI / panels / 2 * width(y) * (y2 - y1) / 2 * std::sin(th);
      }
    }
  }
  return area;
}

// A distance from the outline squared along the segment s + t u (u of unit
// length), a t^2 + b t + c: from a vertex of the outline, or from the line
// of an edge, where it counts only for t from lo to hi (level with the edge).
struct Quadratic {
  double a = 0, b = 0, c = 0, lo = -1e300, hi = 1e300;
};

// The farthest a point of the segment comes from the outline, or some
// distance above `most` when it comes further. Between the features of the
// outline (vertices, edges' lines level with their edges) the distance is
// the least of convex functions, so it is greatest at the segment's ends,
// where two features are equally far, or where an edge's level ends. Only
// the edges `near` count: the others lie further than `most` from it all,
// and so does every feature further than `most` from it.
inline double FarthestOfSegment(const Pts& outline, const std::vector<int>& near, const CKelCoord2D& s,
                                const CKelCoord2D& e, double most)
{
  const double len = std::hypot(e.m_x - s.m_x, e.m_y - s.m_y);
  const auto at = [&](double t) {
    return len > 0 ? CKelCoord2D(s.m_x + (e.m_x - s.m_x) * t / len, s.m_y + (e.m_y - s.m_y) * t / len) : s;
  };
  const double ux = len > 0 ? (e.m_x - s.m_x) / len : 0, uy = len > 0 ? (e.m_y - s.m_y) / len : 0;
  std::vector<int> edges;
  for (int k : near) {
    const std::size_t i = static_cast<std::size_t>(k);
    const CKelCoord2D &a = outline[i], &b = outline[(i + 1) % outline.size()];
    const CKelCoord2D mid((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
    if (PointSegment(mid, s, e) - std::hypot(b.m_x - a.m_x, b.m_y - a.m_y) / 2 > most)
      continue;
    if (PointSegment(outline[i], s, e) <= most || PointSegment(outline[(i + 1) % outline.size()], s, e) <= most ||
        PieceEdge(Piece{false, s, e, {}}, outline[i], outline[(i + 1) % outline.size()]) <= most)
      edges.push_back(k);
  }
  std::vector<Quadratic> features;
  std::vector<double> candidates = {0, len};
  for (int k : edges) {
    const CKelCoord2D& a = outline[static_cast<std::size_t>(k)];
    const CKelCoord2D& b = outline[(static_cast<std::size_t>(k) + 1) % outline.size()];
    for (const CKelCoord2D* v : {&a, &b}) {
      const double vx = s.m_x - v->m_x, vy = s.m_y - v->m_y;
      features.push_back({1, 2 * (ux * vx + uy * vy), vx * vx + vy * vy});
    }
    const double rx = s.m_x - a.m_x, ry = s.m_y - a.m_y;
    const double el = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
    if (!(el > 0))
      continue;
    const double wx = (b.m_x - a.m_x) / el, wy = (b.m_y - a.m_y) / el;
    const double across = wx * ry - wy * rx, rate = wx * uy - wy * ux;
    const double along = wx * rx + wy * ry, pace = wx * ux + wy * uy;
    Quadratic q{rate * rate, 2 * rate * across, across * across};
    if (pace != 0) {
      q.lo = std::min(-along / pace, (el - along) / pace);
      q.hi = std::max(-along / pace, (el - along) / pace);
      candidates.push_back(q.lo);
      candidates.push_back(q.hi);
    } else if (along < 0 || along > el) {
      continue;
    }
    features.push_back(q);
  }
  // Two features cross where it counts only within `most` of both: each
  // keeps the stretch where it lies that near.
  std::vector<Quadratic> kept;
  for (Quadratic q : features) {
    const double lift = q.c - most * most;
    if (q.a > 0 && q.b * q.b - 4 * q.a * lift >= 0) {
      const double root = std::sqrt(q.b * q.b - 4 * q.a * lift);
      q.lo = std::max(q.lo, (-q.b - root) / (2 * q.a));
      q.hi = std::min(q.hi, (-q.b + root) / (2 * q.a));
    } else if (!(q.a == 0 && lift <= 0)) {
      continue;
    }
    q.lo = std::max(q.lo, 0.0);
    q.hi = std::min(q.hi, len);
    if (q.lo <= q.hi)
      kept.push_back(q);
  }
  features = kept;
  std::sort(features.begin(), features.end(), [](const Quadratic& p, const Quadratic& q) { return p.lo < q.lo; });
  for (std::size_t i = 0; i < features.size(); ++i) {
    for (std::size_t j = i + 1; j < features.size() && features[j].lo <= features[i].hi; ++j) {
      const double qa = features[i].a - features[j].a, qb = features[i].b - features[j].b,
                   qc = features[i].c - features[j].c;
      if (qa == 0 && qb != 0) {
        candidates.push_back(-qc / qb);
      } else if (qa != 0 && qb * qb - 4 * qa * qc >= 0) {
        const double root = std::sqrt(qb * qb - 4 * qa * qc);
        candidates.push_back((-qb - root) / (2 * qa));
        candidates.push_back((-qb + root) / (2 * qa));
      }
    }
  }
  double farthest = 0;
  for (const double t : candidates) {
    if (!(t >= 0 && t <= len))
      continue;
    const CKelCoord2D p = at(t);
    double least = most * 2 + 1;
    for (int k : edges) {
      least = std::min(least, PointSegment(p, outline[static_cast<std::size_t>(k)],
                                           outline[(static_cast<std::size_t>(k) + 1) % outline.size()]));
      if (least <= farthest)
        break;
    }
    farthest = std::max(farthest, least);
  }
  return farthest;
}

// The farthest a point of the line comes from the outline, or some distance
// above `most` when it comes further: a segment by FarthestOfSegment, an
// arc by its radius and its centre's distance from the outline.
inline double FarthestOfLine(const Pts& outline, const std::vector<Piece>& pieces, double most)
{
  std::vector<Box> edgeBoxes;
  Box all;
  for (std::size_t k = 0; k < outline.size(); ++k) {
    Box b;
    b.Add(outline[k]);
    b.Add(outline[(k + 1) % outline.size()]);
    edgeBoxes.push_back(b);
    all.Add(outline[k]);
  }
  // Cells no smaller than a 256th of the outline: a tiny distance must not
  // make a grid of millions of cells.
  BoxGrid grid(edgeBoxes, std::max({most, 1e-3, (all.x2 - all.x1) / 256, (all.y2 - all.y1) / 256}));
  double farthest = 0;
  for (const Piece& p : pieces) {
    Box reach = p.Bounds();
    reach.Add({reach.x1, reach.y1}, most);
    reach.Add({reach.x2, reach.y2}, most);
    const std::vector<int> near = grid.Near(reach);
    if (!p.arc) {
      farthest = std::max(farthest, FarthestOfSegment(outline, near, p.s, p.e, most));
      continue;
    }
    double centre = most * 2 + 1;
    for (int k : near)
      centre = std::min(centre, PointSegment(p.c, outline[static_cast<std::size_t>(k)],
                                             outline[(static_cast<std::size_t>(k) + 1) % outline.size()]));
    farthest = std::max(farthest, p.r + centre);
  }
  return farthest;
}

// A sound check line of the outline: closed; every element at least d from
// the outline (exactly, not at samples) and outside the site, and no point
// further than d but for a nearly straight corner's mitre; no two
// elements crossing; the area of the offset region enclosed; and a ray from
// a point of the site, towards the line's start or any other way, meets it.
inline void ExpectSoundLineNear(const Pts& outline, const CClineData& line)
{
  const double d = line.m_Distance;
  ASSERT_EQ(static_cast<int>(line.size()), line.CheckData());
  const std::vector<Piece> pieces = PiecesOf(line);
  ASSERT_GE(pieces.size(), 2u);
  EXPECT_LE(std::hypot(pieces.back().e.m_x - pieces.front().s.m_x, pieces.back().e.m_y - pieces.front().s.m_y), 1e-5);
  EXPECT_FALSE(Inside(outline, pieces.front().s));

  std::vector<Box> boxes;
  for (const Piece& p : pieces)
    boxes.push_back(p.Bounds());
  Box all;
  for (const Box& b : boxes) {
    all.Add({b.x1, b.y1});
    all.Add({b.x2, b.y2});
  }
  const double extent = std::max(all.x2 - all.x1, all.y2 - all.y1);
  std::vector<Box> edgeBoxes;
  for (std::size_t k = 0; k < outline.size(); ++k) {
    Box b;
    b.Add(outline[k]);
    b.Add(outline[(k + 1) % outline.size()]);
    edgeBoxes.push_back(b);
  }
  BoxGrid edgeGrid(edgeBoxes, std::max(d, 1e-3));
  double nearest = 1e300;
  std::size_t at = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    Box near = boxes[i];
    near.Add({near.x1, near.y1}, d);
    near.Add({near.x2, near.y2}, d);
    for (int k : edgeGrid.Near(near)) {
      const double dist = PieceEdge(pieces[i], outline[static_cast<std::size_t>(k)],
                                    outline[(static_cast<std::size_t>(k) + 1) % outline.size()]);
      if (dist < nearest) {
        nearest = dist;
        at = i;
      }
    }
  }
  EXPECT_GE(nearest, d - 1e-5) << testing::PrintToString(nearest) << " at element " << at << " from ("
                               << pieces[at].s.m_x << ", " << pieces[at].s.m_y << ")";
  // Only the mitre of a corner within 0.1 degree of straight lies further
  // than d: d / cos(0.05 degree).
  const double most = d / std::cos(0.05 * M_PI / 180) + 1e-5;
  EXPECT_LE(FarthestOfLine(outline, pieces, most), most);

  BoxGrid pieceGrid(boxes, std::max(d, extent / 200));
  int crossings = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    for (int j : pieceGrid.Near(boxes[i])) {
      const std::size_t k = static_cast<std::size_t>(j);
      const bool neighbours = k == i + 1 || (i == 0 && k + 1 == pieces.size());
      if (k > i && !neighbours)
        crossings += Crossings(pieces[i], pieces[k]);
    }
  }
  EXPECT_EQ(0, crossings);

  const double offset = OffsetArea(outline, d, pieces);
  EXPECT_NEAR(offset, EnclosedArea(pieces), 1e-5 * offset);

  // Rays from points just inside the site.
  const std::size_t step = std::max<std::size_t>(1, outline.size() / 6);
  for (std::size_t k = 0; k < outline.size(); k += step) {
    const CKelCoord2D& a = outline[k];
    const CKelCoord2D& b = outline[(k + 1) % outline.size()];
    const double len = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
    if (len < 1e-3)
      continue;
    const CKelCoord2D p((a.m_x + b.m_x) / 2 - (b.m_y - a.m_y) / len * 1e-4,
                        (a.m_y + b.m_y) / 2 + (b.m_x - a.m_x) / len * 1e-4);
    if (!Inside(outline, p))
      continue;
    std::vector<double> angles = {std::atan2(pieces.front().s.m_y - p.m_y, pieces.front().s.m_x - p.m_x)};
    for (int r = 0; r < 4; ++r)
      angles.push_back(r * M_PI / 2 + 0.3);
    for (double angle : angles) {
      const CKelCoord2D far(p.m_x + 4 * (extent + d) * std::cos(angle), p.m_y + 4 * (extent + d) * std::sin(angle));
      // Bearings run counter-clockwise from north.
      EXPECT_GE(line.cross_checkline(angle - M_PI / 2, p, far, nullptr), 0)
          << "ray from (" << p.m_x << ", " << p.m_y << ") at " << angle;
    }
  }
}

// The same, measured about the outline's first vertex: the judge's own
// sums (areas, levels) then keep the digits of a lot placed in plane
// rectangular coordinates.
inline void ExpectSoundLine(const Pts& outline, const CClineData& line)
{
  if (outline.empty())
    return ExpectSoundLineNear(outline, line);
  const CKelCoord2D o = outline.front();
  Pts near;
  for (const CKelCoord2D& p : outline)
    near.emplace_back(p.m_x - o.m_x, p.m_y - o.m_y);
  CClineData moved(line);
  for (CCrspnt& p : moved) {
    if (p.m_Kind != CCrspnt::kEnd)
      p = CCrspnt(p.m_x - o.m_x, p.m_y - o.m_y, p.m_Kind);
  }
  ExpectSoundLineNear(near, moved);
}

}  // namespace cline_check
