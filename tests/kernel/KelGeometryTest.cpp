#include "KelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "KelTestSupport.h"
#include "KelTolerance.h"

namespace {

constexpr double kPi = KelAngle::Pi;
constexpr double kExact = 1e-12;

using P = CKelCoord2D;

void ExpectPoint(double x, double y, const CKelCoord2D& p, double tol = kExact)
{
  kel_test::ExpectXY(x, y, p, tol);
}

using kel_test::ExpectPoints;
using kel_test::XYZ;

}  // namespace

// --- Compares and small values ----------------------------------------------

TEST(KelCompare, EachToleranceAtItsBoundary)
{
  // fcmpNearly is inclusive at 0.0005.
  EXPECT_EQ(0, fcmpNearly(0.0005));
  EXPECT_EQ(0, fcmpNearly(-0.0005));
  EXPECT_EQ(1, fcmpNearly(std::nextafter(0.0005, 1.0)));
  EXPECT_EQ(-1, fcmpNearly(-0.0006));
  // SignOf is strict; with no tolerance, zero itself counts as negative.
  const double signs[][3] = {{0.0999, 0.1, 0}, {0.1, 0.1, 1}, {-0.1, 0.1, -1}, {0, 0.1, 0}, {0, 0, -1}};
  for (const auto& [v, tol, sign] : signs)
    EXPECT_EQ(sign, SignOf(v, tol)) << v << " tol " << tol;
  EXPECT_EQ(0, check_value(0.0002, 0));
  EXPECT_EQ(1, check_value(0.00021, 0));
  EXPECT_EQ(-1, check_value(0, 0.00021));
  EXPECT_TRUE(check_point(P(0, 0), P(0.00099, -0.00099)));
  EXPECT_FALSE(check_point(P(0, 0), P(0.001, 0)));
  EXPECT_FALSE(check_point(P(0, 0), P(0, -0.001)));
  // check_range adds its slack of 0.0002 to the margin.
  const P a(0, 0), b(1, 1);
  EXPECT_TRUE(check_range(a, b, P(1.0002, 0.5), 0));
  EXPECT_TRUE(check_range(a, b, P(-0.0002, -0.0002), 0));
  EXPECT_FALSE(check_range(a, b, P(1.0003, 0.5), 0));
  EXPECT_FALSE(check_range(a, b, P(0.5, -0.0003), 0));
  EXPECT_TRUE(check_range(b, a, P(0.5, 1.0012), 0.001));
}

TEST(KelCompare, QuadraticRootsAndTheirRefusals)
{
  // x^2 - 3x + 2 = 0 has the roots 2 and 1.
  ASSERT_TRUE(CalcSub1(1, -3, 2).has_value());
  EXPECT_EQ(2.0, *CalcSub1(1, -3, 2));
  EXPECT_EQ(1.0, *CalcSub2(1, -3, 2));
  // A double root.
  EXPECT_EQ(-1.0, *CalcSub1(1, 2, 1));
  EXPECT_EQ(-1.0, *CalcSub2(1, 2, 1));
  // No real root, and no quadratic at all: a result the caller can test.
  EXPECT_FALSE(CalcSub1(1, 0, 1).has_value());
  EXPECT_FALSE(CalcSub2(1, 0, 1).has_value());
  EXPECT_FALSE(CalcSub1(0, 1, 1).has_value());
  EXPECT_EQ(0.0, asqrt(-4));
  EXPECT_EQ(0.0, asqrt(0));
  EXPECT_EQ(3.0, asqrt(9));
}

TEST(KelCompare, PseudoAngleIncreasesMonotonicallyAroundTheCircle)
{
  const double fixed[][3] = {{0, 0, 0}, {1, 0, -1}, {0, -1, 0}, {-1, 0, 1}, {0, 1, 2}, {1, 1, -1.5}, {-1, 1, 1.5}};
  for (const auto& [dx, dy, value] : fixed)
    EXPECT_EQ(value, SSTCang(dx, dy)) << dx << ", " << dy;
  // Clockwise from just right of +y the value rises through (-2, 2].
  double previous = -2;
  for (int k = 1; k <= 64; ++k) {
    const double a = kPi / 2 - 2 * kPi * k / 64;
    const double value = SSTCang(std::cos(a), std::sin(a));
    EXPECT_GT(value, previous) << "step " << k;
    previous = value;
  }
}

// --- Lengths, directions and bearings ---------------------------------------

TEST(KelDirection, CalcCosSinWritesOnlyWhatIsAskedAndStaysFiniteForOnePoint)
{
  double c = 9, s = 9, len = 9;
  EXPECT_TRUE(CalcCosSin(P(1, 1), P(4, 5), &c, &s, &len));
  EXPECT_EQ(std::tuple(c, s, len), std::tuple(0.6, 0.8, 5.0));
  double only = 9;
  CalcCosSin(P(0, 0), P(0, -2), nullptr, &only, nullptr);
  EXPECT_EQ(-1.0, only);
  EXPECT_EQ(5.0, length_2point(P(1, 1), P(4, 5)));
  // Coinciding points: direction (1, 0), length 0, and false.
  EXPECT_FALSE(CalcCosSin(P(2, 3), P(2, 3), &c, &s, &len));
  EXPECT_EQ(std::tuple(c, s, len), std::tuple(1.0, 0.0, 0.0));
}

