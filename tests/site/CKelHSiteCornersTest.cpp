#include <gtest/gtest.h>

#include <cmath>

#include "CKelHSite.h"
#include "KelGeometry.h"
#include "SiteTestSupport.h"

namespace {

using site_test::FillEdgeData;
using site_test::MakeCut;
using site_test::MakeRoad;
using site_test::Square;

constexpr double kHalfRoot2 = 0.70710678118654757;

TEST(CKelHSiteCornersTest, BisectorsAtTheEndsOfAnEdge)
{
  CKelHSite site = Square(1);
  FillEdgeData(site);
  double c = 0, s = 0;
  site.CalcBegHalfCutAngle(1, &c, &s);
  EXPECT_NEAR(kHalfRoot2, c, 1e-12);
  EXPECT_NEAR(-kHalfRoot2, s, 1e-12);
  site.CalcEndHalfCutAngle(1, &c, &s);
  EXPECT_NEAR(-kHalfRoot2, c, 1e-12);
  EXPECT_NEAR(-kHalfRoot2, s, 1e-12);
  // The stored per-edge form gives the same, wherever its origin.
  site.CalcEndHalfCutAngle(CKelCoord2D(5, 5), 1, &c, &s);
  EXPECT_NEAR(-kHalfRoot2, c, 1e-12);
  EXPECT_NEAR(-kHalfRoot2, s, 1e-12);
  // A corner cut before the edge is skipped: the bisector halves the angle
  // to the road edge behind it.
  CKelHSite cut = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeCut(cut, 1);
  cut.CalcBegHalfCutAngle(2, &c, &s);
  EXPECT_NEAR(kHalfRoot2, c, 1e-12);
  EXPECT_NEAR(-kHalfRoot2, s, 1e-12);
}

TEST(CKelHSiteCornersTest, TurningAnglesAndGroups)
{
  CKelHSite site = Square(1);
  FillEdgeData(site);
  EXPECT_NEAR(KelAngle::HalfPi, site.GetAngle(1), 1e-12);
  EXPECT_NEAR(KelAngle::HalfPi, site.GetPrevAngle(1), 1e-12);
  EXPECT_NEAR(KelAngle::HalfPi, site.GetNextAngle(1), 1e-12);
  EXPECT_TRUE(site.CheckGroupAngle(1, 1.0));
  EXPECT_FALSE(site.CheckGroupAngle(1, 2.0));

  CKelHSite bent = site_test::Site({{0, 0}, {10, 0}, {20, 5}, {0, 20}});
  FillEdgeData(bent);
  EXPECT_NEAR(std::atan2(5.0, 10.0), bent.GetAngle(1), 1e-12);
  EXPECT_NEAR(KelAngle::Pi - std::atan2(5.0, 10.0), bent.GetPrevAngle(1), 1e-12);
  EXPECT_NEAR(-KelAngle::HalfPi, Square().CalcRelAngle(0, 0), 1e-12);
  EXPECT_NEAR(KelAngle::HalfPi, Square().CalcRelAngle(0, 1), 1e-12);
  EXPECT_EQ(0.0, CKelHSite().CalcRelAngle(0, 0));
}

TEST(CKelHSiteCornersTest, CranksWithinAMillimetreOfTheLine)
{
  struct Row {
    double off;
    bool crank;
  };
  for (const Row& r : {Row{0.0009, true}, Row{-0.0009, true}, Row{0.0011, false}, Row{0, true}}) {
    CKelHSite site = site_test::Site({{0, 0}, {5, 0}, {10, r.off}, {10, 10}, {0, 10}});
    MakeRoad(site, 1, 4, 4);
    EXPECT_EQ(r.crank, site.IsCrankEnd(0)) << r.off;
    MakeRoad(site, 0, 4, 4);
    EXPECT_EQ(r.crank, site.IsCrankBeg(1)) << r.off;
    site.m_pt[1].COND = 0;
    EXPECT_FALSE(site.IsCrankEnd(0));
  }
}

TEST(CKelHSiteCornersTest, CornerCutsNeedARoadOnEachSide)
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeRoad(site, 0, 4, 4);
  MakeCut(site, 1);
  EXPECT_FALSE(site.CheckEnableCut(1));
  EXPECT_FALSE(site.CheckEnableCut(std::vector<int>{}));
  MakeRoad(site, 2, 4, 4);
  EXPECT_TRUE(site.CheckEnableCut(1));
  EXPECT_TRUE(site.CheckEnableCut(std::vector<int>{1}));
  EXPECT_FALSE(site.CheckEnableCut(std::vector<int>{1, 3}));
  EXPECT_FALSE(site.CheckEnableCut(std::vector<int>{7}));

  // A neighbour edge beside a cut turns the cut into a neighbour too.
  site.m_DefTokuteiDistance = 40;
  site.CheckSumikiri(0);
  EXPECT_TRUE(site.IsSumikiri(1));
  site.m_pt[2].COND = 0;
  site.CheckSumikiri(2);
  EXPECT_TRUE(site.IsRinchi(1));
  EXPECT_EQ(40.0f, site.m_pt[1].m_TokuteiDistance);
}

