#include "CKelAreaCoord3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "CAffine.h"
#include "KelTestSupport.h"

namespace {

using kel_test::ExpectXYZ;

CKelAreaCoord3D Face(const std::vector<CKelCoord3D>& vertices)
{
  CKelAreaCoord3D face;
  for (const CKelCoord3D& v : vertices)
    face.Append(v);
  return face;
}

// The unit square at height z, counter-clockwise seen from above.
CKelAreaCoord3D UnitSquare(double z)
{
  return Face({{0, 0, z}, {1, 0, z}, {1, 1, z}, {0, 1, z}});
}

// The unit square tilted about the x axis: z = y.
CKelAreaCoord3D RampSquare()
{
  CKelAreaCoord3D face = Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}});
  EXPECT_TRUE(face.CalcPlaneEquation());
  return face;
}

void ExpectPlane(const CKelAreaCoord3D& face, double a, double b, double c, double d)
{
  EXPECT_NEAR(a, face.m_A, 1e-12);
  EXPECT_NEAR(b, face.m_B, 1e-12);
  EXPECT_NEAR(c, face.m_C, 1e-12);
  EXPECT_NEAR(d, face.m_D, 1e-12);
}

// The plane's numbers, for exact compares.
std::vector<double> Plane(const CKelAreaCoord3D& face)
{
  return {face.m_A, face.m_B, face.m_C, face.m_D};
}

void ExpectVertices(const CKelAreaCoord3D& face, const std::vector<CKelCoord3D>& expected)
{
  ASSERT_EQ(static_cast<int>(expected.size()), face.GetSize());
  for (int i = 0; i < face.GetSize(); ++i) {
    SCOPED_TRACE(testing::Message() << "vertex " << i);
    const CKelCoord3D& v = expected[static_cast<std::size_t>(i)];
    ExpectXYZ(v.m_x, v.m_y, v.m_z, face.GetCoord3D(i));
  }
}

}  // namespace

// --- The point list -------------------------------------------------------------

TEST(CKelAreaCoord3D, IndexWrapsOnceHeightsTravelAndInsertedVerticesTakeThePlaneHeight)
{
  CKelAreaCoord3D wrapped = Face({{0, 0, 1}, {1, 0, 2}, {1, 1, 3}});
  ExpectXYZ(1, 1, 3, wrapped.GetCoord3D(-1));
  ExpectXYZ(0, 0, 1, wrapped.GetCoord3D(3));
  ExpectXYZ(0, 0, 1, wrapped.GetFrontCoord3D());
  ExpectXYZ(1, 1, 3, wrapped.GetBackCoord3D());
  wrapped.SwapCoord(0, 2);
  wrapped.MoveZ(1, -4);
  ExpectVertices(wrapped, {{1, 1, 3}, {1, 0, -4}, {0, 0, 1}});
  wrapped.MoveBlock(CKelCoord2D(5, 7), CKelCoord3D(1, 2, 100));
  wrapped.DeletePoint(0);
  ExpectVertices(wrapped, {{5, 5, -4}, {4, 5, 1}});
  wrapped.Clear();
  EXPECT_EQ(0, wrapped.GetSize());

  // Inserted and moved vertices take the plane's height.
  CKelAreaCoord3D face = RampSquare();
  face.InsertPoint(0, CKelCoord3D(0.5, 0.25, 99));
  ExpectXYZ(0.5, 0.25, 0.25, face.GetCoord3D(1));
  face.InsertPoint(-1, CKelCoord3D(0, 0.5, -99));
  ExpectXYZ(0, 0.5, 0.5, face.GetCoord3D(0));
  face.MovePoint(3, CKelCoord3D(2, 0.75, 42));
  ExpectXYZ(2, 0.75, 0.75, face.GetCoord3D(3));
  EXPECT_EQ(6, face.GetSize());
  // Append keeps what it is given.
  face.Append(CKelCoord3D(9, 9, 9));
  ExpectXYZ(9, 9, 9, face.GetBackCoord3D());
}

TEST(CKelAreaCoord3D, MoveLineShiftsTheEdgeInPlanAndKeepsItOnThePlane)
{
  CKelAreaCoord3D face = RampSquare();
  face.MoveLine(0, CKelCoord3D(0.5, -1, 7));
  ExpectVertices(face, {{0, -1, -1}, {1, -1, -1}, {1, 1, 1}, {0, 1, 1}});
  face.MoveLine(3, CKelCoord3D(-2, 0, 0));  // the last edge wraps to vertex 0
  ExpectVertices(face, {{-2, -1, -1}, {1, -1, -1}, {1, 1, 1}, {-2, 1, 1}});
}

