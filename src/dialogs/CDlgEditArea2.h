#pragma once
// CDlgEditArea2: the modal dialog that edits one calculation element of a
// calculation tree: its name, its parent's name as the pattern name, the
// rounding of its building and per-floor totals, and how its area is formed
// on the active story (its MODE) with, for a manual area, the equation text
// and the area.
//
// MODE and radio: 1 求積区画 16, 2 手動入力 19, 3 自動分割区画 17,
// 4 自動+求積 18. The equation and area fields work only while 手動入力 is
// on and keep their contents otherwise. m_ManualArea is in 1e-6 m²; the
// area text is read as it changes (see ManualAreaText.h), a refused text
// leaves the stored area and shows it again, and the field always shows the
// stored area with the figure digits of the current pattern's preset (all
// six without a preset).
//
// Unlike the folder dialog an element may be given デフォルト while it is
// offered; 未定義 snaps back to the stored kind.

#include "CDlgEditAreaCore.h"
#include "dg_state.h"

class CDlgEditArea2 : public CDlgEditAreaCore {
public:
  static constexpr short ResourceId = 32522;
  static pln::host::DGDialogDef Layout();

  enum EditItem : short {
    ITEM_FRAME = 3,  // stretches with the dialog
    ITEM_ROUND_FRAME = 15,  // stretches with the dialog
    ITEM_MODE_FIGURES = 16,
    ITEM_MODE_AUTO = 17,
    ITEM_MODE_BOTH = 18,
    ITEM_MODE_MANUAL = 19,
    ITEM_EQUATION = 21,
    ITEM_AREA = 23,
  };

  CDlgEditArea2(CPlenimetraParam* param, bool editName, bool editPatternName);

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;

  int m_Mode = 1;
  GS::UniString m_ManualEquation;
  long long m_ManualArea = 0;

private:
  void ShowMode(short dialId) const;
  int ReadMode(short dialId) const;
  void ShowArea(short dialId) const;
  void ChangeArea(short dialId);
  void EnableItems(short dialId);
};
