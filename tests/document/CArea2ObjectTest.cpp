// Calculation elements: formulas of both list types with their line breaks,
// the MODE of each floor record, raw and rounded areas through the three
// rounding levels, the texts with their "*", and the editing helpers.

#include "DocTestSupport.h"

namespace {

using OP = COperatorTable::OPERATOR;

class ElementTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    node = pattern.AddElement(PatternDoc::kBuildingCode, u"居室");
    element = pattern.Element(node);
  }

  // Three figures ○1, ○2, ○3 on floor 0 with the operators given.
  void ThreeEntries(OP a, OP b, OP c)
  {
    pattern.AddFigure(node, 0, 100000000, a);
    pattern.AddFigure(node, 0, 100000000, b);
    pattern.AddFigure(node, 0, 100000000, c);
  }

  GS::UniString Formula(bool breakAll = false) { return element->GetEquation(&pattern.doc, 0, breakAll, 0); }

  PatternDoc pattern;
  int node = 0;
  CArea2Object* element = nullptr;
};

TEST_F(ElementTest, FormulasJoinTermsByTheirOperatorsOrSeparateThemByCommas)
{
  ThreeEntries(OP::OPERATOR_PLUS, OP::OPERATOR_MINUS, OP::OPERATOR_PLUS);
  EXPECT_EQ(Formula(), GS::UniString(u"○1-○2+○3"));
  EXPECT_EQ(Formula(true), GS::UniString(u"○1#-○2#+○3"));
  element->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  EXPECT_EQ(Formula(), GS::UniString(u"○1, -○2, ○3"));
  EXPECT_EQ(Formula(true), GS::UniString(u"○1#, -○2#, ○3"));
  element->m_ListType = static_cast<CArea2ListTypeTable::LISTTYPE>(5);
  EXPECT_EQ(Formula(), GS::UniString());
  element->m_ListType = CArea2ListTypeTable::LISTTYPE_FORMULA;
  element->m_FloorArray.SearchFloor(0)->m_List[0].m_Operator = OP::OPERATOR_MINUS;
  EXPECT_EQ(Formula(), GS::UniString(u"-○1-○2+○3"));
}

TEST_F(ElementTest, ManualModeGivesTheManualFormulaAndArea)
{
  ThreeEntries(OP::OPERATOR_PLUS, OP::OPERATOR_PLUS, OP::OPERATOR_PLUS);
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(0);
  record->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  record->m_ManualEquation = u"10.00×5.00#-1.00";
  record->m_ManualArea = 49000000;
  element->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  EXPECT_EQ(Formula(), GS::UniString(u"10.00×5.00#-1.00"));
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 0), 49000000);
  EXPECT_FALSE(element->IsIncluded(record->m_List[0].m_pArea1.get(), 0));
  // A story without a record reads as an empty MODE 3 one and gets none.
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 7), 0);
  EXPECT_EQ(element->GetEquation(&pattern.doc, 7, false, 0), GS::UniString());
  EXPECT_EQ(element->m_FloorArray.size(), 1u);
}

TEST_F(ElementTest, AutomaticBreaksFallOnThe15thAnd29thAddingEntry)
{
  for (int i = 0; i < 30; ++i)
    pattern.AddFigure(node, 0, 100000000);
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(0);
  record->m_List[3].m_CrMark.m_bCr = true;   // set by hand, replaced
  record->m_List[29].m_CrMark.m_bCr = true;  // the last mark is left alone
  Formula();
  for (std::size_t i = 0; i < 29; ++i)
    EXPECT_EQ(record->m_List[i].m_CrMark.m_bCr, i == 14 || i == 28) << i;
  EXPECT_TRUE(record->m_List[29].m_CrMark.m_bCr);
  // At width 44 the leading minus, which counts, moves the first break.
  pattern.doc.m_EnvParam.m_ListAttr2.m_ColWidth2 = 44;
  record->SetAutoCr(&pattern.doc);
  EXPECT_TRUE(record->m_List[14].m_CrMark.m_bCr);
  record->m_List[0].m_Operator = OP::OPERATOR_MINUS;
  record->SetAutoCr(&pattern.doc);
  EXPECT_TRUE(record->m_List[13].m_CrMark.m_bCr);
  EXPECT_FALSE(record->m_List[14].m_CrMark.m_bCr);
}

