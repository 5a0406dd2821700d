// The preparation of the united boundaries for the sky shares: holes merged
// into their enclosing boundary (or dropped), the triangles of every
// boundary with their bases lifted to the expand lines, and the two-sided
// variant that keeps the sky between the blocks' upper boundary and the
// zenith within the azimuth range the blocks span (a fan).
//
// Points of the two-sided variant are chart points (azimuth, elevation);
// bridges, triangles and expand lines use disc positions.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "CDividTriangle.h"
#include "CSphereBlkDataArrayNew.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::SkyDisc;
constexpr double kPi = KelAngle::Pi;
// How far the triangles of an outline may miss its area on the disc: the
// needles the division drops, each under KelTol::DividEmptyArea.
constexpr double kCoverTol = 1e-7;
using Line = std::vector<CKelCoord2D>;

bool Near(double a, double b)
{
  return std::fabs(a - b) <= kTol;
}

// Whether two chart points are one: within the band the points are
// classified and searched with. A plan point's wider equality would merge
// a corner with a point beside it that the classification keeps apart (a
// degree line walked 1e-4 degrees from a corner), and the region would
// lose the corner its dividing lines end on.
bool Same(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return Near(a.m_x, b.m_x) && Near(a.m_y, b.m_y);
}

// Appends p unless it is the point appended last.
void PushDistinct(Line& out, const CKelCoord2D& p)
{
  if (out.empty() || !Same(out.back(), p))
    out.push_back(p);
}

// Twice the signed area of a chart outline.
double ChartArea(const Line& points)
{
  double sum = 0;
  for (std::size_t k = 0; k < points.size(); ++k) {
    const CKelCoord2D& a = points[k];
    const CKelCoord2D& b = points[(k + 1) % points.size()];
    sum += a.m_x * b.m_y - b.m_x * a.m_y;
  }
  return sum;
}

// Whether p lies outside the chart outline, farther than the band from
// every edge.
bool ClearlyOutside(const Line& outline, const CKelCoord2D& p)
{
  bool inside = false;
  const std::size_t n = outline.size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& a = outline[k];
    const CKelCoord2D& b = outline[(k + 1) % n];
    if (SegmentDistance(a, b, p) <= kTol)
      return false;
    if ((a.m_y > p.m_y) != (b.m_y > p.m_y) && p.m_x < a.m_x + (p.m_y - a.m_y) / (b.m_y - a.m_y) * (b.m_x - a.m_x))
      inside = !inside;
  }
  return !inside;
}

void DropClosingRepeat(Line& out)
{
  if (out.size() >= 2 && Same(out.front(), out.back()))
    out.erase(out.begin());
}

}  // namespace

int CSphereBlkDataArrayNew::CalcSansya(int nRound, std::vector<CSphereRatioBlockParam>& params, int step,
                                       bool twoSided, bool dropHoles, CSphereFunShapeParamArray& fans)
{
  if (params.empty())
    return kDone;
  if (twoSided) {
    bool ok = true;
    params = Side2_CreateBoundaryLine(params, fans, &ok);
    if (!ok)
      return kCancelled;
  } else if (!Merge(params, step, dropHoles)) {
    return kCancelled;
  }
  return CreateSansya(nRound, params);
}

// --- Holes ----------------------------------------------------------------------------------