// --- Plane ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, FlatSquareAtTwoHasThePlane001Minus2AndTiltedOrConcaveOnesTheirUnitNormal)
{
  CKelAreaCoord3D face = UnitSquare(2);
  ASSERT_TRUE(face.CalcPlaneEquation());
  EXPECT_EQ(Plane(face), (std::vector<double>{0, 0, 1, -2}));
  EXPECT_EQ(2.0, face.CalcZ(CKelCoord2D(37, -5)));
  EXPECT_EQ(3.0, face.GetDistance(CKelCoord3D(0, 0, 5)));
  EXPECT_EQ(-2.0, face.GetDistance(CKelCoord3D(4, 4, 0)));
  EXPECT_EQ(1.0, face.GetVector().m_z);

  // Seen from above, a clockwise outline faces down.
  CKelAreaCoord3D down = Face({{0, 0, 2}, {0, 1, 2}, {1, 1, 2}, {1, 0, 2}});
  ASSERT_TRUE(down.GetPlaneEquation());
  EXPECT_EQ(Plane(down), (std::vector<double>{0, 0, -1, 2}));

  // A tilted face: its unit normal, and every vertex on its plane.
  const CKelAreaCoord3D ramp = RampSquare();
  const double h = std::sqrt(0.5);
  ExpectPlane(ramp, 0, -h, h, 0);
  EXPECT_NEAR(0.3, ramp.CalcZ(CKelCoord2D(12, 0.3)), 1e-12);
  for (int i = 0; i < ramp.GetSize(); ++i)
    EXPECT_NEAR(0.0, ramp.GetDistance(ramp.GetCoord3D(i)), 1e-12);

  // Newell's sum must also hold for a concave outline whose first three
  // vertices turn the wrong way.
  CKelAreaCoord3D notched = Face({{0, 0, 3}, {1, 1, 3}, {2, 0, 3}, {2, 2, 3}, {0, 2, 3}});
  ASSERT_TRUE(notched.CalcPlaneEquation());
  ExpectPlane(notched, 0, 0, 1, -3);
}

TEST(CKelAreaCoord3D, DegenerateOutlinesLeaveThePlaneZeroAndVerticalOnesHaveNoHeight)
{
  CKelAreaCoord3D two = UnitSquare(2);
  ASSERT_TRUE(two.CalcPlaneEquation());
  two.Clear();
  two.Append(CKelCoord3D(0, 0, 0));
  two.Append(CKelCoord3D(1, 1, 1));
  EXPECT_TRUE(two.CalcPlaneEquation());
  ExpectPlane(two, 0, 0, 0, 0);
  CKelAreaCoord3D line = Face({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
  line.m_C = 5;
  EXPECT_FALSE(line.CalcPlaneEquation());
  ExpectPlane(line, 0, 0, 0, 0);
  EXPECT_FALSE(Face({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}).CalcPlaneEquation());

  CKelAreaCoord3D wall = Face({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}});
  ASSERT_TRUE(wall.CalcPlaneEquation());
  EXPECT_EQ(0.0, wall.m_C);
  EXPECT_EQ(DBL_MAX, wall.CalcZ(CKelCoord2D(0.5, 0)));
  wall.InsertPoint(0, CKelCoord3D(0.5, 0, 0.5));
  EXPECT_EQ(DBL_MAX, wall.GetCoord3D(1).m_z);
  EXPECT_EQ(DBL_MAX, CKelAreaCoord3D::Check_CalcZ(1, 2, 1, 0, 0, 4));
  EXPECT_EQ(-3.0, CKelAreaCoord3D::Check_CalcZ(1, 2, 1, 1, 1, 0));
}

TEST(CKelAreaCoord3D, SamePlaneToleranceIsInclusive)
{
  CKelAreaCoord3D a, b;
  a.m_C = b.m_C = 1;
  b.m_D = 1e-6;
  EXPECT_TRUE(a.IsSamePlane(b));
  b.m_D = 1.5e-6;
  EXPECT_FALSE(a.IsSamePlane(b));
  b.m_D = 0;
  b.m_A = -1.5e-6;
  EXPECT_FALSE(a.IsSamePlane(b));
  EXPECT_FALSE(b.IsSamePlane(a));
}

TEST(CKelAreaCoord3D, CompareDataListsCountsOrDifferingPlanCoordinates)
{
  const CKelAreaCoord3D square = UnitSquare(0);
  std::vector<std::string> lines;
  square.CompareData("面", Face({{0, 0, 0}}), lines);
  CKelAreaCoord3D other = UnitSquare(5);  // heights are not compared
  other.m_pt[1].m_y = 0.5;
  other.m_pt[3].m_x = -1;
  square.CompareData("面", other, lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"面, 辺数, 4, 1", "面, 2, 0.000000, 0.500000",
                                             "面, 4, 0.000000, -1.000000"}));
}

