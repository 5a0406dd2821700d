#include <gtest/gtest.h>

#include <cmath>

#include "SlantFixtures.h"

namespace {

using namespace slant_test;
using Type = CKelCoord3DCrsPnt::TYPE;

CSyasenCheckBlockParam WithBase(double x0, double x1)
{
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_BaseBlock.AddBlock(Box(x0, 0, x1, 10, 10));
  return p;
}

std::pair<double, double> Stretch(const CSyasenCheckBlockParam& p, const CKelHSite& site)
{
  double start = 0, end = 0;
  p.CreateChkPntPos(nullptr, &site, &start, &end);
  return {start, end};
}

TEST(CheckStretch, KindsMoveTheEndsOfTheBlocksExtent)
{
  const CKelHSite site = Rect20x15();
  struct Row {
    int begKind, endKind;
    double begValue, endValue;
    double start, end;
  };
  for (const Row& r : {Row{0, 0, 0, 0, 3, 12}, Row{1, 1, 0, 0, 0, 20}, Row{2, 0, 1.5, 0, -1.5, 12},
                       Row{0, 2, 0, 2.5, 3, 22.5}, Row{3, 4, 0, 0, 0, 20}}) {
    CSyasenCheckBlockParam p = WithBase(3, 12);
    p.m_CalcKind.m_BegCpntKind = r.begKind;
    p.m_CalcKind.m_EndCpntKind = r.endKind;
    p.m_CalcKind.m_BegCpntValue = r.begValue;
    p.m_CalcKind.m_EndCpntValue = r.endValue;
    EXPECT_EQ(Stretch(p, site), std::make_pair(r.start, r.end)) << r.begKind << " " << r.endKind;
  }
}

TEST(CheckStretch, NoBlocksOrStoredSelectorsOutOfRangeGiveNone)
{
  const CKelHSite site = Rect20x15();
  const std::pair<double, double> none{1e38, -1e38};
  CSyasenCheckBlockParam p = WithBase(3, 12);
  p.m_CalcKind.m_CalcType = 1;  // radial: the source blocks, here none
  EXPECT_EQ(Stretch(p, site), none);
  p.m_CalcKind.m_CalcType = 2;
  EXPECT_EQ(Stretch(p, site), none);
  p = WithBase(3, 12);
  p.m_CalcKind.m_EndCpntKind = 5;
  EXPECT_EQ(Stretch(p, site), none);
  p = WithBase(3, 12);
  p.m_SiteNo = 4;
  EXPECT_EQ(Stretch(p, site), none);
  p.m_SiteNo = -1;
  EXPECT_EQ(Stretch(p, site), none);
}

CKelCoord3DCrsPntArray Line(CSyasenCheckBlockParam& p, CKelHSite& site, TestCheckBlock& blk, double start, double end)
{
  p.CalcChkPntEx(nullptr, &site, &blk, start, end);
  return p.m_Cpntline.empty() ? CKelCoord3DCrsPntArray() : p.m_Cpntline[0];
}

TEST(CheckLine, HeightsAreRaisedWhereTheGroundStandsAMetreAbove)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  struct Row {
    double ground, z;
  };
  for (const Row& r : {Row{3.0, 1.0}, Row{0.5, 0.0}, Row{1.0, 0.0}, Row{0.999, 0.0}}) {
    CSyasenCheckBlockParam p = EdgeZeroCheck();
    p.m_GrdHeight = r.ground;
    const auto line = Line(p, site, blk, 2, 18);
    ASSERT_EQ(line.size(), 2u) << r.ground;
    EXPECT_DOUBLE_EQ(line[0].m_z, r.z) << r.ground;
    EXPECT_DOUBLE_EQ(line[0].m_x, 2);
    EXPECT_DOUBLE_EQ(line[1].m_x, 18);
  }
}