bool CSphereBlkDataArrayNew::Merge(std::vector<CSphereRatioBlockParam>& params, int step, bool dropHoles)
{
  bool ok = true;
  if (dropHoles) {
    params.erase(std::remove_if(params.begin(), params.end(),
                                [](const CSphereRatioBlockParam& p) { return p.m_area < 0; }),
                 params.end());
    for (CSphereRatioBlockParam& p : params)
      ok = p.DeleteHorzPoint(step) && ok;
    return ok;
  }
  const std::vector<CSphereRatioBlockParam> drawn = params;
  for (std::size_t i = 0; i < params.size(); ++i) {
    params[i].m_bFlag = false;
    for (std::size_t j = 0; j < params.size(); ++j) {
      if (j != i)
        InsertPoint1(params[i], params[j]);
    }
  }
  // A hole keeps what lies inside its outline on the disc, measured against
  // the outline's edges as drawn; one left with no area is sky the outline
  // does not cover anyway.
  std::vector<bool> kept(params.size(), true);
  for (std::size_t h = 0; h < params.size(); ++h) {
    SphereRatioBlockWorkParam work;
    if (params[h].m_area < 0 && SearchMergeParam(params, params[h], &work)) {
      ClipToOutline(params[h], drawn[static_cast<std::size_t>(work.m_Dst)]);
      kept[h] = params[h].m_area < -KelTol::DividEmptyArea;
    }
  }
  for (std::size_t h = params.size(); h-- > 0;) {
    if (!kept[h])
      params.erase(params.begin() + static_cast<std::ptrdiff_t>(h));
  }
  for (;;) {
    std::vector<SphereRatioBlockWorkParam> candidates;
    for (std::size_t h = 0; h < params.size(); ++h) {
      SphereRatioBlockWorkParam work;
      if (params[h].m_area < 0 && SearchMergeParam(params, params[h], &work)) {
        work.m_Src = static_cast<int>(h);
        candidates.push_back(work);
      }
    }
    if (candidates.empty())
      break;
    // The shortest bridge first (the first of equal ones).
    const auto best = std::min_element(candidates.begin(), candidates.end(),
                                       [](const auto& a, const auto& b) { return a.m_Dist < b.m_Dist; });
    CSphereRatioBlockParam& dst = params[static_cast<std::size_t>(best->m_Dst)];
    dst.m_bFlag = true;
    MergeBlock(dst.m_pt, params[static_cast<std::size_t>(best->m_Src)].m_pt, best->m_DstIdx, best->m_SrcIdx);
    params.erase(params.begin() + best->m_Src);
  }
  // A parameter that took a hole keeps its points; its bows are drawn anew
  // from its horizon edges, which the points of the other parameters
  // inserted above split: the bow of the former whole edge counted again
  // the disc between its chord and theirs.
  for (CSphereRatioBlockParam& p : params)
    ok = (p.m_bFlag ? p.SetBowShape() : p.DeleteHorzPoint(step)) && ok;
  return ok;
}

void CSphereBlkDataArrayNew::MergeBlock(CSphereCoordD2DArray& outline, const CSphereCoordD2DArray& hole, int i, int j)
{
  CSphereCoordD2DArray merged;
  merged.assign(outline.begin(), outline.begin() + i + 1);
  const int m = static_cast<int>(hole.size());
  for (int k = 0; k <= m; ++k)
    merged.push_back(hole[static_cast<std::size_t>((j + k) % m)]);
  merged.insert(merged.end(), outline.begin() + i, outline.end());
  outline = merged;
}

bool CSphereBlkDataArrayNew::SearchMergeParam(const std::vector<CSphereRatioBlockParam>& params,
                                              const CSphereRatioBlockParam& hole, SphereRatioBlockWorkParam* work)
{
  work->m_Dst = -1;
  if (hole.m_pt.empty())
    return false;
  for (std::size_t k = 0; k < params.size() && work->m_Dst < 0; ++k) {
    if (params[k].m_area > 0 && params[k].InBlock(hole.m_pt.front().m_Pos))
      work->m_Dst = static_cast<int>(k);
  }
  if (work->m_Dst < 0)
    return false;
  const CSphereRatioBlockParam& dst = params[static_cast<std::size_t>(work->m_Dst)];
  work->m_Dist = 1e38;
  work->m_DstIdx = -1;
  work->m_SrcIdx = -1;
  for (int i = 0; i < static_cast<int>(dst.m_pt.size()); ++i) {
    const CKelCoord2D& p = dst.m_pt[static_cast<std::size_t>(i)].m_Pos;
    for (int j = 0; j < static_cast<int>(hole.m_pt.size()); ++j) {
      const CKelCoord2D& q = hole.m_pt[static_cast<std::size_t>(j)].m_Pos;
      const double d = std::hypot(q.m_x - p.m_x, q.m_y - p.m_y);
      if (d >= work->m_Dist || hole.CheckCross(p, q, j) >= 0 || dst.CheckCross(p, q, i) >= 0)
        continue;
      work->m_Dist = d;
      work->m_DstIdx = i;
      work->m_SrcIdx = j;
    }
  }
  return work->m_DstIdx >= 0 && work->m_SrcIdx >= 0;
}

