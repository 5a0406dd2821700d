#include "CDlgFloorCheckList.h"

#include "CDlgProgress.h"

namespace {

constexpr short kCheckWidth = 30;
constexpr short kJustCenter = 256;
constexpr short kJustFiller = 512;
constexpr short kPlainHeaderFont = 32;
const GS::UniString kChecked(u"V");

}  // namespace

CDlgFloorCheckColumn::CDlgFloorCheckColumn(CDlgFloorCheckList& dialog, short dialId, short listItem, short checkItem)
    : CDGListItemParamCore(dialId, listItem, kCheckWidth, GS::UniString(), kJustCenter, checkItem, 0), m_Dialog(dialog)
{
}

void CDlgFloorCheckColumn::Func(short row, short column, bool draw)
{
  if (row < 1) {
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, DG_NO_ITEM);
    return;
  }
  const bool on = m_Dialog.IsRowChecked(row);
  if (draw) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column, on ? kChecked : GS::UniString());
    return;
  }
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  DGSetItemValLong(m_DialogID, m_EditItem, on ? 1 : 0);
  DGShowItem(m_DialogID, m_EditItem);
}

// ---------------------------------------------------------------------------

CDlgFloorCheckList::CDlgFloorCheckList(short resourceId, CPlenimetraParam* param, short listItem, short checkItem,
                                       short nameWidth, short nameJustification)
    : CDGDlgCore(resourceId), m_pParam(param), m_ListItem(listItem), m_CheckItem(checkItem), m_NameWidth(nameWidth),
      m_NameJustification(nameJustification)
{
}

CSelectList CDlgFloorCheckList::GetSelList(short dialId) const
{
  CSelectList rows;
  for (short row = DGListGetSelected(dialId, m_ListItem, 1); row != 0;
       row = DGListGetSelected(dialId, m_ListItem, static_cast<short>(row + 1)))
    rows.push_back(row);
  return rows;
}

void CDlgFloorCheckList::SetHeaderList(short dialId)
{
  m_pListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, m_ListItem);
  m_pListInfoParam->push_back(std::make_unique<CDlgFloorCheckColumn>(*this, dialId, m_ListItem, m_CheckItem));
  m_pListInfoParam->push_back(std::make_unique<CDGListItemParamCore>(dialId, m_ListItem, m_NameWidth,
                                                                     GS::UniString(u"名前"), m_NameJustification, 0, 0));
  m_pListInfoParam->push_back(
      std::make_unique<CDGListItemParamCore>(dialId, m_ListItem, 0, GS::UniString(), kJustFiller, 0, 0));
  m_pListInfoParam->LoadHeaderPosition(m_ResourceID);
  m_pListInfoParam->InitializeList(false);
  bool sizeable = true, clickable = false, draggable = false;
  DGListGetHeaderFlags(dialId, m_ListItem, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, m_ListItem, sizeable, true, draggable);
  for (short i = 1; i <= static_cast<short>(m_pListInfoParam->size()); ++i)
    if (!(*m_pListInfoParam)[i - 1]->HasEditItem())
      DGListSetHeaderItemFont(dialId, m_ListItem, i, kPlainHeaderFont);
}

DGUserData CDlgFloorCheckList::RowUserData(short row) const
{
  if (m_pListInfoParam == nullptr)
    return 0;
  return DGListGetItemUserData(m_pListInfoParam->m_DialogID, m_ListItem, row);
}

void CDlgFloorCheckList::SetRowCount(short dialId, short count)
{
  while (DGListGetItemCount(dialId, m_ListItem) > count)
    DGListDeleteItem(dialId, m_ListItem, DG_LIST_BOTTOM);
  while (DGListGetItemCount(dialId, m_ListItem) < count)
    DGListInsertItem(dialId, m_ListItem, DG_LIST_BOTTOM);
}

void CDlgFloorCheckList::SetListRow(short dialId, short row, DGUserData userData, const GS::UniString& name)
{
  DGListSetItemUserData(dialId, m_ListItem, row, userData);
  DGListSetTabItemText(dialId, m_ListItem, row, 2, name);
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->front()->Func(row, 1, true);
}

void CDlgFloorCheckList::DoMsgChangeCheck(short dialId)
{
  const bool on = DGGetItemValLong(dialId, m_CheckItem) != 0;
  const CSelectList rows = GetSelList(dialId);
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetRange(static_cast<int>(rows.size()), GS::UniString());
  for (int row : rows) {
    SetRowChecked(static_cast<short>(row), on);
    m_pListInfoParam->front()->Func(static_cast<short>(row), 1, true);
    DGListRedrawItem(dialId, m_ListItem, static_cast<short>(row));
    progress.StepIt();
  }
  progress.Close();
  SetList(false);
}

void CDlgFloorCheckList::SetList(bool enable)
{
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SetList(enable);
}

void CDlgFloorCheckList::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != 1)
    return;
  DGBeginMoveGrowItems(dialId);
  DGMoveItem(dialId, 1, arg->hGrow, arg->vGrow);
  DGMoveItem(dialId, 2, arg->hGrow, arg->vGrow);
  DGGrowItem(dialId, m_ListItem, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(dialId);
}

short CDlgFloorCheckList::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != m_ListItem || m_pListInfoParam == nullptr)
    return 0;
  return m_pListInfoParam->DoMsgListHeaderResize(arg);
}

short CDlgFloorCheckList::DoMsgClose(short /*dialId*/, short item)
{
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SaveHeaderPosition(m_ResourceID);
  m_pListInfoParam.reset();
  return item;
}
