#include "CHekimenIndex.h"

#include <gtest/gtest.h>

#include "CKelBlockCubeArray.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Box;

// Two base blocks and a plan block between them; walls set on the chosen
// vertices of the base blocks only.
CKelBlockCubeArray Blocks()
{
  CKelBlockCubeArray list;
  list.push_back(Box(0, 0, 4, 2, 6));
  list.push_back(Box(10, 10, 12, 11, 3));
  list.push_back(Box(20, 0, 22, 2, 9));
  list[0].SetBaseBlock();
  list[1].SetPlanBlock();
  list[2].SetBaseBlock();
  return list;
}

CHikageWall& WallAt(CKelBlockCubeArray& list, int block, int vertex)
{
  return list[static_cast<std::size_t>(block)].m_Coord[static_cast<std::size_t>(vertex)].m_HikageWall;
}

void SetWall(CKelBlockCubeArray& list, int block, int vertex, int sortNo)
{
  CHikageWall& wall = WallAt(list, block, vertex);
  ASSERT_TRUE(wall.SetWallDatParam(&list, block, vertex));
  wall.m_Item.m_SortNo = sortNo;
}

TEST(CHekimenIndexTest, RebuildOrdersBySortNumberAndRenumbers)
{
  CKelBlockCubeArray list = Blocks();
  SetWall(list, 0, 1, 5);
  SetWall(list, 0, 3, -1);
  SetWall(list, 2, 0, 2);
  CHekimenIndexArray index;
  index.SetHekimenIndex(&list);
  ASSERT_EQ(3, index.GetSize());
  EXPECT_EQ(&WallAt(list, 0, 3), index[0].GetWall());
  EXPECT_EQ(&WallAt(list, 2, 0), index[1].GetWall());
  EXPECT_EQ(&WallAt(list, 0, 1), index[2].GetWall());
  EXPECT_EQ(0, WallAt(list, 0, 3).m_Item.m_SortNo);
  EXPECT_EQ(1, WallAt(list, 2, 0).m_Item.m_SortNo);
  EXPECT_EQ(2, WallAt(list, 0, 1).m_Item.m_SortNo);
  EXPECT_EQ(2, index.GetMasSortNo());
  EXPECT_EQ(1, index.SearchIndex(2, 0));
  EXPECT_EQ(-1, index.SearchIndex(1, 0));  // the plan block has no walls
  EXPECT_TRUE(index.IsAlreadyRegisted(0, 1));
  EXPECT_FALSE(index.IsAlreadyRegisted(0, 2));

  // A rebuild keeps the order; a new wall comes first.
  SetWall(list, 2, 2, -1);
  index.SetHekimenIndex(&list);
  ASSERT_EQ(4, index.GetSize());
  EXPECT_EQ(&WallAt(list, 2, 2), index[0].GetWall());
  EXPECT_EQ(&WallAt(list, 0, 1), index[3].GetWall());

  CHekimenIndexArray copy = index;
  EXPECT_TRUE(copy == index);
  copy.Erase(0);
  EXPECT_FALSE(copy == index);
  copy.AddElement(index.GetElement(0));
  EXPECT_FALSE(copy == index);  // same walls, other order
  EXPECT_TRUE(copy[3] == index[0]);
}

TEST(CHekimenIndexTest, NoBlocksGiveAnEmptyIndex)
{
  CKelBlockCubeArray list = Blocks();
  SetWall(list, 0, 0, 3);
  CHekimenIndexArray index;
  index.SetHekimenIndex(&list);
  EXPECT_EQ(1, index.GetSize());
  index.SetHekimenIndex(nullptr);
  EXPECT_EQ(0, index.GetSize());
  EXPECT_EQ(-1, index.GetMasSortNo());
  CKelBlockCubeArray unset = Blocks();
  index.SetHekimenIndex(&unset);
  EXPECT_EQ(0, index.GetSize());
}

TEST(CHekimenIndexTest, StaleIndicesAreReboundToTheirPlace)
{
  CKelBlockCubeArray list = Blocks();
  SetWall(list, 2, 1, 0);
  SetWall(list, 2, 3, 1);
  list.Erase(0);  // the walls of block 2 now live in block 1
  std::swap(list[1].m_Coord[1], list[1].m_Coord[3]);
  CHekimenIndexArray index;
  index.SetHekimenIndex(&list);
  ASSERT_EQ(2, index.GetSize());
  EXPECT_EQ(std::make_pair(1, 3), std::make_pair(index[0].GetWall()->m_Item.m_IdxNo, index[0].GetWall()->m_Item.m_PntNo));
  EXPECT_EQ(std::make_pair(1, 1), std::make_pair(index[1].GetWall()->m_Item.m_IdxNo, index[1].GetWall()->m_Item.m_PntNo));
}

TEST(CSSHekimenParamOldTest, CheckWallCoordKeepsMatchingAndMovedWalls)
{
  CKelBlockCubeArray list = Blocks();
  CSSHekimenParamOld walls;
  for (int vertex : {0, 1, 2}) {
    CHikageWall wall;
    ASSERT_TRUE(wall.SetWallDatParam(&list, 2, vertex));
    walls.AddElement(&wall);
  }
  CHikageWall first;
  ASSERT_TRUE(first.SetWallDatParam(&list, 0, 0));
  walls.AddElement(&first);
  EXPECT_EQ(3, walls.Search(0, 0));
  EXPECT_TRUE(walls.IsAlreadyRegisted(2, 1));
  EXPECT_EQ(-1, walls.Search(1, 0));

  // Block 0 goes; vertex 1 of block 2 moves by 1e-6, vertex 3 by a metre.
  list.Erase(0);
  list[1].m_Coord[1].m_y += 1e-6;
  list[1].m_Coord[3].m_x += 1;
  CSSHekimenParamOld before = walls;
  walls.CheckWallCoord(list);
  ASSERT_EQ(2, walls.GetSize());  // faces (0, 1) and (1, 2) survive
  EXPECT_EQ(std::make_pair(1, 0), std::make_pair(walls[0].m_Item.m_IdxNo, walls[0].m_Item.m_PntNo));
  EXPECT_EQ(std::make_pair(1, 1), std::make_pair(walls[1].m_Item.m_IdxNo, walls[1].m_Item.m_PntNo));
  EXPECT_FALSE(before == walls);

  CSSHekimenParamOld none = before;
  none.CheckWallCoord(CKelBlockCubeArray());
  EXPECT_EQ(0, none.GetSize());
  before.FreeSSHekimenParam();
  EXPECT_EQ(0, before.GetSize());
}

TEST(CHekimenIndexDeathTest, ReferencesHoldNoPoints)
{
  CHikageWall wall;
  CHekimenIndex reference(&wall);
  EXPECT_FALSE(reference.IsClosed());
  EXPECT_DEATH(reference.GetSize(), "false");
}

}  // namespace
