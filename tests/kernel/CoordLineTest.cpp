#include "CoordLine.h"

#include "LineArcTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using linearc_test::Archived;
using linearc_test::ByteBuilder;
using linearc_test::Bytes;
using linearc_test::LoadRecord;
using linearc_test::SavedRecord;
using linearc_test::Unarchive;

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
  EXPECT_NEAR(-0.8, line.m_Beg.m_x, kRound);
  EXPECT_NEAR(0.6, line.m_Beg.m_y, kRound);
  EXPECT_NEAR(2.2, line.m_End.m_x, kRound);
  EXPECT_NEAR(4.6, line.m_End.m_y, kRound);
}

TEST(CoordLine2DTest, DefaultAndDegenerateLinesKeepAFiniteDirection)
{
  const CoordLine2D fresh;
  EXPECT_EQ(1.0, fresh.m_Cos);
  EXPECT_EQ(0.0, fresh.m_Sin);
  EXPECT_EQ(0.0, fresh.m_Length);

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
  const double zero = 0.0;
  EXPECT_TRUE(line.IsOnLine(CKelCoord2D(0, 0), &zero));
  EXPECT_TRUE(line.IsOnLine(CKelCoord2D(4, 0), &zero));
  EXPECT_TRUE(line.IsOnLine(CKelCoord2D(1.5, 0), &zero));
  EXPECT_FALSE(line.IsOnLine(CKelCoord2D(4.000001, 0), &zero));
  EXPECT_FALSE(line.IsOnLine(CKelCoord2D(-0.000001, 0), &zero));
  const double tol = 0.1;
  EXPECT_TRUE(line.IsOnLine(CKelCoord2D(2, -0.1), &tol));
  EXPECT_FALSE(line.IsOnLine(CKelCoord2D(2, 0.10001), &tol));

  double io = 0.0;
  EXPECT_FALSE(line.CheckRange(CKelCoord2D(2, 0), &io));
  EXPECT_EQ(0.0, io);
  io = 0.1;
  EXPECT_FALSE(line.CheckRange(CKelCoord2D(2, 0.1), &io));  // distance must be strictly smaller
  EXPECT_TRUE(line.CheckRange(CKelCoord2D(2, 0.05), &io));
  EXPECT_EQ(4.0, io);  // the length is written back on success
}

TEST(CoordLine2DTest, EqualityIsExactOnDirectionNearlyEqualUsesTheWideTolerance)
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
  // Neither line is changed by the compare.
  EXPECT_EQ(10.0006, c.m_Length);
}

TEST(CoordLine2DTest, ArchiveFormAtVersionsOneAndTwo)
{
  const CoordLine2D line(1, 2, 4, 6);
  const Bytes v2 = ByteBuilder()
                       .Text("CoordLine2D")
                       .F64(0.6)
                       .F64(0.8)
                       .F64(5.0)
                       .Coord2D(1, 2)
                       .Coord2D(4, 6)
                       .bytes;
  EXPECT_EQ(v2, Archived(line, 2));
  // Version 1 knows no tags.
  const Bytes v1 = ByteBuilder().F64(0.6).F64(0.8).F64(5.0).F64(1).F64(2).F64(4).F64(6).bytes;
  EXPECT_EQ(v1, Archived(line, 1));

  CoordLine2D back;
  EXPECT_TRUE(Unarchive(back, v2, 2));
  EXPECT_TRUE(back == line);
  const Bytes shortOne(v2.begin(), v2.end() - 4);
  EXPECT_FALSE(Unarchive(back, shortOne, 2));
}

TEST(CoordLine2DTest, RecordHoldsOnlyThePointsAndLoadingRecomputesDirection)
{
  const CoordLine2D line(1, 2, 4, 6);
  const Bytes golden = ByteBuilder().F64(1).F64(2).F64(4).F64(6).bytes;
  ASSERT_EQ(golden, SavedRecord(line));

  CoordLine2D back;
  int left = 0;
  EXPECT_TRUE(LoadRecord(back, golden, 100, &left));
  EXPECT_EQ(68, left);
  EXPECT_TRUE(back == line);
  EXPECT_NEAR(5.0, back.m_Length, kRound);
}

