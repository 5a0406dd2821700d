#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CKelSiteTable.h"
#include "KelGeometry.h"
#include "SiteTestSupport.h"

namespace {

using site_test::SiteBytes;

CKelSiteTable Road(double w1, double w2, float distance = 70.0f)
{
  CKelSiteTable v;
  v.COND = CKelSiteTable::kRoad;
  v.m_RoadWidthBeg = w1;
  v.m_RoadWidthEnd = w2;
  v.m_TokuteiDistance = distance;
  v.CheckRoadWuser();
  return v;
}

TEST(CKelSiteTableTest, NewVertexDefaults)
{
  const CKelSiteTable v(CKelCoord2D(1, 2));
  EXPECT_EQ(-1, v.optno);
  EXPECT_EQ(0, v.COND);
  EXPECT_EQ(70.0f, v.m_TokuteiDistance);
  EXPECT_EQ(0, v.m_RoadWidthBeg);
  EXPECT_EQ(0, v.m_RoadWidthType);
  EXPECT_EQ(CKelSiteTable::TYPE_RINCHI, v.GetType());
  EXPECT_EQ(1, v.m_LineCond.m_Option);
}

TEST(CKelSiteTableTest, SetFlagCodesAndBits)
{
  struct Row {
    const char* name;
    CKelSiteTable v;
    int code;
    std::uint16_t cond;
    float distance;
  };
  CKelSiteTable heights = Road(8, 8);
  heights.m_RoadHeight1 = 0.0005f;
  heights.m_RoadHeight2 = 0.002f;
  CKelSiteTable narrowGiven = Road(5, 5, 50);
  narrowGiven.COND = 0x0021;
  CKelSiteTable zeroDistance = Road(8, 8, 0);
  CKelSiteTable kanwa = Road(8, 8);
  kanwa.m_Kanwa1 = 0.001f;
  kanwa.m_Kanwa2 = 0.0009f;
  const Row rows[] = {
      {"default distance", Road(8, 8), 0, 0x0001, 70},
      {"given distance", Road(8, 8, 50), 0, 0x0021, 50},
      {"narrow road keeps its flags", narrowGiven, 2, 0x0021, 50},
      {"12.0 is too wide", Road(12, 12, 50), 2, 0x0001, 50},
      {"6.0 is wide enough", Road(6, 7, 50), 0, 0x0021, 50},
      {"zero distance takes the default", zeroDistance, 0, 0x0021, 70},
      {"road heights", heights, 0, 0x0005, 70},
      {"relaxation widths", kanwa, 0, 0x0009, 70},
      {"no width", Road(0, 8), 1, 0x0001, 70},
      {"negative distance", Road(8, 8, -1), 3, 0x0001, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CKelSiteTable checked = r.v;
    EXPECT_EQ(r.code, checked.SetFlag(CKelSiteTable::TYPE_ROAD, 70.0, true));
    EXPECT_EQ(r.v.COND, checked.COND);
    CKelSiteTable v = r.v;
    EXPECT_EQ(r.code, v.SetFlag(CKelSiteTable::TYPE_ROAD, 70.0, false));
    EXPECT_EQ(r.cond, v.COND);
    EXPECT_EQ(r.distance, v.m_TokuteiDistance);
  }
  heights.SetFlag(CKelSiteTable::TYPE_ROAD, 70.0, false);
  EXPECT_EQ(0.0f, heights.m_RoadHeight1);
  EXPECT_EQ(0.002f, heights.m_RoadHeight2);
  kanwa.SetFlag(CKelSiteTable::TYPE_ROAD, 70.0, false);
  EXPECT_EQ(0.0f, kanwa.m_Kanwa2);
}

TEST(CKelSiteTableTest, SetFlagOfNeighbourAndCornerCut)
{
  CKelSiteTable v = Road(8, 8, 50);
  v.optno = 3;
  v.m_Kanwa1 = 2;
  ASSERT_EQ(0, v.SetFlag(CKelSiteTable::TYPE_RINCHI, 60.0, false));
  EXPECT_EQ(0x0008, v.COND);
  EXPECT_EQ(-1, v.optno);
  EXPECT_EQ(60.0f, v.m_TokuteiDistance);
  v.optno = 2;
  ASSERT_EQ(0, v.SetFlag(CKelSiteTable::TYPE_SUMIKIRI, 60.0, false));
  EXPECT_EQ(0x0200, v.COND);
  EXPECT_EQ(2, v.optno);
  EXPECT_EQ(CKelSiteTable::TYPE_SUMIKIRI, v.GetType());
}

TEST(CKelSiteTableTest, WidthsHeightsAndReliefValues)
{
  struct Width {
    double w;
    double expected;
  };
  for (const Width& r : {Width{20, 35.0}, Width{8, 16.0}, Width{2, 9.0}, Width{4, 8.0}, Width{3.9, 8.05}}) {
    EXPECT_DOUBLE_EQ(r.expected, Road(r.w, r.w)._2A_and_35()) << r.w;
  }
  CKelSiteTable typed = Road(4, 6);
  typed.m_RoadWidthType = 1;
  typed.m_AdoptRoadWidth = 5.5;
  typed.m_Kanwa1 = 1;
  EXPECT_EQ(5.5, typed.GetAdoptRoadWidth(true));
  EXPECT_EQ(6.5, typed.GetAdoptRoadWidth(false));
  // A stored type outside 0 and 1 reads as the smaller width.
  typed.m_RoadWidthType = 7;
  EXPECT_EQ(4.0, typed.GetAdoptRoadWidth(true));

  CKelSiteTable neighbour;
  neighbour.m_RinchiHeight = 10.8f;
  EXPECT_DOUBLE_EQ(10.0, neighbour.GetRinchiHeight(10.0));
  neighbour.m_RinchiHeight = 13.0f;
  EXPECT_DOUBLE_EQ(11.0, neighbour.GetRinchiHeight(10.0));

  // A road rising from 1 to 3 along a 10 m edge; at x = 5 it stands at 2.0,
  // and a higher site lifts that by its relief.
  CKelSiteTable road = Road(4, 4);
  road.m_RoadHeight1 = 1.0f;
  road.m_RoadHeight2 = 3.0f;
  road.m_Sphere.m_EdgeCos = 1;
  road.m_Sphere.m_EdgeLen = 10;
  EXPECT_DOUBLE_EQ(2.0, road.GetRoadHeight(CKelCoord2D(10, 0), CKelCoord2D(5, 7)));
  for (const auto& [site, height] : {std::pair{2.9, 2.0}, {3.0, 2.0}, {5.0, 3.0}})
    EXPECT_DOUBLE_EQ(height, road.GetRoadHeight(site, CKelCoord2D(5, 7))) << site;
  double pos = 0;
  ASSERT_TRUE(road.CalKanwaPosition2(3.5, &pos));
  EXPECT_DOUBLE_EQ(7.5, pos);
  road.m_RoadHeight2 = 1.0000005f;
  EXPECT_FALSE(road.CalKanwaPosition2(3.5, &pos));
  EXPECT_FALSE(CKelSiteTable().CalKanwaPosition2(3.5, &pos));
}

TEST(CKelSiteTableTest, SetbackFromTheEdgeCondition)
{
  CKelSiteTable v;
  v.m_Sphere.m_BldBack2[0] = 1.5;
  v.m_Sphere.m_BldBack2[1] = 2.5;
  v.m_LineCond.m_Back1 = 0.5;
  v.m_LineCond.m_Back2 = 0.75;
  v.SetBldBack();
  EXPECT_EQ(1.5, v.m_Sphere.m_BldBack[0]);
  v.m_LineCond.m_BackSwitch2 = 0;
  v.SetBldBack();
  EXPECT_EQ(0.75, v.m_Sphere.m_BldBack[1]);
  v.m_LineCond.m_BackSwitch = 2;
  v.SetBldBack();
  EXPECT_EQ(0.0, v.m_Sphere.m_BldBack[0]);
  EXPECT_EQ(0.0, v.m_Sphere.m_BldBack[1]);
}

TEST(CKelSiteTableTest, FarSideAndCentreLineOfATaperingRoad)
{
  const CKelSiteTable v = Road(4, 6);
  const CKelCoord2D next(10, 0);
  const CRoadLineParam far = v.GetRoadLineParam(true, next);
  kel_test::ExpectXY(-0.8, -3.919184, far.m_Beg, 1e-6);
  kel_test::ExpectXY(8.8, -5.878775, far.m_End, 1e-6);
  // The centre line's depth below the edge at its two ends: w / (1 + c).
  const CRoadLineParam centre = v.GetRoadCenterLine(true, next);
  auto depthAt = [&](double x) {
    return -(centre.m_Beg.m_y + (x - centre.m_Beg.m_x) * centre.m_Sin / centre.m_Cos);
  };
  EXPECT_NEAR(2.020410, depthAt(0), 1e-6);
  EXPECT_NEAR(3.030615, depthAt(10), 1e-6);
  CKelCoord2D pb, pe;
  v.calc_roadline2(next, &pb, &pe);
  kel_test::ExpectXY(far.m_Beg.m_x, far.m_Beg.m_y, pb);
  EXPECT_NEAR(0.0, v.GetRoadWidth(next, pe), 1e-12);
  EXPECT_NEAR(4.0 - 2.0 * std::sqrt(0.96), v.GetRoadWidth(next, CKelCoord2D(0, -2)), 1e-12);
}

TEST(CKelSiteTableTest, CentreLinesOfEqualAndNearlyEqualWidths)
{
  // Equal widths with relaxation: the centre lies halfway to the far side.
  CKelSiteTable v = Road(4, 4);
  v.m_Kanwa1 = 1.0f;
  const CKelCoord2D next(10, 0);
  EXPECT_NEAR(-5.0, v.GetRoadLineParam(false, next).m_Beg.m_y, 1e-12);
  EXPECT_NEAR(-4.0, v.GetRoadLineParam(true, next).m_Beg.m_y, 1e-12);
  EXPECT_NEAR(-2.5, v.GetRoadCenterLine(false, next).m_Beg.m_y, 1e-12);
  EXPECT_NEAR(-2.5, v.GetRoadCenterLine(false, next).m_End.m_y, 1e-12);
  EXPECT_NEAR(-2.0, v.GetRoadCenterLine(true, next).m_End.m_y, 1e-12);

  // Nearly equal widths keep the centre at half the width: the half-angle
  // form gives 0.0 and 2.98 here; the direct factor stays at 2.0.
  for (double dw : {1e-9, 1e-7, 1e-5}) {
    const CRoadLineParam centre = Road(4, 4 + dw).GetRoadCenterLine(true, next);
    EXPECT_NEAR(-2.0, centre.m_Beg.m_y, 1e-5) << dw;
    EXPECT_NEAR(-2.0 - dw / 2, centre.m_End.m_y, 1e-5) << dw;
  }
}

TEST(CKelSiteTableTest, DegenerateRoadEdgesStayFinite)
{
  struct Row {
    CKelSiteTable v;
    CKelCoord2D next;
  };
  const Row rows[] = {{Road(4, 6), CKelCoord2D(0, 0)}, {Road(0, 12), CKelCoord2D(10, 0)},
                      {Road(2, 12), CKelCoord2D(10, 0)}, {Road(12, 2), CKelCoord2D(10, 0)}};
  for (const Row& r : rows) {
    for (bool plain : {true, false}) {
      const CRoadLineParam far = r.v.GetRoadLineParam(plain, r.next);
      const CRoadLineParam centre = r.v.GetRoadCenterLine(plain, r.next);
      for (double d : {far.m_Beg.m_x, far.m_Beg.m_y, far.m_End.m_x, far.m_End.m_y, far.m_Cos, centre.m_Beg.m_x,
                       centre.m_End.m_y, centre.m_Sin, r.v.GetRoadHeight(r.next, CKelCoord2D(3, 3))})
        EXPECT_TRUE(std::isfinite(d));
    }
  }
}

// Random road edges with |w2 - w1| < L: the far side touches the circles w1 + k
// and w2 + k about the edge's ends, the centre line is equidistant from the
// edge's line and the far side, and the slope operations' own far line agrees.
TEST(CKelSiteTableTest, RoadLinesOverRandomEdges)
{
  std::mt19937 rng(26);
  std::uniform_real_distribution<double> coord(-50, 50);
  std::uniform_real_distribution<double> width(0.5, 20);
  std::uniform_real_distribution<double> relax(0, 3);
  for (int n = 0; n < 500; ++n) {
    // Braced, and one draw per statement, so the draws come in order: a
    // call's arguments come in no fixed order.
    const CKelCoord2D a{coord(rng), coord(rng)};
    const CKelCoord2D b{coord(rng), coord(rng)};
    const double len = length_2point(a, b);
    const double begin = width(rng);
    CKelSiteTable v = Road(begin, width(rng));
    if (len < 1 || std::fabs(v.m_RoadWidthEnd - v.m_RoadWidthBeg) >= len * 0.99)
      continue;
    v.m_x = a.m_x;
    v.m_y = a.m_y;
    v.m_Kanwa1 = static_cast<float>(relax(rng));
    const double k = v.m_Kanwa1;
    const CRoadLineParam far = v.GetRoadLineParam(false, b);
    auto distToFar = [&](const CKelCoord2D& p) {
      return std::fabs(far.m_Cos * (p.m_y - far.m_Beg.m_y) - far.m_Sin * (p.m_x - far.m_Beg.m_x));
    };
    EXPECT_NEAR(v.m_RoadWidthBeg + k, distToFar(a), 1e-9);
    EXPECT_NEAR(v.m_RoadWidthEnd + k, distToFar(b), 1e-9);
    const CRoadLineParam centre = v.GetRoadCenterLine(false, b);
    double ec = 1, es = 0;
    CalcCosSin(a, b, &ec, &es, nullptr);
    for (double t : {0.0, 0.3, 1.0}) {
      const CKelCoord2D p = centre.m_Beg.GetCoord(centre.m_End, t);
      const double toEdge = std::fabs(ec * (p.m_y - a.m_y) - es * (p.m_x - a.m_x));
      EXPECT_NEAR(toEdge, distToFar(p), 1e-9);
    }
  }
}

TEST(CKelSiteTableTest, ComparesBandsAndCompareDataLines)
{
  const CKelSiteTable a = Road(4, 6);
  CKelSiteTable b = a;
  b.m_RoadWidthEnd += 2.4e-5;
  EXPECT_EQ(a, b);
  b.m_RoadWidthEnd = a.m_RoadWidthEnd + 2.6e-5;
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b = a;
  b.m_Sphere.m_Opt1 = 3;  // not compared
  b.m_Sphere.m_Param[4] = 1;
  EXPECT_EQ(a, b);
  b.m_Sphere.m_EdgePos[2] = CKelCoord2D(1, 1);
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.CheckSyasenCheckCondition(b));
  b = a;
  b.m_LineCond.m_CutMode = 1;
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.IsNearlyEqual(b));

