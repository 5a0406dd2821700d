#include "CKelAreaCoord3D.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "CAffine.h"
#include "CKelMemoryArchive.h"

namespace {

constexpr double kRound = 1e-12;

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

void ExpectVertex(double x, double y, double z, const CKelCoord3D& v)
{
  EXPECT_NEAR(x, v.m_x, kRound);
  EXPECT_NEAR(y, v.m_y, kRound);
  EXPECT_NEAR(z, v.m_z, kRound);
}

void ExpectPlane(const CKelAreaCoord3D& face, double a, double b, double c, double d)
{
  EXPECT_NEAR(a, face.m_A, kRound);
  EXPECT_NEAR(b, face.m_B, kRound);
  EXPECT_NEAR(c, face.m_C, kRound);
  EXPECT_NEAR(d, face.m_D, kRound);
}

void AppendDouble(std::vector<std::uint8_t>& bytes, double v)
{
  std::uint8_t raw[8];
  std::memcpy(raw, &v, 8);
  bytes.insert(bytes.end(), raw, raw + 8);
}

void AppendInt(std::vector<std::uint8_t>& bytes, std::int32_t v)
{
  for (int k = 0; k < 4; ++k)
    bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * k)));
}

void AppendTag(std::vector<std::uint8_t>& bytes, const char* tag)
{
  const auto n = static_cast<std::uint16_t>(std::strlen(tag));
  bytes.push_back(static_cast<std::uint8_t>(n & 0xff));
  bytes.push_back(static_cast<std::uint8_t>(n >> 8));
  bytes.insert(bytes.end(), tag, tag + n + 1);
}

}  // namespace

// --- Construction and the point list -----------------------------------------

TEST(CKelAreaCoord3D, NewFaceIsZeroAndCopiesCarryEverything)
{
  CKelAreaCoord3D face;
  ExpectPlane(face, 0, 0, 0, 0);
  EXPECT_EQ(0, face.m_nFaceNo);
  EXPECT_EQ(0.0, face.m_area);
  face = UnitSquare(2);
  face.SetArea();
  face.SetMaxMin();
  face.CalcPlaneEquation();
  face.m_nFaceNo = 17;
  const CKelAreaCoord3D copy(face);
  EXPECT_TRUE(copy == face);
  EXPECT_EQ(17, copy.m_nFaceNo);
  ExpectPlane(copy, 0, 0, 1, -2);
  EXPECT_EQ(1.0, copy.m_area);
}

TEST(CKelAreaCoord3D, IndexWrapsOnceAndHeightsTravel)
{
  CKelAreaCoord3D face = Face({{0, 0, 1}, {1, 0, 2}, {1, 1, 3}});
  ExpectVertex(1, 1, 3, face.GetCoord3D(-1));
  ExpectVertex(0, 0, 1, face.GetCoord3D(3));
  ExpectVertex(0, 0, 1, face.GetFrontCoord3D());
  ExpectVertex(1, 1, 3, face.GetBackCoord3D());

  face.SwapCoord(0, 2);
  ExpectVertex(1, 1, 3, face.GetCoord3D(0));
  ExpectVertex(0, 0, 1, face.GetCoord3D(2));

  face.MoveZ(1, -4);
  ExpectVertex(1, 0, -4, face.GetCoord3D(1));

  face.MoveBlock(CKelCoord2D(5, 7), CKelCoord3D(1, 2, 100));
  ExpectVertex(5, 5, -4, face.GetCoord3D(1));

  face.DeletePoint(0);
  EXPECT_EQ(2, face.GetSize());
  ExpectVertex(5, 5, -4, face.GetCoord3D(0));

  face.Clear();
  EXPECT_EQ(0, face.GetSize());
}

TEST(CKelAreaCoord3D, InsertedAndMovedVerticesTakeThePlaneHeight)
{
  CKelAreaCoord3D face = RampSquare();
  face.InsertPoint(0, CKelCoord3D(0.5, 0.25, 99));
  ASSERT_EQ(5, face.GetSize());
  ExpectVertex(0.5, 0.25, 0.25, face.GetCoord3D(1));

  face.InsertPoint(-1, CKelCoord3D(0, 0.5, -99));
  ExpectVertex(0, 0.5, 0.5, face.GetCoord3D(0));

  face.MovePoint(3, CKelCoord3D(2, 0.75, 42));
  ExpectVertex(2, 0.75, 0.75, face.GetCoord3D(3));

  // Append keeps what it is given.
  face.Append(CKelCoord3D(9, 9, 9));
  ExpectVertex(9, 9, 9, face.GetBackCoord3D());
}