// The diameter of a lot's corners, of a dense circle's and of odd lists; the
// same turned and moved far away, where a box's diagonal grows by up to the
// square root of two. Where far sides lie parallel (a rectangle with a bent
// frontage), round-off at some turns stops the calipers among tied corners.
TEST(KelDirection, PointsDiameterIsTheSameHoweverThePointsAreTurnedOrMoved)
{
  std::vector<P> circle;
  for (int k = 0; k < 1000; ++k)
    circle.emplace_back(10 * std::cos(k * kPi / 500), 10 * std::sin(k * kPi / 500));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<std::vector<P>, double> rows[] = {
      {{P(0, 0), P(20, 0), P(20, 25), P(0, 25), P(10, 12)}, std::hypot(20.0, 25.0)},
      {{P(0, 0), P(30, 0), P(0, 20), P(29.9, 0.1)}, std::hypot(30.0, 20.0)},
      {{P(0, 0), P(8.376727229391, 0), P(16.263014062345, 2.824188213276), P(24.172606883832, 5.582430493044),
        P(24.172606883832, 29.204046189285), P(0, 29.204046189285)},
       std::hypot(24.172606883832, 29.204046189285)},
      {circle, 20},
      {{P(0, 0), P(3, 4), P(1.5, 2), P(3, 4)}, 5},
      {{P(1, 1), P(nan, 0), P(1, 1)}, 0},
      {{}, 0}};
  for (const auto& [pts, diameter] : rows) {
    for (int k = 0; k < 720; ++k) {
      const double turn = k * kPi / 360 + 1e-3, far = k % 2 == 0 ? 0 : 3e5;
      std::vector<P> placed;
      for (const P& p : pts)
        placed.emplace_back(far + p.m_x * std::cos(turn) - p.m_y * std::sin(turn), -0.4 * far + p.m_x * std::sin(turn) + p.m_y * std::cos(turn));
      EXPECT_NEAR(diameter, PointsDiameter(placed), 1e-9) << pts.size() << " points turned " << turn;
    }
  }
}

