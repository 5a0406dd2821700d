#include "CShowTotalTable.h"

CShowTotalTable::CShowTotalTable(CArea2Object::SHOWTOTAL code, const char16_t* text) : m_Text(text), m_Code(code) {}

CShowTotalTableArray::CShowTotalTableArray()
{
  emplace_back(CArea2Object::SHOWTOTAL_HIDE, u"表示しない");
  emplace_back(CArea2Object::SHOWTOTAL_MARK, u"表示(記号有)");
  emplace_back(CArea2Object::SHOWTOTAL_NOMARK, u"表示(記号無)");
}

const CShowTotalTable* CShowTotalTableArray::SearchFromCode(CArea2Object::SHOWTOTAL code) const
{
  for (const CShowTotalTable& row : *this)
    if (row.m_Code == code)
      return &row;
  return nullptr;
}

GS::UniString CShowTotalTableArray::GetShowTotalStr(CArea2Object::SHOWTOTAL code) const
{
  const CShowTotalTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_Text : GS::UniString(u"未定義");
}
