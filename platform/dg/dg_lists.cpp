// List boxes: rows, selection, colours, tab fields and the header.

#include "dg_internal.h"
#include "dg_manager.h"

#include <algorithm>

using namespace pln::host;
using namespace pln::host::dg;

namespace {

// Where the first row starts below the list's top edge: the header.
constexpr short kHeaderHeight = 20;

DGItemState* List(const char* call, short dialId, short list)
{
  return ItemOf(call, dialId, list, {DGItemKind::ListBox});
}

short RowCount(const DGListState& list) { return static_cast<short>(list.rows.size()); }

// Rows, tab fields and header items count from 1; one outside 1..count is
// a misuse naming what is missing.
bool InList(const char* call, short list, const char* what, int index, int count)
{
  if (index >= 1 && index <= count)
    return true;
  Misuse(call, std::string("no ") + what + " " + std::to_string(index) + " in list " + std::to_string(list));
  return false;
}

DGListRow* Row(const char* call, short dialId, short list, short row)
{
  DGItemState* state = List(call, dialId, list);
  if (state == nullptr || !InList(call, list, "row", row, RowCount(state->list)))
    return nullptr;
  return &state->list.rows[static_cast<std::size_t>(row - 1)];
}

DGTabField* TabField(const char* call, short dialId, short list, short tabField)
{
  DGItemState* state = List(call, dialId, list);
  if (state == nullptr || !InList(call, list, "tab field", tabField, static_cast<int>(state->list.tabFields.size())))
    return nullptr;
  return &state->list.tabFields[static_cast<std::size_t>(tabField - 1)];
}

// Header items exist up to the header count; their records are made on
// first use.
DGHeaderItem* Header(const char* call, short dialId, short list, short headerItem)
{
  DGItemState* state = List(call, dialId, list);
  if (state == nullptr || !InList(call, list, "header item", headerItem, HeaderCount(state->list)))
    return nullptr;
  return &state->list.headers[headerItem];
}

}  // namespace

namespace pln::host::dg {

void SelectOnlyRows(DGListState& list, const std::vector<short>& rows)
{
  for (DGListRow& row : list.rows)
    row.selected = false;
  for (short row : rows)
    list.rows[static_cast<std::size_t>(row - 1)].selected = true;
}

short HeaderCount(const DGListState& list)
{
  return list.headerItemCount > 0 ? list.headerItemCount : static_cast<short>(list.tabFields.size());
}

}  // namespace pln::host::dg

// ---------------------------------------------------------------------------
// Rows

short DGListGetItemCount(short dialId, short list)
{
  const DGItemState* state = List("DGListGetItemCount", dialId, list);
  return state != nullptr ? RowCount(state->list) : 0;
}

bool DGListInsertItem(short dialId, short list, short row)
{
  DGItemState* state = List("DGListInsertItem", dialId, list);
  if (state == nullptr)
    return false;
  auto& rows = state->list.rows;
  if (row == DG_LIST_BOTTOM)
    row = static_cast<short>(rows.size() + 1);
  if (row < 1 || row > RowCount(state->list) + 1) {
    Misuse("DGListInsertItem", "no place " + std::to_string(row) + " for a row");
    return false;
  }
  rows.insert(rows.begin() + (row - 1), DGListRow{});
  return true;
}

void DGListDeleteItem(short dialId, short list, short row)
{
  DGItemState* state = List("DGListDeleteItem", dialId, list);
  if (state == nullptr)
    return;
  auto& rows = state->list.rows;
  if (row == DG_ALL_ITEMS) {
    rows.clear();
    return;
  }
  if (row == DG_LIST_BOTTOM)
    row = RowCount(state->list);
  if (row < 1 || row > RowCount(state->list)) {
    Misuse("DGListDeleteItem", "no row " + std::to_string(row));
    return;
  }
  rows.erase(rows.begin() + (row - 1));
}

void DGListSetItemUserData(short dialId, short list, short row, DGUserData userData)
{
  if (DGListRow* state = Row("DGListSetItemUserData", dialId, list, row))
    state->userData = userData;
}

DGUserData DGListGetItemUserData(short dialId, short list, short row)
{
  const DGListRow* state = Row("DGListGetItemUserData", dialId, list, row);
  return state != nullptr ? state->userData : 0;
}

void DGListSetTabItemText(short dialId, short list, short row, short tabField, const GS::UniString& text)
{
  DGListRow* state = Row("DGListSetTabItemText", dialId, list, row);
  if (state == nullptr)
    return;
  // Texts may come before the tab fields are laid out; only the number
  // itself must be one.
  if (tabField < 1) {
    Misuse("DGListSetTabItemText", "no tab field " + std::to_string(tabField));
    return;
  }
  state->texts[tabField] = text;
}

GS::UniString DGListGetItemText(short dialId, short list, short row, short tabField)
{
  const DGListRow* state = Row("DGListGetItemText", dialId, list, row);
  if (state == nullptr)
    return GS::UniString();
  const auto found = state->texts.find(tabField);
  return found != state->texts.end() ? found->second : GS::UniString();
}

