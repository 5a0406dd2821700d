// Subtotal and total folders: signed sums of the children's rounded areas,
// formulas with operators, break marks and manual texts, the width rule of
// the automatic breaks, and the stored form of every version.

#include "DocTestSupport.h"

namespace {

using OP = COperatorTable::OPERATOR;

class FolderTest : public ::testing::Test {
protected:
  CArea4Object* Folder(int code) { return pattern.Folder(code); }

  // An element numbered no (0-based) with one figure of the raw area.
  int Element(int parent, int no, long long raw, OP op = OP::OPERATOR_PLUS)
  {
    const int node = pattern.AddElement(parent, u"要素", op);
    pattern.Object(node)->m_No = no;
    pattern.AddFigure(node, 0, raw);
    return node;
  }

  GS::UniString Formula(int code, bool breakAll = false, char crMark = 0, short floor = 0)
  {
    return Folder(code)->GetEquation(&pattern.doc, floor, breakAll, crMark);
  }

  PatternDoc pattern;
  static constexpr int kBuilding = PatternDoc::kBuildingCode;
};

TEST_F(FolderTest, FormulaNamesTheChildrenWithTheirOperators)
{
  // Empty, or without a node of its own: no area and no formula.
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 0), 0);
  EXPECT_EQ(Formula(kBuilding), GS::UniString());
  EXPECT_EQ(Folder(kBuilding)->GetRoundArea(&pattern.doc, pattern.Node(kBuilding), 0), 0);
  CArea4Object loose(&pattern.doc, CAreaNameArray(u"孤立"), 99, CArea2ListTypeTable::LISTTYPE_FORMULA,
                     CItemType1Table::ITEMTYPE_NOMARK, CItemType2Table::ITEMTYPE_ROMAN, 0, 0);
  loose.m_ManualEquationArray.Add(0, u"x");
  EXPECT_EQ(loose.GetOrgArea(&pattern.doc, 0), 0);
  EXPECT_EQ(loose.GetEquation(&pattern.doc, 0, false, 0), GS::UniString());

  // A leading minus is written and the area negated.
  Element(kBuilding, 0, 150000000, OP::OPERATOR_MINUS);
  EXPECT_EQ(Formula(kBuilding), GS::UniString(u"-□1"));
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 0), -1500000);
  pattern.Node(kBuilding)->m_Child[0].m_Operator = OP::OPERATOR_PLUS;
  Element(kBuilding, 1, 100000000);
  Element(kBuilding, 2, 100000000, OP::OPERATOR_MINUS);
  EXPECT_EQ(Formula(kBuilding), GS::UniString(u"□1+□2-□3"));
  EXPECT_EQ(Formula(kBuilding, false, '#'), GS::UniString(u"□1#+□2#-□3#"));
  EXPECT_EQ(Formula(kBuilding, true), GS::UniString(u"□1#+□2#-□3"));
}

TEST_F(FolderTest, AreaIsTheSignedSumOfRoundedChildren)
{
  // Each child rounds first: 1.239999 -> 1.23 and 0.455 -> 0.45.
  Element(kBuilding, 0, 123999999);
  const int sub = pattern.AddFolder(kBuilding, u"小計", OP::OPERATOR_MINUS);
  Element(sub, 1, 45500000);
  Element(sub, 2, 10000000, OP::OPERATOR_MINUS);
  EXPECT_EQ(Folder(sub)->GetOrgArea(&pattern.doc, 0), 450000 - 100000);
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 0), 1230000 - 350000);
  // The folder's own rounding with its node's per-floor item.
  CAreaTree* node = pattern.Node(kBuilding);
  node->m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 1);
  EXPECT_EQ(Folder(kBuilding)->GetRoundArea(&pattern.doc, node, 0), 900000);
  EXPECT_EQ(Folder(kBuilding)->GetRoundAreaStr(&pattern.doc, node, 0), GS::UniString(u"0.9     "));
  Folder(kBuilding)->m_RoundType = CRoundTypeTable::ROUNDTYPE_CUT;
  EXPECT_EQ(Folder(kBuilding)->GetRoundArea(&pattern.doc, node, 0), 800000);
  EXPECT_EQ(Folder(kBuilding)->GetRoundAreaStr(&pattern.doc, node, 0), GS::UniString(u"*0.8     "));
  EXPECT_EQ(Folder(kBuilding)->GetOrgAreaStr(&pattern.doc, 0), GS::UniString(u"0.88    "));
  // A child of another operator counts nothing.
  pattern.Node(sub)->m_Operator = 3;
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 0), 1230000);
}

TEST_F(FolderTest, ARepeatedCodeInTheTreeDoesNotLeadTheFolderBackToItself)
{
  Element(kBuilding, 0, 100000000);
  ASSERT_TRUE(pattern.doc.m_AreaTree2.Insert2(kBuilding, kBuilding, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2),
                                              CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2)));
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 0), 1000000);
}

