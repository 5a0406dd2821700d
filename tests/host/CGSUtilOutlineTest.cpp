// Memo and zone outlines as polygons with arc centres: arc centres and their
// tolerance boundaries, arc records found either way round, orientation of
// outer contours and holes, agreement with the host's own area, refusal of
// contour ends and arc indexes outside the coordinates, and the texts.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "HostFixture.h"
#include "host_charcodes.h"
#include "host_polygon2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
using Pnt = CKelCoord3DCrsPnt;

class CGSUtilOutlineTest : public testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }
  HostFixture host;
};

const std::vector<API_Coord> kSquareCcw{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<API_Coord> kSquareCw{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
const std::vector<API_Coord> kHoleCw{{2, 2}, {2, 4}, {4, 4}, {4, 2}};
const std::vector<API_Coord> kHoleCcw{{2, 2}, {4, 2}, {4, 4}, {2, 4}};

Pnt At(double x, double y, Pnt::TYPE type = Pnt::TYPE_POINT) { return Pnt(CKelCoord3D(x, y, 0), type); }

CKelCoord3DCrsPntArray Chain(const std::vector<Pnt>& entries)
{
  CKelCoord3DCrsPntArray chain;
  chain.assign(entries.begin(), entries.end());
  return chain;
}

CKelCoord3DCrsPntArray Convert(PolygonMemo& polygon, int contour)
{
  API_ElementMemo* memo = polygon.Memo();
  return CGSUtil::MemoToKelArea2(memo->coords, memo->pends, memo->parcs, polygon.Polygon().nArcs, contour);
}

// The host's own measure of the same memo contour, by magnitude.
double HostContourArea(const std::vector<API_Coord>& contour, const std::vector<API_PolyArc>& arcs)
{
  PolygonMemo polygon({contour}, arcs);
  Geometry::Polygon2DData data;
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromElementMemo(*polygon.Memo(), data), NoError);
  const double area = Geometry::GetPolygon2DDataArea(data, false);
  Geometry::FreePolygon2DData(&data);
  return area;
}

// --- Arc centres ------------------------------------------------------------

TEST_F(CGSUtilOutlineTest, ArcCentreOfQuarterAndHalfCircles)
{
  const API_Coord right{1, 0}, left{-1, 0};
  API_Coord centre{9, 9};
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&right, &left, kPi, &centre));
  EXPECT_EQ(centre, (API_Coord{0, 0}));
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&right, &left, -kPi, &centre));
  EXPECT_EQ(centre, (API_Coord{0, 0}));
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&right, &left, kPi / 2, &centre));
  EXPECT_NEAR(centre.x, 0.0, 1e-12);
  EXPECT_NEAR(centre.y, -1.0, 1e-12);

  // From (1, 0) to (0, 1): counter-clockwise about the origin, clockwise
  // about (1, 1).
  const API_Coord up{0, 1};
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&right, &up, kPi / 2, &centre));
  EXPECT_NEAR(centre.x, 0.0, 1e-12);
  EXPECT_NEAR(centre.y, 0.0, 1e-12);
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&right, &up, -kPi / 2, &centre));
  EXPECT_NEAR(centre.x, 1.0, 1e-12);
  EXPECT_NEAR(centre.y, 1.0, 1e-12);
}

TEST_F(CGSUtilOutlineTest, ArcCentreToleranceBoundaries)
{
  const API_Coord p1{1, 0}, p2{-1, 0};
  API_Coord centre{9, 9};
  EXPECT_FALSE(CGSUtil::ArcGetOrigo(&p1, &p2, 0.9e-5, &centre));
  EXPECT_EQ(centre, (API_Coord{0, 0}));
  EXPECT_FALSE(CGSUtil::ArcGetOrigo(&p1, &p2, -0.9e-5, &centre));
  EXPECT_TRUE(CGSUtil::ArcGetOrigo(&p1, &p2, 1.1e-5, &centre));

  // Just inside the half-circle band the centre is the chord's midpoint
  // exactly; just outside it the tangent formula moves it off the chord.
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&p1, &p2, kPi - 0.9e-5, &centre));
  EXPECT_EQ(centre, (API_Coord{0, 0}));
  ASSERT_TRUE(CGSUtil::ArcGetOrigo(&p1, &p2, kPi - 2e-5, &centre));
  EXPECT_NEAR(centre.y, -1e-5, 1e-9);
}