namespace {

// Inserts source point s into edge k (p -> q) when the edge runs along s's
// azimuth and s lies strictly between its ends: a hole touching its
// outline's side there is then joined to it where they touch.
bool InsertOnVertical(const CSphereCoordD2D& p, const CSphereCoordD2D& q, const CSphereCoordD2D& s,
                      CSphereRatioBlockParam& target, int k)
{
  const bool along = std::fabs(p.m_AD - q.m_AD) <= kTol && std::fabs(s.m_AD - p.m_AD) <= kTol;
  const bool inside = (p.m_AE < s.m_AE - kTol && s.m_AE < q.m_AE - kTol) || (q.m_AE < s.m_AE - kTol && s.m_AE < p.m_AE - kTol);
  if (!along || !inside)
    return false;
  target.m_pt.insert(target.m_pt.begin() + k + 1, AnglePoint(s.m_AD, s.m_AE));
  return true;
}

// Inserts the point of edge k (p -> q) at azimuth az; false when az is not
// strictly inside the edge's azimuths.
bool InsertAtAzimuth(const CSphereCoordD2D& p, const CSphereCoordD2D& q, double az, CSphereRatioBlockParam& target,
                     int k)
{
  const bool inside = (p.m_AD < az - kTol && az < q.m_AD - kTol) || (q.m_AD < az - kTol && az < p.m_AD - kTol);
  if (!inside)
    return false;
  // On the edge as the disc draws it: a point on the chart's straight line
  // would bend the edge and change the outline's area by as much as the
  // chord sags, whenever another outline's corner stood over it. A stretch
  // of horizon is drawn as its arc (a bow over the chord): its point stays
  // on the horizon.
  const bool horizon = std::fabs(p.m_AE) <= kTol && std::fabs(q.m_AE) <= kTol;
  const double t = (az - p.m_AD) / (q.m_AD - p.m_AD);
  const double el = horizon ? p.m_AE + t * (q.m_AE - p.m_AE)
                            : ChordElevation(CKelCoord2D(p.m_AD, p.m_AE), CKelCoord2D(q.m_AD, q.m_AE), az);
  target.m_pt.insert(target.m_pt.begin() + k + 1, AnglePoint(az, el));
  return true;
}

// Drops each corner that stands on its predecessor (chart, within the
// disc's identity band).
void DropRepeatedCorners(CSphereCoordD2DArray& pt)
{
  const auto same = [](const CSphereCoordD2D& a, const CSphereCoordD2D& b) {
    return std::fabs(a.m_AD - b.m_AD) <= kTol && std::fabs(a.m_AE - b.m_AE) <= kTol;
  };
  for (std::size_t k = pt.size(); k-- > 0 && pt.size() > 1;) {
    if (same(pt[k], pt[k == 0 ? pt.size() - 1 : k - 1]))
      pt.erase(pt.begin() + static_cast<std::ptrdiff_t>(k));
  }
}

// The elevation a hair nearer the zenith on the disc than e.
double ClearAbove(double e)
{
  return std::acos(std::clamp(std::cos(e) - KelTol::SkyClearOnDisc, -1.0, 1.0));
}

// The chord elevation at azimuth az of the outline's edge that lies under
// the chart point (az, e), the nearest below it; NaN where none does.
double ChordUnder(const CSphereRatioBlockParam& outline, double az, double e)
{
  const std::size_t n = outline.m_pt.size();
  double best = -1e38, chord = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t k = 0; k < n; ++k) {
    const CSphereCoordD2D& a = outline.m_pt[k];
    const CSphereCoordD2D& b = outline.m_pt[(k + 1) % n];
    if (!(std::fabs(b.m_AD - a.m_AD) > kTol) || az < std::min(a.m_AD, b.m_AD) || az > std::max(a.m_AD, b.m_AD))
      continue;
    const double chart = a.m_AE + (az - a.m_AD) / (b.m_AD - a.m_AD) * (b.m_AE - a.m_AE);
    if (chart <= e + kTol && chart > best) {
      best = chart;
      chord = ChordElevation(CKelCoord2D(a.m_AD, a.m_AE), CKelCoord2D(b.m_AD, b.m_AE), az);
    }
  }
  return chord;
}

// Whether some corner of the hole lies under the chord of the outline's
// edge beneath it.
bool DipsUnder(const CSphereRatioBlockParam& hole, const CSphereRatioBlockParam& outline)
{
  return std::any_of(hole.m_pt.begin(), hole.m_pt.end(), [&outline](const CSphereCoordD2D& p) {
    return p.m_AE < ChordUnder(outline, p.m_AD, p.m_AE);
  });
}

}  // namespace

