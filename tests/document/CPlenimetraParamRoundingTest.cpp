// Rounding of lengths and areas, pi and the number texts of the document:
// golden final results at every kind and digit, the snap bands at their
// boundaries, and negative values as mirrors of positive ones.

#include "DocNumber.h"
#include "DocTestSupport.h"

#include <climits>
#include <random>

namespace {

using RT = CRoundTypeTable;
constexpr int kPattern = 5;
constexpr int kPresetId = 7;

class Rounding : public ::testing::Test {
protected:
  Rounding()
  {
    CAreaTree pattern;
    pattern.m_AreaCode = kPattern;
    pattern.m_RoundTypeId = kPresetId;
    doc.m_AreaTree2.m_Child.push_back(pattern);
    doc.m_EnvParam.m_RoundTypeParamArray.push_back(CRoundTypeParam(kPresetId, GS::UniString(u"試験")));
    doc.m_CurTreeCode = kPattern;
  }
  CRoundTypeParam& Preset() { return *doc.m_EnvParam.m_RoundTypeParamArray.Search(kPresetId); }
  void Length(RT::ROUNDTYPE kind, int digit) { Preset().m_LengthRoundType = CRoundTypeItem(kind, digit); }
  long long Area1(long long raw, RT::ROUNDTYPE kind, int digit)
  {
    const CRoundTypeItem item(RT::ROUNDTYPE_NONE, digit);
    return doc.GetRoundArea1(raw, kind, &item);
  }
  long long Area3(long long area, RT::ROUNDTYPE kind, int digit)
  {
    const CRoundTypeItem item(RT::ROUNDTYPE_NONE, digit);
    return doc.GetRoundArea3(area, kind, &item);
  }

  HostFixture host;
  CPlenimetraParam doc;
};

// ---- the active preset --------------------------------------------------------

TEST_F(Rounding, ItemsComeFromThePresetTheCurrentPatternNames)
{
  ASSERT_EQ(doc.GetRoundTypeParam(), &Preset());
  EXPECT_EQ(doc.GetArea1DefaultRoundType(), &Preset().m_Area1RoundType);
  EXPECT_EQ(doc.GetArea2ListDefaultRoundType(), &Preset().m_Area2ListRoundType);
  EXPECT_EQ(doc.GetAngleDefaultRoundType(), &Preset().m_AngleRoundType);
  EXPECT_EQ(doc.GetLengthDefaultRoundType(), &Preset().m_LengthRoundType);
  Preset().m_PaiCode = 4;
  ASSERT_NE(doc.GetPai(), nullptr);
  EXPECT_EQ(doc.GetPai()->m_Numerator, 314159);
  EXPECT_EQ(doc.GetPai()->m_Denominator, 100000);

  doc.m_AreaTree2.m_Child[0].m_RoundTypeId = 99;  // names no preset
  EXPECT_EQ(doc.GetArea1DefaultRoundType(), nullptr);
  EXPECT_EQ(doc.GetPai(), nullptr);
  doc.m_CurTreeCode = 0;
  EXPECT_EQ(doc.GetLengthDefaultRoundType(), nullptr);
  EXPECT_EQ(doc.GetAngleDefaultRoundType(), nullptr);
}

TEST(PaiTable, RowsAreCutDecimalsOfPi)
{
  const CPaiTableArray rows;
  ASSERT_EQ(rows.size(), 8u);
  const char16_t* texts[] = {u"3.14",    u"3.141",     u"3.1415",     u"3.14159",
                             u"3.141592", u"3.1415926", u"3.14159265", u"3.141592653"};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].m_Code, int(i) + 1);
    EXPECT_EQ(rows[i].GetStr().Std(), texts[i]);
  }
  EXPECT_TRUE(rows == CPaiTableArray());
}

// ---- lengths ---------------------------------------------------------------------

