// Outlines with arcs: flattening arcs into points, points on the outline,
// the direction of the run, and the offset with its crossing routines.

#include "CKelArc.h"
#include "CKelCoord3DCrsPntArray.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using Pnt = CKelCoord3DCrsPnt;

// Most points one arc may be flattened into, whatever step the caller asks
// for: a tiny step must not turn one arc into an unbounded list.
constexpr double kMaxArcDivisions = 65536;
// Flattening divides every arc into at least this many pieces (a division
// count below 9 is raised to it).
constexpr double kMinArcDivisions = 8;
// The fixed angular step of the polygon form of ArcToPolyline: pi / 8.
constexpr double kPolygonArcStep = 0.39269908169872414;
// GetDirection samples each arc with chords of at most this angle, and with
// at least kDirectionMinChords of them. n chords miss about 1/n^2 of an arc's
// segment area, so the sampled polygon stays within 0.4 % of the true
// outline's arc parts and only outlines of almost no area could flip sign.
constexpr double kDirectionArcStep = KelAngle::Pi / 32;
constexpr int kDirectionMinChords = 16;

CKelCoord2D Plan(const CKelCoord3D& p)
{
  return CKelCoord2D(p.m_x, p.m_y);
}

CKelCoord2D OnCircle(const CKelCoord2D& c, double r, double angle)
{
  return CKelCoord2D(c.m_x + r * std::cos(angle), c.m_y + r * std::sin(angle));
}

double AngleAbout(const CKelCoord2D& c, const CKelCoord2D& p)
{
  return std::atan2(p.m_y - c.m_y, p.m_x - c.m_x);
}

// An arc as the walk over the list meets it: start at i - 1, centre at i,
// end at i + 1. A centre without a neighbour on each side makes no arc.
bool HasArcAt(const std::vector<Pnt>& pts, std::size_t i)
{
  return pts[i].IsCenter() && i > 0 && i + 1 < pts.size();
}

// --- Flattening ----------------------------------------------------------------

struct ArcAngles {
  double beg;
  double end;
  bool ccw;
};

// The run of angles upward from low to high: a low end at pi (within
// KelTol::ArcAngle) is read as -pi, and high is raised by a turn when it lies
// below low. Empty when no sweep is left.
struct AngleRun {
  double low;
  double high;
};

std::optional<AngleRun> UpwardRun(double low, double high)
{
  if (std::fabs(low - KelAngle::Pi) <= KelTol::ArcAngle)
    low -= KelAngle::TwoPi;
  if (high < low)
    high += KelAngle::TwoPi;
  if (!(high > low))
    return std::nullopt;
  return AngleRun{low, high};
}

// Start and end angle ordered in the arc's sense (end above start for a
// counter-clockwise arc, below for a clockwise one). The direction pi at the
// low end of the run (the start of a counter-clockwise arc, the end of a
// clockwise one) is read as -pi, so the run is measured upward from there.
// Empty when the arc has no sweep: its start and end lie in one direction
// from the centre.
std::optional<ArcAngles> FlattenAngles(const Pnt& s, const Pnt& c, const Pnt& e)
{
  const double ab = AngleAbout(c, s);
  const double ae = AngleAbout(c, e);
  const bool ccw = c.m_Type == Pnt::TYPE_CCW;
  const auto run = ccw ? UpwardRun(ab, ae) : UpwardRun(ae, ab);
  if (!run)
    return std::nullopt;
  return ccw ? ArcAngles{run->low, run->high, true} : ArcAngles{run->high, run->low, false};
}

// The angles at which an arc is sampled: the multiples of w strictly inside
// the run (counter-clockwise: from floor(beg/w) + 1 up to floor(end/w);
// clockwise: from floor(beg/w) - 1 down to floor(end/w) + 1), then the end
// angle itself.
std::vector<double> SampleAngles(const ArcAngles& a, double w)
{
  std::vector<double> angles;
  const double first = a.ccw ? std::floor(a.beg / w) + 1 : std::floor(a.beg / w) - 1;
  const double last = a.ccw ? std::floor(a.end / w) : std::floor(a.end / w) + 1;
  // Multiples beyond 2^52 are no longer whole numbers apart. Only a sweep
  // near the smallest doubles makes w that small; its arc then gets its end
  // point alone.
  constexpr double kExact = 4503599627370496.0;
  if (std::isfinite(first) && std::isfinite(last) && std::fabs(first) < kExact && std::fabs(last) < kExact) {
    const auto m0 = static_cast<std::int64_t>(first);
    const auto m1 = static_cast<std::int64_t>(last);
    const std::int64_t step = a.ccw ? 1 : -1;
    // w divides the sweep into at most kMaxArcDivisions pieces; the bound
    // only guards against rounding at the far ends of the double range.
    const std::int64_t count =
        std::min<std::int64_t>(a.ccw ? m1 - m0 + 1 : m0 - m1 + 1, static_cast<std::int64_t>(kMaxArcDivisions) + 1);
    for (std::int64_t j = 0; j < count; ++j)
      angles.push_back(static_cast<double>(m0 + j * step) * w);
  }
  angles.push_back(a.end);
  return angles;
}

