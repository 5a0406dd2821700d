#pragma once
// Shorthand for the layouts the dialogs declare beside themselves: one item
// of a given kind, written on one line as its number, kind and rectangle in
// the client area (pixels): left and top, then width and height.

#include "dg_state.h"

namespace DlgLayout {

using pln::host::DGItemKind;

inline pln::host::DGItemDef Item(short item, DGItemKind kind, short left, short top, short width = 80,
                                 short height = 20, short radioGroup = 1)
{
  pln::host::DGItemDef def;
  def.item = item;
  def.kind = kind;
  def.left = left;
  def.top = top;
  def.right = static_cast<short>(left + width);
  def.bottom = static_cast<short>(top + height);
  def.radioGroup = radioGroup;
  return def;
}

// Places item n at row (n - 1) % rows of column (n - 1) / rows, so the
// pages' many numbered controls get distinct places.
inline void AddInGrid(pln::host::DGDialogDef& def, short item, DGItemKind kind, short rows, short rowHeight)
{
  const short row = static_cast<short>((item - 1) % rows), column = static_cast<short>((item - 1) / rows);
  def.items.push_back(Item(item, kind, static_cast<short>(10 + column * 200), static_cast<short>(10 + row * rowHeight),
                           150, static_cast<short>(rowHeight - 1)));
}

}  // namespace DlgLayout
