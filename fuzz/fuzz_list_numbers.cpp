// Reads arbitrary UTF-8 as three list cells, split at "|", and compares them
// as the header sort compares area cells. The comparison must be an order
// the exchange sort can rely on: a cell equals itself, swapping the cells
// negates the answer, and the order is transitive. A number cell must also
// read the same with blanks around it and with leading zeros.

#include "ListHeaderSort.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using ListHeaderSort::CompareAreaText;

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

std::array<GS::UniString, 3> Cells(const std::string& bytes)
{
  std::array<GS::UniString, 3> cells;
  std::size_t at = 0;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::size_t bar = k + 1 < cells.size() ? bytes.find('|', at) : std::string::npos;
    const std::string cell = bytes.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
    cells[k] = GS::UniString(cell.c_str(), CC_UTF8);
    if (bar == std::string::npos)
      break;
    at = bar + 1;
  }
  return cells;
}

// Whether the cell reads as a number: numbers come before every text, and
// the empty text is no number.
bool IsNumber(const GS::UniString& cell) { return CompareAreaText(cell, GS::UniString()) < 0; }

void CheckOrder(const std::array<GS::UniString, 3>& cells)
{
  for (const GS::UniString& a : cells) {
    Check(CompareAreaText(a, a) == 0);
    for (const GS::UniString& b : cells) {
      const int ab = CompareAreaText(a, b);
      Check(ab >= -1 && ab <= 1 && ab == -CompareAreaText(b, a));
      for (const GS::UniString& c : cells)
        if (ab <= 0 && CompareAreaText(b, c) <= 0)
          Check(CompareAreaText(a, c) <= 0);
    }
  }
}

void CheckNumberForms(const GS::UniString& cell)
{
  if (!IsNumber(cell))
    return;
  Check(CompareAreaText(GS::UniString(u" ") + cell + u"\u3000", cell) == 0);
  // Unsigned with a digit first: zeros in front change nothing.
  const std::u16string& text = cell.Std();
  const std::size_t first = text.find_first_not_of(u" \u3000");
  if (first != std::u16string::npos && text[first] >= u'0' && text[first] <= u'9')
    Check(CompareAreaText(GS::UniString::FromStd(u"00" + text.substr(first)), cell) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::array<GS::UniString, 3> cells = Cells(std::string(reinterpret_cast<const char*>(data), size));
  CheckOrder(cells);
  for (const GS::UniString& cell : cells)
    CheckNumberForms(cell);
  return 0;
}
