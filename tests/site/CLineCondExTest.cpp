#include <gtest/gtest.h>

#include "CLineCondEx.h"
#include "CLineCondExCondition.h"
#include "SiteTestSupport.h"

namespace {

using site_test::Bytes;
using site_test::SiteBytes;

CLineCondExCondition Condition()
{
  CLineCondExCondition c;
  c.m_CalcKind.m_CalcType = 1;
  c.m_Number1 = 7;
  c.m_bSwitch1 = true;
  c.m_BackSwitch = 0;
  c.m_BackSwitch2 = 2;
  c.m_Back1 = 1.25;
  c.m_Back2 = -2.5;
  c.m_Option = 9;
  c.m_bSwitch3 = true;
  c.m_CutMode = 2;
  return c;
}

Bytes KindBytes(const CSyasenCheckCalcKind& k, int version) { return kel_test::Archived(k, version); }

TEST(CLineCondExConditionTest, EachVersionGateAddsItsFields)
{
  const CLineCondExCondition c = Condition();
  EXPECT_TRUE(kel_test::Archived(c, 11).empty());
  for (int v : {12, 19, 20, 35, 36}) {
    SCOPED_TRACE(v);
    SiteBytes b;
    b.Tag("CLineCondExCondition").Raw(KindBytes(c.m_CalcKind, v)).I32(7);
    b.Put<std::uint8_t>(1).Put<std::uint8_t>(0).I8(0).I8(2).F64(1.25).F64(-2.5).Put<std::uint8_t>(1);
    if (v >= 20)
      b.I8(2);
    if (v >= 36)
      b.I32(9);
    EXPECT_EQ(b.bytes, kel_test::Archived(c, v));

    CLineCondExCondition back;
    ASSERT_TRUE(kel_test::Unarchive(back, b.bytes, v));
    EXPECT_EQ(v >= 20 ? 2 : 0, back.m_CutMode);
    EXPECT_EQ(v >= 36 ? 9 : 1, back.m_Option);
    EXPECT_EQ(1.25, back.m_Back1);
    EXPECT_TRUE(back.m_bSwitch3);
  }
  // Nothing is read below version 12: the defaults stay.
  CLineCondExCondition back;
  ASSERT_TRUE(kel_test::Unarchive(back, Bytes{}, 11));
  EXPECT_EQ(CLineCondExCondition(), back);
}

TEST(CLineCondExConditionTest, EveryFieldTakesPartInTheCompare)
{
  const CLineCondExCondition base = Condition();
  std::vector<CLineCondExCondition> changed(11, base);
  changed[0].m_CalcKind.m_EndCutKind = 3;
  changed[1].m_Number1 = 8;
  changed[2].m_bSwitch1 = false;
  changed[3].m_bSwitch2 = true;
  changed[4].m_BackSwitch = 1;
  changed[5].m_BackSwitch2 = 1;
  changed[6].m_Back1 = 1.2500001;
  changed[7].m_Back2 = 0;
  changed[8].m_Option = 1;
  changed[9].m_bSwitch3 = false;
  changed[10].m_CutMode = 1;
  for (std::size_t k = 0; k < changed.size(); ++k)
    EXPECT_NE(base, changed[k]) << k;
  EXPECT_EQ(base, Condition());
}

TEST(CSyasenCheckCalcFlagTest, BelowVersion20TheVertexConditionBytesFollow)
{
  CKelSiteTable v;
  v.m_LineCond.m_BackSwitch = 0;
  v.m_LineCond.m_BackSwitch2 = 3;
  v.m_LineCond.m_CutMode = 1;
  CSyasenCheckCalcFlag f;
  f.m_Flag1 = 4;
  f.m_Flag2 = 5;
  f.m_Flag3 = 6;
  for (int version : {19, 20}) {
    CKelMemoryArchive out(version);
    ASSERT_TRUE(f.Serialize(out, &v));
    SiteBytes b;
    b.Tag("CSyasenCheckCalcFlag").Put<std::uint8_t>(4).Put<std::uint8_t>(5).Put<std::uint8_t>(6);
    if (version < 20)
      b.I8(0).I8(3).I8(1);
    EXPECT_EQ(b.bytes, out.GetBytes()) << version;

    CKelSiteTable read;
    CSyasenCheckCalcFlag back;
    CKelMemoryArchive in(b.bytes, version);
    ASSERT_TRUE(back.Serialize(in, &read));
    EXPECT_EQ(f, back);
    EXPECT_EQ(version < 20 ? 1 : 0, read.m_LineCond.m_CutMode);
  }
}

TEST(CSyasenCheckCalcFlagTest, FileFormCountsEachByte)
{
  CSyasenCheckCalcFlag f;
  f.m_Flag1 = 1;
  f.m_Flag2 = 2;
  f.m_Flag3 = 255;
  const std::string path = kel_test::TestFilePath("flag.bin");
  CKelFileIO out;
  ASSERT_TRUE(out.Create(path.c_str()));
  ASSERT_TRUE(f.SaveData(out, 0));
  out.Close();
  EXPECT_EQ((Bytes{1, 2, 255}), kel_test::ReadBytes(path));
  for (int budget : {3, 2, 10}) {
    CKelFileIO in;
    ASSERT_TRUE(in.Open(path.c_str()));
    CSyasenCheckCalcFlag back;
    int left = budget;
    EXPECT_EQ(budget >= 3, back.LoadData(in, &left, 0)) << budget;
    in.Close();
    if (budget >= 3) {
      EXPECT_EQ(f, back);
      EXPECT_EQ(budget - 3, left);
    }
  }
}

// One vertex's old per-edge record at a version below 20, the fields in order.
SiteBytes OldLayout(int version, std::int32_t switches)
{
  SiteBytes b;
  b.Tag("CLineCondEx").F64(1).F64(2).F64(3).F64(4).F64(0.5).F64(0.75).F64(0).F64(1).F64(10);
  if (version < 7)
    b.I32(switches);
  else
    b.Put<std::uint8_t>(1).Put<std::uint8_t>(1);
  b.I32(5).I16(11).I16(12);
  if (version < 17) {
    for (float f : {0.5f, 4.0f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f})
      b.F32(f);
  } else {
    for (double d : {0.5, 4.0, 4.0, 3.5, 4.5, 5.5, 6.5, 7.5})
      b.F64(d);
  }
  b.Tag("CSyasenCheckCalcFlag").Put<std::uint8_t>(1).Put<std::uint8_t>(2).Put<std::uint8_t>(3);
  b.I8(0).I8(1).I8(2);
  for (int k = 0; k < 4; ++k)
    b.Pt2(k, -k);
  return b;
}

TEST(CLineCondExTest, OldSwitchWordAndFloatParametersMigrate)
{
  struct Row {
    int version;
    std::int32_t switches;
    bool expected;
  };
  for (const Row& r : {Row{6, 1, true}, Row{6, 2, false}, Row{6, 0, false}, Row{7, 0, true}, Row{11, 0, true}}) {
    SCOPED_TRACE(r.version);
    CKelSiteTable v;
    CLineCondEx layout;
    CKelMemoryArchive in(OldLayout(r.version, r.switches).bytes, r.version);
    ASSERT_TRUE(layout.Serialize(in, &v));
    EXPECT_EQ(0u, in.RemainingBytes());
    EXPECT_EQ(r.expected, v.m_LineCond.m_bSwitch1);
    EXPECT_EQ(r.expected, v.m_LineCond.m_bSwitch2);
    EXPECT_EQ(5, v.m_LineCond.m_Option);
    EXPECT_EQ(0.75, v.m_LineCond.m_Back2);
    EXPECT_EQ(10, v.m_Sphere.m_EdgeLen);
    EXPECT_EQ(12, v.m_Sphere.m_Opt2);
    // The second float stands for the road width and fills two parameters.
    const double expect[8] = {0.5, 4.0, 4.0, 3.5, 4.5, 5.5, 6.5, 7.5};
    for (int k = 0; k < 8; ++k)
      EXPECT_EQ(expect[k], v.m_Sphere.m_Param[k]) << k;
    EXPECT_EQ(2, v.m_LineCond.m_CutMode);
    EXPECT_EQ(3, v.m_Sphere.m_EdgePos[3].m_x);
  }
}

TEST(CLineCondExTest, WritesTheSwitchWordItsReaderExpects)
{
  for (bool both : {true, false}) {
    CKelSiteTable v;
    v.m_LineCond.m_bSwitch1 = v.m_LineCond.m_bSwitch2 = both;
    v.m_RoadWidthBeg = v.m_RoadWidthEnd = 4.0;
    CKelMemoryArchive out(6);
    ASSERT_TRUE(CLineCondEx().Serialize(out, &v));
    CKelSiteTable back;
    back.m_LineCond.m_bSwitch1 = !both;
    CKelMemoryArchive in(out.GetBytes(), 6);
    ASSERT_TRUE(CLineCondEx().Serialize(in, &back));
    EXPECT_EQ(0u, in.RemainingBytes());
    EXPECT_EQ(both, back.m_LineCond.m_bSwitch1);
    EXPECT_EQ(both, back.m_LineCond.m_bSwitch2);
    EXPECT_EQ(4.0, back.m_Sphere.m_Param[1]);
  }
}

TEST(CLineCondExTest, ConditionRecordOnlyFromVersion12To17)
{
  for (int v : {11, 12, 17, 18, 19, 20}) {
    CKelSiteTable vertex;
    vertex.m_LineCond.m_Number1 = 42;
    CKelMemoryArchive out(v);
    ASSERT_TRUE(CLineCondEx().Serialize(out, &vertex));
    CKelSiteTable back;
    CKelMemoryArchive in(out.GetBytes(), v);
    ASSERT_TRUE(CLineCondEx().Serialize(in, &back));
    EXPECT_EQ(v >= 12 && v <= 17 ? 42 : -1, back.m_LineCond.m_Number1) << v;
  }
}

TEST(CLineCondExAreaTest, ListAgainstItsSite)
{
  CKelHSite site = site_test::Square();
  site.m_pt[2].m_Sphere.m_BldBack[1] = 3.5;
  CLineCondExArea list;
  list.resize(4);
  CKelMemoryArchive out(19);
  ASSERT_TRUE(list.SerializeOld(out, &site));

  CKelHSite read = site_test::Square();
  CLineCondExArea back;
  CKelMemoryArchive in(out.GetBytes(), 19);
  ASSERT_TRUE(back.SerializeOld(in, &read));
  EXPECT_EQ(list, back);
  EXPECT_EQ(3.5, read.m_pt[2].m_Sphere.m_BldBack[1]);

  // A site shorter than the stored list, or none, is refused.
  CKelHSite triangle = site_test::Site({{0, 0}, {1, 0}, {0, 1}});
  CKelMemoryArchive again(out.GetBytes(), 19);
  EXPECT_FALSE(back.SerializeOld(again, &triangle));
  CKelMemoryArchive none(out.GetBytes(), 19);
  EXPECT_FALSE(back.SerializeOld(none, nullptr));
  CKelMemoryArchive write(19);
  EXPECT_FALSE(list.SerializeOld(write, &triangle));
}

TEST(CLineCondExAreaTest, FileFormIsMarkerAndAnEmptyCount)
{
  CLineCondExArea empty;
  EXPECT_EQ((SiteBytes().I32(-1000).I32(0).bytes), kel_test::SavedRecord(empty));
  CLineCondExArea full;
  full.resize(1);
  const std::string path = kel_test::TestFilePath("full.bin");
  CKelFileIO f;
  ASSERT_TRUE(f.Create(path.c_str()));
  EXPECT_FALSE(full.SaveData(f));
  f.Close();

  struct Row {
    Bytes bytes;
    bool ok;
  };
  const Row rows[] = {
      {SiteBytes().I32(-1000).I32(0).bytes, true}, {SiteBytes().I32(0).bytes, true},
      {SiteBytes().I32(-1000).I32(1).bytes, false}, {SiteBytes().I32(2).bytes, false},
      {SiteBytes().I32(-999).I32(0).bytes, false}, {SiteBytes().I32(-1000).bytes, false},
      {SiteBytes().I32(-1000).I32(-1).bytes, false},
  };
  for (const Row& r : rows) {
    CLineCondExArea list;
    EXPECT_EQ(r.ok, kel_test::LoadRecord(list, r.bytes, static_cast<int>(r.bytes.size())));
  }
}

}  // namespace
