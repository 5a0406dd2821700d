// Reads arbitrary bytes as the stored forms of projected points and angle
// marks: their raw records under a byte budget of the input's size, and the
// archives of their lists at any version. An outline that was read is
// divided into triangles, which must neither crash nor hang.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble); the rest is the stored data.

#include <cstdint>

#include "CDividTriangle.h"
#include "CSphereAngleParam.h"
#include "CSphereCoordD2D.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_sky_points.bin";

void Divide(const CSphereCoordD2DArray& outline)
{
  if (outline.size() > 64)
    return;  // the division is quadratic; keep one input fast
  for (int mode : {-1, 0, 1}) {
    CDividTriangle d(&outline);
    const bool ok = d.Do(mode);
    KernelFuzz::Check(!ok || outline.size() >= 3);
    for (int i = 0; i < d.GetSize(); ++i) {
      double base = 0, height = 0, area = 0;
      d.GetTriangle(i).GetTriangleData(mode, &base, &height, &area);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::LoadRecord;
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Selected in = KernelFuzz::Select(data, size);
  switch (in.reader % 5) {
    case 0: LoadRecord<CSphereCoordD2D>(in.stored, kScratchFile); break;
    case 1: LoadRecord<CSphereAngleParam>(in.stored, kScratchFile); break;
    case 2: {
      const auto marks = LoadRecord<CSphereAngleParamArray>(in.stored, kScratchFile);
      for (const CSphereAngleParam& m : marks.value)
        KernelFuzz::Check(m.m_bUse);
      break;
    }
    case 3: {
      const auto outline = KernelFuzz::ReadArchived<CSphereCoordD2DArray>(in.stored, in.version);
      if (outline.read)
        Divide(outline.value);
      break;
    }
    default: KernelFuzz::ReadArchived<CSphereAngleParamArray>(in.stored, in.version); break;
  }
  return 0;
}
