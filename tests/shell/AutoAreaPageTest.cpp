// The automatic-area page on 1F: zone Z-1 (room LDK, category colour
// (1, 0.5, 0), 6 x 4 m with a 1 x 1 m hole), slab S-1 (3 x 2 m) and a line,
// cut by the user from the plan selection; then checked, updated,
// released, sorted and kept in step with the plan.

#include "CDlgAutoAreaCreate.h"
#include "CDlgAutoAreaRelease.h"
#include "CPlenimetraFunc3.h"
#include "GSWriteReport.h"
#include "ShellTestSupport.h"
#include "host_selection.h"

#include <algorithm>
#include <map>
#include <cmath>
#include <set>
#include <string>
#include <tuple>

namespace {

using pln::host::DialogUser;

constexpr short kList = CPlenimetraFunc3::kList;

class AutoAreaPageTest : public ShellTest {
protected:
  AutoAreaPageTest()
  {
    host.DefineDialog(CDlgAutoAreaCreate::ResourceId, CDlgAutoAreaCreate::Layout());
    host.DefineDialog(CDlgAutoAreaRelease::ResourceId, CDlgAutoAreaRelease::Layout());
    const AutoAreaSources sources = AddAutoAreaSources();
    zone = sources.zone;
    slab = sources.slab;
    line = sources.line;
  }

  void OpenPage()
  {
    if (!palette().IsToolPaletteOpened()) {
      ASSERT_EQ(Menu(), NoError);
    }
    user().Click(10);
    pageId = pln::host::OpenDialogId(CPlenimetraFunc3::ResourceId);
    ASSERT_NE(pageId, 0);
  }
  DialogUser page() { return DialogUser(pageId); }

  // Creation from the elements selected: cut type 2, mark □, "A,B,C", from 1.
  void Create(const std::vector<API_Guid>& selection)
  {
    ASSERT_EQ(host.UserSelect(selection), NoError);
    host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) {
      dialog.SetLong(5, 1);
      dialog.SelectPopUp(CDlgAutoAreaCreate::kItemMark, 2);
      dialog.SelectPopUp(CDlgAutoAreaCreate::kItemNumbering, 2);
      dialog.SetLong(CDlgAutoAreaCreate::kItemStartNo, 1);
      dialog.Click(1);
    });
    page().Click(CPlenimetraFunc3::kCreate);
  }
  // Scenario 1's state: the page open, zone and slab cut.
  void CreateBoth()
  {
    OpenPage();
    Create({zone, slab, line});
  }

  void Release(std::vector<short> rows, bool deleteFigures)
  {
    page().SelectRows(kList, rows);
    host.QueueDialogScript(CDlgAutoAreaRelease::ResourceId, [deleteFigures](DialogUser& dialog) {
      dialog.Check(CDlgAutoAreaRelease::kItemDeleteFigures, deleteFigures);
      dialog.Click(1);
    });
    page().Click(CPlenimetraFunc3::kRelease);
  }

  const pln::host::DGListState& List() { return pln::host::DialogItemState(pageId, kList)->list; }
  std::vector<std::u16string> Column(short column)
  {
    std::vector<std::u16string> texts;
    for (const auto& row : List().rows)
      texts.push_back(row.texts.at(column).Std());
    return texts;
  }
  std::vector<short> SelectedRows()
  {
    std::vector<short> rows;
    for (std::size_t r = 0; r < List().rows.size(); ++r)
      if (List().rows[r].selected)
        rows.push_back(static_cast<short>(r + 1));
    return rows;
  }
  std::vector<short> Arrows()
  {
    std::vector<short> arrows;
    for (short h = 1; h <= 5; ++h)
      arrows.push_back(List().headers.count(h) != 0 ? List().headers.at(h).arrow : 0);
    return arrows;
  }

  CAutoAreaParamArray& Records() { return Floor(0).m_AutoAreaParamArray; }
  CAutoAreaParam* Record(const API_Guid& guid) { return Records().Search(&guid); }
  std::vector<std::shared_ptr<CArea1Object>> FiguresOf(const API_Guid& guid)
  {
    return CAutoAreaParam(&host.Element(guid)->element.header).GetAutoArea(&doc());
  }
  // Raw areas, holes taken away (1e-8 m²).
  long long SignedArea(const API_Guid& guid)
  {
    long long sum = 0;
    for (const auto& figure : FiguresOf(guid))
      sum += (figure->m_AutoArea.m_Operator == COperatorTable::OPERATOR_MINUS ? -1 : 1) * figure->GetOrgArea(&doc());
    return sum;
  }
  // How many of the figures' placed parts are deleted.
  std::size_t Deleted(const std::vector<std::shared_ptr<CArea1Object>>& figures)
  {
    return static_cast<std::size_t>(std::count_if(figures.begin(), figures.end(), [&](const auto& figure) {
      return host.Element(figure->m_Element.header.guid)->deleted;
    }));
  }
  // The story's figures use the numbers 0..n-1.
  bool NumberedWithoutGaps()
  {
    std::vector<int> numbers = Numbers(0);
    std::sort(numbers.begin(), numbers.end());
    for (std::size_t i = 0; i < numbers.size(); ++i)
      if (numbers[i] != static_cast<int>(i))
        return false;
    return true;
  }
  int Stores()
  {
    const auto& calls = host.CallLog();
    return static_cast<int>(std::count(calls.begin(), calls.end(), std::string("ACAPI_ModulData_Store")));
  }
  // An element of the pattern taking the area on 1F.
  CArea2ObjectFloor& Taking(const API_Guid& source)
  {
    doc().m_Area2ObjectArray.emplace_back(&doc(), CAreaNameArray(u"廊下"), ++doc().m_LastAreaCode,
                                          CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK,
                                          CItemType1Table::ITEMTYPE_DIAMOND, CItemType2Table::ITEMTYPE_UPPER, 0, 0);
    CArea2ObjectFloor& floor = *doc().m_Area2ObjectArray.back().m_FloorArray.SearchFloor(0);
    floor.m_AutoAreaGuidArray.Add(ToGSGuid(source));
    return floor;
  }

  API_Guid zone, slab, line;
  short pageId = 0;
};

