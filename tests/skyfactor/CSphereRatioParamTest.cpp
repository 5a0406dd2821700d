#include "CSphereRatioParam.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "KelTestSupport.h"
#include "SkyRecords.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

CSphereRatioParam At(double x, double y, double z)
{
  CSphereRatioParam p;
  p.m_RatioRecord.m_x = x;
  p.m_RatioRecord.m_y = y;
  p.m_RatioRecord.m_z = z;
  return p;
}

// A check point with every list and result filled.
CSphereRatioParam Filled()
{
  CSphereRatioParam p = At(1.5, -2.5, 0.75);
  p.m_RatioRecord.m_Lead = 77;
  p.m_RatioRecord.m_Tail[4] = -9;
  p.m_RatioRecord.m_BaseRatio = 0.8;
  p.m_RatioRecord.m_PlanRatio = 0.7;
  p.m_BaseResult = sky_test::ComputedResult(20);
  p.m_PlanResult1 = sky_test::ComputedResult(30);
  p.m_WorkPlanResult = sky_test::ComputedResult(12);
  p.m_BlockList = sky_test::Blocks({sky_test::Box(-5, 5, 10, 20, 20)});
  p.m_BaseRatio1 = 0.5;
  p.m_WorkPlanRatio = 0.25;
  p.m_BaseAngle.push_back(sky_test::UsedMark(2, 1));
  p.m_PlanAngle.push_back(sky_test::UsedMark(3, 2));
  p.m_EdgePointBase.m_Pitch = 2.5;
  p.m_BegPoint = CKelCoord2D(1, 2);
  p.m_EndPoint = CKelCoord2D(3, 4);
  p.m_bUsePoint = true;
  p.m_bBaseCut = false;
  p.m_BaseIndex = 4;
  p.m_SectionLine.resize(1);
  return p;
}

TEST(CSphereRatioParam, RoundingAtTheFifthDecimal)
{
  struct Row {
    double v, base, plan;
  } rows[] = {
      {0.123451, 0.12346, 0.12345}, {0.123459, 0.12346, 0.12345}, {0.29, 0.29, 0.29}, {0.5, 0.5, 0.5},
      {-1.0, -1.0, -1.0},           {0.0, 0.0, 0.0},              {1.0, 1.0, 1.0},    {0.999991, 1.0, 0.99999},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.base, CSphereRatioParam::GetBaseValue(row.v)) << row.v;
    EXPECT_EQ(row.plan, CSphereRatioParam::GetPlanValue(row.v)) << row.v;
  }
}

TEST(CSphereRatioParam, DefaultsAndDiscardingResults)
{
  CSphereRatioParam p;
  EXPECT_EQ(0.0, p.m_RatioRecord.m_BaseRatio);
  EXPECT_EQ(0.0, p.m_RatioRecord.m_PlanRatio);
  for (double r : {p.m_BaseRatio1, p.m_PlanRatio1, p.m_WorkBaseRatio, p.m_WorkPlanRatio})
    EXPECT_EQ(-1.0, r);
  EXPECT_EQ(1, p.GetSize());
  EXPECT_FALSE(p.IsClosed());
  EXPECT_TRUE(p.m_bBaseCut);
  EXPECT_EQ(-1, p.m_BaseIndex);

  CSphereRatioParam q = Filled();
  double *base = nullptr, *plan = nullptr;
  ASSERT_TRUE(q.GetCurrentSphereRatio(0, &base, &plan));
  *plan = 0.125;
  EXPECT_EQ(0.125, q.m_RatioRecord.m_PlanRatio);
  ASSERT_TRUE(q.GetCurrentSphereRatio(1, &base, nullptr));
  EXPECT_EQ(&q.m_BaseRatio1, base);

  const CSphereRatioParam before = q;
  q.DeleteSphereRatioBaseBlock1(1);
  EXPECT_EQ(-1.0, q.m_BaseRatio1);
  EXPECT_EQ(-1, q.m_BaseIndex);
  EXPECT_TRUE(q.m_BaseAngle.empty());
  EXPECT_EQ(before.m_BaseResult, q.m_BaseResult);  // set 0 untouched
  EXPECT_EQ(before.m_PlanResult1, q.m_PlanResult1);
  EXPECT_EQ(before.m_PlanAngle, q.m_PlanAngle);
  EXPECT_EQ(0.8, q.m_RatioRecord.m_BaseRatio);
  q.DeleteSphereRatioPlanBlock1(1);
  EXPECT_EQ(-1.0, q.m_PlanRatio1);
  EXPECT_EQ(CSphereRatioBlock(), q.m_PlanResult1);
  q.DeleteSphereRatioBaseBlock1(0);
  EXPECT_EQ(-1.0, q.m_RatioRecord.m_BaseRatio);
  EXPECT_EQ(CSphereRatioBlock(), q.m_BaseResult);
  q.DeleteSphereWorkRatioPlanBlock1();
  EXPECT_EQ(-1.0, q.m_WorkPlanRatio);
  EXPECT_EQ(CSphereRatioBlock(), q.m_WorkPlanResult);
}

