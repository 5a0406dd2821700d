#pragma once
// What the kernel's fuzz targets share: the abort that reports a broken
// property to the fuzzer, the archive round trip, the raw record read under
// a byte budget (the record readers read through a file, so the input goes
// to a scratch file in the sandbox first), and the selector byte.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "io_filesystem.h"

namespace KernelFuzz {

using Bytes = std::vector<std::uint8_t>;

inline void Check(bool condition)
{
  if (!condition)
    std::abort();
}

// What a reader gave, and whether it reported success. A failed read keeps
// what it read before failing, and that must be bounded too.
template <class T>
struct Loaded {
  T value{};
  bool read = false;
};

template <class T>
Bytes Written(T value, int version)
{
  CKelMemoryArchive ar(version);
  Check(value.Serialize(ar));
  return ar.GetBytes();
}

// Reads T from bytes as an archive of the version. A success must be the
// archive's own state, and what was read must write the same bytes before and
// after another trip (tags are read unchecked, so the first trip may differ
// from the input there).
template <class T>
Loaded<T> ReadArchived(const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  Loaded<T> loaded;
  loaded.read = loaded.value.Serialize(ar);
  Check(loaded.read == (ar.GetError() == 0));
  if (loaded.read) {
    const Bytes once = Written(loaded.value, version);
    CKelMemoryArchive again(once, version);
    T copy;
    Check(copy.Serialize(again));
    Check(Written(copy, version) == once);
  }
  return loaded;
}

// The file name in the sandbox, where targets keep what they write.
inline std::string ScratchPath(const char* name)
{
  return (pln::host::SandboxRoot() / name).string();
}

// Puts bytes into the scratch file name; its path.
inline std::string WriteScratchFile(const char* name, const Bytes& bytes)
{
  const std::string path = ScratchPath(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline Bytes ReadFileBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads T's raw record from bytes (through the scratch file name) with the
// input's size as the budget. The reader never gives budget back, and a
// success never overspends it.
template <class T>
Loaded<T> LoadRecord(const Bytes& bytes, const char* scratchName)
{
  const std::string path = WriteScratchFile(scratchName, bytes);
  CKelFileIO f;
  Check(f.Open(path.c_str()));
  const int given = static_cast<int>(bytes.size());
  int budget = given;
  Loaded<T> loaded;
  loaded.read = loaded.value.LoadData(f, &budget);
  f.Close();
  Check(budget <= given);
  if (loaded.read)
    Check(budget >= 0);
  return loaded;
}

// Byte 0 of an input picks the reader (low nibble) and the archive version
// (high nibble, 1 to 16); the rest is the stored data.
struct Selected {
  int reader = 0;
  int version = 1;
  Bytes stored;
};

// Precondition: size >= 1.
inline Selected Select(const std::uint8_t* data, std::size_t size)
{
  return Selected{data[0] & 0x0f, 1 + (data[0] >> 4), Bytes(data + 1, data + size)};
}

}  // namespace KernelFuzz