TEST(CKelHSiteCornersTest, EdgeEndTypes)
{
  CKelHSite square = Square(1);
  FillEdgeData(square);
  EXPECT_EQ(3, square.GetBegEdgeType(1));
  EXPECT_EQ(3, square.GetEndEdgeType(1));
  CKelHSite ell = site_test::Site({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
  FillEdgeData(ell);
  EXPECT_EQ(1, ell.GetEndEdgeType(2));  // into the reflex corner
  EXPECT_EQ(1, ell.GetBegEdgeType(3));
  EXPECT_EQ(3, ell.GetEndEdgeType(3));
  // An obtuse convex corner: the next edge runs on ahead.
  CKelHSite bent = site_test::Site({{0, 0}, {10, 0}, {20, 5}, {0, 20}});
  FillEdgeData(bent);
  EXPECT_EQ(3, bent.GetEndEdgeType(0));
  EXPECT_EQ(3, bent.GetBegEdgeType(1));
  EXPECT_EQ(2, bent.GetEndEdgeType(1));  // the next corner turns back sharply
}

TEST(CKelHSiteCornersTest, AnOutlineOfCornerCutsOnlyStillAnswers)
{
  CKelHSite site = site_test::Site({{0, 0}, {1, 0}, {0, 1}});
  for (int k = 0; k < 3; ++k)
    MakeCut(site, k);
  FillEdgeData(site);
  double c = 0, s = 0;
  site.CalcBegHalfCutAngle(0, &c, &s);
  EXPECT_TRUE(std::isfinite(c) && std::isfinite(s));
  site.CalcEndHalfCutAngle(0, &c, &s);
  EXPECT_NEAR(1.0, std::hypot(c, s), 1e-12);
  EXPECT_GE(site.GetBegEdgeType(1), 0);
  EXPECT_GE(site.GetEndEdgeType(1), 0);
  EXPECT_EQ(4, site.CheckError(true));
}

// A notch whose bottom edge is a road: both ends of that road are reflex.
CKelHSite Notch()
{
  CKelHSite site = site_test::Site({{0, 0}, {30, 0}, {30, 20}, {20, 20}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
  MakeRoad(site, 4, 4, 4);
  MakeRoad(site, 0, 4, 4);
  site.ResetRoadCrossData();
  return site;
}

TEST(CKelHSiteShapesTest, ShapesThatStraightenACutEndAreRefused)
{
  CKelHSite site = Notch();
  ASSERT_EQ(2u, site.m_Road.size());
  CSiteRoadTable& notch = site.m_Road[1];
  ASSERT_EQ(3, notch.GetCalcShape());
  const CSiteRoadTable before = notch;
  EXPECT_FALSE(site.ChangeRoadStatus(&notch, 0));
  EXPECT_FALSE(site.ChangeRoadStatus(&notch, 1));
  EXPECT_EQ(before, notch);
  EXPECT_TRUE(site.ChangeRoadStatus(&notch, 3));
  EXPECT_FALSE(site.ChangeRoadStatus(nullptr, 3));
  // A road table naming an edge that is no longer a road changes nothing.
  site.m_pt[4].COND = 0;
  EXPECT_FALSE(site.ChangeRoadStatus(&notch, 3));
  site.m_pt[4].COND = CKelSiteTable::kRoad;

  // The straight road at the bottom may take any shape.
  CSiteRoadTable& bottom = site.m_Road[0];
  ASSERT_EQ(0, bottom.GetCalcShape());
  ASSERT_TRUE(site.ChangeRoadStatus(&bottom, 3));
  EXPECT_EQ(3, bottom.GetShape());
  kel_test::ExpectXY(0, 0, bottom.m_SiteBeg);
  kel_test::ExpectXY(30, -4, bottom.m_FarEnd);
  ASSERT_TRUE(site.ChangeRoadStatus(&bottom, 0));
  kel_test::ExpectXY(-5, 0, bottom.m_SiteBeg);
  kel_test::ExpectXY(35, 0, bottom.m_SiteEnd);
  kel_test::ExpectXY(-5, -4, bottom.m_FarBeg);
  kel_test::ExpectXY(35, -4, bottom.m_FarEnd);
  EXPECT_EQ(0x0000, bottom.m_Flag);
}

TEST(CKelHSiteShapesTest, RebuildKeepsTheChosenShapes)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  site.ResetRoadCrossData();
  ASSERT_TRUE(site.ChangeRoadStatus(&site.m_Road[0], 1));
  site.MovePoint(2, CKelCoord3D(11, 10, 0));
  site.ResetRoadCrossData();
  ASSERT_EQ(1u, site.m_Road.size());
  EXPECT_EQ(1, site.m_Road[0].GetShape());
  EXPECT_EQ(0, site.m_Road[0].GetCalcShape());
  kel_test::ExpectXY(10, 0, site.m_Road[0].m_SiteEnd);
  kel_test::ExpectXY(-5, 0, site.m_Road[0].m_SiteBeg);

  // A crossing keeps its shape word over a rebuild of crossings or of both.
  MakeRoad(site, 1, 6, 6);
  site.ResetRoadCrossData();
  ASSERT_EQ(1u, site.m_Cross.size());
  site.m_Cross[0].ChangeCrossStatus(3);
  site.ResetCrossData();
  EXPECT_EQ(3, site.m_Cross[0].GetShape());
  site.ResetRoadCrossData();
  EXPECT_EQ(3, site.m_Cross[0].GetShape());
  EXPECT_EQ(2, site.m_pt[0].GetRoadShape(site) | site.m_pt[1].GetRoadShape(site));
}

TEST(CKelHSiteShapesTest, DeemedAndFloorAreaRatioRoads)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 8, 8);
  site.m_pt[0].COND |= CKelSiteTable::kTokutei;
  site.m_pt[0].m_TokuteiDistance = 35;
  MakeRoad(site, 2, 9, 9);
  site.m_pt[2].m_Kanwa1 = 0.5f;
  site.CheckRoadWidth();
  site.CalcSiteMaxRoad();
  EXPECT_EQ(2, site.m_DeemedRoadNo);
  EXPECT_EQ(9.5f, site.m_DeemedRoadWidth);
  EXPECT_EQ(0, site.m_CapacityRoadNo);
  EXPECT_EQ(10.0f, site.m_CapacityRoadWidth);
  EXPECT_EQ(2.0f, site.m_KanwaWidth);

  site.m_pt[0].COND &= static_cast<std::uint16_t>(~CKelSiteTable::kTokutei);
  site.CalcSiteMaxRoad();
  EXPECT_EQ(2, site.m_CapacityRoadNo);
  EXPECT_EQ(9.0f, site.m_CapacityRoadWidth);
  EXPECT_EQ(-1.0f, site.m_KanwaWidth);
  CKelHSite none = Square();
  none.CalcSiteMaxRoad();
  EXPECT_EQ(-1, none.m_DeemedRoadNo);
  EXPECT_EQ(-1, none.m_CapacityRoadNo);
}

TEST(CKelHSiteShapesTest, RoadWidthsAtAVertexPair)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 6, 6);
  MakeRoad(site, 1, 6, 6);
  site.m_pt[0].m_Kanwa1 = 2.0f;
  site.m_pt[1].m_Kanwa1 = 0.5f;
  site.m_pt[0].m_Sphere.m_BldBack[0] = 1.5;
  EXPECT_EQ(8.0, site.GetBegRoadWidth(0, 1, 0));
  EXPECT_EQ(9.5, site.GetBegRoadWidth(0, 1, 1));
  EXPECT_EQ(8.0, site.GetEndRoadWidth(0, 1, 0));
  site.m_pt[1].m_RoadWidthEnd = 7;
  site.m_pt[1].CheckRoadWuser();
  EXPECT_EQ(6.5, site.GetBegRoadWidth(0, 1, 0));
  EXPECT_EQ(6.5, site.GetEndRoadWidth(0, 1, 0));
  site.m_pt[1].m_RoadWidthEnd = 6.0009;
  EXPECT_EQ(8.0, site.GetEndRoadWidth(0, 1, 0));
  EXPECT_EQ(6.5, site.GetRoadAdoptiveDistance(0, 1, 0));
  EXPECT_EQ(8.0, site.GetRoadAdoptiveDistance(0, 1, 1));
}