TEST(CheckLine, TheLevelCrossingAddsAVertexOnlyInsideTheStretch)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  blk.zA = 0;
  blk.zB = 4;  // the ground 3.0 stands 1.0 above the line at t = 10
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_GrdHeight = 3.0;
  const auto inside = Line(p, site, blk, 0, 20);
  ASSERT_EQ(inside.size(), 3u);
  EXPECT_DOUBLE_EQ(inside[1].m_x, 10);
  EXPECT_DOUBLE_EQ(inside[1].m_z, 2);
  EXPECT_DOUBLE_EQ(inside[0].m_z, 1.0);  // 3.0 above: raised by 1.0
  EXPECT_EQ(Line(p, site, blk, 10, 20).size(), 2u);
  EXPECT_EQ(Line(p, site, blk, 0, 10).size(), 2u);
  EXPECT_EQ(Line(p, site, blk, 10 - 3e-5, 20).size(), 3u);
}

TEST(CheckLine, NoStretchOrAHalfSetOneOrNoBaseLineGivesNoLine)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_Cpntline.resize(1);
  for (const auto& [start, end] : {std::pair{1e38, -1e38}, {1e38, 5.0}, {0.0, -1e38}})
    EXPECT_TRUE(Line(p, site, blk, start, end).empty());
  p.m_SiteNo = 7;
  EXPECT_TRUE(Line(p, site, blk, 0, 5).empty());
}

// The edge before (0, 0) comes up from (-5, -5), so the begin corner turns
// away from the site; the base line lies 4 m outside the edge.
TEST(CheckLine, ArcKindsAddTheArcEntriesAtTheTurningCorner)
{
  CKelHSite site = Site({{0, 0}, {20, 0}, {20, 15}, {-5, 15}, {-5, -5}});
  TestCheckBlock blk;
  blk.shift = -4;
  struct Row {
    int kind;
    double angle;  // of the arc start about the begin point
  };
  for (const Row& r : {Row{4, -M_PI / 4}, Row{3, -3 * M_PI / 8}}) {
    CSyasenCheckBlockParam p = EdgeZeroCheck();
    p.m_GrdHeight = 2.0;
    p.m_CalcKind.m_BegCpntKind = r.kind;
    const auto line = Line(p, site, blk, 0, 20);
    ASSERT_EQ(line.size(), 4u) << r.kind;
    EXPECT_EQ(line[0].m_Type, Type::TYPE_POINT);
    EXPECT_NEAR(line[0].m_x, 4 * std::cos(r.angle), 1e-12);
    EXPECT_NEAR(line[0].m_y, 4 * std::sin(r.angle), 1e-12);
    EXPECT_EQ(line[0].m_z, 2.25);
    EXPECT_EQ(line[1].m_Type, Type::TYPE_CW);
    EXPECT_EQ(line[1].m_x, 0);
    EXPECT_EQ(line[1].m_z, 2.25);
    EXPECT_EQ(line[2].m_y, -4);
  }
  // The end corner at (20, 0) turns towards the site: no arc there.
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_CalcKind.m_EndCpntKind = 3;
  EXPECT_EQ(Line(p, site, blk, 0, 20).size(), 2u);
  // A corner-cut edge before the begin corner: no arc either.
  site.m_pt[4].COND |= CKelSiteTable::kSumikiri;
  p.m_CalcKind.m_BegCpntKind = 4;
  EXPECT_EQ(Line(p, site, blk, 0, 20).size(), 2u);
}

}  // namespace

namespace {

using namespace slant_test;

struct Driver : CSyasenCheck {};

TEST(CheckPointsOfTheCheck, TheBasicFormLaysPointsOverTheBaseBlocksAtTheDefaultPitch)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  Driver driver;
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_SrcBlock.AddBlock(Box(2, 0, 12, 10, 10));
  p.m_CpntDistance = 4.0;
  p.CreateBlock1(&driver, &site, &blk, 0, true);
  EXPECT_EQ(p.m_CpntPitch, 2.0);
  EXPECT_EQ(p.m_TgtPitch, 2.0);
  ASSERT_EQ(p.m_SphereRatio.size(), 6u);
  for (std::size_t i = 0; i < p.m_SphereRatio.size(); ++i)
    EXPECT_DOUBLE_EQ(p.m_SphereRatio[i].GetCoord3D(0).m_x, 2.0 + 2.0 * static_cast<double>(i));
  // Without a driver no check points are made, and no assertion stops it.
  CSyasenCheckBlockParam q = EdgeZeroCheck();
  q.m_SrcBlock = p.m_SrcBlock;
  q.CreateBlock1(nullptr, &site, &blk, 0, true);
  EXPECT_TRUE(q.m_SphereRatio.empty());
  EXPECT_EQ(q.m_BaseBlock.Size(), 1);
}

