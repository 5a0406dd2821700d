#include "CSphereRatioBlockParam.h"

#include <algorithm>
#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineIndex.h"
#include "KelRecord.h"
#include "KelSnap.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::SkyDisc;
// Bow and fan areas are rounded at the seventh decimal.
constexpr double kAreaScale1 = 10000;
constexpr double kAreaScale2 = 1000;
// The fewest archive bytes of an element, without tags.
constexpr std::uint64_t kMinArchivedBow = 24;
constexpr std::uint64_t kMinArchivedParam = 8 + 1 + 4 + 4;
// The fewest record bytes of a point (1000: number and position) and of a
// triangle (1000: number, positions, long side, legacy double, foot point).
constexpr int kMinPointRecord = 20;
constexpr int kMinTriangleRecord = 48;

bool OnHorizon(const CSphereCoordD2D& p)
{
  return std::fabs(p.m_AE) <= kTol;
}

int Sign(double v)
{
  return SignOf(v, kTol);
}

CKelCoord2D ChartOf(const CSphereCoordD2D& p)
{
  return CKelCoord2D(p.m_AD, p.m_AE);
}

}  // namespace

CSphereCoordD2D AnglePoint(double azimuth, double elevation)
{
  CSphereCoordD2D p;
  p.m_AD = azimuth;
  p.m_AE = elevation;
  p.ConvertCoordXY();
  return p;
}

// --- Bows and fans ------------------------------------------------------------

bool CSphereBowShapeParam::operator==(const CSphereBowShapeParam& o) const
{
  return m_Area == o.m_Area && m_begA == o.m_begA && m_endA == o.m_endA;
}

double CSphereBowShapeParam::GetFunArea(int nRound) const
{
  if (nRound != 0 && nRound != 1)
    return m_Area;
  const double v = m_Area * kAreaScale1 * kAreaScale2;
  const double r = nRound == 0 ? KelSnap::Ceil(v) : KelSnap::Floor(v);
  return r / kAreaScale2 / kAreaScale1;
}

bool CSphereBowShapeParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereBowShapeParam");
  ar.Serialize(m_begA);
  ar.Serialize(m_endA);
  ar.Serialize(m_Area);
  return ar.GetError() == 0;
}

bool CSphereBowShapeParam::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && Write(f, m_begA) && Write(f, m_endA) && Write(f, m_Area);
}

bool CSphereBowShapeParam::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record) || record != kRecord)
    return false;
  return Read(f, budget, m_begA) && Read(f, budget, m_endA) && Read(f, budget, m_Area);
}

bool CSphereBowShapeParamArray::operator==(const CSphereBowShapeParamArray& o) const
{
  return KelList::Equal(*this, o);
}

bool CSphereBowShapeParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereBowShapeParamArray");
  return KelList::Serialize(ar, *this, kMinArchivedBow);
}

bool CSphereBowShapeParamArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CSphereBowShapeParamArray::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::LoadList(f, budget, *this, CSphereBowShapeParam::kRecordBytes);
}

bool CSphereFunShapeParamArray::operator==(const CSphereFunShapeParamArray& o) const
{
  return KelList::Equal(*this, o);
}

double CSphereFunShapeParamArray::GetArea(int nRound) const
{
  double sum = 0;
  for (const CSphereBowShapeParam& fan : *this)
    sum += fan.GetFunArea(nRound);
  return sum;
}

void CSphereFunShapeParamArray::AddFunShape(double a, double b)
{
  for (CSphereBowShapeParam& fan : *this) {
    if (std::fabs(fan.m_endA - a) <= kTol) {
      fan.m_endA = b;
      fan.m_Area = (b - fan.m_begA) / 2;
      return;
    }
    if (std::fabs(fan.m_begA - b) <= kTol) {
      fan.m_begA = a;
      fan.m_Area = (fan.m_endA - a) / 2;
      return;
    }
  }
  emplace_back(a, b, (b - a) / 2);
}

bool CSphereFunShapeParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereFunShapeParamArray");
  if (!KelList::Serialize(ar, *this, kMinArchivedBow))
    return false;
  if (ar.GetVersion() <= kLastVersionWithTail) {
    double dropped = 0.0;
    ar.Serialize(dropped);
  }
  return ar.GetError() == 0;
}

