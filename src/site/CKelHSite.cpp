// The outline of the site: construction, the point-list edits and what they
// do to the edge records, queries, checks and compares.

#include "CKelHSite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "CKelSiteWorkOutline.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// A run of road and corner-cut edges this long or longer faces a road wide
// enough to count (bit 0x0100).
constexpr double kWideRunLength = 2.0;

bool RoadOrCut(const CKelSiteTable& v) { return (v.COND & (CKelSiteTable::kRoad | CKelSiteTable::kSumikiri)) != 0; }

bool Within(double a, double b, double tol) { return std::fabs(a - b) <= tol; }

bool Finite(const CKelCoord2D& p) { return std::isfinite(p.m_x) && std::isfinite(p.m_y); }

// The corner, the edge data stored with it (its start, direction, length
// and corner points, which the slant-line and sky checks take as they are)
// and, on a neighbour edge, the neighbour's height.
bool VertexFinite(const CKelSiteTable& v)
{
  const CKelHsiteSphereTable& sp = v.m_Sphere;
  return Finite(v) && std::all_of(std::begin(sp.m_EdgePos), std::end(sp.m_EdgePos), Finite) &&
         std::isfinite(sp.m_EdgeCos) && std::isfinite(sp.m_EdgeSin) && std::isfinite(sp.m_EdgeLen) &&
         (!v.IsRinchi() || std::isfinite(v.m_RinchiHeight));
}

// Whether segments ab and cd cross or come within near of each other.
bool SegmentsMeet(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& d, double near)
{
  if (std::max(a.m_x, b.m_x) + near < std::min(c.m_x, d.m_x) || std::max(c.m_x, d.m_x) + near < std::min(a.m_x, b.m_x) ||
      std::max(a.m_y, b.m_y) + near < std::min(c.m_y, d.m_y) || std::max(c.m_y, d.m_y) + near < std::min(a.m_y, b.m_y))
    return false;
  if (linedist(a, b, c, nullptr) <= near || linedist(a, b, d, nullptr) <= near || linedist(c, d, a, nullptr) <= near ||
      linedist(c, d, b, nullptr) <= near)
    return true;
  // Turns taken about each segment's start, so survey coordinates keep
  // their digits.
  const auto turn = [](const CKelCoord2D& p, const CKelCoord2D& q, const CKelCoord2D& r) {
    return (q.m_x - p.m_x) * (r.m_y - p.m_y) - (q.m_y - p.m_y) * (r.m_x - p.m_x);
  };
  const auto apart = [](double u, double v) { return (u < 0 && v > 0) || (u > 0 && v < 0); };
  return apart(turn(a, b, c), turn(a, b, d)) && apart(turn(c, d, a), turn(c, d, b));
}

// The first stored edge of an outline no lot has, read on its pieces (the
// survey's repeats, spikes and tiny edges folded away): one that crosses or
// touches itself (two pieces that are not neighbours come within a hair,
// KelTol::SiteSurveyRepeat), that encloses no area (less than a strip a hair
// wide along half its perimeter), or that has fewer than three corners; -1
// for a lot. A figure-eight, a lot listed twice, two lobes meeting at a
// point or a notch whose tip reaches the frontage give no site a reader
// could work on. The hair is the width below which the cleaning drops a
// spike, so a needle or slit is either dropped or kept apart: a needle
// 1e-5 m wide is the lot's own.
int NotALotEdge(const CKelHSite& stored, const CKelSiteWorkOutline& work)
{
  if (stored.GetSize() < 3)
    return stored.GetSize() > 0 ? 0 : -1;
  const CKelHSite& pieces = work.Pieces();
  const int n = pieces.GetSize();
  if (n < 3)
    return 0;
  double perimeter = 0;
  for (int k = 0; k < n; ++k)
    perimeter += length_2point(pieces.Vertex(k), pieces.Vertex(k + 1));
  std::vector<CKelCoord2D> pts;  // about the first corner, to keep the digits
  const CKelCoord2D& o = pieces.Vertex(0);
  for (int k = 0; k < n; ++k)
    pts.emplace_back(pieces.Vertex(k).m_x - o.m_x, pieces.Vertex(k).m_y - o.m_y);
  if (!(std::fabs(SignedShoelaceArea(pts)) > KelTol::SiteSurveyRepeat * perimeter / 2))
    return 0;
  int first = -1;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 2; j < n; ++j) {
      if ((i == 0 && j == n - 1) ||
          !SegmentsMeet(pieces.Vertex(i), pieces.Vertex(i + 1), pieces.Vertex(j), pieces.Vertex(j + 1), KelTol::SiteSurveyRepeat))
        continue;
      const int edge = std::min(work.KeptOfPiece(i), work.KeptOfPiece(j));
      first = first < 0 ? edge : std::min(first, edge);
    }
  }
  return first;
}

}  // namespace

