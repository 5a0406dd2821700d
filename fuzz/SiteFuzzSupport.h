#pragma once
// What the site's fuzz targets share beyond the kernel's helpers: the input
// layout with a full archive version, and the edits and builders run on
// every site a reader accepted, which must neither crash nor hang whatever
// the stored numbers are.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "CKelHSite.h"
#include "KernelFuzzSupport.h"

namespace SiteFuzz {

// The newest archive version the site records know, and one beyond it.
inline constexpr int kVersions = 40;

// Byte 0 picks the reader, byte 1 the archive version (1 to kVersions); the
// rest is the stored data.
struct Selected {
  int reader = 0;
  int version = 1;
  KernelFuzz::Bytes stored;
};

// Precondition: size >= 2.
inline Selected Select(const std::uint8_t* data, std::size_t size)
{
  return Selected{data[0], 1 + data[1] % kVersions, KernelFuzz::Bytes(data + 2, data + size)};
}

// The corners and road numbers every reader of the outline takes as stored.
inline bool OutlineNumbersFinite(const CKelHSite& site)
{
  const auto finite = [](double v) { return std::isfinite(v); };
  for (const CKelSiteTable& v : site.m_pt) {
    if (!finite(v.m_x) || !finite(v.m_y) || !finite(v.m_Sphere.m_EdgeCos) || !finite(v.m_Sphere.m_EdgeSin))
      return false;
    if (v.IsRoad() && !(finite(v.m_RoadWidthBeg) && finite(v.m_RoadWidthEnd) && finite(v.m_RoadHeight1) &&
                        finite(v.m_RoadHeight2)))
      return false;
  }
  return true;
}

// Every query and builder of a site that stored data can reach. A site
// that the check accepts holds finite numbers only.
inline void Exercise(CKelHSite site)
{
  KernelFuzz::Check(site.CheckError(true) != 0 || OutlineNumbersFinite(site));
  const int n = site.GetSize();
  if (n > 64)
    return;  // the builders are quadratic at worst; keep one input fast
  for (int i = 0; i < n; ++i) {
    (void)site.GetRoadShape(i);
    (void)site.m_pt[static_cast<std::size_t>(i)].GetRoadShape(site);
    (void)site.SCrossTarget(i);
    (void)site.m_pt[static_cast<std::size_t>(i)].m_LineCond.m_CalcKind.GetCpntInfo();
    (void)site.m_pt[static_cast<std::size_t>(i)].m_LineCond.m_CalcKind.GetBaseBlockInfo();
    (void)site.GetBegEdgeType(i);
    (void)site.GetEndEdgeType(i);
    (void)site.CheckGroupAngle(i, 1.0);
  }
  (void)site.GetLineCondChangeFlag(site);
  site.SetRoadHeight();
  site.ResetCrossData();
  site.CheckRoadWidth();
  site.CalcSiteMaxRoad();
  (void)site.CheckError(true);
  site.ResetRoadCrossData();
  for (const CSiteRoadTable& r : site.m_Road)
    KernelFuzz::Check(r.m_no >= 0 && r.m_no < n);
  if (n > 3)
    site.DeletePoint(0);
}

}  // namespace SiteFuzz
