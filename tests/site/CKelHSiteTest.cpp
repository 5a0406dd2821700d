#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "CKelHSite.h"
#include "CKelObject.h"
#include "SiteTestSupport.h"

namespace {

using site_test::MakeCut;
using site_test::MakeRoad;
using site_test::Square;

TEST(CKelHSiteTest, BuiltFromPointsHasDefaultVerticesAndNoArea)
{
  CKelHSite site(kel_test::Pts({{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  EXPECT_EQ(4, site.GetSize());
  EXPECT_EQ(0.0, site.m_area);
  EXPECT_TRUE(site.m_Road.empty());
  for (const CKelSiteTable& v : site.m_pt) {
    EXPECT_EQ(-1, v.optno);
    EXPECT_EQ(70.0f, v.m_TokuteiDistance);
  }
  site.m_DefTokuteiDistance = 40;
  site.m_FloorAreaRatio = 2;
  EXPECT_EQ(0, site.Init());
  EXPECT_EQ(0, site.GetSize());
  EXPECT_EQ(70.0f, site.m_DefTokuteiDistance);
  EXPECT_EQ(0.0f, site.m_FloorAreaRatio);
}

TEST(CKelHSiteTest, ClockwiseOutlineIsReversedRecordByRecord)
{
  CKelHSite site(kel_test::Pts({{0, 10}, {10, 10}, {10, 0}, {0, 0}}));
  site.m_pt[0].m_RinchiHeight = 1;
  site.m_pt[1].m_RinchiHeight = 2;
  site.SetArea();
  EXPECT_EQ(100.0, site.m_area);
  ASSERT_EQ(4, site.GetSize());
  kel_test::ExpectXY(0, 0, site.m_pt[0]);
  EXPECT_EQ(2.0f, site.m_pt[2].m_RinchiHeight);
  EXPECT_EQ(1.0f, site.m_pt[3].m_RinchiHeight);
}

// The site seen only through the kernel's point-list interface, as the
// block containment checks see it.
TEST(CKelHSiteTest, ServesTheKernelPointListInterface)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  CKelObject& object = site;
  EXPECT_EQ(4, object.GetSize());
  EXPECT_TRUE(object.IsClosed());
  EXPECT_TRUE(object.IsCCW());
  EXPECT_FALSE(object.IsCenter(1));
  kel_test::ExpectXYZ(10, 10, 0, object.GetCoord3D(2));
  kel_test::ExpectXYZ(0, 10, 0, object.GetCoord3D(-1));
  kel_test::ExpectXYZ(0, 0, 0, object.GetCoord3D(4));
  kel_test::ExpectXYZ(0, 10, 0, object.GetBackCoord3D());
  object.MovePoint(1, CKelCoord3D(12, 0, 5));
  kel_test::ExpectXYZ(12, 0, 0, object.GetCoord3D(1));
  EXPECT_TRUE(site.m_pt[0].IsRoad());
  object.MoveBlock(CKelCoord2D(1, 1), CKelCoord3D(0, 0, 9));
  kel_test::ExpectXY(1, 1, site.m_pt[0]);
  object.SwapCoord(0, 1);
  kel_test::ExpectXY(13, 1, site.m_pt[0]);
  EXPECT_TRUE(site.m_pt[0].IsRoad());  // attributes stay with the record
  object.Append(CKelCoord3D(-1, 5, 3));
  EXPECT_EQ(5, object.GetSize());
  object.Clear();
  EXPECT_EQ(0, object.GetSize());

  CKelHSiteArray list;
  list.AddElement(&site);
  CKelObjectArray& objects = list;
  EXPECT_EQ(1, objects.GetSize());
  EXPECT_EQ(0, objects.GetElement(0)->GetSize());
  CKelHSiteArray other = list;
  EXPECT_EQ(list, other);
  other[0].m_FloorAreaRatio = 1;
  EXPECT_NE(list, other);
  objects.Erase(0);
  EXPECT_EQ(0, objects.GetSize());
}

TEST(CKelHSiteTest, InsertPointSplitsARoadAndItsHeights)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  MakeRoad(site, 2, 5, 5);
  site.m_pt[0].m_RoadHeight1 = 1.0f;
  site.m_pt[0].m_RoadHeight2 = 3.0f;
  site_test::BuildRoads(site);
  ASSERT_EQ(2u, site.m_Road.size());
  site.InsertPoint(0, CKelCoord3D(5, 0, 0));
  ASSERT_EQ(5, site.GetSize());
  EXPECT_EQ(1.0f, site.m_pt[0].m_RoadHeight1);
  EXPECT_EQ(2.0f, site.m_pt[0].m_RoadHeight2);
  EXPECT_EQ(2.0f, site.m_pt[1].m_RoadHeight1);
  EXPECT_EQ(3.0f, site.m_pt[1].m_RoadHeight2);
  EXPECT_TRUE(site.m_pt[1].IsRoad());
  EXPECT_EQ(4.0, site.m_pt[1].m_RoadWidthEnd);
  EXPECT_EQ(0, site.m_Road[0].m_no);
  EXPECT_EQ(3, site.m_Road[1].m_no);

  // An index one past the end names the first edge, as everywhere.
  CKelHSite wrapped = Square();
  wrapped.InsertPoint(4, CKelCoord3D(5, 0, 0));
  kel_test::ExpectXY(5, 0, wrapped.m_pt[1]);
  wrapped.InsertPoint(-1, CKelCoord3D(0, 5, 0));
  kel_test::ExpectXY(0, 5, wrapped.m_pt[5]);

  // A corner cut is split into a cut and a default vertex.
  CKelHSite cut = Square();
  MakeCut(cut, 1);
  cut.InsertPoint(1, CKelCoord3D(10, 5, 0));
  EXPECT_TRUE(cut.m_pt[1].IsSumikiri());
  EXPECT_EQ(0, cut.m_pt[2].COND);
}

TEST(CKelHSiteTest, DeletePointDropsTheRoadAndRemapsTheOthers)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  MakeRoad(site, 3, 6, 6);
  site.ResetRoadCrossData();
  ASSERT_EQ(2u, site.m_Road.size());
  ASSERT_EQ(1u, site.m_Cross.size());
  site.DeletePoint(0);
  ASSERT_EQ(3, site.GetSize());
  ASSERT_EQ(1u, site.m_Road.size());
  EXPECT_EQ(2, site.m_Road[0].m_no);
  EXPECT_EQ(0, site.m_pt[2].optno);
  EXPECT_EQ(-1, site.m_pt[0].optno);
  EXPECT_TRUE(site.m_Cross.empty());
  EXPECT_EQ(-1, site.m_Road[0].m_BegCross);
  EXPECT_EQ(-1, site.m_Road[0].m_EndCross);
  // The remaining road still resolves for every later edit.
  site.ResetRoadCrossData();
  EXPECT_EQ(1u, site.m_Road.size());
}

TEST(CKelHSiteTest, DeletePointTurnsAnOrphanedCornerCutIntoANeighbour)
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  site.m_DefTokuteiDistance = 55;
  MakeRoad(site, 0, 4, 4);
  MakeCut(site, 1);
  MakeRoad(site, 2, 4, 4);
  MakeRoad(site, 3, 4, 4);
  site.ResetRoadCrossData();
  // Edge 2 goes: its corner cut now borders a neighbour on one side.
  site.m_pt[3].COND = 0;
  site.DeletePoint(2);
  ASSERT_EQ(4, site.GetSize());
  EXPECT_EQ(0, site.m_pt[1].COND);
  EXPECT_EQ(-1, site.m_pt[1].optno);
  EXPECT_EQ(55.0f, site.m_pt[1].m_TokuteiDistance);
}

TEST(CKelHSiteTest, MoveLineShiftsBothVertices)
{
  CKelHSite site = Square();
  site.MoveLine(0, CKelCoord2D(3, -2));
  kel_test::ExpectXY(0, -2, site.m_pt[0]);
  kel_test::ExpectXY(10, -2, site.m_pt[1]);
  // Edge 3 runs down the y axis: its left is the site's side.
  site.MoveLine(3, 1.0);
  kel_test::ExpectXY(1, 10, site.m_pt[3]);
  kel_test::ExpectXY(1, -2, site.m_pt[0]);
}

TEST(CKelHSiteTest, CheckRoadWidthMarksRunsOfTwoOrMore)
{
  struct Row {
    const char* name;
    std::vector<int> roads;
    std::vector<int> cuts;
    double side;
    std::vector<bool> marked;
  };
  const Row rows[] = {
      {"run across the wrap", {3, 0}, {}, 1.0, {true, false, false, true}},
      {"single short edge", {1}, {}, 1.5, {false, false, false, false}},
      {"single long edge", {1}, {}, 2.0, {false, true, false, false}},
      {"road and cut", {0}, {1}, 1.0, {true, true, false, false}},
      {"everything", {0, 1, 2, 3}, {}, 0.5, {true, true, true, true}},
      {"two short runs", {0, 2}, {}, 1.5, {false, false, false, false}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CKelHSite site = Square(r.side);
    for (int k : r.roads)
      MakeRoad(site, k, 4, 4);
    for (int k : r.cuts)
      MakeCut(site, k);
    site.m_pt[2].COND |= CKelSiteTable::kWideRun;
    site.CheckRoadWidth();
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(r.marked[static_cast<std::size_t>(k)], (site.m_pt[static_cast<std::size_t>(k)].COND & 0x0100) != 0) << k;
  }
}

TEST(CKelHSiteTest, CheckErrorReturnsTheFirstEdgeCode)
{
  struct Row {
    const char* name;
    int code;
    int edge;
  };
  // A point listed again is dropped, its edge with it, on a square as on any
  // lot; three points are all an outline keeps.
  const Row rows[] = {{"fine", 0, -1}, {"no width", 1, 0}, {"narrow specific road", 2, 0}, {"negative distance", 3, 0},
                      {"lonely cut", 4, 1}, {"widths apart by the edge", 1, 0}, {"edge of no length", 1, 0},
                      {"repeat on a square", 0, -1}, {"runs back over the frontage", CKelHSite::kRunsBack, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CKelHSite site = Square();
    MakeRoad(site, 0, 8, 8);
    const std::string name = r.name;
    if (name == "no width")
      site.m_pt[0].m_RoadWidthEnd = 0;
    if (name == "narrow specific road") {
      site.m_pt[0].m_RoadWidthBeg = site.m_pt[0].m_RoadWidthEnd = 4;
      site.m_pt[0].m_TokuteiDistance = 30;
    }
    if (name == "negative distance")
      site.m_pt[0].m_TokuteiDistance = -2;
    if (name == "lonely cut")
      MakeCut(site, 1);
    if (name == "widths apart by the edge")
      site.m_pt[0].m_RoadWidthEnd = 18;
    if (name == "edge of no length" || name == "repeat on a square")
      site.m_pt[1].m_x = site.m_pt[1].m_y = 0;
    if (name == "edge of no length")
      site.m_pt.pop_back();
    if (name == "runs back over the frontage") {
      // (0, 0) (2, 0) (4, 0) then back to (0, 0) and on along the road.
      std::vector<CKelSiteTable> out(3, site.m_pt[0]);
      out[0].m_x = 2;
      out[1].m_x = 4;
      site.m_pt.insert(site.m_pt.begin() + 1, out.begin(), out.end());
    }
    int edge = -1;
    EXPECT_EQ(r.code, site.CheckError(true, &edge));
    EXPECT_EQ(r.edge, edge);
    EXPECT_EQ(r.code, site.CheckError(false));
  }
}

// Outlines no lot has, refused after every edge passes, naming the first
// stored edge involved; touching is judged within a hair (1e-6 m), the width
// below which a spike is dropped: a notch tip 1e-5 m off the frontage is a
// lot. Each at the origin and 3e5 m away, turned.
TEST(CKelHSiteTest, CheckErrorRefusesOutlinesNoLotHas)
{
  using Pts = std::vector<std::pair<double, double>>;
  struct Row {
    const char* name;
    Pts pts;
    int code;
    int edge;
  };
  const int no = CKelHSite::kNotALot;
  const auto notch = [](double gap) {
    return Pts{{0, 0}, {20, 0}, {20, 25}, {14, 25}, {14, 10}, {12, gap}, {10, 10}, {10, 25}, {0, 25}};
  };
  const Row rows[] = {
      {"lot", {{0, 0}, {20, 0}, {20, 25}, {0, 25}}, 0, -1},
      {"figure-eight", {{0, 0}, {20, 25}, {20, 0}, {0, 25}}, no, 0},
      {"figure-eight of eight points", {{0, 0}, {10, 0}, {20, 25}, {30, 25}, {30, 0}, {20, 0}, {10, 25}, {0, 25}}, no, 0},
      {"lot listed twice", {{0, 0}, {20, 0}, {20, 25}, {0, 25}, {0, 0}, {20, 0}, {20, 25}, {0, 25}}, no, 0},
      {"lobes touching at a corner", {{0, 0}, {10, 10}, {20, 0}, {20, 20}, {10, 10}, {0, 20}}, no, 0},
      {"lobes crossing after the road", {{0, 0}, {20, 0}, {20, 20}, {10, -5}, {0, 20}}, no, 0},
      {"notch tip on the frontage", notch(0), no, 0},
      {"notch tip 5e-7 m off the frontage", notch(5e-7), no, 0},
      {"notch tip 1e-5 m off the frontage", notch(1e-5), 0, -1},
      {"all on one line", {{0, 0}, {10, 0}, {20, 0}, {5, 0}}, CKelHSite::kRunsBack, 0},
      {"sliver 4e-7 m wide: runs back", {{0, 0}, {20, 0}, {10, 4e-7}}, CKelHSite::kRunsBack, 0},
      {"two points", {{0, 0}, {20, 0}}, no, 0},
      {"no points", {}, no, -1}};
  for (const double turn : {0.0, 0.7}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.name) + (turn > 0 ? " turned" : ""));
      const double far = turn > 0 ? 3e5 : 0;
      std::vector<CKelCoord2D> pts;
      for (const auto& [x, y] : r.pts)
        pts.emplace_back(far + x * std::cos(turn) - y * std::sin(turn), -far + x * std::sin(turn) + y * std::cos(turn));
      CKelHSite site(pts);
      if (!pts.empty())
        MakeRoad(site, 0, 6, 6);
      int edge = -1;
      EXPECT_EQ(r.code, site.CheckError(true, &edge));
      EXPECT_EQ(r.edge, edge);
    }
  }
}