// --- Merge ----------------------------------------------------------------------------

TEST(CKelAreaCoord3D, SquaresSharingAnEdgeMergeIntoSixVertices)
{
  CKelAreaCoord3D left = UnitSquare(2);
  CKelAreaCoord3D right = Face({{1, 0, 2}, {2, 0, 2}, {2, 1, 2}, {1, 1, 2}});
  left.CalcPlaneEquation();
  right.CalcPlaneEquation();
  left.SetArea();
  left.SetMaxMin();
  ASSERT_TRUE(left.Merge(right));
  ExpectVertices(left, {{1, 1, 2}, {0, 1, 2}, {0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {2, 1, 2}});
  EXPECT_EQ(0.0, left.m_area);
  EXPECT_EQ(0.0, left.m_xmax);
  ExpectPlane(left, 0, 0, 1, -2);
  left.SetArea();
  EXPECT_EQ(2.0, left.m_area);
}

TEST(CKelAreaCoord3D, MergeDropsTheInteriorVerticesOfTheSharedRunOrRefuses)
{
  // A shared run that passes vertex 0 of this face: its interior vertex (1,1)
  // must drop out rather than leave a spike.
  CKelAreaCoord3D left = Face({{1, 1, 0}, {1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}});
  CKelAreaCoord3D right = Face({{1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 2, 0}, {1, 1, 0}});
  left.CalcPlaneEquation();
  right.CalcPlaneEquation();
  ASSERT_TRUE(left.Merge(right));
  ExpectVertices(left, {{1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}});
  EXPECT_EQ(4.0, left.Area());

  // A triangle whose two edges lie along the other face: the notch vertex goes.
  CKelAreaCoord3D big = Face({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2, 2, 0}, {0, 2, 0}});
  const CKelAreaCoord3D notch = Face({{2, 0, 0}, {2, 2, 0}, {1, 1, 0}});
  const double expectedArea = big.Area() + notch.Area();
  ASSERT_TRUE(big.Merge(notch));  // planes never computed: both 0, the same
  EXPECT_EQ(4, big.GetSize());
  EXPECT_EQ(expectedArea, big.Area());

  // Faces without an edge to join are refused and left as they were.
  const CKelAreaCoord3D before = UnitSquare(0);
  CKelAreaCoord3D otherPlane = Face({{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}});
  otherPlane.m_C = 1;
  const CKelAreaCoord3D refused[] = {
      Face({{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}}),  // only a corner
      otherPlane,                                          // same edge, other plane
      // Two coinciding faces share every edge; without a cap the walk along
      // them would never end, and nothing is left to join.
      Face({{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}}),
  };
  for (const CKelAreaCoord3D& other : refused) {
    CKelAreaCoord3D a = before;
    EXPECT_FALSE(a.Merge(other));
    EXPECT_TRUE(a == before);
  }
  CKelAreaCoord3D empty;
  EXPECT_FALSE(empty.Merge(before));
}

// --- Triangulation ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, SquareCutsIntoTwoTrianglesWithHeights)
{
  CKelAreaCoord3D square = Face({{0, 0, 2}, {1, 0, 3}, {1, 1, 6}, {0, 1, 5}});
  square.CalcPlaneEquation();
  square.SetArea();
  CKelAreaCoord3DArray out;
  ASSERT_TRUE(square.Triangulate(out));
  ASSERT_EQ(2u, out.size());
  ExpectVertices(out[0], {{0, 0, 2}, {1, 0, 3}, {1, 1, 6}});
  ExpectVertices(out[1], {{1, 1, 6}, {0, 1, 5}, {0, 0, 2}});
  for (const CKelAreaCoord3D& t : out) {
    EXPECT_EQ(0.0, t.m_area);
    EXPECT_EQ(0.0, t.m_C);
  }

  out.clear();
  EXPECT_FALSE(Face({{0, 0, 0}, {1, 0, 0}}).Triangulate(out));
  EXPECT_FALSE(Face({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}).Triangulate(out));  // clockwise
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangulate(out));
  EXPECT_EQ(1u, out.size());
}

