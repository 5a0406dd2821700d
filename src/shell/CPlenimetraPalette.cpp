#include "CPlenimetraPalette.h"

#include "CDGDlgCore.h"
#include "CGSUtil.h"
#include "CarriedInput.h"
#include "DlgLayout.h"
#include "FigureKinds.h"
#include "GSWriteReport.h"
#include "PlenimetraEntry.h"
#include "host_alert.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_notify.h"
#include "host_teamwork.h"

#include <set>

namespace {

const GS::UniString kLayerName(u"メンセラ");
const GS::UniString kNewerRecord(u"このメンセラより新しいバージョンで保存されています。開くことができません");

// The pattern's own layer is no change of the pattern.
bool IsPatternChanged(const CAreaTree& working, CAreaTree stored)
{
  stored.m_Layer = working.m_Layer;
  return working.ChangeCheck(stored);
}

}  // namespace

std::array<CPlenimetraPalette::PageMaker, 3> CPlenimetraPalette::s_PageMakers{};

void CPlenimetraPalette::SetPageMaker(PageSlot slot, PageMaker maker) { s_PageMakers[slot] = maker; }

pln::host::DGDialogDef CPlenimetraPalette::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 240;
  def.height = 150;
  def.items = {
      DlgLayout::Item(kStories, DGItemKind::Button, 5, 5, 55, 20),
      DlgLayout::Item(kFloorCopy, DGItemKind::Button, 62, 5, 55, 20),
      DlgLayout::Item(kOutput, DGItemKind::Button, 119, 5, 55, 20),
      DlgLayout::Item(kSettings, DGItemKind::Button, 176, 5, 59, 20),
      DlgLayout::Item(kInsert, DGItemKind::Button, 5, 30, 55, 20),
      DlgLayout::Item(kCopy, DGItemKind::Button, 62, 30, 55, 20),
      DlgLayout::Item(kDelete, DGItemKind::Button, 119, 30, 55, 20),
      DlgLayout::Item(kPatterns, DGItemKind::PopUp, 5, 55, 110, 22),
      DlgLayout::Item(kRounding, DGItemKind::PopUp, 120, 55, 110, 22),
      DlgLayout::Item(kAutoAreaPage, DGItemKind::Button, 5, 82, 73, 20),
      DlgLayout::Item(kFigurePage, DGItemKind::Button, 81, 82, 73, 20),
      DlgLayout::Item(kTreePage, DGItemKind::Button, 157, 82, 78, 20),
      DlgLayout::Item(kStoryName, DGItemKind::StaticText, 5, 108, 230, 18),
      DlgLayout::Item(kTeamIcon, DGItemKind::Icon, 5, 152, 16, 16),
      DlgLayout::Item(kTeamStatus, DGItemKind::StaticText, 25, 152, 95, 18),
      DlgLayout::Item(kTeamButton, DGItemKind::Button, 125, 150, 50, 20),
      DlgLayout::Item(kTeamSummary, DGItemKind::CheckBox, 180, 150, 55, 20),
  };
  return def;
}

CPlenimetraPalette::CPlenimetraPalette() : CDGPaletteCore(ResourceId)
{
  RegisterFigureKinds(m_Param);
  m_Param.m_pListener = this;
}

CPlenimetraPalette::~CPlenimetraPalette() { m_ElementChangeArray.clear(); }

// ---------------------------------------------------------------------------
// Opening and closing

GSErrCode CPlenimetraPalette::OpenPalette()
{
  const short layer = CGSUtil::GSSelectLayer(reinterpret_cast<const unsigned short*>(kLayerName.ToUStr()), 0);
  m_Param.m_EnvParam.m_Area1Layer = layer;
  m_Param.m_EnvParam.m_ListLayer = layer;
  // Opening the figure layer is a convenience; writes on a layer that
  // stays shut fail where they happen and are reported there.
  static_cast<void>(CGSUtil::SetLayerVisibleStatusNew(m_Param.GetLayer(), true));
  static_cast<void>(CGSUtil::SetLayerLockStatus(m_Param.GetLayer(), false));
  if (m_Param.LoadData2(false) == -1) {
    GSWriteReport(kNewerRecord);
    return APIERR_CANCEL;
  }
  CmdOpenPalette();
  if (!IsOn())
    return APIERR_GENERAL;
  SetDialogSize(m_PaletteID, 0, ACAPI_TeamworkControl_HasConnection() ? kTeamworkRowHeight : 0);
  // The menu's text is a label only.
  static_cast<void>(CGSUtil::SetPaletteMenuTexts(kMenuResId, 1, kMenuTextsResId, 1));
  GSErrCode err = NoError;
  InstallNotifications(err);
  EnableItem(m_PaletteID);
  return err;
}

