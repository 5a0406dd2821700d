// Point location through the index of edges by level: the same answer as
// the plain location for every point, on outlines with the shapes that make
// an index by level weak (long level runs, shallow arcs, vertices sharing
// levels) and at the points where the answer turns (vertices, midpoints,
// the edge band's boundary).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelEdge.h"
#include "KelTolerance.h"
#include "LocateLiteral.h"

namespace {

using Crossing = CKelArea<CKelCoord2D>::Crossing;

double Uniform(std::mt19937_64& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }

// A block seen on the chart: a level run along the horizon, a side, a
// shallow arc of many steps back, the other side; corners snapped to 1/64 so
// that vertices of different runs share levels exactly.
std::vector<CKelCoord2D> ChartBlock(std::mt19937_64& rng)
{
  const auto snap = [](double v) { return std::round(v * 64) / 64; };
  const double x0 = snap(-1 + 2 * Uniform(rng)), x1 = snap(x0 + 0.05 + Uniform(rng));
  const double top = snap(0.05 + 0.5 * Uniform(rng)), bend = 0.1 * Uniform(rng);
  const int steps = 2 + static_cast<int>(rng() % 40);
  std::vector<CKelCoord2D> pts;
  for (int k = 0; k <= steps; ++k)
    pts.emplace_back(x0 + (x1 - x0) * k / steps, 0.0);
  for (int k = steps; k >= 0; --k) {
    const double u = static_cast<double>(k) / steps;
    pts.emplace_back(x0 + (x1 - x0) * u, top + bend * std::sin(3.14159 * u));
  }
  return pts;
}

// A star with radii on a coarse grid, so that levels repeat.
std::vector<CKelCoord2D> Star(std::mt19937_64& rng)
{
  const int n = 3 + static_cast<int>(rng() % 60);
  std::vector<CKelCoord2D> pts;
  for (int k = 0; k < n; ++k) {
    const double r = 0.25 + std::round(8 * Uniform(rng)) / 8;
    const double a = 6.283185307179586 * k / n;
    pts.emplace_back(std::round(64 * r * std::cos(a)) / 64, std::round(64 * r * std::sin(a)) / 64);
  }
  return pts;
}

// Vertices, midpoints, points beside both at the edge band and twice it,
// random points over the box.
std::vector<CKelCoord2D> Probes(const std::vector<CKelCoord2D>& pts, double tol, std::mt19937_64& rng)
{
  std::vector<CKelCoord2D> probes;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& a = pts[i];
    const CKelCoord2D& b = pts[(i + 1) % n];
    const CKelCoord2D mid((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
    for (const CKelCoord2D& p : {a, mid}) {
      probes.push_back(p);
      for (const double d : {tol, 2 * tol, -tol, -2 * tol}) {
        probes.emplace_back(p.m_x + d, p.m_y);
        probes.emplace_back(p.m_x, p.m_y + d);
      }
    }
  }
  for (int k = 0; k < 200; ++k) {
    // One draw per statement: a call's arguments come in no fixed order.
    const double x = -1.5 + 4 * Uniform(rng);
    probes.emplace_back(x, -0.5 + 2 * Uniform(rng));
  }
  return probes;
}

void ExpectSameAnswers(const std::vector<CKelCoord2D>& pts, std::mt19937_64& rng, int seed)
{
  CKelAreaCoord2D area;
  area.m_pt = pts;
  area.SetMaxMin();
  for (const double tol : {KelTol::SkyUnionInside, 1e-3}) {
    for (const Crossing crossing : {Crossing::TenthTol, Crossing::WholeTol}) {
      const KelEdge::LevelIndex index(pts, CKelAreaCoord2D::InAreaBand(tol, crossing));
      for (const CKelCoord2D& p : Probes(pts, tol, rng)) {
        ASSERT_EQ(locate_literal::InArea(area, p, tol, crossing), area.InArea(p, index, tol, crossing))
            << "seed " << seed << " tol " << tol << " at " << p.m_x << ", " << p.m_y;
      }
    }
  }
}

TEST(KelEdgeLevelIndex, AnswersAsThePlainLocationOnRandomOutlines)
{
  for (int seed = 0; seed < 150; ++seed) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(seed));
    ExpectSameAnswers(seed % 2 == 0 ? ChartBlock(rng) : Star(rng), rng, seed);
  }
}

TEST(KelEdgeLevelIndex, OutlinesItCannotIndexFallBackToThePlainLocation)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<CKelCoord2D>> outlines = {
      {{0, 0}, {1, 0}, {1, nan}, {0, 1}},
      {{0, 0}, {inf, 0}, {1, 1}},
      {{0, 0}, {1, 0}},
      {{0, 0.5}, {1, 0.5}, {2, 0.5}},  // every vertex on one level
      {{0, 0}, {0, 0}, {0, 0}},
  };
  const KelEdge::LocateTol band = CKelAreaCoord2D::InAreaBand(1e-3, Crossing::TenthTol);
  for (const std::vector<CKelCoord2D>& pts : outlines) {
    CKelAreaCoord2D area;
    area.m_pt = pts;
    area.SetMaxMin();
    const KelEdge::LevelIndex index(pts, band);
    for (const CKelCoord2D& p : {CKelCoord2D(0.5, 0.25), CKelCoord2D(0.5, 0.5), CKelCoord2D(0, 0),
                                 CKelCoord2D(nan, 0.5), CKelCoord2D(0.5, inf)})
      EXPECT_EQ(locate_literal::InArea(area, p, 1e-3, Crossing::TenthTol), area.InArea(p, index, 1e-3, Crossing::TenthTol));
  }
}

}  // namespace
