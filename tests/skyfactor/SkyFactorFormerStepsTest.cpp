// The sky factor by the outline method against the same calculation with
// the union's former steps: the same code, the same united outlines and the
// same ratio, bit for bit, on random scenes and on a dense site.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CSphereRatioBlock.h"
#include "SkyScene.h"
#include "UnionPrevious.h"

namespace {

struct Settings {
  int step;
  int kind;
  bool inProjection;
  int nRound;
};

// Whether the calculation gave a ratio at all, so that a caller can tell
// the comparison covered ratios.
bool ExpectSameRatio(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, double angle, bool mirror,
                     const Settings& s, const std::string& where)
{
  CSphereRatioBlock fast;
  fast.m_AngleStep = s.step;
  fast.m_ExpandKind = s.kind;
  fast.m_bExpandInProjection = s.inProjection;
  double ratio = -1;
  const int code = fast.CalcSphereRatio(nullptr, s.nRound, angle, mirror, blocks, point, &ratio, false);
  const union_previous::Outcome former =
      union_previous::OutlineRatio(blocks, point, angle, mirror, s.step, s.kind, s.inProjection, s.nRound);
  EXPECT_EQ(former.code, code) << where;
  if (code != 0 || former.code != 0)
    return false;
  EXPECT_EQ(0, std::memcmp(&former.result.m_Ratio, &ratio, sizeof ratio)) << where << ": " << ratio;
  EXPECT_TRUE(former.result.m_Block == fast.m_Block) << where;
  return true;
}

TEST(SkyFactorFormerSteps, RandomScenesGiveTheSameRatiosBitForBit)
{
  int compared = 0;
  for (std::uint64_t seed = 1; seed <= 80; ++seed) {
    const sky_test::Scene scene = sky_test::RandomScene(seed);
    const Settings s{seed % 3 == 0 ? 10 : 1, seed % 2 == 0 ? 2 : 3, seed % 5 == 0, static_cast<int>(seed % 3) - 1};
    compared += ExpectSameRatio(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle, seed % 4 == 0, s,
                                "seed " + std::to_string(seed));
  }
  EXPECT_GT(compared, 60);
}

TEST(SkyFactorFormerSteps, ADenseSiteGivesTheSameRatiosBitForBit)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(96);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  int compared = 0;
  for (const std::size_t k : {0, 23, 50, 99})
    compared += ExpectSameRatio(blocks, points[k], 0, false, {1, 2, false, -1}, "point " + std::to_string(k));
  EXPECT_EQ(4, compared);
}

}  // namespace