bool CSphereFunShapeParamArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, 0.0) && KelRecord::SaveList(f, *this);
}

bool CSphereFunShapeParamArray::LoadData(CKelFileIO& f, int* budget)
{
  double dropped = 0;
  return KelRecord::Read(f, budget, dropped) &&
         KelRecord::LoadList(f, budget, *this, CSphereBowShapeParam::kRecordBytes);
}

// --- Parameter: compares and measures --------------------------------------------

bool CSphereRatioBlockParam::operator==(const CSphereRatioBlockParam& o) const
{
  return m_area == o.m_area && m_bFlag == o.m_bFlag && m_pt == o.m_pt && m_Triangle == o.m_Triangle &&
         m_BowShape == o.m_BowShape;
}

double CSphereRatioBlockParam::CalcArea(const CSphereCoordD2DArray& pts)
{
  // Twice the clockwise area; the doubling and the sign are exact, so the
  // quotient keeps the bits of the direct sum.
  const auto position = [](const CSphereCoordD2D& p) -> const CKelCoord2D& { return p.m_Pos; };
  const double clockwise = -SignedShoelaceArea(pts, position);
  return 2 * clockwise / KelAngle::TwoPi;
}

namespace {

bool SamePoint(const CSphereCoordD2D& a, const CSphereCoordD2D& b)
{
  return std::fabs(a.m_Pos.m_x - b.m_Pos.m_x) <= KelTol::DividPoint &&
         std::fabs(a.m_Pos.m_y - b.m_Pos.m_y) <= KelTol::DividPoint;
}

}  // namespace

std::vector<CSphereCoordD2DArray> CSphereRatioBlockParam::Lobes(const CSphereCoordD2DArray& pts)
{
  std::vector<CSphereCoordD2DArray> loops;
  CSphereCoordD2DArray path;
  for (const CSphereCoordD2D& p : pts) {
    const auto again = std::find_if(path.begin(), path.end(), [&p](const CSphereCoordD2D& q) { return SamePoint(p, q); });
    if (again == path.end()) {
      path.push_back(p);
      continue;
    }
    if (path.end() - again >= 3) {
      loops.emplace_back();
      loops.back().insert(loops.back().end(), again, path.end());
    }
    path.erase(again + 1, path.end());
  }
  if (path.size() >= 3)
    loops.push_back(std::move(path));
  const double whole = CalcArea(pts);
  const bool sameTurn = std::all_of(loops.begin(), loops.end(),
                                    [whole](const CSphereCoordD2DArray& loop) { return CalcArea(loop) * whole > 0; });
  if (loops.size() < 2 || !sameTurn)
    loops.clear();
  return loops;
}

namespace {

// The corners of an outline as classes of coincident points, each point
// named by the first point of its class.
std::vector<std::size_t> CornerClasses(const CSphereCoordD2DArray& pts)
{
  std::vector<std::size_t> cls(pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i) {
    cls[i] = i;
    for (std::size_t j = 0; j < i; ++j) {
      if (SamePoint(pts[i], pts[j])) {
        cls[i] = cls[j];
        break;
      }
    }
  }
  return cls;
}

// The edges (by their first point) left once every edge run straight back
// along itself is dropped with its return.
std::vector<std::size_t> EdgesWithoutBridges(const std::vector<std::size_t>& cls)
{
  const std::size_t n = cls.size();
  std::vector<std::size_t> edges;
  for (std::size_t i = 0; i < n; ++i) {
    if (cls[i] != cls[(i + 1) % n])
      edges.push_back(i);
  }
  std::vector<std::size_t> kept;
  std::vector<bool> dropped(n, false);
  for (std::size_t e : edges) {
    if (dropped[e])
      continue;
    for (std::size_t f : edges) {
      if (!dropped[f] && f != e && cls[f] == cls[(e + 1) % n] && cls[(f + 1) % n] == cls[e]) {
        dropped[e] = dropped[f] = true;
        break;
      }
    }
  }
  for (std::size_t e : edges) {
    if (!dropped[e])
      kept.push_back(e);
  }
  return kept;
}

double Direction(const CSphereCoordD2D& from, const CSphereCoordD2D& to)
{
  return std::atan2(to.m_Pos.m_y - from.m_Pos.m_y, to.m_Pos.m_x - from.m_Pos.m_x);
}

// The edge that leaves the corner the edge e arrives at, turning from the
// way back along e towards the covered side (clockwise outlines cover
// their right-hand side: the turn is counter-clockwise from the way back).
// Returns pts.size() when none is left.
std::size_t NextEdge(const CSphereCoordD2DArray& pts, const std::vector<std::size_t>& cls,
                     const std::vector<std::size_t>& edges, const std::vector<bool>& free, std::size_t e,
                     bool clockwise)
{
  const std::size_t n = pts.size();
  const std::size_t at = (e + 1) % n;
  const double back = Direction(pts[at], pts[e]);
  std::size_t best = n;
  double bestTurn = 0;
  for (std::size_t k = 0; k < edges.size(); ++k) {
    const std::size_t f = edges[k];
    if (!free[k] || cls[f] != cls[at])
      continue;
    double turn = Direction(pts[f], pts[(f + 1) % n]) - back;
    if (!clockwise)
      turn = -turn;
    turn = std::fmod(turn + 2 * KelAngle::TwoPi, KelAngle::TwoPi);
    if (turn == 0)
      turn = KelAngle::TwoPi;
    if (best == n || turn < bestTurn) {
      best = k;
      bestTurn = turn;
    }
  }
  return best;
}

}  // namespace

