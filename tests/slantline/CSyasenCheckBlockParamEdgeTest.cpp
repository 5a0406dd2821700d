#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "CSyasenCheck.h"
#include "SlantFixtures.h"
#include "SurveyVariants.h"

namespace {

using namespace slant_test;

CSyasenCheckBlockParam BaseAcross()
{
  // A base block whose near side runs along the base line 4 m across it.
  CSyasenCheckBlockParam p;
  p.m_BaseBlock.AddBlock(Kind(Box(0, 4, 10, 8, 10), true));
  p.m_BaseBlock.AddBlock(Kind(Box(2, 1, 3, 2, 10), false));  // a plan block is no side
  return p;
}

TEST(EdgeLines, TheDistanceLineEndsOnTheNearestSideAcross)
{
  const CSyasenCheckBlockParam p = BaseAcross();
  struct Row {
    double x;
    double length;
  };
  for (const Row& r : {Row{5, 4}, Row{0, 4}, Row{10, 4}, Row{2.5, 4}, Row{20, 0}, Row{-1e-7, 4}}) {
    std::vector<CoordLine3D> out;
    p.CreateAreaEdgeLineDistance(CKelCoord2D(0, 0), 1, 0, CKelCoord3D(r.x, 0, 2), out);
    ASSERT_EQ(out.size(), 1u) << r.x;
    EXPECT_NEAR(length_2point(out[0].m_Beg3D, out[0].m_End3D), r.length, 1e-9) << r.x;
    EXPECT_EQ(out[0].m_Beg3D.m_z, 2);
    EXPECT_EQ(out[0].m_End3D.m_z, 2);
    // The same line again is not repeated.
    p.CreateAreaEdgeLineDistance(CKelCoord2D(0, 0), 1, 0, CKelCoord3D(r.x, 0, 2), out);
    EXPECT_EQ(out.size(), 1u);
  }
}

TEST(EdgeLines, TheNorthSideLineReachesTheFarthestVertexBehindThePoint)
{
  const CSyasenCheckBlockParam p = BaseAcross();
  std::vector<CoordLine3D> out;
  p.CreateAreaEdgeLineDistanceNorthside(CKelCoord2D(0, 0), 1, 0, CKelCoord3D(10, 12, 1), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_NEAR(out[0].m_End3D.m_y, 8, 1e-12);
  EXPECT_NEAR(out[0].m_End3D.m_x, 10, 1e-12);
  out.clear();
  // Beside all blocks, or with no vertex on its cross line: no line.
  p.CreateAreaEdgeLineDistanceNorthside(CKelCoord2D(0, 0), 1, 0, CKelCoord3D(20, 12, 1), out);
  p.CreateAreaEdgeLineDistanceNorthside(CKelCoord2D(0, 0), 1, 0, CKelCoord3D(5, 12, 1), out);
  EXPECT_TRUE(out.empty());
}

TEST(EdgeLines, OutlineAreaIsSignedByItsTurn)
{
  const std::vector<CKelCoord3DEx> ccw{{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}};
  const std::vector<CKelCoord3DEx> cw(ccw.rbegin(), ccw.rend());
  EXPECT_EQ(CSyasenCheckBlockParam::CalcArea(ccw), 1.0);
  EXPECT_EQ(CSyasenCheckBlockParam::CalcArea(cw), -1.0);
  EXPECT_EQ(CSyasenCheckBlockParam::CalcArea({}), 0.0);
}

// The radial form on a 20 x 15 site with a 4 m road on its south edge: the
// buildings' outlines are the source blocks, their tops on a slant plane
// rising from the road's far side, and check points lie at x = 1, 4, ..., 19
// on the base line 8 m north of the road's far side (y = 4). Answers the two
// ends of every check point's edge lines, moved back by the survey's shift.
std::vector<CKelCoord2D> RadialEdgeEnds(const survey::Variant& l, const survey::Variant& box)
{
  struct Driver : CSyasenCheck {};
  const double x0 = l.m_Shift.m_x, y0 = l.m_Shift.m_y;
  CKelHSite site = Site({{x0, y0}, {x0 + 20, y0}, {x0 + 20, y0 + 15}, {x0, y0 + 15}});
  CKelSiteTable& road = site.m_pt[0];
  road.COND = CKelSiteTable::kRoad;
  road.m_RoadWidthBeg = road.m_RoadWidthEnd = 4;
  road.CheckRoadWuser();
  TestCheckBlock blk;
  blk.shift = 8;
  Driver driver;
  CSyasenCheckBlockParam p;
  p.m_BegPoint = CKelCoord2D(x0, y0);
  p.m_EndPoint = CKelCoord2D(x0 + 20, y0);
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
  p.m_CheckLength = 20;
  p.m_CheckStart = 1;
  p.m_CheckEnd = 19;
  p.m_CpntPitch = 3;
  for (const survey::Variant* v : {&l, &box}) {
    CKelBlockCube b;
    for (const CKelCoord2D& q : v->m_Pts)
      b.Append(CKelBlockCoord(q.m_x, q.m_y, 1.25 * (q.m_y - y0 + 4), 0));
    b.SetType();
    b.SetMinMax();
    b.GetPlaneEquation(false);
    b.GetPlaneEquation(true);
    p.m_SrcBlock.AddBlock(b);
  }
  p.CreateBlock2(&driver, &site, &blk, 0);
  std::vector<CKelCoord2D> ends;
  for (const CSphereRatioParam& cpnt : p.m_SphereRatio2) {
    CKelCoord2D a, b;
    p.CreateAreaEdgeLine2(cpnt, a, b);
    ends.push_back(l.Back(a));
    ends.push_back(l.Back(b));
  }
  return ends;
}

// A survey's variants of an outline for the radial form: the usual ones,
// edges split with 1 mm of noise, every vertex doubled 1 um along its edge,
// and some turned clockwise; each also 3e5 m out.
std::vector<survey::Variant> RadialVariants(const survey::Outline& pts)
{
  std::mt19937 rng(8);
  std::vector<survey::Variant> out = survey::SurveyVariants(pts);
  out.push_back(survey::Split(survey::Clean(pts), 4, 1e-3, rng));
  survey::Variant along = survey::Clean(pts);
  for (std::size_t k = pts.size(); k-- > 0;) {
    const CKelCoord2D& a = pts[k];
    const CKelCoord2D& b = pts[(k + 1) % pts.size()];
    along = survey::Doubled(along, k, {1e-6 * (b.m_x - a.m_x) / a.GetLength(b), 1e-6 * (b.m_y - a.m_y) / a.GetLength(b)});
  }
  out.push_back(along);
  for (std::size_t k : {std::size_t{2}, std::size_t{4}, out.size() - 1}) {
    survey::Variant cw = out[k];
    std::reverse(cw.m_Pts.begin(), cw.m_Pts.end());
    cw.m_Name += " clockwise";
    out.push_back(cw);
  }
  for (std::size_t k = 0, n = out.size(); k < n; ++k)
    out.push_back(survey::Moved(out[k], 3e5, -3e5));
  return out;
}

// Where a radial cut splits a building, the pieces merge back as for the
// clean outline, so the rays meet the same corners and no vertex of a cut
// counts as one: every edge line stays within a millimetre of the clean
// one, wherever the survey puts the buildings.
TEST(EdgeLines, RadialEdgeLinesOfSurveyedBuildingsStayWithinAMillimetre)
{
  const survey::Outline l{{2, 2}, {12, 2}, {12, 6}, {6, 6}, {6, 12}, {2, 12}};
  const survey::Outline box{{14, 3}, {18, 3}, {18, 9}, {14, 9}};
  const std::vector<survey::Variant> ls = RadialVariants(l), boxes = RadialVariants(box);
  // The clean rays from (4, 4) run through the L's corners (2, 2) and (12, 2).
  const std::vector<CKelCoord2D> cleanEnds = RadialEdgeEnds(survey::Clean(l), survey::Clean(box));
  ASSERT_EQ(cleanEnds.size(), 14u);
  EXPECT_LE(cleanEnds[2].GetLength({2, 2}), 1e-9);
  EXPECT_LE(cleanEnds[3].GetLength({12, 2}), 1e-9);
  for (std::size_t k = 0; k < ls.size(); ++k) {
    const survey::Variant& v = ls[k];
    const std::vector<CKelCoord2D> clean = RadialEdgeEnds(survey::Moved(survey::Clean(l), v.m_Shift.m_x, v.m_Shift.m_y),
                                                          survey::Moved(survey::Clean(box), v.m_Shift.m_x, v.m_Shift.m_y));
    const std::vector<CKelCoord2D> got = RadialEdgeEnds(v, boxes[k]);
    ASSERT_EQ(got.size(), clean.size()) << v.m_Name;
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_LE(got[i].GetLength(clean[i]), 1e-3) << v.m_Name << " end " << i;
  }
}

}  // namespace
