// Undo then Redo right after an edit of the calculation tree or its lists,
// on the example's house after its automatic areas were cut and assigned:
// Undo takes back that edit alone and Redo gives it back, so the totals and
// the stored project record come back exactly as they were before the
// Undo.

#include "../AlertWords.h"
#include "CDGDlgCore.h"
#include "CDlgCreateTreeItem.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using pln::host::DialogUser;
using Page = CPlenimetraFunc2;

constexpr short kTreePage = 12;

class ExampleUndoRedoTest : public ::testing::Test {
protected:
  // Whatever a test made fail, the user is told in words.
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  ExampleUndoRedoTest()
  {
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
  }

  static CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
  std::vector<char> Record() const
  {
    const auto record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
    return record.has_value() ? record->bytes : std::vector<char>{};
  }
  std::size_t FigureCount() const
  {
    std::size_t count = 0;
    for (const CFloorParam& floor : Palette().m_Param.m_FloorParamArray)
      count += floor.m_Area1ObjectArray.size();
    return count;
  }

  // The elements' names on the first story.
  static std::vector<GS::UniString> Names()
  {
    std::vector<GS::UniString> names;
    for (const CArea2Object& element : Palette().m_Param.m_Area2ObjectArray)
      names.push_back(element.m_Name.GetName(0));
    return names;
  }

  // The tree page open on the pattern, with the list of the radio button.
  DialogUser TreePage(const char16_t* pattern, short listRadio)
  {
    // The workflow left the page open behind the figure list.
    if (pln::host::OpenDialogId(Page::ResourceId) == 0)
      DialogUser(Palette().m_PaletteID).Click(kTreePage);
    const auto& entries = pln::host::DialogItemState(Palette().m_PaletteID, CPlenimetraPalette::kPatterns)->entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].text == GS::UniString(pattern) || entries[i].text == GS::UniString(u"*") + pattern)
        DialogUser(Palette().m_PaletteID).SelectPopUp(CPlenimetraPalette::kPatterns, static_cast<short>(i + 1));
    DialogUser page(pln::host::OpenDialogId(Page::ResourceId));
    EXPECT_NE(page.DialogId(), 0);
    page.SetLong(listRadio, 1);
    return page;
  }
  // The tree item whose label begins with the name and its bracket.
  static Int32 TreeItem(const DialogUser& page, const char16_t* name)
  {
    const GS::UniString prefix = GS::UniString(name) + u"[";
    for (const auto& [id, item] : pln::host::DialogItemState(page.DialogId(), Page::ITEM_TREE)->tree.items)
      if (item.text.GetPrefix(prefix.GetLength()) == prefix)
        return id;
    return 0;
  }

  // The area list of 床面積 with 非居室 selected.
  DialogUser OtherSelected()
  {
    DialogUser page = TreePage(u"床面積", Page::ITEM_RADIO_AREA);
    page.SelectTreeItems(Page::ITEM_TREE, {TreeItem(page, u"非居室")});
    return page;
  }
  // The pop-up's entry of the text, chosen by the user.
  static void Choose(DialogUser& user, short item, const char16_t* text)
  {
    const auto& entries = pln::host::DialogItemState(user.DialogId(), item)->entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].text == GS::UniString(text))
        user.SelectPopUp(item, static_cast<short>(i + 1));
  }
  // 非居室, selected in the area list, taken away instead of added.
  static void SubtractOther(DialogUser& page) { Choose(page, Page::ITEM_AREA_OPERATOR, u"-"); }

  // Undo; told, the palette hears that the project changed, as the host
  // tells it; untold, it notices only at the user's next action.
  GSErrCode Undo(bool told)
  {
    if (told)
      return host.UserUndo();
    EXPECT_EQ(ACAPI_Notify_CatchProjectEvent(APINotify_ChangeProjectDB, nullptr), NoError);
    const GSErrCode err = host.UserUndo();
    EXPECT_EQ(ACAPI_Notify_CatchProjectEvent(APINotify_ChangeProjectDB, ProjectionNotificationHandler), NoError);
    return err;
  }

  // The edit, then Undo and Redo: the edit's step alone goes and comes back.
  void ExpectUndoneAndRedone(const std::vector<char>& before)
  {
    const std::string totals = flow.Totals();
    const std::vector<char> record = Record();
    const std::size_t steps = host.UndoNames().size();
    const std::size_t figures = FigureCount();
    const std::size_t alerts = host.Alerts().size();
    ASSERT_NE(record, before) << "the edit was not saved";
    ASSERT_EQ(host.UserUndo(), NoError);
    EXPECT_EQ(Record(), before);
    EXPECT_EQ(host.UndoNames().size(), steps - 1);
    EXPECT_EQ(FigureCount(), figures);
    ASSERT_EQ(host.UserRedo(), NoError);
    EXPECT_EQ(flow.Totals(), totals);
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(FigureCount(), figures);
    EXPECT_EQ(host.Alerts().size(), alerts);
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
};