TEST(CheckPointsOfTheCheck, TheRadialFormGivesEveryPointItsOwnBlocks)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegBaseKind = 4;
  p.m_CalcKind.m_EndBaseKind = 4;
  p.m_SrcBlock.AddBlock(Box(0, 0, 20, 15, 10));
  p.m_CheckLength = 20;
  p.m_CheckStart = 5;
  p.m_CheckEnd = 15;
  p.m_CpntPitch = 5;
  p.CreateBlock2(nullptr, &site, &blk, 0);
  ASSERT_EQ(p.m_SphereRatio2.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const CSphereRatioParam& cpnt = p.m_SphereRatio2[i];
    EXPECT_DOUBLE_EQ(cpnt.GetCoord3D(0).m_x, 5.0 + 5.0 * static_cast<double>(i));
    EXPECT_TRUE(cpnt.m_bUsePoint);
    EXPECT_EQ(cpnt.m_EndPoint, CKelCoord2D(20, 0));
    // The rays from the ends to a point on the edge leave the whole box.
    ASSERT_FALSE(cpnt.m_BlockList.empty());
    EXPECT_TRUE(CSyasenCheckBlockParam::IsBaseOnly(cpnt.m_BlockList[0]));
    EXPECT_NEAR(PlanArea(cpnt.m_BlockList), 300, 1e-9);
  }
}

// A road split on its line at a third is checked through either piece: the
// radial form's points run from the begin point to the end, as the basic
// form's stretch does, not from the start of the piece the driver's base
// line is drawn along (6.67 m to 26.67 m before).
TEST(CheckPointsOfTheCheck, TheRadialRangeRunsFromTheBeginPointWhicheverPieceIsChecked)
{
  CKelHSite site = Site({{0, 0}, {20.0 / 3, 0}, {20, 0}, {20, 15}, {0, 15}});
  for (int piece : {0, 1}) {
    CSyasenCheckBlockParam p = EdgeZeroCheck();
    p.m_SiteNo = piece;
    p.m_CalcKind.m_CalcType = 1;
    p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
    p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 1;
    p.m_SrcBlock.AddBlock(Box(0, 0, 20, 15, 10));
    p.m_CheckLength = 20;
    p.m_CheckEnd = -1;
    p.m_CpntPitch = 5;
    TestCheckBlock blk;
    CSyasenCheck driver;
    EXPECT_EQ(p.CreateBlock2(&driver, &site, &blk, 0), 0);
    ASSERT_EQ(p.m_SphereRatio2.size(), 5u) << piece;
    for (std::size_t i = 0; i < 5; ++i)
      EXPECT_NEAR(p.m_SphereRatio2[i].GetCoord3D(0).m_x, 5.0 * static_cast<double>(i), 1e-9) << piece;
  }
}

