#pragma once
// CDlgSettingFloor: the stories that take part in the current calculation
// pattern. Works on a copy of the document's floor list; the caller takes
// m_FloorParamArray and m_bFloorMode back after OK.
//
// Items: 1 OK, 2 Cancel, 3 one choice for all patterns (the list's mode
// flag), 4 the in-cell check box, 5 the list.

#include "CDlgFloorCheckList.h"
#include "CFloorParam.h"
#include "dg_state.h"

class CDlgSettingFloor : public CDlgFloorCheckList {
public:
  static constexpr short ResourceId = 32525;
  static pln::host::DGDialogDef Layout();

  explicit CDlgSettingFloor(CPlenimetraParam* param);
  ~CDlgSettingFloor() override = default;

  bool UpdateData(short dialId, bool get) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;

  bool IsRowChecked(short row) const override;
  void SetRowChecked(short row, bool on) override;

  CFloorParamArray m_FloorParamArray;
  bool m_bFloorMode;

private:
  void SetListItem(short dialId);
  CFloorParam* FloorOfRow(short row) const;
};
