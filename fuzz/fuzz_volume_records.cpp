// Reads arbitrary bytes through the binary records of the building volume
// model (vertex, block, block list, wall), directly with the input's size as
// the byte budget and from a block file whose block length is the budget, and
// through the conversions from the old C arrays. Byte 0 picks the reader; the
// rest is the stored data. No reader may overspend its budget or grow a list
// past what the bytes can hold, and every block read goes through its shape
// and plane checks.

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "CAdjFile.h"
#include "CHikageWall.h"
#include "CKelBlockCubeArray.h"
#include "CPrfPlanParam.h"
#include "KernelFuzzSupport.h"
#include "VolumeFuzzSupport.h"

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;
using KernelFuzz::LoadRecord;

constexpr const char* kScratchFile = "fuzz_volume_records.bin";
constexpr auto kBlockId = static_cast<CAdjFile::Id>(1000);

using VolumeFuzz::Exercise;

void Exercise(const CKelBlockCubeArray& list)
{
  for (const CKelBlockCube& block : list)
    Exercise(block);
  std::vector<BldIndexTag> index;
  std::vector<BldPntTag> points;
  if (list.GetOldParam(index, points) >= 0)
    list.OldCompare(index, points);
}

// The block file: one block of id kBlockId holding the stored bytes.
template <class T>
int ReadFromBlock(CKelFileIO& file, int length, void* a, void*)
{
  auto* value = static_cast<T*>(a);
  int budget = length;
  const bool read = value->LoadData(file, &budget);
  Check(budget <= length);
  if (read)
    Check(budget >= 0);
  return read ? 1 : 0;
}

template <class T>
T LoadThroughBlockFile(const Bytes& stored)
{
  Bytes file(8);
  const auto id = static_cast<std::uint32_t>(kBlockId);
  const auto length = static_cast<std::uint32_t>(stored.size());
  std::memcpy(file.data(), &id, 4);
  std::memcpy(file.data() + 4, &length, 4);
  file.insert(file.end(), stored.begin(), stored.end());
  const std::string path = KernelFuzz::WriteScratchFile("fuzz_volume_records.adj", file);
  T value;
  CAdjFile::Load(path.c_str(), kBlockId, ReadFromBlock<T>, &value, nullptr);
  return value;
}

template <class T>
std::vector<T> ArrayOf(std::span<const std::uint8_t> bytes)
{
  std::vector<T> out(bytes.size() / sizeof(T));
  if (!out.empty())
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
  return out;
}

// The old arrays: byte 0 of the data splits it into the first array and the
// second, each read as whole records.
void ReadOldArrays(const Bytes& stored)
{
  if (stored.empty())
    return;
  const std::span<const std::uint8_t> data(stored);
  const std::size_t split = std::min<std::size_t>(data.size() - 1, std::size_t{data[0]} * 2);
  const auto first = data.subspan(1, split);
  const auto second = data.subspan(1 + split);

  const auto tags = ArrayOf<PRFPLNTag>(first);
  const auto floors = ArrayOf<SFloorsTag>(second);
  CPrfPlanParam profiles;
  if (profiles.FromOldParam(tags, floors)) {
    Check(profiles.size() == tags.size());
    for (std::size_t i = 0; i < tags.size(); ++i)
      profiles[i].Compare(tags[i], std::span(floors).subspan(std::min<std::size_t>(tags[i].First, floors.size())));
  }

  const auto index = ArrayOf<BldIndexTag>(first);
  const auto points = ArrayOf<BldPntTag>(second);
  CKelBlockCubeArray list;
  for (const BldIndexTag& record : index) {
    CKelBlockCube block;
    const std::size_t from = std::min<std::size_t>(record.FirstPnt, points.size());
    const std::size_t count = std::min<std::size_t>(record.PntCount, points.size() - from);
    for (std::size_t k = 0; k < count; ++k) {
      CKelBlockCoord vertex;
      vertex = points[from + k];
      block.Append(vertex);
    }
    list.push_back(block);
  }
  list.OldCompare(index, points);
  Exercise(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1)
    return 0;
  const Bytes stored(data + 1, data + size);
  switch (data[0] % 9) {
  case 0:
    LoadRecord<CKelBlockCoord>(stored, kScratchFile);
    break;
  case 1: {
    const auto block = LoadRecord<CKelBlockCube>(stored, kScratchFile);
    Check(block.value.m_Coord.size() <= stored.size() / CKelBlockCoord::kRecordBytes);
    Exercise(block.value);
    break;
  }
  case 2: {
    const auto list = LoadRecord<CKelBlockCubeArray>(stored, kScratchFile);
    Check(list.value.size() <= stored.size() / 58);
    Exercise(list.value);
    break;
  }
  case 3:
    LoadRecord<CHikageWallTable>(stored, kScratchFile);
    break;
  case 4:
    LoadThroughBlockFile<CKelBlockCoord>(stored);
    break;
  case 5:
    Exercise(LoadThroughBlockFile<CKelBlockCube>(stored));
    break;
  case 6:
    Exercise(LoadThroughBlockFile<CKelBlockCubeArray>(stored));
    break;
  case 7:
    LoadThroughBlockFile<CHikageWallTable>(stored);
    break;
  default:
    ReadOldArrays(stored);
    break;
  }
  return 0;
}
