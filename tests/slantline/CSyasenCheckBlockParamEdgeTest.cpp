#include <gtest/gtest.h>

#include <cmath>

#include "SlantFixtures.h"

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

}  // namespace
