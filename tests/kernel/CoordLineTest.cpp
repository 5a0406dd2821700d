#include "CoordLine.h"

#include "KelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using kel_test::Archived;
using kel_test::ByteBuilder;
using kel_test::Bytes;
using kel_test::LoadRecord;
using kel_test::SavedRecord;
using kel_test::Unarchive;

namespace {

constexpr double kRound = 1e-12;

CoordLine3D Line3D(double x1, double y1, double z1, double x2, double y2, double z2)
{
  CoordLine3D line;
  line.m_Beg = CKelCoord2D(x1, y1);
  line.m_End = CKelCoord2D(x2, y2);
  line.SetCosSin();
  line.m_Beg3D = CKelCoord3D(x1, y1, z1);
  line.m_End3D = CKelCoord3D(x2, y2, z2);
  return line;
}

CoordLine3DArray TwoLines()
{
  CoordLine3DArray lines;
  lines.push_back(Line3D(0, 0, 1, 3, 4, 2));
  lines.push_back(Line3D(1, 1, 0, 1, 2, 0));
  return lines;
}

}  // namespace

TEST(CoordLine2DTest, DirectionLengthAndLeftOffset)
{
  CoordLine2D line(0, 0, 3, 4);
  EXPECT_NEAR(0.6, line.m_Cos, kRound);
  EXPECT_NEAR(0.8, line.m_Sin, kRound);
  EXPECT_NEAR(5.0, line.m_Length, kRound);
  // Local frame: x along the line, y positive on its left.
  EXPECT_NEAR(5.0, line.GetLocalCoordX(CKelCoord2D(3, 4)), kRound);
  EXPECT_NEAR(1.0, line.GetLocalCoordY(CKelCoord2D(-0.8, 0.6)), kRound);
  EXPECT_NEAR(-1.0, line.GetLocalCoordY(CKelCoord2D(0.8, -0.6)), kRound);
  line.SetDistance(1);
  kel_test::ExpectXY(-0.8, 0.6, line.m_Beg);
  kel_test::ExpectXY(2.2, 4.6, line.m_End);

  // Ends that coincide have no direction: no NaN may reach the local frame.
  CoordLine2D point(2, 3, 2, 3);
  EXPECT_EQ(0.0, point.m_Length);
  EXPECT_EQ(1.0, point.m_Cos);
  EXPECT_EQ(0.0, point.m_Sin);
  const double zero = 0.0;
  EXPECT_TRUE(point.IsOnLine(CKelCoord2D(2, 3), &zero));
}

TEST(CoordLine2DTest, OnLineIncludesEndsAndCheckRangeIsStrict)
{
  const CoordLine2D line(0, 0, 4, 0);
  const struct {
    double x, y, tol;
    bool on;
  } rows[] = {{0, 0, 0, true},          {4, 0, 0, true},      {1.5, 0, 0, true},        {4.000001, 0, 0, false},
              {-0.000001, 0, 0, false}, {2, -0.1, 0.1, true}, {2, 0.10001, 0.1, false}};
  for (const auto& r : rows)
    EXPECT_EQ(r.on, line.IsOnLine(CKelCoord2D(r.x, r.y), &r.tol)) << r.x << ", " << r.y << " tol " << r.tol;

  double io = 0.0;
  EXPECT_FALSE(line.CheckRange(CKelCoord2D(2, 0), &io));
  EXPECT_EQ(0.0, io);
  io = 0.1;
  EXPECT_FALSE(line.CheckRange(CKelCoord2D(2, 0.1), &io));  // distance must be strictly smaller
  EXPECT_TRUE(line.CheckRange(CKelCoord2D(2, 0.05), &io));
  EXPECT_EQ(4.0, io);  // the length is written back on success
}

