#pragma once
// What the volume model's fuzz targets share: every block a reader gave goes
// through its shape and plane checks, which must cope with any numbers and
// must refuse a block with a number not finite.

#include <cmath>

#include "CKelBlockCube.h"
#include "KernelFuzzSupport.h"

namespace VolumeFuzz {

inline bool VerticesFinite(const CKelBlockCube& block)
{
  for (const CKelBlockCoord& c : block.m_Coord) {
    if (!std::isfinite(c.m_x) || !std::isfinite(c.m_y) || !std::isfinite(c.m_z) || !std::isfinite(c.m_zL))
      return false;
  }
  return true;
}

inline void CheckNotFiniteRefused(const CKelBlockCube& block)
{
  if (block.GetSize() <= 64)  // the crossing check is quadratic
    KernelFuzz::Check(VerticesFinite(block) || CKelBlockCube(block).CheckBlock3(nullptr, false));
}

inline void Exercise(CKelBlockCube block)
{
  CheckNotFiniteRefused(block);
  block.SetMinMax();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  block.Check_block_status();
  block.IsOukata();
  block.ToArea();
  if (block.GetSize() > 0)
    block.GetCoord3D(-7);
}

}  // namespace VolumeFuzz
