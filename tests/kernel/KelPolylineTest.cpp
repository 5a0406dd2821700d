// The survey's reading of polylines (KelPolyline.h).
#include "KelPolyline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using P = CKelCoord2D;

// The narrowest strip by brute force: one of its lines runs through two of
// the points.
double WidthByPairs(const std::vector<P>& pts)
{
  double best = 0;
  bool any = false;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    for (std::size_t j = i + 1; j < pts.size(); ++j) {
      const double ux = pts[j].m_x - pts[i].m_x, uy = pts[j].m_y - pts[i].m_y, len = std::hypot(ux, uy);
      if (!(len > 0))
        continue;
      double lo = 0, hi = 0;
      for (const P& p : pts) {
        const double across = (ux * (p.m_y - pts[i].m_y) - uy * (p.m_x - pts[i].m_x)) / len;
        lo = std::min(lo, across);
        hi = std::max(hi, across);
      }
      best = any ? std::min(best, hi - lo) : hi - lo;
      any = true;
    }
  }
  return best;
}

}  // namespace

// Points scattered up to h either way about a line, turned and moved up to
// 3e5 m: the strip is as wide as brute force finds, never wider than 2 h,
// whatever order they are listed in; a line's points and a point alone
// have none. Two ends h off one way and a middle point h off the other way
// lie 2 h apart across the strip.
TEST(KelPolyline, StripWidthIsTheNarrowestStripHoldingThePoints)
{
  std::mt19937_64 rng(106);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int round = 0; round < 200; ++round) {
    const double turn = 6.283185307179586 * unit(rng), c = std::cos(turn), s = std::sin(turn);
    const double ox = round % 2 == 0 ? 0 : 3e5, oy = round % 2 == 0 ? 0 : -1.2e5;
    const double length = 0.05 + 20 * unit(rng), h = 1e-3 * unit(rng);
    std::vector<P> pts;
    const int count = 3 + round % 12;
    for (int k = 0; k < count; ++k) {
      const double along = length * k / (count - 1), across = h * (2 * unit(rng) - 1);
      pts.emplace_back(ox + c * along - s * across, oy + s * along + c * across);
    }
    const double width = kel_polyline::StripWidth(pts, 0, pts.size() - 1);
    EXPECT_NEAR(width, WidthByPairs(pts), 1e-9) << round;
    EXPECT_LE(width, 2 * h + 1e-9) << round;
    std::reverse(pts.begin(), pts.end());
    EXPECT_NEAR(kel_polyline::StripWidth(pts, 0, pts.size() - 1), width, 1e-9) << round;
  }
  const std::vector<P> bow = {{0, 1e-3}, {3, 1e-3}, {6, -1e-3}, {9, 1e-3}, {12, 1e-3}};
  EXPECT_NEAR(kel_polyline::StripWidth(bow, 0, 4), 2e-3, 1e-12);
  EXPECT_NEAR(kel_polyline::StripWidth(bow, 1, 3), 2e-3, 1e-12);
  EXPECT_EQ(kel_polyline::StripWidth({{0, 0}, {1, 1}, {2, 2}, {5, 5}}, 0, 3), 0);
  EXPECT_EQ(kel_polyline::StripWidth(bow, 2, 2), 0);
}
