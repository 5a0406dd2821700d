// Check lines of many-sided outlines measured against the offset curve they
// stand for, by checks of their own: every point of the line keeps the
// distance from the site, the line never crosses itself, and it encloses
// the area of the points within the distance of the site.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "CClineData.h"
#include "SurveyVariants.h"

namespace {

using Pts = std::vector<CKelCoord2D>;

bool Inside(const Pts& poly, const CKelCoord2D& p)
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

std::vector<Piece> PiecesOf(const CClineData& line)
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

double Cross(const CKelCoord2D& o, const CKelCoord2D& p, const CKelCoord2D& q)
{
  return (p.m_x - o.m_x) * (q.m_y - o.m_y) - (p.m_y - o.m_y) * (q.m_x - o.m_x);
}

double PointSegment(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / l2, 0.0, 1.0) : 0.0;
  return std::hypot(p.m_x - a.m_x - t * dx, p.m_y - a.m_y - t * dy);
}

// Where the line through a and b meets the circle about c, as shares of a -> b.
std::vector<double> LineCircle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, double r)
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

double PointArc(const CKelCoord2D& p, const Piece& arc)
{
  if (arc.OnArc(p, 0))
    return std::fabs(std::hypot(p.m_x - arc.c.m_x, p.m_y - arc.c.m_y) - arc.r);
  return std::min(std::hypot(p.m_x - arc.s.m_x, p.m_y - arc.s.m_y), std::hypot(p.m_x - arc.e.m_x, p.m_y - arc.e.m_y));
}

// The least distance between a line element and an outline edge a -> b:
// at the ends of either, at a crossing, or, for an arc, where the normal
// from its centre meets the edge.
double PieceEdge(const Piece& p, const CKelCoord2D& a, const CKelCoord2D& b)
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
int Crossings(const Piece& p, const Piece& q)
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
    const double away = std::min(std::hypot(x.m_x - e.s.m_x, x.m_y - e.s.m_y), std::hypot(x.m_x - e.e.m_x, x.m_y - e.e.m_y));
    if (away < 1e-9)
      return false;
    if (e.arc)
      return e.OnArc(x, 0);
    return PointSegment(x, e.s, e.e) < 1e-9;
  };
  return static_cast<int>(std::count_if(xs.begin(), xs.end(), [&](const CKelCoord2D& x) { return inner(p, x) && inner(q, x); }));
}

// The area the line encloses, its arcs taken whole.
double EnclosedArea(const std::vector<Piece>& pieces)
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
double Width(const std::vector<Edge>& all, const std::vector<int>& edges, double d, double y)
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
double OffsetArea(const Pts& outline, double d, const std::vector<Piece>& line)
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

// A sound check line of the outline: closed; every element at least d from
// the outline (exactly, not at samples) and outside the site; no two
// elements crossing; the area of the offset region enclosed; and a ray from
// a point of the site, towards the line's start or any other way, meets it.
void ExpectSoundLine(const Pts& outline, const CClineData& line)
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
    const CKelCoord2D p((a.m_x + b.m_x) / 2 - (b.m_y - a.m_y) / len * 1e-4, (a.m_y + b.m_y) / 2 + (b.m_x - a.m_x) / len * 1e-4);
    if (!Inside(outline, p))
      continue;
    std::vector<double> angles = {std::atan2(pieces.front().s.m_y - p.m_y, pieces.front().s.m_x - p.m_x)};
    for (int r = 0; r < 4; ++r)
      angles.push_back(r * M_PI / 2 + 0.3);
    for (double angle : angles) {
      const CKelCoord2D far(p.m_x + 4 * (extent + d) * std::cos(angle), p.m_y + 4 * (extent + d) * std::sin(angle));
      // Bearings run counter-clockwise from north.
      EXPECT_GE(line.cross_checkline(angle - M_PI / 2, p, far, nullptr), 0) << "ray from (" << p.m_x << ", " << p.m_y << ") at " << angle;
    }
  }
}

// --- Outlines -------------------------------------------------------------------------------

Pts ReadOutline(const std::string& name, double* d)
{
  Pts outline;
  FILE* f = std::fopen((std::string(TEST_DATA_DIR) + "/" + name).c_str(), "r");
  if (f == nullptr)
    return outline;
  double x = 0, y = 0;
  if (std::fscanf(f, "%lf", d) == 1) {
    while (std::fscanf(f, "%lf %lf", &x, &y) == 2)
      outline.emplace_back(x, y);
  }
  std::fclose(f);
  return outline;
}

enum class Kind { GentleStar, SpikyStar, Rippled, Notched, Regular };

