// Check lines of many-sided outlines measured against the offset curve they
// stand for, by checks of their own: every point of the line keeps the
// distance from the site, the line never crosses itself, and it encloses
// the area of the points within the distance of the site.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "CClineData.h"

namespace {

using Pts = std::vector<CKelCoord2D>;

double SquaredSegmentDistance(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / l2, 0.0, 1.0) : 0.0;
  const double ex = p.m_x - a.m_x - t * dx, ey = p.m_y - a.m_y - t * dy;
  return ex * ex + ey * ey;
}

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

// Segments filed by square cells, for the look-ups near a point.
class SegmentGrid {
public:
  SegmentGrid(const std::vector<std::pair<CKelCoord2D, CKelCoord2D>>& segments, double cell)
      : m_Segments(segments), m_Cell(cell)
  {
    double x1 = -1e300, y1 = -1e300;
    for (const auto& [a, b] : segments) {
      m_X0 = std::min({m_X0, a.m_x, b.m_x});
      m_Y0 = std::min({m_Y0, a.m_y, b.m_y});
      x1 = std::max({x1, a.m_x, b.m_x});
      y1 = std::max({y1, a.m_y, b.m_y});
    }
    m_Nx = Index(x1, m_X0) + 1;
    m_Ny = Index(y1, m_Y0) + 1;
    m_Cells.resize(static_cast<std::size_t>(m_Nx * m_Ny));
    for (std::size_t k = 0; k < segments.size(); ++k) {
      const auto& [a, b] = segments[k];
      for (long i = Index(std::min(a.m_x, b.m_x), m_X0); i <= Index(std::max(a.m_x, b.m_x), m_X0); ++i) {
        for (long j = Index(std::min(a.m_y, b.m_y), m_Y0); j <= Index(std::max(a.m_y, b.m_y), m_Y0); ++j)
          m_Cells[static_cast<std::size_t>(i * m_Ny + j)].push_back(static_cast<int>(k));
      }
    }
  }

  // The distance from p to the nearest segment, or r when none is nearer.
  double Distance(const CKelCoord2D& p, double r) const
  {
    double best = r * r;
    ForCells(p.m_x - r, p.m_y - r, p.m_x + r, p.m_y + r, [&](const std::vector<int>& c) {
      for (int k : c)
        best = std::min(best, SquaredSegmentDistance(p, m_Segments[k].first, m_Segments[k].second));
    });
    return std::sqrt(best);
  }

  // The cells' lists, for the pairs that may cross.
  template <class F>
  void ForEachCell(F f) const
  {
    for (const std::vector<int>& list : m_Cells)
      f(list);
  }

private:
  template <class F>
  void ForCells(double x1, double y1, double x2, double y2, F f) const
  {
    const long i1 = std::max(0L, Index(x1, m_X0)), i2 = std::min(m_Nx - 1, Index(x2, m_X0));
    const long j1 = std::max(0L, Index(y1, m_Y0)), j2 = std::min(m_Ny - 1, Index(y2, m_Y0));
    for (long i = i1; i <= i2; ++i) {
      for (long j = j1; j <= j2; ++j)
        f(m_Cells[static_cast<std::size_t>(i * m_Ny + j)]);
    }
  }
  long Index(double v, double v0) const { return static_cast<long>(std::floor((v - v0) / m_Cell)); }

  std::vector<std::pair<CKelCoord2D, CKelCoord2D>> m_Segments;
  double m_Cell;
  double m_X0 = 1e300, m_Y0 = 1e300;
  long m_Nx = 0, m_Ny = 0;
  std::vector<std::vector<int>> m_Cells;
};

struct Arc {
  CKelCoord2D centre;
  double from = 0, sweep = 0;
};

Arc ArcOf(const CClineData& line, const ClineElement& e)
{
  const CKelCoord2D& s = line[static_cast<std::size_t>(e.start)];
  const CKelCoord2D& t = line[static_cast<std::size_t>(e.end)];
  const CKelCoord2D& c = line[static_cast<std::size_t>(e.centre)];
  const double from = std::atan2(s.m_y - c.m_y, s.m_x - c.m_x);
  double sweep = std::atan2(t.m_y - c.m_y, t.m_x - c.m_x) - from;
  if (sweep < 0)
    sweep += 2 * M_PI;
  return {c, from, sweep};
}

// The line as a closed chain of points: its vertices, and along its
// arcs a point at least every 0.02 rad.
Pts Trace(const CClineData& line)
{
  Pts chain;
  const double d = line.m_Distance;
  for (const ClineElement& e : line.Elements()) {
    chain.push_back(line[static_cast<std::size_t>(e.start)]);
    if (!e.IsArc())
      continue;
    const Arc arc = ArcOf(line, e);
    const int steps = static_cast<int>(std::ceil(arc.sweep / 0.02));
    for (int q = 1; q < steps; ++q) {
      const double a = arc.from + arc.sweep * q / steps;
      chain.emplace_back(arc.centre.m_x + d * std::cos(a), arc.centre.m_y + d * std::sin(a));
    }
  }
  return chain;
}

// The area the line encloses, its arcs taken whole.
double EnclosedArea(const CClineData& line)
{
  const double d = line.m_Distance;
  double twice = 0;
  for (const ClineElement& e : line.Elements()) {
    const CKelCoord2D& s = line[static_cast<std::size_t>(e.start)];
    const CKelCoord2D& t = line[static_cast<std::size_t>(e.end)];
    if (!e.IsArc()) {
      twice += s.m_x * t.m_y - t.m_x * s.m_y;
      continue;
    }
    const Arc arc = ArcOf(line, e);
    const double to = arc.from + arc.sweep;
    twice += d * arc.centre.m_x * (std::sin(to) - std::sin(arc.from)) -
             d * arc.centre.m_y * (std::cos(to) - std::cos(arc.from)) + d * d * arc.sweep;
  }
  return twice / 2;
}

