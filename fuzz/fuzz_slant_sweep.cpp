// The slant-line sweep (tests/slantline/SlantLotSweep.h) from fuzzed seeds:
// the first eight bytes seed a generated lot, its placements and changes;
// the ninth, the number of changes. Every reading of a change that means the
// same lot must be the clean one; any other is an invariant violation.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "KernelFuzzSupport.h"
#include "SlantLotSweep.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 8)
    return 0;
  std::uint64_t seed = 0;
  std::memcpy(&seed, data, sizeof seed);
  const int changes = size > 8 ? 1 + data[8] % 8 : 4;
  for (const slant_sweep::Case& c : slant_sweep::Sweep(seed, changes)) {
    if (!c.m_Violation.empty())
      std::fprintf(stderr, "%s\n", c.Text().c_str());
    KernelFuzz::Check(c.m_Violation.empty());
  }
  return 0;
}
