#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "SlantFixtures.h"
#include "SurveyVariants.h"

namespace {

using namespace slant_test;

CKelBlockCubeArray Blocks(std::initializer_list<CKelBlockCube> blocks)
{
  CKelBlockCubeArray a;
  for (const CKelBlockCube& b : blocks)
    a.AddBlock(b);
  return a;
}

// A check of edge 0 whose base blocks are the given ones.
CSyasenCheckBlockParam Check(std::initializer_list<CKelBlockCube> base)
{
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  for (const CKelBlockCube& b : base)
    p.m_BaseBlock.AddBlock(Kind(b, true));
  return p;
}

CKelBlockCubeArray PlanBlocks(const CKelBlockCubeArray& blocks)
{
  CKelBlockCubeArray plan;
  for (const CKelBlockCube& b : blocks)
    if (CSyasenCheckBlockParam::IsPlanOnly(b))
      plan.push_back(b);
  return plan;
}

struct PlanRun {
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  bool Run(CSyasenCheckBlockParam& p, CKelBlockCubeArray plan, double bottom, int mode = 1)
  {
    CKelBlockCubeArray plan2;
    return p.CreatePlanBlock(nullptr, &site, &blk, plan, mode, bottom, plan2);
  }
};

TEST(PlanBlocks, ABlockInsideAConvexBaseBecomesOnePlanBlockOnTheBottom)
{
  PlanRun run;
  CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12)});
  ASSERT_TRUE(run.Run(p, Blocks({Box(2, 2, 4, 4, 5)}), 0.5));
  const CKelBlockCubeArray plan = PlanBlocks(p.m_BaseBlock);
  ASSERT_EQ(plan.Size(), 1);
  EXPECT_NEAR(plan[0].CalcArea(), 4, 1e-12);
  for (const CKelBlockCoord& v : plan[0].m_Coord) {
    EXPECT_EQ(v.m_z, 5);
    EXPECT_EQ(v.m_zL, 0.5);
  }
  EXPECT_EQ(p.m_BaseBlock.Size(), 2);
}

TEST(PlanBlocks, AStraddlingBlockKeepsOnlyItsPartOverTheBase)
{
  PlanRun run;
  CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12)});
  ASSERT_TRUE(run.Run(p, Blocks({Box(8, 2, 12, 4, 5)}), 0));
  const CKelBlockCubeArray plan = PlanBlocks(p.m_BaseBlock);
  ASSERT_EQ(plan.Size(), 1);
  EXPECT_NEAR(PlanArea(plan), 4, 1e-12);
  EXPECT_NEAR(plan[0].XMax(), 10, 1e-12);
}

TEST(PlanBlocks, AConcaveBaseClipsLikeItsConvexPieces)
{
  PlanRun run;
  const CKelBlockCube l = Outline({{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}}, 12);
  CSyasenCheckBlockParam p = Check({l});
  ASSERT_TRUE(run.Run(p, Blocks({Box(-1, -1, 11, 11, 5)}), 0));
  EXPECT_NEAR(PlanArea(PlanBlocks(p.m_BaseBlock)), 64, 1e-9);
}

TEST(PlanBlocks, ABottomBelowTheGroundAddsTheGroundBlockUnderEveryBaseBlock)
{
  PlanRun run;
  CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12), Box(12, 0, 15, 5, 9)});
  p.m_GrdHeight = 1.5;
  ASSERT_TRUE(run.Run(p, Blocks({Box(2, 2, 4, 4, 5)}), 0));
  int ground = 0;
  for (const CKelBlockCube& b : PlanBlocks(p.m_BaseBlock)) {
    if (b.m_Coord[0].m_z != 1.5)
      continue;
    ++ground;
    for (const CKelBlockCoord& v : b.m_Coord)
      EXPECT_EQ(v.m_zL, 0);
  }
  EXPECT_EQ(ground, 2);
  // A bottom at the ground adds none.
  CSyasenCheckBlockParam q = Check({Box(0, 0, 10, 10, 12)});
  q.m_GrdHeight = 1.5;
  ASSERT_TRUE(run.Run(q, Blocks({Box(2, 2, 4, 4, 5)}), 1.5));
  EXPECT_EQ(CountPlan(q.m_BaseBlock), 1);
}

