// Memo and zone outlines as polygons with arc centres: arc centres and their
// tolerance boundaries, arc records found either way round, orientation of
// outer contours and holes, agreement with the host's own area, refusal of
// contour ends and arc indexes outside the coordinates, and the texts.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "HostTestSupport.h"
#include "host_charcodes.h"
#include "host_polygon2d.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
using Pnt = CKelCoord3DCrsPnt;
using CGSUtilOutlineTest = HostTest;

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

TEST_F(CGSUtilOutlineTest, ArcCentresAndTheirToleranceBoundaries)
{
  struct Case {
    API_Coord p1, p2;
    double angle;
    bool found;
    API_Coord centre;
    double tolerance;  // 0: exactly
  };
  const API_Coord right{1, 0}, left{-1, 0}, up{0, 1};
  const Case cases[] = {
      {right, left, kPi, true, {0, 0}, 0},
      {right, left, -kPi, true, {0, 0}, 0},
      {right, left, kPi / 2, true, {0, -1}, 1e-12},
      // From (1, 0) to (0, 1): counter-clockwise about the origin,
      // clockwise about (1, 1).
      {right, up, kPi / 2, true, {0, 0}, 1e-12},
      {right, up, -kPi / 2, true, {1, 1}, 1e-12},
      // Too straight for an arc: no centre, the chord's midpoint.
      {right, left, 0.9e-5, false, {0, 0}, 0},
      {right, left, -0.9e-5, false, {0, 0}, 0},
      {right, left, 1.1e-5, true, {0, -1 / std::tan(0.55e-5)}, 1e-3},
      // Just inside the half-circle band the centre is the chord's midpoint
      // exactly; just outside it the tangent formula moves it off the chord.
      {right, left, kPi - 0.9e-5, true, {0, 0}, 0},
      {right, left, kPi - 2e-5, true, {0, -1e-5}, 1e-9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p2.x << " " << c.angle);
    API_Coord centre{9, 9};
    EXPECT_EQ(CGSUtil::ArcGetOrigo(&c.p1, &c.p2, c.angle, &centre), c.found);
    EXPECT_NEAR(centre.x, c.centre.x, c.tolerance);
    EXPECT_NEAR(centre.y, c.centre.y, c.tolerance);
  }
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

TEST_F(CGSUtilOutlineTest, ArcAngleIsMeasuredClockwiseAndArcRecordsAreFoundEitherWayRound)
{
  const CKelCoord2D origin(0, 0), east(1, 0);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(east, CKelCoord2D(0, 1), origin), -kPi / 2);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(east, CKelCoord2D(0, -3), origin), kPi / 2);
  EXPECT_DOUBLE_EQ(CGSUtil::GetArcAngle(CKelCoord2D(5, 0), CKelCoord2D(-2, 0), origin), -kPi);
  EXPECT_EQ(CGSUtil::GetArcAngle(origin, east, origin), 0.0);

  const std::vector<API_PolyArc> arcs{{5, 6, 0.5}, {3, 2, -1.0}, {2, 3, 2.0}};
  EXPECT_EQ(CGSUtil::IsArc(arcs.data(), 3, 2), &arcs[1]);  // the first match wins
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

