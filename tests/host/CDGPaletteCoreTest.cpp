// The palette base on the stand-in: opening as a modeless or dockable
// window, registration with the host, the message table (without hot keys
// and activation), the host's control messages and the hide bookkeeping.

#include "CDGPaletteCore.h"
#include "HostTestSupport.h"
#include "host_debug.h"

#include <utility>

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kRes = 32540;
constexpr short kPopUp = 4;

class TestPalette : public CDGPaletteCore, public Recorder {
public:
  explicit TestPalette(bool dockable = false) : CDGPaletteCore(kRes) { m_bDockable = dockable; }
  using CDGPaletteCore::DisablePaletteControls;
  using CDGPaletteCore::EnableItem;

  void ShowPalette() override
  {
    Note("ShowPalette");
    CDGPaletteCore::ShowPalette();
  }
  bool UpdateData(short, bool save) override { return Note(Line("UpdateData", save), true); }
  short DoMsgClick(short dialId, short item, long long msgData) override
  {
    Note(Line("Click", item));
    return CDGPaletteCore::DoMsgClick(dialId, item, msgData);
  }
  void DoMsgDoubleClick(short, short item, long long) override { Note(Line("DoubleClick", item)); }
  void DoMsgChange(short, short item, long long msgData) override { Note(Line("Change", item, msgData)); }
  void DoMsgTrack(short, short item, long long) override { Note(Line("Track", item)); }
  void DoMsgClose(short, short item) override { Note(Line("Close", item)); }
  void DoMsgUpdate(short, short item, long long) override { Note(Line("Update", item)); }
  void EnableItem(short dialId) override
  {
    Note("EnableItem");
    CDGPaletteCore::EnableItem(dialId);
  }
  short DoMsgUser(short message, short, short, long long) override { return Note(Line("User", message), short(5)); }
  short DoMsgTopStatusChange(short, short item, TopStatusArg* arg) override { return Record("TopStatus", arg, item); }
  void DoMsgResize(short, DG::ResizeEventArg* arg) override { Record("Resize", arg); }
  void DoMsgGrow(short, short hGrow, short vGrow) override { Note(Line("Grow", hGrow, vGrow)); }
  short DoMsgDragDrop(short, short, DragArg* arg) override { return Record("DragDrop", arg, short(17)); }
  bool DoMsgListHeaderClick(short, short, HeaderArg* arg) override { return Record("HeaderClick", arg, true); }
  void DoMsgSplitterDrag(short, short, SplitterArg* arg) override { Record("Splitter", arg); }
  short DoMsgListHeaderDrag(short, short, HeaderArg* arg) override { return Record("HeaderDrag", arg, short(24)); }
  short DoMsgListHeaderResize(short, short, HeaderArg* arg) override { return Record("HeaderResize", arg, short(25)); }
  short DoMsgBackgroundPaint(short, short, PaintArg* arg) override { return Record("Paint", arg, short(22)); }
  GSErrCode OpenPalette() override { return DoPaletteInit(); }
  void ClosePalette() override { DoPaletteClose(); }
  void DisablePaletteControls(short dialId) override
  {
    Note("DisablePaletteControls");
    CDGPaletteCore::DisablePaletteControls(dialId);
  }

  // Set when what the palette shows was replaced behind it; the next user
  // action shows it anew.
  bool RefreshBeforeUserAction(short /*message*/, short /*item*/) override { return std::exchange(stale, false); }

  short Id() const { return m_PaletteID; }
  bool WasVisible() const { return m_bWasVisible; }
  bool stale = false;
};

class CDGPaletteCoreTest : public HostTest {
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
  std::tuple<bool, bool, bool> State() const
  {
    return {palette.Id() != 0 && Visible(palette.Id()), CDGPaletteCore::hiddenByUser, CDGPaletteCore::hiddenByAC};
  }
  short Open()
  {
    EXPECT_EQ(palette.OpenPalette(), NoError);
    return palette.Id();
  }
  void TearDown() override
  {
    if (palette.Id() != 0)
      palette.ClosePalette();
    HostTest::TearDown();
  }

