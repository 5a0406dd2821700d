#include "CDlgAutoAreaCreate.h"

#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "DlgItemNoPreview.h"
#include "DlgLayout.h"
#include "GSWriteReport.h"

namespace {

constexpr short kCutRadios = 1;
constexpr short kEdgeRadios = 2;

}  // namespace

CDlgAutoAreaCreate::CDlgAutoAreaCreate(CPlenimetraParam* param) : CDGDlgCore(ResourceId), m_pParam(param) {}

pln::host::DGDialogDef CDlgAutoAreaCreate::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 360;
  def.height = 300;
  def.items = {
      DlgLayout::Item(1, DGItemKind::Button, 260, 265, 90, 25),
      DlgLayout::Item(2, DGItemKind::Button, 160, 265, 90, 25),
      DlgLayout::Item(4, DGItemKind::RadioButton, 20, 30, 150, 18, kCutRadios),
      DlgLayout::Item(5, DGItemKind::RadioButton, 20, 52, 150, 18, kCutRadios),
      DlgLayout::Item(6, DGItemKind::RadioButton, 20, 74, 150, 18, kCutRadios),
      DlgLayout::Item(7, DGItemKind::RadioButton, 20, 96, 150, 18, kCutRadios),
      DlgLayout::Item(kItemAlongEdge, DGItemKind::RadioButton, 190, 30, 160, 18, kEdgeRadios),
      DlgLayout::Item(kItemAcrossEdge, DGItemKind::RadioButton, 190, 52, 160, 18, kEdgeRadios),
      DlgLayout::Item(kItemFollowEdges, DGItemKind::CheckBox, 190, 74, 160, 18),
      DlgLayout::Item(kItemWithHoles, DGItemKind::CheckBox, 20, 124, 180, 18),
      DlgLayout::Item(kItemMark, DGItemKind::PopUp, 110, 155, 90, 20),
      DlgLayout::Item(kItemNumbering, DGItemKind::PopUp, 110, 182, 90, 20),
      DlgLayout::Item(kItemStartNo, DGItemKind::LongEdit, 110, 209, 60, 20),
      DlgLayout::Item(kItemPreview, DGItemKind::StaticText, 180, 209, 170, 20),
  };
  return def;
}

CAutoCutType CDlgAutoAreaCreate::GetAutoCutType() const
{
  CAutoCutType cut;
  cut.m_Type = static_cast<CAutoCutType::AUTOCUTTYPE>(m_CutType);
  cut.m_bWithHoles = m_bWithHoles;
  cut.m_bCutAcross = m_bCutAcross;
  cut.m_bFollowEdges = m_bFollowEdges;
  return cut;
}

void CDlgAutoAreaCreate::SetAutoCutType(const CAutoCutType& cut)
{
  m_CutType = cut.m_Type;
  m_bWithHoles = cut.m_bWithHoles;
  m_bCutAcross = cut.m_bCutAcross;
  m_bFollowEdges = cut.m_bFollowEdges;
}

void CDlgAutoAreaCreate::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  FillPopUps(dialId);
  UpdateData(dialId, false);
  ShowNo(dialId);
  EnableItem(dialId);
}

// Code 0 ("未定義") is no choice for new figures.
void CDlgAutoAreaCreate::FillPopUps(short dialId)
{
  for (const CItemType1Table& row : m_pParam->m_ItemType1Table) {
    if (row.m_Code != CItemType1Table::ITEMTYPE_NONE)
      PopUpInsert(dialId, kItemMark, row.m_Text, row.m_Code);
  }
  for (const CItemType2Table& row : m_pParam->m_ItemType2Table) {
    if (row.m_Code != CItemType2Table::ITEMTYPE_NONE)
      PopUpInsert(dialId, kItemNumbering, row.m_Text, row.m_Code);
  }
}

bool CDlgAutoAreaCreate::UpdateData(short dialId, bool get)
{
  if (get) {
    for (short item = kItemCutFirst; item <= kItemCutLast; ++item) {
      if (DGGetItemValLong(dialId, item) != 0)
        m_CutType = item - kItemCutFirst + 1;
    }
    m_bWithHoles = DGGetItemValLong(dialId, kItemWithHoles) != 0;
    return true;
  }
  for (short item = kItemCutFirst; item <= kItemCutLast; ++item)
    DGSetItemValLong(dialId, item, item - kItemCutFirst + 1 == m_CutType ? 1 : 0);
  DGSetItemValLong(dialId, kItemWithHoles, m_bWithHoles ? 1 : 0);
  DGSetItemValLong(dialId, kItemStartNo, m_StartNo + 1);
  DGSetItemValLong(dialId, kItemAlongEdge, m_bCutAcross ? 0 : 1);
  DGSetItemValLong(dialId, kItemAcrossEdge, m_bCutAcross ? 1 : 0);
  DGSetItemValLong(dialId, kItemFollowEdges, m_bFollowEdges ? 1 : 0);
  PopUpSelectItemUserData(dialId, kItemMark, m_ItemType1);
  PopUpSelectItemUserData(dialId, kItemNumbering, m_ItemType2);
  EnableItem(dialId);
  return true;
}

// The edge options keep their values while greyed.
void CDlgAutoAreaCreate::EnableItem(short dialId)
{
  const bool edge = DGGetItemValLong(dialId, kItemCutLast) != 0;
  for (const short item : {kItemAlongEdge, kItemAcrossEdge, kItemFollowEdges})
    CDGDlgCore::EnableItem(dialId, item, edge);
}

void CDlgAutoAreaCreate::ShowNo(short dialId)
{
  DGSetItemText(dialId, kItemPreview, DlgItemNoPreview(*m_pParam, m_ItemType2, m_StartNo));
}

void CDlgAutoAreaCreate::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  switch (item) {
  case kItemAlongEdge:
    m_bCutAcross = false;
    break;
  case kItemAcrossEdge:
    m_bCutAcross = true;
    break;
  case kItemFollowEdges:
    m_bFollowEdges = DGGetItemValLong(dialId, kItemFollowEdges) != 0;
    break;
  case kItemMark:
    m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(PopUpSelectedUserData(dialId, kItemMark));
    RestartNumbering(dialId);
    break;
  case kItemNumbering:
    m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(PopUpSelectedUserData(dialId, kItemNumbering));
    RestartNumbering(dialId);
    break;
  case kItemStartNo:
    TakeStartNo(dialId);
    break;
  default:
    break;
  }
  EnableItem(dialId);
}

void CDlgAutoAreaCreate::RestartNumbering(short dialId)
{
  const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(CGSUtil::GetActStory());
  const int highest =
      floor != nullptr ? floor->m_Area1ObjectArray.GetMaxItemNo(m_pParam, m_ItemType1, m_ItemType2) : -1;
  m_StartNo = highest + 1;
  DGSetItemValLong(dialId, kItemStartNo, m_StartNo + 1);
  ShowNo(dialId);
}

// A start below 1 would number the first figures below -1, which no style
// shows and the numbering check takes for unnumbered: it is refused and
// the field shows the number in force again.
void CDlgAutoAreaCreate::TakeStartNo(short dialId)
{
  const int value = DGGetItemValLong(dialId, kItemStartNo);
  if (value < 1) {
    GSWriteReport(GS::UniString(u"入力値が正しくありません"));
    DGSetItemValLong(dialId, kItemStartNo, m_StartNo + 1);
    return;
  }
  m_StartNo = value - 1;
  ShowNo(dialId);
}
