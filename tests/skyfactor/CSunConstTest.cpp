#include <gtest/gtest.h>

#include <cmath>

#include "CSunConst.h"

namespace {

constexpr double kDeg = 0.017453292519943295;
const double kTokyoLat = (35 + 41.0 / 60) * kDeg;

CSunConst Sun(double declDeg, double rot = 0, int useTimeCorr = 0, double lonDeg = 135)
{
  CSunConst sun;
  sun.SetSunConstant2(0, useTimeCorr, kTokyoLat, lonDeg * kDeg, declDeg * kDeg, 0, rot);
  return sun;
}

TEST(CSunConst, DayLengthAndSunAtNoon)
{
  const CSunConst winter = Sun(-23.45);
  EXPECT_NEAR(4.789992138, winter.SunUpTime(), 1e-9);
  double sunset = 0, sunrise = 0;
  winter.CalcSunUpDown2(&sunset, &sunrise);
  EXPECT_NEAR(16.789992138, sunset, 1e-9);
  EXPECT_NEAR(7.210007862, sunrise, 1e-9);
  EXPECT_NEAR(6.0, Sun(0).SunUpTime(), 1e-9);
  EXPECT_NEAR(0.597697767, winter.CalcSunHeight(12), 1e-9);

  double sinA = 9, cosA = 9, cotH = 9;
  EXPECT_FALSE(winter.GetSunAngle(12, &sinA, &cosA, &cotH));
  EXPECT_EQ(0.0, sinA);
  EXPECT_NEAR(1.0, cosA, 1e-12);
  EXPECT_NEAR(1.673086391, cotH, 1e-9);
  // Before sunrise nothing is written.
  sinA = 9;
  EXPECT_TRUE(winter.GetSunAngle(5, &sinA, &cosA, &cotH));
  EXPECT_EQ(9.0, sinA);
  double x = 7, y = 7;
  EXPECT_TRUE(winter.CalcSunTimePos(12, &x, &y));
  EXPECT_EQ(0.0, x);
  EXPECT_FALSE(winter.CalcSunTimePos(5, &x, &y));
  EXPECT_FALSE(winter.SSMJCalcParam2(0, 12, -1, &x, &y));
}

TEST(CSunConst, PolarDayAndNightGiveWholeOrNoHalfDays)
{
  CSunConst north;
  north.SetSunConstant2(0, 0, 80 * kDeg, 0, 23.45 * kDeg, 0, 0);
  EXPECT_NEAR(12.0, north.SunUpTime(), 1e-12);
  north.SetSunConstant2(0, 0, 80 * kDeg, 0, -23.45 * kDeg, 0, 0);
  EXPECT_EQ(0.0, north.SunUpTime());
}

TEST(CSunConst, TimeCorrectionAndCounts)
{
  EXPECT_NEAR(0.316666667, Sun(0, 0, 1, 139.75).m_TimeCorr, 1e-9);
  const CSunConst sun = Sun(0, 0, 1, 139.75);
  EXPECT_EQ(10.0, sun.CalcSCTime(0, 0, 10.0));
  EXPECT_NEAR(10.316666667, sun.CalcSCTime(1, 0, 10.0), 1e-9);
  EXPECT_NEAR(9.683333333, sun.CalcSCTime(1, 1, 10.0), 1e-9);
  EXPECT_EQ(0.0, Sun(0, 0, 0, 139.75).m_TimeCorr);
  EXPECT_EQ(0.0, Sun(0, 0, 1, 135).m_TimeCorr);
  EXPECT_EQ(4, sun.GetSunSLCnt(8, 16, 3));
  EXPECT_EQ(9, sun.GetSunSLCnt(8, 16, 1));
  EXPECT_EQ(1.0, sun.CalcTAngfromH(2.0));
  EXPECT_EQ(-1.0, sun.CalcTAngfromH(-2.0));
}

// The shadow tip at t, read back mirrored in x, names t again; its run
// times tan h is the unit pole.
TEST(CSunConst, TimeOfADirectionRoundTripsTheShadowTip)
{
  for (double decl : {-23.45, 0.0, 23.45}) {
    for (double rot : {0.0, 0.7}) {
      const CSunConst sun = Sun(decl, rot);
      const double half = sun.SunUpTime();
      for (int i = 1; i < 100; ++i) {
        const double t = 12 - half + 2 * half * i / 100;
        double x = 0, y = 0;
        ASSERT_TRUE(sun.SSMJCalcParam2(0, t, 1, &x, &y));
        SCOPED_TRACE(testing::Message() << "decl " << decl << " rot " << rot << " t " << t);
        // The mirror is taken in the sun's frame, so it pins the unturned drawing.
        if (rot == 0) {
          EXPECT_NEAR(t, sun.CalcSunTime(-x, y), 1e-9);
        }
        EXPECT_NEAR(1.0, sun.CalcSSHeight(0, 0, x, y), 1e-12);
      }
    }
  }
}

TEST(CSunConst, TimeOfADirectionIsFiniteEverywhere)
{
  // v = 0 (east-west), both components 0, and the equator where P is 0.
  CSunConst equator;
  equator.SetSunConstant2(0, 0, 0, 0, 0, 0, 0);
  for (const CSunConst& sun : {Sun(-23.45), Sun(0), Sun(23.45), equator}) {
    for (const auto& [x, y] : {std::pair{1.0, 0.0}, {-1.0, 0.0}, {0.0, 0.0}, {0.0, 1.0}, {1e-300, 1.0}}) {
      EXPECT_TRUE(std::isfinite(sun.CalcSunTime(x, y)));
    }
  }
  // Along east-west the time is the limit of the nearby directions.
  const CSunConst winter = Sun(-23.45);
  EXPECT_NEAR(winter.CalcSunTime(1, 1e-9), winter.CalcSunTime(1, 0), 1e-6);
}

TEST(CSunConst, SunPositionAtTheHorizonHasNoShadow)
{
  CSunConst sun = Sun(0);
  sun.SetSunPosition2(0, 0.3, 18.0);
  EXPECT_EQ(0.0, sun.m_CotH);
  EXPECT_EQ(0.0, sun.m_ShadowX);
  EXPECT_EQ(0.0, sun.m_ShadowY);
  sun.SetSunPosition2(0, 0, 12.0);
  EXPECT_NEAR(std::tan(kTokyoLat), sun.m_CotH, 1e-12);
  EXPECT_NEAR(0.0, sun.m_ShadowX, 1e-15);
  EXPECT_NEAR(sun.m_CotH, sun.m_ShadowY, 1e-15);
}

TEST(CSunConst, ReferenceCountPairsTakeAndRelease)
{
  CSunConst sun;
  sun.SetSunConstant2(1, 0, kTokyoLat, 0, 0, 0, 0);
  EXPECT_EQ(1, sun.m_ReferenceCount);
  const CSunConst copy(sun);
  EXPECT_EQ(1, copy.m_ReferenceCount);
  EXPECT_DEATH(sun.SetSunConstant2(0, 0, 0, 0, 0, 0, 0), "m_ReferenceCount == 0");
  EXPECT_DEATH(sun.SetSunConstant2(1, 0, 0, 0, 0, 0, 0), "m_ReferenceCount \\+\\+ == 0");
  sun.SetSunConstant2(-1, 0, kTokyoLat, 0, 0, 0, 0);
  EXPECT_EQ(0, sun.m_ReferenceCount);
  EXPECT_DEATH(sun.SetSunConstant2(-1, 0, 0, 0, 0, 0, 0), "m_ReferenceCount -- == 1");
}

TEST(CSunConst, QuadraticRoots)
{
  // x^2 + 2 * (-3) x + 8 = 0: 4 and 2.
  EXPECT_EQ(4.0, CSunConst::CalcSub1(1, -3, 8));
  EXPECT_EQ(2.0, CSunConst::CalcSub2(1, -3, 8));
}

}  // namespace
