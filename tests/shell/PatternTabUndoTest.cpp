// Undo and Redo after each command of the settings' pattern tab, on the
// example's house: the command is applied with OK and the first pattern
// inserted from the palette. Undo gives back the totals, the numbers and
// the patterns of before, Redo those of after, and a save and reopen after
// the Undo gives the totals, numbers and CSV of before. Edits that would
// break a pattern's shape are refused and change nothing.

#include "../AlertWords.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea4.h"
#include "CDlgEditName.h"
#include "CDlgEnvironment.h"
#include "CDlgOutputToWorksheet.h"
#include "CDlgSelectTree.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using pln::host::DialogUser;

constexpr short kMenuResId = 32500;
constexpr short kOutputCommand = 3, kSettingsButton = 4, kInsertPattern = 5;
constexpr short kTabs = 7, kPatternTab = 3;
constexpr short kCopyPattern = 3, kDeletePattern = 4, kExport = 5, kImport = 6;
constexpr short kItemInsert = 9, kItemCopy = 10, kItemDelete = 11, kItemEdit = 12, kTree = 13;
constexpr short kOutputCsv = 4;

CPlenimetraParam& Doc() { return PlenimetraPalette().m_Param; }
DialogUser PaletteUser() { return DialogUser(PlenimetraPalette().m_PaletteID); }

// The tree item labelled with the name and its rounding.
Int32 Item(const DialogUser& page, const char16_t* name)
{
  const GS::UniString prefix = GS::UniString(name) + u"  [";
  for (const auto& [id, item] : pln::host::DialogItemState(page.DialogId(), kTree)->tree.items)
    if (id != DG_TVI_ROOT && item.text.GetPrefix(prefix.GetLength()) == prefix)
      return id;
  ADD_FAILURE() << "no tree item " << prefix.ToStdString(CC_UTF8);
  return 0;
}

class PatternTabUndoTest : public ::testing::Test {
protected:
  // Whatever a test made fail, the user is told in words.
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  PatternTabUndoTest()
  {
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    host.SetUndoDepth(1000);
  }

  // Every object's number and sort index, and how many patterns the
  // calculation holds, working and stored.
  static std::string Numbers()
  {
    std::string text = std::to_string(Doc().m_AreaTree2.m_Child.size()) + "/" +
                       std::to_string(Doc().m_AreaTreeStore.m_Child.size());
    for (const CArea2Object& element : Doc().m_Area2ObjectArray)
      text += " " + std::to_string(element.m_Code) + ":" + std::to_string(element.m_No) + "," +
              std::to_string(element.m_SortIndex);
    for (const CArea4Object& folder : Doc().m_Area4ObjectArray)
      text += " " + std::to_string(folder.m_Code) + ":" + std::to_string(folder.m_No) + "," +
              std::to_string(folder.m_SortIndex);
    return text;
  }
  // The CSV the output writes now; the output is a step of its own.
  std::string Csv()
  {
    API_WindowInfo plan;
    plan.typeID = APIWind_FloorPlanID;
    EXPECT_EQ(host.UserShowWindow(plan), NoError);
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& dialog) {
      dialog.Check(kOutputCsv, true);
      dialog.Click(1);
    });
    PaletteUser().Click(kOutputCommand);
    return ReadBytes(flow.CsvPath());
  }
  void SaveCloseReopen()
  {
    host.UserSaveProject();
    host.UserCloseProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    if (!PlenimetraPalette().IsToolPaletteOpened()) {
      ASSERT_EQ(host.UserChooseMenuItem(kMenuResId, 1), NoError);
    }
  }
  // The pattern tab on its first pattern, the command, OK; はい to applying
  // when the command changes the patterns.
  void RunTab(const std::function<void(DialogUser&)>& command, bool changes)
  {
    host.QueueDialogScript(CDlgEnvironment::ResourceId, [&](DialogUser& dialog) {
      DialogUser page = dialog.TabPage(kTabs, kPatternTab);
      page.SelectPopUp(7, 1);
      command(page);
      dialog.Click(1);
    });
    if (changes)
      host.QueueAlertAnswer(1);
    PaletteUser().Click(kSettingsButton);
  }
  // A new element or folder under the parent, cut to 0 digits.
  void InsertItem(DialogUser& page, const char16_t* parent, const char16_t* name, bool element)
  {
    page.SelectTreeItems(kTree, {Item(page, parent)});
    host.QueueDialogScript(CDlgCreateTreeItem::ResourceId, [name, element](DialogUser& create) {
      create.SetLong(element ? CDlgCreateTreeItem::ITEM_ELEMENT : CDlgCreateTreeItem::ITEM_FOLDER, 1);
      create.SetText(CDlgCreateTreeItem::ITEM_NAME, GS::UniString(name));
      for (short kind : {CDlgCreateTreeItem::ITEM_TYPE1, CDlgCreateTreeItem::ITEM_TYPE2})
        create.SelectPopUp(kind, 3);
      create.Click(1);
    });
    page.Click(kItemInsert);
  }
  void InsertFirstPattern()
  {
    host.QueueDialogScript(CDlgSelectTree::ResourceId, [](DialogUser& dialog) {
      dialog.SelectPopUp(4, 1);
      dialog.Click(1);
    });
    PaletteUser().Click(kInsertPattern);
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
};

