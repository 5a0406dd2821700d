#include "CSphereA.h"

#include <algorithm>
#include <cmath>

#include "CKelBaseParam.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSunConst.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kSinQuarterPi = 0.7071067811865475;

bool OnTheCut(double a)
{
  return std::fabs(a) <= KelTol::SkyDisc;
}

// The azimuth's position inside its sector, in [0, step) within the disc
// tolerance: an azimuth on a sector line belongs to the following sector.
double PositionInSector(double azimuth, double step)
{
  double a = azimuth;
  double b = a;
  do {
    b = a;
    a -= step;
  } while (a > 0 || OnTheCut(a));
  if (b <= 0 && !OnTheCut(b)) {
    do {
      b += step;
    } while (!(b > 0 || OnTheCut(b)));
  }
  return b;
}

}  // namespace

bool CSphereA::SetChkPnt(const CKelCoord3D* pnt, double angle)
{
  if (pnt != nullptr) {
    m_ToLocal.Init();
    m_ToLocal.Trans(-pnt->m_x, -pnt->m_y);
    m_ToLocal.Rotate(-angle);
    m_ToWorld.Init();
    m_ToWorld.Rotate(angle);
    m_ToWorld.Trans(pnt->m_x, pnt->m_y);
    m_ChkPnt = *pnt;
  }
  m_bChkPnt = pnt != nullptr;
  return m_bChkPnt;
}

CKelCoord2D CSphereA::ToLocal(const CKelCoord2D& world) const
{
  const double dx = world.m_x - m_ChkPnt.m_x;
  const double dy = world.m_y - m_ChkPnt.m_y;
  return CKelCoord2D(dx * m_ToLocal.m[0][0] + dy * m_ToLocal.m[1][0], dx * m_ToLocal.m[0][1] + dy * m_ToLocal.m[1][1]);
}