bool ProperlyCross(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& e)
{
  auto side = [](const CKelCoord2D& o, const CKelCoord2D& p, const CKelCoord2D& q) {
    const double v = (p.m_x - o.m_x) * (q.m_y - o.m_y) - (p.m_y - o.m_y) * (q.m_x - o.m_x);
    return (v > 0) - (v < 0);
  };
  return side(c, e, a) * side(c, e, b) < 0 && side(a, b, c) * side(a, b, e) < 0;
}

int SelfCrossings(const Pts& chain)
{
  const std::size_t n = chain.size();
  std::vector<std::pair<CKelCoord2D, CKelCoord2D>> pieces;
  for (std::size_t k = 0; k < n; ++k)
    pieces.emplace_back(chain[k], chain[(k + 1) % n]);
  const SegmentGrid grid(pieces, 2.0);
  std::set<std::pair<int, int>> found;
  grid.ForEachCell([&](const std::vector<int>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      for (std::size_t j = i + 1; j < list.size(); ++j) {
        const int p = std::min(list[i], list[j]), q = std::max(list[i], list[j]);
        const bool neighbours = q - p <= 1 || (p == 0 && q + 1 == static_cast<int>(n));
        if (!neighbours && ProperlyCross(pieces[p].first, pieces[p].second, pieces[q].first, pieces[q].second))
          found.insert({p, q});
      }
    }
  });
  return static_cast<int>(found.size());
}

// The area within d of an outline that is star-shaped about the origin, by
// rays: each leaves the offset region where its distance to the outline
// passes d for the last time.
double OffsetArea(const Pts& outline, double d, const SegmentGrid& edges, int rays)
{
  double reach = 0;
  for (const CKelCoord2D& p : outline)
    reach = std::max(reach, std::hypot(p.m_x, p.m_y));
  double area = 0;
  for (int r = 0; r < rays; ++r) {
    const double a = 2 * M_PI * (r + 0.5) / rays;
    const double ux = std::cos(a), uy = std::sin(a);
    // Inwards from beyond the reach in steps to the first point within d,
    // then halving: the outermost boundary, even where a ray passes a dip.
    auto within = [&](double t) { return edges.Distance(CKelCoord2D(t * ux, t * uy), d * 1.001) <= d; };
    double hi = reach + d + 1, lo = hi;
    while (lo > 0 && !within(lo))
      lo -= d / 8;
    hi = std::min(hi, lo + d / 8);
    for (int i = 0; i < 40; ++i) {
      const double mid = (lo + hi) / 2;
      (within(mid) ? lo : hi) = mid;
    }
    area += lo * lo / 2 * (2 * M_PI / rays);
  }
  return area;
}

// The three properties of a sound check line of the outline.
void ExpectSoundLine(const Pts& outline, const CClineData& line)
{
  const double d = line.m_Distance;
  ASSERT_EQ(static_cast<int>(line.size()), line.CheckData());
  const Pts chain = Trace(line);
  ASSERT_GE(chain.size(), 3u);
  std::vector<std::pair<CKelCoord2D, CKelCoord2D>> edges;
  for (std::size_t k = 0, j = outline.size() - 1; k < outline.size(); j = k++)
    edges.emplace_back(outline[j], outline[k]);
  const SegmentGrid grid(edges, d / 2);
  EXPECT_FALSE(Inside(outline, chain.front()));
  // Points along the straight runs too: a run can pass a corner nearer than
  // its ends do.
  double nearest = 1e300;
  CKelCoord2D at;
  for (std::size_t k = 0; k < chain.size(); ++k) {
    const CKelCoord2D& p = chain[k];
    const CKelCoord2D& q = chain[(k + 1) % chain.size()];
    const int steps = 1 + static_cast<int>(std::hypot(q.m_x - p.m_x, q.m_y - p.m_y) / (d / 8));
    for (int s = 0; s < steps; ++s) {
      const CKelCoord2D x(p.m_x + (q.m_x - p.m_x) * s / steps, p.m_y + (q.m_y - p.m_y) * s / steps);
      const double dist = grid.Distance(x, d);
      if (dist < nearest) {
        nearest = dist;
        at = x;
      }
    }
  }
  EXPECT_GE(nearest, d - 1e-5) << testing::PrintToString(nearest) << " at (" << at.m_x << ", " << at.m_y << ")";
  EXPECT_EQ(0, SelfCrossings(chain));
  const double offset = OffsetArea(outline, d, grid, 3000);
  EXPECT_NEAR(offset, EnclosedArea(line), 1e-4 * offset);
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
// stopped the cutting with loops left.
TEST(ClineOffset, SurveyedOutlinesGiveSoundLines)
{
  for (const char* name : {"cline-rippled-1326.txt", "cline-rippled-1426.txt", "cline-rippled-658-full-arc.txt",
                           "cline-rippled-1124-arcs-inside.txt"}) {
    SCOPED_TRACE(name);
    double d = 0;
    const Pts outline = ReadOutline(name, &d);
    ASSERT_GT(outline.size(), 600u);
    ExpectSoundLine(outline, LineOf(outline, d));
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
    if (HasFailure())
      return;
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
