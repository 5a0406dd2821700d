#include "CKelCoord3DCrsPntArray.h"

#include "CKelArc.h"
#include "KelGeometry.h"
#include "KelTestSupport.h"
#include "KelTolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using kel_test::Archived;
using kel_test::ByteBuilder;
using kel_test::Bytes;
using kel_test::LoadRecord;
using kel_test::SavedRecord;
using kel_test::Unarchive;

namespace {

constexpr double kPi = KelAngle::Pi;
using Pnt = CKelCoord3DCrsPnt;
constexpr Pnt::TYPE kCcw = Pnt::TYPE_CCW;
constexpr Pnt::TYPE kCw = Pnt::TYPE_CW;

struct Entry {
  double x;
  double y;
  Pnt::TYPE type = Pnt::TYPE_POINT;
};

CKelCoord3DCrsPntArray Outline(std::initializer_list<Entry> entries)
{
  CKelCoord3DCrsPntArray list;
  for (const Entry& e : entries)
    list.push_back(Pnt(CKelCoord3D(e.x, e.y, 0), e.type));
  return list;
}

CKelCoord3DCrsPntArray Reversed(CKelCoord3DCrsPntArray list)
{
  list.Reverse();
  return list;
}

// The quarter disc of radius 1 in the first quadrant, counter-clockwise.
CKelCoord3DCrsPntArray QuarterDisc()
{
  return Outline({{0, 0}, {1, 0}, {0, 0, kCcw}, {0, 1}, {0, 0}});
}

// The unit disc as two half arcs.
CKelCoord3DCrsPntArray DiscOfTwoHalves()
{
  return Outline({{1, 0}, {0, 0, kCcw}, {-1, 0}, {0, 0, kCcw}, {1, 0}});
}

// Three quarters of the unit disc: the straight part runs through the centre.
CKelCoord3DCrsPntArray Pacman()
{
  return Outline({{0, 0}, {0, 1}, {0, 0, kCcw}, {1, 0}, {0, 0}});
}

CKelCoord3DCrsPntArray HalfDisc()
{
  return Outline({{1, 0}, {0, 0, kCcw}, {-1, 0}, {1, 0}});
}

// A 3 x 3 square whose corners are rounded with radius 1: each edge runs
// tangentially into its corner arc.
CKelCoord3DCrsPntArray RoundedRectangle()
{
  return Outline({{1, 0}, {3, 0}, {3, 1, kCcw}, {4, 1}, {4, 2}, {3, 2, kCcw}, {3, 3}, {1, 3}, {1, 2, kCcw},
                  {0, 2}, {0, 1}, {1, 1, kCcw}, {1, 0}});
}

void ExpectPoint(double x, double y, const CKelCoord3DCrsPnt& p, Pnt::TYPE type = Pnt::TYPE_POINT)
{
  kel_test::ExpectXY(x, y, p, 1e-9);
  EXPECT_EQ(type, p.m_Type);
}

void ExpectOutline(const CKelCoord3DCrsPntArray& list, std::initializer_list<Entry> expected)
{
  ASSERT_EQ(expected.size(), list.size());
  const Entry* e = expected.begin();
  for (const Pnt& p : list) {
    SCOPED_TRACE(testing::Message() << "entry " << (e - expected.begin()));
    ExpectPoint(e->x, e->y, p, e->type);
    ++e;
  }
}

}  // namespace

// --- Points and list editing ---------------------------------------------------

TEST(CKelCoord3DCrsPntTest, CompareRequiresTheSameType)
{
  const Pnt a(CKelCoord3D(0, 2, 3), Pnt::TYPE_POINT);
  EXPECT_TRUE(a == Pnt(CKelCoord3D(2.49e-5, 2, 3)));
  EXPECT_TRUE(a != Pnt(CKelCoord3D(2.5e-5, 2, 3)));
  EXPECT_TRUE(a != Pnt(CKelCoord3D(0, 2, 3), kCcw));
  EXPECT_TRUE(a.IsNearlyEqual(Pnt(CKelCoord3D(0.0005, 2, 3))));
  EXPECT_FALSE(a.IsNearlyEqual(Pnt(CKelCoord3D(0.00051, 2, 3))));
  EXPECT_FALSE(a.IsNearlyEqual(Pnt(CKelCoord3D(0, 2, 3), kCw)));

  EXPECT_TRUE(CKelCoord3DCrsPntArray() == CKelCoord3DCrsPntArray());
  EXPECT_TRUE(QuarterDisc() != Outline({{0, 0}, {1, 0}, {0, 0, kCw}, {0, 1}, {0, 0}}));
  EXPECT_TRUE(QuarterDisc() != Outline({{0, 0}, {1, 0}}));
}