TEST_F(ElementTest, EntriesFollowTheFiguresSortIndexKeepingTiesInListOrder)
{
  ThreeEntries(OP::OPERATOR_PLUS, OP::OPERATOR_PLUS, OP::OPERATOR_PLUS);
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(0);
  record->m_List[0].m_pArea1->m_SortIndex = 2;
  record->m_List[1].m_pArea1->m_SortIndex = 1;
  record->m_List[2].m_pArea1->m_SortIndex = 1;
  EXPECT_EQ(Formula(), GS::UniString(u"○2+○3+○1"));
}

TEST_F(ElementTest, AreaIsTheSignedSumOfEntriesRoundedTwice)
{
  // 1.23456789 m² is cut to 1.234567 by the figure, 1.23 by the entry.
  pattern.AddFigure(node, 0, 123456789);
  pattern.AddFigure(node, 0, 50999999, OP::OPERATOR_MINUS);
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(0);
  EXPECT_EQ(record->m_List[0].GetOrgArea(&pattern.doc), 1234567);
  EXPECT_EQ(record->m_List[0].GetRoundArea(&pattern.doc), 1230000);
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 0), 1230000 - 500000);
  record->m_List[1].m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 0), 1230000 - 510000);
  // An entry of another operator counts nothing; MODE 3 and 4 sum as MODE 1.
  record->m_List[1].m_Operator = static_cast<OP>(3);
  record->m_Mode = CArea2ObjectFloor::MODE_BOTH;
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 0), 1230000);
  record->m_Mode = static_cast<CArea2ObjectFloor::MODE>(9);
  EXPECT_EQ(element->GetOrgArea(&pattern.doc, 0), 0);
}

TEST_F(ElementTest, RoundedAreaTextsUseTheNodesFloorItemAndStarOtherKinds)
{
  pattern.AddFigure(node, 0, 123456789);
  CAreaTree* own = pattern.Node(node);
  own->m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 1);
  EXPECT_EQ(element->GetRoundArea(&pattern.doc, own, 0), 1300000);
  EXPECT_TRUE(element->IsDefaultRoundType(&pattern.doc, own));
  EXPECT_EQ(element->GetRoundAreaStr(&pattern.doc, own, 0), GS::UniString(u"1.3     "));
  element->m_RoundType = CRoundTypeTable::ROUNDTYPE_CUT;
  EXPECT_EQ(element->GetRoundArea(&pattern.doc, own, 0), 1200000);
  EXPECT_EQ(element->GetRoundAreaStr(&pattern.doc, own, 0), GS::UniString(u"*1.2     "));
  EXPECT_EQ(element->GetOrgAreaStr(&pattern.doc, 0), GS::UniString(u"1.23    "));

  // Entries star only kinds other than the list-entry default.
  CArea2List& entry = element->m_FloorArray.SearchFloor(0)->m_List[0];
  EXPECT_EQ(entry.GetRoundAreaStr(&pattern.doc), GS::UniString(u"1.23    "));
  entry.m_RoundType = CRoundTypeTable::ROUNDTYPE_CUT;  // the list-entry default's own kind
  EXPECT_EQ(entry.GetRoundAreaStr(&pattern.doc), GS::UniString(u"1.23    "));
  entry.m_RoundType = CRoundTypeTable::ROUNDTYPE_HALFUP;
  EXPECT_EQ(entry.GetRoundAreaStr(&pattern.doc), GS::UniString(u"*1.23    "));
  EXPECT_EQ(entry.GetOrgAreaStr(&pattern.doc), GS::UniString(u"1.234567"));
  EXPECT_EQ(entry.GetOperatorStr(&pattern.doc), GS::UniString(u"+"));
  EXPECT_EQ(entry.GetRoundTypeStr(&pattern.doc), GS::UniString(u"四捨五入"));
}

