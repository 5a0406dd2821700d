// The dialog base over the stand-in's dialog manager: which operation each
// message reaches and what goes back to the host, the modal and modeless
// runs, and sizing to the resource.

#include "CDGDlgCore.h"
#include "CDGDlgTabCore.h"
#include "HostTestSupport.h"

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialogRes = 32510;
constexpr short kPageRes = 32511;

// Answers that tell the operations apart.
constexpr short kCloseAnswer = 33;
constexpr short kHotKeyAnswer = 111;
constexpr short kUserAnswer = 99;

class TestDialog : public CDGDlgCore, public Recorder {
public:
  TestDialog() : CDGDlgCore(kDialogRes) {}

  bool UpdateData(short /*dialId*/, bool save) override { return Note(Line("UpdateData", save), !save || accept); }
  short DoMsgClick(short dialId, short item, long long msgData) override
  {
    Note(Line("Click", item, msgData));
    return CDGDlgCore::DoMsgClick(dialId, item, msgData);
  }
  void DoMsgDoubleClick(short, short item, long long msgData) override { Note(Line("DoubleClick", item, msgData)); }
  void DoMsgChange(short, short item, long long msgData) override { Note(Line("Change", item, msgData)); }
  void DoMsgTrack(short, short item, long long msgData) override { Note(Line("Track", item, msgData)); }
  short DoMsgClose(short dialId, short item) override
  {
    return Note(Line("Close", dialId == closeDialId ? 1 : 0, item), kCloseAnswer);
  }
  short DoMsgHotKey(short, short item) override { return Note(Line("HotKey", item), kHotKeyAnswer); }
  short DoMsgUser(short message, short, short item, long long msgData) override
  {
    return Note(Line("User", message, item, msgData), kUserAnswer);
  }
  void DoMsgTopStatusChange(short, TopStatusArg* arg) override { Record("TopStatus", arg); }
  void DoMsgActivate(short, long long msgData) override { Note(Line("Activate", msgData)); }
  void DoMsgResize(short, DG::ResizeEventArg* arg) override { Record("Resize", arg); }
  void DoMsgGrow(short, short hGrow, short vGrow) override { Note(Line("Grow", hGrow, vGrow)); }
  void DoMsgUpdate(short, short item, long long msgData) override { Note(Line("Update", item, msgData)); }
  short DoMsgDragDrop(short, short, DragArg* arg) override { return Record("DragDrop", arg, short(17)); }
  bool DoMsgListHeaderClick(short, short, HeaderArg* arg) override { return Record("HeaderClick", arg, true); }
  void DoMsgSplitterDrag(short, short, SplitterArg* arg) override { Record("Splitter", arg); }
  short DoMsgBackgroundPaint(short, short, PaintArg* arg) override { return Record("Paint", arg, short(22)); }
  short DoMsgListHeaderResize(short, short, HeaderArg* arg) override { return Record("HeaderResize", arg, short(25)); }

  bool accept = true;  // UpdateData(true) accepts the input
  short closeDialId = 0;
};

class CDGDlgCoreTest : public HostTest {
protected:
  CDGDlgCoreTest()
  {
    pln::host::DefineDialog(kDialogRes, {{1, DGItemKind::Button}, {2, DGItemKind::Button}, {3, DGItemKind::Button},
                                         {4, DGItemKind::PopUp}, {5, DGItemKind::UserControl}});
  }
};

TEST_F(CDGDlgCoreTest, EveryMessageReachesItsOperationAndTheAnswerGoesBack)
{
  TestDialog dialog;
  const short id = dialog.DoModeless();
  ASSERT_NE(id, 0);
  EXPECT_EQ(dialog.GetDialogID(), id);
  EXPECT_EQ(pln::host::OpenDialogId(kDialogRes), id);
  dialog.closeDialId = id;
  DialogUser user(id);

  DG::ResizeEventArg resize;
  DG::PanelTopStatusChangeEventArg top;
  DG::DragDropEventArg drag;
  DG::PanelBackgroundPaintEventArg paint;
  DG::ListBoxHeaderEventArg header;
  DG::SplitterDragEventArg splitter;
  ExpectDispatch(user, dialog,
                 {{1, 3, {"UpdateData 0"}, 0},
                  {3, 3, {"Close 1 3"}, kCloseAnswer},
                  {4, 2, {"Click 2 77"}, 2},
                  {5, 3, {"DoubleClick 3 77"}, 0},
                  {6, 3, {"Change 3 77"}, 0},
                  {7, 3, {"Track 3 77"}, 0},
                  {11, 3, {"HotKey 3"}, kHotKeyAnswer},
                  {14, 3, {"Activate 77"}, 0},
                  {16, 3, {"Update 3 77"}, 0},
                  {13, 3, {"Resize"}, 0, &resize},
                  {15, 3, {"TopStatus"}, 0, &top},
                  {17, 3, {"DragDrop"}, 17, &drag},
                  {22, 3, {"Paint"}, 22, &paint},
                  {23, 3, {"HeaderClick"}, 1, &header},
                  {25, 3, {"HeaderResize"}, 25, &header},
                  {27, 3, {"Splitter"}, 0, &splitter},
                  {16383, 3, {"User 16383 3 77"}, kUserAnswer},
                  {30000, 3, {"User 30000 3 77"}, kUserAnswer}});
  for (short message : {2, 8, 9, 10, 18, 19, 20, 21, 24, 26, 28, 16382, 0, -1})
    ExpectDispatch(user, dialog, {{message, 3, {}, 0}});

  // Grow's data word splits into signed halves.
  dialog.calls.clear();
  user.Grow(3, -2);
  user.Grow(-32768, 32767);
  user.Grow(-1, 0);
  user.Grow(0, -1);
  EXPECT_EQ(dialog.calls, (CallList{"Grow 3 -2", "Grow -32768 32767", "Grow -1 0", "Grow 0 -1"}));

  dialog.calls.clear();
  DGModelessClose(id);
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(dialog.calls, (CallList{"Close 1 0"}));
}

