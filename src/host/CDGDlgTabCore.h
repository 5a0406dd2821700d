#pragma once
// CDGDlgTabCore: the base of one page of a tab control inside a CDGDlgCore
// dialog. The host delivers the page's messages to the owning dialog,
// which forwards them here; how it routes them is the dialog's own affair.
// The page knows its panel's dialog id once the owner has set it, before
// the page's DoMsgInit.

#include "dg_manager.h"
#include "gs_containers.h"
#include "host_api_types.h"
#include "host_types.h"

class CDGDlgTabCore {
public:
  explicit CDGDlgTabCore(short pageResourceId) : m_ResourceID(pageResourceId) {}
  CDGDlgTabCore(const CDGDlgTabCore&) = delete;
  CDGDlgTabCore& operator=(const CDGDlgTabCore&) = delete;
  virtual ~CDGDlgTabCore() = default;

  // == Message operations, in slot order ==
  virtual void DoMsgChange(short item, long long msgData) = 0;
  virtual void SetEnableItem() = 0;
  // false copies the members into the controls, true the controls into the
  // members and answers false to refuse the input.
  virtual bool UpdateData(bool save) = 0;
  virtual void DoMsgInit() = 0;
  virtual void DoMsgClick(short item, long long msgData) = 0;
  virtual void DoMsgDoubleClick(short /*item*/, long long /*msgData*/) {}
  virtual void DoMsgTrack(short item, long long msgData) = 0;
  virtual void DoMsgClose() = 0;
  virtual void DoMsgActivate(long long /*msgData*/) {}
  virtual void DoMsgUpdate(short /*item*/, long long /*msgData*/) {}
  virtual short DoMsgUser(short /*message*/, short /*item*/, long long /*msgData*/) { return 0; }
  virtual void DoMsgResize(DG::ResizeEventArg* /*arg*/) {}
  virtual void DoMsgGrow(short /*hGrow*/, short /*vGrow*/) {}
  virtual short DoMsgListHeaderClick(short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/) { return 0; }
  virtual short DoMsgDragDrop(short /*item*/, DG::DragDropEventArg* /*arg*/) { return 0; }
  virtual void DoMsgSplitterDrag(short /*item*/, DG::SplitterDragEventArg* /*arg*/) {}
  virtual short DoMsgTopStatusChange(short /*item*/, DG::PanelTopStatusChangeEventArg* /*arg*/) { return 0; }
  virtual short DoMsgListHeaderResize(short /*item*/, DG::ListBoxHeaderEventArg* /*arg*/) { return 0; }

  // == Host notifications the owner passes on ==
  [[nodiscard]] virtual GSErrCode ElementEventHandlerProc(const API_NotifyElementType* /*notification*/) { return NoError; }
  virtual void ProjectionNotification(API_NotifyEventID /*event*/) {}
  [[nodiscard]] virtual GSErrCode SelectionChangeHandler(const API_Neig* /*neig*/) { return NoError; }
  [[nodiscard]] virtual GSErrCode ElementReservationChangeHandler(const GS::HashTable<API_Guid, short>& /*reserved*/,
                                                    const GS::HashSet<API_Guid>& /*released*/,
                                                    const GS::HashSet<API_Guid>& /*deleted*/)
  {
    return NoError;
  }
  // The user brought this page to the front.
  virtual void ChangeTab() {}

  void EnableItem(short item, bool enable);

  short GetResourceID() const { return m_ResourceID; }
  short GetDialogID() const { return m_DialogID; }
  void SetDialogID(short dialId) { m_DialogID = dialId; }

protected:
  short m_DialogID = 0;  // the page's panel, set by the owning dialog
  short m_ResourceID;    // the page's resource
};