TEST(CKelAreaCoord3D, MoveLineShiftsTheEdgeInPlanAndKeepsItOnThePlane)
{
  CKelAreaCoord3D face = RampSquare();
  face.MoveLine(0, CKelCoord3D(0.5, -1, 7));
  ExpectVertex(0, -1, -1, face.GetCoord3D(0));
  ExpectVertex(1, -1, -1, face.GetCoord3D(1));
  ExpectVertex(1, 1, 1, face.GetCoord3D(2));

  // The last edge wraps to vertex 0.
  face.MoveLine(3, CKelCoord3D(-2, 0, 0));
  ExpectVertex(-2, 1, 1, face.GetCoord3D(3));
  ExpectVertex(-2, -1, -1, face.GetCoord3D(0));
}

TEST(CKelAreaCoord3D, SetAreaReversesClockwiseOutlinesWithTheirHeights)
{
  CKelAreaCoord3D face = Face({{0, 0, 1}, {0, 1, 2}, {1, 1, 3}, {1, 0, 4}});
  EXPECT_EQ(-1.0, face.Area());
  face.SetArea();
  EXPECT_EQ(1.0, face.m_area);
  ExpectVertex(1, 0, 4, face.GetCoord3D(0));
  ExpectVertex(1, 1, 3, face.GetCoord3D(1));
  ExpectVertex(0, 1, 2, face.GetCoord3D(2));
  ExpectVertex(0, 0, 1, face.GetCoord3D(3));
}

// --- Plane ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, FlatSquareHasTheHorizontalPlane)
{
  CKelAreaCoord3D face = UnitSquare(2);
  ASSERT_TRUE(face.CalcPlaneEquation());
  EXPECT_EQ(0.0, face.m_A);
  EXPECT_EQ(0.0, face.m_B);
  EXPECT_EQ(1.0, face.m_C);
  EXPECT_EQ(-2.0, face.m_D);
  EXPECT_EQ(2.0, face.CalcZ(CKelCoord2D(37, -5)));
  EXPECT_EQ(3.0, face.GetDistance(CKelCoord3D(0, 0, 5)));
  EXPECT_EQ(-2.0, face.GetDistance(CKelCoord3D(4, 4, 0)));
  const CKelVector3D n = face.GetVector();
  EXPECT_EQ(1.0, n.m_z);

  // Seen from above, a clockwise outline faces down.
  CKelAreaCoord3D down = Face({{0, 0, 2}, {0, 1, 2}, {1, 1, 2}, {1, 0, 2}});
  ASSERT_TRUE(down.GetPlaneEquation());
  EXPECT_EQ(-1.0, down.m_C);
  EXPECT_EQ(2.0, down.m_D);
}

// Newell's sum must also hold for a concave outline whose first three
// vertices turn the wrong way.
TEST(CKelAreaCoord3D, TiltedAndConcaveOutlinesGiveTheirUnitNormal)
{
  const CKelAreaCoord3D face = RampSquare();
  const double h = std::sqrt(0.5);
  ExpectPlane(face, 0, -h, h, 0);
  EXPECT_NEAR(0.3, face.CalcZ(CKelCoord2D(12, 0.3)), kRound);
  for (int i = 0; i < face.GetSize(); ++i)
    EXPECT_NEAR(0.0, face.GetDistance(face.GetCoord3D(i)), kRound);

  CKelAreaCoord3D notched = Face({{0, 0, 3}, {1, 1, 3}, {2, 0, 3}, {2, 2, 3}, {0, 2, 3}});
  ASSERT_TRUE(notched.CalcPlaneEquation());
  ExpectPlane(notched, 0, 0, 1, -3);
}

