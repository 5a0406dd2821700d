// The seeded sweep of generated lots (SiteLotSweep.h): rectangles, L and
// flag lots, arc and bent frontages, chamfers, dense sides and two roads at
// a corner, 8 m to 600 m across, each read clean at the origin and then
// changed as a survey changes it and placed elsewhere; every site reader
// is judged against the clean lot (SiteSweepJudge.h, which also says which
// changes are judged). fuzz_site_sweep runs the same from fuzzed seeds.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "SiteSweepJudge.h"

namespace {

constexpr int kLots = 300;
constexpr int kChangesPerLot = 8;

}  // namespace

TEST(SiteLotSweep, EveryReaderGivesTheCleanLotWhereverAndHoweverItIsListed)
{
  std::map<std::string, int> broken;
  int cases = 0;
  for (int seed = 1; seed <= kLots; ++seed) {
    for (const site_sweep::Case& c : site_sweep::Sweep(static_cast<std::uint64_t>(seed), kChangesPerLot, site_sweep::JudgedChanges())) {
      ++cases;
      for (const site_sweep::Violation& v : c.m_Violations)
        ++broken[v.m_Invariant + ", " + v.m_Reader];
      EXPECT_TRUE(c.m_Violations.empty()) << c.Text();
    }
  }
  for (const auto& [what, count] : broken)
    ADD_FAILURE() << what << ": " << count << " of " << cases << " cases";
}
