#include "CKelMSite.h"

#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

std::size_t WrapIndex(int i, std::size_t n) { return static_cast<std::size_t>(((i % static_cast<int>(n)) + static_cast<int>(n)) % static_cast<int>(n)); }

// Position along a -> b (unit u) and offset to its left.
struct Frame {
  CKelCoord2D a;
  double c = 1;
  double s = 0;
  double len = 0;
  double Along(const CKelCoord2D& p) const { return (p.m_x - a.m_x) * c + (p.m_y - a.m_y) * s; }
  double Across(const CKelCoord2D& p) const { return c * (p.m_y - a.m_y) - s * (p.m_x - a.m_x); }
};

Frame FrameOf(const CKelCoord2D& a, const CKelCoord2D& b)
{
  Frame f{a};
  CalcCosSin(a, b, &f.c, &f.s, &f.len);
  return f;
}

}  // namespace

// --- Setting the outline ---------------------------------------------------------------

int CKelMSite::default_minashi_data(const CKelHSite& site)
{
  m_pt.clear();
  m_ChkLine1.clear();
  m_ChkLine2.clear();
  if (site.m_pt.empty())
    return 0;
  for (const CKelSiteTable& v : site.m_pt)
    m_pt.emplace_back(v.m_x, v.m_y);
  SetMaxMin();
  SetArea();
  return 1;
}

int CKelMSite::create_auto_line1(const CKelHSite& site, int i, CXYtemp2* line)
{
  const std::size_t n = site.m_pt.size();
  const CKelSiteTable& v = site.m_pt[WrapIndex(i, n)];
  const CKelCoord2D& next = site.m_pt[WrapIndex(static_cast<int>(WrapIndex(i, n)) + 1, n)];
  if (v.IsSumikiri())
    return kCornerCut;
  if (!v.IsRoad())
    return kNoLine;
  const double w1 = v.m_RoadWidthBeg;
  const double w2 = v.m_RoadWidthEnd;
  auto atLeast = [](double w) { return w >= kWideRoad - kWidthBand; };
  auto atMost = [](double w) { return w <= kWideRoad + kWidthBand; };
  if (atLeast(w1) && atLeast(w2)) {
    const CRoadLineParam far = v.GetRoadLineParam(true, next);
    const double dx = -kFarSideInset * far.m_Sin;
    const double dy = kFarSideInset * far.m_Cos;
    *line = CXYtemp2(CKelCoord2D(far.m_Beg.m_x + dx, far.m_Beg.m_y + dy),
                     CKelCoord2D(far.m_End.m_x + dx, far.m_End.m_y + dy));
    return kLine;
  }
  // Both at most 10 m: the complement of the wide case for every edge
  // SiteMAutoSet leaves (it splits widths straddling 10 m first).
  if (atMost(w1) && atMost(w2)) {
    const CRoadLineParam centre = v.GetRoadCenterLine(true, next);
    *line = CXYtemp2(centre.m_Beg, centre.m_End);
    return kLine;
  }
  return kNoLine;
}

bool CKelMSite::cross_auto_lines(const CXYtemp2& a, const CXYtemp2& b, CKelCoord2D* x)
{
  int parallel = 0;
  const std::vector<CKelCoord2D> xs = cross_line0(a.m_a, a.m_b, b.m_a, b.m_b, &parallel);
  if (!xs.empty()) {
    const Frame fa = FrameOf(a.m_a, a.m_b);
    const Frame fb = FrameOf(b.m_a, b.m_b);
    if (fa.Along(xs[0]) > 0 && fb.Along(xs[0]) < fb.len) {
      *x = xs[0];
      return true;
    }
    return false;
  }
  if (parallel == 0)
    return false;
  if (check_point(a.m_b, b.m_a)) {
    *x = a.m_b;
    return true;
  }
  if (check_point(a.m_a, b.m_b)) {
    *x = a.m_a;
    return true;
  }
  return false;
}

void CKelMSite::SplitWideningRoads(CKelHSite& site)
{
  for (std::size_t i = 0; i < site.m_pt.size(); ++i) {
    CKelSiteTable& v = site.m_pt[i];
    if ((v.COND & (CKelSiteTable::kRoad | CKelSiteTable::kSumikiri)) != CKelSiteTable::kRoad)
      continue;
    const double w1 = v.m_RoadWidthBeg;
    const double w2 = v.m_RoadWidthEnd;
    if (!((w1 > kWideRoad && w2 < kWideRoad) || (w1 < kWideRoad && w2 > kWideRoad)))
      continue;
    const CKelCoord2D& next = site.m_pt[(i + 1) % site.m_pt.size()];
    const double t = (kWideRoad - w1) / (w2 - w1);
    CKelSiteTable split(v.GetCoord(next, t));
    split.COND = v.COND;
    split.m_RoadWidthBeg = kWideRoad;
    split.m_RoadWidthEnd = w2;
    v.m_RoadWidthEnd = kWideRoad;
    site.m_pt.insert(site.m_pt.begin() + static_cast<long>(i) + 1, split);
    ++i;  // the new vertex's edge is split already
  }
}