// A random outline of the kind with about n vertices, counter-clockwise,
// star-shaped about the origin, starting at a random vertex; *d the check
// distance that suits it.
Pts RandomOutline(Kind kind, int n, std::mt19937_64& rng, double* d)
{
  std::uniform_real_distribution<double> u(0, 1);
  Pts p;
  auto polar = [&p](double r, double a) { p.emplace_back(r * std::cos(a), r * std::sin(a)); };
  *d = 5;
  switch (kind) {
    case Kind::GentleStar: {
      const double turn = u(rng) * 2 * M_PI;
      n += n % 2;
      for (int i = 0; i < n; ++i)
        polar(i % 2 ? 98 : 100, turn + 2 * M_PI * i / n);
      *d = u(rng) < 0.5 ? 5 : 10;
      break;
    }
    case Kind::SpikyStar: {
      // Spikes up to 60 m deep.
      std::vector<double> angles;
      for (int i = 0; i < n; ++i)
        angles.push_back(u(rng) * 2 * M_PI);
      std::sort(angles.begin(), angles.end());
      for (double a : angles)
        polar(20 + 60 * u(rng), a);
      *d = 1 + 9 * u(rng);
      break;
    }
    case Kind::Rippled: {
      // A surveyed boundary: a circle with a ripple and noise, short edges.
      const double amp = 0.5 + 4 * u(rng), waves = 3 + std::floor(u(rng) * 40);
      for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        polar(60 + amp * std::sin(waves * a) + 0.3 * (u(rng) - 0.5), a);
      }
      break;
    }
    case Kind::Notched: {
      // Teeth with gaps narrower than twice the distance.
      const int teeth = std::max(10, n / 4);
      for (int i = 0; i < teeth; ++i) {
        const double a = 2 * M_PI * i / teeth, w = 2 * M_PI / teeth, r2 = 40 + 30 * u(rng);
        polar(80, a);
        polar(80, a + 0.8 * w);
        polar(r2, a + 0.85 * w);
        polar(r2, a + 0.95 * w);
      }
      *d = 2 + 6 * u(rng);
      break;
    }
    case Kind::Regular: {
      const double turn = u(rng) * 2 * M_PI;
      for (int i = 0; i < n; ++i)
        polar(70, turn + 2 * M_PI * i / n);
      break;
    }
  }
  std::rotate(p.begin(), p.begin() + static_cast<long>(u(rng) * static_cast<double>(p.size())), p.end());
  return p;
}

// --- Surveyed lots ----------------------------------------------------------------------------

enum class Lot { Rectangle, L, U, T, Flag, Wedge, Spike, VNotch, Curved };
constexpr int kLots = 9;

double LogUniform(double lo, double hi, std::mt19937& rng)
{
  return lo * std::pow(hi / lo, std::uniform_real_distribution<double>(0, 1)(rng));
}

// A clean lot of the shape, counter-clockwise, some 10 to 40 m across.
Pts CleanLot(Lot lot, std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  const double w = 10 + 30 * u(rng), h = 10 + 30 * u(rng);
  switch (lot) {
    case Lot::Rectangle:
      return {{0, 0}, {w, 0}, {w, h}, {0, h}};
    case Lot::L:
      return {{0, 0}, {w, 0}, {w, h / 2}, {w / 2, h / 2}, {w / 2, h}, {0, h}};
    case Lot::U: {
      const double gap = 0.5 + 6 * u(rng), depth = h * (0.2 + 0.6 * u(rng));
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + gap / 2, h}, {w / 2 + gap / 2, h - depth}, {w / 2 - gap / 2, h - depth},
              {w / 2 - gap / 2, h}, {0, h}};
    }
    case Lot::T:
      return {{w / 3, 0}, {2 * w / 3, 0}, {2 * w / 3, h / 2}, {w, h / 2}, {w, h}, {0, h}, {0, h / 2}, {w / 3, h / 2}};
    case Lot::Flag: {
      // A lot behind another, reached by a pole 2 to 4 m wide.
      const double pole = 2 + 2 * u(rng), length = 10 + 15 * u(rng);
      return {{0, 0}, {pole, 0}, {pole, length}, {w, length}, {w, length + h}, {0, length + h}};
    }
    case Lot::Wedge: {
      const double angle = (1 + 9 * u(rng)) * M_PI / 180, len = 20 + 20 * u(rng);
      return {{0, 0}, {len, 0}, {len * std::cos(angle), len * std::sin(angle)}};
    }
    case Lot::Spike: {
      const double half = LogUniform(1e-6, 0.5, rng), len = 2 + 10 * u(rng);
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + half, h}, {w / 2, h + len}, {w / 2 - half, h}, {0, h}};
    }
    case Lot::VNotch: {
      const double half = LogUniform(1e-5, 0.5, rng), depth = LogUniform(1e-4, h / 2, rng);
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + half, h}, {w / 2, h - depth}, {w / 2 - half, h}, {0, h}};
    }
    case Lot::Curved: {
      // A front on a curve, as chords; bulging out or in.
      const int chords = 8 + static_cast<int>(50 * u(rng));
      const double bulge = (u(rng) < 0.5 ? 1 : -1) * (0.5 + 4 * u(rng)), r = (w * w / 4 + bulge * bulge) / (2 * std::fabs(bulge));
      const double half = std::asin(w / 2 / r), cy = h + bulge - (bulge > 0 ? r : -r);
      Pts p = {{0, 0}, {w, 0}};
      for (int i = 0; i <= chords; ++i) {
        const double a = bulge > 0 ? M_PI / 2 - half + 2 * half * i / chords : -M_PI / 2 + half - 2 * half * i / chords;
        p.emplace_back(w / 2 + r * std::cos(a), cy + r * std::sin(a));
      }
      return p;
    }
  }
  return {};
}