namespace {

// The loops of edges from one corner to the next by NextEdge; empty when a
// loop would pass a corner twice or stops short.
std::vector<CSphereCoordD2DArray> TraceFaces(const CSphereCoordD2DArray& pts, const std::vector<std::size_t>& cls,
                                             const std::vector<std::size_t>& edges, bool clockwise)
{
  std::vector<bool> free(edges.size(), true);
  std::vector<CSphereCoordD2DArray> faces;
  for (std::size_t start = 0; start < edges.size(); ++start) {
    if (!free[start])
      continue;
    CSphereCoordD2DArray face;
    std::vector<std::size_t> corners;
    std::size_t k = start;
    do {
      if (k == edges.size() || std::find(corners.begin(), corners.end(), cls[edges[k]]) != corners.end())
        return {};
      free[k] = false;
      corners.push_back(cls[edges[k]]);
      face.push_back(pts[edges[k]]);
      free[start] = true;  // so that the face can close on it
      k = NextEdge(pts, cls, edges, free, edges[k], clockwise);
      free[start] = false;
    } while (k != start);
    faces.push_back(std::move(face));
  }
  return faces;
}

// Whether the face's own corners (those no other face has) all lie outside
// every one of the outlines, and there is one at least.
bool LiesOutside(const CSphereCoordD2DArray& face, const std::vector<CSphereCoordD2DArray>& outlines)
{
  bool judged = false;
  for (const CSphereCoordD2D& p : face) {
    bool own = true, inside = false;
    for (const CSphereCoordD2DArray& outline : outlines) {
      own = own && std::none_of(outline.begin(), outline.end(), [&p](const CSphereCoordD2D& q) { return SamePoint(p, q); });
      CSphereRatioBlockParam param;
      param.m_pt = outline;
      inside = inside || param.InBlock(p.m_Pos);
    }
    if (!own)
      continue;
    if (inside)
      return false;
    judged = true;
  }
  return judged;
}

}  // namespace

std::vector<CSphereCoordD2DArray> CSphereRatioBlockParam::Faces(const CSphereCoordD2DArray& pts)
{
  const std::vector<std::size_t> cls = CornerClasses(pts);
  const double whole = CalcArea(pts);
  std::vector<CSphereCoordD2DArray> covering, opposite;
  for (CSphereCoordD2DArray& face : TraceFaces(pts, cls, EdgesWithoutBridges(cls), whole > 0)) {
    if (face.size() < 3)
      return {};
    (CalcArea(face) * whole > 0 ? covering : opposite).push_back(std::move(face));
  }
  for (const CSphereCoordD2DArray& face : opposite) {
    if (!LiesOutside(face, covering))
      return {};
  }
  return covering;
}

double CSphereRatioBlockParam::CalcAreaAngle(const CSphereCoordD2DArray& pts)
{
  const std::size_t n = pts.size();
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const CSphereCoordD2D& prev = pts[i == 0 ? n - 1 : i - 1];
    const CSphereCoordD2D& cur = pts[i];
    sum += (prev.m_AD - cur.m_AD) * (prev.m_AE + cur.m_AE);
  }
  return sum / KelAngle::TwoPi;
}

