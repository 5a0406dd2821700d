#pragma once
// What the zoning and check-line fuzz targets share: the operations run on
// every object a reader accepted, which must neither crash nor hang
// whatever the stored numbers are.

#include <cstdint>

#include "CAreaRgl.h"
#include "CAreaUsg.h"
#include "CClineDataPickup.h"
#include "CKelHSite.h"
#include "CKelMSite.h"
#include "CSyasenCheckSectionLine.h"
#include "KernelFuzzSupport.h"

namespace ZoneFuzz {

// Loop removal is cubic at worst; larger outlines are left to the benchmark.
inline constexpr std::size_t kMaxExercised = 64;

inline void Exercise(const CClineData& line)
{
  (void)line.GetLength();
  (void)line.CheckData();
  double dist = 1e300;
  CKelCoord2D foot;
  (void)line.FindChkLinePoint(CKelCoord2D(1, 2), &dist, &foot);
  if (!line.empty())
    (void)line.cross_checkline(0.5, CKelCoord2D(0, 0), CKelCoord2D(1, 1), &foot);
  const std::vector<ClineElement> elements = line.Elements();
  if (elements.empty())
    return;
  const ClineElement& first = elements.front();
  const ClineElement& last = elements.back();
  for (int reverse : {0, 1}) {
    CClineDataPickup pick;
    (void)line.pickup_points(&pick, CClineCoord(line[static_cast<std::size_t>(first.end)], first.start),
                             CClineCoord(line[static_cast<std::size_t>(last.start)], last.start), reverse, 0.7);
    KernelFuzz::Check(pick.m_Points.size() < (1u << 24));
  }
  CClineDataPickup2 copy;
  (void)line.pickup_points1(&copy, first.start, line[static_cast<std::size_t>(first.start)], last.start,
                            line[static_cast<std::size_t>(last.end)], 1.0);
}

inline void Exercise(CKelMSite site)
{
  (void)site.CalcSiteDistance(CKelCoord2D(3, 4));
  site.SetMaxMin();
  (void)site.CalcSiteDistance3(CKelCoord2D(3, 4));
  Exercise(site.m_ChkLine1);
  if (site.m_pt.size() <= kMaxExercised) {
    site.CreateCheckLine();
    KernelFuzz::Check(site.m_ChkLine1.empty() || site.m_ChkLine1.CheckData() > 0);
  }
}

inline void Exercise(const CAreaUsgArray& usg, const CAreaRglArray& rgl)
{
  CKelHSite site;
  site.m_pt.emplace_back(CKelCoord2D(0, 0));
  site.m_pt.emplace_back(CKelCoord2D(10, 0));
  site.m_pt.emplace_back(CKelCoord2D(10, 10));
  site.SetMaxMin();
  int code = 0;
  (void)usg.check_usage(site, CKelCoord2D(5, 1), &code);
  (void)rgl.check_regulate(site, CKelCoord2D(5, 1), &code);
  (void)rgl.GetRegHeight2(CKelCoord2D(5, 1));
  for (const CAreaUsg& a : usg) {
    CUsgTable t = a.m_UsgTable;
    (void)t.GetNorthSlope(rgl);
    (void)t.GetRoadSlope(1);
    (void)t.GetAbsHeight();
    (void)t.check_usage_data(6.0);
    (void)t.GetUsgName(CUsgDefaultTable());
  }
  CAreaUsgOldParam uo;
  CAreaRglOldParam ro;
  if (usg.GetOldParam(uo)) {
    CAreaUsgArray back;
    KernelFuzz::Check(back.FromOldParam(usg.GetSize(), uo));
  }
  if (rgl.GetOldParam(ro)) {
    CAreaRglArray back;
    KernelFuzz::Check(back.FromOldParam(rgl.GetSize(), ro));
  }
}

}  // namespace ZoneFuzz
