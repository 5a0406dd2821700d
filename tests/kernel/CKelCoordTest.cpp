#include "CKelCoord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "KelTestSupport.h"

using kel_test::Archived;
using kel_test::ByteBuilder;
using kel_test::Bytes;
using kel_test::LoadRecord;
using kel_test::SavedRecord;
using kel_test::Unarchive;
using kel_test::XY;
using kel_test::XYZ;

// --- Tolerances ------------------------------------------------------------------

// Offsets from 0 are exact, so each boundary is the literal itself: equality
// is strict inside 2.5e-5, near-equality inclusive at 0.0005, in every
// component of every point type.
TEST(CKelCoordCompare, BothTolerancesAtTheirBoundaryInEveryComponent)
{
  struct Row {
    double dx, dy, dz, dzL;
    bool equal, nearly;
  };
  const Row rows[] = {
      // Equal strictly inside 2.5e-5, in each component.
      {0.0000249, 0, 0, 0, true, true}, {0, -0.0000249, 0, 0, true, true}, {0.0000249, 0.0000249, 0, 0, true, true},
      {0, 0, 0.0000249, 0, true, true}, {0, 0, 0, -0.0000249, true, true},
      // Not equal from 2.5e-5 on, nearly equal up to 0.0005 inclusive.
      {0.000025, 0, 0, 0, false, true}, {0, -0.000025, 0, 0, false, true}, {0, 0, -0.000025, 0, false, true},
      {0, 0, 0, -0.000025, false, true}, {0.0005, -0.0005, 0, 0, false, true}, {0, 0, -0.0005, 0, false, true},
      {0, 0, 0, 0.0005, false, true},
      // Neither beyond 0.0005.
      {0.00051, 0, 0, 0, false, false}, {-0.00051, 0, 0, 0, false, false}, {0, -0.00051, 0, 0, false, false},
      {0, 0, 0.00051, 0, false, false}, {0, 0, 0, -0.00051, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.dx << " " << r.dy << " " << r.dz << " " << r.dzL);
    const CKelCoord3DEx a(0, 0, 0, 0);
    const CKelCoord3DEx b(r.dx, r.dy, r.dz, r.dzL);
    EXPECT_EQ(r.equal, a == b);
    EXPECT_EQ(!r.equal, a != b);
    EXPECT_EQ(r.nearly, a.IsNearlyEqual(b));
    if (r.dzL == 0) {
      EXPECT_EQ(r.equal, CKelCoord3D(0, 0, 0) == CKelCoord3D(r.dx, r.dy, r.dz));
      EXPECT_EQ(r.nearly, CKelCoord3D(0, 0, 0).IsNearlyEqual(CKelCoord3D(r.dx, r.dy, r.dz)));
      EXPECT_EQ(r.nearly, CKelVector3D(0, 0, 0).IsNearlyEqual(CKelVector3D(r.dx, r.dy, r.dz)));
    }
    if (r.dzL == 0 && r.dz == 0) {
      EXPECT_EQ(r.equal, CKelCoord2D(0, 0) == CKelCoord2D(r.dx, r.dy));
      EXPECT_EQ(r.nearly, CKelCoord2D(0, 0).IsNearlyEqual(CKelCoord2D(r.dx, r.dy)));
    }
  }
  EXPECT_EQ(1.0, CKelCoord3DEx(0, 0, 1, -2).GetZ(false));
  EXPECT_EQ(-2.0, CKelCoord3DEx(0, 0, 1, -2).GetZ(true));
}

TEST(CKelCoordCompare, TaggedPointsAndListsAlsoNeedTheSameKind)
{
  const CKelCoord3DEx at(1, 1, 0, 0);
  EXPECT_TRUE(CKelCoord3DExCrsPnt(at, 2) == CKelCoord3DExCrsPnt(CKelCoord3DEx(1.00002, 1, 0, 0), 2));
  EXPECT_FALSE(CKelCoord3DExCrsPnt(at, 2) == CKelCoord3DExCrsPnt(at, 1));
  EXPECT_FALSE(CKelCoord3DExCrsPnt(at, 2).IsNearlyEqual(CKelCoord3DExCrsPnt(at, 1)));
  EXPECT_TRUE(CKelCoord3DExCrsPnt(at, 1).IsNearlyEqual(CKelCoord3DExCrsPnt(CKelCoord3DEx(1.0005, 1, 0, 0), 1)));

  CKelCoord3DExCrsPntArray a;
  CKelCoord3DExCrsPntArray b;
  EXPECT_TRUE(a == b);
  a.emplace_back(CKelCoord3DEx(0, 0, 0, 0), 1);
  EXPECT_TRUE(a != b);
  b.emplace_back(CKelCoord3DEx(0.0004, 0, 0, 0), 1);
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b[0].m_nKind = 2;
  EXPECT_FALSE(a.IsNearlyEqual(b));
}