TEST(CKelCoord3DCrsPntArrayTest, EditingKeepsOrTagsTypes)
{
  CKelCoord3DCrsPntArray list = Outline({{0, 0}, {2, 0}});
  list.InsertPoint(0, CKelCoord3D(1, 0, 0));  // after point 0
  list.InsertCenter(1, CKelCoord3D(1, 1, 0));
  list.AddCenter(CKelCoord3D(5, 5, 0));
  list.Append(CKelCoord3D(6, 6, 0));
  ExpectOutline(list, {{0, 0}, {1, 0}, {1, 1, kCcw}, {2, 0}, {5, 5, kCcw}, {6, 6}});
  EXPECT_TRUE(list.IsCenter(2));
  EXPECT_FALSE(list.IsCenter(3));
  list.MovePoint(2, CKelCoord3D(7, 8, 9));                  // the TYPE stays
  list.MoveBlock(CKelCoord2D(1, 1), CKelCoord3D(0, 3, 4));  // by (1, -2), centres too
  ExpectOutline(list, {{1, -2}, {2, -2}, {8, 6, kCcw}, {3, -2}, {6, 3, kCcw}, {7, 4}});
  EXPECT_EQ(9.0, list.GetCoord3D(2).m_z);

  list.DeletePoint(0);
  EXPECT_EQ(5, list.GetSize());
  EXPECT_EQ(0, list.GetNextNo(4));
  EXPECT_EQ(3, list.GetNextNo(3));
  EXPECT_DEATH(list.SwapCoord(0, 1), "false");
  EXPECT_DEATH(list.GetCoord3D(5), "index");

  CKelCoord3DCrsPntArrayArray contours;
  const CKelCoord3DCrsPntArray outer = QuarterDisc();
  contours.AddElement(&outer);
  contours.AddElement(&outer);
  EXPECT_EQ(5, contours.GetElement(1)->GetSize());
  contours.Erase(0);
  EXPECT_EQ(1, contours.GetSize());
  EXPECT_TRUE(contours[0] == outer);
}

// --- Area --------------------------------------------------------------------------

TEST(CKelCoord3DCrsPntArrayTest, AreaOfOutlinesWithArcs)
{
  const double a = kPi - 1e-7;
  const struct {
    CKelCoord3DCrsPntArray outline;
    double area, tol;
    const char* what;
  } rows[] = {
      {QuarterDisc(), kPi / 4, 1e-12, "quarter disc"},
      {Reversed(QuarterDisc()), -kPi / 4, 1e-12, "reversed quarter disc"},
      {Pacman(), 3 * kPi / 4, 1e-12, "three quarters"},
      {Reversed(Pacman()), -3 * kPi / 4, 1e-12, "three quarters reversed"},
      // The 2 x 2 square whose top edge bows inwards as a clockwise quarter
      // arc of radius sqrt(2): its segment (pi/2 - 1) is cut away.
      {Outline({{0, 0}, {2, 0}, {2, 2}, {1, 3, kCw}, {0, 2}, {0, 0}}), 4 - (kPi / 2 - 1), 1e-12, "inward arc"},
      // A half circle stays among the segments; it must still count half a disc.
      {HalfDisc(), kPi / 2, 1e-12, "half disc"},
      {DiscOfTwoHalves(), kPi, 1e-12, "disc of two halves"},
      {Reversed(DiscOfTwoHalves()), -kPi, 1e-12, "reversed disc"},
      {Outline({{0, 0}, {2, 0}, {2, 2}, {1, 2, kCw}, {0, 2}, {0, 0}}), 4 - kPi / 2, 1e-12, "half-circle notch"},
      // Just inside a half circle the ordinary segment rule applies and agrees.
      {Outline({{1, 0}, {0, 0, kCcw}, {std::cos(a), std::sin(a)}, {1, 0}}), kPi / 2, 1e-6, "almost half"},
      {RoundedRectangle(), 12 - 4 + kPi, 1e-12, "rounded rectangle"},
      // A trailing centre has no end; it is stepped over, not read past the end.
      {Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0, kCcw}}), 0.5, 1e-12, "trailing centre"},
  };
  for (const auto& r : rows)
    EXPECT_NEAR(r.area, r.outline.GetArea(), r.tol) << r.what;
}

