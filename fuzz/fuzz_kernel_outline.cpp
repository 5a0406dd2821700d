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
#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "io_location.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

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

template <class T>
void ReadArchive(const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  T object;
  const bool read = object.Serialize(ar);
  Check(read == (ar.GetError() == 0));
  if (!read)
    return;
  CKelMemoryArchive out(version);
  Check(object.Serialize(out));
  if constexpr (std::is_same_v<T, CKelCoord3DCrsPntArray>)
    ExerciseGeometry(object);
  else
    Check(ValidType(object));
}

const std::string& RecordPath()
{
  static const std::string path = (pln::host::SandboxRoot() / "fuzz_kernel_outline.bin").string();
  return path;
}

template <class T>
void ReadRecord(const Bytes& bytes)
{
  {
    std::ofstream out(RecordPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  CKelFileIO f;
  Check(f.Open(RecordPath().c_str()));
  const int given = static_cast<int>(bytes.size());
  int budget = given;
  T object;
  const bool read = object.LoadData(f, &budget);
  f.Close();
  if (!read)
    return;
  Check(budget >= 0 && budget <= given);
  if constexpr (std::is_same_v<T, CKelCoord3DCrsPntArray>)
    ExerciseGeometry(object);
  else
    Check(ValidType(object));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 14)
    return 0;
  const int reader = data[0] & 0x0f;
  const int version = 1 + (data[0] >> 4);
  const Bytes bytes(data + 1, data + size);
  switch (reader % 4) {
    case 0: ReadArchive<CKelCoord3DCrsPnt>(bytes, version); break;
    case 1: ReadArchive<CKelCoord3DCrsPntArray>(bytes, version); break;
    case 2: ReadRecord<CKelCoord3DCrsPnt>(bytes); break;
    default: ReadRecord<CKelCoord3DCrsPntArray>(bytes); break;
  }
  return 0;
}
