#pragma once
// CDlgEditTreeShowItem: the small dialog in which the user chooses what the
// calculation tree shows after each node's name: the node's area on the
// active story, its building total, and its mark and number. The caller
// presets the three flags and stores them back after OK.

#include "CDGDlgCore.h"
#include "dg_state.h"

class CDlgEditTreeShowItem : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32533;
  static pln::host::DGDialogDef Layout();

  enum Item : short { ITEM_FLOOR_AREA = 4, ITEM_TOTAL_AREA = 5, ITEM_MARK = 6 };

  CDlgEditTreeShowItem() : CDGDlgCore(ResourceId) {}

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short /*dialId*/, short /*item*/, long long /*msgData*/) override {}
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  bool m_bShowFloorArea = true;
  bool m_bShowTotalArea = true;
  bool m_bShowMark = true;
};
