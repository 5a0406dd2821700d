#pragma once
// CDlgEnvironmentTab12: the style of the building-area summary tables.
// Sizes and spacings are whole numbers stored as entered.

#include "CEnvFieldsPage.h"
#include "dg_state.h"

class CAttributeTotalAreaParam;

class CDlgEnvironmentTab12 : public CEnvFieldsPage {
public:
  static constexpr short ResourceId = 32524;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab12(short resId, CAttributeTotalAreaParam* style);

  void DoMsgInit() override;
  void SetEnableItem() override;

private:
  CEnvFields Fields() const override;

  CAttributeTotalAreaParam* m_pTotalAreaParam;  // not owned
};
