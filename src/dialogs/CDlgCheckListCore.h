#pragma once
// CDlgCheckListCore: the modal check-list dialog shared by the automatic-area
// target dialog (CDlgEditArea2Target) and the area-list column dialog
// (CDlgEditAreaListItem): one list (item 4) with a name column, a tick
// column and a blank filler, a check box (item 3) laid over the tick cell of
// the selected row as its editor, OK (1) and Cancel (2).
//
// A derived dialog supplies its rows (index from 0; list row = index + 1)
// and their ticks; the base lays out and fills the list, moves the check box
// with the selection, and gives the box's value to every selected row. The
// column widths the user leaves are stored per resource and come back at the
// next opening. Only the ticks change, and Cancel puts them back as the
// caller set them; the caller compares them with the rows' starting states
// after OK.

#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "dg_state.h"

#include <memory>
#include <vector>

class CDlgCheckListCore;

// The tick column: "V" for a ticked row, blank otherwise; editing places the
// check box on the row's cell.
class CDlgCheckListTick : public CDGListItemParamCore {
public:
  CDlgCheckListTick(CDlgCheckListCore& dialog, short dialId);
  void Func(short row, short column, bool draw) override;

private:
  CDlgCheckListCore& m_Dialog;
};

class CDlgCheckListCore : public CDGDlgCore {
public:
  enum Item : short { ITEM_CHECK = 3, ITEM_LIST = 4 };

  bool UpdateData(short /*dialId*/, bool /*save*/) override { return true; }
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short dialId, short item) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;

  // == Rows, as the derived dialog holds them ==
  virtual short RowCount() const = 0;
  virtual GS::UniString RowName(short index) const = 0;
  virtual bool IsTicked(short index) const = 0;
  virtual void SetTicked(short index, bool ticked) = 0;
  // What list row index + 1 carries as its user data.
  virtual DGUserData RowUserData(short index) = 0;

protected:
  explicit CDlgCheckListCore(short resourceId);

  // A layout with the check box, the list, OK and Cancel.
  static pln::host::DGDialogDef CheckListLayout();

private:
  void MakeColumns(short dialId);
  void FillRows(short dialId);
  void TickSelectedRows(short dialId, bool ticked);

  std::unique_ptr<CDGListItemParamArray> m_pColumns;  // while the dialog is open
  std::vector<bool> m_OpeningTicks;                   // for Cancel
};
