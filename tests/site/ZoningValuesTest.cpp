// Division lines, value cells, zoning and shadow-regulation areas.

#include <gtest/gtest.h>

#include <cmath>

#include "CAreaRgl.h"
#include "CAreaUsg.h"
#include "CDivLine.h"
#include "CVcellCore.h"
#include "SiteTestSupport.h"

using namespace site_test;

namespace {

CDivLine Line(std::initializer_list<std::pair<double, double>> pts)
{
  CDivLine l;
  for (auto [x, y] : pts)
    l.emplace_back(x, y);
  return l;
}

template <class T>
T RoundTrip(T object, int version)
{
  const kel_test::Bytes bytes = kel_test::Archived(object, version);
  T back;
  EXPECT_TRUE(kel_test::Unarchive(back, bytes, version)) << version;
  return back;
}

}  // namespace

// --- Division lines ---------------------------------------------------------------

TEST(DivLine, AddAndSearchByToleranceBoundaries)
{
  CDivLineArray list;
  EXPECT_TRUE(list.AddDivLine(Line({{0, 0}, {10, 0}})));
  EXPECT_TRUE(list.AddDivLine(Line({{0, 5}, {10, 5}, {10, 9}})));
  EXPECT_FALSE(list.AddDivLine(Line({{0, 5.00002}, {10, 4.99998}, {10, 9}})));
  EXPECT_EQ(2, list.GetSize());
  EXPECT_EQ(1, list.Search(Line({{0, 5.00002}, {10, 4.99998}, {10, 9}})));
  EXPECT_EQ(-1, list.Search(Line({{0, 5.00003}, {10, 5}, {10, 9}})));
  EXPECT_EQ(5, list.GetPntMax());

  struct Row {
    double x, y;
    bool found;
  } rows[] = {{-2e-5, 0, true}, {10.00002, 0, true}, {-3e-5, 0, false}, {10.00003, 0, false},
              {5, 1e-5, true},  {5, -3e-5, false}};
  for (const Row& r : rows) {
    int li = -7, pi = -7;
    EXPECT_EQ(r.found, list.Search(CKelCoord2D(r.x, r.y), true, &li, &pi)) << r.x << " " << r.y;
    EXPECT_EQ(r.found ? 0 : -7, li);
  }
  int li = -1, pi = -1;
  ASSERT_TRUE(list.Search(CKelCoord2D(10, 9), false, &li, &pi));
  EXPECT_EQ(1, li);
  EXPECT_EQ(2, pi);
}

TEST(DivLine, OldFlatFormBothWaysAndRefusals)
{
  CDivLineArray list;
  list.push_back(Line({{0.1, 0.2}, {1, 2}, {3, 4}}));
  list.push_back(CDivLine());
  list.push_back(Line({{5, 6}, {7, 8}}));
  std::vector<std::uint16_t> index;
  std::vector<XY_FPAIR> pts;
  ASSERT_TRUE(list.GetOldParam(index, pts));
  EXPECT_EQ((std::vector<std::uint16_t>{0, 3, 3, 5}), index);
  ASSERT_EQ(5u, pts.size());
  CDivLineArray back;
  ASSERT_TRUE(back.FromOldParam(3, index.data(), 4, pts.data(), 5));
  ASSERT_EQ(3, back.GetSize());
  EXPECT_EQ(0, back[1].GetSize());
  EXPECT_EQ(static_cast<double>(0.1f), back[0][0].m_x);

  // A table that falls back, reaches past the points or is short is refused.
  const std::uint16_t falling[] = {0, 3, 2, 5};
  const std::uint16_t past[] = {0, 3, 3, 6};
  EXPECT_FALSE(back.FromOldParam(3, falling, 4, pts.data(), 5));
  EXPECT_FALSE(back.FromOldParam(3, past, 4, pts.data(), 5));
  EXPECT_FALSE(back.FromOldParam(3, index.data(), 3, pts.data(), 5));
  EXPECT_EQ(3, back.GetSize());

  CDivLineArray huge;
  huge.push_back(CDivLine());
  huge[0].resize(70000);
  EXPECT_FALSE(huge.GetOldParam(index, pts));
  EXPECT_TRUE(index.empty());
}