TEST_F(CDGDlgCoreTest, ModalOkIsRefusedUntilUpdateDataAcceptsTheInputAndCancelIsNot)
{
  TestDialog dialog;
  dialog.accept = false;
  short focusAfterInit = 0;
  host.QueueDialogScript(kDialogRes, [&](DialogUser& user) {
    focusAfterInit = pln::host::DialogState(user.DialogId())->focusItem;
    dialog.closeDialId = user.DialogId();
    EXPECT_EQ(user.Click(3), 0);
    EXPECT_EQ(user.Click(1), 0);
    EXPECT_TRUE(user.IsOpen());
    dialog.accept = true;
    EXPECT_EQ(user.Click(1), 1);
    EXPECT_FALSE(user.IsOpen());
  });
  EXPECT_EQ(dialog.DoModal(), 1);
  EXPECT_EQ(focusAfterInit, -1);
  EXPECT_EQ(dialog.calls, (CallList{"UpdateData 0", "Click 3 0", "Click 1 0", "UpdateData 1", "Click 1 0",
                                    "UpdateData 1", "Close 1 1"}));
  // A modal run leaves the modeless id alone.
  EXPECT_EQ(dialog.GetDialogID(), 0);

  // Cancel closes without asking for the input.
  TestDialog cancelled;
  host.QueueDialogScript(kDialogRes, [](DialogUser& user) { user.Click(2); });
  EXPECT_EQ(cancelled.DoModal(), 2);
  EXPECT_EQ(cancelled.calls, (CallList{"UpdateData 0", "Click 2 0", "Close 0 2"}));
}

TEST_F(CDGDlgCoreTest, UnknownResourceOpensNothing)
{
  class Other : public TestDialog {
  public:
    Other() { m_ResourceID = 1; }
  } dialog;
  EXPECT_EQ(dialog.DoModeless(), 0);
  EXPECT_EQ(dialog.DoModal(), 0);
  EXPECT_TRUE(dialog.calls.empty());
  EXPECT_EQ(host.DialogMisuses().size(), 2u);
  host.Reset();
}

// A modeless dialog destroyed while open closes its window; a late click is
// refused by the host instead of reaching the dead dialog.
TEST_F(CDGDlgCoreTest, DestroyingAnOpenModelessDialogClosesItsWindow)
{
  auto doomed = std::make_unique<TestDialog>();
  const short id = doomed->DoModeless();
  ASSERT_NE(id, 0);
  doomed.reset();
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(DialogUser(id).Click(3), 0);
  ASSERT_EQ(host.DialogMisuses().size(), 1u);
  EXPECT_EQ(host.DialogMisuses()[0], "Click: window " + std::to_string(id) + " does not exist");
  host.Reset();
}

TEST_F(CDGDlgCoreTest, SetDialogSizeGrowsToTheResourceSizePlusTheExtra)
{
  host.DefineDialog(kDialogRes, {.width = 300, .height = 200, .items = {{.item = 1, .kind = DGItemKind::Button}}});
  TestDialog dialog;
  const short id = dialog.DoModeless();
  DGSetDialogGrowType(id, 1);
  const auto size = [&] {
    const auto* state = pln::host::DialogState(id);
    return std::pair<int, int>(state->width, state->height);
  };

  host.ClearCallLog();
  CDGDlgCore::SetDialogSize(id, 0, 0);
  EXPECT_EQ(Calls("DGGrowDialog"), 0);  // already that size

  CDGDlgCore::SetDialogSize(id, 10, 28);
  EXPECT_EQ(size(), std::pair(310, 228));
  EXPECT_EQ(DGGetDialogGrowType(id), 1);

  // The user made it larger; sizing to the resource shrinks it back.
  DialogUser(id).Resize(45, -8);
  CDGDlgCore::SetDialogSize(id, 0, 0);
  EXPECT_EQ(size(), std::pair(300, 200));
  DGModelessClose(id);
}

// ---------------------------------------------------------------------------
// Tab pages

class TestPage : public CDGDlgTabCore {
public:
  TestPage() : CDGDlgTabCore(kPageRes) {}
  void DoMsgChange(short, long long) override {}
  void SetEnableItem() override {}
  bool UpdateData(bool) override { return true; }
  void DoMsgInit() override {}
  void DoMsgClick(short, long long) override {}
  void DoMsgTrack(short, long long) override {}
  void DoMsgClose() override {}
};

TEST_F(CDGDlgCoreTest, TabPageEnablesItemsOfItsOwnPanel)
{
  pln::host::DefineDialog(kPageRes, {{1, DGItemKind::CheckBox}});
  host.DefineDialog(kDialogRes, {.items = {{.item = 1, .kind = DGItemKind::CheckBox},
                                           {.item = 6, .kind = DGItemKind::TabControl, .tabPages = {kPageRes}}}});
  TestDialog dialog;
  const short id = dialog.DoModeless();

  TestPage page;
  EXPECT_EQ(page.GetDialogID(), 0);
  page.SetDialogID(DGTabControlGetTabPageId(id, 6, 1));
  page.EnableItem(1, false);
  EXPECT_FALSE(pln::host::DialogItemState(page.GetDialogID(), 1)->enabled);
  EXPECT_TRUE(pln::host::DialogItemState(id, 1)->enabled);
  page.EnableItem(1, true);
  EXPECT_TRUE(pln::host::DialogItemState(page.GetDialogID(), 1)->enabled);
  DGModelessClose(id);
}

}  // namespace