TEST(CoordLineCompare, ExactOnDirectionAndTheTwoTolerancesOnPoints)
{
  const CoordLine2D a(0, 0, 10, 0);
  CoordLine2D b = a;
  b.m_End.m_x += 2.4e-5;  // ends equal by the point rule ...
  EXPECT_TRUE(a == b);    // ... and direction and length were not recomputed
  b.SetCosSin();
  EXPECT_TRUE(a != b);  // the length now differs, compared exactly
  CoordLine2D c = a;
  c.m_Length += 0.0004;
  EXPECT_TRUE(a.IsNearlyEqual(c));
  c.m_Length = a.m_Length + 0.0006;
  EXPECT_FALSE(a.IsNearlyEqual(c));
  EXPECT_EQ(10.0006, c.m_Length);  // neither line is changed by the compare

  // CoordLine3D compares the plan part and the space points.
  const CoordLine3D d = Line3D(0, 0, 1, 3, 4, 0);
  CoordLine3D e = d;
  e.m_End3D.m_z = 2.49e-5;
  EXPECT_TRUE(d == e);
  e.m_End3D.m_z = 2.5e-5;
  EXPECT_TRUE(d != e);
  EXPECT_TRUE(d.IsNearlyEqual(e));
  e.m_End3D.m_z = 0.00051;
  EXPECT_FALSE(d.IsNearlyEqual(e));
}

TEST(CoordLine2DTest, ArchiveFormAtVersionsOneAndTwoAndTheRecordOfThePointsOnly)
{
  const CoordLine2D line(1, 2, 4, 6);
  const Bytes v2 = ByteBuilder().Text("CoordLine2D").F64s({0.6, 0.8, 5.0}).Coord2D(1, 2).Coord2D(4, 6).bytes;
  EXPECT_EQ(v2, Archived(line, 2));
  // Version 1 knows no tags.
  EXPECT_EQ(ByteBuilder().F64s({0.6, 0.8, 5.0, 1, 2, 4, 6}).bytes, Archived(line, 1));
  CoordLine2D back;
  EXPECT_TRUE(Unarchive(back, v2, 2));
  EXPECT_TRUE(back == line);
  EXPECT_FALSE(Unarchive(back, Bytes(v2.begin(), v2.end() - 4), 2));

  // The record holds only the points; loading recomputes the direction.
  const Bytes golden = ByteBuilder().F64s({1, 2, 4, 6}).bytes;
  ASSERT_EQ(golden, SavedRecord(line));
  CoordLine2D loaded;
  int left = 0;
  EXPECT_TRUE(LoadRecord(loaded, golden, 100, &left));
  EXPECT_EQ(68, left);
  EXPECT_TRUE(loaded == line);
  EXPECT_NEAR(5.0, loaded.m_Length, kRound);

  // Budget 24: the begin and the end's x are read; the end's y and the
  // direction stay.
  CoordLine2D partial(9, 9, 9, 19);
  EXPECT_FALSE(LoadRecord(partial, golden, 24));
  EXPECT_TRUE(partial.m_Beg == CKelCoord2D(1, 2));
  EXPECT_EQ(kel_test::XY(partial.m_End), std::pair(4.0, 19.0));
  EXPECT_EQ(10.0, partial.m_Length);
}

TEST(CoordLine3DTest, ArchiveFromVersionNineAndRecordOfPlanThenSpacePoints)
{
  const CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  EXPECT_TRUE(Archived(line, 8).empty());
  CoordLine3D unchanged = Line3D(7, 7, 7, 8, 8, 8);
  const CoordLine3D before = unchanged;
  EXPECT_TRUE(Unarchive(unchanged, Bytes(), 8));
  EXPECT_TRUE(unchanged == before);

  const Bytes archived = ByteBuilder()
                           .Text("CoordLine3D")
                           .Text("CoordLine2D")
                           .F64s({0.6, 0.8, 5.0})
                           .Coord2D(0, 0)
                           .Coord2D(3, 4)
                           .Coord3D(0, 0, 1)
                           .Coord3D(3, 4, 2)
                           .bytes;
  EXPECT_EQ(archived, Archived(line, 9));
  CoordLine3D back;
  EXPECT_TRUE(Unarchive(back, archived, 9));
  EXPECT_TRUE(back == line);

  // The record is the plan pair, then the space pair.
  const Bytes golden = ByteBuilder().F64s({0, 0, 3, 4, 0, 0, 1, 3, 4, 2}).bytes;
  ASSERT_EQ(golden, SavedRecord(line));
  CoordLine3D loaded;
  EXPECT_TRUE(LoadRecord(loaded, golden, CoordLine3D::kRecordBytes));
  EXPECT_TRUE(loaded == line);
  CoordLine3D shortOne;
  EXPECT_FALSE(LoadRecord(shortOne, golden, CoordLine3D::kRecordBytes - 1));
}

