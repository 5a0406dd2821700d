// Automatic-area records against the stand-in host: their store in the
// source element's user data or, for hot-linked elements, in the floor's
// hot-link list; the mark and numbering they take; releasing them; and the
// texts and colour shown for each kind of source element.

#include "CAutoAreaParam.h"
#include "DocTestSupport.h"

namespace {

class AutoAreaStoreTest : public DocTest {
protected:
  void SetUp() override
  {
    doc.m_FloorParamArray.push_back(MakeFloor(0));
  }

  // A source element of the type on story 0 with a 4 x 3 m outline.
  API_Elem_Head Source(API_ElemTypeID type, const char16_t* id = nullptr)
  {
    PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}});
    API_Element element;
    element.header.typeID = type;
    element.header.layer = 1;
    element.header.floorInd = 0;
    if (type == API_ZoneID)
      element.zone.roomName = u"居室";
    EXPECT_EQ(host.AddPolygonElement(element, polygon), NoError);
    if (id != nullptr) {
      EXPECT_EQ(host.SetInfoString(element.header.guid, id), NoError);
    }
    return element.header;
  }

  CAutoAreaParam Edited(const API_Elem_Head& head)
  {
    CAutoAreaParam areaParam(&head);
    areaParam.m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
    areaParam.m_ItemType2 = CItemType2Table::ITEMTYPE_HIRAKANA2;
    return areaParam;
  }

  std::shared_ptr<TestKindFigure> LinkedFigure(const API_Elem_Head& head)
  {
    auto figure = MakeFigure(doc, 100);
    figure->m_AutoArea.m_ElemGuid = ToGSGuid(head.guid);
    figure->m_AutoArea.m_Operator = COperatorTable::OPERATOR_PLUS;
    doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(figure);
    return figure;
  }

  static CAutoCutType Across()
  {
    CAutoCutType cut;
    cut.m_Type = CAutoCutType::AUTOCUTTYPE_EDGE;
    cut.m_bCutAcross = true;
    return cut;
  }
};

TEST_F(AutoAreaStoreTest, EveryKindOfSourceSavesAndLoadsItsRecordInItsUserData)
{
  for (API_ElemTypeID type : {API_ZoneID, API_SlabID, API_HatchID, API_PolyLineID}) {
    const API_Elem_Head head = Source(type);
    CAutoAreaParam areaParam = Edited(head);
    EXPECT_FALSE(areaParam.IsHaveData(&doc)) << type;
    ASSERT_EQ(areaParam.Save(&doc, Across()), NoError) << type;
    EXPECT_EQ(areaParam.m_AutoCutType, Across());
    EXPECT_TRUE(areaParam.IsHaveData(&doc)) << type;

    CAutoAreaParam loaded(&head);
    ASSERT_EQ(loaded.Load(&doc), NoError) << type;
    EXPECT_EQ(loaded, areaParam) << type;

    // Clearing leaves the user-data block with its type and nothing else.
    ASSERT_EQ(areaParam.ClearData(&doc), NoError);
    EXPECT_FALSE(areaParam.IsHaveData(&doc)) << type;
    ASSERT_TRUE(host.Element(head.guid)->userData.has_value());
    EXPECT_EQ(host.Element(head.guid)->userData->bytes, Bytes({0xBC, 0x02, 0, 0}));
  }
}

TEST_F(AutoAreaStoreTest, LoadingAnElementWithoutOrWithBrokenUserData)
{
  const API_Elem_Head head = Source(API_ZoneID);
  CAutoAreaParam areaParam(&head);
  // No user data: nothing read, no mark chosen, no error.
  EXPECT_EQ(areaParam.Load(&doc), NoError);
  EXPECT_EQ(areaParam.m_ItemType1, CItemType1Table::ITEMTYPE_NONE);
  EXPECT_EQ(areaParam.m_ItemType2, CItemType2Table::ITEMTYPE_NONE);
  // A areaParam that breaks off after its cut kind: refused, nothing taken.
  EXPECT_EQ(host.SetUserData(head.guid, 9, 0x5757, Bytes({0xBC, 0x02, 0, 0, 3, 0, 0, 0})), NoError);
  EXPECT_EQ(areaParam.Load(&doc), APIERR_BADPARS);
  EXPECT_EQ(areaParam, CAutoAreaParam(&head));
  // A failing host read is passed on and means no areaParam.
  host.FailOnce("ACAPI_Element_GetUserData", APIERR_MEMFULL);
  EXPECT_FALSE(areaParam.IsHaveData(&doc));
  // Where a record must not be missed, the read's failure is told from a
  // record that is none.
  bool has = true;
  host.FailOnce("ACAPI_Element_GetUserData", APIERR_MEMFULL);
  EXPECT_EQ(areaParam.FindData(&doc, has), APIERR_MEMFULL);
  EXPECT_FALSE(has);
  EXPECT_EQ(areaParam.FindData(&doc, has), NoError);
  EXPECT_TRUE(has);  // there, if broken: Load says so
}

