// Turns bytes into up to 8 blocks and a check point and computes the sky
// factor by the outline and the sector methods. Whatever the geometry, the
// calculation ends with a ratio (result 0) or a code and the ratio -1, and
// never with a number that is not one. The union's contact search, which
// passes over searches along the horizon that can insert nothing, must
// leave the pool and the polygons as its first form leaves them.
//
// Input: byte 0 the settings (angle step, expansion kind, two-sided,
// projection flag, rounding), byte 1 the check point's height and the frame
// angle; then per block one byte of vertex count (3 to 6) and bottom, and
// per vertex three bytes (x, y, top height), signed, in metres.

#include <bit>
#include <cmath>
#include <cstdint>

#include "CKelBlockCubeArray.h"
#include "CSphereRatioBlock.h"
#include "KernelFuzzSupport.h"
#include "SkyUnion.h"
#include "UnionLiteral.h"

namespace {

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

void SameContacts(const CSphereBlkDataArrayNew& registered)
{
  CSphereBlkDataArrayNew fast = registered;
  CSphereBlkDataArrayNew first = registered;
  KernelFuzz::Check(fast.CalcCrossPoint(nullptr) == union_literal::CalcCrossPoint(first, nullptr));
  KernelFuzz::Check(fast.m_PolyCoord.size() == first.m_PolyCoord.size());
  for (std::size_t k = 0; k < fast.m_PolyCoord.size(); ++k) {
    KernelFuzz::Check(SameBits(fast.m_PolyCoord[k].m_AD, first.m_PolyCoord[k].m_AD) &&
                      SameBits(fast.m_PolyCoord[k].m_AE, first.m_PolyCoord[k].m_AE));
  }
  KernelFuzz::Check(fast.m_PolyArea.size() == first.m_PolyArea.size());
  for (std::size_t j = 0; j < fast.m_PolyArea.size(); ++j) {
    KernelFuzz::Check(fast.m_PolyArea[j].Size() == first.m_PolyArea[j].Size());
    for (int k = 0; k < fast.m_PolyArea[j].Size(); ++k)
      KernelFuzz::Check(fast.m_PolyArea[j].IdxAt(k) == first.m_PolyArea[j].IdxAt(k));
  }
}

constexpr int kMaxBlocks = 8;
constexpr int kSteps[] = {10, 15, 30, 45, 7, 90, 20, 12};

double Signed(std::uint8_t b, double scale)
{
  return static_cast<std::int8_t>(b) * scale;
}

CKelBlockCubeArray Blocks(const std::uint8_t* data, std::size_t size)
{
  CKelBlockCubeArray blocks;
  std::size_t at = 0;
  while (at < size && blocks.Size() < kMaxBlocks) {
    const int count = 3 + data[at] % 4;
    const double bottom = (data[at] >> 2) % 8 == 0 ? 0.5 * (data[at] >> 5) : 0;
    ++at;
    if (at + 3 * static_cast<std::size_t>(count) > size)
      break;
    CKelBlockCube block;
    for (int k = 0; k < count; ++k, at += 3) {
      const double top = Signed(data[at + 2], 0.5);
      block.Append(CKelBlockCoord(Signed(data[at], 0.5), Signed(data[at + 1], 0.5), top, std::min(bottom, top)));
    }
    block.SetType();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    blocks.AddBlock(block);
  }
  return blocks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2 || size > 2 + kMaxBlocks * (1 + 6 * 3))
    return 0;
  const CKelBlockCubeArray blocks = Blocks(data + 2, size - 2);
  const CKelCoord3D chk(0, 0, Signed(data[1], 0.25) / 4);
  const double angle = (data[1] % 16) * 0.4;
  for (bool sansya : {false, true}) {
    CSphereRatioBlock r;
    r.m_AngleStep = kSteps[data[0] % 8];
    r.m_ExpandKind = (data[0] >> 3) % 4 - 1;
    r.m_bSide2 = (data[0] >> 5) & 1;
    r.m_bExpandInProjection = (data[0] >> 6) & 1;
    const int nRound = (data[0] >> 7) != 0 ? 0 : -1;
    double ratio = -2;
    const int code = r.CalcSphereRatio(nullptr, nRound, angle, false, blocks, chk, &ratio, sansya);
    KernelFuzz::Check(!std::isnan(ratio));
    KernelFuzz::Check(code == 0 ? ratio == r.m_Ratio : ratio == -1.0);
  }
  // At ground level too, where the blocks' bottom edges lie on the horizon.
  SameContacts(sky_test::RegisteredUnion(blocks, chk, angle));
  if (chk.m_z != 0)
    SameContacts(sky_test::RegisteredUnion(blocks, CKelCoord3D(0, 0, 0), angle));
  return 0;
}