TEST(DivLine, CompareDataInsertAndArchives)
{
  CDivLineArray two, three;
  two.resize(2);
  three.resize(3);
  std::vector<std::string> lines;
  two.CompareData("区画線", three, lines);
  EXPECT_EQ((std::vector<std::string>{"区画線, 辺数, 2, 3"}), lines);

  CDivLine l = Line({{0, 0}, {2, 0}});
  l.InsertPoint(0, CKelCoord3D(1, 1, 9));
  l.InsertPoint(-1, CKelCoord3D(-1, 0, 0));
  kel_test::ExpectPoints({{-1, 0}, {0, 0}, {1, 1}, {2, 0}}, l);
  EXPECT_THROW(l.MoveLine(3, 1.0), std::out_of_range);

  CUsgLineArray usg;
  usg.push_back(l);
  for (int v : {1, 2, 30})
    EXPECT_EQ(usg, RoundTrip(usg, v));
  // Version 1 carries no tags: the count, then bare points.
  kel_test::Bytes v1 = kel_test::Archived(usg, 1);
  EXPECT_EQ(4u + 4u + 4u * 16u, v1.size());
  CRglLineArray rgl;
  rgl.push_back(l);
  EXPECT_EQ(rgl, RoundTrip(rgl, 2));
}

// --- Value cells ----------------------------------------------------------------------

TEST(Vcell, TimeTextsValuesAndRanges)
{
  CVcellTime2 t;
  t.m_Field1 = 24;
  t.SetValue();
  EXPECT_EQ("--時間--分", t.GetStr());
  EXPECT_EQ(24.0, t.m_Value);
  t.m_Field1 = 4;
  t.m_Field2 = 30;
  t.SetValue();
  EXPECT_EQ(" 4時間30分", t.GetStr());
  EXPECT_EQ(4.5, t.m_Value);

  struct Row {
    int h, m;
    bool invalid;
  } rows[] = {{24, 1, true}, {0, 60, true}, {0, 59, false}, {24, 0, false}, {0, -1, true}, {-1, 0, true}};
  for (const Row& r : rows) {
    CVcellTime1 c;
    c.m_Field1 = static_cast<std::int16_t>(r.h);
    c.m_Field2 = static_cast<std::int16_t>(r.m);
    EXPECT_EQ(r.invalid, c.CheckTimeValue()) << r.h << ":" << r.m;
  }
  CVcellDiff d;
  d.LtoVCELL(-30);
  EXPECT_EQ("-0分30秒", d.GetStr());
  EXPECT_EQ(-30 / 3600.0, d.m_Value);
}

TEST(Vcell, AngleCarriesWrapsAndConverts)
{
  CVcellAngle a;
  a.m_Field1 = 10;
  a.m_Field2 = 59;
  a.m_Field3 = 75;
  a.SetValue();
  EXPECT_EQ(11, a.m_Field1);
  EXPECT_EQ(0, a.m_Field2);
  EXPECT_EQ(15, a.m_Field3);
  a.m_Field1 = 359;
  a.m_Field2 = 59;
  a.m_Field3 = 60;
  a.SetValue();
  EXPECT_EQ(0, a.m_Field1 + a.m_Field2 + a.m_Field3);
  EXPECT_EQ(0.0, a.m_Value);

  CVcellTime1 n;
  ASSERT_TRUE(n.LtoVCELL2(-30, 0));
  EXPECT_EQ(0, n.m_Field1);
  EXPECT_EQ(0, n.m_Field2);
  EXPECT_EQ(-30, n.m_Field3);
  EXPECT_EQ(-30 / 3600.0, n.m_Value);

  CVcellDirection dir;
  dir.m_Value = 3 * KelAngle::Pi / 2;
  ASSERT_TRUE(dir.set_vcell_angle(0));
  EXPECT_EQ(-90, dir.m_Field1);
  EXPECT_NEAR(-KelAngle::HalfPi, dir.m_Value, 1e-15);
  for (double v : {1e300, HUGE_VAL, std::nan("")}) {
    dir.m_Value = v;
    EXPECT_EQ(std::isfinite(v), dir.set_vcell_angle(1)) << v;
  }

  ASSERT_TRUE(n.DoubletoVCELL2(59.9995, 0));
  EXPECT_EQ(0, n.m_Field1);
  EXPECT_EQ(1, n.m_Field2);
  EXPECT_EQ(0, n.m_Field3);
  // Beyond the 16-bit hours field: refused, cell unchanged.
  EXPECT_FALSE(n.DoubletoVCELL2(32768.0 * 3600, 0));
  EXPECT_FALSE(n.LtoVCELL2(32768L * 3600, 0));
  EXPECT_EQ(1, n.m_Field2);
}

