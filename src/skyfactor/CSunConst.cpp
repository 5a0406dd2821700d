#include "CSunConst.h"

#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kHoursPerRadian = 3.8197186342054885;  // 12 / pi
constexpr double kClockMeridianDegrees = 135.0;
constexpr double kDegreesPerHour = 15.0;

// Limits a cosine to [-1, 1]; NaN (0 / 0 of a degenerate frame) becomes 1.
double ClampUnit(double c)
{
  if (!(c > -1.0))
    return std::isnan(c) ? 1.0 : -1.0;
  return c < 1.0 ? c : 1.0;
}

}  // namespace

void CSunConst::SetSunConstant2(int mode, int useTimeCorr, double lat, double lon, double decl, double addHours,
                                double rot)
{
  // The count changes outside the checks, so it is kept in every build.
  if (mode == 1) {
    if (m_ReferenceCount != 0)
      pln::AssertionFailed("SunConst", __LINE__, "m_ReferenceCount ++ == 0");
    ++m_ReferenceCount;
  } else if (mode == -1) {
    if (m_ReferenceCount != 1)
      pln::AssertionFailed("SunConst", __LINE__, "m_ReferenceCount -- == 1");
    --m_ReferenceCount;
  } else if (m_ReferenceCount != 0) {
    pln::AssertionFailed("SunConst", __LINE__, "m_ReferenceCount == 0");
  }
  m_DeclSign = SignOf(decl, KelTol::SunDeclinationSign);
  m_SinLat = std::sin(lat);
  m_CosLat = std::cos(lat);
  m_SinDecl = std::sin(decl);
  m_CosDecl = std::cos(decl);
  m_SinLatSinDecl = m_SinLat * m_SinDecl;
  m_CosLatCosDecl = m_CosLat * m_CosDecl;
  m_CosLatTanDecl = m_CosLat * m_SinDecl / m_CosDecl;
  m_SinRot = std::sin(rot);
  m_CosRot = std::cos(rot);
  m_TimeCorr = useTimeCorr != 0
                   ? (lon * KelAngle::DegreesPerRadian - kClockMeridianDegrees) / kDegreesPerHour + addHours
                   : 0.0;
}

double CSunConst::CalcSCTime(int apply, int dir, double t) const
{
  if (apply == 0)
    return t;
  return dir == 0 ? t + m_TimeCorr : t - m_TimeCorr;
}

// Clamped: beyond the polar circles the sun never sets (12 h) or never
// rises (0 h).
double CSunConst::SunUpTime() const
{
  return std::acos(ClampUnit(-m_SinLatSinDecl / m_CosLatCosDecl)) * kHoursPerRadian;
}

void CSunConst::CalcSunUpDown2(double* sunset, double* sunrise) const
{
  const double half = SunUpTime();
  *sunset = 12 + half;
  *sunrise = 12 - half;
}

int CSunConst::GetSunSLCnt(double from, double to, double step) const
{
  return static_cast<int>((to - from) / step + 0.4) + 1;
}

double CSunConst::SinAltitude(double hourAngle) const
{
  return m_SinLatSinDecl + m_CosLatCosDecl * std::cos(hourAngle);
}

bool CSunConst::GetSunAngle(double t, double* sinA, double* cosA, double* cotH) const
{
  const double hourAngle = (t - 12) * kDegreesPerHour * kRadiansPerDegree;
  const double sinH = SinAltitude(hourAngle);
  if (sinH <= 0)
    return true;
  const double cosH = std::sqrt(1 - sinH * sinH);
  if (cosH > 0) {
    *sinA = std::sin(hourAngle) * m_CosDecl / cosH;
    *cosA = (m_SinLat * sinH - m_SinDecl) / (m_CosLat * cosH);
  } else {
    // The sun in the zenith has no azimuth; its shadows have no length.
    *sinA = 0;
    *cosA = 1;
  }
  if (cotH != nullptr)
    *cotH = cosH / sinH;
  return false;
}

double CSunConst::CalcTAngfromH(double sinH) const
{
  const double c = (sinH - m_SinLatSinDecl) / m_CosLatCosDecl;
  if (c >= 1)
    return 1;
  if (c < -1)
    return -1;
  return c;
}

double CSunConst::CalcSunHeight(double t) const
{
  const double sinH = std::cos((t - 12) / 12 * KelAngle::Pi) * m_CosLatCosDecl + m_SinLatSinDecl;
  return sinH / std::sqrt(1 - sinH * sinH);
}

