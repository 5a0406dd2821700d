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

TEST_F(ItemNumbers, LettersRunFromOneToTwoCharactersAndStopAfterZZ)
{
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 0), u"A");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 25), u"Z");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 26), u"AA");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 51), u"AZ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 52), u"BA");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 701), u"ZZ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, 702), u"");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_UPPER, -1), u"");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_LOWER, 27), u"ab");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_LOWER, 701), u"zz");
}

TEST_F(ItemNumbers, DecimalUndefinedAndUnknownStyles)
{
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_DECIMAL, 0), u"1");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_DECIMAL, 9999), u"10000");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_NONE, 17), u"未定義");
  // A style a damaged record may carry gives no text rather than a crash.
  EXPECT_EQ(No(Style(9), 0), u"");
  EXPECT_EQ(No(Style(-1), 0), u"");
}

TEST_F(ItemNumbers, RomanNumeralsUseSubtractiveFormsUpToC)
{
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 0), u"I");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 3), u"IV");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 8), u"IX");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 13), u"XIV");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 39), u"XL");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 48), u"XLIX");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 87), u"LXXXVIII");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 98), u"XCIX");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 99), u"C");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_ROMAN, 100), u"");
  EXPECT_EQ(S(CItemType2TableArray::GetGreekNumStr(-1)), u"");
}

TEST_F(ItemNumbers, KanaOrdersHoldFortySixKanaAndPairThem)
{
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 0), u"ｱ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 45), u"ﾝ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 46), u"ｱｱ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 47), u"ｱｲ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 2161), u"ﾝﾝ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, 2162), u"");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA1, -1), u"");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA2, 0), u"ｲ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_KATAKANA2, 46), u"ｲｲ");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_HIRAKANA1, 45), u"ん");
  EXPECT_EQ(No(CItemType2Table::ITEMTYPE_HIRAKANA2, 47), u"いろ");
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

TEST(CodeTables, RowsStandInTheirListedOrder)
{
  const CRoundTypeTableArray round;
  ASSERT_EQ(round.size(), 5u);
  const int roundOrder[] = {0, 4, 1, 2, 3};
  for (std::size_t i = 0; i < round.size(); ++i)
    EXPECT_EQ(round[i].m_Code, roundOrder[i]);
  const CItemType2TableArray numbering;
  const int numberingOrder[] = {0, 1, 2, 4, 5, 6, 7, 8, 3};
  ASSERT_EQ(numbering.size(), 9u);
  for (std::size_t i = 0; i < numbering.size(); ++i)
    EXPECT_EQ(numbering[i].m_Code, numberingOrder[i]);
  const CAreaSlantlineFormTableArray forms;
  const int formOrder[] = {4, 1, 2, 3, 0};
  ASSERT_EQ(forms.size(), 5u);
  for (std::size_t i = 0; i < forms.size(); ++i)
    EXPECT_EQ(forms[i].m_Code, formOrder[i]);
  const CArea2ListTypeTableArray listTypes;
  ASSERT_EQ(listTypes.size(), 2u);
  EXPECT_EQ(listTypes[0].m_Code, CArea2ListTypeTable::LISTTYPE_FORMULA);
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

TEST(CAngleValueTest, EachKindRoundsAtItsDigit)
{
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_HALFUP, 2, 30.125), u"30.13");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 1, 45.99), u"45.9");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_UP, 0, 10.01), u"11");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_DEFAULT, 3, 0.005), u"0.005");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_NONE, 1, 7.25), u"7.2");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 9, 1.5), u"1.500000000");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 2, 7.0), u"7.00");
}

TEST(CAngleValueTest, AnglesFromRadiansSnapOntoWholeSteps)
{
  // 30° through radians is 29.999999999999996: without the snap the cut
  // would print 29.99 and the round-up 30.01.
  const double thirty = (3.141592653589793 / 6.0) * (180.0 / 3.141592653589793);
  ASSERT_LT(thirty, 30.0);
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 2, thirty), u"30.00");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_UP, 2, thirty), u"30.00");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_UP, 2, 30.0 + 1e-6), u"30.01");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 2, 30.0 - 1e-6), u"29.99");
}

TEST(CAngleValueTest, NegativeAnglesMirrorPositiveOnesAndCarryOneSign)
{
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_HALFUP, 2, -30.125), u"-30.13");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 1, -45.99), u"-45.9");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_UP, 0, -10.01), u"-11");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 2, -0.5), u"-0.50");
  EXPECT_EQ(Angle(CRoundTypeTable::ROUNDTYPE_CUT, 2, -0.001), u"0.00");
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
