#include "CPrfPlanParam.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "VolumeTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::Unarchive;
using vol_test::Archived2;
using vol_test::Unarchive2;

using vol_test::SampleList;
using vol_test::SampleProfile;

TEST(CPrfPlanItemTest, UniformProfileLevels)
{
  const CPrfPlanItem item = SampleProfile();
  ASSERT_EQ(7u, item.m_Floor.size());
  const double levels[] = {-6, -3, 0, 3, 6, 9, 12};
  for (std::size_t k = 0; k < 7; ++k)
    EXPECT_DOUBLE_EQ(levels[k], item.m_Floor[k].m_Level) << k;
  EXPECT_EQ(0.0, item.m_Floor[0].m_Height);
}

TEST(CPrfPlanItemTest, FloorNumberAndStoreyIndexTables)
{
  const CPrfPlanItem item = SampleProfile();
  const std::pair<int, int> toIndex[] = {{-1, 2}, {-2, 1}, {-3, -1000}, {1, 3}, {3, 5},
                                         {4, -1000}, {100, 5}, {101, 6}, {102, -1000}, {0, 0},
                                         {INT_MIN, -1000}, {INT_MAX, -1000}};
  for (const auto& [floor, index] : toIndex)
    EXPECT_EQ(index, item.GetConvFlr(1, floor)) << floor;
  const std::pair<int, int> toFloor[] = {{1, -2}, {2, -1}, {3, 1}, {5, 3}, {6, 101}, {0, 0}, {INT_MAX, -1000}};
  for (const auto& [index, floor] : toFloor)
    EXPECT_EQ(floor, item.GetConvFlr(0, index)) << index;
}

TEST(CPrfPlanItemTest, HeightSplitsIntoFloorAndOffset)
{
  const CPrfPlanItem item = SampleProfile();
  struct Row {
    double z;
    int floor;
    double offset;
  };
  // 12 and -7 lie beyond the levels: clamped to the top floor of the
  // above-ground group and to the lowest basement.
  const Row rows[] = {{4, 1, 1}, {0, -1, 0}, {10, 3, 1}, {-5, -2, -2}, {12, 3, 3}, {-7, -2, -4}};
  for (const Row& row : rows) {
    int floor = 0;
    double offset = row.z;
    item.SetFlrLevel2(row.z, &floor, &offset);
    EXPECT_EQ(row.floor, floor) << row.z;
    EXPECT_DOUBLE_EQ(row.offset, offset) << row.z;
  }
}

TEST(CPrfPlanItemTest, WithoutBasementsTheOffsetIsFromTheLowestLevel)
{
  CPrfPlanItem item;
  item.m_T = 2;
  item.m_G = 2;
  item.SBCalcEx(10, 4);  // levels 10, 14, 18
  int floor = 7;
  double offset = 0;
  item.SetFlrLevel2(9, &floor, &offset);
  EXPECT_EQ(0, floor);
  EXPECT_DOUBLE_EQ(-1, offset);
}

TEST(CPrfPlanItemTest, IncompleteProfileActsAsNone)
{
  CPrfPlanItem item = SampleProfile();
  item.m_Floor.resize(5);  // B + G + 1 = 6 levels needed
  EXPECT_FALSE(item.IsUsable());
  int floor = 0;
  double offset = 4;
  item.SetFlrLevel2(4, &floor, &offset);
  EXPECT_EQ(0, floor);
  EXPECT_EQ(4, offset);
  double low = 1;
  double high = 1;
  EXPECT_TRUE(item.SBGetFlrL(6, &low, &high));
  EXPECT_EQ(0.0, low);
  EXPECT_EQ(0.0, high);

  CPrfPlanParam list;
  list.push_back(item);
  double z = 4;
  double off = 1;
  int flr = 2;
  list.SetFlr(0, z, off, flr, 3);
  EXPECT_EQ(0, flr);
  EXPECT_EQ(4, off);
  EXPECT_EQ(4, z);
}

TEST(CPrfPlanItemTest, StoreyLevels)
{
  const CPrfPlanItem item = SampleProfile();
  const std::tuple<int, bool, double, double> rows[] = {{3, false, 0, 3}, {0, true, 0, 0}, {-1000, true, 0, 0}};
  for (const auto& [index, result, low, high] : rows) {
    double gotLow = 7, gotHigh = 7;
    EXPECT_EQ(result, item.SBGetFlrL(index, &gotLow, &gotHigh)) << index;
    EXPECT_EQ(std::pair(low, high), std::pair(gotLow, gotHigh)) << index;
  }
}

TEST(CPrfPlanItemTest, LevelNames)
{
  const CPrfPlanItem item = SampleProfile();
  const std::tuple<int, const char*, const char*> rows[] = {
      {0, "B2F", "B2"}, {1, "B1F", "B1"}, {2, "1階", "1"}, {5, "4階", "4"}, {6, "RF", "R"}};
  for (const auto& [level, contour, plain] : rows) {
    std::string name;
    item.SetContourFloorName(name, level);
    EXPECT_EQ(contour, name);
    item.SetFloorName(name, level);
    EXPECT_EQ(plain, name);
  }
}

