// Reads arbitrary bytes as the stored forms of the kernel's lines: the
// archive form (Serialize) of CoordLine2D, CoordLine3D and CoordLine3DArray
// at a version picked by the input, and their raw records (LoadData) under a
// byte budget. A bad count must be refused before anything grows; whatever
// was read must write back and read again to the same bytes.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble, 1 to 16); the rest is the stored data.

#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "CoordLine.h"
#include "io_location.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

template <class T>
Bytes Write(T object, int version)
{
  CKelMemoryArchive ar(version);
  Check(object.Serialize(ar));
  return ar.GetBytes();
}

// Archive form: read, then a written copy must read back to the same bytes.
template <class T>
void ReadArchive(const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  T object;
  const bool read = object.Serialize(ar);
  Check(read == (ar.GetError() == 0));
  if (!read)
    return;
  const Bytes once = Write(object, version);
  T again;
  CKelMemoryArchive ar2(once, version);
  Check(again.Serialize(ar2));
  Check(Write(again, version) == once);
}

const std::string& RecordPath()
{
  static const std::string path = (pln::host::SandboxRoot() / "fuzz_kernel_lines.bin").string();
  return path;
}

// Record form: the reader may spend at most the budget it was given.
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
  if (read)
    Check(budget >= 0 && budget <= given);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1 || size > 1 << 16)
    return 0;
  const int reader = data[0] & 0x0f;
  const int version = 1 + (data[0] >> 4);
  const Bytes bytes(data + 1, data + size);
  switch (reader % 6) {
    case 0: ReadArchive<CoordLine2D>(bytes, version); break;
    case 1: ReadArchive<CoordLine3D>(bytes, version); break;
    case 2: ReadArchive<CoordLine3DArray>(bytes, version); break;
    case 3: ReadRecord<CoordLine2D>(bytes); break;
    case 4: ReadRecord<CoordLine3D>(bytes); break;
    default: ReadRecord<CoordLine3DArray>(bytes); break;
  }
  return 0;
}
