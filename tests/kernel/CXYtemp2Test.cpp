#include "CXYtemp2.h"

#include <gtest/gtest.h>

#include <tuple>

#include "KelTestSupport.h"

using kel_test::XYZ;

TEST(CXYtemp2Test, LengthensBothEndsAlongTheSegment)
{
  CXYtemp2 line(CKelCoord2D(0, 0), CKelCoord2D(3, 4));
  line.point_of_line1();
  kel_test::ExpectXY(-3.0, -4.0, line.m_a);
  kel_test::ExpectXY(6.0, 8.0, line.m_b);

  // Coinciding ends have no direction: nothing moves, nothing becomes NaN.
  CXYtemp2 point(CKelCoord2D(1, 1), CKelCoord2D(1, 1));
  point.point_of_line1();
  EXPECT_EQ(kel_test::XY(point.m_a), std::pair(1.0, 1.0));
  EXPECT_EQ(kel_test::XY(point.m_b), std::pair(1.0, 1.0));
}

// SetEndPos moves b only when the stretch lies ahead of it, SetBegPos moves a
// only when it lies behind; the moved end's height becomes 0.
TEST(CXYtemp2Test, SetEndAndBegPosMoveAnEndOnlyWhenTheStretchLiesBeyondIt)
{
  CKelCoord3D a(0, 0, 1), b(10, 0, 2);
  CXYtemp2::SetEndPos(a, b, CKelCoord2D(12, 0));
  EXPECT_NEAR(17.0, b.m_x, 1e-12);
  EXPECT_EQ(std::pair(b.m_y, b.m_z), std::pair(0.0, 0.0));
  EXPECT_EQ(XYZ(a), std::tuple(0.0, 0.0, 1.0));
  b = CKelCoord3D(10, 0, 2);
  CXYtemp2::SetEndPos(a, b, CKelCoord2D(-3, 0));  // the stretch runs backwards
  EXPECT_EQ(XYZ(b), std::tuple(10.0, 0.0, 2.0));

  CXYtemp2::SetBegPos(a, b, CKelCoord2D(-2, 0));
  EXPECT_NEAR(-7.0, a.m_x, 1e-12);
  EXPECT_EQ(0.0, a.m_z);
  EXPECT_EQ(XYZ(b), std::tuple(10.0, 0.0, 2.0));
  a = CKelCoord3D(0, 0, 1);
  CXYtemp2::SetBegPos(a, b, CKelCoord2D(12, 0));  // its near end lies beyond b
  EXPECT_EQ(XYZ(a), std::tuple(0.0, 0.0, 1.0));
}
