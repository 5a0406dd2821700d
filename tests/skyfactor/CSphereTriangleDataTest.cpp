#include <gtest/gtest.h>

#include "CSphereTriangleData.h"
#include "KelTestSupport.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

CSphereTriangleData Triangle(std::initializer_list<std::pair<double, double>> corners)
{
  const auto pts = kel_test::Pts(corners);
  CSphereTriangleData t(pts[0], pts[1], pts[2]);
  t.SetTriangleParam();
  return t;
}

TEST(CSphereTriangleData, LongestSideTiesAndHeron)
{
  CSphereTriangleData t(CKelCoord2D(0, 0), CKelCoord2D(2, 0), CKelCoord2D(1, 3));
  EXPECT_NEAR(9.0, t.SetTriangleParam(), 1e-12);
  EXPECT_EQ(0, t.m_LongSide);
  // c0-c1 as long as c1-c2 wins; c2-c0 alone longest.
  EXPECT_EQ(2, Triangle({{0, 0}, {5, 0}, {2, 4}}).m_LongSide);
  EXPECT_EQ(1, Triangle({{0, 0}, {3, 0}, {3.5, 1}}).m_LongSide);
  // The foot of the height on the longest side, and the unrounded figures.
  const CSphereTriangleData r = Triangle({{0, 0}, {4, 0}, {1, 2}});
  EXPECT_EQ(2, r.m_LongSide);
  kel_test::ExpectXY(1, 0, r.m_Foot);
  double base = 0, height = 0, area = 0;
  r.GetTriangleData(-1, &base, &height, &area);
  EXPECT_EQ(4.0, base);
  EXPECT_EQ(2.0, height);
  EXPECT_EQ(4.0, area);
  r.GetTriangleData(7, &base, &height, &area);
  EXPECT_EQ(4.0, base);
  EXPECT_EQ(0.0, area);
}

// Base and height at 1e-5, the area at 1e-7; round-off next to a step is
// not a step.
TEST(CSphereTriangleData, RoundingUpAndDown)
{
  const struct {
    double base;
    int mode;
    double roundedBase, roundedArea;
  } rows[] = {
      {1.000004, 0, 1.00001, 0.2500025},
      {1.000004, 1, 1.0, 0.25},
      {1.00001, 0, 1.00001, 0.2500025},
      {1.00001 + 1e-15, 0, 1.00001, 0.2500025},
      {1.00001 - 1e-15, 1, 1.00001, 0.2500025},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.base << " mode " << r.mode);
    const CSphereTriangleData t = Triangle({{0, 0}, {r.base, 0}, {0.5, 0.5}});
    double base = 0, height = 0, area = 0;
    t.GetTriangleData(r.mode, &base, &height, &area);
    EXPECT_DOUBLE_EQ(r.roundedBase, base);
    EXPECT_DOUBLE_EQ(0.5, height);
    EXPECT_DOUBLE_EQ(r.roundedArea, area);
  }
}

