#pragma once
// Helpers shared by the kernel tests. Stored forms are written out field by
// field, so a golden test reads as the layout it pins; records go through a
// sandbox file per test, archives through the memory archive.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "KelOutlineText.h"
#include "io_filesystem.h"

#include <ostream>

// Failure messages show outlines in their one-line text form, which a new
// test can read back as it stands.
inline void PrintTo(const CKelAreaCoord2D& outline, std::ostream* out) { *out << KelOutlineText::ToText(outline); }
inline void PrintTo(const CKelCoord3DCrsPntArray& outline, std::ostream* out)
{
  *out << KelOutlineText::ToText(outline);
}

namespace kel_test {

using Bytes = std::vector<std::uint8_t>;

// Little-endian fields without padding, as records and archives store them.
class ByteBuilder {
public:
  ByteBuilder& F64(double v) { return Raw(&v, sizeof v); }
  ByteBuilder& F64s(std::initializer_list<double> values)
  {
    for (double v : values)
      F64(v);
    return *this;
  }
  ByteBuilder& I32(std::int32_t v) { return Raw(&v, sizeof v); }
  // A text of the archive: 16-bit length, the bytes, a zero.
  ByteBuilder& Text(const std::string& text)
  {
    const auto n = static_cast<std::uint16_t>(text.size());
    Raw(&n, sizeof n);
    Raw(text.data(), text.size());
    bytes.push_back(0);
    return *this;
  }
  // Archive forms of the points at a version with tags: the height first.
  ByteBuilder& Coord2D(double x, double y) { return Text("CKelCoord2D").F64(x).F64(y); }
  ByteBuilder& Coord3D(double x, double y, double z) { return Text("CKelCoord3D").F64(z).Coord2D(x, y); }
  ByteBuilder& Append(const Bytes& more)
  {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }

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
  const std::filesystem::path folder = pln::host::SandboxRoot() / "kernel" / test->test_suite_name() / test->name();
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

inline Bytes ReadBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
  return ReadBytes(path);
}

// LoadData over the bytes; a reader with a byte budget gets budget, and
// *left receives what remains of it.
template <class T>
bool LoadRecord(T& object, const Bytes& bytes, int budget = 0, int* left = nullptr)
{
  const std::string path = TestFilePath("load.bin");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  CKelFileIO f;
  EXPECT_TRUE(f.Open(path.c_str()));
  bool ok = false;
  if constexpr (requires { object.LoadData(f, &budget); })
    ok = object.LoadData(f, &budget);
  else
    ok = object.LoadData(f);
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

inline std::vector<CKelCoord2D> Pts(std::initializer_list<std::pair<double, double>> points)
{
  std::vector<CKelCoord2D> v;
  for (const auto& [x, y] : points)
    v.emplace_back(x, y);
  return v;
}

inline CKelAreaCoord2D Poly(std::initializer_list<std::pair<double, double>> points)
{
  CKelAreaCoord2D polygon;
  polygon.m_pt = Pts(points);
  return polygon;
}

// The coordinates of any point type, for exact compares in one line.
template <class P>
std::pair<double, double> XY(const P& p)
{
  return {p.m_x, p.m_y};
}

template <class P>
std::tuple<double, double, double> XYZ(const P& p)
{
  return {p.m_x, p.m_y, p.m_z};
}

// A polygon with its area (turning it counter-clockwise) and box set, as the
// algorithms expect.
inline CKelAreaCoord2D Prepared(CKelAreaCoord2D polygon)
{
  polygon.SetArea();
  polygon.SetMaxMin();
  return polygon;
}

// Plan position (and height) of any point type within tol.
template <class P>
void ExpectXY(double x, double y, const P& p, double tol = 1e-12)
{
  EXPECT_NEAR(x, p.m_x, tol);
  EXPECT_NEAR(y, p.m_y, tol);
}

template <class P>
void ExpectXYZ(double x, double y, double z, const P& p, double tol = 1e-12)
{
  ExpectXY(x, y, p, tol);
  EXPECT_NEAR(z, p.m_z, tol);
}

// The points of a result, in order, each within tol.
template <class List>
void ExpectPoints(std::initializer_list<std::pair<double, double>> expected, const List& actual, double tol = 1e-12)
{
  ASSERT_EQ(expected.size(), actual.size());
  std::size_t i = 0;
  for (const auto& [x, y] : expected) {
    SCOPED_TRACE(testing::Message() << "point " << i);
    ExpectXY(x, y, actual[i++], tol);
  }
}

}  // namespace kel_test
