// Reads arbitrary bytes through every reader of the straight-edged polygons:
// the archive form of a polygon list and of a polygon with heights, and the
// raw records of one polygon and of a list. The first byte picks the reader,
// the second the archive version; the rest is the stored form.
//
// A success must be the archive's own state; what an archive gave must write
// the same bytes before and after another trip (tags are read unchecked, so
// the first trip may differ from the input there); what a record gave must
// save as exactly the bytes it consumed. Small polygons that were read then go
// through the geometry (area, box, location, collinear removal, triangulation),
// which must neither crash nor run away on whatever numbers they hold.

#include <cstdint>
#include <string>
#include <type_traits>

#include "CKelArea.h"
#include "CKelAreaCoord2D.h"
#include "CKelFileIO.h"
#include "KernelFuzzSupport.h"

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;

// Larger outlines are read but not cut: the search is polynomial, not cheap.
constexpr std::size_t kMaxGeometryVertices = 16;

void ExerciseGeometry(CKelAreaCoord2D polygon)
{
  if (polygon.m_pt.size() > kMaxGeometryVertices)
    return;
  polygon.SetArea();
  polygon.SetMaxMin();
  Check(!(polygon.m_area < 0));
  if (!polygon.m_pt.empty()) {
    const int where = polygon.InArea(polygon.m_pt.front(), 0, 1e-3);
    Check(where >= -1 && where <= 1);
    polygon.IsOnline(polygon.m_pt.back());
  }
  CKelAreaCoord2D cleaned = polygon;
  cleaned.DeleteOnLine();
  Check(cleaned.m_pt.size() <= polygon.m_pt.size());
  CKelAreaCoord2DArray triangles;
  KelTriangulateResult result = KelTriangulateResult::kDone;
  const bool cut = polygon.Triangulate(triangles, &result);
  Check(cut == (result == KelTriangulateResult::kDone));
  if (!cut)
    Check(triangles.empty());
  for (const CKelAreaCoord2D& t : triangles)
    Check(t.m_pt.size() == 3);
}

// Loads T from the bytes as a record file. On success the record saved again
// must equal the bytes the load consumed.
template <class T>
void ReadRecord(const Bytes& bytes)
{
  const std::string path = KernelFuzz::WriteScratchFile("fuzz_kernel_polygons.rec", bytes);
  CKelFileIO in;
  Check(in.Open(path.c_str()));
  T value;
  const bool read = value.LoadData(in);
  const unsigned int consumed = in.GetFilePosition();
  in.Close();
  if (!read)
    return;
  Check(consumed <= bytes.size());

  const std::string outPath = KernelFuzz::ScratchPath("fuzz_kernel_polygons.out");
  CKelFileIO out;
  Check(out.Create(outPath.c_str()));
  Check(value.SaveData(out));
  out.Close();
  Check(KernelFuzz::ReadFileBytes(outPath) == Bytes(bytes.begin(), bytes.begin() + consumed));

  if constexpr (std::is_same_v<T, CKelAreaCoord2D>) {
    ExerciseGeometry(value);
  } else {
    for (std::size_t i = 0; i < value.size() && i < 4; ++i)
      ExerciseGeometry(value[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  const int mode = data[0] % 4;
  const int version = data[1] % 12;
  const Bytes payload(data + 2, data + size);
  switch (mode) {
    case 0: KernelFuzz::ReadArchived<CKelAreaCoord2DArray>(payload, version); break;
    case 1: KernelFuzz::ReadArchived<CKelArea<CKelCoord3D>>(payload, version); break;
    case 2: ReadRecord<CKelAreaCoord2D>(payload); break;
    default: ReadRecord<CKelAreaCoord2DArray>(payload); break;
  }
  return 0;
}