TEST(CoordLine3DTest, PointListAndContainerViews)
{
  CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  CKelObject& object = line;
  EXPECT_EQ(2, object.GetSize());
  EXPECT_EQ(1.0, object.GetCoord3D(0).m_z);
  EXPECT_EQ(2.0, object.GetCoord3D(1).m_z);
  EXPECT_DEATH(object.Append(CKelCoord3D(1, 1, 1)), "false");

  CoordLine3DArray lines;
  lines.AddElement(&line);
  line.m_Beg3D.m_z = 5;  // the list holds its own copy
  EXPECT_EQ(1, lines.GetSize());
  EXPECT_EQ(1.0, lines.GetElement(0)->GetCoord3D(0).m_z);
  lines.AddElement(&line);
  lines.Erase(0);
  EXPECT_EQ(5.0, lines.GetElement(0)->GetCoord3D(0).m_z);
  EXPECT_DEATH(lines.AddElement(nullptr), "item != nullptr");
}

TEST(CoordLine3DArrayTest, ArchiveAndRecordRoundTripsVersionGatesAndRefusedCounts)
{
  const CoordLine3DArray lines = TwoLines();
  CoordLine3DArray back;
  EXPECT_TRUE(Unarchive(back, Archived(lines, 9), 9));
  EXPECT_TRUE(back == lines);
  // Below 9 only the tag and the count travel: the lines come back default.
  const Bytes v8 = ByteBuilder().Text("CoordLine3DArray").I32(2).bytes;
  EXPECT_EQ(v8, Archived(lines, 8));
  CoordLine3DArray old;
  EXPECT_TRUE(Unarchive(old, v8, 8));
  EXPECT_EQ(2u, old.size());
  EXPECT_TRUE(old[0] == CoordLine3D());

  // Three lines announced, one line's bytes present: refused before resizing.
  const Bytes one = Archived(Line3D(0, 0, 1, 3, 4, 2), 9);
  CoordLine3DArray refused;
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CoordLine3DArray").I32(3).Append(one).bytes, 9));
  EXPECT_TRUE(refused.empty());
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CoordLine3DArray").I32(-1).bytes, 9));
  // Without bytes per line an older archive still may not ask for millions.
  EXPECT_FALSE(Unarchive(refused, ByteBuilder().Text("CoordLine3DArray").I32(50000000).bytes, 8));
  EXPECT_TRUE(refused.empty());

  // The record: the count, then each line's record; a budget one byte short
  // refuses the count before resizing.
  const Bytes saved = SavedRecord(lines);
  ASSERT_EQ(4u + 2u * CoordLine3D::kRecordBytes, saved.size());
  EXPECT_EQ(Bytes({2, 0, 0, 0}), Bytes(saved.begin(), saved.begin() + 4));
  CoordLine3DArray loaded;
  EXPECT_TRUE(LoadRecord(loaded, saved, static_cast<int>(saved.size())));
  EXPECT_TRUE(loaded == lines);
  refused.push_back(Line3D(9, 9, 9, 8, 8, 8));
  EXPECT_FALSE(LoadRecord(refused, saved, static_cast<int>(saved.size()) - 1));
  EXPECT_EQ(1u, refused.size());
  EXPECT_FALSE(LoadRecord(refused, ByteBuilder().I32(-5).bytes, 1000));
  EXPECT_EQ(1u, refused.size());
}