// The angular step for flattening at about one point per step of arc length.
double DivisionAngle(const ArcAngles& a, double r, double step)
{
  const double sweep = std::fabs(a.end - a.beg);
  double k = std::trunc(r * sweep / step);
  if (!(k >= kMinArcDivisions + 1))
    k = kMinArcDivisions;
  k = std::min(k, kMaxArcDivisions);
  return sweep / k;
}

// --- Direction ------------------------------------------------------------------

// Points strictly inside an arc, in its sense, at most kDirectionArcStep apart.
void AppendArcSamples(const Pnt& s, const Pnt& c, const Pnt& e, CKelAreaCoord2D& poly)
{
  const CKelCoord2D centre = Plan(c);
  const double r = length_2point(centre, Plan(s));
  const double ab = AngleAbout(centre, Plan(s));
  double sweep = AngleAbout(centre, Plan(e)) - ab;
  if (c.m_Type == Pnt::TYPE_CCW) {
    if (sweep < 0)
      sweep += KelAngle::TwoPi;
  } else if (sweep > 0) {
    sweep -= KelAngle::TwoPi;
  }
  if (!std::isfinite(sweep))
    return;
  const int n = std::max(kDirectionMinChords, static_cast<int>(std::ceil(std::fabs(sweep) / kDirectionArcStep)));
  for (int j = 1; j < n; ++j)
    poly.m_pt.push_back(OnCircle(centre, r, ab + sweep * j / n));
}

}  // namespace

// ---------------------------------------------------------------------------
// Flattening
// ---------------------------------------------------------------------------

bool CKelCoord3DCrsPntArray::ArcToPolyline(double step)
{
  if (!(step > 0) || !std::isfinite(step))
    return false;
  const std::vector<Pnt> pts(begin(), end());
  clear();
  bool ok = true;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (!pts[i].IsCenter()) {
      push_back(pts[i]);
      continue;
    }
    const std::optional<ArcAngles> angles = HasArcAt(pts, i) ? FlattenAngles(pts[i - 1], pts[i], pts[i + 1])
                                                             : std::nullopt;
    if (!angles) {
      ok = false;  // the centre is dropped; its end follows as a plain point
      continue;
    }
    const CKelCoord2D centre = Plan(pts[i]);
    const double r = length_2point(centre, Plan(pts[i - 1]));
    for (double angle : SampleAngles(*angles, DivisionAngle(*angles, r, step))) {
      const CKelCoord2D q = OnCircle(centre, r, angle);
      const Pnt point(CKelCoord3D(q.m_x, q.m_y, 0), Pnt::TYPE_POINT);
      if (empty() || back().IsCenter() || !back().CKelCoord3D::IsNearlyEqual(point))
        push_back(point);
    }
    ++i;  // the point made at the end angle replaces the stored end
  }
  return ok;
}

CKelAreaCoord2D CKelCoord3DCrsPntArray::ArcToPolyline(bool* ok) const
{
  CKelAreaCoord2D poly;
  bool allArcs = true;
  const std::vector<Pnt>& pts = *this;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (!pts[i].IsCenter()) {
      poly.m_pt.push_back(Plan(pts[i]));
      continue;
    }
    const std::optional<ArcAngles> angles = HasArcAt(pts, i) ? FlattenAngles(pts[i - 1], pts[i], pts[i + 1])
                                                             : std::nullopt;
    if (!angles) {
      allArcs = false;
      continue;
    }
    const CKelCoord2D centre = Plan(pts[i]);
    const double r = length_2point(centre, Plan(pts[i - 1]));
    for (double angle : SampleAngles(*angles, kPolygonArcStep)) {
      const CKelCoord2D q = OnCircle(centre, r, angle);
      if (poly.m_pt.empty() || !poly.m_pt.back().IsNearlyEqual(q))
        poly.m_pt.push_back(q);
    }
    ++i;
  }
  if (ok != nullptr)
    *ok = allArcs;
  return poly;
}

