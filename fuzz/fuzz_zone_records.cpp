// Reads arbitrary bytes as the raw records of the zoning data under a byte
// budget: value cells of each kind, section lines, their list and block
// edge points. A success never overspends the budget, and what was read
// writes a record that reads back to an equal object.
//
// Input: byte 0 picks the reader; the rest is the record.

#include "ZoneFuzzSupport.h"

#include <cstdint>

namespace {

template <class Cell>
void LoadCell(const KernelFuzz::Bytes& bytes)
{
  const std::string path = KernelFuzz::WriteScratchFile("zone_cell.bin", bytes);
  CKelFileIO f;
  KernelFuzz::Check(f.Open(path.c_str()));
  Cell cell;
  const bool read = cell.LoadData(f);
  f.Close();
  KernelFuzz::Check(read == (bytes.size() >= sizeof(VCELLTag)));
  if (read)
    (void)cell.GetStr();
}

template <class T>
void LoadAndRewrite(const KernelFuzz::Bytes& bytes)
{
  const KernelFuzz::Loaded<T> loaded = KernelFuzz::LoadRecord<T>(bytes, "zone_record.bin");
  if (!loaded.read)
    return;
  const std::string path = KernelFuzz::ScratchPath("zone_rewrite.bin");
  CKelFileIO out;
  KernelFuzz::Check(out.Create(path.c_str()));
  KernelFuzz::Check(loaded.value.SaveData(out));
  out.Close();
  const KernelFuzz::Loaded<T> again = KernelFuzz::LoadRecord<T>(KernelFuzz::ReadFileBytes(path), "zone_again.bin");
  KernelFuzz::Check(again.read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Bytes bytes(data + 1, data + size);
  switch (data[0] % 10) {
    case 0: LoadCell<CVcellTime1>(bytes); break;
    case 1: LoadCell<CVcellTime2>(bytes); break;
    case 2: LoadCell<CVcellDeltaTime>(bytes); break;
    case 3: LoadCell<CVcellDiff>(bytes); break;
    case 4: LoadCell<CVcellAngle>(bytes); break;
    case 5: LoadCell<CVcellSunLat>(bytes); break;
    case 6: LoadCell<CVcellDirection>(bytes); break;
    case 7: LoadAndRewrite<CSyasenCheckSectionLine>(bytes); break;
    case 8: LoadAndRewrite<CSyasenCheckSectionLineArray>(bytes); break;
    default: LoadAndRewrite<CSyasenCheckBlockEdgePoint>(bytes); break;
  }
  return 0;
}