short DGListGetItemStyle(short dialId, short list, short row)
{
  const DGListRow* state = Row("DGListGetItemStyle", dialId, list, row);
  return state != nullptr ? state->style : 0;
}

void DGListSetItemStyle(short dialId, short list, short row, short style)
{
  if (DGListRow* state = Row("DGListSetItemStyle", dialId, list, row))
    state->style = style;
}

// Rows stack below the header, each the list's row height tall.
bool DGListGetItemRect(short dialId, short list, short row, short* left, short* top, short* right, short* bottom)
{
  if (Row("DGListGetItemRect", dialId, list, row) == nullptr)
    return false;
  const DGItemState* state = FindItem(dialId, list);
  *left = 0;
  *right = static_cast<short>(state->right - state->left);
  *top = static_cast<short>(kHeaderHeight + (row - 1) * state->def.rowHeight);
  *bottom = static_cast<short>(*top + state->def.rowHeight);
  return true;
}

void DGListRedrawItem(short dialId, short list, short row)
{
  if (DGListRow* state = Row("DGListRedrawItem", dialId, list, row))
    ++state->redraws;
}

// ---------------------------------------------------------------------------
// Selection

void DGListSelectItem(short dialId, short list, short row)
{
  DGListRow* state = Row("DGListSelectItem", dialId, list, row);
  if (state == nullptr)
    return;
  DGItemState* listState = FindItem(dialId, list);
  if (listState->def.singleSelection)
    SelectOnlyRows(listState->list, {row});
  state->selected = true;
}

void DGListDeselectItem(short dialId, short list, short row)
{
  if (row == DG_ALL_ITEMS) {
    if (DGItemState* state = List("DGListDeselectItem", dialId, list))
      SelectOnlyRows(state->list, {});
    return;
  }
  if (DGListRow* state = Row("DGListDeselectItem", dialId, list, row))
    state->selected = false;
}

short DGListGetSelCount(short dialId, short list)
{
  const DGItemState* state = List("DGListGetSelCount", dialId, list);
  if (state == nullptr)
    return 0;
  return static_cast<short>(
      std::count_if(state->list.rows.begin(), state->list.rows.end(), [](const DGListRow& r) { return r.selected; }));
}

short DGListGetSelItems(short dialId, short list, short* rows, short maxCount)
{
  const DGItemState* state = List("DGListGetSelItems", dialId, list);
  if (state == nullptr)
    return 0;
  short written = 0;
  for (short row = 1; row <= RowCount(state->list) && written < maxCount; ++row)
    if (state->list.rows[static_cast<std::size_t>(row - 1)].selected)
      rows[written++] = row;
  return written;
}

short DGListGetSelected(short dialId, short list, short fromRow)
{
  const DGItemState* state = List("DGListGetSelected", dialId, list);
  if (state == nullptr)
    return 0;
  for (short row = std::max<short>(fromRow, 1); row <= RowCount(state->list); ++row)
    if (state->list.rows[static_cast<std::size_t>(row - 1)].selected)
      return row;
  return 0;
}

// ---------------------------------------------------------------------------
// Colours

void DGListSetItemColor(short dialId, short list, short row, const DGColor16& color)
{
  if (DGListRow* state = Row("DGListSetItemColor", dialId, list, row))
    state->color = color;
}

void DGListSetTabItemColor(short dialId, short list, short row, short tabField, const DGColor16& color)
{
  if (DGListRow* state = Row("DGListSetTabItemColor", dialId, list, row))
    state->tabColors[tabField] = color;
}

void DGListSetTabItemBackgroundColor(short dialId, short list, short row, short tabField, const DGColor16& color)
{
  if (DGListRow* state = Row("DGListSetTabItemBackgroundColor", dialId, list, row))
    state->tabBackgrounds[tabField] = color;
}

// ---------------------------------------------------------------------------
// Tab fields

void DGListSetTabFieldCount(short dialId, short list, short count)
{
  DGItemState* state = List("DGListSetTabFieldCount", dialId, list);
  if (state == nullptr)
    return;
  if (count < 0) {
    Misuse("DGListSetTabFieldCount", "negative count");
    return;
  }
  state->list.tabFields.resize(static_cast<std::size_t>(count));
}

short DGListGetTabFieldCount(short dialId, short list)
{
  const DGItemState* state = List("DGListGetTabFieldCount", dialId, list);
  return state != nullptr ? static_cast<short>(state->list.tabFields.size()) : 0;
}

void DGListSetTabData(short dialId, short list, short count, const DGTabFieldData* fields)
{
  DGItemState* state = List("DGListSetTabData", dialId, list);
  if (state == nullptr)
    return;
  if (count < 0 || static_cast<std::size_t>(count) > state->list.tabFields.size()) {
    Misuse("DGListSetTabData", "count " + std::to_string(count) + " beyond the tab fields");
    return;
  }
  for (short i = 0; i < count; ++i)
    state->list.tabFields[static_cast<std::size_t>(i)].data = fields[i];
}

