// Reads arbitrary bytes as the stored forms of the check points of the sky
// factor: shadow-sphere entries (record 2000, archive, the bodies of block
// 9 and of the older block 175) and check points at walls (the list
// archive with and without its tag, the list file, the 58-byte and the
// 22-byte records). A list that was read is written and read again the
// same.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble); the rest is the stored data.

#include <cstdint>

#include "CHikageSphereParam.h"
#include "CKelCpntParam.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_sky_checkpoints.bin";

using KernelFuzz::Bytes;
using KernelFuzz::Check;

// A block reader over the whole input as the block's body.
template <class Reader>
int ReadBlock(const Bytes& stored, Reader reader)
{
  const std::string path = KernelFuzz::WriteScratchFile(kScratchFile, stored);
  CKelFileIO f;
  Check(f.Open(path.c_str()));
  const int result = reader(f, static_cast<int>(stored.size()));
  f.Close();
  return result;
}

void SphereBlock(const Bytes& stored, bool older)
{
  CHikageSphereParamArray list;
  const int result = ReadBlock(stored, [&](CKelFileIO& f, int len) {
    return older ? CHikageSphereParamArray::ReadData2(f, len, &list, nullptr)
                 : CHikageSphereParamArray::ReadData(f, len, &list, nullptr);
  });
  Check(result == 1 || list.empty());
}

void PointList(const Bytes& stored)
{
  CKelCpntParam list;
  const int result = ReadBlock(stored, [&](CKelFileIO& f, int len) { return CKelCpntParam::ReadCPntData(f, len, &list); });
  Check(result != 0 || list.empty());
  Check(result != 1 || list.empty());
}

// The list archive, tagged or not; what was read writes back stably.
void PointArchive(const Bytes& stored, int version, bool tagged)
{
  const auto serialize = [tagged](CKelArchiveCore& ar, CKelCpntParam& list) {
    return tagged ? list.Serialize2(ar) : CKelCpntParam::Serialize(ar, 0, &list, nullptr);
  };
  CKelCpntParam list;
  CKelMemoryArchive ar(stored, version);
  const bool read = serialize(ar, list);
  Check(read == (ar.GetError() == 0));
  if (!read)
    return;
  CKelMemoryArchive once(version);
  Check(serialize(once, list));
  CKelCpntParam copy;
  CKelMemoryArchive again(once.GetBytes(), version);
  Check(serialize(again, copy));
  CKelMemoryArchive twice(version);
  Check(serialize(twice, copy));
  Check(twice.GetBytes() == once.GetBytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::LoadRecord;
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Selected in = KernelFuzz::Select(data, size);
  switch (in.reader % 9) {
    case 0: LoadRecord<CHikageSphereParam>(in.stored, kScratchFile); break;
    case 1: KernelFuzz::ReadArchived<CHikageSphereParam>(in.stored, in.version); break;
    case 2: SphereBlock(in.stored, false); break;
    case 3: SphereBlock(in.stored, true); break;
    case 4: PointList(in.stored); break;
    case 5: PointArchive(in.stored, in.version, true); break;
    case 6: PointArchive(in.stored, in.version, false); break;
    case 7: LoadRecord<_CPntItem>(in.stored, kScratchFile); break;
    default: LoadRecord<ChekPointDataTag>(in.stored, kScratchFile); break;
  }
  return 0;
}