// An edge running east that falls 0.01 mm over 20 m is 0.1" short of a full
// turn: its cell reads 0 deg 00' 00" and is valid, from the value and from
// arc seconds alike; a turn and a second more is still refused.
TEST(Vcell, DirectionWithinHalfASecondOfAFullTurnIsZero)
{
  const double shortOfTurn = std::atan2(-1e-5, 20.0);
  for (const double v : {KelAngle::TwoPi + shortOfTurn, -KelAngle::TwoPi - shortOfTurn}) {
    CVcellDirection d;
    d.m_Value = v;
    ASSERT_TRUE(d.set_vcell_angle(1));
    EXPECT_EQ(0, d.m_Field1) << v;
    EXPECT_EQ(0, d.m_Field2) << v;
    EXPECT_EQ(0, d.m_Field3) << v;
    EXPECT_FALSE(d.CheckAngleValue()) << v;
  }
  for (const double x : {1295999.9995, -1295999.9995, 1296000.4}) {
    CVcellAngle a;
    ASSERT_TRUE(a.DoubletoVCELL(x));
    EXPECT_EQ(0, a.m_Field1 + a.m_Field2 + a.m_Field3) << x;
    EXPECT_FALSE(a.CheckAngleValue()) << x;
  }
  CVcellAngle past;
  ASSERT_TRUE(past.DoubletoVCELL(1296001));
  EXPECT_EQ(360, past.m_Field1);
  EXPECT_TRUE(past.CheckAngleValue());
  // Hours are no angle: 360 h stays 360 h.
  CVcellTime1 hours;
  ASSERT_TRUE(hours.DoubletoVCELL2(1296000, 0));
  EXPECT_EQ(360, hours.m_Field1);
}

// A zero angle stored as minus a full turn, or with degrees -360, reads as
// +0.0 in every angle kind, so what was read writes back to the same bytes.
template <class Cell>
void ExpectZeroAngleReadsPositive(std::int16_t degrees, double value)
{
  Cell stored;
  stored.m_Field1 = degrees;
  stored.m_Value = value;
  for (const int version : {1, 5}) {
    Cell read;
    ASSERT_TRUE(kel_test::Unarchive(read, kel_test::Archived(stored, version), version));
    EXPECT_EQ(0.0, read.m_Value);
    EXPECT_FALSE(std::signbit(read.m_Value)) << degrees << " " << value << " v" << version;
    EXPECT_EQ(kel_test::Archived(read, version), kel_test::Archived(RoundTrip(read, version), version));
  }
}

TEST(Vcell, ZeroAngleReadsAsPlusZeroHoweverStored)
{
  ExpectZeroAngleReadsPositive<CVcellDirection>(0, -KelAngle::TwoPi);
  ExpectZeroAngleReadsPositive<CVcellAngle>(-360, 0.0);
  ExpectZeroAngleReadsPositive<CVcellSunLat>(-360, 0.0);
  ExpectZeroAngleReadsPositive<CVcellDirection>(-360, 0.0);
  CVcellDirection turn;
  turn.m_Value = -KelAngle::TwoPi;
  ASSERT_TRUE(turn.set_vcell_angle(1));
  EXPECT_FALSE(std::signbit(turn.m_Value));
}

TEST(Vcell, ArchivesPerVersionAndRecords)
{
  CVcellTime2 t;
  t.m_Field1 = 4;
  t.m_Field2 = 30;
  t.SetValue();
  for (int v : {1, 2, 4, 5, 30})
    EXPECT_TRUE(t.IsNearlyEqual(RoundTrip(t, v))) << v;
  // A version-4 cell stores and drops its display text.
  const kel_test::Bytes v4 = kel_test::Archived(t, 4);
  const kel_test::Bytes v5 = kel_test::Archived(t, 5);
  EXPECT_EQ(v5.size() + 2 + t.GetStr().size() + 1, v4.size());

  // A direction whose fields disagree with its value keeps the value.
  CVcellDirection d;
  d.m_Field1 = 10;
  d.m_Value = KelAngle::HalfPi;
  const CVcellDirection back = RoundTrip(d, 5);
  EXPECT_EQ(90, back.m_Field1);
  EXPECT_EQ(KelAngle::HalfPi, back.m_Value);
  d.m_Value = NAN;
  CVcellDirection refused;
  EXPECT_FALSE(kel_test::Unarchive(refused, kel_test::Archived(d, 5), 5));

  const kel_test::Bytes rec = kel_test::SavedRecord(t);
  EXPECT_EQ(10u, rec.size());
  CVcellTime2 loaded;
  ASSERT_TRUE(kel_test::LoadRecord(loaded, rec));
  EXPECT_EQ(4.5, loaded.m_Value);
  EXPECT_FALSE(kel_test::LoadRecord(loaded, kel_test::Bytes(rec.begin(), rec.begin() + 9)));
}