// --- Geometry of the value types ----------------------------------------------------

TEST(CKelCoordGeometry, LengthsInterpolationAndVectorArithmetic)
{
  EXPECT_EQ(5.0, CKelCoord2D(1, 1).GetLength(CKelCoord2D(4, 5)));
  EXPECT_EQ(3.0, CKelCoord3D(0, 0, 0).GetLength(CKelCoord3D(1, 2, 2)));
  EXPECT_EQ(XY(CKelCoord2D(0, 0).GetCoord(CKelCoord2D(4, -2), 0.25)), std::pair(1.0, -0.5));
  // t is not clamped.
  EXPECT_EQ(XYZ(CKelCoord3D(0, 0, 1).GetCoord(CKelCoord3D(1, 1, 3), 2)), std::tuple(2.0, 2.0, 5.0));
  EXPECT_EQ(32.0, CKelCoord3D(1, 2, 3).CalcNaiseki(CKelCoord3D(4, 5, 6)));

  CKelVector3D v(3, 0, 4);
  EXPECT_EQ(5.0, v.GetLength());
  EXPECT_TRUE(v.Normalize());
  EXPECT_DOUBLE_EQ(0.6, v.m_x);
  EXPECT_DOUBLE_EQ(0.8, v.m_z);
  CKelVector3D zero;
  EXPECT_FALSE(zero.Normalize());
  EXPECT_EQ(XYZ(zero), std::tuple(0.0, 0.0, 0.0));
  EXPECT_EQ(XYZ(CKelVector3D(1, 2, 3) + CKelVector3D(1, 1, 1) * 2), std::tuple(3.0, 4.0, 5.0));
  CKelVector3D w(CKelCoord3D(1, 1, 1));
  w -= CKelVector3D(1, 0, 0);
  w += CKelVector3D(0, 0, 1);
  EXPECT_EQ(XYZ(w), std::tuple(0.0, 1.0, 2.0));
  EXPECT_EQ(XYZ(CKelVector3D(0, 0, 0) - CKelVector3D(1, 0, 0)), std::tuple(-1.0, 0.0, 0.0));
  EXPECT_EQ(6.0, CKelVector3D(1, 1, 1).CalcNaiseki(CKelVector3D(1, 2, 3)));
}

TEST(CKelCoord2DArray, AddReusesAPointWithinTolerance)
{
  CKelCoord2DArray list;
  EXPECT_EQ(0, list.Add(CKelCoord2D(1, 1)));
  EXPECT_EQ(1, list.Add(CKelCoord2D(0, 0)));
  EXPECT_EQ(1, list.Add(CKelCoord2D(0.0000249, -0.0000249)));
  EXPECT_EQ(2u, list.size());
  EXPECT_EQ(2, list.Add(CKelCoord2D(0.000025, 0)));
  EXPECT_EQ(3u, list.size());
  // The first match wins even when a later point is closer.
  EXPECT_EQ(1, list.Add(CKelCoord2D(0.00002, 0)));
}

TEST(CKelCoord2DCompareData, OneLinePerExactlyDifferingComponent)
{
  std::vector<std::string> lines;
  CKelCoord2D(1, 2).CompareData("P", CKelCoord2D(1, 3), lines);
  CKelCoord2D(1, 2).CompareData("Q", CKelCoord2D(1.0000001, 2), lines);
  CKelCoord2D(1, 2).CompareData("R", CKelCoord2D(1, 2), lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"P, 2.000000, 3.000000", "Q, 1.000000, 1.000000"}));
}

// --- Archive form ---------------------------------------------------------------------

