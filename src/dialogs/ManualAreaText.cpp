#include "ManualAreaText.h"

#include "DocNumber.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kAreaUnitsPerM2 = 1000000.0;  // 1e-6 m² units

}  // namespace

std::optional<long long> ReadManualAreaText(const GS::UniString& text)
{
  const GS::UniString::CStr bytes = text.ToCStr(CC_Default);
  const double m2 = std::strtod(bytes.Get(), nullptr);
  if (!std::isfinite(m2) || std::fabs(m2) > kMaxManualAreaM2)
    return std::nullopt;
  return static_cast<long long>(std::trunc(SnapToInteger(m2 * kAreaUnitsPerM2)));
}
