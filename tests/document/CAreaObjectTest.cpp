// The base of elements and folders: names per floor, equality, copying
// without the code, and the base record of every version.

#include "DocTestSupport.h"

namespace {

TEST(AreaNames, FloorsWithoutANameShowTheDefaultAndEqualityTakesTheEntriesInOrder)
{
  CAreaNameArray names(u"居室");
  names.SetName2(2, u"二階");
  names.SetName2(3, u"三階");
  names.SetName2(2, u"二階居室");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], CAreaName(u"二階居室", 2));  // the order of first naming stays
  EXPECT_EQ(names.GetName(2), GS::UniString(u"二階居室"));
  EXPECT_EQ(names.GetName(5), GS::UniString(u"居室"));
  names.SetName2(3, u"居室");  // equal to the default: the entry goes
  EXPECT_EQ(names.size(), 1u);
  EXPECT_EQ(names.GetName(3), GS::UniString(u"居室"));
  names.Erase(9);
  names.Erase(2);
  EXPECT_TRUE(names.empty());

  CAreaNameArray a(u"A");
  CAreaNameArray b(u"B");
  EXPECT_NE(a, b);
  b.m_DefaultName = u"A";
  EXPECT_EQ(a, b);
  a.SetName2(1, u"x");
  a.SetName2(2, u"y");
  b.SetName2(2, u"y");
  b.SetName2(1, u"x");
  EXPECT_NE(a, b);
}

TEST(AreaObjectBase, DuplicateCopiesAllButTheCodeAndEqualityTakesEveryMember)
{
  CPlenimetraParam doc;
  CArea4Object a(&doc, CAreaNameArray(u"A"), 1, CArea2ListTypeTable::LISTTYPE_LIST, CItemType1Table::ITEMTYPE_SQUARE,
                 CItemType2Table::ITEMTYPE_UPPER, 2, 3);
  a.m_Name.SetName2(1, u"a1");
  a.m_ColorPen = 6;
  a.m_AutoCr = false;
  CArea4Object b(&doc, CAreaNameArray(u"B"), 2, CArea2ListTypeTable::LISTTYPE_FORMULA, CItemType1Table::ITEMTYPE_CIRCLE,
                 CItemType2Table::ITEMTYPE_DECIMAL, 0, 0);
  b.Duplicate(&a);
  EXPECT_EQ(b.m_Code, 2);
  EXPECT_NE(b, a);
  b.m_Code = 1;
  EXPECT_EQ(b, a);
  b.m_Name.m_DefaultName = u"other";
  EXPECT_NE(b, a);
  EXPECT_EQ(a.GetMarkStr(&doc), GS::UniString(u"□"));
  a.m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(40);
  EXPECT_EQ(a.GetMarkStr(&doc), GS::UniString());
}

TEST(AreaObjectBase, IsNullAsksTheNodeOfTheSameCode)
{
  PatternDoc pattern;
  CAreaObject* building = pattern.Object(PatternDoc::kBuildingCode);
  EXPECT_TRUE(building->IsNull(&pattern.doc, 0));
  const int node = pattern.AddElement(PatternDoc::kBuildingCode, u"室");
  pattern.AddFigure(node, 0, 100000000);
  EXPECT_FALSE(building->IsNull(&pattern.doc, 0));
  EXPECT_TRUE(building->IsNull(&pattern.doc, 1));
  // An element's code names no node of its own sign.
  EXPECT_FALSE(pattern.Object(node)->IsNull(&pattern.doc, 1));
}

class BaseRecordTest : public DocTest {
protected:
  CArea4Object ReadBase(int version, const StoredBytes& bytes)
  {
    record.Store(version, bytes.Get());
    CArea4Object read(&doc, CAreaNameArray(u"before"), 0, CArea2ListTypeTable::LISTTYPE_FORMULA,
                      CItemType1Table::ITEMTYPE_NONE, CItemType2Table::ITEMTYPE_NONE, -1, -1);
    read.m_Name.SetName2(4, u"kept");
    record.Read([&](CArchive& ar) { read.CAreaObject::Serialize(ar); });
    return read;
  }
};

TEST_F(BaseRecordTest, Versions1014And1015TakeTheNumberAfterTheRoundingAnd1014KeepsFloorNames)
{
  const CArea4Object v1015 = ReadBase(1015, StoredBytes().Int(2).Int(1).Text("A").Int(1).Int(6).Int(3));
  EXPECT_EQ(v1015.m_RoundType, CRoundTypeTable::ROUNDTYPE_HALFUP);
  EXPECT_EQ(v1015.m_SortIndex, -1);
  EXPECT_EQ(v1015.m_No, 6);
  EXPECT_EQ(v1015.m_Code, 3);
  EXPECT_TRUE(v1015.m_AutoCr);  // stored from 1027

  // 1014 skips one field and keeps the floor names with the single name.
  const std::string name = GS::UniString(u"旧名").ToStdString(CC_Japanese);
  const CArea4Object v1014 = ReadBase(1014, StoredBytes().Int(2).Int(1).Text(name).Int(1).Int(99).Int(6).Int(3));
  EXPECT_EQ(v1014.m_Name.m_DefaultName, GS::UniString(u"旧名"));
  EXPECT_EQ(v1014.m_Name.GetName(4), GS::UniString(u"kept"));
  EXPECT_EQ(v1014.m_No, 6);
  EXPECT_EQ(v1014.m_Code, 3);
}

TEST_F(BaseRecordTest, Version1043StoresHostStringsAnd1046PenAndListType)
{
  StoredBytes b;
  b.Int(2).Int(1).Text("D").Int(1).Short(2).Text("F2").Int(4).Int(5).Int(6).Int(7).Bool(false).Short(9).Int(0);
  const CArea4Object read = ReadBase(1046, b);
  EXPECT_EQ(read.m_Name.GetName(2), GS::UniString(u"F2"));
  EXPECT_EQ(read.m_Name.size(), 1u);
  EXPECT_EQ(read.m_SortIndex, 5);
  EXPECT_FALSE(read.m_AutoCr);
  EXPECT_EQ(read.m_ColorPen, 9);
  EXPECT_EQ(read.m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
}

TEST_F(BaseRecordTest, NameCountBeyondTheDataIsRefusedBeforeAllocating)
{
  record.Store(1047, StoredBytes().Int(2).Int(1).Text("D").Int(2000000000).Get());
  CAreaNameArray names;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) {
    int skip = 0;
    ar >> skip >> skip;
    names.Serialize(ar);
  }),
            CArchive::kPastEnd);
  EXPECT_TRUE(names.empty());
}

}  // namespace
