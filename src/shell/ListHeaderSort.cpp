#include "ListHeaderSort.h"

#include "dg_manager.h"

#include <optional>
#include <string>

namespace ListHeaderSort {

short NextDirection(short arrow)
{
  switch (arrow) {
  case DG_ARROW_NONE:
  case DG_ARROW_DOWN:
    return kAscending;
  case DG_ARROW_UP:
    return kDescending;
  default:
    return arrow;
  }
}

short ClickHeader(short dialId, short list, short header)
{
  const short direction = NextDirection(DGListGetHeaderItemArrowType(dialId, list, header));
  const short count = DGListGetHeaderItemCount(dialId, list);
  for (short item = 1; item <= count; ++item)
    DGListSetHeaderItemArrowType(dialId, list, item, item == header ? direction : DG_ARROW_NONE);
  return direction;
}

bool MustExchange(int comparison, short direction)
{
  return direction == kAscending ? comparison > 0 : comparison < 0;
}

int CompareText(const GS::UniString& a, const GS::UniString& b)
{
  const auto order = a <=> b;
  return order > 0 ? 1 : (order < 0 ? -1 : 0);
}

int CompareNumber(long long a, long long b) { return a > b ? 1 : (a < b ? -1 : 0); }

namespace {

// A decimal number as its digits, so any length compares exactly: the
// integer digits without leading zeros, the fraction without trailing ones.
struct Decimal {
  bool negative = false;
  std::u16string whole;
  std::u16string fraction;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\u3000'; }

// Optional blanks, an optional minus, digits with thousands commas, an
// optional point with digits, optional blanks; at least one digit.
std::optional<Decimal> ReadDecimal(const std::u16string& text)
{
  std::size_t at = 0;
  std::size_t end = text.size();
  while (at < end && IsBlank(text[at]))
    ++at;
  while (end > at && IsBlank(text[end - 1]))
    --end;
  Decimal number;
  if (at < end && text[at] == u'-') {
    number.negative = true;
    ++at;
  }
  bool digits = false;
  for (; at < end && (IsDigit(text[at]) || (text[at] == u',' && digits)); ++at) {
    if (text[at] != u',')
      number.whole += text[at];
    digits = true;
  }
  if (at < end && text[at] == u'.') {
    for (++at; at < end && IsDigit(text[at]); ++at) {
      number.fraction += text[at];
      digits = true;
    }
  }
  if (!digits || at != end)
    return std::nullopt;
  const std::size_t firstSignificant = number.whole.find_first_not_of(u'0');
  number.whole.erase(0, firstSignificant == std::u16string::npos ? number.whole.size() : firstSignificant);
  number.fraction.erase(number.fraction.find_last_not_of(u'0') + 1);
  if (number.whole.empty() && number.fraction.empty())
    number.negative = false;  // -0 is 0
  return number;
}

int CompareMagnitude(const Decimal& a, const Decimal& b)
{
  if (a.whole.size() != b.whole.size())
    return a.whole.size() > b.whole.size() ? 1 : -1;
  if (const int whole = a.whole.compare(b.whole); whole != 0)
    return whole > 0 ? 1 : -1;
  const int fraction = a.fraction.compare(b.fraction);
  return fraction > 0 ? 1 : (fraction < 0 ? -1 : 0);
}

int CompareDecimal(const Decimal& a, const Decimal& b)
{
  if (a.negative != b.negative)
    return a.negative ? -1 : 1;
  const int magnitude = CompareMagnitude(a, b);
  return a.negative ? -magnitude : magnitude;
}

}  // namespace

int CompareAreaText(const GS::UniString& a, const GS::UniString& b)
{
  const std::optional<Decimal> x = ReadDecimal(a.Std());
  const std::optional<Decimal> y = ReadDecimal(b.Std());
  if (x && y)
    return CompareDecimal(*x, *y);
  if (x || y)
    return x ? -1 : 1;
  return CompareText(a, b);
}

}  // namespace ListHeaderSort
