// Automatic areas across saving and loading, with real figures: old
// projects whose figures stored no operator, zones edited while the project
// was closed, hot-linked zones whose records live in the project record,
// and the palette's rebuilds as single undo steps.

#include "CAutoAreaParam.h"
#include "FiguresTestSupport.h"
#include "HandmadeRecord.h"
#include "host_elements.h"
#include "host_notify.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

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

// What undo must bring back: the placed figures with their user data, the
// source element with its record, and the project record.
struct ProjectState {
  std::map<std::string, pln::host::StoredElement> objects;
  pln::host::StoredElement source;
  std::optional<pln::host::StoredModulData> record;
  bool operator==(const ProjectState&) const = default;
};

// What a reload gives: per figure its code, number, kind and link; per
// automatic area its element and cut.
using LoadedFigure = std::tuple<int, int, int, int, std::string>;
struct LoadedState {
  std::vector<LoadedFigure> figures;
  std::vector<std::pair<std::string, int>> areas;
  bool operator==(const LoadedState&) const = default;
};

class AutoAreaUndoTest : public AutoAreaLoadTest {
protected:
  ProjectState State(const API_Guid& source) const
  {
    ProjectState state;
    for (const API_Guid& guid : host.ElementsOfType(API_ObjectID))
      state.objects.emplace(APIGuidToString(guid).ToStdString(CC_UTF8), *host.Element(guid));
    state.source = *host.Element(source);
    state.record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
    return state;
  }

  LoadedState Reloaded()
  {
    auto loaded = Load();
    LoadedState state;
    for (const auto& figure : loaded->m_FloorParamArray.Search(0)->m_Area1ObjectArray)
      state.figures.emplace_back(figure->m_Code, figure->m_No, figure->m_Type, figure->m_AutoArea.m_Operator,
                                 figure->m_AutoArea.m_ElemGuid.ToUniString().ToStdString(CC_UTF8));
    for (const CAutoAreaParam& area : loaded->m_FloorParamArray.Search(0)->m_AutoAreaParamArray)
      state.areas.emplace_back(APIGuidToString(area.GetGuid()).ToStdString(CC_UTF8), area.m_AutoCutType.m_Type);
    return state;
  }

  // The action and the save as the palette runs them: one command, one
  // undo step; undoing it restores the project as it was before, and
  // redoing it the project the document now describes.
  void RunAsOneStep(const char16_t* name, const API_Guid& source, const std::function<GSErrCode()>& action)
  {
    const ProjectState before = State(source);
    const LoadedState loadedBefore = Reloaded();
    const std::size_t steps = host.UndoNames().size();
    ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(name), [&]() -> GSErrCode {
                if (GSErrCode err = action(); err != NoError)
                  return err;
                return doc().SaveData();
              }),
              NoError);
    ASSERT_EQ(host.UndoNames().size(), steps + 1);
    EXPECT_TRUE(host.UndoNames().back() == GS::UniString(name));
    const ProjectState after = State(source);
    EXPECT_FALSE(after == before);

    ASSERT_EQ(host.UserUndo(), NoError);
    EXPECT_TRUE(State(source) == before);
    EXPECT_TRUE(Reloaded() == loadedBefore);
    ASSERT_EQ(host.UserRedo(), NoError);
    EXPECT_TRUE(State(source) == after);
  }
};

TEST_F(AutoAreaUndoTest, CreatingUpdatingAndReleasingAreEachOneUndoStep)
{
  const API_Element zone = AddZone({kOuter, kHole});
  Save();
  CAutoAreaParamArray& list = doc().m_FloorParamArray[0].m_AutoAreaParamArray;
  CAutoAreaParam created(&zone.header);
  created.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_HORIZONTAL;
  created.m_ItemType1 = doc().m_CurItemType1;
  created.m_ItemType2 = doc().m_CurItemType2;

  RunAsOneStep(u"メンセラ[自動作成区画作成]", zone.header.guid, [&]() -> GSErrCode {
    int start = 0;
    if (const int err = created.DoCreateArea1(&doc(), start); err != NoError)
      return err;
    list.Add(created);
    return NoError;
  });
  ASSERT_EQ(list.size(), 1u);
  ASSERT_EQ(list[0].GetAutoArea(&doc()).size(), 2u);

  RunAsOneStep(u"メンセラ[自動作成区画更新]", zone.header.guid, [&]() -> GSErrCode {
    list[0].m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_TRIANGLE;
    list[0].m_bChanged = true;
    return list[0].UpdateAutoArea(&doc());
  });
  ASSERT_GT(list[0].GetAutoArea(&doc()).size(), 2u);

  RunAsOneStep(u"メンセラ[自動作成区画削除]", zone.header.guid,
               [&]() -> GSErrCode { return list.ReleaseAutoArea(&doc(), list[0]); });
  EXPECT_TRUE(list.empty());
}

}  // namespace