// The last assignment (the site's automatic area into 敷地 through the
// target dialog) recolours nothing: its save is the whole step.
TEST_F(ExampleUndoRedoTest, TheAssignmentsOfTheTreePageSurviveUndoAndRedo)
{
  ASSERT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[]"));
  const std::string totals = flow.Totals();
  const std::vector<char> record = Record();
  const std::size_t figures = FigureCount();
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_NE(Record(), record);
  EXPECT_EQ(FigureCount(), figures);  // the cut before it stays
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(flow.Totals(), totals);
  EXPECT_EQ(Record(), record);
  EXPECT_EQ(FigureCount(), figures);
}

// 非居室 taken away instead of added: the total of the storeys changes.
TEST_F(ExampleUndoRedoTest, AnAreaListCellEditIsItsOwnStep)
{
  DialogUser page = OtherSelected();
  const std::vector<char> before = Record();
  const std::string totals = flow.Totals();
  SubtractOther(page);
  EXPECT_NE(flow.Totals(), totals);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  ExpectUndoneAndRedone(before);
}

// Undo alone of that edit, which changed only the project record: the
// palette reads the record again at the user's next action (which acted on
// the old view and is dropped), at a batch of plan edits and at the
// project's save, and none of them writes the undone edit back. So too
// when a later edit's save failed: the document held both edits, and the
// one never stored goes with the undone one.
TEST_F(ExampleUndoRedoTest, AnEditUndoneAloneStaysUndone)
{
  for (const int next : {0, 1, 2, 3, 4, 5}) {
    SCOPED_TRACE(next);
    DialogUser page = OtherSelected();
    const Int32 room = TreeItem(page, u"居室");
    const std::vector<char> before = Record();
    const std::string totals = flow.Totals();
    const std::vector<GS::UniString> names = Names();
    SubtractOther(page);
    ASSERT_NE(flow.Totals(), totals);
    if (next >= 3) {
      const std::size_t alerts = host.Alerts().size();
      host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
      page.SelectTreeItems(Page::ITEM_TREE, {room});
      page.SetText(Page::ITEM_AREA_NAME, GS::UniString(u"居室X"));
      ASSERT_EQ(host.Alerts().size(), alerts + 1);
    }
    ASSERT_EQ(host.UserUndo(), NoError);
    ASSERT_EQ(Record(), before);
    if (next % 3 == 0) {
      page.SelectTreeItems(Page::ITEM_TREE, {room});
      EXPECT_EQ(flow.Totals(), totals);
    } else if (next % 3 == 1) {
      const std::vector<API_Guid> figures = host.ElementsOfType(API_ObjectID);
      ASSERT_FALSE(figures.empty());
      ASSERT_EQ(host.UserMove({figures.front()}, API_Coord{0.5, 0}), NoError);
      EXPECT_EQ(flow.Totals(), totals);
    }
    host.UserSaveProject();
    EXPECT_EQ(flow.Totals(), totals);
    // What was stored, read back.
    ASSERT_GE(Palette().m_Param.ReloadData(), 0);
    EXPECT_EQ(flow.Totals(), totals);
    EXPECT_EQ(Names(), names);
  }
}

