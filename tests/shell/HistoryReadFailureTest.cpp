// Undo and Redo on the example's house while a host call fails, and what
// the palette shows after them. A failed read never drops figures from
// their elements unseen: the calculation is the one before or after the
// step, or the user is told in words and the stored record stays as Undo
// or Redo left it. A step that changed no project record is shown too.

#include "../AlertWords.h"
#include "CDlgAutoAreaCreate.h"
#include "CDlgAutoAreaRelease.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_manager.h"
#include "dg_user.h"
#include "host_errors.h"
#include "host_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using pln::host::DialogUser;
using Tree = CPlenimetraFunc2;
using AutoPage = CPlenimetraFunc3;

constexpr short kMenu = 32500;
constexpr short kAutoAreaPage = 10;
constexpr short kFigurePage = 11;
constexpr short kTreePage = 12;

enum class Edit { Outline, Figure, Cell, Assignment, Release, Update, Reorder };
enum class Step { Undo, Redo };

class HistoryReadFailureTest : public ::testing::Test {
protected:
  // Whatever a test made fail, the user is told in words.
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  // The house with its automatic areas cut and assigned, saved.
  HistoryReadFailureTest()
  {
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    host.UserSaveProject();
    saved = static_cast<const pln::host::ProjectData&>(pln::host::TheModel());
  }

  static CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
  std::vector<char> Record() const
  {
    const auto record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
    return record.has_value() ? record->bytes : std::vector<char>{};
  }
  std::size_t PlacedFigures() const
  {
    std::size_t count = 0;
    for (const CFloorParam& floor : Palette().m_Param.m_FloorParamArray)
      count += floor.m_Area1ObjectArray.size();
    return count;
  }
  // The saved project opened again, with the palette.
  void Reopen()
  {
    host.UserCloseProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    if (!Palette().IsToolPaletteOpened()) {
      ASSERT_EQ(host.UserChooseMenuItem(kMenu, 1), NoError);
    }
  }
  // The house as the constructor saved it, opened again whatever was saved
  // since, and saved once more: the record is then the document's own, so
  // an edit that changes no record leaves it as it is.
  void ReopenAsSaved()
  {
    host.UserCloseProject();
    pln::host::OpenProjectData(saved);
    host.UserSaveProject();
    Reopen();
    host.UserSaveProject();
  }
  std::vector<GS::UniString> AlertsSince(std::size_t before) const
  {
    std::vector<GS::UniString> texts;
    for (std::size_t i = before; i < host.Alerts().size(); ++i)
      texts.push_back(host.Alerts()[i].largeText);
    return texts;
  }

