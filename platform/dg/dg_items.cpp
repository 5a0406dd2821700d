// Items: values, texts, states, layout and pop-ups.

#include "dg_internal.h"
#include "dg_manager.h"

#include "host_calllog.h"

using namespace pln::host;
using namespace pln::host::dg;

namespace {

using Kind = DGItemKind;

// Check boxes and radio buttons hold 0 or 1.
bool IsSwitch(const DGItemState& item)
{
  return item.def.kind == Kind::CheckBox || item.def.kind == Kind::RadioButton;
}

void TurnOffOtherRadios(short dialId, const DGItemState& on)
{
  DGDialogState* window = FindDialog(dialId);
  for (auto& [number, item] : window->items)
    if (&item != &on && item.def.kind == Kind::RadioButton && item.def.radioGroup == on.def.radioGroup)
      item.valLong = 0;
}

bool EntryInRange(const char* call, const DGItemState& popUp, short entry, bool allowNone)
{
  const auto count = static_cast<short>(popUp.entries.size());
  if ((allowNone && entry == 0) || (entry >= 1 && entry <= count))
    return true;
  Misuse(call, "no pop-up entry " + std::to_string(entry));
  return false;
}

DGPopUpEntry* Entry(const char* call, short dialId, short item, short entry)
{
  DGItemState* popUp = ItemOf(call, dialId, item, {Kind::PopUp});
  if (popUp == nullptr || !EntryInRange(call, *popUp, entry, false))
    return nullptr;
  return &popUp->entries[static_cast<std::size_t>(entry - 1)];
}

// Enable, disable, show and hide take item 0 for every item of the window.
template <typename Change>
void ForItems(const char* call, short dialId, short item, Change change)
{
  if (item == DG_ALL_ITEMS) {
    if (DGDialogState* window = Dialog(call, dialId))
      for (auto& [number, state] : window->items)
        change(state);
    return;
  }
  if (DGItemState* state = Item(call, dialId, item))
    change(*state);
}

void Move(DGItemState& item, short hMove, short vMove)
{
  item.left = static_cast<short>(item.left + hMove);
  item.right = static_cast<short>(item.right + hMove);
  item.top = static_cast<short>(item.top + vMove);
  item.bottom = static_cast<short>(item.bottom + vMove);
}

void Grow(DGItemState& item, short hGrow, short vGrow)
{
  item.right = static_cast<short>(item.right + hGrow);
  item.bottom = static_cast<short>(item.bottom + vGrow);
}

}  // namespace

namespace pln::host::dg {

// Shared with the user's side: the value as the item keeps it.
void StoreLong(short dialId, DGItemState& item, Int32 value)
{
  if (item.def.kind == Kind::PopUp) {
    item.selectedEntry = static_cast<short>(value);
    return;
  }
  item.valLong = IsSwitch(item) ? (value != 0 ? 1 : 0) : value;
  if (item.def.kind == Kind::RadioButton && item.valLong == 1)
    TurnOffOtherRadios(dialId, item);
}

}  // namespace pln::host::dg

// ---------------------------------------------------------------------------
// Values and texts

Int32 DGGetItemValLong(short dialId, short item)
{
  const DGItemState* state = ItemOf("DGGetItemValLong", dialId, item,
                                    {Kind::LongEdit, Kind::CheckBox, Kind::RadioButton, Kind::UserControl,
                                     Kind::PopUp, Kind::TabControl, Kind::ValueButton});
  if (state == nullptr)
    return 0;
  return state->def.kind == Kind::PopUp ? state->selectedEntry : state->valLong;
}

void DGSetItemValLong(short dialId, short item, Int32 value)
{
  DGItemState* state = ItemOf("DGSetItemValLong", dialId, item,
                              {Kind::LongEdit, Kind::CheckBox, Kind::RadioButton, Kind::UserControl, Kind::PopUp,
                               Kind::TabControl, Kind::ValueButton});
  if (state == nullptr)
    return;
  if (state->def.kind == Kind::PopUp && !EntryInRange("DGSetItemValLong", *state, static_cast<short>(value), true))
    return;
  StoreLong(dialId, *state, value);
}