const DGColor16 kWhite{65535, 65535, 65535};
constexpr double kPi = 3.14159265358979323846;

TEST_F(AutoAreaPageTest, CreatingCutsZoneAndSlabSkipsTheLineAndListsBoth)
{
  CreateBoth();
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{GS::UniString(u"メンセラ[自動作成区画作成]")});
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"Z-1(LDK)", u"S-1(ｽﾗﾌﾞ)"}));
  EXPECT_EQ(Column(2)[1] + Column(3)[1], u"□A,B,C");
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"無", u"無"}));
  for (short column = 1; column <= 5; ++column) {
    EXPECT_EQ(List().rows[0].tabBackgrounds.at(column), (DGColor16{65535, 32767, 0}));
    EXPECT_EQ(List().rows[1].tabBackgrounds.at(column), kWhite);
  }
  EXPECT_EQ(List().rows[0].tabColors.at(4), (DGColor16{0, 0, 0}));
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(Record(line), nullptr);
  EXPECT_EQ(SignedArea(zone), 2300000000LL);
  EXPECT_EQ(SignedArea(slab), 600000000LL);
  EXPECT_TRUE(NumberedWithoutGaps());  // A, B, ... over both areas
  for (const auto& figure : Figures(0)) {
    EXPECT_EQ(figure->m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
    EXPECT_EQ(figure->m_ItemType2, CItemType2Table::ITEMTYPE_UPPER);
  }
  EXPECT_EQ(doc().m_AutoCutType.m_Type, CAutoCutType::AUTOCUTTYPE_HORIZONTAL);
  EXPECT_EQ(doc().m_AutoItemType1, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(doc().m_AutoItemType2, CItemType2Table::ITEMTYPE_UPPER);
  EXPECT_GE(Stores(), 1);
  EXPECT_FALSE(host.Progress().open);
  EXPECT_EQ(host.Progress().title, GS::UniString(u"自動分割区画生成"));

  // Again from the zone: its record and figures are replaced.
  const auto old = FiguresOf(zone);
  const auto slabFigures = FiguresOf(slab);
  Create({zone});
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(Deleted(old), old.size());
  EXPECT_EQ(SignedArea(zone), 2300000000LL);
  EXPECT_EQ(FiguresOf(slab), slabFigures);
}

// A story added while the page is open has no floor record before its
// first cut; the first click must make the figures all the same.
TEST_F(AutoAreaPageTest, TheFirstCutOnAStoryAddedWhileThePageIsOpenMakesItsFigures)
{
  OpenPage();
  ASSERT_EQ(host.AddStory(3, 9.0, u"4F"), NoError);
  ASSERT_EQ(host.UserChangeStory(3), NoError);
  const API_Guid zone4 = AddPolygon(API_ZoneID, {{{0, 0}, {5, 0}, {5, 2}, {0, 2}}}, u"Z-4",
                                    [](API_Element& e) { e.header.floorInd = 3; });
  ASSERT_EQ(doc().m_FloorParamArray.Search(3), nullptr);
  Create({zone4});
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{GS::UniString(u"メンセラ[自動作成区画作成]")});
  ASSERT_NE(doc().m_FloorParamArray.Search(3), nullptr);
  EXPECT_EQ(Floor(3).m_FloorName, GS::UniString(u"4F"));
  ASSERT_EQ(Floor(3).m_AutoAreaParamArray.size(), 1u);
  EXPECT_FALSE(Floor(3).m_AutoAreaParamArray[0].m_bChanged);
  EXPECT_EQ(SignedArea(zone4), 1000000000LL);
  EXPECT_EQ(Figures(3).size(), FiguresOf(zone4).size());
  EXPECT_FALSE(Figures(3).empty());
  EXPECT_EQ(Column(1), std::vector<std::u16string>{u"Z-4()"});
}

TEST_F(AutoAreaPageTest, AZoneHeldByAnotherUserStopsTheCreationWithTheReservationsError)
{
  host.SetTeamwork(true, true, 3);
  ASSERT_EQ(host.SetOwner(zone, 7), NoError);
  OpenPage();
  const Int32 windows = host.Progress().openCount;
  Create({zone, slab});
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"自動作成区画の作成を完了できませんでした。") + GSCauseText(APIERR_NOTMINE));
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(Figures(0).empty());
  EXPECT_TRUE(host.UndoNames().empty());
  EXPECT_EQ(host.Progress().openCount, windows);
}

TEST_F(AutoAreaPageTest, ACancelAfterTheFirstElementKeepsItSilentlyInOneStep)
{
  OpenPage();
  host.QueueProgressCancel(0);
  Create({zone, slab});
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(host.UndoNames().size(), 1u);
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_NE(Record(zone), nullptr);
  EXPECT_EQ(SignedArea(zone), 2300000000LL);
  EXPECT_TRUE(FiguresOf(slab).empty());
  EXPECT_EQ(Column(1), std::vector<std::u16string>{u"Z-1(LDK)"});
  EXPECT_FALSE(host.Progress().open);
}

