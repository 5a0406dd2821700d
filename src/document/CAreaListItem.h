#pragma once
// The columns of the palette's area list (calculation elements and folders):
// a fixed catalogue of 18 columns, each with an id, a header title and the
// user's visible flag. Only ids and visible flags are stored; the catalogue,
// its order and its titles always come from Initialize, so a record of a
// version with fewer or other columns still loads.

#include "gs_unistring.h"

#include <vector>

class CArchive;
class CDGListItemParamCore;

class CAreaListItem {
public:
  CAreaListItem() = default;
  CAreaListItem(int id, const char16_t* title, bool visible, CDGListItemParamCore* column = nullptr);

  // One (id, visible) pair in the record's direction.
  void Serialize(CArchive& ar);

  int m_Id = 0;
  // The list column showing the item while the palette shows it; borrowed
  // from the palette, which owns it; never stored.
  CDGListItemParamCore* m_pColumn = nullptr;
  bool m_bVisible = false;
  GS::UniString m_Title;
};

class CAreaListItemArray : public std::vector<CAreaListItem> {
public:
  static constexpr int kItemCount = 18;

  // The 18 catalogue columns in their fixed order, default flags, no links.
  void Initialize();
  // The first item with that id, or null.
  CAreaListItem* Search(int id);
  // The item at that position among the visible ones, or null.
  CAreaListItem* SearchActIndex(int index);

  // Writes every item's pair; reading applies each stored pair to the item
  // of its id, ignores unknown ids and keeps the catalogue as it is.
  void Serialize(CArchive& ar);
};
