// The check line of a slant-line check: the stretch of the base line the
// check covers, its heights (raised where the ground of the check stands a
// metre or more above the base line) and the arcs round the end points.

#include <algorithm>
#include <cmath>

#include "CKelHSite.h"
#include "CSyasenCheckBlockParam.h"
#include "CSyasenCheckSiteRuns.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// "No value yet" of a minimum and a maximum search.
constexpr double kUnsetStart = 1e38;
constexpr double kUnsetEnd = -1e38;
// Check points stand this much above ground that lies this far or more
// above the base line ... raised by half of what exceeds it.
constexpr double kRaiseFrom = 1.0;
constexpr double kRaiseShare = 0.5;

enum CpntKind { kFit = 0, kBoundary = 1, kArbitrary = 2, kArc = 3, kHalfArc = 4 };

double Along(const CRoadLineParam& line, const CKelCoord2D& p)
{
  return (p.m_x - line.m_Beg.m_x) * line.m_Cos + (p.m_y - line.m_Beg.m_y) * line.m_Sin;
}

CKelCoord2D PointAt(const CRoadLineParam& line, double t)
{
  return CKelCoord2D(line.m_Beg.m_x + t * line.m_Cos, line.m_Beg.m_y + t * line.m_Sin);
}

// The height of the base line at t; a line of no length has A's height.
double HeightAt(const CRoadLineParam& line, double t)
{
  if (line.m_Len <= KelTol::SlantPiece)
    return line.m_Beg.m_z;
  return line.m_Beg.m_z + t / line.m_Len * (line.m_End.m_z - line.m_Beg.m_z);
}

CKelCoord3DCrsPnt Entry(const CRoadLineParam& line, double t, double z)
{
  return CKelCoord3DCrsPnt(CKelCoord3D(line.m_Beg.m_x + t * line.m_Cos, line.m_Beg.m_y + t * line.m_Sin, z));
}

CKelCoord3DCrsPnt Entry(const CKelCoord2D& p, double z, CKelCoord3DCrsPnt::TYPE type = CKelCoord3DCrsPnt::TYPE_POINT)
{
  return CKelCoord3DCrsPnt(CKelCoord3D(p.m_x, p.m_y, z), type);
}

// Moves a stretch end by the check-point kind; false for an unknown kind.
bool ApplyKind(int kind, double endT, double value, double sign, double* t)
{
  switch (kind) {
    case kFit: return true;
    case kBoundary:
    case kArc:
    case kHalfArc: *t = endT; return true;
    case kArbitrary: *t = endT + sign * value; return true;
    default: return false;
  }
}

// The arc start round `centre` at distance r: half-way between the normals of
// the two edges (bisect), or on the neighbour edge's outward normal.
CKelCoord2D ArcPoint(const CKelCoord2D& centre, double r, double c, double s, double cn, double sn, bool bisect)
{
  if (!bisect)
    return CKelCoord2D(centre.m_x + r * sn, centre.m_y - r * cn);
  const double phi = std::atan2(c * sn - s * cn, c * cn + s * sn);
  const double theta = std::atan2(s, c) + (phi - KelAngle::Pi) / 2;
  return CKelCoord2D(centre.m_x + r * std::cos(theta), centre.m_y + r * std::sin(theta));
}

// The clockwise arc about centre from `from` to `to` has a length: an arc
// whose ends meet, or one that would turn back (round-off where the
// neighbour side runs on in the checked side's direction), has none and
// would otherwise be read as the full circle.
bool ArcSweeps(const CKelCoord2D& centre, const CKelCoord2D& from, const CKelCoord2D& to)
{
  const double ax = from.m_x - centre.m_x, ay = from.m_y - centre.m_y;
  const double bx = to.m_x - centre.m_x, by = to.m_y - centre.m_y;
  const double sweep = std::atan2(-(ax * by - ay * bx), ax * bx + ay * by);
  return sweep * std::hypot(ax, ay) > KelTol::SlantPiece;
}

// The arc round an end inside a run, at its own joint between the pieces
// along before and after (outline order); the checked piece is the one
// after a begin, before an end. Only a joint turning away from the site has
// one; a point on a side has none, as a run's corner has none once its bend
// falls to nothing.
bool InnerArc(const CKelCoord2D& centre, double r, const CKelCoord2D& before, const CKelCoord2D& after, bool atBegin,
              bool bisect, CKelCoord2D* out)
{
  if (!(before.m_x * after.m_y - before.m_y * after.m_x < 0))
    return false;
  const CKelCoord2D& own = atBegin ? after : before;
  const CKelCoord2D& other = atBegin ? before : after;
  *out = ArcPoint(centre, r, own.m_x, own.m_y, other.m_x, other.m_y, bisect);
  return true;
}

}  // namespace

