// The check point with the worst shadow-time excess, and the times asked of
// the check driver's calculator.

#include <gtest/gtest.h>

#include "CKelBaseParam.h"
#include "CKelCpntParam.h"
#include "ScriptedTimeCalc.h"

namespace {

constexpr std::int32_t kHour = 3600000;

CKelCpntTable At(double x, double y, double z, std::int32_t time)
{
  CKelCpntTable p;
  p.m_x = x;
  p.m_y = y;
  p.m_z = z;
  p.m_Time = time;
  return p;
}

// One regulation area (3 h within the first measuring distance, 2 h
// within the second, measured 4 m up) over a deemed site 10 x 10 m.
CKelBaseParam Base()
{
  CKelBaseParam base;
  CAreaRgl area;
  area.m_pt = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}};
  area.m_RglTable.m_Time1.m_Field1 = 3;
  area.m_RglTable.m_Time1.m_Field2 = 0;
  area.m_RglTable.m_Time1.SetValue();
  area.m_RglTable.m_Time2.m_Field1 = 2;
  area.m_RglTable.m_Time2.m_Field2 = 0;
  area.m_RglTable.m_Time2.SetValue();
  area.m_RglTable.m_Height = 4;
  base.m_Rgl.push_back(area);
  base.m_MSite.m_pt = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  base.m_MSite.SetMaxMin();
  base.m_MSite.SetArea();
  base.m_Distance1 = 5;
  base.m_Distance2 = 10;
  return base;
}

TEST(SearchMaxTimeCpnt, NothingToChooseFrom)
{
  CKelBaseParam base = Base();
  EXPECT_EQ(-1, CKelCpntParam().SearchMaxTimeCpnt(base));
  CKelCpntParam list;
  list.push_back(At(5, -1, 1.5, 99 * kHour));
  list.push_back(At(5, -1, 4.001, 99 * kHour));
  EXPECT_EQ(-1, list.SearchMaxTimeCpnt(base));
  // A height stored in single precision still matches.
  list.push_back(At(5, -1, static_cast<float>(4.0000001), 99 * kHour));
  EXPECT_EQ(2, list.SearchMaxTimeCpnt(base));
  // An unset regulation answers nothing.
  base.m_Rgl[0].m_RglTable = CRglTable();
  base.m_Rgl[0].m_RglTable.m_Height = 4;
  base.m_Rgl[0].m_RglTable.m_Time1 = CRglTable::FullDay();
  EXPECT_EQ(2, list.SearchMaxTimeCpnt(base));  // a height below 300 is a setting
  base.m_Rgl[0].m_RglTable.m_Height = CRglTable::kNoHeight;
  EXPECT_EQ(-1, list.SearchMaxTimeCpnt(base));
}

// Which permitted time a point at distance d is held to: a reference point
// on the site exceeds the 3 h by nothing; the tested point (2.5 h) exceeds
// the 2 h by half an hour but falls short of the 3 h, so it is chosen
// exactly when the second time applies.
TEST(SearchMaxTimeCpnt, MeasuringDistancesChooseThePermittedTime)
{
  struct Row {
    double d;
    std::int32_t time;
    int chosen;  // 0 the reference, 1 the tested point
  } rows[] = {
      {0, 150 * 60000, 0},
      {5 - 1e-5, 150 * 60000, 0},
      {5 + 0.9e-5, 150 * 60000, 0},
      {5 + 1.1e-5, 150 * 60000, 1},
      {10 - 1e-5, 150 * 60000, 1},
      {10 + 0.9e-5, 150 * 60000, 1},
      {10 + 1.1e-5, 150 * 60000, 0},  // beyond both: skipped
      {3, 0, 0},                      // no time: skipped
      {7, 0, 0},
  };
  CKelBaseParam base = Base();
  for (const Row& row : rows) {
    CKelCpntParam list;
    list.push_back(At(5, 5, 4, 3 * kHour));
    list.push_back(At(5, -row.d, 4, row.time));
    EXPECT_EQ(row.chosen, list.SearchMaxTimeCpnt(base)) << row.d;
  }
}

TEST(SearchMaxTimeCpnt, GreatestExcessWinsTiesKeepTheEarlier)
{
  CKelBaseParam base = Base();
  CKelCpntParam list;
  list.push_back(At(5, 5, 4, 3 * kHour + 10));
  list.push_back(At(5, -7, 4, 2 * kHour + 30));  // 30 ms over 2 h
  list.push_back(At(5, -1, 4, 3 * kHour + 30));  // the same excess, later
  list.push_back(At(5, -1, 4, 1));               // far short
  EXPECT_EQ(1, list.SearchMaxTimeCpnt(base));
  // Every point short of its time still gives the least short one.
  CKelCpntParam shortOnly;
  shortOnly.push_back(At(5, -1, 4, 1));
  shortOnly.push_back(At(5, -1, 4, 2));
  EXPECT_EQ(1, shortOnly.SearchMaxTimeCpnt(base));
}

TEST(SSChkpntTime, AsksPrepareFirstSecondAndReportsChanges)
{
  sky_test::ScriptedTimeCalc calc;
  calc.m_Time1 = 1000;
  calc.m_Time2 = 2000;
  CKelBaseParam base = Base();
  CKelCpntTable p = At(1, 2, 4, -1);
  EXPECT_FALSE(p.SSChkpntTime(base));  // no calculator: nothing happens
  EXPECT_EQ(0, p.m_TimeA);
  base.m_pTimeCalc = &calc;
  EXPECT_TRUE(p.SSChkpntTime(base));
  EXPECT_EQ((std::vector<std::string>{"prepare", "first", "second"}), calc.m_Calls);
  EXPECT_EQ(2000, p.m_TimeA);
  EXPECT_EQ(1000, p.m_TimeB);
  EXPECT_EQ(-1, p.m_TimeC);
  EXPECT_EQ(2000, p.m_Time);
  EXPECT_FALSE(p.SSChkpntTime(base));  // the same times again
  p.m_TimeC = 0;
  EXPECT_TRUE(p.SSChkpntTime(base));  // a third time was still held
  calc.m_Time1 = 1001;
  EXPECT_TRUE(p.SSChkpntTime(base));
  calc.m_Time2 = 0;
  EXPECT_TRUE(p.SSChkpntTime(base));
  EXPECT_EQ(0, p.m_TimeA);
}

}  // namespace
