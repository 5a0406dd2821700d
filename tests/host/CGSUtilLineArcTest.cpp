// Outlines with arcs split into segments and arcs: a zone through the host,
// the arc's centre and flags by its sense, and lists that end on a centre.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CKelWallLine.h"
#include "HostTestSupport.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
using CGSUtilLineArcTest = HostTest;
using Pnt = CKelCoord3DCrsPnt;

API_Element ZoneElement()
{
  API_Element zone;
  zone.header = {.typeID = API_ZoneID, .layer = 1};
  return zone;
}

TEST_F(CGSUtilLineArcTest, ZoneEdgeWithAnArcGivesThreeSegmentsAndOneArcBySense)
{
  const std::vector<API_Coord> rectangle{{0, 0}, {4, 0}, {4, 3}, {0, 3}};
  struct Case {
    double angle;
    double cx;
    bool ccw, mark;
  } cases[] = {{kPi / 2, 2.5, true, false}, {-kPi / 2, 5.5, false, true}};
  for (const Case& c : cases) {
    PolygonMemo polygon({rectangle}, {{2, 3, c.angle}});
    API_Element zone = ZoneElement();
    ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
    CKelWallLineArray lines;
    CKelWallArcArray arcs;
    ASSERT_EQ(CGSUtil::ZoneToLineArc(zone, lines, arcs), NoError);
    ASSERT_EQ(lines.size(), 3u);
    const double ends[3][4] = {{0, 0, 4, 0}, {4, 3, 0, 3}, {0, 3, 0, 0}};
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(lines[k].m_p1.m_x, ends[k][0]);
      EXPECT_EQ(lines[k].m_p1.m_y, ends[k][1]);
      EXPECT_EQ(lines[k].m_p2.m_x, ends[k][2]);
      EXPECT_EQ(lines[k].m_p2.m_y, ends[k][3]);
      EXPECT_FALSE(lines[k].m_bFlag);
    }
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_NEAR(arcs[0].m_Center.m_x, c.cx, 1e-12);
    EXPECT_NEAR(arcs[0].m_Center.m_y, 1.5, 1e-12);
    EXPECT_EQ(arcs[0].m_p1.m_x, 4.0);
    EXPECT_EQ(arcs[0].m_p2.m_y, 3.0);
    EXPECT_EQ(arcs[0].m_bCCW, c.ccw);
    EXPECT_EQ(arcs[0].m_bMark, c.mark);
  }
}

TEST_F(CGSUtilLineArcTest, ZoneWithoutAnOutlineIsRefused)
{
  CKelWallLineArray lines;
  CKelWallArcArray arcs;
  EXPECT_EQ(CGSUtil::ZoneToLineArc(ZoneElement(), lines, arcs), APIERR_BADPOLY);  // never stored
  EXPECT_TRUE(lines.empty());
}

TEST_F(CGSUtilLineArcTest, OutlinesEndingOnACentreOrRepeatingAPointAddNothingMore)
{
  CKelCoord3DCrsPntArray area;
  area.assign({Pnt(CKelCoord3D(0, 0, 0)), Pnt(CKelCoord3D(2, 0, 0)), Pnt(CKelCoord3D(2, 0.0001, 0)),
               Pnt(CKelCoord3D(2, 2, 0)), Pnt(CKelCoord3D(1, 1, 0), Pnt::TYPE_CW)});
  CKelWallLineArray lines;
  CKelWallArcArray arcs;
  CGSUtil::AreaToLineArc(&area, lines, arcs);
  EXPECT_EQ(lines.size(), 2u);  // the nearly equal pair is dropped
  EXPECT_TRUE(arcs.empty());
  CGSUtil::AreaToLineArc(nullptr, lines, arcs);
  CGSUtil::AreaToLineArc(std::vector<CKelCoord3DCrsPntArray>{area, area}, lines, arcs);
  EXPECT_EQ(lines.size(), 6u);
}

}  // namespace
