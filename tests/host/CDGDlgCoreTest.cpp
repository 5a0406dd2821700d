// The dialog base over the stand-in's dialog manager: which operation each
// message reaches and what goes back to the host, the modal and modeless
// runs, and sizing to the resource.

#include "CDGDlgCore.h"
#include "CDGDlgTabCore.h"
#include "DlgTestSupport.h"

#include <cstdint>

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialogRes = 32510;
constexpr short kPageRes = 32511;

// Answers that tell the operations apart.
constexpr short kCloseAnswer = 33;
constexpr short kHotKeyAnswer = 111;
constexpr short kDragDropAnswer = 17;
constexpr short kPaintAnswer = 22;
constexpr short kHeaderResizeAnswer = 25;
constexpr short kUserAnswer = 99;

class TestDialog : public CDGDlgCore {
public:
  TestDialog() : CDGDlgCore(kDialogRes) {}

  bool UpdateData(short /*dialId*/, bool save) override
  {
    calls.push_back(Line("UpdateData", save));
    return !save || accept;
  }
  short DoMsgClick(short dialId, short item, long long msgData) override
  {
    calls.push_back(Line("Click", item, msgData));
    return CDGDlgCore::DoMsgClick(dialId, item, msgData);
  }
  void DoMsgDoubleClick(short, short item, long long msgData) override
  {
    calls.push_back(Line("DoubleClick", item, msgData));
  }
  void DoMsgChange(short, short item, long long msgData) override { calls.push_back(Line("Change", item, msgData)); }
  void DoMsgTrack(short, short item, long long msgData) override { calls.push_back(Line("Track", item, msgData)); }
  short DoMsgClose(short dialId, short item) override
  {
    calls.push_back(Line("Close", dialId == closeDialId ? 1 : 0, item));
    return kCloseAnswer;
  }
  short DoMsgHotKey(short, short item) override
  {
    calls.push_back(Line("HotKey", item));
    return kHotKeyAnswer;
  }
  short DoMsgUser(short message, short, short item, long long msgData) override
  {
    calls.push_back(Line("User", message, item, msgData));
    return kUserAnswer;
  }
  void DoMsgTopStatusChange(short, DG::PanelTopStatusChangeEventArg* arg) override { Record("TopStatus", arg); }
  void DoMsgActivate(short, long long msgData) override { calls.push_back(Line("Activate", msgData)); }
  void DoMsgResize(short, DG::ResizeEventArg* arg) override { Record("Resize", arg); }
  void DoMsgGrow(short, short hGrow, short vGrow) override { calls.push_back(Line("Grow", hGrow, vGrow)); }
  void DoMsgUpdate(short, short item, long long msgData) override { calls.push_back(Line("Update", item, msgData)); }
  short DoMsgDragDrop(short, short, DG::DragDropEventArg* arg) override
  {
    Record("DragDrop", arg);
    return kDragDropAnswer;
  }
  bool DoMsgListHeaderClick(short, short, DG::ListBoxHeaderEventArg* arg) override
  {
    Record("HeaderClick", arg);
    return true;
  }
  void DoMsgSplitterDrag(short, short, DG::SplitterDragEventArg* arg) override { Record("Splitter", arg); }
  short DoMsgBackgroundPaint(short, short, DG::PanelBackgroundPaintEventArg* arg) override
  {
    Record("Paint", arg);
    return kPaintAnswer;
  }
  short DoMsgListHeaderResize(short, short, DG::ListBoxHeaderEventArg* arg) override
  {
    Record("HeaderResize", arg);
    return kHeaderResizeAnswer;
  }

  CallList calls;
  const void* record = nullptr;  // the record the last pointer operation got
  bool accept = true;            // UpdateData(true) accepts the input
  short closeDialId = 0;

private:
  void Record(const char* op, const void* arg)
  {
    calls.emplace_back(op);
    record = arg;
  }
};

class CDGDlgCoreTest : public DlgTest {
protected:
  CDGDlgCoreTest()
  {
    pln::host::DefineDialog(kDialogRes, {{1, DGItemKind::Button}, {2, DGItemKind::Button}, {3, DGItemKind::Button},
                                   {4, DGItemKind::PopUp}, {5, DGItemKind::UserControl}});
  }
};

DGMessageData Address(const void* record)
{
  return static_cast<DGMessageData>(reinterpret_cast<std::intptr_t>(record));
}

struct MessageCase {
  short message;
  short item;
  CallList calls;
  short answer;
  const void* record = nullptr;
};