TEST(CPrfPlanParamTest, SetFlrClampsAndKeepsTheOffset)
{
  const CPrfPlanParam list = SampleList();
  double z = 0;
  double off = 0.5;
  int flr = 0;
  list.SetFlr(0, z, off, flr, 7);
  EXPECT_EQ(3, flr);
  EXPECT_DOUBLE_EQ(9.5, z);
  list.SetFlr(0, z, off, flr, -5);
  EXPECT_EQ(-2, flr);
  EXPECT_DOUBLE_EQ(-2.5, z);  // floor -2 stands on L(1) = -3
}

TEST(CPrfPlanParamTest, ProfileIndexOutsideTheListIsNoProfile)
{
  CPrfPlanParam list = SampleList();
  EXPECT_NE(nullptr, list.GetCurProf(0));
  EXPECT_EQ(nullptr, list.GetCurProf(1));
  EXPECT_EQ(nullptr, list.GetCurProf(-1));
  EXPECT_EQ(nullptr, CPrfPlanParam().GetCurProf(0));
  double z = 0;
  double off = 0;
  int flr = 9;
  list.SetZ(5, z, off, flr, 4.5);
  EXPECT_EQ(4.5, z);
  EXPECT_EQ(4.5, off);
  EXPECT_EQ(0, flr);
  list.SetFlr(-3, z, off, flr, 2);
  EXPECT_EQ(0, flr);
  EXPECT_EQ(4.5, off);
}

TEST(CPrfPlanParamTest, SetZThenReferencePlusOffsetGivesZBack)
{
  const CPrfPlanParam list = SampleList();
  const CPrfPlanItem& item = list[0];
  std::mt19937 random(15);
  std::uniform_real_distribution<double> height(-50, 50);
  for (int n = 0; n < 500; ++n) {
    const double value = height(random);
    double z = 0;
    double off = 0;
    int flr = 0;
    list.SetZ(0, z, off, flr, value);
    double low = 0;
    double high = 0;
    item.SBGetFlrL(item.GetConvFlr(1, flr), &low, &high);
    EXPECT_NEAR(value, high + off, 1e-9) << value;
  }
}

TEST(CPrfPlanParamTest, SetOffMovesTheHeightByTheChange)
{
  double z = 5;
  double off = 2;
  CPrfPlanParam::SetOff(z, off, 3.5);
  EXPECT_EQ(6.5, z);
  EXPECT_EQ(3.5, off);
}

TEST(CPrfPlanParamTest, RecomputeLevelsFromHeights)
{
  CPrfPlanParam list = SampleList();
  list[0].m_P = 0;  // entries now one too many: left as they are
  list[0].m_Floor[6].m_Level = 99;
  list.push_back(SampleProfile());
  list[1].m_Floor[3].m_Height = 4;  // the first storey above ground
  list[1].m_Floor[0].m_Height = 1;  // base level
  list.SBCalcFL();
  EXPECT_EQ(6, list[0].m_T);
  EXPECT_EQ(99, list[0].m_Floor[6].m_Level);
  const double levels[] = {-5, -2, 1, 5, 8, 11, 14};
  for (std::size_t k = 0; k < 7; ++k)
    EXPECT_DOUBLE_EQ(levels[k], list[1].m_Floor[k].m_Level) << k;
  EXPECT_EQ(14, list.FlrCnt());
}

TEST(CPrfPlanParamTest, CountsWrappingInSixteenBitsAreLeftAlone)
{
  // 60000 + 6000 wraps to 464: the entries match the wrapped total, but the
  // basements alone reach far past them.
  CPrfPlanParam list;
  list.emplace_back();
  list[0].m_B = 60000;
  list[0].m_G = 6000;
  list[0].m_Floor.resize(465, CPrfFloor(3, 7));
  list.SBCalcFL();
  EXPECT_EQ(0, list[0].m_T);
  EXPECT_EQ(7, list[0].m_Floor[464].m_Level);
}

TEST(CPrfPlanParamTest, CompareTolerances)
{
  EXPECT_TRUE(CPrfFloor(0, 0) == CPrfFloor(1e-5, -1e-5));
  EXPECT_FALSE(CPrfFloor(0, 0) == CPrfFloor(1.01e-5, 0));
  const CPrfFloor a(3, 6);
  EXPECT_FALSE(a == CPrfFloor(3.0004, 6));
  EXPECT_TRUE(a.IsNearlyEqual(CPrfFloor(3.0004, 6)));
  EXPECT_FALSE(a.IsNearlyEqual(CPrfFloor(3.0006, 6)));
  EXPECT_TRUE(CPrfFloorArray() == CPrfFloorArray());
  CPrfFloorArray one;
  one.push_back(a);
  EXPECT_FALSE(one == CPrfFloorArray());
  EXPECT_TRUE(SampleList() == SampleList());
  CPrfPlanParam other = SampleList();
  other[0].m_P = 2;
  EXPECT_FALSE(SampleList() == other);
  EXPECT_FALSE(SampleList().IsNearlyEqual(other));
}

// --- Old records --------------------------------------------------------------

