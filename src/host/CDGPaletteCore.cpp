#include "CDGPaletteCore.h"

#include "CDGDlgCore.h"
#include "DGMessageDispatch.h"
#include "host_assert.h"
#include "host_debug.h"
#include "host_environment.h"
#include "host_errors.h"

bool CDGPaletteCore::hiddenByUser = false;
bool CDGPaletteCore::hiddenByAC = false;

namespace {

// The flag DGModelessInit takes for a palette opened as a plain window.
constexpr short kPaletteModelessFlag = 0;
// Handed on to DGDisablePaletteDock unchanged.
constexpr short kDockFlag = 1;

bool IsOpenWindow(short dialId) { return dialId != 0 && DGIsDialogOpen(dialId); }

}  // namespace

// ---------------------------------------------------------------------------
// Default operations

CDGPaletteCore::~CDGPaletteCore()
{
  m_bDestroying = true;
  if (!IsOpenWindow(m_PaletteID))
    return;
  // Closing goes on whatever the host answers: the window is going away.
  (void)ACAPI_UnregisterModelessWindow(m_PaletteID);
  DGModelessClose(m_PaletteID);
}

void CDGPaletteCore::ShowPalette() { DGShowModelessDialog(m_PaletteID, DG_TOPMOST_REFERENCE); }

short CDGPaletteCore::DoMsgClick(short /*dialId*/, short item, long long /*msgData*/)
{
  return item == DG_CLOSEBOX ? DG_CLOSEBOX : 0;
}

void CDGPaletteCore::EnableItem(short dialId) { DGEnableItem(dialId, DG_ALL_ITEMS); }

void CDGPaletteCore::DisablePaletteControls(short dialId) { DGDisableItem(dialId, DG_ALL_ITEMS); }

// ---------------------------------------------------------------------------
// Opening and closing

GSErrCode CDGPaletteCore::DoPaletteInit()
{
  if (IsOpenWindow(m_PaletteID))
    return NoError;
  GSErrCode err = NoError;
  if (m_bDockable)
    err = OpenDockable();
  else
    OpenModeless();
  return m_PaletteID == 0 ? APIERR_GENERAL : err;
}

// A dockable palette is created silent and hidden; its init message comes
// when it starts processing events.
GSErrCode CDGPaletteCore::OpenDockable()
{
  m_Guid.Generate();
  const GSResModule module = ACAPI_GetOwnResModule();
  m_PaletteID = DGCreateDockablePalette(module, m_ResourceID, module, PaletteDlgCallBack,
                                        reinterpret_cast<DGUserData>(this), m_Guid);
  if (m_PaletteID == 0)
    return NoError;
  DGBeginProcessEvents(m_PaletteID);
  DGShowModelessDialog(m_PaletteID, DG_TOPMOST_REFERENCE);
  DGDisablePaletteDock(m_Guid, kDockFlag);
  return NoError;
}

void CDGPaletteCore::OpenModeless()
{
  const GSResModule module = ACAPI_GetOwnResModule();
  m_PaletteID = DGModelessInit(module, m_ResourceID, module, PaletteDlgCallBack, reinterpret_cast<DGUserData>(this),
                               kPaletteModelessFlag);
  if (m_PaletteID != 0)
    DGShowModelessDialog(m_PaletteID, DG_TOPMOST_REFERENCE);
}

void CDGPaletteCore::DoPaletteClose()
{
  if (IsOpenWindow(m_PaletteID))
    DGModelessClose(m_PaletteID);
  m_PaletteID = 0;
}

void CDGPaletteCore::CmdOpenPalette()
{
  // A palette that cannot open has shown why.
  if (m_PaletteID == 0)
    static_cast<void>(DoPaletteInit());
  else
    DoPaletteClose();
}

bool CDGPaletteCore::IsOn() const { return IsOpenWindow(m_PaletteID); }

// ---------------------------------------------------------------------------
// Showing and hiding

void CDGPaletteCore::DoPaletteShowHide()
{
  if (!IsOn())
    return;
  if (DGIsModelessDialogVisible(m_PaletteID))
    DGHideModelessDialog(m_PaletteID);
  else
    ShowPalette();
}

void CDGPaletteCore::HidePalette() { DGHideModelessDialog(m_PaletteID); }

void CDGPaletteCore::Do_PaletteShowHide(short dialId, bool byUser, bool hide)
{
  if (!IsOpenWindow(dialId))
    return;
  if (byUser)
    ToggleByUser(dialId);
  else if (hide)
    HideByHost(dialId);
  else
    EndHideByHost(dialId);
}

// While the host hides palettes the user cannot bring one back.
void CDGPaletteCore::ToggleByUser(short dialId)
{
  if (DGIsModelessDialogVisible(dialId)) {
    DGHideModelessDialog(dialId);
    hiddenByUser = true;
  } else if (!hiddenByAC) {
    DGShowModelessDialog(dialId, DG_TOPMOST_REFERENCE);
    hiddenByUser = false;
  }
}

void CDGPaletteCore::HideByHost(short dialId)
{
  hiddenByAC = true;
  m_bWasVisible = DGIsModelessDialogVisible(dialId);
  if (m_bWasVisible)
    DGHideModelessDialog(dialId);
}

// A palette the user hid stays hidden; the others come back as they were.
void CDGPaletteCore::EndHideByHost(short dialId)
{
  hiddenByAC = false;
  if (hiddenByUser)
    return;
  if (m_bWasVisible)
    DGShowModelessDialog(dialId, DG_TOPMOST_REFERENCE);
  EnableItem(dialId);
}

