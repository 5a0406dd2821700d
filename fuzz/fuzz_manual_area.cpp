// Reads arbitrary UTF-8 text as a typed manual area. Nothing may crash, and
// an accepted area must lie within the bound that keeps the totals in 64
// bits; the same text must read the same twice.

#include "ManualAreaText.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr long long kMaxUnits = 1000000000000000LL;  // kMaxManualAreaM2 in 1e-6 m²

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const GS::UniString text(bytes.c_str(), CC_UTF8);
  const std::optional<long long> area = ReadManualAreaText(text);
  Check(!area.has_value() || (*area >= -kMaxUnits && *area <= kMaxUnits));
  Check(ReadManualAreaText(text) == area);
  return 0;
}
