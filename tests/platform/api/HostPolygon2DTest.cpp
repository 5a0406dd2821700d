// The host's 2D polygons: area with holes and arcs, orientation, bound box,
// the circle through three points, and refusal of malformed data.

#include "PlatformTestSupport.h"

#include "host_polygon2d.h"

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

using HostPolygon2DTest = HostTest;

const std::vector<Coord> kSquareCcw{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<Coord> kHoleCw{{2, 2}, {2, 4}, {4, 4}, {4, 2}};

TEST_F(HostPolygon2DTest, HolesAreSubtractedWhateverTheirOrientationAndArcsAddOrRemoveTheirSegment)
{
  const std::vector<Coord> holeCcw{{2, 2}, {4, 2}, {4, 4}, {2, 4}};
  const std::vector<Coord> clockwise{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  const std::vector<Coord> chord{{-1, 0}, {1, 0}};
  const std::vector<Coord> square{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  struct Case {
    const char* what;
    std::vector<std::vector<Coord>> contours;
    std::vector<PolyArcRec> arcs;
    bool signedArea;
    double area;
  };
  const Case cases[] = {
      {"clockwise hole", {kSquareCcw, kHoleCw}, {}, false, 96.0},
      {"counter-clockwise hole", {kSquareCcw, holeCcw}, {}, false, 96.0},
      {"the signed sum tells the orientations apart", {kSquareCcw, holeCcw}, {}, true, 104.0},
      {"clockwise, signed", {clockwise}, {}, true, -100.0},
      {"clockwise", {clockwise}, {}, false, 100.0},
      // The half disc of radius 1 over the chord, walked counter-clockwise:
      // the arc runs from (1, 0) up to (-1, 0); it may be stored either way.
      {"half disc", {chord}, {{2, 3, kPi}}, true, kPi / 2.0},
      {"half disc stored backwards", {chord}, {{3, 2, -kPi}}, true, kPi / 2.0},
      // A quarter arc bulging into a 2 x 2 square removes a circular segment:
      // r = sqrt(2), segment = r^2 / 2 (a - sin a) with a = pi / 2.
      {"dented square", {square}, {{2, 3, -kPi / 2.0}}, false, 4.0 - (kPi / 2.0 - 1.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Polygon2DData data = Build(c.contours, c.arcs);
    EXPECT_NEAR(Geometry::GetPolygon2DDataArea(data, c.signedArea), c.area, 1e-12);
    Geometry::FreePolygon2DData(&data);
    EXPECT_EQ(data.vertices, nullptr);
  }
}

TEST_F(HostPolygon2DTest, OrientingTurnsTheOutlineCounterClockwiseAndHolesClockwiseKeepingArcsAndTheBulge)
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

  // The bound box takes in the bulge of the arc.
  Geometry::Box2DData box;
  ASSERT_TRUE(Geometry::GetPolygon2DDataBoundBox(data, &box));
  EXPECT_DOUBLE_EQ(box.xMin, -1.0);
  EXPECT_DOUBLE_EQ(box.xMax, 1.0);
  EXPECT_DOUBLE_EQ(box.yMin, 0.0);
  EXPECT_NEAR(box.yMax, 1.0, 1e-12);
  Geometry::FreePolygon2DData(&data);
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
