#pragma once
// CDlgEnvironmentTab2: the general options of the settings dialog (layers,
// numbering mode, number-format switches, small-length snap, tsubo factor).
// Every control writes into the working settings when it changes; a tsubo
// factor that is no positive number is refused. The figure layer is shown
// but never edited here.

#include "CDGDlgTabCore.h"
#include "dg_state.h"

class CEnvParam;

class CDlgEnvironmentTab2 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32502;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab2(short resId, CEnvParam* env);

  void DoMsgInit() override;
  bool UpdateData(bool save) override;
  void SetEnableItem() override;
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgClick(short /*item*/, long long /*msgData*/) override {}
  void DoMsgTrack(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

private:
  void TakeTuboFactor();
  void TakeListLayer();

  CEnvParam* m_pEnvParam;  // not owned
};
