// The block list's build data, clean-up passes, totals and shadow blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CKelBlockCubeArray.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Block;
using vol_test::Box;

CPrfPlanParam Profiles() { return vol_test::SampleList(); }

CKelBlockCubeArray Building()
{
  CKelBlockCubeArray list;
  list.AddBlock(Box(0, 0, 4, 3, 7.25, 1.5));                                             // own bottom
  list.AddBlock(Block({{5, 0, 2, 0}, {8, 0, 4.5, 0}, {8, 2, 4.5, 0}, {5, 2, 2, 0}}));  // sloped top
  list.AddBlock(Box(0, 5, 2, 7, -1.0, -4.0));                                            // below ground
  return list;
}

TEST(CKelBlockCubeArrayBuildTest, FloorSplitThenRebuildReproducesEveryHeight)
{
  const CPrfPlanParam prf = Profiles();
  const CKelBlockCubeArray original = Building();
  CKelBlockCubeArray list = original;
  list.SetupBuildFlr(&prf);
  for (CKelBlockCube& b : list)
    for (CKelBlockCoord& c : b.m_Coord) {
      c.m_z = 99;  // forget the heights; floors and offsets must carry them
      if (b.IsTyuku())
        c.m_zL = 99;
    }
  list.SetupBuildZ2(&prf, false);
  for (std::size_t b = 0; b < list.size(); ++b)
    for (std::size_t k = 0; k < list[b].m_Coord.size(); ++k) {
      EXPECT_NEAR(list[b].m_Coord[k].m_z, original[b].m_Coord[k].m_z, 1e-9) << b << "," << k;
      EXPECT_NEAR(list[b].m_Coord[k].m_zL, original[b].m_Coord[k].m_zL, 1e-9) << b << "," << k;
    }
  EXPECT_TRUE(list.SetupBuildZ2(&prf, true));

  // A storey grows: floors and offsets no longer give the stored heights.
  CPrfPlanParam taller = prf;
  taller[0].m_Floor[3].m_Height = 3.5;
  taller.SBCalcFL();
  EXPECT_FALSE(list.SetupBuildZ2(&taller, true));
}

TEST(CKelBlockCubeArrayBuildTest, ProfileIndexOutsideTheListUsesTheOffsets)
{
  const CPrfPlanParam prf = Profiles();
  for (int ppNo : {-1, 1}) {
    CKelBlockCubeArray list;
    CKelBlockCube b = Box(0, 0, 1, 1, 5, 2);
    b.SetPpNo(nullptr, ppNo, -1);
    for (CKelBlockCoord& c : b.m_Coord) {
      c.m_FlrH = 2;  // would add the level 6 with a profile
      c.m_OffH = 4;
      c.m_OffL = 1;
    }
    list.push_back(b);
    EXPECT_FALSE(list.SetupBuildZ2(&prf, true)) << ppNo;
    list.SetupBuildZ2(&prf, false);
    EXPECT_DOUBLE_EQ(list[0].m_Coord[0].m_z, 4) << ppNo;
    EXPECT_DOUBLE_EQ(list[0].m_Coord[0].m_zL, 1) << ppNo;
    EXPECT_TRUE(list.SetupBuildZ2(nullptr, true)) << ppNo;
  }
}

TEST(CKelBlockCubeArrayBuildTest, CleanUpPassesRemoveOnlyDegenerateBlocks)
{
  CKelBlockCubeArray list;
  list.push_back(Block({{1, 1, 3, 0}, {1, 1, 3, 0}, {1, 1, 3, 0}}));  // one point in plan
  list.push_back(Block({{1, 1, 3, 0}, {1, 1, 3, 0}, {1, 1, 3, 0}}));  // examined at the same position
  list.push_back(Box(0, 0, 1, 1, 3));
  list.CheckBuildData();
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list[0].GetSize(), 4);

  // DeleteOnLine: a block of on-line vertices loses them and goes; one
  // that had fewer than 3 vertices and loses nothing stays.
  CKelBlockCubeArray lines;
  lines.push_back(Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}, {3, 0, 1, 0}}));
  lines.push_back(CKelBlockCube());
  lines.push_back(Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}, {2, 2, 1, 0}}));
  lines.DeleteOnLine();
  ASSERT_EQ(lines.Size(), 2);
  EXPECT_EQ(lines[0].GetSize(), 0);
  EXPECT_EQ(lines[1].GetSize(), 3);
}

TEST(CKelBlockCubeArrayBuildTest, EraseSameBlockKeepsTheFirstAndOtherKinds)
{
  CKelBlockCubeArray list;
  for (int k = 0; k < 3; ++k)
    list.AddBlock(Box(0, 0, 1, 1, 3));
  CKelBlockCube plan = Box(0, 0, 1, 1, 3);
  plan.SetHikage(false);
  list.AddBlock(plan);
  CKelBlockCube rotated = Box(0, 0, 1, 1, 3);
  std::rotate(rotated.m_Coord.begin(), rotated.m_Coord.begin() + 1, rotated.m_Coord.end());
  list.push_back(rotated);
  list[0].m_Work = 7;
  list.EraseSameBlock();
  ASSERT_EQ(list.Size(), 3);
  EXPECT_EQ(list[0].m_Work, 7);
  EXPECT_FALSE(list[1].IsHikage());
  EXPECT_EQ(list[2].m_Coord[0].m_x, 1);  // another start vertex is no duplicate
}

