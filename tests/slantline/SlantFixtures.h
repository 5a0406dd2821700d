#pragma once
// What the slant-line tests share: boxes and outlines as blocks, a site with
// its stored edge data filled from its geometry, and a check block that
// gives the checked edge (or its road's far side) as the base line.

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelHSite.h"
#include "CSyasenCheckBlockParam.h"
#include "KelGeometry.h"

namespace slant_test {

inline CKelBlockCube Outline(std::initializer_list<std::pair<double, double>> pts, double top, double bottom = 0)
{
  CKelBlockCube b;
  for (const auto& [x, y] : pts)
    b.Append(CKelBlockCoord(x, y, top, bottom));
  b.SetType();
  b.SetMinMax();
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  return b;
}

// The lot's own volume: a level block over the site's outline.
inline CKelBlockCube LotBlock(const CKelHSite& site, double top)
{
  CKelBlockCube b;
  for (const CKelSiteTable& v : site.m_pt)
    b.Append(CKelBlockCoord(v.m_x, v.m_y, top, 0));
  b.SetType();
  b.SetMinMax();
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  return b;
}

inline CKelBlockCube Box(double x0, double y0, double x1, double y1, double top, double bottom = 0)
{
  return Outline({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, top, bottom);
}

inline CKelBlockCube Kind(CKelBlockCube b, bool base)
{
  if (base)
    b.SetBaseBlock();
  else
    b.SetPlanBlock();
  return b;
}

inline double PlanArea(const CKelBlockCubeArray& blocks)
{
  double a = 0;
  for (const CKelBlockCube& b : blocks)
    a += std::fabs(b.CalcArea());
  return a;
}

inline int CountPlan(const CKelBlockCubeArray& blocks)
{
  int n = 0;
  for (const CKelBlockCube& b : blocks)
    n += CSyasenCheckBlockParam::IsPlanOnly(b) ? 1 : 0;
  return n;
}

// A site over the points with every vertex's stored edge data (start,
// direction, length) taken from its outline.
inline CKelHSite Site(const std::vector<CKelCoord2D>& pts)
{
  CKelHSite site(pts);
  for (int i = 0; i < site.GetSize(); ++i) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D& next = site.m_pt[static_cast<std::size_t>((i + 1) % site.GetSize())];
    v.m_Sphere.m_EdgePos[0] = v;
    CalcCosSin(v, next, &v.m_Sphere.m_EdgeCos, &v.m_Sphere.m_EdgeSin, &v.m_Sphere.m_EdgeLen);
  }
  return site;
}

inline CKelHSite Rect20x15() { return Site({{0, 0}, {20, 0}, {20, 15}, {0, 15}}); }

// The base line of the checked edge as the check reads it
// (CheckBaseLine: its run's road's far side, else the run), or with
// ownEdge that of the checked stored edge alone, as a caller may give it;
// moved by `shift` to the left and given the heights zA and zB.
class TestCheckBlock : public CSyasenCheckBlock {
public:
  double shift = 0, zA = 0, zB = 0, arcRaise = 0.25;
  bool ownEdge = false;
  bool GetBaseLine(CSyasenCheck*, CKelHSite* site, CSyasenCheckBlockParam* param, int mode, CRoadLineParam& line,
                   double value) override
  {
    if (site == nullptr || mode != 1 || value != 0.0 || param->m_SiteNo < 0 || param->m_SiteNo >= site->GetSize())
      return false;
    if (ownEdge)
      line = OwnLine(*site, param->m_SiteNo);
    else if (!RunLine(*site, *param, line))
      return false;
    const double dx = -line.m_Sin * shift, dy = line.m_Cos * shift;
    line = CRoadLineParam(CKelCoord3D(line.m_Beg.m_x + dx, line.m_Beg.m_y + dy, zA),
                          CKelCoord3D(line.m_End.m_x + dx, line.m_End.m_y + dy, zB));
    return true;
  }
  double GetArcHeight(double height, CSyasenCheck*, CKelHSite*, int) override { return height + arcRaise; }

private:
  static CRoadLineParam OwnLine(const CKelHSite& site, int edge)
  {
    const CKelSiteTable& v = site.Vertex(edge);
    const CKelSiteTable& next = site.Vertex(edge + 1);
    if (v.IsRoad())
      return v.GetRoadLineParam(false, next);
    return CRoadLineParam(CKelCoord3D(v.m_x, v.m_y, 0), CKelCoord3D(next.m_x, next.m_y, 0));
  }
  // The check asks for the base line at every check point; the runs behind
  // it are made again only when the site or the checked edge changed.
  bool RunLine(const CKelHSite& site, const CSyasenCheckBlockParam& param, CRoadLineParam& line)
  {
    std::vector<double> key{static_cast<double>(param.m_SiteNo)};
    for (const CKelSiteTable& v : site.m_pt) {
      key.insert(key.end(), {v.m_x, v.m_y, static_cast<double>(v.COND), v.m_RoadWidthBeg, v.m_RoadWidthEnd,
                             v.m_RoadHeight1, v.m_RoadHeight2, v.m_Kanwa1, v.m_Sphere.m_EdgePos[0].m_x,
                             v.m_Sphere.m_EdgePos[0].m_y, v.m_Sphere.m_EdgeCos, v.m_Sphere.m_EdgeSin});
    }
    if (m_Made && key == m_Key) {
      line = m_Line;
      return true;
    }
    m_Made = param.CheckBaseLine(&site, line);
    m_Key = key;
    m_Line = line;
    return m_Made;
  }
  bool m_Made = false;
  std::vector<double> m_Key;
  CRoadLineParam m_Line;
};

// A check of edge 0 of the 20 x 15 site, from (0, 0) to (20, 0).
inline CSyasenCheckBlockParam EdgeZeroCheck()
{
  CSyasenCheckBlockParam p;
  p.m_SiteNo = 0;
  p.m_BegPoint = CKelCoord2D(0, 0);
  p.m_EndPoint = CKelCoord2D(20, 0);
  return p;
}

}  // namespace slant_test
