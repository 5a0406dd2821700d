#pragma once
// Helpers of the volume tests on top of the kernel's: the archive of the
// lists that store themselves through Serialize2, and a sample floor profile.

#include <initializer_list>
#include <tuple>

#include "../kernel/KelTestSupport.h"
#include "CKelBlockCubeArray.h"

namespace vol_test {

using kel_test::Bytes;

template <class T>
Bytes Archived2(T object, int version)
{
  CKelMemoryArchive ar(version);
  EXPECT_TRUE(object.Serialize2(ar));
  return ar.GetBytes();
}

template <class T>
bool Unarchive2(T& object, const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  return object.Serialize2(ar);
}

// A block over the vertices (x, y, top, bottom) in the given order, with
// both planes fitted; nothing else is normalised.
inline CKelBlockCube Block(std::initializer_list<std::tuple<double, double, double, double>> vertices)
{
  CKelBlockCube block;
  for (const auto& [x, y, z, zL] : vertices)
    block.Append(CKelBlockCoord(x, y, z, zL));
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  return block;
}

// A counter-clockwise box over (x0, y0)-(x1, y1) with a level top and bottom.
inline CKelBlockCube Box(double x0, double y0, double x1, double y1, double top, double bottom = 0)
{
  CKelBlockCube block = Block({{x0, y0, top, bottom}, {x1, y0, top, bottom}, {x1, y1, top, bottom}, {x0, y1, top, bottom}});
  block.SetMinMax();
  block.SetType();
  return block;
}

}  // namespace vol_test
