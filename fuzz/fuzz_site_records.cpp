// Reads arbitrary bytes as the raw records of the site data: the
// calculation kind (numbered or not), the three flag bytes of an edge and
// the old per-edge list's marker and count, each under a byte budget of the
// input's size. A reader never gives back more budget than it took and never
// overspends on success.
//
// Input: byte 0 picks the reader; the rest is the stored record.

#include "CLineCondEx.h"
#include "CLineCondExCondition.h"
#include "KernelFuzzSupport.h"

#include <cstdint>

namespace {

constexpr const char* kScratchFile = "fuzz_site_records.bin";

// The flag record's reader takes an extra argument.
struct FlagRecord {
  CSyasenCheckCalcFlag flag;
  bool LoadData(CKelFileIO& f, int* budget) { return flag.LoadData(f, budget, 0); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::LoadRecord;
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Bytes stored(data + 1, data + size);
  switch (data[0] % 3) {
    case 0: {
      const auto kind = LoadRecord<CSyasenCheckCalcKind>(stored, kScratchFile);
      if (kind.read)
        (void)kind.value.GetBaseBlockInfo();
      break;
    }
    case 1: LoadRecord<FlagRecord>(stored, kScratchFile); break;
    default: {
      const auto list = LoadRecord<CLineCondExArea>(stored, kScratchFile);
      KernelFuzz::Check(!list.read || list.value.empty());
      break;
    }
  }
  return 0;
}
