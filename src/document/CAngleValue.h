#pragma once
// An angle prepared for display: degrees scaled by 10^digits and rounded by
// the kind of a rounding item to an integer, so that the printed text and
// every later use of the value agree.
//
// A negative angle is rounded by its magnitude and keeps its sign, so mirrored
// arcs print equal magnitudes; the text carries the sign once ("-0.50").

#include "CRoundTypeParam.h"
#include "gs_unistring.h"

class CAngleValue {
public:
  static constexpr int kMaxDigit = CRoundTypeParam::kAngleDigitMax;

  // item: its kind (1 half up, 2 cut, 3 up, other: cut) and its digit count.
  // Without an item (no active preset) the angle default of a new preset
  // applies. A digit count outside 0..9 is clamped into that range; stored
  // presets are repaired when read, so this only guards programming slips.
  CAngleValue(const CRoundTypeItem* item, double degrees);

  GS::UniString GetStr() const;

  long long m_Value = 0;  // degrees x m_Scale, rounded
  long long m_Scale = 1;  // 10^m_Digit
  int m_Digit = 0;        // decimals, 0..9
};
