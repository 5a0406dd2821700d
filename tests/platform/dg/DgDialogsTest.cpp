// Windows: modal runs, modeless and dockable openings, tab pages, sizes and
// the record of misuse.

#include "PlatformTestSupport.h"

using pln::host::DGDialogDef;
using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialog = 32500;
constexpr short kPage1 = 32505;
constexpr short kPage2 = 32506;

class DgDialogsTest : public DgTest {
protected:
  void SetUp() override
  {
    pln::host::DefineDialog(kDialog, {{1, DGItemKind::Button}, {2, DGItemKind::Button}, {3, DGItemKind::CheckBox}});
  }

  short RunModal() { return DGModalDialog(1, kDialog, 1, DgRecorder::Callback, recorder.UserData()); }
};

TEST_F(DgDialogsTest, ModalDialogRunsInitThenTheScriptThenCloseAndAnswersTheClosingItem)
{
  recorder.answer = [](const DgMessage& m) { return m.message == DG_MSG_CLICK && m.item == 1 ? short(1) : short(0); };
  short seenId = 0;
  host.QueueDialogScript(kDialog, [&](DialogUser& user) {
    seenId = user.DialogId();
    EXPECT_EQ(user.Check(3, true), 0);
    EXPECT_EQ(user.Click(3), 0);  // answered 0: stays open
    EXPECT_TRUE(user.IsOpen());
    EXPECT_EQ(user.Click(1), 1);
    EXPECT_FALSE(user.IsOpen());
    EXPECT_EQ(user.Click(2), 0);  // nothing reaches a closed dialog: refused
  });

  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(recorder.Numbers(),
            (std::vector<short>{DG_MSG_INIT, DG_MSG_CHANGE, DG_MSG_CLICK, DG_MSG_CLICK, DG_MSG_CLOSE}));
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CLOSE, seenId, 1, 0}));
  EXPECT_FALSE(DGIsDialogOpen(seenId));
  EXPECT_EQ(pln::host::PendingDialogScripts(kDialog), 0u);
  ASSERT_EQ(pln::host::DialogOpenings().size(), 1u);
  EXPECT_EQ(pln::host::DialogOpenings()[0].closeItem, 1);
  EXPECT_FALSE(pln::host::DialogOpenings()[0].open);
  ExpectMisuses(1);
  EXPECT_EQ(pln::host::DialogMisuses()[0], "Click: window " + std::to_string(seenId) + " does not exist");
}

TEST_F(DgDialogsTest, ModalDialogLeftOpenOrWithoutScriptIsCancelledAndAnUndeclaredOneNeverOpens)
{
  host.QueueDialogScript(kDialog, [](DialogUser& user) { user.Click(3); });
  EXPECT_EQ(RunModal(), 2);
  EXPECT_EQ(recorder.Numbers(), (std::vector<short>{DG_MSG_INIT, DG_MSG_CLICK, DG_MSG_CLOSE}));
  EXPECT_EQ(recorder.messages.back().item, 2);
  recorder.messages.clear();
  EXPECT_EQ(RunModal(), 2);
  EXPECT_EQ(recorder.Numbers(), (std::vector<short>{DG_MSG_INIT, DG_MSG_CLOSE}));

  recorder.messages.clear();
  EXPECT_EQ(DGModalDialog(1, 32599, 1, DgRecorder::Callback, recorder.UserData()), 0);
  EXPECT_EQ(OpenModeless(32599), 0);
  EXPECT_TRUE(recorder.messages.empty());
  ExpectMisuses(2);
  EXPECT_EQ(pln::host::DialogMisuses()[0], "DGModalDialog: dialog resource 32599 is not declared");
}

TEST_F(DgDialogsTest, NestedModalDialogsEachRunTheirOwnScript)
{
  constexpr short kInner = 32501;
  pln::host::DefineDialog(kInner, {{1, DGItemKind::Button}});
  DgRecorder inner;
  inner.answer = CloseOnClick;
  short innerResult = 0;
  recorder.answer = [&](const DgMessage& m) -> short {
    if (m.message == DG_MSG_CLICK && m.item == 3)
      innerResult = DGModalDialog(1, kInner, 1, DgRecorder::Callback, inner.UserData());
    return 0;
  };
  host.QueueDialogScript(kDialog, [](DialogUser& user) { user.Click(3); });
  host.QueueDialogScript(kInner, [](DialogUser& user) { user.Click(1); });

  EXPECT_EQ(RunModal(), 2);
  EXPECT_EQ(innerResult, 1);
  EXPECT_EQ(inner.Numbers(), (std::vector<short>{DG_MSG_INIT, DG_MSG_CLICK, DG_MSG_CLOSE}));
}