TEST_F(AutoAreaPageTest, AMissingFigureShowsChangedInRedAndTheUpdateCutsTheZoneAgain)
{
  CreateBoth();
  const auto slabFigures = FiguresOf(slab);
  const auto gone = FiguresOf(zone).front();
  ASSERT_EQ(host.UserDelete({gone->m_Element.header.guid}), NoError);
  page().Click(CPlenimetraFunc3::kCheck);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"有", u"無"}));
  EXPECT_EQ(List().rows[0].tabColors.at(4), (DGColor16{65535, 0, 0}));
  EXPECT_EQ(List().rows[1].tabColors.at(4), (DGColor16{0, 0, 0}));

  page().SelectRows(kList, {1, 2});
  page().Click(CPlenimetraFunc3::kUpdate);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[自動作成区画更新]"));
  EXPECT_EQ(SignedArea(zone), 2300000000LL);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"無", u"無"}));
  EXPECT_EQ(FiguresOf(slab), slabFigures);  // not changed: left alone
  EXPECT_TRUE(SelectedRows().empty());
}

// An area is changed when its element is, not because its figures are
// permit figures: the preset's pi (3.14) and lengths cut to 0.1 mm once set
// a round zone 0.03 m2, a 200 m zone with a 30° arc edge 19.8 m2, a bay of
// 270° 0.04 m2 and a site
// of 200 survey points 0.6 m2 apart from their elements, all "changed"
// right after cutting. The figures' own areas keep that pi.
TEST_F(AutoAreaPageTest, CutAreasMatchTheirElementsUntilAnElementIsEdited)
{
  auto add = [&](API_ElemTypeID type, const std::vector<API_Coord>& contour, const std::vector<API_PolyArc>& arcs) {
    PolygonMemo memo({contour}, arcs);
    API_Element element;
    element.header.typeID = type;
    element.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(element, memo), NoError);
    return element.header.guid;
  };
  // Two half circles of radius 4 m.
  const API_Guid round = add(API_ZoneID, {{20, 0}, {28, 0}}, {API_PolyArc{1, 2, kPi}, API_PolyArc{2, 3, kPi}});
  const API_Guid bigArc =
      add(API_ZoneID, {{0, 10}, {200, 10}, {200, 110}, {0, 110}}, {API_PolyArc{3, 4, kPi / 6}});
  // A chord of 8 m closed by an arc of 270°: a sector and a triangle.
  const API_Guid bay = add(API_ZoneID, {{40, 0}, {48, 0}}, {API_PolyArc{2, 3, 3 * kPi / 2}});
  std::vector<API_Coord> survey;
  for (int v = 0; v < 200; ++v) {
    const double t = 2 * kPi * v / 200;
    const double r = 60 + 2 * std::sin(7 * t) + 1.3 * std::cos(13 * t) + 0.4 * ((v * 37) % 11) / 11.0;
    survey.push_back({30000.0 + 1.2 * r * std::cos(t), 20000.0 + r * std::sin(t)});
  }
  const API_Guid site = add(API_PolyLineID, survey, {});
  OpenPage();
  Create({round, bigArc, bay, site});
  ASSERT_EQ(Records().size(), 4u);
  EXPECT_EQ(SignedArea(round), 5024000000LL);  // 3.14 × 4.0000 × 4.0000
  const auto bayFigures = FiguresOf(bay);
  EXPECT_TRUE(std::any_of(bayFigures.begin(), bayFigures.end(),
                          [](const auto& figure) { return figure->m_Type == CArea1Object::TYPE_ARC; }));
  page().Click(CPlenimetraFunc3::kCheck);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"無", u"無", u"無", u"無"}));

  // One survey point 1 m out: about 60 m2 more.
  survey[50].x += 1;
  PolygonMemo edited({survey});
  ASSERT_EQ(host.UserSetOutline(site, edited), NoError);
  page().Click(CPlenimetraFunc3::kCheck);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"無", u"無", u"無", u"有"}));
}

TEST_F(AutoAreaPageTest, AnUpdateRunsEveryRecordAfterAFailureReportsItAndSaves)
{
  CreateBoth();
  Record(zone)->m_bChanged = true;
  Record(slab)->m_bChanged = true;
  const auto slabFigures = FiguresOf(slab);
  const int before = Stores();
  page().SelectRows(kList, {1, 2});
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);  // the zone's outline
  page().Click(CPlenimetraFunc3::kUpdate);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(Record(zone)->m_bChanged);
  EXPECT_FALSE(Record(slab)->m_bChanged);
  EXPECT_EQ(Deleted(slabFigures), slabFigures.size());
  EXPECT_EQ(SignedArea(slab), 600000000LL);
  EXPECT_GT(Stores(), before);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"有", u"無"}));
}

// What undo and redo of a command must give back exactly: the entries of
// every element, the figures with their links, numbers and sort indices,
// the record's changed mark and the stored project record.
struct UpdateState {
  CArea2ObjectArray elements;
  std::vector<std::tuple<int, int, int, int, std::string>> figures;
  bool changed = false;
  long long area = 0;
  std::vector<char> record;
};

class AutoAreaHistoryTest : public AutoAreaPageTest {
protected:
  UpdateState Now()
  {
    UpdateState state;
    state.elements = doc().m_Area2ObjectArray;
    for (const auto& f : Figures(0))
      state.figures.emplace_back(f->m_Code, f->m_No, f->m_SortIndex, int(f->m_AutoArea.m_Operator),
                                 APIGuidToString(f->m_Element.header.guid).ToStdString(CC_UTF8));
    state.changed = Record(zone) != nullptr && Record(zone)->m_bChanged;
    state.area = SignedArea(zone);
    state.record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName))->bytes;
    return state;
  }
  static void ExpectSame(const UpdateState& a, const UpdateState& b, bool withRecord = true)
  {
    EXPECT_TRUE(a.elements == b.elements);
    EXPECT_EQ(a.figures, b.figures);
    EXPECT_EQ(a.changed, b.changed);
    EXPECT_EQ(a.area, b.area);
    if (withRecord) {
      EXPECT_EQ(a.record, b.record);
    }
  }
  // The zone grows by 1 m to the right; the page then marks it changed.
  void GrowZone()
  {
    PolygonMemo outline({{{0, 0}, {7, 0}, {7, 4}, {0, 4}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}});
    ASSERT_EQ(host.UserSetOutline(zone, outline), NoError);
  }
  void Update()
  {
    page().SelectRows(kList, {1});
    page().Click(CPlenimetraFunc3::kUpdate);
  }
  // The figures made, and an element that took the zone's by an update.
  void CreateAndTakeZone()
  {
    CreateBoth();
    Taking(zone);
    Record(zone)->m_bChanged = true;
    Update();
  }
};

