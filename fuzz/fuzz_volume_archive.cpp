// Reads arbitrary bytes as the archive form of one class of the building
// volume model: floor profiles, block vertices, blocks and block lists, walls
// and slopes. Byte 0 picks the class (low nibble) and the archive version
// (high nibble: 1, 2, 9, 14 or 15, the versions where the forms change). A
// count must be refused before anything grows, a success must be the
// archive's own state, and what was read must write back to the same bytes
// twice. Every block read then goes through its shape and plane checks.

#include <cstdint>

#include "CHikageWall.h"
#include "CKelBlockCubeArray.h"
#include "CKelBlockSlope.h"
#include "CPrfPlanParam.h"
#include "KernelFuzzSupport.h"
#include "VolumeFuzzSupport.h"

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;
using KernelFuzz::ReadArchived;

constexpr int kVersions[] = {1, 2, 9, 14, 15};

// The lists that store themselves through Serialize2, seen as Serialize.
template <class List>
struct ByList : List {
  bool Serialize(CKelArchiveCore& ar) { return List::Serialize2(ar); }
};

// Blocks take their orientation from the sign of their area on loading; an
// outline of next to no area may turn again on the next trip, so blocks are
// held to reading back what they wrote, not to the same bytes.
template <class T>
KernelFuzz::Loaded<T> ReadBlocks(const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  KernelFuzz::Loaded<T> loaded;
  loaded.read = loaded.value.Serialize(ar);
  Check(loaded.read == (ar.GetError() == 0));
  if (loaded.read) {
    CKelMemoryArchive again(KernelFuzz::Written(loaded.value, version), version);
    T copy;
    Check(copy.Serialize(again));
    Check(copy.GetSize() == loaded.value.GetSize());
  }
  return loaded;
}

using VolumeFuzz::Exercise;

void ExerciseProfiles(const CPrfPlanParam& list)
{
  for (int p = 0; p < static_cast<int>(list.size()); ++p) {
    double z = 0;
    double off = 0;
    int flr = 0;
    list.SetZ(p, z, off, flr, 7.5);
    list.SetFlr(p, z, off, flr, 2);
    std::string name;
    list[static_cast<std::size_t>(p)].SetContourFloorName(name, 3);
  }
  CPrfPlanParam copy = list;
  copy.SBCalcFL();
  std::vector<PRFPLNTag> tags;
  std::vector<SFloorsTag> floors;
  if (copy.GetOldParam(tags, floors))
    Check(copy.FromOldParam(tags, floors));
}

void Read(int reader, const Bytes& stored, int version)
{
  switch (reader) {
  case 0:
    ExerciseProfiles(ReadArchived<ByList<CPrfPlanParam>>(stored, version).value);
    break;
  case 1:
    ReadArchived<CPrfPlanItem>(stored, version);
    break;
  case 2:
    ReadArchived<CKelBlockCoord>(stored, version);
    break;
  case 3: {
    const auto outline = ReadArchived<CKelBlockCoordArray>(stored, version);
    Check(outline.value.size() <= stored.size() / 168);
    break;
  }
  case 4:
    Exercise(ReadBlocks<CKelBlockCube>(stored, version).value);
    break;
  case 5: {
    const auto list = ReadBlocks<ByList<CKelBlockCubeArray>>(stored, version);
    Check(list.value.size() <= stored.size() / 122);
    for (const CKelBlockCube& block : list.value)
      Exercise(block);
    break;
  }
  case 6:
    ReadArchived<CHikageWall>(stored, version);
    break;
  case 7:
    ReadArchived<CHikageWallTable>(stored, version);
    break;
  case 8:
    ReadArchived<CKelBlockSlopeItem>(stored, version);
    break;
  case 9:
    ReadArchived<ByList<CKelBlockSlopeParam>>(stored, version);
    break;
  case 10:
    ReadArchived<CCoordBldSurf>(stored, version);
    break;
  default:
    ReadArchived<CPrfFloorArray>(stored, version);
    break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1)
    return 0;
  const int reader = data[0] & 0x0f;
  const int version = kVersions[(data[0] >> 4) % std::size(kVersions)];
  Read(reader, Bytes(data + 1, data + size), version);
  return 0;
}
