// Reads arbitrary bytes as the stored forms of sky-factor check points:
// record 1012 and the older 1006 to 1011, the oldest records 1000 to 1005,
// and the archives of a check point and of a list of them.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble); the rest is the stored data.

#include <cstdint>

#include "CSphereRatioParam.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_sky_checkparams.bin";

void LoadOld(const KernelFuzz::Bytes& stored)
{
  const std::string path = KernelFuzz::WriteScratchFile(kScratchFile, stored);
  CKelFileIO f;
  KernelFuzz::Check(f.Open(path.c_str()));
  const int given = static_cast<int>(stored.size());
  int budget = given;
  CSphereRatioParam p;
  CSyasenCheckCalcKind kind;
  const bool read = p.LoadOldData(f, &budget, kind);
  f.Close();
  KernelFuzz::Check(budget <= given && (!read || budget >= 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Selected in = KernelFuzz::Select(data, size);
  switch (in.reader % 4) {
    case 0: {
      const auto p = KernelFuzz::LoadRecord<CSphereRatioParam>(in.stored, kScratchFile);
      if (p.read) {
        // What was read is written and read back equal.
        const std::string path = KernelFuzz::ScratchPath(kScratchFile);
        CKelFileIO out;
        KernelFuzz::Check(out.Create(path.c_str()) && p.value.SaveData(out));
        out.Close();
        const auto again = KernelFuzz::LoadRecord<CSphereRatioParam>(KernelFuzz::ReadFileBytes(path), kScratchFile);
        KernelFuzz::Check(again.read);
      }
      break;
    }
    case 1: LoadOld(in.stored); break;
    case 2: KernelFuzz::ReadArchived<CSphereRatioParam>(in.stored, in.version); break;
    default: KernelFuzz::ReadArchived<CSphereRatioParamArray>(in.stored, in.version); break;
  }
  return 0;
}