TEST_F(CDGDlgCoreTest, EveryMessageReachesItsOperationAndTheAnswerGoesBack)
{
  TestDialog dialog;
  const short id = dialog.DoModeless();
  ASSERT_NE(id, 0);
  dialog.closeDialId = id;
  DialogUser user(id);

  DG::ResizeEventArg resize;
  DG::PanelTopStatusChangeEventArg top;
  DG::DragDropEventArg drag;
  DG::PanelBackgroundPaintEventArg paint;
  DG::ListBoxHeaderEventArg header;
  DG::SplitterDragEventArg splitter;
  const std::vector<MessageCase> cases = {
      {1, 3, {"UpdateData 0"}, 0},
      {2, 3, {}, 0},
      {3, 3, {"Close 1 3"}, kCloseAnswer},
      {4, 2, {"Click 2 77"}, 2},
      {5, 3, {"DoubleClick 3 77"}, 0},
      {6, 3, {"Change 3 77"}, 0},
      {7, 3, {"Track 3 77"}, 0},
      {8, 3, {}, 0},
      {9, 3, {}, 0},
      {10, 3, {}, 0},
      {11, 3, {"HotKey 3"}, kHotKeyAnswer},
      {14, 3, {"Activate 77"}, 0},
      {16, 3, {"Update 3 77"}, 0},
      {18, 3, {}, 0},
      {19, 3, {}, 0},
      {20, 3, {}, 0},
      {21, 3, {}, 0},
      {24, 3, {}, 0},
      {26, 3, {}, 0},
      {28, 3, {}, 0},
      {16382, 3, {}, 0},
      {0, 3, {}, 0},
      {-1, 3, {}, 0},
      {16383, 3, {"User 16383 3 77"}, kUserAnswer},
      {30000, 3, {"User 30000 3 77"}, kUserAnswer},
  };
  for (const MessageCase& c : cases) {
    dialog.calls.clear();
    EXPECT_EQ(user.Send(c.message, c.item, 77), c.answer) << "message " << c.message;
    EXPECT_EQ(dialog.calls, c.calls) << "message " << c.message;
  }

  const std::vector<MessageCase> recordCases = {
      {13, 3, {"Resize"}, 0, &resize},
      {15, 3, {"TopStatus"}, 0, &top},
      {17, 3, {"DragDrop"}, kDragDropAnswer, &drag},
      {22, 3, {"Paint"}, kPaintAnswer, &paint},
      {23, 3, {"HeaderClick"}, 1, &header},
      {25, 3, {"HeaderResize"}, kHeaderResizeAnswer, &header},
      {27, 3, {"Splitter"}, 0, &splitter},
  };
  for (const MessageCase& c : recordCases) {
    dialog.calls.clear();
    dialog.record = nullptr;
    EXPECT_EQ(user.Send(c.message, c.item, Address(c.record)), c.answer) << "message " << c.message;
    EXPECT_EQ(dialog.calls, c.calls) << "message " << c.message;
    EXPECT_EQ(dialog.record, c.record) << "message " << c.message;
  }
  DGModelessClose(id);
}

TEST_F(CDGDlgCoreTest, GrowSplitsTheDataWordIntoSignedHalves)
{
  TestDialog dialog;
  DialogUser user(dialog.DoModeless());
  user.Grow(3, -2);
  user.Grow(-32768, 32767);
  user.Grow(-1, 0);
  user.Grow(0, -1);
  EXPECT_EQ(dialog.calls, (CallList{"UpdateData 0", "Grow 3 -2", "Grow -32768 32767", "Grow -1 0", "Grow 0 -1"}));
  DGModelessClose(user.DialogId());
}

TEST_F(CDGDlgCoreTest, ModalOkIsRefusedUntilUpdateDataAcceptsTheInput)
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
}

TEST_F(CDGDlgCoreTest, ModalCancelClosesWithoutAskingForTheInput)
{
  TestDialog dialog;
  host.QueueDialogScript(kDialogRes, [](DialogUser& user) { user.Click(2); });
  EXPECT_EQ(dialog.DoModal(), 2);
  EXPECT_EQ(dialog.calls, (CallList{"UpdateData 0", "Click 2 0", "Close 0 2"}));
}

TEST_F(CDGDlgCoreTest, ModelessDialogKeepsItsIdAndHearsHotKeysAndActivation)
{
  TestDialog dialog;
  const short id = dialog.DoModeless();
  EXPECT_EQ(dialog.GetDialogID(), id);
  EXPECT_EQ(pln::host::OpenDialogId(kDialogRes), id);
  DialogUser user(id);
  EXPECT_EQ(user.HotKey(7), kHotKeyAnswer);
  user.Activate(true);
  user.Activate(false);
  dialog.closeDialId = id;
  DGModelessClose(id);
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(dialog.calls, (CallList{"UpdateData 0", "HotKey 7", "Activate 1", "Activate 0", "Close 1 0"}));
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

TEST_F(CDGDlgCoreTest, SetDialogSizeGrowsToTheResourceSizePlusTheExtra)
{
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 200;
  def.items = {ItemDef(1, DGItemKind::Button)};
  host.DefineDialog(kDialogRes, def);
  TestDialog dialog;
  const short id = dialog.DoModeless();
  DGSetDialogGrowType(id, 1);

  host.ClearCallLog();
  CDGDlgCore::SetDialogSize(id, 0, 0);
  EXPECT_EQ(Calls("DGGrowDialog"), 0);  // already that size

  CDGDlgCore::SetDialogSize(id, 10, 28);
  EXPECT_EQ(pln::host::DialogState(id)->width, 310);
  EXPECT_EQ(pln::host::DialogState(id)->height, 228);
  EXPECT_EQ(DGGetDialogGrowType(id), 1);

  // The user made it larger; sizing to the resource shrinks it back.
  DialogUser(id).Resize(45, -8);
  CDGDlgCore::SetDialogSize(id, 0, 0);
  EXPECT_EQ(pln::host::DialogState(id)->width, 300);
  EXPECT_EQ(pln::host::DialogState(id)->height, 200);
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
  pln::host::DGDialogDef def;
  pln::host::DGItemDef tabs;
  tabs.item = 6;
  tabs.kind = DGItemKind::TabControl;
  tabs.tabPages = {kPageRes};
  def.items = {ItemDef(1, DGItemKind::CheckBox), tabs};
  host.DefineDialog(kDialogRes, def);
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
