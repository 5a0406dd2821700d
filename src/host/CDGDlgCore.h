#pragma once
// CDGDlgCore: the base of every dialog of the add-on, a thin object layer
// over the host's dialog manager. The host calls the one plain callback
// DlgCallBack for every message of every dialog opened through this class;
// the callback finds the dialog object in the message's user data and calls
// one virtual operation per message kind. A derived dialog overrides the
// operations it needs; DoMsgChange and DoMsgClose it must supply.
//
// Convention of UpdateData: save = false copies the members into the
// controls; save = true copies the controls into the members and answers
// false to refuse the input (the dialog then stays open).
//
// The static control helpers act on (dialog id, item) and work on any open
// dialog, palettes and tab pages included. Pop-up entries count from 1.

#include "dg_manager.h"
#include "gs_unistring.h"
#include "host_interface.h"
#include "host_types.h"

class CDGDlgCore {
public:
  explicit CDGDlgCore(short resourceId) : m_ResourceID(resourceId) {}
  CDGDlgCore(const CDGDlgCore&) = delete;
  CDGDlgCore& operator=(const CDGDlgCore&) = delete;

  // == Message operations, in the order of the host's table ==
  // Runs the dialog modally; answers the item that closed it (1 OK, 2
  // Cancel with the default click handler).
  virtual short DoModal();
  virtual void CloseDialog() {}
  virtual bool UpdateData(short /*dialId*/, bool /*save*/) { return true; }
  // Item 2 closes as cancelled; item 1 closes when UpdateData(true)
  // accepts the input; any other item keeps the dialog open.
  virtual short DoMsgClick(short dialId, short item, long long msgData);
  virtual void DoMsgDoubleClick(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgChange(short dialId, short item, long long msgData) = 0;
  virtual void DoMsgTrack(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgInit(short dialId) { UpdateData(dialId, false); }
  virtual short DoMsgClose(short dialId, short item) = 0;
  virtual short DoMsgHotKey(short /*dialId*/, short /*item*/) { return 0; }
  virtual short DoMsgUser(short /*message*/, short /*dialId*/, short /*item*/, long long /*msgData*/) { return 0; }
  virtual void DoMsgTopStatusChange(short /*dialId*/, DG::PanelTopStatusChangeEventArg* /*arg*/) {}
  virtual void DoMsgActivate(short /*dialId*/, long long /*msgData*/) {}
  virtual void DoMsgResize(short /*dialId*/, DG::ResizeEventArg* /*arg*/) {}
  virtual void DoMsgGrow(short /*dialId*/, short /*hGrow*/, short /*vGrow*/) {}
  virtual void DoMsgUpdate(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual short DoMsgDragDrop(short /*dialId*/, short /*item*/, DG::DragDropEventArg* /*arg*/) { return 0; }
  virtual bool DoMsgListHeaderClick(short /*dialId*/, short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/)
  {
    return false;
  }
  virtual void DoMsgSplitterDrag(short /*dialId*/, short /*item*/, DG::SplitterDragEventArg* /*arg*/) {}
  virtual short DoMsgBackgroundPaint(short /*dialId*/, short /*item*/, DG::PanelBackgroundPaintEventArg* /*arg*/)
  {
    return 0;
  }
  virtual short DoMsgListHeaderResize(short /*dialId*/, short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/)
  {
    return 0;
  }
  // Closes a modeless window still open, so no message can reach the
  // dialog after it is gone. The derived part is gone by then: its
  // DoMsgClose does not run.
  virtual ~CDGDlgCore();

  // == Running ==
  // Opens the dialog modelessly; keeps and answers its id (0: not opened).
  short DoModeless();
  // The host's message callback; userData is the CDGDlgCore object.
  static short DlgCallBack(short message, short dialId, short item, DGUserData userData, DGMessageData msgData);

  short GetResourceID() const { return m_ResourceID; }
  short GetDialogID() const { return m_DialogID; }

  // == Size ==
  // Sizes the dialog to its resource client size plus (dh, dv); nothing
  // happens when it has that size already. Dialogs call it from DoMsgInit
  // with (dialId, 0, 0).
  static void SetDialogSize(short dialId, short dh, short dv);

  // == Host attribute choosers (ACAPI_Interface 'SUCC'); host error codes ==
  // Filling a control: one that cannot be filled stays empty, and no caller
  // has more to do about it than the user sees, so the results may go.
  static GSErrCode SetUserControlPen(short dialId, short item);
  static GSErrCode SetUserControlPenWithNull(short dialId, short item);
  static GSErrCode SetUserControlWallComposites(short dialId, short item);
  static GSErrCode SetUserControlCompFill(short dialId, short item);
  static GSErrCode SetUserControlMaterial(short dialId, short item);
  static GSErrCode SetUserControlLayer(short dialId, short item);
  static GSErrCode SetUserControlLineType(short dialId, short item);
  static GSErrCode SetUserControlBuildingMaterial(short dialId, short item);
  static GSErrCode SetUserControlFill(short dialId, short item, API_UserControlType type);

  // == Font pop-ups (text: the font's name, user data: its attribute index) ==
  static void SetUserControlFont(short dialId, short item);
  static void FontSelectItem(short dialId, short item, const GS::UniString& name);
  static GS::UniString FontGetSelectedName(short dialId, short item);

  // == Pop-ups by user data ==
  static void PopUpInsert(short dialId, short item, const GS::UniString& text, long long data);
  // The first entry whose user data is data; 0 when none.
  static short PopUpSearchIndex(short dialId, short item, long long data);
  // Selects that entry; with none found nothing stays selected.
  static void PopUpSelectItemUserData(short dialId, short item, long long data);
  // As above, falling back to the entry whose user data is 0.
  static void PopUpSelectItemUserData2(short dialId, short item, long long data);
  // As above, falling back to entry 1, whose user data then replaces *data.
  static void PopUpSelectItemUserDataNew(short dialId, short item, int* data);
  // 0 when nothing is selected.
  static long long PopUpSelectedUserData(short dialId, short item);

  // == Items ==
  static GS::UniString GetItemText(short dialId, short item);
  static void SetItemText(short dialId, short item, const GS::UniString& text);
  static void EnableItem(short dialId, short item, bool enable);

protected:
  short m_ResourceID;   // the dialog resource in the add-on's own module
  short m_DialogID = 0; // set by DoModeless
  bool m_bDestroying = false; // the destructor runs: messages reach no operation

private:
  short Dispatch(short message, short dialId, short item, DGMessageData msgData);
};