CKelHSite::CKelHSite(const std::vector<CKelCoord2D>& pts)
{
  for (const CKelCoord2D& p : pts)
    m_pt.emplace_back(p);
}

int CKelHSite::Init()
{
  *this = CKelHSite();
  return 0;
}

// ---------------------------------------------------------------------------
// Indices

int CKelHSite::Next(int i) const { return i + 1 >= GetSize() ? i + 1 - GetSize() : i + 1; }
int CKelHSite::Prev(int i) const { return i - 1 < 0 ? i - 1 + GetSize() : i - 1; }

const CKelSiteTable& CKelHSite::Vertex(int i) const
{
  const int n = GetSize();
  PLN_ASSERT(n > 0);
  if (i < 0)
    i += n;
  else if (i >= n)
    i -= n;
  PLN_ASSERT(0 <= i && i < n);
  return m_pt[static_cast<std::size_t>(i)];
}

CKelSiteTable& CKelHSite::At(int i) { return const_cast<CKelSiteTable&>(Vertex(i)); }

// ---------------------------------------------------------------------------
// Point list

CKelCoord3D CKelHSite::GetCoord3D(int i) const
{
  PLN_ASSERT(GetSize() > 0);
  const CKelSiteTable& v = Vertex(i);
  return CKelCoord3D(v.m_x, v.m_y, 0);
}

CKelCoord3D CKelHSite::GetFrontCoord3D() const { return GetCoord3D(0); }
CKelCoord3D CKelHSite::GetBackCoord3D() const { return GetCoord3D(GetSize() - 1); }

void CKelHSite::Append(const CKelCoord3D& p) { m_pt.emplace_back(CKelCoord2D(p.m_x, p.m_y)); }

void CKelHSite::InsertPoint(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(GetSize() > 0);
  const CKelCoord2D at(p.m_x, p.m_y);
  CKelSiteTable& old = At(i);
  CKelSiteTable added(at);
  if (!old.IsSumikiri()) {
    added = old;
    added.m_x = at.m_x;
    added.m_y = at.m_y;
    if (old.IsRoad()) {
      const double a = length_2point(old, at);
      const double b = length_2point(at, Vertex(i + 1));
      const double t = a + b > 0 ? a / (a + b) : 0.0;
      const float mid = static_cast<float>(old.m_RoadHeight1 + (old.m_RoadHeight2 - old.m_RoadHeight1) * t);
      added.m_RoadHeight1 = mid;
      old.m_RoadHeight2 = mid;
    }
  }
  // The edge split, its index wrapped once as Vertex wraps it.
  const int edge = static_cast<int>(&old - m_pt.data());
  m_pt.insert(m_pt.begin() + edge + 1, added);
  for (CSiteRoadTable& r : m_Road) {
    if (r.m_no > edge)
      ++r.m_no;
  }
}

void CKelHSite::MovePoint(int i, const CKelCoord3D& p)
{
  CKelSiteTable& v = At(i);
  v.m_x = p.m_x;
  v.m_y = p.m_y;
}