// A frontage given with a doubled point: deleting another road edge
// rebuilds the crossings with roads computed afresh, and the road the user
// reshaped keeps its shape, as on the clean outline.
TEST(CKelHSiteShapesTest, DeletingARoadEdgeOfASurveyedOutlineKeepsTheOtherShapes)
{
  int kept = 0;
  for (const double gap : {0.0, 1e-4})
    for (const int shape : {1, 2, 3}) {
      CKelHSite site = gap > 0 ? site_test::Site({{0, 0}, {5, 0}, {5 + gap, 0}, {10, 0}, {10, 10}, {5, 12}, {0, 10}})
                               : site_test::Site({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {5, 12}, {0, 10}});
      const int frontage = gap > 0 ? 3 : 2;
      for (int i = 0; i < frontage; ++i)
        MakeRoad(site, i, 4, 4);
      MakeRoad(site, frontage + 1, 4, 4);
      site.ResetRoadCrossData();
      ASSERT_EQ(0, site.m_Road[0].m_no);
      if (!site.ChangeRoadStatus(&site.m_Road[0], shape))
        continue;
      site.DeletePoint(frontage + 1);
      ASSERT_EQ(0, site.m_Road[0].m_no);
      EXPECT_EQ(shape, site.m_Road[0].GetShape()) << gap << " " << shape;
      ++kept;
    }
  EXPECT_GE(kept, 2);
}

}  // namespace