// A 20 x 15 lot whose frontage is a 6 m road with a survey point on it at
// x = 8, checked from corner to corner through the piece after the point,
// the driver giving the run's base line or the checked piece's own; and the
// lot mirrored (x -> -x, listed the other way). Both forms lay their points
// over the frontage, mirrored with the lot.
TEST(CheckPointsOfTheCheck, PointsLieWhereTheyWereMeasuredWhicheverBaseLineTheDriverGives)
{
  for (const bool mirrored : {false, true}) {
    const double m = mirrored ? -1 : 1;
    std::vector<CKelCoord2D> pts{{0, 0}, {8, 0}, {20, 0}, {20, 15}, {0, 15}};
    for (CKelCoord2D& q : pts)
      q.m_x *= m;
    if (mirrored)
      pts = {{0, 0}, {0, 15}, {-20, 15}, {-20, 0}, {-8, 0}};
    CKelHSite site = Site(pts);
    const int piece = mirrored ? 3 : 1;  // the piece between x = 20 and x = 8
    for (int k : {piece, mirrored ? 4 : 0}) {
      CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(k)];
      v.COND = CKelSiteTable::kRoad;
      v.m_RoadWidthBeg = v.m_RoadWidthEnd = 6;
      v.CheckRoadWuser();
    }
    for (const bool own : {false, true}) {
      for (const int form : {0, 1}) {
        CSyasenCheckBlockParam p;
        p.m_SiteNo = piece;
        p.m_BegPoint = CKelCoord2D(mirrored ? -20 : 0, 0);
        p.m_EndPoint = CKelCoord2D(mirrored ? 0 : 20, 0);
        p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = 1;
        p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 1;
        p.m_CalcKind.m_CalcType = form;
        if (form == 1)
          p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
        p.m_CpntPitch = 5;
        p.m_CheckLength = 20;
        p.m_CheckEnd = -1;
        p.m_SrcBlock.AddBlock(Box(mirrored ? -20 : 0, 0, mirrored ? 0 : 20, 15, 10));
        TestCheckBlock blk;
        blk.ownEdge = own;
        CSyasenCheck driver;
        const std::string what = std::string(mirrored ? "mirrored" : "as drawn") + (own ? ", own line" : ", run's line") +
                                 (form == 1 ? ", radial" : ", basic");
        EXPECT_EQ(form == 1 ? p.CreateBlock2(&driver, &site, &blk, 0) : p.CreateBlock1(&driver, &site, &blk, 0, true), 0);
        const CSphereRatioParamArray& points = form == 1 ? p.m_SphereRatio2 : p.m_SphereRatio;
        ASSERT_EQ(points.size(), 5u) << what;
        for (std::size_t i = 0; i < 5; ++i) {
          const CKelCoord3D c = points[i].GetCoord3D(0);
          EXPECT_NEAR(c.m_x, mirrored ? 5.0 * static_cast<double>(i) - 20 : 5.0 * static_cast<double>(i), 1e-9) << what;
          EXPECT_NEAR(c.m_y, -6.0, 1e-9) << what;
        }
      }
    }
  }
}

TEST(EdgeLinesOfTheCheck, CheckLinesGiveDistanceLinesAndArcsTheirRadii)
{
  CSyasenCheckBlockParam p;
  p.m_BaseBlock.AddBlock(Kind(Box(0, 4, 10, 8, 10), true));
  p.m_SphereRatio.resize(2);
  p.m_SphereRatio[0].m_RatioRecord.m_x = 2;
  p.m_SphereRatio[1].m_RatioRecord.m_x = 8;
  const CRoadLineParam base(CKelCoord3D(0, 0, 0), CKelCoord3D(20, 0, 0));
  std::vector<CoordLine3D> out;
  // An empty check line: the lines of the first and the last point.
  p.m_Cpntline.resize(1);
  p.CreateAreaEdgeLine3(base, out, nullptr);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_DOUBLE_EQ(out[1].m_End3D.m_y, 4);
  // A line with an arc: the vertex lines and the arc's two radii.
  out.clear();
  CKelCoord3DCrsPntArray line;
  line.assign({CKelCoord3DCrsPnt(CKelCoord3D(1, 0, 0)), CKelCoord3DCrsPnt(CKelCoord3D(5, 0, 0)),
               CKelCoord3DCrsPnt(CKelCoord3D(5, -2, 0), CKelCoord3DCrsPnt::TYPE_CW),
               CKelCoord3DCrsPnt(CKelCoord3D(7, -2, 0))});
  p.m_Cpntline[0] = line;
  p.CreateAreaEdgeLine3(base, out, nullptr);
  EXPECT_EQ(out.size(), 4u);
  // Only while the option number is negative.
  out.clear();
  p.m_OptNo = 0;
  p.CreateAreaEdgeLine3(base, out, nullptr);
  EXPECT_TRUE(out.empty());
}

