#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CKelBaseParam.h"
#include "CSphereA.h"
#include "CSunConst.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180;

CSphereA Sphere(int kind, bool mirror = false, int step = 10)
{
  CSphereA s;
  s.m_Kind = kind;
  s.m_bMirror = mirror;
  s.m_AngleStep = step;
  return s;
}

CSphereCoordD2D Projected(const CSphereA& s, double x, double y, double z, int side = 0)
{
  CSphereCoordD2D p;
  p.m_Coord3D = CKelCoord3D(x, y, z);
  s.SphereAPos(side, &p);
  return p;
}

TEST(CSphereA, FourKindsProjectALocalPoint)
{
  const struct {
    int kind;
    double x, y;
  } rows[] = {{0, -0.248528137, 0.331370850},
              {1, -0.424264069, 0.565685425},
              {2, -0.3, 0.4},
              {3, -0.324717660, 0.432956880}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.kind);
    const CSphereCoordD2D p = Projected(Sphere(r.kind), 3, 4, 5);
    EXPECT_NEAR(r.x, p.m_Pos.m_x, 1e-9);
    EXPECT_NEAR(r.y, p.m_Pos.m_y, 1e-9);
    EXPECT_NEAR(std::atan2(4.0, 3.0), p.m_AD, 1e-15);
    EXPECT_NEAR(std::atan2(5.0, 5.0), p.m_AE, 1e-15);
    const CSphereCoordD2D m = Projected(Sphere(r.kind, true), 3, 4, 5);
    EXPECT_EQ(-p.m_Pos.m_x, m.m_Pos.m_x);
    EXPECT_EQ(p.m_Pos.m_y, m.m_Pos.m_y);
    // Horizon on the unit circle, zenith and the check point at the centre.
    const CSphereCoordD2D h = Projected(Sphere(r.kind), -7, 2, 0);
    EXPECT_NEAR(1.0, std::hypot(h.m_Pos.m_x, h.m_Pos.m_y), 1e-15);
    for (double z : {3.0, 0.0}) {
      const CSphereCoordD2D c = Projected(Sphere(r.kind, true), 0, 0, z);
      EXPECT_EQ(0.0, c.m_Pos.m_x);
      EXPECT_EQ(0.0, c.m_Pos.m_y);
    }
    EXPECT_NEAR(1.0, Sphere(r.kind).CalcRadius(0), 1e-15);
    EXPECT_NEAR(0.0, Sphere(r.kind).CalcRadius(kPi / 2), 1e-15);
  }
  // Straight below in kind 0: the centre, not mirrored.
  const CSphereCoordD2D below = Projected(Sphere(0, true), 0, 0, -2);
  EXPECT_EQ(0.0, below.m_Pos.m_x);
  EXPECT_FALSE(std::signbit(below.m_Pos.m_x));
}

TEST(CSphereA, AzimuthMovesAcrossTheCutOnlyBehindTheCheckPoint)
{
  const CSphereA s = Sphere(1);
  const struct {
    double x, y;
    int side;
    double azimuth;
  } rows[] = {
      {-1, -1, 1, std::atan2(-1.0, -1.0) + 2 * kPi},  // behind, below: up by 2 pi
      {-1, 1, -1, std::atan2(1.0, -1.0) - 2 * kPi},   // behind, above: down
      {-1, -1, -1, std::atan2(-1.0, -1.0)},           // already on that side
      {-1, 1, 1, std::atan2(1.0, -1.0)},
      {-1, -1, 0, std::atan2(-1.0, -1.0)},            // side 0 never moves it
      {1, -1, 1, std::atan2(-1.0, 1.0)},              // in front: never moved
      {-1, -1e-7, 1, std::atan2(-1e-7, -1.0) + 2 * kPi},
      {-1, 0.0, -1, kPi - 2 * kPi},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << ", " << r.y << " side " << r.side);
    EXPECT_DOUBLE_EQ(r.azimuth, Projected(s, r.x, r.y, 1, r.side).m_AD);
  }
}

