#pragma once
// CDlgEditArea4: the modal dialog that edits a subtotal or total folder of a
// calculation tree (its name, its parent's name as the pattern name, the
// rounding of its building total and per-floor total) and shows, read-only,
// the layer of the pattern's objects while the pattern name is editable.
//
// A folder's rounding kind can stay デフォルト but never be changed to it:
// choosing デフォルト or 未定義 puts the pop-up back on the stored kind.
//
// Several-items mode (both name flags false): the dialog edits only the two
// rounding items that the caller then gives every selected node. The nodes
// differ, so the dialog opens on "keep" for all four values — kinds 0
// (未定義) and digits DlgRoundPopUps::kKeepDigit (a leading "未定義" digit
// entry) — whatever the fields held, and 未定義 stays a valid choice of
// kind. ApplyRounding gives a node exactly the values the user changed.

#include "CDlgEditAreaCore.h"
#include "dg_state.h"

class CDlgEditArea4 : public CDlgEditAreaCore {
public:
  static constexpr short ResourceId = 32532;
  static pln::host::DGDialogDef Layout();

  static constexpr short ITEM_LAYER = 15;  // host layer chooser, display only

  CDlgEditArea4(CPlenimetraParam* param, bool editName, bool editPatternName);

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  bool IsSeveralItems() const { return !m_bEditName && !m_bEditPatternName; }
  // Gives node each kind of chosen that is not 0 and each digit that is not
  // negative.
  static void ApplyRounding(const CRoundTypeItem& chosen, CRoundTypeItem& node);

private:
  void EnableItems(short dialId);
  bool AcceptsType(CRoundTypeTable::ROUNDTYPE type) const;
};
