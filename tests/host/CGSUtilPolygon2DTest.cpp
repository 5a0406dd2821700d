// The host's 2D polygon data built from memos, point lists and polygons:
// closing repeats and contour ends, status bits, bound box, orientation,
// the round trip back to a memo, refusal of malformed memos and failed
// allocations without leaks.

#include "CGSUtil.h"
#include "CKelAreaCoord2D.h"
#include "CKelCoord3DCrsPntArray.h"
#include "HostTestSupport.h"
#include "host_polygon2d.h"

#include <array>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.141592653589793;
using Geometry::Coord;
using Geometry::Polygon2DData;

class CGSUtilPolygon2DTest : public HostTest {
protected:
  void TearDown() override
  {
    Geometry::FreePolygon2DData(&data);
    HostTest::TearDown();
  }
  Polygon2DData data;
};

template <typename T>
std::vector<T> Entries(T* const* handle, std::size_t n)
{
  return handle == nullptr ? std::vector<T>{} : std::vector<T>(*handle, *handle + n);
}

std::vector<Coord> Vertices(const Polygon2DData& d) { return Entries(d.vertices, d.nVertices + 1u); }
std::vector<UIndex> Ends(const Polygon2DData& d) { return Entries(d.contourEnds, d.nContours + 1u); }

CKelAreaCoord2D Area(const std::vector<CKelCoord2D>& points)
{
  CKelAreaCoord2D area;
  area.m_pt = points;
  return area;
}