TEST(PlanBlocks, ChangesAreReportedOnlyWhenThePlanBlocksDiffer)
{
  PlanRun run;
  CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12)});
  const CKelBlockCubeArray plan = Blocks({Box(2, 2, 4, 4, 5)});
  EXPECT_TRUE(run.Run(p, plan, 0));
  EXPECT_FALSE(run.Run(p, plan, 0));
  EXPECT_TRUE(run.Run(p, Blocks({Box(2, 2, 4, 4, 6)}), 0));
  // An empty plan removes the old plan blocks and reports no change.
  EXPECT_FALSE(run.Run(p, CKelBlockCubeArray(), 0));
  EXPECT_EQ(CountPlan(p.m_BaseBlock), 0);
  EXPECT_EQ(p.m_BaseBlock.Size(), 1);
  // Without the basic bit nothing is made.
  EXPECT_FALSE(run.Run(p, plan, 0, 0));
  EXPECT_EQ(CountPlan(p.m_BaseBlock), 0);
}

TEST(PlanBlocks, ABlockWithBothKindFlagsIsNeitherBaseNorPlan)
{
  PlanRun run;
  CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12)});
  CKelBlockCube both = Box(12, 0, 16, 4, 8);
  both.SetSyasen(true);
  both.SetHikage(true);
  p.m_BaseBlock.AddBlock(both);
  EXPECT_FALSE(run.Run(p, Blocks({Box(11, 1, 15, 3, 5)}), 0));
  // Nothing is clipped over it, and it is not cleared as a plan block.
  EXPECT_EQ(CountPlan(p.m_BaseBlock), 0);
  EXPECT_EQ(p.m_BaseBlock.Size(), 2);
  EXPECT_FALSE(CSyasenCheckBlockParam::IsPlanBlockChanged(p.m_BaseBlock, CKelBlockCubeArray()));
}

TEST(PlanBlocks, TheEdgeOptionDecidesWhetherRetainingWallsTakePlanBlocks)
{
  for (int option : {1, 0}) {
    PlanRun run;
    run.site.m_pt[0].m_LineCond.m_Option = option;
    CSyasenCheckBlockParam p = Check({Box(0, 0, 10, 10, 12)});
    p.m_YouhekiBlock.AddBlock(Box(10, 0, 14, 10, 2));
    ASSERT_TRUE(run.Run(p, Blocks({Box(8, 2, 12, 4, 5)}), 0));
    EXPECT_NEAR(PlanArea(PlanBlocks(p.m_BaseBlock)), option != 0 ? 8 : 4, 1e-9) << option;
  }
}

TEST(PlanBlocks, GroupsClipIntoTheirOwnLists)
{
  struct Group : CSyasenCheckGroupParam {
    CKelBlockCubeArray blocks, walls;
    CSphereRatioParamArray points;
    CKelBlockCubeArray& GetBlock() override { return blocks; }
    CKelBlockCubeArray& GetYouhekiBlock() override { return walls; }
    CSphereRatioParamArray& GetSphereRatio() override { return points; }
  } group;
  group.blocks.AddBlock(Kind(Box(0, 0, 10, 10, 12), true));
  group.walls.AddBlock(Kind(Box(10, 0, 14, 10, 2), true));
  CSyasenCheckBlockParam p;
  CKelBlockCubeArray plan = Blocks({Box(8, 2, 12, 4, 5)}), plan2;
  EXPECT_TRUE(p.CreateGroupPlanBlock(nullptr, plan, 1, 0, plan2, &group));
  EXPECT_NEAR(PlanArea(PlanBlocks(group.blocks)), 8, 1e-9);
  EXPECT_FALSE(p.CreateGroupPlanBlock(nullptr, plan, 1, 0, plan2, &group));
  EXPECT_FALSE(p.CreateGroupPlanBlock(nullptr, plan, 1, 0, plan2, nullptr));
  // The radial bit clips into every check point's own list; a point whose
  // plan blocks changed loses its plan results of set 1.
  group.points.resize(2);
  for (CSphereRatioParam& cpnt : group.points) {
    cpnt.m_BlockList.AddBlock(Kind(Box(0, 0, 10, 10, 12), true));
    cpnt.m_PlanRatio1 = 0.5;
  }
  group.points[1].m_BlockList.AddBlock(Kind(Box(8, 2, 10, 4, 5), false));
  EXPECT_TRUE(p.CreateGroupPlanBlock(nullptr, plan, 2, 0, plan2, &group));
  EXPECT_NEAR(PlanArea(PlanBlocks(group.points[0].m_BlockList)), 8, 1e-9);
  EXPECT_EQ(group.points[0].m_PlanRatio1, -1.0);
  EXPECT_FALSE(p.CreateGroupPlanBlock(nullptr, plan, 2, 0, plan2, &group));
}

