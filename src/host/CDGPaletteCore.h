#pragma once
// CDGPaletteCore: the base of the add-on's palettes, modeless windows that
// stay open beside the drawing. A palette opens either as a dockable
// palette with a guid of its own or as a plain modeless dialog, registers
// with the host at its init message so the host can close, hide, disable
// and enable it, and dispatches its dialog messages to virtual operations
// as CDGDlgCore does (but without the hot-key and activate messages).
//
// Hiding has two causes, kept in two process-wide flags shared by every
// palette: the user (hiddenByUser) and the host (hiddenByAC). A palette
// comes back only when neither holds it hidden.

#include "dg_manager.h"
#include "gs_guid.h"
#include "host_api_types.h"
#include "host_palette.h"
#include "host_types.h"

class CDGPaletteCore {
public:
  explicit CDGPaletteCore(short resourceId) : m_ResourceID(resourceId) {}
  CDGPaletteCore(const CDGPaletteCore&) = delete;
  CDGPaletteCore& operator=(const CDGPaletteCore&) = delete;

  // == Virtual operations, in slot order ==
  virtual void ShowPalette();
  // Closes a window still open and ends its registration, so neither the
  // host nor the user can reach the palette after it is gone. The derived
  // part is gone by then: its DoMsgClose does not run.
  virtual ~CDGPaletteCore();
  virtual bool UpdateData(short /*dialId*/, bool /*save*/) { return true; }
  // The close box (item -1) answers -1, which closes the window.
  virtual short DoMsgClick(short dialId, short item, long long msgData);
  virtual void DoMsgDoubleClick(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgChange(short dialId, short item, long long msgData) = 0;
  virtual void DoMsgTrack(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgClose(short dialId, short item) = 0;
  virtual void DoMsgUpdate(short /*dialId*/, short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgInit(short dialId) { UpdateData(dialId, false); }
  // Enables every item of the window.
  virtual void EnableItem(short dialId);
  virtual short DoMsgUser(short /*message*/, short /*dialId*/, short /*item*/, long long /*msgData*/) { return 0; }
  virtual short DoMsgTopStatusChange(short /*dialId*/, short /*item*/, DG::PanelTopStatusChangeEventArg* /*arg*/)
  {
    return 0;
  }
  virtual void DoMsgResize(short /*dialId*/, DG::ResizeEventArg* /*arg*/) {}
  virtual void DoMsgGrow(short /*dialId*/, short /*hGrow*/, short /*vGrow*/) {}
  virtual short DoMsgDragDrop(short /*dialId*/, short /*item*/, DG::DragDropEventArg* /*arg*/) { return 0; }
  virtual bool DoMsgListHeaderClick(short /*dialId*/, short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/)
  {
    return false;
  }
  virtual void DoMsgSplitterDrag(short /*dialId*/, short /*item*/, DG::SplitterDragEventArg* /*arg*/) {}
  virtual short DoMsgListHeaderDrag(short /*dialId*/, short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/)
  {
    return 0;
  }
  virtual short DoMsgListHeaderResize(short /*dialId*/, short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/)
  {
    return 0;
  }
  virtual short DoMsgBackgroundPaint(short /*dialId*/, short /*item*/, DG::PanelBackgroundPaintEventArg* /*arg*/)
  {
    return 0;
  }
  [[nodiscard]] virtual GSErrCode SelectionChangeHandler(const API_Neig* /*neig*/) { return NoError; }
  [[nodiscard]] virtual GSErrCode ElementEventHandlerProc(const API_NotifyElementType* /*notification*/) { return NoError; }
  virtual void ProjectionNotification(API_NotifyEventID /*event*/) {}
  [[nodiscard]] virtual GSErrCode OpenPalette() = 0;
  virtual void ClosePalette() = 0;
  virtual void DonePaletteCommand(short /*command*/) {}
  virtual void SetList(bool /*enable*/) {}
  // Before a user's click, double click, change, header click or the start
  // of a drag, where what the window shows may have been replaced behind
  // it: the window shows it anew and sets back what the action was aimed
  // at, so that the action runs on the new view; true when it cannot, and
  // the action, aimed at the old view, is dropped (saying why is the
  // window's business). The message and item say which action it is.
  virtual bool RefreshBeforeUserAction(short /*message*/, short /*item*/) { return false; }
  // Disables every item of the window.
  virtual void DisablePaletteControls(short dialId);

  // == Opening and closing ==
  // Opens the window unless it is open; APIERR_GENERAL when no window
  // opened.
  [[nodiscard]] GSErrCode DoPaletteInit();
  // Closes an open window (its close message runs); the id is 0 afterwards
  // in any case.
  void DoPaletteClose();
  // Opens a closed palette, closes an open one.
  void CmdOpenPalette();
  bool IsOn() const;

  // == Showing and hiding ==
  void DoPaletteShowHide();
  void HidePalette();
  // The hide bookkeeping: byUser true toggles at the user's request; byUser
  // false with hide true / false is the host hiding palettes / ending that.
  void Do_PaletteShowHide(short dialId, bool byUser, bool hide);

  // == Items ==
  void EnablePaletteControls(short dialId, bool enable);
  void DisablePaletteControls(short dialId, bool disable);
  // The window must be open.
  void EnableItem(short item, bool enable);
  void SetDialogSize(short dialId, short dh, short dv);
  [[nodiscard]] GSErrCode SetUserControlPen(short dialId, short item);
  [[nodiscard]] GSErrCode SetUserControlFill(short dialId, short item);
  // Appends an entry; text in the host's default character code.
  void PopupInsert(short dialId, short item, const char* text, long long data);
  void SetPaletteMenuTexts(bool /*open*/, bool /*enable*/) {}

  // == Host callbacks; userData / the window's user data is the palette ==
  static short PaletteDlgCallBack(short message, short dialId, short item, DGUserData userData,
                                  DGMessageData msgData);
  [[nodiscard]] static GSErrCode PaletteAPIControlCallBack(Int32 referenceId, API_PaletteMessageID message, long long param);

  short GetResourceID() const { return m_ResourceID; }
  const GS::Guid& GetGuid() const { return m_Guid; }

  static bool hiddenByUser;
  static bool hiddenByAC;

  short m_PaletteID = 0;  // the open window; 0 when closed

protected:
  short m_ResourceID;
  Int32 m_nControlFlags = 1;  // handed to the host at registration
  bool m_bDockable = false;   // set by a derived palette before it opens
  GS::Guid m_Guid;            // a dockable palette's identity, new at every opening
  bool m_bWasVisible = false; // whether the window was visible when the host hid it
  bool m_bDestroying = false; // the destructor runs: messages reach no operation

private:
  [[nodiscard]] GSErrCode OpenDockable();
  void OpenModeless();
  short Dispatch(short message, short dialId, short item, DGMessageData msgData);
  void OnInit(short dialId);
  void OnClose(short dialId, short item);
  void ToggleByUser(short dialId);
  void HideByHost(short dialId);
  void EndHideByHost(short dialId);
};
