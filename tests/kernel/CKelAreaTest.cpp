// CKelArea<T> over the kernel's own point types: area and orientation, the
// box, point location with its tolerance boundaries, compares and the
// archive form.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "CKelArea.h"
#include "CKelMemoryArchive.h"
#include "KelAreaTestSupport.h"

namespace {

using kel_test::AddF64;
using kel_test::AddI32;
using kel_test::AddTag;
using kel_test::Bytes;

template <class T>
CKelArea<T> Outline(std::initializer_list<T> points)
{
  CKelArea<T> a;
  a.m_pt = points;
  return a;
}

CKelArea<CKelCoord2D> Square(double x0, double y0, double side)
{
  CKelArea<CKelCoord2D> a =
      Outline<CKelCoord2D>({{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}});
  a.SetArea();
  a.SetMaxMin();
  return a;
}

// --- Area and box ------------------------------------------------------------

TEST(CKelAreaArea, IsSignedByOrientationAndZeroWhenEmpty)
{
  EXPECT_DOUBLE_EQ(Outline<CKelCoord2D>({{0, 0}, {2, 0}, {2, 3}, {0, 3}}).Area(), 6.0);
  EXPECT_DOUBLE_EQ(Outline<CKelCoord2D>({{0, 0}, {0, 3}, {2, 3}, {2, 0}}).Area(), -6.0);
  EXPECT_EQ(CKelArea<CKelCoord2D>().Area(), 0.0);
  // Heights take no part.
  EXPECT_DOUBLE_EQ(Outline<CKelCoord3D>({{0, 0, 5}, {1, 0, -7}, {0, 1, 100}}).Area(), 0.5);
}

TEST(CKelAreaArea, SetAreaTurnsClockwiseOutlinesAndKeepsVerticesWhole)
{
  CKelArea<CKelCoord2D> cw = Outline<CKelCoord2D>({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
  cw.SetArea();
  EXPECT_EQ(cw.m_area, 1.0);
  ASSERT_EQ(cw.m_pt.size(), 4u);
  EXPECT_EQ(cw.m_pt[0], CKelCoord2D(1, 0));
  EXPECT_EQ(cw.m_pt[1], CKelCoord2D(1, 1));
  EXPECT_EQ(cw.m_pt[2], CKelCoord2D(0, 1));
  EXPECT_EQ(cw.m_pt[3], CKelCoord2D(0, 0));

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
  CKelArea<CKelCoord3D> a = Outline<CKelCoord3D>({{-1, 4, 9}, {3, -2, 9}, {0, 7, 9}});
  a.SetMaxMin();
  EXPECT_EQ(a.m_xmin, -1.0);
  EXPECT_EQ(a.m_xmax, 3.0);
  EXPECT_EQ(a.m_ymin, -2.0);
  EXPECT_EQ(a.m_ymax, 7.0);

  CKelArea<CKelCoord2D> empty;
  empty.SetMaxMin();
  EXPECT_EQ(empty.m_xmin, DBL_MAX);
  EXPECT_EQ(empty.m_ymin, DBL_MAX);
  EXPECT_EQ(empty.m_xmax, -DBL_MAX);
  EXPECT_EQ(empty.m_ymax, -DBL_MAX);
}

// --- InArea ----------------------------------------------------------------------

TEST(CKelAreaInArea, InsideOutsideAndTooFewVertices)
{
  const CKelArea<CKelCoord2D> sq = Square(0, 0, 4);
  EXPECT_EQ(sq.InArea({2, 2}, 0, 0.01), 1);
  EXPECT_EQ(sq.InArea({0.5, 3.9}, 0, 0.01), 1);
  EXPECT_EQ(sq.InArea({5, 2}, 0, 0.01), 0);
  EXPECT_EQ(sq.InArea({-3, 2}, 0, 0.01), 0);

  CKelArea<CKelCoord2D> two = Outline<CKelCoord2D>({{0, 0}, {4, 0}});
  two.SetMaxMin();
  EXPECT_EQ(two.InArea({2, 0}, 0, 0.01), 0);
}

TEST(CKelAreaInArea, OnTheOutlineUpToTolInclusive)
{
  const CKelArea<CKelCoord2D> sq = Square(0, 0, 4);
  const double tol = 0.25;  // a binary fraction keeps the distances exact
  EXPECT_EQ(sq.InArea({2, 0.25}, 0, tol), -1);
  EXPECT_EQ(sq.InArea({2, 0.2500001}, 0, tol), 1);
  EXPECT_EQ(sq.InArea({4, 4}, 0, tol), -1);
  // Beyond an end of an edge the distance is to that end.
  EXPECT_EQ(sq.InArea({4.1, 4.1}, 0, tol), 0);  // near the corner, but beyond the box margin of tol / 10
  EXPECT_EQ(sq.InArea({3.8, 3.8}, 0, tol), -1);
  // The reserved argument changes nothing.
  EXPECT_EQ(sq.InArea({2, 0.25}, 123.0, tol), -1);
}

TEST(CKelAreaInArea, BoxMarginIsATenthOfTolAndComesFirst)
{
  const CKelArea<CKelCoord2D> sq = Square(0, 0, 4);
  const double tol = 0.25;
  // Within tol of the bottom edge but 0.5 * tol below the box: outside.
  EXPECT_EQ(sq.InArea({2, -0.125}, 0, tol), 0);
  // Within the margin of a tenth of tol: on the outline.
  EXPECT_EQ(sq.InArea({2, -0.025}, 0, tol), -1);
  EXPECT_EQ(sq.InArea({2, -0.0250001}, 0, tol), 0);
}

TEST(CKelAreaInArea, AVertexThatOnlyTouchesTheLevelIsNotCounted)
{
  // A V-shaped notch from the top edge, its tip (2, 3) level with p.
  CKelArea<CKelCoord2D> notch =
      Outline<CKelCoord2D>({{0, 0}, {6, 0}, {6, 6}, {4, 6}, {2, 3}, {1, 6}, {0, 6}});
  notch.SetMaxMin();
  EXPECT_EQ(notch.InArea({5, 3}, 0, 1e-6), 1);
  EXPECT_EQ(notch.InArea({1.5, 3}, 0, 1e-6), 1);
  EXPECT_EQ(notch.InArea({2, 5}, 0, 1e-6), 0);  // inside the notch
}

TEST(CKelAreaInArea, ALevelThroughAVertexCountsOnce)
{
  CKelArea<CKelCoord2D> diamond = Outline<CKelCoord2D>({{2, 0}, {4, 2}, {2, 4}, {0, 2}});
  diamond.SetMaxMin();
  EXPECT_EQ(diamond.InArea({3, 2}, 0, 1e-6), 1);
  EXPECT_EQ(diamond.InArea({1, 2}, 0, 1e-6), 1);
  EXPECT_EQ(diamond.InArea({0.5, 0.5}, 0, 1e-6), 0);
}

TEST(CKelAreaInArea, AHorizontalRunAtTheLevelIsSteppedOver)
{
  // An L: the run (2,2)-(0,2) lies at p's level, left of p.
  CKelArea<CKelCoord2D> ell = Outline<CKelCoord2D>({{0, 0}, {4, 0}, {4, 4}, {2, 4}, {2, 2}, {0, 2}});
  ell.SetMaxMin();
  EXPECT_EQ(ell.InArea({3, 2}, 0, 1e-6), 1);
  EXPECT_EQ(ell.InArea({1, 2}, 0, 1e-6), -1);
  EXPECT_EQ(ell.InArea({1, 3}, 0, 1e-6), 0);
  // A level run whose outline only touches: the bottom edge of a square.
  const CKelArea<CKelCoord2D> sq = Square(0, 0, 4);
  EXPECT_EQ(sq.InArea({2, 1e-7}, 0, 1e-6), -1);
}

TEST(CKelAreaInArea, AZeroLengthEdgeMeasuresAsItsPoint)
{
  CKelArea<CKelCoord3D> a = Outline<CKelCoord3D>({{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}});
  a.SetMaxMin();
  EXPECT_EQ(a.InArea({2, 2}, 0, 0.01), 1);
  EXPECT_EQ(a.InArea({4, 0}, 0, 0.01), -1);
  EXPECT_EQ(a.InArea({3.995, 0.005}, 0, 0.01), -1);
  EXPECT_EQ(a.InArea({3.9, 0.5}, 0, 0.01), 1);
}

TEST(CKelAreaInArea, UsesTheCachedBoxAsItIs)
{
  CKelArea<CKelCoord2D> sq = Square(0, 0, 4);
  sq.m_xmax = 1;  // stale box: the point is refused before any edge is looked at
  EXPECT_EQ(sq.InArea({2, 2}, 0, 0.01), 0);
}

// --- Compares ----------------------------------------------------------------------

TEST(CKelAreaCompare, VerticesByPointEqualityStrictlyInside25e6)
{
  const CKelArea<CKelCoord2D> a = Square(0, 0, 1);
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
  double CKelArea<CKelCoord2D>::*const fields[] = {
      &CKelArea<CKelCoord2D>::m_xmin, &CKelArea<CKelCoord2D>::m_xmax, &CKelArea<CKelCoord2D>::m_ymin,
      &CKelArea<CKelCoord2D>::m_ymax, &CKelArea<CKelCoord2D>::m_area};
  for (auto field : fields) {
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

TEST(CKelAreaArchive, Version1IsCountVerticesThenCacheWithoutTags)
{
  CKelArea<CKelCoord2D> a = TwoVertexRecord();
  a.m_pt.resize(1);
  CKelMemoryArchive out(1);
  ASSERT_TRUE(a.Serialize(out));
  const Bytes expected{0x01, 0x00, 0x00, 0x00,                                // count
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,        // x 1.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,        // y 2.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40,        // area 5.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,        // xmin 1.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,        // xmax 3.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,        // ymin 2.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x40};       // ymax 4.0
  EXPECT_EQ(out.GetBytes(), expected);
}

TEST(CKelAreaArchive, Version2CarriesEachVertexTagButNoneOfItsOwn)
{
  CKelArea<CKelCoord2D> a = TwoVertexRecord();
  CKelMemoryArchive out(2);
  ASSERT_TRUE(a.Serialize(out));
  Bytes expected;
  AddI32(expected, 2);
  for (const auto& [x, y] : {std::pair{1.0, 2.0}, std::pair{3.0, 4.0}}) {
    AddTag(expected, "CKelCoord2D");
    AddF64(expected, x);
    AddF64(expected, y);
  }
  for (double v : {5.0, 1.0, 3.0, 2.0, 4.0})
    AddF64(expected, v);
  EXPECT_EQ(out.GetBytes(), expected);

  CKelMemoryArchive in(out.GetBytes(), 2);
  CKelArea<CKelCoord2D> back;
  ASSERT_TRUE(back.Serialize(in));
  EXPECT_TRUE(back == a);
  EXPECT_EQ(back.m_area, 5.0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

TEST(CKelAreaArchive, ThreeDimensionalVerticesPutTheHeightFirst)
{
  CKelArea<CKelCoord3D> a;
  a.m_pt = {{1, 2, 3}};
  CKelMemoryArchive out(2);
  ASSERT_TRUE(a.Serialize(out));
  Bytes expected;
  AddI32(expected, 1);
  AddTag(expected, "CKelCoord3D");
  AddF64(expected, 3);
  AddTag(expected, "CKelCoord2D");
  AddF64(expected, 1);
  AddF64(expected, 2);
  for (int i = 0; i < 5; ++i)
    AddF64(expected, 0);
  EXPECT_EQ(out.GetBytes(), expected);

  CKelMemoryArchive in(out.GetBytes(), 2);
  CKelArea<CKelCoord3D> back;
  ASSERT_TRUE(back.Serialize(in));
  EXPECT_TRUE(back == a);
  EXPECT_EQ(back.m_pt[0].m_z, 3.0);
}

TEST(CKelAreaArchive, RefusesACountTheBytesCannotHoldBeforeResizing)
{
  for (int count : {-1, 3, 0x7fffffff}) {
    Bytes bytes;
    AddI32(bytes, count);
    AddF64(bytes, 1);
    AddF64(bytes, 2);  // room for one vertex at most
    CKelMemoryArchive in(bytes, 1);
    CKelArea<CKelCoord2D> a = TwoVertexRecord();
    EXPECT_FALSE(a.Serialize(in)) << count;
    EXPECT_NE(in.GetError(), 0);
    EXPECT_EQ(a.m_pt.size(), 2u) << "resized for count " << count;
  }
}

TEST(CKelAreaArchive, ATruncatedRecordFails)
{
  CKelMemoryArchive out(2);
  CKelArea<CKelCoord2D> a = TwoVertexRecord();
  ASSERT_TRUE(a.Serialize(out));
  Bytes bytes = out.GetBytes();
  for (std::size_t cut : {bytes.size() - 1, std::size_t{30}, std::size_t{3}}) {
    CKelMemoryArchive in(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)), 2);
    CKelArea<CKelCoord2D> back;
    EXPECT_FALSE(back.Serialize(in)) << cut;
  }
}

}  // namespace
