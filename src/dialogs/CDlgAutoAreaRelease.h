#pragma once
// Confirms the release of the selected automatic areas and asks whether the
// figures cut from their elements are deleted too (check 5). The opener
// releases only when DoModal answers 1 (OK).

#include "CDGDlgCore.h"
#include "dg_state.h"

class CDlgAutoAreaRelease : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32529;
  static pln::host::DGDialogDef Layout();

  static constexpr short kItemDeleteFigures = 5;

  CDlgAutoAreaRelease() : CDGDlgCore(ResourceId) {}

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short /*dialId*/, short /*item*/, long long /*msgData*/) override {}
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  bool m_bDeleteFigures = true;
};
