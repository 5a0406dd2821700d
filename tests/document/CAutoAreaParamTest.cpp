// Automatic-area records as data: both stored forms with their version
// gates, the early code list and the searches built on it, and replacing a
// record of the same element.

#include "CAutoAreaParam.h"
#include "DocTestSupport.h"

namespace {

class AutoAreaUserDataTest : public DocTest {
protected:
  // Reads a handmade record of the version into a fresh record.
  CAutoAreaParam Read(short version, const StoredBytes& fields)
  {
    data.Store(version, StoredBytes().Int(700).Append(fields).Get());
    CAutoAreaParam areaParam(&data.head);
    EXPECT_EQ(data.Read([&](CPlenimetraUserDataCore& in) {
      areaParam.Serialize(in);
      EXPECT_TRUE(in.IsEOF());
    }),
              0u);
    return areaParam;
  }

  ElementUserData data{host};
};

TEST_F(AutoAreaUserDataTest, WrittenRecordHoldsTheSettingsFieldsOnly)
{
  CAutoAreaParam areaParam(&data.head);
  areaParam.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_EDGE;
  areaParam.m_AutoCutType.m_bCutAcross = true;
  areaParam.m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  areaParam.m_ItemType2 = CItemType2Table::ITEMTYPE_HIRAKANA2;
  areaParam.m_CodeList = {1, 2};  // never written again
  const auto write = [&](CPlenimetraUserDataCore& out) { areaParam.Serialize(out); };
  ASSERT_EQ(data.Write(CAutoAreaParam::kUserDataVersion, write), NoError);
  const StoredBytes fields = StoredBytes().Int(4).Bool(true).Bool(true).Bool(true).Int(3).Int(8);
  EXPECT_EQ(data.Bytes(), StoredBytes().Int(700).Append(fields).Get());

  const CAutoAreaParam read = Read(9, fields);
  EXPECT_EQ(read.m_AutoCutType, areaParam.m_AutoCutType);
  EXPECT_EQ(read.m_ItemType2, CItemType2Table::ITEMTYPE_HIRAKANA2);
  EXPECT_TRUE(read.m_CodeList.empty());
}

TEST_F(AutoAreaUserDataTest, OldVersionsKeepTheDefaultsOfWhatTheyLack)
{
  using Cut = CAutoCutType;
  // Version 4: the kind only, and the outer contour alone.
  const CAutoAreaParam v4 = Read(4, StoredBytes().Int(0).Int(2));
  EXPECT_EQ(v4.m_AutoCutType, (Cut{Cut::AUTOCUTTYPE_HORIZONTAL, false, false, true}));
  EXPECT_EQ(v4.m_ItemType1, CItemType1Table::ITEMTYPE_NONE);
  // Version 3: only the code list; the cut stays the default.
  const CAutoAreaParam v3 = Read(3, StoredBytes().Int(2).Int(7).Int(8));
  EXPECT_EQ(v3.m_CodeList, (std::vector<int>{7, 8}));
  EXPECT_EQ(v3.m_AutoCutType, Cut());
  // Version 6: code list, kind, holes and item types; the two edge flags not.
  const CAutoAreaParam v6 = Read(6, StoredBytes().Int(1).Int(5).Int(3).Bool(false).Int(2).Int(4));
  EXPECT_EQ(v6.m_CodeList, (std::vector<int>{5}));
  EXPECT_EQ(v6.m_AutoCutType, (Cut{Cut::AUTOCUTTYPE_VERTICAL, false, false, true}));
  EXPECT_EQ(v6.m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(v6.m_ItemType2, CItemType2Table::ITEMTYPE_LOWER);
  // Version 8: no code list, no edge flags.
  const CAutoAreaParam v8 = Read(8, StoredBytes().Int(1).Bool(true).Int(1).Int(1));
  EXPECT_TRUE(v8.m_CodeList.empty());
  EXPECT_EQ(v8.m_AutoCutType, (Cut{Cut::AUTOCUTTYPE_TRIANGLE, true, false, true}));
}

TEST_F(AutoAreaUserDataTest, ACodeListLongerThanTheDataIsRefused)
{
  data.Store(6, StoredBytes().Int(700).Int(100000).Int(1).Get());
  CAutoAreaParam areaParam(&data.head);
  EXPECT_NE(data.Read([&](CPlenimetraUserDataCore& in) { areaParam.Serialize(in); }), 0u);
  EXPECT_TRUE(areaParam.m_CodeList.empty());
}

TEST(AutoAreaRecord, ProjectRecordFormsRoundTripAndGateByVersion)
{
  HostFixture host;
  RecordRoundTrip stored;
  CAutoAreaParam record;
  record.m_AutoCutType = CAutoCutType{CAutoCutType::AUTOCUTTYPE_EDGE, false, true, false};
  record.m_ItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
  record.m_ItemType2 = CItemType2Table::ITEMTYPE_ROMAN;
  stored.Write(1047, [&](CArchive& ar) { record.SerializeRecord(ar); });
  EXPECT_EQ(stored.Bytes(host), StoredBytes().Int(4).Bool(false).Bool(true).Bool(false).Int(1).Int(3).Get());
  CAutoAreaParam read;
  stored.Read([&](CArchive& ar) { read.SerializeRecord(ar); });
  EXPECT_EQ(read, record);

  // The old hot-link record's early versions: 6 with its code list, 5
  // without the edge flags.
  stored.Store(6, StoredBytes().Int(1).Int(12).Int(2).Bool(true).Int(1).Int(1).Get());
  CAutoAreaParam v6;
  stored.Read([&](CArchive& ar) { v6.SerializeRecord(ar); });
  EXPECT_EQ(v6.m_CodeList, (std::vector<int>{12}));
  EXPECT_EQ(v6.m_AutoCutType.m_Type, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  EXPECT_EQ(v6.m_ItemType2, CItemType2Table::ITEMTYPE_DECIMAL);

  // The cut and the link on their own.
  CAutoCutType cut{CAutoCutType::AUTOCUTTYPE_VERTICAL, false, true, true};
  CAutoAreaParamCodeList link;
  link.m_ElemGuid.Generate();
  link.m_Operator = COperatorTable::OPERATOR_MINUS;
  stored.Write(1047, [&](CArchive& ar) {
    cut.Serialize(ar);
    link.Serialize(ar);
  });
  CAutoCutType cutRead;
  CAutoAreaParamCodeList linkRead;
  stored.Read([&](CArchive& ar) {
    cutRead.Serialize(ar);
    linkRead.Serialize(ar);
  });
  EXPECT_EQ(cutRead, cut);
  EXPECT_EQ(linkRead, link);
  EXPECT_FALSE(linkRead.IsNull());
  linkRead.Clear();
  EXPECT_TRUE(linkRead.IsNull());
}

TEST(AutoAreaList, SearchesAndReplacing)
{
  API_Elem_Head a;
  a.guid = ToAPIGuid(GS::Guid().Generate());
  API_Elem_Head b;
  b.guid = ToAPIGuid(GS::Guid().Generate());
  CAutoAreaParamArray list;
  CAutoAreaParam first(&a);
  first.m_CodeList = {4, 6};
  list.Add(first);
  list.Add(CAutoAreaParam(&b));
  EXPECT_EQ(list.Search(&b.guid), &list[1]);
  EXPECT_EQ(list.Search(nullptr), nullptr);
  EXPECT_EQ(list.SearchOld(6), &list[0]);
  EXPECT_EQ(list.SearchOld(5), nullptr);

  CAutoAreaParam replacement(&a);
  replacement.m_ItemType1 = CItemType1Table::ITEMTYPE_SQUARE;
  list.Add(replacement);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_TRUE(list[0].m_CodeList.empty());  // every field replaced
}

}  // namespace
