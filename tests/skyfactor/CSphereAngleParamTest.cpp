#include <gtest/gtest.h>

#include <cstring>

#include "CSphereAngleParam.h"
#include "KelTestSupport.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

CSphereAngleParam Mark(double x, double y, double z, double houi = 0.5, double angle = 0.25)
{
  CSphereAngleParam p;
  p.m_bUse = true;
  p.m_Coord = CKelCoord3D(x, y, z);
  p.m_Houi = houi;
  p.m_Angle = angle;
  return p;
}

TEST(CSphereAngleParam, RecordBytesAndRoundTrip)
{
  CSphereAngleParamArray marks;
  marks.push_back(Mark(1.5, -2, 3));
  marks.push_back(Mark(4, 5, 6, 1.0, 0.125));
  const Bytes expected = ByteBuilder()
                             .I32(2)
                             .I32(1002)
                             .Append({1})
                             .F64s({1.5, -2, 3, 0.5, 0.25})
                             .I32(1002)
                             .Append({1})
                             .F64s({4, 5, 6, 1.0, 0.125})
                             .bytes;
  ASSERT_EQ(expected, kel_test::SavedRecord(marks));
  CSphereAngleParamArray back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, expected, static_cast<int>(expected.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(marks, back);
  EXPECT_FALSE(kel_test::LoadRecord(back, expected, static_cast<int>(expected.size()) - 1));
  for (int version : {1, 2}) {
    CSphereAngleParamArray archived;
    ASSERT_TRUE(kel_test::Unarchive(archived, kel_test::Archived(marks, version), version));
    EXPECT_EQ(marks, archived);
  }
  // Version 1 archive: flag, the two angles, then the point (height first).
  EXPECT_EQ(ByteBuilder().Append({1}).F64s({0.5, 0.25, 3, 1.5, -2}).bytes, kel_test::Archived(Mark(1.5, -2, 3), 1));
}

// Old records: single-precision points widened, the flag of 1000 from two
// integers; a mark not in use is dropped by the list.
TEST(CSphereAngleParam, OldRecordsMigrate)
{
  const auto floats = [](ByteBuilder b, float x, float y, float z) {
    for (float v : {x, y, z}) {
      std::uint8_t raw[4];
      std::memcpy(raw, &v, 4);
      b.Append(Bytes(raw, raw + 4));
    }
    return b;
  };
  const Bytes list = floats(floats(ByteBuilder().I32(3).I32(1000).I32(-1).I32(5), 1, 2, 3).F64s({0.5, 0.25}).I32(1000).I32(0).I32(7), 1.5f, 2.5f, 3.5f)
                         .F64s({0.75, 0.5})
                         .bytes;
  Bytes withV1001 = list;
  const Bytes v1001 = floats(ByteBuilder().I32(1001).Append({1}), 0.25f, 0.5f, 1.0f).F64s({1, 2}).bytes;
  withV1001.insert(withV1001.end(), v1001.begin(), v1001.end());
  CSphereAngleParamArray back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, withV1001, static_cast<int>(withV1001.size()), &left));
  EXPECT_EQ(0, left);
  ASSERT_EQ(2u, back.size());
  EXPECT_EQ(1.5, back[0].m_Coord.m_x);
  EXPECT_EQ(0.75, back[0].m_Houi);
  EXPECT_EQ(0.25, back[1].m_Coord.m_x);
  EXPECT_EQ(2.0, back[1].m_Angle);
  // The writer always writes 1002 with doubles.
  EXPECT_EQ(1002, kel_test::SavedRecord(back[0])[0] | kel_test::SavedRecord(back[0])[1] << 8);

  // A count of 0 or less is an empty list and takes only the count.
  for (int count : {0, -4}) {
    back.push_back(Mark(1, 1, 1));
    ASSERT_TRUE(kel_test::LoadRecord(back, ByteBuilder().I32(count).I32(1002).bytes, 8, &left));
    EXPECT_EQ(4, left);
    EXPECT_TRUE(back.empty());
  }
  // A count the budget cannot hold fails at once; a bad record number too.
  EXPECT_FALSE(kel_test::LoadRecord(back, ByteBuilder().I32(1000000).bytes, 100));
  EXPECT_FALSE(kel_test::LoadRecord(back, ByteBuilder().I32(1).I32(1003).Append(Bytes(45, 0)).bytes, 100));
}

TEST(CSphereAngleParam, TogglingAMarkTwiceRestoresTheList)
{
  CSphereAngleParamArray marks;
  marks.SetAngleParam(Mark(1, 2, 3));
  marks.SetAngleParam(Mark(4, 5, 6));
  const CSphereAngleParamArray before = marks;
  // The same point (within the point tolerance) with other angles removes it.
  marks.SetAngleParam(Mark(4, 5, 6 + 1e-5, 9, 9));
  ASSERT_EQ(1u, marks.size());
  EXPECT_EQ(1.0, marks[0].m_Coord.m_x);
  marks.SetAngleParam(Mark(4, 5, 6));
  EXPECT_EQ(before, marks);
  CSphereAngleParam other = Mark(1, 2, 3);
  other.m_Angle = 0.2500001;
  EXPECT_NE(marks[0], other);
}

}  // namespace