  CKelSiteTable c = a;
  c.m_x = 1;
  c.optno = 4;
  c.m_RoadWidthEnd = 7;
  c.m_RoadWidthType = 1;
  c.m_Kanwa2 = 0.5f;
  c.COND = 0x21;
  std::vector<std::string> lines;
  a.CompareData("L", c, lines);
  const std::vector<std::string> expected = {"L, X, 0.000000, 1.000000",       "L, optno, -1, 4",
                                             "L, 道路幅員, 6.000000, 7.000000",  "L, 道路幅員タイプ, 0, 1",
                                             "L, 緩和幅2, 0.000000, 0.500000", "L, COND, 1, 21"};
  EXPECT_EQ(expected, lines);
}

TEST(CKelSiteTableTest, OldEdgeRecordCarriesTheAdoptedWidth)
{
  CKelSiteTable v = Road(4, 6, 50);
  v.optno = 2;
  v.m_RoadHeight2 = 1.5f;
  const LCONDITION r = v.GetOldLineCond();
  EXPECT_EQ(1, r.COND);
  EXPECT_EQ(2, r.optno);
  EXPECT_EQ(4.0f, r.RoadWidth);
  EXPECT_EQ(1.5f, r.RoadHeight2);
  EXPECT_EQ(50.0f, r.TokuteiDistance);
}

}  // namespace
