#pragma once
// What every closed outline shares whatever its vertex type: the cyclic
// index of its vertices and its signed shoelace area.
//
// A closed outline's last vertex joins its first; the first is never stored
// again at the end. Vertices have m_x and m_y (metres), or are reached
// through a projection that gives something that has.

#include <cstddef>

// i brought into 0..n-1 by whole rounds, either way: -1 is n-1, n is 0.
// n must be positive.
constexpr int CyclicIndex(int i, int n) { return ((i % n) + n) % n; }

// Twice the signed area the edge prev -> cur adds to its outline's. Every
// sum that must agree bit for bit with SignedShoelaceArea adds these.
inline double ShoelaceTerm(double prevX, double prevY, double curX, double curY)
{
  return (prevX - curX) * (prevY + curY);
}

// The signed area of the closed outline pts: positive counter-clockwise, 0
// for fewer than three vertices' worth of outline. The sum runs from the
// edge (last, first) onwards, so every caller gets the same last bits.
template <class Points, class Position>
double SignedShoelaceArea(const Points& pts, Position position)
{
  const std::size_t n = pts.size();
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto& prev = position(pts[i == 0 ? n - 1 : i - 1]);
    const auto& cur = position(pts[i]);
    sum += ShoelaceTerm(prev.m_x, prev.m_y, cur.m_x, cur.m_y);
  }
  return 0.5 * sum;
}

template <class Points>
double SignedShoelaceArea(const Points& pts)
{
  return SignedShoelaceArea(pts, [](const auto& p) -> const auto& { return p; });
}
