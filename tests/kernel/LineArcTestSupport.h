#pragma once
// Byte builders and round-trip helpers shared by the tests of lines, arcs and
// outlines with arcs: golden records are written out field by field here, so
// a test reads as the layout it pins.

#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "io_location.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace linearc_test {

using Bytes = std::vector<std::uint8_t>;

class ByteBuilder {
public:
  ByteBuilder& F64(double v) { return Raw(&v, sizeof v); }
  ByteBuilder& I32(std::int32_t v) { return Raw(&v, sizeof v); }
  // A text as the archive stores it: 16-bit length, the bytes, a zero.
  ByteBuilder& Text(const std::string& text)
  {
    const auto n = static_cast<std::uint16_t>(text.size());
    Raw(&n, sizeof n);
    Raw(text.data(), text.size());
    bytes.push_back(0);
    return *this;
  }
  // The archive form of a plan point at a version with tags.
  ByteBuilder& Coord2D(double x, double y) { return Text("CKelCoord2D").F64(x).F64(y); }
  ByteBuilder& Coord3D(double x, double y, double z) { return Text("CKelCoord3D").F64(z).Coord2D(x, y); }

  Bytes bytes;

private:
  ByteBuilder& Raw(const void* data, std::size_t size)
  {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    return *this;
  }
};

// A fresh file path inside the host's sandbox for the running test.
inline std::string TestFilePath(const std::string& name)
{
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder =
      pln::host::SandboxRoot() / "kernel_linearc" / test->test_suite_name() / test->name();
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

// The bytes SaveData writes.
template <class T>
Bytes SavedRecord(const T& object)
{
  const std::string path = TestFilePath("save.bin");
  CKelFileIO f;
  EXPECT_TRUE(f.Create(path.c_str()));
  EXPECT_TRUE(object.SaveData(f));
  f.Close();
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// LoadData over the given bytes with the given budget; *left receives what
// remains of the budget.
template <class T>
bool LoadRecord(T& object, const Bytes& bytes, int budget, int* left = nullptr)
{
  const std::string path = TestFilePath("load.bin");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  CKelFileIO f;
  EXPECT_TRUE(f.Open(path.c_str()));
  const bool ok = object.LoadData(f, &budget);
  f.Close();
  if (left != nullptr)
    *left = budget;
  return ok;
}

// The archive bytes of an object at a version.
template <class T>
Bytes Archived(T object, int version)
{
  CKelMemoryArchive ar(version);
  EXPECT_TRUE(object.Serialize(ar));
  return ar.GetBytes();
}

// Reads an object from archive bytes; false when Serialize reports failure.
template <class T>
bool Unarchive(T& object, const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  return object.Serialize(ar);
}

}  // namespace linearc_test