TEST(PlanBlocks, TheRadialBitClipsIntoEachCheckPointAndDropsChangedResults)
{
  PlanRun run;
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_SphereRatio2.resize(2);
  p.m_SphereRatio2[0].m_BlockList.AddBlock(Kind(Box(0, 0, 10, 10, 12), true));
  p.m_SphereRatio2[1].m_BlockList.AddBlock(Kind(Box(0, 0, 3, 3, 12), true));
  for (CSphereRatioParam& cpnt : p.m_SphereRatio2)
    cpnt.m_PlanRatio1 = 0.25;
  ASSERT_TRUE(run.Run(p, Blocks({Box(2, 2, 4, 4, 5)}), 0, 2));
  EXPECT_NEAR(PlanArea(PlanBlocks(p.m_SphereRatio2[0].m_BlockList)), 4, 1e-9);
  EXPECT_NEAR(PlanArea(PlanBlocks(p.m_SphereRatio2[1].m_BlockList)), 1, 1e-9);
  EXPECT_EQ(p.m_SphereRatio2[0].m_PlanRatio1, -1.0);
  p.m_SphereRatio2[0].m_PlanRatio1 = 0.25;
  EXPECT_FALSE(run.Run(p, Blocks({Box(2, 2, 4, 4, 5)}), 0, 2));
  EXPECT_EQ(p.m_SphereRatio2[0].m_PlanRatio1, 0.25);
  EXPECT_EQ(CountPlan(p.m_BaseBlock), 0);
}

// The part clipped over a base plus what remains outside it is the planned
// block: pieces sum to the whole.
TEST(PlanBlocks, ClippedAndRemainingAreasSumToThePlannedArea)
{
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-5, 15), size(0.5, 8);
  const CKelBlockCubeArray base = Blocks({Kind(Outline({{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}}, 12), true),
                                          Kind(Box(11, 0, 14, 3, 6), true)});
  for (int round = 0; round < 100; ++round) {
    // One draw per declarator: a call's arguments come in no fixed order.
    const double x = coord(rng), y = coord(rng), x2 = x + size(rng), y2 = y + size(rng);
    CKelBlockCubeArray planned = Blocks({Box(x, y, x2, y2, 5)});
    const double whole = PlanArea(planned);
    const CKelBlockCubeArray inside = CSyasenCheckBlockParam::ClipBlock(base, planned, 0.25);
    EXPECT_NEAR(PlanArea(inside) + PlanArea(planned), whole, 1e-9) << round;
    for (const CKelBlockCube& b : inside)
      for (const CKelBlockCoord& v : b.m_Coord)
        EXPECT_EQ(v.m_zL, 0.25);
  }
}

// A base block over the points, level top.
CKelBlockCube BaseOver(const survey::Outline& pts, double top)
{
  CKelBlockCube b;
  for (const CKelCoord2D& p : pts)
    b.Append(CKelBlockCoord(p.m_x, p.m_y, top, 0));
  b.SetType();
  b.SetMinMax();
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  return Kind(b, true);
}