TEST_F(AutoAreaStoreTest, AHotLinkedElementKeepsItsRecordOnTheFloorAndWritesNoUserData)
{
  const API_Elem_Head head = Source(API_ZoneID);
  GS::Guid node;
  ASSERT_EQ(host.SetHotlinkNode(head.guid, ToAPIGuid(node.Generate())), NoError);
  CAutoAreaParam areaParam = Edited(head);
  EXPECT_FALSE(areaParam.IsHaveData(&doc));
  ASSERT_EQ(areaParam.Save(&doc, Across()), NoError);
  EXPECT_TRUE(areaParam.IsHaveData(&doc));
  EXPECT_FALSE(host.Element(head.guid)->userData.has_value());
  ASSERT_EQ(doc.m_FloorParamArray[0].m_HotLinkParamArray.size(), 1u);
  EXPECT_EQ(doc.m_FloorParamArray[0].m_HotLinkParamArray[0], areaParam);

  CAutoAreaParam loaded(&head);
  ASSERT_EQ(loaded.Load(&doc), NoError);
  EXPECT_EQ(loaded.m_AutoCutType, Across());
  EXPECT_EQ(loaded.m_ItemType2, CItemType2Table::ITEMTYPE_HIRAKANA2);

  ASSERT_EQ(areaParam.ClearData(&doc), NoError);
  EXPECT_TRUE(doc.m_FloorParamArray[0].m_HotLinkParamArray.empty());
  EXPECT_FALSE(areaParam.IsHaveData(&doc));
}

TEST_F(AutoAreaStoreTest, MarkAndNumberingComeFromTheFirstFullyMarkedFigureElseFromTheDocument)
{
  const API_Elem_Head head = Source(API_ZoneID);
  CAutoAreaParam areaParam(&head);
  doc.m_CurItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  doc.m_CurItemType2 = CItemType2Table::ITEMTYPE_HIRAKANA2;
  // No figures: the document's choices, and nothing saved.
  ASSERT_EQ(areaParam.SetItemType(&doc), NoError);
  EXPECT_EQ(areaParam.m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
  EXPECT_EQ(areaParam.m_ItemType2, CItemType2Table::ITEMTYPE_HIRAKANA2);
  EXPECT_FALSE(areaParam.IsHaveData(&doc));

  // A half-marked figure is passed over for the next one, whose values are
  // taken and saved.
  CAutoAreaParam fresh(&head);
  auto half = LinkedFigure(head);
  half->m_ItemType2 = CItemType2Table::ITEMTYPE_NONE;
  auto full = LinkedFigure(head);
  full->m_ItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
  full->m_ItemType2 = CItemType2Table::ITEMTYPE_DECIMAL;
  ASSERT_EQ(fresh.SetItemType(&doc), NoError);
  EXPECT_EQ(fresh.m_ItemType1, CItemType1Table::ITEMTYPE_CIRCLE);
  EXPECT_EQ(fresh.m_ItemType2, CItemType2Table::ITEMTYPE_DECIMAL);
  EXPECT_TRUE(fresh.IsHaveData(&doc));
  // A areaParam that has both keeps them.
  areaParam.m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  ASSERT_EQ(areaParam.SetItemType(&doc), NoError);
  EXPECT_EQ(areaParam.m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
}

TEST_F(AutoAreaStoreTest, ReleasingUnlinksTheFiguresAndRemovingKeepsTheStore)
{
  const API_Elem_Head a = Source(API_ZoneID);
  const API_Elem_Head b = Source(API_SlabID);
  CAutoAreaParamArray& list = doc.m_FloorParamArray[0].m_AutoAreaParamArray;
  for (const API_Elem_Head* head : {&a, &b}) {
    CAutoAreaParam areaParam = Edited(*head);
    ASSERT_EQ(areaParam.Save(&doc, Across()), NoError);
    list.Add(areaParam);
  }
  auto figureA = LinkedFigure(a);
  auto figureB = LinkedFigure(b);
  ASSERT_EQ(CAutoAreaParam(&a).GetAutoArea(&doc).size(), 1u);

  ASSERT_EQ(list.ReleaseAutoArea(&doc, *list.Search(&a.guid)), NoError);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(figureA->m_AutoArea.m_ElemGuid.IsNull());
  EXPECT_EQ(figureA->m_AutoArea.m_Operator, COperatorTable::OPERATOR_PLUS);  // only the GUID goes
  EXPECT_FALSE(CAutoAreaParam(&a).IsHaveData(&doc));

  list.Remove(&doc, &b.guid);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(figureB->m_AutoArea.m_ElemGuid.IsNull());
  EXPECT_TRUE(CAutoAreaParam(&b).IsHaveData(&doc));
  list.Remove(&doc, &b.guid);  // unknown now: nothing

  // A deleted figure loses its link only while the list holds records.
  auto figureC = LinkedFigure(a);
  list.Area1Deleted(figureC.get());
  EXPECT_FALSE(figureC->m_AutoArea.IsNull());
  list.Add(CAutoAreaParam(&a));
  list.Area1Deleted(figureC.get());
  EXPECT_TRUE(figureC->m_AutoArea.IsNull());
}

TEST_F(AutoAreaStoreTest, AddingTheSameElementReplacesEveryField)
{
  const API_Elem_Head head = Source(API_ZoneID);
  CAutoAreaParamArray list;
  list.Add(CAutoAreaParam(&head));
  CAutoAreaParam changed = Edited(head);
  changed.m_CodeList = {4, 5};
  changed.m_bChanged = true;
  list.Add(changed);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], changed);
}