TEST_F(ElementTest, DuplicateKeepsStoriesAndModesOnly)
{
  ThreeEntries(OP::OPERATOR_PLUS, OP::OPERATOR_PLUS, OP::OPERATOR_PLUS);
  element->m_FloorArray.SearchFloor(1)->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  element->m_FloorArray.SearchFloor(1)->m_ManualArea = 5;
  element->m_FloorArray.SearchFloor(4)->m_AutoAreaGuidArray.Add(GS::Guid().Generate());
  element->m_ColorPen = 9;
  CArea2Object copy(&pattern.doc, CAreaNameArray(u"x"), 77, CArea2ListTypeTable::LISTTYPE_LIST,
                    CArea2Object::SHOWTOTAL_HIDE, CItemType1Table::ITEMTYPE_NONE, CItemType2Table::ITEMTYPE_NONE, 0, 0);
  copy.Duplicate(element);
  EXPECT_EQ(copy.m_Code, 77);
  EXPECT_EQ(copy.m_Name, element->m_Name);
  EXPECT_EQ(copy.m_ColorPen, 9);
  std::vector<std::pair<short, int>> kept;
  for (const CArea2ObjectFloor& record : copy.m_FloorArray) {
    kept.emplace_back(record.m_Floor, record.m_Mode);
    EXPECT_TRUE(record.m_List.empty() && record.m_AutoAreaGuidArray.empty() && record.m_ManualArea == 0);
  }
  EXPECT_EQ(kept, (std::vector<std::pair<short, int>>{{0, 1}, {1, 2}, {4, 3}}));
}

TEST_F(ElementTest, AutomaticFiguresMergeWithTheirLinksOperator)
{
  auto first = pattern.AddFigure(node, 0, 100000000);
  auto fresh = MakeFigure(pattern.doc, 100000000);
  first->m_AutoArea.m_Operator = OP::OPERATOR_MINUS;
  fresh->m_AutoArea.m_Operator = OP::OPERATOR_MINUS;
  CArea1ObjectPtrArray figures;
  figures.push_back(first);
  figures.push_back(nullptr);
  figures.push_back(fresh);
  CArea2ListArray& list = element->m_FloorArray.SearchFloor(0)->m_List;
  list.SetAutoArea(figures);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].m_Operator, OP::OPERATOR_MINUS);
  EXPECT_EQ(list[1].m_pArea1, fresh);
  EXPECT_EQ(list[1].m_RoundType, CRoundTypeTable::ROUNDTYPE_DEFAULT);
  EXPECT_EQ(list.SearchIndex(fresh.get()), 1);
  EXPECT_EQ(list.Search(fresh->m_Code), &list[1]);
}

TEST_F(ElementTest, RemovalsFollowTheFiguresElementAndStory)
{
  auto a = pattern.AddFigure(node, 1, 100000000);
  auto b = pattern.AddFigure(node, 1, 100000000);
  for (const auto& figure : {a, b}) {
    figure->m_Element.header.guid = ToAPIGuid(GS::Guid().Generate());
    figure->m_Element.header.floorInd = 1;
  }
  CArea1ObjectPtrArray gone;
  gone.push_back(a);
  pattern.doc.m_Area2ObjectArray.Remove(gone);
  const CArea2ListArray& list = element->m_FloorArray.SearchFloor(1)->m_List;
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].m_pArea1, b);
  pattern.doc.m_Area2ObjectArray.RemoveArea1(&b->m_Element.header);
  EXPECT_TRUE(list.empty());

  API_Elem_Head zone;
  zone.guid = ToAPIGuid(GS::Guid().Generate());
  zone.floorInd = 1;
  CAutoAreaParam record(&zone);
  auto& zones = element->m_FloorArray.SearchFloor(1)->m_AutoAreaGuidArray;
  zones.Add(ToGSGuid(zone.guid));
  zones.Add(ToGSGuid(zone.guid));
  EXPECT_EQ(zones.size(), 1u);
  EXPECT_EQ(CArea2Object::SearchAutoAreaIndex(&record, &zones), 0);
  EXPECT_EQ(CArea2Object::SearchAutoAreaIndex(nullptr, &zones), -1);
  pattern.doc.m_Area2ObjectArray.Remove(&record);
  EXPECT_TRUE(zones.empty());

  CArea2ObjectPtrArray elements;
  elements.push_back(element);
  elements.push_back(element);  // twice: the second names an erased element
  EXPECT_EQ(elements.Search(element->m_Code), element);
  pattern.doc.m_Area2ObjectArray.Remove(elements);
  EXPECT_TRUE(pattern.doc.m_Area2ObjectArray.empty());
}