TEST_F(CGSUtilOutlineTest, ArcCentreIsEquidistantFromBothEnds)
{
  const API_Coord p1{3.5, -2.25}, p2{-1.75, 4.0};
  for (double angle : {0.3, 1.2, 2.9, 3.3, 5.5, -0.3, -1.2, -2.9, -3.3, -5.5}) {
    API_Coord c;
    ASSERT_TRUE(CGSUtil::ArcGetOrigo(&p1, &p2, angle, &c)) << angle;
    const double r1 = std::hypot(p1.x - c.x, p1.y - c.y);
    const double r2 = std::hypot(p2.x - c.x, p2.y - c.y);
    EXPECT_NEAR(r1, r2, 1e-9) << angle;
    // The chord seen from the centre spans the arc's angle.
    const double seen = std::acos(((p1.x - c.x) * (p2.x - c.x) + (p1.y - c.y) * (p2.y - c.y)) / (r1 * r2));
    const double sweep = std::abs(angle) > kPi ? 2 * kPi - std::abs(angle) : std::abs(angle);
    EXPECT_NEAR(seen, sweep, 1e-9) << angle;
  }
}

TEST_F(CGSUtilOutlineTest, ArcAngleIsMeasuredClockwise)
{
  const CKelCoord2D origin(0, 0), east(1, 0);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(east, CKelCoord2D(0, 1), origin), -kPi / 2);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(east, CKelCoord2D(0, -3), origin), kPi / 2);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(CKelCoord2D(5, 0), CKelCoord2D(-2, 0), origin), -kPi);
  EXPECT_EQ(CGSUtil::GetArcAngle(origin, east, origin), 0.0);
}

// --- Arc records --------------------------------------------------------------

TEST_F(CGSUtilOutlineTest, ArcRecordIsFoundEitherWayRound)
{
  const std::vector<API_PolyArc> arcs{{5, 6, 0.5}, {3, 2, -1.0}, {2, 3, 2.0}};
  const API_PolyArc* found = CGSUtil::IsArc(arcs.data(), 3, 2);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, &arcs[1]);  // the first match wins
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 3, 5), &arcs[0]);
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 3, 4), nullptr);
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 3, 6), nullptr);
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 1, 2), nullptr);  // only the first record is searched
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 0, 5), nullptr);
  EXPECT_EQ(CGSUtil::IsArc(nullptr, 3, 2), nullptr);
  const std::vector<API_PolyArc> extreme{{std::numeric_limits<Int32>::max(), 0, 1.0}};
  EXPECT_EQ(CGSUtil::IsArc(extreme.data(), 1, std::numeric_limits<Int32>::max()), nullptr);
}

// --- Contours -------------------------------------------------------------------

TEST_F(CGSUtilOutlineTest, ClockwiseOuterContourComesBackCounterClockwise)
{
  PolygonMemo polygon({kSquareCw, kHoleCw});
  const CKelCoord3DCrsPntArray outer = Convert(polygon, 0);
  EXPECT_EQ(outer, Chain({At(0, 0), At(10, 0), At(10, 10), At(0, 10), At(0, 0)}));
  EXPECT_DOUBLE_EQ(outer.GetArea(), 100.0);
  // A clockwise hole is kept as it is.
  EXPECT_EQ(Convert(polygon, 1), Chain({At(2, 2), At(2, 4), At(4, 4), At(4, 2), At(2, 2)}));
}

TEST_F(CGSUtilOutlineTest, CounterClockwiseHoleIsTurnedClockwise)
{
  PolygonMemo polygon({kSquareCcw, kHoleCcw});
  EXPECT_EQ(Convert(polygon, 0), Chain({At(0, 0), At(10, 0), At(10, 10), At(0, 10), At(0, 0)}));
  const CKelCoord3DCrsPntArray hole = Convert(polygon, 1);
  EXPECT_EQ(hole, Chain({At(2, 2), At(2, 4), At(4, 4), At(4, 2), At(2, 2)}));
  EXPECT_DOUBLE_EQ(hole.GetArea(), -4.0);
  // The same square as a hole comes back clockwise.
  PolygonMemo asHole({kHoleCcw, kSquareCcw});
  EXPECT_DOUBLE_EQ(Convert(asHole, 1).GetArea(), -100.0);
}

