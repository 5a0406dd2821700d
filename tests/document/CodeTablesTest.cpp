#include "CAngleValue.h"
#include "CRoundTypeParam.h"
#include "CShowTotalTable.h"
#include "CodeTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::u16string S(const GS::UniString& text) { return text.Std(); }

using Style = CItemType2Table::ITEMTYPE;

class ItemNumbers : public ::testing::Test {
protected:
  std::u16string No(Style style, int index) const { return S(table.GetItemNoStr(style, index)); }
  CItemType2TableArray table;
};

TEST_F(ItemNumbers, EveryStyleRunsToItsLimitAndGivesNothingPastIt)
{
  using T = CItemType2Table;
  const struct {
    Style style;
    int index;
    const char16_t* text;
  } rows[] = {
      // Letters run from one to two characters and stop after ZZ.
      {T::ITEMTYPE_UPPER, 0, u"A"}, {T::ITEMTYPE_UPPER, 25, u"Z"}, {T::ITEMTYPE_UPPER, 26, u"AA"},
      {T::ITEMTYPE_UPPER, 51, u"AZ"}, {T::ITEMTYPE_UPPER, 52, u"BA"}, {T::ITEMTYPE_UPPER, 701, u"ZZ"},
      {T::ITEMTYPE_UPPER, 702, u""}, {T::ITEMTYPE_UPPER, -1, u""}, {T::ITEMTYPE_LOWER, 27, u"ab"},
      {T::ITEMTYPE_LOWER, 701, u"zz"},
      // Roman numerals use the subtractive forms up to C.
      {T::ITEMTYPE_ROMAN, 0, u"I"}, {T::ITEMTYPE_ROMAN, 3, u"IV"}, {T::ITEMTYPE_ROMAN, 8, u"IX"},
      {T::ITEMTYPE_ROMAN, 13, u"XIV"}, {T::ITEMTYPE_ROMAN, 39, u"XL"}, {T::ITEMTYPE_ROMAN, 48, u"XLIX"},
      {T::ITEMTYPE_ROMAN, 87, u"LXXXVIII"}, {T::ITEMTYPE_ROMAN, 98, u"XCIX"}, {T::ITEMTYPE_ROMAN, 99, u"C"},
      {T::ITEMTYPE_ROMAN, 100, u""},
      // The kana orders hold forty-six kana and pair them.
      {T::ITEMTYPE_KATAKANA1, 0, u"ｱ"}, {T::ITEMTYPE_KATAKANA1, 45, u"ﾝ"}, {T::ITEMTYPE_KATAKANA1, 46, u"ｱｱ"},
      {T::ITEMTYPE_KATAKANA1, 47, u"ｱｲ"}, {T::ITEMTYPE_KATAKANA1, 2161, u"ﾝﾝ"}, {T::ITEMTYPE_KATAKANA1, 2162, u""},
      {T::ITEMTYPE_KATAKANA1, -1, u""}, {T::ITEMTYPE_KATAKANA2, 0, u"ｲ"}, {T::ITEMTYPE_KATAKANA2, 46, u"ｲｲ"},
      {T::ITEMTYPE_HIRAKANA1, 45, u"ん"}, {T::ITEMTYPE_HIRAKANA2, 47, u"いろ"},
      // Decimal, undefined, and styles a damaged record may carry.
      {T::ITEMTYPE_DECIMAL, 0, u"1"}, {T::ITEMTYPE_DECIMAL, 9999, u"10000"}, {T::ITEMTYPE_NONE, 17, u"未定義"},
      {Style(9), 0, u""}, {Style(-1), 0, u""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(No(row.style, row.index), row.text) << row.style << " " << row.index;
  EXPECT_EQ(S(CItemType2TableArray::GetGreekNumStr(-1)), u"");
  EXPECT_EQ(S(CItemType2TableArray::GetHirakana1(46)), u"");
}

TEST_F(ItemNumbers, IrohaOrdersLeaveOutWiAndWe)
{
  std::u16string hira;
  std::u16string kata;
  for (int i = 0; i < CItemType2TableArray::kKanaCount; ++i) {
    hira += S(CItemType2TableArray::GetHirakana2(i));
    kata += S(CItemType2TableArray::GetKatakana2(i));
  }
  EXPECT_EQ(hira, u"いろはにほへとちりぬるをわかよたれそつねならむうのおくやまけふこえてあさきゆめみしひもせすん");
  EXPECT_EQ(kata, u"ｲﾛﾊﾆﾎﾍﾄﾁﾘﾇﾙｦﾜｶﾖﾀﾚｿﾂﾈﾅﾗﾑｳﾉｵｸﾔﾏｹﾌｺｴﾃｱｻｷﾕﾒﾐｼﾋﾓｾｽﾝ");
  EXPECT_EQ(hira.find(u'ゐ'), std::u16string::npos);
  EXPECT_EQ(hira.find(u'ゑ'), std::u16string::npos);
}

TEST_F(ItemNumbers, SearchTriesRomanLast)
{
  EXPECT_EQ(table.Search("I", 0), CItemType2Table::ITEMTYPE_ROMAN);
  EXPECT_EQ(table.Search("I", 8), CItemType2Table::ITEMTYPE_UPPER);
  EXPECT_EQ(table.Search("i", 8), CItemType2Table::ITEMTYPE_LOWER);
  EXPECT_EQ(table.Search("3", 2), CItemType2Table::ITEMTYPE_DECIMAL);
  EXPECT_EQ(table.Search("?", 0), CItemType2Table::ITEMTYPE_NONE);
  // Every text a style gives is found again as that style (or an earlier one
  // that gives the same text).
  for (const CItemType2Table& row : table)
    for (int index : {0, 5, 30, 99}) {
      const GS::UniString text = table.GetItemNoStr(row.m_Code, index);
      if (row.m_Code == CItemType2Table::ITEMTYPE_NONE || text.IsEmpty() || text.GetLength() > 2)
        continue;
      const std::string bytes = text.ToStdString();
      EXPECT_EQ(table.GetItemNoStr(table.Search(bytes.c_str(), index), index), text) << row.m_Code << " " << index;
    }
}

// The codes of a table's rows in their order.
template <typename Table>
std::vector<int> CodesOf(const Table& table)
{
  std::vector<int> codes;
  for (const auto& row : table)
    codes.push_back(int(row.m_Code));
  return codes;
}

TEST(CodeTables, RowsStandInTheirListedOrder)
{
  EXPECT_EQ(CodesOf(CRoundTypeTableArray()), (std::vector<int>{0, 4, 1, 2, 3}));
  EXPECT_EQ(CodesOf(CItemType2TableArray()), (std::vector<int>{0, 1, 2, 4, 5, 6, 7, 8, 3}));
  EXPECT_EQ(CodesOf(CAreaSlantlineFormTableArray()), (std::vector<int>{4, 1, 2, 3, 0}));
  const CArea2ListTypeTableArray listTypes;
  EXPECT_EQ(CodesOf(listTypes), (std::vector<int>{CArea2ListTypeTable::LISTTYPE_FORMULA, CArea2ListTypeTable::LISTTYPE_LIST}));
  EXPECT_EQ(S(listTypes[1].m_Text), u"一覧表集計");
}

TEST(CodeTables, CodeTextsAndFallbacks)
{
  const CRoundTypeTableArray round;
  EXPECT_EQ(S(round.GetRoundTypeShortStr(CRoundTypeTable::ROUNDTYPE_HALFUP)), u"入");
  EXPECT_EQ(S(round.GetRoundTypeStr(CRoundTypeTable::ROUNDTYPE_UP)), u"切り上げ");
  EXPECT_EQ(S(round.GetRoundTypeStr(CRoundTypeTable::ROUNDTYPE(7))), u"未定義");
  EXPECT_EQ(S(round.GetRoundTypeShortStr(CRoundTypeTable::ROUNDTYPE(7))), u"未");

  const CItemType1TableArray marks;
  EXPECT_EQ(S(marks.GetMarkStr(CItemType1Table::ITEMTYPE(2), CItemType1Table::ITEMTYPE(2))), u"□");
  EXPECT_EQ(S(marks.GetMarkStr(CItemType1Table::ITEMTYPE(3), CItemType1Table::ITEMTYPE(2))), u"*◇");
  EXPECT_EQ(S(marks.GetMarkStr(CItemType1Table::ITEMTYPE(9), CItemType1Table::ITEMTYPE(2))), u"*未定義");
  EXPECT_EQ(S(marks.GetMarkStr(CItemType1Table::ITEMTYPE(9))), u"");
  EXPECT_EQ(S(marks.GetMarkStr(CItemType1Table::ITEMTYPE_NOMARK)), u"無");

  const CItemType2TableArray numbering;
  EXPECT_EQ(S(numbering.GetItemType2Str(CItemType2Table::ITEMTYPE_ROMAN, CItemType2Table::ITEMTYPE_DECIMAL)),
            u"*I,II,III");
  EXPECT_EQ(S(numbering.GetItemType2Str(Style(12), Style(12))), u"未定義");

  EXPECT_EQ(S(COperatorTableArray().GetOperatorStr(COperatorTable::OPERATOR_MINUS)), u"-");
  EXPECT_EQ(S(COperatorTableArray().GetOperatorStr(COperatorTable::OPERATOR(5))), u"未定義");
  const CAreaSlantlineFormTableArray forms;
  EXPECT_EQ(S(forms.GetLineFormStr(CAreaSlantlineFormTable::LINEFORM(8))), u"なし");
  EXPECT_EQ(S(forms.GetLineFormStr(CAreaSlantlineFormTable::LINEFORM_NONE)), u"なし");
  EXPECT_EQ(S(forms.GetLineFormStr(CAreaSlantlineFormTable::LINEFORM_BACKSLASH)), u"＼");
  EXPECT_EQ(S(CArea2ListTypeTableArray().GetListTypeStr(CArea2ListTypeTable::LISTTYPE(3))), u"未定義");
  EXPECT_EQ(S(CAutoCrTableArray().SearchFromCode(false)->m_Text), u"手動");

  const CShowTotalTableArray totals;
  EXPECT_EQ(S(totals.GetShowTotalStr(CArea2Object::SHOWTOTAL_NOMARK)), u"表示(記号無)");
  EXPECT_EQ(S(totals.GetShowTotalStr(CArea2Object::SHOWTOTAL(3))), u"未定義");
}

TEST(CodeTables, MarkSearchAndTableEquality)
{
  const CItemType1TableArray marks;
  const CItemType1Table* square = marks.Search(GS::UniString(u"□").ToStdString().c_str());
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(square->m_Code, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(marks.Search("x"), nullptr);

  CRoundTypeTableArray a;
  const CRoundTypeTableArray b;
  EXPECT_TRUE(a == b);
  a[2].m_ShortName = GS::UniString(u"X");
  EXPECT_FALSE(a == b);
  a = b;
  a.pop_back();
  EXPECT_TRUE(a != b);
}

// ---- angles -------------------------------------------------------------------

std::u16string Angle(CRoundTypeTable::ROUNDTYPE kind, int digits, double degrees)
{
  const CRoundTypeItem item(kind, digits);
  return S(CAngleValue(&item, degrees).GetStr());
}

TEST(CAngleValueTest, EachKindRoundsAtItsDigitAndNegativesMirrorWithOneSign)
{
  using T = CRoundTypeTable;
  // 30° through radians is 29.999999999999996: without the snap onto whole
  // steps the cut would print 29.99 and the round-up 30.01.
  const double thirty = (3.141592653589793 / 6.0) * (180.0 / 3.141592653589793);
  ASSERT_LT(thirty, 30.0);
  const struct {
    T::ROUNDTYPE kind;
    int digits;
    double degrees;
    const char16_t* text;
  } rows[] = {
      {T::ROUNDTYPE_HALFUP, 2, 30.125, u"30.13"},   {T::ROUNDTYPE_CUT, 1, 45.99, u"45.9"},
      {T::ROUNDTYPE_UP, 0, 10.01, u"11"},           {T::ROUNDTYPE_DEFAULT, 3, 0.005, u"0.005"},
      {T::ROUNDTYPE_NONE, 1, 7.25, u"7.2"},         {T::ROUNDTYPE_CUT, 9, 1.5, u"1.500000000"},
      {T::ROUNDTYPE_CUT, 2, 7.0, u"7.00"},          {T::ROUNDTYPE_CUT, 2, thirty, u"30.00"},
      {T::ROUNDTYPE_UP, 2, thirty, u"30.00"},       {T::ROUNDTYPE_UP, 2, 30.0 + 1e-6, u"30.01"},
      {T::ROUNDTYPE_CUT, 2, 30.0 - 1e-6, u"29.99"}, {T::ROUNDTYPE_HALFUP, 2, -30.125, u"-30.13"},
      {T::ROUNDTYPE_CUT, 1, -45.99, u"-45.9"},      {T::ROUNDTYPE_UP, 0, -10.01, u"-11"},
      {T::ROUNDTYPE_CUT, 2, -0.5, u"-0.50"},        {T::ROUNDTYPE_CUT, 2, -0.001, u"0.00"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Angle(row.kind, row.digits, row.degrees), row.text) << row.kind << " " << row.digits << " " << row.degrees;
}

TEST(CAngleValueTest, MissingItemAndBadDigitsStaySafe)
{
  EXPECT_EQ(S(CAngleValue(nullptr, 12.345).GetStr()), u"12.34");  // the default (cut, 2)
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 12, 1.0), u"1.000000000");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, -3, 1.7), u"1");
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  EXPECT_EQ(CAngleValue(&item, 1e300).m_Value, 9000000000000000000LL);
  EXPECT_EQ(CAngleValue(&item, std::nan("")).m_Value, 0);
}

}  // namespace
