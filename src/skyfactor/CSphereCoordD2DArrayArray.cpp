#include "CSphereCoordD2DArrayArray.h"

#include <cmath>

#include "CKelBaseParam.h"
#include "CKelBlockCubeArray.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSphereRatioBlock.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr int kDrawingStep = 10;        // degrees
constexpr int kOrthographic = 1;        // projection kind
constexpr int kNoExpansion = -1;  // which: no heights expanded

// q turned by angle (counter-clockwise).
CKelCoord2D Turned(const CKelCoord2D& q, double angle)
{
  const double c = std::cos(angle), s = std::sin(angle);
  return {q.m_x * c - q.m_y * s, q.m_y * c + q.m_x * s};
}

// The polygons the store gained since it held from polygons, as chart
// outlines.
void AppendChartPolygons(const CSphereBlkDataArrayNew& store, std::size_t from, std::vector<CKelAreaCoord2D>& out)
{
  for (std::size_t k = from; k < store.m_PolyArea.size(); ++k) {
    const CSpherePolyArea& area = store.m_PolyArea[k];
    CKelAreaCoord2D polygon;
    for (int pos = 0; pos < area.Size(); ++pos)
      polygon.m_pt.push_back(store.m_PolyCoord.Chart(area.IdxAt(pos)));
    polygon.SetMaxMin();
    polygon.SetArea();
    out.push_back(polygon);
  }
}

// pi/2 minus the azimuth, brought into [0, 2 pi) by the marks' rule: a
// value at 0 within 1e-6 stays 0.
double MarkHoui(double azimuth)
{
  double houi = KelAngle::HalfPi - azimuth;
  while (houi <= 0 && std::fabs(houi) > KelTol::SkyDisc)
    houi += KelAngle::TwoPi;
  while (houi - KelAngle::TwoPi > 0 || std::fabs(houi - KelAngle::TwoPi) <= KelTol::SkyDisc)
    houi -= KelAngle::TwoPi;
  return houi;
}

bool SameAzimuth(double a, double b)
{
  return std::fabs(a - b) <= KelTol::SkyDisc || std::fabs(a + KelAngle::TwoPi - b) <= KelTol::SkyDisc ||
         std::fabs(a - KelAngle::TwoPi - b) <= KelTol::SkyDisc;
}

}  // namespace

void CSphereCoordD2DArrayArray::SetSphereCoord(const CKelBaseParam& base, const CKelBlockCubeArray& blocks,
                                               const CKelCoord3D* chk, bool mirror)
{
  m_Outline.clear();
  m_Area.clear();
  if (chk == nullptr)
    return;
  CSphereA sphere;
  sphere.m_AngleStep = kDrawingStep;
  sphere.m_Kind = kOrthographic;
  sphere.m_bMirror = mirror;
  sphere.SetChkPnt(chk, base.m_FrameAngle);

  CKelBlockCubeArray above;
  for (const CKelBlockCube& block : blocks) {
    if (block.ZMax() > chk->m_z)
      above.push_back(block);
  }
  if (above.empty())
    return;
  // Divided and projected in the check point's frame, as the sky factor is:
  // the outlines drawn are the ones it counts, wherever the model stands.
  above = sphere.ToLocal(above);
  const CKelCoord3D origin(0, 0, chk->m_z);
  sphere.SetChkPnt(&origin, 0);
  chk = &origin;
  CSphereBlkDataArrayNew store;
  for (const CKelBlockCubeArray& group : CSphereRatioBlock::DivideBlock(above, chk, 0, 0)) {
    for (const CKelBlockCube& block : group) {
      CKelBlockCubeArray one;
      one.push_back(block);
      // Each block's own polygons only: the store keeps every earlier
      // block's polygons too, which must not be listed again.
      const std::size_t before = store.m_PolyArea.size();
      const int r = sphere.RegistSphereRatio2(kNoExpansion, false, chk, one, store);
      if (r == 0)
        AppendChartPolygons(store, before, m_Area);
      for (CSphereCoordD2DArray& outline : sphere.GetSphereBlock(block, kNoExpansion, false))
        m_Outline.push_back(std::move(outline));
      if (r != 0)
        return;
    }
  }
}