int CSphereRatioBlockParam::XCross(double px, double py, const CKelCoord2D& p1, const CKelCoord2D& p2, int* side)
{
  const double d = p2.m_y - p1.m_y;
  *side = Sign(d);
  if (*side == 0)
    return 0;
  int r = -1;
  const int s1 = Sign(py - p1.m_y);
  if (s1 != 0) {
    if (s1 != *side)
      return 0;
    const int s2 = Sign(py - p2.m_y) * s1;
    if (s2 == 1)
      return 0;
    r = s2 == -1 ? 1 : -2;
  }
  const double t = ((py - p1.m_y) * (p2.m_x - p1.m_x) - (px - p1.m_x) * d) / std::hypot(p2.m_x - p1.m_x, d);
  const int s3 = Sign(t);
  if (s3 == *side)
    return 0;
  return s3 == 0 ? -3 : r;
}

bool CSphereRatioBlockParam::InBlock(const CKelCoord2D& pt) const
{
  const int n = static_cast<int>(m_pt.size());
  if (n == 0)
    return false;
  int count = 0;
  int dir = 0;
  for (int i = 0; i < n; ++i) {
    const int prevIdx = i == 0 ? n - 1 : i - 1;
    const CKelCoord2D& prev = m_pt[static_cast<std::size_t>(prevIdx)].m_Pos;
    int side = 0;
    const int r = XCross(pt.m_x, pt.m_y, prev, m_pt[static_cast<std::size_t>(i)].m_Pos, &side);
    if (r > 0) {
      ++count;
    } else if (r == -1) {
      int arrived = dir;
      // No direction yet: the last rise or fall before the start point.
      for (int k = 1; arrived == 0 && k < n; ++k) {
        const CKelCoord2D& q = m_pt[static_cast<std::size_t>((prevIdx - k + n) % n)].m_Pos;
        arrived = Sign(prev.m_y - q.m_y);
      }
      if (arrived == side)
        ++count;
    }
    if (r != 0)
      dir = side;
  }
  return count % 2 == 1;
}

// --- Parameter: upkeep -----------------------------------------------------------