// A NaN fails every comparison, so each number is tried as NaN and as
// either infinity; edge 0 is the road, edge 2 a neighbour edge.
TEST(CKelHSiteTest, CheckErrorRefusesNumbersNotFiniteWithTheirCodes)
{
  struct Row {
    const char* name;
    int code;
    void (*set)(CKelHSite&, double);
  };
  const Row rows[] = {
      {"back corner", CKelHSite::kNotFinite, [](CKelHSite& s, double v) { s.m_pt[2].m_x = v; }},
      {"road's end corner", CKelHSite::kNotFinite, [](CKelHSite& s, double v) { s.m_pt[1].m_y = v; }},
      {"stored edge start", CKelHSite::kNotFinite,
       [](CKelHSite& s, double v) { s.m_pt[3].m_Sphere.m_EdgePos[0].m_x = v; }},
      {"stored edge direction", CKelHSite::kNotFinite,
       [](CKelHSite& s, double v) { s.m_pt[0].m_Sphere.m_EdgeSin = v; }},
      {"neighbour height", CKelHSite::kNotFinite,
       [](CKelHSite& s, double v) { s.m_pt[2].m_RinchiHeight = static_cast<float>(v); }},
      {"road width at the begin", 1, [](CKelHSite& s, double v) { s.m_pt[0].m_RoadWidthBeg = v; }},
      {"road width at the end", 1, [](CKelHSite& s, double v) { s.m_pt[0].m_RoadWidthEnd = v; }},
      {"road height", 1, [](CKelHSite& s, double v) { s.m_pt[0].m_RoadHeight2 = static_cast<float>(v); }},
      {"relaxation width", 1, [](CKelHSite& s, double v) { s.m_pt[0].m_Kanwa1 = static_cast<float>(v); }},
      {"adopted width in force", 1,
       [](CKelHSite& s, double v) {
         s.m_pt[0].m_RoadWidthType = 1;
         s.m_pt[0].m_AdoptRoadWidth = v;
       }},
      {"specific-road distance", 3,
       [](CKelHSite& s, double v) { s.m_pt[0].m_TokuteiDistance = static_cast<float>(v); }},
      {"setback", 3, [](CKelHSite& s, double v) { s.m_pt[2].m_Sphere.m_BldBack2[1] = v; }},
  };
  for (const Row& r : rows) {
    for (const double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
      SCOPED_TRACE(std::string(r.name) + " " + std::to_string(v));
      CKelHSite site = Square();
      MakeRoad(site, 0, 8, 8);
      r.set(site, v);
      EXPECT_EQ(r.code, site.CheckError(true));
      EXPECT_EQ(r.code, site.CheckError(false));
    }
  }
}

