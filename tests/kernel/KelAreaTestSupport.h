#pragma once
// Helpers of the polygon tests: stored forms built field by field, record
// files in the sandbox, and polygons from coordinate lists.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelFileIO.h"
#include "io_filesystem.h"

namespace kel_test {

using Bytes = std::vector<std::uint8_t>;

inline void AddI32(Bytes& b, std::int32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xff));
}

inline void AddF64(Bytes& b, double v)
{
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof(bits));
  for (int i = 0; i < 8; ++i)
    b.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xff));
}

// A text of the library archive: 16-bit length, the bytes, a zero.
inline void AddTag(Bytes& b, const std::string& text)
{
  b.push_back(static_cast<std::uint8_t>(text.size() & 0xff));
  b.push_back(static_cast<std::uint8_t>((text.size() >> 8) & 0xff));
  b.insert(b.end(), text.begin(), text.end());
  b.push_back(0);
}

inline std::string SandboxFile(const std::string& name)
{
  return (pln::host::SandboxRoot() / name).string();
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Saves through f into a fresh sandbox file and hands back the file's bytes.
template <class Save>
Bytes SavedBytes(const std::string& name, Save save)
{
  const std::string path = SandboxFile(name);
  CKelFileIO f;
  if (!f.Create(path.c_str()))
    return {};
  const bool ok = save(f);
  f.Close();
  return ok ? ReadBytes(path) : Bytes{};
}

// Opens bytes as a record file and runs load on it; the load's result.
template <class Load>
bool LoadFrom(const std::string& name, const Bytes& bytes, Load load)
{
  const std::string path = SandboxFile(name);
  WriteBytes(path, bytes);
  CKelFileIO f;
  if (!f.Open(path.c_str()))
    return false;
  const bool ok = load(f);
  f.Close();
  return ok;
}

inline CKelAreaCoord2D Poly(std::initializer_list<std::pair<double, double>> points)
{
  CKelAreaCoord2D polygon;
  for (const auto& [x, y] : points)
    polygon.m_pt.emplace_back(x, y);
  return polygon;
}

}  // namespace kel_test
