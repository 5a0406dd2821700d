// CKelAreaCoord2D and CKelAreaCoord2DArray: the point-list interface, edges,
// collinear-vertex removal, arc pieces, text compare, records and archive.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelMemoryArchive.h"
#include "KelAreaTestSupport.h"

namespace {

using kel_test::AddF64;
using kel_test::AddI32;
using kel_test::AddTag;
using kel_test::Bytes;
using kel_test::LoadFrom;
using kel_test::Poly;
using kel_test::SavedBytes;

constexpr double kPi = 3.141592653589793;

std::vector<CKelCoord2D> Vertices(const CKelAreaCoord2D& p)
{
  return p.m_pt;
}

std::vector<CKelCoord2D> V(std::initializer_list<std::pair<double, double>> points)
{
  std::vector<CKelCoord2D> v;
  for (const auto& [x, y] : points)
    v.emplace_back(x, y);
  return v;
}

// --- Point-list interface ----------------------------------------------------

TEST(CKelAreaCoord2DList, ReadsVerticesFlatWithIndicesWrappedOnce)
{
  const CKelAreaCoord2D p = Poly({{1, 2}, {3, 4}, {5, 6}});
  EXPECT_EQ(p.GetSize(), 3);
  EXPECT_TRUE(p.IsClosed());
  EXPECT_EQ(p.GetCoord3D(-1), CKelCoord3D(5, 6, 0));
  EXPECT_EQ(p.GetCoord3D(3), CKelCoord3D(1, 2, 0));
  EXPECT_EQ(p.GetCoord3D(1), CKelCoord3D(3, 4, 0));
  EXPECT_EQ(p.GetFrontCoord3D(), CKelCoord3D(1, 2, 0));
  EXPECT_EQ(p.GetBackCoord3D(), CKelCoord3D(5, 6, 0));
  // Through the interface the defaults of the slots this class keeps.
  const CKelObject& object = p;
  EXPECT_FALSE(object.IsCenter(0));
  EXPECT_TRUE(object.IsCCW());
}

TEST(CKelAreaCoord2DList, EditsDropHeightsAndInsertAfterTheIndex)
{
  CKelAreaCoord2D p = Poly({{0, 0}, {1, 0}});
  p.InsertPoint(0, CKelCoord3D(9, 9, 7));
  EXPECT_EQ(Vertices(p), V({{0, 0}, {9, 9}, {1, 0}}));
  p.InsertPoint(-1, CKelCoord3D(-1, -1, 0));
  EXPECT_EQ(Vertices(p), V({{-1, -1}, {0, 0}, {9, 9}, {1, 0}}));
  p.Append(CKelCoord3D(5, 5, 3));
  p.MovePoint(0, CKelCoord3D(7, 7, 1));
  p.SwapCoord(1, 4);
  p.DeletePoint(2);
  EXPECT_EQ(Vertices(p), V({{7, 7}, {5, 5}, {1, 0}, {0, 0}}));
  p.MoveBlock(CKelCoord2D(10, 20), CKelCoord3D(1, 2, 99));
  EXPECT_EQ(Vertices(p), V({{16, 25}, {14, 23}, {10, 18}, {9, 18}}));
}

TEST(CKelAreaCoord2DList, ClearKeepsTheCachedNumbers)
{
  CKelAreaCoord2D p = Poly({{0, 0}, {2, 0}, {0, 2}});
  p.SetArea();
  p.SetMaxMin();
  p.Clear();
  EXPECT_EQ(p.GetSize(), 0);
  EXPECT_EQ(p.m_area, 2.0);
  EXPECT_EQ(p.m_xmax, 2.0);
}

TEST(CKelAreaCoord2DEdges, MoveLineShiftsOneEdgeAndTheLastEdgeWraps)
{
  CKelAreaCoord2D p = Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  p.MoveLine(0, 1.0);  // left normal of (0,0)->(4,0) is +y
  EXPECT_EQ(Vertices(p), V({{0, 1}, {4, 1}, {4, 4}, {0, 4}}));
  p.MoveLine(3, CKelCoord3D(-2, 0, 0));  // edge (0,4)->(0,1) through x = -2
  EXPECT_EQ(Vertices(p), V({{-2, 1}, {4, 1}, {4, 4}, {-2, 4}}));
}

// --- IsOnline ------------------------------------------------------------------

TEST(CKelAreaCoord2DOnline, WithinOnEdgeAcrossAndAlong)
{
  const CKelAreaCoord2D sq = Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  EXPECT_TRUE(sq.IsOnline({2, 0}));
  EXPECT_TRUE(sq.IsOnline({2, 0.5e-5}));
  EXPECT_FALSE(sq.IsOnline({2, 2e-5}));
  EXPECT_FALSE(sq.IsOnline({2, 2}));
  // Beyond the end of the bottom edge along its line.
  EXPECT_TRUE(sq.IsOnline({4.000005, 0}));
  EXPECT_FALSE(sq.IsOnline({4.00002, 0}));
  // Before the start of the bottom edge.
  EXPECT_TRUE(sq.IsOnline({-0.000005, 0}));
  EXPECT_FALSE(sq.IsOnline({-0.00002, 0}));
  EXPECT_FALSE(CKelAreaCoord2D().IsOnline({0, 0}));
}

TEST(CKelAreaCoord2DOnline, AZeroLengthEdgeIsItsPointOnly)
{
  const CKelAreaCoord2D p = Poly({{0, 0}, {4, 0}, {4, 0}, {4, 4}});
  EXPECT_TRUE(p.IsOnline({4, 0}));
  EXPECT_TRUE(p.IsOnline({4, 2}));
  EXPECT_FALSE(p.IsOnline({5, 0}));
  const CKelAreaCoord2D point = Poly({{1, 1}});
  EXPECT_TRUE(point.IsOnline({1, 1}));
  EXPECT_FALSE(point.IsOnline({1, 1.001}));
}

// --- DeleteOnLine -------------------------------------------------------------------

TEST(CKelAreaCoord2DDeleteOnLine, RemovesAndRetestsTheSameIndex)
{
  CKelAreaCoord2D p = Poly({{0, 0}, {1, 0}, {2, 0}, {2, 2}});
  EXPECT_TRUE(p.DeleteOnLine());
  EXPECT_EQ(Vertices(p), V({{0, 0}, {2, 0}, {2, 2}}));
  EXPECT_FALSE(p.DeleteOnLine());
}

TEST(CKelAreaCoord2DDeleteOnLine, OffsetStrictlyInsideCollinearIsRemoved)
{
  // The middle vertex's offset from the line of its neighbours is exactly its y.
  CKelAreaCoord2D near = Poly({{0, 0}, {1, 2.4e-5}, {2, 0}, {1, -5}});
  EXPECT_TRUE(near.DeleteOnLine());
  EXPECT_EQ(near.GetSize(), 3);
  CKelAreaCoord2D off = Poly({{0, 0}, {1, 2.6e-5}, {2, 0}, {1, -5}});
  EXPECT_FALSE(off.DeleteOnLine());
}

TEST(CKelAreaCoord2DDeleteOnLine, EmptiesPolygonsOfOneOrTwoVertices)
{
  CKelAreaCoord2D two = Poly({{0, 0}, {3, 1}});
  EXPECT_TRUE(two.DeleteOnLine());
  EXPECT_EQ(two.GetSize(), 0);
  CKelAreaCoord2D one = Poly({{5, 5}});
  EXPECT_TRUE(one.DeleteOnLine());
  EXPECT_EQ(one.GetSize(), 0);
  CKelAreaCoord2D none;
  EXPECT_FALSE(none.DeleteOnLine());
}

TEST(CKelAreaCoord2DDeleteOnLine, ARepeatedVertexGoesWithoutHarmingTheRest)
{
  CKelAreaCoord2D p = Poly({{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}});
  EXPECT_TRUE(p.DeleteOnLine());
  EXPECT_EQ(Vertices(p), V({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
}

// --- Arc pieces ----------------------------------------------------------------------

TEST(CKelAreaCoord2DArc, SectorAndSegmentOfAQuarter)
{
  const CKelAreaCoord2D quarter = Poly({{0, 0}, {1, 0}, {0, 1}});
  EXPECT_NEAR(quarter.GetArcArea(), kPi / 4, 1e-15);
  EXPECT_NEAR(quarter.GetArcCenterArea(), kPi / 4 - 0.5, 1e-15);
  // Radius 2 about (1, 1).
  const CKelAreaCoord2D moved = Poly({{1, 1}, {3, 1}, {1, 3}});
  EXPECT_NEAR(moved.GetArcArea(), kPi, 1e-14);
  EXPECT_NEAR(moved.GetArcCenterArea(), kPi - 2, 1e-14);
}

TEST(CKelAreaCoord2DArc, SweepsCountCounterClockwiseAcrossTheCut)
{
  // From (0, 1) round to (1, 0): three quarters of the circle.
  const CKelAreaCoord2D big = Poly({{0, 0}, {0, 1}, {1, 0}});
  EXPECT_NEAR(big.GetArcArea(), 3 * kPi / 4, 1e-15);
  EXPECT_EQ(big.GetArcCenterArea(), 0.0);
  // From (0, -1) to (1, 0) crosses the angle 0: a quarter.
  const CKelAreaCoord2D small = Poly({{0, 0}, {0, -1}, {1, 0}});
  EXPECT_NEAR(small.GetArcArea(), kPi / 4, 1e-15);
}

TEST(CKelAreaCoord2DArc, SegmentIsZeroFromAHalfCircleOn)
{
  const CKelAreaCoord2D half = Poly({{0, 0}, {1, 0}, {-1, 0}});
  EXPECT_NEAR(half.GetArcArea(), kPi / 2, 1e-15);
  EXPECT_EQ(half.GetArcCenterArea(), 0.0);
  // Just under a half circle the segment is nearly half the disc.
  const CKelAreaCoord2D under = Poly({{0, 0}, {1, 0}, {-1, 1e-4}});
  EXPECT_NEAR(under.GetArcCenterArea(), kPi / 2, 1e-3);
  EXPECT_EQ(Poly({{0, 0}, {1, 0}}).GetArcArea(), 0.0);
  EXPECT_EQ(Poly({{0, 0}, {1, 0}}).GetArcCenterArea(), 0.0);
}

// --- CompareData ------------------------------------------------------------------------

TEST(CKelAreaCoord2DCompare, CountLineOrOneLinePerDifferingComponent)
{
  std::vector<std::string> lines;
  Poly({{0, 0}, {1, 0}}).CompareData("L", Poly({{0, 0}, {1, 0}, {1, 1}}), lines);
  EXPECT_EQ(lines, std::vector<std::string>{"L, 辺数, 2, 3"});

  lines.clear();
  Poly({{0, 0}, {1, 2}, {5, 5}}).CompareData("L", Poly({{0, 0}, {1, 3}, {6, 4}}), lines);
  const std::vector<std::string> expected{"L, 2, 2.000000, 3.000000", "L, 3, 5.000000, 6.000000",
                                          "L, 3, 5.000000, 4.000000"};
  EXPECT_EQ(lines, expected);

  lines.clear();
  Poly({{0, 0}}).CompareData("L", Poly({{0, 0}}), lines);
  EXPECT_TRUE(lines.empty());
}

// --- Record -----------------------------------------------------------------------------

TEST(CKelAreaCoord2DRecord, GoldenBytesAndRoundTrip)
{
  CKelAreaCoord2D p = Poly({{1, 2}, {-0.5, 3}});
  const Bytes bytes = SavedBytes("area2d.rec", [&](CKelFileIO& f) { return p.SaveData(f); });
  const Bytes expected{0xe8, 0x03, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,   // 1.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,   // 2.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xe0, 0xbf,   // -0.5
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40};  // 3.0
  EXPECT_EQ(bytes, expected);

  CKelAreaCoord2D back;
  back.m_area = 7;  // the record carries no area: it stays
  ASSERT_TRUE(LoadFrom("area2d.rec", bytes, [&](CKelFileIO& f) { return back.LoadData(f); }));
  EXPECT_EQ(Vertices(back), Vertices(p));
  EXPECT_EQ(back.m_area, 7.0);
}

TEST(CKelAreaCoord2DRecord, CountZeroSucceedsAndKeepsThePolygon)
{
  Bytes bytes;
  AddI32(bytes, 1000);
  AddI32(bytes, 0);
  CKelAreaCoord2D p = Poly({{1, 1}, {2, 2}});
  EXPECT_TRUE(LoadFrom("area2d.rec", bytes, [&](CKelFileIO& f) { return p.LoadData(f); }));
  EXPECT_EQ(p.GetSize(), 2);
}

TEST(CKelAreaCoord2DRecord, RefusesWrongMarkerNegativeOrOversizedCount)
{
  const auto refused = [](int marker, int count, int vertices) {
    Bytes bytes;
    AddI32(bytes, marker);
    AddI32(bytes, count);
    for (int i = 0; i < vertices; ++i) {
      AddF64(bytes, i);
      AddF64(bytes, i);
    }
    CKelAreaCoord2D p = Poly({{9, 9}});
    const bool ok = LoadFrom("area2d.rec", bytes, [&](CKelFileIO& f) { return p.LoadData(f); });
    // Nothing resized or overwritten by a refused head.
    return !ok && Vertices(p) == V({{9, 9}});
  };
  EXPECT_TRUE(refused(1001, 1, 1));
  EXPECT_TRUE(refused(1000, -1, 1));
  EXPECT_TRUE(refused(1000, 3, 2));
  EXPECT_TRUE(refused(1000, 0x7fffffff, 1));
}

// --- CKelAreaCoord2DArray -------------------------------------------------------------------

CKelAreaCoord2DArray TwoPolygons()
{
  CKelAreaCoord2DArray list;
  list.push_back(Poly({{0, 0}, {1, 0}, {0, 1}}));
  list.push_back(Poly({{5, 5}, {7, 5}, {7, 7}, {5, 7}}));
  for (CKelAreaCoord2D& p : list) {
    p.SetArea();
    p.SetMaxMin();
  }
  return list;
}

TEST(CKelAreaCoord2DArrayList, ContainerInterfaceAndStoredAreaSum)
{
  CKelAreaCoord2DArray list = TwoPolygons();
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_DOUBLE_EQ(list.GetArea(), 4.5);
  list[0].m_pt.push_back({9, 9});  // edits leave the stored area as it was
  EXPECT_DOUBLE_EQ(list.GetArea(), 4.5);

  CKelObjectArray& objects = list;
  EXPECT_EQ(objects.GetElement(1)->GetCoord3D(2), CKelCoord3D(7, 7, 0));
  objects.AddElement(objects.GetElement(1));
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_TRUE(list[2] == list[1]);
  objects.Erase(0);
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_DOUBLE_EQ(list.GetArea(), 8.0);
  EXPECT_EQ(CKelAreaCoord2DArray().GetArea(), 0.0);
}

TEST(CKelAreaCoord2DArrayList, OnlineWhenOnAnyOutline)
{
  const CKelAreaCoord2DArray list = TwoPolygons();
  EXPECT_TRUE(list.IsOnline({6, 5}));
  EXPECT_TRUE(list.IsOnline({0.5, 0.5}));
  EXPECT_FALSE(list.IsOnline({3, 3}));
}

TEST(CKelAreaCoord2DArrayList, EqualityIsPolygonByPolygon)
{
  const CKelAreaCoord2DArray a = TwoPolygons();
  CKelAreaCoord2DArray b = TwoPolygons();
  EXPECT_TRUE(a == b);
  b[1].m_area += 0.0004;
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.pop_back();
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a.IsNearlyEqual(b));
}

TEST(CKelAreaCoord2DArrayArchive, TagTwiceFromVersion2AndNoneBefore)
{
  CKelAreaCoord2DArray list;
  list.push_back(Poly({{1, 2}}));

  CKelMemoryArchive v1(1);
  ASSERT_TRUE(list.Serialize(v1));
  Bytes expected1;
  AddI32(expected1, 1);
  AddI32(expected1, 1);
  AddF64(expected1, 1);
  AddF64(expected1, 2);
  for (int i = 0; i < 5; ++i)
    AddF64(expected1, 0);
  EXPECT_EQ(v1.GetBytes(), expected1);

  CKelMemoryArchive v2(2);
  ASSERT_TRUE(list.Serialize(v2));
  Bytes expected2;
  AddTag(expected2, "CKelAreaCoord2DArray");
  AddTag(expected2, "CKelAreaCoord2DArray");
  AddI32(expected2, 1);
  AddI32(expected2, 1);
  AddTag(expected2, "CKelCoord2D");
  AddF64(expected2, 1);
  AddF64(expected2, 2);
  for (int i = 0; i < 5; ++i)
    AddF64(expected2, 0);
  EXPECT_EQ(v2.GetBytes(), expected2);
}

TEST(CKelAreaCoord2DArrayArchive, RoundTripAndRefusedCount)
{
  const CKelAreaCoord2DArray list = TwoPolygons();
  CKelAreaCoord2DArray copy = list;
  CKelMemoryArchive out(9);
  ASSERT_TRUE(copy.Serialize(out));
  CKelMemoryArchive in(out.GetBytes(), 9);
  CKelAreaCoord2DArray back;
  ASSERT_TRUE(back.Serialize(in));
  EXPECT_TRUE(back == list);
  EXPECT_EQ(back[1].m_area, 4.0);

  Bytes bytes;
  AddI32(bytes, 1000000);
  AddI32(bytes, 0);
  CKelMemoryArchive huge(bytes, 1);
  EXPECT_FALSE(back.Serialize(huge));
  EXPECT_EQ(back.size(), 2u);
}

TEST(CKelAreaCoord2DArrayRecord, OneRecordPerPolygonAndRoundTrip)
{
  CKelAreaCoord2DArray list;
  list.push_back(Poly({{1, 2}}));
  list.push_back(Poly({}));
  const Bytes bytes = SavedBytes("area2darray.rec", [&](CKelFileIO& f) { return list.SaveData(f); });
  Bytes expected;
  AddI32(expected, 1000);
  AddI32(expected, 2);
  AddI32(expected, 1000);
  AddI32(expected, 1);
  AddF64(expected, 1);
  AddF64(expected, 2);
  AddI32(expected, 1000);
  AddI32(expected, 0);
  EXPECT_EQ(bytes, expected);

  CKelAreaCoord2DArray back;
  ASSERT_TRUE(LoadFrom("area2darray.rec", bytes, [&](CKelFileIO& f) { return back.LoadData(f); }));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(Vertices(back[0]), V({{1, 2}}));
  EXPECT_EQ(back[1].GetSize(), 0);
}

TEST(CKelAreaCoord2DArrayRecord, RefusedHeadsAndAFailingPolygon)
{
  const auto load = [](const Bytes& bytes, CKelAreaCoord2DArray& list) {
    return LoadFrom("area2darray.rec", bytes, [&](CKelFileIO& f) { return list.LoadData(f); });
  };
  CKelAreaCoord2DArray list = TwoPolygons();
  Bytes head;
  AddI32(head, 1000);
  AddI32(head, 0);
  EXPECT_TRUE(load(head, list));
  EXPECT_EQ(list.size(), 2u);

  Bytes tooMany;
  AddI32(tooMany, 1000);
  AddI32(tooMany, 50);
  AddI32(tooMany, 1000);
  AddI32(tooMany, 0);
  EXPECT_FALSE(load(tooMany, list));
  EXPECT_EQ(list.size(), 2u);

  // The second polygon's marker is wrong: the first one stays as read.
  Bytes badSecond;
  AddI32(badSecond, 1000);
  AddI32(badSecond, 2);
  AddI32(badSecond, 1000);
  AddI32(badSecond, 1);
  AddF64(badSecond, 8);
  AddF64(badSecond, 9);
  AddI32(badSecond, 999);
  AddI32(badSecond, 0);
  EXPECT_FALSE(load(badSecond, list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(Vertices(list[0]), V({{8, 9}}));
}

}  // namespace
