#pragma once
// CDlgEnvironmentTab5: the drawing styles of sectors (the three arc
// figures share one), circles and ellipses: what is shown, with which pen
// and line type, and where the mark sits.

#include "CDGDlgTabCore.h"
#include "CEnvFields.h"
#include "dg_state.h"

class CAreaArcAttr;
class CAreaCircleAttr;
class CAreaEllipseAttr;

class CDlgEnvironmentTab5 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32514;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab5(short resId, CAreaArcAttr* arc, CAreaCircleAttr* circle, CAreaEllipseAttr* ellipse);

  void DoMsgInit() override;
  bool UpdateData(bool save) override;
  void SetEnableItem() override {}
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

private:
  CEnvFields Fields() const;

  CAreaArcAttr* m_pArcAttr;
  CAreaCircleAttr* m_pCircleAttr;
  CAreaEllipseAttr* m_pEllipseAttr;
};