TEST_F(AutoAreaHistoryTest, UndoAndRedoOfAnUpdateGiveBackEveryEntryTheMarkAndTheRecordAlsoAfterReopening)
{
  CreateAndTakeZone();  // the element takes the zone's figures
  ASSERT_FALSE(doc().m_Area2ObjectArray.back().m_FloorArray.FindFloor(0)->m_List.empty());
  GrowZone();
  const UpdateState before = Now();
  ASSERT_TRUE(before.changed);
  Update();
  const UpdateState after = Now();
  ASSERT_FALSE(after.elements == before.elements);
  EXPECT_EQ(after.area, 2700000000LL);

  ASSERT_EQ(host.UserUndo(), NoError);
  ExpectSame(Now(), before);
  EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"有", u"無"}));
  ASSERT_EQ(host.UserRedo(), NoError);
  ExpectSame(Now(), after);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_TRUE(host.Alerts().empty());

  host.UserSaveProject();
  host.UserCloseProject();
  ASSERT_EQ(host.UserReopenProject(), NoError);
  ASSERT_EQ(Menu(), NoError);
  ExpectSame(Now(), before, false);
}

// A record that could not be stored is not the document's: undo reads the
// one stored before instead of saving what the document kept.
TEST_F(AutoAreaHistoryTest, UndoOfAnUpdateWhoseRecordCouldNotBeStoredGivesBackTheStateBefore)
{
  CreateAndTakeZone();
  GrowZone();
  const UpdateState before = Now();
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  Update();
  ASSERT_EQ(host.Alerts().size(), 1u);
  ASSERT_EQ(host.UserUndo(), NoError);
  ExpectSame(Now(), before);
}

// A figure whose observer the host refuses, whether it is the first or a
// later one of the cut, goes again with the rest of the update: every part
// left on the plan is a listed figure, and the failure is shown once. So
// does the zone's own observer, asked for after the figures (its refusal
// once left the new figures placed and the element taking the zone
// without them).
TEST_F(AutoAreaHistoryTest, ARefusedObserverLeavesNoFigureElementOutsideTheListAndIsReportedOnce)
{
  CreateAndTakeZone();
  GrowZone();
  for (int refused : {1, 2, 3}) {
    SCOPED_TRACE(refused);
    Record(zone)->m_bChanged = true;
    const UpdateState before = Now();
    const std::size_t alerts = host.Alerts().size();
    for (int k = 1; k < refused; ++k)
      host.FailOnce("ACAPI_Element_AttachObserver", NoError);
    host.FailOnce("ACAPI_Element_AttachObserver", APIERR_GENERAL);
    Update();
    EXPECT_EQ(host.Alerts().size(), alerts + 1);
    ExpectSame(Now(), before, false);
    std::set<std::string> listed;
    for (const CFloorParam& floor : doc().m_FloorParamArray)
      for (const auto& figure : floor.m_Area1ObjectArray)
        listed.insert(APIGuidToString(figure->m_Element.header.guid).ToStdString(CC_UTF8));
    std::set<std::string> onPlan;
    for (const API_Guid& part : host.ElementsOfType(API_ObjectID))
      onPlan.insert(APIGuidToString(part).ToStdString(CC_UTF8));
    EXPECT_EQ(onPlan, listed);
  }
}

// Each read of the zone's outline that an update makes may fail: the
// failure is shown once, and the zone keeps its figures, their entries in
// the elements and its changed mark (an outline that could not be read once
// passed for an empty one, and the figures went without a word).
TEST_F(AutoAreaHistoryTest, AnOutlineThatCannotBeReadKeepsTheFiguresAndIsReportedOnce)
{
  CreateAndTakeZone();
  GrowZone();
  const UpdateState before = Now();
  ASSERT_TRUE(before.changed);
  host.ClearCallLog();
  Update();
  const auto& calls = host.CallLog();
  const auto reads = std::count(calls.begin(), calls.end(), std::string("ACAPI_Element_GetMemo"));
  ASSERT_GE(reads, 1);
  ASSERT_EQ(host.UserUndo(), NoError);
  ExpectSame(Now(), before);

  for (int failing = 1; failing <= reads; ++failing) {
    SCOPED_TRACE(failing);
    const std::size_t alerts = host.Alerts().size();
    for (int k = 1; k < failing; ++k)
      host.FailOnce("ACAPI_Element_GetMemo", NoError);
    host.FailOnce("ACAPI_Element_GetMemo", APIERR_GENERAL);
    Update();
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_EQ(host.Alerts().back().largeText.ToStdString(CC_UTF8).find("Z-1(LDK) の自動作成区画を更新できません：("),
              0u);
    EXPECT_NE(host.Alerts().back().largeText.ToStdString().find(")APIERR_GENERAL"), std::string::npos);
    ExpectSame(Now(), before, false);  // the document is saved in any case, its mark now included
    EXPECT_EQ(Column(4), (std::vector<std::u16string>{u"有", u"無"}));
  }
}

