#pragma once
// The preview of an item number as the dialogs show it: "( A )" for index
// 0 of the style "A,B,C"; "(  )" for an index past the style's range.

#include "CPlenimetraParam.h"
#include "gs_unistring.h"

inline GS::UniString DlgItemNoPreview(const CPlenimetraParam& param, CItemType2Table::ITEMTYPE style, int index)
{
  return GS::UniString(u"( ") + param.m_ItemType2Table.GetItemNoStr(style, index) + GS::UniString(u" )");
}
