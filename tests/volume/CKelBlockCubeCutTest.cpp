// Cutting blocks by planes, levels and slant surfaces, convex pieces and
// merging: exact heights and volumes of the pieces in their order, the drop
// flags, the two level tolerances, steep faces whose snapped vertices carry
// height, and the convex pieces of random outlines summing to the whole.

#include "CKelBlockCube.h"

#include <gtest/gtest.h>

#include <random>

#include "CKelBlockCubeArray.h"
#include "VolumeShapeSupport.h"
#include "VolumeTestSupport.h"

namespace {

using vol_shape::BlockOver;
using vol_shape::Plan;
using vol_shape::PlanOf;
using vol_shape::Volume;

const Plan kBox4{{0, 0}, {4, 0}, {4, 4}, {0, 4}};

std::vector<double> Volumes(const CKelBlockCubeList& blocks)
{
  std::vector<double> v;
  for (const CKelBlockCube& b : blocks)
    v.push_back(Volume(b));
  return v;
}

void ExpectVolumes(const CKelBlockCubeList& blocks, const std::vector<double>& expected)
{
  const std::vector<double> got = Volumes(blocks);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t k = 0; k < got.size(); ++k)
    EXPECT_NEAR(got[k], expected[k], 1e-9) << k;
}

// --- General planes -----------------------------------------------------------------------------

TEST(CKelBlockCubeCutTest, CutByPlaneKeepsTheLowerOrUpperPartClippedToThePlane)
{
  const CKelBlockCube box = vol_test::Box(0, 0, 4, 4, 10);
  CKelBlockCubeList none;
  box.CutByPlane2(nullptr, 0, 0, 1, -12, true, none);
  EXPECT_TRUE(none.empty());

  // z = 5 level, z = 5 + x (misses the top), z = 8 + x (crosses the top at x = 2).
  const struct {
    double A, B, C, D;
    bool lower;
    std::vector<double> volumes;
  } cases[] = {
      {0, 0, 1, -5, true, {80}},        {0, 0, 1, -5, false, {80}},
      {-1, 0, 1, -5, true, {112}},      {-1, 0, 1, -5, false, {48}},
      {-1, 0, 1, -8, true, {80, 72}},   {-1, 0, 1, -8, false, {8}},
  };
  for (const auto& c : cases) {
    CKelBlockCubeList out;
    box.CutByPlane1(nullptr, c.A, c.B, c.C, c.D, c.lower, out);
    ExpectVolumes(out, c.volumes);
  }
}

TEST(CKelBlockCubeCutTest, AnUpperPartKeepsItsNewBottomInAList)
{
  const CKelBlockCube box = vol_test::Box(0, 0, 4, 4, 10);
  ASSERT_FALSE(box.IsTyuku());
  CKelBlockCubeList upper;
  box.CutByPlane1(nullptr, 0, 0, 1, -5, false, upper);
  ASSERT_EQ(upper.size(), 1u);
  CKelBlockCubeArray list;
  list.AddBlock(upper[0]);
  EXPECT_TRUE(list[0].IsTyuku());
  EXPECT_EQ(list[0].m_Coord[2].m_zL, 5.0);
  EXPECT_EQ(list[0].m_Coord[2].m_z, 10.0);
  EXPECT_DOUBLE_EQ(list[0].Check_CalcZL({1, 1}), 5.0);

  // A top lying in the plane stays as it is.
  CKelBlockCubeList same;
  box.CutByPlane1(nullptr, 0, 0, 1, -10, true, same);
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0], box);
}