void CPlenimetraPalette::InstallNotifications(GSErrCode& err)
{
  err = ACAPI_Notify_CatchNewElement(nullptr, PlenimetraElementEventHandler);
  if (err == NoError)
    err = ACAPI_Notify_InstallElementObserver(PlenimetraElementEventHandler);
  if (err == NoError)
    err = ACAPI_Notify_CatchSelectionChange(PlenimetraSelectionChangeHandler);
  const GSErrCode reservation = ACAPI_Notify_CatchElementReservationChange(PlenimetraReservationChangeHandler);
  if (err == NoError)
    err = reservation;
}

void CPlenimetraPalette::ClosePalette()
{
  DoPaletteClose();
  m_Param.Clear();
}

void CPlenimetraPalette::DoMsgInit(short dialId)
{
  CGSUtil::IsTeamworkProject(&m_Param.m_TeamworkUserId);
  short top = 0, bottom = 0;
  DGGetItemRect(dialId, kPatterns, &m_PatternPopupLeft, &top, &m_PatternPopupRight, &bottom);
  // A project the loader could not read may have no pattern.
  if (m_Param.GetTree() != nullptr)
    SetRoundTypeItem(dialId);
  SetTreeItem(dialId, m_Param.m_CurTreeCode);
  SetLayerStatus();
  ShowCurFloor(dialId);
  // The include-summary flag outlives Clear, so the box shows it.
  DGSetItemValLong(dialId, kTeamSummary, m_Param.m_bTeamworkTotal ? 1 : 0);
  if (ACAPI_TeamworkControl_HasConnection()) {
    RecomputeTeamworkStatus(dialId);
  } else {
    for (short item : {kTeamButton, kTeamStatus, kTeamSummary, kTeamIcon})
      DGHideItem(dialId, item);
  }
}

void CPlenimetraPalette::DoMsgClose(short /*dialId*/, short /*item*/)
{
  ForEachOpenPage([](CPlenimetraPage& page) { page.ClosePalette(); });
  // Uninstalling cannot leave a handler behind that matters: the palette is gone.
  (void)ACAPI_Notify_CatchNewElement(nullptr, nullptr);
  (void)ACAPI_Notify_InstallElementObserver(nullptr);
  (void)ACAPI_Notify_CatchSelectionChange(nullptr);
  (void)ACAPI_Notify_CatchElementReservationChange(nullptr);
  static_cast<void>(CGSUtil::SetPaletteMenuTexts(kMenuResId, 1, kMenuTextsResId, 2));  // a label only
}

void CPlenimetraPalette::EnableItem(short dialId)
{
  for (short item : {kStories, kFloorCopy, kOutput, kSettings, kCopy, kPatterns, kRounding, kAutoAreaPage, kFigurePage,
                     kTreePage})
    DGEnableItem(dialId, item);
  CDGDlgCore::EnableItem(dialId, kInsert, !m_Param.m_EnvParam.m_PatternArray.empty());
  CDGDlgCore::EnableItem(dialId, kDelete, DGPopUpGetItemCount(dialId, kPatterns) >= 2);
  const bool teamwork = ACAPI_TeamworkControl_HasConnection();
  for (short item : {kTeamIcon, kTeamStatus, kTeamButton, kTeamSummary})
    CDGDlgCore::EnableItem(dialId, item, teamwork);
}

// ---------------------------------------------------------------------------
// Pop-ups, layers, story

void CPlenimetraPalette::SetTreeItem(short dialId, int code)
{
  DGPopUpDeleteItem(dialId, kPatterns, DG_ALL_ITEMS);
  const std::vector<CAreaTree>& patterns = m_Param.m_AreaTree2.m_Child;
  const std::vector<CAreaTree>& stored = m_Param.m_AreaTreeStore.m_Child;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    const CAreaObject* object = m_Param.GetAreaObject(patterns[i].m_AreaCode);
    PLN_ASSERT(object != nullptr);
    const bool changed = i >= stored.size() || IsPatternChanged(patterns[i], stored[i]);
    GS::UniString text = changed ? GS::UniString(u"*") : GS::UniString();
    text += object->m_Name.m_DefaultName;
    CDGDlgCore::PopUpInsert(dialId, kPatterns, text, patterns[i].m_AreaCode);
  }
  CDGDlgCore::PopUpSelectItemUserData(dialId, kPatterns, code);
}

