#pragma once
// CDlgEnvironmentTab1: the rounding tables of the settings dialog. Pop-up 4
// lists the tables (text: name, user data: id); the other controls edit the
// selected table in place. Ids are never reused: the array's counter only
// grows. A table that a calculation pattern of the document names cannot be
// deleted. Without a selected table nothing but insert is enabled, and the
// last table cannot be deleted.

#include "CDGDlgTabCore.h"
#include "dg_state.h"

#include <vector>

class CPlenimetraParam;
class CRoundTypeParam;
class CRoundTypeParamArray;

class CDlgEnvironmentTab1 : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32501;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab1(short resId, CPlenimetraParam* param, CRoundTypeParamArray* tables);

  void DoMsgInit() override;
  // false shows the table with id 0; true accepts (every control writes
  // at once).
  bool UpdateData(bool save) override;
  void SetEnableItem() override;
  void DoMsgClick(short item, long long msgData) override;
  void DoMsgChange(short item, long long msgData) override;
  void DoMsgTrack(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}

  void SetListItem();
  // false shows the selected table's values.
  void UpdateData2(bool save);
  void DoInsert();
  void DoRename();
  void DoDelete();

private:
  CRoundTypeParam* SelectedTable();
  bool IsUsedByPattern(int id) const;
  std::vector<GS::UniString> NamesExcept(int skipPosition) const;

  CPlenimetraParam* m_pParam;                     // code tables and patterns; not owned
  CRoundTypeParamArray* m_pRoundTypeParamArray;   // the working copy's; not owned
};
