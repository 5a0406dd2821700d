#pragma once
// One item of a dialog layout declared beside its dialog class, written on
// one line: number, kind and rectangle in the client area (pixels).

#include "dg_state.h"

inline pln::host::DGItemDef LayoutItem(short item, pln::host::DGItemKind kind, short left, short top, short right,
                                       short bottom, short radioGroup = 1)
{
  pln::host::DGItemDef def;
  def.item = item;
  def.kind = kind;
  def.left = left;
  def.top = top;
  def.right = right;
  def.bottom = bottom;
  def.radioGroup = radioGroup;
  return def;
}