  TestPalette palette;
};

// ---------------------------------------------------------------------------
// Opening and closing

TEST_F(CDGPaletteCoreTest, MenuCommandOpensThenClosesThenOpensAgain)
{
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
  // Opening an open palette does nothing.
  EXPECT_EQ(palette.OpenPalette(), NoError);
  EXPECT_EQ(palette.Id(), first);
  EXPECT_EQ(pln::host::DialogOpenings().size(), 1u);

  palette.CmdOpenPalette();
  EXPECT_EQ(palette.Id(), 0);
  EXPECT_FALSE(palette.IsOn());
  EXPECT_FALSE(DGIsDialogOpen(first));
  EXPECT_FALSE(Registered(first));
  EXPECT_EQ(palette.calls, (CallList{"UpdateData 0", "Close 0"}));

  palette.CmdOpenPalette();
  EXPECT_TRUE(palette.IsOn());
  EXPECT_NE(palette.Id(), first);
}

TEST_F(CDGPaletteCoreTest, DockablePaletteGetsAFreshGuidAtEveryOpening)
{
  TestPalette dockable(true);
  EXPECT_EQ(dockable.OpenPalette(), NoError);
  const short id = dockable.Id();
  const GS::Guid first = dockable.GetGuid();
  EXPECT_FALSE(first.IsNull());
  EXPECT_EQ(pln::host::DialogState(id)->kind, pln::host::DGWindowKind::Palette);
  EXPECT_EQ(pln::host::DialogState(id)->paletteGuid, first);
  EXPECT_TRUE(Visible(id));
  EXPECT_TRUE(Registered(id));
  EXPECT_EQ(dockable.calls, (CallList{"UpdateData 0"}));  // one init, after events began

  dockable.ClosePalette();
  dockable.OpenPalette();
  EXPECT_NE(dockable.GetGuid(), first);
  dockable.ClosePalette();
}

TEST_F(CDGPaletteCoreTest, OpeningWithoutAWindowAnswersGeneralErrorAndAFailedRegistrationLeavesItOpen)
{
  for (bool dockable : {false, true}) {
    host.Reset();
    TestPalette unopened(dockable);
    EXPECT_EQ(unopened.DoPaletteInit(), APIERR_GENERAL);
    EXPECT_EQ(unopened.Id(), 0);
    EXPECT_TRUE(unopened.calls.empty());
  }
  host.Reset();  // the undeclared resource was a misuse on purpose

  pln::host::DefineDialog(kRes, {{1, DGItemKind::Button}});
  pln::host::ClearDebugLines();
  host.FailOnce("ACAPI_RegisterModelessWindow", APIERR_GENERAL);
  EXPECT_EQ(palette.OpenPalette(), NoError);
  EXPECT_TRUE(palette.IsOn());
  EXPECT_FALSE(Registered(palette.Id()));
  ASSERT_FALSE(pln::host::DebugLines().empty());
  EXPECT_EQ(pln::host::DebugLines().back(), "Test:: ACAPI_RegisterModelessWindow failed\n");
  palette.ClosePalette();
  EXPECT_EQ(palette.Id(), 0);
}

// ---------------------------------------------------------------------------
// Messages

