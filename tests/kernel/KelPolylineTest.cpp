// The survey's reading of polylines (KelPolyline.h).
#include "KelPolyline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

// Points up to h either way off a line, turned and moved up to 3e5 m: the
// narrowest strip holding them is as wide as brute force finds (one of its
// lines runs through two of them), never wider than 2 h, listed either way;
// two ends h off one way and a middle point h off the other lie 2 h apart.
TEST(KelPolyline, StripWidthIsTheNarrowestStripHoldingThePoints)
{
  std::mt19937_64 rng(106);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int round = 0; round < 200; ++round) {
    const double turn = 6.283185307179586 * unit(rng), c = std::cos(turn), s = std::sin(turn), far = round % 2 * 3e5;
    const double length = 0.05 + 20 * unit(rng), h = 1e-3 * unit(rng);
    std::vector<CKelCoord2D> pts;
    for (int k = 0, count = 3 + round % 12; k < count; ++k) {
      const double along = length * k / (count - 1), across = h * (2 * unit(rng) - 1);
      pts.emplace_back(far + c * along - s * across, -far + s * along + c * across);
    }
    double brute = 1e300;
    for (const CKelCoord2D& a : pts) {
      for (const CKelCoord2D& b : pts) {
        const double len = a.GetLength(b);
        double lo = 0, hi = 0;
        for (const CKelCoord2D& p : pts) {
          const double across = ((b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x)) / len;
          lo = std::min(lo, across);
          hi = std::max(hi, across);
        }
        brute = len > 0 ? std::min(brute, hi - lo) : brute;
      }
    }
    const double width = kel_polyline::StripWidth(pts, 0, pts.size() - 1);
    EXPECT_NEAR(width, brute, 1e-9) << round;
    EXPECT_LE(width, 2 * h + 1e-9) << round;
    std::reverse(pts.begin(), pts.end());
    EXPECT_NEAR(kel_polyline::StripWidth(pts, 0, pts.size() - 1), width, 1e-9) << round;
  }
  const std::vector<CKelCoord2D> bow = {{0, 1e-3}, {3, 1e-3}, {6, -1e-3}, {9, 1e-3}, {12, 1e-3}};
  EXPECT_NEAR(kel_polyline::StripWidth(bow, 1, 3), 2e-3, 1e-12);
  EXPECT_EQ(kel_polyline::StripWidth({{0, 0}, {1, 1}, {2, 2}, {5, 5}}, 0, 3), 0);
  // A side listed every 8 cm with 4e-5 m of scatter, then the lot's far
  // corners (found by the site sweep, seed 1872): as wide as the lot.
  std::vector<CKelCoord2D> lot;
  std::ifstream in(std::filesystem::path(TEST_DATA_DIR) / "dense_side_and_far_corners.txt");
  for (double x = 0, y = 0; in >> x >> y;)
    lot.emplace_back(x, y);
  ASSERT_EQ(lot.size(), 305u);
  EXPECT_GT(kel_polyline::StripWidth(lot, 0, lot.size() - 1), 40);
}

// A side listed every 1 to 5 cm, scattered either way by up to s, ending at
// a corner read `slide` along the next side beyond a bend of `bend`
// degrees; turned and moved up to 3e5 m, listed either way. Scatter within
// the on-line distance draws one side wherever the corner was read within
// 10 cm of a slight bend; more scatter, a corner read farther along or
// beyond a sharper bend, or a gentle bow to one side does not.
TEST(KelPolyline, DrawsSideTakesTheScatterAndTheCornersSlide)
{
  struct Row {
    double s, slide, bend, bow;
    bool draws;
  };
  const Row rows[] = {
      {0, 0, 0, 0, true},           {1e-3, 0, 0, 0, true},        {1e-3, 0.06, 2, 0, true},
      {1e-3, 0.09, 2, 0, true},     {1.3e-3, 0, 0, 0, false},     {1e-3, 0.3, 2, 0, false},
      {1e-3, 0.06, 10, 0, false},   {0, 0, 0, 1.5e-3, false},     {0, 0, 0, 0.9e-3, true},
  };
  std::mt19937_64 rng(1106);
  std::uniform_real_distribution<double> unit(0, 1);
  for (const Row& row : rows) {
    for (int round = 0; round < 20; ++round) {
      const double turn = 6.283185307179586 * unit(rng), c = std::cos(turn), s = std::sin(turn);
      const double far = round % 2 * 3e5, length = 20, pitch = 0.01 + 0.04 * unit(rng);
      std::vector<CKelCoord2D> local{{0, 0}};
      for (double along = pitch; along < length - pitch / 2; along += pitch) {
        const double u = along / length, across = 4 * row.bow * u * (1 - u);
        // The extremes of the scatter, so a row beyond the on-line distance
        // surely lies beyond it.
        local.emplace_back(along, across + (local.size() % 2 == 0 ? row.s : -row.s) * (0.9 + 0.1 * unit(rng)));
      }
      const double b = row.bend * 3.141592653589793 / 180;
      for (double along = pitch; along < row.slide; along += pitch)
        local.emplace_back(length + along * std::cos(b), along * std::sin(b));
      local.emplace_back(length + row.slide * std::cos(b), row.slide * std::sin(b));
      std::vector<CKelCoord2D> pts;
      for (const CKelCoord2D& p : local)
        pts.emplace_back(far + c * p.m_x - s * p.m_y, -far + s * p.m_x + c * p.m_y);
      EXPECT_EQ(kel_polyline::DrawsSide(pts, 0, pts.size() - 1), row.draws)
          << "scatter " << row.s << ", slide " << row.slide << ", bend " << row.bend << ", bow " << row.bow;
      std::reverse(pts.begin(), pts.end());
      EXPECT_EQ(kel_polyline::DrawsSide(pts, 0, pts.size() - 1), row.draws) << "reversed";
    }
  }
}
