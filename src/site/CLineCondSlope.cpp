#include "CLineCondSlope.h"

#include <cmath>

#include "CKelHSite.h"
#include "KelGeometry.h"
#include "host_assert.h"

namespace {

// A neighbouring level this much or more above the reference raises the
// neighbour plane by half of the excess.
constexpr double kReliefStep = 1.0;

CKelCoord2D Offset(const CKelCoord2D& p, double dx, double dy) { return CKelCoord2D(p.m_x + dx, p.m_y + dy); }

}  // namespace

double CLineCondSlope::GetBegRoadOnlyWidth() const { return IsRoad() ? m_RoadWidthBeg : 0.0; }
double CLineCondSlope::GetEndRoadOnlyWidth() const { return IsRoad() ? m_RoadWidthEnd : 0.0; }
double CLineCondSlope::GetBegRoadWidth() const { return IsRoad() ? m_RoadWidthBeg + m_Kanwa1 : 0.0; }
double CLineCondSlope::GetEndRoadWidth() const { return IsRoad() ? m_RoadWidthEnd + m_Kanwa1 : 0.0; }

CKelCoord2D CLineCondSlope::Along(const CKelCoord2D& from, double d) const
{
  return Offset(from, d * m_Sphere.m_EdgeCos, d * m_Sphere.m_EdgeSin);
}

bool CLineCondSlope::CalcRoadLineParam(CKelCoord2D* point, double* cos, double* sin, double* len,
                                       bool roadOnly) const
{
  PLN_ASSERT(IsRoad());
  const double wb = roadOnly ? GetBegRoadOnlyWidth() : GetBegRoadWidth();
  const double we = roadOnly ? GetEndRoadOnlyWidth() : GetEndRoadWidth();
  const double ec = m_Sphere.m_EdgeCos;
  const double es = m_Sphere.m_EdgeSin;
  const double l = m_Sphere.m_EdgeLen;
  if (wb == we) {
    if (point != nullptr)
      *point = Offset(Start(), wb * es, -wb * ec);
    if (cos != nullptr)
      *cos = ec;
    if (sin != nullptr)
      *sin = es;
    if (len != nullptr)
      *len = l;
    return true;
  }
  // The common tangent of the circles wb about the start and we about the
  // end meets the edge's line t from the far vertex of the smaller circle.
  double t = 0, s = 0, w = 0;
  if (std::fabs(we) > std::fabs(wb)) {
    t = wb * l / (we - wb) + l;
    if (!(std::fabs(we) <= t))
      return false;
    s = we / t;
    w = we;
  } else {
    t = we * l / (wb - we) + l;
    if (!(std::fabs(wb) <= t))
      return false;
    s = -wb / t;
    w = wb;
  }
  const double c = std::sqrt(t * t - w * w) / t;
  auto toPlan = [&](double x, double y) { return Offset(Start(), x * ec - y * es, x * es + y * ec); };
  const CKelCoord2D p1 = toPlan(-wb * s, -wb * c);
  const CKelCoord2D p2 = toPlan(l - we * s, -we * c);
  if (point != nullptr)
    *point = p1;
  CalcCosSin(p1, p2, cos, sin, len);
  return true;
}

std::vector<CKelCoord3D> CLineCondSlope::SlopePoints(const CKelCoord2D& base, double c, double s, double scale,
                                                     double p1, double h, double p3, bool heightAtPoint) const
{
  std::vector<CKelCoord3D> out;
  double k = 0;
  if (CalKanwaPosition2(p1, &k)) {
    for (double j : {k, k + 1, k - 1}) {
      const CKelCoord2D q = Offset(base, j * scale * c, j * scale * s);
      out.emplace_back(q.m_x, q.m_y, GetRoadHeight(p1, heightAtPoint ? q : Along(Start(), j)) + h);
    }
  } else {
    const double z = GetRoadHeight(p1, Start()) + h;
    out.emplace_back(base.m_x, base.m_y, z);
    out.emplace_back(base.m_x + c, base.m_y + s, z);
  }
  const CKelCoord3D first = out.front();
  out.emplace_back(first.m_x - s, first.m_y + c, first.m_z + p3);
  return out;
}

std::vector<CKelCoord3D> CLineCondSlope::GetRoadSlopeParamOnRoad(double p1, double p2, double p3) const
{
  PLN_ASSERT(IsRoad());
  CKelCoord2D f;
  double cf = 1, sf = 0, lf = 0;
  if (!CalcRoadLineParam(&f, &cf, &sf, &lf, false))
    return {};
  // The far line is longer or shorter than the edge: positions along the
  // edge map onto it in proportion.
  const double scale = m_Sphere.m_EdgeLen > 0 ? lf / m_Sphere.m_EdgeLen : 0.0;
  return SlopePoints(f, cf, sf, scale, p1, p2 * p3, p3, false);
}

std::vector<CKelCoord3D> CLineCondSlope::GetRoadSlopeParamOnSite2(double p1, double p2, double p3) const
{
  PLN_ASSERT(IsRoad());
  // Widths that no far boundary can join make no road plane at all.
  if (!CalcRoadLineParam(nullptr, nullptr, nullptr, nullptr, false))
    return {};
  const double w = std::min(GetBegRoadWidth(), GetEndRoadWidth());
  const double ec = m_Sphere.m_EdgeCos;
  const double es = m_Sphere.m_EdgeSin;
  const CKelCoord2D b = Offset(Start(), w * es, -w * ec);
  return SlopePoints(b, ec, es, 1.0, p1, p2 * p3, p3, true);
}

std::vector<CKelCoord3D> CLineCondSlope::GetRinchiSlopeParam(double p1, double p2, double p3, double p4,
                                                             double p5) const
{
  PLN_ASSERT(IsRinchi());
  const double d = p4 - p1;
  double z0 = p5 + p1 + p2 * p3;
  if (d >= kReliefStep)
    z0 += (d - kReliefStep) / 2;
  const CKelCoord2D s = Start();
  const CKelCoord2D e = Along(s, m_Sphere.m_EdgeLen);
  const CKelCoord2D in = Offset(s, -m_Sphere.m_EdgeSin, m_Sphere.m_EdgeCos);
  return {CKelCoord3D(s.m_x, s.m_y, z0), CKelCoord3D(e.m_x, e.m_y, z0), CKelCoord3D(in.m_x, in.m_y, z0 + p3)};
}

// ---------------------------------------------------------------------------

CLineCondSlopeArea::CLineCondSlopeArea(const CKelHSite& site)
{
  for (const CKelSiteTable& v : site.m_pt)
    emplace_back(v);
}

CKelCoord2D CLineCondSlopeArea::GetBegC(int i) const
{
  const CLineCondSlope& edge = at(static_cast<std::size_t>(i));
  const CLineCondSlope& prev = at(i == 0 ? size() - 1 : static_cast<std::size_t>(i - 1));
  return prev.CutPointForNextEdge(edge.m_Sphere.m_EdgePos[0]);
}

CKelCoord2D CLineCondSlopeArea::GetEndC(int i) const
{
  at(static_cast<std::size_t>(i));
  const CLineCondSlope& next = at(static_cast<std::size_t>(i) + 1 == size() ? 0 : static_cast<std::size_t>(i) + 1);
  return next.CutPointForPrevEdge(next.m_Sphere.m_EdgePos[0]);
}
