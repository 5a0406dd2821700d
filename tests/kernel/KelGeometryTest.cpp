#include "KelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "KelTolerance.h"

namespace {

constexpr double kPi = KelAngle::Pi;
constexpr double kExact = 1e-12;

using P = CKelCoord2D;

void ExpectPoint(double x, double y, const CKelCoord2D& p, double tol = kExact)
{
  EXPECT_NEAR(x, p.m_x, tol);
  EXPECT_NEAR(y, p.m_y, tol);
}

}  // namespace

// --- Compares and small values ----------------------------------------------

TEST(KelCompare, FcmpNearlyIsInclusiveAtTheTolerance)
{
  EXPECT_EQ(0, fcmpNearly(0.0005));
  EXPECT_EQ(0, fcmpNearly(-0.0005));
  EXPECT_EQ(1, fcmpNearly(0.0006));
  EXPECT_EQ(-1, fcmpNearly(-0.0006));
  EXPECT_EQ(1, fcmpNearly(std::nextafter(0.0005, 1.0)));
}

TEST(KelCompare, SignOfIsStrictAtItsTolerance)
{
  EXPECT_EQ(0, SignOf(0.0999, 0.1));
  EXPECT_EQ(1, SignOf(0.1, 0.1));
  EXPECT_EQ(-1, SignOf(-0.1, 0.1));
  EXPECT_EQ(0, SignOf(0, 0.1));
  // With no tolerance, zero itself counts as negative.
  EXPECT_EQ(-1, SignOf(0, 0));
}

TEST(KelCompare, CheckValueAndCheckPointBoundaries)
{
  EXPECT_EQ(0, check_value(0.0002, 0));
  EXPECT_EQ(1, check_value(0.00021, 0));
  EXPECT_EQ(-1, check_value(0, 0.00021));
  EXPECT_TRUE(check_point(P(0, 0), P(0.00099, -0.00099)));
  EXPECT_FALSE(check_point(P(0, 0), P(0.001, 0)));
  EXPECT_FALSE(check_point(P(0, 0), P(0, -0.001)));
}

