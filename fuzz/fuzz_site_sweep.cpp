// The site sweep (tests/site/SiteLotSweep.h, SiteSweepJudge.h) from fuzzed
// seeds: the first eight bytes seed a generated lot, its placements and its
// changes; the ninth, the number of changes. Every reader must give the
// clean lot for each judged change; any other reading is an invariant
// violation.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "KernelFuzzSupport.h"
#include "SiteSweepJudge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 8)
    return 0;
  std::uint64_t seed = 0;
  std::memcpy(&seed, data, sizeof seed);
  const int changes = size > 8 ? 1 + data[8] % 8 : 4;
  for (const site_sweep::Case& c : site_sweep::Sweep(seed, changes, site_sweep::JudgedChanges())) {
    if (!c.m_Violations.empty())
      std::fprintf(stderr, "%s\n", c.Text().c_str());
    KernelFuzz::Check(c.m_Violations.empty());
  }
  return 0;
}
