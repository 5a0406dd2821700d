// Builds a site from arbitrary bytes taken as the old C records: the site
// cell, the outline header with its vertex count, the road cell, and arrays
// of points, edge records, roads and crossings whose lengths come from the
// input. A vertex count past either array must be refused; a site that was
// built writes the same records back and goes through every builder.
//
// Input: bytes 0 to 3 the lengths of the point, edge, road and crossing
// arrays; then SITECELL, SITEAREA, MTG_CELL and the arrays, as far as the
// input reaches (missing records stay zero).

#include "CKelHSite.h"
#include "SiteFuzzSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

class Reader {
public:
  Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  template <class Record>
  Record Next()
  {
    Record r{};
    const std::size_t n = std::min(sizeof(Record), m_size - m_pos);
    std::memcpy(&r, m_data + m_pos, n);
    m_pos += n;
    return r;
  }

  template <class Record>
  std::vector<Record> Array(int count)
  {
    std::vector<Record> list;
    for (int k = 0; k < count; ++k)
      list.push_back(Next<Record>());
    return list;
  }

private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 4 || size > 1 << 16)
    return 0;
  Reader in(data + 4, size - 4);
  const SITECELL cell = in.Next<SITECELL>();
  const SITEAREA area = in.Next<SITEAREA>();
  const MTG_CELL mtg = in.Next<MTG_CELL>();
  const std::vector<XY_FPAIR> pts = in.Array<XY_FPAIR>(data[0]);
  const std::vector<LCONDITION> conds = in.Array<LCONDITION>(data[1]);
  const std::vector<RD_CELL> roads = in.Array<RD_CELL>(data[2]);
  const std::vector<CRS_ROAD> crosses = in.Array<CRS_ROAD>(data[3]);

  CKelHSite site;
  const bool built = site.FromOldParam(pts.data(), data[0], cell, area, conds.data(), data[1], mtg);
  KernelFuzz::Check(built == (area.count >= 0 && area.count <= data[0] && area.count <= data[1]));
  if (!built)
    return 0;
  site.m_Road.FromOldParam(roads.data(), data[2]);
  site.m_Cross.FromOldParam(crosses.data(), data[3]);
  KernelFuzz::Check(site.m_Road.size() == data[2] && site.m_Cross.size() == data[3]);
  const std::vector<LCONDITION> again = site.GetOldLineCond();
  KernelFuzz::Check(static_cast<int>(again.size()) == area.count);
  KernelFuzz::Check(site.m_Road.GetOldParam().size() == roads.size());
  // The old records carry no checked references: the builders rebuild them.
  site.ResetRoadCrossData();
  SiteFuzz::Exercise(site);
  return 0;
}