TEST(CKelCoord3DCrsPntArrayTest, SeparationIntoPolygonAndArcPiecesAndReverse)
{
  CKelAreaCoord2D poly;
  CKelAreaCoord2DArray a1, a2, a3, a4;
  QuarterDisc().SeparateToPolygonAndArc(poly, a1, a2, a3, a4);
  ASSERT_EQ(3u, poly.m_pt.size());  // (1,0), (0,1), (0,0): walked from the second point
  EXPECT_NEAR(0.5, poly.m_area, 1e-12);
  EXPECT_EQ(0.0, poly.m_xmin);
  EXPECT_EQ(1.0, poly.m_ymax);
  EXPECT_TRUE(a1.empty() && a2.empty() && a3.empty());
  ASSERT_EQ(1u, a4.size());
  EXPECT_EQ(0.0, a4[0].m_area);  // pieces carry no area of their own
  EXPECT_NEAR(kPi / 4 - 0.5, a4[0].GetArcCenterArea(), 1e-12);
  // The outputs are appended to, never cleared.
  QuarterDisc().SeparateToPolygonAndArc(poly, a1, a2, a3, a4);
  EXPECT_EQ(2u, a4.size());
  EXPECT_EQ(6u, poly.m_pt.size());

  // Arcs beyond a half circle count as sectors; the straight part of three
  // quarters of a disc has zero area, so its vertices are removed.
  CKelAreaCoord2D empty;
  CKelAreaCoord2DArray b1, b2, b3, b4;
  Pacman().SeparateToPolygonAndArc(empty, b1, b2, b3, b4);
  EXPECT_TRUE(empty.m_pt.empty());
  EXPECT_TRUE(b1.empty() && b2.empty() && b4.empty());
  EXPECT_EQ(1u, b3.size());
  // Read clockwise the arc is a clockwise one beyond a half circle.
  CKelAreaCoord2DArray c1, c2, c3, c4;
  Reversed(Pacman()).SeparateToPolygonAndArc(empty, c1, c2, c3, c4);
  EXPECT_EQ(1u, c1.size());
  EXPECT_TRUE(c2.empty() && c3.empty() && c4.empty());

  // Reverse keeps each arc, its centre turning clockwise.
  ExpectOutline(Reversed(Outline({{1, 0}, {0, 0, kCcw}, {0, 1}})), {{0, 1}, {0, 0, kCw}, {1, 0}});
}

// --- Flattening ---------------------------------------------------------------------