TEST(CSphereA, CheckPointMapsTurnAndMove)
{
  CSphereA s;
  const CKelCoord3D pnt(10, 20, 3);
  EXPECT_TRUE(s.SetChkPnt(&pnt, kPi / 2));
  const CKelCoord2D local = s.m_ToLocal.Conv(CKelCoord2D(10, 25));
  EXPECT_NEAR(5.0, local.m_x, 1e-12);
  EXPECT_NEAR(0.0, local.m_y, 1e-12);
  const CKelCoord2D world = s.m_ToWorld.Conv(local);
  EXPECT_NEAR(10.0, world.m_x, 1e-12);
  EXPECT_NEAR(25.0, world.m_y, 1e-12);
  EXPECT_FALSE(s.SetChkPnt(nullptr, 0));
  EXPECT_EQ(20.0, s.m_ChkPnt.m_y);
}

// At survey coordinates a corner 2 mm from the check point keeps its offset
// through the turn: the composed map (R v - R p) would add the rounding of
// the turned coordinates, 1.6e-11 m here, a thousand times the tolerance.
TEST(CSphereA, LocalPointsOfSurveyCoordinatesKeepTheirOffset)
{
  CSphereA s;
  const CKelCoord3D pnt(293729.73326881905, -61015.111192461285, 0);
  s.SetChkPnt(&pnt, 0.7);
  const double dx = (pnt.m_x + 0.001) - pnt.m_x, dy = (pnt.m_y + 0.002) - pnt.m_y;
  const double c = std::cos(-0.7), sn = std::sin(-0.7);
  const CKelCoord2D local = s.ToLocal(CKelCoord2D(pnt.m_x + 0.001, pnt.m_y + 0.002));
  EXPECT_NEAR(dx * c - dy * sn, local.m_x, 1e-14);
  EXPECT_NEAR(dx * sn + dy * c, local.m_y, 1e-14);
}

TEST(CSphereA, SunOnTheDisc)
{
  CSunConst sun;
  sun.SetSunConstant2(0, 1, (35 + 41.0 / 60) * kDeg, 139.75 * kDeg, -23.45 * kDeg, 0, 0);
  CKelBaseParam base;
  const CSphereA s = Sphere(1);
  CKelCoord2D out;
  ASSERT_TRUE(s.CalcSunPosition(base, sun, 12, &out));
  EXPECT_NEAR(0.0, out.m_x, 1e-15);
  EXPECT_NEAR(-0.858363527, out.m_y, 1e-9);
  ASSERT_TRUE(s.CalcSunPosition(base, sun, 10, &out));
  EXPECT_NEAR(-0.458703850, out.m_x, 1e-9);
  EXPECT_NEAR(-0.786669907, out.m_y, 1e-9);
  ASSERT_TRUE(Sphere(1, true).CalcSunPosition(base, sun, 10, &out));
  EXPECT_NEAR(0.458703850, out.m_x, 1e-9);
  // Standard time moves the clock by the longitude's correction.
  base.m_StandardTime = 1;
  ASSERT_TRUE(s.CalcSunPosition(base, sun, 12 - sun.m_TimeCorr, &out));
  EXPECT_NEAR(0.0, out.m_x, 1e-12);
  // Below the horizon: false, out untouched.
  out = CKelCoord2D(5, 6);
  EXPECT_FALSE(s.CalcSunPosition(base, sun, 4, &out));
  EXPECT_EQ(5.0, out.m_x);
  EXPECT_EQ(6.0, out.m_y);
}

TEST(CSphereA, SegmentMeetsAnAzimuthLine)
{
  const CSphereA s = Sphere(1);
  // The segment x = 2 from y = -1 to 3, the 45 degree line: (2, 2).
  const CKelCoord3DEx p = s.CalcSphereCoord(0, CKelCoord2D(2, -1), CKelCoord2D(2, 3), 45);
  EXPECT_NEAR(2.0, p.m_x, 1e-12);
  EXPECT_NEAR(2.0, p.m_y, 1e-12);
  EXPECT_EQ(0.0, p.m_z);
  // Edge-on at 0 and -180: the ends as the stored outlines took them.
  const CKelCoord2D a(2, 0), b(5, 0);
  EXPECT_EQ(2.0, s.CalcSphereCoord(1, a, b, 0).m_x);
  EXPECT_EQ(5.0, s.CalcSphereCoord(1, CKelCoord2D(-1, 0), b, 0).m_x);
  // Edge-on elsewhere, and through the check point: an end, never NaN.
  for (double angle : {90.0, 180.0, 45.0}) {
    const double cs = std::cos(angle * kDeg), sn = std::sin(angle * kDeg);
    const CKelCoord2D near(2 * cs, 2 * sn), far(5 * cs, 5 * sn), back(-3 * cs, -3 * sn);
    for (const auto& [p1, p2] : {std::pair{near, far}, {back, far}, {CKelCoord2D(0, 0), far}}) {
      const CKelCoord3DEx r = s.CalcSphereCoord(0, p1, p2, angle);
      EXPECT_TRUE(std::isfinite(r.m_x) && std::isfinite(r.m_y)) << angle;
    }
  }
  const CKelCoord3DEx onRay = s.CalcSphereCoord(0, CKelCoord2D(0, -3), CKelCoord2D(0, 4), 90);
  EXPECT_TRUE(std::isfinite(onRay.m_x) && std::isfinite(onRay.m_y));
}