TEST(CKelBlockCubeArrayBuildTest, TotalsStartFromGroundLevel)
{
  CKelBlockCubeArray below;
  below.AddBlock(Box(0, 0, 2, 2, -1, -4));
  EXPECT_EQ(below.GetZMax(), 0.0);
  EXPECT_EQ(below.GetMaxZ(), 0.0);
  EXPECT_EQ(CKelBlockCubeArray().GetArea(), 0.0);
  const CKelBlockCubeArray list = Building();
  EXPECT_DOUBLE_EQ(list.GetZMax(), 7.25);
  EXPECT_DOUBLE_EQ(list.GetMaxZ(), 7.25);
  EXPECT_DOUBLE_EQ(list.GetArea(), 12 + 6 + 4);
}

TEST(CKelBlockCubeArrayBuildTest, ShadowBlocksAreConvexPieces)
{
  CKelBlockCubeArray list;
  CKelBlockCube base = Box(10, 10, 12, 12, 3);
  base.SetBaseBlock();
  list.AddBlock(base);
  EXPECT_TRUE(list.GetHikageBlock().empty());

  CKelBlockCube ell = Block({{0, 0, 6, 0}, {3, 0, 6, 0}, {3, 1, 6, 0}, {1, 1, 6, 0}, {1, 3, 6, 0}, {0, 3, 6, 0}});
  ell.SetPlanBlock();
  list.AddBlock(ell);
  const CKelBlockCubeArray shadow = list.GetHikageBlock();
  ASSERT_GE(shadow.Size(), 2);
  double area = 0;
  for (const CKelBlockCube& piece : shadow) {
    EXPECT_TRUE(piece.IsOukata().empty());
    EXPECT_GT(piece.Menseki(), 0);
    EXPECT_GE(piece.XMin(), 0);
    EXPECT_LE(piece.XMax(), 3);
    area += piece.Menseki();
  }
  EXPECT_NEAR(area, 5, 1e-12);
}

TEST(CKelBlockCubeArrayBuildTest, CheckErrorVisitsEveryBlock)
{
  CKelBlockCubeArray list;
  list.AddBlock(Box(0, 0, 1, 1, 1, 3));  // top below bottom: an error
  list.AddBlock(Box(2, 0, 3, 1, 1, 3));
  list.AddBlock(Box(4, 0, 5, 1, 3, 1));
  for (CKelBlockCube& b : list)
    b.SetPlanBlock();  // a base block is checked against the (absent) site
  EXPECT_TRUE(list.CheckError(nullptr, false));
  EXPECT_TRUE(list[0].IsError());
  EXPECT_TRUE(list[1].IsError());
  EXPECT_FALSE(list[2].IsError());
  list.ClearBuildErrorFlag();
  EXPECT_FALSE(list[0].IsError());
}

TEST(CKelBlockCubeArrayBuildTest, InsideAndMergeAskEveryBlockInTurn)
{
  CKelBlockCubeArray list;
  EXPECT_FALSE(list.IsInsideBlock(Box(1, 1, 2, 2, 3, 1)));
  list.AddBlock(Box(10, 10, 11, 11, 5));
  list.AddBlock(Box(0, 0, 4, 4, 5));
  EXPECT_TRUE(list.IsInsideBlock(Box(1, 1, 2, 2, 3, 1)));
  EXPECT_FALSE(list.IsInsideBlock(Box(3, 3, 5, 5, 3, 1)));

  CKelBlockCube higher = Box(0, 0, 4, 4, 5);
  for (CKelBlockCoord& c : higher.m_Coord)
    c.m_z += 1e-5;  // within the point tolerance: the tops are taken over
  EXPECT_TRUE(list.MergeBlock(higher));
  EXPECT_EQ(list[1].m_Coord[0].m_z, 5 + 1e-5);
  EXPECT_FALSE(list.MergeBlock(Box(0, 0, 4, 3, 5)));
}

TEST(CKelBlockCubeArrayBuildTest, BuildOverWriteKeepsTheBlockFields)
{
  CKelBlockCubeArray list;
  list.AddBlock(Box(0, 0, 1, 1, 3));
  list[0].m_Work = 5;
  const CKelBlockCube wide = Box(0, 0, 4, 1, 3);
  CKelBlockCoordArray clockwise = wide.m_Coord;
  std::reverse(clockwise.begin(), clockwise.end());
  list.BuildOverWrite(0, clockwise);
  EXPECT_EQ(list[0].m_Work, 5);
  EXPECT_DOUBLE_EQ(list[0].Menseki(), 4);
  EXPECT_DOUBLE_EQ(list[0].XMax(), 4);
  EXPECT_GT(list[0].CalcArea(), 0);
}

}  // namespace