TEST(CKelHSiteTest, LineConditionChangesFlagTheirEdgesAndTheCornerNeighbours)
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeRoad(site, 0, 4, 4);
  MakeCut(site, 1);
  MakeRoad(site, 2, 4, 4);
  CKelHSite other = site;
  EXPECT_EQ(std::vector<bool>(5, false), site.GetLineCondChangeFlag(other));
  other.m_pt[1].m_LineCond.m_CutMode = 1;
  EXPECT_EQ((std::vector<bool>{true, true, true, false, false}), site.GetLineCondChangeFlag(other));
  EXPECT_TRUE(site.IsSphereParamChanged(other));
  other = site;
  other.m_pt[3].m_LineCond.m_Option = 4;
  other.m_pt[4].m_LineCond.m_Back1 = 1;  // the pair counts only when the other switch is off
  EXPECT_EQ((std::vector<bool>{false, false, false, true, false}), site.GetLineCondChangeFlag(other));
  site.m_pt[4].m_LineCond.m_BackSwitch2 = 0;
  other.m_pt[4].m_LineCond.m_BackSwitch2 = 0;
  EXPECT_TRUE(site.GetLineCondChangeFlag(other)[4]);
  other.m_pt.pop_back();
  EXPECT_EQ(std::vector<bool>(5, true), site.GetLineCondChangeFlag(other));

  // An outline of corner cuts only: the search ends after one round.
  CKelHSite cuts = site_test::Site({{0, 0}, {1, 0}, {0, 1}});
  for (int k = 0; k < 3; ++k)
    MakeCut(cuts, k);
  CKelHSite changed = cuts;
  changed.m_pt[1].m_LineCond.m_CutMode = 2;
  EXPECT_EQ((std::vector<bool>{false, true, false}), cuts.GetLineCondChangeFlag(changed));
}