// Another pattern chosen in the palette's pop-up is a step of its own, so
// that Undo gives back the pattern shown before and Redo the chosen one.
TEST_F(ExampleUndoRedoTest, APatternChosenInThePaletteIsItsOwnStep)
{
  CPlenimetraParam& doc = Palette().m_Param;
  const short palette = Palette().m_PaletteID;
  const int shown = doc.m_CurTreeCode;
  const auto& entries = pln::host::DialogItemState(palette, CPlenimetraPalette::kPatterns)->entries;
  ASSERT_GE(entries.size(), 2u);
  const short other = CDGDlgCore::PopUpSelectedUserData(palette, CPlenimetraPalette::kPatterns) ==
                              DGPopUpGetItemUserData(palette, CPlenimetraPalette::kPatterns, 1)
                          ? 2
                          : 1;
  const std::vector<char> before = Record();
  DialogUser(palette).SelectPopUp(CPlenimetraPalette::kPatterns, other);
  const int chosen = doc.m_CurTreeCode;
  ASSERT_NE(chosen, shown);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[パターン選択]"));
  const std::vector<char> record = Record();
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(Record(), before);
  host.UserSaveProject();
  EXPECT_EQ(doc.m_CurTreeCode, shown);
  EXPECT_EQ(CDGDlgCore::PopUpSelectedUserData(palette, CPlenimetraPalette::kPatterns), shown);
  ASSERT_EQ(host.UserRedo(), NoError);
  host.UserSaveProject();
  EXPECT_EQ(doc.m_CurTreeCode, chosen);
  EXPECT_EQ(CDGDlgCore::PopUpSelectedUserData(palette, CPlenimetraPalette::kPatterns), chosen);
  EXPECT_EQ(Record(), record);
}

// A name typed into the area list's cell right after Undo of a list edit:
// it goes to the row it was typed for as an edit of its own. Typed before
// the palette noticed the Undo for a row the undone record does not have,
// it stays in the cell and the user is told why.
TEST_F(ExampleUndoRedoTest, ANameTypedRightAfterUndoIsNotLost)
{
  DialogUser page = OtherSelected();
  const std::string totals = flow.Totals();
  SubtractOther(page);
  const std::size_t steps = host.UndoNames().size();
  const std::size_t alerts = host.Alerts().size();
  ASSERT_EQ(host.UserUndo(), NoError);
  page.SetText(Page::ITEM_AREA_NAME, GS::UniString(u"非居室A"));
  EXPECT_EQ(flow.Totals(), totals);
  const std::vector<GS::UniString> names = Names();
  EXPECT_NE(std::find(names.begin(), names.end(), GS::UniString(u"非居室A")), names.end());
  EXPECT_EQ(host.UndoNames().size(), steps);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  EXPECT_EQ(host.Alerts().size(), alerts);

  // A new element, its row selected, then Undo of its insertion.
  const std::vector<GS::UniString> withoutIt = Names();
  page.SelectTreeItems(Page::ITEM_TREE, {TreeItem(page, u"延べ面積")});
  pln::host::QueueDialogScript(CDlgCreateTreeItem::ResourceId, [](DialogUser& dialog) {
    dialog.SetLong(CDlgCreateTreeItem::ITEM_ELEMENT, 1);
    dialog.SetText(CDlgCreateTreeItem::ITEM_NAME, u"倉庫");
    Choose(dialog, CDlgCreateTreeItem::ITEM_TYPE1, u"切り捨て");
    Choose(dialog, CDlgCreateTreeItem::ITEM_DIGIT1, u"小数点第2位");
    Choose(dialog, CDlgCreateTreeItem::ITEM_TYPE2, u"切り捨て");
    Choose(dialog, CDlgCreateTreeItem::ITEM_DIGIT2, u"小数点第2位");
    dialog.Click(1);
  });
  page.Click(Page::ITEM_INSERT);
  ASSERT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[項目挿入]"));
  page.SelectTreeItems(Page::ITEM_TREE, {TreeItem(page, u"倉庫")});
  ASSERT_EQ(Undo(false), NoError);
  page.SetText(Page::ITEM_AREA_NAME, GS::UniString(u"倉庫B"));
  EXPECT_EQ(Names(), withoutIt);
  ASSERT_EQ(host.Alerts().size(), alerts + 1);
  EXPECT_NE(host.Alerts().back().largeText.FindFirst(GS::UniString(u"「倉庫B」")), GS::MaxUIndex);
  EXPECT_EQ(pln::host::DialogItemState(page.DialogId(), Page::ITEM_AREA_NAME)->text, GS::UniString(u"倉庫B"));
}