TEST(CKelCoordSerialize, HeightBeforePlanTagsFromTwoSecondHeightFromNine)
{
  const Bytes v2 = ByteBuilder().Coord3D(1, 2, 3).bytes;
  EXPECT_EQ(v2, Archived(CKelCoord3D(1, 2, 3), 2));
  EXPECT_EQ(ByteBuilder().F64s({3, 1, 2}).bytes, Archived(CKelCoord3D(1, 2, 3), 1));
  CKelCoord3D back;
  EXPECT_TRUE(Unarchive(back, v2, 2));
  EXPECT_TRUE(back == CKelCoord3D(1, 2, 3));

  EXPECT_EQ(v2, Archived(CKelCoord3DEx(1, 2, 3, 4), 8));
  const Bytes v9 = ByteBuilder().Text("CKelCoord3DEx").F64(4).Append(v2).bytes;
  EXPECT_EQ(v9, Archived(CKelCoord3DEx(1, 2, 3, 4), 9));
  // A version-8 record leaves the second height as it was.
  CKelCoord3DEx ex(0, 0, 0, 7);
  EXPECT_TRUE(Unarchive(ex, v2, 8));
  EXPECT_TRUE(ex == CKelCoord3DEx(1, 2, 3, 7));
  EXPECT_TRUE(Unarchive(ex, v9, 9));
  EXPECT_TRUE(ex == CKelCoord3DEx(1, 2, 3, 4));

  // The tag's text is not checked on reading.
  CKelCoord2D p;
  EXPECT_TRUE(Unarchive(p, ByteBuilder().Text("Whatever").F64s({-4, 0.5}).bytes, 5));
  EXPECT_TRUE(p == CKelCoord2D(-4, 0.5));
}

TEST(CKelCoordSerialize, TaggedPointsTransferNothingBeforeVersionNine)
{
  const CKelCoord3DExCrsPnt point(CKelCoord3DEx(1, 2, 3, 4), 2);
  EXPECT_TRUE(Archived(point, 8).empty());
  const Bytes v9 =
      ByteBuilder().Text("CKelCoord3DExCrsPnt").I32(2).Text("CKelCoord3DEx").F64(4).Coord3D(1, 2, 3).bytes;
  EXPECT_EQ(v9, Archived(point, 9));

  CKelCoord3DExCrsPntArray list;
  list.push_back(point);
  EXPECT_TRUE(Archived(list, 8).empty());
  EXPECT_EQ(ByteBuilder().Text("CKelCoord3DExCrsPntArray").I32(1).Append(v9).bytes, Archived(list, 9));
  CKelCoord3DExCrsPntArray unchanged;
  unchanged.emplace_back(CKelCoord3DEx(9, 9, 9, 9), 1);
  const CKelCoord3DExCrsPntArray before = unchanged;
  EXPECT_TRUE(Unarchive(unchanged, Bytes{}, 8));
  EXPECT_TRUE(unchanged == before);

  // Round trip at a later version replaces a longer list.
  list.emplace_back(CKelCoord3DEx(-1e6, 1e-9, 0, -3), 7);
  CKelCoord3DExCrsPntArray back;
  back.resize(3, CKelCoord3DExCrsPnt(CKelCoord3DEx(), 3));
  EXPECT_TRUE(Unarchive(back, Archived(list, 12), 12));
  EXPECT_TRUE(back == list);
  EXPECT_EQ(-3.0, back[1].m_zL);
}

TEST(CKelCoordSerialize, ListRefusesCountsTheBytesCannotHoldAndShortArchives)
{
  for (const std::int32_t count : {-1, 2, 1 << 30}) {
    SCOPED_TRACE(count);
    Bytes bytes = ByteBuilder().Text("CKelCoord3DExCrsPntArray").I32(count).bytes;
    bytes.resize(bytes.size() + 40, 0);  // room for one element at most
    CKelCoord3DExCrsPntArray list;
    list.emplace_back(CKelCoord3DEx(5, 5, 5, 5), 1);
    EXPECT_FALSE(Unarchive(list, bytes, 9));
    EXPECT_EQ(1u, list.size()) << "refused before resizing";
  }

  Bytes full = Archived(CKelCoord3D(1, 2, 3), 2);
  full.pop_back();
  CKelCoord3D p(9, 9, 9);
  EXPECT_FALSE(Unarchive(p, full, 2));
  EXPECT_EQ(1.0, p.m_x);  // read before the end
  EXPECT_EQ(9.0, p.m_y);  // the short field is left alone

  const Bytes element = Archived(CKelCoord3DExCrsPnt(CKelCoord3DEx(1, 2, 3, 4), 1), 9);
  Bytes list = ByteBuilder().Text("CKelCoord3DExCrsPntArray").I32(1).Append(element).bytes;
  list.resize(list.size() - 8);
  CKelCoord3DExCrsPntArray back;
  EXPECT_FALSE(Unarchive(back, list, 9));
}