// Any read of an element that an update makes may fail, those of the old
// figures while they are deleted too: the update is then whole or not at
// all. Failed, the zone keeps every old figure and its entries and the
// failure is shown once, naming the zone (one old figure once went and the
// other stayed, with two alerts). So is a failed user-data write; either
// way the element taking the zone lists exactly the zone's figures.
TEST_F(AutoAreaHistoryTest, EachFailedReadOrWriteLeavesTheZoneWholeOrUpdatedAndIsReportedOnceNamingIt)
{
  CreateAndTakeZone();
  GrowZone();
  const UpdateState before = Now();
  host.ClearCallLog();
  Update();
  const std::vector<std::string> calls = host.CallLog();
  // The undone record is read again at the user's next action, which that
  // takes: a row is selected first.
  auto undo = [&] {
    ASSERT_EQ(host.UserUndo(), NoError);
    page().SelectRows(kList, {1});
  };
  undo();
  ExpectSame(Now(), before);
  auto listedExactly = [&] {
    std::set<int> listed;
    for (const CArea2List& entry : doc().m_Area2ObjectArray.back().m_FloorArray.FindFloor(0)->m_List)
      listed.insert(entry.m_pArea1->m_Code);
    std::set<int> figures;
    for (const auto& figure : FiguresOf(zone))
      figures.insert(figure->m_Code);
    return listed == figures;
  };

  for (const std::string call : {"ACAPI_Element_Get", "ACAPI_Element_SetUserData"}) {
    int failed = 0;
    for (int failing = 1; failing <= std::count(calls.begin(), calls.end(), call); ++failing) {
      SCOPED_TRACE(call + " " + std::to_string(failing));
      const std::size_t alerts = host.Alerts().size();
      const std::size_t steps = host.UndoNames().size();
      for (int k = 1; k < failing; ++k)
        host.FailOnce(call, NoError);
      host.FailOnce(call, APIERR_MEMFULL);
      Update();
      EXPECT_TRUE(listedExactly());
      if (host.Alerts().size() == alerts) {
        EXPECT_EQ(SignedArea(zone), 2700000000LL);  // a call the update can do without
        EXPECT_FALSE(Record(zone)->m_bChanged);
      } else {
        ++failed;
        ASSERT_EQ(host.Alerts().size(), alerts + 1);
        EXPECT_TRUE(host.Alerts().back().largeText ==
                    GS::UniString(u"Z-1(LDK) の自動作成区画を更新できません：") + GSReportText(APIERR_MEMFULL));
        if (call == "ACAPI_Element_Get")
          ExpectSame(Now(), before, false);
      }
      if (host.UndoNames().size() > steps)
        undo();
      ExpectSame(Now(), before);
    }
    EXPECT_GE(failed, 3);  // reads: the zone's own and those of its two old figures
  }
}

// A figure left out at opening may be a piece of any automatic area of its
// story: cut again, the area would count twice once that figure can be
// read. Update and a second creation leave every area of that story as it
// is and name them in one alert; with the unread part gone, the update
// runs.
TEST_F(AutoAreaHistoryTest, AStoryWithAFigureLeftOutAtOpeningIsNotCutAgain)
{
  CreateAndTakeZone();
  const API_Guid damaged = FiguresOf(zone).front()->m_Element.header.guid;
  pln::host::StoredUserData data = *host.Element(damaged)->userData;
  ASSERT_EQ(host.SetUserData(damaged, short(data.dataVersion + 1), data.platformSign, data.bytes), NoError);
  host.UserSaveProject();
  host.UserCloseProject();
  ASSERT_EQ(host.UserReopenProject(), NoError);
  OpenPage();
  ASSERT_EQ(host.Alerts().size(), 1u);  // the opening's, naming the figure as the plan and its element show it
  EXPECT_TRUE(host.Alerts()[0].largeText ==
              GS::UniString(u"次の求積区画のデータを読み込めません。集計から外しました：\n1F　□A（廊下）：データのバージョンが異なります"));
  GrowZone();
  Record(zone)->m_bChanged = true;
  Record(slab)->m_bChanged = true;
  const UpdateState before = Now();
  const GS::UniString notUpdated(
      u"次の自動作成区画は更新しませんでした。同じ階に読み込めない求積区画があり、面積が二重に集計されるおそれがあります：\n1F　"
      u"Z-1(LDK)\n1F　S-1(ｽﾗﾌﾞ)");
  page().SelectRows(kList, {1, 2});
  page().Click(CPlenimetraFunc3::kUpdate);
  ASSERT_EQ(host.Alerts().size(), 2u);
  EXPECT_TRUE(host.Alerts().back().largeText == notUpdated);
  ExpectSame(Now(), before, false);
  EXPECT_FALSE(host.Element(damaged)->deleted);
  Create({zone});
  ASSERT_EQ(host.Alerts().size(), 3u);
  EXPECT_TRUE(host.Alerts().back().largeText ==
              GS::UniString(u"次の自動作成区画は更新しませんでした。同じ階に読み込めない求積区画があり、面積が二重に集計されるおそれがあります：\n1F　Z-1(LDK)"));
  ExpectSame(Now(), before, false);

  ASSERT_EQ(host.UserDelete({damaged}), NoError);
  Update();
  EXPECT_EQ(host.Alerts().size(), 3u);
  EXPECT_EQ(SignedArea(zone), 2700000000LL);
}

// Releasing with the figures deleted spans the document and the plan too.
TEST_F(AutoAreaHistoryTest, UndoOfAReleaseBringsBackTheRecordTheFiguresAndTheirEntries)
{
  CreateAndTakeZone();
  const UpdateState before = Now();
  Release({1}, true);
  ASSERT_EQ(Record(zone), nullptr);
  ASSERT_EQ(host.UserUndo(), NoError);
  ExpectSame(Now(), before);
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"Z-1(LDK)", u"S-1(ｽﾗﾌﾞ)"}));
}

