#pragma once
// Shapes and measures for the tests of the block operations: plan outlines
// as point lists, the volume of a block, random star-shaped and comb
// outlines, and integer orthogonal outlines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "CKelBlockCube.h"

namespace vol_shape {

using Plan = std::vector<std::pair<double, double>>;

inline Plan PlanOf(const CKelBlockCube& block)
{
  Plan plan;
  for (const CKelBlockCoord& c : block.m_Coord)
    plan.emplace_back(c.m_x, c.m_y);
  return plan;
}

// A fan of signed triangles from vertex 0, each its area times the mean of
// its corners' top minus bottom: exact for planar top and bottom.
inline double Volume(const CKelBlockCube& block)
{
  const auto& v = block.m_Coord;
  double sum = 0;
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    const double area = 0.5 * ((v[i].m_x - v[0].m_x) * (v[i + 1].m_y - v[0].m_y) -
                               (v[i + 1].m_x - v[0].m_x) * (v[i].m_y - v[0].m_y));
    const double height =
        (v[0].m_z + v[i].m_z + v[i + 1].m_z) / 3 - (v[0].m_zL + v[i].m_zL + v[i + 1].m_zL) / 3;
    sum += area * height;
  }
  return sum;
}

inline double Perimeter(const CKelBlockCube& block)
{
  double sum = 0;
  for (int i = 0; i < block.GetSize(); ++i)
    sum += length_2point(block.m_Coord[static_cast<std::size_t>(block.PrevPos(i))],
                         block.m_Coord[static_cast<std::size_t>(i)]);
  return sum;
}

inline double MaxHeight(const CKelBlockCube& block)
{
  double h = 0;
  for (const CKelBlockCoord& c : block.m_Coord)
    h = std::max(h, c.m_z - c.m_zL);
  return h;
}

// A block over plan points with heights from planar top and bottom
// functions z = a + b x + c y; normalised as a block list would.
struct Planar {
  double a = 0, b = 0, c = 0;
  double At(double x, double y) const { return a + b * x + c * y; }
};

inline CKelBlockCube BlockOver(const Plan& plan, Planar top, Planar bottom = {})
{
  CKelBlockCube block;
  for (const auto& [x, y] : plan)
    block.Append(CKelBlockCoord(x, y, top.At(x, y), bottom.At(x, y)));
  block.SetMinMax();
  block.SetType();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  return block;
}

// n vertices at increasing angles about the origin, radii in [1, 10].
inline Plan Star(std::mt19937& rng, int n)
{
  std::uniform_real_distribution<double> radius(1.0, 10.0);
  std::uniform_real_distribution<double> jitter(0.1, 0.9);
  Plan plan;
  const double step = 6.283185307179586 / n;
  for (int i = 0; i < n; ++i) {
    const double angle = (i + jitter(rng)) * step;
    const double r = radius(rng);
    plan.emplace_back(r * std::cos(angle), r * std::sin(angle));
  }
  return plan;
}

// A comb of `teeth` teeth of width 1 and height 10 over a base of height 1,
// counter-clockwise; 4 * teeth vertices.
inline Plan Comb(int teeth)
{
  Plan plan{{0.0, -1.0}, {2.0 * teeth - 1, -1.0}};
  for (int t = teeth - 1; t >= 0; --t) {
    const double x = 2.0 * t;
    plan.emplace_back(x + 1, 10.0);
    plan.emplace_back(x, 10.0);
    if (t > 0) {
      plan.emplace_back(x, 0.0);
      plan.emplace_back(x - 1, 0.0);
    }
  }
  return plan;
}

// An integer orthogonal outline: a staircase over random column heights.
inline Plan OrthoSkyline(std::mt19937& rng, int columns)
{
  std::uniform_int_distribution<int> height(1, 6);
  Plan plan{{0.0, 0.0}, {static_cast<double>(columns), 0.0}};
  int previous = -1;
  for (int x = columns; x > 0; --x) {
    const int h = height(rng);
    if (h == previous) {
      plan.back().first = x - 1;
      continue;
    }
    plan.emplace_back(static_cast<double>(x), static_cast<double>(h));
    plan.emplace_back(static_cast<double>(x - 1), static_cast<double>(h));
    previous = h;
  }
  return plan;
}

}  // namespace vol_shape
