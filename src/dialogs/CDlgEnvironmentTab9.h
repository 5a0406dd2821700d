#pragma once
// CDlgEnvironmentTab9: the four area-table styles (figures, calculation
// elements, subtotal folders, automatic-division areas), one at a time as
// pop-up 1 chooses. Sizes kept as ints are typed as reals and stored cut
// toward zero; a table must hold at least one row.

#include "CDGDlgTabCore.h"
#include "CEnvFields.h"
#include "dg_state.h"

class CAreaListAttr;

class CDlgEnvironmentTab9 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32518;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab9(short resId, CAreaListAttr* figures, CAreaListAttr* elements, CAreaListAttr* folders,
                      CAreaListAttr* autoAreas);

  // The style pop-up 1 chooses.
  CAreaListAttr* GetListPtr() const;
  void DoMsgInit() override;
  bool UpdateData(bool save) override;
  void SetEnableItem() override;
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

private:
  CEnvFields Fields() const;

  CAreaListAttr* m_pListAttr1;
  CAreaListAttr* m_pListAttr2;
  CAreaListAttr* m_pListAttr3;
  CAreaListAttr* m_pListAttr4;
};
