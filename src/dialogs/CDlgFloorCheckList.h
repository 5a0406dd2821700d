#pragma once
// CDlgFloorCheckList: the common body of the two check-list dialogs over
// the document's floors (stories to calculate, reference-floor copy). One
// row per story, highest story first; a check column whose in-cell check
// box sets the flag of every selected row at once; the story's name; a
// blank filler column. A derived dialog says which rows there are and what
// a row's flag is.

#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "CSelectList.h"

#include <memory>

class CPlenimetraParam;

class CDlgFloorCheckList : public CDGDlgCore {
public:
  // The flag of the row and its change; rows count from 1.
  virtual bool IsRowChecked(short row) const = 0;
  virtual void SetRowChecked(short row, bool on) = 0;

  // The selected rows of the list, ascending.
  CSelectList GetSelList(short dialId) const;

protected:
  CDlgFloorCheckList(short resourceId, CPlenimetraParam* param, short listItem, short checkItem, short nameWidth,
                     short nameJustification);

  // The three columns, stored widths, blank last header, header fonts.
  void SetHeaderList(short dialId);
  // Writes the row's name and flag.
  void SetListRow(short dialId, short row, DGUserData userData, const GS::UniString& name);
  // The row's user data while the list is laid out; 0 otherwise.
  DGUserData RowUserData(short row) const;
  // Makes the list exactly count rows long.
  void SetRowCount(short dialId, short count);
  // The in-cell check box changed: every selected row takes its value,
  // under a progress window.
  void DoMsgChangeCheck(short dialId);
  void SetList(bool enable);
  // OK and Cancel move with the window's growth, the list grows by it.
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  // Saves the column widths and drops the layout.
  short DoMsgClose(short dialId, short item) override;

  CPlenimetraParam* m_pParam;
  short m_ListItem;
  short m_CheckItem;
  std::unique_ptr<CDGListItemParamArray> m_pListInfoParam;

private:
  short m_NameWidth;
  short m_NameJustification;
};

// The check column: "V" for a set flag; its editor is the dialog's
// in-cell check box.
class CDlgFloorCheckColumn : public CDGListItemParamCore {
public:
  CDlgFloorCheckColumn(CDlgFloorCheckList& dialog, short dialId, short listItem, short checkItem);
  void Func(short row, short column, bool draw) override;

private:
  CDlgFloorCheckList& m_Dialog;
};