void CKelHSite::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  for (CKelSiteTable& v : m_pt) {
    v.m_x += a.m_x - b.m_x;
    v.m_y += a.m_y - b.m_y;
  }
}

void CKelHSite::SwapCoord(int i, int j)
{
  CKelSiteTable& a = At(i);
  CKelSiteTable& b = At(j);
  std::swap(a.m_x, b.m_x);
  std::swap(a.m_y, b.m_y);
}

void CKelHSite::ResetToRinchi(int i)
{
  CKelSiteTable& v = At(i);
  v.COND = 0;
  v.optno = -1;
  v.m_TokuteiDistance = m_DefTokuteiDistance;
}

void CKelHSite::DeletePoint(int i)
{
  const int n = GetSize();
  PLN_ASSERT(0 <= i && i < n);
  const bool road = Vertex(i).IsRoad();
  if (road) {
    // A corner cut that loses one of its two roads is no corner cut any more.
    const int next = Next(i);
    const int prev = Prev(i);
    if (Vertex(next).IsSumikiri() && !Vertex(prev).IsRoad())
      ResetToRinchi(next);
    if (Vertex(prev).IsSumikiri() && !Vertex(next).IsRoad())
      ResetToRinchi(prev);
    DropRoadOfEdge(i);
  }
  m_pt.erase(m_pt.begin() + i);
  for (CSiteRoadTable& r : m_Road) {
    if (r.m_no > i)
      --r.m_no;
  }
  if (road)
    ResetCrossData();
}

// Removes the road of edge i from the table and shifts every later road
// index down by one, so vertex records and crossings keep naming the same
// roads. The crossings of the removed road are rebuilt by the caller.
void CKelHSite::DropRoadOfEdge(int i)
{
  const int gone = Vertex(i).optno;
  if (gone < 0 || gone >= static_cast<int>(m_Road.size()) || m_Road[static_cast<std::size_t>(gone)].m_no != i)
    return;
  m_Road.erase(m_Road.begin() + gone);
  auto remap = [gone](auto& index) {
    if (index == gone)
      index = -1;
    else if (index > gone)
      --index;
  };
  for (CKelSiteTable& v : m_pt)
    remap(v.optno);
  for (CSiteCrossTable& c : m_Cross) {
    remap(c.m_Road1);
    remap(c.m_Road2);
  }
}

void CKelHSite::MoveLine(int i, const CKelCoord2D& p)
{
  CKelSiteTable& a = At(i);
  CKelSiteTable& b = At(i + 1);
  CKelCoord2D pa = a, pb = b;
  CalcMoveLine(pa, pb, p);
  MovePoint(i, CKelCoord3D(pa.m_x, pa.m_y, 0));
  MovePoint(i + 1, CKelCoord3D(pb.m_x, pb.m_y, 0));
}

void CKelHSite::MoveLine(int i, double d)
{
  CKelCoord2D pa = Vertex(i), pb = Vertex(i + 1);
  CalcMoveLine(pa, pb, d);
  MovePoint(i, CKelCoord3D(pa.m_x, pa.m_y, 0));
  MovePoint(i + 1, CKelCoord3D(pb.m_x, pb.m_y, 0));
}

// ---------------------------------------------------------------------------
// Queries

bool CKelHSite::IsRoad(int i) const
{
  if (m_pt.empty())
    return false;
  PLN_ASSERT(0 <= i && i < GetSize());
  return m_pt[static_cast<std::size_t>(i)].IsRoad();
}

bool CKelHSite::IsRinchi(int i) const
{
  if (m_pt.empty())
    return false;
  PLN_ASSERT(0 <= i && i < GetSize());
  return m_pt[static_cast<std::size_t>(i)].IsRinchi();
}

bool CKelHSite::IsSumikiri(int i) const
{
  if (m_pt.empty())
    return false;
  PLN_ASSERT(0 <= i && i < GetSize());
  return m_pt[static_cast<std::size_t>(i)].IsSumikiri();
}