TEST(CSphereA, ExpandLowersTheHeightToTheSectorsLowerBound)
{
  const CSphereA s = Sphere(1, false, 10);
  const auto at = [](double azimuthDeg, double z, double zL) {
    return CKelCoord3DEx(10 * std::cos(azimuthDeg * kDeg), 10 * std::sin(azimuthDeg * kDeg), z, zL);
  };
  CKelCoord3DEx p = at(12, 10, 0);
  EXPECT_TRUE(s.Expand(p, 0));
  EXPECT_NEAR(9.972571862, p.m_z, 1e-9);
  // On a sector line: the start of the next sector, offset -5 degrees.
  p = at(10, 10, 0);
  s.Expand(p, 0);
  EXPECT_NEAR(9.923748047, p.m_z, 1e-9);
  p = at(0, 10, 0);
  s.Expand(p, 0);
  EXPECT_NEAR(9.923748047, p.m_z, 1e-9);
  // The centre line keeps the height; the lower height follows its rule.
  p = at(15, 10, 4);
  s.Expand(p, 1);
  EXPECT_NEAR(4.0, p.m_zL, 1e-9);
  EXPECT_EQ(10.0, p.m_z);
  // Never raised: below the check point, and the lower never above the upper.
  p = at(12, -3, -5);
  s.Expand(p, 0);
  EXPECT_EQ(-3.0, p.m_z);
  p = at(10, 2, 2);
  s.Expand(p, 1);
  EXPECT_LE(p.m_zL, p.m_z);
  p = at(10, 2, 1.99);
  s.Expand(p, 0);
  EXPECT_LE(p.m_zL, p.m_z);
  EXPECT_LE(p.m_z, 2.0);
}

TEST(CSphereA, ExpandLeavesWhatItCannotSector)
{
  for (int step : {0, -1}) {
    const CSphereA s = Sphere(1, false, step);
    CKelCoord3DEx p(10, 1, 10, 0);
    EXPECT_TRUE(s.Expand(p, 0));
    EXPECT_EQ(10.0, p.m_z);
  }
  CKelCoord3DEx p(10, 1, 10, 0);
  EXPECT_TRUE(Sphere(1).Expand(p, 2));
  EXPECT_EQ(10.0, p.m_z);
}

TEST(CSphereA, AngleLinesMarkOrInsert)
{
  const auto list = [](std::initializer_list<double> ads) {
    std::vector<CSphereAWork> v;
    for (double a : ads) {
      CSphereAWork w;
      w.m_AD = a;
      w.m_Kind = 1;
      v.push_back(w);
    }
    return v;
  };
  std::vector<CSphereAWork> v = list({10, 20, 30});
  CSphereA::AddAngle(v, 20.0001, true);
  ASSERT_EQ(3u, v.size());
  EXPECT_EQ(2, v[1].m_Kind);
  CSphereA::AddAngle(v, 25, true);
  ASSERT_EQ(4u, v.size());
  EXPECT_EQ(25.0, v[2].m_AD);
  EXPECT_EQ(2, v[2].m_Kind);
  EXPECT_EQ(0.0, v[2].m_Coord.m_x);
  CSphereA::AddAngle(v, 40, true);
  EXPECT_EQ(40.0, v.back().m_AD);
  std::vector<CSphereAWork> down = list({30, 20, 10});
  CSphereA::AddAngle(down, 15, false);
  EXPECT_EQ(15.0, down[2].m_AD);
  CSphereA::AddAngle(down, 20.00011, false);
  EXPECT_EQ(4u + 1u, down.size());
}

}  // namespace
