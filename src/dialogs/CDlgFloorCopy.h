#pragma once
// CDlgFloorCopy: the stories that receive the figures of the reference
// floor (the active story). The source is shown, never changed, and never
// offered as a row; only stories that take part in the current pattern
// appear. The caller reads m_SrcFloor and m_bCopyFloor (one flag per floor
// record, in the floor list's order) after OK.
//
// Items: 1 OK, 2 Cancel, 4 the source story (disabled), 6 the in-cell check
// box, 7 the list.

#include "CDlgFloorCheckList.h"
#include "DocServices.h"
#include "dg_state.h"

#include <vector>

class CFloorParamArray;

class CDlgFloorCopy : public CDlgFloorCheckList {
public:
  static constexpr short ResourceId = 32523;
  static pln::host::DGDialogDef Layout();

  explicit CDlgFloorCopy(CPlenimetraParam* param);
  ~CDlgFloorCopy() override = default;

  bool UpdateData(short dialId, bool get) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  void EnableItem(short dialId);

  bool IsRowChecked(short row) const override;
  void SetRowChecked(short row, bool on) override;

  short m_SrcFloor;
  std::vector<bool> m_bCopyFloor;
  CFloorParamArray* m_pFloorParamArray;

private:
  void SetListItem(short dialId);
  // The row's position in the floor list; -1 when it names none.
  int PositionOfRow(short row) const;
};

// The dialog as the document's floor-copy choice.
class CDlgFloorCopyChoice : public CFloorCopyChoice {
public:
  bool DoModal(CPlenimetraParam* param, short& source, std::vector<bool>& targets) override;
};