const CSiteRoadTable* CKelHSite::RoadOf(int optno) const
{
  if (optno < 0 || optno >= static_cast<int>(m_Road.size()))
    return nullptr;
  return &m_Road[static_cast<std::size_t>(optno)];
}

int CKelHSite::GetRoadShape(int i) const
{
  const CSiteRoadTable* r = RoadOf(Vertex(i).optno);
  return r == nullptr ? 0 : r->GetShape();
}

double CKelHSite::ChangeHeight(const CKelCoord2D& p, int i) const
{
  if (i < 0 || i >= GetSize())
    return 0.0;
  return Vertex(i).GetRoadHeight(Vertex(i + 1), p);
}

// ---------------------------------------------------------------------------
// Checks

// A road edge without length, or whose widths differ by its length or more,
// has no far side that touches both width circles.
bool CKelHSite::HasDegenerateRoad(int i) const
{
  const CKelSiteTable& v = Vertex(i);
  if (!v.IsRoad())
    return false;
  const double len = length_2point(v, Vertex(i + 1));
  return !(len > 0) || std::fabs(v.m_RoadWidthEnd - v.m_RoadWidthBeg) >= len;
}

// A survey's piece folded into its neighbour (a doubled point's edge, a
// notch's side) is judged with that neighbour, and a corner cut split into
// pieces is one cut between its roads. An edge laid back over the one
// before has the road of a frontage on the site's own side: no reader can
// take such a listing for the lot it encloses.
int CKelHSite::CheckError(bool bCheckOnly, int* failedEdge)
{
  // A corner at no place leaves every edge beside it without a length or
  // direction: refused before any edge is judged.
  if (!std::all_of(m_pt.begin(), m_pt.end(), VertexFinite))
    return kNotFinite;
  const CKelSiteWorkOutline work(*this);
  for (int i = 0; i < GetSize(); ++i) {
    const int code = EdgeError(work, i, bCheckOnly);
    if (code != 0) {
      if (failedEdge != nullptr)
        *failedEdge = i;
      return code;
    }
  }
  const int edge = NotALotEdge(*this, work);
  if (edge >= 0 || GetSize() == 0) {
    if (failedEdge != nullptr)
      *failedEdge = edge;
    return kNotALot;
  }
  return 0;
}

int CKelHSite::EdgeError(const CKelSiteWorkOutline& work, int i, bool bCheckOnly)
{
  CKelSiteTable& v = At(i);
  const int code = v.SetFlag(v.GetType(), m_DefTokuteiDistance, bCheckOnly);
  if (code != 0)
    return code;
  if (i == work.RunsBack())
    return kRunsBack;
  if (work.IsFolded(i))
    return 0;
  if (HasDegenerateRoad(i))
    return 1;
  if (v.IsSumikiri() && !IsCutBetweenRoads(work, i))
    return 4;
  return 0;
}

// Walks the edges starting after one that is neither road nor corner cut, so
// a run that wraps past the last edge is met whole; an outline of nothing
// but such edges is one run over its whole perimeter.
void CKelHSite::CheckRoadWidth()
{
  const int n = GetSize();
  for (CKelSiteTable& v : m_pt)
    v.COND &= static_cast<std::uint16_t>(~CKelSiteTable::kWideRun);
  int start = 0;
  while (start < n && RoadOrCut(Vertex(start)))
    ++start;
  std::vector<int> run;
  double length = 0;
  auto close = [&]() {
    if (length >= kWideRunLength) {
      for (int k : run)
        At(k).COND |= CKelSiteTable::kWideRun;
    }
    run.clear();
    length = 0;
  };
  for (int step = 1; step <= n; ++step) {
    const int k = (start + step) % n;
    if (RoadOrCut(Vertex(k))) {
      run.push_back(k);
      length += length_2point(Vertex(k), Vertex(k + 1));
    } else {
      close();
    }
  }
  close();
}