// An action right after Undo of a step that changed only the record (the
// operator of 非居室) is carried out on what the Undo left, whether the
// palette heard of the Undo or meets it only at the action: it is neither
// lost nor sent to what the view showed before.
class ActionAfterUndoTest : public ExampleUndoRedoTest, public ::testing::WithParamInterface<bool> {
protected:
  // The area list of 床面積 with 非居室 selected, taken away, then undone.
  DialogUser SubtractedAndUndone()
  {
    DialogUser page = OtherSelected();
    totals = flow.Totals();
    names = Names();
    SubtractOther(page);
    subtracted = flow.Totals();
    alerts = host.Alerts().size();
    EXPECT_EQ(Undo(GetParam()), NoError);
    // Told, the page shows the re-read calculation with its selection kept.
    if (GetParam()) {
      const auto& items = pln::host::DialogItemState(page.DialogId(), Page::ITEM_TREE)->tree.items;
      const auto other = items.find(TreeItem(page, u"非居室"));
      EXPECT_TRUE(other != items.end() && other->second.selected);
    }
    return page;
  }
  // 非居室's record on the active story.
  static const CArea2ObjectFloor* OtherOnThisStory()
  {
    for (const CArea2Object& element : Palette().m_Param.m_Area2ObjectArray)
      if (element.m_Name.m_DefaultName == GS::UniString(u"非居室"))
        return element.m_FloorArray.FindFloor(CGSUtil::GetActStory());
    return nullptr;
  }
  // The document as the project's record holds it.
  static void ReadBack() { ASSERT_GE(Palette().m_Param.ReloadData(), 0); }

  std::string totals;
  std::string subtracted;
  std::vector<GS::UniString> names;
  std::size_t alerts = 0;
};

INSTANTIATE_TEST_SUITE_P(ToldOrNot, ActionAfterUndoTest, ::testing::Bool());

TEST_P(ActionAfterUndoTest, ARowClickedThenNamedIsTheRowRenamed)
{
  DialogUser page = SubtractedAndUndone();
  page.SelectTreeItems(Page::ITEM_TREE, {TreeItem(page, u"居室")});
  page.SetText(Page::ITEM_AREA_NAME, GS::UniString(u"居室A"));
  std::vector<GS::UniString> expected = names;
  const auto room = std::find(expected.begin(), expected.end(), GS::UniString(u"居室"));
  ASSERT_NE(room, expected.end());
  *room = GS::UniString(u"居室A");
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(host.Alerts().size(), alerts);
  ReadBack();
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(flow.Totals(), totals);
}

TEST_P(ActionAfterUndoTest, TheEquationAndManualAreaTypedAreKept)
{
  DialogUser page = SubtractedAndUndone();
  page.SetText(Page::ITEM_AREA_EQUATION, GS::UniString(u"1+2"));
  page.SetText(Page::ITEM_AREA_ORG_AREA, GS::UniString(u"12.34"));
  EXPECT_EQ(host.Alerts().size(), alerts);
  ReadBack();
  const CArea2ObjectFloor* record = OtherOnThisStory();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->m_ManualEquation, GS::UniString(u"1+2"));
  EXPECT_EQ(record->m_ManualArea, 12340000);
  EXPECT_EQ(flow.Totals(), totals);
}

TEST_P(ActionAfterUndoTest, AnOperatorChosenIsTaken)
{
  DialogUser page = SubtractedAndUndone();
  SubtractOther(page);
  EXPECT_EQ(flow.Totals(), subtracted);
  EXPECT_EQ(host.Alerts().size(), alerts);
  ReadBack();
  EXPECT_EQ(flow.Totals(), subtracted);
}