// Painting a list or a tree runs every getter of every object on every
// story. None may add a floor record: the next save would store records no
// one made, on every element of the pattern.
TEST(ElementReads, EveryGetterOnEveryStoryLeavesTheElementsAndTheirSavedBytes)
{
  HostFixture host;
  RecordRoundTrip record;
  PatternDoc pattern(3);
  CPlenimetraParam& doc = pattern.doc;
  const int listed = pattern.AddElement(PatternDoc::kBuildingCode, u"居室");
  const int manual = pattern.AddElement(PatternDoc::kBuildingCode, u"手動", OP::OPERATOR_MINUS);
  const int folder = pattern.AddFolder(PatternDoc::kBuildingCode, u"小計");
  const int bare = pattern.AddElement(folder, u"空");
  auto figure = pattern.AddFigure(listed, 0, 123456789);
  pattern.AddFigure(listed, 0, 5000000000, OP::OPERATOR_MINUS);
  CArea2ObjectFloor* hand = pattern.Element(manual)->m_FloorArray.SearchFloor(1);
  hand->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  hand->m_ManualArea = 2500000;
  hand->m_ManualEquation = u"5.00×0.50";

  const auto save = [&] {
    record.Write(1047, [&](CArchive& ar) { doc.m_Area2ObjectArray.Serialize(ar, &doc); });
    return record.Bytes(host);
  };
  const CArea2ObjectArray before = doc.m_Area2ObjectArray;
  const std::vector<char> savedBefore = save();

  for (short story = -1; story <= 3; ++story) {
    for (int node : {listed, manual, folder, bare}) {
      CAreaObject* object = pattern.Object(node);
      const CAreaTree* own = pattern.Node(node);
      object->GetOrgArea(&doc, story);
      object->GetRoundArea(&doc, own, story);
      object->GetOrgAreaStr(&doc, story);
      object->GetRoundAreaStr(&doc, own, story);
      object->GetEquation(&doc, story, false, 0);
      object->IsNull(&doc, story);
      if (node < 0)
        pattern.Element(node)->IsIncluded(figure.get(), story);
    }
    figure->m_Element.header.floorInd = story;
    figure->GetColor(&doc);
    // Removing from a story the elements have no record of adds none.
    API_Elem_Head gone{};
    gone.guid = ToAPIGuid(GS::Guid().Generate());
    gone.floorInd = story;
    doc.m_Area2ObjectArray.RemoveArea1(&gone);
    const CAutoAreaParam zone(&gone);
    doc.m_Area2ObjectArray.Remove(&zone);
  }
  EXPECT_EQ(doc.m_Area2ObjectArray, before);
  EXPECT_EQ(save(), savedBefore);
}

TEST(ElementNames, ModeNames)
{
  const char16_t* names[] = {u"未定義", u"求積区画", u"手動入力", u"自動分割区画", u"自動+求積"};
  for (int mode = 0; mode <= 4; ++mode)
    EXPECT_EQ(CArea2ObjectFloor::GetAreaTypeName(CArea2ObjectFloor::MODE(mode)), GS::UniString(names[mode]));
}

}  // namespace