  API_Guid Zone(short story, const char16_t* name) const
  {
    for (API_Guid guid : host.ElementsOfType(API_ZoneID)) {
      const auto* zone = host.Element(guid);
      if (zone->element.header.floorInd == story && GS::UniString(zone->element.zone.roomName) == GS::UniString(name))
        return guid;
    }
    ADD_FAILURE() << "no zone";
    return {};
  }
  // The LDK zone gets a vertex: its automatic area needs updating.
  void EditOutline()
  {
    ASSERT_EQ(host.UserChangeStory(0), NoError);
    const API_Guid zone = Zone(0, u"LDK");
    const auto* stored = host.Element(zone);
    std::vector<API_Coord> c(stored->memo.coords.begin() + 1, stored->memo.coords.end() - 1);
    c.insert(c.begin() + 1, API_Coord{(c[0].x + c[1].x) / 2, (c[0].y + c[1].y) / 2 + 0.3});
    PolygonMemo memo({c});
    ASSERT_EQ(host.UserSetOutline(zone, memo), NoError);
  }
  DialogUser AutoAreaPage()
  {
    for (int tries = 0; tries < 2 && pln::host::OpenDialogId(AutoPage::ResourceId) == 0; ++tries)
      DialogUser(Palette().m_PaletteID).Click(kAutoAreaPage);
    return DialogUser(pln::host::OpenDialogId(AutoPage::ResourceId));
  }
  std::size_t Rows(const DialogUser& page) const
  {
    return pln::host::DialogItemState(page.DialogId(), AutoPage::kList)->list.rows.size();
  }
  // The automatic-area page with every row selected, ready for an update.
  DialogUser AutoAreaPageAllSelected()
  {
    DialogUser page = AutoAreaPage();
    std::vector<short> rows;
    for (std::size_t r = 1; r <= Rows(page); ++r)
      rows.push_back(static_cast<short>(r));
    page.SelectRows(AutoPage::kList, rows);
    return page;
  }
  // The tree page on 床面積 with the list of the radio button.
  DialogUser TreePage(short radio)
  {
    for (int tries = 0; tries < 2 && pln::host::OpenDialogId(Tree::ResourceId) == 0; ++tries)
      DialogUser(Palette().m_PaletteID).Click(kTreePage);
    const auto& entries = pln::host::DialogItemState(Palette().m_PaletteID, CPlenimetraPalette::kPatterns)->entries;
    const short shown = DGPopUpGetSelected(Palette().m_PaletteID, CPlenimetraPalette::kPatterns);
    for (std::size_t i = 0; i < entries.size(); ++i)
      if ((entries[i].text == GS::UniString(u"床面積") || entries[i].text == GS::UniString(u"*床面積")) &&
          shown != static_cast<short>(i + 1))
        DialogUser(Palette().m_PaletteID).SelectPopUp(CPlenimetraPalette::kPatterns, static_cast<short>(i + 1));
    DialogUser page(pln::host::OpenDialogId(Tree::ResourceId));
    page.SetLong(radio, 1);
    for (const auto& [id, item] : pln::host::DialogItemState(page.DialogId(), Tree::ITEM_TREE)->tree.items)
      if (item.text.GetPrefix(4) == GS::UniString(u"非居室["))
        page.SelectTreeItems(Tree::ITEM_TREE, {id});
    return page;
  }
  static void Choose(DialogUser& page, short item, const char16_t* text)
  {
    const auto& entries = pln::host::DialogItemState(page.DialogId(), item)->entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].text == GS::UniString(text))
        page.SelectPopUp(item, static_cast<short>(i + 1));
  }
  // 2階's balcony released with its figure kept: the figure is in no
  // element, so the project record stays as it was.
  void ReleaseBalcony()
  {
    ASSERT_EQ(host.UserChangeStory(1), NoError);
    DialogUser page = AutoAreaPage();
    ASSERT_EQ(Rows(page), 9u);
    page.SelectRows(AutoPage::kList, {9});
    host.QueueDialogScript(CDlgAutoAreaRelease::ResourceId, [](DialogUser& dialog) {
      dialog.Check(CDlgAutoAreaRelease::kItemDeleteFigures, false);
      dialog.Click(1);
    });
    page.Click(AutoPage::kRelease);
  }

  // Every kind of edit the user can undo, on the palette's pages or in the
  // plan; the step it leaves is the one undone.
  void Make(Edit edit)
  {
    switch (edit) {
    case Edit::Outline:
      EditOutline();
      break;
    case Edit::Figure: {
      // The first figure on a layer the user can edit.
      ASSERT_EQ(host.UserChangeStory(0), NoError);
      const auto figures = Palette().m_Param.m_FloorParamArray.Search(0)->m_Area1ObjectArray;
      bool moved = false;
      for (std::size_t i = 0; i < figures.size() && !moved; ++i)
        moved = host.UserMove({figures[i]->m_Element.header.guid}, API_Coord{0.5, 0}) == NoError;
      ASSERT_TRUE(moved);
      break;
    }
    case Edit::Cell: {
      DialogUser page = TreePage(Tree::ITEM_RADIO_AREA);
      page.SetText(Tree::ITEM_AREA_NAME, GS::UniString(u"非居室B"));
      break;
    }
    case Edit::Assignment: {
      ASSERT_EQ(host.UserChangeStory(0), NoError);
      DialogUser page = TreePage(Tree::ITEM_RADIO_AUTO);
      std::vector<short> rows;
      const auto& list = pln::host::DialogItemState(page.DialogId(), Tree::ITEM_AUTO_LIST)->list.rows;
      for (std::size_t r = 0; r < list.size(); ++r)
        if (list[r].texts.count(2) != 0 && list[r].texts.at(2) == GS::UniString(u"非居室"))
          rows.push_back(static_cast<short>(r + 1));
      ASSERT_FALSE(rows.empty());
      page.SelectRows(Tree::ITEM_AUTO_LIST, rows);
      Choose(page, Tree::ITEM_AUTO_OPERATOR, u"未定義");
      break;
    }
    case Edit::Release:
      ReleaseBalcony();
      break;
    case Edit::Update: {
      EditOutline();
      DialogUser page = AutoAreaPageAllSelected();
      page.Click(AutoPage::kUpdate);
      break;
    }
    case Edit::Reorder: {
      // Row 7 of 1階's figure list dragged below row 10.
      ASSERT_EQ(host.UserChangeStory(0), NoError);
      DialogUser page = FigurePage();
      page.SelectRows(CPlenimetraFunc1::kList, {7});
      page.DragAndDrop(CPlenimetraFunc1::kList, CPlenimetraFunc1::kList, 10, DG_DRAG_INSERT_UNDER);
      break;
    }
    }
  }
  DialogUser FigurePage()
  {
    for (int tries = 0; tries < 2 && pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId) == 0; ++tries)
      DialogUser(Palette().m_PaletteID).Click(kFigurePage);
    return DialogUser(pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId));
  }
  // The user clicks each row of 1階's figure list and of its detail list.
  void ClickEveryRow()
  {
    ASSERT_EQ(host.UserChangeStory(0), NoError);
    DialogUser figures = FigurePage();
    const std::size_t listed =
        pln::host::DialogItemState(figures.DialogId(), CPlenimetraFunc1::kList)->list.rows.size();
    for (std::size_t row = 1; row <= listed; ++row)
      figures.SelectRows(CPlenimetraFunc1::kList, {static_cast<short>(row)});
    DialogUser detail = TreePage(Tree::ITEM_RADIO_DETAIL);
    const std::size_t rows = pln::host::DialogItemState(detail.DialogId(), Tree::ITEM_DETAIL_LIST)->list.rows.size();
    for (std::size_t row = 1; row <= rows; ++row)
      detail.SelectRows(Tree::ITEM_DETAIL_LIST, {static_cast<short>(row)});
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
  pln::host::ProjectData saved;
};

