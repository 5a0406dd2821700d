// Rebuilding automatic areas with real figures: a first build, an update
// that reuses the old numbers and refreshes the calculation elements, and a
// failure halfway that leaves the old figures, entries and mark exactly as
// they were.

#include "CArea2Object.h"
#include "CAutoAreaParam.h"
#include "CSelectList.h"
#include "FiguresTestSupport.h"

#include <algorithm>
#include <set>

namespace {

class AutoAreaBuildTest : public FigureTest {
protected:
  // A zone on story 0 with the outline, and its record.
  CAutoAreaParam Zone(const std::vector<API_Coord>& outline, CAutoCutType::AUTOCUTTYPE type)
  {
    PolygonMemo polygon({outline});
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(zone, polygon), NoError);
    CAutoAreaParam record(&zone.header);
    record.m_AutoCutType.m_Type = type;
    record.m_ItemType1 = doc().m_CurItemType1;
    record.m_ItemType2 = doc().m_CurItemType2;
    return record;
  }

  // A calculation element taking the area's figures on story 0, with an
  // entry for each figure the area has now.
  CArea2ObjectFloor& Listing(const CAutoAreaParam& record)
  {
    doc().m_Area2ObjectArray.emplace_back(&doc(), CAreaNameArray(u"居室"), ++doc().m_LastAreaCode,
                                          CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK,
                                          CItemType1Table::ITEMTYPE_DIAMOND, CItemType2Table::ITEMTYPE_UPPER, 0, 0);
    CArea2ObjectFloor& listing = *doc().m_Area2ObjectArray.back().m_FloorArray.SearchFloor(0);
    listing.m_AutoAreaGuidArray.Add(ToGSGuid(record.GetGuid()));
    for (const auto& figure : record.GetAutoArea(&doc()))
      listing.m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
    return listing;
  }

  std::vector<int> Numbers(const CAutoAreaParam& record)
  {
    std::vector<int> numbers;
    for (const auto& figure : record.GetAutoArea(&doc()))
      numbers.push_back(figure->m_No);
    return numbers;
  }

