#include <gtest/gtest.h>

#include <string>

#include "KelTestSupport.h"
#include "SlantFixtures.h"

namespace {

using namespace slant_test;
using Type = CKelCoord3DCrsPnt::TYPE;

kel_test::Bytes DataFile(const std::string& name) { return kel_test::ReadBytes(std::string(TEST_DATA_DIR) + "/" + name); }

// A record with something in every part the binary record holds.
CSyasenCheckBlockParam Filled()
{
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_SiteNo = 2;
  p.m_SiteNo2 = 3;
  p.m_GrdHeight = 1.25;
  p.m_OptNo = -4;
  p.m_Value1 = 0.5;
  p.m_Value3 = -2;
  p.m_RoadDistance.Add(6.5);
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegBaseKind = 4;
  p.m_BaseBlock.AddBlock(Kind(Box(0, 0, 4, 3, 9), true));
  p.m_SrcBlock.AddBlock(Box(0, 0, 20, 15, 10));
  p.m_YouhekiBlock.AddBlock(Box(0, 0, 20, 1, 0));
  p.m_SphereRatio2.resize(1);
  p.m_SphereRatio2[0].m_RatioRecord.m_x = 3;
  p.m_SphereRatio2[0].m_bUsePoint = true;
  p.m_SphereRatio2[0].m_EndPoint = CKelCoord2D(20, 0);
  p.m_SphereRatio2[0].m_BlockList.AddBlock(Kind(Box(1, 1, 2, 2, 3), false));
  p.m_SphereRatio = p.m_SphereRatio2;
  CKelCoord3DCrsPntArray line;
  line.assign({CKelCoord3DCrsPnt(CKelCoord3D(0, 0, 1)), CKelCoord3DCrsPnt(CKelCoord3D(5, 0, 1), Type::TYPE_CCW),
               CKelCoord3DCrsPnt(CKelCoord3D(10, 0, 1))});
  p.m_Cpntline.push_back(line);
  p.m_CpntDistance = 4;
  p.m_CpntPitch = 1.5;
  p.m_GrdLevel1 = 0.5;
  p.m_CheckLength = 20;
  p.m_CheckEnd = 12;
  p.m_bFlag = true;
  p.m_TgtPitch = 1.4;
  p.m_DataType = 2;
  return p;
}

bool ReadList(const kel_test::Bytes& bytes, int size, CSyasenCheckBlockParamArray& list)
{
  const std::string path = kel_test::TestFilePath("list.bin");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  CKelFileIO f;
  EXPECT_TRUE(f.Open(path.c_str()));
  const bool ok = CSyasenCheckBlockParamArray::ReadData(f, size, &list, nullptr);
  f.Close();
  return ok;
}

kel_test::Bytes SavedList(CSyasenCheckBlockParamArray& list)
{
  const std::string path = kel_test::TestFilePath("saved.bin");
  CKelFileIO f;
  EXPECT_TRUE(f.Create(path.c_str()));
  EXPECT_TRUE(CSyasenCheckBlockParamArray::SaveData(f, &list, nullptr));
  f.Close();
  return kel_test::ReadBytes(path);
}

TEST(CheckRecord, TheListRoundTripsThroughItsRecordsUsingTheSizeExactly)
{
  CSyasenCheckBlockParamArray list;
  list.push_back(Filled());
  list.push_back(EdgeZeroCheck());
  list[0].m_No = 0;
  list[1].m_No = 1;
  list[1].m_RoadDistance.Add(0.25);
  list[0].m_RefPoint = CKelCoord3D(1, 2, 3);
  const kel_test::Bytes bytes = SavedList(list);
  CSyasenCheckBlockParamArray back;
  back.resize(5);
  ASSERT_TRUE(ReadList(bytes, static_cast<int>(bytes.size()), back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[0] == list[0]);
  EXPECT_TRUE(back[1] == list[1]);
  // The record keeps the reference point; copies leave it out.
  EXPECT_EQ(back[0].m_RefPoint, CKelCoord3D(1, 2, 3));
  EXPECT_EQ(CSyasenCheckBlockParam(back[0]).m_RefPoint, CKelCoord3D());
  // One byte more or less than the records hold fails.
  EXPECT_FALSE(ReadList(bytes, static_cast<int>(bytes.size()) + 1, back));
  EXPECT_FALSE(ReadList(bytes, static_cast<int>(bytes.size()) - 1, back));
  // An empty list reads only with a size of exactly its count.
  CSyasenCheckBlockParamArray empty;
  const kel_test::Bytes none = SavedList(empty);
  ASSERT_EQ(none.size(), 4u);
  EXPECT_TRUE(ReadList(none, 4, back));
  EXPECT_TRUE(back.empty());
  EXPECT_FALSE(ReadList(none, 5, back));
}

TEST(CheckRecord, ReadingTheSameRecordTwiceKeepsOneRoadDistance)
{
  CSyasenCheckBlockParam p = Filled();
  p.m_RoadDistance.Add(8.0);  // the record holds the first only
  const kel_test::Bytes bytes = kel_test::SavedRecord(p);
  CSyasenCheckBlockParam back;
  for (int round = 0; round < 2; ++round) {
    int left = -1;
    ASSERT_TRUE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()), &left));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(back.m_RoadDistance, (std::vector<double>{6.5}));
  }
  CSyasenCheckBlockParam none = Filled();
  none.m_RoadDistance.clear();
  CSyasenCheckBlockParam zero;
  ASSERT_TRUE(kel_test::LoadRecord(zero, kel_test::SavedRecord(none), 1 << 20));
  EXPECT_EQ(zero.m_RoadDistance, (std::vector<double>{0.0}));
}

