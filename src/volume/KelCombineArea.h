#pragma once
// The area test of the two-block combination: a merged outline that swallowed
// a hole the walk stepped over lacks the hole's area.
//
// The areas are measured from a point of the blocks rather than from
// (0, 0). A shoelace term is a product of coordinates, so its round-off
// grows with their size: plane-rectangular coordinates 3e5 m out leave a
// few 1e-6 m² in the sum, past the band of the test.
//
// The test is passed by the outline as the two parts make it or as the
// clean-up leaves it. The clean-up may move the area past the band with
// no hole lost: where a cut ran a hair past a surveyed vertex, it drops
// that vertex, micrometres off the line through the cut's end and its other
// neighbour, rather than the cut's end.

#include <cmath>

#include "CKelBlockCube.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"

namespace kel_combine {

// The first vertex of the block; (0, 0) when it has none or it is not a
// pair of finite numbers (an outline that is not a number stays one).
inline CKelCoord2D AreaOrigin(const CKelBlockCube& block)
{
  if (block.m_Coord.empty() || !std::isfinite(block.m_Coord[0].m_x) || !std::isfinite(block.m_Coord[0].m_y))
    return CKelCoord2D(0, 0);
  return CKelCoord2D(block.m_Coord[0].m_x, block.m_Coord[0].m_y);
}

// The signed plan area of the outline with origin moved to (0, 0).
inline double AreaFrom(const CKelBlockCoordArray& coords, const CKelCoord2D& origin)
{
  const std::size_t n = coords.size();
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const CKelBlockCoord& prev = coords[i == 0 ? n - 1 : i - 1];
    const CKelBlockCoord& cur = coords[i];
    sum += ShoelaceTerm(prev.m_x - origin.m_x, prev.m_y - origin.m_y, cur.m_x - origin.m_x, cur.m_y - origin.m_y);
  }
  return 0.5 * sum;
}

// Whether the outline's area from origin is whole within KelTol::BlockAreaSign.
inline bool KeepsArea(const CKelBlockCoordArray& coords, const CKelCoord2D& origin, double whole)
{
  return std::fabs(AreaFrom(coords, origin) - whole) <= KelTol::BlockAreaSign;
}

}  // namespace kel_combine
