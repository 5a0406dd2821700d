// Rounding of lengths and areas, pi, and the number texts of the document.
//
// Every division here truncates toward zero. Negative values are rounded by
// their magnitude with the same kind and get their sign back afterwards (as
// spreadsheet ROUND, ROUNDDOWN and ROUNDUP do), so a rounding never changes
// the sign and mirrored figures give equal magnitudes.

#include "CPlenimetraParam.h"

#include "DocNumber.h"
#include "host_assert.h"

#include <climits>
#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr int kAreaDigitMax = 6;
// Raw areas (1e-8 m²) carry two more decimals than rounded ones (1e-6 m²).
constexpr long long kRawPerArea = 100;
constexpr long long kMicrometresPerMm = 1000;
constexpr long long kMicrometresPerTenthMm = 100;

// Small-length snap: step, round up from, cut below (micrometres).
struct SnapBand {
  long long step;
  long long upFrom;
  long long cutBelow;
};
constexpr SnapBand kSnapBands[] = {{100, 91, 10}, {1000, 901, 100}, {10000, 9001, 1000}};

long long PowerOfTen(int exponent)
{
  long long p = 1;
  for (int i = 0; i < exponent; ++i)
    p *= 10;
  return p;
}

bool IsAreaDigit(int digit) { return digit >= 0 && digit <= kAreaDigitMax; }

// |v|, kept representable: the most negative value loses one unit.
long long Magnitude(long long v) { return v == LLONG_MIN ? LLONG_MAX : (v < 0 ? -v : v); }
long long WithSign(long long negative, long long magnitude) { return negative < 0 ? -magnitude : magnitude; }

// A magnitude m >= 0 rounded to a multiple of step (>= 1), the result
// counted in steps. Written with quotient and remainder so no sum can
// overflow near the top of the range.
long long StepsHalfUp(long long m, long long step) { return m / step + (m % step >= step - step / 2 ? 1 : 0); }

long long StepsUp(long long m, long long step, bool nextDigitOnly)
{
  const long long r = m % step;
  const long long deciding = nextDigitOnly ? r / (step / 10) : r;
  return m / step + (deciding != 0 ? 1 : 0);
}

// steps x step, held at the largest representable multiple: only a value
// within one step of the top of the range (never a real area) reaches it.
long long MultipleOf(long long steps, long long step)
{
  return steps > LLONG_MAX / step ? LLONG_MAX / step * step : steps * step;
}

// The digits and signs printed here are the same in every character code,
// so they are widened as they stand rather than decoded.
GS::UniString Ascii(const char* text)
{
  std::u16string wide;
  for (const char* c = text; *c != '\0'; ++c)
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
  return GS::UniString::FromStd(wide);
}

GS::UniString Decimal(long long value, const char* format = "%lld")
{
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return Ascii(text);
}

// Without an active preset the rules of a new preset apply: the calculation
// still has to produce numbers while no pattern is chosen.
const CRoundTypeItem& LengthRule(const CPlenimetraParam& doc)
{
  const CRoundTypeItem* item = doc.GetLengthDefaultRoundType();
  return item != nullptr ? *item : CRoundTypeParam::kDefaultLength;
}

bool RoundUpNextDigit(const CPlenimetraParam& doc)
{
  const CRoundTypeParam* preset = doc.GetRoundTypeParam();
  return preset != nullptr ? preset->m_RoundUpNextDigit : CRoundTypeParam().m_RoundUpNextDigit;
}

}  // namespace

// ---- the active preset ------------------------------------------------------

const CRoundTypeParam* CPlenimetraParam::GetRoundTypeParam() const
{
  const CAreaTree* tree = GetTree();
  return tree != nullptr ? m_EnvParam.m_RoundTypeParamArray.Search(tree->m_RoundTypeId) : nullptr;
}

CRoundTypeParam* CPlenimetraParam::GetRoundTypeParam()
{
  return const_cast<CRoundTypeParam*>(std::as_const(*this).GetRoundTypeParam());
}

const CRoundTypeItem* CPlenimetraParam::GetLengthDefaultRoundType() const
{
  const CRoundTypeParam* preset = GetRoundTypeParam();
  return preset != nullptr ? &preset->m_LengthRoundType : nullptr;
}

CRoundTypeItem* CPlenimetraParam::GetLengthDefaultRoundType()
{
  return const_cast<CRoundTypeItem*>(std::as_const(*this).GetLengthDefaultRoundType());
}

const CRoundTypeItem* CPlenimetraParam::GetArea1DefaultRoundType() const
{
  const CRoundTypeParam* preset = GetRoundTypeParam();
  return preset != nullptr ? &preset->m_Area1RoundType : nullptr;
}

CRoundTypeItem* CPlenimetraParam::GetArea1DefaultRoundType()
{
  return const_cast<CRoundTypeItem*>(std::as_const(*this).GetArea1DefaultRoundType());
}

