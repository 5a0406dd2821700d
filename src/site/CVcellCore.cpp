#include "CVcellCore.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CKelArchiveCore.h"
#include "KelByteOrder.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// The largest magnitude a 16-bit field holds.
constexpr long kFieldMax = 32767;
// A fraction of a second from this on counts as the next whole second.
constexpr double kSecondRoundUp = 0.999;
// A full turn in arc seconds: an angle that rounds to it is the direction
// 0 deg 00' 00", since a degrees field of 360 is no valid cell.
constexpr long kFullTurnSeconds = 360L * 3600;

int Abs(std::int16_t v) { return std::abs(static_cast<int>(v)); }

// A zero angle is +0.0 however it came about (minus a full turn, degrees
// -360): a -0.0 read would be written back as +0.0 after the next read, so
// the stored bytes would not survive a round trip.
double PlusZero(double v) { return v == 0 ? 0.0 : v; }

std::string Printed(const char* format, int a, int b)
{
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

// --- Plain state ------------------------------------------------------------------

long CVcellCore::VCELLtoL() const { return VCELLtoL2(0); }

void CVcellCore::Init()
{
  m_Field1 = m_Field2 = m_Field3 = 0;
  m_Value = 0;
}

void CVcellCore::FromOldParam(const VCELLTag& old, const char* /*text*/)
{
  m_Field1 = old.field1;
  m_Field2 = old.field2;
  m_Field3 = old.field3;
  m_Value = old.value;
}

VCELLTag CVcellCore::GetOldParam() const
{
  return VCELLTag{m_Field1, m_Field2, m_Field3, static_cast<float>(m_Value)};
}

bool CVcellCore::operator==(const CVcellCore& other) const
{
  return m_Field1 == other.m_Field1 && m_Field2 == other.m_Field2 && m_Field3 == other.m_Field3;
}

bool CVcellCore::IsNearlyEqual(const CVcellCore& other) const
{
  return *this == other && fcmpNearly(m_Value - other.m_Value) == 0;
}

void CVcellCore::CompareData(const char* label, const CVcellCore& other, std::vector<std::string>& lines) const
{
  const std::int16_t own[] = {m_Field1, m_Field2, m_Field3};
  const std::int16_t theirs[] = {other.m_Field1, other.m_Field2, other.m_Field3};
  char text[256];
  for (int k = 0; k < 3; ++k) {
    if (own[k] != theirs[k]) {
      std::snprintf(text, sizeof text, "%s, field%d, %d, %d", label, k + 1, own[k], theirs[k]);
      lines.emplace_back(text);
    }
  }
  if (!(m_Value == other.m_Value)) {
    std::snprintf(text, sizeof text, "%s, value, %f, %f", label, m_Value, other.m_Value);
    lines.emplace_back(text);
  }
}

// --- Range checks -------------------------------------------------------------------

bool CVcellCore::CheckAngleValue() const
{
  if (m_Field1 != 0 && (m_Field2 < 0 || m_Field3 < 0))
    return true;
  if (m_Field2 != 0 && m_Field3 < 0)
    return true;
  if (m_Field1 < -359 || m_Field1 > 359)
    return true;
  return m_Field2 < -59 || m_Field2 > 59 || m_Field3 < -59 || m_Field3 > 59;
}

bool CVcellCore::CheckTimeValue2(int mode) const
{
  if (mode == 0) {
    // Read as unsigned, a negative field is out of range.
    const auto h = static_cast<std::uint16_t>(m_Field1);
    const auto m = static_cast<std::uint16_t>(m_Field2);
    return h > 24 || m > 59 || h * 60 + m > 1440;
  }
  if (m_Field2 < -59 || m_Field2 > 59)
    return true;
  return m_Field1 != 0 && (m_Field1 < -59 || m_Field1 > 59 || m_Field2 < 0);
}

// --- Conversions ----------------------------------------------------------------------

void CVcellCore::NegateFirstNonZero()
{
  for (std::int16_t* f : {&m_Field1, &m_Field2, &m_Field3}) {
    if (*f != 0) {
      *f = static_cast<std::int16_t>(-*f);
      return;
    }
  }
}

void CVcellCore::angle_value()
{
  const std::int16_t source = m_Field1 != 0 ? m_Field1 : (m_Field2 != 0 ? m_Field2 : m_Field3);
  int s = Abs(m_Field3);
  const int c1 = s / 60;
  s %= 60;
  int m = Abs(m_Field2) + c1;
  const int c2 = m / 60;
  m %= 60;
  const int d = (Abs(m_Field1) + c2) % 360;
  m_Field1 = static_cast<std::int16_t>(d);
  m_Field2 = static_cast<std::int16_t>(m);
  m_Field3 = static_cast<std::int16_t>(s);
  if (source < 0)
    NegateFirstNonZero();
  m_Value = (d + (m * 60 + s) / 3600.0) * kRadianPerDegree;
  if (source < 0)
    m_Value = PlusZero(-m_Value);
}

bool CVcellCore::set_vcell_angle(int mode)
{
  if (!std::isfinite(m_Value))
    return false;
  // One remainder step instead of subtracting turns one by one, which never
  // ends for a huge value; the result keeps the half-open range (-L, L].
  double v = m_Value;
  if (mode == 0) {
    v = std::remainder(v, KelAngle::TwoPi);
    if (v <= -KelAngle::Pi)
      v += KelAngle::TwoPi;
  } else {
    v = std::fmod(v, KelAngle::TwoPi);
  }
  v = PlusZero(v);
  m_Value = v;
  long t = static_cast<long>(std::fabs(v) * KelAngle::DegreesPerRadian * 3600.0 + 0.5);
  if (t == kFullTurnSeconds)
    t = 0;
  m_Field1 = static_cast<std::int16_t>(t / 3600);
  m_Field2 = static_cast<std::int16_t>((t / 60) % 60);
  m_Field3 = static_cast<std::int16_t>(t % 60);
  if (v < 0)
    NegateFirstNonZero();
  return true;
}

bool CVcellCore::SetFieldsFromSeconds(long a, int mode)
{
  const long f1 = mode < 0 ? a / 60 : a / 3600;
  if (a < 0 || f1 > kFieldMax)
    return false;
  m_Field1 = static_cast<std::int16_t>(f1);
  m_Field2 = static_cast<std::int16_t>(mode < 0 ? a % 60 : (a % 3600) / 60);
  m_Field3 = static_cast<std::int16_t>(mode < 0 ? 0 : a % 60);
  return true;
}

bool CVcellCore::LtoVCELL2(long n, int mode)
{
  const long magnitude = n < 0 ? -n : n;
  // Checked before anything changes, so a refused number leaves the cell.
  const long f1 = mode < 0 ? magnitude / 60 : magnitude / 3600;
  if (n == LONG_MIN || f1 > kFieldMax)
    return false;
  (void)SetFieldsFromSeconds(magnitude, mode);  // its one refusal was checked above
  m_Value = n / 3600.0 * (mode >= 1 ? kRadianPerDegree : 1.0);
  if (n < 0)
    NegateFirstNonZero();
  return true;
}

bool CVcellCore::DoubletoVCELL2(double x, int mode)
{
  const double limit = (kFieldMax + 1) * (mode < 0 ? 60.0 : 3600.0);
  if (!std::isfinite(x) || std::fabs(x) >= limit)
    return false;
  const double a = std::fabs(x);
  double whole = std::floor(a);
  if (a - whole >= kSecondRoundUp)
    whole += 1;
  auto n = static_cast<long>(whole);
  if (mode >= 1 && n == kFullTurnSeconds)
    n = 0;
  if (!SetFieldsFromSeconds(n, mode))
    return false;
  m_Value = x / 3600.0 * (mode >= 1 ? kRadianPerDegree : 1.0);
  if (x < 0)
    NegateFirstNonZero();
  return true;
}

long CVcellCore::VCELLtoL2(int mode) const
{
  const long v = mode >= 0 ? Abs(m_Field1) * 3600L + Abs(m_Field2) * 60L + Abs(m_Field3)
                           : Abs(m_Field1) * 60L + Abs(m_Field2);
  return m_Value < 0 ? -v : v;
}

int CVcellCore::time_value2(int mode)
{
  int v = Abs(m_Field1) * 60 + Abs(m_Field2);
  if (mode == 0 && (m_Field1 < 0 || m_Field2 < 0))
    v = -v;
  m_Value = mode == 0 ? v / 3600.0 : v / 60.0;
  return mode == 0 ? 1 : 0;
}

bool CVcellCore::VCELLAdd(const CVcellCore& other) { return LtoVCELL2(VCELLtoL2(0) + other.VCELLtoL2(0), 0); }

// --- Texts -------------------------------------------------------------------------------

void CVcellCore::SetTimeValue() { m_Value = (Abs(m_Field1) * 60 + Abs(m_Field2)) / 60.0; }

std::string CVcellCore::TimeText(const char* format) const { return Printed(format, m_Field1, m_Field2); }

std::string CVcellCore::AngleText() const
{
  int f[] = {Abs(m_Field1), Abs(m_Field2), Abs(m_Field3)};
  if (m_Value < 0) {
    int k = f[0] != 0 ? 0 : (f[1] != 0 ? 1 : 2);
    f[k] = -f[k];
  }
  char text[64];
  std::snprintf(text, sizeof text, "%4d度%2.2d分%2.2d秒", f[0], f[1], f[2]);
  return text;
}

std::string CVcellTime1::GetStr() const { return TimeText("%2d時%2.2d分"); }

std::string CVcellTime2::GetStr() const { return IsFullDay() ? "--時間--分" : TimeText("%2d時間%2.2d分"); }

std::string CVcellDeltaTime::GetStr() const { return TimeText("%2d時間%2.2d分"); }

void CVcellDiff::SetValue()
{
  const double v = (Abs(m_Field1) * 60 + Abs(m_Field2)) / 3600.0;
  m_Value = (m_Field1 < 0 || m_Field2 < 0) ? -v : v;
}

std::string CVcellDiff::GetStr() const
{
  if (m_Field1 == 0 && m_Field2 < 0)
    return Printed("-0分%2.2d秒", Abs(m_Field2), 0);
  return Printed("%2d分%2.2d秒", m_Field1, Abs(m_Field2));
}

// --- Stored forms -------------------------------------------------------------------------

// The version from which the old display text is no longer stored.
static constexpr int kVersionWithoutText = 5;

bool CVcellCore::AfterLoad(double /*stored*/)
{
  SetValue();
  return true;
}

bool CVcellDirection::AfterLoad(double stored)
{
  if (!std::isfinite(stored))
    return false;
  SetValue();
  if (m_Value != stored) {
    m_Value = stored;
    (void)set_vcell_angle(0);  // refuses only a value that is not finite
  }
  return true;
}

bool CVcellCore::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag(ClassName());
  ar.SerializeTag("CVcellCore");
  ar.Serialize(m_Field1);
  ar.Serialize(m_Field2);
  ar.Serialize(m_Field3);
  ar.Serialize(m_Value);
  if (ar.GetError() != 0)
    return false;
  if (ar.IsLoading() && !AfterLoad(m_Value)) {
    ar.SetError();
    return false;
  }
  if (ar.GetVersion() < kVersionWithoutText) {
    std::string text = ar.IsLoading() ? std::string() : GetStr();
    ar.Serialize(text);
  }
  return ar.GetError() == 0;
}

bool CVcellCore::SaveData(CKelFileIO& f) const
{
  return KelByteOrder::Write(f, m_Field1) && KelByteOrder::Write(f, m_Field2) && KelByteOrder::Write(f, m_Field3) &&
         KelByteOrder::Write(f, static_cast<float>(m_Value));
}

bool CVcellCore::LoadData(CKelFileIO& f)
{
  float dropped = 0;
  if (!(KelByteOrder::Read(f, m_Field1) && KelByteOrder::Read(f, m_Field2) && KelByteOrder::Read(f, m_Field3) &&
        KelByteOrder::Read(f, dropped)))
    return false;
  SetValue();
  return true;
}
