// Reads arbitrary bytes as the archive forms of the zoning data: zoning and
// regulation lists with their line lists, division lines, the seven kinds
// of value cells, check lines, deemed sites, section lines and block edge
// points, at a version picked by the input. Whatever was read must write
// back and read again to the same bytes and go through the operations that
// use it.
//
// Input: byte 0 picks the reader, byte 1 the archive version; the rest is
// the stored data.

#include "SiteFuzzSupport.h"
#include "ZoneFuzzSupport.h"

#include <cstdint>

namespace {

template <class Cell>
void ReadCell(const KernelFuzz::Bytes& bytes, int version)
{
  const KernelFuzz::Loaded<Cell> cell = KernelFuzz::ReadArchived<Cell>(bytes, version);
  if (!cell.read)
    return;
  Cell copy = cell.value;
  (void)copy.GetStr();
  (void)copy.VCELLtoL();
  (void)copy.CheckAngleValue();
  (void)copy.set_vcell_angle(1);
  (void)copy.VCELLAdd(cell.value);
  copy.angle_value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::ReadArchived;
  if (size < 2 || size > 1 << 16)
    return 0;
  const SiteFuzz::Selected in = SiteFuzz::Select(data, size);
  const KernelFuzz::Bytes& b = in.stored;
  const int v = in.version;
  switch (in.reader % 16) {
    case 0: {
      const auto usg = ReadArchived<CAreaUsgArray>(b, v);
      ZoneFuzz::Exercise(usg.value, CAreaRglArray());
      break;
    }
    case 1: {
      const auto rgl = ReadArchived<CAreaRglArray>(b, v);
      ZoneFuzz::Exercise(CAreaUsgArray(), rgl.value);
      break;
    }
    case 2: ReadArchived<CUsgLineArray>(b, v); break;
    case 3: ReadArchived<CRglLineArray>(b, v); break;
    case 4: {
      const auto lines = ReadArchived<CDivLineArray>(b, v);
      int li = 0, pi = 0;
      (void)lines.value.Search(CKelCoord2D(1, 1), true, &li, &pi);
      std::vector<std::uint16_t> index;
      std::vector<XY_FPAIR> points;
      if (lines.value.GetOldParam(index, points) && !index.empty()) {
        CDivLineArray back;
        KernelFuzz::Check(back.FromOldParam(lines.value.GetSize(), index.data(), static_cast<int>(index.size()),
                                            points.data(), static_cast<int>(points.size())));
      }
      break;
    }
    case 5: ReadCell<CVcellTime1>(b, v); break;
    case 6: ReadCell<CVcellTime2>(b, v); break;
    case 7: ReadCell<CVcellDeltaTime>(b, v); break;
    case 8: ReadCell<CVcellDiff>(b, v); break;
    case 9: ReadCell<CVcellAngle>(b, v); break;
    case 10: ReadCell<CVcellSunLat>(b, v); break;
    case 11: ReadCell<CVcellDirection>(b, v); break;
    case 12: ZoneFuzz::Exercise(ReadArchived<CClineData>(b, v).value); break;
    case 13: ZoneFuzz::Exercise(ReadArchived<CKelMSite>(b, v).value); break;
    case 14: ReadArchived<CSyasenCheckSectionLineArray>(b, v); break;
    default: ReadArchived<CSyasenCheckBlockEdgePoint>(b, v); break;
  }
  return 0;
}