void CSphereRatioBlockParam::RemoveWhere(bool (CSphereRatioBlockParam::*test)(int) const)
{
  for (std::size_t i = 0; i < m_pt.size();) {
    if ((this->*test)(static_cast<int>(i)))
      m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

bool CSphereRatioBlockParam::IsFlatHorizon(int i) const
{
  const std::size_t n = m_pt.size();
  const std::size_t k = static_cast<std::size_t>(i);
  return OnHorizon(m_pt[k]) && OnHorizon(m_pt[(k + n - 1) % n]) && OnHorizon(m_pt[(k + 1) % n]);
}

bool CSphereRatioBlockParam::IsVertical(int i) const
{
  const std::size_t n = m_pt.size();
  const std::size_t k = static_cast<std::size_t>(i);
  const double ad = m_pt[k].m_AD;
  return std::fabs(m_pt[(k + n - 1) % n].m_AD - ad) <= kTol && std::fabs(m_pt[(k + 1) % n].m_AD - ad) <= kTol;
}

void CSphereRatioBlockParam::DeleteHorzPoint()
{
  if (m_pt.size() >= 3)
    RemoveWhere(&CSphereRatioBlockParam::IsFlatHorizon);
}

bool CSphereRatioBlockParam::IsCoarseHorizon(int i, int step) const
{
  if (!IsFlatHorizon(i))
    return false;
  const std::size_t n = m_pt.size();
  const std::size_t k = static_cast<std::size_t>(i);
  const CSphereCoordD2D& p = m_pt[k];
  const double r = std::fmod(std::fabs(p.m_AD * KelAngle::DegreesPerRadian), step);
  const bool onSectorLine = std::fabs(r) <= kTol || std::fabs(r - step) <= kTol;
  const bool rising = m_pt[(k + n - 1) % n].m_AD <= p.m_AD && p.m_AD <= m_pt[(k + 1) % n].m_AD;
  return !onSectorLine && rising && !IsExistSameADPoint(p.m_AD);
}

bool CSphereRatioBlockParam::DeleteHorzPoint(int step)
{
  // Without sectors every horizon point stays.
  if (step >= 1 && m_pt.size() >= 3) {
    for (std::size_t i = 0; i < m_pt.size();) {
      if (IsCoarseHorizon(static_cast<int>(i), step))
        m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(i));
      else
        ++i;
    }
  }
  InsertHorizonUnderOutline();
  return SetBowShape();
}

void CSphereRatioBlockParam::InsertHorizonUnderOutline()
{
  // On the disc a horizon edge is a chord, its bow the rest up to the
  // circle. A chord over a wide azimuth range cuts into the disc, and a
  // corner near the horizon over it (a low face far away, or one lowered by
  // the sector expansion) may lie beyond it: the outline then crosses itself
  // on the disc and cannot be divided into triangles. A horizon point under
  // such a corner splits the chord; the pieces and their bows cover the same
  // disc area, and a chord between the azimuths of two points of the
  // outline passes outside the edge that joins them.
  for (std::size_t i = 0; i < m_pt.size(); ++i) {
    const CSphereCoordD2D p = m_pt[i];
    const CSphereCoordD2D q = m_pt[(i + 1) % m_pt.size()];
    if (!OnHorizon(p) || !OnHorizon(q) || !(q.m_AD - p.m_AD > 2 * kTol))
      continue;
    const double mid = (p.m_AD + q.m_AD) / 2;
    const double half = (q.m_AD - p.m_AD) / 2;
    std::vector<double> under;
    for (const CSphereCoordD2D& v : m_pt) {
      if (OnHorizon(v) || !(v.m_AD > p.m_AD + kTol && v.m_AD < q.m_AD - kTol))
        continue;
      const double chord = std::cos(half) / std::cos(v.m_AD - mid);
      if (std::cos(v.m_AE) >= chord - kTol)
        under.push_back(v.m_AD);
    }
    if (under.empty())
      continue;
    std::sort(under.begin(), under.end());
    under.erase(std::unique(under.begin(), under.end(), [](double a, double b) { return b - a <= kTol; }), under.end());
    for (std::size_t k = 0; k < under.size(); ++k)
      m_pt.insert(m_pt.begin() + static_cast<std::ptrdiff_t>(i + 1 + k), AnglePoint(under[k], 0));
    i += under.size();
  }
}

bool CSphereRatioBlockParam::IsExistSameADPoint(double ad) const
{
  return std::any_of(m_pt.begin(), m_pt.end(),
                     [ad](const CSphereCoordD2D& p) { return !OnHorizon(p) && std::fabs(p.m_AD - ad) <= kTol; });
}

void CSphereRatioBlockParam::DeleteVertPoint()
{
  if (m_pt.size() >= 3)
    RemoveWhere(&CSphereRatioBlockParam::IsVertical);
}

void CSphereRatioBlockParam::DeleteSamePoint(int mode)
{
  if ((mode != 0 && mode != 1) || m_pt.size() < 2)
    return;
  const auto same = [mode](const CSphereCoordD2D& a, const CSphereCoordD2D& b) {
    if (mode == 0)
      return std::fabs(a.m_AD - b.m_AD) <= kTol && std::fabs(a.m_AE - b.m_AE) <= kTol;
    return std::fabs(a.m_Pos.m_x - b.m_Pos.m_x) <= kTol && std::fabs(a.m_Pos.m_y - b.m_Pos.m_y) <= kTol;
  };
  // Of two points one on the disc, one on the horizon and one a hair above
  // it, the horizon point stays whichever comes first: its edge along the
  // horizon keeps its bow, and an outline read the other way round (a
  // mirrored scene) keeps the same point.
  const auto dropped = [](std::size_t a, std::size_t b, const CSphereCoordD2DArray& pt) {
    return OnHorizon(pt[a]) && !OnHorizon(pt[b]) ? b : a;
  };
  for (std::size_t i = 0; i + 1 < m_pt.size();) {
    if (same(m_pt[i], m_pt[i + 1]))
      m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(dropped(i, i + 1, m_pt)));
    else
      ++i;
  }
  if (m_pt.size() >= 2 && same(m_pt.front(), m_pt.back()))
    m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(dropped(0, m_pt.size() - 1, m_pt)));
}

