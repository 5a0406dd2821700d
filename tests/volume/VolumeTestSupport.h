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

// Two basements, three storeys above ground and one in the upper group, all
// 3 m high on a base level of 0: levels -6, -3, 0, 3, 6, 9, 12.
inline CPrfPlanItem SampleProfile()
{
  CPrfPlanItem item;
  item.m_T = 6;
  item.m_B = 2;
  item.m_G = 3;
  item.m_P = 1;
  item.SBCalcEx(0, 3);
  return item;
}

inline CPrfPlanParam SampleList()
{
  CPrfPlanParam list;
  list.push_back(SampleProfile());
  return list;
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
