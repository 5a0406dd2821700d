#pragma once
// Shorthand for the layouts the dialogs declare beside themselves: one
// item of a given kind at a position of the client area.

#include "dg_state.h"

namespace DlgLayout {

using pln::host::DGItemKind;

inline pln::host::DGItemDef Item(short item, DGItemKind kind, short left, short top, short width = 80,
                                 short height = 20)
{
  pln::host::DGItemDef def;
  def.item = item;
  def.kind = kind;
  def.left = left;
  def.top = top;
  def.right = static_cast<short>(left + width);
  def.bottom = static_cast<short>(top + height);
  return def;
}

}  // namespace DlgLayout