TEST(DocNumber, MetresBecomeMicrometresByRoundingAndSnapIsRelative)
{
  EXPECT_EQ(MetresToMicrometres(1.005), 1005000);  // truncation would give 1004999
  EXPECT_EQ(MetresToMicrometres(-1.005), -1005000);
  EXPECT_EQ(MetresToMicrometres(2.9999999), 3000000);  // 2999999.9 µm
  EXPECT_EQ(MetresToMicrometres(12.3456991), 12345699);
  EXPECT_EQ(SnapToInteger(2.0 - 1e-9), 2.0);
  EXPECT_EQ(SnapToInteger(2.0 - 3e-9), 2.0 - 3e-9);
  EXPECT_EQ(SnapToInteger(1e6 + 9e-5), 1e6);   // the band grows with |x|...
  EXPECT_EQ(SnapToInteger(1e6 + 2e-4), 1e6 + 2e-4);  // ...up to its cap
  EXPECT_EQ(SnapToInteger(1e6 + 9e-4), 1e6 + 9e-4);
  EXPECT_EQ(SnapToInteger(-7.0 + 1e-10), -7.0);
  EXPECT_EQ(SnapToInteger(0.5), 0.5);
}

TEST(SmallLengthSnap, EachSettingSnapsOnlyInsideItsBand)
{
  struct Case {
    int snap;
    long long in;
    long long out;
  };
  const Case cases[] = {
      {1, 12345699, 12345700}, {1, 12345691, 12345700}, {1, 12345690, 12345690}, {1, 12345610, 12345610},
      {1, 12345609, 12345600}, {1, 2000090, 2000090},   {1, 2999999, 3000000},
      {2, 1000901, 1001000},   {2, 1000900, 1000900},   {2, 1000100, 1000100},   {2, 1000099, 1000000},
      {3, 1009500, 1010000},   {3, 1009001, 1010000},   {3, 1009000, 1009000},   {3, 1001000, 1001000},
      {3, 1000999, 1000000},   {3, 1000500, 1000000},   {3, 1005000, 1005000},
      {0, 1000001, 1000001},   {4, 1000001, 1000001},   {-1, 999, 999},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CPlenimetraParam::GetRoundLength2(c.in, c.snap), c.out) << c.snap << " " << c.in;
    EXPECT_EQ(CPlenimetraParam::GetRoundLength2(-c.in, c.snap), -c.out) << c.snap << " " << -c.in;
  }
}

TEST_F(Rounding, LengthsAtEveryKindDigitAndSnapSettingMirroredForNegatives)
{
  const struct {
    int snap;
    RT::ROUNDTYPE kind;
    int digit;
    double metres;
    long long expected;
  } rows[] = {
      {1, RT::ROUNDTYPE_CUT, 4, 12.3456991, 123457},  // snapped from ...699 µm
      {1, RT::ROUNDTYPE_CUT, 4, 2.00009, 20000},       {1, RT::ROUNDTYPE_CUT, 4, 2.9999999, 30000},
      {1, RT::ROUNDTYPE_CUT, 4, 1.005, 10050},         {1, RT::ROUNDTYPE_HALFUP, 4, 2.00009, 20001},
      {1, RT::ROUNDTYPE_HALFUP, 4, 2.00005, 20001},    {1, RT::ROUNDTYPE_HALFUP, 4, 2.000049, 20000},
      {1, RT::ROUNDTYPE_HALFUP, 4, 2.9999999, 30000},  {1, RT::ROUNDTYPE_UP, 4, 2.00009, 20001},
      {1, RT::ROUNDTYPE_UP, 4, 2.00001, 20001},        {1, RT::ROUNDTYPE_UP, 4, 2.000009, 20000},  // in the band
      {1, RT::ROUNDTYPE_UP, 4, 2.9999999, 30000},      {1, RT::ROUNDTYPE_HALFUP, 3, 1.2345, 12350},
      {1, RT::ROUNDTYPE_HALFUP, 3, 1.2344999, 12350},  // snap 1 lifts 1234499 to 1234500
      {1, RT::ROUNDTYPE_HALFUP, 3, 1.2344, 12340},     {1, RT::ROUNDTYPE_CUT, 3, 1.2349, 12340},
      {1, RT::ROUNDTYPE_UP, 3, 1.2341, 12350},         {1, RT::ROUNDTYPE_UP, 3, 1.234, 12340},
      // デフォルト and 未定義 are not resolved for lengths: they cut.
      {1, RT::ROUNDTYPE_DEFAULT, 3, 1.2349, 12340},    {1, RT::ROUNDTYPE_NONE, 4, 1.23459, 12345},
      {3, RT::ROUNDTYPE_CUT, 4, 1.0095, 10100},        {3, RT::ROUNDTYPE_CUT, 4, 1.0005, 10000},
      {3, RT::ROUNDTYPE_CUT, 4, 1.005, 10050},         {0, RT::ROUNDTYPE_CUT, 4, 12.3456991, 123456},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.snap << " " << row.kind << " " << row.digit << " " << row.metres);
    doc.m_EnvParam.m_SnapType = row.snap;
    Length(row.kind, row.digit);
    EXPECT_EQ(doc.GetRoundLength(row.metres), row.expected);
    EXPECT_EQ(doc.GetRoundLength(-row.metres), -row.expected);  // negatives mirror positives
  }
  EXPECT_EQ(doc.GetRoundLength2(1009500), 1009500);  // snap 0
  doc.m_CurTreeCode = 0;                             // no preset: cut at 0.1 mm
  EXPECT_EQ(doc.GetRoundLength(1.23456), 12345);
}

