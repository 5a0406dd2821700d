#include "CDlgCheckListCore.h"

#include "CDlgProgress.h"
#include "dg_state.h"

#include <vector>

using pln::host::DGItemKind;

namespace {

constexpr short kNameWidth = 100;
constexpr short kTickWidth = 30;
// Justification codes of the host's list, passed through unchanged.
constexpr short kJustifyLeft = 0;
constexpr short kJustifyCenter = 256;
constexpr short kJustifyRight = 512;
// The host's font code for the headers of columns without an editor.
constexpr short kHeaderFont = 32;
constexpr short kResizeByUser = 1;

}  // namespace

// ---------------------------------------------------------------------------
// The tick column

CDlgCheckListTick::CDlgCheckListTick(CDlgCheckListCore& dialog, short dialId)
    : CDGListItemParamCore(dialId, CDlgCheckListCore::ITEM_LIST, kTickWidth, GS::UniString(), kJustifyCenter,
                           CDlgCheckListCore::ITEM_CHECK, 0),
      m_Dialog(dialog)
{
}

void CDlgCheckListTick::Func(short row, short column, bool draw)
{
  if (row < 1) {
    CDGListItemParamCore::Func(row, column, draw);
    return;
  }
  const bool ticked = m_Dialog.IsTicked(static_cast<short>(row - 1));
  if (draw) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column, GS::UniString(ticked ? u"V" : u""));
    return;
  }
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  DGSetItemValLong(m_DialogID, m_EditItem, ticked ? 1 : 0);
}

// ---------------------------------------------------------------------------
// The dialog

CDlgCheckListCore::CDlgCheckListCore(short resourceId) : CDGDlgCore(resourceId) {}

pln::host::DGDialogDef CDlgCheckListCore::CheckListLayout()
{
  return {.width = 260,
          .height = 300,
          .items = {{.item = 1, .kind = DGItemKind::Button, .left = 90, .top = 268, .right = 170, .bottom = 290},
                    {.item = 2, .kind = DGItemKind::Button, .left = 174, .top = 268, .right = 254, .bottom = 290},
                    {.item = ITEM_CHECK, .kind = DGItemKind::CheckBox, .left = 0, .top = 0, .right = 16, .bottom = 16},
                    {.item = ITEM_LIST, .kind = DGItemKind::ListBox, .left = 6, .top = 6, .right = 254, .bottom = 260}}};
}

void CDlgCheckListCore::DoMsgInit(short dialId)
{
  UpdateData(dialId, false);
  m_OpeningTicks.clear();
  for (short index = 0; index < RowCount(); ++index)
    m_OpeningTicks.push_back(IsTicked(index));
  DGHideItem(dialId, ITEM_CHECK);
  MakeColumns(dialId);
  FillRows(dialId);
  m_pColumns->SetList(false);
}

void CDlgCheckListCore::MakeColumns(short dialId)
{
  m_pColumns = std::make_unique<CDGListItemParamArray>(dialId, ITEM_LIST);
  m_pColumns->push_back(std::make_unique<CDGListItemParamCore>(dialId, ITEM_LIST, kNameWidth, GS::UniString(u"名前"),
                                                               kJustifyLeft, 0, 0));
  m_pColumns->push_back(std::make_unique<CDlgCheckListTick>(*this, dialId));
  m_pColumns->push_back(
      std::make_unique<CDGListItemParamCore>(dialId, ITEM_LIST, 0, GS::UniString(), kJustifyRight, 0, 0));
  m_pColumns->LoadHeaderPosition(m_ResourceID);
  m_pColumns->InitializeList(false);
  bool sizeable = false, clickable = false, draggable = false;
  DGListGetHeaderFlags(dialId, ITEM_LIST, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, ITEM_LIST, sizeable, true, draggable);
  for (short column = 1; column <= static_cast<short>(m_pColumns->size()); ++column) {
    if (!m_pColumns->at(column - 1)->HasEditItem())
      DGListSetHeaderItemFont(dialId, ITEM_LIST, column, kHeaderFont);
  }
}

void CDlgCheckListCore::FillRows(short dialId)
{
  const short count = RowCount();
  while (DGListGetItemCount(dialId, ITEM_LIST) > count)
    DGListDeleteItem(dialId, ITEM_LIST, DGListGetItemCount(dialId, ITEM_LIST));
  while (DGListGetItemCount(dialId, ITEM_LIST) < count)
    DGListInsertItem(dialId, ITEM_LIST, DG_LIST_BOTTOM);
  for (short index = 0; index < count; ++index) {
    const short row = static_cast<short>(index + 1);
    DGListSetItemUserData(dialId, ITEM_LIST, row, RowUserData(index));
    m_pColumns->UpdateEditItem(dialId, row);
    DGListSetTabItemText(dialId, ITEM_LIST, row, 1, RowName(index));
  }
}

void CDlgCheckListCore::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (m_pColumns == nullptr)
    return;
  if (item == ITEM_CHECK)
    TickSelectedRows(dialId, DGGetItemValLong(dialId, ITEM_CHECK) != 0);
  if (item == ITEM_CHECK || item == ITEM_LIST)
    m_pColumns->SetList(false);
}

void CDlgCheckListCore::TickSelectedRows(short dialId, bool ticked)
{
  const short selected = DGListGetSelCount(dialId, ITEM_LIST);
  std::vector<short> rows(static_cast<std::size_t>(selected > 0 ? selected : 0));
  const short got = DGListGetSelItems(dialId, ITEM_LIST, rows.data(), static_cast<short>(rows.size()));
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), false);
  progress.SetRange(got, GS::UniString());
  for (short i = 0; i < got; ++i) {
    const short row = rows[static_cast<std::size_t>(i)];
    if (row >= 1 && row <= RowCount()) {
      SetTicked(static_cast<short>(row - 1), ticked);
      m_pColumns->UpdateEditItem(dialId, row);
      DGListRedrawItem(dialId, ITEM_LIST, row);
    }
    progress.StepIt();
  }
  progress.Close();
}

void CDlgCheckListCore::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != kResizeByUser)
    return;
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, ITEM_LIST, arg->hGrow, arg->vGrow);
  for (short button : {1, 2})
    DGMoveItem(dialId, button, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(dialId);
}

short CDlgCheckListCore::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != ITEM_LIST || m_pColumns == nullptr)
    return 0;
  return m_pColumns->DoMsgListHeaderResize(arg);
}

short CDlgCheckListCore::DoMsgClose(short /*dialId*/, short item)
{
  if (m_pColumns != nullptr) {
    m_pColumns->SaveHeaderPosition(m_ResourceID);
    m_pColumns.reset();
  }
  if (item != 1) {
    for (std::size_t index = 0; index < m_OpeningTicks.size(); ++index)
      SetTicked(static_cast<short>(index), m_OpeningTicks[index]);
  }
  return item;
}