TEST(CoordLine2DTest, RecordBudgetStopsBeforeTheLastField)
{
  const Bytes golden = ByteBuilder().F64(1).F64(2).F64(4).F64(6).bytes;
  CoordLine2D back(9, 9, 9, 19);
  EXPECT_FALSE(LoadRecord(back, golden, 24));
  // Begin and the end's x were read; the end's y and the direction stay.
  EXPECT_EQ(1.0, back.m_Beg.m_x);
  EXPECT_EQ(2.0, back.m_Beg.m_y);
  EXPECT_EQ(4.0, back.m_End.m_x);
  EXPECT_EQ(19.0, back.m_End.m_y);
  EXPECT_EQ(10.0, back.m_Length);
}

TEST(CoordLine3DTest, ArchiveCarriesNothingBeforeVersionNine)
{
  const CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  EXPECT_TRUE(Archived(line, 8).empty());
  CoordLine3D back = Line3D(7, 7, 7, 8, 8, 8);
  const CoordLine3D before = back;
  EXPECT_TRUE(Unarchive(back, Bytes(), 8));
  EXPECT_TRUE(back == before);
}

TEST(CoordLine3DTest, ArchiveFormAtVersionNineRoundTrips)
{
  const CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  const Bytes golden = ByteBuilder()
                           .Text("CoordLine3D")
                           .Text("CoordLine2D")
                           .F64(0.6)
                           .F64(0.8)
                           .F64(5.0)
                           .Coord2D(0, 0)
                           .Coord2D(3, 4)
                           .Coord3D(0, 0, 1)
                           .Coord3D(3, 4, 2)
                           .bytes;
  EXPECT_EQ(golden, Archived(line, 9));
  CoordLine3D back;
  EXPECT_TRUE(Unarchive(back, golden, 9));
  EXPECT_TRUE(back == line);
}

TEST(CoordLine3DTest, RecordIsPlanPairThenSpacePair)
{
  const CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  const Bytes golden =
      ByteBuilder().F64(0).F64(0).F64(3).F64(4).F64(0).F64(0).F64(1).F64(3).F64(4).F64(2).bytes;
  ASSERT_EQ(golden, SavedRecord(line));
  CoordLine3D back;
  EXPECT_TRUE(LoadRecord(back, golden, CoordLine3D::kRecordBytes));
  EXPECT_TRUE(back == line);
  CoordLine3D shortOne;
  EXPECT_FALSE(LoadRecord(shortOne, golden, CoordLine3D::kRecordBytes - 1));
}

TEST(CoordLine3DTest, ComparesThePlanPartAndTheSpacePoints)
{
  const CoordLine3D a = Line3D(0, 0, 1, 3, 4, 0);
  CoordLine3D b = a;
  b.m_End3D.m_z = 2.49e-5;
  EXPECT_TRUE(a == b);
  b.m_End3D.m_z = 2.5e-5;
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.m_End3D.m_z = 0.00051;
  EXPECT_FALSE(a.IsNearlyEqual(b));
}

TEST(CoordLine3DTest, PointListViewReadsTheSpacePoints)
{
  CoordLine3D line = Line3D(0, 0, 1, 3, 4, 2);
  CKelObject& object = line;
  EXPECT_EQ(2, object.GetSize());
  EXPECT_FALSE(object.IsClosed());
  EXPECT_EQ(1.0, object.GetCoord3D(0).m_z);
  EXPECT_EQ(2.0, object.GetCoord3D(1).m_z);
  EXPECT_DEATH(object.Append(CKelCoord3D(1, 1, 1)), "false");
}