void CPlenimetraPalette::SetRoundTypeItem(short dialId)
{
  const CAreaTree* node = m_Param.GetTree();
  PLN_ASSERT(node != nullptr);
  DGEnableItem(dialId, kRounding);
  DGPopUpDeleteItem(dialId, kRounding, DG_ALL_ITEMS);
  for (const CRoundTypeParam& table : m_Param.m_EnvParam.m_RoundTypeParamArray)
    CDGDlgCore::PopUpInsert(dialId, kRounding, table.m_Name, table.m_Id);
  CDGDlgCore::PopUpSelectItemUserData(dialId, kRounding, node->m_RoundTypeId);
  EnableItem(dialId);
}

void CPlenimetraPalette::SetLayerStatus()
{
  const short current = m_Param.GetLayer();
  std::set<short> others;
  for (const CAreaTree& pattern : m_Param.m_AreaTree2.m_Child) {
    const short layer = pattern.m_Layer != 0 ? pattern.m_Layer : m_Param.m_EnvParam.m_Area1Layer;
    if (layer != current)
      others.insert(layer);
  }
  // What the user sees of the patterns' layers; a layer the host will not
  // switch shows as it was, and writes on it report their own failures.
  for (short layer : others)
    static_cast<void>(CGSUtil::SetLayerVisibleStatusNew(layer, false));
  static_cast<void>(CGSUtil::SetLayerVisibleStatusNew(current, true));
  static_cast<void>(CGSUtil::SetLayerLockStatus(current, false));
}

void CPlenimetraPalette::ShowCurFloor(short dialId)
{
  DGSetItemText(dialId, kStoryName, CGSUtil::GetFlrName(CGSUtil::GetActStory()));
}

// ---------------------------------------------------------------------------
// Messages

short CPlenimetraPalette::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  switch (item) {
  case DG_CLOSEBOX:
    return DG_CLOSEBOX;
  case kStories:
  case kFloorCopy:
  case kOutput:
  case kSettings:
  case kTeamButton:
    CallPlenimetraFunction(dialId, item);
    break;
  case kInsert:
    GSWriteFailure(GS::UniString(u"計算パターンの挿入を完了できませんでした。"), DoTreeInsert(dialId));
    m_Param.ClearUndo2();
    break;
  case kCopy:
    GSWriteFailure(GS::UniString(u"計算パターンのコピーを完了できませんでした。"), DoTreeCopy(dialId));
    m_Param.ClearUndo2();
    break;
  case kDelete:
    GSWriteFailure(GS::UniString(u"計算パターンの削除を完了できませんでした。"), DoTreeDelete(dialId));
    m_Param.ClearUndo2();
    break;
  case kAutoAreaPage:
    OpenPage(kAutoArea);
    break;
  case kFigurePage:
    OpenPage(kFigureList);
    break;
  case kTreePage:
    OpenPage(kTree);
    break;
  default:
    break;
  }
  return 0;
}

void CPlenimetraPalette::OpenPage(PageSlot slot)
{
  if (m_Pages[slot] == nullptr) {
    if (s_PageMakers[slot] == nullptr)
      return;
    m_Pages[slot] = s_PageMakers[slot](*this);
  }
  HidePalette();
  // A page that cannot open has shown why.
  static_cast<void>(m_Pages[slot]->OpenPalette());
}

void CPlenimetraPalette::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  switch (item) {
  case kPatterns:
    m_Param.ClearUndo2();
    m_Param.m_CurTreeCode = static_cast<int>(CDGDlgCore::PopUpSelectedUserData(dialId, kPatterns));
    SetLayerStatus();
    SetRoundTypeItem(dialId);
    SendUpdateMessage(Hint::PatternChanged);
    SendUpdateMessage(Hint::TreeChanged);
    // Saved, or the next opening (which reloads) forgets the choice; in a
    // step of its own, so that Undo and Redo take the choice with them.
    GSWriteFailure(GS::UniString(u"計算パターンの選択を保存できませんでした。"), SaveAsStep(m_Param, u"メンセラ[パターン選択]"));
    break;
  case kRounding:
    DoRoundTypeChange(dialId);
    break;
  case kTeamSummary:
    if (ACAPI_TeamworkControl_HasConnection()) {
      m_Param.m_bTeamworkTotal = DGGetItemValLong(dialId, kTeamSummary) != 0;
      RecomputeTeamworkStatus(dialId);
    }
    break;
  default:
    break;
  }
  EnableItem(dialId);
}