// ---- areas from raw figure areas -----------------------------------------------------

struct AreaRow {
  int digit;
  long long halfUp, cut, upNext, upAny;
};

// Golden results at every digit for two values of a unit, through one of
// the two area roundings; negatives give the mirrored results.
void CheckAreaTable(CRoundTypeParam& preset, const std::function<long long(long long, RT::ROUNDTYPE, int)>& round,
                    long long value, const AreaRow (&rows)[7])
{
  for (const AreaRow& r : rows) {
    SCOPED_TRACE(::testing::Message() << value << " digit " << r.digit);
    EXPECT_EQ(round(value, RT::ROUNDTYPE_HALFUP, r.digit), r.halfUp);
    EXPECT_EQ(round(value, RT::ROUNDTYPE_CUT, r.digit), r.cut);
    preset.m_RoundUpNextDigit = true;
    EXPECT_EQ(round(value, RT::ROUNDTYPE_UP, r.digit), r.upNext);
    EXPECT_EQ(round(-value, RT::ROUNDTYPE_UP, r.digit), -r.upNext);
    preset.m_RoundUpNextDigit = false;
    EXPECT_EQ(round(value, RT::ROUNDTYPE_UP, r.digit), r.upAny);
    EXPECT_EQ(round(-value, RT::ROUNDTYPE_UP, r.digit), -r.upAny);
    EXPECT_EQ(round(-value, RT::ROUNDTYPE_HALFUP, r.digit), -r.halfUp);
    EXPECT_EQ(round(-value, RT::ROUNDTYPE_CUT, r.digit), -r.cut);
  }
}

TEST_F(Rounding, AreasAtEveryKindAndDigit)
{
  // 12.345678(9) m² and 12.000001 m² (12.00000001 raw).
  const AreaRow rows[] = {
      {0, 12000000, 12000000, 13000000, 13000000}, {1, 12300000, 12300000, 12400000, 12400000},
      {2, 12350000, 12340000, 12350000, 12350000}, {3, 12346000, 12345000, 12346000, 12346000},
      {4, 12345700, 12345600, 12345700, 12345700}, {5, 12345680, 12345670, 12345680, 12345680},
      {6, 12345679, 12345678, 12345679, 12345679},
  };
  const AreaRow justAbove[] = {
      {0, 12000000, 12000000, 12000000, 13000000}, {1, 12000000, 12000000, 12000000, 12100000},
      {2, 12000000, 12000000, 12000000, 12010000}, {3, 12000000, 12000000, 12000000, 12001000},
      {4, 12000000, 12000000, 12000000, 12000100}, {5, 12000000, 12000000, 12000000, 12000010},
      {6, 12000000, 12000000, 12000000, 12000001},
  };
  const auto raw = [&](long long v, RT::ROUNDTYPE kind, int digit) { return Area1(v, kind, digit); };
  CheckAreaTable(Preset(), raw, 1234567890, rows);
  CheckAreaTable(Preset(), raw, 1200000001, justAbove);

  // Already rounded (1e-6 m²): at digit 6 nothing is left to round, and a
  // one at the sixth decimal counts as the next digit at digit 5.
  const AreaRow rounded[] = {
      {0, 12000000, 12000000, 13000000, 13000000}, {1, 12300000, 12300000, 12400000, 12400000},
      {2, 12350000, 12340000, 12350000, 12350000}, {3, 12346000, 12345000, 12346000, 12346000},
      {4, 12345700, 12345600, 12345700, 12345700}, {5, 12345680, 12345670, 12345680, 12345680},
      {6, 12345678, 12345678, 12345678, 12345678},
  };
  const AreaRow roundedJustAbove[] = {
      {0, 12000000, 12000000, 12000000, 13000000}, {1, 12000000, 12000000, 12000000, 12100000},
      {2, 12000000, 12000000, 12000000, 12010000}, {3, 12000000, 12000000, 12000000, 12001000},
      {4, 12000000, 12000000, 12000000, 12000100}, {5, 12000000, 12000000, 12000010, 12000010},
      {6, 12000001, 12000001, 12000001, 12000001},
  };
  const auto area = [&](long long v, RT::ROUNDTYPE kind, int digit) { return Area3(v, kind, digit); };
  CheckAreaTable(Preset(), area, 12345678, rounded);
  CheckAreaTable(Preset(), area, 12000001, roundedJustAbove);
}

