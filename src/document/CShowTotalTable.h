#pragma once
// The total-row choice of a calculation element with its texts, in the order
// the tree page lists them. Kept apart from CodeTables.h because its code is
// the element's own enumeration.

#include "CArea2Object.h"
#include "gs_unistring.h"

#include <vector>

class CShowTotalTable {
public:
  CShowTotalTable(CArea2Object::SHOWTOTAL code, const char16_t* text);
  bool operator==(const CShowTotalTable&) const = default;

  GS::UniString m_Text;
  CArea2Object::SHOWTOTAL m_Code;
};

class CShowTotalTableArray : public std::vector<CShowTotalTable> {
public:
  CShowTotalTableArray();  // 0 表示しない, 1 表示(記号有), 2 表示(記号無)

  const CShowTotalTable* SearchFromCode(CArea2Object::SHOWTOTAL code) const;
  GS::UniString GetShowTotalStr(CArea2Object::SHOWTOTAL code) const;  // "未定義" if absent
};
