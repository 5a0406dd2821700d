#include "CodeTables.h"

#include <cstdio>
#include <string_view>

namespace {

// The four kana orders of the numbering styles 5 to 8, one UTF-16 unit each.
// The gojūon orders are the 46 modern kana; the iroha orders leave out ゐ and
// ゑ (obsolete, and absent from the half-width set) and end with ん.
constexpr std::u16string_view kKatakana1 =
    u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝ";
constexpr std::u16string_view kKatakana2 =
    u"ｲﾛﾊﾆﾎﾍﾄﾁﾘﾇﾙｦﾜｶﾖﾀﾚｿﾂﾈﾅﾗﾑｳﾉｵｸﾔﾏｹﾌｺｴﾃｱｻｷﾕﾒﾐｼﾋﾓｾｽﾝ";
constexpr std::u16string_view kHirakana1 =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
constexpr std::u16string_view kHirakana2 =
    u"いろはにほへとちりぬるをわかよたれそつねならむうのおくやまけふこえてあさきゆめみしひもせすん";
static_assert(kKatakana1.size() == CItemType2TableArray::kKanaCount);
static_assert(kKatakana2.size() == CItemType2TableArray::kKanaCount);
static_assert(kHirakana1.size() == CItemType2TableArray::kKanaCount);
static_assert(kHirakana2.size() == CItemType2TableArray::kKanaCount);

const char16_t* const kUndefined = u"未定義";

// The first row of a table whose code matches, or null.
template <class Table, class Code>
const typename Table::value_type* FindRow(const Table& table, Code code)
{
  for (const auto& row : table)
    if (row.m_Code == code)
      return &row;
  return nullptr;
}

GS::UniString WithDefaultStar(GS::UniString text, bool differs)
{
  return differs ? GS::UniString(u"*") + text : text;
}

GS::UniString KanaAt(std::u16string_view order, int index)
{
  if (index < 0 || index >= CItemType2TableArray::kKanaCount)
    return {};
  return GS::UniString(&order[static_cast<std::size_t>(index)], 1);
}

// One symbol for indices below count, two (leading symbol first) up to
// count * (count + 1) - 1, empty beyond; single(k) gives symbol k.
template <class Single>
GS::UniString OneOrTwo(int index, int count, Single single)
{
  if (index < 0)
    return {};
  if (index < count)
    return single(index);
  if (index < count * (count + 1))
    return single(index / count - 1) + single(index % count);
  return {};
}

GS::UniString Letter(char first, int position)
{
  const char text[2] = {static_cast<char>(first + position), '\0'};
  return GS::UniString(text, CC_Default);
}

}  // namespace

// ---- rounding kinds -------------------------------------------------------

CRoundTypeTable::CRoundTypeTable(ROUNDTYPE code, const char16_t* name, const char16_t* shortName)
    : m_Name(name), m_ShortName(shortName), m_Code(code)
{
}

CRoundTypeTableArray::CRoundTypeTableArray()
{
  emplace_back(CRoundTypeTable::ROUNDTYPE_NONE, kUndefined, u"未");
  emplace_back(CRoundTypeTable::ROUNDTYPE_DEFAULT, u"デフォルト", u"デ");
  emplace_back(CRoundTypeTable::ROUNDTYPE_HALFUP, u"四捨五入", u"入");
  emplace_back(CRoundTypeTable::ROUNDTYPE_CUT, u"切り捨て", u"捨");
  emplace_back(CRoundTypeTable::ROUNDTYPE_UP, u"切り上げ", u"上");
}

const CRoundTypeTable* CRoundTypeTableArray::SearchFromCode(CRoundTypeTable::ROUNDTYPE code) const
{
  return FindRow(*this, code);
}

GS::UniString CRoundTypeTableArray::GetRoundTypeStr(CRoundTypeTable::ROUNDTYPE code) const
{
  const CRoundTypeTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_Name : GS::UniString(kUndefined);
}

GS::UniString CRoundTypeTableArray::GetRoundTypeShortStr(CRoundTypeTable::ROUNDTYPE code) const
{
  const CRoundTypeTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_ShortName : GS::UniString(u"未");
}

// ---- operators --------------------------------------------------------------

COperatorTable::COperatorTable(OPERATOR code, const char16_t* text) : m_Text(text), m_Code(code) {}

COperatorTableArray::COperatorTableArray()
{
  emplace_back(COperatorTable::OPERATOR_NONE, kUndefined);
  emplace_back(COperatorTable::OPERATOR_PLUS, u"+");
  emplace_back(COperatorTable::OPERATOR_MINUS, u"-");
}

const COperatorTable* COperatorTableArray::SearchFromCode(COperatorTable::OPERATOR code) const
{
  return FindRow(*this, code);
}

GS::UniString COperatorTableArray::GetOperatorStr(COperatorTable::OPERATOR code) const
{
  const COperatorTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_Text : GS::UniString(kUndefined);
}

// ---- marks --------------------------------------------------------------------

