#pragma once
// CDlgEditName: asks for a name that is not in use yet (a rounding table's,
// a calculation pattern's). The caller fills m_Name and m_NameArray, runs
// DoModal and on 1 takes m_Name. Names compare exactly: case, width and
// blanks count.

#include "CDGDlgCore.h"
#include "dg_state.h"
#include "gs_unistring.h"

#include <vector>

class CDlgEditName : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32506;
  static pln::host::DGDialogDef Layout();

  CDlgEditName();

  // save false shows m_Name; save true takes the field and refuses an
  // empty name, one the stored forms' code cannot hold, or a used name with
  // an alert (the dialog stays open).
  bool UpdateData(short dialId, bool save) override;
  bool IsExist() const;
  void DoMsgInit(short dialId) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short /*dialId*/, short /*item*/, long long /*msgData*/) override {}
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  GS::UniString m_Name;
  std::vector<GS::UniString> m_NameArray;  // the names in use
};