// --- Zoning -----------------------------------------------------------------------------

TEST(Zoning, PerKindTable)
{
  struct Row {
    int usage;
    double abs, road2, northH, northS;
  } rows[17] = {{5, 10, 0, 5, 1.25},  {6, 12, 0, 5, 1.25},  {5, 10, 0, 5, 1.25},  {6, 12, 0, 5, 1.25},
                {4, 0, 1.5, 10, 1.25}, {4, 0, 1.5, 10, 1.25}, {3, 0, 1.5, 0, 0},    {3, 0, 1.5, 0, 0},
                {3, 0, 1.5, 0, 0},    {2, 0, 0, 0, 0},      {2, 0, 0, 0, 0},      {1, 0, 0, 0, 0},
                {1, 0, 0, 0, 0},      {1, 0, 0, 0, 0},      {0, 0, 0, 0, 0},      {5, 10, 0, 5, 1.25},
                {6, 12, 0, 5, 1.25}};
  CAreaRglArray none, set;
  set.resize(1);
  set[0].m_RglTable.m_Height = 4;
  for (int k = 0; k < 17; ++k) {
    CUsgTable t;
    t.m_Usage = static_cast<std::int8_t>(k);
    t.m_RinchiHeight = 20;
    EXPECT_EQ(rows[k].usage, t.GetUsageCode()) << k;
    EXPECT_EQ(rows[k].abs, t.GetAbsHeight()) << k;
    EXPECT_EQ(rows[k].road2, t.GetRoadSlope(1)) << k;
    EXPECT_EQ(rows[k].northH, t.GetNorthHeight()) << k;
    EXPECT_EQ(rows[k].northS, t.GetNorthSlope(none)) << k;
    EXPECT_EQ((k == 4 || k == 5) ? 0.0 : rows[k].northS, t.GetNorthSlope(set)) << k;
    EXPECT_EQ(20.0, t.GetRinchiHeight());
  }
  const int oldCodes[] = {5, 6, 4, 3, 2, 2, 1, 1, 1, 0};
  for (int k = 0; k < 10; ++k) {
    CUsgTable t;
    t.m_Usage = static_cast<std::int8_t>(k);
    t.m_NewFlag = 0;
    t.m_RinchiHeight = 20;
    EXPECT_EQ(oldCodes[k], t.GetUsageCode()) << k;
    EXPECT_EQ(0.0, t.GetRoadSlope(1) + t.GetRinchiHeight() + t.GetNorthHeight() + t.GetNorthSlope(set));
  }
  // Stored kinds and flags outside the tables read as kind 14.
  CUsgDefaultTable table;
  table.m_Entry[1].resize(17);
  table.m_Entry[1][3] = {"第一種住居地域", 0, 0, 0, 0, 0, 33};
  for (auto [kind, flag] : {std::pair{17, 1}, {-3, 1}, {3, 7}}) {
    CUsgTable t;
    t.m_Usage = static_cast<std::int8_t>(kind);
    t.m_NewFlag = static_cast<std::uint8_t>(flag);
    EXPECT_EQ(0.0, t.GetNorthSlope(set) + t.GetNorthHeight() + t.GetRoadSlope2());
    EXPECT_EQ("", t.GetUsgName(table));
    EXPECT_EQ(0, t.GetAdxCode(table));
  }
  CUsgTable t3;
  t3.m_Usage = 3;
  EXPECT_EQ("第一種住居地域", t3.GetUsgName(table));
  EXPECT_EQ(33, t3.GetAdxCode(table));
}

