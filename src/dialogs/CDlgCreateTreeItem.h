#pragma once
// CDlgCreateTreeItem: the modal dialog in which the user describes a new
// item of a calculation tree before the caller creates it: its kind
// (calculation element or subtotal folder), its name and the rounding of the
// new node's building total and per-floor area.
//
// Contract: the caller presets the public fields (the kind radios are never
// preset), runs DoModal and on 1 reads them back. OK is refused, with an
// alert and the dialog left open, until a kind is chosen, both rounding
// kinds are set, the name is not empty and not one of m_UsedNames. The
// fields keep what was read also when OK is refused. The dialog changes
// nothing in the document.

#include "CDGDlgCore.h"
#include "CRoundTypeParam.h"
#include "dg_state.h"
#include "gs_unistring.h"

#include <vector>

class CPlenimetraParam;

class CDlgCreateTreeItem : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32526;
  static pln::host::DGDialogDef Layout();

  enum Kind : int { KIND_NONE = -1, KIND_ELEMENT = 0, KIND_FOLDER = 1 };
  enum Item : short {
    ITEM_ELEMENT = 5,   // radio
    ITEM_FOLDER = 6,    // radio
    ITEM_NAME = 8,      // text
    ITEM_TYPE1 = 11,    // building rounding kind
    ITEM_DIGIT1 = 12,   // building rounding digits
    ITEM_TYPE2 = 14,    // per-floor rounding kind
    ITEM_DIGIT2 = 15,   // per-floor rounding digits
  };

  // The document (or pattern) whose rounding-kind table fills the kind
  // pop-ups; not owned, must outlive the dialog.
  explicit CDlgCreateTreeItem(CPlenimetraParam* param);

  bool UpdateData(short dialId, bool save) override;
  void DoMsgChange(short /*dialId*/, short /*item*/, long long /*msgData*/) override {}
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  // The name equals one of m_UsedNames exactly.
  bool IsExist() const;

  GS::UniString m_Name;
  std::vector<GS::UniString> m_UsedNames;
  int m_Kind = KIND_NONE;
  CRoundTypeItem m_RoundTypeItem1;  // building total
  CRoundTypeItem m_RoundTypeItem2;  // per floor
  CPlenimetraParam* m_pParam;

private:
  void FillPopUps(short dialId);
  void ReadControls(short dialId);
  // The first refusal's message; empty when the input is accepted.
  GS::UniString Refusal() const;
};