CItemType1Table::CItemType1Table(ITEMTYPE code, const char16_t* text) : m_Text(text), m_Code(code) {}

CItemType1TableArray::CItemType1TableArray()
{
  emplace_back(CItemType1Table::ITEMTYPE_NONE, kUndefined);
  emplace_back(CItemType1Table::ITEMTYPE_CIRCLE, u"○");
  emplace_back(CItemType1Table::ITEMTYPE_SQUARE, u"□");
  emplace_back(CItemType1Table::ITEMTYPE_DIAMOND, u"◇");
  emplace_back(CItemType1Table::ITEMTYPE_DOUBLECIRCLE, u"◎");
  emplace_back(CItemType1Table::ITEMTYPE_BLACKSQUARE, u"■");
  emplace_back(CItemType1Table::ITEMTYPE_BLACKDIAMOND, u"◆");
  emplace_back(CItemType1Table::ITEMTYPE_NOMARK, u"無");
}

const CItemType1Table* CItemType1TableArray::SearchFromCode(CItemType1Table::ITEMTYPE code) const
{
  return FindRow(*this, code);
}

GS::UniString CItemType1TableArray::GetMarkStr(CItemType1Table::ITEMTYPE code) const
{
  const CItemType1Table* row = SearchFromCode(code);
  return row != nullptr ? row->m_Text : GS::UniString();
}

GS::UniString CItemType1TableArray::GetPrintedMarkStr(CItemType1Table::ITEMTYPE code) const
{
  return code == CItemType1Table::ITEMTYPE_NOMARK ? GS::UniString() : GetMarkStr(code);
}

GS::UniString CItemType1TableArray::GetMarkStr(CItemType1Table::ITEMTYPE code, CItemType1Table::ITEMTYPE def) const
{
  const CItemType1Table* row = SearchFromCode(code);
  return WithDefaultStar(row != nullptr ? row->m_Text : GS::UniString(kUndefined), code != def);
}

const CItemType1Table* CItemType1TableArray::Search(const char* text) const
{
  const GS::UniString wanted(text, CC_Default);
  for (const CItemType1Table& row : *this)
    if (row.m_Text == wanted)
      return &row;
  return nullptr;
}

// ---- numbering styles ------------------------------------------------------------

CItemType2Table::CItemType2Table(ITEMTYPE code, const char16_t* text) : m_Text(text), m_Code(code) {}

CItemType2TableArray::CItemType2TableArray()
{
  emplace_back(CItemType2Table::ITEMTYPE_NONE, kUndefined);
  emplace_back(CItemType2Table::ITEMTYPE_DECIMAL, u"1,2,3");
  emplace_back(CItemType2Table::ITEMTYPE_UPPER, u"A,B,C");
  emplace_back(CItemType2Table::ITEMTYPE_LOWER, u"a,b,c");
  emplace_back(CItemType2Table::ITEMTYPE_KATAKANA1, u"ｱ,ｲ,ｳ");
  emplace_back(CItemType2Table::ITEMTYPE_KATAKANA2, u"ｲ,ﾛ,ﾊ");
  emplace_back(CItemType2Table::ITEMTYPE_HIRAKANA1, u"あいう");
  emplace_back(CItemType2Table::ITEMTYPE_HIRAKANA2, u"いろは");
  emplace_back(CItemType2Table::ITEMTYPE_ROMAN, u"I,II,III");
}

const CItemType2Table* CItemType2TableArray::SearchFromCode(CItemType2Table::ITEMTYPE code) const
{
  return FindRow(*this, code);
}

GS::UniString CItemType2TableArray::GetItemType2Str(CItemType2Table::ITEMTYPE code,
                                                    CItemType2Table::ITEMTYPE def) const
{
  const CItemType2Table* row = SearchFromCode(code);
  return WithDefaultStar(row != nullptr ? row->m_Text : GS::UniString(kUndefined), code != def);
}

GS::UniString CItemType2TableArray::GetItemNoStr(CItemType2Table::ITEMTYPE style, int index) const
{
  switch (style) {
  case CItemType2Table::ITEMTYPE_NONE:
    return GS::UniString(kUndefined);
  case CItemType2Table::ITEMTYPE_DECIMAL: {
    char text[16];
    std::snprintf(text, sizeof text, "%d", index + 1);
    return GS::UniString(text, CC_Default);
  }
  case CItemType2Table::ITEMTYPE_UPPER:
    return OneOrTwo(index, kLetterCount, [](int k) { return Letter('A', k); });
  case CItemType2Table::ITEMTYPE_LOWER:
    return OneOrTwo(index, kLetterCount, [](int k) { return Letter('a', k); });
  case CItemType2Table::ITEMTYPE_ROMAN:
    return GetGreekNumStr(index);
  case CItemType2Table::ITEMTYPE_KATAKANA1:
    return OneOrTwo(index, kKanaCount, GetKatakana1);
  case CItemType2Table::ITEMTYPE_KATAKANA2:
    return OneOrTwo(index, kKanaCount, GetKatakana2);
  case CItemType2Table::ITEMTYPE_HIRAKANA1:
    return OneOrTwo(index, kKanaCount, GetHirakana1);
  case CItemType2Table::ITEMTYPE_HIRAKANA2:
    return OneOrTwo(index, kKanaCount, GetHirakana2);
  }
  return {};  // a style no table knows, as stored records may carry
}

