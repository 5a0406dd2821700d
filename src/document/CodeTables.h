#pragma once
// The code tables of the area calculation: every small integer code the
// document stores (rounding kind, operator, mark, numbering style, line-break
// mode, slant-line form, aggregation kind) with the texts the user sees.
//
// A table is built once by its constructor, in a fixed row order, and never
// changes. Every lookup scans from the first row and takes the first match;
// choice lists are filled by walking a table in this order, so the order is
// part of the contract.
//
// The enumerations have a fixed 32-bit underlying type: a code read from a
// stored record converts to them whatever its value, and an unknown code
// simply finds no row (fallback text, null from a search).
//
// Item numbers: the index-th item (from 0) of a numbering style reads 1, 2, 3;
// A .. Z, AA .. ZZ; I .. C; or one or two kana of a 46-kana order (gojūon or
// iroha without ゐ and ゑ, then ん).

#include "gs_unistring.h"

#include <vector>

// ---- rounding kinds -------------------------------------------------------

class CRoundTypeTable {
public:
  enum ROUNDTYPE : int {
    ROUNDTYPE_NONE = 0,     // 未定義
    ROUNDTYPE_HALFUP = 1,   // 四捨五入
    ROUNDTYPE_CUT = 2,      // 切り捨て
    ROUNDTYPE_UP = 3,       // 切り上げ
    ROUNDTYPE_DEFAULT = 4,  // デフォルト: the item the level supplies decides
  };

  CRoundTypeTable(ROUNDTYPE code, const char16_t* name, const char16_t* shortName);

  bool operator==(const CRoundTypeTable&) const = default;

  GS::UniString m_Name;
  GS::UniString m_ShortName;
  ROUNDTYPE m_Code;
};

class CRoundTypeTableArray : public std::vector<CRoundTypeTable> {
public:
  CRoundTypeTableArray();  // 0 未定義, 4 デフォルト, 1 四捨五入, 2 切り捨て, 3 切り上げ

  const CRoundTypeTable* SearchFromCode(CRoundTypeTable::ROUNDTYPE code) const;
  GS::UniString GetRoundTypeStr(CRoundTypeTable::ROUNDTYPE code) const;       // "未定義" if absent
  GS::UniString GetRoundTypeShortStr(CRoundTypeTable::ROUNDTYPE code) const;  // "未" if absent
};

// ---- operators of formula terms ------------------------------------------

class COperatorTable {
public:
  enum OPERATOR : int { OPERATOR_NONE = 0, OPERATOR_PLUS = 1, OPERATOR_MINUS = 2 };

  COperatorTable(OPERATOR code, const char16_t* text);
  bool operator==(const COperatorTable&) const = default;

  GS::UniString m_Text;
  OPERATOR m_Code;
};

class COperatorTableArray : public std::vector<COperatorTable> {
public:
  COperatorTableArray();  // 0 未定義, 1 +, 2 -

  const COperatorTable* SearchFromCode(COperatorTable::OPERATOR code) const;
  GS::UniString GetOperatorStr(COperatorTable::OPERATOR code) const;  // "未定義" if absent
};

// ---- mark shapes (item type 1) --------------------------------------------

class CItemType1Table {
public:
  enum ITEMTYPE : int {
    ITEMTYPE_NONE = 0,          // 未定義
    ITEMTYPE_CIRCLE = 1,        // ○
    ITEMTYPE_SQUARE = 2,        // □
    ITEMTYPE_DIAMOND = 3,       // ◇
    ITEMTYPE_DOUBLECIRCLE = 4,  // ◎
    ITEMTYPE_BLACKSQUARE = 5,   // ■
    ITEMTYPE_BLACKDIAMOND = 6,  // ◆
    ITEMTYPE_NOMARK = 7,        // 無
  };

  CItemType1Table(ITEMTYPE code, const char16_t* text);
  bool operator==(const CItemType1Table&) const = default;

  GS::UniString m_Text;
  ITEMTYPE m_Code;
};

class CItemType1TableArray : public std::vector<CItemType1Table> {
public:
  CItemType1TableArray();

  const CItemType1Table* SearchFromCode(CItemType1Table::ITEMTYPE code) const;
  // The mark's name as the user chooses it ("無" for no mark); empty when
  // the table has no such mark.
  GS::UniString GetMarkStr(CItemType1Table::ITEMTYPE code) const;
  // The mark printed before an item number: as the name, but nothing for
  // no mark.
  GS::UniString GetPrintedMarkStr(CItemType1Table::ITEMTYPE code) const;
  // The mark text ("未定義" if absent), "*" in front when code != def.
  GS::UniString GetMarkStr(CItemType1Table::ITEMTYPE code, CItemType1Table::ITEMTYPE def) const;
  // The row whose text equals an 8-bit text in the host's default code.
  const CItemType1Table* Search(const char* text) const;
};

// ---- numbering styles (item type 2) ---------------------------------------

