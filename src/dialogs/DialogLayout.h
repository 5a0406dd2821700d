#pragma once
// One item of a dialog layout, written on one line.

#include "dg_state.h"

inline pln::host::DGItemDef LayoutItem(short item, pln::host::DGItemKind kind, short left, short top, short right,
                                       short bottom)
{
  pln::host::DGItemDef def;
  def.item = item;
  def.kind = kind;
  def.left = left;
  def.top = top;
  def.right = right;
  def.bottom = bottom;
  return def;
}