// Step 3: walks the edges, keeping vertices of edges without a deemed line
// and joining consecutive deemed lines at their crossings.
std::vector<CKelCoord2D> CKelMSite::CollectOutline(const CKelHSite& site)
{
  const int n = static_cast<int>(site.m_pt.size());
  std::vector<CKelCoord2D> out;
  CXYtemp2 remembered;
  CXYtemp2 first;
  CXYtemp2 current;
  int prev = create_auto_line1(site, n - 1, &remembered);
  bool have = prev == kLine;
  const bool lastIsCut = prev == kCornerCut;
  bool haveFirst = false;
  auto remember = [&](const CXYtemp2& line) {
    if (lastIsCut && !have) {
      first = line;
      haveFirst = true;
    }
    remembered = line;
    have = true;
  };
  auto join = [&](const CXYtemp2& a, const CXYtemp2& b) {
    CKelCoord2D x;
    if (cross_auto_lines(a, b, &x)) {
      out.push_back(x);
    } else {
      out.push_back(a.m_b);
      out.push_back(b.m_a);
    }
  };
  for (int i = 0; i < n; ++i) {
    const int r = create_auto_line1(site, i, &current);
    const CKelCoord2D& vertex = site.m_pt[static_cast<std::size_t>(i)];
    if (r == kCornerCut) {
      prev = kCornerCut;
      continue;
    }
    if (prev == kNoLine) {
      out.push_back(vertex);
      if (r == kLine) {
        out.push_back(current.m_a);
        remember(current);
      }
    } else if (!have) {
      if (r == kLine)
        remember(current);
    } else if (r == kLine) {
      join(remembered, current);
      remember(current);
    } else {
      out.push_back(remembered.m_b);
      out.push_back(vertex);
    }
    prev = r;
  }
  if (lastIsCut && have && haveFirst)
    join(remembered, first);
  return out;
}

int CKelMSite::SiteMAutoSet(CKelHSite stored)
{
  if (stored.m_Road.empty() || stored.m_pt.empty())
    return 0;
  // The outline without a survey's extra points: a road piece of a doubled
  // point or a notch's side would add a block of road, and a split frontage
  // would join its own pieces.
  CKelHSite site = CKelSiteWorkOutline(stored).Site();
  SplitWideningRoads(site);
  CKelAreaCoord2D outline;
  outline.m_pt = CollectOutline(site);
  if (CheckCrossLine(outline))
    DeleteReveseArea(outline);
  m_pt.clear();
  if (outline.m_pt.size() > 2) {
    for (const CKelCoord2D& p : outline.m_pt) {
      if (m_pt.empty() || !(m_pt.back() == p))
        m_pt.push_back(p);
    }
    SetMaxMin();
    SetArea();
  }
  return static_cast<int>(outline.m_pt.size());
}

// --- Self-crossings ----------------------------------------------------------------------

bool CKelMSite::CheckCrossLine(const CKelAreaCoord2D& poly, const CKelCoord2D& a, const CKelCoord2D& b, int* from,
                               int* to, CKelCoord2D* x)
{
  const Frame f = FrameOf(a, b);
  const std::size_t n = poly.m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& p = poly.m_pt[k];
    const CKelCoord2D& q = poly.m_pt[(k + 1) % n];
    if (p == b || q == a || (p == a && q == b))
      continue;
    const double sp = f.Along(p);
    const double sq = f.Along(q);
    const double vp = f.Across(p);
    const double vq = f.Across(q);
    if (vp == vq || std::min(vp, vq) > 0 || std::max(vp, vq) < 0)
      continue;
    const double s = sp + (0 - vp) * (sq - sp) / (vq - vp);
    if (s < 0 || s > f.len)
      continue;
    *x = CKelCoord2D(a.m_x + s * f.c, a.m_y + s * f.s);
    *from = static_cast<int>(k);
    *to = static_cast<int>((k + 1) % n);
    return true;
  }
  return false;
}

bool CKelMSite::CheckCrossLine(CKelAreaCoord2D& poly)
{
  // Every pair of edges meets at most once, so more crossings than pairs
  // of the first outline means the scan is finding its own insertions.
  const std::size_t n0 = poly.m_pt.size();
  std::size_t budget = n0 * n0;
  bool inserted = false;
  auto insertAfter = [&poly](int at, const CKelCoord2D& x) {
    const std::size_t n = poly.m_pt.size();
    const CKelCoord2D& p = poly.m_pt[static_cast<std::size_t>(at)];
    const CKelCoord2D& q = poly.m_pt[(static_cast<std::size_t>(at) + 1) % n];
    if (x == p || x == q)
      return false;
    poly.m_pt.insert(poly.m_pt.begin() + at + 1, x);
    return true;
  };
  for (int i = 0; i < static_cast<int>(poly.m_pt.size()) && budget > 0; ++i) {
    const std::size_t n = poly.m_pt.size();
    const CKelCoord2D a = poly.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D b = poly.m_pt[(static_cast<std::size_t>(i) + 1) % n];
    int j = 0;
    int k = 0;
    CKelCoord2D x;
    if (!CheckCrossLine(poly, a, b, &j, &k, &x))
      continue;
    --budget;
    if (j < i) {
      inserted |= insertAfter(i, x);
      if (insertAfter(j, x)) {
        inserted = true;
        i += 1;  // vertex i moved up by one; skip the edge after it
      }
    } else {
      inserted |= insertAfter(j, x);
      inserted |= insertAfter(i, x);
    }
  }
  return inserted;
}