bool CSunConst::CalcSunTimePos(double t, double* x, double* y) const
{
  const double hourAngle = (t - 12) / 12 * KelAngle::Pi;
  const double sinH = SinAltitude(hourAngle);
  if (sinH <= 0)
    return false;
  const double cosH = std::sqrt(1 - sinH * sinH);
  const double k = -cosH / sinH;
  if (cosH <= 0) {
    *x = 0;
    *y = 0;
    return true;
  }
  *x = k * (std::sin(hourAngle) * m_CosDecl / cosH);
  *y = k * ((m_SinLat * sinH - m_SinDecl) / (m_CosLat * cosH));
  return true;
}

void CSunConst::SSMJConv2D(double* x, double* y) const
{
  const double x0 = *x;
  const double y0 = *y;
  *x = m_CosRot * x0 - m_SinRot * y0;
  *y = m_SinRot * x0 + m_CosRot * y0;
}

bool CSunConst::SSMJCalcParam2(int apply, double t, double height, double* x, double* y) const
{
  if (height < 0)
    return false;
  double sinA = 0, cosA = 0, cotH = 0;
  if (GetSunAngle(t + (apply != 0 ? m_TimeCorr : 0.0), &sinA, &cosA, &cotH))
    return false;
  const double k = -cotH * height;
  *x = k * sinA;
  *y = k * cosA;
  SSMJConv2D(x, y);
  return true;
}

void CSunConst::SetSunPosition2(int apply, double a, double t)
{
  const double hourAngle = (t + (apply != 0 ? m_TimeCorr : 0.0) - 12) * kDegreesPerHour * kRadiansPerDegree;
  m_SinH = std::cos(hourAngle) * m_CosLatCosDecl + m_SinLatSinDecl;
  m_CosH = asqrt(1 - m_SinH * m_SinH);
  m_SunAz = std::atan2(std::sin(hourAngle), std::cos(hourAngle) * m_SinLat - m_CosLatTanDecl);
  m_RelAngle = a - m_SunAz;
  m_SinRel = std::sin(m_RelAngle);
  m_CosRel = std::cos(m_RelAngle);
  m_CotH = m_SinH <= KelTol::SunHorizon ? 0.0 : m_CosH / m_SinH;
  m_ShadowX = -m_CotH * m_SinRel;
  m_ShadowY = m_CotH * m_CosRel;
}

// The hour angle's cosine c solves (T P^2 + R^2) c^2 + 2 T P Q c + (T Q^2 -
// R^2) = 0 with T (tan2) the squared tangent of the direction's azimuth.
// Along the east-west line (v = 0) T is infinite and the root tends to
// -Q / P; a negative discriminant is round-off at a double root.
double CSunConst::CosHourAngleOfDirection(double u, double v) const
{
  const double P = m_CosLatCosDecl * m_SinLat;
  const double Q = m_SinLat * m_SinLatSinDecl - m_SinDecl;
  const double R = m_CosDecl * m_CosLat;
  if (v == 0)
    return ClampUnit(-Q / P);
  const double tan2 = u * u / (v * v);
  const double a = tan2 * P * P + R * R;
  const double b = tan2 * P * Q;
  double d = b * b - (tan2 * Q * Q - R * R) * a;
  if (d < 0)
    d = 0;
  const double c = v > 0 ? (-b - std::sqrt(d)) / a : (std::sqrt(d) - b) / a;
  return ClampUnit(c);
}

double CSunConst::CalcSunTime(double x, double y) const
{
  const double u = m_SinRot * y + m_CosRot * x;
  const double v = m_CosRot * y - m_SinRot * x;
  const double hours = std::acos(CosHourAngleOfDirection(u, v)) * 12 / KelAngle::Pi;
  return u >= 0 ? 12 + hours : 12 - hours;
}

double CSunConst::CalcSSHeight(double x1, double y1, double x2, double y2) const
{
  const double x = x2 - x1;
  const double y = y2 - y1;
  const double u = m_SinRot * y + m_CosRot * x;
  const double v = m_CosRot * y - m_SinRot * x;
  const double sinH = m_SinLatSinDecl + m_CosLatCosDecl * CosHourAngleOfDirection(u, v);
  return std::hypot(u, v) * sinH / std::sqrt(1 - sinH * sinH);
}

double CSunConst::CalcSub1(double a, double b, double c)
{
  return (std::sqrt(b * b - c * a) - b) / a;
}

double CSunConst::CalcSub2(double a, double b, double c)
{
  return (-b - std::sqrt(b * b - c * a)) / a;
}
