#pragma once
// CDlgEnvironmentTab5: the drawing styles of sectors (the three arc
// figures share one), circles and ellipses: what is shown, with which pen
// and line type, and where the mark sits.

#include "CEnvFieldsPage.h"
#include "dg_state.h"

class CAreaArcAttr;
class CAreaCircleAttr;
class CAreaEllipseAttr;

class CDlgEnvironmentTab5 : public CEnvFieldsPage {
public:
  static constexpr short ResourceId = 32514;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab5(short resId, CAreaArcAttr* arc, CAreaCircleAttr* circle, CAreaEllipseAttr* ellipse);

  void DoMsgInit() override;

private:
  CEnvFields Fields() const override;

  CAreaArcAttr* m_pArcAttr;
  CAreaCircleAttr* m_pCircleAttr;
  CAreaEllipseAttr* m_pEllipseAttr;
};