TEST_F(FolderTest, ManualTextReplacesOneFloorsFormulaOnly)
{
  Element(kBuilding, 0, 100000000);
  Folder(kBuilding)->m_ManualEquationArray.Add(2, u"手動#の式");
  Folder(kBuilding)->m_ManualEquationArray.Add(2, u"手動の式");
  EXPECT_EQ(Folder(kBuilding)->m_ManualEquationArray.size(), 1u);
  EXPECT_EQ(Formula(kBuilding, false, 0, 2), GS::UniString(u"手動の式"));
  EXPECT_EQ(Formula(kBuilding, false, 0, 0), GS::UniString(u"□1"));
  EXPECT_EQ(Folder(kBuilding)->GetOrgArea(&pattern.doc, 2), 0);
  Folder(kBuilding)->m_ManualEquationArray.Erase(5);
  EXPECT_EQ(Folder(kBuilding)->m_ManualEquationArray.size(), 1u);
  Folder(kBuilding)->m_ManualEquationArray.Erase(2);
  EXPECT_TRUE(Folder(kBuilding)->m_ManualEquationArray.empty());
}

TEST_F(FolderTest, AutomaticBreaksCountOperatorAndTwoCharacters)
{
  for (int i = 0; i < 4; ++i)
    Element(kBuilding, i, 100000000);
  pattern.doc.m_EnvParam.m_ListAttr3.m_ColWidth2 = 10;
  std::vector<CAreaTree>& children = pattern.Node(kBuilding)->m_Child;
  children[3].m_CrMark.m_bCr = true;
  CArea4Object::SetAutoCr(&pattern.doc, children);
  EXPECT_FALSE(children[0].m_CrMark.m_bCr);
  EXPECT_FALSE(children[1].m_CrMark.m_bCr);
  EXPECT_TRUE(children[2].m_CrMark.m_bCr);
  EXPECT_TRUE(children[3].m_CrMark.m_bCr);  // the last is never changed
  EXPECT_EQ(Formula(kBuilding), GS::UniString(u"□1+□2+□3#+□4"));
  Folder(kBuilding)->m_AutoCr = false;
  children[2].m_CrMark.m_bCr = false;
  children[0].m_CrMark.m_bCr = true;
  EXPECT_EQ(Formula(kBuilding), GS::UniString(u"□1#+□2+□3+□4"));
}

TEST_F(FolderTest, DuplicateTakesTheBaseButNeitherCopiesNorClearsManualTexts)
{
  CArea4Object* source = Folder(kBuilding);
  source->m_ManualEquationArray.Add(0, u"元");
  source->m_ColorPen = 3;
  CArea4Object copy(&pattern.doc, CAreaNameArray(), 50, CArea2ListTypeTable::LISTTYPE_LIST,
                    CItemType1Table::ITEMTYPE_NONE, CItemType2Table::ITEMTYPE_NONE, 0, 0);
  copy.m_ManualEquationArray.Add(1, u"写");
  copy.Duplicate(source);
  EXPECT_EQ(copy.m_Code, 50);
  EXPECT_EQ(copy.m_Name, source->m_Name);
  EXPECT_EQ(copy.m_ColorPen, 3);
  ASSERT_EQ(copy.m_ManualEquationArray.size(), 1u);
  EXPECT_EQ(copy.m_ManualEquationArray[0].m_Floor, 1);
}

// ---- the stored form ----------------------------------------------------------

class FolderRecordTest : public DocTest {
protected:
  static CArea4Object Fresh(CPlenimetraParam& doc)
  {
    return CArea4Object(&doc, CAreaNameArray(), 0, CArea2ListTypeTable::LISTTYPE_FORMULA,
                        CItemType1Table::ITEMTYPE_NOMARK, CItemType2Table::ITEMTYPE_ROMAN, -1, -1);
  }
  static StoredBytes Base(int version, int code = 7)
  {
    StoredBytes b;
    b.Int(2).Int(1).Text("F").Int(0).Int(4).Int(0).Int(0).Int(code);
    if (version >= 1027)
      b.Bool(true);
    if (version >= 1046)
      b.Short(0).Int(1);
    return b;
  }
  // Stores the bytes as a record of the version and reads them into a fresh folder.
  bool Read(int version, const StoredBytes& bytes)
  {
    record.Store(version, bytes.Get());
    read = Fresh(doc);
    return record.ReadThrown([&](CArchive& ar) { read.Serialize(ar); }) == 0;
  }

  CArea4Object read = Fresh(doc);
};

TEST_F(FolderRecordTest, CurrentLayoutRoundTrips)
{
  CArea4Object folder(&doc, CAreaNameArray(u"合計"), 9, CArea2ListTypeTable::LISTTYPE_LIST,
                      CItemType1Table::ITEMTYPE_BLACKSQUARE, CItemType2Table::ITEMTYPE_LOWER, 4, 1);
  folder.m_ManualEquationArray.Add(3, u"□1#+□2");
  folder.m_ColorPen = 12;
  record.Write(1047, [&](CArchive& ar) { folder.Serialize(ar); });
  ASSERT_EQ(record.ReadThrown([&](CArchive& ar) { read.Serialize(ar); }), 0u);
  EXPECT_TRUE(static_cast<const CAreaObject&>(read) == folder);
  EXPECT_EQ(read.m_ManualEquationArray, folder.m_ManualEquationArray);
}

