// What the set operations share of their other operand: the sides of a
// line that a block lies off strictly, and the operand as its convex pieces
// with each piece's edges as such lines.

#pragma once

#include <cmath>
#include <vector>

#include "CKelBlockCube.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelPassIndex.h"
#include "KelTolerance.h"

namespace kel_set {

inline constexpr int kLeft = CKelBlockCube::DEL_TOP;
inline constexpr int kRight = CKelBlockCube::DEL_BOT;

// The side of the line that every vertex of a block lies off by the on-line
// tolerance or more, or 0. Such a block is one that the division cannot
// touch: no vertex on the line and no edge across it. The measure is
// KelEdge::Measure's with the line's frame worked out once.
class StrictSides {
public:
  StrictSides(const CKelCoord2D& p1, const CKelCoord2D& p2) : m_p1(p1)
  {
    double len = 0;
    CalcCosSin(p1, p2, &m_c, &m_s, &len);
  }
  int Of(const CKelBlockCube& block) const { return Of(block.m_Coord); }

  template <class Points>
  int Of(const Points& points) const
  {
    int sides = 0;
    for (const CKelCoord2D& v : points) {
      const double h = m_c * (v.m_y - m_p1.m_y) - m_s * (v.m_x - m_p1.m_x);
      if (h >= KelTol::BlockPoint)
        sides |= kLeft;
      else if (h <= -KelTol::BlockPoint)
        sides |= kRight;
      else
        return 0;
    }
    return sides == kLeft || sides == kRight ? sides : 0;
  }
  KelPassIndex::Line Line() const { return {m_c, m_s, m_p1}; }
  const CKelCoord2D& Start() const { return m_p1; }

private:
  CKelCoord2D m_p1;
  double m_c = 1;
  double m_s = 0;
};

// Whether two plan extents lie more than margin apart along x or y.
inline bool ExtentsApart(const KelEdge::Extents& a, const KelEdge::Extents& b, double margin)
{
  return a.xmin > b.xmax + margin || a.xmax < b.xmin - margin || a.ymin > b.ymax + margin ||
         a.ymax < b.ymin - margin;
}

// Whether a block's plan points lie apart from the operand's extents by more
// than the on-line band: then nothing of the block is inside the operand,
// and no vertex of it lies within the band of any point of the operand.
// Such a block is not divided by the operand's edge lines, which only run
// through it: a subtraction files it whole, inside where it lies strictly
// left of an edge and outside otherwise, so that a subtracted block far away
// leaves it as it is (the division and the merge after it would move its
// vertices by round-off, snap those within the band of the line onto it and
// leave it split where the merge refuses). A block with a coordinate that
// is not a finite number is never apart.
template <class Points>
bool ApartFromOperand(const Points& points, const KelEdge::Extents& operand)
{
  if (points.empty())
    return false;
  for (const CKelCoord2D& p : points) {
    if (!std::isfinite(p.m_x) || !std::isfinite(p.m_y))
      return false;
  }
  return ExtentsApart(KelPassIndex::ExtentsOf(points), operand, KelTol::BlockPoint);
}

// The other operand of a set operation as its convex pieces, worked out
// once for every block it meets, with each piece's edges in the order the
// clip takes them (the closing edge first).
struct ConvexOperand {
  bool usable = false;
  CKelBlockCubeList pieces;
  std::vector<std::vector<StrictSides>> edges;
  KelEdge::Extents box;
};

}  // namespace kel_set
