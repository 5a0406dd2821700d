// The palette base on the stand-in: opening as a modeless or dockable
// window, registration with the host, the message table (without hot keys
// and activation), the host's control messages and the hide bookkeeping.

#include "CDGPaletteCore.h"
#include "DlgTestSupport.h"
#include "host_debug.h"
#include "host_errors.h"

#include <cstdint>

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kRes = 32540;
constexpr short kPopUp = 4;

class TestPalette : public CDGPaletteCore {
public:
  explicit TestPalette(bool dockable = false) : CDGPaletteCore(kRes) { m_bDockable = dockable; }
  using CDGPaletteCore::DisablePaletteControls;
  using CDGPaletteCore::EnableItem;

  void ShowPalette() override
  {
    calls.emplace_back("ShowPalette");
    CDGPaletteCore::ShowPalette();
  }
  bool UpdateData(short, bool save) override
  {
    calls.push_back(Line("UpdateData", save));
    return true;
  }
  short DoMsgClick(short dialId, short item, long long msgData) override
  {
    calls.push_back(Line("Click", item));
    return CDGPaletteCore::DoMsgClick(dialId, item, msgData);
  }
  void DoMsgDoubleClick(short, short item, long long) override { calls.push_back(Line("DoubleClick", item)); }
  void DoMsgChange(short, short item, long long msgData) override { calls.push_back(Line("Change", item, msgData)); }
  void DoMsgTrack(short, short item, long long) override { calls.push_back(Line("Track", item)); }
  void DoMsgClose(short, short item) override { calls.push_back(Line("Close", item)); }
  void DoMsgUpdate(short, short item, long long) override { calls.push_back(Line("Update", item)); }
  void EnableItem(short dialId) override
  {
    calls.emplace_back("EnableItem");
    CDGPaletteCore::EnableItem(dialId);
  }
  short DoMsgUser(short message, short, short, long long) override
  {
    calls.push_back(Line("User", message));
    return 5;
  }
  short DoMsgTopStatusChange(short, short item, DG::PanelTopStatusChangeEventArg* arg) override
  {
    Record("TopStatus", arg);
    return item;
  }
  void DoMsgResize(short, DG::ResizeEventArg* arg) override { Record("Resize", arg); }
  void DoMsgGrow(short, short hGrow, short vGrow) override { calls.push_back(Line("Grow", hGrow, vGrow)); }
  short DoMsgDragDrop(short, short, DG::DragDropEventArg* arg) override
  {
    Record("DragDrop", arg);
    return 17;
  }
  bool DoMsgListHeaderClick(short, short, DG::ListBoxHeaderEventArg* arg) override
  {
    Record("HeaderClick", arg);
    return true;
  }
  void DoMsgSplitterDrag(short, short, DG::SplitterDragEventArg* arg) override { Record("Splitter", arg); }
  short DoMsgListHeaderDrag(short, short, DG::ListBoxHeaderEventArg* arg) override
  {
    Record("HeaderDrag", arg);
    return 24;
  }
  short DoMsgListHeaderResize(short, short, DG::ListBoxHeaderEventArg* arg) override
  {
    Record("HeaderResize", arg);
    return 25;
  }
  short DoMsgBackgroundPaint(short, short, DG::PanelBackgroundPaintEventArg* arg) override
  {
    Record("Paint", arg);
    return 22;
  }
  GSErrCode OpenPalette() override { return DoPaletteInit(); }
  void ClosePalette() override { DoPaletteClose(); }
  void DisablePaletteControls(short dialId) override
  {
    calls.emplace_back("DisablePaletteControls");
    CDGPaletteCore::DisablePaletteControls(dialId);
  }

  short Id() const { return m_PaletteID; }
  bool WasVisible() const { return m_bWasVisible; }

  CallList calls;
  const void* record = nullptr;

private:
  void Record(const char* op, const void* arg)
  {
    calls.emplace_back(op);
    record = arg;
  }
};

class CDGPaletteCoreTest : public DlgTest {
protected:
  CDGPaletteCoreTest()
  {
    pln::host::DefineDialog(kRes, {{1, DGItemKind::Button}, {2, DGItemKind::CheckBox}, {kPopUp, DGItemKind::PopUp}});
    CDGPaletteCore::hiddenByUser = false;
    CDGPaletteCore::hiddenByAC = false;
  }

