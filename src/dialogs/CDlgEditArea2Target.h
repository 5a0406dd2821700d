#pragma once
// CDlgEditArea2Target: the check list in which the user chooses the
// calculation elements that take one automatic area. The caller fills one
// row per element of the current pattern, ticking those that take the area
// now, and after OK compares each tick with the row's starting state.

#include "CDlgCheckListCore.h"

#include <vector>

class CArea2Object;

struct CDlgEditArea2TargetWork {
  CArea2Object* m_pArea2 = nullptr;  // not owned
  bool m_bCheck = false;             // the tick the user leaves
  bool m_bTarget = false;            // whether the element took the area when the dialog opened
};

// The tick column of this dialog.
using CDlgEditArea2TargetCheck = CDlgCheckListTick;

class CDlgEditArea2Target : public CDlgCheckListCore {
public:
  static constexpr short ResourceId = 32539;
  static pln::host::DGDialogDef Layout() { return CheckListLayout(); }

  CDlgEditArea2Target() : CDlgCheckListCore(ResourceId) {}

  short RowCount() const override { return static_cast<short>(m_WorkArray.size()); }
  GS::UniString RowName(short index) const override;
  bool IsTicked(short index) const override { return m_WorkArray.at(index).m_bCheck; }
  void SetTicked(short index, bool ticked) override { m_WorkArray.at(index).m_bCheck = ticked; }
  DGUserData RowUserData(short index) override;

  std::vector<CDlgEditArea2TargetWork> m_WorkArray;
};