// --- Record form ----------------------------------------------------------------------

TEST(CKelCoordRecord, FieldsInOrderWithoutTags)
{
  ByteBuilder expected;
  EXPECT_EQ(expected.F64s({1, 2}).bytes, SavedRecord(CKelCoord2D(1, 2)));
  EXPECT_EQ(expected.F64(3).bytes, SavedRecord(CKelCoord3D(1, 2, 3)));
  EXPECT_EQ(expected.F64(4).bytes, SavedRecord(CKelCoord3DEx(1, 2, 3, 4)));
  EXPECT_EQ(expected.I32(-2).bytes, SavedRecord(CKelCoord3DExCrsPnt(CKelCoord3DEx(1, 2, 3, 4), -2)));
  EXPECT_EQ(36u, expected.bytes.size());
}

TEST(CKelCoordRecord, BudgetOfTwentyReadsXAndYAndFailsBeforeZAndShortFilesFail)
{
  const Bytes bytes = ByteBuilder().F64s({1, 2, 3}).bytes;
  CKelCoord3D p(7, 7, 7);
  int left = 0;
  EXPECT_FALSE(LoadRecord(p, bytes, 20, &left));
  EXPECT_EQ(XYZ(p), std::tuple(1.0, 2.0, 7.0));
  EXPECT_LT(left, 0);
  EXPECT_TRUE(LoadRecord(p, bytes, 24, &left));
  EXPECT_EQ(3.0, p.m_z);
  EXPECT_EQ(0, left);

  // A short file fails and keeps what was read: the second height is cut short.
  CKelCoord3DEx ex(0, 0, 0, 9);
  EXPECT_FALSE(LoadRecord(ex, ByteBuilder().F64s({1, 2, 3}).I32(0).bytes, 1000));
  EXPECT_EQ(3.0, ex.m_z);
  EXPECT_EQ(9.0, ex.m_zL);

  // The kind is budgeted at 4 bytes.
  const Bytes tagged = ByteBuilder().F64s({1, 2, 3, 4}).I32(5).bytes;
  CKelCoord3DExCrsPnt point;
  EXPECT_FALSE(LoadRecord(point, tagged, 35));
  EXPECT_EQ(0, point.m_nKind);
  EXPECT_TRUE(LoadRecord(point, tagged, 36));
  EXPECT_EQ(5, point.m_nKind);
}

TEST(CKelCoordRecord, TaggedListMatchesTheGoldenFileAndRefusesACountBeyondTheBudget)
{
  const Bytes golden = kel_test::ReadBytes((std::filesystem::path(TEST_DATA_DIR) / "crspnt_ex_array.bin").string());
  ASSERT_EQ(76u, golden.size());
  CKelCoord3DExCrsPntArray list;
  list.emplace_back(CKelCoord3DEx(1, 2, 3, 4), 1);
  list.emplace_back(CKelCoord3DEx(-0.5, 0.25, 10, -10), 2);
  EXPECT_EQ(golden, SavedRecord(list));

  CKelCoord3DExCrsPntArray back;
  int left = -1;
  EXPECT_TRUE(LoadRecord(back, golden, 76, &left));
  EXPECT_TRUE(back == list);
  EXPECT_EQ(0, left);

  // A count beyond the budget, or negative, is refused before resizing.
  const Bytes three =
      ByteBuilder().I32(3).Append(SavedRecord(list[0])).Append(Bytes(golden.begin() + 4, golden.end())).bytes;
  ASSERT_EQ(4u + 3 * 36, three.size());
  EXPECT_FALSE(LoadRecord(back, three, 4 + 2 * 36));
  EXPECT_EQ(2u, back.size());
  EXPECT_FALSE(LoadRecord(back, ByteBuilder().I32(-1).bytes, 1000));
  EXPECT_EQ(2u, back.size());
  EXPECT_TRUE(LoadRecord(back, three, 4 + 3 * 36));
  EXPECT_EQ(3u, back.size());
}