// ---------------------------------------------------------------------------
// Points on the outline and direction
// ---------------------------------------------------------------------------

bool CKelCoord3DCrsPntArray::IsOnline(const CKelCoord2D& p) const
{
  const std::vector<Pnt>& pts = *this;
  for (std::size_t i = 1; i < pts.size(); ++i) {
    if (pts[i].IsCenter()) {
      ++i;  // arcs are not tested: step over the centre and its end
      continue;
    }
    // The edge rule of the straight polygon.
    if (KelEdge::IsOn(Plan(pts[i - 1]), Plan(pts[i]), p))
      return true;
  }
  return false;
}

bool CKelCoord3DCrsPntArray::GetDirection() const
{
  const std::vector<Pnt>& pts = *this;
  if (pts.size() < 3)
    return true;
  CKelAreaCoord2D poly;
  poly.m_pt.push_back(Plan(pts[0]));
  for (std::size_t i = 1; i < pts.size(); ++i) {
    if (!pts[i].IsCenter()) {
      poly.m_pt.push_back(Plan(pts[i]));
      continue;
    }
    if (!HasArcAt(pts, i))
      continue;
    AppendArcSamples(pts[i - 1], pts[i], pts[i + 1], poly);
    poly.m_pt.push_back(Plan(pts[i + 1]));
    ++i;
  }
  return poly.Area() >= 0;
}

// ---------------------------------------------------------------------------
// Crossings of the offset
// ---------------------------------------------------------------------------

namespace {

// An angle difference brought into [-pi, pi] by one turn.
double Reduce(double d)
{
  if (d > KelAngle::Pi)
    return d - KelAngle::TwoPi;
  if (d < -KelAngle::Pi)
    return d + KelAngle::TwoPi;
  return d;
}

// Of the crossings, the one nearer in angle about the arc's centre to its
// begin; the first wins only when strictly nearer, so a tie takes the second.
bool PickNearBegin(const std::vector<CKelCoord2D>& pts, const CKelArc& arc, CKelCoord2D* out)
{
  if (pts.empty())
    return false;
  if (pts.size() == 1) {
    *out = pts[0];
    return true;
  }
  const CKelCoord2D c = Plan(arc.m_Center);
  const double b = arc.GetBegAng();
  const double d0 = std::fabs(Reduce(AngleAbout(c, pts[0]) - b));
  const double d1 = std::fabs(Reduce(AngleAbout(c, pts[1]) - b));
  *out = d0 < d1 ? pts[0] : pts[1];
  return true;
}

}  // namespace

bool CKelCoord3DCrsPntArray::CalcCrossArcLine(const CKelArc& arc, const CKelCoord2D& p1, const CKelCoord2D& p2,
                                              CKelCoord2D* out)
{
  return PickNearBegin(cross_circleline(Plan(arc.m_Beg), Plan(arc.m_Center), p1, p2), arc, out);
}

bool CKelCoord3DCrsPntArray::CalcCrossArcArc(const CKelArc& a, const CKelArc& b, CKelCoord2D* out)
{
  return PickNearBegin(cross_circle(Plan(a.m_Beg), Plan(a.m_Center), Plan(b.m_Beg), Plan(b.m_Center)), b, out);
}

// ---------------------------------------------------------------------------
// Offset
// ---------------------------------------------------------------------------