  static bool Visible(short id) { return DGIsModelessDialogVisible(id); }
  static bool Registered(short id) { return pln::host::ModelessWindowRegistration(id).has_value(); }
  static GSErrCode HostSays(short id, API_PaletteMessageID message)
  {
    return pln::host::SendPaletteMessage(id, message);
  }
};

DGMessageData Address(const void* record)
{
  return static_cast<DGMessageData>(reinterpret_cast<std::intptr_t>(record));
}

// ---------------------------------------------------------------------------
// Opening and closing

TEST_F(CDGPaletteCoreTest, MenuCommandOpensThenClosesThenOpensAgain)
{
  TestPalette palette;
  palette.CmdOpenPalette();
  const short first = palette.Id();
  ASSERT_NE(first, 0);
  EXPECT_TRUE(palette.IsOn());
  EXPECT_TRUE(Visible(first));
  EXPECT_EQ(pln::host::DialogState(first)->kind, pln::host::DGWindowKind::Modeless);
  EXPECT_EQ(pln::host::DialogState(first)->focusItem, -1);
  EXPECT_TRUE(palette.GetGuid().IsNull());
  const auto registration = pln::host::ModelessWindowRegistration(first);
  ASSERT_TRUE(registration.has_value());
  EXPECT_EQ(registration->flags, 1);
  EXPECT_EQ(registration->guid, APINULLGuid);

  palette.CmdOpenPalette();
  EXPECT_EQ(palette.Id(), 0);
  EXPECT_FALSE(palette.IsOn());
  EXPECT_FALSE(DGIsDialogOpen(first));
  EXPECT_FALSE(Registered(first));
  EXPECT_EQ(palette.calls, (CallList{"UpdateData 0", "Close 0"}));

  palette.CmdOpenPalette();
  EXPECT_TRUE(palette.IsOn());
  EXPECT_NE(palette.Id(), first);
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, DockablePaletteGetsAFreshGuidAtEveryOpening)
{
  TestPalette palette(true);
  EXPECT_EQ(palette.OpenPalette(), NoError);
  const short id = palette.Id();
  const GS::Guid first = palette.GetGuid();
  EXPECT_FALSE(first.IsNull());
  EXPECT_EQ(pln::host::DialogState(id)->kind, pln::host::DGWindowKind::Palette);
  EXPECT_EQ(pln::host::DialogState(id)->paletteGuid, first);
  EXPECT_TRUE(Visible(id));
  EXPECT_TRUE(Registered(id));
  EXPECT_EQ(palette.calls, (CallList{"UpdateData 0"}));  // one init, after events began

  palette.ClosePalette();
  palette.OpenPalette();
  EXPECT_NE(palette.GetGuid(), first);
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, OpeningAnOpenPaletteDoesNothing)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  EXPECT_EQ(palette.OpenPalette(), NoError);
  EXPECT_EQ(palette.Id(), id);
  EXPECT_EQ(pln::host::DialogOpenings().size(), 1u);
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, OpeningWithoutAWindowAnswersGeneralError)
{
  for (bool dockable : {false, true}) {
    host.Reset();
    TestPalette palette(dockable);
    EXPECT_EQ(palette.DoPaletteInit(), APIERR_GENERAL);
    EXPECT_EQ(palette.Id(), 0);
    EXPECT_TRUE(palette.calls.empty());
  }
  host.Reset();  // the undeclared resource was a misuse on purpose
}

TEST_F(CDGPaletteCoreTest, FailedRegistrationLeavesThePaletteOpenButUnregistered)
{
  pln::host::ClearDebugLines();
  host.FailOnce("ACAPI_RegisterModelessWindow", APIERR_GENERAL);
  TestPalette palette;
  EXPECT_EQ(palette.OpenPalette(), NoError);
  EXPECT_TRUE(palette.IsOn());
  EXPECT_FALSE(Registered(palette.Id()));
  ASSERT_FALSE(pln::host::DebugLines().empty());
  EXPECT_EQ(pln::host::DebugLines().back(), "Test:: ACAPI_RegisterModelessWindow failed\n");
  palette.ClosePalette();
  EXPECT_EQ(palette.Id(), 0);
}