TEST(CKelHSiteTest, ComparesAndCompareDataLines)
{
  CKelHSite a = Square();
  MakeRoad(a, 0, 4, 4);
  site_test::BuildRoads(a);
  CKelHSite b = a;
  EXPECT_EQ(a, b);
  b.m_DefTokuteiDistance = 12;  // not compared
  EXPECT_EQ(a, b);
  b.m_FloorAreaRatio = 1e-5f;
  EXPECT_EQ(a, b);
  b.m_FloorAreaRatio = 2e-5f;
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b = a;
  b.m_Road[0].m_FarEnd.m_y += 1e-3;
  EXPECT_NE(a, b);
  EXPECT_FALSE(a.IsNearlyEqual(b));
  b = a;
  b.m_pt[1].m_Sphere.m_EdgePos[3] = CKelCoord2D(1, 0);
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.CheckSyasenCheckCondition(b));

  std::vector<std::string> lines;
  CKelHSite five = Square();
  five.Append(CKelCoord3D(-1, 5, 0));
  Square().CompareData(five, lines);
  EXPECT_EQ((std::vector<std::string>{"本敷地, 辺数, 4, 5"}), lines);

  lines.clear();
  b = a;
  b.m_CoverageRatio = 0.5f;
  b.m_CapacityRoadNo = 3;
  b.m_pt[2].m_y = 11;
  b.m_pt[0].m_Kanwa1 = 1;
  a.CompareData(b, lines);
  EXPECT_EQ((std::vector<std::string>{"本敷地, 建坪率, 0.000000, 0.500000", "本敷地, 容積率算定道路の番号, 0, 3",
                                      "本敷地, 1, 緩和幅1, 0.000000, 1.000000", "本敷地, 3, Y, 10.000000, 11.000000"}),
            lines);
}

}  // namespace
