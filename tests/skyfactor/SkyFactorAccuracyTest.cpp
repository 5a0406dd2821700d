// The sky factor against exact values and against the ray-sampling
// reference: golden cases, convergence with the angle step, random block
// sets for both methods, and the invariants of covering.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "CSphereRatioBlock.h"
#include "SkyBlocks.h"
#include "SkyRayReference.h"
#include "SkyScene.h"

namespace {

using sky_test::Blocks;
using sky_test::Box;

constexpr double kExactG3 = 0.854344921;  // the wall x -50..50, y 10..15, 10 high
constexpr double kExactG7 = 0.921518646;  // the box x -5..5, y 10..20, from 10 to 20

const CKelCoord3D kOrigin(0, 0, 0);

double Ratio(const CKelBlockCubeArray& blocks, int step, bool sansya = false, double angle = 0)
{
  CSphereRatioBlock r;
  r.m_AngleStep = step;
  double ratio = -2;
  EXPECT_EQ(0, r.CalcSphereRatio(nullptr, -1, angle, false, blocks, kOrigin, &ratio, sansya));
  return ratio;
}

CKelBlockCubeArray G3() { return Blocks({Box(-50, 50, 10, 15, 10)}); }
CKelBlockCubeArray G7() { return Blocks({Box(-5, 5, 10, 20, 20, 10)}); }

// 600 x 600 rays land within 1.5e-4 of the exact value for these seeds.
TEST(SkyRayReference, GoldenCasesWithinSampling)
{
  for (std::uint64_t seed : {1u, 7u, 2026u}) {
    EXPECT_NEAR(kExactG3, sky_test::RayReference(G3(), kOrigin).SkyFactor(600, seed), 1.5e-4) << seed;
    EXPECT_NEAR(kExactG7, sky_test::RayReference(G7(), kOrigin).SkyFactor(600, seed), 1.5e-4) << seed;
  }
  EXPECT_EQ(1.0, sky_test::RayReference(Blocks({}), kOrigin).SkyFactor(50, 1));
  // A block below the check point stops nothing; one standing over the
  // whole sky (the check point inside its plan, under its bottom) stops all.
  EXPECT_EQ(1.0, sky_test::RayReference(Blocks({Box(-5, 5, 10, 20, -1, -5)}), kOrigin).SkyFactor(50, 1));
  EXPECT_EQ(0.0, sky_test::RayReference(Blocks({Box(-1e4, 1e4, -1e4, 1e4, 1e9, 1)}), kOrigin).SkyFactor(50, 1));
}

// The outline method's gap to the exact value falls with the square of the
// angle step (chords of the projected edges).
TEST(SkyFactorConvergence, GapFallsWithTheSquareOfTheStep)
{
  struct Row {
    int step;
    double gap;
  } rows[] = {{10, 1.41e-3}, {5, 3.59e-4}, {1, 1.50e-5}};
  std::vector<double> gaps;
  for (const Row& row : rows) {
    const double gap = kExactG3 - Ratio(G3(), row.step);
    EXPECT_NEAR(row.gap, gap, 0.02 * row.gap) << row.step;
    gaps.push_back(gap);
  }
  EXPECT_NEAR(4.0, gaps[0] / gaps[1], 0.2);
  EXPECT_NEAR(24.0, gaps[1] / gaps[2], 1.5);
}

using sky_test::RandomScene;
using sky_test::Scene;

constexpr std::uint64_t kSceneSeeds[] = {3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610};

TEST(SkyFactorRandomScenes, BothMethodsAgreeWithTheReference)
{
  for (std::uint64_t seed : kSceneSeeds) {
    const Scene scene = RandomScene(seed);
    const double reference = sky_test::RayReference(scene.blocks, kOrigin).SkyFactor(1000, seed);
    EXPECT_NEAR(reference, Ratio(scene.blocks, 1, false, scene.angle), 5e-4) << seed;
    EXPECT_NEAR(reference, Ratio(scene.blocks, 1, true, scene.angle), 5e-4) << seed;
  }
}

CKelBlockCubeArray Subset(const std::vector<CKelBlockCube>& list, std::size_t from, std::size_t to)
{
  CKelBlockCubeArray blocks;
  for (std::size_t k = from; k < to; ++k)
    blocks.AddBlock(list[k]);
  return blocks;
}

// Covered shares: the union at most the sum of the parts and at least the
// largest part; adding a block never opens sky; order does not matter. At
// step 10 crossings placed in the chart cost up to about 1.1e-4.
TEST(SkyFactorRandomScenes, CoveringInvariants)
{
  for (int step : {1, 10}) {
    const double tol = step == 1 ? 1e-5 : 2e-4;
    for (std::uint64_t seed : kSceneSeeds) {
      const Scene scene = RandomScene(seed);
      const double all = 1 - Ratio(scene.blocks, step, false, scene.angle);
      double sum = 0, largest = 0;
      for (std::size_t k = 0; k < scene.list.size(); ++k) {
        const double alone = 1 - Ratio(Subset(scene.list, k, k + 1), step, false, scene.angle);
        sum += alone;
        largest = std::max(largest, alone);
      }
      EXPECT_LE(all, sum + tol) << seed << " step " << step;
      EXPECT_GE(all, largest - tol) << seed << " step " << step;
      double previous = 1.0;
      for (std::size_t k = 1; k <= scene.list.size(); ++k) {
        const double r = Ratio(Subset(scene.list, 0, k), step, false, scene.angle);
        EXPECT_LE(r, previous + tol) << seed << " blocks " << k;
        previous = r;
      }
      if (step != 1)
        continue;
      std::vector<CKelBlockCube> reversed(scene.list.rbegin(), scene.list.rend());
      EXPECT_NEAR(1 - all, Ratio(Subset(reversed, 0, reversed.size()), step, false, scene.angle), 1e-9) << seed;
    }
  }
}

}  // namespace

namespace {

// The benchmark scene: every method gives a ratio at its check points, the
// methods agree, and the reference agrees with them.
TEST(SkyFactorScene, EveryPointComputesAndAgrees)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(12);
  ASSERT_EQ(12, blocks.Size());
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  for (std::size_t k : {0u, 33u, 99u}) {
    double ratios[2] = {0, 0};
    for (bool sansya : {false, true}) {
      CSphereRatioBlock r;
      r.m_AngleStep = 1;
      ASSERT_EQ(0, r.CalcSphereRatio(nullptr, -1, 0, false, blocks, points[k], &ratios[sansya], sansya)) << k;
    }
    EXPECT_GT(ratios[0], 0.3) << k;
    EXPECT_LT(ratios[0], 0.95) << k;
    EXPECT_NEAR(ratios[0], ratios[1], 1e-6) << k;
    EXPECT_NEAR(sky_test::RayReference(blocks, points[k]).SkyFactor(400, k), ratios[0], 5e-4) << k;
  }
}

}  // namespace