short DGListGetTabFieldBeginPosition(short dialId, short list, short tabField)
{
  const DGTabField* field = TabField("DGListGetTabFieldBeginPosition", dialId, list, tabField);
  return field != nullptr ? field->data.begin : 0;
}

short DGListGetTabFieldEndPosition(short dialId, short list, short tabField)
{
  const DGTabField* field = TabField("DGListGetTabFieldEndPosition", dialId, list, tabField);
  return field != nullptr ? field->data.end : 0;
}

void DGListSetTabFieldOwnerDrawFlag(short dialId, short list, short tabField, bool ownerDraw)
{
  if (DGTabField* field = TabField("DGListSetTabFieldOwnerDrawFlag", dialId, list, tabField))
    field->ownerDraw = ownerDraw;
}

void DGListSetDialItemOnTabField(short dialId, short list, short tabField, short dialItem)
{
  DGTabField* field = TabField("DGListSetDialItemOnTabField", dialId, list, tabField);
  if (field == nullptr)
    return;
  if (dialItem != DG_NO_ITEM && FindItem(dialId, dialItem) == nullptr) {
    Misuse("DGListSetDialItemOnTabField", "no item " + std::to_string(dialItem));
    return;
  }
  field->dialItem = dialItem;
}

short DGListGetDialItemOnTabField(short dialId, short list, short tabField)
{
  const DGTabField* field = TabField("DGListGetDialItemOnTabField", dialId, list, tabField);
  return field != nullptr ? field->dialItem : DG_NO_ITEM;
}

// ---------------------------------------------------------------------------
// Header

void DGListGetHeaderFlags(short dialId, short list, bool* sizeable, bool* clickable, bool* draggable)
{
  const DGItemState* state = List("DGListGetHeaderFlags", dialId, list);
  *sizeable = state != nullptr && state->list.sizeable;
  *clickable = state != nullptr && state->list.clickable;
  *draggable = state != nullptr && state->list.draggable;
}

void DGListSetHeaderFlags(short dialId, short list, bool sizeable, bool clickable, bool draggable)
{
  if (DGItemState* state = List("DGListSetHeaderFlags", dialId, list)) {
    state->list.sizeable = sizeable;
    state->list.clickable = clickable;
    state->list.draggable = draggable;
  }
}

void DGListSetHeaderItemCount(short dialId, short list, short count)
{
  DGItemState* state = List("DGListSetHeaderItemCount", dialId, list);
  if (state == nullptr)
    return;
  if (count < 0) {
    Misuse("DGListSetHeaderItemCount", "negative count");
    return;
  }
  state->list.headerItemCount = count;
}

short DGListGetHeaderItemCount(short dialId, short list)
{
  const DGItemState* state = List("DGListGetHeaderItemCount", dialId, list);
  return state != nullptr ? HeaderCount(state->list) : 0;
}

void DGListSetHeaderItemText(short dialId, short list, short headerItem, const GS::UniString& text)
{
  if (DGHeaderItem* header = Header("DGListSetHeaderItemText", dialId, list, headerItem))
    header->text = text;
}

GS::UniString DGListGetHeaderItemText(short dialId, short list, short headerItem)
{
  const DGHeaderItem* header = Header("DGListGetHeaderItemText", dialId, list, headerItem);
  return header != nullptr ? header->text : GS::UniString();
}

void DGListGetHeaderItemFlags(short dialId, short list, short headerItem, short* sizeFlag, bool* buttonFlag)
{
  const DGHeaderItem* header = Header("DGListGetHeaderItemFlags", dialId, list, headerItem);
  *sizeFlag = header != nullptr ? header->sizeFlag : 0;
  *buttonFlag = header != nullptr && header->buttonFlag;
}

void DGListSetHeaderItemFlags(short dialId, short list, short headerItem, short sizeFlag, bool buttonFlag)
{
  if (DGHeaderItem* header = Header("DGListSetHeaderItemFlags", dialId, list, headerItem)) {
    header->sizeFlag = sizeFlag;
    header->buttonFlag = buttonFlag;
  }
}

void DGListSetHeaderItemFont(short dialId, short list, short headerItem, short font)
{
  if (DGHeaderItem* header = Header("DGListSetHeaderItemFont", dialId, list, headerItem))
    header->font = font;
}

short DGListGetHeaderItemArrowType(short dialId, short list, short headerItem)
{
  const DGHeaderItem* header = Header("DGListGetHeaderItemArrowType", dialId, list, headerItem);
  return header != nullptr ? header->arrow : DG_ARROW_NONE;
}

void DGListSetHeaderItemArrowType(short dialId, short list, short headerItem, short arrow)
{
  DGHeaderItem* header = Header("DGListSetHeaderItemArrowType", dialId, list, headerItem);
  if (header == nullptr)
    return;
  if (arrow < DG_ARROW_NONE || arrow > DG_ARROW_DOWN) {
    Misuse("DGListSetHeaderItemArrowType", "unknown arrow " + std::to_string(arrow));
    return;
  }
  header->arrow = arrow;
}