void CKelMSite::DeleteReveseArea(CKelAreaCoord2D& poly)
{
  const std::size_t n = poly.m_pt.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (!(poly.m_pt[i] == poly.m_pt[j]))
        continue;
      CKelAreaCoord2D loop;
      CKelAreaCoord2D rest;
      loop.m_pt.assign(poly.m_pt.begin() + static_cast<long>(i), poly.m_pt.begin() + static_cast<long>(j));
      rest.m_pt.assign(poly.m_pt.begin() + static_cast<long>(j), poly.m_pt.end());
      rest.m_pt.insert(rest.m_pt.end(), poly.m_pt.begin(), poly.m_pt.begin() + static_cast<long>(i));
      const double al = loop.Area();
      const double ar = rest.Area();
      if (al <= 0 && ar <= 0)
        return;
      const CKelAreaCoord2D& kept = (al > 0 && (ar <= 0 || al > ar)) ? loop : rest;
      poly.m_pt = kept.m_pt;
      poly.m_area = poly.m_xmin = poly.m_xmax = poly.m_ymin = poly.m_ymax = 0;
      return;
    }
  }
}

// --- Check lines and distances -------------------------------------------------------------

bool CKelMSite::CreateCheckLine()
{
  m_ChkLine1.m_Distance = std::max(m_ChkLine1.m_Distance, m_MinRegLine1);
  m_ChkLine2.m_Distance = std::max(m_ChkLine2.m_Distance, m_MinRegLine2);
  // The outline from its northernmost vertex, so that the lines begin there.
  std::size_t start = 0;
  for (std::size_t k = 1; k < m_pt.size(); ++k) {
    if (m_pt[k].m_y > m_pt[start].m_y)
      start = k;
  }
  CKelArea<CKelCoord2D> outline;
  outline.m_pt.assign(m_pt.begin() + static_cast<long>(start), m_pt.end());
  outline.m_pt.insert(outline.m_pt.end(), m_pt.begin(), m_pt.begin() + static_cast<long>(start));
  const bool first = m_ChkLine1.CreateCheckline(outline);
  const bool second = m_ChkLine2.CreateCheckline(outline);
  return first && second;
}

double CKelMSite::CalcSiteDistance(const CKelCoord2D& p) const
{
  double best = kFarDistance;
  const std::size_t n = m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    const Frame f = FrameOf(m_pt[k], m_pt[(k + 1) % n]);
    const double s = f.Along(p);
    const double v = f.Across(p);
    double d = best;
    if (s < 0)
      d = std::hypot(s, v);
    else if (s > f.len)
      d = std::hypot(s - f.len, v);
    else if (v < 0)
      d = -v;  // only the outside of a counter-clockwise edge counts
    best = std::min(best, d);
  }
  return best;
}

double CKelMSite::CalcSiteDistance3(const CKelCoord2D& p) const
{
  if (m_pt.empty() || InArea(p, KelTol::OnEdge, KelTol::OnEdge, Crossing::TenthTol) != 0)
    return 0;
  return CalcSiteDistance(p);
}

// --- Old record, compares and archive ---------------------------------------------------------

bool CKelMSite::FromOldParam(const SITEAREA& old, const XY_FPAIR* points, int pointCount, double distance1,
                             double distance2)
{
  if (old.count < 0 || old.count > pointCount || (old.count > 0 && points == nullptr))
    return false;
  m_pt.clear();
  for (int k = 0; k < old.count; ++k)
    m_pt.emplace_back(points[k].x, points[k].y);
  SetMaxMin();
  SetArea();
  m_ChkLine1.m_Distance = distance1;
  m_ChkLine2.m_Distance = distance2;
  return true;
}

bool CKelMSite::operator==(const CKelMSite& other) const
{
  return CKelArea<CKelCoord2D>::operator==(other) && m_ChkLine1 == other.m_ChkLine1 && m_ChkLine2 == other.m_ChkLine2;
}

bool CKelMSite::IsNearlyEqual(const CKelMSite& other) const
{
  return CKelArea<CKelCoord2D>::IsNearlyEqual(other) && m_ChkLine1.IsNearlyEqual(other.m_ChkLine1) &&
         m_ChkLine2.IsNearlyEqual(other.m_ChkLine2);
}

bool CKelMSite::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CKelMSite::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelMSite");
  if (!CKelArea<CKelCoord2D>::Serialize(ar))
    return false;
  return m_ChkLine1.Serialize(ar) && m_ChkLine2.Serialize(ar);
}

bool CKelMSiteArray::operator==(const CKelMSiteArray& other) const { return KelList::Equal(*this, other); }

bool CKelMSiteArray::IsNearlyEqual(const CKelMSiteArray& other) const { return KelList::NearlyEqual(*this, other); }