TEST_F(CGSUtilOutlineTest, QuarterArcPutsItsCentreAfterItsStart)
{
  // The edge from coordinate 2 (10, 0) to 3 (10, 10) bulges outwards.
  PolygonMemo ccw({kSquareCcw}, {{2, 3, kPi / 2}});
  const CKelCoord3DCrsPntArray bulge = Convert(ccw, 0);
  EXPECT_EQ(bulge, Chain({At(0, 0), At(10, 0), At(5, 5, Pnt::TYPE_CCW), At(10, 10), At(0, 10), At(0, 0)}));
  PolygonMemo cw({kSquareCcw}, {{2, 3, -kPi / 2}});
  const CKelCoord3DCrsPntArray dent = Convert(cw, 0);
  EXPECT_EQ(dent, Chain({At(0, 0), At(10, 0), At(15, 5, Pnt::TYPE_CW), At(10, 10), At(0, 10), At(0, 0)}));

  // Both agree with the host's measure: the square plus or minus the
  // segment 25 (pi/2 - 1).
  const double segment = 25.0 * (kPi / 2 - 1.0);
  EXPECT_NEAR(bulge.GetArea(), 100.0 + segment, 1e-9);
  EXPECT_NEAR(bulge.GetArea(), HostContourArea(kSquareCcw, {{2, 3, kPi / 2}}), 1e-9);
  EXPECT_NEAR(dent.GetArea(), 100.0 - segment, 1e-9);
  EXPECT_NEAR(dent.GetArea(), HostContourArea(kSquareCcw, {{2, 3, -kPi / 2}}), 1e-9);
}

TEST_F(CGSUtilOutlineTest, ReversedArcRecordGivesTheSameArc)
{
  PolygonMemo forward({kSquareCcw}, {{2, 3, kPi / 2}});
  PolygonMemo reversed({kSquareCcw}, {{3, 2, -kPi / 2}});
  const CKelCoord3DCrsPntArray a = Convert(forward, 0);
  const CKelCoord3DCrsPntArray b = Convert(reversed, 0);
  ASSERT_EQ(b.size(), 6u);
  EXPECT_EQ(b[2].m_Type, Pnt::TYPE_CCW);
  EXPECT_EQ(a, b);
  EXPECT_NEAR(b.GetArea(), HostContourArea(kSquareCcw, {{3, 2, -kPi / 2}}), 1e-9);
}

TEST_F(CGSUtilOutlineTest, ClockwiseOuterContourKeepsItsArcShapes)
{
  // kSquareCw's edge from coordinate 3 (10, 10) to 4 (10, 0), in both
  // senses: after the outline is turned round the arcs still bulge the way
  // the host measures them.
  for (double angle : {kPi / 2, -kPi / 2, -3 * kPi / 2}) {
    PolygonMemo polygon({kSquareCw}, {{3, 4, angle}});
    const CKelCoord3DCrsPntArray outline = Convert(polygon, 0);
    ASSERT_EQ(outline.size(), 6u);
    EXPECT_EQ(outline[2].m_Type, angle > 0 ? Pnt::TYPE_CW : Pnt::TYPE_CCW) << angle;
    EXPECT_GT(outline.GetArea(), 0.0) << angle;
    EXPECT_NEAR(outline.GetArea(), HostContourArea(kSquareCw, {{3, 4, angle}}), 1e-9) << angle;
  }
}

TEST_F(CGSUtilOutlineTest, HalfCircleArcHasItsCentreOnTheChord)
{
  PolygonMemo polygon({kSquareCcw}, {{2, 3, kPi}});
  const CKelCoord3DCrsPntArray outline = Convert(polygon, 0);
  ASSERT_EQ(outline.size(), 6u);
  EXPECT_EQ(outline[2].m_x, 10.0);
  EXPECT_EQ(outline[2].m_y, 5.0);
  EXPECT_EQ(outline[2].m_Type, Pnt::TYPE_CCW);
  EXPECT_NEAR(outline.GetArea(), 100.0 + 12.5 * kPi, 1e-9);
}