TEST(CKelAreaCoord3D, DegenerateOutlinesLeaveThePlaneZero)
{
  CKelAreaCoord3D face = UnitSquare(2);
  ASSERT_TRUE(face.CalcPlaneEquation());
  face.Clear();
  face.Append(CKelCoord3D(0, 0, 0));
  face.Append(CKelCoord3D(1, 1, 1));
  EXPECT_TRUE(face.CalcPlaneEquation());
  ExpectPlane(face, 0, 0, 0, 0);

  CKelAreaCoord3D line = Face({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
  line.m_C = 5;
  EXPECT_FALSE(line.CalcPlaneEquation());
  ExpectPlane(line, 0, 0, 0, 0);

  CKelAreaCoord3D point = Face({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
  EXPECT_FALSE(point.CalcPlaneEquation());
}

TEST(CKelAreaCoord3D, VerticalPlaneHasNoHeight)
{
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

// --- Compare ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, CompareDataListsCountsOrDifferingPlanCoordinates)
{
  const CKelAreaCoord3D square = UnitSquare(0);
  std::vector<std::string> lines;
  square.CompareData("面", Face({{0, 0, 0}}), lines);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("面, 辺数, 4, 1", lines[0]);

  lines.clear();
  CKelAreaCoord3D other = UnitSquare(5);  // heights are not compared
  other.m_pt[1].m_y = 0.5;
  other.m_pt[3].m_x = -1;
  square.CompareData("面", other, lines);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("面, 2, 0.000000, 0.500000", lines[0]);
  EXPECT_EQ("面, 4, 0.000000, -1.000000", lines[1]);
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
  const std::vector<CKelCoord3D> expected = {{1, 1, 2}, {0, 1, 2}, {0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {2, 1, 2}};
  ASSERT_EQ(6, left.GetSize());
  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(left.GetCoord3D(i) == expected[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(0.0, left.m_area);
  EXPECT_EQ(0.0, left.m_xmax);
  ExpectPlane(left, 0, 0, 1, -2);
  left.SetArea();
  EXPECT_EQ(2.0, left.m_area);
}

// A shared run that passes vertex 0 of this face: its interior vertex (1,1)
// must drop out rather than leave a spike.
TEST(CKelAreaCoord3D, MergeAlongARunThatWrapsPastTheFirstVertex)
{
  CKelAreaCoord3D left = Face({{1, 1, 0}, {1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}});
  CKelAreaCoord3D right = Face({{1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 2, 0}, {1, 1, 0}});
  left.CalcPlaneEquation();
  right.CalcPlaneEquation();
  ASSERT_TRUE(left.Merge(right));
  const std::vector<CKelCoord3D> expected = {{1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}};
  ASSERT_EQ(6, left.GetSize());
  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(left.GetCoord3D(i) == expected[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(4.0, left.Area());
}

// A triangle whose two edges lie along the other face: the notch vertex goes.
TEST(CKelAreaCoord3D, MergeOfAFaceWhoseWholeOutlineIsTheRun)
{
  CKelAreaCoord3D big = Face({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2, 2, 0}, {0, 2, 0}});
  CKelAreaCoord3D notch = Face({{2, 0, 0}, {2, 2, 0}, {1, 1, 0}});
  const double expectedArea = big.Area() + notch.Area();
  ASSERT_TRUE(big.Merge(notch));  // planes never computed: both 0, the same
  EXPECT_EQ(4, big.GetSize());
  EXPECT_EQ(expectedArea, big.Area());
}

TEST(CKelAreaCoord3D, MergeRefusesFacesWithoutAnEdgeToJoin)
{
  CKelAreaCoord3D a = UnitSquare(0);
  const CKelAreaCoord3D corner = Face({{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}});
  const CKelAreaCoord3D before = a;
  EXPECT_FALSE(a.Merge(corner));
  EXPECT_TRUE(a == before);

  // Same edge, other plane.
  CKelAreaCoord3D right = Face({{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}});
  right.m_C = 1;
  EXPECT_FALSE(a.Merge(right));
  EXPECT_TRUE(a == before);

  CKelAreaCoord3D empty;
  EXPECT_FALSE(empty.Merge(before));

  // Two coinciding faces share every edge; without a cap the walk along them
  // would never end, and nothing is left to join.
  const CKelAreaCoord3D reversed = Face({{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}});
  EXPECT_FALSE(a.Merge(reversed));
  EXPECT_TRUE(a == before);
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
  const CKelCoord3D v[4] = {{0, 0, 2}, {1, 0, 3}, {1, 1, 6}, {0, 1, 5}};
  const int expected[2][3] = {{0, 1, 2}, {2, 3, 0}};
  for (int t = 0; t < 2; ++t) {
    ASSERT_EQ(3, out[static_cast<std::size_t>(t)].GetSize());
    for (int k = 0; k < 3; ++k)
      EXPECT_TRUE(out[static_cast<std::size_t>(t)].GetCoord3D(k) == v[expected[t][k]]) << t << "," << k;
    EXPECT_EQ(0.0, out[static_cast<std::size_t>(t)].m_area);
    EXPECT_EQ(0.0, out[static_cast<std::size_t>(t)].m_C);
  }
}

TEST(CKelAreaCoord3D, TriangulateRefusesTooFewVerticesAndClockwiseTriangles)
{
  CKelAreaCoord3DArray out;
  EXPECT_FALSE(Face({{0, 0, 0}, {1, 0, 0}}).Triangulate(out));
  EXPECT_FALSE(Face({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}).Triangulate(out));
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
    const int n = 3 + round % 40;
    std::vector<double> angles(static_cast<std::size_t>(n));
    for (double& a : angles)
      a = angle(random);
    std::sort(angles.begin(), angles.end());
    CKelAreaCoord3D face;
    for (double a : angles)
      face.Append(CKelCoord3D(10 * std::cos(a), 10 * std::sin(a), 3 * std::cos(a) - std::sin(a)));
    CKelAreaCoord3DArray out;
    ASSERT_TRUE(face.Triangulate(out)) << "round " << round;
    ASSERT_EQ(static_cast<std::size_t>(n - 2), out.size());
    double sum = 0;
    for (const CKelAreaCoord3D& t : out) {
      const double a = t.Area();
      EXPECT_GT(a, 0);
      sum += a;
      for (const CKelCoord3D& v : t.m_pt)
        EXPECT_NEAR(3 * v.m_x / 10 - v.m_y / 10, v.m_z, 1e-9);
    }
    EXPECT_NEAR(face.Area(), sum, 1e-9 * face.Area());
  }
}

// --- Affine maps ------------------------------------------------------------------------

TEST(CKelAreaCoord3D, AffineOfAFlatFaceIsAPureTranslation)
{
  CKelAreaCoord3D face = Face({{3, 4, 2}, {5, 4, 2}, {5, 6, 2}});
  face.CalcPlaneEquation();
  CAffine3D to, back;
  face.GetAffine(&to, &back);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(r == c ? 1.0 : 0.0, to.m[r][c]) << r << "," << c;
  EXPECT_EQ(-3.0, to.m[3][0]);
  EXPECT_EQ(-4.0, to.m[3][1]);
  EXPECT_EQ(-2.0, to.m[3][2]);
  EXPECT_EQ(1.0, to.m[3][3]);
  EXPECT_EQ(3.0, back.m[3][0]);
}

TEST(CKelAreaCoord3D, AffineCarriesTiltedFacesIntoTheGroundAndBack)
{
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
    ExpectVertex(0, 0, 0, to.Conv(face.GetCoord3D(0)));
    for (const CKelCoord3D& v : face.m_pt) {
      const CKelCoord3D flat = to.Conv(v);
      EXPECT_NEAR(0.0, flat.m_z, 1e-9);
      ExpectVertex(v.m_x, v.m_y, v.m_z, back.Conv(flat));
    }
  }
}

// A normal whose C rounds just above 1 must not make the tilt NaN.
TEST(CKelAreaCoord3D, AffineToleratesANormalRoundedPastOne)
{
  CKelAreaCoord3D face = UnitSquare(1);
  face.m_C = std::nextafter(1.0, 2.0);
  CAffine3D to;
  face.GetAffine(&to, nullptr);
  for (const auto& row : to.m)
    for (double v : row)
      EXPECT_TRUE(std::isfinite(v));
  ExpectVertex(1, 1, 0, to.Conv(CKelCoord3D(1, 1, 1)));
}

// --- Archive form (the polygon template's) ---------------------------------------------------

TEST(CKelAreaCoord3D, ArchiveBytesWithoutAndWithTags)
{
  CKelAreaCoord3D face = Face({{1, 2, 3}});
  face.m_area = 0.5;
  face.m_xmin = -1;
  face.m_xmax = 1;
  face.m_ymin = -2;
  face.m_ymax = 2;

  CKelMemoryArchive v1(1);
  ASSERT_TRUE(face.Serialize(v1));
  std::vector<std::uint8_t> expected;
  AppendInt(expected, 1);
  for (double v : {3.0, 1.0, 2.0, 0.5, -1.0, 1.0, -2.0, 2.0})
    AppendDouble(expected, v);
  EXPECT_EQ(expected, v1.GetBytes());

  CKelMemoryArchive v2(2);
  ASSERT_TRUE(face.Serialize(v2));
  expected.clear();
  AppendInt(expected, 1);
  AppendTag(expected, "CKelCoord3D");
  AppendDouble(expected, 3);
  AppendTag(expected, "CKelCoord2D");
  AppendDouble(expected, 1);
  AppendDouble(expected, 2);
  for (double v : {0.5, -1.0, 1.0, -2.0, 2.0})
    AppendDouble(expected, v);
  EXPECT_EQ(expected, v2.GetBytes());
}

TEST(CKelAreaCoord3D, ArchiveRoundTripKeepsVerticesAndCache)
{
  CKelAreaCoord3D face = Face({{0, 0, 2}, {3, 0, 2.5}, {3, 4, 3}, {0.125, 4, 3.5}});
  face.SetArea();
  face.SetMaxMin();
  for (int version : {1, 2, 9}) {
    CKelMemoryArchive out(version);
    ASSERT_TRUE(face.Serialize(out));
    CKelMemoryArchive in(out.GetBytes(), version);
    CKelAreaCoord3D back;
    ASSERT_TRUE(back.Serialize(in)) << version;
    EXPECT_TRUE(back == face) << version;
    EXPECT_EQ(0u, in.RemainingBytes());
  }
}

TEST(CKelAreaCoord3D, ArchiveRefusesCountsBeyondTheData)
{
  std::vector<std::uint8_t> bytes;
  AppendInt(bytes, 1000000);
  AppendDouble(bytes, 1);
  CKelMemoryArchive huge(bytes, 1);
  CKelAreaCoord3D face;
  EXPECT_FALSE(face.Serialize(huge));
  EXPECT_EQ(0, face.GetSize());

  bytes.clear();
  AppendInt(bytes, -1);
  CKelMemoryArchive negative(bytes, 1);
  EXPECT_FALSE(face.Serialize(negative));

  CKelMemoryArchive out(2);
  ASSERT_TRUE(UnitSquare(1).Serialize(out));
  std::vector<std::uint8_t> cut = out.GetBytes();
  cut.resize(cut.size() - 1);
  CKelMemoryArchive truncated(cut, 2);
  EXPECT_FALSE(face.Serialize(truncated));
}

// --- CKelAreaCoord3DArray -------------------------------------------------------------------

TEST(CKelAreaCoord3DArray, ListViewsCopiesAndErases)
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

  CKelObject* view = list.GetElement(1);
  view->MoveZ(0, 9);
  EXPECT_EQ(9.0, list[1].m_pt[0].m_z);
  EXPECT_EQ(1.0, face.m_pt[0].m_z);

  list.Erase(0);
  ASSERT_EQ(1, list.GetSize());
  EXPECT_EQ(2.25, list.GetArea());
  EXPECT_EQ(0.0, CKelAreaCoord3DArray().GetArea());
}

TEST(CKelAreaCoord3DArray, EqualityFollowsTheCacheTolerances)
{
  CKelAreaCoord3D face = UnitSquare(1);
  face.SetArea();
  face.SetMaxMin();
  CKelAreaCoord3DArray a, b;
  a.push_back(face);
  b.push_back(face);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a != b);

  b[0].m_area += 0.0004;  // beyond 1e-5, within 0.0005
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsNearlyEqual(b));

  b[0].m_area = face.m_area;
  b[0].m_pt[2].m_z += 3e-5;  // heights are part of vertex identity
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a.IsNearlyEqual(b));

  b.push_back(face);
  EXPECT_FALSE(a.IsNearlyEqual(b));
}