// A step of `depth` (1 mm to 5 cm) out of or into edge k over `width`.
survey::Variant Jogged(const survey::Variant& in, std::size_t k, double width, double depth)
{
  const CKelCoord2D& a = in.m_Pts[k];
  const CKelCoord2D& b = in.m_Pts[(k + 1) % in.Size()];
  const double len = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
  survey::Variant v = in;
  if (len < 2 * width)
    return v;
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  const CKelCoord2D p(a.m_x + ux * (len - width) / 2, a.m_y + uy * (len - width) / 2);
  const Pts add = {p, {p.m_x - uy * depth, p.m_y + ux * depth}, {p.m_x - uy * depth + ux * width, p.m_y + ux * depth + uy * width},
                   {p.m_x + ux * width, p.m_y + uy * width}};
  v.m_Pts.insert(v.m_Pts.begin() + static_cast<long>(k) + 1, add.begin(), add.end());
  v.m_From.insert(v.m_From.begin() + static_cast<long>(k), add.size(), in.m_From[k]);
  v.m_Tiny.insert(v.m_Tiny.begin() + static_cast<long>(k), add.size(), true);
  return v;
}

Pts SurveyedLotTry(Lot lot, std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  survey::Variant v = survey::Clean(CleanLot(lot, rng));
  if (u(rng) < 0.6)
    v = survey::Split(v, 2 + static_cast<int>(4 * u(rng)), 0.02 * u(rng), rng);
  for (int jogs = static_cast<int>(3 * u(rng)); jogs > 0; --jogs)
    v = Jogged(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size())), LogUniform(1e-3, 0.05, rng),
               (u(rng) < 0.5 ? 1 : -1) * LogUniform(1e-3, 0.05, rng));
  for (int doubles = static_cast<int>(4 * u(rng)); doubles > 0; --doubles) {
    const double gap = LogUniform(1e-7, 1e-3, rng), a = 2 * M_PI * u(rng);
    v = survey::Doubled(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size())),
                        {gap * std::cos(a), gap * std::sin(a)});
  }
  return survey::StartingAt(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size()))).m_Pts;
}

// Whether no two edges that do not follow each other meet.
bool Simple(const Pts& o)
{
  const std::size_t n = o.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j + 1 == n)
        continue;
      const CKelCoord2D &a = o[i], &b = o[(i + 1) % n], &c = o[j], &e = o[(j + 1) % n];
      if (Cross(a, b, c) * Cross(a, b, e) <= 0 && Cross(c, e, a) * Cross(c, e, b) <= 0)
        return false;
    }
  }
  return true;
}

// The lot as a survey gives it: edges split with noise up to 20 mm, steps
// of 1 mm to 5 cm, points doubled 1e-7 to 1e-3 m apart, any first vertex;
// only ones without self-crossings.
Pts SurveyedLot(Lot lot, std::mt19937& rng)
{
  for (;;) {
    Pts p = SurveyedLotTry(lot, rng);
    if (Simple(p))
      return p;
  }
}


// A failing outline in the form the data files use.
std::string OutlineText(const Pts& outline, double d)
{
  std::string text = std::to_string(d) + "\n";
  char line[80];
  for (const CKelCoord2D& p : outline) {
    std::snprintf(line, sizeof line, "%.17g %.17g\n", p.m_x, p.m_y);
    text += line;
  }
  return text;
}

CClineData LineOf(const Pts& outline, double d)
{
  CKelArea<CKelCoord2D> area;
  area.m_pt = outline;
  CClineData line(0, d);
  line.CreateCheckline(area);
  return line;
}

}  // namespace

