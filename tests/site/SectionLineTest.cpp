// Section lines across the site and block edge points.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "CKelBaseParam.h"
#include "CSyasenCheckSectionLine.h"
#include "SiteTestSupport.h"

using namespace site_test;

namespace {

CKelBaseParam Base()
{
  CKelBaseParam base;
  base.m_Site = Site({{0, 0}, {20, 0}, {20, 15}, {0, 15}});
  MakeRoad(base.m_Site, 0, 4, 6);
  base.m_Site.m_pt[0].m_RoadHeight1 = 1.0f;
  base.m_Site.m_pt[0].m_RoadHeight2 = 3.0f;
  return base;
}

CSyasenCheckSectionLine Section(const CKelBaseParam& base, const CKelCoord2D* p, int dir)
{
  CSyasenCheckSectionLine s;
  s.m_BaseLine = CoordLine2D(CKelCoord2D(0, 0), CKelCoord2D(20, 0));
  s.SetLength(base.m_Site, p, dir);
  return s;
}

CKelBlockCube Box(double x0, double x1, double y0, double y1, double h)
{
  CKelBlockCube b;
  for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
    b.Append(CKelBlockCoord(x, y, h, 0));
  b.SetType();
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  b.SetMinMax();
  return b;
}

}  // namespace

TEST(SectionLine, SquareThroughPointAndItsRoadPoints)
{
  const CKelBaseParam base = Base();
  const CKelCoord2D p(5, 7);
  CSyasenCheckSectionLine s = Section(base, &p, 0);
  EXPECT_EQ(-5.0, s.m_Offset);
  kel_test::ExpectXY(5, 0, s.m_Line.m_Beg);
  kel_test::ExpectXY(5, 15, s.m_Line.m_End);
  EXPECT_EQ(-10.0, Section(base, nullptr, 0).m_Offset);
  EXPECT_EQ(0.0, Section(base, &p, 1).m_Offset);

  s.CutBlock(base, CKelBlockCubeArray(), CKelBlockCubeArray());
  ASSERT_EQ(2u, s.m_Point.size());
  kel_test::ExpectXYZ(5, 0, 1.5, s.m_Point[0], 1e-12);
  kel_test::ExpectXYZ(5, -4.5, 1.5, s.m_Point[1], 1e-12);

  // Reversed, only the end lies on the road edge: the same points.
  CSyasenCheckSectionLine r = s;
  r.DoReverse(1);
  r.CutBlock(base, CKelBlockCubeArray(), CKelBlockCubeArray());
  ASSERT_EQ(2u, r.m_Point.size());
  kel_test::ExpectXYZ(5, -4.5, 1.5, r.m_Point[1], 1e-12);
  r.DoReverse(1);
  EXPECT_TRUE(r.m_bReverse);
  r.m_bReverse = false;
  r.m_Block = s.m_Block;
  EXPECT_EQ(s, r);

  CSyasenCheckSectionLine along = Section(base, &p, 1);
  along.CutBlock(base, CKelBlockCubeArray(), CKelBlockCubeArray());
  EXPECT_TRUE(along.m_Point.empty());

  CSyasenCheckSectionLine empty;
  empty.m_BaseLine = CoordLine2D(CKelCoord2D(3, 4), CKelCoord2D(6, 4));
  empty.SetLength(CKelHSite(), nullptr, 0);
  EXPECT_EQ(0.0, empty.m_Line.m_Length);
  kel_test::ExpectXY(3, 4, empty.m_Line.m_Beg);
}

TEST(SectionLine, KeepsWhatLiesLeft)
{
  CKelBaseParam base = Base();
  const CKelCoord2D p(5, 7);
  CSyasenCheckSectionLine s = Section(base, &p, 0);
  CKelBlockCubeArray blocks;
  blocks.push_back(Box(8, 12, 2, 6, 9));  // wholly right of x = 5 looking north
  blocks.push_back(Box(1, 3, 2, 6, 9));   // wholly left
  blocks.push_back(Box(2, 8, 8, 12, 9));  // straddling
  base.m_Site.m_pt.clear();               // no slab, no road points
  s.CutBlock(base, blocks, CKelBlockCubeArray());
  ASSERT_EQ(2, s.m_Block.Size());
  EXPECT_NEAR(8.0, s.m_Block[0].Menseki(), 1e-9);
  EXPECT_NEAR(12.0, s.m_Block[1].Menseki(), 1e-9);
  EXPECT_LE(s.m_Block[1].XMax(), 5 + 1e-9);
}