TEST_F(CGSUtilOutlineTest, NearlyStraightArcLeavesTheEdgeStraight)
{
  PolygonMemo polygon({kSquareCcw}, {{2, 3, 0.9e-5}});
  EXPECT_EQ(Convert(polygon, 0), Chain({At(0, 0), At(10, 0), At(10, 10), At(0, 10), At(0, 0)}));
}

TEST_F(CGSUtilOutlineTest, ArcsOfOtherContoursStayWithThem)
{
  // Coordinates 1..5 the outer square, 6..10 the hole; the hole's edge
  // 7 -> 8 is an arc, and a record joining 5 and 6 crosses from one contour
  // to the next, so it is no edge of either.
  PolygonMemo polygon({kSquareCcw, kHoleCw}, {{7, 8, -kPi / 2}, {5, 6, 1.0}});
  EXPECT_EQ(Convert(polygon, 0).size(), 5u);
  const CKelCoord3DCrsPntArray hole = Convert(polygon, 1);
  ASSERT_EQ(hole.size(), 6u);
  EXPECT_TRUE(hole[2].IsCenter());
  EXPECT_LT(hole.GetArea(), 0.0);
}

// --- Refusal of data that points outside the memo -------------------------------

TEST_F(CGSUtilOutlineTest, ContourEndsOutsideTheCoordinatesAreRefused)
{
  const std::vector<API_Coord> coords{{}, {0, 0}, {1, 0}, {1, 1}, {0, 0}};
  const std::vector<API_PolyArc> none;
  const auto convert = [&](const std::vector<Int32>& ends, int contour) {
    return CGSUtil::MemoToKelArea2(coords, ends, none, contour);
  };
  EXPECT_EQ(convert({0, 4}, 0).size(), 4u);
  EXPECT_TRUE(convert({0, 5}, 0).empty());   // past the last coordinate
  EXPECT_TRUE(convert({-1, 4}, 0).empty());  // before the first
  EXPECT_TRUE(convert({0, 4}, 1).empty());   // no such contour
  EXPECT_TRUE(convert({0, 4}, -1).empty());
  EXPECT_TRUE(convert({0, 1}, 0).empty());   // a single coordinate has no edge
  EXPECT_TRUE(convert({3, 1}, 0).empty());   // ends out of order
  EXPECT_TRUE(convert({0, std::numeric_limits<Int32>::max()}, 0).empty());
  EXPECT_TRUE(convert({std::numeric_limits<Int32>::max(), 4}, 0).empty());
  EXPECT_TRUE(convert({}, 0).empty());
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(std::span<const API_Coord>{}, std::vector<Int32>{0, 4}, none, 0).empty());
}

TEST_F(CGSUtilOutlineTest, ArcIndexesOutsideTheCoordinatesAreRefused)
{
  const std::vector<API_Coord> coords{{}, {0, 0}, {1, 0}, {1, 1}, {0, 0}};
  const std::vector<Int32> ends{0, 4};
  const auto convert = [&](const std::vector<API_PolyArc>& arcs) {
    return CGSUtil::MemoToKelArea2(coords, ends, arcs, 0);
  };
  EXPECT_EQ(convert({{2, 3, 1.0}}).size(), 5u);
  EXPECT_TRUE(convert({{4, 5, 1.0}}).empty());
  EXPECT_TRUE(convert({{0, 1, 1.0}}).empty());
  EXPECT_TRUE(convert({{2, 3, 1.0}, {-7, 3, 1.0}}).empty());
  EXPECT_TRUE(convert({{2, 3, std::numeric_limits<double>::quiet_NaN()}}).empty());
  EXPECT_TRUE(convert({{2, 3, std::numeric_limits<double>::infinity()}}).empty());
}

TEST_F(CGSUtilOutlineTest, HandlesBoundTheConversion)
{
  PolygonMemo polygon({kSquareCcw}, {{2, 3, 1.0}});
  API_ElementMemo* memo = polygon.Memo();
  // An arc count beyond the handle's records is refused; a smaller one uses
  // only the first records.
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(memo->coords, memo->pends, memo->parcs, 2, 0).empty());
  EXPECT_EQ(CGSUtil::MemoToKelArea2(memo->coords, memo->pends, memo->parcs, 0, 0).size(), 5u);
  EXPECT_EQ(CGSUtil::MemoToKelArea2(memo->coords, memo->pends, nullptr, 0, 0).size(), 5u);
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(nullptr, memo->pends, nullptr, 0, 0).empty());
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(memo->coords, nullptr, nullptr, 0, 0).empty());
  (*memo->pends)[1] = 6;  // one past the last coordinate
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(memo->coords, memo->pends, memo->parcs, 1, 0).empty());
}