void CSphereRatioBlockParam::DeleteParallelPoint(int mode)
{
  if ((mode != 0 && mode != 1) || m_pt.size() < 3)
    return;
  const auto at = [mode](const CSphereCoordD2D& p) { return mode == 0 ? ChartOf(p) : p.m_Pos; };
  for (std::size_t i = 0; i < m_pt.size() && m_pt.size() >= 3;) {
    const std::size_t n = m_pt.size();
    const CKelCoord2D prev = at(m_pt[(i + n - 1) % n]);
    const CKelCoord2D next = at(m_pt[(i + 1) % n]);
    const CKelCoord2D cur = at(m_pt[i]);
    double c = 1, s = 0, len = 0;
    CalcCosSin(prev, next, &c, &s, &len);
    const double dx = cur.m_x - prev.m_x;
    const double dy = cur.m_y - prev.m_y;
    const double along = dx * c + dy * s;
    const double across = dy * c - dx * s;
    if (along >= -kTol && along <= len + kTol && std::fabs(across) <= kTol)
      m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

namespace {

template <class Same>
void CutNeedles(CSphereCoordD2DArray& pts, Same same)
{
  if (pts.size() < 3)
    return;
  for (std::size_t i = 0; i < pts.size() && pts.size() >= 3;) {
    const std::size_t n = pts.size();
    const std::size_t k = (i + 2) % n;
    if (!same(pts[i], pts[k])) {
      ++i;
      continue;
    }
    if (k == 1) {
      pts.erase(pts.begin(), pts.begin() + 2);
    } else if (i + 1 < n) {
      pts.erase(pts.begin() + static_cast<std::ptrdiff_t>(i), pts.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    } else {
      // i is the last point and i + 1 wraps to 0.
      pts.erase(pts.begin() + static_cast<std::ptrdiff_t>(i));
      pts.erase(pts.begin());
    }
    i = i > 0 ? i - 1 : 0;
  }
}

}  // namespace

void CSphereRatioBlockParam::DeleteNeedleShape()
{
  CutNeedles(m_pt, [](const CSphereCoordD2D& a, const CSphereCoordD2D& b) {
    return std::fabs(a.m_Pos.m_x - b.m_Pos.m_x) <= kTol && std::fabs(a.m_Pos.m_y - b.m_Pos.m_y) <= kTol;
  });
}

void CSphereRatioBlockParam::DeleteNeedleShape2()
{
  CutNeedles(m_pt, [](const CSphereCoordD2D& a, const CSphereCoordD2D& b) {
    return std::fabs(a.m_AD - b.m_AD) <= kTol && std::fabs(a.m_AE - b.m_AE) <= kTol;
  });
}

bool CSphereRatioBlockParam::SetBowShape()
{
  m_BowShape.clear();
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CSphereCoordD2D& p = m_pt[i];
    const CSphereCoordD2D& q = m_pt[(i + 1) % n];
    if (!OnHorizon(p) || !OnHorizon(q) || std::fabs(q.m_AD - p.m_AD) <= kTol)
      continue;
    // A boundary runs counter-clockwise in the chart: its horizon edges rise.
    if (q.m_AD < p.m_AD)
      return false;
    m_BowShape.emplace_back(p.m_AD, q.m_AD, 0.0);
  }
  return true;
}

bool CSphereRatioBlockParam::CheckAngle() const
{
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CSphereCoordD2D& p = m_pt[i];
    const CSphereCoordD2D& q = m_pt[(i + 1) % n];
    if (OnHorizon(p) && OnHorizon(q) && q.m_AD < p.m_AD - kTol)
      return false;
  }
  return true;
}

bool CSphereRatioBlockParam::InsertXCoord(double ad)
{
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t prev = i == 0 ? n - 1 : i - 1;
    const CSphereCoordD2D& a = m_pt[prev];
    const CSphereCoordD2D& b = m_pt[i];
    if (OnHorizon(a) && OnHorizon(b) && a.m_AD < ad - kTol && ad < b.m_AD - kTol) {
      CSphereCoordD2D p;
      p.m_AD = ad;
      m_pt.insert(m_pt.begin() + static_cast<std::ptrdiff_t>(prev) + 1, p);
      return true;
    }
  }
  return false;
}

void CSphereRatioBlockParam::InsertXCoord()
{
  std::vector<double> azimuths;
  for (const CSphereCoordD2D& p : m_pt) {
    if (p.m_AE <= kTol)
      continue;
    if (std::none_of(azimuths.begin(), azimuths.end(), [&p](double a) { return std::fabs(a - p.m_AD) <= kTol; }))
      azimuths.push_back(p.m_AD);
  }
  for (double ad : azimuths)
    InsertXCoord(ad);
}

