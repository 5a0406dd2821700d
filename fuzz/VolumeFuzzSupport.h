#pragma once
// What the volume model's fuzz targets share: every block a reader gave goes
// through its shape and plane checks, which must cope with any numbers.

#include "CKelBlockCube.h"

namespace VolumeFuzz {

inline void Exercise(CKelBlockCube block)
{
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
