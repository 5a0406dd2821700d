#include "CKelArc.h"

#include "CDrawCore.h"
#include "CKelDebugWindow.h"
#include "KelTestSupport.h"
#include "KelTolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kRound = 1e-12;

// The quarter arc from (1, 0) to (0, 1) about the origin.
CKelArc Quarter(bool ccw)
{
  return CKelArc(CKelCoord3D(1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 0), ccw);
}

class RecordingDraw : public CDrawCore {
public:
  void DrawArc(CWindowPort* port, double cx, double cy, double cz, double r, double sx, double sy, double ex,
               double ey) override
  {
    lastPort = port;
    values = {cx, cy, cz, r, sx, sy, ex, ey};
  }
  CWindowPort* lastPort = nullptr;
  std::vector<double> values;
};

}  // namespace

TEST(CKelArcTest, SweepFollowsTheSense)
{
  EXPECT_NEAR(KelAngle::HalfPi, Quarter(true).GetAngleEx(), kRound);
  EXPECT_NEAR(3 * KelAngle::HalfPi, Quarter(false).GetAngleEx(), kRound);

  // Begin and end in one direction: sweep 0, never a full circle.
  const CKelArc closed(CKelCoord3D(2, 0, 0), CKelCoord3D(2, 0, 0), CKelCoord3D(0, 0, 0), true);
  EXPECT_EQ(0.0, closed.GetAngleEx());
  EXPECT_EQ(0.0, closed.GetArcLength());
  CKelArc closedCw = closed;
  closedCw.m_bCCW = false;
  EXPECT_EQ(0.0, closedCw.GetAngleEx());

  const CKelArc arc(CKelCoord3D(0, 2, 5), CKelCoord3D(-2, 0, 5), CKelCoord3D(0, 0, 9), true);
  EXPECT_NEAR(KelAngle::HalfPi, arc.GetBegAng(), kRound);
  EXPECT_NEAR(KelAngle::Pi, arc.GetEndAng(), kRound);
  EXPECT_EQ(2.0, arc.GetRadius());  // plan distance: heights do not count
  EXPECT_NEAR(KelAngle::Pi, arc.GetArcLength(), kRound);
}

TEST(CKelArcTest, AngleNormalizeAddsOrRemovesOneTurnInTheSense)
{
  const struct {
    bool ccw;
    double beg, end, normalized;
  } rows[] = {{true, 1.0, 0.5, 0.5 + KelAngle::TwoPi}, {true, 0.5, 1.0, 1.0},
              {false, 0.5, 1.0, 1.0 - KelAngle::TwoPi}, {false, 1.0, 0.5, 0.5}};
  for (const auto& r : rows) {
    double beg = r.beg, end = r.end;
    Quarter(r.ccw).AngleNormalize(beg, end);
    EXPECT_EQ(r.beg, beg);
    EXPECT_NEAR(r.normalized, end, kRound) << r.ccw << " " << r.beg << " " << r.end;
  }
}

TEST(CKelArcTest, SetRadiusKeepsDirectionsAndHeights)
{
  CKelArc arc(CKelCoord3D(1, 1, 3), CKelCoord3D(1, 3, 4), CKelCoord3D(1, 2, 0), false);
  arc.SetRadius(2.5);
  kel_test::ExpectXY(1, -0.5, arc.m_Beg, kRound);
  EXPECT_EQ(3.0, arc.m_Beg.m_z);
  EXPECT_NEAR(4.5, arc.m_End.m_y, kRound);
  EXPECT_EQ(4.0, arc.m_End.m_z);
  EXPECT_NEAR(2.5, arc.GetRadius(), kRound);

  // An end on the centre has no direction and is left where it is.
  CKelArc collapsed(CKelCoord3D(0, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 0), true);
  collapsed.SetRadius(3);
  EXPECT_EQ(kel_test::XY(collapsed.m_Beg), std::pair(0.0, 0.0));
  EXPECT_NEAR(3.0, collapsed.m_End.m_y, kRound);
}