const std::vector<API_Coord> kSquareCcw{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<API_Coord> kHoleCw{{2, 2}, {2, 4}, {4, 4}, {4, 2}};

// Each contour is closed by a repeat of its first vertex, outer contours
// run counter-clockwise and holes clockwise, and the bound box is valid.
TEST_F(CGSUtilPolygon2DTest, OutlinesBecomeClosedOrientedContours)
{
  struct Case {
    const char* what;
    std::function<GSErrCode(Polygon2DData&)> build;
    std::vector<Coord> vertices;  // entry 0 unused
    std::vector<UIndex> ends;
    double signedArea;
    std::array<double, 4> box;  // x and y least, then greatest
  };
  CKelAreaCoord2DArray areas;
  areas.push_back(Area({{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  areas.push_back(Area({{2, 2}, {4, 2}, {4, 4}}));
  const std::vector<Coord> triangle{{}, {0, 0}, {4, 0}, {0, 3}, {0, 0}};
  const std::vector<Coord> squareAndHole{{},     {0, 0}, {10, 0}, {10, 10}, {0, 10},
                                         {0, 0}, {2, 2}, {4, 4},  {4, 2},   {2, 2}};
  const std::vector<Case> cases = {
      {"triangle", [](auto& d) { return CGSUtil::ConstructPoly2DDataFromKelArea(Area({{0, 0}, {4, 0}, {0, 3}}), d); },
       triangle, {0, 4}, 6.0, {0, 0, 4, 3}},
      {"clockwise triangle", [](auto& d) { return CGSUtil::GetPolygon(Area({{0, 0}, {0, 3}, {4, 0}}), d); },
       triangle, {0, 4}, 6.0, {0, 0, 4, 3}},
      {"point list", [](auto& d) { return CGSUtil::ConstructPoly2DDataFromAPICoord(kSquareCcw, d); },
       {{}, {0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {0, 5}, 100.0, {0, 0, 10, 10}},
      // The counter-clockwise hole is turned, so the signed sum is the outer less it.
      {"polygon list", [&](auto& d) { return CGSUtil::GetPolygon(areas, d); }, squareAndHole, {0, 5, 9}, 98.0,
       {0, 0, 10, 10}},
      {"area list", [&](auto& d) {
         return CGSUtil::ConstructPoly2DDataFromKelArea(std::vector<CKelAreaCoord2D>(areas.begin(), areas.end()), d);
       },
       squareAndHole, {0, 5, 9}, 98.0, {0, 0, 10, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Geometry::FreePolygon2DData(&data);
    ASSERT_EQ(c.build(data), NoError);
    EXPECT_EQ(Vertices(data), c.vertices);
    EXPECT_EQ(Ends(data), c.ends);
    EXPECT_EQ(data.nArcs, 0u);
    EXPECT_EQ(data.status, Geometry::Polygon2DData_BoundBoxValid | Geometry::Polygon2DData_Oriented);
    const Geometry::Box2DData& box = data.boundBox;
    EXPECT_EQ((std::array{box.xMin, box.yMin, box.xMax, box.yMax}), c.box);
    EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(data, true), c.signedArea);
    EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(data, false), c.signedArea);
  }
}

TEST_F(CGSUtilPolygon2DTest, EmptyOutlinesAreRefused)
{
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromAPICoord({}, data), APIERR_BADPOLY);
  EXPECT_EQ(data.vertices, nullptr);
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromKelArea(std::vector<CKelAreaCoord2D>{}, data), APIERR_BADPOLY);
  CKelAreaCoord2DArray withEmpty;
  withEmpty.push_back(Area({{0, 0}, {1, 0}, {0, 1}}));
  withEmpty.push_back(CKelAreaCoord2D());
  EXPECT_EQ(CGSUtil::GetPolygon(withEmpty, data), APIERR_BADPOLY);
  EXPECT_EQ(data.nVertices, 0u);
}

TEST_F(CGSUtilPolygon2DTest, MemoWithArcsRoundTripsThroughPolygonData)
{
  PolygonMemo polygon({kSquareCcw, kHoleCw}, {{2, 3, kPi / 2}, {7, 8, -0.5}});
  ASSERT_EQ(CGSUtil::ConstructPoly2DDataFromElementMemo(*polygon.Memo(), data), NoError);
  EXPECT_EQ(data.nVertices, 10u);
  EXPECT_EQ(data.nContours, 2u);
  ASSERT_EQ(data.nArcs, 2u);
  EXPECT_EQ((*data.arcs)[1].begIndex, 2);
  EXPECT_EQ((*data.arcs)[2].arcAngle, -0.5);
  EXPECT_EQ(data.boundBox.xMax, 10.0 + (5.0 * std::sqrt(2.0) - 5.0));
  // The outer arc adds its segment; the hole's arc bulges into the hole
  // and so enlarges what is taken away.
  const double outerSegment = 25.0 * (kPi / 2 - 1.0);
  const double holeSegment = 4.0 / (8.0 * std::sin(0.25) * std::sin(0.25)) * (0.5 - std::sin(0.5));
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(data, false), 100.0 + outerSegment - (4.0 + holeSegment), 1e-9);

  API_Polygon back;
  API_ElementMemo memo;
  ASSERT_EQ(CGSUtil::ConvertPoly2DDataToAPIPolygon(data, back, memo), NoError);
  EXPECT_EQ(back, polygon.Polygon());
  const API_ElementMemo& original = *polygon.Memo();
  EXPECT_EQ(Entries(memo.coords, 11), Entries(original.coords, 11));
  EXPECT_EQ(Entries(memo.pends, 3), Entries(original.pends, 3));
  EXPECT_EQ(Entries(memo.parcs, 2), Entries(original.parcs, 2));
  EXPECT_EQ(BMGetHandleSize(reinterpret_cast<GSConstHandle>(memo.parcs)), 2 * GSSize{sizeof(API_PolyArc)});
  ACAPI_DisposeElemMemoHdls(&memo);
}

TEST_F(CGSUtilPolygon2DTest, MalformedMemosAreRefusedWithNothingLeft)
{
  const auto refused = [&](const std::function<void(API_ElementMemo&)>& spoil) {
    PolygonMemo polygon({kSquareCcw}, {{2, 3, 1.0}});
    spoil(*polygon.Memo());
    const GSErrCode err = CGSUtil::ConstructPoly2DDataFromElementMemo(*polygon.Memo(), data);
    return err == APIERR_BADPOLY && data.vertices == nullptr && data.arcs == nullptr && data.contourEnds == nullptr;
  };
  EXPECT_TRUE(refused([](API_ElementMemo& m) { (*m.pends)[1] = 6; }));
  EXPECT_TRUE(refused([](API_ElementMemo& m) { (*m.pends)[1] = -1; }));
  EXPECT_TRUE(refused([](API_ElementMemo& m) { (*m.parcs)[0].endIndex = 6; }));
  EXPECT_TRUE(refused([](API_ElementMemo& m) { (*m.parcs)[0].endIndex = 4; }));  // not adjacent
  EXPECT_TRUE(refused([](API_ElementMemo& m) { BMKillHandle(reinterpret_cast<GSHandle*>(&m.pends)); }));
  EXPECT_TRUE(refused([](API_ElementMemo& m) { BMKillHandle(reinterpret_cast<GSHandle*>(&m.coords)); }));
}

// Found by fuzzing: an end of -2, read as unsigned, plus one edge wraps
// round to 0 and passed for a contour of a memo without coordinates.
TEST_F(CGSUtilPolygon2DTest, ContourEndsThatWrapRoundAreRefused)
{
  auto coords = reinterpret_cast<API_Coord**>(BMAllocateHandle(sizeof(API_Coord), ALLOCATE_CLEAR, 0));
  auto ends = reinterpret_cast<Int32**>(BMAllocateHandle(3 * sizeof(Int32), ALLOCATE_CLEAR, 0));
  (*ends)[1] = -2;
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromElementMemo(coords, ends, nullptr, data), APIERR_BADPOLY);
  EXPECT_EQ(data.vertices, nullptr);
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(coords, ends, nullptr, 0, 0).empty());
  EXPECT_TRUE(CGSUtil::MemoToKelArea2(coords, ends, nullptr, 0, 1).empty());
  BMKillHandle(reinterpret_cast<GSHandle*>(&coords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&ends));
}

TEST_F(CGSUtilPolygon2DTest, PolygonDataBeyondItsHandlesIsNotConverted)
{
  ASSERT_EQ(CGSUtil::ConstructPoly2DDataFromAPICoord(kSquareCcw, data), NoError);
  API_Polygon polygon{1, 1, 1};
  API_ElementMemo memo;
  data.nVertices = 6;
  EXPECT_EQ(CGSUtil::ConvertPoly2DDataToAPIPolygon(data, polygon, memo), APIERR_BADPOLY);
  EXPECT_EQ(polygon, API_Polygon{});
  EXPECT_EQ(memo.coords, nullptr);
  data.nVertices = 5;
  data.nArcs = 1;  // and no arc handle
  EXPECT_EQ(CGSUtil::ConvertPoly2DDataToAPIPolygon(data, polygon, memo), APIERR_BADPOLY);
  data.nArcs = 0;
  (*data.contourEnds)[1] = 0x80000000u;
  EXPECT_EQ(CGSUtil::ConvertPoly2DDataToAPIPolygon(data, polygon, memo), APIERR_BADPOLY);
}

TEST_F(CGSUtilPolygon2DTest, FailedAllocationsLeaveNothingBehind)
{
  pln::host::FailNextAllocation();
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromAPICoord(kSquareCcw, data), APIERR_MEMFULL);
  EXPECT_EQ(data.vertices, nullptr);

  PolygonMemo polygon({kSquareCcw}, {{2, 3, 1.0}});
  pln::host::FailNextAllocation();
  EXPECT_EQ(CGSUtil::ConstructPoly2DDataFromElementMemo(*polygon.Memo(), data), APIERR_MEMFULL);

  ASSERT_EQ(CGSUtil::ConstructPoly2DDataFromElementMemo(*polygon.Memo(), data), NoError);
  API_Polygon back;
  API_ElementMemo memo;
  pln::host::FailNextAllocation();
  EXPECT_EQ(CGSUtil::ConvertPoly2DDataToAPIPolygon(data, back, memo), APIERR_MEMFULL);
  EXPECT_EQ(memo.coords, nullptr);
  EXPECT_EQ(memo.pends, nullptr);
  EXPECT_EQ(memo.parcs, nullptr);
}

TEST_F(CGSUtilPolygon2DTest, ElementPolygonIsReadFromItsMemo)
{
  PolygonMemo polygon({kSquareCcw, kHoleCw});
  API_Element slab;
  slab.header.typeID = API_SlabID;
  slab.header.layer = 1;
  ASSERT_EQ(host.AddPolygonElement(slab, polygon), NoError);
  ASSERT_EQ(CGSUtil::GetPolygon(slab.header.guid, data), NoError);
  EXPECT_EQ(Ends(data), (std::vector<UIndex>{0, 5, 10}));
  EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(data, false), 96.0);
  Geometry::FreePolygon2DData(&data);

  API_Guid unknown;
  unknown.bytes[0] = 0x42;
  EXPECT_EQ(CGSUtil::GetPolygon(unknown, data), APIERR_BADID);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::GetPolygon(slab.header.guid, data), APIERR_MEMFULL);
}

}  // namespace