TEST(CoordLine3DArrayTest, ContainerInterfaceCopiesAndErases)
{
  CoordLine3DArray lines;
  CoordLine3D line = Line3D(0, 0, 0, 1, 0, 0);
  lines.AddElement(&line);
  line.m_Beg3D.m_z = 5;  // the list holds its own copy
  EXPECT_EQ(1, lines.GetSize());
  EXPECT_EQ(0.0, lines.GetElement(0)->GetCoord3D(0).m_z);
  lines.AddElement(&line);
  lines.Erase(0);
  EXPECT_EQ(5.0, lines.GetElement(0)->GetCoord3D(0).m_z);

  EXPECT_DEATH(lines.AddElement(nullptr), "item != nullptr");
}

TEST(CoordLine3DArrayTest, ArchiveRoundTripAndVersionGates)
{
  CoordLine3DArray lines;
  lines.push_back(Line3D(0, 0, 1, 3, 4, 2));
  lines.push_back(Line3D(1, 1, 0, 1, 2, 0));

  const Bytes v9 = Archived(lines, 9);
  CoordLine3DArray back;
  EXPECT_TRUE(Unarchive(back, v9, 9));
  EXPECT_TRUE(back == lines);

  // Below 9 only the tag and the count travel: the lines come back default.
  const Bytes v8 = ByteBuilder().Text("CoordLine3DArray").I32(2).bytes;
  EXPECT_EQ(v8, Archived(lines, 8));
  CoordLine3DArray old;
  EXPECT_TRUE(Unarchive(old, v8, 8));
  EXPECT_EQ(2u, old.size());
  EXPECT_TRUE(old[0] == CoordLine3D());
}

TEST(CoordLine3DArrayTest, ArchiveRefusesCountsTheDataCannotHold)
{
  // Three lines announced, one line's bytes present.
  Bytes bytes = ByteBuilder().Text("CoordLine3DArray").I32(3).bytes;
  const Bytes one = Archived(Line3D(0, 0, 1, 3, 4, 2), 9);
  bytes.insert(bytes.end(), one.begin(), one.end());
  CoordLine3DArray back;
  EXPECT_FALSE(Unarchive(back, bytes, 9));
  EXPECT_TRUE(back.empty());  // refused before anything was resized

  EXPECT_FALSE(Unarchive(back, ByteBuilder().Text("CoordLine3DArray").I32(-1).bytes, 9));
  // Without bytes per line an older archive still may not ask for millions.
  EXPECT_FALSE(Unarchive(back, ByteBuilder().Text("CoordLine3DArray").I32(50000000).bytes, 8));
  EXPECT_TRUE(back.empty());
}

TEST(CoordLine3DArrayTest, RecordRoundTripAndBudgetChecks)
{
  CoordLine3DArray lines;
  lines.push_back(Line3D(0, 0, 1, 3, 4, 2));
  lines.push_back(Line3D(1, 1, 0, 1, 2, 0));
  const Bytes saved = SavedRecord(lines);
  ASSERT_EQ(4u + 2u * CoordLine3D::kRecordBytes, saved.size());
  EXPECT_EQ(Bytes({2, 0, 0, 0}), Bytes(saved.begin(), saved.begin() + 4));

  CoordLine3DArray back;
  EXPECT_TRUE(LoadRecord(back, saved, static_cast<int>(saved.size())));
  EXPECT_TRUE(back == lines);

  // A budget one byte short refuses the count before resizing.
  CoordLine3DArray refused;
  refused.push_back(Line3D(9, 9, 9, 8, 8, 8));
  EXPECT_FALSE(LoadRecord(refused, saved, static_cast<int>(saved.size()) - 1));
  EXPECT_EQ(1u, refused.size());

  EXPECT_FALSE(LoadRecord(refused, ByteBuilder().I32(-5).bytes, 1000));
  EXPECT_EQ(1u, refused.size());
}