TEST(CKelBlockCubeCutTest, CutCrossLineDividesWhereTheTopsMeetAndRefusesParallelTops)
{
  const CKelBlockCube sloped = BlockOver(kBox4, {4, 1, 0});
  const CKelBlockCube level = BlockOver(kBox4, {6});
  CKelBlockCubeList out;
  EXPECT_FALSE(level.CutCrossLine(nullptr, &level, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(sloped.CutCrossLine(nullptr, &level, out));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_DOUBLE_EQ(out[0].Menseki(), 8.0);
  EXPECT_FALSE(sloped.CutCrossLine(nullptr, nullptr, out));
}

// --- Levels ------------------------------------------------------------------------------------

TEST(CKelBlockCubeCutTest, LevelCutsGiveUpperBeforeLowerAndHonourTheDropFlags)
{
  const CKelBlockCube box = vol_test::Box(0, 0, 4, 4, 10);
  struct Case {
    double h;
    bool dropUpper, dropLower;
    std::vector<std::pair<double, double>> bottomTop;
  } cases[] = {
      {5, false, false, {{5, 10}, {0, 5}}},
      {5, true, false, {{0, 5}}},
      {5, false, true, {{5, 10}}},
      {12, false, false, {{0, 10}}},
  };
  for (const Case& c : cases) {
    const CKelBlockCubeList out = box.CutBlock(nullptr, c.h, c.dropUpper, c.dropLower);
    ASSERT_EQ(out.size(), c.bottomTop.size()) << c.h;
    for (std::size_t k = 0; k < out.size(); ++k) {
      EXPECT_EQ(out[k].m_Coord[0].m_zL, c.bottomTop[k].first);
      EXPECT_EQ(out[k].m_Coord[0].m_z, c.bottomTop[k].second);
    }
  }
  // Within 1e-4 of h a top is not above for the coarse cut, but is for the fine one.
  EXPECT_EQ(box.CutBlock(nullptr, 10 - 5e-5, false, false).size(), 2u);
  EXPECT_EQ(box.CutPlaneBlock(nullptr, 10 - 5e-5, 0, 0).size(), 1u);
  EXPECT_EQ(box.CutPlaneBlock(nullptr, 5, 0, 0).size(), 2u);
  EXPECT_EQ(box.CutPlaneBlock(nullptr, 5, 1, 0).size(), 1u);
}

TEST(CKelBlockCubeCutTest, ASlopedTopIsDividedWhereItCrossesTheLevel)
{
  const CKelBlockCube sloped = BlockOver(kBox4, {4, 1, 0});  // top 4 + x
  CKelBlockCubeList out;
  sloped.CutTopSlope(nullptr, 6, out, false, false);
  ExpectVolumes(out, {56, 40});
  EXPECT_DOUBLE_EQ(out[0].Menseki(), 8.0);
  EXPECT_DOUBLE_EQ(out[1].Menseki(), 8.0);
  sloped.CutTopSlope(nullptr, 6, out, true, false);
  ExpectVolumes(out, {40});

  ExpectVolumes(sloped.CutBlock(nullptr, 6, false, false), {40, 8, 48});
  ExpectVolumes(sloped.CutBlock(nullptr, 6, true, false), {40, 48});

  // A sloped bottom 1 + 0.5 y cut at 2: both halves; one lying at the level stays.
  const CKelBlockCube bottom = BlockOver(kBox4, {10}, {1, 0, 0.5});
  bottom.CutBotSlope(nullptr, 2, out, false, false);
  EXPECT_EQ(out.size(), 2u);
  bottom.CutBotSlope(nullptr, 2, out, true, false);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_DOUBLE_EQ(out[0].YMax(), 2.0);
  const CKelBlockCube levelBottom = BlockOver(kBox4, {10}, {2});
  levelBottom.CutBotSlope(nullptr, 2, out, true, true);
  EXPECT_EQ(out.size(), 1u);
}

TEST(CKelBlockCubeCutTest, ASnappedVertexOnASteepTopDoesNotDecideItsPiecesSide)
{
  // Top 10 + 10 x: the vertex (0.50002, 0) snaps onto x = 0.5 and keeps
  // 15.0002, more than 1e-4 above the level 15.
  const CKelBlockCube steep = BlockOver({{0, 0}, {0.50002, 0}, {1, 0}, {1, 1}, {0, 1}}, {10, 10, 0});
  CKelBlockCubeList out;
  steep.CutTopSlope(nullptr, 15, out, true, false);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_DOUBLE_EQ(out[0].XMax(), 0.5);
  steep.CutTopSlope(nullptr, 15, out, false, true);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_NEAR(out[0].XMin(), 0.5, 1e-12);
}

TEST(CKelBlockCubeCutTest, DegenerateBlocksAreNotCut)
{
  const CKelBlockCube flat = vol_test::Block({{0, 0, 5, 0}, {1, 0, 5, 0}, {2, 0, 5, 0}});
  EXPECT_EQ(flat.CutBlock(nullptr, 2, false, false), CKelBlockCubeList{flat});
  EXPECT_EQ(flat.CutPlaneBlock(nullptr, 2, 0, 0), CKelBlockCubeList{flat});
  CKelBlockCubeList out;
  flat.CutByPlane1(nullptr, 0, 0, 1, -2, true, out);
  EXPECT_EQ(out, CKelBlockCubeList{flat});
  CKelBlockCubeList pieces;
  EXPECT_FALSE(flat.CutBlock(nullptr, pieces, 0));
  EXPECT_TRUE(pieces.empty());
}

// --- Slant surfaces ------------------------------------------------------------------------------

const std::vector<CKelCoord3D> kFold{{0, 0, 20}, {10, 0, 14}, {0, 10, 16}, {10, 10, 0}};

TEST(CKelBlockCubeCutTest, SlantCutGivesTheRightTriangleThenTheLeft)
{
  const CKelBlockCube square = BlockOver({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {30});
  const CKelBlockCubeList out = square.CutSyasenSlope(nullptr, kFold, 0, 0, 0);
  ASSERT_EQ(out.size(), 2u);
  for (const CKelBlockCoord& c : out[0].m_Coord)
    EXPECT_NEAR(c.m_z, 20 - 0.6 * c.m_x - 1.4 * c.m_y, 1e-9);
  for (const CKelBlockCoord& c : out[1].m_Coord)
    EXPECT_NEAR(c.m_z, 20 - 1.6 * c.m_x - 0.4 * c.m_y, 1e-9);
  EXPECT_NEAR(Volume(out[0]), 1700.0 / 3, 1e-9);
  EXPECT_NEAR(Volume(out[1]), 600.0, 1e-9);
  EXPECT_TRUE(out[0].IsTopSlope());
}

TEST(CKelBlockCubeCutTest, SlantCutUnderALimitKeepsThePlanAndCutsAboveIt)
{
  const CKelBlockCube square = BlockOver({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {30});
  const CKelBlockCubeList out = square.CutSyasenSlope(nullptr, kFold, 0, 10, 2);
  double area = 0;
  double volume = 0;
  for (const CKelBlockCube& b : out) {
    area += b.Menseki();
    volume += Volume(b);
    for (const CKelBlockCoord& c : b.m_Coord)
      EXPECT_LE(c.m_z, 12.0 + 1e-12);
  }
  EXPECT_NEAR(area, 100.0, 1e-9);
  EXPECT_NEAR(volume, 1007.142857142857, 1e-6);
}

TEST(CKelBlockCubeCutTest, SlantCutWithThreeOrTwoPointsAndTheBottomArgument)
{
  const CKelBlockCube square = BlockOver({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {30});
  const CKelBlockCubeList three = square.CutSyasenSlope(nullptr, {{0, 0, 5}, {10, 0, 15}, {0, 10, 5}}, -1, 0, 0);
  ASSERT_EQ(three.size(), 1u);
  for (const CKelBlockCoord& c : three[0].m_Coord) {
    EXPECT_DOUBLE_EQ(c.m_z, 5 + c.m_x);
    EXPECT_EQ(c.m_zL, -1.0);
  }
  EXPECT_TRUE(three[0].IsTyuku());
  const CKelBlockCubeList two = square.CutSyasenSlope(nullptr, {{0, 0, 5}, {10, 0, 15}}, 3, 0, 0);
  ASSERT_EQ(two.size(), 1u);
  EXPECT_EQ(two[0], square);
  // A block lying wholly right of the fold takes the right half's plane.
  const CKelBlockCube right = BlockOver({{6, 1}, {9, 1}, {9, 3}}, {30});
  const CKelBlockCubeList whole = right.CutSyasenSlope(nullptr, kFold, 0, 0, 0);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_NEAR(whole[0].m_Coord[0].m_z, 20 - 0.6 * 6 - 1.4 * 1, 1e-9);
}

// --- Convex pieces --------------------------------------------------------------------------------

TEST(CKelBlockCubeCutTest, ConvexCutOfTheLShapeAndOfConvexOutlines)
{
  const CKelBlockCube l = BlockOver({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, {3});
  CKelBlockCubeList out;
  ASSERT_TRUE(l.CutBlock(nullptr, out, 0));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(PlanOf(out[0]), (Plan{{1, 1}, {1, 2}, {0, 2}, {0, 0}}));
  EXPECT_EQ(PlanOf(out[1]), (Plan{{0, 0}, {2, 0}, {2, 1}, {1, 1}}));
  CKelBlockCubeList self;
  const CKelBlockCube box = vol_test::Box(0, 0, 1, 1, 3);
  ASSERT_TRUE(box.CutBlock(nullptr, self, 0));
  EXPECT_EQ(self, CKelBlockCubeList{box});
}

TEST(CKelBlockCubeCutTest, ConvexPiecesOfStarsAndCombsSumToTheOutline)
{
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> count(4, 64);
  std::vector<Plan> plans;
  for (int trial = 0; trial < 60; ++trial)
    plans.push_back(vol_shape::Star(rng, count(rng)));
  for (int teeth = 1; teeth <= 16; ++teeth)
    plans.push_back(vol_shape::Comb(teeth));
  for (const Plan& plan : plans) {
    const CKelBlockCube block = BlockOver(plan, {5});
    CKelBlockCubeList out;
    ASSERT_TRUE(block.CutBlock(nullptr, out, 0)) << plan.size();
    double area = 0;
    for (const CKelBlockCube& piece : out) {
      EXPECT_TRUE(piece.IsOukata().empty());
      area += piece.Menseki();
    }
    EXPECT_NEAR(area, block.Menseki(), 1e-9 * block.Menseki());
  }
}

TEST(CKelBlockCubeCutTest, BisectorOfAReflexVertexHitsTheFarCorner)
{
  const CKelBlockCube l = BlockOver({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, {3, 1, 0});
  CKelBlockCoord hit;
  EXPECT_EQ(l.CutBlockSearchNextPoint(nullptr, 3, hit), 0);
  EXPECT_NEAR(hit.m_x, 0, 1e-12);
  EXPECT_NEAR(hit.m_y, 0, 1e-12);
  EXPECT_NEAR(hit.m_z, 3, 1e-12);
  // From a convex corner of a square the bisector meets the opposite corner's edges.
  const CKelBlockCube square = vol_test::Box(0, 0, 2, 2, 1);
  EXPECT_GE(square.CutBlockSearchNextPoint(nullptr, 0, hit), 0);
  EXPECT_NEAR(hit.m_x, 2, 1e-12);
  EXPECT_EQ(square.CutBlockSearchNearistPoint(nullptr, 0).size(), 1u);
}

// --- Merging ---------------------------------------------------------------------------------------

TEST(CKelBlockCubeCutTest, MergeBlockTakesTopsOnlyWhenOutlinesAndTopsAgree)
{
  CKelBlockCube a = vol_test::Box(0, 0, 1, 1, 3);
  CKelBlockCube b = a;
  b.m_Coord[2].m_z += 3e-5;
  const CKelBlockCube before = a;
  EXPECT_FALSE(a.MergeBlock(b));
  EXPECT_EQ(a, before);
  b.m_Coord[2].m_z = 3 + 1e-5;
  b.m_Coord[2].m_OffH = 7;
  EXPECT_TRUE(a.MergeBlock(b));
  EXPECT_EQ(a.m_Coord[2].m_z, 3 + 1e-5);
  EXPECT_EQ(a.m_Coord[2].m_OffH, 7.0);
  CKelBlockCube empty;
  EXPECT_TRUE(empty.MergeBlock(CKelBlockCube()));
  EXPECT_FALSE(empty.MergeBlock(a));
}

}  // namespace
