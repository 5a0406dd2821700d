// Floors and pattern code lists: the code list keeps each code once in
// insertion order, the calculated test follows the per-floor mode flag,
// copies of a floor share its figure records, and hot-link records are found
// and replaced by element GUID.

#include "DocTestSupport.h"

namespace {

TEST(CTreeCodeArrayTest, AddKeepsEachCodeOnceAndEraseRemovesTheFirstOccurrence)
{
  CTreeCodeArray codes;
  codes.Add(3);
  codes.Add(5);
  codes.Add(5);
  codes.Add(4);
  EXPECT_EQ(codes, (std::vector<int>{3, 5, 4}));
  EXPECT_TRUE(codes.IsExisted2(4));
  EXPECT_FALSE(codes.IsExisted2(9));

  codes.assign({7, 8, 7});  // as a caller could fill it bypassing Add
  codes.Erase(9);
  EXPECT_EQ(codes, (std::vector<int>{7, 8, 7}));
  codes.Erase(7);
  EXPECT_EQ(codes, (std::vector<int>{8, 7}));
}

TEST(CFloorParamTest, ListModeExcludesTheListedPatternsAndPerFloorModeFollowsTheSwitch)
{
  CFloorParamArray floors;
  floors.m_bCalcPerFloor = false;
  CFloorParam floor = MakeFloor(0);
  floor.m_bCalc = false;  // ignored in list mode
  floor.m_CalcExcludeCodes.Add(99);
  EXPECT_TRUE(floor.IsCalc(&floors, 1));
  EXPECT_FALSE(floor.IsCalc(&floors, 99));

  floors.m_bCalcPerFloor = true;  // the list is ignored
  EXPECT_FALSE(floor.IsCalc(&floors, 1));
  floor.m_bCalc = true;
  EXPECT_TRUE(floor.IsCalc(&floors, 99));

  floor.m_OutputExcludeCodes.Add(4);
  EXPECT_FALSE(floor.IsOutputWorksheet(4));
  EXPECT_TRUE(floor.IsOutputWorksheet(5));
}

TEST(CFloorParamTest, TotalLinesCountTheFloorsThatCalculateThePattern)
{
  CPlenimetraParam doc;
  EXPECT_EQ(CFloorParamArray::GetTotalLines(&doc, 1), 0);
  for (short i = 0; i < 3; ++i)
    doc.m_FloorParamArray.push_back(MakeFloor(i));
  doc.m_FloorParamArray[1].m_CalcExcludeCodes.Add(1);
  doc.m_FloorParamArray.m_bCalcPerFloor = false;
  EXPECT_EQ(CFloorParamArray::GetTotalLines(&doc, 1), 2);
  EXPECT_EQ(CFloorParamArray::GetTotalLines(&doc, 2), 3);
  doc.m_FloorParamArray.m_bCalcPerFloor = true;
  doc.m_FloorParamArray[2].m_bCalc = false;
  EXPECT_EQ(CFloorParamArray::GetTotalLines(&doc, 1), 2);
}

TEST(CFloorParamTest, SearchFindsTheFirstFloorOfTheStoryOrNull)
{
  CFloorParamArray floors;
  floors.push_back(MakeFloor(-1, u"B1"));
  floors.push_back(MakeFloor(2, u"3F"));
  floors.push_back(MakeFloor(2, u"again"));
  EXPECT_EQ(floors.Search(2), &floors[1]);
  EXPECT_EQ(floors.Search(-1), &floors[0]);
  EXPECT_EQ(floors.Search(0), nullptr);
}

// Figure records are shared on purpose: a figure changed through a copied
// floor changes in the source floor too.
TEST(CFloorParamTest, CopiesShareTheFigureRecordsAndKeepThemAlive)
{
  CPlenimetraParam doc;
  std::weak_ptr<CArea1Object> watch;
  CFloorParam copy;
  {
    CFloorParam floor = MakeFloor(1);
    floor.m_Area1ObjectArray.push_back(MakeFigure(doc, 100));
    watch = floor.m_Area1ObjectArray.front();
    copy = floor;
    copy.m_Area1ObjectArray.front()->m_No = 41;
    EXPECT_EQ(floor.m_Area1ObjectArray.front()->m_No, 41);
    EXPECT_EQ(copy.m_Area1ObjectArray.front(), floor.m_Area1ObjectArray.front());
  }
  // The source floor is gone; the copy still holds the record.
  ASSERT_FALSE(watch.expired());
  copy.m_Area1ObjectArray.clear();
  EXPECT_TRUE(watch.expired());
}

TEST(CHotLinkParamArrayTest, AddReplacesTheRecordOfTheSameElement)
{
  API_Elem_Head head;
  head.guid.bytes[0] = 7;
  CAutoAreaParam first(&head);
  CAutoAreaParam second(&head);
  second.m_ItemType1 = CItemType1Table::ITEMTYPE_SQUARE;
  CHotLinkParamArray records;
  records.Add(&first);
  records.Add(&second);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records.Search(head.guid)->m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_TRUE(records.IsHaveData(head.guid));

  API_Guid other;
  other.bytes[0] = 8;
  EXPECT_EQ(records.Search(other), nullptr);
  records.Remove(other);
  EXPECT_EQ(records.size(), 1u);
  records.Remove(head.guid);
  EXPECT_TRUE(records.empty());
  EXPECT_FALSE(records.IsHaveData(head.guid));
}

TEST(CHotLinkParamArrayTest, IsHotLinkAsksTheHostForTheElementsModule)
{
  HostFixture host;
  const API_Elem_Head element = PlaceObject(host);
  const API_Elem_Head linked = PlaceObject(host);
  API_Guid node;
  node.bytes[3] = 1;
  ASSERT_EQ(host.SetHotlinkNode(linked.guid, node), NoError);

  EXPECT_FALSE(CHotLinkParamArray::IsHotLink(element.guid));
  EXPECT_TRUE(CHotLinkParamArray::IsHotLink(linked.guid));
  host.FailOnce("ACAPI_Goodies:GHLG", APIERR_GENERAL);
  EXPECT_FALSE(CHotLinkParamArray::IsHotLink(linked.guid));
}

}  // namespace
