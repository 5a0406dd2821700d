#pragma once
// Blocks for the sky-factor tests: boxes standing on z 0 or floating, and
// the check point's frame moved and turned with them.

#include <cmath>

#include "CKelBlockCoord.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"

namespace sky_test {

// A box over [x0, x1] x [y0, y1] from bottom to top, turned by angle about
// the origin and moved by (dx, dy, dz).
inline CKelBlockCube Box(double x0, double x1, double y0, double y1, double top, double bottom = 0, double angle = 0,
                         double dx = 0, double dy = 0, double dz = 0)
{
  CKelBlockCube block;
  const double c = std::cos(angle), s = std::sin(angle);
  for (const auto& [x, y] : {std::pair{x0, y0}, std::pair{x1, y0}, std::pair{x1, y1}, std::pair{x0, y1}}) {
    block.Append(CKelBlockCoord(c * x - s * y + dx, s * x + c * y + dy, top + dz, bottom + dz));
  }
  block.SetType();
  return block;
}

inline CKelBlockCubeArray Blocks(std::initializer_list<CKelBlockCube> list)
{
  CKelBlockCubeArray blocks;
  for (const CKelBlockCube& b : list)
    blocks.AddBlock(b);
  return blocks;
}

}  // namespace sky_test