TEST(KelDirection, AxisEdgesHaveTheLengthAndDirectionTheGeneralFormulaGives)
{
  // Magnitudes from subnormal to huge, both signs, and values that are not
  // numbers: along an axis the length must be what hypot gives, bit for bit.
  const double values[] = {5e-324, 1e-300, 2.5e-5, 0.37, 1.0, 3.4700000000000002, 1e8, 1.7e308,
                           -0.37, -1e-300, -1.7e308, std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  const auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (const double v : values) {
    for (const double zero : {0.0, -0.0}) {
      for (const bool alongX : {true, false}) {
        const P a(0, 0);
        const P b(alongX ? v : zero, alongX ? zero : v);
        double c = 9, s = 9, len = 9;
        CalcCosSin(a, b, &c, &s, &len);
        const double dx = b.m_x - a.m_x;
        const double dy = b.m_y - a.m_y;
        const double expected = std::hypot(dx, dy);
        EXPECT_TRUE(same(expected, len)) << v << (alongX ? " along x" : " along y");
        if (expected > 0) {
          EXPECT_TRUE(same(dx / expected, c) && same(dy / expected, s)) << v;
        }
      }
    }
  }
}

TEST(KelDirection, AngleAboutACentreRunsCounterClockwiseAndArcLengthClockwise)
{
  const P c(1, 1);
  EXPECT_DOUBLE_EQ(kPi / 2, arc_radian1(P(2, 1), P(1, 2), c));
  EXPECT_DOUBLE_EQ(3 * kPi / 2, arc_radian1(P(1, 2), P(2, 1), c));
  EXPECT_EQ(0.0, arc_radian1(P(2, 1), P(3, 1), c));
  const double almostFull = arc_radian1(P(2, 1), P(2, 0.9999999), c);
  EXPECT_LT(almostFull, 2 * kPi);
  EXPECT_GT(almostFull, 6.28);
  EXPECT_DOUBLE_EQ(3 * kPi / 2, length_arc(P(1, 0), P(0, 1), P(0, 0)));
  EXPECT_DOUBLE_EQ(kPi, length_arc(P(0, 2), P(2, 0), P(0, 0)));
  EXPECT_EQ(0.0, length_arc(P(1, 0), P(1, 0), P(0, 0)));
}

TEST(KelDirection, BearingsTheirDeadBandAndTheNorthCheck)
{
  EXPECT_EQ(0.0, arc_radian(0, P(0, 0), P(0, 1)));
  EXPECT_EQ(kPi / 2, arc_radian(0, P(0, 0), P(-1, 0)));
  EXPECT_EQ(kPi / 2, arc_radian(1, P(0, 0), P(0.000001, 1)));
  EXPECT_EQ(0.0, arc_radian(1, P(0, 0), P(0.000009, -0.000009)));
  EXPECT_EQ(kPi, arc_radian(1, P(0, 0), P(-2, 0)));
  // check_north wraps the difference: the bearing of a->b is 0 (north), and
  // angles within a quarter turn pass.
  EXPECT_TRUE(check_north(0, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(1.5, P(0, 0), P(0, 1)));
  EXPECT_FALSE(check_north(kPi / 2, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(2 * kPi + 0.1, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(-3 * kPi / 4, P(0, 0), P(1, -1)));
  EXPECT_FALSE(check_north(std::nan(""), P(0, 0), P(0, 1)));
}

// --- Feet, sides and distances ------------------------------------------------

TEST(KelFeet, PerpendicularFootWithAxisSnappingAndThreeSide)
{
  ExpectPoint(1, 1, get_vtpoint(P(0, 0), P(2, 2), P(0, 2)));
  ExpectPoint(0.000005, 7, get_vtpoint(P(0.000005, 0), P(0, 1), P(3, 7)));
  ExpectPoint(3, 0, get_vtpoint(P(0, 0), P(5, 0.000009), P(3, 7)));
  // check_3side tells the foot, or the nearer end and which.
  P out;
  EXPECT_EQ(0, check_3side(P(0, 0), P(4, 0), P(1, 5), &out));
  ExpectPoint(1, 0, out);
  EXPECT_EQ(-1, check_3side(P(0, 0), P(4, 0), P(-2, 5), &out));
  ExpectPoint(0, 0, out);
  EXPECT_EQ(1, check_3side(P(0, 0), P(4, 0), P(7, 5), &out));
  ExpectPoint(4, 0, out);
  EXPECT_EQ(0, check_3side(P(0, 0), P(4, 0), P(4.0002, 1), nullptr));
}

TEST(KelSides, HalfPlaneAndCheckSideDisagreeOnlyInSign)
{
  const P a(0, 0), b(1, 0);
  EXPECT_EQ(1, check_side(a, b, P(0, 1)));
  EXPECT_EQ(-1, check_side(a, b, P(0, -1)));
  EXPECT_EQ(0, check_side(a, b, P(5, 0.000002)));
  EXPECT_EQ(-1, HalfPlane(P(0, 1), a, b));
  EXPECT_EQ(1, HalfPlane(P(0, -1), a, b));
  EXPECT_EQ(0, HalfPlane(P(7, 0.0000099), a, b));
  // The half-plane distance is scaled: a long edge keeps the same band.
  EXPECT_EQ(0, HalfPlane(P(7, 0.0000099), a, P(1000, 0)));
  EXPECT_EQ(1, HalfPlane(7, -0.00002, 0, 0, 1000, 0));
  // A degenerate edge has no sides.
  EXPECT_EQ(0, HalfPlane(P(3, 3), a, a));
}

// 1 strictly between the ends' levels, -1 at a's level, -2 at b's, 0 beyond;
// dir is +1 for an upward edge, -1 downward, 0 level. The roles of the ends
// stay with a and b whichever way the edge runs.
TEST(KelSides, XCross3ClassifiesTheLevelOfP)
{
  struct Row {
    P a, b;
    double y;
    int level, dir;
  };
  const P lo(0, 0), hi(0, 10);
  const Row rows[] = {
      {lo, hi, 5, 1, 1},   {lo, hi, 0.000009, -1, 1}, {lo, hi, 9.999991, -2, 1}, {lo, hi, -1, 0, 1},
      {lo, hi, 11, 0, 1},  {hi, lo, 5, 1, -1},        {hi, lo, 10, -1, -1},      {hi, lo, 0, -2, -1},
      {hi, lo, 12, 0, -1}, {P(0, 1), P(5, 1.000009), 1, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.a.m_y << " -> " << r.b.m_y << " at " << r.y);
    int dir = 7;
    EXPECT_EQ(r.level, XCross3(r.a, r.b, P(-3, r.y), dir, 1e-5));
    EXPECT_EQ(r.dir, dir);
  }
}

TEST(KelDistance, SegmentAndArcDistancesClampToTheEnds)
{
  P foot(99, 99);
  EXPECT_EQ(3.0, linedist(P(0, 0), P(4, 0), P(2, 3), &foot));
  ExpectPoint(2, 0, foot);
  EXPECT_EQ(5.0, linedist(P(0, 0), P(4, 0), P(7, 4), &foot));
  ExpectPoint(4, 0, foot);
  // A segment with |b - a|^2 <= 1e-5 measures from a and leaves foot alone.
  foot = P(99, 99);
  EXPECT_EQ(5.0, linedist(P(0, 0), P(0.003, 0), P(3, 4), &foot));
  ExpectPoint(99, 99, foot);

  // The arc distance inside the wedge and at the ends.
  const P c(0, 0), a(1, 0), b(0, 1);
  EXPECT_NEAR(1.0, arcdist(1, a, b, c, P(2 / std::sqrt(2.0), 2 / std::sqrt(2.0)), &foot), kExact);
  ExpectPoint(1 / std::sqrt(2.0), 1 / std::sqrt(2.0), foot, 1e-12);
  EXPECT_NEAR(0.5, arcdist(1, a, b, c, P(0, 0.5), &foot), kExact);
  // Before the start (clockwise of it): the start.
  EXPECT_DOUBLE_EQ(std::hypot(1.0, 1.0), arcdist(1, a, b, c, P(2, -1), &foot));
  ExpectPoint(1, 0, foot);
  // Just below the start direction, within a sliver of the ray.
  EXPECT_NEAR(1.0, arcdist(1, a, b, c, P(2, -1e-9), &foot), 1e-9);
  ExpectPoint(1, 0, foot);
  // Beyond the end: the end.
  EXPECT_DOUBLE_EQ(std::hypot(1.0, 1.0), arcdist(1, a, b, c, P(-1, 2), &foot));
  ExpectPoint(0, 1, foot);
  // The centre is equally far from every point of the arc.
  EXPECT_EQ(1.0, arcdist(1, a, b, c, c, &foot));
  // A degenerate arc with p opposite: neither side test applies.
  EXPECT_EQ(kNoArcDistance, arcdist(1, a, a, c, P(-2, 0), nullptr));
}

TEST(KelOffset, LeftNormalMovesAndDegenerateSegment)
{
  P out;
  EXPECT_EQ(0, CalcVlinepos(P(0, 0), P(2, 0), &out, 1.5));
  ExpectPoint(0, 1.5, out);
  EXPECT_EQ(1, CalcVlinepos(P(1, 1), P(1.000005, 1), &out, 1.5));
  ExpectPoint(1, 1, out);

  P a(0, 0), b(3, 4);
  CalcMoveLine(a, b, 1.0);
  ExpectPoint(-0.8, 0.6, a);
  ExpectPoint(2.2, 4.6, b);

  P c(0, 0), d(4, 0);
  CalcMoveLine(c, d, P(10, -2));
  ExpectPoint(0, -2, c);
  ExpectPoint(4, -2, d);
  P e(1, 1), f(1, 5);
  CalcMoveLine(e, f, P(-3, 100));
  ExpectPoint(-3, 1, e);
  ExpectPoint(-3, 5, f);
}

// --- Crossings ------------------------------------------------------------------

TEST(KelCross, InfiniteLinesAndSegments)
{
  ExpectPoints({{5, 0}}, cross_line0(P(0, 0), P(1, 0), P(5, -1), P(5, -2)));
  EXPECT_TRUE(cross_line(P(0, 0), P(1, 0), P(5, -1), P(5, -2)).empty());
  EXPECT_EQ(1u, cross_line(P(0, 0), P(5, 0), P(5, -1), P(5, 1)).size());

  int flag = 0;
  EXPECT_TRUE(cross_line0(P(0, 0), P(1, 0), P(0, 1), P(1, 1.000001), &flag).empty());
  EXPECT_EQ(1, flag);

  // A degenerate b is its point when that lies on line a.
  ExpectPoints({{3, 3}}, cross_line0(P(0, 0), P(1, 1), P(3, 3), P(3, 3)));
  EXPECT_TRUE(cross_line0(P(0, 0), P(1, 1), P(3, 4), P(3, 4)).empty());
}

TEST(KelCross, BearingLinesKeepOnlyPointsAhead)
{
  // Looking north from (0, 0) at the segment y = 5.
  ExpectPoints({{0, 5}}, angle_line(P(-1, 5), P(1, 5), P(0, 0), 0));
  EXPECT_TRUE(angle_line(P(-1, -5), P(1, -5), P(0, 0), 0).empty());
  // Looking south (angle pi) the same segment below is ahead.
  EXPECT_EQ(1u, angle_line(P(-1, -5), P(1, -5), P(0, 0), kPi).size());
  EXPECT_EQ(1u, angle_line(P(-1, -5), P(1, -5), P(0, 0), -3 * kPi).size());
  // The infinite form keeps the point behind.
  EXPECT_EQ(1u, angle_line0(P(-1, -5), P(1, -5), P(0, 0), 0).size());
  // Off the segment.
  EXPECT_TRUE(angle_line(P(1, 5), P(2, 5), P(0, 0), 0).empty());
}

TEST(KelCross, CircleAndLineAndTwoCircles)
{
  ExpectPoints({{-4, 3}, {4, 3}}, cross_circleline(5.0, P(0, 0), P(-10, 3), P(10, 3)));
  // A nearly vertical line is taken as vertical through p.
  ExpectPoints({{3, -4}, {3, 4}}, cross_circleline(P(0, 5), P(0, 0), P(3, -10), P(3.000001, 10)));
  EXPECT_TRUE(cross_circleline(1.0, P(0, 0), P(-5, 2), P(5, 2)).empty());
  ExpectPoints({{0, 1}}, cross_circleline(1.0, P(0, 0), P(-5, 1), P(5, 1)));

  // Two circles.
  ExpectPoints({{1, 0}}, cross_circle(P(1, 0), P(0, 0), P(1, 0), P(2, 0)));
  ExpectPoints({{4, 3}, {4, -3}}, cross_circle(P(5, 0), P(0, 0), P(3, 0), P(8, 0)));
  EXPECT_TRUE(cross_circle(P(1, 0), P(0, 0), P(2, 0), P(0, 0)).empty());    // concentric
  EXPECT_TRUE(cross_circle(P(1, 0), P(0, 0), P(4, 0), P(3, 0)).empty());    // apart
  EXPECT_TRUE(cross_circle(P(5, 0), P(0, 0), P(1.5, 0), P(1, 0)).empty());  // inside
}

TEST(KelCross, ArcRangeBoxesAndArcsAgainstSegmentsAndLines)
{
  P lo, hi;
  // Quarter arc from +x to +y: its own box.
  EXPECT_TRUE(get_ArcRange(P(1, 0), P(0, 1), P(0, 0), &lo, &hi));
  ExpectPoint(0, 0, lo);
  ExpectPoint(1, 1, hi);
  // Upper half from +x through +y to -x: widened to the top.
  EXPECT_TRUE(get_ArcRange(P(1, 0), P(-1, 0), P(0, 0), &lo, &hi));
  ExpectPoint(-1, 0, lo);
  ExpectPoint(1, 1, hi);
  // Three quarters: the box of the complementary quarter (-y to +x), which
  // contains direction 0 and so reaches the right.
  EXPECT_FALSE(get_ArcRange(P(1, 0), P(0, -1), P(0, 0), &lo, &hi));
  ExpectPoint(0, -1, lo);
  ExpectPoint(1, 0, hi);

  const P c(0, 0);
  // Upper half circle, counter-clockwise from (1, 0) to (-1, 0).
  ExpectPoints({{0, 1}}, cross_arcline(P(1, 0), P(-1, 0), c, P(0, -2), P(0, 2)));
  // The lower half keeps the other crossing.
  ExpectPoints({{0, -1}}, cross_arcline(P(-1, 0), P(1, 0), c, P(0, -2), P(0, 2)));
  // Three-quarter arc (range test through the complementary box).
  ExpectPoints({{-std::sqrt(0.75), 0.5}}, cross_arcline(P(0, 1), P(1, 0), c, P(-2, 0.5), P(2, 0.5)));
  EXPECT_TRUE(cross_arcline(P(0, 1), P(1, 0), c, P(0, 0.5), P(2, 0.5)).empty());
  // A crossing just outside the arc's box is kept by the end test alone.
  EXPECT_EQ(1u, cross_arcline(P(1, 0), P(0, 1), c, P(0.5, -0.0005), P(2, -0.0005)).size());
  EXPECT_TRUE(cross_arcline(P(1, 0), P(0, 1), c, P(0.5, -0.0015), P(2, -0.0015)).empty());
  // The segment must reach the circle.
  EXPECT_TRUE(cross_arcline(P(1, 0), P(-1, 0), c, P(0, 2), P(0, 3)).empty());
  // arc_line looks along a bearing through p, in both directions.
  EXPECT_EQ(1u, arc_line(P(1, 0), P(-1, 0), c, P(0, -5), 0).size());
}

TEST(KelCross, CheckLineElementCrossings)
{
  P out;
  // Segment against segment.
  EXPECT_TRUE(calc_cross_cline(0, P(0, 0), P(2, 2), P(), 1, P(0, 2), P(2, 0), P(), &out));
  ExpectPoint(1, 1, out);
  EXPECT_FALSE(calc_cross_cline(0, P(0, 0), P(1, 0), P(), 0, P(0, 1), P(1, 1), P(), &out));
  // Segment against the upper half arc, either order.
  EXPECT_TRUE(calc_cross_cline(0, P(0, -2), P(0, 2), P(), 11, P(1, 0), P(-1, 0), P(0, 0), &out));
  ExpectPoint(0, 1, out);
  EXPECT_TRUE(calc_cross_cline(12, P(1, 0), P(-1, 0), P(0, 0), 3, P(0, -2), P(0, 2), P(), &out));
  // Three-quarter arcs about (0,0) and (1,0): only (0.5, 0.866) lies on both.
  EXPECT_TRUE(calc_cross_cline(11, P(1, 0), P(0, -1), P(0, 0), 11, P(1, 1), P(2, 0), P(1, 0), &out));
  ExpectPoint(0.5, std::sqrt(3.0) / 2, out, 1e-12);
  // A crossing more than half a turn past the arc's start is dropped: the
  // line x = 0 meets the three-quarter arc at its end (0,-1) first, then at
  // (0,1); only the latter is within pi of the start.
  EXPECT_EQ(2u, cross_arcline(P(1, 0), P(0, -1), P(0, 0), P(0, -2), P(0, 2)).size());
  EXPECT_TRUE(calc_cross_cline(0, P(0, -2), P(0, 2), P(), 11, P(1, 0), P(0, -1), P(0, 0), &out));
  ExpectPoint(0, 1, out);
}

TEST(KelCross, TwoArcsAndAPairWithTwoCrossingsCountsAsNone)
{
  // Upper unit half circle about (0,0) and about (1,0) meet at (0.5, 0.866).
  ExpectPoints({{0.5, std::sqrt(3.0) / 2}}, cross_arc(P(1, 0), P(-1, 0), P(0, 0), P(2, 0), P(0, 0), P(1, 0)));
  // The lower half of the second circle misses the first arc.
  EXPECT_TRUE(cross_arc(P(1, 0), P(-1, 0), P(0, 0), P(0, 0), P(2, 0), P(1, 0)).empty());

  P out(7, 7);
  // The upper unit half circle about (0,0) and the upper half of radius 1.2
  // about (0,-0.5) meet twice, at (+-0.98, 0.19).
  const P c1(0, 0), c2(0, -0.5);
  const double r2 = 1.2;
  const P s2(c2.m_x + r2, c2.m_y), e2(c2.m_x - r2, c2.m_y);
  const auto crossings = cross_arc(P(1, 0), P(-1, 0), c1, s2, e2, c2);
  ASSERT_EQ(2u, crossings.size());
  EXPECT_FALSE(calc_cross_cline(11, P(1, 0), P(-1, 0), c1, 11, s2, e2, c2, &out));
  ExpectPoint(7, 7, out);
}

// --- Planes ---------------------------------------------------------------------

TEST(KelPlane, MeetingLineOfTwoPlanesOrFalse)
{
  CKelCoord3D p, q;
  // z = 2 and x = 1 meet in the line x = 1, z = 2 along y.
  ASSERT_TRUE(LineEquatinFromPlanes(0, 0, 1, -2, 1, 0, 0, -1, &p, &q));
  EXPECT_EQ(XYZ(p), std::tuple(1.0, 0.0, 2.0));
  EXPECT_EQ(XYZ(q), std::tuple(1.0, 100.0, 2.0));  // n1 x n2 = (0,0,1) x (1,0,0) = (0,1,0)
  // A tilted pair: every output lies on both planes.
  ASSERT_TRUE(LineEquatinFromPlanes(1, 2, 3, -4, -2, 1, 0.5, 3, &p, &q));
  for (const CKelCoord3D& v : {p, q}) {
    EXPECT_NEAR(0, v.m_x + 2 * v.m_y + 3 * v.m_z - 4, 1e-9);
    EXPECT_NEAR(0, -2 * v.m_x + v.m_y + 0.5 * v.m_z + 3, 1e-9);
  }

  // Parallel or hopeless planes report false and leave the outputs alone.
  p = CKelCoord3D(5, 5, 5);
  q = CKelCoord3D(6, 6, 6);
  EXPECT_FALSE(LineEquatinFromPlanes(0, 0, 1, 0, 0, 0, 2, -3, &p, &q));
  // Normals whose cross product stays within 2.5e-5 (inclusive) are parallel.
  EXPECT_FALSE(LineEquatinFromPlanes(0, 0, 1, 0, 0.000025, 0, 1, -3, &p, &q));
  CKelCoord3D far;
  EXPECT_TRUE(LineEquatinFromPlanes(0, 0, 1, 0, 0.000026, 0, 1, -0.000026, &far, nullptr));
  EXPECT_NEAR(1.0, far.m_x, 1e-9);
  // Barely crossing planes far apart: the meeting line lies some 1e13 away
  // and rounding leaves it off both planes by about 0.008. The answer is
  // false, not an abort.
  EXPECT_FALSE(LineEquatinFromPlanes(1, 2, 3, 1e9, 1, 2, 3.0001, -1e9, &p, &q));
  EXPECT_EQ(5.0, p.m_x);
  EXPECT_EQ(6.0, q.m_z);
}

TEST(KelPlane, PlaneThroughThreePointsAndTheReferenceLineCrossing)
{
  const CKelCoord3D square[3] = {{0, 0, 2}, {1, 0, 2}, {1, 1, 2}};
  double a = 9, b = 9, c = 9, d = 9;
  ASSERT_TRUE(V3SetPlane(square, &a, &b, &c, &d));
  EXPECT_EQ(std::tuple(a, b, c, d), std::tuple(0.0, 0.0, 1.0, -2.0));
  const CKelCoord3D line[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
  EXPECT_FALSE(V3SetPlane(line, &a, &b, &c, &d));
  EXPECT_EQ(std::tuple(a, b, c, d), std::tuple(0.0, 0.0, 0.0, 0.0));

  // The crossing with the reference line SetCPlane keeps.
  SetCPlane(0, 0, 2, 2);  // y = x
  double x = 0, y = 0;
  ASSERT_TRUE(CPlane(0, 4, 4, 0, &x, &y));  // x + y = 4
  EXPECT_DOUBLE_EQ(2.0, x);
  EXPECT_DOUBLE_EQ(2.0, y);
  ASSERT_TRUE(CPlane(3, -10, 3, 10, &x, &y));
  EXPECT_DOUBLE_EQ(3.0, x);
  EXPECT_DOUBLE_EQ(3.0, y);
  EXPECT_FALSE(CPlane(1, 0, 3, 2, &x, &y));
  EXPECT_EQ(std::pair(x, y), std::pair(1.0, 0.0));
}

TEST(KelPlane, DivideLineBySide)
{
  std::vector<P> out1{P(9, 9)};
  std::vector<P> out2{P(9, 9)};
  const P o(0, 0);
  // Dividing line: the x axis, direction (1, 0); local y is the height.
  EXPECT_FALSE(DivideLine({}, o, 1, 0, &out1, &out2));
  EXPECT_EQ(1u, out1.size());  // an empty input returns before emptying

  const std::vector<P> above{P(0, 1), P(5, 7), P(2, 3)};
  EXPECT_TRUE(DivideLine(above, o, 1, 0, &out1, &out2));
  EXPECT_EQ(above.size(), out1.size());
  EXPECT_TRUE(out2.empty());

  EXPECT_TRUE(DivideLine({P(0, -1), P(5, 0)}, o, 1, 0, &out1, &out2));
  EXPECT_TRUE(out1.empty());
  EXPECT_EQ(2u, out2.size());

  EXPECT_FALSE(DivideLine({P(0, 2), P(5, 2)}, o, 1, 0, &out1, &out2));
  EXPECT_TRUE(out1.empty() && out2.empty());

  // Crossing from above to below: the first piece goes to out1.
  EXPECT_TRUE(DivideLine({P(0, 2), P(1, 5), P(4, -2)}, o, 1, 0, &out1, &out2));
  ExpectPoints({{0, 2}, {2, 0}}, out1);
  ExpectPoints({{2, 0}, {4, -2}}, out2);
  // From below to above: the first piece goes to out2.
  EXPECT_TRUE(DivideLine({P(4, -2), P(0, 2)}, o, 1, 0, &out1, &out2));
  ExpectPoints({{4, -2}, {2, 0}}, out2);
  ExpectPoints({{2, 0}, {0, 2}}, out1);
}

TEST(KelPlane, ContactOfTurnedRectangle)
{
  const P touching = CalcCantactCoordRectAndCircle(3, 0.6, 0.8, 1, 0.5);
  ExpectPoint(2.4, 3.2, touching);
  // A rectangle of no size never reaches across the axis.
  const P none = CalcCantactCoordRectAndCircle(3, 1, 0, 0, 0);
  ExpectPoint(0, 0, none);
}

// --- Crossing points of lines given by numbers -----------------------------------

TEST(KelNumeric, CalCrossPointReportsWhereOnTheSegment)
{
  // Line a from (0,0) to (ax, ay) against segment b; the code, and the point
  // written: off segment b it is still written, parallel lines write (0, 0).
  const double rows[][9] = {
      {1, 0, 2, -1, 2, 1, 1, 2, 0},  {1, 0, 2, 0, 2, 1, 2, 2, 0}, {1, 0, 2, 1, 2, 0.000009, 4, 2, 0.000009},
      {1, 0, 2, 1, 2, 3, 0, 2, 0},   {1, 0, 2, 1, 3, 1, 0, 0, 0},
      {0, 1, -1, 5, 1, 5, 1, 0, 5},  // a steep line a is evaluated along y
  };
  for (const auto& [ax, ay, x3, y3, x4, y4, code, wx, wy] : rows) {
    SCOPED_TRACE(testing::Message() << "b " << x3 << "," << y3 << " " << x4 << "," << y4);
    double x = 9, y = 9;
    EXPECT_EQ(code, CalCrossPoint(0, 0, ax, ay, x3, y3, x4, y4, &x, &y));
    EXPECT_EQ(std::pair(wx, wy), std::pair(x, y));
  }
}

TEST(KelNumeric, SinglePrecisionCrossingsAndTheDoubleFormUsingTheDirectionsAngle)
{
  float x = 9, y = 9;
  EXPECT_EQ(0, CalCrossPoint2(0, 0, 1, 1, 0, 1, 1, 2, &x, &y));
  EXPECT_EQ(std::pair(x, y), std::pair(9.0f, 9.0f));
  EXPECT_EQ(1, CalCrossPoint2(0, 0, 1, 1, 0, 2, 2, 0, &x, &y));
  EXPECT_EQ(std::pair(x, y), std::pair(1.0f, 1.0f));
  // The line crossing lies outside segment a: written, but false.
  EXPECT_FALSE(CalCrossPoint4(0.0f, 0.0f, 1.0f, 0.0f, 2.0f, -1.0f, 2.0f, 1.0f, &x, &y));
  EXPECT_EQ(2.0f, x);
  EXPECT_TRUE(CalCrossPoint4(0.0f, 0.0f, 4.0f, 0.0f, 2.0f, -1.0f, 2.0f, 1.0f, &x, &y));
  double dx = 0, dy = 0;
  EXPECT_TRUE(CalCrossPoint4(0.0, 0.0, 2.0, 0.0, 2.0, -1.0, 2.0, 1.0, &dx, &dy));
  // The strict form rejects a crossing at an end that the inclusive one accepts.
  EXPECT_FALSE(CalCrossPoint5(0, 0, 2, 0, 2, -1, 2, 1, &x, &y));
  EXPECT_TRUE(CalCrossPoint5(0, 0, 4, 0, 2, -1, 2, 1, &x, &y));

  XY_FPAIR a1{0, 0}, a2{2, 2}, b1{0, 2}, b2{2, 0}, out{9, 9};
  EXPECT_EQ(1, CalCrossPoint10(&a1, &a2, &b1, &b2, &out));
  EXPECT_EQ(std::pair(out.x, out.y), std::pair(1.0f, 1.0f));
  XY_FPAIR c1{0, 1}, c2{2, 3};
  EXPECT_EQ(0, CalCrossPoint10(&a1, &a2, &c1, &c2, &out));

  // The double form of CalCrossPoint10 uses the directions' angle.
  P at(9, 9);
  ASSERT_TRUE(CalCrossPoint10(P(0, 0), P(2, 0), P(5, -1), P(5, 1), &at));
  ExpectPoint(5, 0, at);
  // Short edges of a few millimetres still cross.
  ASSERT_TRUE(CalCrossPoint10(P(0, 0), P(0.003, 0), P(1, 0), P(1, 0.003), &at));
  ExpectPoint(1, 0, at);
  at = P(9, 9);
  EXPECT_FALSE(CalCrossPoint10(P(0, 0), P(1, 0), P(0, 1), P(1000, 1.02), &at));
  EXPECT_FALSE(CalCrossPoint10(P(0, 0), P(0, 0), P(0, 1), P(1, 1), &at));
  ExpectPoint(9, 9, at);
}

// --- On-segment tests ---------------------------------------------------------------

TEST(KelOnLine, DominantAxisTestsToleranceBandsAndTheInterpolatedHeight)
{
  EXPECT_TRUE(CheckOnLine(0.0f, 0.0f, 4.0f, 1.0f, 4.0f, 99.0f));  // only x is compared
  EXPECT_FALSE(CheckOnLine(0.0f, 0.0f, 4.0f, 1.0f, 4.1f, 0.0f));
  EXPECT_TRUE(CheckOnLine(0.0, 0.0, 1.0, 4.0, 7.0, 0.0));
  EXPECT_FALSE(CheckOnLine(0.0, 0.0, 1.0, 4.0, 0.5, 4.5));
  EXPECT_TRUE(CheckOnLine(0.0, 0.0, 4.0, 0.0, 0.0, 0.0));
  EXPECT_FALSE(CheckOnLine2(0, 0, 4, 0, 0, 0));
  EXPECT_TRUE(CheckOnLine2(0, 0, 4, 0, 0.5f, 0));
  EXPECT_TRUE(CheckOnLine3(2, 3, 1));
  EXPECT_TRUE(CheckOnLine3(3, 3, 1));
  EXPECT_FALSE(CheckOnLine3(3.5f, 3, 1));

  // CheckOnLine4: ends within 1e-5, or the band around the segment.
  EXPECT_TRUE(CheckOnLine4(0, 0, 1, 0, 1.000009f, 0.000009f));
  EXPECT_TRUE(CheckOnLine4(0, 0, 1, 0, 0.5f, -0.000009f));
  EXPECT_FALSE(CheckOnLine4(0, 0, 1, 0, 0.5f, 0.00002f));
  EXPECT_FALSE(CheckOnLine4(0, 0, 1, 0, 1.00002f, 0));

  const PNT3D a{0, 0, 0}, b{1, 0, 0}, nearA{0.0009f, -0.0009f, 5}, nearB{1.0009f, 0, 0}, middle{0.5f, 0, 0};
  EXPECT_EQ(1, CheckOnLine5(&a, &b, &nearA));
  EXPECT_EQ(2, CheckOnLine5(&a, &b, &nearB));
  EXPECT_EQ(0, CheckOnLine5(&a, &b, &middle));

  EXPECT_TRUE(CheckOnLine6(P(0, 0), P(1, 0), P(1.000009, 5)));
  EXPECT_FALSE(CheckOnLine6(P(0, 0), P(1, 0), P(1.00002, 0)));

  const float onWide[2] = {0.5f, 0.0014f}, offWide[2] = {0.5f, 0.0016f}, beyond[2] = {1.01f, 0};
  EXPECT_TRUE(CheckOnLine10(&a, &b, onWide));
  EXPECT_FALSE(CheckOnLine10(&a, &b, offWide));
  EXPECT_FALSE(CheckOnLine10(&a, &b, beyond));

  // CheckOnLine7 interpolates the height and is strict.
  CKelCoord3D p(2, 0, 99);
  EXPECT_TRUE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(4, 1, 20), p));
  EXPECT_EQ(15.0, p.m_z);
  CKelCoord3D end(4.000005, 1, 0);
  EXPECT_FALSE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(4, 1, 20), end));
  CKelCoord3D flat(0, 0, 99);
  EXPECT_FALSE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(0, 0, 20), flat));
  EXPECT_EQ(10.0, flat.m_z);
}
