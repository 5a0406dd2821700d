// Reads arbitrary bytes through every reader of the kernel's point types: the
// archive form at the versions before and from the second height (8 and 9),
// and the raw record form with the input's size as the byte budget. A count
// must be refused before anything grows, a success must be the archive's own
// state, and whatever was read must write back to the same bytes twice. The
// numbers read then drive the crossing functions, which must not crash or
// return more points than two curves can share.

#include <cstdint>

#include "CKelCoord.h"
#include "KelGeometry.h"
#include "KernelFuzzSupport.h"

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;
using KernelFuzz::LoadRecord;
using KernelFuzz::ReadArchived;

constexpr const char* kScratchFile = "fuzz_kernel_points.bin";

void ReadListRecord(const Bytes& bytes)
{
  const auto list = LoadRecord<CKelCoord3DExCrsPntArray>(bytes, kScratchFile);
  Check(list.value.size() <= bytes.size() / CKelCoord3DExCrsPntArray::kRecordBytes);
}

void ExerciseCrossings(const CKelCoord3DExCrsPntArray& list)
{
  if (list.size() < 6)
    return;
  const CKelCoord2D p[6] = {list[0], list[1], list[2], list[3], list[4], list[5]};
  Check(cross_line(p[0], p[1], p[2], p[3]).size() <= 1);
  Check(cross_circleline(p[0], p[1], p[2], p[3]).size() <= 2);
  Check(cross_circle(p[0], p[1], p[2], p[3]).size() <= 2);
  Check(cross_arcline(p[0], p[1], p[2], p[3], p[4]).size() <= 2);
  Check(cross_arc(p[0], p[1], p[2], p[3], p[4], p[5]).size() <= 2);
  Check(angle_line(p[0], p[1], p[2], list[3].m_z).size() <= 1);
  CKelCoord2D out;
  calc_cross_cline(list[0].m_nKind, p[0], p[1], p[2], list[3].m_nKind, p[3], p[4], p[5], &out);
  arcdist(list[0].m_z, p[0], p[1], p[2], p[3], &out);
  check_north(list[1].m_z, p[0], p[1]);
  CKelCoord3D a;
  CKelCoord3D b;
  LineEquatinFromPlanes(p[0].m_x, p[0].m_y, p[1].m_x, p[1].m_y, p[2].m_x, p[2].m_y, p[3].m_x, p[3].m_y, &a, &b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const Bytes bytes(data, data + size);
  for (const int version : {1, 8, 9}) {
    ReadArchived<CKelCoord2D>(bytes, version);
    ReadArchived<CKelCoord3D>(bytes, version);
    ReadArchived<CKelCoord3DEx>(bytes, version);
    ReadArchived<CKelCoord3DExCrsPnt>(bytes, version);
    const auto list = ReadArchived<CKelCoord3DExCrsPntArray>(bytes, version);
    Check(list.value.size() <= size / 36);
    ExerciseCrossings(list.value);
  }
  LoadRecord<CKelCoord2D>(bytes, kScratchFile);
  LoadRecord<CKelCoord3D>(bytes, kScratchFile);
  LoadRecord<CKelCoord3DEx>(bytes, kScratchFile);
  LoadRecord<CKelCoord3DExCrsPnt>(bytes, kScratchFile);
  ReadListRecord(bytes);
  return 0;
}
