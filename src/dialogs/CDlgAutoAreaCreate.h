#pragma once
// The options of creating automatic areas from the selected elements: how
// the outlines are cut, the mark and numbering style of the new figures and
// the item number the numbering starts from, with a preview of that first
// number. The opener fills the public fields from the document's stored
// options, runs DoModal and takes the fields back only on 1 (OK); they
// change while the user works.
//
// Item numbers: radios 4-7 cut type 1-4; radio 8 / 9 the perpendicular
// choice false / true and check 10 the turn to the edge direction, both
// only for cut type 4; check 11 inner contours; pop-ups 12 mark and 13
// numbering style (user data: the code); field 15 the start number + 1;
// text 16 the preview.

#include "CAutoAreaParam.h"
#include "CDGDlgCore.h"
#include "CodeTables.h"
#include "dg_state.h"

class CPlenimetraParam;

class CDlgAutoAreaCreate : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32504;
  static pln::host::DGDialogDef Layout();

  static constexpr short kItemCutFirst = 4;  // radios 4..7: cut types 1..4
  static constexpr short kItemCutLast = 7;
  static constexpr short kItemAlongEdge = 8;
  static constexpr short kItemAcrossEdge = 9;
  static constexpr short kItemFollowEdges = 10;
  static constexpr short kItemWithHoles = 11;
  static constexpr short kItemMark = 12;
  static constexpr short kItemNumbering = 13;
  static constexpr short kItemStartNo = 15;
  static constexpr short kItemPreview = 16;

  explicit CDlgAutoAreaCreate(CPlenimetraParam* param);

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }

  void EnableItem(short dialId);
  void ShowNo(short dialId);

  // The cut type and the three flags as the document stores them.
  CAutoCutType GetAutoCutType() const;
  void SetAutoCutType(const CAutoCutType& cut);

  int m_CutType = CAutoCutType::AUTOCUTTYPE_TRIANGLE;
  bool m_bWithHoles = true;     // inner contours are read too
  bool m_bCutAcross = false;    // cut type 4: the dominant direction itself, else its perpendicular
  bool m_bFollowEdges = true;   // cut type 4: turn the outline to the dominant direction first
  CItemType1Table::ITEMTYPE m_ItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
  CItemType2Table::ITEMTYPE m_ItemType2 = CItemType2Table::ITEMTYPE_DECIMAL;
  int m_StartNo = 0;  // 0-based item number of the first new figure
  CPlenimetraParam* m_pParam;

private:
  void FillPopUps(short dialId);
  // A new pair starts one past the highest number the active story's
  // figures of that pair use.
  void RestartNumbering(short dialId);
  void TakeStartNo(short dialId);
};