namespace {

// One element of the closed outline with its moved form: a straight edge
// (a -> b moved along its right normal) or an arc (same centre, radius grown
// to the right of its run).
struct OffsetElement {
  std::size_t start = 0;  // index of the corner the element starts at
  bool arc = false;
  CKelCoord2D a, b;       // the moved edge
  CKelArc moved;          // the moved arc
};

std::optional<OffsetElement> MakeEdge(const Pnt& s, const Pnt& e, std::size_t start, double d)
{
  double c = 0, sn = 0;
  if (!CalcCosSin(Plan(s), Plan(e), &c, &sn, nullptr))
    return std::nullopt;  // a zero-length edge adds nothing to the outline
  OffsetElement el;
  el.start = start;
  el.a = CKelCoord2D(s.m_x + d * sn, s.m_y - d * c);
  el.b = CKelCoord2D(e.m_x + d * sn, e.m_y - d * c);
  return el;
}

std::optional<OffsetElement> MakeArc(const Pnt& s, const Pnt& c, const Pnt& e, std::size_t start, double d)
{
  // An arc from its centre, or back to its own start, bounds nothing.
  if (Plan(s) == Plan(c) || Plan(e) == Plan(c) || Plan(s) == Plan(e))
    return std::nullopt;
  OffsetElement el;
  el.start = start;
  el.arc = true;
  const bool ccw = c.m_Type == Pnt::TYPE_CCW;
  el.moved = CKelArc(s, e, c, ccw);
  el.moved.SetRadius(el.moved.GetRadius() + (ccw ? d : -d));
  return el;
}

// The elements of the closed outline in order. Empty when the outline is
// malformed: a centre where a corner must stand, or an arc without its end.
std::vector<OffsetElement> OffsetElements(const std::vector<Pnt>& pts, double d, bool* malformed)
{
  std::vector<OffsetElement> out;
  const std::size_t m = pts.size() - 1;  // the last entry repeats the first
  for (std::size_t j = 0; j < m;) {
    const bool arc = pts[j + 1].IsCenter();
    if (pts[j].IsCenter() || (arc && (j + 2 > m || pts[j + 2].IsCenter()))) {
      *malformed = true;
      return {};
    }
    const std::optional<OffsetElement> el =
        arc ? MakeArc(pts[j], pts[j + 1], pts[j + 2], j, d) : MakeEdge(pts[j], pts[j + 1], j, d);
    if (el)
      out.push_back(*el);
    j += arc ? 2 : 1;
  }
  return out;
}

CKelArc Reversed(const CKelArc& arc)
{
  return CKelArc(arc.m_End, arc.m_Beg, arc.m_Center, !arc.m_bCCW);
}

// The crossing of two consecutive moved elements. An arc that ends at the
// corner is read backwards, so that the crossing nearest the corner wins.
bool CrossElements(const OffsetElement& in, const OffsetElement& out, CKelCoord2D* p)
{
  if (!in.arc && !out.arc)
    return CalCrossPoint10(in.a, in.b, out.a, out.b, p);
  if (!in.arc)
    return CKelCoord3DCrsPntArray::CalcCrossArcLine(out.moved, in.a, in.b, p);
  if (!out.arc)
    return CKelCoord3DCrsPntArray::CalcCrossArcLine(Reversed(in.moved), out.a, out.b, p);
  return CKelCoord3DCrsPntArray::CalcCrossArcArc(in.moved, out.moved, p);
}

// Corner v moved with one element: along the edge's right normal, or
// radially onto the arc's new circle.
CKelCoord2D MovedCorner(const OffsetElement& el, const CKelCoord2D& v, double d)
{
  if (!el.arc) {
    double c = 1, sn = 0;
    CalcCosSin(el.a, el.b, &c, &sn, nullptr);
    return CKelCoord2D(v.m_x + d * sn, v.m_y - d * c);
  }
  const CKelCoord2D centre = Plan(el.moved.m_Center);
  return OnCircle(centre, el.moved.GetRadius(), AngleAbout(centre, v));
}

// Two elements that continue each other smoothly (collinear edges, arcs of
// one circle, an edge tangent to an arc) have moved forms that touch or
// coincide instead of crossing; their corner is the common moved point.
bool SmoothCorner(const OffsetElement& in, const OffsetElement& out, const CKelCoord2D& v, double d,
                  CKelCoord2D* p)
{
  const CKelCoord2D qIn = MovedCorner(in, v, d);
  const CKelCoord2D qOut = MovedCorner(out, v, d);
  if (!(qIn == qOut))
    return false;
  *p = qOut;
  return true;
}

}  // namespace

CKelCoord3DCrsPntArray CKelCoord3DCrsPntArray::Offset(double d) const
{
  CKelCoord3DCrsPntArray result;
  if (size() < 3)
    return result;
  bool malformed = false;
  const std::vector<OffsetElement> elements = OffsetElements(*this, d, &malformed);
  if (malformed || elements.size() < 2)
    return result;
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const OffsetElement& in = elements[k == 0 ? elements.size() - 1 : k - 1];
    const OffsetElement& out = elements[k];
    const Pnt& v = (*this)[out.start];
    CKelCoord2D corner;
    if (!CrossElements(in, out, &corner) && !SmoothCorner(in, out, Plan(v), d, &corner))
      return CKelCoord3DCrsPntArray();
    result.push_back(Pnt(CKelCoord3D(corner.m_x, corner.m_y, v.m_z), Pnt::TYPE_POINT));
    if (out.arc)
      result.push_back((*this)[out.start + 1]);
  }
  result.push_back(result.front());
  return result;
}