TEST(Zoning, RatiosBandsAndSiteData)
{
  CUsgTable t;
  t.m_Capacity = 3.0f;
  t.m_RoadCoef = 0.4f;
  t.calc_usage_capacity(6.0);
  EXPECT_EQ(2.4f, t.m_UseCapacity);
  for (double w : {0.0, 12.0}) {
    t.calc_usage_capacity(w);
    EXPECT_EQ(3.0f, t.m_UseCapacity) << w;
  }
  CAreaUsgArray list;
  list.resize(2);
  list[0].m_UsgTable.m_Usage = 9;  // usage code 2
  EXPECT_EQ(20.0, list.get_darealen(0, 4.000005));
  EXPECT_EQ(25.0, list.get_darealen(0, 4.1));
  EXPECT_EQ(30.0, list.get_darealen(1, 2.5 + 1.0));
  EXPECT_THROW(list.get_darealen(2, 1.0), std::out_of_range);

  CKelHSite site = Square();
  site.m_FloorAreaRatio = 9;
  site.m_CoverageRatio = 9;
  list[0].m_area = 100;
  list[0].m_UsgTable.m_UseCapacity = 2.0f;
  list[0].m_UsgTable.m_Coverage = 0.6f;
  list[1].m_area = 50;
  list[1].m_UsgTable.m_UseCapacity = 4.0f;
  list[1].m_UsgTable.m_Coverage = 0.8f;
  list.CalcSitedata(site);
  EXPECT_EQ(static_cast<float>((100 * 2.0 + 50 * 4.0) / 150), site.m_FloorAreaRatio);
  EXPECT_NEAR(2.6666667, site.m_FloorAreaRatio, 1e-6);
  EXPECT_NEAR(0.6666667, site.m_CoverageRatio, 1e-6);
  list[0].m_area = list[1].m_area = 0;
  site.m_FloorAreaRatio = 7;
  list.CalcSitedata(site);
  EXPECT_EQ(7.0f, site.m_FloorAreaRatio);
}

