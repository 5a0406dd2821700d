#pragma once
// The shared vertices of a sphere block parameter's touching edges without
// passing over the edges out of reach run by run: every edge measured
// against every other on the outline as a walk found it. Kept only so that
// tests can check that the faster form inserts the same vertices.

#include <algorithm>
#include <cmath>
#include <vector>

#include "CSphereRatioBlockParam.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace param_cut_previous {

constexpr double kTol = KelTol::SkyDisc;
constexpr double kContact = KelTol::SkyContact;
constexpr int kInsertsPerVertex = 8;

inline bool StrictlyBetween(double x, double a, double b)
{
  return (a < x - kTol && x < b - kTol) || (b < x - kTol && x < a - kTol);
}

// Whether edge a-b meets segment p1-p2 (disc positions), ends included.
inline bool Touches(const CKelCoord2D& p1, double c, double s, double len, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double ua = (a.m_x - p1.m_x) * c + (a.m_y - p1.m_y) * s;
  const double va = (a.m_y - p1.m_y) * c - (a.m_x - p1.m_x) * s;
  const double ub = (b.m_x - p1.m_x) * c + (b.m_y - p1.m_y) * s;
  const double vb = (b.m_y - p1.m_y) * c - (b.m_x - p1.m_x) * s;
  const auto inside = [len](double u) { return u >= -kContact && u <= len + kContact; };
  if (std::fabs(va - vb) <= kContact)
    return std::fabs(va) <= kContact && std::fabs(vb) <= kContact && (inside(ua) || inside(ub));
  if ((va > kContact && vb > kContact) || (va < -kContact && vb < -kContact))
    return false;
  return inside(ua - va * (ub - ua) / (vb - va));
}

inline bool ContactPoints(const CSphereRatioBlockParam& param, int j, const CSphereCoordD2D& p1, const CSphereCoordD2D& p2,
                          std::vector<CSphereCoordD2D>& out)
{
  const std::size_t n = param.m_pt.size();
  const CSphereCoordD2D& a = param.m_pt[static_cast<std::size_t>(j)];
  const CSphereCoordD2D& b = param.m_pt[(static_cast<std::size_t>(j) + 1) % n];
  if (std::fabs(b.m_AD - a.m_AD) > kTol) {
    for (const CSphereCoordD2D* end : {&p1, &p2}) {
      if (!StrictlyBetween(end->m_AD, a.m_AD, b.m_AD))
        continue;
      const double t = (end->m_AD - a.m_AD) / (b.m_AD - a.m_AD);
      // Two ends at one azimuth are one point: the second stays.
      if (!out.empty() && std::fabs(out.back().m_AD - end->m_AD) <= kTol)
        out.pop_back();
      out.push_back(AnglePoint(end->m_AD, a.m_AE + t * (b.m_AE - a.m_AE)));
    }
    const bool rising = b.m_AD > a.m_AD;
    std::sort(out.begin(), out.end(), [rising](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
      return rising ? x.m_AD < y.m_AD : x.m_AD > y.m_AD;
    });
    // The inserted points must run strictly in the edge's direction.
    double last = a.m_AD;
    for (const CSphereCoordD2D& p : out) {
      if (!(rising ? last < p.m_AD : last > p.m_AD))
        return false;
      last = p.m_AD;
    }
    if (!out.empty() && !(rising ? last < b.m_AD : last > b.m_AD))
      return false;
  }
  if (!out.empty())
    return true;
  const CKelCoord2D ca(a.m_AD, a.m_AE), cb(b.m_AD, b.m_AE);
  CKelCoord2D x;
  if (!CalCrossPoint10(CKelCoord2D(p1.m_AD, p1.m_AE), CKelCoord2D(p2.m_AD, p2.m_AE), ca, cb, &x))
    return true;
  double c = 1, s = 0, len = 0;
  CalcCosSin(ca, cb, &c, &s, &len);
  const double t = (x.m_x - ca.m_x) * c + (x.m_y - ca.m_y) * s;
  if (t > kContact && t < len - kContact)
    out.push_back(AnglePoint(x.m_x, x.m_y));
  return true;
}

// The points each edge receives from every edge touching it, measured on
// the outline as it stands, merged along the edge one per azimuth.
inline bool CollectContacts(const CSphereRatioBlockParam& param, std::vector<CSphereCoordD2DArray>& found)
{
  const int n = static_cast<int>(param.m_pt.size());
  for (int i1 = 0; i1 < n; ++i1) {
    const int i2 = (i1 + 1) % n;
    const CSphereCoordD2D& p1 = param.m_pt[static_cast<std::size_t>(i1)];
    const CSphereCoordD2D& p2 = param.m_pt[static_cast<std::size_t>(i2)];
    double c = 1, s = 0, len = 0;
    if (!CalcCosSin(p1.m_Pos, p2.m_Pos, &c, &s, &len))
      continue;
    for (int j = 0; j < n; ++j) {
      const int jn = (j + 1) % n;
      if (j == i1 || j == i2 || jn == i1)
        continue;
      if (!Touches(p1.m_Pos, c, s, len, param.m_pt[static_cast<std::size_t>(j)].m_Pos,
                   param.m_pt[static_cast<std::size_t>(jn)].m_Pos))
        continue;
      std::vector<CSphereCoordD2D> add;
      if (!ContactPoints(param, j, p1, p2, add))
        return false;
      found[static_cast<std::size_t>(j)].insert(found[static_cast<std::size_t>(j)].end(), add.begin(), add.end());
    }
  }
  for (int j = 0; j < n; ++j) {
    CSphereCoordD2DArray& add = found[static_cast<std::size_t>(j)];
    const CSphereCoordD2D& a = param.m_pt[static_cast<std::size_t>(j)];
    const CSphereCoordD2D& b = param.m_pt[static_cast<std::size_t>((j + 1) % n)];
    const bool rising = b.m_AD > a.m_AD;
    std::sort(add.begin(), add.end(), [rising](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
      return rising ? x.m_AD < y.m_AD : x.m_AD > y.m_AD;
    });
    add.erase(std::unique(add.begin(), add.end(),
                          [](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
                            return std::fabs(x.m_AD - y.m_AD) <= kTol;
                          }),
              add.end());
    if (add.empty() || std::fabs(b.m_AD - a.m_AD) <= kTol)
      continue;
    double last = a.m_AD;
    for (const CSphereCoordD2D& p : add) {
      if (!(rising ? last < p.m_AD : last > p.m_AD))
        return false;
      last = p.m_AD;
    }
    if (!(rising ? last < b.m_AD : last > b.m_AD))
      return false;
  }
  return true;
}

inline bool CheckCross(CSphereRatioBlockParam& param)
{
  int budget = kInsertsPerVertex * static_cast<int>(param.m_pt.size()) + 64;
  // Walked again until a walk inserts nothing, as the faster form is.
  for (;;) {
    std::vector<CSphereCoordD2DArray> found(param.m_pt.size());
    if (!CollectContacts(param, found))
      return false;
    int inserted = 0;
    for (std::size_t j = found.size(); j-- > 0;) {
      inserted += static_cast<int>(found[j].size());
      param.m_pt.insert(param.m_pt.begin() + static_cast<std::ptrdiff_t>(j) + 1, found[j].begin(), found[j].end());
    }
    budget -= inserted;
    if (budget < 0)
      return false;
    if (inserted == 0)
      return true;
  }
}

}  // namespace param_cut_previous