void CKelHSite::SetBldBack()
{
  for (CKelSiteTable& v : m_pt)
    v.SetBldBack();
}

bool CKelHSite::IsSphereParamChanged(const CKelHSite& other) const
{
  if (GetSize() != other.GetSize())
    return true;
  for (std::size_t k = 0; k < m_pt.size(); ++k) {
    if (m_pt[k].m_LineCond != other.m_pt[k].m_LineCond || !(m_pt[k].m_Sphere == other.m_pt[k].m_Sphere))
      return true;
  }
  return false;
}

int CKelHSite::FindNonCut(int start, int step) const
{
  const int n = GetSize();
  int k = start;
  for (int count = 0; count < n; ++count) {
    k = CyclicIndex(k, n);
    if (!m_pt[static_cast<std::size_t>(k)].IsSumikiri())
      return k;
    k += step;
  }
  return -1;
}

std::vector<bool> CKelHSite::GetLineCondChangeFlag(const CKelHSite& other) const
{
  const int n = GetSize();
  std::vector<bool> flags(static_cast<std::size_t>(n), false);
  if (n != other.GetSize()) {
    flags.assign(flags.size(), true);
    return flags;
  }
  for (int i = 0; i < n; ++i) {
    const CKelSiteTable& a = m_pt[static_cast<std::size_t>(i)];
    const CKelSiteTable& b = other.m_pt[static_cast<std::size_t>(i)];
    const CLineCondExCondition& ca = a.m_LineCond;
    const CLineCondExCondition& cb = b.m_LineCond;
    const bool pairCounts = cb.m_BackSwitch2 == 0;
    if (a.m_Sphere.m_CalcFlag != b.m_Sphere.m_CalcFlag || ca.m_bSwitch1 != cb.m_bSwitch1 ||
        ca.m_bSwitch2 != cb.m_bSwitch2 || ca.m_BackSwitch != cb.m_BackSwitch ||
        ca.m_BackSwitch2 != cb.m_BackSwitch2 || ca.m_Option != cb.m_Option ||
        (pairCounts && (ca.m_Back1 != cb.m_Back1 || ca.m_Back2 != cb.m_Back2)) ||
        a.m_Sphere.m_BldBack[0] != b.m_Sphere.m_BldBack[0] || a.m_Sphere.m_BldBack[1] != b.m_Sphere.m_BldBack[1] ||
        a.m_Sphere.m_BldBack2[0] != b.m_Sphere.m_BldBack2[0] || a.m_Sphere.m_BldBack2[1] != b.m_Sphere.m_BldBack2[1])
      flags[static_cast<std::size_t>(i)] = true;
    if (ca.m_CutMode != cb.m_CutMode) {
      flags[static_cast<std::size_t>(i)] = true;
      // The corner points of a corner cut belong to the edges either side;
      // an outline of corner cuts only has none, and only i is flagged.
      const int before = FindNonCut(i, -1);
      const int after = FindNonCut(i, +1);
      if (before >= 0)
        flags[static_cast<std::size_t>(before)] = true;
      if (after >= 0)
        flags[static_cast<std::size_t>(after)] = true;
    }
  }
  return flags;
}

// ---------------------------------------------------------------------------
// Compares

// Everything but the vertices: the cached area and box, the site values
// and the road and crossing tables.
bool CKelHSite::SiteValuesEqual(const CKelHSite& o) const
{
  const double tol = KelTol::PolygonCache;
  return Within(m_area, o.m_area, tol) && Within(m_xmin, o.m_xmin, tol) && Within(m_xmax, o.m_xmax, tol) &&
         Within(m_ymin, o.m_ymin, tol) && Within(m_ymax, o.m_ymax, tol) &&
         Within(m_FloorAreaRatio, o.m_FloorAreaRatio, tol) && Within(m_CoverageRatio, o.m_CoverageRatio, tol) &&
         Within(m_DeemedRoadWidth, o.m_DeemedRoadWidth, tol) &&
         Within(m_CapacityRoadWidth, o.m_CapacityRoadWidth, tol) && Within(m_KanwaWidth, o.m_KanwaWidth, tol) &&
         m_DeemedRoadNo == o.m_DeemedRoadNo && m_CapacityRoadNo == o.m_CapacityRoadNo && m_Road == o.m_Road &&
         m_Cross == o.m_Cross;
}