bool CSphereCoordD2DArrayArray::SearchPoint(CWindowPort* /*port*/, const CKelCoord2D& p, double maxDist,
                                            const CKelCoord3D& origin, bool raw, double angle,
                                            CSphereAngleParam* out) const
{
  double best = maxDist;
  bool found = false;
  const double c = std::cos(angle), s = std::sin(angle);
  for (const CSphereCoordD2DArray& outline : m_Outline) {
    for (const CSphereCoordD2D& point : outline) {
      const CKelCoord2D q = raw ? point.m_Pos : Turned(point.m_Pos, angle);
      const double d = length_2point(q, p);
      if (!(d < best))
        continue;
      best = d;
      found = true;
      if (out == nullptr)
        continue;
      const CKelCoord3D& v = point.m_Coord3D;
      out->m_bUse = true;
      out->m_Coord = CKelCoord3D(v.m_x * c - v.m_y * s + origin.m_x, v.m_y * c + v.m_x * s + origin.m_y,
                                 v.m_z + origin.m_z);
      out->m_Houi = KelAngle::HalfPi - point.m_AD;
      out->m_Angle = point.m_AE;
    }
  }
  return found;
}

bool CSphereCoordD2DArrayArray::SearchPoint(const CKelCoord2D& p, CSphereCoordD2D& out) const
{
  for (const CSphereCoordD2DArray& outline : m_Outline) {
    for (const CSphereCoordD2D& point : outline) {
      if (std::fabs(point.m_Pos.m_x - p.m_x) <= KelTol::SkyPickDisc &&
          std::fabs(point.m_Pos.m_y - p.m_y) <= KelTol::SkyPickDisc) {
        out = point;
        return true;
      }
    }
  }
  return false;
}

bool CSphereCoordD2DArrayArray::IsInArea(const CKelCoord2D& q) const
{
  for (const CKelAreaCoord2D& area : m_Area) {
    if (area.InArea(q, KelTol::SkyChartInside, KelTol::SkyChartInside, CKelAreaCoord2D::Crossing::TenthTol) == 1)
      return true;
  }
  return false;
}

void CSphereCoordD2DArrayArray::SetAngleParam(CSphereAngleParamArray* marks, const CKelCoord3D& chk, double cosA,
                                              double sinA, const CKelCoord3D& pick) const
{
  const double dx = pick.m_x - chk.m_x, dy = pick.m_y - chk.m_y;
  const CKelCoord3D target(cosA * dx + sinA * dy, cosA * dy - sinA * dx, pick.m_z - chk.m_z);
  const auto near = [&target](const CKelCoord3D& v) {
    return std::fabs(v.m_x - target.m_x) <= KelTol::SkyPickPoint &&
           std::fabs(v.m_y - target.m_y) <= KelTol::SkyPickPoint && std::fabs(v.m_z - target.m_z) <= KelTol::SkyPickPoint;
  };
  for (const CSphereCoordD2DArray& outline : m_Outline) {
    for (const CSphereCoordD2D& point : outline) {
      if (!near(point.m_Coord3D))
        continue;
      CSphereAngleParam mark;
      mark.m_bUse = true;
      mark.m_Coord = pick;
      mark.m_Angle = point.m_AE;
      mark.m_Houi = MarkHoui(point.m_AD);
      if (marks != nullptr)
        marks->SetAngleParam(mark);
      return;
    }
  }
}

CSphereCoordD2DArray CSphereCoordD2DArrayArray::SearchAngleParam(CSphereAngleParamArray* /*marks*/) const
{
  CSphereCoordD2DArray result;
  std::vector<double> keys;
  for (const CSphereCoordD2DArray& outline : m_Outline) {
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
      const CSphereCoordD2D& point = outline[i];
      if (!(std::fabs(point.m_AE) > KelTol::SkyDisc) || point.m_PntKind != CSphereCoordD2D::kEnd)
        continue;
      const double prev = outline[(i + n - 1) % n].m_AD;
      const double next = outline[(i + 1) % n].m_AD;
      // A point in the middle of a rising run of azimuths is no turn.
      if (prev < point.m_AD - KelTol::SkyDisc && point.m_AD < next - KelTol::SkyDisc)
        continue;
      if (IsInArea(CKelCoord2D(point.m_AD, point.m_AE)))
        continue;
      CSphereCoordD2D candidate = point;
      AddAngleParam(result, keys, candidate, point.m_AD);
    }
  }
  return result;
}

void CSphereCoordD2DArrayArray::AddAngleParam(CSphereCoordD2DArray& list, std::vector<double>& keys,
                                              CSphereCoordD2D& pt, double key)
{
  while (pt.m_AD >= KelAngle::Pi)
    pt.m_AD -= KelAngle::TwoPi;
  while (pt.m_AD < -KelAngle::Pi)
    pt.m_AD += KelAngle::TwoPi;
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (!SameAzimuth(list[k].m_AD, pt.m_AD))
      continue;
    if (list[k].m_AE > pt.m_AE || std::fabs(list[k].m_AE - pt.m_AE) <= KelTol::SkyDisc)
      return;
    list[k] = pt;
    keys[k] = key;
    return;
  }
  std::size_t at = 0;
  while (at < keys.size() && !(keys[at] < key - KelTol::SkyDisc))
    ++at;
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), pt);
  keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), key);
}