TEST_F(CDGPaletteCoreTest, MessageTableLeavesHotKeyAndActivateUndispatched)
{
  DialogUser user(Open());
  DG::ResizeEventArg resize;
  TopStatusArg top;
  DragArg drag;
  PaintArg paint;
  HeaderArg header;
  SplitterArg splitter;
  ExpectDispatch(user, palette,
                 {{4, 1, {"Click 1"}, 0},
                  {5, 1, {"DoubleClick 1"}, 0},
                  {6, 2, {"Change 2 77"}, 0},
                  {7, 2, {"Track 2"}, 0},
                  {16, 2, {"Update 2"}, 0},
                  {13, 2, {"Resize"}, 0, &resize},
                  {15, 3, {"TopStatus"}, 3, &top},
                  {17, 2, {"DragDrop"}, 17, &drag},
                  {22, 2, {"Paint"}, 22, &paint},
                  {23, 2, {"HeaderClick"}, 1, &header},
                  {24, 2, {"HeaderDrag"}, 24, &header},
                  {25, 2, {"HeaderResize"}, 25, &header},
                  {27, 2, {"Splitter"}, 0, &splitter},
                  {16383, 2, {"User 16383"}, 5}});
  for (short message : {11, 14, 2, 8, 10, 18, 21, 26, 28, 16382, 0, -3})
    ExpectDispatch(user, palette, {{message, 2, {}, 0}});
  palette.calls.clear();
  user.Grow(3, -2);
  EXPECT_EQ(palette.calls, (CallList{"Grow 3 -2"}));

  // Sent, the close box's click is answered -1; clicked by the user, it
  // closes the palette.
  ExpectDispatch(user, palette, {{4, -1, {"Click -1"}, -1}});
  const short id = palette.Id();
  palette.calls.clear();
  EXPECT_EQ(user.CloseBox(), -1);
  EXPECT_EQ(palette.calls, (CallList{"Click -1", "Close -1"}));
  EXPECT_FALSE(DGIsDialogOpen(id));
  EXPECT_EQ(palette.Id(), 0);
  EXPECT_FALSE(Registered(id));
}

// A user's action aimed at a view replaced behind it is dropped once, the
// view being shown anew; closing, tracking and the later steps of a drag
// are not actions on the view.
TEST_F(CDGPaletteCoreTest, AnActionOnAReplacedViewIsDropped)
{
  DialogUser user(Open());
  DragArg starting;
  DragArg drop;
  drop.subMessage = DG_DRAG_DROP;
  HeaderArg header;
  const std::vector<std::pair<short, const void*>> actions = {
      {4, nullptr}, {5, nullptr}, {6, nullptr}, {23, &header}, {17, &starting}};
  for (const auto& [message, record] : actions) {
    SCOPED_TRACE(message);
    palette.stale = true;
    palette.calls.clear();
    const auto data = record != nullptr ? static_cast<DGMessageData>(reinterpret_cast<std::intptr_t>(record)) : 77;
    EXPECT_EQ(user.Send(message, 2, data), 0);
    EXPECT_TRUE(palette.calls.empty());
    EXPECT_FALSE(palette.stale);
  }
  palette.stale = true;
  ExpectDispatch(user, palette,
                 {{7, 2, {"Track 2"}, 0}, {17, 2, {"DragDrop"}, 17, &drop}, {4, -1, {"Click -1"}, -1}});
  EXPECT_TRUE(palette.stale);
  ExpectDispatch(user, palette, {{4, 1, {}, 0}, {4, 1, {"Click 1"}, 0}});
}