TEST(CKelCoord3DCrsPntArrayTest, FlatteningStepCountsAndTheirBounds)
{
  for (const Pnt::TYPE type : {kCcw, kCw}) {
    SCOPED_TRACE(type);
    CKelCoord3DCrsPntArray arc = type == kCcw ? Outline({{1, 0}, {0, 0, kCcw}, {0, 1}})
                                              : Outline({{0, 1}, {0, 0, kCw}, {1, 0}});
    EXPECT_TRUE(arc.ArcToPolyline(1000.0));
    // At least eight divisions: the start and eight points, the one made at
    // the end replacing it.
    ASSERT_EQ(9, arc.GetSize());
    for (const Pnt& p : arc) {
      EXPECT_EQ(Pnt::TYPE_POINT, p.m_Type);
      EXPECT_NEAR(1.0, std::hypot(p.m_x, p.m_y), 1e-12);
    }
    ExpectPoint(type == kCcw ? 0 : 1, type == kCcw ? 1 : 0, arc.back());
  }

  CKelCoord3DCrsPntArray arc = Outline({{1, 0}, {0, 0, kCcw}, {0, 1}});
  const CKelCoord3DCrsPntArray before = arc;
  EXPECT_FALSE(arc.ArcToPolyline(0.0));
  EXPECT_FALSE(arc.ArcToPolyline(std::nan("")));
  EXPECT_TRUE(arc == before);
  EXPECT_TRUE(arc.ArcToPolyline(0.1));  // trunc(pi/2 / 0.1) = 15 divisions
  EXPECT_EQ(16, arc.GetSize());

  // A step far below the arc's size is capped instead of exhausting memory
  // (the radius keeps the capped points farther apart than 0.0005).
  CKelCoord3DCrsPntArray tiny = Outline({{1e6, 0}, {0, 0, kCcw}, {0, 1e6}});
  EXPECT_TRUE(tiny.ArcToPolyline(1e-300));
  EXPECT_EQ(65537, tiny.GetSize());
  ExpectPoint(0, 1e6, tiny.back());

  // The polygon form flattens at an eighth of pi: (0,0), (1,0), three inner
  // points, (0,1), and the repeated (0,0).
  bool ok = false;
  const CKelAreaCoord2D poly = QuarterDisc().ArcToPolyline(&ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(7u, poly.m_pt.size());
  EXPECT_NEAR(std::cos(kPi / 8), poly.m_pt[2].m_x, 1e-12);
  EXPECT_NEAR(std::sin(kPi / 8), poly.m_pt[2].m_y, 1e-12);
  EXPECT_NEAR(2 * std::sin(kPi / 8), poly.Area(), 1e-12);  // four triangles of the fan
}

TEST(CKelCoord3DCrsPntArrayTest, ArcWithoutSweepOrEndIsReportedNotAsserted)
{
  // Start and end coincide: no sweep to divide.
  CKelCoord3DCrsPntArray loop = Outline({{0, 0}, {1, 0}, {0, 0, kCcw}, {1, 0}, {0, 0}});
  EXPECT_FALSE(loop.ArcToPolyline(0.1));
  ASSERT_EQ(4, loop.GetSize());  // the centre is gone, its end is a plain point
  for (const Pnt& p : loop)
    EXPECT_EQ(Pnt::TYPE_POINT, p.m_Type);
  bool ok = true;
  const CKelAreaCoord2D poly = Outline({{0, 0}, {1, 0}, {0, 0, kCw}, {1, 0}, {0, 0}}).ArcToPolyline(&ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(4u, poly.m_pt.size());

  // A trailing centre makes no arc.
  const CKelCoord3DCrsPntArray open = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0, kCcw}});
  CKelCoord3DCrsPntArray flat = open;
  EXPECT_FALSE(flat.ArcToPolyline(0.1));
  EXPECT_EQ(4, flat.GetSize());
  EXPECT_FALSE(open.IsOnline(CKelCoord2D(5, 5)));
  EXPECT_TRUE(open.Offset(1).empty());
}

// --- Points on the outline and direction -----------------------------------------------

TEST(CKelCoord3DCrsPntArrayTest, OnlineTestsOnlyStraightEdges)
{
  const CKelCoord3DCrsPntArray disc = QuarterDisc();
  EXPECT_TRUE(disc.IsOnline(CKelCoord2D(0.5, 1e-5)));
  EXPECT_FALSE(disc.IsOnline(CKelCoord2D(0.5, 1.1e-5)));
  EXPECT_TRUE(disc.IsOnline(CKelCoord2D(-1e-5, 0.5)));
  EXPECT_TRUE(disc.IsOnline(CKelCoord2D(1 + 0.9e-5, 0)));
  EXPECT_FALSE(disc.IsOnline(CKelCoord2D(1 + 1.1e-5, 0)));
  EXPECT_FALSE(disc.IsOnline(CKelCoord2D(std::sqrt(0.5), std::sqrt(0.5))));  // on the arc
  EXPECT_FALSE(Outline({{0, 0}}).IsOnline(CKelCoord2D(0, 0)));

  // A zero-length edge is its single point, not a NaN that matches nothing.
  const CKelCoord3DCrsPntArray doubled = Outline({{0, 0}, {0, 0}, {1, 0}});
  EXPECT_TRUE(doubled.IsOnline(CKelCoord2D(0, 5e-6)));
  EXPECT_FALSE(doubled.IsOnline(CKelCoord2D(-1, 0.5)));
}