TEST(CheckRecord, EqualEndsClearTheEdgeAndTheArcSensesTurnBeforeTheLastRecord)
{
  CSyasenCheckBlockParam p = Filled();
  p.m_EndPoint = CKelCoord2D(1e-5, 0);
  CSyasenCheckBlockParam back;
  ASSERT_TRUE(kel_test::LoadRecord(back, kel_test::SavedRecord(p), 1 << 20));
  EXPECT_EQ(back.m_SiteNo, -1);

  CSyasenCheckBlockParam kept;
  ASSERT_TRUE(kel_test::LoadRecord(kept, kel_test::SavedRecord(Filled()), 1 << 20));
  EXPECT_EQ(kept.m_Cpntline[0][1].m_Type, Type::TYPE_CCW);
  CSyasenCheckBlockParam old;
  int left = -1;
  const kel_test::Bytes r1022 = DataFile("record_1022.bin");
  ASSERT_TRUE(kel_test::LoadRecord(old, r1022, static_cast<int>(r1022.size()), &left));
  EXPECT_EQ(left, 0);
  EXPECT_EQ(old.m_Cpntline[0][1].m_Type, Type::TYPE_CW);
  EXPECT_EQ(old.m_DataType, 3);
  EXPECT_EQ(old.m_RoadDistance, (std::vector<double>{7.5}));
  EXPECT_EQ(old.m_CpntPitch, 0.75);
  EXPECT_EQ(old.m_CpntDistance, 10.0);  // the second distance is dropped
  EXPECT_TRUE(old.m_bFlag);
}

struct Migrated {
  CSyasenCheckBlockParam p;
  bool ok = false;
  int left = -1;
};

Migrated Load(const std::string& name)
{
  Migrated m;
  const kel_test::Bytes bytes = DataFile(name);
  m.ok = kel_test::LoadRecord(m.p, bytes, static_cast<int>(bytes.size()), &m.left);
  return m;
}

TEST(CheckRecordMigration, EveryOldRecordReadsWithItsBudgetUsedUp)
{
  for (const char* name : {"record_1000.bin", "record_1003.bin", "record_1004.bin", "record_1009.bin",
                           "record_1012.bin", "record_1016.bin", "record_1020.bin", "record_1022.bin"}) {
    const Migrated m = Load(name);
    EXPECT_TRUE(m.ok) << name;
    EXPECT_EQ(m.left, 0) << name;
    // Cut one byte short, every one of them is refused.
    kel_test::Bytes shortened = DataFile(name);
    shortened.pop_back();
    CSyasenCheckBlockParam p;
    EXPECT_FALSE(kel_test::LoadRecord(p, shortened, static_cast<int>(shortened.size()))) << name;
  }
}

TEST(CheckRecordMigration, PlannedBuildingsOfTheOldestRecordBecomePlanBlocks)
{
  const Migrated m = Load("record_1000.bin");
  ASSERT_TRUE(m.ok);
  ASSERT_EQ(m.p.m_BaseBlock.Size(), 2);
  EXPECT_TRUE(CSyasenCheckBlockParam::IsBaseOnly(m.p.m_BaseBlock[0]));
  EXPECT_TRUE(CSyasenCheckBlockParam::IsPlanOnly(m.p.m_BaseBlock[1]));
  EXPECT_DOUBLE_EQ(m.p.m_BaseBlock[1].CalcArea(), 4);
  EXPECT_EQ(m.p.m_BaseBlock[1].m_Coord[0].m_z, 5);
  // Begin and end were not stored: both at the origin, so no edge.
  EXPECT_EQ(m.p.m_SiteNo, -1);
  EXPECT_FALSE(m.p.m_CalcKind.m_bUniform);
}

