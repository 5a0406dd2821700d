#include "CDGDlgCore.h"

#include "DGMessageDispatch.h"
#include "host_environment.h"

namespace {

// The host's standard buttons.
constexpr short kItemOK = 1;
constexpr short kItemCancel = 2;

// The flag DGModelessInit takes for the add-on's modeless dialogs.
constexpr short kModelessFlag = 1;

// During SetDialogSize the dialog grows in both directions.
constexpr short kGrowBoth = 3;

}  // namespace

CDGDlgCore::~CDGDlgCore()
{
  m_bDestroying = true;
  // The id may since name another window; only the dialog's own is closed.
  const bool ownWindow = m_DialogID != 0 && DGIsDialogOpen(m_DialogID) &&
                         DGGetDialogUserData(m_DialogID) == reinterpret_cast<DGUserData>(this);
  if (ownWindow)
    DGModelessClose(m_DialogID);
}

short CDGDlgCore::DoModal()
{
  const GSResModule module = ACAPI_GetOwnResModule();
  return DGModalDialog(module, m_ResourceID, module, DlgCallBack, reinterpret_cast<DGUserData>(this));
}

short CDGDlgCore::DoModeless()
{
  const GSResModule module = ACAPI_GetOwnResModule();
  m_DialogID =
      DGModelessInit(module, m_ResourceID, module, DlgCallBack, reinterpret_cast<DGUserData>(this), kModelessFlag);
  return m_DialogID;
}

short CDGDlgCore::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  if (item == kItemCancel)
    return kItemCancel;
  if (item == kItemOK)
    return UpdateData(dialId, true) ? kItemOK : 0;
  return 0;
}

short CDGDlgCore::DlgCallBack(short message, short dialId, short item, DGUserData userData, DGMessageData msgData)
{
  auto* dialog = reinterpret_cast<CDGDlgCore*>(userData);
  if (dialog == nullptr || dialog->m_bDestroying)
    return 0;
  return dialog->Dispatch(message, dialId, item, msgData);
}

// Messages 2, 8-10, 18-21, 24, 26 and every unknown one reach no operation.
short CDGDlgCore::Dispatch(short message, short dialId, short item, DGMessageData msgData)
{
  if (const auto answer = DGMessageDispatch::DispatchShared(*this, message, dialId, item, msgData))
    return *answer;
  switch (message) {
  case DG_MSG_INIT:
    DoMsgInit(dialId);
    DGSetFocus(dialId, -1);
    return 0;
  case DG_MSG_CLOSE:
    return DoMsgClose(dialId, item);
  case DG_MSG_HOTKEY:
    return DoMsgHotKey(dialId, item);
  case DG_MSG_ACTIVATE:
    DoMsgActivate(dialId, msgData);
    return 0;
  case DG_MSG_TOPSTATUSCHANGE:
    DoMsgTopStatusChange(dialId, DGMessageDispatch::RecordOf<DG::PanelTopStatusChangeEventArg>(msgData));
    return 0;
  default:
    return 0;
  }
}

void CDGDlgCore::SetDialogSize(short dialId, short dh, short dv)
{
  const GSResModule module = ACAPI_GetOwnResModule();
  short originalWidth = 0, originalHeight = 0, currentWidth = 0, currentHeight = 0;
  DGGetDialogClientSize(module, dialId, DG_CLIENT_ORIGINAL, &originalWidth, &originalHeight);
  DGGetDialogClientSize(module, dialId, DG_CLIENT_CURRENT, &currentWidth, &currentHeight);
  const int width = originalWidth + dh;
  const int height = originalHeight + dv;
  if (width == currentWidth && height == currentHeight)
    return;
  // Growing in both directions at once; the dialog's own grow type comes
  // back afterwards.
  const short growType = DGGetDialogGrowType(dialId);
  DGSetDialogGrowType(dialId, kGrowBoth);
  DGGrowDialog(dialId, static_cast<short>(width - currentWidth), static_cast<short>(height - currentHeight));
  DGSetDialogGrowType(dialId, growType);
}

GS::UniString CDGDlgCore::GetItemText(short dialId, short item) { return DGGetItemText(dialId, item); }

void CDGDlgCore::SetItemText(short dialId, short item, const GS::UniString& text) { DGSetItemText(dialId, item, text); }

void CDGDlgCore::EnableItem(short dialId, short item, bool enable)
{
  if (enable)
    DGEnableItem(dialId, item);
  else
    DGDisableItem(dialId, item);
}
