#pragma once
// Scenes of vertical prisms for the sky-factor tests, their blocks as a
// survey places them, and the exact sky they leave.
//
// The exact integral: for vertical prisms seen from a check point, the sky
// a direction of azimuth a covers is known in closed form, the union of the
// elevation intervals [atan(bottom / far), the top's elevation at the
// near or the far end] of the stretches of the azimuth's ray inside each
// prism (a planar top's height over distance runs one way along the ray).
// On the orthographic disc an elevation interval [lo, hi] at one azimuth
// covers (cos^2 lo - cos^2 hi) / 2 per radian; the covered share is its
// integral over azimuth divided by pi, taken by Gauss-Legendre between the
// corners' azimuths, where the integrand is smooth.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CKelBlockCoord.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "KelTolerance.h"
#include "SitePlacement.h"

namespace sky_test {

struct XY {
  double x, y;
};

// A vertical prism over a counter-clockwise outline; tops, when given, one
// per corner (a sloped top).
struct Prism {
  std::vector<XY> outline;
  double top, bottom;
  std::vector<double> tops = {};
};

inline Prism PrismBox(double x0, double x1, double y0, double y1, double top, double bottom = 0)
{
  return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, top, bottom};
}

// The prisms' blocks, placed by at (as drawn by default).
inline CKelBlockCubeArray Blocks(const std::vector<Prism>& prisms, const site_test::Placement& at = {0, 0, 0})
{
  CKelBlockCubeArray blocks;
  for (const Prism& p : prisms) {
    CKelBlockCube block;
    for (std::size_t k = 0; k < p.outline.size(); ++k) {
      const CKelCoord2D v = at.To(CKelCoord2D(p.outline[k].x, p.outline[k].y));
      block.Append(CKelBlockCoord(v.m_x, v.m_y, p.tops.empty() ? p.top : p.tops[k], p.bottom));
    }
    block.SetType();
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    blocks.AddBlock(block);
  }
  return blocks;
}

// The covered elevation per radian of azimuth a, as said above; with
// upper, everything under the highest covered elevation, as the two-sided
// fans count it.
inline double CoveredAt(const std::vector<Prism>& prisms, const CKelCoord3D& eye, double a, bool upper)
{
  const double dx = std::cos(a), dy = std::sin(a);
  std::vector<std::pair<double, double>> spans;
  for (const Prism& p : prisms) {
    const std::size_t n = p.outline.size();
    const auto topAt = [&](std::size_t k) { return (p.tops.empty() ? p.top : p.tops[k % n]) - eye.m_z; };
    double highest = topAt(0);
    for (std::size_t k = 1; k < n; ++k)
      highest = std::max(highest, topAt(k));
    if (!(highest > 0))
      continue;
    // Where the ray crosses the outline: the distance and the top's height
    // (a planar top's elevation along the ray is highest at one of them).
    std::vector<std::pair<double, double>> cuts;
    for (std::size_t k = 0; k < n; ++k) {
      const XY a0{p.outline[k].x - eye.m_x, p.outline[k].y - eye.m_y};
      const XY a1{p.outline[(k + 1) % n].x - eye.m_x, p.outline[(k + 1) % n].y - eye.m_y};
      const double s0 = dx * a0.y - dy * a0.x, s1 = dx * a1.y - dy * a1.x;
      if ((s0 > 0) == (s1 > 0))
        continue;
      const double t = s0 / (s0 - s1);
      const double d = (a0.x + t * (a1.x - a0.x)) * dx + (a0.y + t * (a1.y - a0.y)) * dy;
      if (d > 0)
        cuts.emplace_back(d, topAt(k) + t * (topAt(k + 1) - topAt(k)));
    }
    std::sort(cuts.begin(), cuts.end());
    const double bottom = p.bottom - eye.m_z;
    for (std::size_t k = 0; k + 1 < cuts.size(); k += 2) {
      const double hi = std::max(std::atan2(cuts[k].second, cuts[k].first), std::atan2(cuts[k + 1].second, cuts[k + 1].first));
      const double lo = bottom > 0 ? std::atan2(bottom, cuts[k + 1].first) : 0.0;
      if (hi > lo)
        spans.emplace_back(lo, hi);
    }
  }
  std::sort(spans.begin(), spans.end());
  const auto share = [](double lo, double hi) {
    return (std::cos(lo) * std::cos(lo) - std::cos(hi) * std::cos(hi)) / 2;
  };
  if (upper) {
    double top = 0;
    for (const auto& span : spans)
      top = std::max(top, span.second);
    return share(0, top);
  }
  double sum = 0;
  for (std::size_t k = 0; k < spans.size();) {
    double lo = spans[k].first, hi = spans[k].second;
    for (++k; k < spans.size() && spans[k].first <= hi; ++k)
      hi = std::max(hi, spans[k].second);
    sum += share(lo, hi);
  }
  return sum;
}

inline double ExactRatio(const std::vector<Prism>& prisms, const CKelCoord3D& eye, bool upper = false)
{
  std::vector<double> corners{0, KelAngle::TwoPi};
  for (const Prism& p : prisms) {
    for (const XY& v : p.outline) {
      const double a = std::atan2(v.y - eye.m_y, v.x - eye.m_x);
      corners.push_back(a < 0 ? a + KelAngle::TwoPi : a);
    }
  }
  std::sort(corners.begin(), corners.end());
  static const double kX[] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
  static const double kW[] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
  constexpr double kPiece = 0.05 * KelAngle::Pi / 180;
  double covered = 0;
  for (std::size_t i = 0; i + 1 < corners.size(); ++i) {
    const double a0 = corners[i], a1 = corners[i + 1];
    const int m = std::max(1, static_cast<int>(std::ceil((a1 - a0) / kPiece)));
    const double w = (a1 - a0) / m;
    for (int j = 0; j < m; ++j) {
      const double c = a0 + (j + 0.5) * w;
      for (int k = 0; k < 4; ++k)
        covered += kW[k] * w / 2 * CoveredAt(prisms, eye, c + kX[k] * w / 2, upper);
    }
  }
  return 1 - covered / KelAngle::Pi;
}


}  // namespace sky_test
