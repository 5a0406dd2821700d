// CKelArea<T> over the kernel's own point types: area and orientation, the
// box, point location with its tolerance boundaries, compares and the
// archive form.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <tuple>

#include "CKelArea.h"
#include "CKelAreaCoord3D.h"
#include "KelTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::ByteBuilder;
using kel_test::Bytes;
using kel_test::Unarchive;

template <class T>
CKelArea<T> Outline(std::initializer_list<T> points)
{
  CKelArea<T> a;
  a.m_pt = points;
  a.SetMaxMin();
  return a;
}

CKelArea<CKelCoord2D> Square(double side)
{
  CKelArea<CKelCoord2D> a = Outline<CKelCoord2D>({{0, 0}, {side, 0}, {side, side}, {0, side}});
  a.SetArea();
  return a;
}

// --- Area and box ------------------------------------------------------------

TEST(CKelAreaArea, IsSignedAndSetAreaTurnsClockwiseOutlinesKeepingVerticesWhole)
{
  EXPECT_DOUBLE_EQ(Outline<CKelCoord2D>({{0, 0}, {2, 0}, {2, 3}, {0, 3}}).Area(), 6.0);
  EXPECT_DOUBLE_EQ(Outline<CKelCoord2D>({{0, 0}, {0, 3}, {2, 3}, {2, 0}}).Area(), -6.0);
  EXPECT_EQ(CKelArea<CKelCoord2D>().Area(), 0.0);
  // Heights take no part.
  EXPECT_DOUBLE_EQ(Outline<CKelCoord3D>({{0, 0, 5}, {1, 0, -7}, {0, 1, 100}}).Area(), 0.5);

  // SetArea makes any outline counter-clockwise with a positive area.
  CKelArea<CKelCoord2D> cw = Outline<CKelCoord2D>({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
  cw.SetArea();
  EXPECT_EQ(cw.m_area, 1.0);
  EXPECT_EQ(cw.m_pt, kel_test::Pts({{1, 0}, {1, 1}, {0, 1}, {0, 0}}));

  // A vertex type with two heights: both travel with their vertex.
  CKelArea<CKelCoord3DEx> ex = Outline<CKelCoord3DEx>({{0, 0, 1, 2}, {0, 1, 3, 4}, {1, 0, 5, 6}});
  ex.SetArea();
  EXPECT_EQ(ex.m_area, 0.5);
  EXPECT_EQ(ex.m_pt[0], CKelCoord3DEx(1, 0, 5, 6));
  EXPECT_EQ(ex.m_pt[2], CKelCoord3DEx(0, 0, 1, 2));

  CKelArea<CKelCoord2D> ccw = Outline<CKelCoord2D>({{0, 0}, {1, 0}, {0, 1}});
  ccw.SetArea();
  EXPECT_EQ(ccw.m_pt[1], CKelCoord2D(1, 0));
  EXPECT_EQ(ccw.m_area, 0.5);
}

TEST(CKelAreaBox, CoversTheVerticesAndAnEmptyOutlineKeepsTheSentinels)
{
  const CKelArea<CKelCoord3D> a = Outline<CKelCoord3D>({{-1, 4, 9}, {3, -2, 9}, {0, 7, 9}});
  EXPECT_EQ(std::tuple(a.m_xmin, a.m_xmax, a.m_ymin, a.m_ymax), std::tuple(-1.0, 3.0, -2.0, 7.0));

  const CKelArea<CKelCoord2D> empty = Outline<CKelCoord2D>({});
  EXPECT_EQ(std::tuple(empty.m_xmin, empty.m_xmax, empty.m_ymin, empty.m_ymax),
            std::tuple(DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX));
}

// --- InArea ----------------------------------------------------------------------

struct InAreaRow {
  double x, y, tol;
  int expected;  // 1 inside, -1 on the outline, 0 outside
};

template <class T>
void ExpectInArea(const CKelArea<T>& area, std::initializer_list<InAreaRow> rows)
{
  for (const InAreaRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "(" << r.x << ", " << r.y << ") tol " << r.tol);
    EXPECT_EQ(area.InArea({r.x, r.y}, 0, r.tol), r.expected);
  }
}

// tol 0.25 is a binary fraction, so the distances at the boundaries are exact.
TEST(CKelAreaInArea, SquareInsideOutsideOnTheOutlineAndTheBoxMargin)
{
  ExpectInArea(Square(4), {{2, 2, 0.01, 1}, {0.5, 3.9, 0.01, 1}, {5, 2, 0.01, 0}, {-3, 2, 0.01, 0},
                           {2, 0.25, 0.25, -1}, {2, 0.2500001, 0.25, 1}, {4, 4, 0.25, -1},
                           {3.8, 3.8, 0.25, -1},  // beyond an edge's end: the distance to that end
                           {4.1, 4.1, 0.25, 0},   // near the corner, beyond the box margin of tol / 10
                           {2, -0.125, 0.25, 0},  // within tol of the edge, outside the margin
                           {2, -0.025, 0.25, -1}, {2, -0.0250001, 0.25, 0},
                           {2, 1e-7, 1e-6, -1}});  // a level run the outline only touches
  // The reserved argument changes nothing.
  EXPECT_EQ(Square(4).InArea({2, 0.25}, 123.0, 0.25), -1);
  EXPECT_EQ(Outline<CKelCoord2D>({{0, 0}, {4, 0}}).InArea({2, 0}, 0, 0.01), 0);  // too few vertices

  CKelArea<CKelCoord2D> stale = Square(4);
  stale.m_xmax = 1;  // the cached box is used as it is: refused before any edge
  EXPECT_EQ(stale.InArea({2, 2}, 0, 0.01), 0);
}

TEST(CKelAreaInArea, RayCountAtVerticesAndRunsLevelWithThePointAndZeroLengthEdges)
{
  // A V-shaped notch from the top edge, its tip (2, 3) level with p: a vertex
  // that only touches the level is not counted.
  ExpectInArea(Outline<CKelCoord2D>({{0, 0}, {6, 0}, {6, 6}, {4, 6}, {2, 3}, {1, 6}, {0, 6}}),
               {{5, 3, 1e-6, 1}, {1.5, 3, 1e-6, 1}, {2, 5, 1e-6, 0}});
  // A level through a vertex the outline passes counts once.
  ExpectInArea(Outline<CKelCoord2D>({{2, 0}, {4, 2}, {2, 4}, {0, 2}}),
               {{3, 2, 1e-6, 1}, {1, 2, 1e-6, 1}, {0.5, 0.5, 1e-6, 0}});
  // An L: the run (2,2)-(0,2) lies at p's level, left of p, and is stepped over.
  ExpectInArea(Outline<CKelCoord2D>({{0, 0}, {4, 0}, {4, 4}, {2, 4}, {2, 2}, {0, 2}}),
               {{3, 2, 1e-6, 1}, {1, 2, 1e-6, -1}, {1, 3, 1e-6, 0}});

  // A zero-length edge measures as its point.
  ExpectInArea(Outline<CKelCoord3D>({{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}),
               {{2, 2, 0.01, 1}, {4, 0, 0.01, -1}, {3.995, 0.005, 0.01, -1}, {3.9, 0.5, 0.01, 1}});
}

// --- Compares ----------------------------------------------------------------------

TEST(CKelAreaCompare, VerticesByPointEqualityStrictlyInside25e6)
{
  const CKelArea<CKelCoord2D> a = Square(1);
  CKelArea<CKelCoord2D> b = a;
  b.m_pt[2].m_x += 2.4e-5;
  EXPECT_TRUE(a == b);
  b.m_pt[2].m_x = a.m_pt[2].m_x + 2.6e-5;
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a != b);
  // Near-equality still takes vertices by operator==.
  EXPECT_FALSE(a.IsNearlyEqual(b));
  b.m_pt.pop_back();
  EXPECT_FALSE(a == b);
}

TEST(CKelAreaCompare, CachedNumbersWithinPolygonCacheOrByFcmpNearly)
{
  CKelArea<CKelCoord2D> a;
  a.m_pt = {{0, 0}, {1, 0}, {0, 1}};
  using A = CKelArea<CKelCoord2D>;
  for (auto field : {&A::m_xmin, &A::m_xmax, &A::m_ymin, &A::m_ymax, &A::m_area}) {
    CKelArea<CKelCoord2D> b = a;
    b.*field = 1e-5;
    EXPECT_TRUE(a == b);
    b.*field = 1.1e-5;
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a.IsNearlyEqual(b));
    b.*field = 0.0005;
    EXPECT_TRUE(a.IsNearlyEqual(b));
    b.*field = 0.00051;
    EXPECT_FALSE(a.IsNearlyEqual(b));
  }
}