void QueueName(HostFixture& host, const char16_t* name)
{
  host.QueueDialogScript(CDlgEditName::ResourceId, [name](DialogUser& dialog) {
    dialog.SetText(5, GS::UniString(name));
    dialog.Click(1);
  });
}

TEST_F(PatternTabUndoTest, EveryCommandIsUndoneAndRedoneAndAReopenAfterUndoGivesTheStateBefore)
{
  const IO::Location file(GS::UniString(u"c:\\temp\\pattern.datTree"));
  std::filesystem::create_directories(pln::host::ToFsPath(file).parent_path());
  struct Case {
    const char* what;
    bool changes;  // false: refused, or nothing the calculation sees
    std::function<void(DialogUser&)> command;
  };
  const Case cases[] = {
      {"new pattern", true, [&](DialogUser& page) { QueueName(host, u"新パターン"); page.Click(2); }},
      {"copy pattern", true, [&](DialogUser& page) { QueueName(host, u"写し"); page.Click(kCopyPattern); }},
      {"delete pattern", true,
       [&](DialogUser& page) {
         page.SelectPopUp(7, 2);
         host.QueueAlertAnswer(1);
         page.Click(kDeletePattern);
       }},
      {"export and import", true,
       [&](DialogUser& page) {
         host.QueueFileChoice(file);
         page.Click(kExport);
         host.QueueFileChoice(file);
         page.Click(kImport);
       }},
      {"insert item", true, [&](DialogUser& page) { InsertItem(page, u"延べ面積", u"車庫", true); }},
      // Only folders are copied: a new one first.
      {"copy item", true,
       [&](DialogUser& page) {
         InsertItem(page, u"延べ面積", u"共用", false);
         page.SelectTreeItems(kTree, {Item(page, u"共用")});
         page.Click(kItemCopy);
       }},
      {"delete item", true,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"非居室")});
         host.QueueAlertAnswer(1);
         page.Click(kItemDelete);
       }},
      {"edit item", true,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"居室")});
         host.QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& edit) {
           edit.SetText(CDlgEditAreaCore::ITEM_NAME, GS::UniString(u"居間"));
           edit.Click(1);
         });
         page.Click(kItemEdit);
       }},
      {"drag item", true,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"非居室")});
         page.DragAndDrop(kTree, kTree, Item(page, u"居室"), DG_DRAG_INSERT_ABOVE);
       }},
      {"copy the root's folder", false,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"延べ面積")});
         page.Click(kItemCopy);
       }},
      {"delete the root's folder", false,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"延べ面積")});
         page.Click(kItemDelete);
       }},
      {"drag beside the root's folder", false,
       [&](DialogUser& page) {
         page.SelectTreeItems(kTree, {Item(page, u"居室")});
         page.DragAndDrop(kTree, kTree, Item(page, u"延べ面積"), DG_DRAG_INSERT_UNDER);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string csv = Csv();
    const std::string totals = flow.Totals(), numbers = Numbers();
    const std::size_t steps = host.UndoNames().size();
    RunTab(c.command, c.changes);
    InsertFirstPattern();
    const std::size_t added = host.UndoNames().size() - steps;
    ASSERT_EQ(added, c.changes ? 2u : 1u);
    const std::string totalsAfter = flow.Totals(), numbersAfter = Numbers();
    ASSERT_NE(numbersAfter, numbers);
    for (std::size_t i = 0; i < added; ++i)
      ASSERT_EQ(host.UserUndo(), NoError);
    EXPECT_EQ(flow.Totals(), totals);
    EXPECT_EQ(Numbers(), numbers);
    for (std::size_t i = 0; i < added; ++i)
      ASSERT_EQ(host.UserRedo(), NoError);
    EXPECT_EQ(flow.Totals(), totalsAfter);
    EXPECT_EQ(Numbers(), numbersAfter);
    for (std::size_t i = 0; i < added; ++i)
      ASSERT_EQ(host.UserUndo(), NoError);
    SaveCloseReopen();
    EXPECT_EQ(flow.Totals(), totals);
    EXPECT_EQ(Numbers(), numbers);
    EXPECT_EQ(Csv(), csv);
  }
}

}  // namespace