TEST_F(CDGPaletteCoreTest, CloseBoxClosesThePalette)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  EXPECT_EQ(DialogUser(id).CloseBox(), -1);
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(palette.Id(), 0);
  EXPECT_FALSE(Registered(id));
  EXPECT_EQ(palette.calls, (CallList{"UpdateData 0", "Click -1", "Close -1"}));
}

// ---------------------------------------------------------------------------
// Messages

struct MessageCase {
  short message;
  short item;
  CallList calls;
  short answer;
  const void* record = nullptr;
};

TEST_F(CDGPaletteCoreTest, MessageTableLeavesHotKeyAndActivateUndispatched)
{
  TestPalette palette;
  palette.OpenPalette();
  DialogUser user(palette.Id());
  DG::ResizeEventArg resize;
  DG::PanelTopStatusChangeEventArg top;
  DG::DragDropEventArg drag;
  DG::PanelBackgroundPaintEventArg paint;
  DG::ListBoxHeaderEventArg header;
  DG::SplitterDragEventArg splitter;
  const std::vector<MessageCase> cases = {
      {4, -1, {"Click -1"}, -1},
      {4, 1, {"Click 1"}, 0},
      {5, 1, {"DoubleClick 1"}, 0},
      {6, 2, {"Change 2 77"}, 0},
      {7, 2, {"Track 2"}, 0},
      {11, 2, {}, 0},
      {14, 2, {}, 0},
      {16, 2, {"Update 2"}, 0},
      {2, 2, {}, 0},
      {8, 2, {}, 0},
      {10, 2, {}, 0},
      {18, 2, {}, 0},
      {21, 2, {}, 0},
      {26, 2, {}, 0},
      {28, 2, {}, 0},
      {16382, 2, {}, 0},
      {0, 2, {}, 0},
      {-3, 2, {}, 0},
      {16383, 2, {"User 16383"}, 5},
  };
  for (const MessageCase& c : cases) {
    palette.calls.clear();
    EXPECT_EQ(user.Send(c.message, c.item, 77), c.answer) << "message " << c.message;
    EXPECT_EQ(palette.calls, c.calls) << "message " << c.message;
  }
  const std::vector<MessageCase> recordCases = {
      {13, 2, {"Resize"}, 0, &resize},
      {15, 3, {"TopStatus"}, 3, &top},
      {17, 2, {"DragDrop"}, 17, &drag},
      {22, 2, {"Paint"}, 22, &paint},
      {23, 2, {"HeaderClick"}, 1, &header},
      {24, 2, {"HeaderDrag"}, 24, &header},
      {25, 2, {"HeaderResize"}, 25, &header},
      {27, 2, {"Splitter"}, 0, &splitter},
  };
  for (const MessageCase& c : recordCases) {
    palette.calls.clear();
    EXPECT_EQ(user.Send(c.message, c.item, Address(c.record)), c.answer) << "message " << c.message;
    EXPECT_EQ(palette.calls, c.calls) << "message " << c.message;
    EXPECT_EQ(palette.record, c.record) << "message " << c.message;
  }
  palette.calls.clear();
  user.Grow(3, -2);
  EXPECT_EQ(palette.calls, (CallList{"Grow 3 -2"}));
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, HostControlMessagesCloseDisableAndEnable)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.calls.clear();
  EXPECT_EQ(HostSays(id, APIPalMsg_DisableItems_Begin), NoError);
  EXPECT_FALSE(pln::host::DialogItemState(id, 1)->enabled);
  EXPECT_FALSE(pln::host::DialogItemState(id, 2)->enabled);
  EXPECT_EQ(HostSays(id, APIPalMsg_DisableItems_End), NoError);
  EXPECT_TRUE(pln::host::DialogItemState(id, 1)->enabled);
  EXPECT_EQ(palette.calls, (CallList{"DisablePaletteControls", "EnableItem"}));

  EXPECT_EQ(HostSays(id, APIPalMsg_ClosePalette), NoError);
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(palette.Id(), 0);
  EXPECT_FALSE(Registered(id));
  EXPECT_EQ(HostSays(id, APIPalMsg_ClosePalette), APIERR_BADID);  // no longer registered
}

