#include "CKelBlockSlope.h"

#include <gtest/gtest.h>

#include <cstring>

#include "CKelBlockCoord.h"
#include "VolumeTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::Unarchive;
using vol_test::Archived2;
using vol_test::Unarchive2;

CKelBlockSlopeItem Slope(std::uint16_t face)
{
  CKelBlockSlopeItem item;
  item.m_Face = face;
  item.m_Top[0] = CCoordBldSurf(0, 0, 10);
  item.m_Top[1] = CCoordBldSurf(10, 0, 10);
  item.m_Top[2] = CCoordBldSurf(0, 10, 20);
  item.m_Bot[0] = CCoordBldSurf(0, 0, 1);
  item.m_Bot[1] = CCoordBldSurf(10, 0, 2);
  item.m_Bot[2] = CCoordBldSurf(0, 10, 1);
  item.m_Bot[2].m_Attr = 7;
  item.m_Bot[2].m_Param = 0.25;
  return item;
}

CKelBlockSlopeParam Numbered(std::initializer_list<int> numbers)
{
  CKelBlockSlopeParam list;
  for (int no : numbers) {
    CKelBlockSlopeItem item;
    list.AddSlope(item, no, 1);
  }
  return list;
}

std::vector<int> NumbersOf(const CKelBlockSlopeParam& list)
{
  std::vector<int> numbers;
  for (const CKelBlockSlopeItem& item : list)
    numbers.push_back(item.m_SlopeNo);
  return numbers;
}

TEST(CKelBlockSlopeTest, VertexHeightsFromTheFaceMask)
{
  struct Row {
    std::uint16_t face;
    double top, bottom;
  };
  const Row rows[] = {{0, 99, -9}, {1, 15, -9}, {2, 99, 1.5}, {3, 15, 1.5}};
  for (const Row& row : rows) {
    CKelBlockCoord vertex(5, 5, 99, -9);
    vertex.m_FlrH = 2;
    vertex.m_OffH = 4;
    const CKelBlockSlopeItem item = Slope(row.face);
    EXPECT_EQ(row.face, vertex.CutSlope(&item));
    EXPECT_DOUBLE_EQ(row.top, vertex.m_z) << row.face;
    EXPECT_DOUBLE_EQ(row.bottom, vertex.m_zL) << row.face;
    EXPECT_EQ(std::make_pair(2, 4.0), std::make_pair(vertex.m_FlrH, vertex.m_OffH));
  }
  CKelBlockSlopeItem collinear = Slope(1);
  collinear.m_Top[1] = CCoordBldSurf(5, 5, 30);
  collinear.m_Top[2] = CCoordBldSurf(10, 10, 40);
  CKelBlockCoord vertex(3, -7, 0, 0);
  vertex.CutSlope(&collinear);
  EXPECT_EQ(10, vertex.m_z);
  EXPECT_EQ(0, vertex.CutSlope(nullptr));
}

TEST(CKelBlockSlopeTest, Numbering)
{
  CKelBlockSlopeParam list = Numbered({1, 2, 2, 3});
  list.DeleteSlope(2);
  EXPECT_EQ((std::vector<int>{1, 3}), NumbersOf(list));
  list.MoveSlopeNo(2, 0);
  EXPECT_EQ((std::vector<int>{1, 2}), NumbersOf(list));

  list = Numbered({1, 2, 3});
  list.MoveSlopeNo(2, 1);
  EXPECT_EQ((std::vector<int>{1, 3, 4}), NumbersOf(list));
  list.ChangeSlopeNo(3, 9);
  EXPECT_EQ((std::vector<int>{1, 9, 4}), NumbersOf(list));
  EXPECT_EQ(1, list.SearchSlopeNo(9));
  EXPECT_EQ(-1, list.SearchSlopeNo(3));
  EXPECT_EQ(-1, CKelBlockSlopeParam().SearchSlopeNo(0));

  list.ChangeSlope(Slope(3), 5, 2);
  EXPECT_EQ(5, list[2].m_SlopeNo);
  EXPECT_EQ(3, list[2].m_Face);
}

TEST(CKelBlockSlopeTest, OldRecordsPutTheTopFirst)
{
  CKelBlockSlopeParam list;
  CKelBlockSlopeItem item = Slope(3);
  list.AddSlope(item, 4, 3);
  list.AddSlope(item, 6, 1);
  std::vector<BldSlope> old;
  ASSERT_EQ(2, list.GetOldParam(old));
  ASSERT_EQ(224u, old.size() * sizeof(BldSlope));
  kel_test::Bytes bytes(224);
  std::memcpy(bytes.data(), old.data(), bytes.size());
  EXPECT_EQ(6, bytes[112]);  // the second record's number
  float z = 0;
  std::memcpy(&z, &bytes[4 + 2 * 18 + 10], 4);  // third top point's z
  EXPECT_EQ(20.0f, z);
  std::memcpy(&z, &bytes[58 + 10], 4);  // first bottom point's z
  EXPECT_EQ(1.0f, z);
  EXPECT_EQ(7, bytes[94]);  // third bottom point's attribute
  EXPECT_EQ(0, CKelBlockSlopeParam().GetOldParam(old));
  EXPECT_TRUE(old.empty());
}

TEST(CKelBlockSlopeTest, ArchiveSizesAndRoundTrip)
{
  EXPECT_EQ(493u, Archived(Slope(3), 2).size());
  EXPECT_EQ(208u, Archived(Slope(3), 1).size());
  CKelBlockSlopeParam list;
  CKelBlockSlopeItem item = Slope(2);
  list.AddSlope(item, 1, 2);
  list.AddSlope(item, 2, 1);
  for (int version : {1, 2}) {
    CKelBlockSlopeParam back;
    ASSERT_TRUE(Unarchive2(back, Archived2(list, version), version));
    EXPECT_TRUE(back == list);
    EXPECT_TRUE(back.IsNearlyEqual(list));
  }
  CKelMemoryArchive out(2);
  EXPECT_TRUE(CKelBlockSlopeParam::Serialize(out, 0, &list, nullptr));
  EXPECT_EQ(Archived2(list, 2), out.GetBytes());

  kel_test::ByteBuilder tooMany;
  tooMany.I32(2).Append(Archived(Slope(1), 1));
  CKelBlockSlopeParam refused;
  EXPECT_FALSE(Unarchive2(refused, tooMany.bytes, 1));
  EXPECT_TRUE(refused.empty());
}

TEST(CKelBlockSlopeTest, PointCompares)
{
  CCoordBldSurf a(1, 2, 3);
  CCoordBldSurf b = a;
  b.m_Param = 1e-5;
  EXPECT_TRUE(a == b);
  b.m_Param = 0.0004;
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b.m_Attr = 1;
  EXPECT_FALSE(a.IsNearlyEqual(b));
  CKelBlockSlopeItem item = Slope(1);
  CKelBlockSlopeItem other = item;
  other.m_Bot[1].m_z += 3e-5;
  EXPECT_FALSE(item == other);
  EXPECT_TRUE(item.IsNearlyEqual(other));
}

}  // namespace
