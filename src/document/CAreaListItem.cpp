#include "CAreaListItem.h"

#include "CArchive.h"

namespace {

struct CatalogueEntry {
  int id;
  const char16_t* title;
  bool visible;
};

// The fixed catalogue in list order. Ids are not in position order: id 17
// joined later beside the kind, and ids 13 to 16 stand before id 12.
constexpr CatalogueEntry kCatalogue[CAreaListItemArray::kItemCount] = {
    {1, u"記号", true},
    {2, u"番号", true},
    {3, u"記号番号", false},
    {4, u"符号", true},
    {5, u"名前(階)", true},
    {6, u"種類", true},
    {17, u"集計面積", true},
    {7, u"計算式", true},
    {13, u"丸目処理(建物)", false},
    {14, u"丸目桁数(建物)", true},
    {15, u"丸目処理(各階)", false},
    {16, u"丸目桁数(各階)", true},
    {12, u"改行", true},
    {8, u"面積", false},
    {9, u"端数処理", false},
    {10, u"端数処理後面積", false},
    {11, u"合計欄表示", true},
    {18, u"色", true},
};

// Bytes of one stored pair: int id, bool visible.
constexpr long long kPairBytes = 5;

}  // namespace

CAreaListItem::CAreaListItem(int id, const char16_t* title, bool visible, CDGListItemParamCore* column)
    : m_Id(id), m_pColumn(column), m_bVisible(visible), m_Title(title == nullptr ? u"" : title)
{
}

void CAreaListItem::Serialize(CArchive& ar)
{
  ar.Serialize(m_Id);
  ar.Serialize(m_bVisible);
}

void CAreaListItemArray::Initialize()
{
  clear();
  for (const CatalogueEntry& entry : kCatalogue)
    emplace_back(entry.id, entry.title, entry.visible);
}

CAreaListItem* CAreaListItemArray::Search(int id)
{
  for (CAreaListItem& item : *this)
    if (item.m_Id == id)
      return &item;
  return nullptr;
}

CAreaListItem* CAreaListItemArray::SearchActIndex(int index)
{
  if (index < 0)
    return nullptr;
  for (CAreaListItem& item : *this)
    if (item.m_bVisible && index-- == 0)
      return &item;
  return nullptr;
}

void CAreaListItemArray::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << int(size());
    for (CAreaListItem& item : *this)
      item.Serialize(ar);
    return;
  }
  int count = 0;
  ar >> count;
  if (count < 1)
    return;
  // A count the record cannot hold is damage, not a longer catalogue.
  if (!ar.CanHold(count, kPairBytes))
    throw CArchive::kPastEnd;
  for (int i = 0; i < count; ++i) {
    CAreaListItem stored;
    stored.Serialize(ar);
    if (CAreaListItem* item = Search(stored.m_Id))
      item->m_bVisible = stored.m_bVisible;
  }
}