// The checked edge read as the site's runs read it: the whole road a survey
// point on its line splits, so a point a hair off the road's line tilts no
// base line and the stretch is measured from the run's start whichever of
// its pieces is checked.
bool CSyasenCheckBlockParam::CheckBaseLine(const CKelHSite* stored, CRoadLineParam& line) const
{
  if (m_pRuns != nullptr && m_pRuns->Stored() == stored)
    return CheckBaseLine(*m_pRuns, line);
  return CheckBaseLine(CSyasenCheckSiteRuns(stored), line);
}

bool CSyasenCheckBlockParam::CheckBaseLine(const CSyasenCheckSiteRuns& runs, CRoadLineParam& line) const
{
  const CKelHSite* stored = runs.Stored();
  if (!ValidEdge(stored, m_SiteNo))
    return false;
  const int run = runs.Edge(m_SiteNo);
  const CKelHSite* site = run >= 0 ? runs.Site() : stored;
  const int edge = run >= 0 ? run : m_SiteNo;
  const CKelSiteTable& v = site->Vertex(edge);
  const CKelSiteTable& next = site->Vertex(edge + 1);
  if (v.IsRoad()) {
    line = v.GetRoadLineParam(false, next);
    return true;
  }
  line.m_Beg = CKelCoord3D(v.m_x, v.m_y, 0);
  line.m_End = CKelCoord3D(next.m_x, next.m_y, 0);
  line.m_Cos = v.m_Sphere.m_EdgeCos;
  line.m_Sin = v.m_Sphere.m_EdgeSin;
  line.m_Len = v.m_Sphere.m_EdgeLen;
  return true;
}

void CSyasenCheckBlockParam::CreateChkPntPos(CSyasenCheck*, const CKelHSite* site, double* start, double* end) const
{
  CreateChkPntPos(CSyasenCheckSiteRuns(site), start, end);
}

void CSyasenCheckBlockParam::CreateChkPntPos(const CSyasenCheckSiteRuns& runs, double* start, double* end) const
{
  *start = kUnsetStart;
  *end = kUnsetEnd;
  CRoadLineParam line;
  if (!CheckBaseLine(runs, line))
    return;
  const CKelBlockCubeArray* blocks = m_CalcKind.m_CalcType == 0   ? &m_BaseBlock
                                     : m_CalcKind.m_CalcType == 1 ? &m_SrcBlock
                                                                  : nullptr;
  if (blocks == nullptr)
    return;
  double lo = kUnsetStart, hi = kUnsetEnd;
  for (const CKelBlockCube& b : *blocks) {
    for (const CKelBlockCoord& v : b.m_Coord) {
      const double t = Along(line, v);
      lo = std::min(lo, t);
      hi = std::max(hi, t);
    }
  }
  if (lo == kUnsetStart)
    return;
  if (!ApplyKind(m_CalcKind.m_BegCpntKind, Along(line, m_BegPoint), m_CalcKind.m_BegCpntValue, -1, &lo) ||
      !ApplyKind(m_CalcKind.m_EndCpntKind, Along(line, m_EndPoint), m_CalcKind.m_EndCpntValue, 1, &hi))
    return;
  *start = lo;
  *end = hi;
}

void CSyasenCheckBlockParam::CalcChkPntEx(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double start,
                                          double end)
{
  CalcChkPntEx(check, site, blk, start, end, CSyasenCheckSiteRuns(site));
}

void CSyasenCheckBlockParam::CalcChkPntEx(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double start,
                                          double end, const CSyasenCheckSiteRuns& runs)
{
  m_Cpntline.clear();
  // A half-set stretch is as good as none.
  if (start == kUnsetStart || end == kUnsetEnd)
    return;
  CRoadLineParam line;
  if (!BaseLine(check, site, blk, line))
    return;
  CRoadLineParam measured;
  if (CheckBaseLine(runs, measured)) {
    start = Along(line, PointAt(measured, start));
    end = Along(line, PointAt(measured, end));
  }
  const auto checkHeight = [&](double t) {
    const double z = HeightAt(line, t);
    const double d = m_GrdHeight - z;
    return d >= kRaiseFrom ? z + (d - kRaiseFrom) * kRaiseShare : z;
  };
  const auto arcHeight = [&] { return blk->GetArcHeight(m_GrdHeight, check, site, m_SiteNo); };
  CKelCoord3DCrsPntArray entries;
  const int begKind = m_CalcKind.m_BegCpntKind, endKind = m_CalcKind.m_EndCpntKind;
  CKelCoord2D q;
  const CKelCoord3DCrsPnt first = Entry(line, start, checkHeight(start));
  if ((begKind == kArc || begKind == kHalfArc) && GetBegArcParam(runs, line, begKind == kArc, &q) &&
      ArcSweeps(m_BegPoint, q, first)) {
    const double h = arcHeight();
    entries.push_back(Entry(q, h));
    entries.push_back(Entry(m_BegPoint, h, CKelCoord3DCrsPnt::TYPE_CW));
  }
  entries.push_back(first);
  // Where the ground stands exactly a metre above the base line the raise
  // begins: the check line bends there.
  const double dA = m_GrdHeight - line.m_Beg.m_z, dB = m_GrdHeight - line.m_End.m_z;
  if (std::fabs(dB - dA) > KelTol::SlantPiece) {
    const double t1 = (kRaiseFrom - dA) / (dB - dA) * line.m_Len;
    if (t1 - start >= KelTol::SlantDivision && t1 - end <= -KelTol::SlantDivision)
      entries.push_back(Entry(line, t1, HeightAt(line, t1)));
  }
  const CKelCoord3DCrsPnt last = Entry(line, end, checkHeight(end));
  entries.push_back(last);
  if ((endKind == kArc || endKind == kHalfArc) && GetEndArcParam(runs, line, endKind == kArc, &q) &&
      ArcSweeps(m_EndPoint, last, q)) {
    const double h = arcHeight();
    entries.push_back(Entry(m_EndPoint, h, CKelCoord3DCrsPnt::TYPE_CW));
    entries.push_back(Entry(q, h));
  }
  m_Cpntline.push_back(entries);
}

