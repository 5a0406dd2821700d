// Reads arbitrary bytes as the stored forms of the slant-line check records:
// the record list of the block file (records 1000 to 1023 under the list's
// size) and the archive of the list at any version. A list that was read
// must write and read back as itself, and its blocks with a number not
// finite fail the block check.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble, as version 1 to 16, or 17 and up through the gates above 16); the
// rest is the stored data.

#include <cstdint>

#include "CKelFileIO.h"
#include "CSyasenCheckBlockParam.h"
#include "KernelFuzzSupport.h"
#include "VolumeFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_slant_records.bin";
constexpr const char* kRewrittenFile = "fuzz_slant_records_again.bin";

bool ReadList(const std::string& path, int size, CSyasenCheckBlockParamArray& list)
{
  CKelFileIO f;
  KernelFuzz::Check(f.Open(path.c_str()));
  const bool ok = CSyasenCheckBlockParamArray::ReadData(f, size, &list, nullptr);
  f.Close();
  return ok;
}

void ReadRecords(const KernelFuzz::Bytes& stored)
{
  CSyasenCheckBlockParamArray list;
  if (!ReadList(KernelFuzz::WriteScratchFile(kScratchFile, stored), static_cast<int>(stored.size()), list))
    return;
  for (const CSyasenCheckBlockParam& check : list) {
    for (const CKelBlockCubeArray* blocks : {&check.m_SrcBlock, &check.m_BaseBlock, &check.m_YouhekiBlock}) {
      for (const CKelBlockCube& block : *blocks)
        VolumeFuzz::CheckNotFiniteRefused(block);
    }
  }
  // What was read writes a list that reads back the same size exactly.
  const std::string again = KernelFuzz::ScratchPath(kRewrittenFile);
  CKelFileIO out;
  KernelFuzz::Check(out.Create(again.c_str()));
  KernelFuzz::Check(CSyasenCheckBlockParamArray::SaveData(out, &list, nullptr));
  out.Close();
  const KernelFuzz::Bytes written = KernelFuzz::ReadFileBytes(again);
  CSyasenCheckBlockParamArray back;
  KernelFuzz::Check(ReadList(again, static_cast<int>(written.size()), back));
  KernelFuzz::Check(back.size() == list.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Selected in = KernelFuzz::Select(data, size);
  if (in.reader % 2 == 0) {
    ReadRecords(in.stored);
  } else {
    // Versions 1 to 16 as given, and 11 more above them for the late gates.
    const int version = in.reader >= 8 ? in.version + 15 : in.version;
    KernelFuzz::ReadArchived<CSyasenCheckBlockParamArray>(in.stored, version);
  }
  return 0;
}
