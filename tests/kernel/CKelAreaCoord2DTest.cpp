// CKelAreaCoord2D and CKelAreaCoord2DArray: the point-list interface, edges,
// collinear-vertex removal, arc pieces, text compare, records and archive.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::ByteBuilder;
using kel_test::Bytes;
using kel_test::LoadRecord;
using kel_test::Poly;
using kel_test::Pts;
using kel_test::SavedRecord;
using kel_test::Unarchive;

constexpr double kPi = 3.141592653589793;

// --- Point-list interface ----------------------------------------------------

TEST(CKelAreaCoord2DList, ReadsFlatWithIndicesWrappedOnceEditsDropHeightsAndMoveLineWraps)
{
  const CKelAreaCoord2D read = Poly({{1, 2}, {3, 4}, {5, 6}});
  EXPECT_EQ(read.GetSize(), 3);
  EXPECT_EQ(read.GetCoord3D(-1), CKelCoord3D(5, 6, 0));
  EXPECT_EQ(read.GetCoord3D(3), CKelCoord3D(1, 2, 0));
  EXPECT_EQ(read.GetCoord3D(1), CKelCoord3D(3, 4, 0));
  EXPECT_EQ(read.GetFrontCoord3D(), CKelCoord3D(1, 2, 0));
  EXPECT_EQ(read.GetBackCoord3D(), CKelCoord3D(5, 6, 0));

  // Edits drop heights and insert after the index.
  CKelAreaCoord2D p = Poly({{0, 0}, {1, 0}});
  p.InsertPoint(0, CKelCoord3D(9, 9, 7));
  EXPECT_EQ(p.m_pt, Pts({{0, 0}, {9, 9}, {1, 0}}));
  p.InsertPoint(-1, CKelCoord3D(-1, -1, 0));
  EXPECT_EQ(p.m_pt, Pts({{-1, -1}, {0, 0}, {9, 9}, {1, 0}}));
  p.Append(CKelCoord3D(5, 5, 3));
  p.MovePoint(0, CKelCoord3D(7, 7, 1));
  p.SwapCoord(1, 4);
  p.DeletePoint(2);
  EXPECT_EQ(p.m_pt, Pts({{7, 7}, {5, 5}, {1, 0}, {0, 0}}));
  p.MoveBlock(CKelCoord2D(10, 20), CKelCoord3D(1, 2, 99));
  EXPECT_EQ(p.m_pt, Pts({{16, 25}, {14, 23}, {10, 18}, {9, 18}}));

  // Clear keeps the cached numbers.
  p.SetArea();
  p.SetMaxMin();
  p.Clear();
  EXPECT_EQ(p.GetSize(), 0);
  EXPECT_EQ(p.m_area, 2.5);
  EXPECT_EQ(p.m_xmax, 16.0);

  // MoveLine shifts one edge; the last edge wraps.
  CKelAreaCoord2D sq = Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  sq.MoveLine(0, 1.0);  // left normal of (0,0)->(4,0) is +y
  EXPECT_EQ(sq.m_pt, Pts({{0, 1}, {4, 1}, {4, 4}, {0, 4}}));
  sq.MoveLine(3, CKelCoord3D(-2, 0, 0));  // edge (0,4)->(0,1) through x = -2
  EXPECT_EQ(sq.m_pt, Pts({{-2, 1}, {4, 1}, {4, 4}, {-2, 4}}));
}

// --- IsOnline ------------------------------------------------------------------

TEST(CKelAreaCoord2DOnline, WithinOnEdgeAcrossAndAlongAndZeroLengthEdges)
{
  struct Row {
    CKelAreaCoord2D polygon;
    double x, y;
    bool on;
  };
  const CKelAreaCoord2D sq = Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  // A zero-length edge is its point only.
  const CKelAreaCoord2D doubled = Poly({{0, 0}, {4, 0}, {4, 0}, {4, 4}});
  const Row rows[] = {
      {sq, 2, 0, true},          {sq, 2, 0.5e-5, true},     {sq, 2, 2e-5, false},       {sq, 2, 2, false},
      {sq, 4.000005, 0, true},   {sq, 4.00002, 0, false},   {sq, -0.000005, 0, true},   {sq, -0.00002, 0, false},
      {Poly({}), 0, 0, false},   {doubled, 4, 0, true},     {doubled, 4, 2, true},      {doubled, 5, 0, false},
      {Poly({{1, 1}}), 1, 1, true},                         {Poly({{1, 1}}), 1, 1.001, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.polygon.GetSize() << " vertices, (" << r.x << ", " << r.y << ")");
    EXPECT_EQ(r.on, r.polygon.IsOnline({r.x, r.y}));
  }
}