TEST(CPrfPlanParamOldTest, RecordsRoundTrip)
{
  // An empty list clears whatever the outputs held.
  std::vector<PRFPLNTag> tags(1);
  std::vector<SFloorsTag> floors(1);
  EXPECT_TRUE(CPrfPlanParam().GetOldParam(tags, floors));
  EXPECT_TRUE(tags.empty());
  EXPECT_TRUE(floors.empty());

  CPrfPlanParam list = SampleList();
  list.push_back(CPrfPlanItem());  // total 0: no entries
  list.push_back(SampleProfile());
  ASSERT_TRUE(list.GetOldParam(tags, floors));
  ASSERT_EQ(3u, tags.size());
  ASSERT_EQ(14u, floors.size());
  EXPECT_EQ(0, +tags[0].First);
  EXPECT_EQ(7, +tags[2].First);
  EXPECT_EQ(-6.0f, +floors[0].Level);
  EXPECT_EQ(0, list[2].Compare(tags[2], std::span(floors).subspan(7)));

  CPrfPlanParam back;
  ASSERT_TRUE(back.FromOldParam(tags, floors));
  EXPECT_TRUE(back == list);
}

TEST(CPrfPlanParamOldTest, CompareReadsOnlyTheGivenEntries)
{
  const CPrfPlanItem item = SampleProfile();
  std::vector<PRFPLNTag> tags;
  std::vector<SFloorsTag> floors;
  ASSERT_TRUE(SampleList().GetOldParam(tags, floors));
  EXPECT_EQ(0, item.Compare(tags[0], floors));
  EXPECT_EQ(1, item.Compare(tags[0], std::span(floors).first(6)));
  floors[4].Level += 3e-5f;
  EXPECT_EQ(1, item.Compare(tags[0], floors));
  tags[0].G = 4;
  EXPECT_EQ(1, item.Compare(tags[0], floors));
}

TEST(CPrfPlanParamOldTest, EntriesPastTheArrayAreRefusedAndKeepTheList)
{
  std::vector<PRFPLNTag> tags;
  std::vector<SFloorsTag> floors;
  ASSERT_TRUE(SampleList().GetOldParam(tags, floors));
  CPrfPlanParam list = SampleList();
  list[0].m_Floor[0].m_Height = 42;
  const CPrfPlanParam before = list;
  tags[0].First = 1;
  EXPECT_FALSE(list.FromOldParam(tags, floors));
  tags[0].First = 60000;
  EXPECT_FALSE(list.FromOldParam(tags, floors));
  EXPECT_TRUE(list == before);
}

TEST(CPrfPlanParamOldTest, ItemBreakingTheEntryCountIsNotWritten)
{
  CPrfPlanParam list = SampleList();
  list[0].m_Floor.pop_back();
  std::vector<PRFPLNTag> tags;
  std::vector<SFloorsTag> floors;
  EXPECT_FALSE(list.GetOldParam(tags, floors));
  EXPECT_TRUE(tags.empty());
}

// --- Archive ------------------------------------------------------------------

TEST(CPrfPlanParamArchiveTest, SizesPerVersion)
{
  EXPECT_EQ(260u, Archived2(SampleList(), 2).size());
  EXPECT_EQ(128u, Archived2(SampleList(), 1).size());
  EXPECT_EQ(240u, Archived(SampleProfile(), 2).size());
  EXPECT_EQ(124u, Archived(SampleProfile(), 1).size());
}

TEST(CPrfPlanParamArchiveTest, VersionOneLayout)
{
  kel_test::ByteBuilder expected;
  expected.I32(1);
  const std::uint16_t counts[] = {6, 2, 3, 1};
  for (std::uint16_t c : counts)
    expected.bytes.insert(expected.bytes.end(), {static_cast<std::uint8_t>(c), 0});
  expected.I32(7).F64s({0, -6, 3, -3, 3, 0, 3, 3, 3, 6, 3, 9, 3, 12});
  EXPECT_EQ(expected.bytes, Archived2(SampleList(), 1));
}

TEST(CPrfPlanParamArchiveTest, RoundTripAtBothVersions)
{
  CPrfPlanParam list = SampleList();
  list.push_back(CPrfPlanItem());
  for (int version : {1, 2}) {
    CPrfPlanParam back;
    ASSERT_TRUE(Unarchive2(back, Archived2(list, version), version));
    EXPECT_TRUE(back == list);
  }
  CKelMemoryArchive out(2);
  EXPECT_TRUE(CPrfPlanParam::Serialize(out, 0, &list, nullptr));
  EXPECT_EQ(Archived2(list, 2), out.GetBytes());
}

TEST(CPrfPlanParamArchiveTest, CountsBeyondTheBytesAreRefused)
{
  kel_test::ByteBuilder negative;
  negative.I32(-1);
  CPrfPlanParam list;
  EXPECT_FALSE(Unarchive2(list, negative.bytes, 1));
  kel_test::ByteBuilder huge;
  huge.I32(1).I32(0).I32(0).I32(100000000);
  EXPECT_FALSE(Unarchive2(list, huge.bytes, 1));
  EXPECT_TRUE(list.empty() || list[0].m_Floor.empty());
}

}  // namespace