TEST(KelCompare, CheckRangeAddsTheSlackToTheMargin)
{
  const P a(0, 0);
  const P b(1, 1);
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
  EXPECT_EQ(0.0, SSTCang(0, 0));
  EXPECT_EQ(-1.0, SSTCang(1, 0));
  EXPECT_EQ(0.0, SSTCang(0, -1));
  EXPECT_EQ(1.0, SSTCang(-1, 0));
  EXPECT_EQ(2.0, SSTCang(0, 1));
  EXPECT_EQ(-1.5, SSTCang(1, 1));
  EXPECT_EQ(1.5, SSTCang(-1, 1));
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

TEST(KelDirection, CalcCosSinWritesOnlyWhatIsAsked)
{
  double c = 9;
  double s = 9;
  double len = 9;
  EXPECT_TRUE(CalcCosSin(P(1, 1), P(4, 5), &c, &s, &len));
  EXPECT_EQ(0.6, c);
  EXPECT_EQ(0.8, s);
  EXPECT_EQ(5.0, len);
  double only = 9;
  CalcCosSin(P(0, 0), P(0, -2), nullptr, &only, nullptr);
  EXPECT_EQ(-1.0, only);
  EXPECT_EQ(5.0, length_2point(P(1, 1), P(4, 5)));
}

TEST(KelDirection, CalcCosSinOfCoincidingPointsStaysFinite)
{
  double c = 9;
  double s = 9;
  double len = 9;
  EXPECT_FALSE(CalcCosSin(P(2, 3), P(2, 3), &c, &s, &len));
  EXPECT_EQ(1.0, c);
  EXPECT_EQ(0.0, s);
  EXPECT_EQ(0.0, len);
}

TEST(KelDirection, BearingsAndTheirDeadBand)
{
  EXPECT_EQ(0.0, arc_radian(0, P(0, 0), P(0, 1)));
  EXPECT_EQ(kPi / 2, arc_radian(0, P(0, 0), P(-1, 0)));
  EXPECT_EQ(kPi / 2, arc_radian(1, P(0, 0), P(0.000001, 1)));
  EXPECT_EQ(0.0, arc_radian(1, P(0, 0), P(0.000009, -0.000009)));
  EXPECT_EQ(kPi, arc_radian(1, P(0, 0), P(-2, 0)));
}

TEST(KelDirection, CounterClockwiseAngleAboutACentre)
{
  const P c(1, 1);
  EXPECT_DOUBLE_EQ(kPi / 2, arc_radian1(P(2, 1), P(1, 2), c));
  EXPECT_DOUBLE_EQ(3 * kPi / 2, arc_radian1(P(1, 2), P(2, 1), c));
  EXPECT_EQ(0.0, arc_radian1(P(2, 1), P(3, 1), c));
  const double almostFull = arc_radian1(P(2, 1), P(2, 0.9999999), c);
  EXPECT_LT(almostFull, 2 * kPi);
  EXPECT_GT(almostFull, 6.28);
}

TEST(KelDirection, ArcLengthRunsClockwise)
{
  EXPECT_DOUBLE_EQ(3 * kPi / 2, length_arc(P(1, 0), P(0, 1), P(0, 0)));
  EXPECT_DOUBLE_EQ(kPi, length_arc(P(0, 2), P(2, 0), P(0, 0)));
  EXPECT_EQ(0.0, length_arc(P(1, 0), P(1, 0), P(0, 0)));
}

TEST(KelDirection, NorthCheckWrapsTheDifference)
{
  // Bearing of a->b is 0 (north); angles within a quarter turn pass.
  EXPECT_TRUE(check_north(0, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(1.5, P(0, 0), P(0, 1)));
  EXPECT_FALSE(check_north(kPi / 2, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(2 * kPi + 0.1, P(0, 0), P(0, 1)));
  EXPECT_TRUE(check_north(-3 * kPi / 4, P(0, 0), P(1, -1)));
  EXPECT_FALSE(check_north(std::nan(""), P(0, 0), P(0, 1)));
}

// --- Feet, sides and distances ------------------------------------------------

TEST(KelFeet, PerpendicularFootWithAxisSnapping)
{
  ExpectPoint(1, 1, get_vtpoint(P(0, 0), P(2, 2), P(0, 2)));
  ExpectPoint(0.000005, 7, get_vtpoint(P(0.000005, 0), P(0, 1), P(3, 7)));
  ExpectPoint(3, 0, get_vtpoint(P(0, 0), P(5, 0.000009), P(3, 7)));
}

TEST(KelFeet, ThreeSideTellsFootOrNearerEnd)
{
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
  const P a(0, 0);
  const P b(1, 0);
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

TEST(KelSides, XCross3ClassifiesTheLevelOfP)
{
  const double tol = 1e-5;
  int dir = 7;
  const P a(0, 0);
  const P b(0, 10);
  EXPECT_EQ(1, XCross3(a, b, P(-3, 5), dir, tol));
  EXPECT_EQ(1, dir);
  EXPECT_EQ(-1, XCross3(a, b, P(-3, 0.000009), dir, tol));
  EXPECT_EQ(-2, XCross3(a, b, P(-3, 9.999991), dir, tol));
  EXPECT_EQ(0, XCross3(a, b, P(-3, -1), dir, tol));
  EXPECT_EQ(0, XCross3(a, b, P(-3, 11), dir, tol));
  // Downward edge: the roles of the ends stay with a and b.
  EXPECT_EQ(1, XCross3(b, a, P(-3, 5), dir, tol));
  EXPECT_EQ(-1, dir);
  EXPECT_EQ(-1, XCross3(b, a, P(-3, 10), dir, tol));
  EXPECT_EQ(-2, XCross3(b, a, P(-3, 0), dir, tol));
  EXPECT_EQ(0, XCross3(b, a, P(-3, 12), dir, tol));
  // A level edge has no direction.
  EXPECT_EQ(0, XCross3(P(0, 1), P(5, 1.000009), P(0, 1), dir, tol));
  EXPECT_EQ(0, dir);
}

TEST(KelDistance, SegmentDistanceClampsToTheEnds)
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
}

TEST(KelDistance, ArcDistanceInsideTheWedgeAndAtTheEnds)
{
  const P c(0, 0);
  const P a(1, 0);
  const P b(0, 1);
  P foot;
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

  P a(0, 0);
  P b(3, 4);
  CalcMoveLine(a, b, 1.0);
  ExpectPoint(-0.8, 0.6, a);
  ExpectPoint(2.2, 4.6, b);

  P c(0, 0);
  P d(4, 0);
  CalcMoveLine(c, d, P(10, -2));
  ExpectPoint(0, -2, c);
  ExpectPoint(4, -2, d);
  P e(1, 1);
  P f(1, 5);
  CalcMoveLine(e, f, P(-3, 100));
  ExpectPoint(-3, 1, e);
  ExpectPoint(-3, 5, f);
}

// --- Crossings ------------------------------------------------------------------

TEST(KelCross, InfiniteLinesAndSegments)
{
  const auto hit = cross_line0(P(0, 0), P(1, 0), P(5, -1), P(5, -2));
  ASSERT_EQ(1u, hit.size());
  ExpectPoint(5, 0, hit[0]);
  EXPECT_TRUE(cross_line(P(0, 0), P(1, 0), P(5, -1), P(5, -2)).empty());
  EXPECT_EQ(1u, cross_line(P(0, 0), P(5, 0), P(5, -1), P(5, 1)).size());

  int flag = 0;
  EXPECT_TRUE(cross_line0(P(0, 0), P(1, 0), P(0, 1), P(1, 1.000001), &flag).empty());
  EXPECT_EQ(1, flag);

  // A degenerate b is its point when that lies on line a.
  const auto onLine = cross_line0(P(0, 0), P(1, 1), P(3, 3), P(3, 3));
  ASSERT_EQ(1u, onLine.size());
  ExpectPoint(3, 3, onLine[0]);
  EXPECT_TRUE(cross_line0(P(0, 0), P(1, 1), P(3, 4), P(3, 4)).empty());
}

TEST(KelCross, BearingLinesKeepOnlyPointsAhead)
{
  // Looking north from (0, 0) at the segment y = 5.
  const auto ahead = angle_line(P(-1, 5), P(1, 5), P(0, 0), 0);
  ASSERT_EQ(1u, ahead.size());
  ExpectPoint(0, 5, ahead[0], 1e-12);
  EXPECT_TRUE(angle_line(P(-1, -5), P(1, -5), P(0, 0), 0).empty());
  // Looking south (angle pi) the same segment below is ahead.
  EXPECT_EQ(1u, angle_line(P(-1, -5), P(1, -5), P(0, 0), kPi).size());
  EXPECT_EQ(1u, angle_line(P(-1, -5), P(1, -5), P(0, 0), -3 * kPi).size());
  // The infinite form keeps the point behind.
  EXPECT_EQ(1u, angle_line0(P(-1, -5), P(1, -5), P(0, 0), 0).size());
  // Off the segment.
  EXPECT_TRUE(angle_line(P(1, 5), P(2, 5), P(0, 0), 0).empty());
}

TEST(KelCross, CircleAndLine)
{
  const auto two = cross_circleline(5.0, P(0, 0), P(-10, 3), P(10, 3));
  ASSERT_EQ(2u, two.size());
  ExpectPoint(-4, 3, two[0]);
  ExpectPoint(4, 3, two[1]);
  // A nearly vertical line is taken as vertical through p.
  const auto vertical = cross_circleline(P(0, 5), P(0, 0), P(3, -10), P(3.000001, 10));
  ASSERT_EQ(2u, vertical.size());
  ExpectPoint(3, -4, vertical[0]);
  ExpectPoint(3, 4, vertical[1]);
  EXPECT_TRUE(cross_circleline(1.0, P(0, 0), P(-5, 2), P(5, 2)).empty());
  const auto tangent = cross_circleline(1.0, P(0, 0), P(-5, 1), P(5, 1));
  ASSERT_EQ(1u, tangent.size());
  ExpectPoint(0, 1, tangent[0]);
}

TEST(KelCross, TwoCircles)
{
  const auto touch = cross_circle(P(1, 0), P(0, 0), P(1, 0), P(2, 0));
  ASSERT_EQ(1u, touch.size());
  ExpectPoint(1, 0, touch[0]);
  const auto two = cross_circle(P(5, 0), P(0, 0), P(3, 0), P(8, 0));
  ASSERT_EQ(2u, two.size());
  ExpectPoint(4, 3, two[0], 1e-12);
  ExpectPoint(4, -3, two[1], 1e-12);
  EXPECT_TRUE(cross_circle(P(1, 0), P(0, 0), P(2, 0), P(0, 0)).empty());   // concentric
  EXPECT_TRUE(cross_circle(P(1, 0), P(0, 0), P(4, 0), P(3, 0)).empty());   // apart
  EXPECT_TRUE(cross_circle(P(5, 0), P(0, 0), P(1.5, 0), P(1, 0)).empty()); // inside
}

TEST(KelCross, ArcRangeBoxes)
{
  P lo;
  P hi;
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
}

TEST(KelCross, ArcAgainstSegmentAndLine)
{
  const P c(0, 0);
  // Upper half circle, counter-clockwise from (1, 0) to (-1, 0).
  const auto up = cross_arcline(P(1, 0), P(-1, 0), c, P(0, -2), P(0, 2));
  ASSERT_EQ(1u, up.size());
  ExpectPoint(0, 1, up[0]);
  // The lower half keeps the other crossing.
  const auto down = cross_arcline(P(-1, 0), P(1, 0), c, P(0, -2), P(0, 2));
  ASSERT_EQ(1u, down.size());
  ExpectPoint(0, -1, down[0]);
  // Three-quarter arc (range test through the complementary box).
  const auto left = cross_arcline(P(0, 1), P(1, 0), c, P(-2, 0.5), P(2, 0.5));
  ASSERT_EQ(1u, left.size());
  ExpectPoint(-std::sqrt(0.75), 0.5, left[0], 1e-12);
  EXPECT_TRUE(cross_arcline(P(0, 1), P(1, 0), c, P(0, 0.5), P(2, 0.5)).empty());
  // A crossing just outside the arc's box is kept by the end test alone.
  EXPECT_EQ(1u, cross_arcline(P(1, 0), P(0, 1), c, P(0.5, -0.0005), P(2, -0.0005)).size());
  EXPECT_TRUE(cross_arcline(P(1, 0), P(0, 1), c, P(0.5, -0.0015), P(2, -0.0015)).empty());
  // The segment must reach the circle.
  EXPECT_TRUE(cross_arcline(P(1, 0), P(-1, 0), c, P(0, 2), P(0, 3)).empty());
  // arc_line looks along a bearing through p, in both directions.
  EXPECT_EQ(1u, arc_line(P(1, 0), P(-1, 0), c, P(0, -5), 0).size());
}

TEST(KelCross, TwoArcs)
{
  // Upper unit half circle about (0,0) and about (1,0) meet at (0.5, 0.866).
  const auto both = cross_arc(P(1, 0), P(-1, 0), P(0, 0), P(2, 0), P(0, 0), P(1, 0));
  ASSERT_EQ(1u, both.size());
  ExpectPoint(0.5, std::sqrt(3.0) / 2, both[0], 1e-12);
  // The lower half of the second circle misses the first arc.
  EXPECT_TRUE(cross_arc(P(1, 0), P(-1, 0), P(0, 0), P(0, 0), P(2, 0), P(1, 0)).empty());
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

TEST(KelCross, ArcPairWithTwoCrossingsCountsAsNone)
{
  P out(7, 7);
  // The upper unit half circle about (0,0) and the upper half of radius 1.2
  // about (0,-0.5) meet twice, at (+-0.98, 0.19).
  const P c1(0, 0);
  const P c2(0, -0.5);
  const double r2 = 1.2;
  const P s2(c2.m_x + r2, c2.m_y);
  const P e2(c2.m_x - r2, c2.m_y);
  const auto crossings = cross_arc(P(1, 0), P(-1, 0), c1, s2, e2, c2);
  ASSERT_EQ(2u, crossings.size());
  EXPECT_FALSE(calc_cross_cline(11, P(1, 0), P(-1, 0), c1, 11, s2, e2, c2, &out));
  ExpectPoint(7, 7, out);
}

// --- Planes ---------------------------------------------------------------------

TEST(KelPlane, MeetingLineOfTwoPlanes)
{
  CKelCoord3D p;
  CKelCoord3D q;
  // z = 2 and x = 1 meet in the line x = 1, z = 2 along y.
  ASSERT_TRUE(LineEquatinFromPlanes(0, 0, 1, -2, 1, 0, 0, -1, &p, &q));
  EXPECT_EQ(1.0, p.m_x);
  EXPECT_EQ(0.0, p.m_y);
  EXPECT_EQ(2.0, p.m_z);
  // n1 x n2 = (0,0,1) x (1,0,0) = (0,1,0).
  EXPECT_EQ(1.0, q.m_x);
  EXPECT_EQ(100.0, q.m_y);
  EXPECT_EQ(2.0, q.m_z);
  // A tilted pair: every output lies on both planes.
  ASSERT_TRUE(LineEquatinFromPlanes(1, 2, 3, -4, -2, 1, 0.5, 3, &p, &q));
  for (const CKelCoord3D& v : {p, q}) {
    EXPECT_NEAR(0, v.m_x + 2 * v.m_y + 3 * v.m_z - 4, 1e-9);
    EXPECT_NEAR(0, -2 * v.m_x + v.m_y + 0.5 * v.m_z + 3, 1e-9);
  }
}

TEST(KelPlane, ParallelOrHopelessPlanesReportFalse)
{
  CKelCoord3D p(5, 5, 5);
  CKelCoord3D q(6, 6, 6);
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

TEST(KelPlane, PlaneThroughThreePoints)
{
  const CKelCoord3D square[3] = {{0, 0, 2}, {1, 0, 2}, {1, 1, 2}};
  double a = 9, b = 9, c = 9, d = 9;
  ASSERT_TRUE(V3SetPlane(square, &a, &b, &c, &d));
  EXPECT_EQ(0.0, a);
  EXPECT_EQ(0.0, b);
  EXPECT_EQ(1.0, c);
  EXPECT_EQ(-2.0, d);
  const CKelCoord3D line[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
  EXPECT_FALSE(V3SetPlane(line, &a, &b, &c, &d));
  EXPECT_EQ(0.0, a);
  EXPECT_EQ(0.0, d);
}

TEST(KelPlane, ReferenceLineCrossing)
{
  SetCPlane(0, 0, 2, 2);  // y = x
  double x = 0;
  double y = 0;
  ASSERT_TRUE(CPlane(0, 4, 4, 0, &x, &y));  // x + y = 4
  EXPECT_DOUBLE_EQ(2.0, x);
  EXPECT_DOUBLE_EQ(2.0, y);
  ASSERT_TRUE(CPlane(3, -10, 3, 10, &x, &y));
  EXPECT_DOUBLE_EQ(3.0, x);
  EXPECT_DOUBLE_EQ(3.0, y);
  EXPECT_FALSE(CPlane(1, 0, 3, 2, &x, &y));
  EXPECT_EQ(1.0, x);
  EXPECT_EQ(0.0, y);
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
  ASSERT_EQ(2u, out1.size());
  ASSERT_EQ(2u, out2.size());
  ExpectPoint(0, 2, out1[0]);
  ExpectPoint(2, 0, out1[1]);
  ExpectPoint(2, 0, out2[0]);
  ExpectPoint(4, -2, out2[1]);
  // From below to above: the first piece goes to out2.
  EXPECT_TRUE(DivideLine({P(4, -2), P(0, 2)}, o, 1, 0, &out1, &out2));
  ExpectPoint(4, -2, out2[0]);
  ExpectPoint(2, 0, out1[0]);
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
  double x = 9;
  double y = 9;
  EXPECT_EQ(1, CalCrossPoint(0, 0, 1, 0, 2, -1, 2, 1, &x, &y));
  EXPECT_EQ(2.0, x);
  EXPECT_EQ(0.0, y);
  EXPECT_EQ(2, CalCrossPoint(0, 0, 1, 0, 2, 0, 2, 1, &x, &y));
  EXPECT_EQ(2.0, x);
  EXPECT_EQ(0.0, y);
  EXPECT_EQ(4, CalCrossPoint(0, 0, 1, 0, 2, 1, 2, 0.000009, &x, &y));
  EXPECT_EQ(0.000009, y);
  EXPECT_EQ(0, CalCrossPoint(0, 0, 1, 0, 2, 1, 2, 3, &x, &y));
  EXPECT_EQ(2.0, x);  // the point is still written
  EXPECT_EQ(0, CalCrossPoint(0, 0, 1, 0, 2, 1, 3, 1, &x, &y));
  EXPECT_EQ(0.0, x);
  EXPECT_EQ(0.0, y);
  // A steep line a is evaluated along y.
  EXPECT_EQ(1, CalCrossPoint(0, 0, 0, 1, -1, 5, 1, 5, &x, &y));
  EXPECT_EQ(0.0, x);
  EXPECT_EQ(5.0, y);
}

TEST(KelNumeric, SinglePrecisionCrossings)
{
  float x = 9;
  float y = 9;
  EXPECT_EQ(0, CalCrossPoint2(0, 0, 1, 1, 0, 1, 1, 2, &x, &y));
  EXPECT_EQ(9.0f, x);
  EXPECT_EQ(1, CalCrossPoint2(0, 0, 1, 1, 0, 2, 2, 0, &x, &y));
  EXPECT_EQ(1.0f, x);
  EXPECT_EQ(1.0f, y);
  // The line crossing lies outside segment a: written, but false.
  EXPECT_FALSE(CalCrossPoint4(0.0f, 0.0f, 1.0f, 0.0f, 2.0f, -1.0f, 2.0f, 1.0f, &x, &y));
  EXPECT_EQ(2.0f, x);
  EXPECT_TRUE(CalCrossPoint4(0.0f, 0.0f, 4.0f, 0.0f, 2.0f, -1.0f, 2.0f, 1.0f, &x, &y));
  double dx = 0;
  double dy = 0;
  EXPECT_TRUE(CalCrossPoint4(0.0, 0.0, 2.0, 0.0, 2.0, -1.0, 2.0, 1.0, &dx, &dy));
  // The strict form rejects a crossing at an end that the inclusive one accepts.
  EXPECT_FALSE(CalCrossPoint5(0, 0, 2, 0, 2, -1, 2, 1, &x, &y));
  EXPECT_TRUE(CalCrossPoint5(0, 0, 4, 0, 2, -1, 2, 1, &x, &y));

  XY_FPAIR a1{0, 0}, a2{2, 2}, b1{0, 2}, b2{2, 0}, out{9, 9};
  EXPECT_EQ(1, CalCrossPoint10(&a1, &a2, &b1, &b2, &out));
  EXPECT_EQ(1.0f, out.x);
  EXPECT_EQ(1.0f, out.y);
  XY_FPAIR c1{0, 1}, c2{2, 3};
  EXPECT_EQ(0, CalCrossPoint10(&a1, &a2, &c1, &c2, &out));
}

TEST(KelNumeric, DoubleCrossPoint10UsesTheDirectionsAngle)
{
  CKelCoord2D out(9, 9);
  ASSERT_TRUE(CalCrossPoint10(P(0, 0), P(2, 0), P(5, -1), P(5, 1), &out));
  ExpectPoint(5, 0, out);
  // Short edges of a few millimetres still cross.
  ASSERT_TRUE(CalCrossPoint10(P(0, 0), P(0.003, 0), P(1, 0), P(1, 0.003), &out));
  ExpectPoint(1, 0, out);
  out = P(9, 9);
  EXPECT_FALSE(CalCrossPoint10(P(0, 0), P(1, 0), P(0, 1), P(1000, 1.02), &out));
  EXPECT_FALSE(CalCrossPoint10(P(0, 0), P(0, 0), P(0, 1), P(1, 1), &out));
  ExpectPoint(9, 9, out);
}

// --- On-segment tests ---------------------------------------------------------------

TEST(KelOnLine, DominantAxisTests)
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
}

TEST(KelOnLine, ToleranceBandsOfTheNamedTests)
{
  // CheckOnLine4: ends within 1e-5, or the band around the segment.
  EXPECT_TRUE(CheckOnLine4(0, 0, 1, 0, 1.000009f, 0.000009f));
  EXPECT_TRUE(CheckOnLine4(0, 0, 1, 0, 0.5f, -0.000009f));
  EXPECT_FALSE(CheckOnLine4(0, 0, 1, 0, 0.5f, 0.00002f));
  EXPECT_FALSE(CheckOnLine4(0, 0, 1, 0, 1.00002f, 0));

  const PNT3D a{0, 0, 0};
  const PNT3D b{1, 0, 0};
  const PNT3D nearA{0.0009f, -0.0009f, 5};
  const PNT3D nearB{1.0009f, 0, 0};
  const PNT3D middle{0.5f, 0, 0};
  EXPECT_EQ(1, CheckOnLine5(&a, &b, &nearA));
  EXPECT_EQ(2, CheckOnLine5(&a, &b, &nearB));
  EXPECT_EQ(0, CheckOnLine5(&a, &b, &middle));

  EXPECT_TRUE(CheckOnLine6(P(0, 0), P(1, 0), P(1.000009, 5)));
  EXPECT_FALSE(CheckOnLine6(P(0, 0), P(1, 0), P(1.00002, 0)));

  const float onWide[2] = {0.5f, 0.0014f};
  const float offWide[2] = {0.5f, 0.0016f};
  const float beyond[2] = {1.01f, 0};
  EXPECT_TRUE(CheckOnLine10(&a, &b, onWide));
  EXPECT_FALSE(CheckOnLine10(&a, &b, offWide));
  EXPECT_FALSE(CheckOnLine10(&a, &b, beyond));
}

TEST(KelOnLine, CheckOnLine7InterpolatesTheHeightAndIsStrict)
{
  CKelCoord3D p(2, 0, 99);
  EXPECT_TRUE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(4, 1, 20), p));
  EXPECT_EQ(15.0, p.m_z);
  CKelCoord3D end(4.000005, 1, 0);
  EXPECT_FALSE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(4, 1, 20), end));
  CKelCoord3D flat(0, 0, 99);
  EXPECT_FALSE(CheckOnLine7(CKelCoord3D(0, 0, 10), CKelCoord3D(0, 0, 20), flat));
  EXPECT_EQ(10.0, flat.m_z);
}
