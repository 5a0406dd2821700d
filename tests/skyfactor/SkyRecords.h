#pragma once
// Results and files for the tests of the check-point records: a sky-factor
// block computed for a box (so its records carry real outlines), a
// shadow-sphere entry holding it with two marks, and raw block files.

#include <cstdint>
#include <fstream>
#include <string>

#include "CHikageSphereParam.h"
#include "KelTestSupport.h"
#include "SkyBlocks.h"

namespace sky_test {

// The sky factor of a box 10 m north of the origin, by the outline method.
inline CSphereRatioBlock ComputedResult(double top = 20)
{
  CSphereRatioBlock result;
  result.m_AngleStep = 10;
  double ratio = 0;
  EXPECT_EQ(0, result.CalcSphereRatio(nullptr, -1, 0, false, Blocks({Box(-5, 5, 10, 20, top)}), CKelCoord3D(0, 0, 0),
                                      &ratio, false));
  return result;
}

inline CSphereAngleParam UsedMark(double x, double houi)
{
  CSphereAngleParam mark;
  mark.m_bUse = true;
  mark.m_Coord = CKelCoord3D(x, 10, 20);
  mark.m_Houi = houi;
  mark.m_Angle = 0.5;
  return mark;
}

inline CHikageSphereParam SphereEntry(std::int32_t no, double top = 20)
{
  CHikageSphereParam entry;
  entry.m_SphereRatioBlock = ComputedResult(top);
  entry.m_CpntNo = no;
  entry.m_AngleParam.push_back(UsedMark(-5, 1.25));
  entry.m_AngleParam.push_back(UsedMark(5, 1.75));
  return entry;
}

inline void WriteFile(const std::string& path, const kel_test::Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One block of a block file: u32 id, u32 length, the body.
inline kel_test::Bytes FileBlock(std::uint32_t id, const kel_test::Bytes& body)
{
  kel_test::ByteBuilder b;
  b.I32(static_cast<std::int32_t>(id)).I32(static_cast<std::int32_t>(body.size())).Append(body);
  return b.bytes;
}

}  // namespace sky_test