// The pop-ups share the width the window grew by.
void CPlenimetraPalette::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != 1)
    return;
  short width = 0, height = 0, originalWidth = 0, originalHeight = 0;
  DGGetDialogClientSize(dialId, DG_CLIENT_CURRENT, &width, &height);
  DGGetDialogClientSize(dialId, DG_CLIENT_ORIGINAL, &originalWidth, &originalHeight);
  const short half = static_cast<short>((width - originalWidth) / 2);
  const short edge = static_cast<short>(m_PatternPopupRight + half);
  DGBeginMoveGrowItems(dialId);
  short left = 0, top = 0, right = 0, bottom = 0;
  DGGetItemRect(dialId, kPatterns, &left, &top, &right, &bottom);
  DGGrowItem(dialId, kPatterns, static_cast<short>(edge - right), 0);
  DGGetItemRect(dialId, kRounding, &left, &top, &right, &bottom);
  const short newLeft = static_cast<short>(edge + 5);
  const short newRight = static_cast<short>(width - 10);
  DGMoveGrowItem(dialId, kRounding, static_cast<short>(newLeft - left), 0,
                 static_cast<short>((newRight - newLeft) - (right - left)), 0);
  DGGrowItem(dialId, kStoryName, arg->hGrow, 0);
  DGEndMoveGrowItems(dialId);
}

void CPlenimetraPalette::SendUpdateMessage(HINT hint)
{
  ForEachOpenPage([hint](CPlenimetraPage& page) { page.OnUpdate(hint); });
}

GSErrCode CPlenimetraPalette::SelectionChangeHandler(const API_Neig* neig)
{
  if (m_bIgnoreSelection)
    return NoError;
  // Each page follows the plan's selection as far as the host lets it.
  ForEachOpenPage([neig](CPlenimetraPage& page) { static_cast<void>(page.SelectionChangeHandler(neig)); });
  return NoError;
}

void CPlenimetraPalette::ProjectionNotification(API_NotifyEventID event)
{
  switch (event) {
  case APINotify_New:
  case APINotify_NewAndReset:
  case APINotify_Open:
  case APINotify_Close:
    ClosePalette();
    break;
  case APINotify_ChangeProjectDB:
    // Undo or redo of a step that changed only the record says nothing
    // else: the palette shows what it left from now on, not only from the
    // user's next action. A record the host cannot give now may be another
    // one: the view may be stale, so that is said and nothing is saved
    // over the record.
    if (IsOn()) {
      GSErrCode unread = NoError;
      if (ReloadIfReplaced(&unread))
        m_bAsRecorded = true;
      m_Param.NoteLoadGap(CPlenimetraParam::LoadGap::Record, unread);
      m_Param.ReportIncompleteLoad();
    }
    break;
  case APINotify_PreSave:
    // A record an undo put back is the document already.
    if (IsOn() && !ReloadIfReplaced() && !m_bAsRecorded)
      GSWriteFailure(GS::UniString(u"求積データを保存できませんでした。"), m_Param.SaveData());
    break;
  case APINotify_ChangeFloor:
    m_bAsRecorded = false;
    if (IsOn()) {
      {
        IgnoreSelection ignore(m_bIgnoreSelection);
        SendUpdateMessage(Hint::StoryChanged);
      }
      ShowCurFloor(m_PaletteID);
      if (ACAPI_TeamworkControl_HasConnection())
        RecomputeTeamworkStatus(m_PaletteID);
    }
    break;
  default:
    break;
  }
  ForEachOpenPage([event](CPlenimetraPage& page) { page.ProjectionNotification(event); });
}

// ---------------------------------------------------------------------------
// Element notifications

GSErrCode CPlenimetraPalette::ElementEventHandlerProc(const API_NotifyElementType* notification)
{
  // The pages only collect; the batch's end reports what failed.
  ForEachOpenPage(
      [notification](CPlenimetraPage& page) { static_cast<void>(page.ElementEventHandlerProc(notification)); });
  switch (notification->notifID) {
  case APINotifyElement_BeginEvents:
    m_bAsRecorded = false;
    m_ElementChangeArray.clear();
    m_bHistoryBatch = false;
    // The batch's changes go onto the document the record holds, not onto
    // one a record-only undo left behind.
    m_bReloadedForBatch = ReloadIfReplaced();
    return NoError;
  case APINotifyElement_Undo_Created:
  case APINotifyElement_Undo_Modified:
  case APINotifyElement_Undo_Deleted:
  case APINotifyElement_Redo_Created:
  case APINotifyElement_Redo_Modified:
  case APINotifyElement_Redo_Deleted:
    m_bHistoryBatch = true;
    break;
  case APINotifyElement_EndEvents:
    return EndElementBatch(notification);
  default:
    break;
  }
  if (CElementChangeCore* collector = m_ElementChangeArray.ForNotification(notification->notifID);
      collector != nullptr)
    collector->Begin(&m_Param, notification);
  return NoError;
}