void CSphereBlkDataArrayNew::ClipToOutline(CSphereRatioBlockParam& hole, const CSphereRatioBlockParam& outline)
{
  if (!DipsUnder(hole, outline))
    return;
  // The hole's own azimuths on all its edges, as the outline's are (the
  // outline took the hole's, and the hole the outline's): then between two
  // neighbouring azimuths each of their edges is one chord, and chords
  // whose ends lie in order do not cross.
  const CSphereRatioBlockParam own = hole;
  InsertPoint1(hole, own);
  for (CSphereCoordD2D& p : hole.m_pt) {
    const double chord = ChordUnder(outline, p.m_AD, p.m_AE);
    if (p.m_AE < chord) {
      p.m_AE = ClearAbove(chord);
      p.ConvertCoordXY();
    }
  }
  // A side of the hole that lay wholly under the chord is raised onto it
  // end to end: its two corners become one, which the division cannot take
  // as an edge.
  DropRepeatedCorners(hole.m_pt);
  hole.m_area = hole.CalcArea();
}

void CSphereBlkDataArrayNew::InsertPoint1(CSphereRatioBlockParam& target, const CSphereRatioBlockParam& source)
{
  // The crossing check of InsertPoint1Sub1 decides nothing here: its point
  // stays either way.
  for (int k = 0; k < static_cast<int>(target.m_pt.size()); ++k) {
    for (const CSphereCoordD2D& s : source.m_pt) {
      const std::size_t n = target.m_pt.size();
      const CSphereCoordD2D p = target.m_pt[static_cast<std::size_t>(k)];
      const CSphereCoordD2D q = target.m_pt[(static_cast<std::size_t>(k) + 1) % n];
      if (!InsertAtAzimuth(p, q, s.m_AD, target, k))
        InsertOnVertical(p, q, s, target, k);
    }
  }
}

int CSphereBlkDataArrayNew::InsertPoint1Sub1(const CSphereCoordD2D& p, const CSphereCoordD2D& q, double az,
                                             CSphereRatioBlockParam& target, int k)
{
  if (!InsertAtAzimuth(p, q, az, target, k))
    return 0;
  const int n = static_cast<int>(target.m_pt.size());
  for (int i = 0; i < n; ++i) {
    const int prev = i == 0 ? n - 1 : i - 1;
    // Each edge against the others: those at its start are its neighbours.
    if (target.CheckCross(target.m_pt[static_cast<std::size_t>(prev)].m_Pos, target.m_pt[static_cast<std::size_t>(i)].m_Pos,
                          prev) >= 0)
      return 0;
  }
  return 1;
}

// --- Triangles -----------------------------------------------------------------------------

namespace {

// Divides each of loops; false, leaving triangles alone, when there are
// none or one is refused.
bool DivideEach(const std::vector<CSphereCoordD2DArray>& loops, int nRound, std::vector<CSphereTriangleData>& triangles)
{
  if (loops.empty())
    return false;
  std::vector<CSphereTriangleData> out;
  for (const CSphereCoordD2DArray& loop : loops) {
    CDividTriangle division(&loop);
    if (!division.Do(nRound))
      return false;
    for (int t = 0; t < division.GetSize(); ++t)
      out.push_back(division.GetTriangle(t));
  }
  triangles = std::move(out);
  return true;
}

// Whether the triangles cover as much of the disc as the loops enclose: an
// outline that runs back over itself can be divided into triangles that
// cover part of it twice.
bool CoversLoops(const std::vector<CSphereCoordD2DArray>& loops, const std::vector<CSphereTriangleData>& triangles)
{
  double enclosed = 0;
  for (const CSphereCoordD2DArray& loop : loops)
    enclosed += std::fabs(CSphereRatioBlockParam::CalcArea(loop)) * kPi;
  double covered = 0;
  for (CSphereTriangleData tri : triangles) {
    double base = 0, height = 0, area = 0;
    tri.GetTriangleData(-1, &base, &height, &area);
    covered += area;
  }
  return std::fabs(covered - enclosed) <= kCoverTol;
}

// The divisions of an outline tried in turn: the first whose triangles
// cover what it encloses wins; failing that, the first the division did
// not refuse.
class Attempts {
public:
  Attempts(int nRound, std::vector<CSphereTriangleData>& triangles) : m_nRound(nRound), m_Triangles(triangles) {}
  bool Try(const std::vector<CSphereCoordD2DArray>& loops)
  {
    std::vector<CSphereTriangleData> tri;
    if (!DivideEach(loops, m_nRound, tri))
      return false;
    if (CoversLoops(loops, tri)) {
      m_Triangles = std::move(tri);
      return true;
    }
    if (!m_First)
      m_First = std::move(tri);
    return false;
  }
  bool Settle()
  {
    if (!m_First)
      return false;
    m_Triangles = std::move(*m_First);
    return true;
  }

private:
  int m_nRound;
  std::vector<CSphereTriangleData>& m_Triangles;
  std::optional<std::vector<CSphereTriangleData>> m_First;
};

// The triangles of an outline: lobe by lobe where it touches itself at a
// corner (across the corner the division can take the sky between the
// lobes for the inside of either), else whole. A corner on another edge of
// its outline (a corner of a notch lowered by the expansion along the side
// it touched) becomes a vertex of that edge too, so that the outline passes
// the point twice, as the division takes it. Only an outline the division
// refused is changed: a vertex added to an edge would part it from the
// expand line it matches. Last, an outline whose hole touches it besides
// its bridge is divided as the simple outlines it bounds.
bool Divide(CSphereRatioBlockParam& param, int nRound, std::vector<CSphereTriangleData>& triangles)
{
  Attempts attempts(nRound, triangles);
  if (attempts.Try(CSphereRatioBlockParam::Lobes(param.m_pt)) || attempts.Try({param.m_pt}))
    return true;
  CSphereRatioBlockParam touched = param;
  if (touched.CheckCross() && touched.m_pt.size() != param.m_pt.size()) {
    param.m_pt = std::move(touched.m_pt);
    if (attempts.Try(CSphereRatioBlockParam::Lobes(param.m_pt)) || attempts.Try({param.m_pt}))
      return true;
  }
  return attempts.Try(CSphereRatioBlockParam::Faces(param.m_pt)) || attempts.Settle();
}

}  // namespace

