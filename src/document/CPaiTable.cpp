#include "CPaiTable.h"

#include "host_assert.h"

#include <cstdio>

CPaiTable::CPaiTable(long long numerator, long long denominator, int code)
    : m_Numerator(numerator), m_Denominator(denominator), m_Code(code)
{
}

GS::UniString CPaiTable::GetStr() const
{
  int decimals = 0;
  long long power = 1;
  while (power < m_Denominator && decimals < 9) {
    power *= 10;
    ++decimals;
  }
  // The rows are built in code, never read from a record.
  PLN_ASSERT(power == m_Denominator);
  char text[48];
  std::snprintf(text, sizeof text, "%lld.%0*lld", m_Numerator / m_Denominator, decimals,
                m_Numerator % m_Denominator);
  return GS::UniString(text, CC_Default);
}

CPaiTableArray::CPaiTableArray()
{
  emplace_back(314LL, 100LL, 1);
  emplace_back(3141LL, 1000LL, 2);
  emplace_back(31415LL, 10000LL, 3);
  emplace_back(314159LL, 100000LL, 4);
  emplace_back(3141592LL, 1000000LL, 5);
  emplace_back(31415926LL, 10000000LL, 6);
  emplace_back(314159265LL, 100000000LL, 7);
  emplace_back(3141592653LL, 1000000000LL, 8);
}
