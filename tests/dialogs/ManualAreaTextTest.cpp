// The typed manual area: what atof reading gives, the snap before
// truncation on both sides of its band, and the values refused.

#include "ManualAreaText.h"

#include "HostFixture.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char16_t* text;
  std::optional<long long> area;  // 1e-6 m²; nullopt: refused
};

TEST(ManualAreaTextTest, ReadsAsAtofAndTruncatesAfterTheSnap)
{
  HostFixture host;
  const std::vector<Case> cases{
      {u"8.2", 8200000},
      {u"7", 7000000},
      {u"  12.5", 12500000},
      {u"-3", -3000000},
      {u"-0.0000015", -1},
      // The double of 1.005 lies just below; the snap lands it on the unit.
      {u"1.005", 1005000},
      {u"2.9999999999", 3000000},
      // One tenth of a unit below is a visible share: truncated.
      {u"2.9999999", 2999999},
      {u"12.5678949", 12567894},
      // Reading stops at the first character that is no part of a number.
      {u"1,234", 1000000},
      {u"3.5×2.0", 3500000},
      {u"abc", 0},
      {u"", 0},
      {u"８．２", 0},
      {u"1e9", 1000000000000000},
      {u"-1e9", -1000000000000000},
      {u"1000000001", std::nullopt},
      {u"-1.5e9", std::nullopt},
      {u"1e400", std::nullopt},
      {u"inf", std::nullopt},
      {u"-infinity", std::nullopt},
      {u"nan", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadManualAreaText(c.text), c.area) << GS::UniString(c.text).ToStdString(CC_UTF8);
}

}  // namespace
