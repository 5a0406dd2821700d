// The host's 2D polygons: area with holes and arcs, orientation, bound box,
// the circle through three points, and refusal of malformed data.

#include "host_foundation.h"
#include "host_memory.h"
#include "host_polygon2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Geometry::Coord;
using Geometry::PolyArcRec;
using Geometry::Polygon2DData;

constexpr double kPi = 3.141592653589793;

template <typename T>
T** HandleOf(const std::vector<T>& entries)
{
  auto handle = reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(entries.size() * sizeof(T)), 0, 0));
  for (std::size_t i = 0; i < entries.size(); ++i)
    (*handle)[i] = entries[i];
  return handle;
}

// Contours given without their closing repeat; arcs as (begin, end, angle)
// with 1-based vertex numbers of the built data.
Polygon2DData Build(const std::vector<std::vector<Coord>>& contours, const std::vector<PolyArcRec>& arcs = {})
{
  std::vector<Coord> vertices{{}};
  std::vector<UIndex> ends{0};
  for (const auto& contour : contours) {
    vertices.insert(vertices.end(), contour.begin(), contour.end());
    vertices.push_back(contour.front());
    ends.push_back(static_cast<UIndex>(vertices.size() - 1));
  }
  std::vector<PolyArcRec> arcEntries{{}};
  arcEntries.insert(arcEntries.end(), arcs.begin(), arcs.end());
  Polygon2DData data;
  data.nVertices = static_cast<UInt32>(vertices.size() - 1);
  data.vertices = HandleOf(vertices);
  data.nContours = static_cast<UInt32>(contours.size());
  data.contourEnds = HandleOf(ends);
  data.nArcs = static_cast<UInt32>(arcs.size());
  data.arcs = arcs.empty() ? nullptr : HandleOf(arcEntries);
  return data;
}

class HostPolygon2DTest : public testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    liveAtStart_ = pln::host::LiveHandleCount();
  }
  void TearDown() override { EXPECT_EQ(pln::host::LiveHandleCount(), liveAtStart_); }

  std::size_t liveAtStart_ = 0;
};

const std::vector<Coord> kSquareCcw{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<Coord> kHoleCw{{2, 2}, {2, 4}, {4, 4}, {4, 2}};
const std::vector<Coord> kHoleCcw{{2, 2}, {4, 2}, {4, 4}, {2, 4}};

TEST_F(HostPolygon2DTest, HolesAreSubtractedWhateverTheirOrientation)
{
  for (const auto& hole : {kHoleCw, kHoleCcw}) {
    Polygon2DData data = Build({kSquareCcw, hole});
    EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(data, false), 96.0);
    Geometry::FreePolygon2DData(&data);
    EXPECT_EQ(data.vertices, nullptr);
  }
  // The signed sum tells the orientations apart.
  Polygon2DData same = Build({kSquareCcw, kHoleCcw});
  EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(same, true), 104.0);
  Geometry::FreePolygon2DData(&same);
  Polygon2DData clockwise = Build({{{0, 0}, {0, 10}, {10, 10}, {10, 0}}});
  EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(clockwise, true), -100.0);
  EXPECT_DOUBLE_EQ(Geometry::GetPolygon2DDataArea(clockwise, false), 100.0);
  Geometry::FreePolygon2DData(&clockwise);
}

TEST_F(HostPolygon2DTest, AnArcAddsOrRemovesItsSegmentAndMayBeStoredEitherWay)
{
  // Half disc of radius 1 over the chord (-1, 0)-(1, 0), walked
  // counter-clockwise: the arc runs from (1, 0) up to (-1, 0).
  const std::vector<Coord> chord{{-1, 0}, {1, 0}};
  Polygon2DData half = Build({chord}, {{2, 3, kPi}});
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(half, true), kPi / 2.0, 1e-12);
  Geometry::FreePolygon2DData(&half);

  Polygon2DData reversed = Build({chord}, {{3, 2, -kPi}});
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(reversed, true), kPi / 2.0, 1e-12);
  Geometry::FreePolygon2DData(&reversed);

  // A quarter arc bulging into a 2 x 2 square removes a circular segment:
  // r = sqrt(2), segment = r^2 / 2 (a - sin a) with a = pi / 2.
  const std::vector<Coord> square{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  Polygon2DData dented = Build({square}, {{2, 3, -kPi / 2.0}});
  const double segment = (kPi / 2.0 - 1.0);
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(dented, false), 4.0 - segment, 1e-12);
  Geometry::FreePolygon2DData(&dented);
}

