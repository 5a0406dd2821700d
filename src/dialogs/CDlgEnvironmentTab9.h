#pragma once
// CDlgEnvironmentTab9: the four area-table styles (figures, calculation
// elements, subtotal folders, automatic-division areas), one at a time as
// pop-up 1 chooses. Sizes kept as ints are typed as reals and stored cut
// toward zero; a table must hold at least one row.

#include "CEnvFieldsPage.h"
#include "dg_state.h"

class CAreaListAttr;

class CDlgEnvironmentTab9 : public CEnvFieldsPage {
public:
  static constexpr short ResourceId = 32518;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab9(short resId, CAreaListAttr* figures, CAreaListAttr* elements, CAreaListAttr* folders,
                      CAreaListAttr* autoAreas);

  // The style pop-up 1 chooses.
  CAreaListAttr* GetListPtr() const;
  void DoMsgInit() override;
  void SetEnableItem() override;

private:
  CEnvFields Fields() const override;
  // Pop-up 1 shows the newly chosen style.
  bool ChangeOwn(short item) override;
  // The row limit and marks belong to the tables that are split in rows.
  void ShowOwn() override;

  CAreaListAttr* m_pListAttr1;
  CAreaListAttr* m_pListAttr2;
  CAreaListAttr* m_pListAttr3;
  CAreaListAttr* m_pListAttr4;
};