TEST_F(Rounding, RawAreaCasesOfTheNextDigitRule)
{
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_HALFUP, 2), 1230000);
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_UP, 2), 1240000);
  Preset().m_RoundUpNextDigit = true;
  EXPECT_EQ(Area1(1234056789, RT::ROUNDTYPE_UP, 2), 12340000);
  EXPECT_EQ(Area1(123056789, RT::ROUNDTYPE_UP, 2), 1230000);
  Preset().m_RoundUpNextDigit = false;
  EXPECT_EQ(Area1(1234056789, RT::ROUNDTYPE_UP, 2), 12350000);
  EXPECT_EQ(Area1(123056789, RT::ROUNDTYPE_UP, 2), 1240000);
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_CUT, 6), 1234567);
  EXPECT_EQ(Area1(0, RT::ROUNDTYPE_UP, 0), 0);
}

TEST_F(Rounding, NoKindOrNoStepStillConvertsRawAreasAndLeavesRoundedOnes)
{
  // 1e-8 m² always come back as 1e-6 m², so no area is 100 times too large.
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_NONE, 2), 1234567);
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE(5), 2), 1234567);
  EXPECT_EQ(Area1(-123456789, RT::ROUNDTYPE(-1), 2), -1234567);
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_HALFUP, 7), 1234567);
  EXPECT_EQ(Area1(123456789, RT::ROUNDTYPE_UP, -1), 1234567);
  EXPECT_EQ(doc.GetRoundArea1(123456789, RT::ROUNDTYPE_HALFUP, nullptr), 1234567);
  const CRoundTypeItem defaultOfDefault(RT::ROUNDTYPE_DEFAULT, 2);
  EXPECT_EQ(doc.GetRoundArea1(123456789, RT::ROUNDTYPE_DEFAULT, &defaultOfDefault), 1234567);
  const CRoundTypeItem cutAt6(RT::ROUNDTYPE_CUT, 6);
  EXPECT_EQ(doc.GetRoundArea1(123456789, RT::ROUNDTYPE_DEFAULT, &cutAt6), Area1(123456789, RT::ROUNDTYPE_CUT, 6));
  const CRoundTypeItem upAt0(RT::ROUNDTYPE_UP, 0);
  EXPECT_EQ(doc.GetRoundArea1(100000001, RT::ROUNDTYPE_DEFAULT, &upAt0), 1000000);  // next digit 0

  EXPECT_EQ(Area3(1234567, RT::ROUNDTYPE_NONE, 2), 1234567);
  EXPECT_EQ(Area3(1234567, RT::ROUNDTYPE(9), 2), 1234567);
  EXPECT_EQ(Area3(1234567, RT::ROUNDTYPE_HALFUP, 7), 1234567);
  EXPECT_EQ(Area3(1234567, RT::ROUNDTYPE_CUT, -2), 1234567);
  EXPECT_EQ(doc.GetRoundArea3(1234567, RT::ROUNDTYPE_CUT, nullptr), 1234567);
  EXPECT_EQ(doc.GetRoundArea3(1234567, RT::ROUNDTYPE_DEFAULT, &defaultOfDefault), 1234567);
  const CRoundTypeItem halfUpAt2(RT::ROUNDTYPE_HALFUP, 2);
  EXPECT_EQ(doc.GetRoundArea3(1234567, RT::ROUNDTYPE_DEFAULT, &halfUpAt2), 1230000);
}

