#pragma once
// The elements of a check line as geometry, shared by its trace and by the
// check of a finished line. Positions along an element (t) are metres from
// its start on a segment and radians from its start on an arc.

#include <algorithm>
#include <cmath>
#include <vector>

#include "CClineData.h"
#include "KelGeometry.h"

namespace cline_geometry {

// One raw element as geometry. Positions along it (t) are metres from its
// start on a segment and radians from its start on an arc.
struct Element {
  bool arc = false;
  CKelCoord2D s, e, c;
  double length = 0;  // metres, or the arc's sweep
  double from = 0;    // the arc's start angle about c
  double ux = 0, uy = 0;
  double radius = 0;
  // Metres per unit of t.
  double Scale() const { return arc ? radius : 1.0; }
  CKelCoord2D At(double t) const
  {
    if (arc)
      return {c.m_x + radius * std::cos(from + t), c.m_y + radius * std::sin(from + t)};
    return {s.m_x + ux * t, s.m_y + uy * t};
  }
  // The direction of travel at t.
  CKelCoord2D Heading(double t) const
  {
    if (arc)
      return {-std::sin(from + t), std::cos(from + t)};
    return {ux, uy};
  }
  // t of a point on the element's line or circle; on an arc a point nearer
  // its start than its end, going round, reads as before the start.
  double Position(const CKelCoord2D& p) const
  {
    if (!arc)
      return (p.m_x - s.m_x) * ux + (p.m_y - s.m_y) * uy;
    double a = std::atan2(p.m_y - c.m_y, p.m_x - c.m_x) - from;
    while (a < 0)
      a += KelAngle::TwoPi;
    while (a >= KelAngle::TwoPi)
      a -= KelAngle::TwoPi;
    return a > length && KelAngle::TwoPi - a < a - length ? a - KelAngle::TwoPi : a;
  }
};

inline double TurnAngle(const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q)
{
  const double turn = std::atan2(q.m_y - c.m_y, q.m_x - c.m_x) - std::atan2(p.m_y - c.m_y, p.m_x - c.m_x);
  return turn < 0 ? turn + KelAngle::TwoPi : turn;
}

inline Element Segment(const CKelCoord2D& s, const CKelCoord2D& t)
{
  Element e;
  e.s = s;
  e.e = t;
  e.length = length_2point(e.s, e.e);
  if (e.length > 0) {
    e.ux = (e.e.m_x - e.s.m_x) / e.length;
    e.uy = (e.e.m_y - e.s.m_y) / e.length;
  }
  return e;
}

inline Element MakeElement(const CClineData& line, const ClineElement& k, double radius)
{
  const CKelCoord2D& s = line[static_cast<std::size_t>(k.start)];
  const CKelCoord2D& t = line[static_cast<std::size_t>(k.end)];
  if (!k.IsArc())
    return Segment(s, t);
  Element e;
  e.s = s;
  e.e = t;
  e.arc = true;
  e.c = line[static_cast<std::size_t>(k.centre)];
  e.radius = radius;
  e.from = std::atan2(e.s.m_y - e.c.m_y, e.s.m_x - e.c.m_x);
  e.length = TurnAngle(e.c, e.s, e.e);
  return e;
}

// The points where the lines or circles of a and b meet, at most two.
inline int Meet(const Element& a, const Element& b, CKelCoord2D out[2])
{
  if (!a.arc && !b.arc) {
    const double den = a.ux * b.uy - a.uy * b.ux;
    if (den == 0 || a.length == 0 || b.length == 0)
      return 0;
    const double t = ((b.s.m_x - a.s.m_x) * b.uy - (b.s.m_y - a.s.m_y) * b.ux) / den;
    out[0] = a.At(t);
    return 1;
  }
  if (a.arc != b.arc) {
    const Element& seg = a.arc ? b : a;
    const Element& arc = a.arc ? a : b;
    if (seg.length == 0)
      return 0;
    // The foot of the centre on the line, and half the chord about it.
    const double wx = arc.c.m_x - seg.s.m_x, wy = arc.c.m_y - seg.s.m_y;
    const double along = wx * seg.ux + wy * seg.uy;
    const double off = seg.ux * wy - seg.uy * wx;
    const double h2 = arc.radius * arc.radius - off * off;
    if (h2 < 0)
      return 0;
    const double h = std::sqrt(h2);
    out[0] = seg.At(along - h);
    out[1] = seg.At(along + h);
    return h > 0 ? 2 : 1;
  }
  const double dx = b.c.m_x - a.c.m_x, dy = b.c.m_y - a.c.m_y;
  const double dd = std::hypot(dx, dy);
  if (dd == 0 || dd > a.radius + b.radius)
    return 0;
  const double along = (dd * dd + a.radius * a.radius - b.radius * b.radius) / (2 * dd);
  const double h = std::sqrt(std::fmax(0.0, a.radius * a.radius - along * along));
  const double mx = a.c.m_x + dx * along / dd, my = a.c.m_y + dy * along / dd;
  out[0] = CKelCoord2D(mx + dy * h / dd, my - dx * h / dd);
  out[1] = CKelCoord2D(mx - dy * h / dd, my + dx * h / dd);
  return h > 0 ? 2 : 1;
}

struct Box {
  double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
  void Add(const CKelCoord2D& p)
  {
    xmin = std::fmin(xmin, p.m_x);
    xmax = std::fmax(xmax, p.m_x);
    ymin = std::fmin(ymin, p.m_y);
    ymax = std::fmax(ymax, p.m_y);
  }
  void Grow(double m)
  {
    xmin -= m;
    xmax += m;
    ymin -= m;
    ymax += m;
  }
  bool Meets(const Box& o) const { return xmin <= o.xmax && o.xmin <= xmax && ymin <= o.ymax && o.ymin <= ymax; }
};

// The box of the element from t0 to t1, grown by margin.
inline Box PieceBox(const Element& e, double t0, double t1, double margin)
{
  Box b;
  b.Add(t0 <= 0 ? e.s : e.At(t0));
  b.Add(t1 >= e.length ? e.e : e.At(t1));
  // An arc bulges from its chord by its sagitta.
  b.Grow(margin + (e.arc ? e.radius * (1 - std::cos(std::fmin(t1 - t0, KelAngle::Pi) / 2)) : 0));
  return b;
}

// The elements cut into chunks about a cell long, each chunk's box filed by
// the square cells it meets.
class ChunkGrid {
public:
  ChunkGrid(const std::vector<Element>& elements, double margin)
  {
    Box all;
    double length = 0;
    for (const Element& e : elements) {
      all.Add(e.s);
      all.Add(e.e);
      if (e.arc) {
        all.Add(CKelCoord2D(e.c.m_x - e.radius, e.c.m_y - e.radius));
        all.Add(CKelCoord2D(e.c.m_x + e.radius, e.c.m_y + e.radius));
      }
      length += e.length * e.Scale();
    }
    all.Grow(margin);
    m_X0 = all.xmin;
    m_Y0 = all.ymin;
    const double w = all.xmax - all.xmin, h = all.ymax - all.ymin;
    // About one cell per element over the box, but none shorter than the
    // line's length shared out over sixteen times that many chunks:
    // a comb of short teeth at a large distance has arcs many metres long
    // on top of each other, and a short chunk meets fewer of them.
    const double n = static_cast<double>(elements.size());
    m_Cell = std::max({std::sqrt(w * h / n), length / (16 * n), (w + h) * 1e-9, 1e-9});
    m_Nx = static_cast<long>(w / m_Cell) + 1;
    m_Ny = static_cast<long>(h / m_Cell) + 1;
    m_Cells.resize(static_cast<std::size_t>(m_Nx * m_Ny));
    for (std::size_t k = 0; k < elements.size(); ++k) {
      const Element& e = elements[k];
      const int count = static_cast<int>(std::fmin(std::ceil(e.length * e.Scale() / m_Cell), 1e7)) + 1;
      m_First.push_back(static_cast<int>(m_Boxes.size()));
      for (int j = 0; j < count; ++j) {
        const double t0 = e.length * j / count, t1 = j + 1 == count ? e.length : e.length * (j + 1) / count;
        m_Boxes.push_back(PieceBox(e, t0, t1, margin));
        m_Owner.push_back(static_cast<int>(k));
        m_Step.push_back(t1 - t0);
        ForCells(m_Boxes.back(), [&](std::vector<int>& cell) { cell.push_back(static_cast<int>(m_Boxes.size()) - 1); });
      }
    }
    m_First.push_back(static_cast<int>(m_Boxes.size()));
  }