TEST_F(FolderRecordTest, OlderVersionsHoldLessAndInOtherPlaces)
{
  // 1020: neither manual texts nor list type.
  ASSERT_TRUE(Read(1020, Base(1020)));
  EXPECT_TRUE(read.m_ManualEquationArray.empty());
  EXPECT_EQ(read.m_Code, 7);
  // 1030: texts as 8-bit strings, no list type.
  ASSERT_TRUE(Read(1030, Base(1030).Int(1).Short(2).Text(GS::UniString(u"手動").ToStdString(CC_Japanese))));
  ASSERT_EQ(read.m_ManualEquationArray.size(), 1u);
  EXPECT_EQ(read.m_ManualEquationArray[0].m_Equation, GS::UniString(u"手動"));
  EXPECT_EQ(read.m_ListType, CArea2ListTypeTable::LISTTYPE_FORMULA);
  // 1040: the list type follows the texts.
  ASSERT_TRUE(Read(1040, Base(1040).Int(0).Int(0)));
  EXPECT_EQ(read.m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
}

// A manual text longer than a stored text may be is refused by the writer:
// the throw passes the list writer to the save that began the record, and
// nothing is stored over the record.
TEST_F(FolderRecordTest, AFolderThatCannotBeStoredThrowsThroughTheListWriter)
{
  record.Write(1047, [](CArchive& ar) { ar << 1; });
  const std::vector<char> before = record.Bytes(host);
  CArea4ObjectArray list;
  list.push_back(Fresh(doc));
  list.push_back(Fresh(doc));
  list.back().m_ManualEquationArray.Add(0, GS::UniString(std::string(40000, 'x').c_str(), CC_Default));
  EXPECT_EQ(ThrownBy([&] { record.Write(1047, [&](CArchive& ar) { list.Serialize(ar, &doc); }); }), CArchive::kTooLong);
  EXPECT_EQ(record.Bytes(host), before);
}

// A folder as each record version stores it, with an 8-bit name (the
// host string of later versions has the same bytes here).
StoredBytes FolderOf(int version, const GS::UniString& name, int code)
{
  StoredBytes b;
  b.Int(2).Int(1).Text(name.ToStdString(CC_Japanese));
  if (version >= 1017)
    b.Int(0);  // no floor names
  b.Int(4);
  if (version != 1015)
    b.Int(0);  // sort index, or the dropped int of the oldest records
  b.Int(0).Int(code);
  if (version >= 1027)
    b.Bool(true);
  if (version >= 1046)
    b.Short(0).Int(1);
  if (version >= 1024)
    b.Int(0);  // no manual texts
  if (version >= 1036 && version <= 1045)
    b.Int(0);  // list type
  return b;
}

// Short names make small folders: a version-1015 folder named "建物" takes
// 27 bytes. The count is bounded by the smallest folder of the record's own
// version, so none of these lists is refused.
TEST_F(FolderRecordTest, ListsOfSmallFoldersOfEveryVersionReadBack)
{
  for (int version = 1001; version <= 1047; ++version) {
    const StoredBytes folders = StoredBytes().Int(2).Append(FolderOf(version, u"建", 7));
    record.Store(version, StoredBytes(folders).Append(FolderOf(version, u"建物", 8)).Get());
    CArea4ObjectArray list;
    ASSERT_EQ(record.ReadThrown([&](CArchive& ar) { list.Serialize(ar, &doc); }), 0u) << version;
    ASSERT_EQ(list.size(), 2u) << version;
    EXPECT_EQ(list.front().m_Name.m_DefaultName, GS::UniString(u"建")) << version;
    EXPECT_EQ(list.back().m_Name.m_DefaultName, GS::UniString(u"建物")) << version;
    EXPECT_EQ(list.back().m_Code, 8) << version;
  }
  EXPECT_EQ(FolderOf(1015, u"建物", 8).Get().size(), 27u);
}

TEST_F(FolderRecordTest, FailedFolderStaysInTheListAndTheListReportsIt)
{
  // The second holds more texts than the data does.
  record.Store(1047, StoredBytes().Int(2).Append(Base(1047, 7).Int(0)).Append(Base(1047, 8).Int(50000)).Get());
  CArea4ObjectArray list;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { static_cast<void>(list.Serialize(ar, &doc)); }), CArchive::kPastEnd);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.back().m_Code, 8);
  EXPECT_EQ(list.Search(7), &list.front());

  record.Write(1047, [&](CArchive& ar) { list.Serialize(ar, &doc); });
  CArea4ObjectArray again;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { again.Serialize(ar, &doc); }), 0u);
  EXPECT_TRUE(again == list);
  again.back().m_No = 9;
  EXPECT_TRUE(again != list);

  EXPECT_FALSE(Read(1047, Base(1047, 0).Int(0)));  // code 0 names no folder
}

}  // namespace
