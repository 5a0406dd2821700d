#include "CKelCpntParam.h"

#include <gtest/gtest.h>

#include <cstring>

#include "CHikageWall.h"
#include "CKelMemoryArchive.h"
#include "KelTestSupport.h"
#include "SkyRecords.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

CKelCpntTable Point(double x, double y, double z, std::int16_t no = 0)
{
  CKelCpntTable p;
  p.m_x = x;
  p.m_y = y;
  p.m_z = z;
  p.m_No = no;
  return p;
}

// A point with every field set and sky results.
CKelCpntTable FullPoint(std::int16_t no)
{
  CKelCpntTable p = Point(1.1, -2.2, 3.3, no);
  p.m_SphereParam = sky_test::SphereEntry(no);
  p.m_Time = 7200000;
  p.m_Option = 5;
  p.m_BlockNo = 2;
  p.m_WallNo = 3;
  p.m_TimeA = 10;
  p.m_TimeB = 20;
  p.m_TimeC = -1;
  p.m_Len1 = 0.25;
  p.m_Len2 = 4.5;
  p.m_Flag = 0xA3;
  p.m_WallOffset = 0.03;
  return p;
}

CKelCpntParam TwoPoints()
{
  CKelCpntParam list;
  list.push_back(FullPoint(1));
  list.push_back(FullPoint(2));
  list[1].m_x = 8;
  return list;
}

Bytes Float(float v)
{
  Bytes b(4);
  std::memcpy(b.data(), &v, 4);
  return b;
}

Bytes I16(std::int16_t v) { return {static_cast<std::uint8_t>(v & 0xff), static_cast<std::uint8_t>((v >> 8) & 0xff)}; }

// ReadCPntData over a file holding bytes, told the given size.
int ReadList(const Bytes& bytes, int size, CKelCpntParam& list)
{
  const std::string path = kel_test::TestFilePath("points.bin");
  sky_test::WriteFile(path, bytes);
  CKelFileIO f;
  EXPECT_TRUE(f.Open(path.c_str()));
  const int result = CKelCpntParam::ReadCPntData(f, size, &list);
  f.Close();
  return result;
}

Bytes WrittenList(CKelCpntParam list)
{
  const std::string path = kel_test::TestFilePath("written.bin");
  CKelFileIO f;
  EXPECT_TRUE(f.Create(path.c_str()));
  EXPECT_TRUE(CKelCpntParam::WriteCPntData(f, &list));
  f.Close();
  return kel_test::ReadBytes(path);
}

TEST(CKelCpntTable, DefaultPointAndFlags)
{
  CKelCpntTable p;
  EXPECT_EQ(1, p.GetSize());
  EXPECT_FALSE(p.IsClosed());
  EXPECT_TRUE(p.IsPrint());
  EXPECT_TRUE(p.IsSphere());
  EXPECT_EQ(3, p.GetTextLoc());
  EXPECT_FALSE(p.IsSelect());
  EXPECT_FALSE(p.IsCalcSphere());
  EXPECT_EQ(0.01, p.m_WallOffset);
  EXPECT_EQ(-1, p.m_Time);
  EXPECT_EQ(-1, p.m_SphereParam.m_CpntNo);
  p.SetCalcSphere(true);
  EXPECT_EQ(131u, p.m_Flag);
  p.m_Flag |= 0x50;  // select, text on the wall face 2
  EXPECT_TRUE(p.IsSelect());
  EXPECT_EQ(2, p.GetTextHekimenLoc());
  p.SetCalcSphere(false);
  EXPECT_EQ(0x53u, p.m_Flag);

  CKelCpntTable full = FullPoint(4);
  full.MovePoint(0, CKelCoord3D(9, 8, 7));
  EXPECT_EQ(std::make_tuple(9.0, 8.0, 3.3), kel_test::XYZ(full.GetCoord3D(5)));
  full.Clear();
  EXPECT_EQ(CKelCpntTable(), full);
  EXPECT_EQ(0.01, full.m_WallOffset);
}