TEST(Zoning, PointOnSharedEdgeTakesHigherCode)
{
  CKelHSite site = Site({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
  CAreaUsgArray list;
  list.resize(2);
  list[0].m_pt = kel_test::Pts({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  list[0].m_UsgTable.m_Usage = 4;  // code 4
  list[1].m_pt = kel_test::Pts({{10, 0}, {20, 0}, {20, 10}, {10, 10}});
  list[1].m_UsgTable.m_Usage = 6;  // code 3
  for (CAreaUsg& a : list)
    a.SetMaxMin();
  int code = -1;
  EXPECT_EQ(0, list.check_usage(site, CKelCoord2D(10, 5), &code));
  EXPECT_EQ(4, code);
  std::swap(list[0], list[1]);
  EXPECT_EQ(1, list.check_usage(site, CKelCoord2D(10, 5), &code));
  EXPECT_EQ(1, list.check_usage(site, CKelCoord2D(5, 5), &code));
  EXPECT_EQ(0, list.check_usage(site, CKelCoord2D(15, 5), &code));
  EXPECT_EQ(3, code);
  EXPECT_EQ(-1, list.check_usage(site, CKelCoord2D(25, 5), &code));
  EXPECT_EQ(0, code);
  CAreaUsgArray empty;
  EXPECT_EQ(0, empty.check_usage(site, CKelCoord2D(20, 5), &code));
  EXPECT_EQ(-1, empty.check_usage(site, CKelCoord2D(21, 5), &code));
}

// --- Shadow regulation --------------------------------------------------------------------

TEST(Regulation, SetFlagAndUnsetHeight)
{
  CRglTable t;
  EXPECT_FALSE(t.GetFlag());
  t.m_Time2.m_Field1 = 4;
  EXPECT_TRUE(t.GetFlag());
  CRglTable h;
  h.m_Height = 299.9;
  EXPECT_TRUE(h.GetFlag());
  CRglTable high;
  high.m_Height = 310;
  high.m_AveHeight = 10;
  kel_test::Archived(high, 2);  // the writer normalises its copy
  const CRglTable back = RoundTrip(high, 2);
  EXPECT_EQ(300.0, back.m_Height);
  EXPECT_EQ(0.0, back.m_AveHeight);
}

TEST(Regulation, StrictestAreaOnBoundaries)
{
  CKelHSite site = Site({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
  auto area = [](double x0, double x1, int hours, double height) {
    CAreaRgl a;
    a.m_pt = kel_test::Pts({{x0, 0}, {x1, 0}, {x1, 10}, {x0, 10}});
    a.SetMaxMin();
    a.m_RglTable.m_Time1.m_Field1 = static_cast<std::int16_t>(hours);
    a.m_RglTable.m_Time1.SetValue();
    a.m_RglTable.m_Height = height;
    return a;
  };
  CAreaRglArray list;
  list.push_back(area(0, 10, 5, 4));
  list.push_back(area(10, 20, 4, 4));
  int flag = -1;
  EXPECT_EQ(1, list.check_regulate(site, CKelCoord2D(10, 5), &flag));
  EXPECT_EQ(1, flag);
  EXPECT_EQ(0, list.check_regulate(site, CKelCoord2D(5, 5), &flag));  // inside wins
  list[1] = area(10, 20, 5, 1.5);
  EXPECT_EQ(1, list.check_regulate(site, CKelCoord2D(10, 5), &flag));  // equal times: lower height
  list[0] = area(0, 10, 24, 300);
  list[1] = area(10, 20, 24, 300);
  EXPECT_EQ(0, list.check_regulate(site, CKelCoord2D(10, 5), &flag));
  EXPECT_EQ(0, flag);
  EXPECT_EQ(300.0, list.GetRegHeight2(CKelCoord2D(30, 5)));
}

TEST(Zoning, OldRecordsOfBothListsAndArchives)
{
  CAreaUsgArray usg;
  CAreaRglArray rgl;
  for (int n : {4, 0, 3}) {
    CAreaUsg u;
    CAreaRgl r;
    for (int k = 0; k < n; ++k) {
      u.m_pt.emplace_back(k + 0.1, k * 2.0);
      r.m_pt.emplace_back(k + 0.1, k * 2.0);
    }
    u.m_UsgTable.m_Capacity = 1.5f;
    u.SetMaxMin();
    r.SetMaxMin();
    r.m_RglTable.m_Height = 4.0;
    usg.push_back(u);
    rgl.push_back(r);
  }
  CAreaUsgOldParam uo;
  CAreaRglOldParam ro;
  ASSERT_TRUE(usg.GetOldParam(uo));
  ASSERT_TRUE(rgl.GetOldParam(ro));
  EXPECT_EQ(0, uo.area[0].first);
  EXPECT_EQ(4, uo.area[1].first);
  EXPECT_EQ(4, uo.area[2].first);
  EXPECT_EQ(4, ro.area[2].first);
  EXPECT_EQ((std::vector<std::uint16_t>{1, 1, 1}), ro.flags);
  CAreaUsgArray usgBack;
  CAreaRglArray rglBack;
  ASSERT_TRUE(usgBack.FromOldParam(3, uo));
  ASSERT_TRUE(rglBack.FromOldParam(3, ro));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(usg[i].m_UsgTable, usgBack[i].m_UsgTable);
    EXPECT_EQ(usg[i].m_pt, usgBack[i].m_pt);
    EXPECT_EQ(rgl[i].m_RglTable, rglBack[i].m_RglTable);
  }
  EXPECT_EQ(static_cast<double>(0.1f), usgBack[0].m_pt[0].m_x);
  EXPECT_EQ(3u, rglBack[2].m_pt.size());
  // A run reaching past the points is refused and the list kept.
  uo.area[2].count = 4;
  EXPECT_FALSE(usgBack.FromOldParam(3, uo));
  uo.capacity.pop_back();
  EXPECT_FALSE(usgBack.FromOldParam(3, uo));
  EXPECT_EQ(3, usgBack.GetSize());

  for (int v : {1, 2, 30}) {
    EXPECT_EQ(usg, RoundTrip(usg, v)) << v;
    EXPECT_EQ(rgl, RoundTrip(rgl, v)) << v;
  }
  // Zoning areas store the polygon first, regulation areas the record.
  const kel_test::Bytes u1 = kel_test::Archived(usg[1], 1);
  const kel_test::Bytes r1 = kel_test::Archived(rgl[1], 1);
  EXPECT_EQ(0, u1[0] + u1[1] + u1[2] + u1[3]);  // vertex count 0
  double h = 0;
  std::memcpy(&h, r1.data(), 8);
  EXPECT_EQ(4.0, h);
}

TEST(Zoning, HandmadeRecordsPinBothOrders)
{
  // A zoning area at version 2: tag, polygon (count, points, area, box),
  // then the record.
  SiteBytes u;
  u.Tag("CAreaUsg").I32(1).Pt2(1, 2).F64(0).F64(1).F64(1).F64(2).F64(2);
  u.Tag("CUsgTable").I8(4).I8(1).F32(2.0f).F32(1.5f).F32(0.6f).Put<std::uint16_t>(7).Put<std::uint16_t>(8);
  u.F32(0.4f).F32(1.25f).F32(2.5f).F32(20.0f);
  CAreaUsg area;
  ASSERT_TRUE(kel_test::Unarchive(area, u.bytes, 2));
  EXPECT_EQ(1u, area.m_pt.size());
  EXPECT_EQ(4, area.m_UsgTable.m_Usage);
  EXPECT_EQ(1.5f, area.m_UsgTable.m_UseCapacity);
  EXPECT_EQ(8, area.m_UsgTable.m_Param2);
  EXPECT_EQ(20.0f, area.m_UsgTable.m_RinchiHeight);
  EXPECT_EQ(u.bytes, kel_test::Archived(area, 2));

  // A regulation area: tag, record (height, level, two cells, each with
  // its display text below version 5), polygon.
  SiteBytes r;
  r.Tag("CAreaRgl").Tag("CRglTable").F64(4.0).F64(0.5);
  for (int hours : {5, 3}) {
    r.Tag("CVcellTime2").Tag("CVcellCore").I16(static_cast<std::int16_t>(hours)).I16(0).I16(0).F64(hours);
    r.Tag(" " + std::to_string(hours) + "時間00分");
  }
  r.I32(0).F64(0).F64(0).F64(0).F64(0).F64(0);
  CAreaRgl rgl;
  ASSERT_TRUE(kel_test::Unarchive(rgl, r.bytes, 2));
  EXPECT_EQ(4.0, rgl.m_RglTable.m_Height);
  EXPECT_EQ(0.5, rgl.m_RglTable.m_AveHeight);
  EXPECT_EQ(3.0, rgl.m_RglTable.m_Time2.m_Value);
  EXPECT_EQ(r.bytes, kel_test::Archived(rgl, 2));
}

TEST(Zoning, CompareLinesAndSetbacks)
{
  CUsgTable a, b;
  b.m_Usage = 3;
  b.m_Coverage = 0.5f;
  std::vector<std::string> lines;
  a.CompareData("用途", b, lines);
  EXPECT_EQ((std::vector<std::string>{"用途, 高さ, 14, 3", "用途, 高さ, 0.000000, 0.500000"}), lines);
  CRglTable r, s;
  s.m_Time1.m_Field1 = 5;
  lines.clear();
  r.CompareData("規制", s, lines);
  EXPECT_EQ((std::vector<std::string>{"規制, 規制時間1, field1, 24, 5"}), lines);

  CKelSiteTable v;
  v.m_Sphere.m_BldBack[0] = 1.5;
  v.m_Sphere.m_BldBack[1] = 0;
  v.m_Kanwa1 = 2.0f;
  CAreaUsg low, high;
  low.m_UsgTable.m_Usage = 9;   // code 2
  high.m_UsgTable.m_Usage = 6;  // code 3
  EXPECT_EQ(0.0, v.GetBldDistance(low));
  EXPECT_EQ(1.5, v.GetBldDistance(high));
  EXPECT_EQ(1.0, v.GetRinchiAdoptiveDistance(low));
  EXPECT_EQ(3.5, v.GetRinchiAdoptiveDistance(high));
}

TEST(Zoning, WritersRefuseWhatSixteenBitsCannotIndex)
{
  CAreaUsgArray usg;
  usg.resize(2);
  usg[0].m_pt.resize(32767);
  usg[1].m_pt.resize(1);
  CAreaUsgOldParam old;
  ASSERT_TRUE(usg.GetOldParam(old));
  EXPECT_EQ(32767, old.area[1].first);
  usg.resize(3);
  usg[2].m_pt.resize(1);  // its first index would be 32768
  EXPECT_FALSE(usg.GetOldParam(old));
  EXPECT_TRUE(old.area.empty());
  CAreaRglArray rgl;
  rgl.resize(1);
  rgl[0].m_pt.resize(40000);
  CAreaRglOldParam ro;
  EXPECT_FALSE(rgl.GetOldParam(ro));
}

TEST(Vcell, RangeRulesSumsAndOldCells)
{
  struct Angle {
    int d, m, s;
    bool invalid;
  } angles[] = {{10, -1, 0, true}, {0, 10, -1, true}, {0, 0, -30, false}, {0, -30, 0, false},
                {360, 0, 0, true}, {-359, 59, 59, false}, {0, 60, 0, true}, {1, 0, 0, false}};
  for (const Angle& a : angles) {
    CVcellAngle c;
    c.m_Field1 = static_cast<std::int16_t>(a.d);
    c.m_Field2 = static_cast<std::int16_t>(a.m);
    c.m_Field3 = static_cast<std::int16_t>(a.s);
    EXPECT_EQ(a.invalid, c.CheckAngleValue()) << a.d << " " << a.m << " " << a.s;
  }
  struct Diff {
    int m, s;
    bool invalid;
  } diffs[] = {{0, -59, false}, {0, -60, true}, {59, 0, false}, {60, 0, true}, {-5, 10, false}, {5, -10, true}};
  for (const Diff& d : diffs) {
    CVcellDiff c;
    c.m_Field1 = static_cast<std::int16_t>(d.m);
    c.m_Field2 = static_cast<std::int16_t>(d.s);
    EXPECT_EQ(d.invalid, c.CheckTimeValue()) << d.m << " " << d.s;
  }

  CVcellDeltaTime a, b;
  a.LtoVCELL(3600 + 20 * 60);
  b.LtoVCELL(-(2 * 3600));
  ASSERT_TRUE(a.VCELLAdd(b));
  EXPECT_EQ(0, a.m_Field1);
  EXPECT_EQ(-40, a.m_Field2);
  EXPECT_EQ(-2400L, a.VCELLtoL());
  EXPECT_EQ(" 0時間-40分", a.GetStr());

  CVcellDiff d;
  d.m_Field1 = -2;
  d.m_Field2 = 30;
  d.SetValue();
  EXPECT_EQ(-150 / 3600.0, d.m_Value);
  EXPECT_EQ(-150L, d.VCELLtoL());
  EXPECT_EQ(1, d.time_value2(0));
  EXPECT_EQ(-150 / 3600.0, d.m_Value);
  EXPECT_EQ(0, d.time_value2(1));
  EXPECT_EQ(2.5, d.m_Value);

  const VCELLTag tag{-1, 30, 15, 0.5f};
  CVcellSunLat lat(tag);
  EXPECT_EQ(0.5, lat.m_Value);  // taken as stored, not recomputed
  EXPECT_EQ("  -1度30分15秒", (lat.SetValue(), lat.GetStr()));
  const VCELLTag back = lat.GetOldParam();
  const int field1 = back.field1;
  const float value = back.value;  // packed: read into aligned copies
  EXPECT_EQ(-1, field1);
  EXPECT_EQ(static_cast<float>(lat.m_Value), value);
  std::vector<std::string> lines;
  CVcellSunLat other;
  lat.CompareData("緯度", other, lines);
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ("緯度, field1, -1, 0", lines[0]);
}

TEST(Zoning, DefaultsAndSums)
{
  CKelHSite site = Square();
  site.m_FloorAreaRatio = 2.0f;
  site.m_CoverageRatio = 0.6f;
  CUsgDefaultTable table;
  table.m_Entry[1].resize(15);
  table.m_Entry[1][14] = {"指定なし", 9, 0.4, 1.25, 2.5, 20.0, 1};
  CAreaUsgArray usg;
  EXPECT_EQ(0, usg.default_usage_data(CKelHSite(), table));
  ASSERT_EQ(1, usg.default_usage_data(site, table));
  const CUsgTable& t = usg[0].m_UsgTable;
  EXPECT_EQ(14, t.m_Usage);
  EXPECT_EQ(2.0f, t.m_UseCapacity);
  EXPECT_EQ(9, t.m_Param1);
  EXPECT_EQ(0.4f, t.m_RoadCoef);
  EXPECT_EQ(100.0, usg[0].m_area);
  EXPECT_EQ(200.0, usg.CalKenpeiArea());
  EXPECT_NEAR(60.0, usg.CalKentikuArea(), 1e-5);
  EXPECT_FALSE(usg.IsOldUsg());
  usg.push_back(usg[0]);
  usg[1].m_UsgTable.m_Capacity = 0;
  usg[1].m_UsgTable.m_NewFlag = 0;
  EXPECT_TRUE(usg.IsOldUsg());
  EXPECT_EQ(2, usg.CheckUsageData(site, -1));
  EXPECT_EQ(0, usg.CheckUsageData(site, 0));
  EXPECT_EQ(0, CAreaUsgArray().CheckUsageData(site, -1));

  CRglCalcArea calc;
  calc.m_Value[1] = -5;
  calc.m_Value[2] = -6;
  calc.m_Value[3] = 30;
  calc.m_Value[4] = 40;
  CAreaRglArray rgl;
  ASSERT_EQ(1, rgl.default_regulate_data(site, calc));
  kel_test::ExpectPoints({{-5, -6}, {30, -6}, {30, 40}, {-5, 40}}, rgl[0].m_pt);
  EXPECT_FALSE(rgl.IsRglSet());
  EXPECT_EQ(0, rgl.GetRegArea2(CKelCoord2D(30, 0)));
  CAreaRglArray moved = rgl;
  moved[0].m_pt[0].m_x = -9;
  EXPECT_NE(rgl, moved);
  EXPECT_TRUE(rgl.CheckSyasenCheckCondition(moved));
  moved[0].m_RglTable.m_Height = 7;
  EXPECT_FALSE(rgl.CheckSyasenCheckCondition(moved));
  EXPECT_TRUE(rgl.IsRglSet() != moved.IsRglSet());
}
