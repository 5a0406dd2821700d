// Reads arbitrary bytes as a stored outline with arcs (the archive form of
// CKelCoord3DCrsPnt and CKelCoord3DCrsPntArray at a version picked by the
// input, or their raw records under a byte budget), then runs the outline's
// plan geometry on whatever was read: area, split, direction, points on the
// outline, flattening and offset. A bad count or TYPE must be refused, and
// no outline, however odd, may crash, hang or grow without bound.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble, 1 to 16); the rest is the stored data.

#include "CKelCoord3DCrsPntArray.h"
#include "KernelFuzzSupport.h"

#include <cstdint>
#include <type_traits>

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;

constexpr const char* kScratchFile = "fuzz_kernel_outline.bin";

bool ValidType(const CKelCoord3DCrsPnt& p)
{
  return p.m_Type == CKelCoord3DCrsPnt::TYPE_POINT || p.m_Type == CKelCoord3DCrsPnt::TYPE_CCW ||
         p.m_Type == CKelCoord3DCrsPnt::TYPE_CW;
}

void ExerciseGeometry(const CKelCoord3DCrsPntArray& outline)
{
  for (const CKelCoord3DCrsPnt& p : outline)
    Check(ValidType(p));
  (void)outline.GetArea();
  (void)outline.GetDirection();
  if (!outline.empty())
    (void)outline.IsOnline(outline.front());
  (void)outline.ArcToPolyline();
  const CKelCoord3DCrsPntArray grown = outline.Offset(0.5);
  Check(grown.empty() || grown.size() <= outline.size() + 1);
  // Flattening by length may make up to 65536 points per arc; keep the
  // outlines it sees small so one input stays fast.
  if (outline.size() <= 8) {
    CKelCoord3DCrsPntArray flat = outline;
    flat.ArcToPolyline(0.5);
    for (const CKelCoord3DCrsPnt& p : flat)
      Check(!p.IsCenter());
  }
  CKelCoord3DCrsPntArray reversed = outline;
  reversed.Reverse();
  reversed.Reverse();
  Check(reversed.size() == outline.size());
}

// What a reader accepted holds only valid TYPEs and survives the geometry.
template <class T>
void ExerciseRead(const KernelFuzz::Loaded<T>& loaded)
{
  if (!loaded.read)
    return;
  if constexpr (std::is_same_v<T, CKelCoord3DCrsPntArray>)
    ExerciseGeometry(loaded.value);
  else
    Check(ValidType(loaded.value));
}

template <class T>
void ReadArchive(const Bytes& bytes, int version)
{
  ExerciseRead(KernelFuzz::ReadArchived<T>(bytes, version));
}

template <class T>
void ReadRecord(const Bytes& bytes)
{
  ExerciseRead(KernelFuzz::LoadRecord<T>(bytes, kScratchFile));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 14)
    return 0;
  const KernelFuzz::Selected input = KernelFuzz::Select(data, size);
  switch (input.reader % 4) {
    case 0: ReadArchive<CKelCoord3DCrsPnt>(input.stored, input.version); break;
    case 1: ReadArchive<CKelCoord3DCrsPntArray>(input.stored, input.version); break;
    case 2: ReadRecord<CKelCoord3DCrsPnt>(input.stored); break;
    default: ReadRecord<CKelCoord3DCrsPntArray>(input.stored); break;
  }
  return 0;
}
