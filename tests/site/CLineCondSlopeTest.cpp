#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "CLineCondSlope.h"
#include "KelGeometry.h"
#include "SiteTestSupport.h"

namespace {

// A road edge from start in direction angle, of length len.
CLineCondSlope RoadEdge(double w1, double w2, double len = 10, CKelCoord2D start = {}, double angle = 0)
{
  CLineCondSlope e;
  e.COND = CKelSiteTable::kRoad;
  e.m_RoadWidthBeg = w1;
  e.m_RoadWidthEnd = w2;
  e.m_x = start.m_x;
  e.m_y = start.m_y;
  e.m_Sphere.m_EdgePos[0] = start;
  e.m_Sphere.m_EdgeCos = std::cos(angle);
  e.m_Sphere.m_EdgeSin = std::sin(angle);
  e.m_Sphere.m_EdgeLen = len;
  return e;
}

TEST(CLineCondSlopeTest, FarBoundaryOfTheRoad)
{
  CKelCoord2D p;
  double c = 0, s = 0, len = 0;
  ASSERT_TRUE(RoadEdge(4, 4).CalcRoadLineParam(&p, &c, &s, &len, true));
  kel_test::ExpectXY(0, -4, p);
  EXPECT_EQ(1, c);
  EXPECT_EQ(10, len);

  ASSERT_TRUE(RoadEdge(2, 4).CalcRoadLineParam(&p, &c, &s, &len, true));
  kel_test::ExpectXY(-0.4, -1.959592, p, 1e-6);
  kel_test::ExpectXY(9.2, -3.919184, CKelCoord2D(p.m_x + len * c, p.m_y + len * s), 1e-6);
  EXPECT_NEAR(-std::sin(std::asin(0.2)), s, 1e-12);

  // Widths 0 and 12 on 10 m: t = 10 < 12, no tangent; outputs untouched.
  p = CKelCoord2D(7, 7);
  EXPECT_FALSE(RoadEdge(0, 12).CalcRoadLineParam(&p, nullptr, nullptr, nullptr, true));
  kel_test::ExpectXY(7, 7, p);
  // Relaxation widens both ends unless only the road is asked for.
  CLineCondSlope relaxed = RoadEdge(4, 4);
  relaxed.m_Kanwa1 = 1;
  ASSERT_TRUE(relaxed.CalcRoadLineParam(&p, nullptr, nullptr, nullptr, false));
  kel_test::ExpectXY(0, -5, p);
  EXPECT_EQ(5.0, relaxed.GetEndRoadWidth());
  EXPECT_EQ(4.0, relaxed.GetEndRoadOnlyWidth());
}

// The slope operations' far line and the vertex record's far side are one line.
TEST(CLineCondSlopeTest, FarBoundaryAgreesWithTheVertexFarSide)
{
  std::mt19937 rng(121);
  std::uniform_real_distribution<double> coord(-30, 30), width(0.5, 15), angle(-3, 3);
  for (int n = 0; n < 300; ++n) {
    const double len = 5 + std::fabs(coord(rng));
    const double w1 = width(rng), w2 = width(rng);
    if (std::fabs(w1 - w2) >= len * 0.99)
      continue;
    const CKelCoord2D start{coord(rng), coord(rng)};  // braced: drawn in order
    const double a = angle(rng);
    const CLineCondSlope e = RoadEdge(w1, w2, len, start, a);
    CKelCoord2D p;
    double c = 0, s = 0, l = 0;
    ASSERT_TRUE(e.CalcRoadLineParam(&p, &c, &s, &l, true));
    const CKelCoord2D next(start.m_x + len * std::cos(a), start.m_y + len * std::sin(a));
    const CRoadLineParam far = e.GetRoadLineParam(true, next);
    kel_test::ExpectXY(far.m_Beg.m_x, far.m_Beg.m_y, p, 1e-8);
    kel_test::ExpectXY(far.m_End.m_x, far.m_End.m_y, CKelCoord2D(p.m_x + l * c, p.m_y + l * s), 1e-8);
  }
}

TEST(CLineCondSlopeTest, RoadSlopePoints)
{
  // Level road: start and one unit on at the road height plus p2 * p3, then
  // one unit inwards p3 higher.
  CLineCondSlope e = RoadEdge(4, 4);
  const std::vector<CKelCoord3D> flat = e.GetRoadSlopeParamOnRoad(0.0, 2.0, 1.25);
  ASSERT_EQ(3u, flat.size());
  kel_test::ExpectXYZ(0, -4, 2.5, flat[0]);
  kel_test::ExpectXYZ(1, -4, 2.5, flat[1]);
  kel_test::ExpectXYZ(0, -3, 3.75, flat[2]);

  // Sloping road 1.0 -> 3.0 over 10 m, ground 3.5: relief position 7.5.
  e.m_RoadHeight1 = 1.0f;
  e.m_RoadHeight2 = 3.0f;
  const std::vector<CKelCoord3D> onRoad = e.GetRoadSlopeParamOnRoad(3.5, 0.0, 1.25);
  ASSERT_EQ(4u, onRoad.size());
  kel_test::ExpectXYZ(7.5, -4, 2.5, onRoad[0]);
  kel_test::ExpectXYZ(8.5, -4, 2.7, onRoad[1], 1e-6);
  kel_test::ExpectXYZ(6.5, -4, 2.4, onRoad[2], 1e-6);  // ground 1.2 above: relief 0.1
  kel_test::ExpectXYZ(7.5, -3, 3.75, onRoad[3]);

  CLineCondSlope taper = RoadEdge(2, 4);
  taper.m_Kanwa1 = 1;
  const std::vector<CKelCoord3D> onSite = taper.GetRoadSlopeParamOnSite2(0.0, 0.0, 1.0);
  ASSERT_EQ(3u, onSite.size());
  kel_test::ExpectXY(0, -3, onSite[0]);
  kel_test::ExpectXY(1, -3, onSite[1]);

  // No far boundary: no plane.
  EXPECT_TRUE(RoadEdge(0, 12).GetRoadSlopeParamOnRoad(0, 0, 1).empty());
  EXPECT_TRUE(RoadEdge(0, 12).GetRoadSlopeParamOnSite2(0, 0, 1).empty());
}

TEST(CLineCondSlopeTest, NeighbourSlopeRaisedByHalfTheExcessOverOne)
{
  CLineCondSlope e = RoadEdge(0, 0);
  e.COND = 0;
  struct Row {
    double p4;
    double z;
  };
  // Base height p5 + p1 + p2 p3 = 3.0.
  for (const Row& r : {Row{2.5, 3.0}, Row{3.0, 3.0}, Row{5.0, 4.0}}) {
    const std::vector<CKelCoord3D> pts = e.GetRinchiSlopeParam(2.0, 0.4, 1.25, r.p4, 0.5);
    ASSERT_EQ(3u, pts.size());
    kel_test::ExpectXYZ(0, 0, r.z, pts[0]);
    kel_test::ExpectXYZ(10, 0, r.z, pts[1]);
    kel_test::ExpectXYZ(0, 1, r.z + 1.25, pts[2]);
  }
}

TEST(CLineCondSlopeAreaTest, CornerPointsAcrossCornerCuts)
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  site_test::FillEdgeData(site);
  site_test::MakeCut(site, 1);
  site.m_pt[1].m_Sphere.m_EdgePos[1] = CKelCoord2D(10, 0);
  site.m_pt[1].m_Sphere.m_EdgePos[2] = CKelCoord2D(9.5, 0);
  site.m_pt[1].m_Sphere.m_EdgePos[3] = CKelCoord2D(10, 0.5);
  for (std::int8_t mode : {0, 1, 2, 3}) {
    site.m_pt[1].m_LineCond.m_CutMode = mode;
    const CLineCondSlopeArea area(site);
    ASSERT_EQ(5u, area.size());
    const CKelCoord2D end = area.GetEndC(0);
    const CKelCoord2D beg = area.GetBegC(2);
    const CKelCoord2D expectEnd = mode == 1 ? CKelCoord2D(10, 0) : mode == 2 ? CKelCoord2D(10, 0.5) : CKelCoord2D(9, 0);
    const CKelCoord2D expectBeg = mode == 1 ? CKelCoord2D(10, 0) : mode == 2 ? CKelCoord2D(9.5, 0) : CKelCoord2D(10, 1);
    EXPECT_EQ(expectEnd, end) << int(mode);
    EXPECT_EQ(expectBeg, beg) << int(mode);
    // The site answers alike.
    EXPECT_EQ(expectEnd, site.GetEndC(0));
    EXPECT_EQ(expectBeg, site.GetBegC(2));
  }
  const CLineCondSlopeArea area(site);
  EXPECT_EQ(CKelCoord2D(0, 0), area.GetBegC(0));
  EXPECT_EQ(CKelCoord2D(0, 0), area.GetEndC(4));
  EXPECT_THROW(area.GetBegC(5), std::out_of_range);
  EXPECT_THROW(area.GetEndC(-1), std::out_of_range);
}

}  // namespace
