// The seeded slant-line sweep (SlantLotSweep.h): generated lots of every
// family, a road side of each checked in the four forms at five placements
// and under changes that mean the same lot, against the clean check.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SlantLotSweep.h"

namespace {

constexpr int kLots = 240;
constexpr int kChangesPerLot = 8;

}  // namespace

TEST(SlantLotSweep, ACheckedRoadSideReadsAsTheCleanOneWhereverAndHoweverItIsListed)
{
  std::map<std::string, int> broken;
  int cases = 0;
  for (int seed = 1; seed <= kLots; ++seed) {
    for (const slant_sweep::Case& c : slant_sweep::Sweep(static_cast<std::uint64_t>(seed), kChangesPerLot)) {
      ++cases;
      if (c.m_Violation.empty())
        continue;
      ++broken[c.m_Change.substr(0, c.m_Change.find(' '))];
      ADD_FAILURE() << c.Text();
    }
  }
  EXPECT_GE(cases, 2500);
  for (const auto& [what, count] : broken)
    ADD_FAILURE() << what << ": " << count << " of " << cases << " cases";
}