double DGGetItemValDouble(short dialId, short item)
{
  const DGItemState* state = ItemOf("DGGetItemValDouble", dialId, item, {Kind::DoubleEdit});
  return state != nullptr ? state->valDouble : 0.0;
}

void DGSetItemValDouble(short dialId, short item, double value)
{
  if (DGItemState* state = ItemOf("DGSetItemValDouble", dialId, item, {Kind::DoubleEdit}))
    state->valDouble = value;
}

// A pop-up's text is its selected entry's.
GS::UniString DGGetItemText(short dialId, short item)
{
  const DGItemState* state = ItemOf("DGGetItemText", dialId, item,
                                    {Kind::Button, Kind::CheckBox, Kind::RadioButton, Kind::TextEdit,
                                     Kind::StaticText, Kind::PopUp, Kind::UserItem, Kind::ValueButton});
  if (state == nullptr)
    return GS::UniString();
  if (state->def.kind == Kind::PopUp)
    return state->selectedEntry >= 1 ? state->entries[static_cast<std::size_t>(state->selectedEntry - 1)].text
                                     : GS::UniString();
  return state->text;
}

void DGSetItemText(short dialId, short item, const GS::UniString& text)
{
  if (DGItemState* state = ItemOf("DGSetItemText", dialId, item,
                                  {Kind::Button, Kind::CheckBox, Kind::RadioButton, Kind::TextEdit,
                                   Kind::StaticText, Kind::UserItem, Kind::ValueButton}))
    state->text = text;
}

// ---------------------------------------------------------------------------
// States

void DGEnableItem(short dialId, short item)
{
  ForItems("DGEnableItem", dialId, item, [](DGItemState& state) { state.enabled = true; });
}

void DGDisableItem(short dialId, short item)
{
  ForItems("DGDisableItem", dialId, item, [](DGItemState& state) { state.enabled = false; });
}

bool DGIsItemEnabled(short dialId, short item)
{
  const DGItemState* state = Item("DGIsItemEnabled", dialId, item);
  return state != nullptr && state->enabled;
}

void DGShowItem(short dialId, short item)
{
  ForItems("DGShowItem", dialId, item, [](DGItemState& state) { state.visible = true; });
}

void DGHideItem(short dialId, short item)
{
  ForItems("DGHideItem", dialId, item, [](DGItemState& state) { state.visible = false; });
}

bool DGIsItemVisible(short dialId, short item)
{
  const DGItemState* state = Item("DGIsItemVisible", dialId, item);
  return state != nullptr && state->visible;
}

void DGRedrawItem(short dialId, short item)
{
  if (DGItemState* state = Item("DGRedrawItem", dialId, item))
    ++state->redraws;
}

void DGSetItemImage(short dialId, short item, const DG::Icon& icon)
{
  if (DGItemState* state = ItemOf("DGSetItemImage", dialId, item, {Kind::Icon, Kind::Button}))
    state->image = icon;
}

short DGGetItemFont(short dialId, short item)
{
  const DGItemState* state = Item("DGGetItemFont", dialId, item);
  return state != nullptr ? state->font : 0;
}

void DGSetItemFont(short dialId, short item, short font)
{
  if (DGItemState* state = Item("DGSetItemFont", dialId, item))
    state->font = font;
}

bool DGGetItemRect(short dialId, short item, short* left, short* top, short* right, short* bottom)
{
  const DGItemState* state = Item("DGGetItemRect", dialId, item);
  if (state == nullptr)
    return false;
  *left = state->left;
  *top = state->top;
  *right = state->right;
  *bottom = state->bottom;
  return true;
}

// ---------------------------------------------------------------------------
// Layout

void DGBeginMoveGrowItems(short dialId)
{
  if (DGDialogState* window = Dialog("DGBeginMoveGrowItems", dialId))
    ++window->moveGrowDepth;
}

void DGEndMoveGrowItems(short dialId)
{
  DGDialogState* window = Dialog("DGEndMoveGrowItems", dialId);
  if (window == nullptr)
    return;
  if (window->moveGrowDepth == 0) {
    Misuse("DGEndMoveGrowItems", "no DGBeginMoveGrowItems before it");
    return;
  }
  if (--window->moveGrowDepth == 0)
    ++window->moveGrowBatches;
}