TEST(CKelCpntTable, ComparesAndNearlyEqual)
{
  const CKelCpntTable a = FullPoint(1);
  CKelCpntTable b = a;
  b.m_WallOffset = 5;  // not compared
  EXPECT_EQ(a, b);
  b.m_x += 2e-5;
  EXPECT_EQ(a, b);
  b.m_x += 1e-4;
  EXPECT_NE(a, b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.m_Len1 += 0.0004;
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.m_Len1 += 0.0002;
  EXPECT_FALSE(a.IsNearlyEqual(b));
  CKelCpntTable c = a;
  c.m_SphereParam.m_AngleParam.clear();
  EXPECT_NE(a, c);
  EXPECT_FALSE(a.IsNearlyEqual(c));
  c = a;
  c.m_TimeC = 0;
  EXPECT_NE(a, c);
}

// The 58-byte record field by field; reading it narrows the position to
// single precision and leaves the wall offset and sky data alone.
TEST(CKelCpntTable, PointRecordLayoutAndRoundTrip)
{
  const CKelCpntTable p = FullPoint(6);
  const Bytes expected = ByteBuilder()
                             .Append(Float(1.1f))
                             .Append(Float(-2.2f))
                             .Append(Float(3.3f))
                             .I32(7200000)
                             .I32(5)
                             .Append(I16(6))
                             .Append(I16(2))
                             .Append(I16(3))
                             .I32(10)
                             .I32(20)
                             .I32(-1)
                             .F64s({0.25, 4.5})
                             .I32(0xA3)
                             .bytes;
  CKelCpntParam one;
  one.push_back(p);
  const Bytes file = WrittenList(one);
  ASSERT_EQ(ByteBuilder().I32(1).Append(expected).bytes, file);

  CKelCpntParam back;
  ASSERT_EQ(-1, ReadList(file, 62, back));
  ASSERT_EQ(1u, back.size());
  EXPECT_EQ(static_cast<double>(1.1f), back[0].m_x);
  EXPECT_NE(1.1, back[0].m_x);
  EXPECT_EQ(static_cast<double>(3.3f), back[0].m_z);
  EXPECT_EQ(0.01, back[0].m_WallOffset);
  EXPECT_EQ(CHikageSphereParam(), back[0].m_SphereParam);
  CKelCpntTable expectedBack = p;
  expectedBack.m_SphereParam.Clear();
  EXPECT_EQ(expectedBack, back[0]);  // within the point tolerance

  CKelCpntTable target = FullPoint(1);
  target.SetOldParam(p.GetOldParam());
  EXPECT_EQ(0.03, target.m_WallOffset);
  EXPECT_EQ(sky_test::SphereEntry(1), target.m_SphereParam);
}

TEST(CKelCpntTable, OldestRecordSetsItsSixFields)
{
  const Bytes bytes =
      ByteBuilder().Append(Float(1.5f)).Append(Float(2.5f)).Append(Float(4)).I32(3600000).I32(9).Append(I16(12)).bytes;
  ASSERT_EQ(22u, bytes.size());
  ChekPointDataTag tag;
  int budget = 22;
  ASSERT_TRUE(kel_test::LoadRecord(tag, bytes, budget));
  EXPECT_FALSE(kel_test::LoadRecord(tag, bytes, 21));
  CKelCpntTable p = FullPoint(1);
  p.SetOldParam(tag);
  EXPECT_EQ(std::make_tuple(1.5, 2.5, 4.0), kel_test::XYZ(p));
  EXPECT_EQ(3600000, p.m_Time);
  EXPECT_EQ(9, p.m_Option);
  EXPECT_EQ(12, p.m_No);
  EXPECT_EQ(2, p.m_BlockNo);  // kept
  EXPECT_EQ(20, p.m_TimeB);
  EXPECT_EQ(bytes, kel_test::SavedRecord(tag));
}

// Sizes and counts of a list file against what ReadCPntData answers and
// hands over; a failure leaves the list empty whatever it held.
TEST(CKelCpntParam, ReadCPntDataSizes)
{
  const Bytes onePoint = WrittenList([] {
    CKelCpntParam l;
    l.push_back(FullPoint(3));
    return l;
  }());
  Bytes padded = onePoint;
  padded.resize(70, 0);
  struct Row {
    const char* name;
    Bytes bytes;
    int size;
    int result;
    std::size_t points;
  } rows[] = {
      {"count 0", ByteBuilder().I32(0).bytes, 4, 1, 0},
      {"one point exactly", onePoint, 62, -1, 1},
      {"bytes left over", padded, 70, 0, 0},
      {"count 0 with bytes left over", ByteBuilder().I32(0).I32(0).bytes, 8, 0, 0},
      {"size too small for the count", ByteBuilder().I32(0).bytes, 3, 0, 0},
      {"size short of the point", onePoint, 61, 0, 0},
      {"file short of the size", Bytes(onePoint.begin(), onePoint.end() - 1), 62, 0, 0},
      {"negative count", ByteBuilder().I32(-1).bytes, 4, 0, 0},
      {"count beyond the size", ByteBuilder().I32(1000000).bytes, 4, 0, 0},
  };
  for (const Row& row : rows) {
    CKelCpntParam list = TwoPoints();
    EXPECT_EQ(row.result, ReadList(row.bytes, row.size, list)) << row.name;
    EXPECT_EQ(row.points, list.size()) << row.name;
  }
  // Written lists of any length read back (the sky data are not stored).
  CKelCpntParam written = TwoPoints();
  for (CKelCpntTable& p : written)
    p.m_SphereParam.Clear();
  CKelCpntParam back;
  const Bytes bytes = WrittenList(written);
  EXPECT_EQ(-1, ReadList(bytes, static_cast<int>(bytes.size()), back));
  EXPECT_EQ(written, back);
}

TEST(CKelCpntParam, ArchiveFormsRoundTrip)
{
  for (int version : {1, 2}) {
    CKelCpntParam list = TwoPoints();
    CKelMemoryArchive out(version);
    ASSERT_TRUE(list.Serialize2(out));
    const Bytes bytes = out.GetBytes();
    CKelCpntParam back;
    CKelMemoryArchive in(bytes, version);
    ASSERT_TRUE(back.Serialize2(in));
    EXPECT_EQ(list, back);
    EXPECT_EQ(0.03, back[1].m_WallOffset);  // the archive keeps the offset

    // The tagless form is the same without the tag.
    const std::size_t tag = version >= 2 ? ByteBuilder().Text("CKelCpntParam").bytes.size() : 0;
    CKelMemoryArchive bare(version);
    ASSERT_TRUE(CKelCpntParam::Serialize(bare, 0, &list, nullptr));
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(tag), bytes.end()), bare.GetBytes());
    CKelCpntParam bareBack;
    CKelMemoryArchive bareIn(bare.GetBytes(), version);
    ASSERT_TRUE(CKelCpntParam::Serialize(bareIn, 0, &bareBack, nullptr));
    EXPECT_EQ(list, bareBack);

    CKelCpntParam cut;
    CKelMemoryArchive shortIn(Bytes(bytes.begin(), bytes.end() - 1), version);
    EXPECT_FALSE(cut.Serialize2(shortIn)) << version;
  }
  CKelCpntParam forged;
  CKelMemoryArchive negative(ByteBuilder().I32(-1).bytes, 1);
  EXPECT_FALSE(forged.Serialize2(negative));
  CKelMemoryArchive huge(ByteBuilder().I32(0x7fffffff).I32(0).bytes, 1);
  EXPECT_FALSE(forged.Serialize2(huge));
  EXPECT_TRUE(forged.empty());
}