class CItemType2Table {
public:
  enum ITEMTYPE : int {
    ITEMTYPE_NONE = 0,       // 未定義
    ITEMTYPE_DECIMAL = 1,    // 1,2,3
    ITEMTYPE_UPPER = 2,      // A,B,C
    ITEMTYPE_ROMAN = 3,      // I,II,III
    ITEMTYPE_LOWER = 4,      // a,b,c
    ITEMTYPE_KATAKANA1 = 5,  // ｱ,ｲ,ｳ  (half-width, gojūon)
    ITEMTYPE_KATAKANA2 = 6,  // ｲ,ﾛ,ﾊ  (half-width, iroha)
    ITEMTYPE_HIRAKANA1 = 7,  // あいう (gojūon)
    ITEMTYPE_HIRAKANA2 = 8,  // いろは (iroha)
  };

  CItemType2Table(ITEMTYPE code, const char16_t* text);
  bool operator==(const CItemType2Table&) const = default;

  GS::UniString m_Text;
  ITEMTYPE m_Code;
};

class CItemType2TableArray : public std::vector<CItemType2Table> {
public:
  // Kana per order, and the counts the two-character texts are built from.
  static constexpr int kKanaCount = 46;
  static constexpr int kLetterCount = 26;
  static constexpr int kRomanLimit = 100;

  CItemType2TableArray();  // 0, 1, 2, 4, 5, 6, 7, 8, then 3

  const CItemType2Table* SearchFromCode(CItemType2Table::ITEMTYPE code) const;
  // The style label ("未定義" if absent), "*" in front when code != def.
  GS::UniString GetItemType2Str(CItemType2Table::ITEMTYPE code, CItemType2Table::ITEMTYPE def) const;

  // Text of the index-th item (from 0); empty past the style's range. A style
  // outside 0..8 gives the empty text: stored records may carry any code.
  GS::UniString GetItemNoStr(CItemType2Table::ITEMTYPE style, int index) const;
  // The numbering style whose text for index equals text, trying 1, 2, 4, 5,
  // 6, 7, 8 and Roman last; 0 when none does.
  CItemType2Table::ITEMTYPE Search(const char* text, int index) const;

  static GS::UniString GetGreekNumStr(int index);  // Roman numeral of index + 1, 1..100
  static GS::UniString GetKatakana1(int index);
  static GS::UniString GetKatakana2(int index);
  static GS::UniString GetHirakana1(int index);
  static GS::UniString GetHirakana2(int index);
};

// ---- automatic / manual line breaks ---------------------------------------

class CAutoCrTable {
public:
  CAutoCrTable(bool code, const char16_t* text);

  bool m_Code;
  GS::UniString m_Text;
};

class CAutoCrTableArray : public std::vector<CAutoCrTable> {
public:
  CAutoCrTableArray();  // true 自動, false 手動

  const CAutoCrTable* SearchFromCode(bool code) const;
};

// ---- slant-line forms -------------------------------------------------------

class CAreaSlantlineFormTable {
public:
  enum LINEFORM : int {
    LINEFORM_NONE = 0,       // なし
    LINEFORM_CROSS = 1,      // ×
    LINEFORM_SLASH = 2,      // ／
    LINEFORM_BACKSLASH = 3,  // ＼
    LINEFORM_DEFAULT = 4,    // デフォルト
  };

  CAreaSlantlineFormTable(LINEFORM code, const char16_t* text);

  GS::UniString m_Text;
  LINEFORM m_Code;
};

class CAreaSlantlineFormTableArray : public std::vector<CAreaSlantlineFormTable> {
public:
  CAreaSlantlineFormTableArray();  // 4, 1, 2, 3, 0

  const CAreaSlantlineFormTable* SearchFromCode(CAreaSlantlineFormTable::LINEFORM code) const;
  GS::UniString GetLineFormStr(CAreaSlantlineFormTable::LINEFORM code) const;  // "なし" if absent
};

// ---- aggregation kind of a calculation element ----------------------------

class CArea2ListTypeTable {
public:
  enum LISTTYPE : int {
    LISTTYPE_LIST = 0,     // 一覧表集計: aggregated as a list
    LISTTYPE_FORMULA = 1,  // 計算式集計: aggregated as a formula
  };

  CArea2ListTypeTable(LISTTYPE code, const char16_t* text);
  bool operator==(const CArea2ListTypeTable&) const = default;

  GS::UniString m_Text;
  LISTTYPE m_Code;
};

class CArea2ListTypeTableArray : public std::vector<CArea2ListTypeTable> {
public:
  CArea2ListTypeTableArray();  // 1 計算式集計, 0 一覧表集計

  const CArea2ListTypeTable* SearchFromCode(CArea2ListTypeTable::LISTTYPE code) const;
  GS::UniString GetListTypeStr(CArea2ListTypeTable::LISTTYPE code) const;  // "未定義" if absent
};

// Table equality is the vector's own: the same rows, equal in order.