// Undo and redo put back the host's side of a step, the project record
// with it. The record then holds exactly the document of that state (its
// entries in every element, sort indices, automatic areas), which patching
// the document figure by figure cannot give back: it is read again instead,
// and nothing is saved over it.
GSErrCode CPlenimetraPalette::EndElementBatch(const API_NotifyElementType* notification)
{
  GSErrCode unread = NoError;
  if (m_bHistoryBatch && (m_bReloadedForBatch || m_Param.IsRecordReplaced(&unread))) {
    m_ElementChangeArray.clear();
    if (m_bReloadedForBatch)
      return NoError;
    const int result = m_Param.ReloadData();
    if (result < 0)
      return APIERR_GENERAL;
    return NoError;
  }
  // Whatever an undo or redo left that could not be read back (the record
  // itself, a source's or a figure's record) is said once, and nothing is
  // saved over the record: what is shown may lack it.
  m_Param.NoteLoadGap(CPlenimetraParam::LoadGap::Record, unread);
  GSErrCode repairError = NoError;
  const bool changed = m_ElementChangeArray.EndBatch(&m_Param, notification, &repairError);
  m_Param.ReportIncompleteLoad();
  if (!changed) {
    ReportNotFollowed(repairError);
    return repairError;
  }
  {
    IgnoreSelection ignore(m_bIgnoreSelection);
    SendUpdateMessage(Hint::ElementsChanged);
  }
  // What the batch's repairs could not do is the first failure; the rest is
  // saved all the same.
  const GSErrCode saved = m_Param.SaveData();
  const GSErrCode err = repairError != NoError ? repairError : saved;
  ReportNotFollowed(err);
  return err;
}

void CPlenimetraPalette::ReportNotFollowed(GSErrCode err)
{
  if (const GS::UniString text = GSCauseText(err); !text.IsEmpty())
    GSWriteReport(GS::UniString(u"図面の変更を求積データに反映できませんでした：") + text);
}

bool CPlenimetraPalette::ReloadIfReplaced(GSErrCode* unread)
{
  if (!m_Param.IsSeenRecordReplaced(unread))
    return false;
  std::vector<std::function<void()>> views;
  ForEachOpenPage([&views](CPlenimetraPage& page) { views.push_back(page.KeepView()); });
  // A record that cannot be read has said why; the document is the empty
  // one then, and nothing was saved over the record.
  static_cast<void>(m_Param.ReloadData());
  for (const std::function<void()>& view : views)
    if (view)
      view();
  return true;
}

// The figure list and the automatic areas know their rows only by records
// the re-read replaced: an action on them is refused with a word.
bool CPlenimetraPalette::ReloadBeforeUserAction()
{
  m_bAsRecorded = false;
  return ReloadIfReplaced();
}

bool CPlenimetraPage::RefreshBeforeUserAction(short /*message*/, short /*item*/)
{
  if (!m_Palette.ReloadBeforeUserAction())
    return false;
  ReportActionNotCarried(NotCarried::ViewReplaced, GS::UniString());
  return true;
}

// The palette's actions work on the whole document or on the pattern
// shown: a pattern or rounding table chosen is chosen again in the
// refilled pop-up and the action goes ahead on the re-read document,
// unless it was aimed at a pattern the re-read no longer shows.
bool CPlenimetraPalette::RefreshBeforeUserAction(short message, short item)
{
  const short dialId = m_PaletteID;
  const int shownPattern = m_Param.m_CurTreeCode;
  CarriedInput input;
  if (message == DG_MSG_CHANGE && (item == kPatterns || item == kRounding))
    input = CarriedInput::PopUp(dialId, item);
  else if (message == DG_MSG_CHANGE && item == kTeamSummary)
    input = CarriedInput::Value(dialId, item);
  if (!ReloadBeforeUserAction())
    return false;
  const bool onShownPattern = item == kRounding || item == kInsert || item == kCopy || item == kDelete;
  const bool targetKept = !onShownPattern || m_Param.m_CurTreeCode == shownPattern;
  // The choice goes back into its pop-up even when the action is refused.
  const bool putBack = input.PutBack(dialId);
  if (targetKept && putBack)
    return false;
  ReportActionNotCarried(NotCarried::TargetGone, input.Shown());
  return true;
}

void CPlenimetraPalette::DocumentReplaced()
{
  {
    IgnoreSelection ignore(m_bIgnoreSelection);
    SendUpdateMessage(Hint::SettingsApplied);
  }
  if (!IsOn())
    return;
  SetTreeItem();
  if (m_Param.GetTree() != nullptr)
    SetRoundTypeItem(m_PaletteID);
  EnableItem(m_PaletteID);
}
