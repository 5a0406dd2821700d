#pragma once
// Outlines on the sky disc for the division's tests and benchmarks: random
// stars, combs and spirals (simple by construction, counter-clockwise), with
// or without a vertex at the disc's centre, and the outline a long wall
// casts on the disc.

#include <cmath>
#include <random>
#include <vector>

#include "CSphereA.h"
#include "CSphereCoordD2D.h"

namespace sky_test {

inline constexpr double kTwoPi = 6.283185307179586;

// A star around centre (cx, cy): n vertices at sorted random angles with
// random radii in [rmin, rmax]. With atOrigin, one vertex lies exactly at
// (0, 0) (the centre must then be away from it, within rmax).
inline std::vector<CKelCoord2D> Star(std::mt19937& rng, int n, double cx, double cy, double rmin, double rmax,
                                     bool atOrigin)
{
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> angles;
  for (int i = 0; i < n; ++i)
    angles.push_back((i + 0.1 + 0.8 * unit(rng)) * kTwoPi / n);
  std::vector<CKelCoord2D> pts;
  for (double a : angles) {
    const double r = rmin + (rmax - rmin) * unit(rng);
    pts.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  if (atOrigin) {
    // The origin seen from the centre, in place of the vertex nearest in angle.
    const double toOrigin = std::fmod(std::atan2(-cy, -cx) + kTwoPi, kTwoPi);
    const int k = static_cast<int>(toOrigin / (kTwoPi / n)) % n;
    pts[static_cast<std::size_t>(k)] = CKelCoord2D(0, 0);
  }
  return pts;
}

// A regular star: alternating outer and inner radii about the origin.
inline std::vector<CKelCoord2D> RegularStar(int n, double outer, double inner)
{
  std::vector<CKelCoord2D> pts;
  for (int i = 0; i < n; ++i) {
    const double a = kTwoPi * i / n;
    const double r = i % 2 == 0 ? outer : inner;
    pts.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  return pts;
}

// A comb of `teeth` teeth standing on a bar, counter-clockwise, shifted by
// (dx, dy); 4 * teeth vertices.
inline std::vector<CKelCoord2D> Comb(std::mt19937& rng, int teeth, double dx, double dy)
{
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double w = 1.2 / teeth;
  std::vector<CKelCoord2D> pts;
  pts.emplace_back(dx, dy);
  pts.emplace_back(dx + 1.2, dy);
  for (int t = teeth - 1; t >= 0; --t) {
    const double x0 = dx + t * w;
    const double top = dy + 0.3 + 0.3 * unit(rng);
    pts.emplace_back(x0 + w, top);
    pts.emplace_back(x0 + 0.5 * w, top);
    if (t > 0) {
      pts.emplace_back(x0 + 0.5 * w, dy + 0.1);
      pts.emplace_back(x0, dy + 0.1);
    }
  }
  return pts;
}

// A spiral band of `turns` turns with n points on each of its two sides.
inline std::vector<CKelCoord2D> Spiral(int n, double turns, double cx, double cy)
{
  std::vector<CKelCoord2D> outer, inner;
  const double span = turns * kTwoPi;
  for (int i = 0; i < n; ++i) {
    const double a = span * i / (n - 1);
    const double r = 0.15 + 0.6 * a / span;
    outer.emplace_back(cx + (r + 0.08) * std::cos(a), cy + (r + 0.08) * std::sin(a));
    inner.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  std::vector<CKelCoord2D> pts(inner.begin(), inner.end());
  pts.insert(pts.end(), outer.rbegin(), outer.rend());
  return pts;
}

// The outline a wall 100 m long, 10 m away and 10 m high casts on the disc
// of a check point at its middle (orthographic projection): its top edge at
// n / 2 azimuths, closed along the horizon below it.
inline std::vector<CKelCoord2D> WallOutline(int n)
{
  CSphereA sphere;
  sphere.m_Kind = 1;
  const int half = n / 2;
  std::vector<CKelCoord2D> top, horizon;
  const double from = std::atan2(10.0, 50.0);
  const double to = std::atan2(10.0, -50.0);
  for (int i = 0; i < half; ++i) {
    const double a = from + (to - from) * i / (half - 1);
    const double along = 10.0 / std::tan(a);
    CSphereCoordD2D p;
    p.m_Coord3D = CKelCoord3D(along, 10.0, 10.0);
    sphere.SphereAPos(0, &p);
    top.push_back(p.m_Pos);
    p.m_Coord3D.m_z = 0;
    sphere.SphereAPos(0, &p);
    horizon.push_back(p.m_Pos);
  }
  std::vector<CKelCoord2D> pts(horizon.begin(), horizon.end());
  pts.insert(pts.end(), top.rbegin(), top.rend());
  return pts;
}

inline CSphereCoordD2DArray Projected(const std::vector<CKelCoord2D>& pts)
{
  CSphereCoordD2DArray out;
  for (const CKelCoord2D& p : pts)
    out.emplace_back(p.m_x, p.m_y, 0, 0, 0);
  return out;
}

}  // namespace sky_test