const CRoundTypeItem* CPlenimetraParam::GetArea2ListDefaultRoundType() const
{
  const CRoundTypeParam* preset = GetRoundTypeParam();
  return preset != nullptr ? &preset->m_Area2ListRoundType : nullptr;
}

CRoundTypeItem* CPlenimetraParam::GetArea2ListDefaultRoundType()
{
  return const_cast<CRoundTypeItem*>(std::as_const(*this).GetArea2ListDefaultRoundType());
}

const CRoundTypeItem* CPlenimetraParam::GetAngleDefaultRoundType() const
{
  const CRoundTypeParam* preset = GetRoundTypeParam();
  return preset != nullptr ? &preset->m_AngleRoundType : nullptr;
}

CRoundTypeItem* CPlenimetraParam::GetAngleDefaultRoundType()
{
  return const_cast<CRoundTypeItem*>(std::as_const(*this).GetAngleDefaultRoundType());
}

const CPaiTable* CPlenimetraParam::GetPai() const
{
  const CRoundTypeParam* preset = GetRoundTypeParam();
  if (preset == nullptr)
    return nullptr;
  for (const CPaiTable& row : m_PaiTable)
    if (row.m_Code == preset->m_PaiCode)
      return &row;
  return nullptr;
}

CPaiTable* CPlenimetraParam::GetPai() { return const_cast<CPaiTable*>(std::as_const(*this).GetPai()); }

// ---- lengths -----------------------------------------------------------------

long long CPlenimetraParam::GetRoundLength2(long long micrometres, int snap)
{
  if (snap < 1 || snap > 3)
    return micrometres;
  const SnapBand& band = kSnapBands[snap - 1];
  const long long m = Magnitude(micrometres);
  const long long r = m % band.step;
  long long snapped = m;
  if (r >= band.upFrom)
    snapped = m - r + band.step;
  else if (r < band.cutBelow)
    snapped = m - r;
  return WithSign(micrometres, snapped);
}

long long CPlenimetraParam::GetRoundLength2(long long micrometres) const
{
  return GetRoundLength2(micrometres, m_EnvParam.m_SnapType);
}

long long CPlenimetraParam::GetRoundLength(double metres) const
{
  const CRoundTypeItem& rule = LengthRule(*this);
  // Stored presets are repaired to 3 or 4 when read.
  PLN_ASSERT(rule.m_Digit == CRoundTypeParam::kLengthDigitMm || rule.m_Digit == CRoundTypeParam::kLengthDigitTenthMm);
  const long long v = Magnitude(GetRoundLength2(MetresToMicrometres(metres)));
  const bool wholeMm = rule.m_Digit == CRoundTypeParam::kLengthDigitMm;
  const long long step = wholeMm ? kMicrometresPerMm : kMicrometresPerTenthMm;
  long long steps = v / step;
  if (rule.m_Type == CRoundTypeTable::ROUNDTYPE_UP)
    steps = StepsUp(v, step, false);
  else if (rule.m_Type == CRoundTypeTable::ROUNDTYPE_HALFUP)
    steps = StepsHalfUp(v, step);
  // デフォルト is not resolved for lengths: like every other kind it cuts.
  const long long tenthsOfMm = wholeMm ? steps * 10 : steps;
  return metres < 0 ? -tenthsOfMm : tenthsOfMm;
}

// ---- areas ---------------------------------------------------------------------

long long CPlenimetraParam::GetRoundArea1(long long raw, CRoundTypeTable::ROUNDTYPE kind,
                                          const CRoundTypeItem* item) const
{
  const long long m = Magnitude(raw);
  const bool hasStep = item != nullptr && IsAreaDigit(item->m_Digit);
  if (kind == CRoundTypeTable::ROUNDTYPE_DEFAULT && item != nullptr) {
    const CRoundTypeItem digitOnly(CRoundTypeTable::ROUNDTYPE_NONE, item->m_Digit);
    return GetRoundArea1(raw, item->m_Type, &digitOnly);
  }
  const bool rounds = kind == CRoundTypeTable::ROUNDTYPE_HALFUP || kind == CRoundTypeTable::ROUNDTYPE_CUT ||
                      kind == CRoundTypeTable::ROUNDTYPE_UP;
  if (!hasStep || !rounds)  // no rounding, but never a raw area in place of a rounded one
    return WithSign(raw, m / kRawPerArea);
  const long long divisor = PowerOfTen(8 - item->m_Digit);  // raw units per kept unit
  const long long step = divisor / kRawPerArea;              // rounded units per kept unit
  long long steps = m / divisor;
  if (kind == CRoundTypeTable::ROUNDTYPE_HALFUP)
    steps = StepsHalfUp(m, divisor);
  else if (kind == CRoundTypeTable::ROUNDTYPE_UP)
    steps = StepsUp(m, divisor, RoundUpNextDigit(*this));
  return WithSign(raw, MultipleOf(steps, step));
}