// An alert with words: a bare "(code)NAME" tells the user nothing.
void ExpectWorded(const std::vector<GS::UniString>& alerts)
{
  for (const GS::UniString& text : alerts)
    EXPECT_NE(text.GetPrefix(1), GS::UniString(u"(")) << text.ToStdString(CC_UTF8);
}

// Undo of a release that left the record as it was: the page lists the
// area again at once, through Redo and Undo, and cutting the zone again
// replaces the figure Undo brought back instead of placing a second one.
TEST_F(HistoryReadFailureTest, UndoOfARecordlessReleaseIsShownAndCuttingAgainFindsTheFigure)
{
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  DialogUser page = AutoAreaPage();
  const std::vector<char> record = Record();
  const std::size_t figures = PlacedFigures();
  const std::size_t objects = host.ElementsOfType(API_ObjectID).size();
  ReleaseBalcony();
  ASSERT_EQ(Rows(page), 8u);
  ASSERT_EQ(Record(), record);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(Rows(page), 9u);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(Rows(page), 8u);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(Rows(page), 9u);
  const std::size_t alerts = host.Alerts().size();
  ASSERT_EQ(host.UserSelect({Zone(1, u"バルコニー")}), NoError);
  host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) {
    dialog.SetLong(CDlgAutoAreaCreate::kItemCutFirst + 1, 1);
    dialog.Click(1);
  });
  page.Click(AutoPage::kCreate);
  EXPECT_EQ(host.Alerts().size(), alerts);
  EXPECT_EQ(Rows(page), 9u);
  EXPECT_EQ(PlacedFigures(), figures);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), objects);
  host.UserSaveProject();
  Reopen();
  EXPECT_EQ(PlacedFigures(), figures);
}