// The packed record: fields at their offsets, read without pointers into
// the bytes.
TEST(CSphereRatioParam, RawRecordOffsets)
{
  CSphereRatioRecord r;
  r.m_Lead = 0x01020304;
  r.m_x = 1.5;
  r.m_y = -2;
  r.m_z = 3.25;
  r.m_BaseRatio = 0.75;
  r.m_PlanRatio = 0.5;
  for (int k = 0; k < 5; ++k)
    r.m_Tail[k] = 10 + k;
  const SphereRatio raw = r.ToRaw();
  const Bytes expected = ByteBuilder().I32(0x01020304).F64s({1.5, -2, 3.25, 0.75, 0.5}).I32(10).I32(11).I32(12).I32(13).I32(14).bytes;
  ASSERT_EQ(64u, expected.size());
  EXPECT_EQ(expected, Bytes(raw.bytes, raw.bytes + 64));
  EXPECT_EQ(r, CSphereRatioRecord::FromRaw(raw));
  CSphereRatioRecord other = r;
  other.m_Tail[2] = 0;
  EXPECT_NE(r, other);
}

TEST(CSphereRatioParam, Record1012RoundTripsWithinItsBudget)
{
  const CSphereRatioParam p = Filled();
  const Bytes bytes = kel_test::SavedRecord(p);
  const SphereRatio raw = p.m_RatioRecord.ToRaw();
  const Bytes head = ByteBuilder().I32(1012).Append(Bytes(raw.bytes, raw.bytes + 64)).F64s({0.5, -1, -1, 0.25}).bytes;
  ASSERT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  CSphereRatioParam back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(p, back);
  CSphereRatioParam cut;
  EXPECT_FALSE(kel_test::LoadRecord(cut, bytes, static_cast<int>(bytes.size()) - 1));
  Bytes unknown = bytes;
  unknown[0] = 0xf5;  // 1013
  EXPECT_FALSE(kel_test::LoadRecord(cut, unknown, static_cast<int>(bytes.size())));
}

// The common head of the older records: number, 64 bytes, ratios.
ByteBuilder Head(std::int32_t record, std::initializer_list<double> ratios)
{
  const SphereRatio raw = At(4, 5, 6).m_RatioRecord.ToRaw();
  ByteBuilder b;
  b.I32(record).Append(Bytes(raw.bytes, raw.bytes + 64)).F64s(ratios);
  return b;
}

Bytes Results(int n)
{
  Bytes all;
  const Bytes one = kel_test::SavedRecord(CSphereRatioBlock());
  for (int k = 0; k < n; ++k)
    all.insert(all.end(), one.begin(), one.end());
  return all;
}

// An old outline list: outlines of points (x, y, z, second height).
Bytes Outlines(std::initializer_list<std::vector<CKelCoord3DEx>> outlines)
{
  ByteBuilder b;
  b.I32(static_cast<std::int32_t>(outlines.size()));
  for (const auto& outline : outlines) {
    b.I32(static_cast<std::int32_t>(outline.size()));
    for (const CKelCoord3DEx& p : outline)
      b.F64s({p.m_x, p.m_y, p.m_z, p.m_zL});
  }
  return b.bytes;
}

std::vector<CKelCoord3DEx> Square(double x0, double top, double bottom)
{
  return {{x0, 0, top, bottom}, {x0 + 4, 0, top, bottom}, {x0 + 4, 4, top, bottom}, {x0, 4, top, bottom}};
}