// A release of two areas with their figures is one change or none: a stop
// asked for at the progress window's first question, or any host call of
// the release failed in turn, leaves both released or both kept with every
// figure, entry and stored record, and a kept release is told naming both
// (one area once went and the other stayed, told by a bare error code or
// not at all).
TEST_F(AutoAreaHistoryTest, AStopOrAnyFailedCallReleasesBothAreasOrNeitherAndNamesWhatWasKept)
{
  CreateAndTakeZone();
  const UpdateState before = Now();
  const std::vector<char> zoneStore = host.Element(zone)->userData->bytes;
  const auto figures = Figures(0);
  const std::string kept = GS::UniString(u"次の自動作成区画は解除しませんでした：\n1F　Z-1(LDK)\n1F　S-1(ｽﾗﾌﾞ)")
                               .ToStdString(CC_UTF8);
  auto released = [&] { return Records().empty() && Figures(0).empty() && Deleted(figures) == figures.size(); };
  auto keptWhole = [&] {
    ExpectSame(Now(), before);
    EXPECT_EQ(Records().size(), 2u);
    EXPECT_EQ(Deleted(figures), 0u);
    EXPECT_EQ(host.Element(zone)->userData->bytes, zoneStore);
  };
  auto undo = [&](std::size_t steps) {
    if (host.UndoNames().size() > steps) {
      ASSERT_EQ(host.UserUndo(), NoError);
    }
    keptWhole();
  };

  host.QueueProgressCancel(0);
  std::size_t steps = host.UndoNames().size();
  Release({1, 2}, true);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts().back().largeText.ToStdString(CC_UTF8), kept);
  keptWhole();
  undo(steps);

  host.ClearCallLog();
  steps = host.UndoNames().size();
  Release({1, 2}, true);
  const std::vector<std::string> calls = host.CallLog();
  ASSERT_TRUE(released());
  undo(steps);

  std::map<std::string, int> seen;
  int keptCases = 0;
  for (const std::string& call : calls) {
    if (call.rfind("ACAPI_", 0) != 0)
      continue;
    const int failing = ++seen[call];
    SCOPED_TRACE(call + " " + std::to_string(failing));
    for (int k = 1; k < failing; ++k)
      host.FailOnce(call, NoError);
    host.FailOnce(call, APIERR_MEMFULL);
    const std::size_t alerts = host.Alerts().size();
    steps = host.UndoNames().size();
    Release({1, 2}, true);
    for (std::size_t a = alerts; a < host.Alerts().size(); ++a)
      EXPECT_NE(host.Alerts()[a].largeText.ToStdString(CC_UTF8).front(), '(');  // never a bare code
    if (!released()) {
      ++keptCases;
      ASSERT_GT(host.Alerts().size(), alerts);
      EXPECT_EQ(host.Alerts().back().largeText.ToStdString(CC_UTF8).find(kept), 0u);
      keptWhole();
    }
    undo(steps);
  }
  EXPECT_GE(keptCases, 6);  // at least: the two stores emptied, the figures read, their deletion
}

TEST_F(AutoAreaPageTest, ReleasingKeepsOrDeletesTheFiguresAndDropsTheSourceFromElements)
{
  CreateBoth();
  CArea2ObjectFloor& corridor = Taking(zone);
  const auto zoneFigures = FiguresOf(zone);
  Release({1}, false);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[自動作成区画削除]"));
  EXPECT_EQ(Record(zone), nullptr);
  EXPECT_TRUE(corridor.m_AutoAreaGuidArray.empty());
  EXPECT_EQ(Deleted(zoneFigures), 0u);
  for (const auto& figure : zoneFigures)
    EXPECT_TRUE(figure->m_AutoArea.m_ElemGuid.IsNull());
  EXPECT_EQ(Column(1), std::vector<std::u16string>{u"S-1(ｽﾗﾌﾞ)"});
  EXPECT_FALSE(host.Progress().open);

  // The slab with its figures; the gaps close.
  doc().m_EnvParam.m_NumberFillGaps = true;
  const auto slabFigures = FiguresOf(slab);
  Release({1}, true);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(Deleted(slabFigures), slabFigures.size());
  EXPECT_EQ(Figures(0).size(), zoneFigures.size());
  EXPECT_TRUE(NumberedWithoutGaps());
  EXPECT_TRUE(List().rows.empty());
}

TEST_F(AutoAreaPageTest, DeletingTheSlabDropsItsRowAndLeavesItsFiguresUnlinked)
{
  CreateBoth();
  const auto slabFigures = FiguresOf(slab);
  ASSERT_EQ(host.UserDelete({slab}), NoError);
  EXPECT_EQ(Record(slab), nullptr);
  EXPECT_EQ(Deleted(slabFigures), 0u);
  for (const auto& figure : slabFigures)
    EXPECT_TRUE(figure->m_AutoArea.m_ElemGuid.IsNull());
  EXPECT_EQ(Column(1), std::vector<std::u16string>{u"Z-1(LDK)"});
}

TEST_F(AutoAreaPageTest, RecordsThatLostTheirDataGoWithTheirFiguresAndLaterOnesAreStillExamined)
{
  const API_Guid zone2 = AddPolygon(API_ZoneID, {{{20, 0}, {22, 0}, {22, 2}, {20, 2}}}, u"Z-2");
  OpenPage();
  Create({zone, slab, zone2});
  doc().m_EnvParam.m_NumberFillGaps = true;
  CArea2ObjectFloor& corridor = Taking(zone);
  corridor.m_AutoAreaGuidArray.Add(ToGSGuid(slab));
  const auto dead = FiguresOf(zone);
  const auto deadToo = FiguresOf(slab);
  ASSERT_EQ(CAutoAreaParam(*Record(zone)).ClearData(&doc()), NoError);
  ASSERT_EQ(CAutoAreaParam(*Record(slab)).ClearData(&doc()), NoError);
  palette().SendUpdateMessage(Hint::ElementsChanged);
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_NE(Record(zone2), nullptr);
  EXPECT_EQ(Deleted(dead), dead.size());
  EXPECT_EQ(Deleted(deadToo), deadToo.size());
  EXPECT_TRUE(corridor.m_AutoAreaGuidArray.empty());
  EXPECT_EQ(Numbers(0), (std::vector<int>{0}));
  EXPECT_EQ(Column(1), std::vector<std::u16string>{u"Z-2()"});
}

