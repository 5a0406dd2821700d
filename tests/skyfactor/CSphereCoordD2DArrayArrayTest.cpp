#include "CSphereCoordD2DArrayArray.h"

#include <gtest/gtest.h>

#include <cmath>

#include "CKelBaseParam.h"
#include "SkyBlocks.h"

namespace {

using sky_test::Blocks;
using sky_test::Box;

const CKelCoord3D kOrigin(0, 0, 0);

CSphereCoordD2DArrayArray Sets(const CKelBlockCubeArray& blocks, const CKelCoord3D& chk = kOrigin)
{
  CKelBaseParam base;
  CSphereCoordD2DArrayArray sets;
  sets.SetSphereCoord(base, blocks, &chk, false);
  return sets;
}

CSphereCoordD2D Candidate(double az, double el)
{
  CSphereCoordD2D p;
  p.m_AD = az;
  p.m_AE = el;
  return p;
}

TEST(CSphereCoordD2DArrayArray, BlocksBelowTheCheckPointGiveNothing)
{
  const CSphereCoordD2DArrayArray sets = Sets(Blocks({Box(-5, 5, 10, 20, 5)}), CKelCoord3D(0, 0, 10));
  EXPECT_TRUE(sets.m_Outline.empty());
  EXPECT_TRUE(sets.m_Area.empty());
  EXPECT_FALSE(sets.IsInArea(CKelCoord2D(KelAngle::HalfPi, 0.1)));
  CSphereCoordD2DArrayArray again = Sets(Blocks({Box(-5, 5, 10, 20, 20)}));
  again.SetSphereCoord(CKelBaseParam(), CKelBlockCubeArray(), &kOrigin, false);
  EXPECT_TRUE(again.m_Outline.empty());
  EXPECT_TRUE(again.m_Area.empty());
}

// Each block lists only its own united polygons, so two blocks list the
// sum of what each lists alone.
TEST(CSphereCoordD2DArrayArray, EachPolygonListedOnce)
{
  const CKelBlockCube north = Box(-5, 5, 10, 20, 20);
  const CKelBlockCube south = Box(-5, 5, -20, -10, 15);
  const CSphereCoordD2DArrayArray a = Sets(Blocks({north}));
  const CSphereCoordD2DArrayArray b = Sets(Blocks({south}));
  const CSphereCoordD2DArrayArray both = Sets(Blocks({north, south}));
  ASSERT_FALSE(a.m_Area.empty());
  ASSERT_FALSE(b.m_Area.empty());
  EXPECT_EQ(a.m_Area.size() + b.m_Area.size(), both.m_Area.size());
  EXPECT_EQ(a.m_Outline.size() + b.m_Outline.size(), both.m_Outline.size());
  EXPECT_EQ(4u, a.m_Outline.size());
}

TEST(CSphereCoordD2DArrayArray, DirectionsCoveredByABlock)
{
  const CSphereCoordD2DArrayArray sets = Sets(Blocks({Box(-5, 5, 10, 20, 20)}));
  struct Row {
    double az, el;
    bool covered;
  } rows[] = {
      {KelAngle::HalfPi, std::atan2(10.0, 15.0), true},   // at the block's middle
      {KelAngle::HalfPi, 1.2, false},                     // above it
      {-KelAngle::HalfPi, 0.3, false},                    // behind the check point
      {KelAngle::HalfPi + 0.6, 0.3, false},               // beside it
      {KelAngle::HalfPi, std::atan2(20.0, 10.0) - 0.01, true},  // just under the near top edge
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.covered, sets.IsInArea(CKelCoord2D(row.az, row.el))) << row.az << " " << row.el;
}

TEST(CSphereCoordD2DArrayArray, NearestPointAndExactPosition)
{
  const CSphereCoordD2DArrayArray sets = Sets(Blocks({Box(-5, 5, 10, 20, 20)}));
  // The highest point: points on the horizon share their disc positions.
  CSphereCoordD2D target;
  target.m_AE = -1;
  for (const auto& outline : sets.m_Outline) {
    for (const CSphereCoordD2D& p : outline) {
      if (p.m_AE > target.m_AE)
        target = p;
    }
  }
  CSphereAngleParam out;
  out.m_Houi = 42;
  const CKelCoord2D far(5, 5);
  EXPECT_FALSE(sets.SearchPoint(nullptr, far, 1.0, kOrigin, true, 0, &out));
  EXPECT_EQ(42, out.m_Houi);
  ASSERT_TRUE(sets.SearchPoint(nullptr, target.m_Pos, 0.5, kOrigin, true, 0, &out));
  EXPECT_TRUE(out.m_bUse);
  EXPECT_EQ(target.m_AE, out.m_Angle);
  EXPECT_EQ(KelAngle::HalfPi - target.m_AD, out.m_Houi);
  EXPECT_NEAR(target.m_Coord3D.m_x, out.m_Coord.m_x, 1e-12);
  // Turned by an angle, the same point is found at its turned position,
  // and its world point is turned and moved the same way.
  const double angle = 0.3;
  const CKelCoord2D turned(target.m_Pos.m_x * std::cos(angle) - target.m_Pos.m_y * std::sin(angle),
                           target.m_Pos.m_y * std::cos(angle) + target.m_Pos.m_x * std::sin(angle));
  ASSERT_TRUE(sets.SearchPoint(nullptr, turned, 1e-9, CKelCoord3D(100, 0, 1), false, angle, &out));
  const CKelCoord3D& v = target.m_Coord3D;
  EXPECT_NEAR(v.m_x * std::cos(angle) - v.m_y * std::sin(angle) + 100, out.m_Coord.m_x, 1e-9);
  EXPECT_NEAR(v.m_z + 1, out.m_Coord.m_z, 1e-12);

  CSphereCoordD2D copy;
  ASSERT_TRUE(sets.SearchPoint(target.m_Pos, copy));
  EXPECT_EQ(target.m_AD, copy.m_AD);
  EXPECT_FALSE(sets.SearchPoint(CKelCoord2D(target.m_Pos.m_x + 2e-6, target.m_Pos.m_y), copy));
}

TEST(CSphereCoordD2DArrayArray, PickingTheSamePointTwiceRemovesItsMark)
{
  const CSphereCoordD2DArrayArray sets = Sets(Blocks({Box(-5, 5, 10, 20, 20)}));
  CSphereAngleParamArray marks;
  const CKelCoord3D corner(5, 10, 20);
  sets.SetAngleParam(&marks, kOrigin, 1, 0, corner);
  ASSERT_EQ(1u, marks.size());
  EXPECT_EQ(corner, marks[0].m_Coord);
  EXPECT_NEAR(std::atan2(20, std::hypot(5, 10)), marks[0].m_Angle, 1e-12);
  EXPECT_NEAR(KelAngle::HalfPi - std::atan2(10, 5), marks[0].m_Houi, 1e-12);
  EXPECT_GE(marks[0].m_Houi, 0);
  sets.SetAngleParam(&marks, kOrigin, 1, 0, corner);
  EXPECT_TRUE(marks.empty());
  sets.SetAngleParam(&marks, kOrigin, 1, 0, CKelCoord3D(5, 10, 20.001));  // no such point
  EXPECT_TRUE(marks.empty());
  // A mark left of north: pi/2 minus the azimuth is brought above 0.
  sets.SetAngleParam(&marks, kOrigin, 1, 0, CKelCoord3D(-5, 10, 20));
  ASSERT_EQ(1u, marks.size());
  EXPECT_NEAR(KelAngle::HalfPi - std::atan2(10, -5) + KelAngle::TwoPi, marks[0].m_Houi, 1e-12);
}

TEST(CSphereCoordD2DArrayArray, OneCandidatePerAzimuthByDescendingKey)
{
  CSphereCoordD2DArray list;
  std::vector<double> keys;
  CSphereCoordD2D a = Candidate(KelAngle::Pi - 1e-7, 0.3);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, a, 1);
  CSphereCoordD2D b = Candidate(-KelAngle::Pi, 0.5);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, b, 2);
  ASSERT_EQ(1u, list.size());  // the same azimuth across the cut
  EXPECT_EQ(0.5, list[0].m_AE);
  EXPECT_EQ(2, keys[0]);
  CSphereCoordD2D lower = Candidate(KelAngle::Pi, 0.4);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, lower, 3);
  EXPECT_EQ(-KelAngle::Pi, lower.m_AD);  // brought into [-pi, pi) in place
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(0.5, list[0].m_AE);
  CSphereCoordD2D c = Candidate(0.5, 0.1), d = Candidate(1.5, 0.1), e = Candidate(1.0, 0.1);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, c, 0.5);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, d, 1.5);
  CSphereCoordD2DArrayArray::AddAngleParam(list, keys, e, 1.0);
  EXPECT_EQ((std::vector<double>{2, 1.5, 1.0, 0.5}), keys);
  EXPECT_EQ(1.5, list[1].m_AD);
}

TEST(CSphereCoordD2DArrayArray, LabelCandidatesAreUncoveredEnds)
{
  const CSphereCoordD2DArrayArray sets = Sets(Blocks({Box(-5, 5, 10, 20, 20), Box(-2, 2, 30, 31, 60)}));
  const CSphereCoordD2DArray found = sets.SearchAngleParam(nullptr);
  ASSERT_FALSE(found.empty());
  for (std::size_t k = 0; k < found.size(); ++k) {
    EXPECT_EQ(CSphereCoordD2D::kEnd, found[k].m_PntKind);
    EXPECT_GT(found[k].m_AE, 0);
    EXPECT_FALSE(sets.IsInArea(CKelCoord2D(found[k].m_AD, found[k].m_AE)));
    if (k > 0) {
      EXPECT_GT(found[k - 1].m_AD, found[k].m_AD - 1e-6);
    }
  }
}

}  // namespace