CKelBlockCubeArray CSphereA::ToLocal(const CKelBlockCubeArray& world) const
{
  CKelBlockCubeArray local = world;
  for (CKelBlockCube& block : local) {
    for (CKelBlockCoord& v : block.m_Coord) {
      const CKelCoord2D p = ToLocal(CKelCoord2D(v.m_x, v.m_y));
      v.m_x = p.m_x;
      v.m_y = p.m_y;
    }
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  return local;
}

CSphereA::Bearing CSphereA::BearingOf(int side, double x, double y)
{
  double a = std::atan2(y, x);
  if (x < 0 && !OnTheCut(a)) {
    if (side == 1 && a <= 0)
      a += KelAngle::TwoPi;
    else if (side == -1 && a > 0)
      a -= KelAngle::TwoPi;
  }
  return Bearing{a, std::hypot(x, y)};
}

void CSphereA::SphereGetAngle(int side, CSphereCoordD2D* p) const
{
  const CKelCoord3D& c = p->m_Coord3D;
  SetAngles(BearingOf(side, c.m_x, c.m_y), p);
}

void CSphereA::SetAngles(const Bearing& bearing, CSphereCoordD2D* p)
{
  p->m_AD = bearing.m_Azimuth;
  p->m_AE = std::atan2(p->m_Coord3D.m_z, bearing.m_Reach);
}

void CSphereA::SphereAPos(int side, CSphereCoordD2D* p) const
{
  const CKelCoord3D& c = p->m_Coord3D;
  SetPos(BearingOf(side, c.m_x, c.m_y), p);
}

void CSphereA::SetPos(const Bearing& bearing, CSphereCoordD2D* p) const
{
  SetAngles(bearing, p);
  const double X = p->m_Coord3D.m_x;
  const double Y = p->m_Coord3D.m_y;
  const double Z = p->m_Coord3D.m_z;
  double x = 0;
  double y = 0;
  // The centre stands for the points whose image the formulas leave as
  // 0 / 0: straight below (kind 0), at the check point (kind 1), on the
  // vertical through it (kinds 2 and 3). It is not mirrored.
  switch (m_Kind) {
    case 0:
    case 1: {
      // Stereographic divides by the distance plus the height, orthographic
      // by the distance alone.
      const double d = m_Kind == 0 ? std::sqrt(X * X + Y * Y + Z * Z) + Z : std::sqrt(X * X + Y * Y + Z * Z);
      if (d == 0) {
        p->m_Pos = CKelCoord2D(0, 0);
        return;
      }
      x = -X / d;
      y = Y / d;
      break;
    }
    case 2:
    case 3: {
      const double h = bearing.m_Reach;
      if (h == 0) {
        p->m_Pos = CKelCoord2D(0, 0);
        return;
      }
      const double r = CalcRadius(std::atan2(Z, h));
      x = -X * r / h;
      y = r * Y / h;
      break;
    }
    default: pln::AssertionFailed("SphereA", __LINE__, "false");
  }
  if (m_bMirror)
    x = -x;
  p->m_Pos = CKelCoord2D(x, y);
}

double CSphereA::CalcRadius(double e) const
{
  switch (m_Kind) {
    case 0: return std::cos(e) / (1 + std::sin(e));
    case 1: return std::sin(KelAngle::HalfPi - e);
    case 2: return 2 * (KelAngle::HalfPi - e) / KelAngle::Pi;
    case 3: return std::sin((KelAngle::HalfPi - e) / 2) / kSinQuarterPi;
    default: pln::AssertionFailed("SphereA", __LINE__, "FALSE");
  }
}

double CSphereA::asqrt(double x)
{
  return ::asqrt(x);
}

bool CSphereA::CalcSunPosition(const CKelBaseParam& base, const CSunConst& sun, double time, CKelCoord2D* out) const
{
  return SunPositionAtSolarTime(sun, sun.CalcSCTime(base.m_StandardTime, 0, time), out);
}

bool CSphereA::SunRadius(double cosH, double sinH, double* rho) const
{
  switch (m_Kind) {
    case 0: *rho = cosH / (sinH + 1); return true;
    case 1: *rho = cosH; return true;
    case 2: *rho = 2 * (KelAngle::HalfPi - std::atan2(1, cosH / sinH)) / KelAngle::Pi; return true;
    case 3: *rho = std::sin((KelAngle::HalfPi - std::atan2(1, cosH / sinH)) / 2) / kSinQuarterPi; return true;
    default: return false;
  }
}

bool CSphereA::SunPositionAtSolarTime(const CSunConst& sun, double solarTime, CKelCoord2D* out) const
{
  const double hourAngle = (solarTime - 12) * 15 * kRadiansPerDegree;
  const double sinH = std::cos(hourAngle) * sun.m_CosLatCosDecl + sun.m_SinLatSinDecl;
  if (sinH <= 0)
    return false;
  const double cosH = asqrt(1 - sinH * sinH);
  // The sun in the zenith has no azimuth; it stands at the centre.
  const double a = cosH > 0 ? std::sin(hourAngle) * sun.m_CosDecl / cosH : 0.0;
  const double b = cosH > 0 ? (sun.m_SinLat * sinH - sun.m_SinDecl) / (sun.m_CosLat * cosH) : 0.0;
  double rho = 0;
  if (SunRadius(cosH, sinH, &rho)) {
    out->m_x = a * rho;
    out->m_y = -b * rho;
  }
  if (m_bMirror)
    out->m_x = -out->m_x;
  return true;
}

CKelCoord3DEx CSphereA::CalcSphereCoord(int /*side*/, const CKelCoord2D& p1, const CKelCoord2D& p2,
                                        double angleDeg) const
{
  const double c = std::cos(angleDeg * KelAngle::Pi / 180);
  const double s = std::sin(angleDeg * KelAngle::Pi / 180);
  const double t1 = c * p1.m_x + s * p1.m_y;
  const double d1 = c * p1.m_y - s * p1.m_x;
  const double t2 = c * p2.m_x + s * p2.m_y;
  const double d2 = c * p2.m_y - s * p2.m_x;
  if (d1 == d2) {
    // Seen edge-on: no crossing point of its own, so an end stands for it.
    // On the -180 line the stored outlines took the end behind the ray.
    const bool first = angleDeg == -180 ? t1 < 0 : t1 > 0;
    const CKelCoord2D& end = first ? p1 : p2;
    return CKelCoord3DEx(end.m_x, end.m_y, 0, 0);
  }
  const double u = (0 - d1) * ((t2 - t1) / (d2 - d1)) + t1;
  return CKelCoord3DEx(u * c, u * s, 0, 0);
}

bool CSphereA::Expand(CKelCoord3DEx& pos, int which) const
{
  if ((which != 0 && which != 1) || m_AngleStep < 1)
    return true;
  if (!std::isfinite(pos.m_x) || !std::isfinite(pos.m_y))
    return true;
  const double step = m_AngleStep * KelAngle::Pi / 180;
  const double offset = PositionInSector(std::atan2(pos.m_y, pos.m_x), step) - step / 2;
  const double rho = std::hypot(pos.m_x, pos.m_y);
  double& height = which == 0 ? pos.m_z : pos.m_zL;
  const double e = std::atan2(height, rho);
  double lowered = 0;
  if (e >= 0) {
    const double c = std::cos(e) / std::cos(offset);
    if (c <= 1)
      lowered = rho * std::tan(std::acos(c));
  }
  // The sector's lower line never lies above the point: a point below the
  // check point keeps its height rather than being lifted to the horizon.
  height = std::min(height, lowered);
  if (which == 1 && pos.m_zL > pos.m_z)
    pos.m_zL = pos.m_z;
  if (which == 0 && pos.m_zL > pos.m_z)
    pos.m_z = pos.m_zL;
  return true;
}

void CSphereA::AddAngle(std::vector<CSphereAWork>& list, double angle, bool ascending)
{
  for (CSphereAWork& w : list) {
    if (std::fabs(w.m_AD - angle) <= KelTol::SkyAngleLine) {
      w.m_Kind = CSphereAWork::kAngleLine;
      return;
    }
  }
  const auto at = std::find_if(list.begin(), list.end(), [angle, ascending](const CSphereAWork& w) {
    return ascending ? w.m_AD > angle : angle > w.m_AD;
  });
  CSphereAWork entry;
  entry.m_Kind = CSphereAWork::kAngleLine;
  entry.m_AD = angle;
  list.insert(at, entry);
}
