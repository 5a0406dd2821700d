#pragma once
// The renumbering dialog: the first item number (1-based, as the user reads
// it) that the selected figures of the figure list take when renumbered,
// with a preview of that number in the document's current numbering style.
//
// Start numbers are at least 1: a lower value typed into the field becomes
// 1, since the first figure would otherwise get a number no style can show.

#include "CDGDlgCore.h"
#include "dg_state.h"

class CPlenimetraParam;

class CDlgRenumbering : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32538;
  static pln::host::DGDialogDef Layout();

  static constexpr short kItemStartNo = 5;
  static constexpr short kItemPreview = 6;

  CDlgRenumbering(CPlenimetraParam* param, int startNo);

  // Only OK (the base's click handler) writes the field into m_StartNo.
  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  void ShowNo(short dialId);

  int m_StartNo;  // 1-based: the first figure gets item number m_StartNo - 1
  CPlenimetraParam* m_pParam;

private:
  // The field's value, raised to 1 in the field itself when lower.
  int ReadStartNo(short dialId);
};