long long CPlenimetraParam::GetRoundArea3(long long area, CRoundTypeTable::ROUNDTYPE kind,
                                          const CRoundTypeItem* item) const
{
  if (item == nullptr || !IsAreaDigit(item->m_Digit))
    return area;
  if (kind == CRoundTypeTable::ROUNDTYPE_DEFAULT) {
    const CRoundTypeItem digitOnly(CRoundTypeTable::ROUNDTYPE_NONE, item->m_Digit);
    return GetRoundArea3(area, item->m_Type, &digitOnly);
  }
  const long long m = Magnitude(area);
  const long long step = PowerOfTen(kAreaDigitMax - item->m_Digit);
  switch (kind) {
  case CRoundTypeTable::ROUNDTYPE_HALFUP:
    return WithSign(area, MultipleOf(StepsHalfUp(m, step), step));
  case CRoundTypeTable::ROUNDTYPE_CUT:
    return WithSign(area, m / step * step);
  case CRoundTypeTable::ROUNDTYPE_UP:
    if (step == 1)  // no lower digit to look at
      return area;
    return WithSign(area, MultipleOf(StepsUp(m, step, RoundUpNextDigit(*this)), step));
  default:
    return area;
  }
}

// ---- texts -----------------------------------------------------------------------

GS::UniString CPlenimetraParam::GetAreaStr(long long area, int digits) const
{
  const unsigned long long m = area < 0 ? 0ULL - static_cast<unsigned long long>(area) : area;
  char whole[32];
  char fraction[16];
  std::snprintf(whole, sizeof whole, "%llu", m / 1000000ULL);
  std::snprintf(fraction, sizeof fraction, "%06llu", m % 1000000ULL);
  if (m_EnvParam.m_BlankDecimals && digits >= 0 && digits < kAreaDigitMax)
    for (int i = digits; i < kAreaDigitMax; ++i)
      fraction[i] = ' ';
  GS::UniString text = area < 0 ? GS::UniString(u"-") : GS::UniString();
  text += m_EnvParam.m_AreaComma ? AddComma(Ascii(whole)) : Ascii(whole);
  return text + u"." + Ascii(fraction);
}

GS::UniString CPlenimetraParam::AddComma(GS::UniString digits)
{
  GS::UniString result;
  const USize n = digits.GetLength();
  for (USize i = 0; i < n; ++i) {
    const USize fromEnd = n - i;  // characters left, this one included
    result += digits[i];
    if (fromEnd > 1 && (fromEnd - 1) % 3 == 0)
      result += u',';
  }
  return result;
}

GS::UniString CPlenimetraParam::TrimRight(GS::UniString text)
{
  USize n = text.GetLength();
  while (n > 0 && text[n - 1] == u' ')
    --n;
  if (n >= 2 && text[n - 1] == u'.')
    --n;
  return text.GetPrefix(n);
}

GS::UniString CPlenimetraParam::GetLengthStrCad(long long length) const
{
  const bool tenths = LengthRule(*this).m_Digit != CRoundTypeParam::kLengthDigitMm;
  const long long m = Magnitude(length);
  GS::UniString mm = Decimal(m / 10);
  GS::UniString text = length < 0 ? GS::UniString(u"-") : GS::UniString();
  text += m_EnvParam.m_LengthComma ? AddComma(mm) : mm;
  const long long tenth = m % 10;
  if (tenths && (tenth != 0 || !m_EnvParam.m_LengthTenthDigit))
    text += GS::UniString(u".") + Decimal(tenth, "%01lld");
  return text;
}

GS::UniString CPlenimetraParam::GetLengthStrList(long long length) const
{
  const bool tenths = LengthRule(*this).m_Digit != CRoundTypeParam::kLengthDigitMm;
  const long long m = Magnitude(length);
  const long long rest = m % 10000;
  GS::UniString metres = Decimal(m / 10000);
  GS::UniString text = length < 0 ? GS::UniString(u"-") : GS::UniString();
  text += m_EnvParam.m_AreaComma ? AddComma(metres) : metres;
  text += GS::UniString(u".") + Decimal(rest / 10, "%03lld");
  const long long tenth = rest % 10;
  if (tenths && (tenth != 0 || !m_EnvParam.m_LengthTenthDigit))
    text += Decimal(tenth);
  return text;
}

GS::UniString CPlenimetraParam::GetDefaultShortStr(const CRoundTypeItem* item) const
{
  if (item == nullptr)
    return {};
  return Decimal(item->m_Digit + 1LL) + m_RoundTypeTable.GetRoundTypeShortStr(item->m_Type) + Decimal(item->m_Digit);
}

GS::UniString CPlenimetraParam::GetDefaultStr2(const CRoundTypeItem& item) const
{
  const auto place = [](long long digit) { return GS::UniString(u"第") + Decimal(digit) + u"位"; };
  return place(item.m_Digit + 1LL) + m_RoundTypeTable.GetRoundTypeStr(item.m_Type) + place(item.m_Digit);
}

GS::UniString CPlenimetraParam::GetDefaultStr(const CRoundTypeItem& item) const
{
  return GS::UniString(u"端数処理デフォルト：") + GetDefaultStr2(item);
}