bool CKelHSite::operator==(const CKelHSite& o) const { return KelList::Equal(m_pt, o.m_pt) && SiteValuesEqual(o); }

bool CKelHSite::CheckSyasenCheckCondition(const CKelHSite& o) const
{
  const bool vertices = m_pt.size() == o.m_pt.size() &&
                        std::equal(m_pt.begin(), m_pt.end(), o.m_pt.begin(), [](const auto& a, const auto& b) {
                          return a.CheckSyasenCheckCondition(b);
                        });
  return vertices && SiteValuesEqual(o);
}

bool CKelHSite::IsNearlyEqual(const CKelHSite& o) const
{
  auto nearly = [](double a, double b) { return fcmpNearly(a - b) == 0; };
  return CKelArea<CKelSiteTable>::IsNearlyEqual(o) && nearly(m_FloorAreaRatio, o.m_FloorAreaRatio) &&
         nearly(m_CoverageRatio, o.m_CoverageRatio) && nearly(m_DeemedRoadWidth, o.m_DeemedRoadWidth) &&
         nearly(m_CapacityRoadWidth, o.m_CapacityRoadWidth) && nearly(m_KanwaWidth, o.m_KanwaWidth) &&
         m_DeemedRoadNo == o.m_DeemedRoadNo && m_CapacityRoadNo == o.m_CapacityRoadNo &&
         m_Road.IsNearlyEqual(o.m_Road) && m_Cross.IsNearlyEqual(o.m_Cross);
}

void CKelHSite::CompareData(const CKelHSite& o, std::vector<std::string>& lines) const
{
  char text[256];
  if (GetSize() != o.GetSize()) {
    std::snprintf(text, sizeof text, "本敷地, 辺数, %d, %d", GetSize(), o.GetSize());
    lines.emplace_back(text);
    return;
  }
  auto real = [&](const char* name, double a, double b) {
    if (a != b) {
      std::snprintf(text, sizeof text, "本敷地, %s, %f, %f", name, a, b);
      lines.emplace_back(text);
    }
  };
  auto whole = [&](const char* name, int a, int b) {
    if (a != b) {
      std::snprintf(text, sizeof text, "本敷地, %s, %d, %d", name, a, b);
      lines.emplace_back(text);
    }
  };
  real("容積率", m_FloorAreaRatio, o.m_FloorAreaRatio);
  real("建坪率", m_CoverageRatio, o.m_CoverageRatio);
  whole("みなし道路番号", m_DeemedRoadNo, o.m_DeemedRoadNo);
  real("みなし道路幅", m_DeemedRoadWidth, o.m_DeemedRoadWidth);
  whole("容積率算定道路の番号", m_CapacityRoadNo, o.m_CapacityRoadNo);
  real("容積率算定道路の幅", m_CapacityRoadWidth, o.m_CapacityRoadWidth);
  real("緩和幅", m_KanwaWidth, o.m_KanwaWidth);
  for (int k = 0; k < GetSize(); ++k) {
    std::snprintf(text, sizeof text, "本敷地, %d", k + 1);
    m_pt[static_cast<std::size_t>(k)].CompareData(text, o.m_pt[static_cast<std::size_t>(k)], lines);
  }
}

// ---------------------------------------------------------------------------
// CKelHSiteArray

bool CKelHSiteArray::operator==(const CKelHSiteArray& o) const { return KelList::Equal(*this, o); }
bool CKelHSiteArray::IsNearlyEqual(const CKelHSiteArray& o) const { return KelList::NearlyEqual(*this, o); }