TEST_F(DgDialogsTest, ModelessWindowGetsInitWhileOpeningAndCloseFromModelessCloseAndAnswersNothingAfter)
{
  const short id = OpenModeless(kDialog);
  ASSERT_NE(id, 0);
  EXPECT_EQ(recorder.messages, (std::vector<DgMessage>{{DG_MSG_INIT, id, 0, 0}}));
  EXPECT_TRUE(DGIsModelessDialogVisible(id));
  EXPECT_EQ(pln::host::OpenDialogId(kDialog), id);
  EXPECT_EQ(DGGetDialogUserData(id), recorder.UserData());

  // The add-on's own calls raise no messages, and each is logged by name.
  host.ClearCallLog();
  DGSetItemValLong(id, 3, 1);
  DGHideModelessDialog(id);
  EXPECT_FALSE(DGIsModelessDialogVisible(id));
  EXPECT_EQ(recorder.messages.size(), 1u);
  DGModelessClose(id);
  EXPECT_EQ(host.CallLog(),
            (std::vector<std::string>{"DGSetItemValLong", "DGHideModelessDialog", "DGIsModelessDialogVisible",
                                      "DGModelessClose"}));
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CLOSE, id, 0, 0}));
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(pln::host::OpenDialogId(kDialog), 0);

  // Ids are not reused while the host runs; calls on closed windows are
  // recorded and answer nothing.
  EXPECT_NE(OpenModeless(kDialog), id);
  DGSetItemText(id, 1, u"x");
  EXPECT_EQ(DGGetItemText(id, 1), GS::UniString());
  EXPECT_FALSE(DGIsItemEnabled(id, 1));
  ExpectMisuses(3);
  EXPECT_EQ(pln::host::DialogMisuses()[0], "DGSetItemText: no open dialog " + std::to_string(id));
}

TEST_F(DgDialogsTest, ClickAnsweredNonZeroClosesAModelessWindowAndACloseInsideTheCloseHandlerIsNotRepeated)
{
  recorder.answer = CloseOnClick;
  const short id = OpenModeless(kDialog);
  EXPECT_EQ(DialogUser(id).CloseBox(), DG_CLOSEBOX);
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CLOSE, id, DG_CLOSEBOX, 0}));
  EXPECT_FALSE(DGIsDialogOpen(id));

  short other = 0;
  recorder.messages.clear();
  recorder.answer = [&](const DgMessage& m) -> short {
    if (m.message == DG_MSG_CLOSE)
      DGModelessClose(other);  // as a palette's host close request would
    if (m.message == DG_MSG_CLICK)
      DGModelessClose(m.dialId);  // a handler closing its own window
    return 0;
  };
  other = OpenModeless(kDialog);
  EXPECT_EQ(DialogUser(other).Click(1), 0);
  EXPECT_EQ(recorder.Numbers(), (std::vector<short>{DG_MSG_INIT, DG_MSG_CLICK, DG_MSG_CLOSE}));
  EXPECT_FALSE(DGIsDialogOpen(other));
}

TEST_F(DgDialogsTest, DockablePaletteIsSilentAndHiddenUntilItProcessesEvents)
{
  GS::Guid guid;
  guid.Generate();
  const short id = DGCreateDockablePalette(1, kDialog, 1, DgRecorder::Callback, recorder.UserData(), guid);
  ASSERT_NE(id, 0);
  EXPECT_FALSE(DGIsModelessDialogVisible(id));
  EXPECT_EQ(DialogUser(id).Click(1), 0);
  EXPECT_TRUE(recorder.messages.empty());

  DGBeginProcessEvents(id);
  DGShowModelessDialog(id, DG_TOPMOST_REFERENCE);
  DGDisablePaletteDock(guid, 1);
  DGBeginProcessEvents(id);  // init only once
  EXPECT_EQ(recorder.Numbers(), (std::vector<short>{DG_MSG_INIT}));
  EXPECT_TRUE(DGIsModelessDialogVisible(id));
  EXPECT_EQ(pln::host::DialogState(id)->paletteGuid, guid);
}