int CSphereBlkDataArrayNew::CreateSansya(int nRound, std::vector<CSphereRatioBlockParam>& params)
{
  for (CSphereRatioBlockParam& param : params) {
    param.m_Triangle.clear();
    if (std::fabs(param.m_area) <= KelTol::DividEmptyArea)
      continue;
    if (param.m_pt.size() < 3)
      return kDivisionFailed;
    std::vector<CSphereTriangleData> divided;
    if (!Divide(param, nRound, divided))
      return kDivisionFailed;
    for (CSphereTriangleData tri : divided) {
      CKelCoord2D* c = tri.m_Vertex;
      bool moved = false;
      if (Expand(&c[0], &c[1], &c[2], &moved) != kDone)
        return kCancelled;
      if (!moved && Expand(&c[1], &c[2], &c[0], &moved) != kDone)
        return kCancelled;
      if (!moved && Expand(&c[2], &c[0], &c[1], &moved) != kDone)
        return kCancelled;
      // A triangle's area is taken from its longest side and the foot on
      // it: a lifted base makes both anew, whichever corner the division
      // listed first (a stale foot gave the triangle the height of its
      // former shape).
      if (moved)
        tri.SetTriangleParam();
      param.m_Triangle.push_back(tri);
    }
  }
  return kDone;
}

namespace {

// Whether a triangle's corner is the boundary point p itself. The
// division's corners are the outline's points as they are; one within the
// disc's equality band but not p is another point, and the side it ends is
// a diagonal, not the boundary's edge (a corner 2e-5 under the boundary's
// lifted a needle across the whole sector).
bool SamePoint(const CKelCoord2D& p, const CKelCoord2D& corner)
{
  return p.m_x == corner.m_x && p.m_y == corner.m_y;
}

// The height across the base (length len) at which a triangle of apex
// height vc keeps the area it would keep were the zenith (height vo) its
// apex and its base lifted to vm: the strip between the base and the
// lifted line, within the rays from the zenith through the base's ends.
// The strip depends on the base alone, not on which corner the division
// happened to join the base to.
double LiftLikeZenith(double len, double vc, double vm, double vo)
{
  if (!(std::fabs(vo) > kTol))
    return vm;
  const double strip = 0.5 * vm * len * (1 + (vo - vm) / vo);
  const double whole = 0.5 * len * vc;
  if (!(strip < whole))
    return vc;
  return vc * (1 - std::sqrt(1 - strip / whole));
}

}  // namespace

