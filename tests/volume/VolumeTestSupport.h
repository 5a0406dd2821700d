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

namespace vol_test {

// Signed volume under the top of a block, as a triangle fan: each
// triangle's plan area times its mean corner height.
inline double Volume(const CKelBlockCube& block)
{
  double v = 0;
  const auto& c = block.m_Coord;
  for (std::size_t k = 1; k + 1 < c.size(); ++k) {
    const double area = ((c[k].m_x - c[0].m_x) * (c[k + 1].m_y - c[0].m_y) -
                         (c[k + 1].m_x - c[0].m_x) * (c[k].m_y - c[0].m_y)) / 2;
    v += area * ((c[0].m_z - c[0].m_zL) + (c[k].m_z - c[k].m_zL) + (c[k + 1].m_z - c[k + 1].m_zL)) / 3;
  }
  return v;
}

inline double Volume(const CKelBlockCubeArray& list)
{
  double v = 0;
  for (const CKelBlockCube& b : list)
    v += Volume(b);
  return v;
}

// A list of the blocks, each added (normalised) in order.
inline CKelBlockCubeArray ListOf(std::initializer_list<CKelBlockCube> blocks)
{
  CKelBlockCubeArray list;
  for (const CKelBlockCube& b : blocks)
    list.AddBlock(b);
  return list;
}

// Plan area recomputed from the outlines.
inline double Area(const CKelBlockCubeArray& list)
{
  double a = 0;
  for (const CKelBlockCube& b : list)
    a += b.CalcArea();
  return a;
}

}  // namespace vol_test