// Surveyed boundaries: a crossing taken within the tolerance past an arc's
// end left a whole turn in the line (through the site, crossing itself) or
// stopped the cutting with loops left. Surveyed lots: a notch or zigzag
// under 2 mm left a loop through the site, a loop cut at the wrong crossing
// brought the line nearer than d, a corner within 0.1 degree of straight
// before the start left it open, a needle's tip was cut across and a slit's
// sides ran inside the site. The same lots given clockwise are taken the
// other way round.
TEST(ClineOffset, SurveyedOutlinesGiveSoundLines)
{
  for (const char* name : {"cline-rippled-1326.txt", "cline-rippled-1426.txt", "cline-rippled-658-full-arc.txt",
                           "cline-rippled-1124-arcs-inside.txt", "cline-surveyed-vdent-0.3mm-d5.txt",
                           "cline-surveyed-zigzag-d5.txt", "cline-surveyed-noisy-edge-d0.5.txt",
                           "cline-surveyed-two-zigzags-d31.txt", "cline-surveyed-noisy-top-dip-d10.txt",
                           "cline-surveyed-gap-bend-d10.txt", "cline-surveyed-needle-out-d5.txt",
                           "cline-surveyed-slit-in-d5.txt"}) {
    SCOPED_TRACE(name);
    double d = 0;
    const Pts outline = ReadOutline(name, &d);
    ASSERT_GT(outline.size(), 4u);
    ExpectSoundLine(outline, LineOf(outline, d));
    ExpectSoundLine(outline, LineOf(Pts(outline.rbegin(), outline.rend()), d));
  }
}

// A spiky star whose raw line starts inside a loop and closes at a mitre of
// a straight corner, a little before its start: the start was not moved
// onto the outer line, and the line kept a chord through a spike.
TEST(ClineOffset, ARawLineClosedAtAStraightMitreStartsOnTheOuterLine)
{
  double d = 0;
  const Pts outline = ReadOutline("cline-spiky-818.txt", &d);
  ASSERT_EQ(outline.size(), 818u);
  ExpectSoundLine(outline, LineOf(outline, d));
}

// A lone edge (two points) is a needle with two tips: the line goes round
// both. Coordinates a hair above zero once made the trace's chunk count
// overflow.
TEST(ClineOffset, DegenerateOutlinesGiveClosedLines)
{
  ExpectSoundLine({{0, 0}, {20, 0}}, LineOf({{0, 0}, {20, 0}}, 5));
  const Pts denormal = {{0, 9.86396481e-315}, {20, 0}, {20, 5}, {2.172923715076e-311, 5.075883674631299e-116}};
  ExpectSoundLine(denormal, LineOf(denormal, 5));
}

class ClineOffsetKinds : public testing::TestWithParam<Kind> {};

// Vertex counts from 30 to 4,000, most of them small, as the larger the
// outline the longer its check; then a few of 2,500 to 4,000, where a loop
// cut off early can hold most of the raw line.
TEST_P(ClineOffsetKinds, RandomOutlinesGiveSoundLines)
{
  std::mt19937_64 rng(static_cast<unsigned>(GetParam()) + 50);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 330; ++round) {
    const double v = u(rng);
    const int n = round < 300 ? static_cast<int>(30 * std::pow(4000.0 / 30, v * v * v)) : 2500 + static_cast<int>(1500 * v);
    double d = 0;
    const Pts outline = RandomOutline(GetParam(), n, rng, &d);
    SCOPED_TRACE(testing::Message() << "round " << round << " vertices " << outline.size() << " d " << d);
    ExpectSoundLine(outline, LineOf(outline, d));
    if (HasFailure()) {
      std::printf("%s", OutlineText(outline, d).c_str());
      return;
    }
  }
}

std::string KindName(const testing::TestParamInfo<Kind>& info)
{
  static const char* const names[] = {"GentleStar", "SpikyStar", "Rippled", "Notched", "Regular"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClineOffsetKinds,
                         testing::Values(Kind::GentleStar, Kind::SpikyStar, Kind::Rippled, Kind::Notched,
                                         Kind::Regular),
                         KindName);

// Lots of every shape as surveys give them, at the usual distances.
TEST(ClineOffset, RandomSurveyedLotsGiveSoundLines)
{
  std::mt19937 rng(54);
  for (int round = 0; round < 324; ++round) {
    const Lot lot = static_cast<Lot>(round % kLots);
    const double d = std::vector<double>{0.5, 5, 10, 31}[static_cast<std::size_t>(round / kLots % 4)];
    const Pts outline = SurveyedLot(lot, rng);
    SCOPED_TRACE(testing::Message() << "round " << round << " lot " << static_cast<int>(lot) << " vertices "
                                    << outline.size() << " d " << d);
    ExpectSoundLine(outline, LineOf(outline, d));
    if (HasFailure()) {
      std::printf("%s", OutlineText(outline, d).c_str());
      return;
    }
  }
}