TEST(CheckRecordMigration, OldKindsMapToCalculationKinds)
{
  const Migrated k3 = Load("record_1003.bin");
  ASSERT_TRUE(k3.ok);
  const CSyasenCheckCalcKind& k = k3.p.m_CalcKind;
  EXPECT_EQ(k.m_CalcType, 0);
  EXPECT_EQ(k.m_BegCpntKind, 0);
  EXPECT_EQ(k.m_BegCutKind, 1);
  EXPECT_EQ(k.m_EndCutKind, 1);
  EXPECT_EQ(k.m_BegBaseKind, 2);
  EXPECT_EQ(k.m_EndBaseKind, 2);
  // Half cuts: the two old lists are not taken.
  EXPECT_EQ(k3.p.m_BaseBlock.Size(), 0);
  const Migrated k2 = Load("record_1004.bin");
  ASSERT_TRUE(k2.ok);
  EXPECT_EQ(k2.p.m_CalcKind.m_BegCutKind, 0);
  ASSERT_EQ(k2.p.m_BaseBlock.Size(), 2);
  EXPECT_EQ(CountPlan(k2.p.m_BaseBlock), 1);
  // An old kind above 3 is refused, not asserted.
  kel_test::Bytes bad = DataFile("record_1003.bin");
  bad[16] = 4;
  CSyasenCheckBlockParam p;
  EXPECT_FALSE(kel_test::LoadRecord(p, bad, static_cast<int>(bad.size())));
}

TEST(CheckRecordMigration, LaterRecordsEraseRepeatsAndTurnRadialBaseLines)
{
  const Migrated r1009 = Load("record_1009.bin");
  ASSERT_TRUE(r1009.ok);
  EXPECT_EQ(r1009.p.m_BaseBlock.Size(), 1);
  EXPECT_EQ(r1009.p.m_SrcBlock.Size(), 2);
  EXPECT_EQ(r1009.p.m_OptNo, 5);
  EXPECT_EQ(r1009.p.m_SiteNo, 1);
  EXPECT_FALSE(r1009.p.m_bFlag);

  const Migrated r1012 = Load("record_1012.bin");
  ASSERT_TRUE(r1012.ok);
  EXPECT_EQ(r1012.p.m_CalcKind.m_BegBaseKind, 4);
  EXPECT_EQ(r1012.p.m_CalcKind.m_EndBaseKind, 4);
  EXPECT_EQ(r1012.p.m_TgtPitch, 1.25);
  EXPECT_EQ(r1012.p.m_YouhekiBlock.Size(), 1);
  EXPECT_TRUE(r1012.p.m_Cpntline.empty());
  EXPECT_TRUE(r1012.p.m_bFlag);

  const Migrated r1016 = Load("record_1016.bin");
  ASSERT_TRUE(r1016.ok);
  ASSERT_EQ(r1016.p.m_Cpntline.size(), 1u);
  ASSERT_EQ(r1016.p.m_Cpntline[0].size(), 3u);
  EXPECT_EQ(r1016.p.m_Cpntline[0][1].m_Type, Type::TYPE_CW);
  EXPECT_EQ(r1016.p.m_SiteNo2, 4);
  EXPECT_EQ(r1016.p.m_Value3, 3);

  const Migrated r1020 = Load("record_1020.bin");
  ASSERT_TRUE(r1020.ok);
  EXPECT_EQ(r1020.p.m_DataType, 2);
  EXPECT_EQ(r1020.p.GetDataTypeName(), "複合隣地");
  EXPECT_TRUE(r1020.p.m_RoadDistance.empty());
}

TEST(CheckRecord, ArchivesRoundTripOnBothSidesOfEveryGate)
{
  CSyasenCheckBlockParam p = Filled();
  p.m_RoadDistance.Add(9.0);
  p.m_Extra1 = 4;
  p.m_Extra3 = 2;
  p.m_ExtraNo = 7;
  for (int version : {1, 2, 13, 14, 15, 16, 25, 26, 27, 30}) {
    CSyasenCheckBlockParam expected = p;
    if (version < 16)
      expected.m_RoadDistance.assign(1, 6.5);
    if (version < 26)
      expected.m_Extra1 = 0, expected.m_Extra3 = 1.0;
    if (version < 27)
      expected.m_ExtraNo = -1;
    CSyasenCheckBlockParam back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(p, version), version)) << version;
    EXPECT_TRUE(back == expected) << version;
  }
  CSyasenCheckBlockParamArray list;
  list.push_back(p);
  list.push_back(EdgeZeroCheck());
  EXPECT_EQ(list.GetCurrentAutoBlockSize(), 1);
  CSyasenCheckBlockParamArray back;
  ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(list, 27), 27));
  EXPECT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[1] == list[1]);
}

