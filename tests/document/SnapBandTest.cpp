// The band within which a double is taken as the integer next to it before
// it is floored, ceiled or truncated: wide enough for round-off, never a
// visible share of the step at many digits.

#include "CAngleValue.h"
#include "DocNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.141592653589793;

// Degrees as an angle parameter holds them: in radians, read back in degrees.
double ThroughRadians(double degrees)
{
  const double radians = degrees * kPi / 180.0;
  return radians * 180.0 / kPi;
}

long long Scaled(CRoundTypeTable::ROUNDTYPE kind, int digits, double degrees)
{
  const CRoundTypeItem item(kind, digits);
  return CAngleValue(&item, degrees).m_Value;
}

std::u16string Text(CRoundTypeTable::ROUNDTYPE kind, int digits, double degrees)
{
  const CRoundTypeItem item(kind, digits);
  return CAngleValue(&item, degrees).GetStr().Std();
}

long long PowerOfTen(int n)
{
  long long p = 1;
  for (int i = 0; i < n; ++i)
    p *= 10;
  return p;
}

}  // namespace

TEST(SnapBand, FarFractionsStayAtManyDigitsAndRoundOffSnapsAtAll)
{
  // A fraction of 0.15 or 0.49 of the last step is real, however large the
  // scaled value has grown.
  EXPECT_EQ(Text(CRoundTypeTable::ROUNDTYPE_UP, 6, 215.45280514624767), u"215.452806");
  EXPECT_EQ(Text(CRoundTypeTable::ROUNDTYPE_HALFUP, 5, 242.41010489588905), u"242.41010");
  for (int digits = 0; digits <= 9; ++digits) {
    for (auto kind : {CRoundTypeTable::ROUNDTYPE_HALFUP, CRoundTypeTable::ROUNDTYPE_CUT, CRoundTypeTable::ROUNDTYPE_UP}) {
      SCOPED_TRACE(testing::Message() << "digits " << digits << " kind " << kind);
      // 30° from radians is 29.999999999999996: one round-off below.
      EXPECT_EQ(Scaled(kind, digits, ThroughRadians(30.0)), 30 * PowerOfTen(digits));
      // Three tenths of a step above a whole value: cut and half up keep the
      // value, up raises it, at every digit count.
      const double above = (123.0 + 0.3 / static_cast<double>(PowerOfTen(digits)));
      const long long whole = 123 * PowerOfTen(digits);
      EXPECT_EQ(Scaled(kind, digits, above), kind == CRoundTypeTable::ROUNDTYPE_UP ? whole + 1 : whole);
    }
  }
  EXPECT_EQ(Text(CRoundTypeTable::ROUNDTYPE_CUT, 2, ThroughRadians(30.0)), u"30.00");
}

TEST(SnapBand, EveryTwoDecimalAngleThroughRadiansKeepsItsExactRounding)
{
  int wrong = 0;
  for (long long k = 0; k < 36000; ++k) {
    const double degrees = ThroughRadians(static_cast<double>(k) / 100.0);
    for (int digits = 0; digits <= 9; ++digits) {
      // The exact decimal k / 100 scaled by 10^digits, as a fraction n / d.
      const long long n = digits >= 2 ? k * PowerOfTen(digits - 2) : k;
      const long long d = digits >= 2 ? 1 : PowerOfTen(2 - digits);
      const long long floor = n / d;
      const long long ceiling = floor + (n % d != 0 ? 1 : 0);
      const long long halfUp = (2 * n + d) / (2 * d);
      wrong += Scaled(CRoundTypeTable::ROUNDTYPE_CUT, digits, degrees) != floor;
      wrong += Scaled(CRoundTypeTable::ROUNDTYPE_UP, digits, degrees) != ceiling;
      wrong += Scaled(CRoundTypeTable::ROUNDTYPE_HALFUP, digits, degrees) != halfUp;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(SnapBand, TsuboProductTruncatesItsRealFraction)
{
  // 1,000.000003 m² in 1e-6 m², times the tsubo factor: 302500000.9075.
  const double tsubo = 1000000003.0 * 0.3025;
  EXPECT_EQ(static_cast<long long>(SnapToInteger(tsubo)), 302500000);
  // A product one round-off off a whole tsubo value still lands on it.
  EXPECT_EQ(SnapToInteger(std::nextafter(302500001.0, 0.0)), 302500001.0);
}