TEST(EdgePoint, ByPitchByCountSharedCorners)
{
  CSyasenCheckBlockEdgePointBase pitch;
  CoordLine3D line;
  line.m_Beg3D = CKelCoord3D(0, 0, 0);
  line.m_End3D = CKelCoord3D(2.5, 0, 3);
  pitch.m_Line.push_back(line);
  pitch.CalcPoint();
  ASSERT_EQ(4u, pitch.m_Point.size());
  const double xs[] = {0, 2.5 / 3, 5.0 / 3, 2.5};
  for (int i = 0; i < 4; ++i)
    kel_test::ExpectXYZ(xs[i], 0, i * 1.0, pitch.m_Point[static_cast<std::size_t>(i)], 1e-12);

  CSyasenCheckBlockEdgePointPlan count;
  count.m_Line = pitch.m_Line;
  CoordLine3D next;
  next.m_Beg3D = line.m_End3D;
  next.m_End3D = CKelCoord3D(2.5, 4, 3);
  count.m_Line.push_back(next);
  count.CalcPoint();
  EXPECT_EQ(3u, count.m_Point.size());  // the shared corner once
  count.m_Count = 1;
  count.CalcPoint();
  EXPECT_EQ(2u, count.m_Point.size());  // each line's begin once
  count.m_Count = 2000000000;
  count.CalcPoint();
  EXPECT_LE(count.m_Point.size(), 2u * CSyasenCheckBlockEdgePoint::kMaxPointsPerLine);

  // Stored lines whose length is no number (found by fuzzing) lay nothing
  // by pitch; an endless one stays within the cap.
  CSyasenCheckBlockEdgePointBase broken;
  CoordLine3D bad;
  bad.m_Beg3D = CKelCoord3D(std::numeric_limits<double>::infinity(), 0, 0);
  bad.m_End3D = CKelCoord3D(std::numeric_limits<double>::infinity(), 1, 0);
  broken.m_Line.push_back(bad);
  bad.m_Beg3D = CKelCoord3D(std::nan(""), 0, 0);
  broken.m_Line.push_back(bad);
  broken.CalcPoint();
  EXPECT_TRUE(broken.m_Point.empty());
}

TEST(EdgePoint, RecordsAndArchives)
{
  CSyasenCheckBlockEdgePointPlan e;
  CoordLine3D line;
  line.m_Beg = CKelCoord2D(0, 0);
  line.m_End = CKelCoord2D(2, 0);
  line.SetCosSin();
  line.m_Beg3D = CKelCoord3D(0, 0, 1);
  line.m_End3D = CKelCoord3D(2, 0, 1);
  e.m_Line.push_back(line);
  e.m_Count = 3;
  e.CalcPoint();
  const kel_test::Bytes rec = kel_test::SavedRecord(e);
  CSyasenCheckBlockEdgePoint back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, rec, static_cast<int>(rec.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(e, back);
  EXPECT_FALSE(kel_test::LoadRecord(back, rec, static_cast<int>(rec.size()) - 1));

  // Record 1000: no count and flag, the constructed ones stay.
  kel_test::Bytes old = rec;
  old.resize(old.size() - 5);
  old[0] = 0xE8;
  old[1] = 0x03;
  CSyasenCheckBlockEdgePointPlan plan;
  ASSERT_TRUE(kel_test::LoadRecord(plan, old, static_cast<int>(old.size())));
  EXPECT_EQ(2, plan.m_Count);
  EXPECT_TRUE(plan.m_bByCount);
  // A pitch that could not lay points is refused.
  kel_test::Bytes zero = rec;
  std::fill(zero.begin() + 4, zero.begin() + 12, 0);
  EXPECT_FALSE(kel_test::LoadRecord(plan, zero, static_cast<int>(zero.size())));

  for (int v : {1, 2, 30}) {
    CSyasenCheckBlockEdgePoint a;
    ASSERT_TRUE(kel_test::Unarchive(a, kel_test::Archived(e, v), v));
    EXPECT_EQ(3, a.m_Count) << v;
    EXPECT_TRUE(a.m_bByCount) << v;
    ASSERT_EQ(1u, a.m_Line.size()) << v;
    // Lines carry their points from version 9; before, a line is its default.
    EXPECT_EQ(v >= 9 ? 3u : 1u, a.m_Point.size()) << v;
    if (v >= 9) {
      EXPECT_EQ(e, a);
    }
  }
}

// Lines that no site can hold are refused by both readers and both
// writers: a coordinate beyond the bound or one that is no number. Records
// found by fuzzing (one far line each) once took seconds to lay points the
// cell grid could not tell apart.
TEST(EdgePoint, LinesBeyondAnySiteAreRefusedAsMalformed)
{
  for (const char* name : {"edgepoints-far-107.bin", "edgepoints-far-116.bin", "edgepoints-far-122.bin",
                           "edgepoints-far-138.bin"}) {
    const kel_test::Bytes input = kel_test::ReadBytes(std::string(TEST_DATA_DIR) + "/far-edge-points/" + name);
    ASSERT_GT(input.size(), 1u) << name;
    const kel_test::Bytes rec(input.begin() + 1, input.end());  // byte 0 picks the fuzz target's reader
    CSyasenCheckBlockEdgePoint e;
    EXPECT_FALSE(kel_test::LoadRecord(e, rec, static_cast<int>(rec.size()))) << name;
  }

  // A line reaching the bound in every coordinate still reads and writes.
  const double far = CSyasenCheckBlockEdgePoint::kMaxCoordinate;
  CSyasenCheckBlockEdgePointPlan edge;
  CoordLine3D line;
  line.m_Beg = CKelCoord2D(-far, far);
  line.m_End = CKelCoord2D(far, -far);
  line.m_Beg3D = CKelCoord3D(-far, far, -far);
  line.m_End3D = CKelCoord3D(far, -far, far);
  line.SetCosSin();
  edge.m_Line.push_back(line);
  edge.m_Count = 3;
  edge.CalcPoint();
  const kel_test::Bytes rec = kel_test::SavedRecord(edge);
  CSyasenCheckBlockEdgePoint back;
  ASSERT_TRUE(kel_test::LoadRecord(back, rec, static_cast<int>(rec.size())));
  EXPECT_EQ(edge, back);
  ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(edge, 30), 30));
  EXPECT_EQ(edge, back);

  // One step beyond, or no number, in any stored coordinate of the line.
  constexpr std::size_t kLineAt = 4 + 8 + 4;  // record number, pitch, line count
  for (std::size_t field = 0; field < 10; ++field) {
    for (double bad : {std::nextafter(far, 2 * far), -std::nextafter(far, 2 * far), std::nan("")}) {
      kel_test::Bytes changed = rec;
      std::memcpy(changed.data() + kLineAt + 8 * field, &bad, sizeof bad);
      EXPECT_FALSE(kel_test::LoadRecord(back, changed, static_cast<int>(changed.size()))) << field << " " << bad;
    }
  }
  CSyasenCheckBlockEdgePointPlan beyond = edge;
  beyond.m_Line[0].m_End3D.m_z = std::nextafter(far, 2 * far);
  CKelFileIO f;
  ASSERT_TRUE(f.Create(kel_test::TestFilePath("beyond.bin").c_str()));
  EXPECT_FALSE(beyond.SaveData(f));
  f.Close();
  CKelMemoryArchive out(30);
  EXPECT_FALSE(beyond.Serialize(out));
  // The archive reader refuses what its writer would not write: each stored
  // coordinate at the bound, moved one step beyond.
  const kel_test::Bytes archived = kel_test::Archived(edge, 30);
  int moved = 0;
  for (double bound : {far, -far}) {
    unsigned char pattern[sizeof bound];
    std::memcpy(pattern, &bound, sizeof bound);
    const double step = std::nextafter(bound, 2 * bound);
    const auto find = [&](auto from) { return std::search(from, archived.end(), pattern, pattern + sizeof bound); };
    for (auto at = find(archived.begin()); at != archived.end(); at = find(at + 1)) {
      kel_test::Bytes changed = archived;
      std::memcpy(changed.data() + (at - archived.begin()), &step, sizeof step);
      EXPECT_FALSE(kel_test::Unarchive(back, changed, 30)) << (at - archived.begin());
      ++moved;
    }
  }
  EXPECT_EQ(10, moved);
}

