#pragma once
// A reference for the sky factor by sampling rays: the sky disc is cut into
// n x n cells of equal area (n steps of azimuth times n steps of the
// squared radius), one ray per cell at a jittered place, and the sky factor
// is the share of rays no block stops. The orthographic disc weights a
// direction of elevation e at radius cos e, so a ray at disc radius r rises
// at acos r.
//
// A ray is stopped by a block when, on a stretch of its plan line inside
// the block's outline, its height lies between the block's bottom and top
// planes; both planes are linear along the stretch, so the test is exact
// for sloped tops, floating blocks and blocks below the check point.
//
// Random numbers: std::mt19937_64 with the given seed, doubles made here
// from the top 53 bits (no library distribution), so every platform draws
// the same rays.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"

namespace sky_test {

class RayReference {
public:
  RayReference(const CKelBlockCubeArray& blocks, const CKelCoord3D& chk) : m_Chk(chk)
  {
    for (const CKelBlockCube& block : blocks)
      m_Blocks.push_back(Prepare(block));
  }

  // The open share of the disc from n x n rays.
  double SkyFactor(int n, std::uint64_t seed) const
  {
    std::mt19937_64 rng(seed);
    const auto uniform = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    const double twoPi = 6.283185307179586;
    std::int64_t open = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const double az = twoPi * (i + uniform()) / n;
        const double r = std::sqrt((j + uniform()) / n);
        if (!Blocked(az, std::acos(std::min(r, 1.0))))
          ++open;
      }
    }
    return static_cast<double>(open) / (static_cast<double>(n) * n);
  }

  // Whether the ray at azimuth az (world, radians from +x) rising at e is
  // stopped by a block.
  bool Blocked(double az, double e) const
  {
    const double dx = std::cos(az), dy = std::sin(az), slope = std::tan(e);
    return std::any_of(m_Blocks.begin(), m_Blocks.end(), [&](const Solid& s) {
      return s.InSpan(az) && Stops(s, dx, dy, slope, m_Buffer);
    });
  }

private:
  // A block's outline relative to the check point and its planes: height
  // = a x + b y + c at plan offset (x, y), relative to the check point.
  struct Solid {
    std::vector<CKelCoord2D> outline;
    double top[3] = {0, 0, 0};
    double bottom[3] = {0, 0, 0};
    // The azimuths the outline spans seen from the check point (a quick
    // test only): centre and half width; every azimuth when it holds or
    // nearly touches the check point.
    double centre = 0;
    double half = 4;

    bool InSpan(double az) const
    {
      const double d = std::remainder(az - centre, 6.283185307179586);
      return std::fabs(d) <= half;
    }
  };

  CKelCoord3D m_Chk;
  std::vector<Solid> m_Blocks;
  mutable std::vector<double> m_Buffer;

  static void SetSpan(Solid& s)
  {
    double cx = 0, cy = 0;
    for (const CKelCoord2D& v : s.outline) {
      cx += v.m_x;
      cy += v.m_y;
    }
    s.centre = std::atan2(cy, cx);
    double half = 0;
    for (const CKelCoord2D& v : s.outline) {
      if (std::hypot(v.m_x, v.m_y) < 1e-6)
        return;
      half = std::max(half, std::fabs(std::remainder(std::atan2(v.m_y, v.m_x) - s.centre, 6.283185307179586)));
    }
    // A span near a half turn may hold the check point: test everything.
    if (half < 1.5)
      s.half = half + 1e-9;
  }

  Solid Prepare(CKelBlockCube block) const
  {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    Solid s;
    for (const auto& v : block.m_Coord)
      s.outline.emplace_back(v.m_x - m_Chk.m_x, v.m_y - m_Chk.m_y);
    const auto plane = [&](bool bottom, double* out) {
      // A x + B y + C z + D = 0 in world metres.
      const double A = block.PlaneA(bottom), B = block.PlaneB(bottom), C = block.PlaneC(bottom),
                   D = block.PlaneD(bottom);
      out[0] = -A / C;
      out[1] = -B / C;
      out[2] = -(A * m_Chk.m_x + B * m_Chk.m_y + D) / C - m_Chk.m_z;
    };
    plane(false, s.top);
    plane(true, s.bottom);
    SetSpan(s);
    return s;
  }

  static double Height(const double* p, double x, double y) { return p[0] * x + p[1] * y + p[2]; }

  // The stretches [t0, t1] of the plan ray (from the check point along
  // (dx, dy)) inside the outline, by the even-odd rule.
  static void Crossings(const Solid& s, double dx, double dy, std::vector<double>& ts)
  {
    ts.clear();
    const std::size_t n = s.outline.size();
    for (std::size_t k = 0; k < n; ++k) {
      const CKelCoord2D& a = s.outline[k];
      const CKelCoord2D& b = s.outline[(k + 1) % n];
      const double sa = dx * a.m_y - dy * a.m_x, sb = dx * b.m_y - dy * b.m_x;
      if ((sa > 0) == (sb > 0))
        continue;
      const double f = sa / (sa - sb);
      const double x = a.m_x + f * (b.m_x - a.m_x), y = a.m_y + f * (b.m_y - a.m_y);
      const double t = x * dx + y * dy;
      if (t > 0)
        ts.push_back(t);
    }
    std::sort(ts.begin(), ts.end());
    if (ts.size() % 2 == 1)
      ts.insert(ts.begin(), 0.0);  // the check point lies inside
  }

  // Where on [t0, t1] the linear g(t) = g0 + (g1 - g0)(t - t0)/(t1 - t0) is
  // at least 0, narrowing [lo, hi].
  static void Keep(double g0, double g1, double t0, double t1, double& lo, double& hi)
  {
    if (g0 >= 0 && g1 >= 0)
      return;
    if (g0 < 0 && g1 < 0) {
      lo = 1;
      hi = 0;
      return;
    }
    const double tz = t0 + (t1 - t0) * g0 / (g0 - g1);
    if (g0 < 0)
      lo = std::max(lo, tz);
    else
      hi = std::min(hi, tz);
  }

  static bool Stops(const Solid& s, double dx, double dy, double slope, std::vector<double>& ts)
  {
    Crossings(s, dx, dy, ts);
    for (std::size_t k = 0; k + 1 < ts.size(); k += 2) {
      const double t0 = ts[k], t1 = ts[k + 1];
      const auto rayMinus = [&](const double* p, double t) { return slope * t - Height(p, t * dx, t * dy); };
      double lo = t0, hi = t1;
      Keep(rayMinus(s.bottom, t0), rayMinus(s.bottom, t1), t0, t1, lo, hi);   // above the bottom
      Keep(-rayMinus(s.top, t0), -rayMinus(s.top, t1), t0, t1, lo, hi);      // below the top
      if (lo <= hi)
        return true;
    }
    return false;
  }
};

}  // namespace sky_test