TEST_F(Rounding, NegativeSumsRoundTheirMagnitude)
{
  // These replace the literal formula's results (0 for -12000 half up, 0 for
  // -15000 up), which changed the sign or the size of mirrored areas.
  EXPECT_EQ(Area3(-12000, RT::ROUNDTYPE_HALFUP, 2), -10000);
  EXPECT_EQ(Area3(-15000, RT::ROUNDTYPE_HALFUP, 2), -20000);
  EXPECT_EQ(Area3(-15000, RT::ROUNDTYPE_CUT, 2), -10000);
  EXPECT_EQ(Area3(-15000, RT::ROUNDTYPE_UP, 2), -20000);
  EXPECT_EQ(Area3(-5000, RT::ROUNDTYPE_UP, 2), -10000);
  EXPECT_EQ(Area3(-1400000, RT::ROUNDTYPE_HALFUP, 0), -1000000);
  EXPECT_EQ(Area3(-1500000, RT::ROUNDTYPE_UP, 0), -2000000);
}

TEST_F(Rounding, EveryRoundingMirrorsAndStaysWithinOneStep)
{
  std::mt19937_64 random(7);
  std::uniform_int_distribution<long long> values(0, 100000000000000LL);
  for (int n = 0; n < 2000; ++n) {
    const long long v = values(random);
    const int digit = int(random() % 7);
    const long long step = [&] {
      long long s = 1;
      for (int i = digit; i < 6; ++i)
        s *= 10;
      return s;
    }();
    Preset().m_RoundUpNextDigit = random() % 2 == 0;
    for (RT::ROUNDTYPE kind : {RT::ROUNDTYPE_HALFUP, RT::ROUNDTYPE_CUT, RT::ROUNDTYPE_UP}) {
      const long long r3 = Area3(v, kind, digit);
      EXPECT_EQ(Area3(-v, kind, digit), -r3);
      EXPECT_EQ(r3 % step, 0);
      EXPECT_LT(std::llabs(r3 - v), step);
      const long long r1 = Area1(v, kind, digit);
      EXPECT_EQ(Area1(-v, kind, digit), -r1);
      EXPECT_EQ(r1 % step, 0);
      EXPECT_LE(std::llabs(r1 * 100 - v), step * 100);
    }
  }
}

TEST_F(Rounding, ExtremeValuesNeverOverflow)
{
  for (long long v : {LLONG_MAX, LLONG_MIN, LLONG_MAX - 1, LLONG_MIN + 1})
    for (int digit = -1; digit <= 7; ++digit)
      for (int kind = 0; kind <= 5; ++kind) {
        const long long r1 = Area1(v, RT::ROUNDTYPE(kind), digit);
        const long long r3 = Area3(v, RT::ROUNDTYPE(kind), digit);
        EXPECT_EQ(r1 < 0, v < 0);
        EXPECT_EQ(r3 < 0, v < 0);
      }
  EXPECT_EQ(CPlenimetraParam::GetRoundLength2(LLONG_MIN, 3) < 0, true);
}

// ---- texts ---------------------------------------------------------------------------------

std::u16string S(const GS::UniString& text) { return text.Std(); }

TEST_F(Rounding, AreaTextsFollowTheBlankingAndSeparatorSwitches)
{
  doc.m_EnvParam.m_BlankDecimals = true;
  doc.m_EnvParam.m_AreaComma = true;
  EXPECT_EQ(S(doc.GetAreaStr(12345678901, 2)), u"12,345.67    ");
  EXPECT_EQ(S(doc.GetAreaStr(-1234567890, 2)), u"-1,234.56    ");
  EXPECT_EQ(S(doc.GetAreaStr(-500000, 6)), u"-0.500000");
  EXPECT_EQ(S(doc.GetAreaStr(125000000, 0)), u"125.      ");
  EXPECT_EQ(S(doc.GetAreaStr(0, 2)), u"0.00    ");
  EXPECT_EQ(S(doc.GetAreaStr(123, -1)), u"0.000123");  // a negative count blanks nothing
  EXPECT_EQ(S(doc.GetAreaStr(123, 9)), u"0.000123");
  EXPECT_EQ(S(doc.GetAreaStr(LLONG_MIN, 6)), u"-9,223,372,036,854.775808");
  doc.m_EnvParam.m_BlankDecimals = false;
  EXPECT_EQ(S(doc.GetAreaStr(12345678901, 2)), u"12,345.678901");
  doc.m_EnvParam.m_AreaComma = false;
  EXPECT_EQ(S(doc.GetAreaStr(-1234567890, 2)), u"-1234.567890");
  doc.m_EnvParam.m_BlankDecimals = true;
  EXPECT_EQ(S(doc.GetAreaStr(12345678901, 2)), u"12345.67    ");
}

