#pragma once
// Pi as exact fractions: eight rows from 3.14 to 3.141592653, each cut (not
// rounded) after its last digit. The active rounding preset names the row
// by its code; circle and arc areas use it as numerator / denominator.

#include "gs_unistring.h"

#include <vector>

class CPaiTable {
public:
  CPaiTable(long long numerator, long long denominator, int code);

  bool operator==(const CPaiTable&) const = default;

  // "%lld.%0*lld": 314159 / 100000 gives "3.14159".
  GS::UniString GetStr() const;

  long long m_Numerator;
  long long m_Denominator;  // a power of ten, 1 .. 10^9
  int m_Code;
};

class CPaiTableArray : public std::vector<CPaiTable> {
public:
  static constexpr int kMinCode = 1;
  static constexpr int kMaxCode = 8;

  CPaiTableArray();  // codes 1..8: 3.14, 3.141, ... 3.141592653
};