bool CSyasenCheckBlockParam::GetBegArcParam(CSyasenCheck*, const CKelHSite* stored, const CRoadLineParam& line,
                                            bool bisect, CKelCoord2D* out) const
{
  return GetBegArcParam(CSyasenCheckSiteRuns(stored), line, bisect, out);
}

bool CSyasenCheckBlockParam::GetBegArcParam(const CSyasenCheckSiteRuns& runs, const CRoadLineParam& line, bool bisect,
                                            CKelCoord2D* out) const
{
  if (!ValidEdge(runs.Stored(), m_SiteNo))
    return false;
  const CKelHSite* site = runs.Site();
  const int edge = runs.Edge(m_SiteNo);
  const double r = (m_BegPoint.m_y - line.m_Beg.m_y) * line.m_Cos - (m_BegPoint.m_x - line.m_Beg.m_x) * line.m_Sin;
  CKelCoord2D before, after;
  if (runs.InnerSides(edge, m_BegPoint, &before, &after))
    return InnerArc(m_BegPoint, r, before, after, true, bisect, out);
  // No arc at a corner cut.
  const CKelSiteTable& prev = site->Vertex(site->Prev(edge));
  if (prev.IsSumikiri())
    return false;
  const CKelSiteTable& own = site->Vertex(edge);
  const double c = own.m_Sphere.m_EdgeCos, s = own.m_Sphere.m_EdgeSin;
  const CKelCoord2D& w0 = prev.m_Sphere.m_EdgePos[0];
  const double k = c * (w0.m_y - m_BegPoint.m_y) - s * (w0.m_x - m_BegPoint.m_x);
  // No arc at a corner that does not turn away from the site.
  if (k > 0 || std::fabs(k) <= KelTol::SlantPiece)
    return false;
  *out = ArcPoint(m_BegPoint, r, c, s, prev.m_Sphere.m_EdgeCos, prev.m_Sphere.m_EdgeSin, bisect);
  return true;
}

bool CSyasenCheckBlockParam::GetEndArcParam(CSyasenCheck*, const CKelHSite* stored, const CRoadLineParam& line,
                                            bool bisect, CKelCoord2D* out) const
{
  return GetEndArcParam(CSyasenCheckSiteRuns(stored), line, bisect, out);
}

bool CSyasenCheckBlockParam::GetEndArcParam(const CSyasenCheckSiteRuns& runs, const CRoadLineParam& line, bool bisect,
                                            CKelCoord2D* out) const
{
  if (!ValidEdge(runs.Stored(), m_SiteNo))
    return false;
  const CKelHSite* site = runs.Site();
  const int edge = runs.Edge(m_SiteNo);
  const double r = (m_EndPoint.m_y - line.m_Beg.m_y) * line.m_Cos - (m_EndPoint.m_x - line.m_Beg.m_x) * line.m_Sin;
  CKelCoord2D before, after;
  if (runs.InnerSides(edge, m_EndPoint, &before, &after))
    return InnerArc(m_EndPoint, r, before, after, false, bisect, out);
  const int q = site->Next(edge);
  const CKelSiteTable& next = site->Vertex(q);
  if (next.IsSumikiri())
    return false;
  const CKelSiteTable& own = site->Vertex(edge);
  const double c = own.m_Sphere.m_EdgeCos, s = own.m_Sphere.m_EdgeSin;
  const CKelCoord2D& w0 = site->Vertex(q + 1).m_Sphere.m_EdgePos[0];
  const double k = c * (w0.m_y - m_EndPoint.m_y) - s * (w0.m_x - m_EndPoint.m_x);
  if (k > 0 || std::fabs(k) <= KelTol::SlantPiece)
    return false;
  *out = ArcPoint(m_EndPoint, r, c, s, next.m_Sphere.m_EdgeCos, next.m_Sphere.m_EdgeSin, bisect);
  return true;
}