// ---------------------------------------------------------------------------
// Items

void CDGPaletteCore::EnablePaletteControls(short dialId, bool enable)
{
  if (!IsOpenWindow(dialId))
    return;
  if (enable)
    EnableItem(dialId);
  else
    DisablePaletteControls(dialId);
}

void CDGPaletteCore::DisablePaletteControls(short /*dialId*/, bool disable)
{
  if (!IsOn())
    return;
  if (disable)
    DGDisableItem(m_PaletteID, DG_ALL_ITEMS);
  else
    DGEnableItem(m_PaletteID, DG_ALL_ITEMS);
}

void CDGPaletteCore::EnableItem(short item, bool enable)
{
  PLN_ASSERT(m_PaletteID != 0);
  CDGDlgCore::EnableItem(m_PaletteID, item, enable);
}

void CDGPaletteCore::SetDialogSize(short dialId, short dh, short dv) { CDGDlgCore::SetDialogSize(dialId, dh, dv); }

GSErrCode CDGPaletteCore::SetUserControlPen(short dialId, short item)
{
  return CDGDlgCore::SetUserControlPen(dialId, item);
}

GSErrCode CDGPaletteCore::SetUserControlFill(short dialId, short item)
{
  return CDGDlgCore::SetUserControlFill(dialId, item, APIUserControlType_Fill);
}

void CDGPaletteCore::PopupInsert(short dialId, short item, const char* text, long long data)
{
  CDGDlgCore::PopUpInsert(dialId, item, GS::UniString(text, CC_Default), data);
}

// ---------------------------------------------------------------------------
// Message dispatch

short CDGPaletteCore::PaletteDlgCallBack(short message, short dialId, short item, DGUserData userData,
                                         DGMessageData msgData)
{
  auto* palette = reinterpret_cast<CDGPaletteCore*>(userData);
  if (palette == nullptr || palette->m_bDestroying)
    return 0;
  return palette->Dispatch(message, dialId, item, msgData);
}

namespace {

// The messages by which a user acts on what the window shows; closing is
// not among them, whatever the window shows.
bool IsUserAction(short message, short item, DGMessageData msgData)
{
  switch (message) {
  case DG_MSG_CLICK:
    return item != DG_CLOSEBOX;
  case DG_MSG_DOUBLECLICK:
  case DG_MSG_CHANGE:
  case DG_MSG_LISTHEADERCLICK:
    return true;
  case DG_MSG_DRAGDROP: {
    const auto* arg = DGMessageDispatch::RecordOf<DG::DragDropEventArg>(msgData);
    return arg != nullptr && arg->subMessage == DG_DRAG_STARTING;
  }
  default:
    return false;
  }
}

}  // namespace

// Unlike a dialog, a palette hears neither hot keys (11) nor activation (14).
short CDGPaletteCore::Dispatch(short message, short dialId, short item, DGMessageData msgData)
{
  if (IsUserAction(message, item, msgData) && RefreshBeforeUserAction(message, item))
    return 0;
  if (const auto answer = DGMessageDispatch::DispatchShared(*this, message, dialId, item, msgData))
    return *answer;
  switch (message) {
  case DG_MSG_INIT:
    OnInit(dialId);
    return 0;
  case DG_MSG_CLOSE:
    OnClose(dialId, item);
    return 0;
  case DG_MSG_TOPSTATUSCHANGE:
    return DoMsgTopStatusChange(dialId, item,
                                DGMessageDispatch::RecordOf<DG::PanelTopStatusChangeEventArg>(msgData));
  case DG_MSG_LISTHEADERDRAG:
    return DoMsgListHeaderDrag(dialId, item, DGMessageDispatch::RecordOf<DG::ListBoxHeaderEventArg>(msgData));
  default:
    return 0;
  }
}

// A palette that could not register stays open, only without the host's
// control messages.
void CDGPaletteCore::OnInit(short dialId)
{
  DoMsgInit(dialId);
  DGSetFocus(dialId, -1);
  if (ACAPI_RegisterModelessWindow(dialId, PaletteAPIControlCallBack, m_nControlFlags, APINULLGuid) != NoError)
    DBPrintf("Test:: ACAPI_RegisterModelessWindow failed\n");
}

void CDGPaletteCore::OnClose(short dialId, short item)
{
  DoMsgClose(dialId, item);
  // The window is closed already; an unknown registration is no failure.
  (void)ACAPI_UnregisterModelessWindow(dialId);
  m_PaletteID = 0;
}

GSErrCode CDGPaletteCore::PaletteAPIControlCallBack(Int32 referenceId, API_PaletteMessageID message,
                                                    long long /*param*/)
{
  const short dialId = static_cast<short>(referenceId);
  auto* palette = reinterpret_cast<CDGPaletteCore*>(DGGetDialogUserData(dialId));
  if (palette == nullptr || palette->m_bDestroying)
    return NoError;
  switch (message) {
  case APIPalMsg_ClosePalette:
    DGModelessClose(dialId);
    break;
  case APIPalMsg_HidePalette_Begin:
    palette->Do_PaletteShowHide(dialId, false, true);
    break;
  case APIPalMsg_HidePalette_End:
    palette->Do_PaletteShowHide(dialId, false, false);
    break;
  case APIPalMsg_DisableItems_Begin:
    if (IsOpenWindow(dialId))
      palette->DisablePaletteControls(dialId);
    break;
  case APIPalMsg_DisableItems_End:
    if (IsOpenWindow(dialId))
      palette->EnableItem(dialId);
    break;
  default:
    break;
  }
  return NoError;
}