TEST(CKelCpntParam, RenumberKeepsNumberedPointsInOrder)
{
  const auto list = [] {
    CKelCpntParam l;
    for (std::int16_t no : {1, -1, 2}) {
      l.push_back(FullPoint(no));
      l.back().m_Option = no * 10;
    }
    return l;
  };
  struct Row {
    int index;
    int result;
  } rows[] = {{2, 1}, {1, -1}, {0, 0}, {3, -1}, {-1, -1}};
  for (const Row& row : rows) {
    CKelCpntParam l = list();
    EXPECT_EQ(row.result, l.DoRenumber(row.index)) << row.index;
    ASSERT_EQ(3u, l.size());
    EXPECT_EQ(list()[0], l[0]);
    EXPECT_EQ(list()[2], l[1]);
    EXPECT_EQ(CKelCpntTable(), l[2]);
  }
  CKelCpntParam none;
  EXPECT_EQ(-1, none.DoRenumber(0));
}

TEST(CKelCpntParam, ContainerMarksAndCounts)
{
  CKelCpntParam list;
  const CKelCpntTable p = FullPoint(1);
  list.AddElement(&p);
  list.AddElement(&p);
  list.AddElement(&p);
  ASSERT_EQ(3, list.GetSize());
  static_cast<CKelCpntTable*>(list.GetElement(1))->m_BlockNo = 7;
  list.Erase(0);
  EXPECT_EQ(7, list[0].m_BlockNo);
  EXPECT_EQ(1, list.GetCpntSize(7));
  EXPECT_EQ(1, list.GetCpntSize(2));
  EXPECT_EQ(0, list.GetCpntSize(-1));
  list[0].m_Flag = 3;
  list[1].m_Flag = 3;
  list[1].SetCalcSphere(true);
  CSelectList expected;
  expected.push_back(1);
  EXPECT_EQ(expected, list.GetCalcMarkSize());
  EXPECT_TRUE(list.IsNearlyEqual(list));
  CKelCpntParam other = list;
  other.pop_back();
  EXPECT_NE(list, other);
  EXPECT_FALSE(list.IsNearlyEqual(other));
}

TEST(CKelCpntParamDeathTest, ContainerPreconditions)
{
  CKelCpntParam list;
  EXPECT_DEATH(list.GetElement(0), "0 <= index");
  EXPECT_DEATH(list.Erase(-1), "0 <= index");
  EXPECT_DEATH(list.AddElement(nullptr), "item != nullptr");
  CKelCpntTable p;
  EXPECT_DEATH(p.Append(CKelCoord3D()), "false");
}