TEST(NumberTexts, CommasAndTrimming)
{
  const std::pair<const char16_t*, const char16_t*> commas[] = {
      {u"1234", u"1,234"}, {u"1234567", u"1,234,567"}, {u"123456", u"123,456"}, {u"123", u"123"}, {u"1", u"1"},
      {u"", u""}};
  for (const auto& [in, out] : commas)
    EXPECT_EQ(S(CPlenimetraParam::AddComma(GS::UniString(in))), out);
  const std::pair<const char16_t*, const char16_t*> trims[] = {
      {u"125.      ", u"125"}, {u"12.  ", u"12"}, {u"125.50    ", u"125.50"}, {u"12.50", u"12.50"}, {u".", u"."},
      {u"1..", u"1."},        {u"   ", u""},     {u"1\u3000", u"1\u3000"}};  // only U+0020 counts
  for (const auto& [in, out] : trims)
    EXPECT_EQ(S(CPlenimetraParam::TrimRight(GS::UniString(in))), out);
}

TEST_F(Rounding, DrawingAndListLengthTexts)
{
  Length(RT::ROUNDTYPE_CUT, 4);
  EXPECT_EQ(S(doc.GetLengthStrCad(123456)), u"12345.6");
  EXPECT_EQ(S(doc.GetLengthStrCad(123450)), u"12345");
  EXPECT_EQ(S(doc.GetLengthStrList(123456)), u"12.3456");
  EXPECT_EQ(S(doc.GetLengthStrList(123450)), u"12.345");
  EXPECT_EQ(S(doc.GetLengthStrList(5)), u"0.0005");
  doc.m_EnvParam.m_AreaComma = true;
  EXPECT_EQ(S(doc.GetLengthStrList(123456789)), u"12,345.6789");
  doc.m_EnvParam.m_AreaComma = false;
  doc.m_EnvParam.m_LengthTenthDigit = false;
  EXPECT_EQ(S(doc.GetLengthStrCad(123450)), u"12345.0");
  EXPECT_EQ(S(doc.GetLengthStrList(123450)), u"12.3450");
  doc.m_EnvParam.m_LengthComma = true;
  EXPECT_EQ(S(doc.GetLengthStrCad(123456)), u"12,345.6");
  Length(RT::ROUNDTYPE_CUT, 3);
  EXPECT_EQ(S(doc.GetLengthStrCad(123450)), u"12,345");
  EXPECT_EQ(S(doc.GetLengthStrList(123450)), u"12.345");
  doc.m_EnvParam.m_LengthComma = false;
  EXPECT_EQ(S(doc.GetLengthStrCad(123450)), u"12345");
}

TEST_F(Rounding, RoundingItemTexts)
{
  const CRoundTypeItem up0(RT::ROUNDTYPE_UP, 0);
  const CRoundTypeItem cut2(RT::ROUNDTYPE_CUT, 2);
  const CRoundTypeItem half2(RT::ROUNDTYPE_HALFUP, 2);
  const CRoundTypeItem unknown(RT::ROUNDTYPE(8), 5);
  EXPECT_EQ(S(doc.GetDefaultShortStr(&up0)), u"1上0");
  EXPECT_EQ(S(doc.GetDefaultShortStr(&cut2)), u"3捨2");
  EXPECT_EQ(S(doc.GetDefaultShortStr(&unknown)), u"6未5");
  EXPECT_EQ(S(doc.GetDefaultShortStr(nullptr)), u"");
  EXPECT_EQ(S(doc.GetDefaultStr2(half2)), u"第3位四捨五入第2位");
  EXPECT_EQ(S(doc.GetDefaultStr2(unknown)), u"第6位未定義第5位");
  EXPECT_EQ(S(doc.GetDefaultStr(half2)), u"端数処理デフォルト：第3位四捨五入第2位");
}

}  // namespace
