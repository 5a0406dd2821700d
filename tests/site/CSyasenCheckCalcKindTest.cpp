#include <gtest/gtest.h>

#include "CSyasenCheckCalcKind.h"
#include "SiteTestSupport.h"

namespace {

using site_test::Bytes;
using site_test::SiteBytes;

CSyasenCheckCalcKind Kind(int type, int begCpnt, int endCpnt, int begBase, int begCut, int endBase, int endCut)
{
  CSyasenCheckCalcKind k;
  k.m_CalcType = type;
  k.m_BegCpntKind = begCpnt;
  k.m_EndCpntKind = endCpnt;
  k.m_BegBaseKind = begBase;
  k.m_BegCutKind = begCut;
  k.m_EndBaseKind = endBase;
  k.m_EndCutKind = endCut;
  return k;
}

// A kind with a distinct value in every field, so a swapped pair shows.
CSyasenCheckCalcKind Distinct()
{
  CSyasenCheckCalcKind k = Kind(1, 2, 3, 4, 1, 0, 2);
  k.m_BegCpntValue = 1.5;
  k.m_EndCpntValue = 2.5;
  k.m_BegBaseOffset = 0.25;
  k.m_EndBaseOffset = 0.75;
  k.m_bUniform = false;
  k.m_bFlag2 = true;
  return k;
}

// The fields after a record number, in the raw record's order.
SiteBytes RawFields(const CSyasenCheckCalcKind& k)
{
  SiteBytes b;
  b.I32(k.m_CalcType).I32(k.m_BegCpntKind).I32(k.m_EndCpntKind).F64(k.m_BegCpntValue).F64(k.m_EndCpntValue);
  b.I32(k.m_BegCutKind).I32(k.m_EndCutKind).I32(k.m_BegBaseKind).I32(k.m_EndBaseKind);
  b.F64(k.m_BegBaseOffset).F64(k.m_EndBaseOffset);
  return b;
}

TEST(CSyasenCheckCalcKindTest, LabelsForEveryTypeAndSelectorsOutOfRangeGiveEmptyTexts)
{
  struct Row {
    CSyasenCheckCalcKind kind;
    const char* type;
    const char* cpnt;
    const char* base;
  };
  const Row rows[] = {
      {Kind(0, 0, 3, 0, 1, 3, 2), "基本", "[適合ー円弧]", "[境界線+1/2ｶｯﾄー任意+垂直ｶｯﾄ]"},
      {Kind(1, 1, 4, 0, 1, 0, 3), "放射", "[境界線ー半円弧]", "[1/2ｶｯﾄー延長ｶｯﾄ]"},
      {Kind(0, 2, 0, 1, 0, 2, 3), "基本", "[任意ー適合]", "[延長ー+延長ｶｯﾄ]"},
      {Kind(2, 0, 0, 0, 0, 0, 0), "", "[適合ー適合]", ""},
      // Stored selectors outside their tables read as nothing.
      {Kind(1, 5, 0, 0, 4, 0, -1), "放射", "", "[ー]"},
      {Kind(0, 0, -1, 7, 9, 0, 0), "基本", "", "[ー境界線]"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.type, r.kind.GetCalcTypeInfo());
    EXPECT_EQ(r.cpnt, r.kind.GetCpntInfo());
    EXPECT_EQ(r.base, r.kind.GetBaseBlockInfo());
  }
}

TEST(CSyasenCheckCalcKindTest, UniformCountsOnlyForArcCheckPoints)
{
  for (int kind : {0, 1, 2, 3, 4}) {
    CSyasenCheckCalcKind a = Kind(0, kind, 0, 0, 0, 0, 0);
    CSyasenCheckCalcKind b = a;
    b.m_bUniform = !a.m_bUniform;
    EXPECT_EQ(kind < 3, a == b) << kind;
    b = a;
    b.m_bFlag2 = !a.m_bFlag2;
    EXPECT_NE(a, b);
  }
  CSyasenCheckCalcKind a = Kind(0, 0, 3, 0, 0, 0, 0);
  CSyasenCheckCalcKind b = a;
  b.m_bUniform = false;
  EXPECT_NE(a, b);
  b = a;
  b.m_EndBaseOffset = 1e-12;
  EXPECT_NE(a, b);
}

TEST(CSyasenCheckCalcKindTest, ArchiveFieldOrderAgainstHandmadeBytes)
{
  const CSyasenCheckCalcKind k = Distinct();
  SiteBytes b;
  b.Tag("CSyasenCheckCalcKind").I32(1).I32(2).I32(3).F64(1.5).F64(2.5).I32(4).I32(0).F64(0.25).F64(0.75);
  b.Put<std::uint8_t>(0).Put<std::uint8_t>(1).I32(1).I32(2);
  EXPECT_EQ(b.bytes, kel_test::Archived(k, 2));
  CSyasenCheckCalcKind back;
  ASSERT_TRUE(kel_test::Unarchive(back, b.bytes, 2));
  EXPECT_EQ(k, back);
  EXPECT_FALSE(back.m_bUniform);
  // Version 1 carries no tag.
  Bytes untagged(b.bytes.begin() + 2 + 21, b.bytes.end());
  EXPECT_EQ(untagged, kel_test::Archived(k, 1));
}

TEST(CSyasenCheckCalcKindTest, RawRecordFieldOrderAgainstHandmadeBytes)
{
  const CSyasenCheckCalcKind k = Distinct();
  SiteBytes expected;
  expected.I32(1001).Raw(RawFields(k).bytes).Put<std::uint8_t>(0).Put<std::uint8_t>(1);
  EXPECT_EQ(expected.bytes, kel_test::SavedRecord(k));

  CSyasenCheckCalcKind back;
  back.m_bFlag2 = false;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, expected.bytes, static_cast<int>(expected.bytes.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(k, back);
  EXPECT_FALSE(back.m_bUniform);
  EXPECT_TRUE(back.m_bFlag2);
}

TEST(CSyasenCheckCalcKindTest, OlderRecordsKeepTheFlagsTheyDoNotCarry)
{
  const CSyasenCheckCalcKind k = Distinct();
  struct Row {
    const char* name;
    Bytes bytes;
    bool uniform;  // expected after reading into an object whose flags are (true, false)
    bool flag2;
  };
  SiteBytes r1000, unnumbered;
  r1000.I32(1000).Raw(RawFields(k).bytes).Put<std::uint8_t>(0);
  unnumbered.Raw(RawFields(k).bytes);
  const Row rows[] = {{"1000", r1000.bytes, false, false}, {"no number", unnumbered.bytes, true, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CSyasenCheckCalcKind back;
    back.m_bUniform = true;
    back.m_bFlag2 = false;
    int left = -1;
    // The unnumbered record is read from its start with the four bytes of
    // its first field given back: the exact budget suffices.
    ASSERT_TRUE(kel_test::LoadRecord(back, r.bytes, static_cast<int>(r.bytes.size()), &left));
    EXPECT_EQ(0, left);
    EXPECT_EQ(1, back.m_CalcType);
    EXPECT_EQ(0.75, back.m_EndBaseOffset);
    EXPECT_EQ(r.uniform, back.m_bUniform);
    EXPECT_EQ(r.flag2, back.m_bFlag2);
  }
}

TEST(CSyasenCheckCalcKindTest, RefusesOtherNumbersShortRecordsAndSmallBudgets)
{
  const Bytes full = kel_test::SavedRecord(Distinct());
  CSyasenCheckCalcKind k;
  SiteBytes r1002;
  r1002.I32(1002).Raw(RawFields(Distinct()).bytes).Put<std::uint8_t>(0).Put<std::uint8_t>(1);
  EXPECT_FALSE(kel_test::LoadRecord(k, r1002.bytes, static_cast<int>(r1002.bytes.size())));
  EXPECT_FALSE(kel_test::LoadRecord(k, full, static_cast<int>(full.size()) - 1));
  EXPECT_FALSE(kel_test::LoadRecord(k, Bytes(full.begin(), full.end() - 1), static_cast<int>(full.size())));
  EXPECT_FALSE(kel_test::LoadRecord(k, Bytes{}, 100));
}

}  // namespace
