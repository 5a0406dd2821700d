// Reads arbitrary bytes as stored sky-factor results: bow and fan records
// and lists, outline parameters, the results of a check point (records 1000
// to 1006), their archives below and from version 32, and the debug dump.
// What is read is summed in every rounding mode and written back: a writer
// stores what its reader took.
//
// Input: byte 0 picks the reader (low nibble); byte 1 the archive version
// (1 to 40); the rest is the stored data.

#include <cmath>
#include <cstdint>

#include "CSphereRatioBlock.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_sky_ratio.bin";
constexpr const char* kDumpFile = "fuzz_sky_ratio_dump.bin";
constexpr int kVersions = 40;

void Measure(CSphereRatioBlock& r)
{
  for (int nRound : {-1, 0, 1}) {
    for (bool sansya : {false, true}) {
      CSphereRatioBlock copy = r;
      copy.CalcRatio(sansya, nRound);
      (void)copy.GetTriangleArea(nRound);
    }
  }
  r.BlockExpand();
}

template <class T>
void RoundTrip(const T& value)
{
  const std::string path = KernelFuzz::ScratchPath(kScratchFile);
  CKelFileIO out;
  KernelFuzz::Check(out.Create(path.c_str()));
  const bool saved = value.SaveData(out);
  out.Close();
  KernelFuzz::Check(saved);
  const KernelFuzz::Bytes bytes = KernelFuzz::ReadFileBytes(path);
  const auto back = KernelFuzz::LoadRecord<T>(bytes, kScratchFile);
  KernelFuzz::Check(back.read);
}

template <class T>
void Record(const KernelFuzz::Bytes& stored)
{
  const auto read = KernelFuzz::LoadRecord<T>(stored, kScratchFile);
  if (read.read)
    RoundTrip(read.value);
}

void DebugDump(const KernelFuzz::Bytes& stored)
{
  CSphereRatioBlock r;
  r.m_DebugPath = KernelFuzz::WriteScratchFile(kDumpFile, stored);
  if (r.Load()) {
    Measure(r);
    KernelFuzz::Check(r.Save());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2 || size > 1 << 16)
    return 0;
  const KernelFuzz::Bytes stored(data + 2, data + size);
  const int version = 1 + data[1] % kVersions;
  switch (data[0] % 10) {
    case 0: Record<CSphereBowShapeParam>(stored); break;
    case 1: Record<CSphereFunShapeParamArray>(stored); break;
    case 2: Record<CSphereRatioBlockParam>(stored); break;
    case 3: {
      const auto read = KernelFuzz::LoadRecord<CSphereRatioBlock>(stored, kScratchFile);
      if (read.read) {
        CSphereRatioBlock r = read.value;
        Measure(r);
        RoundTrip(read.value);
      }
      break;
    }
    case 4: (void)KernelFuzz::ReadArchived<CSphereBowShapeParamArray>(stored, version); break;
    case 5: (void)KernelFuzz::ReadArchived<CSphereFunShapeParamArray>(stored, version); break;
    case 6: (void)KernelFuzz::ReadArchived<CSphereRatioBlockParam>(stored, version); break;
    case 7: {
      auto read = KernelFuzz::ReadArchived<CSphereRatioBlock>(stored, version);
      if (read.read)
        Measure(read.value);
      break;
    }
    case 8: DebugDump(stored); break;
    default: Record<CSphereBowShapeParamArray>(stored); break;
  }
  return 0;
}