TEST_F(AutoAreaStoreTest, TextsOfEachKindOfSource)
{
  struct Row {
    API_ElemTypeID type;
    const char16_t* id;
    const char16_t *name, *info, *roomName, *roomNo;
  };
  const Row rows[] = {
      {API_ZoneID, u"Z-1", u"Z-1(居室)", u"Z-1", u"居室", u""},
      {API_SlabID, u"S-1", u"S-1(ｽﾗﾌﾞ)", u"S-1", u"S-1", u"S-1"},
      {API_HatchID, u"F-1", u"F-1(塗りつぶし)", u"F-1", u"F-1", u"F-1"},
      {API_PolyLineID, u"P-1", u"(ﾎﾟﾘﾗｲﾝ)", u"", u"P-1", u"P-1"},
  };
  for (const Row& row : rows) {
    const CAutoAreaParam areaParam(&static_cast<const API_Elem_Head&>(Source(row.type, row.id)));
    EXPECT_EQ(areaParam.GetName(), GS::UniString(row.name)) << row.type;
    EXPECT_EQ(areaParam.GetInfo(), GS::UniString(row.info)) << row.type;
    EXPECT_EQ(areaParam.GetRoomName(), GS::UniString(row.roomName)) << row.type;
    EXPECT_EQ(areaParam.GetRoomNo(), GS::UniString(row.roomNo)) << row.type;
  }
  // An ID that cannot be read: the name is undefined; an element that
  // cannot be read: every text is empty.
  const CAutoAreaParam zone(&static_cast<const API_Elem_Head&>(Source(API_SlabID, u"S-2")));
  host.FailOnce("ACAPI_Database:GEIS", APIERR_GENERAL);
  EXPECT_EQ(zone.GetName(), GS::UniString(u"未定義"));
  API_Elem_Head gone;
  GS::Guid unknown;
  gone.guid = ToAPIGuid(unknown.Generate());
  EXPECT_TRUE(CAutoAreaParam(&gone).GetName().IsEmpty());
  EXPECT_TRUE(CAutoAreaParam(&gone).GetRoomName().IsEmpty());
}

TEST_F(AutoAreaStoreTest, ZoneCategoryNameAndColourABlackCategoryGivesWhite)
{
  const Int32 red = host.AddZoneCategory(u"居室", u"R", API_RGBColor{1.0, 0.0, 0.0});
  const Int32 black = host.AddZoneCategory(u"廊下", u"C", API_RGBColor{0.0, 0.0, 0.0});
  struct Row {
    Int32 category;
    const char16_t* name;
    API_RGBColor colour;
  };
  for (const Row& row : {Row{red, u"居室", {1.0, 0.0, 0.0}}, Row{black, u"廊下", {1.0, 1.0, 1.0}}}) {
    PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}});
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.layer = 1;
    zone.zone.catInd = row.category;
    ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
    const CAutoAreaParam areaParam(&zone.header);
    EXPECT_EQ(areaParam.GetZoneCategory(), GS::UniString(row.name));
    const API_RGBColor c = areaParam.GetColor();
    EXPECT_EQ(c.f_red, row.colour.f_red);
    EXPECT_EQ(c.f_green, row.colour.f_green);
    EXPECT_EQ(c.f_blue, row.colour.f_blue);
  }
  const CAutoAreaParam slab(&static_cast<const API_Elem_Head&>(Source(API_SlabID)));
  EXPECT_TRUE(slab.GetZoneCategory().IsEmpty());
  EXPECT_EQ(slab.GetColor().f_green, 1.0);
}

}  // namespace