// --- DeleteOnLine -------------------------------------------------------------------

TEST(CKelAreaCoord2DDeleteOnLine, RemovesCollinearRepeatedAndAllOfOneOrTwoVertices)
{
  struct Row {
    CKelAreaCoord2D polygon;
    bool changed;
    std::vector<CKelCoord2D> after;
  };
  const Row rows[] = {
      {Poly({{0, 0}, {1, 0}, {2, 0}, {2, 2}}), true, Pts({{0, 0}, {2, 0}, {2, 2}})},
      {Poly({{0, 0}, {2, 0}, {2, 2}}), false, Pts({{0, 0}, {2, 0}, {2, 2}})},
      // The middle vertex's offset from its neighbours' line is exactly its y.
      {Poly({{0, 0}, {1, 2.4e-5}, {2, 0}, {1, -5}}), true, Pts({{0, 0}, {2, 0}, {1, -5}})},
      {Poly({{0, 0}, {1, 2.6e-5}, {2, 0}, {1, -5}}), false, Pts({{0, 0}, {1, 2.6e-5}, {2, 0}, {1, -5}})},
      {Poly({{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}}), true, Pts({{0, 0}, {1, 0}, {1, 1}, {0, 1}})},
      {Poly({{0, 0}, {3, 1}}), true, {}},
      {Poly({{5, 5}}), true, {}},
      {Poly({}), false, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
    CKelAreaCoord2D p = r.polygon;
    EXPECT_EQ(r.changed, p.DeleteOnLine());
    EXPECT_EQ(r.after, p.m_pt);
  }
}

// --- Arc pieces ----------------------------------------------------------------------

// The polygon is (centre, begin, end) of a counter-clockwise arc: GetArcArea
// is its sector, GetArcCenterArea its segment, 0 from a half circle on.
TEST(CKelAreaCoord2DArc, SectorAndSegmentCountCounterClockwiseAcrossTheCut)
{
  struct Row {
    CKelAreaCoord2D arc;
    double sector, segment, tol;
  };
  const Row rows[] = {
      {Poly({{0, 0}, {1, 0}, {0, 1}}), kPi / 4, kPi / 4 - 0.5, 1e-15},
      {Poly({{1, 1}, {3, 1}, {1, 3}}), kPi, kPi - 2, 1e-14},  // radius 2 about (1, 1)
      {Poly({{0, 0}, {0, 1}, {1, 0}}), 3 * kPi / 4, 0, 1e-15},
      {Poly({{0, 0}, {0, -1}, {1, 0}}), kPi / 4, kPi / 4 - 0.5, 1e-15},  // across the angle 0
      {Poly({{0, 0}, {1, 0}, {-1, 0}}), kPi / 2, 0, 1e-15},
      {Poly({{0, 0}, {1, 0}}), 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
    EXPECT_NEAR(r.sector, r.arc.GetArcArea(), r.tol);
    EXPECT_NEAR(r.segment, r.arc.GetArcCenterArea(), r.tol);
  }
  // Just under a half circle the segment is nearly half the disc.
  EXPECT_NEAR(Poly({{0, 0}, {1, 0}, {-1, 1e-4}}).GetArcCenterArea(), kPi / 2, 1e-3);
}

// --- CompareData ------------------------------------------------------------------------

TEST(CKelAreaCoord2DCompare, CountLineOrOneLinePerDifferingComponent)
{
  std::vector<std::string> lines;
  Poly({{0, 0}, {1, 0}}).CompareData("L", Poly({{0, 0}, {1, 0}, {1, 1}}), lines);
  EXPECT_EQ(lines, std::vector<std::string>{"L, 辺数, 2, 3"});

  lines.clear();
  Poly({{0, 0}, {1, 2}, {5, 5}}).CompareData("L", Poly({{0, 0}, {1, 3}, {6, 4}}), lines);
  Poly({{0, 0}}).CompareData("L", Poly({{0, 0}}), lines);
  const std::vector<std::string> expected{"L, 2, 2.000000, 3.000000", "L, 3, 5.000000, 6.000000",
                                          "L, 3, 5.000000, 4.000000"};
  EXPECT_EQ(lines, expected);
}

// --- Record -----------------------------------------------------------------------------

TEST(CKelAreaCoord2DRecord, GoldenBytesRoundTripAndRefusedHeads)
{
  const CKelAreaCoord2D p = Poly({{1, 2}, {-0.5, 3}});
  const Bytes bytes = SavedRecord(p);
  const Bytes expected{0xe8, 0x03, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x3f,   // 1.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,   // 2.0
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xe0, 0xbf,   // -0.5
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40};  // 3.0
  EXPECT_EQ(bytes, expected);

  CKelAreaCoord2D back;
  back.m_area = 7;  // the record carries no area: it stays
  ASSERT_TRUE(LoadRecord(back, bytes));
  EXPECT_EQ(back.m_pt, p.m_pt);
  EXPECT_EQ(back.m_area, 7.0);

  // A count of zero succeeds and keeps the polygon.
  ASSERT_TRUE(LoadRecord(back, ByteBuilder().I32(1000).I32(0).bytes));
  EXPECT_EQ(back.m_pt, p.m_pt);

  const int heads[][3] = {{1001, 1, 1}, {1000, -1, 1}, {1000, 3, 2}, {1000, 0x7fffffff, 1}};
  for (const auto& [marker, count, vertices] : heads) {
    SCOPED_TRACE(testing::Message() << marker << " " << count);
    ByteBuilder head;
    head.I32(marker).I32(count);
    for (int i = 0; i < vertices; ++i)
      head.F64s({1.0 * i, 1.0 * i});
    CKelAreaCoord2D refused = Poly({{9, 9}});
    EXPECT_FALSE(LoadRecord(refused, head.bytes));
    EXPECT_EQ(refused.m_pt, Pts({{9, 9}})) << "resized or overwritten by a refused head";
  }
}

// --- CKelAreaCoord2DArray -------------------------------------------------------------------

CKelAreaCoord2DArray TwoPolygons()
{
  CKelAreaCoord2DArray list;
  list.push_back(kel_test::Prepared(Poly({{0, 0}, {1, 0}, {0, 1}})));
  list.push_back(kel_test::Prepared(Poly({{5, 5}, {7, 5}, {7, 7}, {5, 7}})));
  return list;
}

TEST(CKelAreaCoord2DArrayList, ContainerStoredAreaSumOnlineAndEquality)
{
  CKelAreaCoord2DArray list = TwoPolygons();
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

  const CKelAreaCoord2DArray a = TwoPolygons();
  EXPECT_TRUE(a.IsOnline({6, 5}));
  EXPECT_TRUE(a.IsOnline({0.5, 0.5}));
  EXPECT_FALSE(a.IsOnline({3, 3}));

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
  EXPECT_EQ(Archived(list, 1), ByteBuilder().I32(1).I32(1).F64s({1, 2, 0, 0, 0, 0, 0}).bytes);
  const Bytes v2 = ByteBuilder()
                       .Text("CKelAreaCoord2DArray")
                       .Text("CKelAreaCoord2DArray")
                       .I32(1)
                       .I32(1)
                       .Coord2D(1, 2)
                       .F64s({0, 0, 0, 0, 0})
                       .bytes;
  EXPECT_EQ(Archived(list, 2), v2);

  const CKelAreaCoord2DArray two = TwoPolygons();
  CKelAreaCoord2DArray back;
  ASSERT_TRUE(Unarchive(back, Archived(two, 9), 9));
  EXPECT_TRUE(back == two);
  EXPECT_EQ(back[1].m_area, 4.0);
  EXPECT_FALSE(Unarchive(back, ByteBuilder().I32(1000000).I32(0).bytes, 1));
  EXPECT_EQ(back.size(), 2u);
}

TEST(CKelAreaCoord2DArrayRecord, OneRecordPerPolygonAndRefusals)
{
  CKelAreaCoord2DArray list;
  list.push_back(Poly({{1, 2}}));
  list.push_back(Poly({}));
  const Bytes bytes = SavedRecord(list);
  EXPECT_EQ(bytes, ByteBuilder().I32(1000).I32(2).I32(1000).I32(1).F64s({1, 2}).I32(1000).I32(0).bytes);
  CKelAreaCoord2DArray back;
  ASSERT_TRUE(LoadRecord(back, bytes));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].m_pt, Pts({{1, 2}}));
  EXPECT_EQ(back[1].GetSize(), 0);

  back = TwoPolygons();
  EXPECT_TRUE(LoadRecord(back, ByteBuilder().I32(1000).I32(0).bytes));
  EXPECT_EQ(back.size(), 2u);
  EXPECT_FALSE(LoadRecord(back, ByteBuilder().I32(1000).I32(50).I32(1000).I32(0).bytes));
  EXPECT_EQ(back.size(), 2u);
  // The second polygon's marker is wrong: the first one stays as read.
  EXPECT_FALSE(LoadRecord(back, ByteBuilder().I32(1000).I32(2).I32(1000).I32(1).F64s({8, 9}).I32(999).I32(0).bytes));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].m_pt, Pts({{8, 9}}));
}

}  // namespace