// A disc of two halves has no straight part at all, and the chords of a thin
// lens enclose nothing: only sampling the arcs and keeping their ends can see
// which way such outlines run.
TEST(CKelCoord3DCrsPntArrayTest, DirectionSamplesArcsAndKeepsTheirEnds)
{
  const CKelCoord3DCrsPntArray lens = Outline({{-1, 0}, {0, 10, kCcw}, {1, 0}, {0, -10, kCcw}, {-1, 0}});
  for (const CKelCoord3DCrsPntArray& ccw : {QuarterDisc(), DiscOfTwoHalves(), HalfDisc(), lens}) {
    SCOPED_TRACE(ccw.GetSize());
    EXPECT_TRUE(ccw.GetDirection());
    EXPECT_FALSE(Reversed(ccw).GetDirection());
  }
  EXPECT_TRUE(Outline({{0, 0}, {1, 0}}).GetDirection());
}

// --- Crossings and offset ------------------------------------------------------------

TEST(CKelCoord3DCrsPntArrayTest, ArcCrossingsNearestTheBeginOfTheArc)
{
  const CKelArc right(CKelCoord3D(1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 0), true);
  CKelCoord2D out(9, 9);
  EXPECT_TRUE(CKelCoord3DCrsPntArray::CalcCrossArcLine(right, CKelCoord2D(-5, 0.5), CKelCoord2D(5, 0.5), &out));
  kel_test::ExpectXY(std::sqrt(0.75), 0.5, out);
  const CKelArc left(CKelCoord3D(-1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 0), false);
  EXPECT_TRUE(CKelCoord3DCrsPntArray::CalcCrossArcLine(left, CKelCoord2D(-5, 0.5), CKelCoord2D(5, 0.5), &out));
  kel_test::ExpectXY(-std::sqrt(0.75), 0.5, out);
  // The full circle counts: a crossing outside the arc's sweep is taken too.
  EXPECT_TRUE(CKelCoord3DCrsPntArray::CalcCrossArcLine(right, CKelCoord2D(-5, -0.5), CKelCoord2D(5, -0.5), &out));
  kel_test::ExpectXY(std::sqrt(0.75), -0.5, out);

  out = CKelCoord2D(9, 9);
  EXPECT_FALSE(CKelCoord3DCrsPntArray::CalcCrossArcLine(right, CKelCoord2D(-5, 2), CKelCoord2D(5, 2), &out));
  EXPECT_EQ(9.0, out.m_x);  // untouched

  // Arc against arc: the crossing nearest the second arc's begin.
  const CKelArc a(CKelCoord3D(1, 0, 0), CKelCoord3D(0, 1, 0), CKelCoord3D(0, 0, 0), true);
  const CKelArc below(CKelCoord3D(1, -1, 0), CKelCoord3D(2, 0, 0), CKelCoord3D(1, 0, 0), true);
  EXPECT_TRUE(CKelCoord3DCrsPntArray::CalcCrossArcArc(a, below, &out));
  kel_test::ExpectXY(0.5, -std::sqrt(0.75), out);

  // Begin at angle 0 about (1, 0): both crossings lie 120 degrees away; the
  // tie goes to the second crossing of the circles.
  const CKelArc level(CKelCoord3D(2, 0, 0), CKelCoord3D(1, 1, 0), CKelCoord3D(1, 0, 0), true);
  const std::vector<CKelCoord2D> both =
      cross_circle(CKelCoord2D(1, 0), CKelCoord2D(0, 0), CKelCoord2D(2, 0), CKelCoord2D(1, 0));
  ASSERT_EQ(2u, both.size());
  EXPECT_TRUE(CKelCoord3DCrsPntArray::CalcCrossArcArc(a, level, &out));
  EXPECT_TRUE(out == both[1]);

  const CKelArc far(CKelCoord3D(6, 0, 0), CKelCoord3D(5, 1, 0), CKelCoord3D(5, 0, 0), true);
  EXPECT_FALSE(CKelCoord3DCrsPntArray::CalcCrossArcArc(a, far, &out));
}

