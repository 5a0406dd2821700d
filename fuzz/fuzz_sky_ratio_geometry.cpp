// Turns bytes into up to 8 blocks and a check point and computes the sky
// factor by the outline and the sector methods. Whatever the geometry, the
// calculation ends with a ratio (result 0) or a code and the ratio -1, and
// never with a number that is not one.
//
// Input: byte 0 the settings (angle step, expansion kind, two-sided,
// projection flag, rounding), byte 1 the check point's height and the frame
// angle; then per block one byte of vertex count (3 to 6) and bottom, and
// per vertex three bytes (x, y, top height), signed, in metres.

#include <cmath>
#include <cstdint>

#include "CKelBlockCubeArray.h"
#include "CSphereRatioBlock.h"
#include "KernelFuzzSupport.h"

namespace {

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
  return 0;
}