  const std::vector<API_Coord> kL{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
};

TEST_F(AutoAreaBuildTest, AFirstBuildPlacesLinksAndSavesAndMatches)
{
  CAutoAreaParam record = Zone(kL, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  int start = 0;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  const auto figures = record.GetAutoArea(&doc());
  ASSERT_EQ(figures.size(), 2u);
  long long raw = 0;
  for (const auto& figure : figures) {
    EXPECT_EQ(figure->m_AutoArea.m_Operator, COperatorTable::OPERATOR_PLUS);
    raw += figure->GetOrgArea(&doc());
  }
  EXPECT_EQ(raw, 300000000LL);
  EXPECT_EQ(Numbers(record), (std::vector<int>{0, 1}));
  EXPECT_TRUE(record.IsHaveData(&doc()));
  EXPECT_EQ(record.CheckAutoArea(&doc()), NoError);
  EXPECT_FALSE(record.m_bChanged);
}

TEST_F(AutoAreaBuildTest, AnUpdateReusesTheOldNumbersAndRefreshesTheListings)
{
  CAutoAreaParam record = Zone(kL, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  int start = 3;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  ASSERT_EQ(Numbers(record), (std::vector<int>{3, 4}));
  const auto old = record.GetAutoArea(&doc());
  CArea2ObjectFloor& listing = Listing(record);

  // Triangles now: four figures, the first two on the old numbers 3 and 4.
  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_TRIANGLE;
  record.m_bChanged = true;
  ASSERT_EQ(record.UpdateAutoArea(&doc()), NoError);
  EXPECT_FALSE(record.m_bChanged);
  EXPECT_EQ(Numbers(record), (std::vector<int>{3, 4, 5, 6}));
  for (const auto& figure : old)
    EXPECT_TRUE(host.Element(figure->m_Element.header.guid)->deleted);
  ASSERT_EQ(listing.m_List.size(), 4u);
  EXPECT_EQ(record.CheckAutoArea(&doc()), NoError);
  EXPECT_FALSE(record.m_bChanged);
}

TEST_F(AutoAreaBuildTest, FreedNumbersThreeFourFiveComeFirstThenTheStartNumberOn)
{
  ASSERT_FALSE(doc().m_EnvParam.m_NumberFillGaps);
  const std::vector<API_Coord> hexagon{{0, 0}, {2, 0}, {3, 1}, {2, 2}, {0, 2}, {-1, 1}};
  CAutoAreaParam record = Zone(hexagon, CAutoCutType::AUTOCUTTYPE_EDGE);
  record.m_AutoCutType.m_bCutAcross = true;
  record.m_AutoCutType.m_bFollowEdges = false;
  int start = 3;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  ASSERT_EQ(Numbers(record), (std::vector<int>{3, 4, 5}));
  // Another area of the same marking holds number 9: the update starts after it.
  CAutoAreaParam other = Zone({{10, 0}, {12, 0}, {12, 2}, {10, 2}}, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  int otherStart = 9;
  ASSERT_EQ(other.DoCreateArea1(&doc(), otherStart), NoError);
  ASSERT_EQ(Numbers(other), (std::vector<int>{9}));

  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_TRIANGLE;  // four triangles now
  record.m_bChanged = true;
  ASSERT_EQ(record.UpdateAutoArea(&doc()), NoError);
  EXPECT_EQ(Numbers(record), (std::vector<int>{3, 4, 5, 10}));
  EXPECT_EQ(Numbers(other), (std::vector<int>{9}));
}

TEST_F(AutoAreaBuildTest, AFailureHalfwayLeavesTheOldFiguresEntriesAndMark)
{
  const std::vector<API_Coord> hexagon{{0, 0}, {2, 0}, {3, 1}, {2, 2}, {0, 2}, {-1, 1}};
  CAutoAreaParam record = Zone(hexagon, CAutoCutType::AUTOCUTTYPE_TRIANGLE);
  int start = 0;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  const auto old = record.GetAutoArea(&doc());
  CArea2ObjectFloor& listing = Listing(record);
  const CArea1ObjectArray listBefore = doc().m_FloorParamArray[0].m_Area1ObjectArray;
  std::vector<pln::host::StoredElement> elementsBefore;
  for (const auto& figure : old)
    elementsBefore.push_back(*host.Element(figure->m_Element.header.guid));
  const auto objectsBefore = host.ElementsOfType(API_ObjectID);
  const int codeBefore = doc().m_LastArea1Code;

  // Rays across: triangle, triangle, rectangle; the rectangle's parameters
  // cannot be written.
  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_EDGE;
  record.m_AutoCutType.m_bCutAcross = true;
  record.m_AutoCutType.m_bFollowEdges = false;
  record.m_bChanged = true;
  host.FailParamChangeOnce("x_S", APIERR_GENERAL);
  EXPECT_NE(record.UpdateAutoArea(&doc()), NoError);

  EXPECT_TRUE(record.m_bChanged);
  EXPECT_EQ(doc().m_FloorParamArray[0].m_Area1ObjectArray, listBefore);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID), objectsBefore);
  for (std::size_t k = 0; k < old.size(); ++k)
    EXPECT_EQ(*host.Element(old[k]->m_Element.header.guid), elementsBefore[k]) << k;
  ASSERT_EQ(listing.m_List.size(), old.size());
  EXPECT_EQ(doc().m_LastArea1Code, codeBefore);
  EXPECT_EQ(record.GetAutoArea(&doc()), old);
}

TEST_F(AutoAreaBuildTest, AnOldFigureHeldByAnotherUserStopsTheRebuildWithNothingChanged)
{
  CAutoAreaParam record = Zone(kL, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  int start = 0;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  const auto old = record.GetAutoArea(&doc());
  CArea2ObjectFloor& listing = Listing(record);
  const CArea1ObjectArray listBefore = doc().m_FloorParamArray[0].m_Area1ObjectArray;
  const auto objectsBefore = host.ElementsOfType(API_ObjectID);
  host.SetTeamwork(true, true, 1);
  doc().m_TeamworkUserId = 1;
  ASSERT_EQ(host.SetOwner(old[1]->m_Element.header.guid, 2), NoError);

  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_TRIANGLE;
  record.m_bChanged = true;
  EXPECT_EQ(record.UpdateAutoArea(&doc()), APIERR_NOTMINE);
  EXPECT_TRUE(record.m_bChanged);
  EXPECT_EQ(doc().m_FloorParamArray[0].m_Area1ObjectArray, listBefore);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID), objectsBefore);
  EXPECT_EQ(listing.m_List.size(), old.size());
  EXPECT_EQ(record.GetAutoArea(&doc()), old);

  // Out of Teamwork, the old figures go and their numbers are taken again.
  host.SetTeamwork(false, false, 0);
  ASSERT_EQ(record.UpdateAutoArea(&doc()), NoError);
  EXPECT_EQ(Numbers(record), (std::vector<int>{0, 1, 2, 3}));
  for (const auto& figure : old)
    EXPECT_TRUE(host.Element(figure->m_Element.header.guid)->deleted);
}

TEST_F(AutoAreaBuildTest, DeletingAnAreaFreesTheNumbersOfItsFirstFiguresMarking)
{
  CAutoAreaParam record = Zone(kL, CAutoCutType::AUTOCUTTYPE_TRIANGLE);
  int start = 7;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  auto figures = record.GetAutoArea(&doc());
  ASSERT_EQ(figures.size(), 4u);
  figures[2]->m_ItemType2 = CItemType2Table::ITEMTYPE(figures[2]->m_ItemType2 + 1);  // another numbering
  CSelectList freed;
  freed.push_back(1);
  ASSERT_EQ(record.DoDeleteArea1(&doc(), &freed), NoError);
  EXPECT_EQ(static_cast<const std::vector<int>&>(freed), (std::vector<int>{1, 7, 8, 10}));
  EXPECT_TRUE(record.GetAutoArea(&doc()).empty());
  for (const auto& figure : figures)
    EXPECT_TRUE(host.Element(figure->m_Element.header.guid)->deleted);
  EXPECT_EQ(record.DoDeleteArea1(&doc(), &freed), NoError);  // nothing left: nothing freed
  EXPECT_EQ(freed.size(), 4u);
}

TEST_F(AutoAreaBuildTest, AnUnreadableOutlineKeepsTheFiguresAnEmptyOneDeletesThem)
{
  CAutoAreaParam record = Zone(kL, CAutoCutType::AUTOCUTTYPE_VERTICAL);
  int start = 0;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  const auto old = record.GetAutoArea(&doc());
  ASSERT_EQ(old.size(), 2u);
  // A zone whose memo cannot be read used to look empty and lose its figures.
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_EQ(record.DoCreateArea1(&doc(), start), APIERR_MEMFULL);
  EXPECT_EQ(record.GetAutoArea(&doc()), old);

  // A slab whose polygon has no contour: its figures go, nothing is saved.
  PolygonMemo polygon({kL});
  API_Element slab;
  slab.header.typeID = API_SlabID;
  slab.header.layer = 1;
  ASSERT_EQ(host.AddPolygonElement(slab, polygon), NoError);
  CAutoAreaParam slabRecord(&slab.header);
  slabRecord.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_HORIZONTAL;
  ASSERT_EQ(slabRecord.DoCreateArea1(&doc(), start), NoError);
  const auto slabFigures = slabRecord.GetAutoArea(&doc());
  ASSERT_EQ(slabFigures.size(), 2u);
  ASSERT_EQ(slabRecord.ClearData(&doc()), NoError);
  ASSERT_EQ(host.UserEdit(slab.header.guid, [](API_Element& e) { e.slab.poly.nSubPolys = 0; }), NoError);
  EXPECT_EQ(slabRecord.DoCreateArea1(&doc(), start), NoError);
  EXPECT_TRUE(slabRecord.GetAutoArea(&doc()).empty());
  for (const auto& figure : slabFigures)
    EXPECT_TRUE(host.Element(figure->m_Element.header.guid)->deleted);
  EXPECT_FALSE(slabRecord.IsHaveData(&doc()));
}

TEST_F(AutoAreaBuildTest, OldLinksGetTheirOperatorsBackFromTheContourTheyLieOn)
{
  // A 10 x 10 m zone with a semicircular bay on top, a sector bay on the
  // right and a square hole: every kind of piece and both operators.
  const double h = KelAngle::Pi / 2 + 1e-3;  // half the sector's sweep, beyond pi in all
  PolygonMemo polygon({{{0, 0}, {10, 0}, {10, 4}, {10, 6}, {10, 10}, {6, 10}, {4, 10}, {0, 10}},
                       {{2, 2}, {2, 4}, {4, 4}, {4, 2}}},
                      {{3, 4, 2 * h}, {6, 7, KelAngle::Pi}});
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  CAutoAreaParam record(&zone.header);
  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_HORIZONTAL;
  int start = 0;
  ASSERT_EQ(record.DoCreateArea1(&doc(), start), NoError);
  const auto figures = record.GetAutoArea(&doc());
  std::vector<COperatorTable::OPERATOR> built;
  std::set<CArea1Object::TYPE> kinds;
  for (const auto& figure : figures) {
    built.push_back(figure->m_AutoArea.m_Operator);
    kinds.insert(figure->m_Type);
    figure->m_AutoArea.m_Operator = COperatorTable::OPERATOR_NONE;
  }
  EXPECT_TRUE(kinds.count(CArea1Object::TYPE_ARC) == 1 && kinds.count(CArea1Object::TYPE_ARCCENTER) == 1);
  EXPECT_NE(std::count(built.begin(), built.end(), COperatorTable::OPERATOR_MINUS), 0);

  ASSERT_EQ(record.CheckOldAutoArea(&doc()), NoError);
  for (std::size_t k = 0; k < figures.size(); ++k)
    EXPECT_EQ(figures[k]->m_AutoArea.m_Operator, built[k]) << "figure " << k << " kind " << figures[k]->m_Type;

  // A record already marked changed is left alone.
  figures[0]->m_AutoArea.m_Operator = COperatorTable::OPERATOR_NONE;
  record.m_bChanged = true;
  ASSERT_EQ(record.CheckOldAutoArea(&doc()), NoError);
  EXPECT_EQ(figures[0]->m_AutoArea.m_Operator, COperatorTable::OPERATOR_NONE);
}

}  // namespace