TEST(CheckRecord, NamesCopiesAndComparisons)
{
  EXPECT_EQ(CSyasenCheckBlockParam::GetDataTypeName(0), "自動");
  EXPECT_EQ(CSyasenCheckBlockParam::GetDataTypeName(1), "任意");
  EXPECT_EQ(CSyasenCheckBlockParam::GetDataTypeName(3), "再地区");
  EXPECT_EQ(CSyasenCheckBlockParam::GetDataTypeName(4), "不明");
  EXPECT_EQ(CSyasenCheckBlockParam::GetDataTypeName(-1), "不明");
  CSyasenCheckBlockParamArray manual;
  manual.resize(2);
  manual[0].m_DataType = manual[1].m_DataType = 1;
  EXPECT_EQ(manual.GetCurrentAutoBlockSize(), 0);

  CSyasenCheckBlockParam a = Filled();
  a.m_RefPoint = CKelCoord3D(5, 5, 5);
  CSyasenCheckBlockParam b;
  b = a;
  EXPECT_TRUE(b == a);
  EXPECT_EQ(b.m_RefPoint, CKelCoord3D());
  b.m_TgtPitch = std::nextafter(b.m_TgtPitch, 2.0);
  EXPECT_FALSE(b == a);
  b = a;
  b.m_EndPoint.m_x += 2e-5;  // points compare within the tolerance
  EXPECT_TRUE(b == a);
  b.m_SphereRatio2[0].m_bBaseCut = false;
  EXPECT_FALSE(b == a);
}

}  // namespace

namespace {

// A stored block with both kind flags is neither base nor plan: it is kept
// through a plan run and takes no plan blocks.
TEST(CheckRecord, AStoredBlockWithBothFlagsIsNeitherBaseNorPlan)
{
  CSyasenCheckBlockParam p = slant_test::EdgeZeroCheck();
  CKelBlockCube both = slant_test::Box(0, 0, 10, 10, 12);
  both.SetSyasen(true);
  both.SetHikage(true);
  p.m_BaseBlock.AddBlock(both);
  CSyasenCheckBlockParam back;
  ASSERT_TRUE(kel_test::LoadRecord(back, kel_test::SavedRecord(p), 1 << 20));
  ASSERT_EQ(back.m_BaseBlock.Size(), 1);
  EXPECT_TRUE(back.m_BaseBlock[0].IsSyasen() && back.m_BaseBlock[0].IsHikage());
  CKelHSite site = slant_test::Rect20x15();
  slant_test::TestCheckBlock blk;
  CKelBlockCubeArray plan, plan2;
  plan.AddBlock(slant_test::Box(2, 2, 4, 4, 5));
  EXPECT_FALSE(back.CreatePlanBlock(nullptr, &site, &blk, plan, 1, 0, plan2));
  EXPECT_EQ(back.m_BaseBlock.Size(), 1);
}

}  // namespace

namespace {

TEST(CheckRecord, OldOutlineListsWrittenHereReadBackAsOldOutlines)
{
  const CSphereRatioParam::OldOutlines outlines{{CKelCoord3DEx(0, 0, 5, 1), CKelCoord3DEx(4, 0, 5, 1),
                                                 CKelCoord3DEx(4, 3, 6, 1)},
                                                {}};
  const std::string path = kel_test::TestFilePath("outlines.bin");
  CKelFileIO out;
  ASSERT_TRUE(out.Create(path.c_str()));
  ASSERT_TRUE(CSyasenCheckBlockParam::SaveBlockData(out, outlines));
  out.Close();
  const kel_test::Bytes bytes = kel_test::ReadBytes(path);
  ASSERT_EQ(bytes.size(), 4u + 4 + 3 * 32 + 4);
  CKelFileIO in;
  ASSERT_TRUE(in.Open(path.c_str()));
  int budget = static_cast<int>(bytes.size());
  CSphereRatioParam::OldOutlines back;
  ASSERT_TRUE(CSphereRatioParam::LoadBlockData(in, &budget, back));
  in.Close();
  EXPECT_EQ(budget, 0);
  EXPECT_EQ(back, outlines);
}

}  // namespace