int CSphereBlkDataArrayNew::Expand(CKelCoord2D* a, CKelCoord2D* b, CKelCoord2D* c, bool* moved) const
{
  *moved = false;
  for (const CSphereExpandLine& line : m_ExpandLine) {
    if (!SamePoint(line.m_Prev, *a) || !SamePoint(line.m_Next, *b))
      continue;
    double cs = 1, sn = 0, len = 0;
    CalcCosSin(*a, *b, &cs, &sn, &len);
    const auto frame = [&](const CKelCoord2D& p, double* u, double* v) {
      const double dx = p.m_x - a->m_x;
      const double dy = p.m_y - a->m_y;
      *u = dx * cs + dy * sn;
      *v = dy * cs - dx * sn;
    };
    double um = 0, vm = 0, uc = 0, vc = 0, uo = 0, vo = 0;
    frame(line.m_Mid, &um, &vm);
    if (vm == 0)
      continue;
    frame(*c, &uc, &vc);
    // The apex of a triangle of a boundary lies left of its base.
    if (!(vc > 0))
      return kCancelled;
    frame(CKelCoord2D(0, 0), &uo, &vo);
    // The lift takes off the strip between the base and the line through
    // the mid point within the rays from the zenith through the base's
    // ends, the sector's own lines (all of the triangle where the strip is
    // the larger; a region on the zenith's side gains it). Cut through the
    // apex's own sides instead, the strip hung on which corner the division
    // joined the base to, and an apex a hair off the base drew it from far
    // past the base's ends: a band of road lost a hundred times the sky.
    vm = LiftLikeZenith(len, vc, vm, vo);
    const CKelCoord2D a0 = *a;
    const double ua = uc * vm / vc;
    const double ub = (uc - len) * vm / vc + len;
    *a = CKelCoord2D(a0.m_x + ua * cs - vm * sn, a0.m_y + ua * sn + vm * cs);
    *b = CKelCoord2D(a0.m_x + ub * cs - vm * sn, a0.m_y + ub * sn + vm * cs);
    *moved = true;
    return kDone;
  }
  return kDone;
}

// --- Two-sided variant -----------------------------------------------------------------------

void CSphereBlkDataArrayNew::Side2_EraseLine(Line& line, double azMin, double azMax)
{
  const auto trim = [&line](auto on) {
    while (line.size() >= 2 && on(line[0]) && on(line[1]))
      line.erase(line.begin());
  };
  trim([azMin](const CKelCoord2D& p) { return Near(p.m_x, azMin); });
  trim([azMax](const CKelCoord2D& p) { return Near(p.m_x, azMax); });
  trim([](const CKelCoord2D& p) { return Near(p.m_y, 0); });
  if (!line.empty() && Near(line[0].m_y, KelAngle::HalfPi)) {
    while (line.size() >= 2 && Near(line[1].m_y, KelAngle::HalfPi))
      line.erase(line.begin() + 1);
  }
}

int CSphereBlkDataArrayNew::Side2_SearchSite(const Line& outline, const CKelCoord2D& p, CKelCoord2D& foot)
{
  const int n = static_cast<int>(outline.size());
  for (int k = 0; k < n; ++k) {
    const int prev = k == 0 ? n - 1 : k - 1;
    const CKelCoord2D& a = outline[static_cast<std::size_t>(prev)];
    double c = 1, s = 0, len = 0;
    CalcCosSin(a, outline[static_cast<std::size_t>(k)], &c, &s, &len);
    const double dx = p.m_x - a.m_x;
    const double dy = p.m_y - a.m_y;
    const double t = dx * c + dy * s;
    if (std::fabs(dy * c - dx * s) > kTol)
      continue;
    if ((t > 0 || std::fabs(t) <= kTol) && (t - len <= 0 || std::fabs(t - len) <= kTol)) {
      foot = CKelCoord2D(a.m_x + t * c, a.m_y + t * s);
      return prev;
    }
  }
  return -1;
}

bool CSphereBlkDataArrayNew::Side2_DividArea(const Line& outline, Line& out1, Line& out2, const Line& line)
{
  CKelCoord2D f1, f2;
  if (line.empty())
    return false;
  const int s1 = Side2_SearchSite(outline, line.front(), f1);
  const int s2 = Side2_SearchSite(outline, line.back(), f2);
  if (s1 < 0 || s2 < 0)
    return false;
  const int n = static_cast<int>(outline.size());
  // R[from + 1], ..., R[to], cyclically; the whole outline when from == to.
  const auto walk = [&](Line& out, int from, int to) {
    int k = from;
    do {
      k = (k + 1) % n;
      PushDistinct(out, outline[static_cast<std::size_t>(k)]);
    } while (k != to);
  };
  out1.clear();
  out2.clear();
  if (s1 != s2) {
    walk(out1, s1, s2);
    for (auto it = line.rbegin(); it != line.rend(); ++it)
      PushDistinct(out1, *it);
    walk(out2, s2, s1);
    for (const CKelCoord2D& p : line)
      PushDistinct(out2, p);
    DropClosingRepeat(out1);
    DropClosingRepeat(out2);
    return true;
  }
  const CKelCoord2D& r = outline[static_cast<std::size_t>(s1)];
  const double d1 = std::hypot(f1.m_x - r.m_x, f1.m_y - r.m_y);
  const double d2 = std::hypot(f2.m_x - r.m_x, f2.m_y - r.m_y);
  // A line that closes on itself running the way the outline runs is a
  // block touching the side or the horizon at one point: the block is the
  // loop, under the boundary, and the rest keeps it as a notch.
  const bool block = Same(line.front(), line.back()) && ChartArea(line) * ChartArea(outline) > 0;
  if (d2 < d1 || block) {
    walk(out1, s1, s1);
    for (auto it = line.rbegin(); it != line.rend(); ++it)
      PushDistinct(out1, *it);
    DropClosingRepeat(out1);
    out2 = line;
  } else {
    out1.assign(line.rbegin(), line.rend());
    walk(out2, s1, s1);
    for (const CKelCoord2D& p : line)
      PushDistinct(out2, p);
    DropClosingRepeat(out2);
  }
  return true;
}