TEST(CKelCoord3DCrsPntArrayTest, OffsetMovesEdgesAndArcsOutwardOfACounterClockwiseOutline)
{
  const CKelCoord3DCrsPntArray square = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
  ExpectOutline(square.Offset(1), {{-1, -1}, {2, -1}, {2, 2}, {-1, 2}, {-1, -1}});
  EXPECT_NEAR(9.0, square.Offset(1).GetArea(), 1e-12);
  EXPECT_NEAR(0.25, square.Offset(-0.25).GetArea(), 1e-12);
  EXPECT_EQ(5, square.GetSize());  // the outline itself is unchanged

  const double s = std::sqrt(2.0);
  ExpectOutline(QuarterDisc().Offset(0.5), {{-0.5, -0.5}, {s, -0.5}, {0, 0, kCcw}, {-0.5, s}, {-0.5, -0.5}});
}

TEST(CKelCoord3DCrsPntArrayTest, OffsetTakesTheCrossingNearestTheCornerAndCarriesOnThroughSmoothOnes)
{
  // A 240 degree sector from 90 to -30 degrees. Its last edge's moved line
  // cuts the grown circle at -30 + 19.47 and at 150 - 19.47 degrees; the
  // corner is the one next to where the arc ends, although the other lies
  // nearer to where the arc begins.
  const double end = -kPi / 6;
  const CKelCoord3DCrsPntArray sector =
      Outline({{0, 0}, {0, 1}, {0, 0, kCcw}, {std::cos(end), std::sin(end)}, {0, 0}});
  const CKelCoord3DCrsPntArray grown = sector.Offset(0.5);
  ASSERT_EQ(5, grown.GetSize());
  ExpectPoint(0.5, std::sqrt(2.0), grown[1]);
  const double corner = end + std::asin(1.0 / 3.0);
  ExpectPoint(1.5 * std::cos(corner), 1.5 * std::sin(corner), grown[3]);

  // A straight vertex in the middle of an edge: its moved edges coincide.
  const CKelCoord3DCrsPntArray extra = Outline({{0, 0}, {0.5, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}).Offset(1);
  ASSERT_EQ(6, extra.GetSize());
  ExpectPoint(0.5, -1, extra[1]);
  EXPECT_NEAR(9.0, extra.GetArea(), 1e-12);

  // Two half arcs of one circle: concentric moved circles never cross.
  const CKelCoord3DCrsPntArray disc = DiscOfTwoHalves().Offset(0.5);
  ASSERT_EQ(5, disc.GetSize());
  ExpectPoint(1.5, 0, disc[0]);
  ExpectPoint(-1.5, 0, disc[2]);
  EXPECT_NEAR(2.25 * kPi, disc.GetArea(), 1e-9);

  const CKelCoord3DCrsPntArray rounded = RoundedRectangle().Offset(0.5);
  ASSERT_EQ(RoundedRectangle().GetSize(), rounded.GetSize());
  ExpectPoint(1, -0.5, rounded[0]);
  ExpectPoint(3, -0.5, rounded[1]);
  ExpectPoint(4.5, 1, rounded[3]);
  // 3 x 3 of straight bands plus arcs of radius 1.5 in the corners.
  EXPECT_NEAR(5 * 4 - 4 * 1.5 * 1.5 + 2.25 * kPi, rounded.GetArea(), 1e-9);

  // Without a corner crossing the offset is empty: a spike's two moved edges
  // are parallel, and a centre may stand where a corner must.
  EXPECT_TRUE(Outline({{0, 0}, {1, 0}, {0, 0}}).Offset(0.1).empty());
  EXPECT_TRUE(Outline({{0, 0}, {1, 0}}).Offset(0.1).empty());
  EXPECT_TRUE(Outline({{0, 0, kCcw}, {1, 0}, {1, 1}, {0, 0, kCcw}}).Offset(0.1).empty());
}

// --- Persistence -----------------------------------------------------------------------

TEST(CKelCoord3DCrsPntTest, ArchiveAndRecordFormsAndRefusedTypes)
{
  const Pnt p(CKelCoord3D(1, 2, 3), kCw);
  const Bytes v2 = ByteBuilder().Text("CKelCoord3DCrsPnt").I32(2).Coord3D(1, 2, 3).bytes;
  EXPECT_EQ(v2, Archived(p, 2));
  EXPECT_EQ(ByteBuilder().I32(2).F64s({3, 1, 2}).bytes, Archived(p, 1));
  Pnt back;
  EXPECT_TRUE(Unarchive(back, v2, 2));
  EXPECT_TRUE(back == p);
  // A TYPE outside 0..2 is refused, and nothing after it is read.
  Pnt refused;
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CKelCoord3DCrsPnt").I32(3).Coord3D(1, 2, 3).bytes, 2));
  EXPECT_EQ(Pnt::TYPE_POINT, refused.m_Type);
  EXPECT_EQ(0.0, refused.m_x);

  // The record is the coordinates, then the TYPE.
  const Pnt q(CKelCoord3D(1, 2, 3), kCcw);
  const Bytes golden = ByteBuilder().F64s({1, 2, 3}).I32(1).bytes;
  ASSERT_EQ(golden, SavedRecord(q));
  int left = -1;
  EXPECT_TRUE(LoadRecord(back, golden, 28, &left));
  EXPECT_EQ(0, left);
  EXPECT_TRUE(back == q);
  // Budget 24: x, y and z are read, the TYPE is not.
  Pnt partial(CKelCoord3D(9, 9, 9), kCw);
  EXPECT_FALSE(LoadRecord(partial, golden, 24));
  EXPECT_EQ(3.0, partial.m_z);
  EXPECT_EQ(kCw, partial.m_Type);
  Pnt bad;
  EXPECT_FALSE(LoadRecord(bad, ByteBuilder().F64s({1, 2, 3}).I32(-1).bytes, 28));
  EXPECT_EQ(Pnt::TYPE_POINT, bad.m_Type);
}

TEST(CKelCoord3DCrsPntArrayTest, ArchiveAndRecordRoundTripsAndRefusals)
{
  const CKelCoord3DCrsPntArray disc = QuarterDisc();
  const Bytes bytes = Archived(disc, 2);
  const Bytes head = ByteBuilder().Text("CKelCoord3DCrsPntArray").I32(5).bytes;
  ASSERT_GT(bytes.size(), head.size());
  EXPECT_EQ(head, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())));
  CKelCoord3DCrsPntArray back;
  EXPECT_TRUE(Unarchive(back, bytes, 2));
  EXPECT_TRUE(back == disc);

  // A count the remaining bytes cannot hold is refused before resizing.
  CKelCoord3DCrsPntArray refused;
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CKelCoord3DCrsPntArray").I32(1000000).bytes, 2));
  EXPECT_TRUE(refused.empty());
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CKelCoord3DCrsPntArray").I32(-1).bytes, 2));
  EXPECT_FALSE(Unarchive(refused, Bytes(bytes.begin(), bytes.end() - 1), 2));

  // The record: the count, then each point's record.
  const CKelCoord3DCrsPntArray list = Outline({{1, 0}, {0, 0, kCcw}, {0, 1}});
  const Bytes golden = ByteBuilder().I32(3).F64s({1, 0, 0}).I32(0).F64s({0, 0, 0}).I32(1).F64s({0, 1, 0}).I32(0).bytes;
  ASSERT_EQ(golden, SavedRecord(list));
  CKelCoord3DCrsPntArray loaded;
  EXPECT_TRUE(LoadRecord(loaded, golden, 88));
  EXPECT_TRUE(loaded == list);
  refused = QuarterDisc();
  EXPECT_FALSE(LoadRecord(refused, golden, 87));  // the count no longer fits
  EXPECT_TRUE(refused == QuarterDisc());
  // A stored TYPE of 7 stops the read at that point.
  Bytes badType = golden;
  badType[4 + 28 + 24] = 7;
  EXPECT_FALSE(LoadRecord(loaded, badType, 88));
}