TEST_F(HostPolygon2DTest, OrientingTurnsTheOutlineCounterClockwiseAndHolesClockwiseKeepingArcs)
{
  // The half disc walked clockwise, with a clockwise hole.
  const std::vector<Coord> outline{{1, 0}, {-1, 0}};
  const std::vector<Coord> hole{{-0.2, 0.2}, {-0.2, 0.4}, {0.2, 0.4}, {0.2, 0.2}};
  Polygon2DData data = Build({outline, hole}, {{2, 3, -kPi}});
  const double before = Geometry::GetPolygon2DDataArea(data, false);
  ASSERT_LT(Geometry::GetPolygon2DDataArea(data, true), 0.0);

  ASSERT_TRUE(Geometry::OrientPolygon2DData(&data));
  EXPECT_EQ((*data.vertices)[1], (Coord{1, 0}));
  EXPECT_EQ((*data.vertices)[2], (Coord{-1, 0}));  // a two-edge contour reads the same backwards
  EXPECT_EQ((*data.arcs)[1].begIndex, 1);
  EXPECT_EQ((*data.arcs)[1].endIndex, 2);
  EXPECT_DOUBLE_EQ((*data.arcs)[1].arcAngle, kPi);
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(data, false), before, 1e-12);
  EXPECT_NEAR(Geometry::GetPolygon2DDataArea(data, true), before, 1e-12);

  // Orienting again changes nothing.
  ASSERT_TRUE(Geometry::OrientPolygon2DData(&data));
  EXPECT_EQ((*data.vertices)[4], (Coord{-0.2, 0.2}));
  EXPECT_EQ((*data.vertices)[5], (Coord{-0.2, 0.4}));
  Geometry::FreePolygon2DData(&data);
}

TEST_F(HostPolygon2DTest, TheBoundBoxTakesInTheBulgeOfAnArc)
{
  Polygon2DData half = Build({{{-1, 0}, {1, 0}}}, {{2, 3, kPi}});
  Geometry::Box2DData box;
  ASSERT_TRUE(Geometry::GetPolygon2DDataBoundBox(half, &box));
  EXPECT_DOUBLE_EQ(box.xMin, -1.0);
  EXPECT_DOUBLE_EQ(box.xMax, 1.0);
  EXPECT_DOUBLE_EQ(box.yMin, 0.0);
  EXPECT_NEAR(box.yMax, 1.0, 1e-12);
  Geometry::FreePolygon2DData(&half);
}

TEST_F(HostPolygon2DTest, MalformedDataIsRefusedAndLeftAlone)
{
  Polygon2DData data = Build({kSquareCcw});
  data.nVertices = 9;  // more than the handle holds
  Geometry::Box2DData box{7, 7, 7, 7};
  EXPECT_FALSE(Geometry::GetPolygon2DDataBoundBox(data, &box));
  EXPECT_EQ(box.xMin, 7.0);
  EXPECT_EQ(Geometry::GetPolygon2DDataArea(data, false), 0.0);
  EXPECT_FALSE(Geometry::OrientPolygon2DData(&data));
  data.nVertices = 5;
  (*data.contourEnds)[1] = 4;  // the contour does not end at the last vertex
  EXPECT_EQ(Geometry::GetPolygon2DDataArea(data, false), 0.0);
  Geometry::FreePolygon2DData(&data);

  // Two contours whose middle end wraps round in 32 bits must not pass the
  // order check and send readers past the vertices.
  Polygon2DData wrapped = Build({kSquareCcw, kHoleCw});
  (*wrapped.contourEnds)[1] = static_cast<UIndex>(-2);
  EXPECT_FALSE(Geometry::GetPolygon2DDataBoundBox(wrapped, &box));
  EXPECT_EQ(Geometry::GetPolygon2DDataArea(wrapped, false), 0.0);
  Geometry::FreePolygon2DData(&wrapped);

  // An arc between vertices that are not neighbours.
  Polygon2DData skewed = Build({kSquareCcw}, {{1, 3, 1.0}});
  EXPECT_EQ(Geometry::GetPolygon2DDataArea(skewed, false), 0.0);
  Geometry::FreePolygon2DData(&skewed);

  Polygon2DData empty;
  Geometry::InitPolygon2DData(&empty);
  EXPECT_EQ(Geometry::GetPolygon2DDataArea(empty, false), 0.0);
}

TEST_F(HostPolygon2DTest, TheCircleThroughThreePointsOrNoneWhenTheyAreInLine)
{
  const Coord points[3]{{0, 0}, {2, 0}, {1, 1}};
  Geometry::Circle circle;
  ASSERT_TRUE(Geometry::Circle_3Pt(points, &circle));
  EXPECT_NEAR(circle.o.x, 1.0, 1e-15);
  EXPECT_NEAR(circle.o.y, 0.0, 1e-15);
  EXPECT_NEAR(circle.r, 1.0, 1e-15);

  const Coord inLine[3]{{0, 0}, {1, 1}, {3, 3}};
  Geometry::Circle untouched;
  EXPECT_FALSE(Geometry::Circle_3Pt(inLine, &untouched));
  EXPECT_EQ(untouched.o, (Coord{0, 0}));
  const Coord twice[3]{{1, 1}, {1, 1}, {3, 0}};
  EXPECT_FALSE(Geometry::Circle_3Pt(twice, &untouched));
}

}  // namespace
