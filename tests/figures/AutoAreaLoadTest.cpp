// Automatic areas across saving and loading, with real figures: old
// projects whose figures stored no operator, zones edited while the project
// was closed, hot-linked zones whose records live in the project record.

#include "CAutoAreaParam.h"
#include "FiguresTestSupport.h"
#include "HandmadeRecord.h"
#include "host_elements.h"
#include "host_notify.h"

#include <algorithm>

namespace {

const std::vector<API_Coord> kOuter{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<API_Coord> kHole{{2, 2}, {2, 4}, {4, 4}, {4, 2}};

class AutoAreaLoadTest : public FigureTest {
protected:
  API_Element AddZone(const std::vector<std::vector<API_Coord>>& contours)
  {
    PolygonMemo polygon(contours);
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(zone, polygon), NoError);
    return zone;
  }

  // The zone's area built and filed on its floor.
  CAutoAreaParam& Build(const API_Element& zone)
  {
    CAutoAreaParam record(&zone.header);
    record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_HORIZONTAL;
    record.m_ItemType1 = doc().m_CurItemType1;
    record.m_ItemType2 = doc().m_CurItemType2;
    int start = 0;
    EXPECT_EQ(record.DoCreateArea1(&doc(), start), NoError);
    CAutoAreaParamArray& list = doc().m_FloorParamArray[0].m_AutoAreaParamArray;
    list.Add(record);
    return *list.Search(&zone.header.guid);
  }

  // The project record of the test document, whose pattern tree the
  // loader wants in both trees.
  void Save()
  {
    doc().m_AreaTreeStore = doc().m_AreaTree2;
    ASSERT_EQ(doc().SaveData(), NoError);
  }

  std::unique_ptr<CPlenimetraParam> Load()
  {
    auto loaded = std::make_unique<CPlenimetraParam>();
    RegisterFigureKinds(*loaded);
    EXPECT_EQ(loaded->LoadData2(false), 1);
    return loaded;
  }

  static const CAutoAreaParam* Find(CPlenimetraParam& d, const API_Guid& guid, bool hotLinked = false)
  {
    CFloorParam* floor = d.m_FloorParamArray.Search(0);
    if (floor == nullptr)
      return nullptr;
    return hotLinked ? floor->m_HotLinkParamArray.Search(guid) : floor->m_AutoAreaParamArray.Search(&guid);
  }

  // The zone's outline replaced, as the user would edit it.
  void Reshape(const API_Guid& guid, const std::vector<std::vector<API_Coord>>& contours)
  {
    PolygonMemo polygon(contours);
    ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"edit"), [&]() -> GSErrCode {
                API_Element zone{};
                zone.header.guid = guid;
                if (GSErrCode err = ACAPI_Element_Get(&zone); err != NoError)
                  return err;
                zone.zone.poly = polygon.Polygon();
                API_ElementMask mask;
                mask.Set(&API_Element::zone, &API_ZoneType::poly);
                return ACAPI_Element_Change(&zone, &mask, polygon.Memo(), APIMemoMask_Polygon, true);
              }),
              NoError);
  }
};

TEST_F(AutoAreaLoadTest, FiguresOfOldProjectsTakeTheirOperatorsFromTheContourTheyLieOn)
{
  const API_Element zone = AddZone({kOuter, kHole});
  const CAutoAreaParam& record = Build(zone);
  std::vector<COperatorTable::OPERATOR> built;
  for (const auto& figure : record.GetAutoArea(&doc())) {
    built.push_back(figure->m_AutoArea.m_Operator);
    figure->m_AutoArea.m_Operator = COperatorTable::OPERATOR_NONE;  // as early versions stored them
    ASSERT_EQ(figure->Save(), NoError);
  }
  ASSERT_NE(std::count(built.begin(), built.end(), COperatorTable::OPERATOR_MINUS), 0);
  ASSERT_NE(std::count(built.begin(), built.end(), COperatorTable::OPERATOR_PLUS), 0);

  // Up to 1018 the links are repaired; from 1019 they are taken as stored,
  // and the check then finds operators that count for nothing.
  for (int version : {1018, 1019}) {
    SCOPED_TRACE(version);
    StoreModuleData(CPlenimetraParam::kRecordName, version, OldRecord(version).Build());
    auto loaded = Load();
    const CAutoAreaParam* found = Find(*loaded, zone.header.guid);
    ASSERT_NE(found, nullptr);
    const auto figures = found->GetAutoArea(loaded.get());
    ASSERT_EQ(figures.size(), built.size());
    for (std::size_t k = 0; k < figures.size(); ++k)
      EXPECT_EQ(figures[k]->m_AutoArea.m_Operator, version == 1018 ? built[k] : COperatorTable::OPERATOR_NONE) << k;
    EXPECT_EQ(found->m_bChanged, version != 1018);
  }
}

TEST_F(AutoAreaLoadTest, AZoneEditedSinceTheSaveIsMarkedChangedOnLoading)
{
  const API_Element zone = AddZone({kOuter});
  Build(zone);
  Save();
  auto same = Load();
  ASSERT_NE(Find(*same, zone.header.guid), nullptr);
  EXPECT_FALSE(Find(*same, zone.header.guid)->m_bChanged);

  Reshape(zone.header.guid, {kOuter, kHole});  // 4 m2 less
  auto edited = Load();
  ASSERT_NE(Find(*edited, zone.header.guid), nullptr);
  EXPECT_TRUE(Find(*edited, zone.header.guid)->m_bChanged);
}

TEST_F(AutoAreaLoadTest, AHotLinkedZonesRecordLivesInTheProjectRecord)
{
  const API_Element zone = AddZone({kOuter});
  GS::Guid node;
  ASSERT_EQ(host.SetHotlinkNode(zone.header.guid, ToAPIGuid(node.Generate())), NoError);
  CAutoAreaParam record(&zone.header);
  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_EDGE;
  record.m_AutoCutType.m_bWithHoles = false;
  record.m_AutoCutType.m_bCutAcross = true;
  record.m_AutoCutType.m_bFollowEdges = false;
  record.m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  record.m_ItemType2 = CItemType2Table::ITEMTYPE_UPPER;
  ASSERT_EQ(record.Save(&doc(), record.m_AutoCutType), NoError);
  EXPECT_FALSE(host.Element(zone.header.guid)->userData.has_value());  // nothing in the element
  Save();

  auto loaded = Load();
  const CAutoAreaParam* found = Find(*loaded, zone.header.guid, true);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->m_AutoCutType, record.m_AutoCutType);
  EXPECT_EQ(found->m_ItemType1, record.m_ItemType1);
  EXPECT_EQ(found->m_ItemType2, record.m_ItemType2);
  EXPECT_EQ(found->GetFloor(), 0);
}

}  // namespace