TEST_F(AutoAreaPageTest, RowsAndPlanSelectEachOtherAndButtonsFollowTheRows)
{
  CreateBoth();
  EXPECT_FALSE(pln::host::DialogItemState(pageId, CPlenimetraFunc3::kRelease)->enabled);
  EXPECT_FALSE(pln::host::DialogItemState(pageId, CPlenimetraFunc3::kUpdate)->enabled);
  page().SelectRows(kList, {2});
  API_SelectionInfo info;
  GS::Array<API_Neig> selection;
  ASSERT_EQ(ACAPI_Selection_Get(&info, &selection, false), NoError);
  ASSERT_EQ(selection.GetSize(), 1u);
  EXPECT_EQ(selection[0].guid, slab);
  EXPECT_TRUE(pln::host::DialogItemState(pageId, CPlenimetraFunc3::kRelease)->enabled);
  EXPECT_TRUE(pln::host::DialogItemState(pageId, CPlenimetraFunc3::kUpdate)->enabled);

  ASSERT_EQ(host.UserSelect({line, zone}), NoError);
  EXPECT_EQ(SelectedRows(), std::vector<short>{1});
  ASSERT_EQ(host.UserSelect({}), NoError);
  EXPECT_TRUE(SelectedRows().empty());
  EXPECT_FALSE(pln::host::DialogItemState(pageId, CPlenimetraFunc3::kUpdate)->enabled);
  EXPECT_FALSE(palette().m_bIgnoreSelection);
}

TEST_F(AutoAreaPageTest, HeaderClicksSortTheRecordsKeepTheSelectionAndOutliveThePage)
{
  CreateBoth();
  page().SelectRows(kList, {1});  // Z-1
  page().HeaderClick(kList, 1);
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"S-1(ｽﾗﾌﾞ)", u"Z-1(LDK)"}));
  EXPECT_EQ(Arrows(), (std::vector<short>{1, 0, 0, 0, 0}));
  EXPECT_EQ(SelectedRows(), std::vector<short>{2});
  EXPECT_EQ(Records()[0].GetGuid(), slab);
  page().HeaderClick(kList, 1);
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"Z-1(LDK)", u"S-1(ｽﾗﾌﾞ)"}));
  EXPECT_EQ(Arrows(), (std::vector<short>{2, 0, 0, 0, 0}));
  EXPECT_EQ(SelectedRows(), std::vector<short>{1});
  const int before = Stores();
  page().HeaderClick(kList, 1);
  EXPECT_EQ(Arrows(), (std::vector<short>{1, 0, 0, 0, 0}));
  EXPECT_GT(Stores(), before);

  // Another column starts ascending and clears the first arrow: "有" < "無".
  Records()[1].m_bChanged = true;
  page().HeaderClick(kList, 4);
  EXPECT_EQ(Arrows(), (std::vector<short>{0, 0, 0, 1, 0}));
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"Z-1(LDK)", u"S-1(ｽﾗﾌﾞ)"}));

  page().Click(CPlenimetraFunc3::kBack);
  EXPECT_EQ(pln::host::OpenDialogId(CPlenimetraFunc3::ResourceId), 0);
  OpenPage();
  EXPECT_EQ(Column(1), (std::vector<std::u16string>{u"Z-1(LDK)", u"S-1(ｽﾗﾌﾞ)"}));
}

}  // namespace

// Every host call of the page's four commands failed once, as a host
// failure and as a refusal for an element not reserved: each alert the
// command raises says in words what was not done (a bare
// "(-2130313215)APIERR_GENERAL" once was the whole alert), and a refusal
// for want of a reservation says so.
class AutoAreaFailureWordsTest : public AutoAreaHistoryTest,
                                 public ::testing::WithParamInterface<std::tuple<const char*, GSErrCode>> {
protected:
  void Run(const std::string& command)
  {
    if (command == "create") {
      Create({zone, slab});
    } else if (command == "check") {
      page().Click(CPlenimetraFunc3::kCheck);
    } else if (command == "update") {
      Update();
    } else {
      Release({1}, true);
    }
  }
};

