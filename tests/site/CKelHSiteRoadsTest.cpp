#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CKelHSite.h"
#include "KelGeometry.h"
#include "SiteTestSupport.h"

namespace {

using site_test::BuildRoads;
using site_test::MakeCut;
using site_test::MakeRoad;
using site_test::Square;

template <class P>
std::pair<double, double> XY(const P& p)
{
  // Rounded to 1e-9 so computed crossings compare as the exact values they are.
  return {std::round(p.m_x * 1e9) / 1e9 + 0.0, std::round(p.m_y * 1e9) / 1e9 + 0.0};
}

using PairList = std::vector<std::pair<double, double>>;

PairList Sides(const CSiteRoadTable& r) { return {XY(r.m_SiteBeg), XY(r.m_SiteEnd), XY(r.m_FarBeg), XY(r.m_FarEnd)}; }

TEST(CKelHSiteRoadsTest, ALoneRoadRunsStraightPastBothConvexCorners)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  BuildRoads(site);
  ASSERT_EQ(1u, site.m_Road.size());
  const CSiteRoadTable& r = site.m_Road[0];
  EXPECT_EQ(0, r.m_no);
  EXPECT_EQ(0, r.m_Flag);
  EXPECT_EQ((PairList{{-5, 0}, {15, 0}, {-5, -4}, {15, -4}}), Sides(r));
  EXPECT_TRUE(site.m_Cross.empty());
  EXPECT_EQ(0, site.m_pt[0].optno);
  EXPECT_EQ(-1, site.m_pt[1].optno);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(-1, site.check_point0(i));
}

TEST(CKelHSiteRoadsTest, RoadsMeetingAtAConvexCornerGetACrossing)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  MakeRoad(site, 1, 6, 6);
  BuildRoads(site);
  ASSERT_EQ(2u, site.m_Road.size());
  ASSERT_EQ(1u, site.m_Cross.size());
  const CSiteCrossTable& c = site.m_Cross[0];
  EXPECT_EQ(1, c.m_Flag);
  EXPECT_EQ(0, c.m_Road1);
  EXPECT_EQ(1, c.m_Road2);
  EXPECT_EQ((PairList{{10, 0}, {16, 0}, {10, -4}, {16, -4}}),
            (PairList{XY(c.m_Pt[0].m_pt), XY(c.m_Pt[1].m_pt), XY(c.m_Pt[2].m_pt), XY(c.m_Pt[3].m_pt)}));
  EXPECT_EQ(0x1000, site.m_Road[0].m_Flag);
  EXPECT_EQ(0, site.m_Road[0].m_EndCross);
  EXPECT_EQ(-1, site.m_Road[0].m_BegCross);
  EXPECT_EQ(0x2000, site.m_Road[1].m_Flag);
  EXPECT_EQ(0, site.m_Road[1].m_BegCross);
  // The roads are stretched to the crossing and 5.0 beyond it.
  EXPECT_EQ(XY(CKelCoord2D(21, -4)), XY(site.m_Road[0].m_FarEnd));
  EXPECT_EQ(XY(CKelCoord2D(16, -9)), XY(site.m_Road[1].m_FarBeg));
  // A crossing of shape 1 cuts the end it sits at; a road with a crossing
  // cannot cut that end itself.
  EXPECT_EQ(0, site.GetRoadShape(0));
  EXPECT_EQ(1, site.m_pt[0].GetRoadShape(site));
  EXPECT_EQ(2, site.m_pt[1].GetRoadShape(site));
  EXPECT_FALSE(site.m_Road[0].CheckEnableRoadShape(1));
  EXPECT_TRUE(site.m_Road[0].CheckEnableRoadShape(0));
  EXPECT_FALSE(site.m_Road[1].CheckEnableRoadShape(2));
}