TEST(CKelArcTest, DistanceMeasuresTheArcInEitherSense)
{
  CKelArc arc = Quarter(true);
  arc.m_Center.m_z = 7;
  CKelCoord3D foot;
  EXPECT_NEAR(2 * std::sqrt(2.0) - 1, arc.GetDistance(CKelCoord2D(2, 2), &foot), 1e-12);
  kel_test::ExpectXY(std::sqrt(0.5), std::sqrt(0.5), foot);
  EXPECT_EQ(7.0, foot.m_z);

  // The clockwise arc from (0, 1) to (1, 0) is the same quarter.
  const CKelArc reversed(CKelCoord3D(0, 1, 0), CKelCoord3D(1, 0, 0), CKelCoord3D(0, 0, 0), false);
  EXPECT_NEAR(2 * std::sqrt(2.0) - 1, reversed.GetDistance(CKelCoord2D(2, 2), nullptr), 1e-12);
  // The clockwise arc from (1, 0) to (0, 1) is the other three quarters:
  // (2, 2) lies outside its wedge, nearest to an end.
  EXPECT_NEAR(std::sqrt(5.0), Quarter(false).GetDistance(CKelCoord2D(2, 2), nullptr), 1e-12);
  EXPECT_NEAR(1.0, Quarter(false).GetDistance(CKelCoord2D(-2, 0), nullptr), 1e-12);
}

TEST(CKelArcTest, CompareUsesBothToleranceRulesAndTheSense)
{
  const CKelArc a = Quarter(true);
  CKelArc b = a;
  b.m_Center.m_x = 2.4e-5;
  EXPECT_TRUE(a == b);
  b.m_Center.m_x = 2.5e-5;
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.m_Center.m_x = 0.00051;
  EXPECT_FALSE(a.IsNearlyEqual(b));
  EXPECT_TRUE(a != Quarter(false));
  EXPECT_FALSE(a.IsNearlyEqual(Quarter(false)));
}

TEST(CKelArcTest, TheDebugWindowTakesADrawingAndLeavesTheArcAsItWas)
{
  CKelArc arc(CKelCoord3D(1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 2), true);
  const CKelArc before = arc;
  CDrawCore& window = KelDebugWindow;
  arc.Draw(&window, nullptr);
  EXPECT_FALSE(arc != before);
}

TEST(CKelArcTest, DrawHandsOverTheCounterClockwiseRunAndThePointListIsBeginCentreEnd)
{
  RecordingDraw draw;
  CWindowPort* port = reinterpret_cast<CWindowPort*>(&draw);  // opaque, only passed through
  CKelArc arc(CKelCoord3D(1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 2), true);
  arc.Draw(&draw, port);
  EXPECT_EQ(port, draw.lastPort);
  EXPECT_EQ(std::vector<double>({0, 0, 2, 1, 1, 0, 0, 1}), draw.values);
  arc.m_bCCW = false;
  arc.Draw(&draw, port);
  EXPECT_EQ(std::vector<double>({0, 0, 2, 1, 0, 1, 1, 0}), draw.values);

  CKelArc quarter = Quarter(false);
  CKelObject& object = quarter;
  EXPECT_EQ(3, object.GetSize());
  EXPECT_FALSE(object.IsClosed());
  EXPECT_FALSE(object.IsCCW());
  EXPECT_FALSE(object.IsCenter(0) || object.IsCenter(2));
  EXPECT_TRUE(object.IsCenter(1));

  object.MovePoint(1, CKelCoord3D(5, 5, 5));
  EXPECT_TRUE(quarter.m_Center == CKelCoord3D(5, 5, 5));
  EXPECT_TRUE(object.GetCoord3D(2) == CKelCoord3D(0, 1, 0));

  object.MoveBlock(CKelCoord2D(3, 1), CKelCoord3D(1, 2, 9));  // moves by (2, -1)
  EXPECT_TRUE(quarter.m_Beg == CKelCoord3D(3, -1, 0));
  EXPECT_TRUE(quarter.m_Center == CKelCoord3D(7, 4, 5));
  EXPECT_TRUE(quarter.m_End == CKelCoord3D(2, 0, 0));

  EXPECT_DEATH(object.GetCoord3D(3), "index");
  EXPECT_DEATH(quarter.AddCenter(CKelCoord3D()), "false");
}