TEST_P(ActionAfterUndoTest, ARoundingTableChosenInThePaletteIsTaken)
{
  SubtractedAndUndone();
  const short palette = Palette().m_PaletteID;
  const long long shown = CDGDlgCore::PopUpSelectedUserData(palette, CPlenimetraPalette::kRounding);
  short other = 0;
  for (short entry = DGPopUpGetItemCount(palette, CPlenimetraPalette::kRounding); entry >= 1; --entry)
    if (DGPopUpGetItemUserData(palette, CPlenimetraPalette::kRounding, entry) != shown)
      other = entry;
  ASSERT_NE(other, 0);
  const long long chosen = DGPopUpGetItemUserData(palette, CPlenimetraPalette::kRounding, other);
  DialogUser(palette).SelectPopUp(CPlenimetraPalette::kRounding, other);
  EXPECT_EQ(host.Alerts().size(), alerts);
  ReadBack();
  EXPECT_EQ(Palette().m_Param.GetTree()->m_RoundTypeId, chosen);
}

// A figure row picked before the palette noticed the Undo is known only by
// a record the re-read replaced: the pick is refused with a word.
TEST_F(ExampleUndoRedoTest, AFigureRowPickedBeforeUndoWasNoticedIsRefusedWithAWord)
{
  DialogUser page = OtherSelected();
  SubtractOther(page);
  page.SetLong(Page::ITEM_RADIO_DETAIL, 1);
  ASSERT_GT(DGListGetItemCount(page.DialogId(), Page::ITEM_DETAIL_LIST), 0);
  const std::size_t alerts = host.Alerts().size();
  ASSERT_EQ(Undo(false), NoError);
  page.SelectRows(Page::ITEM_DETAIL_LIST, {1});
  ASSERT_EQ(host.Alerts().size(), alerts + 1);
  EXPECT_NE(host.Alerts().back().largeText.FindFirst(GS::UniString(u"元に戻した内容を読み直したため")), GS::MaxUIndex);
}

// Undo after an edit whose save failed: the palette shows what the Undo
// left at once, not the edits only the document held.
TEST_F(ExampleUndoRedoTest, AfterAFailedSaveUndoShowsWhatItLeftAtOnce)
{
  DialogUser page = OtherSelected();
  const std::string totals = flow.Totals();
  const std::vector<GS::UniString> names = Names();
  const auto label = [&] {
    return pln::host::DialogItemState(page.DialogId(), Page::ITEM_TREE)->tree.items.at(TreeItem(page, u"延べ面積")).text;
  };
  const GS::UniString shown = label();
  SubtractOther(page);
  ASSERT_NE(label(), shown);
  page.SelectTreeItems(Page::ITEM_TREE, {TreeItem(page, u"居室")});
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  page.SetText(Page::ITEM_AREA_NAME, GS::UniString(u"居室X"));
  ASSERT_NE(Names(), names);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(flow.Totals(), totals);
  EXPECT_EQ(Names(), names);
  EXPECT_EQ(label(), shown);
}

TEST_F(ExampleUndoRedoTest, ATreeMoveIsItsOwnStep)
{
  DialogUser page = TreePage(u"床面積", Page::ITEM_RADIO_AREA);
  const Int32 room = TreeItem(page, u"居室"), other = TreeItem(page, u"非居室");
  ASSERT_NE(room, 0);
  ASSERT_NE(other, 0);
  page.SelectTreeItems(Page::ITEM_TREE, {room});
  const std::vector<char> before = Record();
  const std::string totals = flow.Totals();
  page.DragAndDrop(Page::ITEM_TREE, Page::ITEM_TREE, other, DG_DRAG_INSERT_UNDER);
  EXPECT_NE(flow.Totals(), totals);  // 居室 now listed after 非居室
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  ExpectUndoneAndRedone(before);
}

// The worksheets, then the CSV: each output is one step with the choices it
// saved, so Undo takes back the CSV's choices alone and leaves the sheets.
TEST_F(ExampleUndoRedoTest, AnOutputIsOneStepWithWhatItSaved)
{
  flow.OutputWorksheetsAndCsv();
  const std::size_t sheets = flow.Worksheets().size();
  const std::string totals = flow.Totals();
  const std::vector<char> record = Record();
  ASSERT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[出力]"));
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_NE(Record(), record);
  EXPECT_EQ(flow.Worksheets().size(), sheets);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(flow.Totals(), totals);
  EXPECT_EQ(Record(), record);
  EXPECT_EQ(flow.Worksheets().size(), sheets);
}

}  // namespace