CItemType2Table::ITEMTYPE CItemType2TableArray::Search(const char* text, int index) const
{
  // Roman comes last: "I" at index 8 is the capital-letter style's.
  static constexpr CItemType2Table::ITEMTYPE kOrder[] = {
      CItemType2Table::ITEMTYPE_DECIMAL,   CItemType2Table::ITEMTYPE_UPPER,     CItemType2Table::ITEMTYPE_LOWER,
      CItemType2Table::ITEMTYPE_KATAKANA1, CItemType2Table::ITEMTYPE_KATAKANA2, CItemType2Table::ITEMTYPE_HIRAKANA1,
      CItemType2Table::ITEMTYPE_HIRAKANA2, CItemType2Table::ITEMTYPE_ROMAN};
  const GS::UniString wanted(text, CC_Default);
  for (CItemType2Table::ITEMTYPE style : kOrder)
    if (GetItemNoStr(style, index) == wanted)
      return style;
  return CItemType2Table::ITEMTYPE_NONE;
}

GS::UniString CItemType2TableArray::GetGreekNumStr(int index)
{
  static constexpr const char* kUnits[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  static constexpr const char* kTens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
  if (index < 0 || index >= kRomanLimit)
    return {};
  const int value = index + 1;
  if (value == kRomanLimit)
    return GS::UniString("C", CC_Default);
  std::string text = std::string(kTens[value / 10]) + kUnits[value % 10];
  return GS::UniString(text.c_str(), CC_Default);
}

GS::UniString CItemType2TableArray::GetKatakana1(int index) { return KanaAt(kKatakana1, index); }
GS::UniString CItemType2TableArray::GetKatakana2(int index) { return KanaAt(kKatakana2, index); }
GS::UniString CItemType2TableArray::GetHirakana1(int index) { return KanaAt(kHirakana1, index); }
GS::UniString CItemType2TableArray::GetHirakana2(int index) { return KanaAt(kHirakana2, index); }

// ---- automatic line breaks ---------------------------------------------------------

CAutoCrTable::CAutoCrTable(bool code, const char16_t* text) : m_Code(code), m_Text(text) {}

CAutoCrTableArray::CAutoCrTableArray()
{
  emplace_back(true, u"自動");
  emplace_back(false, u"手動");
}

const CAutoCrTable* CAutoCrTableArray::SearchFromCode(bool code) const { return FindRow(*this, code); }

// ---- slant-line forms ----------------------------------------------------------------

CAreaSlantlineFormTable::CAreaSlantlineFormTable(LINEFORM code, const char16_t* text) : m_Text(text), m_Code(code) {}

CAreaSlantlineFormTableArray::CAreaSlantlineFormTableArray()
{
  emplace_back(CAreaSlantlineFormTable::LINEFORM_DEFAULT, u"デフォルト");
  emplace_back(CAreaSlantlineFormTable::LINEFORM_CROSS, u"×");
  emplace_back(CAreaSlantlineFormTable::LINEFORM_SLASH, u"／");
  emplace_back(CAreaSlantlineFormTable::LINEFORM_BACKSLASH, u"＼");
  emplace_back(CAreaSlantlineFormTable::LINEFORM_NONE, u"なし");
}

const CAreaSlantlineFormTable* CAreaSlantlineFormTableArray::SearchFromCode(
    CAreaSlantlineFormTable::LINEFORM code) const
{
  return FindRow(*this, code);
}

GS::UniString CAreaSlantlineFormTableArray::GetLineFormStr(CAreaSlantlineFormTable::LINEFORM code) const
{
  const CAreaSlantlineFormTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_Text : GS::UniString(u"なし");
}

// ---- aggregation kinds -------------------------------------------------------------------

CArea2ListTypeTable::CArea2ListTypeTable(LISTTYPE code, const char16_t* text) : m_Text(text), m_Code(code) {}

CArea2ListTypeTableArray::CArea2ListTypeTableArray()
{
  emplace_back(CArea2ListTypeTable::LISTTYPE_FORMULA, u"計算式集計");
  emplace_back(CArea2ListTypeTable::LISTTYPE_LIST, u"一覧表集計");
}

const CArea2ListTypeTable* CArea2ListTypeTableArray::SearchFromCode(CArea2ListTypeTable::LISTTYPE code) const
{
  return FindRow(*this, code);
}

GS::UniString CArea2ListTypeTableArray::GetListTypeStr(CArea2ListTypeTable::LISTTYPE code) const
{
  const CArea2ListTypeTable* row = SearchFromCode(code);
  return row != nullptr ? row->m_Text : GS::UniString(kUndefined);
}
