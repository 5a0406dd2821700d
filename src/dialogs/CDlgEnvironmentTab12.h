#pragma once
// CDlgEnvironmentTab12: the style of the building-area summary tables.
// Sizes and spacings are whole numbers stored as entered.

#include "CDGDlgTabCore.h"
#include "CEnvFields.h"
#include "dg_state.h"

class CAttributeTotalAreaParam;

class CDlgEnvironmentTab12 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32524;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab12(short resId, CAttributeTotalAreaParam* style);

  void DoMsgInit() override;
  bool UpdateData(bool save) override;
  void SetEnableItem() override;
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

private:
  CEnvFields Fields() const;

  CAttributeTotalAreaParam* m_pTotalAreaParam;  // not owned
};