TEST(EdgeLinesOfTheCheck, RaysMeetTheFirstVertexOnThemOrEndAtTheirEnds)
{
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  CSphereRatioParam cpnt;
  cpnt.m_RatioRecord.m_x = 10;
  cpnt.m_RatioRecord.m_y = -10;
  // A vertex on the ray towards (0, 0) at (5, -5); none towards (20, 0).
  cpnt.m_BlockList.AddBlock(Kind(Box(5, -5, 6, -4, 3), true));
  CKelCoord2D out1, out2;
  p.CreateAreaEdgeLine2(cpnt, out1, out2);
  EXPECT_NEAR(out1.m_x, 5, 1e-12);
  EXPECT_NEAR(out1.m_y, -5, 1e-12);
  EXPECT_EQ(out2, CKelCoord2D(20, 0));
  // Set positions take the place of the check's begin and end.
  cpnt.m_bUsePoint = true;
  cpnt.m_BegPoint = CKelCoord2D(10, 0);
  cpnt.m_EndPoint = CKelCoord2D(10, -10);  // the point itself: no ray
  p.CreateAreaEdgeLine2(cpnt, out1, out2);
  EXPECT_EQ(out1, CKelCoord2D(10, 0));
  EXPECT_EQ(out2, CKelCoord2D(10, -10));
}

TEST(EdgeLinesOfTheCheck, RaysSeeOnlyBaseBlocksNotNearerPlanBlocks)
{
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  CSphereRatioParam cpnt;
  cpnt.m_RatioRecord.m_x = 10;
  cpnt.m_RatioRecord.m_y = -10;
  cpnt.m_bUsePoint = true;
  cpnt.m_BegPoint = CKelCoord2D(10, 0);
  cpnt.m_EndPoint = CKelCoord2D(20, -10);
  // Towards (10, 0): a plan block's vertex at 3 m, the base block's at 5 m.
  cpnt.m_BlockList.AddBlock(Kind(Box(10, -7, 11, -6, 3), false));
  cpnt.m_BlockList.AddBlock(Kind(Box(10, -5, 11, -4, 3), true));
  // Towards (20, -10): only a plan block, so the ray runs to its end.
  cpnt.m_BlockList.AddBlock(Kind(Box(12, -11, 13, -10, 3), false));
  CKelCoord2D out1, out2;
  p.CreateAreaEdgeLine2(cpnt, out1, out2);
  EXPECT_NEAR(out1.m_x, 10, 1e-12);
  EXPECT_NEAR(out1.m_y, -5, 1e-12);
  EXPECT_EQ(out2, CKelCoord2D(20, -10));
}

}  // namespace

namespace {

// A base line of no length has A's height everywhere, whatever B's is.
TEST(CheckLine, ABaseLineOfNoLengthTakesItsBeginHeight)
{
  struct PointLine : slant_test::TestCheckBlock {
    bool GetBaseLine(CSyasenCheck*, CKelHSite*, CSyasenCheckBlockParam*, int, CRoadLineParam& line, double) override
    {
      line.m_Beg = CKelCoord3D(3, 0, 2);
      line.m_End = CKelCoord3D(3, 0, 5);
      line.m_Cos = 1;
      line.m_Sin = 0;
      line.m_Len = 0;
      return true;
    }
  } blk;
  CKelHSite site = slant_test::Rect20x15();
  CSyasenCheckBlockParam p = slant_test::EdgeZeroCheck();
  p.CalcChkPntEx(nullptr, &site, &blk, 0, 4);
  ASSERT_EQ(p.m_Cpntline.size(), 1u);
  for (const CKelCoord3DCrsPnt& e : p.m_Cpntline[0])
    EXPECT_EQ(e.m_z, 2);
}

}  // namespace