TEST(CSphereRatioParam, Record1006TurnsOutlineListsIntoFlaggedBlocks)
{
  const Bytes bytes = Head(1006, {0.5, 0.25, -1, -1})
                          .Append(Results(4))
                          .Append(Outlines({Square(0, 9, 0)}))
                          .Append(Outlines({Square(10, 12, 3), {}}))
                          .Append(Results(2))
                          .I32(0)
                          .I32(0)
                          .bytes;
  CSphereRatioParam p;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(p, bytes, static_cast<int>(bytes.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(6.0, p.GetCoord3D(0).m_z);
  EXPECT_EQ(0.25, p.m_PlanRatio1);
  ASSERT_EQ(2, p.m_BlockList.Size());
  EXPECT_TRUE(p.m_BlockList[0].IsSyasen());
  EXPECT_FALSE(p.m_BlockList[0].IsHikage());
  EXPECT_TRUE(p.m_BlockList[1].IsHikage());
  EXPECT_FALSE(p.m_BlockList[1].IsSyasen());
  EXPECT_EQ(12.0, p.m_BlockList[1].m_Coord[2].m_z);
  EXPECT_EQ(3.0, p.m_BlockList[1].m_Coord[2].m_zL);
  EXPECT_TRUE(p.m_BlockList[1].IsTyuku());
  // Fields a 1006 record does not hold keep their values.
  EXPECT_EQ(-1, p.m_BaseIndex);
  EXPECT_TRUE(p.m_bBaseCut);

  struct Row {
    const char* name;
    Bytes lists;
  } bad[] = {
      {"negative outline count", ByteBuilder().I32(-1).bytes},
      {"outline count beyond the bytes", ByteBuilder().I32(1 << 28).bytes},
      {"negative point count", ByteBuilder().I32(1).I32(-2).bytes},
      {"point count beyond the bytes", ByteBuilder().I32(1).I32(1 << 26).bytes},
  };
  for (const Row& row : bad) {
    const Bytes broken = Head(1006, {0.5, 0.25, -1, -1}).Append(Results(4)).Append(row.lists).I32(0).bytes;
    CSphereRatioParam q;
    EXPECT_FALSE(kel_test::LoadRecord(q, broken, static_cast<int>(broken.size()))) << row.name;
  }
}

// The oldest records: dropped ratios and results, three marks in 1002, a
// stored count in 1004 (two more dropped of each), mark lists in 1005.
TEST(CSphereRatioParam, OldRecordsMigrate)
{
  const Bytes mark = kel_test::SavedRecord(sky_test::UsedMark(1, 0.5));
  const auto marks = [&mark](int n) {
    Bytes all;
    for (int k = 0; k < n; ++k)
      all.insert(all.end(), mark.begin(), mark.end());
    return all;
  };
  const Bytes v1002 = Head(1002, {0.5, 0.25, 9, 9, 0.125, 0.0625})
                          .Append(Results(6))
                          .Append(Outlines({Square(0, 5, 0)}))
                          .Append(Outlines({}))
                          .Append(Results(2))
                          .Append(marks(3))
                          .bytes;
  const Bytes v1004 = Head(1004, {0.5, 0.25, 9, 9, 9, 9, 0.125, 0.0625})
                          .Append(Results(8))
                          .Append(Outlines({}))
                          .Append(Outlines({}))
                          .Append(Results(2))
                          .I32(2)
                          .Append(marks(2))
                          .bytes;
  const Bytes markList = kel_test::SavedRecord([] {
    CSphereAngleParamArray l;
    l.push_back(sky_test::UsedMark(1, 0.5));
    return l;
  }());
  const Bytes v1005 = Head(1005, {0.5, 0.25, 9, 9, 9, 9, 0.125, 0.0625})
                          .Append(Results(8))
                          .Append(Outlines({}))
                          .Append(Outlines({}))
                          .Append(Results(2))
                          .Append(markList)
                          .Append(markList)
                          .bytes;
  const Bytes v1000 =
      Head(1000, {0.5, 0.25, 9, 9, 0.125, 0.0625}).Append(Results(6)).Append(Outlines({})).Append(Outlines({})).Append(Results(2)).bytes;
  struct Row {
    const char* name;
    Bytes bytes;
    std::size_t baseMarks, planMarks, blocks;
  } rows[] = {
      {"1000", v1000, 0, 0, 0},
      {"1002", v1002, 3, 3, 1},
      {"1004", v1004, 2, 2, 0},
      {"1005", v1005, 1, 1, 0},
  };
  CSyasenCheckCalcKind kind;
  for (const Row& row : rows) {
    const std::string path = kel_test::TestFilePath("old.bin");
    sky_test::WriteFile(path, row.bytes);
    CKelFileIO f;
    ASSERT_TRUE(f.Open(path.c_str()));
    CSphereRatioParam p;
    int budget = static_cast<int>(row.bytes.size());
    ASSERT_TRUE(p.LoadOldData(f, &budget, kind)) << row.name;
    f.Close();
    EXPECT_EQ(0, budget) << row.name;
    EXPECT_EQ(0.25, p.m_PlanRatio1) << row.name;
    EXPECT_EQ(0.125, p.m_WorkBaseRatio) << row.name;
    EXPECT_EQ(0.0625, p.m_WorkPlanRatio) << row.name;
    EXPECT_EQ(row.baseMarks, p.m_BaseAngle.size()) << row.name;
    EXPECT_EQ(row.planMarks, p.m_PlanAngle.size()) << row.name;
    EXPECT_EQ(static_cast<int>(row.blocks), p.m_BlockList.Size()) << row.name;
    if (row.baseMarks > 0) {
      EXPECT_EQ(sky_test::UsedMark(1, 0.5), p.m_BaseAngle[0]) << row.name;
    }
    if (std::string(row.name) == "1002") {
      EXPECT_EQ(CSphereAngleParam(), p.m_PlanAngle[2]);
    }
  }
  // The newer record numbers are not old records, nor the other way round.
  CSphereRatioParam p;
  EXPECT_FALSE(kel_test::LoadRecord(p, v1005, static_cast<int>(v1005.size())));
}

TEST(CSphereRatioParam, ArchiveRoundTrips)
{
  for (int version : {1, 2, 32}) {
    const CSphereRatioParam p = Filled();
    const Bytes bytes = kel_test::Archived(p, version);
    CSphereRatioParam back;
    ASSERT_TRUE(kel_test::Unarchive(back, bytes, version)) << version;
    EXPECT_EQ(p, back);
    EXPECT_FALSE(kel_test::Unarchive(back, Bytes(bytes.begin(), bytes.end() - 1), version));
  }
  // Version 1: the flags, index and ratios come first, then the 64 bytes.
  const Bytes v1 = kel_test::Archived(Filled(), 1);
  const SphereRatio raw = Filled().m_RatioRecord.ToRaw();
  const Bytes head = ByteBuilder().Append({1}).I32(4).Append({0}).F64s({0.5, -1, -1, 0.25}).Append(Bytes(raw.bytes, raw.bytes + 64)).bytes;
  EXPECT_TRUE(std::equal(head.begin(), head.end(), v1.begin()));
}

// Every seed of the check-point fuzz target that reads as an archived list
// writes the same bytes before and after another trip; one seed, found by
// fuzzing, holds a clockwise block whose area came back different.
TEST(CSphereRatioParamArray, CorpusListsWriteBackTheSameBytes)
{
  const std::filesystem::path corpus = std::filesystem::path(PLN_FUZZ_CORPUS) / "fuzz_sky_checkparams";
  int lists = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Byte 0: the reader in the low nibble (3 for a list), the version above.
    if (input.empty() || (input[0] & 0x0f) % 4 != 3)
      continue;
    const int version = 1 + (input[0] >> 4);
    CSphereRatioParamArray list;
    if (!kel_test::Unarchive(list, Bytes(input.begin() + 1, input.end()), version))
      continue;
    ++lists;
    const Bytes once = kel_test::Archived(list, version);
    CSphereRatioParamArray back;
    ASSERT_TRUE(kel_test::Unarchive(back, once, version)) << entry.path();
    EXPECT_EQ(once, kel_test::Archived(back, version)) << entry.path();
  }
  EXPECT_GE(lists, 2);
}

TEST(CSphereRatioParamArray, ListOperations)
{
  CSphereRatioParamArray list;
  const CSphereRatioParam a = At(1, 2, 3);
  list.AddElement(&a);
  const CSphereRatioParam b = Filled();
  list.AddElement(&b);
  EXPECT_EQ(nullptr, list.GetSphereRatioParam(2));
  EXPECT_EQ(nullptr, list.GetSphereRatioParam(-1));
  ASSERT_NE(nullptr, list.GetSphereRatioParam(1));
  EXPECT_EQ(b, *list.GetSphereRatioParam(1));
  EXPECT_TRUE(list.IsExisted(At(1 + 0.9e-5, 2 - 0.9e-5, 3 + 0.9e-5)));
  EXPECT_FALSE(list.IsExisted(At(1, 2, 3 + 1.1e-5)));
  EXPECT_FALSE(CSphereRatioParamArray().IsExisted(a));
  for (int version : {1, 2}) {
    CSphereRatioParamArray back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(list, version), version));
    EXPECT_EQ(list, back);
  }
  CSphereRatioParamArray forged;
  EXPECT_FALSE(kel_test::Unarchive(forged, ByteBuilder().I32(1 << 20).bytes, 1));
  list.Erase(0);
  EXPECT_EQ(b, list[0]);
  EXPECT_NE(list, CSphereRatioParamArray());
}

TEST(CSphereRatioParamDeathTest, PointEditingAndSetsAreRefused)
{
  CSphereRatioParam p;
  EXPECT_DEATH(p.GetCoord3D(1), "Index == 0");
  EXPECT_DEATH(p.Append(CKelCoord3D()), "false");
  EXPECT_DEATH(p.DeleteSphereRatioBaseBlock1(2), "set == 0");
  CSphereRatioParamArray list;
  EXPECT_DEATH(list.AddElement(nullptr), "item != nullptr");
}

}  // namespace
