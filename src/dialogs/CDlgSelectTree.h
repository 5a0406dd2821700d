#pragma once
// CDlgSelectTree: which of the settings' calculation patterns to insert,
// and on which layer. The caller presets m_Index and m_Layer and reads them
// after OK; the layer follows the layer control on every change.
//
// Items: 1 OK, 2 Cancel, 4 the patterns (position = index + 1), 7 the layer
// control.

#include "CDGDlgCore.h"
#include "dg_state.h"

class CPlenimetraParam;

class CDlgSelectTree : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32508;
  static pln::host::DGDialogDef Layout();

  explicit CDlgSelectTree(CPlenimetraParam* param) : CDGDlgCore(ResourceId), m_pParam(param) {}

  bool UpdateData(short dialId, bool save) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  // The name a settings pattern is listed by: its root object's name; empty
  // for a pattern without a tree.
  static GS::UniString PatternName(const CPlenimetraParam& pattern);

  int m_Index = 0;
  short m_Layer = 0;
  CPlenimetraParam* m_pParam;
};
