#pragma once
// CDlgEditAreaListItem: the check list in which the user chooses the columns
// the area list shows. It works on a copy of the column set; after OK the
// caller gives the copy to the document. The order of the columns never
// changes here, only their visible flags.

#include "CAreaListItem.h"
#include "CDlgCheckListCore.h"

// The tick column of this dialog.
using CDlgEditAreaListItemCheck = CDlgCheckListTick;

class CDlgEditAreaListItem : public CDlgCheckListCore {
public:
  static constexpr short ResourceId = 32537;
  static pln::host::DGDialogDef Layout() { return CheckListLayout(); }

  explicit CDlgEditAreaListItem(const CAreaListItemArray& items) : CDlgCheckListCore(ResourceId), m_AreaListItemArray(items) {}

  short RowCount() const override { return static_cast<short>(m_AreaListItemArray.size()); }
  GS::UniString RowName(short index) const override { return m_AreaListItemArray.at(index).m_Title; }
  bool IsTicked(short index) const override { return m_AreaListItemArray.at(index).m_bVisible; }
  void SetTicked(short index, bool ticked) override { m_AreaListItemArray.at(index).m_bVisible = ticked; }
  DGUserData RowUserData(short index) override
  {
    return reinterpret_cast<DGUserData>(&m_AreaListItemArray.at(index));
  }

  CAreaListItemArray m_AreaListItemArray;
};
