#include "dg_internal.h"
#include "dg_manager.h"

#include <iterator>

using namespace pln::host;
using namespace pln::host::dg;

short DGAppendDialogItem(short dialId, short itemType, short /*itemSubType*/, short /*itemData*/, short hPos,
                         short vPos, short hSize, short vSize)
{
  DGDialogState* window = Dialog("DGAppendDialogItem", dialId);
  if (window == nullptr)
    return 0;
  DGItemDef def;
  switch (itemType) {
  case DG_ITM_CHECKBOX: def.kind = DGItemKind::CheckBox; break;
  case DG_ITM_LISTBOX: def.kind = DGItemKind::ListBox; break;
  default:
    Misuse("DGAppendDialogItem", "unknown item type " + std::to_string(itemType));
    return 0;
  }
  def.item = window->items.empty() ? 1 : short(std::prev(window->items.end())->first + 1);
  def.left = hPos;
  def.top = vPos;
  def.right = short(hPos + hSize);
  def.bottom = short(vPos + vSize);
  window->items[def.item] = MakeItem(def);
  return def.item;
}

void DGRemoveDialogItem(short dialId, short item)
{
  if (Item("DGRemoveDialogItem", dialId, item) != nullptr)
    FindDialog(dialId)->items.erase(item);
}

void DGListSetItemHeight(short dialId, short list, short height)
{
  if (DGItemState* state = ItemOf("DGListSetItemHeight", dialId, list, {DGItemKind::ListBox}))
    state->def.rowHeight = height;
}
