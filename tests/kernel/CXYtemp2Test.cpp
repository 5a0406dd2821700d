#include "CXYtemp2.h"

#include <gtest/gtest.h>

namespace {
constexpr double kRound = 1e-12;
}

TEST(CXYtemp2Test, LengthensBothEndsAlongTheSegment)
{
  CXYtemp2 line(CKelCoord2D(0, 0), CKelCoord2D(3, 4));
  line.point_of_line1();
  EXPECT_NEAR(-3.0, line.m_a.m_x, kRound);
  EXPECT_NEAR(-4.0, line.m_a.m_y, kRound);
  EXPECT_NEAR(6.0, line.m_b.m_x, kRound);
  EXPECT_NEAR(8.0, line.m_b.m_y, kRound);

  // Coinciding ends have no direction: nothing moves, nothing becomes NaN.
  CXYtemp2 point(CKelCoord2D(1, 1), CKelCoord2D(1, 1));
  point.point_of_line1();
  EXPECT_EQ(1.0, point.m_a.m_x);
  EXPECT_EQ(1.0, point.m_b.m_y);
}

TEST(CXYtemp2Test, SetEndPosMovesTheEndOnlyWhenTheStretchLiesAhead)
{
  CKelCoord3D a(0, 0, 1), b(10, 0, 2);
  CXYtemp2::SetEndPos(a, b, CKelCoord2D(12, 0));
  EXPECT_NEAR(17.0, b.m_x, kRound);
  EXPECT_EQ(0.0, b.m_y);
  EXPECT_EQ(0.0, b.m_z);
  EXPECT_EQ(1.0, a.m_z);

  CKelCoord3D c(0, 0, 1), d(10, 0, 2);
  CXYtemp2::SetEndPos(c, d, CKelCoord2D(-3, 0));  // the stretch runs backwards
  EXPECT_EQ(10.0, d.m_x);
  EXPECT_EQ(2.0, d.m_z);
}

TEST(CXYtemp2Test, SetBegPosMovesTheBeginOnlyWhenTheStretchLiesBehind)
{
  CKelCoord3D a(0, 0, 1), b(10, 0, 2);
  CXYtemp2::SetBegPos(a, b, CKelCoord2D(-2, 0));
  EXPECT_NEAR(-7.0, a.m_x, kRound);
  EXPECT_EQ(0.0, a.m_z);
  EXPECT_EQ(2.0, b.m_z);

  CKelCoord3D c(0, 0, 1), d(10, 0, 2);
  CXYtemp2::SetBegPos(c, d, CKelCoord2D(12, 0));  // its near end lies beyond b
  EXPECT_EQ(0.0, c.m_x);
  EXPECT_EQ(1.0, c.m_z);
}