// ---------------------------------------------------------------------------
// Hide bookkeeping

TEST_F(CDGPaletteCoreTest, UserToggleHidesAndShowsThePalette)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_FALSE(Visible(id));
  EXPECT_TRUE(CDGPaletteCore::hiddenByUser);
  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_TRUE(Visible(id));
  EXPECT_FALSE(CDGPaletteCore::hiddenByUser);
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, WhileTheHostHidesPalettesTheUserCannotBringOneBack)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.calls.clear();
  HostSays(id, APIPalMsg_HidePalette_Begin);
  EXPECT_FALSE(Visible(id));
  EXPECT_TRUE(CDGPaletteCore::hiddenByAC);
  EXPECT_TRUE(palette.WasVisible());

  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_FALSE(Visible(id));
  EXPECT_FALSE(CDGPaletteCore::hiddenByUser);

  HostSays(id, APIPalMsg_HidePalette_End);
  EXPECT_TRUE(Visible(id));
  EXPECT_FALSE(CDGPaletteCore::hiddenByAC);
  EXPECT_EQ(palette.calls, (CallList{"EnableItem"}));
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, PaletteTheUserHidStaysHiddenWhenTheHostShowsPalettesAgain)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.Do_PaletteShowHide(id, true, false);
  palette.calls.clear();
  HostSays(id, APIPalMsg_HidePalette_Begin);
  EXPECT_FALSE(palette.WasVisible());
  HostSays(id, APIPalMsg_HidePalette_End);
  EXPECT_FALSE(Visible(id));
  EXPECT_TRUE(CDGPaletteCore::hiddenByUser);
  EXPECT_FALSE(CDGPaletteCore::hiddenByAC);
  EXPECT_TRUE(palette.calls.empty());
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, HostHideOfAnInvisiblePaletteLeavesItHiddenButEnablesIt)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.HidePalette();
  palette.calls.clear();
  HostSays(id, APIPalMsg_HidePalette_Begin);
  HostSays(id, APIPalMsg_HidePalette_End);
  EXPECT_FALSE(Visible(id));
  EXPECT_EQ(palette.calls, (CallList{"EnableItem"}));
  palette.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, BookkeepingIgnoresAWindowThatIsNotOpen)
{
  TestPalette palette;
  palette.Do_PaletteShowHide(0, false, true);
  palette.Do_PaletteShowHide(0, true, false);
  EXPECT_FALSE(CDGPaletteCore::hiddenByAC);
  EXPECT_FALSE(CDGPaletteCore::hiddenByUser);
  palette.DoPaletteShowHide();
  palette.EnablePaletteControls(0, true);
  palette.DisablePaletteControls(0, true);
  EXPECT_TRUE(palette.calls.empty());
}

TEST_F(CDGPaletteCoreTest, ShowHideSwapsVisibilityThroughShowPalette)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.calls.clear();
  palette.DoPaletteShowHide();
  EXPECT_FALSE(Visible(id));
  palette.DoPaletteShowHide();
  EXPECT_TRUE(Visible(id));
  EXPECT_EQ(palette.calls, (CallList{"ShowPalette"}));
  palette.ClosePalette();
}

// ---------------------------------------------------------------------------
// Items

TEST_F(CDGPaletteCoreTest, EnablingAnItemOfAClosedPaletteIsAProgrammingError)
{
  TestPalette palette;
  EXPECT_DEATH(palette.EnableItem(1, true), "m_PaletteID != 0");
}

TEST_F(CDGPaletteCoreTest, PopupTextComesInTheHostsDefaultCode)
{
  TestPalette palette;
  palette.OpenPalette();
  const short id = palette.Id();
  palette.PopupInsert(id, kPopUp, "\x96\xbe\x92\xa9", 9);  // Shift-JIS
  EXPECT_EQ(DGPopUpGetItemText(id, kPopUp, 1), GS::UniString(u"明朝"));
  EXPECT_EQ(DGPopUpGetItemUserData(id, kPopUp, 1), 9);
  palette.ClosePalette();
}

}  // namespace