// --- Archive ------------------------------------------------------------------------

CKelArea<CKelCoord2D> TwoVertexRecord()
{
  CKelArea<CKelCoord2D> a;
  a.m_pt = {{1, 2}, {3, 4}};
  a.m_area = 5;
  a.m_xmin = 1;
  a.m_xmax = 3;
  a.m_ymin = 2;
  a.m_ymax = 4;
  return a;
}

TEST(CKelAreaArchive, CountVerticesThenCacheWithVertexTagsFromVersion2)
{
  CKelArea<CKelCoord2D> one = TwoVertexRecord();
  one.m_pt.resize(1);
  const Bytes v1{0x01, 0x00, 0x00, 0x00,                          // count
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,  // x 1.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // y 2.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40,  // area 5.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,  // xmin 1.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,  // xmax 3.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // ymin 2.0
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x40};  // ymax 4.0
  EXPECT_EQ(Archived(one, 1), v1);

  // Each vertex carries its tag, the polygon none of its own.
  const CKelArea<CKelCoord2D> a = TwoVertexRecord();
  const Bytes v2 = ByteBuilder().I32(2).Coord2D(1, 2).Coord2D(3, 4).F64s({5, 1, 3, 2, 4}).bytes;
  EXPECT_EQ(Archived(a, 2), v2);
  CKelMemoryArchive in(v2, 2);
  CKelArea<CKelCoord2D> back;
  ASSERT_TRUE(back.Serialize(in));
  EXPECT_TRUE(back == a);
  EXPECT_EQ(back.m_area, 5.0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

TEST(CKelAreaArchive, ThreeDimensionalVerticesPutTheHeightFirst)
{
  CKelAreaCoord3D face;
  face.m_pt = {{1, 2, 3}};
  face.m_area = 0.5;
  face.m_xmin = -1;
  face.m_xmax = 1;
  face.m_ymin = -2;
  face.m_ymax = 2;
  EXPECT_EQ(ByteBuilder().I32(1).F64s({3, 1, 2, 0.5, -1, 1, -2, 2}).bytes, Archived(face, 1));
  EXPECT_EQ(ByteBuilder().I32(1).Coord3D(1, 2, 3).F64s({0.5, -1, 1, -2, 2}).bytes, Archived(face, 2));

  face.m_pt = {{0, 0, 2}, {3, 0, 2.5}, {3, 4, 3}, {0.125, 4, 3.5}};
  face.SetArea();
  face.SetMaxMin();
  for (int version : {1, 2, 9}) {
    SCOPED_TRACE(version);
    CKelMemoryArchive in(Archived(face, version), version);
    CKelAreaCoord3D back;
    ASSERT_TRUE(back.Serialize(in));
    EXPECT_TRUE(back == face);
    EXPECT_EQ(0u, in.RemainingBytes());
  }
}

TEST(CKelAreaArchive, RefusesACountTheBytesCannotHoldBeforeResizing)
{
  for (int count : {-1, 3, 0x7fffffff}) {
    SCOPED_TRACE(count);
    CKelMemoryArchive in(ByteBuilder().I32(count).F64s({1, 2}).bytes, 1);  // room for one vertex at most
    CKelArea<CKelCoord2D> a = TwoVertexRecord();
    EXPECT_FALSE(a.Serialize(in));
    EXPECT_NE(in.GetError(), 0);
    EXPECT_EQ(a.m_pt.size(), 2u) << "resized";
  }
  const Bytes bytes = Archived(TwoVertexRecord(), 2);
  for (std::size_t cut : {bytes.size() - 1, std::size_t{30}, std::size_t{3}}) {
    SCOPED_TRACE(cut);
    CKelArea<CKelCoord2D> back;
    EXPECT_FALSE(Unarchive(back, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)), 2));
  }
}

}  // namespace