// Outer contours come back counter-clockwise, holes clockwise; an arc puts
// its centre after its start, typed by its sense in the returned order, and
// the signed area agrees with the host's own measure of the contour.
TEST_F(CGSUtilOutlineTest, ContoursAreOrientedAndKeepTheirArcs)
{
  struct Case {
    const char* what;
    std::vector<std::vector<API_Coord>> contours;
    std::vector<API_PolyArc> arcs;
    int contour;
    std::vector<Pnt> chain;
    double area;
    bool hostAgrees = true;  // the host measures the contour alone the same
  };
  const std::vector<Pnt> square{At(0, 0), At(10, 0), At(10, 10), At(0, 10), At(0, 0)};
  const std::vector<Pnt> hole{At(2, 2), At(2, 4), At(4, 4), At(4, 2), At(2, 2)};
  const auto squareWith = [](Pnt centre) {
    return std::vector<Pnt>{At(0, 0), At(10, 0), centre, At(10, 10), At(0, 10), At(0, 0)};
  };
  const double segment = 25.0 * (kPi / 2 - 1.0);  // of the quarter arcs on a side of 10
  const std::vector<Case> cases = {
      {"clockwise outer", {kSquareCw, kHoleCw}, {}, 0, square, 100.0},
      {"clockwise hole", {kSquareCw, kHoleCw}, {}, 1, hole, -4.0},
      {"counter-clockwise outer", {kSquareCcw, kHoleCcw}, {}, 0, square, 100.0},
      {"counter-clockwise hole", {kSquareCcw, kHoleCcw}, {}, 1, hole, -4.0},
      {"bulge", {kSquareCcw}, {{2, 3, kPi / 2}}, 0, squareWith(At(5, 5, Pnt::TYPE_CCW)), 100.0 + segment},
      {"dent", {kSquareCcw}, {{2, 3, -kPi / 2}}, 0, squareWith(At(15, 5, Pnt::TYPE_CW)), 100.0 - segment},
      {"reversed record", {kSquareCcw}, {{3, 2, -kPi / 2}}, 0, squareWith(At(5, 5, Pnt::TYPE_CCW)), 100.0 + segment},
      {"turned dent", {kSquareCw}, {{3, 4, kPi / 2}}, 0, squareWith(At(15, 5, Pnt::TYPE_CW)), 100.0 - segment},
      {"turned bulge", {kSquareCw}, {{3, 4, -kPi / 2}}, 0, squareWith(At(5, 5, Pnt::TYPE_CCW)), 100.0 + segment},
      {"turned major arc", {kSquareCw}, {{3, 4, -3 * kPi / 2}}, 0, squareWith(At(15, 5, Pnt::TYPE_CCW)),
       100.0 + 25.0 * (3 * kPi / 2 + 1.0)},
      {"half circle", {kSquareCcw}, {{2, 3, kPi}}, 0, squareWith(At(10, 5, Pnt::TYPE_CCW)), 100.0 + 12.5 * kPi},
      {"nearly straight", {kSquareCcw}, {{2, 3, 0.9e-5}}, 0, square, 100.0, false},
      // Coordinates 1..5 the outer square, 6..10 the hole; the record
      // joining 5 and 6 crosses from one contour to the next.
      {"other contour's arc", {kSquareCcw, kHoleCw}, {{7, 8, -kPi / 2}, {5, 6, 1.0}}, 0, square, 100.0, false},
      {"hole's own arc", {kSquareCcw, kHoleCw}, {{7, 8, -kPi / 2}, {5, 6, 1.0}}, 1,
       {At(2, 2), At(2, 4), At(3, 3, Pnt::TYPE_CW), At(4, 4), At(4, 2), At(2, 2)}, -4.0 - 2.0 * (kPi / 4 - 0.5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PolygonMemo polygon(c.contours, c.arcs);
    const CKelCoord3DCrsPntArray outline = Convert(polygon, c.contour);
    EXPECT_EQ(outline, Chain(c.chain));
    EXPECT_NEAR(outline.GetArea(), c.area, 1e-9);
    if (c.hostAgrees) {
      EXPECT_NEAR(std::abs(outline.GetArea()), HostContourArea(c.contours[std::size_t(c.contour)], c.arcs), 1e-9);
    }
  }
  // The same square as a hole comes back clockwise.
  PolygonMemo asHole({kHoleCcw, kSquareCcw});
  EXPECT_DOUBLE_EQ(Convert(asHole, 1).GetArea(), -100.0);
}

// --- Refusal of data that points outside the memo -------------------------------

TEST_F(CGSUtilOutlineTest, ContourEndsAndArcIndexesOutsideTheCoordinatesAreRefused)
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

  const auto withArcs = [&](const std::vector<API_PolyArc>& arcs) {
    return CGSUtil::MemoToKelArea2(coords, std::vector<Int32>{0, 4}, arcs, 0);
  };
  EXPECT_EQ(withArcs({{2, 3, 1.0}}).size(), 5u);
  EXPECT_TRUE(withArcs({{4, 5, 1.0}}).empty());
  EXPECT_TRUE(withArcs({{0, 1, 1.0}}).empty());
  EXPECT_TRUE(withArcs({{2, 3, 1.0}, {-7, 3, 1.0}}).empty());
  EXPECT_TRUE(withArcs({{2, 3, std::numeric_limits<double>::quiet_NaN()}}).empty());
  EXPECT_TRUE(withArcs({{2, 3, std::numeric_limits<double>::infinity()}}).empty());
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
  zone.header = {.typeID = API_ZoneID, .layer = 1};
  return zone;
}

TEST_F(CGSUtilOutlineTest, ZoneGivesItsOuterContourOrAllContoursAndNothingWhenItsMemoCannotBeRead)
{
  const std::vector<API_Coord> hole2{{6, 6}, {8, 6}, {8, 8}, {6, 8}};
  PolygonMemo polygon({kSquareCw, kHoleCcw, hole2}, {{1, 2, -kPi / 2}});
  API_Element zone = ZoneRecord();
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());  // not stored yet
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_TRUE(CGSUtil::ZoneToKelArea2(zone, true).empty());
  // The reporting form tells that read apart from an outline without contours.
  CKelCoord3DCrsPntArrayArray reported;
  reported.resize(1);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::ZoneToKelArea2(zone, true, reported), APIERR_MEMFULL);
  EXPECT_TRUE(reported.empty());
  ASSERT_EQ(CGSUtil::ZoneToKelArea2(zone, true, reported), NoError);
  EXPECT_EQ(reported, CGSUtil::ZoneToKelArea2(zone, true));

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