// --- Zones ------------------------------------------------------------------------

API_Element ZoneRecord()
{
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  return zone;
}

TEST_F(CGSUtilOutlineTest, ZoneGivesItsOuterContourOrAllContours)
{
  const std::vector<API_Coord> hole2{{6, 6}, {8, 6}, {8, 8}, {6, 8}};
  PolygonMemo polygon({kSquareCw, kHoleCcw, hole2}, {{1, 2, -kPi / 2}});
  API_Element zone = ZoneRecord();
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);

  const CKelCoord3DCrsPntArrayArray outer = CGSUtil::ZoneToKelArea2(zone, false);
  ASSERT_EQ(outer.size(), 1u);
  EXPECT_EQ(outer[0], Convert(polygon, 0));
  EXPECT_GT(outer[0].GetArea(), 100.0);  // the arc on (0, 0)-(0, 10) bulges out

  const CKelCoord3DCrsPntArrayArray all = CGSUtil::ZoneToKelArea2(zone, true);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0], outer[0]);
  EXPECT_DOUBLE_EQ(all[1].GetArea(), -4.0);
  EXPECT_DOUBLE_EQ(all[2].GetArea(), -4.0);
}

TEST_F(CGSUtilOutlineTest, ZoneMeasuredOnItsReferencePolygonGivesThatPolygon)
{
  PolygonMemo main({kSquareCcw});
  PolygonMemo reference({kHoleCw, kSquareCw});
  API_ElementMemo memo = *main.Memo();
  memo.refCoords = reference.Memo()->coords;
  memo.refPends = reference.Memo()->pends;
  memo.refParcs = reference.Memo()->parcs;
  API_Element zone = ZoneRecord();
  zone.zone.poly = main.Polygon();
  zone.zone.refPoly = reference.Polygon();
  zone.zone.useRefPolygon = true;
  ASSERT_EQ(host.AddElement(zone, &memo), NoError);

  CKelCoord3DCrsPntArrayArray all = CGSUtil::ZoneToKelArea2(zone, true);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_DOUBLE_EQ(all[0].GetArea(), 4.0);
  EXPECT_DOUBLE_EQ(all[1].GetArea(), -100.0);

  // An automatic outline is measured on the main polygon.
  zone.zone.automaticOutline = true;
  all = CGSUtil::ZoneToKelArea2(zone, true);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_DOUBLE_EQ(all[0].GetArea(), 100.0);

  // A reference count promising more contours than the memo holds gives no
  // outline rather than part of one.
  zone.zone.automaticOutline = false;
  zone.zone.refPoly.nSubPolys = 3;
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());
  EXPECT_EQ(CGSUtil::ZoneToKelArea2(zone, false).size(), 1u);
  zone.zone.refPoly.nSubPolys = 0;
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());
}

TEST_F(CGSUtilOutlineTest, ZoneWhoseMemoCannotBeReadGivesNothing)
{
  API_Element zone = ZoneRecord();
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());
  PolygonMemo polygon({kSquareCcw});
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());
  EXPECT_EQ(CGSUtil::ZoneToKelArea2(zone, true).size(), 1u);
}

// --- Texts --------------------------------------------------------------------------

TEST_F(CGSUtilOutlineTest, TextsConvertToShiftJisAndUtf8)
{
  EXPECT_EQ(CGSUtil::Unicode2Sjis(GS::UniString()), "");
  EXPECT_EQ(CGSUtil::Unicode2Utf8(GS::UniString()), "");
  pln::host::ClearConversionLog();
  EXPECT_EQ(CGSUtil::Unicode2Sjis(GS::UniString(u"メンセラA")), "\x83\x81\x83\x93\x83\x5A\x83\x89" "A");
  EXPECT_EQ(CGSUtil::Unicode2Utf8(GS::UniString(u"メンセラA")), "メンセラA");
  const auto& log = pln::host::ConversionLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].requested, CC_Japanese);
  EXPECT_EQ(log[1].requested, CC_UTF8);
}

}  // namespace