bool CSphereRatioBlockParam::IsExist(const CKelCoord2D& pt) const
{
  return std::any_of(m_pt.begin(), m_pt.end(), [&pt](const CSphereCoordD2D& p) {
    return std::fabs(p.m_Pos.m_x - pt.m_x) <= kTol && std::fabs(p.m_Pos.m_y - pt.m_y) <= kTol;
  });
}

void CSphereRatioBlockParam::ConvertCoordXY()
{
  for (CSphereCoordD2D& p : m_pt)
    p.ConvertCoordXY();
}

// --- Parameter: crossings -----------------------------------------------------------

int CSphereRatioBlockParam::CheckCross(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip) const
{
  const int n = static_cast<int>(m_pt.size());
  double c = 1, s = 0, len = 0;
  if (n < 2 || !CalcCosSin(p1, p2, &c, &s, &len))
    return -1;
  for (int k = 0; k < n; ++k) {
    const int a = k == 0 ? n - 1 : k - 1;
    const int b = k;
    if (a == skip || b == skip)
      continue;
    const CKelCoord2D& pa = m_pt[static_cast<std::size_t>(a)].m_Pos;
    const CKelCoord2D& pb = m_pt[static_cast<std::size_t>(b)].m_Pos;
    const double ua = (pa.m_x - p1.m_x) * c + (pa.m_y - p1.m_y) * s;
    const double va = (pa.m_y - p1.m_y) * c - (pa.m_x - p1.m_x) * s;
    const double ub = (pb.m_x - p1.m_x) * c + (pb.m_y - p1.m_y) * s;
    const double vb = (pb.m_y - p1.m_y) * c - (pb.m_x - p1.m_x) * s;
    if (std::fabs(va - vb) > kTol) {
      if ((va > kTol && vb > kTol) || (va < -kTol && vb < -kTol))
        continue;
      const double u = ua - va * (ub - ua) / (vb - va);
      if (u > kTol && u < len - kTol)
        return a;
      continue;
    }
    if (std::fabs(va) > kTol || std::fabs(vb) > kTol)
      continue;
    // Collinear: any overlap of more than the tolerance with the open segment.
    const double lo = std::max(0.0, std::min(ua, ub));
    const double hi = std::min(len, std::max(ua, ub));
    if (hi - lo > kTol)
      return a;
  }
  return -1;
}

// --- Parameter: stored forms -------------------------------------------------------

bool CSphereRatioBlockParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereRatioBlockParam");
  ar.Serialize(m_area);
  if (ar.GetVersion() < kVersionWithoutLegacy) {
    double dropped = 0.0;
    ar.Serialize(dropped);
  }
  ar.Serialize(m_bFlag);
  if (ar.GetError() != 0 || !m_pt.Serialize(ar) || !m_BowShape.Serialize(ar))
    return false;
  if (ar.GetVersion() >= 2 && !m_Triangle.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSphereRatioBlockParam::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  if (!Write(f, kRecord) || !KelRecord::SaveList(f, m_pt))
    return false;
  return KelRecord::SaveList(f, m_Triangle) && m_BowShape.SaveData(f) && Write(f, m_area);
}

bool CSphereRatioBlockParam::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record) || (record != kRecordOld && record != kRecord))
    return false;
  if (!KelRecord::LoadList(f, budget, m_pt, kMinPointRecord))
    return false;
  std::int32_t count = 0;
  if (!Read(f, budget, count) || !KelRecord::CountFits(budget, count, kMinTriangleRecord))
    return false;
  m_Triangle.resize(static_cast<std::size_t>(count));
  for (CSphereTriangleData& t : m_Triangle) {
    if (!t.LoadData(f, budget, m_pt))
      return false;
  }
  if (!m_BowShape.LoadData(f, budget) || !Read(f, budget, m_area))
    return false;
  double dropped = 0;
  return record == kRecord || Read(f, budget, dropped);
}

bool CSphereRatioBlockParamArray::operator==(const CSphereRatioBlockParamArray& o) const
{
  return KelList::Equal(*this, o);
}

bool CSphereRatioBlockParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereRatioBlockParamArray");
  return KelList::Serialize(ar, *this, kMinArchivedParam);
}