TEST(SectionLine, RecordsUseTheBudgetExactly)
{
  const CKelBaseParam base = Base();
  const CKelCoord2D p(5, 7);
  CSyasenCheckSectionLine s = Section(base, &p, 0);
  CKelBlockCubeArray blocks;
  blocks.push_back(Box(1, 3, 2, 6, 9));
  s.CutBlock(base, blocks, CKelBlockCubeArray());
  CSyasenCheckSectionLineArray list;
  list.push_back(s);
  list.push_back(Section(base, nullptr, 1));
  const kel_test::Bytes rec = kel_test::SavedRecord(list);
  CSyasenCheckSectionLineArray back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, rec, static_cast<int>(rec.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(2, back.GetSize());
  EXPECT_EQ(s.m_Point.size(), back[0].m_Point.size());
  EXPECT_FALSE(kel_test::LoadRecord(back, rec, static_cast<int>(rec.size()) - 1));
  for (int v : {1, 2, 30}) {
    CSyasenCheckSectionLineArray a;
    ASSERT_TRUE(kel_test::Unarchive(a, kel_test::Archived(list, v), v)) << v;
    EXPECT_EQ(list.size(), a.size());
    EXPECT_EQ(list[0].m_Point.size(), a[0].m_Point.size());
  }
}

TEST(SectionLine, SlantedSectionGetsNoRoadPoints)
{
  const CKelBaseParam base = Base();
  const CKelCoord2D p(5, 7);
  CSyasenCheckSectionLine s = Section(base, &p, 0);
  s.m_Line = CoordLine2D(CKelCoord2D(5, 0), CKelCoord2D(8, 15));
  s.CutBlock(base, CKelBlockCubeArray(), CKelBlockCubeArray());
  EXPECT_TRUE(s.m_Point.empty());
  EXPECT_EQ(1, s.m_Block.Size());  // the site slab's left piece
}
