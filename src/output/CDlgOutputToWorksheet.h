#pragma once
// The output dialog: worksheets or a CSV table, the table layout, the
// tsubo total, the automatic-area tables and, in a list of floors (top
// story first, the building-area summary last) against the calculation
// patterns, which worksheets are written. It works on copies of the
// document's values; the caller takes them back after OK. Cancel changes
// nothing.
//
// Each pattern column has a check box laid over the selected row's cell,
// except where the floor does not calculate the pattern; its new value is
// applied to every selected row. A floor row that does not calculate the
// pattern still has the code taken off its exclusion list when switched on.

#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "CFloorParam.h"
#include "dg_state.h"

#include <memory>

class CPlenimetraParam;
class CDlgOutputToWorksheet;

// One pattern column: "V" where the pattern's sheet is written.
class CDlgOutputToWorksheetCheck : public CDGListItemParamCore {
public:
  CDlgOutputToWorksheetCheck(CDlgOutputToWorksheet* dialog, short dialId, short listItem, const GS::UniString& header,
                             short checkItem, int code);
  // draw: the cell's text; else the check box over the cell of row (0:
  // none selected), or no editor where the row's floor skips the pattern.
  void Func(short row, short column, bool draw) override;

  int m_Code;

private:
  CDlgOutputToWorksheet* m_pDialog;
};

class CDlgOutputToWorksheet : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32534;
  static pln::host::DGDialogDef Layout();

  explicit CDlgOutputToWorksheet(CPlenimetraParam* param);

  bool UpdateData(short dialId, bool save) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short dialId, short item) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;

  // The floor of a list row (1: the top floor); null for the summary row.
  const CFloorParam* FloorOfRow(short row) const;
  // Whether the row writes the pattern's sheet; false for a floor that does
  // not calculate it.
  bool IsWritten(short row, int code) const;
  bool IsEditable(short row, int code) const;

  // == The copies handed back after OK ==
  CFloorParamArray m_FloorParamArray;
  CTreeCodeArray m_TotalExcludeCodes;
  bool m_bTuboRow;
  int m_OutputLayout;
  int m_OutputMode;
  CPlenimetraParam* m_pParam;
  bool m_bOutputCheck;
  int m_OutputFileType;

private:
  void SetListItem(short dialId);
  void SetListItem(short dialId, short row);
  // Switches the column's pattern on or off for every selected row.
  void DoMsgChangeCheck(short dialId, short column, bool on);
  void EnableByMode(short dialId);

  std::unique_ptr<CDGListItemParamArray> m_pColumns;
  short m_ListItem = 0;
};