TEST(CKelHSiteRoadsTest, RoadsAroundAReflexCornerJoinTheirFarSides)
{
  CKelHSite site = site_test::Site({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
  MakeRoad(site, 2, 4, 4);
  MakeRoad(site, 3, 4, 4);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(i == 3 ? 1 : -1, site.check_point0(i)) << i;
  BuildRoads(site);
  ASSERT_EQ(2u, site.m_Road.size());
  EXPECT_EQ(0x1011, site.m_Road[0].m_Flag);
  EXPECT_EQ(0x2022, site.m_Road[1].m_Flag);
  EXPECT_EQ(XY(CKelCoord2D(14, 14)), XY(site.m_Road[0].m_FarEnd));
  EXPECT_EQ(XY(CKelCoord2D(14, 14)), XY(site.m_Road[1].m_FarBeg));
  EXPECT_EQ(XY(CKelCoord2D(10, 10)), XY(site.m_Road[0].m_SiteEnd));
  EXPECT_EQ(XY(CKelCoord2D(10, 10)), XY(site.m_Road[1].m_SiteBeg));
  EXPECT_TRUE(site.m_Cross.empty());
  EXPECT_EQ(1, site.GetRoadShape(2));
  EXPECT_EQ(2, site.GetRoadShape(3));
  int a = 0, b = 0;
  EXPECT_EQ(1, site.get_roadflag(2, &a, &b));
  EXPECT_EQ(-1, a);
  EXPECT_EQ(1, b);
}

TEST(CKelHSiteRoadsTest, RoadsEitherSideOfACornerCut)
{
  // The site lines of the two roads cross beyond the cut.
  CKelHSite beyond = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeRoad(beyond, 0, 4, 4);
  MakeCut(beyond, 1);
  MakeRoad(beyond, 2, 4, 4);
  BuildRoads(beyond);
  ASSERT_EQ(1u, beyond.m_Cross.size());
  EXPECT_EQ(0x0111, beyond.m_Cross[0].m_Flag);
  EXPECT_EQ(0, beyond.m_Road[0].m_EndCross);
  EXPECT_EQ(0, beyond.m_Road[1].m_BegCross);
  EXPECT_EQ(XY(CKelCoord2D(10, 0)), XY(beyond.m_Cross[0].m_Pt[0].m_pt));
  EXPECT_EQ(XY(CKelCoord2D(14, -4)), XY(beyond.m_Cross[0].m_Pt[3].m_pt));
  EXPECT_EQ(1, beyond.CheckNewCross(beyond.m_Road[0], beyond.m_Road[1]));
  EXPECT_EQ(0, beyond.SCrossTargetNo(1));
  EXPECT_EQ(&beyond.m_Cross[0], beyond.SCrossTarget(1));
  EXPECT_EQ(-1, beyond.SCrossTargetNo(0));

  // Collinear roads across a cut in the same line.
  CKelHSite collinear = site_test::Site({{0, 0}, {4, 0}, {6, 0}, {10, 0}, {10, 10}, {0, 10}});
  MakeRoad(collinear, 0, 4, 4);
  MakeCut(collinear, 1);
  MakeRoad(collinear, 2, 4, 4);
  BuildRoads(collinear);
  ASSERT_EQ(1u, collinear.m_Cross.size());
  const CSiteCrossTable& c = collinear.m_Cross[0];
  EXPECT_EQ(0x0211, c.m_Flag);
  EXPECT_EQ(-1, collinear.CheckNewCross(collinear.m_Road[0], collinear.m_Road[1]));
  EXPECT_EQ(-2, collinear.CheckNewCross(collinear.m_Road[1], collinear.m_Road[0]));
  const CKelCoord2D mid((collinear.m_Road[1].m_SiteBeg.m_x + collinear.m_Road[0].m_SiteEnd.m_x) / 2, 0);
  EXPECT_EQ(XY(mid), XY(c.m_Pt[0].m_pt));
  EXPECT_EQ(-4, c.m_Pt[3].m_pt.m_y);
}

TEST(CKelHSiteRoadsTest, AFarSideParallelToTheOtherRoadMakesNoCrossing)
{
  // Road 1 turns 30 degrees and narrows its far side back to the x axis's
  // direction: there is no crossing of road 0's site line with it.
  const double a = KelAngle::Pi / 6;
  CKelHSite site(kel_test::Pts({{0, 0}, {10, 0}, {10 + 10 * std::cos(a), 10 * std::sin(a)}, {0, 20}}));
  site.SetArea();
  MakeRoad(site, 0, 4, 6);
  MakeRoad(site, 1, 1, 6);
  BuildRoads(site);
  EXPECT_TRUE(site.m_Cross.empty());
  EXPECT_EQ(0x1100, site.m_Road[0].m_Flag);
  EXPECT_EQ(0x2200, site.m_Road[1].m_Flag);
  EXPECT_EQ(-1, site.m_Road[0].m_EndCross);
}

TEST(CKelHSiteRoadsTest, BuildersRefreshTheBoundsOfAnEditedOutline)
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeRoad(site, 0, 4, 4);
  MakeCut(site, 1);
  MakeRoad(site, 2, 4, 4);
  // Everything moves far away; the cached bounds still describe the old place.
  site.MoveBlock(CKelCoord2D(1000, 1000), CKelCoord3D(0, 0, 0));
  BuildRoads(site);
  ASSERT_EQ(1u, site.m_Cross.size());
  EXPECT_EQ(0x0111, site.m_Cross[0].m_Flag);
  EXPECT_EQ(1010.0, site.m_xmax);
}

TEST(CKelHSiteRoadsTest, CrossingAndSideLineHelpers)
{
  struct Row {
    CKelCoord2D a1, a2, b1, b2;
    std::vector<CKelCoord2D> expected;
  };
  const Row rows[] = {
      {{0, 0}, {10, 0}, {5, -1}, {5, 1}, {{5, 0}}},
      {{0, 0}, {10, 0}, {2, 0.0009}, {12, 0.0009}, {{10, 0}}},  // b on line a, b1 inside
      {{0, 0}, {10, 0}, {2, 0.0011}, {12, 0.0011}, {}},
      {{0, 0}, {10, 0}, {10, 0}, {12, 0}, {}},  // b1 at a2: not strictly inside
      {{0, 0}, {10, 0}, {-1, 0}, {12, 0}, {}},
  };
  for (const Row& r : rows) {
    const std::vector<CKelCoord2D> got = cross_line0Ex(r.a1, r.a2, r.b1, r.b2);
    ASSERT_EQ(r.expected.size(), got.size());
    if (!got.empty()) {
      EXPECT_EQ(r.expected[0], got[0]);
    }
  }
  const CKelHSite site = Square();
  EXPECT_EQ(1, site.check_sideline(0, CKelCoord2D(5, 0)));
  EXPECT_EQ(1, site.check_sideline(0, CKelCoord2D(10.0001, 0)));
  EXPECT_EQ(0, site.check_sideline(0, CKelCoord2D(11, 0)));
  EXPECT_EQ(0, site.check_sideline(0, CKelCoord2D(5, 0.001)));
  EXPECT_EQ(0, site.check_sideline(-1, CKelCoord2D(5, 0)));
  EXPECT_NEAR(KelAngle::HalfPi, site.get_pointangle(0), 1e-12);
}

TEST(CKelHSiteRoadsTest, HeightsOfRoadAndCrossingPoints)
{
  CKelHSite site = Square();
  MakeRoad(site, 0, 4, 4);
  MakeRoad(site, 1, 6, 6);
  site.m_pt[0].m_RoadHeight1 = 1.0f;
  site.m_pt[0].m_RoadHeight2 = 2.0f;
  site.m_pt[1].m_RoadHeight1 = 2.0f;
  site.m_pt[1].m_RoadHeight2 = 4.0f;
  site.ResetRoadCrossData();
  ASSERT_EQ(1u, site.m_Cross.size());
  // Point 4 (16, -4): 1.6 along road 0's line, -0.4 along road 1's.
  const CoordRoadCross& p = site.m_Cross[0].m_Pt[3];
  EXPECT_NEAR(2.6, p.m_Height1, 1e-9);
  EXPECT_NEAR(1.2, p.m_Height2, 1e-9);
  EXPECT_NEAR(0.5, site.m_Road[0].m_SiteBeg.m_z, 1e-9);
  // Road 1's far end (16, 15) lies 1.5 edge lengths along: 2.0 + 2.0 * 1.5.
  EXPECT_NEAR(5.0, site.m_Road[1].m_FarEnd.m_z, 1e-9);
  EXPECT_EQ(0.0, site.ChangeHeight(CKelCoord2D(0, 0), 4));
}

// Random star-shaped sites with random road edges, degenerate widths
// included: every table coordinate and height is a number.
TEST(CKelHSiteRoadsTest, TablesOfRandomSitesAreFinite)
{
  std::mt19937 rng(103);
  std::uniform_real_distribution<double> radius(2, 30), width(0, 25), unit(0, 1);
  for (int n = 0; n < 200; ++n) {
    const int count = 3 + static_cast<int>(unit(rng) * 8);
    std::vector<CKelCoord2D> pts;
    for (int k = 0; k < count; ++k) {
      const double a = (k + 0.8 * unit(rng)) * KelAngle::TwoPi / count;
      const double r = radius(rng);
      pts.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    if (unit(rng) < 0.1)
      pts.push_back(pts.back());  // an edge of no length
    CKelHSite site(pts);
    site.SetArea();
    for (int k = 0; k < site.GetSize(); ++k) {
      const double pick = unit(rng);
      if (pick < 0.5) {
        // One draw per statement: a call's arguments come in no fixed order.
        const double begin = width(rng);
        MakeRoad(site, k, begin, unit(rng) < 0.5 ? site.m_pt[static_cast<std::size_t>(k)].m_RoadWidthBeg : width(rng));
      } else if (pick < 0.65)
        MakeCut(site, k);
      site.m_pt[static_cast<std::size_t>(k)].m_RoadHeight1 = static_cast<float>(unit(rng));
    }
    site.ResetRoadCrossData();
    for (const CSiteRoadTable& r : site.m_Road) {
      for (const CKelCoord3D* p : {&r.m_SiteBeg, &r.m_SiteEnd, &r.m_FarBeg, &r.m_FarEnd})
        ASSERT_TRUE(std::isfinite(p->m_x) && std::isfinite(p->m_y) && std::isfinite(p->m_z)) << n;
    }
    for (const CSiteCrossTable& c : site.m_Cross) {
      for (const CoordRoadCross& p : c.m_Pt)
        ASSERT_TRUE(std::isfinite(p.m_pt.m_x) && std::isfinite(p.m_pt.m_y) && std::isfinite(p.m_Height1) &&
                    std::isfinite(p.m_Height2))
            << n;
    }
  }
}

}  // namespace
