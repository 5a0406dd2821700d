#include "CAngleValue.h"

#include "CRoundTypeParam.h"
#include "DocNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The magnitude x (>= 0) rounded by a kind: 1 half up, 2 down, 3 up, any
// other kind down. Each step first snaps x to a whole number one round-off
// away, so 30° from radians keeps its 30.00.
long long RoundMagnitude(CRoundTypeTable::ROUNDTYPE kind, double x)
{
  switch (kind) {
  case CRoundTypeTable::ROUNDTYPE_HALFUP:
    return static_cast<long long>(std::trunc(SnapToInteger(x + 0.5)));
  case CRoundTypeTable::ROUNDTYPE_UP:
    return static_cast<long long>(std::ceil(SnapToInteger(x)));
  default:
    return static_cast<long long>(std::trunc(SnapToInteger(x)));
  }
}

}  // namespace

CAngleValue::CAngleValue(const CRoundTypeItem* item, double degrees)
{
  const CRoundTypeItem& rule = item != nullptr ? *item : CRoundTypeParam::kDefaultAngle;
  m_Digit = std::clamp(rule.m_Digit, 0, kMaxDigit);
  for (int i = 0; i < m_Digit; ++i)
    m_Scale *= 10;
  const double x = static_cast<double>(m_Scale) * degrees;
  const long long magnitude = RoundMagnitude(rule.m_Type, ScaledMagnitude(x));
  m_Value = x < 0 ? -magnitude : magnitude;
}

GS::UniString CAngleValue::GetStr() const
{
  // Sign once, in front: -0.5° reads "-0.50", not "0.-50".
  const char* sign = m_Value < 0 ? "-" : "";
  const long long magnitude = m_Value < 0 ? -m_Value : m_Value;
  char text[64];
  if (m_Digit == 0)
    std::snprintf(text, sizeof text, "%s%lld", sign, magnitude);
  else
    std::snprintf(text, sizeof text, "%s%lld.%0*lld", sign, magnitude / m_Scale, m_Digit, magnitude % m_Scale);
  return GS::UniString(text, CC_Default);
}