// The update's record cannot be stored; a rename stores it in its own step,
// and Undo of the rename alone puts back a record that lists the figures
// the update replaced: said in words, and that record is not written over.
TEST_F(HistoryReadFailureTest, AnUpdateWhoseStoreFailedIsToldAndItsUndoneRecordKept)
{
  Reopen();
  // The tree page shows 床面積 before the update: choosing it is a step of
  // its own.
  static_cast<void>(TreePage(Tree::ITEM_RADIO_AREA));
  const std::string before = flow.Totals();
  EditOutline();
  DialogUser page = AutoAreaPageAllSelected();
  std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_ModulData_Store", APIERR_GENERAL);
  page.Click(AutoPage::kUpdate);
  std::vector<GS::UniString> told = AlertsSince(alerts);
  ASSERT_EQ(told.size(), 1u);
  ExpectWorded(told);
  const std::string updated = flow.Totals();
  ASSERT_NE(updated, before);
  page.Click(AutoPage::kBack);
  DialogUser tree = TreePage(Tree::ITEM_RADIO_AREA);
  tree.SetText(Tree::ITEM_AREA_NAME, GS::UniString(u"非居室B"));
  alerts = host.Alerts().size();
  ASSERT_EQ(host.UserUndo(), NoError);
  told = AlertsSince(alerts);
  const std::vector<char> undone = Record();
  ASSERT_EQ(told.size(), 1u);
  ExpectWorded(told);
  host.UserSaveProject();
  EXPECT_EQ(Record(), undone);
  // Redo gives back the record that matches the figures; opened again,
  // the palette shows the update.
  ASSERT_EQ(host.UserRedo(), NoError);
  ASSERT_EQ(host.UserChooseMenuItem(kMenu, 1), NoError);
  ASSERT_FALSE(Palette().IsToolPaletteOpened());
  ASSERT_EQ(host.UserChooseMenuItem(kMenu, 1), NoError);
  const std::string shown = flow.Totals();
  EXPECT_EQ(shown.substr(shown.find("居室:"), 40), updated.substr(updated.find("居室:"), 40));
}

// Undo of a step that changed only the record, while the record cannot be
// read at that moment: the palette cannot tell what Undo left, and says so
// instead of showing the state before the Undo as if nothing had happened.
TEST_F(HistoryReadFailureTest, ARecordUnreadableAfterUndoIsToldNotShownStale)
{
  Reopen();
  const short palette = Palette().m_PaletteID;
  const short other = DGPopUpGetSelected(palette, CPlenimetraPalette::kPatterns) == 1 ? 2 : 1;
  DialogUser(palette).SelectPopUp(CPlenimetraPalette::kPatterns, other);
  const int chosen = Palette().m_Param.m_CurTreeCode;
  const std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_ModulData_Get", APIERR_MEMFULL);
  ASSERT_EQ(host.UserUndo(), NoError);
  const std::vector<char> undone = Record();
  const std::vector<GS::UniString> told = AlertsSince(alerts);
  if (Palette().m_Param.m_CurTreeCode == chosen) {
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], GS::UniString(u"求積データを最後まで読み込めませんでした（保存されている求積データ："
                                     u"(-2130313214)APIERR_MEMFULL）。\n表示している集計は読み込めた分だけのものです。"
                                     u"保存されている求積データはそのまま残し、読み込みが終わるまで変更を保存しません。"
                                     u"パレットを開き直すと読み込み直します"));
  }
  host.UserSaveProject();
  EXPECT_EQ(Record(), undone);
}