  int Chunks(int k) const
  {
    return m_First[static_cast<std::size_t>(k) + 1] - m_First[static_cast<std::size_t>(k)];
  }
  // The chunks of element k are equal parts of it.
  double Step(int k) const { return m_Step[static_cast<std::size_t>(m_First[static_cast<std::size_t>(k)])]; }
  const Box& ChunkBox(int k, int j) const
  {
    return m_Boxes[static_cast<std::size_t>(m_First[static_cast<std::size_t>(k)] + j)];
  }
  const Box& BoxOf(int chunk) const { return m_Boxes[static_cast<std::size_t>(chunk)]; }
  int Owner(int chunk) const { return m_Owner[static_cast<std::size_t>(chunk)]; }

  template <class F>
  void ForCells(const Box& b, F f)
  {
    const long i1 = Clamp(Index(b.xmin, m_X0), m_Nx), i2 = Clamp(Index(b.xmax, m_X0), m_Nx);
    const long j1 = Clamp(Index(b.ymin, m_Y0), m_Ny), j2 = Clamp(Index(b.ymax, m_Y0), m_Ny);
    for (long i = i1; i <= i2; ++i) {
      for (long j = j1; j <= j2; ++j)
        f(m_Cells[static_cast<std::size_t>(i * m_Ny + j)]);
    }
  }

private:
  long Index(double v, double v0) const { return static_cast<long>(std::floor((v - v0) / m_Cell)); }
  static long Clamp(long i, long n) { return std::max(0L, std::min(n - 1, i)); }

  double m_X0 = 0, m_Y0 = 0, m_Cell = 1;
  long m_Nx = 1, m_Ny = 1;
  std::vector<std::vector<int>> m_Cells;  // chunk numbers
  std::vector<Box> m_Boxes;               // per chunk
  std::vector<int> m_Owner;               // per chunk: its element
  std::vector<double> m_Step;             // per chunk: its length in t
  std::vector<int> m_First;               // per element: its first chunk
};

}  // namespace cline_geometry
