#include "CPlanBuilding.h"

#include <gtest/gtest.h>

#include <cmath>

#include "KelTestSupport.h"
#include "SlantFixtures.h"

namespace {

using slant_test::Box;

CPlanBuilding Building(int no)
{
  const CKelBlockCube box = Box(0, 0, 3, 2, 9, 1);
  CPlanBuilding b = CPlanBuilding::FromKelBlock(&box);
  b.m_No = no;
  b.m_bFlag = true;
  return b;
}

TEST(PlanBuilding, BlockConversionKeepsVerticesAndClearsTheKind)
{
  CKelBlockCube source = Box(1, 2, 5, 6, 10, 0.5);
  source.SetMark(true);
  source.SetBaseBlock();
  const CPlanBuilding building = CPlanBuilding::FromKelBlock(&source);
  EXPECT_FALSE(building.m_bFlag);
  EXPECT_EQ(building.m_No, -1);
  const CKelBlockCube back = building.ToKelBlock();
  ASSERT_EQ(back.m_Coord.size(), source.m_Coord.size());
  for (std::size_t i = 0; i < back.m_Coord.size(); ++i) {
    EXPECT_EQ(back.m_Coord[i].m_x, source.m_Coord[i].m_x);
    EXPECT_EQ(back.m_Coord[i].m_y, source.m_Coord[i].m_y);
    EXPECT_EQ(back.m_Coord[i].m_z, 10);
    EXPECT_EQ(back.m_Coord[i].m_zL, 0.5);
  }
  EXPECT_FALSE(back.IsMark());
  EXPECT_FALSE(back.IsSyasen());
  EXPECT_FALSE(back.IsHikage());
  EXPECT_TRUE(back.IsTyuku());
  EXPECT_TRUE(CPlanBuilding().ToKelBlock().m_Coord.empty());
}

TEST(PlanBuilding, CutDivInterpolatesBothHeightsOnly)
{
  const CPlanBuildingParam a(CKelCoord3DEx(0, 0, 10, 0)), b(CKelCoord3DEx(9, 9, 20, 2));
  CPlanBuildingParam p(CKelCoord3DEx(3, 4, 0, 0));
  p.CutDiv(0.5, &a, &b);
  EXPECT_EQ(p.m_Coord.m_x, 3);
  EXPECT_EQ(p.m_Coord.m_y, 4);
  EXPECT_EQ(p.m_Coord.m_z, 15);
  EXPECT_EQ(p.m_Coord.m_zL, 1);
}

TEST(PlanBuilding, ComparesFlagPointsAndNumber)
{
  EXPECT_EQ(Building(1), Building(1));
  EXPECT_NE(Building(1), Building(2));
  CPlanBuilding moved = Building(1);
  moved.m_Points[2].m_Coord.m_zL += 3e-5;
  EXPECT_NE(moved, Building(1));
  moved.m_Points[2].m_Coord.m_zL -= 1e-5;
  EXPECT_EQ(moved, Building(1));  // within the point tolerance
}

TEST(PlanBuilding, RecordRoundTripAndRefusals)
{
  const CPlanBuilding b = Building(7);
  const auto bytes = kel_test::SavedRecord(b);
  ASSERT_EQ(bytes.size(), 1u + 4 + 4 * 32);
  EXPECT_EQ(bytes[0], 1);
  CPlanBuilding back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()), &left));
  EXPECT_EQ(left, 0);
  back.m_No = 7;  // the number is the driver's, not in the record
  EXPECT_EQ(back, b);

  CPlanBuilding refused;
  EXPECT_FALSE(kel_test::LoadRecord(refused, bytes, static_cast<int>(bytes.size()) - 1));
  // A count the budget cannot hold is refused before the list grows.
  kel_test::Bytes lying{0};
  lying.insert(lying.end(), {0xff, 0xff, 0xff, 0x7f});
  CPlanBuilding big;
  EXPECT_FALSE(kel_test::LoadRecord(big, lying, 1 << 20));
  EXPECT_TRUE(big.m_Points.empty());
}

TEST(SiteGrouping, ArchiveRoundTripsAndComparesTheValueExactly)
{
  CSiteGroupingParamArray list;
  list.resize(2);
  list[0].m_GroupNo = 3;
  list[0].m_Value = 1.25;
  list[0].m_Block.AddBlock(Box(0, 0, 4, 3, 6));
  list[1].m_GroupNo = -1;
  for (int version : {1, 2, 27}) {
    CSiteGroupingParamArray back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(list, version), version)) << version;
    EXPECT_EQ(back, list);
  }
  CSiteGroupingParamArray other = list;
  other[1].m_Value = 1e-300;
  EXPECT_NE(other, list);
  other[1].m_Value = NAN;
  EXPECT_NE(other, other);
  CSiteGroupingParamArray huge;
  EXPECT_FALSE(kel_test::Unarchive(huge, kel_test::ByteBuilder().I32(1000).bytes, 1));
}

}  // namespace
