// Reads arbitrary bytes as stored triangles of divided sky outlines: the raw
// records 1000 to 1004 against a list of points (whose positions the old
// records name), and the archives of triangle lists at any version up to
// and beyond the legacy gates 29, 30 and 31. Every triangle read has a long
// side of 0 to 2, so its figures can be taken.
//
// Input: byte 0 picks the reader (even: raw record, odd: archive); byte 1
// the archive version (1 to 40) or the number of points (0 to 15); the rest
// is the stored data.

#include <cstdint>

#include "CSphereTriangleData.h"
#include "KernelFuzzSupport.h"

namespace {

constexpr const char* kScratchFile = "fuzz_sky_triangles.bin";
constexpr int kVersions = 40;

// A point list of count points on a small grid, some of them equal.
CSphereCoordD2DArray Points(int count)
{
  CSphereCoordD2DArray pts;
  for (int i = 0; i < count; ++i)
    pts.emplace_back((i % 4) * 0.25, (i / 4 % 3) * 0.25, 0, 0, i);
  return pts;
}

void Measure(const CSphereTriangleData& t)
{
  for (int mode : {-1, 0, 1, 2}) {
    double base = 0, height = 0, area = 0;
    t.GetTriangleData(mode, &base, &height, &area);
  }
}

// The triangle reader takes the point list as a third argument.
struct TriangleRecord {
  static inline CSphereCoordD2DArray points;
  CSphereTriangleData triangle;
  bool LoadData(CKelFileIO& f, int* budget) { return triangle.LoadData(f, budget, points); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2 || size > 1 << 16)
    return 0;
  const KernelFuzz::Bytes stored(data + 2, data + size);
  if (data[0] % 2 == 0) {
    TriangleRecord::points = Points(data[1] % 16);
    const auto read = KernelFuzz::LoadRecord<TriangleRecord>(stored, kScratchFile);
    if (read.read)
      Measure(read.value.triangle);
    return 0;
  }
  const auto list = KernelFuzz::ReadArchived<CSphereTriangleDataArray>(stored, 1 + data[1] % kVersions);
  if (list.read) {
    for (const CSphereTriangleData& t : list.value)
      Measure(t);
  }
  return 0;
}