// Convex outlines: n - 2 triangles, each counter-clockwise, their areas summing
// to the outline's and every vertex keeping its height.
TEST(CKelAreaCoord3D, TrianglesOfConvexFacesCoverThemExactly)
{
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    const int n = 3 + round % 40;
    std::vector<double> angles(static_cast<std::size_t>(n));
    for (double& a : angles)
      a = angle(random);
    std::sort(angles.begin(), angles.end());
    CKelAreaCoord3D face;
    for (double a : angles)
      face.Append(CKelCoord3D(10 * std::cos(a), 10 * std::sin(a), 3 * std::cos(a) - std::sin(a)));
    CKelAreaCoord3DArray out;
    ASSERT_TRUE(face.Triangulate(out));
    ASSERT_EQ(static_cast<std::size_t>(n - 2), out.size());
    double sum = 0;
    for (const CKelAreaCoord3D& t : out) {
      EXPECT_GT(t.Area(), 0);
      sum += t.Area();
      for (const CKelCoord3D& v : t.m_pt)
        EXPECT_NEAR(3 * v.m_x / 10 - v.m_y / 10, v.m_z, 1e-9);
    }
    EXPECT_NEAR(face.Area(), sum, 1e-9 * face.Area());
  }
}

// --- Affine maps ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, AffineIsATranslationForFlatFacesAndCarriesTiltedOnesIntoTheGroundAndBack)
{
  CKelAreaCoord3D level = Face({{3, 4, 2}, {5, 4, 2}, {5, 6, 2}});
  level.CalcPlaneEquation();
  CAffine3D toLevel, fromLevel;
  level.GetAffine(&toLevel, &fromLevel);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(r == c ? 1.0 : 0.0, toLevel.m[r][c]) << r << "," << c;
  EXPECT_EQ(std::vector<double>(toLevel.m[3], toLevel.m[3] + 4), (std::vector<double>{-3, -4, -2, 1}));
  EXPECT_EQ(3.0, fromLevel.m[3][0]);

  const std::vector<CKelAreaCoord3D> faces = {
      RampSquare(),
      Face({{1, 2, 1}, {4, 1, 2.75}, {6, 5, 2.75}, {2, 6, 0.5}}),  // z = 0.5 x - 0.25 y + 1
      Face({{0, 0, 0}, {0, 1, 0}, {1, 1, 1}}),                      // faces down and sideways
      Face({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}),           // vertical
  };
  for (CKelAreaCoord3D face : faces) {
    face.CalcPlaneEquation();
    CAffine3D to, back;
    face.GetAffine(&to, &back);
    ExpectXYZ(0, 0, 0, to.Conv(face.GetCoord3D(0)));
    for (const CKelCoord3D& v : face.m_pt) {
      const CKelCoord3D flat = to.Conv(v);
      EXPECT_NEAR(0.0, flat.m_z, 1e-9);
      ExpectXYZ(v.m_x, v.m_y, v.m_z, back.Conv(flat));
    }
  }

  // A normal whose C rounds just above 1 must not make the tilt NaN.
  CKelAreaCoord3D rounded = UnitSquare(1);
  rounded.m_C = std::nextafter(1.0, 2.0);
  CAffine3D toRounded;
  rounded.GetAffine(&toRounded, nullptr);
  for (const auto& row : toRounded.m)
    for (double v : row)
      EXPECT_TRUE(std::isfinite(v));
  ExpectXYZ(1, 1, 0, toRounded.Conv(CKelCoord3D(1, 1, 1)));
}

// --- CKelAreaCoord3DArray -------------------------------------------------------------------

TEST(CKelAreaCoord3DArray, ListCopiesFacesWithTheirNumberAndComparesByTheCacheTolerances)
{
  CKelAreaCoord3DArray list;
  CKelAreaCoord3D face = UnitSquare(1);
  face.m_nFaceNo = 4;
  face.m_area = 1.5;
  list.AddElement(&face);
  face.m_area = 2.25;
  list.AddElement(&face);
  ASSERT_EQ(2, list.GetSize());
  EXPECT_EQ(4, list[1].m_nFaceNo);
  EXPECT_EQ(3.75, list.GetArea());
  list.GetElement(1)->MoveZ(0, 9);
  EXPECT_EQ(9.0, list[1].m_pt[0].m_z);
  EXPECT_EQ(1.0, face.m_pt[0].m_z);
  list.Erase(0);
  ASSERT_EQ(1, list.GetSize());
  EXPECT_EQ(2.25, list.GetArea());
  EXPECT_EQ(0.0, CKelAreaCoord3DArray().GetArea());

  CKelAreaCoord3DArray other = list;
  EXPECT_TRUE(list == other);
  other[0].m_area += 0.0004;  // beyond 1e-5, within 0.0005
  EXPECT_TRUE(list != other);
  EXPECT_TRUE(list.IsNearlyEqual(other));
  other[0].m_area = list[0].m_area;
  other[0].m_pt[2].m_z += 3e-5;  // heights are part of vertex identity
  EXPECT_FALSE(list == other);
  EXPECT_FALSE(list.IsNearlyEqual(other));
  other = list;
  other.push_back(face);
  EXPECT_FALSE(list.IsNearlyEqual(other));
}