// The plan (-1, -1)-(11, 11) over an L base: 64 of its 144 m² lie over the
// base, whatever points a survey gives the L (every vertex doubled exactly
// or a hair or a millimetre aside, a 0.3 mm notch in or out, another first
// vertex), and wherever the survey puts it.
TEST(PlanBlocks, SurveyVariantsOfAnLBaseClipTheSamePlannedArea)
{
  const survey::Outline l{{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}};
  std::mt19937 rng(57);
  std::vector<survey::Variant> variants = survey::SurveyVariants(l);
  variants.push_back(survey::DoubledAll(survey::Clean(l), 0, rng));
  for (std::size_t k = 0, n = variants.size(); k < n; ++k)
    variants.push_back(survey::Moved(variants[k], 3e5, -3e5));
  PlanRun run;
  for (const survey::Variant& v : variants) {
    const double x = v.m_Shift.m_x, y = v.m_Shift.m_y;
    CKelBlockCubeArray planned = Blocks({Box(x - 1, y - 1, x + 11, y + 11, 5)});
    int refused = 0;
    const CKelBlockCubeArray inside =
        CSyasenCheckBlockParam::ClipBlock(Blocks({BaseOver(v.m_Pts, 12)}), planned, 0, &refused);
    EXPECT_EQ(refused, 0) << v.m_Name;
    EXPECT_NEAR(PlanArea(inside), 64, 0.01) << v.m_Name;
    EXPECT_NEAR(PlanArea(planned), 80, 0.01) << v.m_Name;

    CSyasenCheckBlockParam p = EdgeZeroCheck();
    p.m_BaseBlock.AddBlock(BaseOver(v.m_Pts, 12));
    CKelBlockCubeArray again = Blocks({Box(x - 1, y - 1, x + 11, y + 11, 5)});
    CKelBlockCubeArray plan2;
    refused = -1;
    p.CreatePlanBlock(nullptr, &run.site, &run.blk, again, 1, 0, plan2, &refused);
    EXPECT_EQ(refused, 0) << v.m_Name;
    EXPECT_NEAR(PlanArea(PlanBlocks(p.m_BaseBlock)), 64, 0.01) << v.m_Name;
  }
}

// A base block whose outline crosses itself has no convex pieces: the plan
// over it is left outside and the refusal is counted, while the plan over a
// sound base block beside it is clipped as ever.
TEST(PlanBlocks, ABaseBlockThatCannotBeSplitIsReportedNotDroppedSilently)
{
  PlanRun run;
  const CKelBlockCube figureEight = Outline({{0, 0}, {10, 0}, {0, 10}, {10, 10}}, 12);
  const CKelBlockCube slotThroughItsBase =
      Outline({{0, 0}, {10, 0}, {10, 10}, {6, 10}, {6, -2}, {4, -2}, {4, 10}, {0, 10}}, 12);
  for (const CKelBlockCube& bad : {figureEight, slotThroughItsBase}) {
    const CKelBlockCubeArray base = Blocks({Kind(bad, true), Kind(Box(20, 0, 30, 10, 12), true)});
    CKelBlockCubeArray planned = Blocks({Box(-1, -1, 31, 11, 5)});
    int refused = 0;
    EXPECT_NEAR(PlanArea(CSyasenCheckBlockParam::ClipBlock(base, planned, 0, &refused)), 100, 1e-9);
    EXPECT_EQ(refused, 1);
    EXPECT_NEAR(PlanArea(planned), 384 - 100, 1e-9);

    CSyasenCheckBlockParam p = EdgeZeroCheck();
    p.m_BaseBlock = base;
    CKelBlockCubeArray again = Blocks({Box(-1, -1, 31, 11, 5)});
    CKelBlockCubeArray plan2;
    refused = 0;
    EXPECT_TRUE(p.CreatePlanBlock(nullptr, &run.site, &run.blk, again, 1, 0, plan2, &refused));
    EXPECT_EQ(refused, 1);
    EXPECT_NEAR(PlanArea(PlanBlocks(p.m_BaseBlock)), 100, 1e-9);
  }
}

}  // namespace