TEST_P(AutoAreaFailureWordsTest, EveryAlertOfAFailedCommandSaysInWordsWhatWasNotDone)
{
  const std::string command = std::get<0>(GetParam());
  const GSErrCode code = std::get<1>(GetParam());
  host.SetUndoDepth(1000);
  CreateAndTakeZone();
  GrowZone();
  const std::size_t steps = host.UndoNames().size();
  host.ClearCallLog();
  Run(command);
  const std::set<std::string> calls(host.CallLog().begin(), host.CallLog().end());
  int worded = 0;
  std::size_t raised = 0;
  for (const std::string& call : calls) {
    if (call.rfind("ACAPI_", 0) != 0)
      continue;
    SCOPED_TRACE(call);
    while (host.UndoNames().size() > steps)
      ASSERT_EQ(host.UserUndo(), NoError);
    const std::size_t alerts = host.Alerts().size();
    host.FailOnce(call, code);
    Run(command);
    raised += host.Alerts().size() - alerts;
    for (std::size_t a = alerts; a < host.Alerts().size(); ++a) {
      const std::string text = host.Alerts()[a].largeText.ToStdString(CC_UTF8);
      EXPECT_TRUE(SaysInWords(host.Alerts()[a].largeText)) << text;
      if (code == APIERR_NOTMINE) {
        EXPECT_EQ(text.find("APIERR_NOTMINE"), std::string::npos) << text;
        worded += text.find("確保されていない") != std::string::npos ? 1 : 0;
      }
    }
  }
  EXPECT_GT(raised, 0u);
  if (code == APIERR_NOTMINE) {
    EXPECT_GT(worded, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, AutoAreaFailureWordsTest,
                         ::testing::Combine(::testing::Values("create", "check", "update", "release"),
                                            ::testing::Values(APIERR_GENERAL, APIERR_NOTMINE)));

// A cut leaves the story's automatic areas in the order a reopen loads them
// (the zone before the slab, whichever was picked first or cut last), each
// with the figures a reopen links to it. Figures kept by a release belong
// to the user from then on: their stored records no longer name the zone,
// so no later cut of it lists them.
enum class CutCase { SlabPickedFirst, AgainAfterAReleaseKeepingTheFigures, AgainAfterAReleaseDeletingThem };

class AutoAreaCutAgainTest : public AutoAreaHistoryTest {
protected:
  // Per record in order, its source and its figures' codes.
  std::vector<std::pair<std::string, std::vector<int>>> Areas()
  {
    std::vector<std::pair<std::string, std::vector<int>>> areas;
    for (const CAutoAreaParam& record : Records()) {
      std::vector<int> codes;
      for (const auto& figure : record.GetAutoArea(&doc()))
        codes.push_back(figure->m_Code);
      areas.emplace_back(APIGuidToString(record.GetGuid()).ToStdString(CC_UTF8), codes);
    }
    return areas;
  }
  // Each figure's stored link is the document's, and each record is stored.
  void ExpectStoredAsShown()
  {
    for (const auto& figure : Figures(0)) {
      CArea1ObjectCore stored;
      ASSERT_EQ(stored.Load(&figure->m_Element.header), NoError);
      EXPECT_EQ(stored.m_AutoArea.m_ElemGuid, figure->m_AutoArea.m_ElemGuid) << figure->m_Code;
    }
    for (const CAutoAreaParam& record : Records()) {
      bool has = false;
      ASSERT_EQ(record.FindData(&doc(), has), NoError);
      EXPECT_TRUE(has);
    }
  }
  void Reopen()
  {
    host.UserSaveProject();
    host.UserCloseProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    OpenPage();
  }
  // The zone cut again after its release; the figures the release kept.
  std::vector<std::shared_ptr<CArea1Object>> CutAgain(bool deleteFigures)
  {
    CreateBoth();
    const auto kept = deleteFigures ? std::vector<std::shared_ptr<CArea1Object>>{} : FiguresOf(zone);
    Release({1}, deleteFigures);
    Create({zone});
    return kept;
  }
};

class AutoAreaCutOrderTest : public AutoAreaCutAgainTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(AutoAreaCutOrderTest, ACutShowsTheAreasAndFiguresAReopenLoads)
{
  if (GetParam() == CutCase::SlabPickedFirst) {
    OpenPage();
    Create({slab, zone});
  } else {
    CutAgain(GetParam() == CutCase::AgainAfterAReleaseDeletingThem);
  }
  const auto shown = Areas();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown.front().first, APIGuidToString(zone).ToStdString(CC_UTF8));
  ExpectStoredAsShown();
  Reopen();
  EXPECT_EQ(Areas(), shown);
  EXPECT_TRUE(host.Alerts().empty());
}

INSTANTIATE_TEST_SUITE_P(Cuts, AutoAreaCutOrderTest,
                         ::testing::Values(CutCase::SlabPickedFirst, CutCase::AgainAfterAReleaseKeepingTheFigures,
                                           CutCase::AgainAfterAReleaseDeletingThem));

// After a reopen the zone's update re-cuts its own figures only (it once
// deleted the kept ones too, and its CSV table listed them twice).
TEST_F(AutoAreaCutAgainTest, AnUpdateAfterReopeningLeavesTheFiguresAReleaseKept)
{
  const auto kept = CutAgain(false);
  Reopen();
  GrowZone();
  Update();
  EXPECT_EQ(Deleted(kept), 0u);
  EXPECT_NE(FiguresOf(zone).size(), 0u);
  for (const auto& figure : kept)
    EXPECT_TRUE(Figures(0).Search(&figure->m_Element.header) != nullptr);
  EXPECT_EQ(Figures(0).size(), kept.size() + FiguresOf(zone).size() + FiguresOf(slab).size());
  ExpectStoredAsShown();
}

// A release that keeps the figures is whole or not done: when the store of
// any kept figure fails, the zone's record and every figure's stored link
// are as before, and the area stays listed.
TEST_F(AutoAreaCutAgainTest, AReleaseKeepingFiguresThatCannotStoreOneKeepsTheAreaWhole)
{
  CreateBoth();
  const std::size_t figures = FiguresOf(zone).size();
  ASSERT_GE(figures, 2u);
  const std::vector<char> zoneStore = host.Element(zone)->userData->bytes;
  // The zone's store is emptied first, then the figures are stored in turn.
  for (std::size_t k = 1; k <= figures; ++k) {
    SCOPED_TRACE(k);
    for (std::size_t pass = 0; pass < k; ++pass)
      host.FailOnce("ACAPI_Element_SetUserData", NoError);
    host.FailOnce("ACAPI_Element_SetUserData", APIERR_MEMFULL);
    const std::size_t alerts = host.Alerts().size();
    Release({1}, false);
    EXPECT_GT(host.Alerts().size(), alerts);
    ASSERT_NE(Record(zone), nullptr);
    EXPECT_EQ(FiguresOf(zone).size(), figures);
    EXPECT_EQ(host.Element(zone)->userData->bytes, zoneStore);
    ExpectStoredAsShown();
  }
}
