// The division's piece search against its first, copying form
// (DivideLiteral.h): the same pieces, vertex for vertex and bit for bit, in
// the same order, on random stars, combs and staircases cut by lines through
// vertices, along edges and at random.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CKelBlockCube.h"
#include "DivideLiteral.h"
#include "VolumeShapeSupport.h"

namespace {

using vol_shape::Plan;

bool SameVertex(const CKelBlockCoord& a, const CKelBlockCoord& b)
{
  return a.m_x == b.m_x && a.m_y == b.m_y && a.m_z == b.m_z && a.m_zL == b.m_zL && a.m_OffH == b.m_OffH &&
         a.m_OffL == b.m_OffL && a.m_FlrH == b.m_FlrH && a.m_FlrL == b.m_FlrL;
}

// Counts the lines that divided the block.
int ExpectSameDivision(const CKelBlockCube& block, CKelCoord2D p1, CKelCoord2D p2)
{
  CKelBlockCubeList out;
  const bool divided = block.Divide(nullptr, p1, p2, out, 0);
  const std::vector<CKelBlockCoordArray> expected = divide_literal::Divide(block, p1, p2);
  EXPECT_EQ(divided, !expected.empty());
  EXPECT_EQ(out.size(), expected.size());
  if (out.size() != expected.size())
    return 0;
  for (std::size_t k = 0; k < out.size(); ++k) {
    const CKelBlockCoordArray& got = out[k].m_Coord;
    EXPECT_EQ(got.size(), expected[k].size()) << "piece " << k;
    if (got.size() != expected[k].size())
      continue;
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(SameVertex(got[i], expected[k][i])) << "piece " << k << " vertex " << i;
  }
  return divided ? 1 : 0;
}

// Lines through each of a few vertices (level and at an angle), along an
// edge, and one at random.
int CutEveryWay(const CKelBlockCube& block, const Plan& plan, std::mt19937& rng)
{
  std::uniform_real_distribution<double> unit(-1, 1);
  int divided = 0;
  const std::size_t stride = std::max<std::size_t>(1, plan.size() / 6);
  for (std::size_t i = 0; i < plan.size(); i += stride) {
    const CKelCoord2D v(plan[i].first, plan[i].second);
    const CKelCoord2D w(plan[(i + 1) % plan.size()].first, plan[(i + 1) % plan.size()].second);
    const double angle = 3.14159 * unit(rng);
    divided += ExpectSameDivision(block, v, {v.m_x + 1, v.m_y});
    divided += ExpectSameDivision(block, v, {v.m_x + std::cos(angle), v.m_y + std::sin(angle)});
    divided += ExpectSameDivision(block, v, w);
  }
  // One line per end: a call's arguments come in no fixed order, braces are
  // read in order.
  const CKelCoord2D from{unit(rng), unit(rng)};
  const CKelCoord2D to{unit(rng) + 3, unit(rng) - 3};
  divided += ExpectSameDivision(block, from, to);
  return divided;
}

TEST(CKelBlockCubeDivideSameTest, RandomOutlinesGiveThePiecesOfTheCopyingSearch)
{
  std::mt19937 rng(39);
  std::uniform_real_distribution<double> unit(-1, 1);
  int divided = 0;
  for (const int n : {10, 17, 40, 120, 600}) {
    for (int trial = 0; trial < (n > 200 ? 2 : 12); ++trial) {
      const Plan star = vol_shape::Star(rng, n);
      const vol_shape::Planar top{20, unit(rng), unit(rng)};
      const vol_shape::Planar bottom{1, 0.1 * unit(rng), 0.1 * unit(rng)};
      const CKelBlockCube block = vol_shape::BlockOver(star, top, bottom);
      divided += CutEveryWay(block, star, rng);
    }
  }
  // 250 teeth: long chains, cut in place, from the first chord to the last.
  for (const int teeth : {1, 3, 25, 120, 250}) {
    const Plan comb = vol_shape::Comb(teeth);
    const CKelBlockCube block = vol_shape::BlockOver(comb, {10, 0.1, 0.2});
    if (teeth < 100)
      divided += CutEveryWay(block, comb, rng);
    divided += ExpectSameDivision(block, {0, 5}, {1, 5});
    divided += ExpectSameDivision(block, {0, 0}, {1, 0});  // along the gaps' floors
  }
  for (int trial = 0; trial < 40; ++trial) {
    const Plan steps = vol_shape::OrthoSkyline(rng, 2 + trial % 30);
    divided += CutEveryWay(vol_shape::BlockOver(steps, {4}, {-2}), steps, rng);
  }
  EXPECT_GT(divided, 500);
}

}  // namespace
