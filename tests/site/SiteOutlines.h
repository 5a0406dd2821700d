#pragma once
// Many-sided site outlines for the check-line tests and benchmarks.

#include <cmath>

#include "CKelArea.h"
#include "CKelCoord.h"
#include "KelTolerance.h"

namespace site_test {

// A gentle star about the origin: radii 100 and 98 alternating. At a check
// distance of 5 its line is mostly arcs, with a small loop at every notch.
inline CKelArea<CKelCoord2D> Star(int n)
{
  CKelArea<CKelCoord2D> star;
  for (int k = 0; k < n; ++k) {
    const double a = KelAngle::TwoPi * k / n;
    const double r = k % 2 == 0 ? 100 : 98;
    star.m_pt.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  return star;
}

// 2 + 4 x teeth vertices: teeth 2 wide and 10 high with gaps of 2, narrower
// than twice a check distance of 5, so each gap leaves a loop to cut.
inline CKelArea<CKelCoord2D> Comb(int teeth)
{
  CKelArea<CKelCoord2D> comb;
  comb.m_pt = {{0, 0}, {4.0 * teeth, 0}};
  for (int i = teeth - 1; i >= 0; --i) {
    const double x = 4.0 * i;
    comb.m_pt.insert(comb.m_pt.end(), {{x + 2, 5}, {x + 2, 15}, {x, 15}, {x, 5}});
  }
  return comb;
}

// About n vertices: a base 10 high under teeth 2 cm wide and 2 cm deep with
// gaps of 2 cm, as a surveyed fence line with posts. At a large check
// distance the arcs of all teeth cross each other, though few of those
// crossings are on the line.
inline CKelArea<CKelCoord2D> FineComb(int n)
{
  const int teeth = (n - 2) / 4;
  CKelArea<CKelCoord2D> comb;
  comb.m_pt = {{0, 0}, {0.04 * teeth, 0}};
  for (int i = teeth - 1; i >= 0; --i) {
    const double x = 0.04 * i;
    comb.m_pt.insert(comb.m_pt.end(), {{x + 0.02, 10}, {x + 0.02, 10.02}, {x, 10.02}, {x, 10}});
  }
  return comb;
}

// n vertices: a rectangle 20 high whose bottom edge is a sawtooth 1 mm deep
// at a pitch of 1 cm.
inline CKelArea<CKelCoord2D> Sawtooth(int n)
{
  CKelArea<CKelCoord2D> saw;
  const int points = n - 2;
  for (int i = 0; i < points; ++i)
    saw.m_pt.emplace_back(0.01 * i, i % 2 == 1 ? -0.001 : 0.0);
  const double w = 0.01 * (points - 1);
  saw.m_pt.insert(saw.m_pt.end(), {{w, 20}, {0, 20}});
  return saw;
}

}  // namespace site_test