TEST_F(DgDialogsTest, TabPagesAreOwnPanelsWhoseMessagesReachTheHoldingDialog)
{
  pln::host::DefineDialog(kPage1, {{4, DGItemKind::LongEdit}});
  pln::host::DefineDialog(kPage2, {{4, DGItemKind::TextEdit}});
  pln::host::DefineDialog(kDialog, DGDialogDef{.items = {{.item = 1, .kind = DGItemKind::Button},
                                                         {.item = 7, .kind = DGItemKind::TabControl,
                                                          .tabPages = {kPage1, kPage2}}}});
  recorder.answer = CloseOnClick;
  const short id = OpenModeless(kDialog);
  const short page1 = DGTabControlGetTabPageId(id, 7, 1);
  const short page2 = DGTabControlGetTabPageId(id, 7, 2);
  EXPECT_NE(page1, 0);
  EXPECT_NE(page2, 0);
  EXPECT_NE(page1, page2);
  EXPECT_EQ(DGGetItemValLong(id, 7), 1);  // the first tab shows
  EXPECT_EQ(DGGetDialogUserData(page1), recorder.UserData());

  // Items of equal number live apart on each page.
  DGSetItemValLong(page1, 4, 12);
  DGSetItemText(page2, 4, u"x");
  EXPECT_EQ(DGGetItemValLong(page1, 4), 12);
  EXPECT_EQ(DGGetItemText(page2, 4), GS::UniString(u"x"));

  DialogUser user(id);
  user.TabPage(7, 2).SetText(4, u"y");
  user.SelectTab(7, 2);
  EXPECT_EQ(DGGetItemValLong(id, 7), 2);
  EXPECT_EQ(recorder.messages, (std::vector<DgMessage>{{DG_MSG_INIT, id, 0, 0},  // no init of the pages
                                                       {DG_MSG_CHANGE, page2, 4, 0},
                                                       {DG_MSG_CHANGE, id, 7, 0}}));

  // A click on a page answered nonzero closes the holding dialog, pages and all.
  user.TabPage(7, 1).Click(4);
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CLOSE, id, 4, 0}));
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_FALSE(DGIsDialogOpen(page1));
}

TEST_F(DgDialogsTest, ClientSizesKeepTheOriginalWhileTheWindowGrows)
{
  pln::host::DefineDialog(kDialog, DGDialogDef{.width = 300, .height = 200, .items = {}});
  const short id = OpenModeless(kDialog);
  DGGrowDialog(id, 20, -10);
  DialogUser(id).Resize(5, 5);
  EXPECT_EQ(recorder.messages.back().message, DG_MSG_RESIZE);
  DGSetDialogClientMinSize(id, 150, 120);
  const std::pair<short, std::pair<short, short>> rows[] = {
      {DG_CLIENT_CURRENT, {325, 195}}, {DG_CLIENT_ORIGINAL, {300, 200}}, {DG_CLIENT_MINIMUM, {150, 120}}};
  for (const auto& [which, size] : rows) {
    SCOPED_TRACE(which);
    short width = 0, height = 0;
    DGGetDialogClientSize(1, id, which, &width, &height);
    EXPECT_EQ(std::make_pair(width, height), size);
  }
}

TEST_F(DgDialogsTest, HelpLocationsAreKeptPerIdentifierPair)
{
  EXPECT_EQ(DG::RegisterAdditionalHelpLocation(7, 9, IO::Location(u"c:\\addon"), {}, {}), NoError);
  ASSERT_NE(pln::host::HelpLocation(7, 9), nullptr);
  EXPECT_EQ(*pln::host::HelpLocation(7, 9), IO::Location(u"c:\\addon"));
  EXPECT_EQ(pln::host::HelpLocation(7, 8), nullptr);
  EXPECT_EQ(DG::UnregisterAdditionalHelpLocation(7, 9), NoError);
  EXPECT_EQ(pln::host::HelpLocation(7, 9), nullptr);
}

// A long session opens dialogs without end: the records of closed ones are
// forgotten once they are many, while an open window is still found and
// the newest closings are still there to read.
TEST_F(DgDialogsTest, ClosedDialogsAreForgottenInALongSessionAndOpenOnesStay)
{
  recorder.answer = [](const DgMessage& m) { return m.message == DG_MSG_CLICK && m.item == 1 ? short(1) : short(0); };
  const short modeless = OpenModeless(kDialog);
  for (int run = 0; run < 1000; ++run) {
    host.QueueDialogScript(kDialog, [](DialogUser& user) { user.Click(1); });
    ASSERT_EQ(RunModal(), 1);
  }
  const auto& openings = pln::host::DialogOpenings();
  EXPECT_LT(openings.size(), 300u);
  EXPECT_EQ(pln::host::OpenDialogId(kDialog), modeless);
  EXPECT_EQ(openings.back().closeItem, 1);
  EXPECT_FALSE(openings.back().open);
  DGModelessClose(modeless);
}

}  // namespace