// Every host call of Undo, or of Redo, of each kind of edit failed once in
// turn: after a failure told, no click on a row of the lists crashes;
// saved and opened again, the house shows the totals before or after the
// edit, or the user was told in words and the record Undo or Redo left was
// kept.
// Every occurrence of a call made a few times; of one made often (a read
// per figure or per zone), the first six, the middle and the last two.
std::set<int> Occurrences(int count)
{
  std::set<int> chosen;
  for (int k = 1; k <= std::min(count, 6); ++k)
    chosen.insert(k);
  if (count > 6)
    chosen.insert({(count + 1) / 2, count - 1, count});
  return chosen;
}

using SweepParam = std::tuple<Edit, Step>;
class HistorySweepTest : public HistoryReadFailureTest, public ::testing::WithParamInterface<SweepParam> {};

TEST_P(HistorySweepTest, EachFailedCallLeavesATotalOfTheStepOrIsToldAndKeepsTheRecord)
{
  const Edit edit = std::get<0>(GetParam());
  const Step step = std::get<1>(GetParam());
  ReopenAsSaved();
  const std::string before = flow.Totals();
  Make(edit);
  const std::string after = flow.Totals();
  const auto history = [&] { return step == Step::Undo ? host.UserUndo() : host.UserRedo(); };
  // The calls the step makes when nothing fails.
  ReopenAsSaved();
  Make(edit);
  if (step == Step::Redo) {
    ASSERT_EQ(host.UserUndo(), NoError);
  }
  host.ClearCallLog();
  ASSERT_EQ(history(), NoError);
  std::map<std::string, int> calls;
  for (const std::string& call : host.CallLog())
    if (call.rfind("ACAPI_", 0) == 0)
      ++calls[call];
  ASSERT_FALSE(calls.empty());
  int cases = 0;
  int told = 0;
  for (const auto& [call, count] : calls) {
    for (int k : Occurrences(count)) {
      ++cases;
      SCOPED_TRACE(call + "#" + std::to_string(k));
      ReopenAsSaved();
      Make(edit);
      if (step == Step::Redo) {
        ASSERT_EQ(host.UserUndo(), NoError);
      }
      const std::size_t alerts = host.Alerts().size();
      for (int i = 1; i < k; ++i)
        host.FailOnce(call, NoError);
      host.FailOnce(call, APIERR_GENERAL);
      static_cast<void>(history());
      host.ClearCallLog();
      const std::vector<GS::UniString> shown = AlertsSince(alerts);
      ExpectWorded(shown);
      if (!shown.empty())
        ClickEveryRow();
      const std::vector<char> left = Record();
      host.UserSaveProject();
      const bool kept = Record() == left;
      Reopen();
      const std::string totals = flow.Totals();
      if (totals != before && totals != after) {
        EXPECT_FALSE(shown.empty()) << totals;
        EXPECT_TRUE(kept);
      }
      told += shown.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(cases, 10);
  RecordProperty("cases", cases);
  RecordProperty("told", told);
}

std::string SweepName(const ::testing::TestParamInfo<SweepParam>& info)
{
  static const char* const edits[] = {"Outline", "Figure", "Cell", "Assignment", "Release", "Update", "Reorder"};
  return std::string(edits[int(std::get<0>(info.param))]) + (std::get<1>(info.param) == Step::Undo ? "Undo" : "Redo");
}

INSTANTIATE_TEST_SUITE_P(EveryEdit, HistorySweepTest,
                         ::testing::Combine(::testing::Values(Edit::Outline, Edit::Figure, Edit::Cell,
                                                              Edit::Assignment, Edit::Release, Edit::Update,
                                                              Edit::Reorder),
                                            ::testing::Values(Step::Undo, Step::Redo)),
                         SweepName);

}  // namespace
