// Builds the zoning data from arbitrary bytes taken as the old C records:
// zoning and regulation lists (parallel arrays of records over one point
// array), division lines (an index table over points), a check line and a
// deemed site. Counts and first indices stored in the records must never
// reach past the arrays given; what was built writes the same records back
// and goes through the operations that use it.
//
// Input: byte 0 the number of areas asked for, byte 1 the length of every
// record array, byte 2 the length of the point arrays; then the arrays as
// far as the input reaches (missing records stay zero).

#include "FuzzByteReader.h"
#include "ZoneFuzzSupport.h"

#include <vector>

namespace {

// count records, taken as they lie (missing ones read as zero).
template <class Record>
std::vector<Record> Array(FuzzInput::Reader& in, int count)
{
  std::vector<Record> list;
  for (int k = 0; k < count; ++k)
    list.push_back(in.Take<Record>());
  return list;
}

void Zoning(int n, FuzzInput::Reader& in, int length, const std::vector<XY_FPAIR>& points)
{
  CAreaUsgOldParam uo{Array<SITEUSG>(in, length), Array<float>(in, length), Array<SITECELL>(in, length),
                      Array<SITESAREATag>(in, length), Array<SITEPARM>(in, length), points};
  CAreaRglOldParam ro{Array<RGL_ARY>(in, length), Array<std::uint16_t>(in, length), Array<SITESAREATag>(in, length),
                      points};
  CAreaUsgArray usg;
  CAreaRglArray rgl;
  const bool usgBuilt = usg.FromOldParam(n, uo);
  const bool rglBuilt = rgl.FromOldParam(n, ro);
  KernelFuzz::Check(usgBuilt || usg.empty());
  KernelFuzz::Check(rglBuilt || rgl.empty());
  ZoneFuzz::Exercise(usg, rgl);
}

void DivisionLines(int n, FuzzInput::Reader& in, int length, const std::vector<XY_FPAIR>& points)
{
  const std::vector<std::uint16_t> index = Array<std::uint16_t>(in, length);
  CDivLineArray lines;
  if (!lines.FromOldParam(n, index.data(), length, points.data(), static_cast<int>(points.size())))
    return;
  KernelFuzz::Check(lines.GetPntMax() <= static_cast<int>(points.size()));
  std::vector<std::uint16_t> again;
  std::vector<XY_FPAIR> pts;
  KernelFuzz::Check(lines.GetOldParam(again, pts));
}

void CheckLineAndDeemedSite(FuzzInput::Reader& in, int length, const std::vector<XY_FPAIR>& points)
{
  const std::vector<CRS_PNT> crs = Array<CRS_PNT>(in, length);
  const std::vector<SITEAREA> area = Array<SITEAREA>(in, 1);
  CClineData line(0, 5);
  if (line.FromOldParam(length, crs.data(), static_cast<int>(crs.size())))
    ZoneFuzz::Exercise(line);
  CKelMSite site;
  const bool built = site.FromOldParam(area[0], points.data(), static_cast<int>(points.size()), 5, 10);
  KernelFuzz::Check(built == (area[0].count >= 0 && area[0].count <= static_cast<int>(points.size())));
  if (built)
    ZoneFuzz::Exercise(site);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 3 || size > 1 << 16)
    return 0;
  const int n = data[0];
  const int length = data[1];
  FuzzInput::Reader in(data + 3, size - 3);
  const std::vector<XY_FPAIR> points = Array<XY_FPAIR>(in, data[2]);
  Zoning(n, in, length, points);
  DivisionLines(n, in, length, points);
  CheckLineAndDeemedSite(in, length, points);
  return 0;
}