TEST_F(CDGPaletteCoreTest, HostControlMessagesCloseDisableAndEnable)
{
  const short id = Open();
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
// Hide bookkeeping: each state is (visible, hidden by the user, hidden by
// the host).

TEST_F(CDGPaletteCoreTest, UserToggleHidesAndShowsThePaletteAndShowHideSwapsThroughShowPalette)
{
  const short id = Open();
  palette.calls.clear();
  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_EQ(State(), std::tuple(false, true, false));
  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_EQ(State(), std::tuple(true, false, false));

  palette.DoPaletteShowHide();
  EXPECT_FALSE(Visible(id));
  palette.DoPaletteShowHide();
  EXPECT_TRUE(Visible(id));
  EXPECT_EQ(palette.calls, (CallList{"ShowPalette"}));
}

TEST_F(CDGPaletteCoreTest, WhileTheHostHidesPalettesTheUserCannotBringOneBack)
{
  const short id = Open();
  palette.calls.clear();
  HostSays(id, APIPalMsg_HidePalette_Begin);
  EXPECT_EQ(State(), std::tuple(false, false, true));
  EXPECT_TRUE(palette.WasVisible());
  palette.Do_PaletteShowHide(id, true, false);
  EXPECT_EQ(State(), std::tuple(false, false, true));
  HostSays(id, APIPalMsg_HidePalette_End);
  EXPECT_EQ(State(), std::tuple(true, false, false));
  EXPECT_EQ(palette.calls, (CallList{"EnableItem"}));
}

TEST_F(CDGPaletteCoreTest, APaletteHiddenBeforeTheHostHidesPalettesStaysHiddenButIsEnabledIfNotTheUsers)
{
  // Hidden by the user: the host showing palettes again leaves it alone.
  const short id = Open();
  palette.Do_PaletteShowHide(id, true, false);
  palette.calls.clear();
  HostSays(id, APIPalMsg_HidePalette_Begin);
  EXPECT_FALSE(palette.WasVisible());
  HostSays(id, APIPalMsg_HidePalette_End);
  EXPECT_EQ(State(), std::tuple(false, true, false));
  EXPECT_TRUE(palette.calls.empty());
  palette.ClosePalette();

  // Hidden by the program: it stays hidden but is enabled.
  CDGPaletteCore::hiddenByUser = false;
  const short again = Open();
  palette.HidePalette();
  palette.calls.clear();
  HostSays(again, APIPalMsg_HidePalette_Begin);
  HostSays(again, APIPalMsg_HidePalette_End);
  EXPECT_EQ(State(), std::tuple(false, false, false));
  EXPECT_EQ(palette.calls, (CallList{"EnableItem"}));
}

TEST_F(CDGPaletteCoreTest, BookkeepingIgnoresAWindowThatIsNotOpen)
{
  palette.Do_PaletteShowHide(0, false, true);
  palette.Do_PaletteShowHide(0, true, false);
  EXPECT_EQ(State(), std::tuple(false, false, false));
  palette.DoPaletteShowHide();
  palette.EnablePaletteControls(0, true);
  palette.DisablePaletteControls(0, true);
  EXPECT_TRUE(palette.calls.empty());
}

// A palette destroyed with its window open takes the window and its
// registration along; a late click or host message finds no window and is
// refused instead of reaching the dead palette.
TEST_F(CDGPaletteCoreTest, DestroyingAnOpenPaletteClosesAndUnregistersItsWindow)
{
  for (bool dockable : {false, true}) {
    auto doomed = std::make_unique<TestPalette>(dockable);
    ASSERT_EQ(doomed->OpenPalette(), NoError);
    const short id = doomed->Id();
    ASSERT_TRUE(Registered(id));
    doomed.reset();
    EXPECT_FALSE(DGIsDialogOpen(id));
    EXPECT_FALSE(Registered(id));
    EXPECT_EQ(DialogUser(id).Click(1), 0);
    EXPECT_EQ(HostSays(id, APIPalMsg_ClosePalette), APIERR_BADID);
    ASSERT_EQ(host.DialogMisuses().size(), 1u);
    EXPECT_EQ(host.DialogMisuses()[0], "Click: window " + std::to_string(id) + " does not exist");
    host.Reset();
    pln::host::DefineDialog(kRes, {{1, DGItemKind::Button}});
  }
}

// ---------------------------------------------------------------------------
// Items

TEST_F(CDGPaletteCoreTest, EnablingAnItemOfAClosedPaletteIsAProgrammingError)
{
  EXPECT_DEATH(palette.EnableItem(1, true), "m_PaletteID != 0");
}

TEST_F(CDGPaletteCoreTest, PopupTextComesInTheHostsDefaultCode)
{
  const short id = Open();
  palette.PopupInsert(id, kPopUp, "\x96\xbe\x92\xa9", 9);  // Shift-JIS
  EXPECT_EQ(DGPopUpGetItemText(id, kPopUp, 1), GS::UniString(u"明朝"));
  EXPECT_EQ(DGPopUpGetItemUserData(id, kPopUp, 1), 9);
}

}  // namespace
