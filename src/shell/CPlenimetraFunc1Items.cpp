// The figure-list page's layout and its four editor columns.

#include "CPlenimetraFunc1.h"

#include "CDGDlgCore.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"
#include "host_assert.h"

#include <climits>
#include <cstdint>

pln::host::DGDialogDef CPlenimetraFunc1::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 640;
  def.height = 360;
  def.items.push_back(DlgLayout::Item(kBack, DGItemKind::Button, 5, 5, 55, 20));
  for (short editor = kRoundEditor; editor <= kAutoCrEditor; ++editor)
    def.items.push_back(DlgLayout::Item(editor, DGItemKind::PopUp, 0, 0, 60, 18));
  for (short button = kTriangle; button <= kArcCenter; ++button) {
    const auto left = static_cast<short>(65 + (button - kTriangle) * 28);
    def.items.push_back(DlgLayout::Item(button, DGItemKind::ValueButton, left, 5, 26, 26));
  }
  for (short button = kRotate; button <= kDelete; ++button) {
    const auto left = static_cast<short>(325 + (button - kRotate) * 60);
    def.items.push_back(DlgLayout::Item(button, DGItemKind::Button, left, 5, 58, 20));
  }
  def.items.push_back(DlgLayout::Item(kCurMark, DGItemKind::PopUp, 5, 36, 60, 20));
  def.items.push_back(DlgLayout::Item(kCurStyle, DGItemKind::PopUp, 70, 36, 80, 20));
  pln::host::DGItemDef start = DlgLayout::Item(kStartNo, DGItemKind::LongEdit, 155, 36, 50, 20);
  start.minLong = 1;
  start.maxLong = INT_MAX;
  def.items.push_back(start);
  def.items.push_back(DlgLayout::Item(kPreview, DGItemKind::StaticText, 210, 38, 60, 18));
  def.items.push_back(DlgLayout::Item(kDefaultRound, DGItemKind::StaticText, 275, 38, 360, 18));
  def.items.push_back(DlgLayout::Item(kList, DGItemKind::ListBox, 5, 61, 630, 294));
  return def;
}

CPlenimetraFunc1Column::CPlenimetraFunc1Column(short dialId, short listItem, short width, const GS::UniString& header,
                                               short justification, short editItem, CPlenimetraParam* param)
    : CDGListItemParamCore(dialId, listItem, width, header, justification, editItem, 0), m_pParam(param)
{
}

void CPlenimetraFunc1Column::Func(short row, short column, bool text)
{
  if (row < 1) {
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, DG_NO_ITEM);
    return;
  }
  const auto* figure =
      reinterpret_cast<const CArea1Object*>(static_cast<std::intptr_t>(DGListGetItemUserData(m_DialogID, m_ListItem, row)));
  PLN_ASSERT(figure != nullptr);
  if (text) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column, CellText(*figure));
    return;
  }
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  DGPopUpSelectItem(m_DialogID, m_EditItem, CDGDlgCore::PopUpSearchIndex(m_DialogID, m_EditItem, Value(*figure)));
}

GS::UniString CPlenimetraFunc1ItemType1::CellText(const CArea1Object& figure) const
{
  return m_pParam->m_ItemType1Table.GetMarkStr(figure.m_ItemType1);
}

GS::UniString CPlenimetraFunc1ItemType2::CellText(const CArea1Object& figure) const
{
  const CItemType2Table* entry = m_pParam->m_ItemType2Table.SearchFromCode(figure.m_ItemType2);
  return entry != nullptr ? entry->m_Text : GS::UniString();
}

GS::UniString CPlenimetraFunc1RoundType::CellText(const CArea1Object& figure) const
{
  return figure.GetRoundTypeStr(m_pParam);
}

GS::UniString CPlenimetraFunc1AutoCr::CellText(const CArea1Object& figure) const
{
  const CAutoCrTable* entry = m_pParam->m_AutoCrTable.SearchFromCode(figure.m_bAutoCr);
  return entry != nullptr ? entry->m_Text : GS::UniString();
}