// --- Walls ---------------------------------------------------------------------------------

class WallSearchTest : public ::testing::Test {
protected:
  // A counter-clockwise box 10 x 10 m standing from 0 to 10 m.
  CKelBlockCubeArray blocks = sky_test::Blocks({sky_test::Box(20, 30, 0, 10, 10), sky_test::Box(0, 10, 0, 10, 10)});

  // The wall along y = 0 of block 1 (its direction is +x).
  bool IsSouthWall(const CKelCpntTable& p) const
  {
    if (p.m_BlockNo != 1)
      return false;
    const CKelBlockCube& b = blocks[1];
    const auto& a = b.m_Coord[static_cast<std::size_t>(p.m_WallNo)];
    const auto& c = b.m_Coord[static_cast<std::size_t>(b.GetNextNo(p.m_WallNo + 1))];
    return a.m_y == 0 && c.m_y == 0 && a.m_x < c.m_x;
  }
};

TEST_F(WallSearchTest, PointsOutsideWithinTheOffsetAndBetweenTheHeights)
{
  struct Row {
    const char* name;
    double x, y, z;
    bool found;
  } rows[] = {
      {"0.005 outside the middle", 5, -0.005, 5, true},
      {"on the wall line", 5, 0, 5, true},
      {"the offset plus its slack", 5, -0.01009, 5, true},
      {"0.02 outside", 5, -0.02, 5, false},
      {"just beyond the slack", 5, -0.0102, 5, false},
      {"inside the block", 5, 0.005, 5, false},
      {"below the bottom", 5, -0.005, -0.5, false},
      {"at the bottom within 0.001", 5, -0.005, -0.0009, true},
      {"above the top", 5, -0.005, 10.5, false},
      {"at the top within 0.001", 5, -0.005, 10.0009, true},
  };
  for (const Row& row : rows) {
    CKelCpntTable p = Point(row.x, row.y, row.z);
    EXPECT_EQ(row.found, p.SSCPntSearchWallNo(blocks)) << row.name;
    if (row.found) {
      EXPECT_TRUE(IsSouthWall(p)) << row.name;
    } else {
      EXPECT_EQ(-1, p.m_BlockNo) << row.name;
      EXPECT_EQ(-1, p.m_WallNo) << row.name;
    }
  }
}

TEST_F(WallSearchTest, IndicesOutsideTheListFailAndTheCurrentWallComesFirst)
{
  CKelCpntTable p = Point(5, -0.005, 5);
  EXPECT_FALSE(p.CheckWallNo(blocks, 2, 0));
  EXPECT_FALSE(p.CheckWallNo(blocks, 1, 4));
  EXPECT_FALSE(p.CheckWallNo(blocks, -1, 0));
  EXPECT_FALSE(p.CheckWallNo(blocks, 1, -1));
  // A point at a shared corner keeps the wall it was at.
  CKelCpntTable corner = Point(10, 0, 5);
  ASSERT_TRUE(corner.SSCPntSearchWallNo(blocks));
  const int first = corner.m_WallNo;
  const int other = blocks[1].GetNextNo(first + 1);
  ASSERT_TRUE(corner.CheckWallNo(blocks, 1, other));
  ASSERT_TRUE(corner.SSCPntSearchWallNo(blocks));
  EXPECT_EQ(other, corner.m_WallNo);
  // Past the wall's end by more than 0.001 along it.
  CKelCpntTable past = Point(10.002, -0.005, 5);
  EXPECT_FALSE(past.SSCPntSearchWallNo(blocks));
}

// A wall keeps its check points through its archive with nothing installed
// by hand: linking the library is enough (each test runs in a fresh process
// under CTest, so this is the first read of the program); a changed time
// makes two walls differ.
TEST(CKelCpntParamWall, WallRoundTripsItsCheckPoints)
{
  CHikageWall wall;
  wall.SetCpntParam(std::make_unique<CKelCpntParam>(TwoPoints()));
  for (int version : {1, 2}) {
    CKelMemoryArchive out(version);
    ASSERT_TRUE(wall.Serialize(out));
    CHikageWall back;
    CKelMemoryArchive in(out.GetBytes(), version);
    ASSERT_TRUE(back.Serialize(in));
    ASSERT_NE(nullptr, back.GetCpntParam());
    EXPECT_EQ(2, back.GetCpntParam()->GetSize());
    EXPECT_EQ(wall, back);
    CHikageWall changed = back;
    static_cast<CKelCpntParam*>(changed.GetCpntParam())->at(1).m_TimeA += 1;
    EXPECT_NE(wall, changed);
  }
}

}  // namespace