void CSphereBlkDataArrayNew::Side2_DividArea(std::vector<Line>& first, std::vector<Line>& second, const Line& line)
{
  // A line divides the piece it runs through: its ends may lie on the
  // outline of a piece beside it too (the lower edge of a block on the
  // horizon under the line over its top).
  const CKelCoord2D mid((line[0].m_x + line[1].m_x) / 2, (line[0].m_y + line[1].m_y) / 2);
  for (std::vector<Line>* list : {&first, &second}) {
    for (std::size_t k = 0; k < list->size(); ++k) {
      Line out1, out2;
      if (ClearlyOutside((*list)[k], mid) || !Side2_DividArea((*list)[k], out1, out2, line))
        continue;
      list->erase(list->begin() + static_cast<std::ptrdiff_t>(k));
      first.push_back(out1);
      second.push_back(out2);
      return;
    }
  }
}

namespace {

// The first two positions i < j of one point that are not neighbours, or
// false: where a region's outline touches itself.
bool FindPinch(const Line& points, std::size_t* i, std::size_t* j)
{
  const std::size_t n = points.size();
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = a + 2; b < n; ++b) {
      if (!(a == 0 && b + 1 == n) && Same(points[a], points[b])) {
        *i = a;
        *j = b;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool CSphereBlkDataArrayNew::Side2_AddArea(std::vector<CSphereRatioBlockParam>& params, const Line& points)
{
  // A region whose outline touches itself (a floating block's lower edge
  // meeting the top of the block under it) is divided there into the loops
  // it is made of. A loop running the other way is sky counted away by the
  // blocks' overlap, no region: it is left out.
  std::size_t i = 0, j = 0;
  if (FindPinch(points, &i, &j)) {
    const Line inner(points.begin() + static_cast<std::ptrdiff_t>(i), points.begin() + static_cast<std::ptrdiff_t>(j));
    Line outer(points.begin() + static_cast<std::ptrdiff_t>(j), points.end());
    outer.insert(outer.end(), points.begin(), points.begin() + static_cast<std::ptrdiff_t>(i));
    for (const Line* loop : {static_cast<const Line*>(&outer), &inner}) {
      std::vector<CSphereRatioBlockParam> one;
      if (Side2_AddArea(one, *loop))
        params.insert(params.end(), one.begin(), one.end());
    }
    return true;
  }
  CSphereRatioBlockParam param;
  for (const CKelCoord2D& p : points)
    param.m_pt.push_back(AnglePoint(p.m_x, p.m_y));
  const auto enough = [&param] { return param.m_pt.size() >= 3; };
  param.DeleteSamePoint(0);
  if (!enough())
    return true;
  param.DeleteHorzPoint();
  if (!enough())
    return true;
  param.InsertXCoord();
  param.DeleteVertPoint();
  if (!enough())
    return true;
  param.ConvertCoordXY();
  if (!param.CheckCross())
    return false;
  param.DeleteNeedleShape();
  if (!enough())
    return true;
  param.DeleteSamePoint(1);
  if (!enough())
    return true;
  param.m_area = param.CalcArea();
  // A region between the boundary and the zenith is never a hole.
  if (param.m_area < -KelTol::DividEmptyArea || !param.SetBowShape())
    return false;
  params.push_back(param);
  return true;
}

bool CSphereBlkDataArrayNew::Side2_AddArea(std::vector<CSphereRatioBlockParam>& params, const std::vector<Line>& lists)
{
  return std::all_of(lists.begin(), lists.end(), [&params](const Line& l) { return Side2_AddArea(params, l); });
}

namespace {

// One edge of a block outline: chart ends, ordered by azimuth.
struct EnvelopeEdge {
  CKelCoord2D lo;
  CKelCoord2D hi;

  double ElevationAt(double azimuth) const { return ChordElevation(lo, hi, azimuth); }
};

// The blocks' upper boundary over the range, from the largest azimuth to
// the smallest: at every azimuth the highest edge over it, the horizon
// where no block stands. A floating block's gap, a window and a notch
// between blocks all lie under it, so they count as covered however the
// outlines around them touch: a gap closing into a window, or a window
// opening onto a side of the range, leaves the boundary where it was.
Line UpperBoundary(const std::vector<CSphereRatioBlockParam>& params, double azMin, double azMax)
{
  std::vector<EnvelopeEdge> edges;
  std::vector<double> stops{azMin, azMax};
  for (const CSphereRatioBlockParam& param : params) {
    const std::size_t n = param.m_pt.size();
    for (std::size_t k = 0; k < n; ++k) {
      const CSphereCoordD2D& a = param.m_pt[k];
      const CSphereCoordD2D& b = param.m_pt[(k + 1) % n];
      stops.push_back(a.m_AD);
      if (a.m_AD == b.m_AD)
        continue;
      const CKelCoord2D pa(a.m_AD, a.m_AE), pb(b.m_AD, b.m_AE);
      edges.push_back(a.m_AD < b.m_AD ? EnvelopeEdge{pa, pb} : EnvelopeEdge{pb, pa});
    }
  }
  std::sort(stops.begin(), stops.end());
  stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
  // The highest edge over each stretch between neighbouring stops: no edge
  // ends inside a stretch, and the outlines do not cross, so one edge stays
  // highest over the whole stretch.
  const std::size_t m = stops.size() - 1;
  std::vector<int> top(m, -1);
  std::vector<double> topAtMid(m, 0);
  for (std::size_t e = 0; e < edges.size(); ++e) {
    const auto first = std::lower_bound(stops.begin(), stops.end(), edges[e].lo.m_x);
    for (auto it = first; it + 1 != stops.end() && *(it + 1) <= edges[e].hi.m_x; ++it) {
      const std::size_t i = static_cast<std::size_t>(it - stops.begin());
      const double el = edges[e].ElevationAt((stops[i] + stops[i + 1]) / 2);
      if (top[i] < 0 || el > topAtMid[i]) {
        top[i] = static_cast<int>(e);
        topAtMid[i] = el;
      }
    }
  }
  const auto at = [&](std::size_t i, double azimuth) {
    return top[i] < 0 ? 0.0 : edges[static_cast<std::size_t>(top[i])].ElevationAt(azimuth);
  };
  // Each run of stretches under one edge gives its two ends only, so an
  // edge on the boundary keeps its own corners and its expand line.
  Line line;
  for (std::size_t i = m; i-- > 0;) {
    if (i + 1 == m || top[i + 1] != top[i] || top[i] < 0)
      PushDistinct(line, CKelCoord2D(stops[i + 1], at(i, stops[i + 1])));
    if (i == 0 || top[i - 1] != top[i] || top[i] < 0)
      PushDistinct(line, CKelCoord2D(stops[i], at(i, stops[i])));
  }
  return line;
}

}  // namespace

std::vector<CSphereRatioBlockParam> CSphereBlkDataArrayNew::Side2_CreateBoundaryLine(
    const std::vector<CSphereRatioBlockParam>& params, CSphereFunShapeParamArray& fans, bool* ok)
{
  *ok = true;
  double azMin = 1e38;
  double azMax = -1e38;
  for (const CSphereRatioBlockParam& p : params) {
    for (const CSphereCoordD2D& q : p.m_pt) {
      azMin = std::min(azMin, q.m_AD);
      azMax = std::max(azMax, q.m_AD);
    }
  }
  std::vector<CSphereRatioBlockParam> result;
  if (!(azMax - azMin > kTol))
    return result;
  Line line = UpperBoundary(params, azMin, azMax);
  Side2_EraseLine(line, azMin, azMax);
  std::reverse(line.begin(), line.end());
  Side2_EraseLine(line, azMin, azMax);
  std::reverse(line.begin(), line.end());
  std::vector<Line> regions{
      {CKelCoord2D(azMin, 0), CKelCoord2D(azMax, 0), CKelCoord2D(azMax, KelAngle::HalfPi),
       CKelCoord2D(azMin, KelAngle::HalfPi)}};
  std::vector<Line> setAside;
  if (line.size() >= 2)
    Side2_DividArea(regions, setAside, line);
  *ok = Side2_AddArea(result, regions);
  fans.AddFunShape(azMin, azMax);
  return result;
}
