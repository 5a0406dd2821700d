// Reads arbitrary bytes as the stored forms of the slant-line check's small
// parts: check lines (record and archive), planned buildings (record) and
// site groupings (archive). Check points are laid over the lines that were
// read, which must neither crash nor hang; a planned building read becomes a
// block.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble); the rest is the stored data.

#include <cstdint>
#include <vector>

#include "CPlanBuilding.h"
#include "CSyasenCheckCpntline.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_slant_parts.bin";

void LayPoints(const CSyasenCheckCpntlineArray& lines)
{
  std::size_t entries = 0;
  for (const auto& line : lines)
    entries += line.size();
  if (entries > 256)
    return;
  for (bool uniform : {true, false}) {
    for (double requested : {0.5, 3.0}) {
      double pitch = requested;
      std::vector<CKelCoord3D> points;
      lines.CreateCheckPoint(uniform, &pitch, points);
      KernelFuzz::Check(points.empty() || pitch <= requested + 2.5e-5);
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
  switch (in.reader % 4) {
    case 0: {
      const auto lines = LoadRecord<CSyasenCheckCpntlineArray>(in.stored, kScratchFile);
      if (lines.read)
        LayPoints(lines.value);
      break;
    }
    case 1: {
      const auto lines = KernelFuzz::ReadArchived<CSyasenCheckCpntlineArray>(in.stored, in.version);
      if (lines.read)
        LayPoints(lines.value);
      break;
    }
    case 2: {
      const auto building = LoadRecord<CPlanBuilding>(in.stored, kScratchFile);
      if (building.read)
        KernelFuzz::Check(building.value.ToKelBlock().m_Coord.size() == building.value.m_Points.size());
      break;
    }
    default: KernelFuzz::ReadArchived<CSiteGroupingParamArray>(in.stored, in.version); break;
  }
  return 0;
}