TEST(CSphereTriangleData, RecordsRoundTripAndOldRecordsMigrate)
{
  const CSphereTriangleData t = Triangle({{0, 0}, {4, 0}, {1, 2}});
  const Bytes record = ByteBuilder().I32(1004).F64s({0, 0, 4, 0, 1, 2}).I32(2).F64s({1, 0}).bytes;
  ASSERT_EQ(record, kel_test::SavedRecord(t));
  const CSphereCoordD2DArray none;
  CSphereTriangleData back;
  int left = -1;
  const auto load = [&](const Bytes& bytes, const CSphereCoordD2DArray& points) {
    const std::string path = kel_test::TestFilePath("t.bin");
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    CKelFileIO f;
    EXPECT_TRUE(f.Open(path.c_str()));
    left = static_cast<int>(bytes.size());
    back = CSphereTriangleData();
    const bool ok = back.LoadData(f, &left, points);
    f.Close();
    return ok;
  };
  ASSERT_TRUE(load(record, none));
  EXPECT_EQ(0, left);
  EXPECT_EQ(t, back);

  // 1000 and 1001 name the corners by position; the opposite corner picks
  // the long side.
  CSphereCoordD2DArray pts;
  for (const auto& [x, y] : {std::pair{9.0, 9.0}, {0.0, 0.0}, {4.0, 0.0}, {1.0, 2.0}})
    pts.emplace_back(x, y, 0, 0, 0);
  const Bytes footPoint = ByteBuilder().I32(1002).F64s({1, 0, 0, 0}).I32(0).F64s({0, 0, 0}).Append({1}).bytes;
  const Bytes v1000 = ByteBuilder().I32(1000).I32(1).I32(2).I32(3).I32(3).F64(7.5).Append(footPoint).bytes;
  ASSERT_TRUE(load(v1000, pts));
  EXPECT_EQ(0, left);
  CSphereTriangleData expected = t;
  expected.m_Legacy1 = 7.5;
  EXPECT_EQ(expected, back);
  const Bytes v1001 = ByteBuilder().I32(1001).I32(1).I32(2).I32(3).I32(3).F64(7.5).F64s({1, 0}).bytes;
  ASSERT_TRUE(load(v1001, pts));
  EXPECT_EQ(2, back.m_LongSide);
  const Bytes v1003 = ByteBuilder().I32(1003).F64s({0, 0, 4, 0, 1, 2}).I32(2).F64(7.5).F64s({1, 0}).bytes;
  ASSERT_TRUE(load(v1003, none));
  EXPECT_EQ(0, left);
  EXPECT_EQ(7.5, back.m_Legacy1);

  // Refused: a position outside the list, an opposite corner that is none of
  // the three, a long side outside 0..2, unknown numbers.
  const Bytes refused[] = {
      ByteBuilder().I32(1001).I32(1).I32(2).I32(4).I32(3).F64(0).F64s({1, 0}).bytes,
      ByteBuilder().I32(1001).I32(-1).I32(2).I32(3).I32(3).F64(0).F64s({1, 0}).bytes,
      ByteBuilder().I32(1001).I32(1).I32(2).I32(3).I32(0).F64(0).F64s({1, 0}).bytes,
      ByteBuilder().I32(1004).F64s({0, 0, 4, 0, 1, 2}).I32(3).F64s({1, 0}).bytes,
      ByteBuilder().I32(1005).F64s({0, 0, 4, 0, 1, 2}).I32(2).F64s({1, 0}).bytes,
      ByteBuilder().I32(999).F64s({0, 0, 4, 0, 1, 2}).I32(2).F64s({1, 0}).bytes,
  };
  for (const Bytes& bytes : refused)
    EXPECT_FALSE(load(bytes, pts));
}

TEST(CSphereTriangleData, ArchivesKeepTheLegacyFieldsOfTheirVersions)
{
  CSphereTriangleData t = Triangle({{0, 0}, {4, 0}, {1, 2}});
  t.m_Legacy1 = 1.5;
  t.m_Legacy2 = 2.5;
  t.m_Legacy3 = 3.5;
  t.m_Legacy4 = 4;
  const struct {
    int version;
    std::size_t bytes;
    bool legacy1, tail;
  } rows[] = {{1, 4 + 8 + 64, true, false},
              {28, 4 + 8 + 64 + 4 * 14 + 22, true, false},
              {29, 4 + 8 + 64 + 4 * 14 + 22 + 20, true, true},
              {30, 4 + 8 + 64 + 4 * 14 + 22 + 20, true, true},
              {31, 4 + 64 + 4 * 14 + 22, false, false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.version);
    CSphereTriangleDataArray list;
    list.push_back(t);
    const Bytes stored = kel_test::Archived(t, r.version);
    EXPECT_EQ(r.bytes, stored.size());
    CSphereTriangleData back;
    ASSERT_TRUE(kel_test::Unarchive(back, stored, r.version));
    EXPECT_EQ(r.legacy1 ? 1.5 : 0.0, back.m_Legacy1);
    EXPECT_EQ(r.tail ? 4 : 0, back.m_Legacy4);
    EXPECT_EQ(t.m_Vertex[2], back.m_Vertex[2]);
    EXPECT_EQ(2, back.m_LongSide);
    CSphereTriangleDataArray listBack;
    ASSERT_TRUE(kel_test::Unarchive(listBack, kel_test::Archived(list, r.version), r.version));
    EXPECT_EQ(1u, listBack.size());
  }
  // A stored long side outside 0..2 is refused.
  Bytes bad = kel_test::Archived(t, 1);
  bad[0] = 5;
  CSphereTriangleData back;
  EXPECT_FALSE(kel_test::Unarchive(back, bad, 1));
}

}  // namespace