void DGMoveItem(short dialId, short item, short hMove, short vMove)
{
  if (DGItemState* state = Item("DGMoveItem", dialId, item))
    Move(*state, hMove, vMove);
}

void DGGrowItem(short dialId, short item, short hGrow, short vGrow)
{
  if (DGItemState* state = Item("DGGrowItem", dialId, item))
    Grow(*state, hGrow, vGrow);
}

void DGMoveGrowItem(short dialId, short item, short hMove, short vMove, short hGrow, short vGrow)
{
  if (DGItemState* state = Item("DGMoveGrowItem", dialId, item)) {
    Move(*state, hMove, vMove);
    Grow(*state, hGrow, vGrow);
  }
}

// ---------------------------------------------------------------------------
// Pop-ups

void DGPopUpInsertItem(short dialId, short item, short entry)
{
  DGItemState* popUp = ItemOf("DGPopUpInsertItem", dialId, item, {Kind::PopUp});
  if (popUp == nullptr)
    return;
  const auto count = static_cast<short>(popUp->entries.size());
  if (entry == DG_LIST_BOTTOM)
    entry = static_cast<short>(count + 1);
  if (entry < 1 || entry > count + 1) {
    Misuse("DGPopUpInsertItem", "no place " + std::to_string(entry) + " for a pop-up entry");
    return;
  }
  popUp->entries.insert(popUp->entries.begin() + (entry - 1), DGPopUpEntry{});
  if (popUp->selectedEntry >= entry)
    ++popUp->selectedEntry;
}

void DGPopUpDeleteItem(short dialId, short item, short entry)
{
  DGItemState* popUp = ItemOf("DGPopUpDeleteItem", dialId, item, {Kind::PopUp});
  if (popUp == nullptr)
    return;
  if (entry == DG_ALL_ITEMS) {
    popUp->entries.clear();
    popUp->selectedEntry = 0;
    return;
  }
  if (entry == DG_LIST_BOTTOM)
    entry = static_cast<short>(popUp->entries.size());
  if (!EntryInRange("DGPopUpDeleteItem", *popUp, entry, false))
    return;
  popUp->entries.erase(popUp->entries.begin() + (entry - 1));
  if (popUp->selectedEntry == entry)
    popUp->selectedEntry = 0;
  else if (popUp->selectedEntry > entry)
    --popUp->selectedEntry;
}

void DGPopUpSetItemText(short dialId, short item, short entry, const GS::UniString& text)
{
  if (DGPopUpEntry* state = Entry("DGPopUpSetItemText", dialId, item, entry))
    state->text = text;
}

GS::UniString DGPopUpGetItemText(short dialId, short item, short entry)
{
  const DGPopUpEntry* state = Entry("DGPopUpGetItemText", dialId, item, entry);
  return state != nullptr ? state->text : GS::UniString();
}

void DGPopUpSetItemUserData(short dialId, short item, short entry, DGUserData userData)
{
  if (DGPopUpEntry* state = Entry("DGPopUpSetItemUserData", dialId, item, entry))
    state->userData = userData;
}

DGUserData DGPopUpGetItemUserData(short dialId, short item, short entry)
{
  const DGPopUpEntry* state = Entry("DGPopUpGetItemUserData", dialId, item, entry);
  return state != nullptr ? state->userData : 0;
}

void DGPopUpSelectItem(short dialId, short item, short entry)
{
  DGItemState* popUp = ItemOf("DGPopUpSelectItem", dialId, item, {Kind::PopUp});
  if (popUp != nullptr && EntryInRange("DGPopUpSelectItem", *popUp, entry, true))
    popUp->selectedEntry = entry;
}

short DGPopUpGetSelected(short dialId, short item)
{
  const DGItemState* popUp = ItemOf("DGPopUpGetSelected", dialId, item, {Kind::PopUp});
  return popUp != nullptr ? popUp->selectedEntry : 0;
}

short DGPopUpGetItemCount(short dialId, short item)
{
  const DGItemState* popUp = ItemOf("DGPopUpGetItemCount", dialId, item, {Kind::PopUp});
  return popUp != nullptr ? static_cast<short>(popUp->entries.size()) : 0;
}
