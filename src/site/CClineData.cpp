#include "CClineData.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <optional>
#include <tuple>

#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineClean.h"
#include "KelTolerance.h"

namespace {

// A corner within this of a straight angle (0.1 degree) is mitred, never
// rounded: the arc would be a sliver of no length.
constexpr double kStraightCorner = 0.0017453292519943296;
// A stored point takes at least its kind and a tag-less x and y.
constexpr std::uint64_t kMinPointBytes = sizeof(std::int16_t) + 2 * sizeof(double);

// The edge a -> b moved by d to its right: the outside of a counter-clockwise
// outline. An edge of no length stays where it is.
std::pair<CKelCoord2D, CKelCoord2D> Offset(const CKelCoord2D& a, const CKelCoord2D& b, double d)
{
  double c = 0;
  double s = 0;
  double len = 0;
  if (!CalcCosSin(a, b, &c, &s, &len))
    return {a, b};
  return {CKelCoord2D(a.m_x + d * s, a.m_y - d * c), CKelCoord2D(b.m_x + d * s, b.m_y - d * c)};
}

CKelCoord2D Mid(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return CKelCoord2D((a.m_x + b.m_x) * 0.5, (a.m_y + b.m_y) * 0.5);
}

int ElementType(const ClineElement& e) { return e.IsArc() ? kClineArcType : CCrspnt::kLinePoint; }

}  // namespace

bool CCrspnt::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CCrspnt");
  ar.Serialize(m_Kind);
  if (ar.GetError() != 0)
    return false;
  return CKelCoord2D::Serialize(ar);
}

// --- Point list ------------------------------------------------------------------

void CClineData::InsertPoint(int i, const CKelCoord3D& p)
{
  const int at = std::max(0, std::min(i + 1, GetSize()));
  insert(begin() + at, CCrspnt(p.m_x, p.m_y, CCrspnt::kLinePoint));
}

void CClineData::MovePoint(int i, const CKelCoord3D& p)
{
  CCrspnt& q = at(static_cast<std::size_t>(i));
  q.m_x = p.m_x;
  q.m_y = p.m_y;
}

void CClineData::SwapCoord(int i, int j) { std::swap(at(static_cast<std::size_t>(i)), at(static_cast<std::size_t>(j))); }

void CClineData::Append(const CKelCoord3D& p) { emplace_back(p.m_x, p.m_y, CCrspnt::kLinePoint); }

void CClineData::DeletePoint(int i) { erase(begin() + i); }

CKelCoord3D CClineData::GetCoord3D(int i) const
{
  const CCrspnt& p = at(static_cast<std::size_t>(i));
  return {p.m_x, p.m_y, 0};
}

void CClineData::MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from)
{
  for (CCrspnt& p : *this) {
    p.m_x += to.m_x - from.m_x;
    p.m_y += to.m_y - from.m_y;
  }
}

void CClineData::AddCenter(const CKelCoord3D& p) { emplace_back(p.m_x, p.m_y, CCrspnt::kCentre); }

// --- Reading the chain -------------------------------------------------------------

int CClineData::KindAt(std::size_t k) const
{
  const int kind = (*this)[k].m_Kind;
  const bool known = kind == CCrspnt::kEnd || kind == CCrspnt::kRunStart || kind == CCrspnt::kCentre;
  return known ? kind : CCrspnt::kLinePoint;
}

std::size_t CClineData::EndIndex() const
{
  for (std::size_t k = 0; k < size(); ++k) {
    if (KindAt(k) == CCrspnt::kEnd)
      return k;
  }
  return size();
}

std::vector<ClineElement> CClineData::Elements() const
{
  std::vector<ClineElement> list;
  const std::size_t end = EndIndex();
  list.reserve(end);
  std::size_t i = 0;
  while (i + 1 < end) {
    if (KindAt(i + 1) != CCrspnt::kCentre) {
      list.push_back({static_cast<int>(i), -1, static_cast<int>(i + 1)});
      i += 1;
    } else if (i + 2 < end) {
      list.push_back({static_cast<int>(i), static_cast<int>(i + 1), static_cast<int>(i + 2)});
      i += 2;
    } else {
      break;  // a centre with no arc end after it
    }
  }
  return list;
}

double CClineData::ElementLength(const ClineElement& e) const
{
  const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
  const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
  if (!e.IsArc())
    return length_2point(s, t);
  const CCrspnt& c = (*this)[static_cast<std::size_t>(e.centre)];
  double sweep = std::atan2(t.m_y - c.m_y, t.m_x - c.m_x) - std::atan2(s.m_y - c.m_y, s.m_x - c.m_x);
  if (sweep < 0)
    sweep += KelAngle::TwoPi;
  return sweep * m_Distance;
}

double CClineData::GetLength() const
{
  double sum = 0;
  for (const ClineElement& e : Elements())
    sum += ElementLength(e);
  return sum;
}

int CClineData::CheckData() const
{
  const std::size_t end = EndIndex();
  if (end + 1 != size())
    return -1;
  return static_cast<int>(size());
}

// --- The raw line ------------------------------------------------------------------------

void CClineData::AddPoint(const CKelCoord2D& p, int kind)
{
  if (!empty() && back().m_Kind == kind && back() == p)
    return;
  emplace_back(p.m_x, p.m_y, kind);
}

namespace {

// Step 1: the first edge (into vertex k) longer than d / 2 that ends at a
// convex corner; else the longest edge.
int StartEdge(const CKelArea<CKelCoord2D>& outline, double d)
{
  const int n = static_cast<int>(outline.m_pt.size());
  int longest = 0;
  double longestLen = -1;
  for (int k = 0; k < n; ++k) {
    const double len = length_2point(outline.m_pt[static_cast<std::size_t>((k + n - 1) % n)],
                                     outline.m_pt[static_cast<std::size_t>(k)]);
    if (len > d / 2 && outline.check_pointtype2(k) < 1)
      return k;
    if (len > longestLen) {
      longestLen = len;
      longest = k;
    }
  }
  return longest;
}

// Whether x lies no further back than `from` in the direction a -> b: a
// mitre there keeps the runs on either side of it running forwards.
bool AheadOf(const CKelCoord2D& from, const CKelCoord2D& x, const CKelCoord2D& a, const CKelCoord2D& b)
{
  return (x.m_x - from.m_x) * (b.m_x - a.m_x) + (x.m_y - from.m_y) * (b.m_y - a.m_y) >= 0;
}

// Whether p lies within d of the edge a -> b, level with it (not beyond
// either end).
bool InBand(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b, double d)
{
  const double len = length_2point(a, b);
  if (!(len > 0))
    return false;
  const double along = ((p.m_x - a.m_x) * (b.m_x - a.m_x) + (p.m_y - a.m_y) * (b.m_y - a.m_y)) / len;
  const double across = ((b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x)) / len;
  return along >= 0 && along <= len && std::fabs(across) <= d;
}

double Turn(const CKelCoord2D& a, const CKelCoord2D& v, const CKelCoord2D& w)
{
  return (v.m_x - a.m_x) * (w.m_y - v.m_y) - (v.m_y - a.m_y) * (w.m_x - v.m_x);
}

double Along(const CKelCoord2D& a, const CKelCoord2D& v, const CKelCoord2D& w)
{
  return (v.m_x - a.m_x) * (w.m_x - v.m_x) + (v.m_y - a.m_y) * (w.m_y - v.m_y);
}

// The outline without the points that enclose nothing (CleanOutline, by
// the lot's own tiny size): a corner's angle taken against an edge of no
// length is no angle at all and turns a convex corner into a mitre far
// outside the distance, a spike's tip would be traced round as if it held
// ground, and a run back along an edge is a needle of no width the trace
// cannot go round. A back-track's tip stays where it is, so the line keeps
// its distance from every point the outline reaches.
// Where u -> v crosses p -> q strictly inside both, about v for the digits
// of far coordinates.
std::optional<CKelCoord2D> StrictCrossing(const CKelCoord2D& u, const CKelCoord2D& v, const CKelCoord2D& p,
                                          const CKelCoord2D& q)
{
  const double ax = u.m_x - v.m_x, ay = u.m_y - v.m_y;
  const double px = p.m_x - v.m_x, py = p.m_y - v.m_y, qx = q.m_x - v.m_x, qy = q.m_y - v.m_y;
  const double sp = ax * py - ay * px, sq = ax * qy - ay * qx;
  const double su = (qx - px) * (ay - py) - (qy - py) * (ax - px);
  const double sv = (qx - px) * (-py) - (qy - py) * (-px);
  if (!(sp * sq < 0) || !(su * sv < 0))
    return std::nullopt;
  const double t = sp / (sp - sq);
  return CKelCoord2D(v.m_x + px + t * (qx - px), v.m_y + py + t * (qy - py));
}

// The outline without the loops it makes across a chain of edges drawing
// no more than the tiny size: where the edge before such a chain crosses
// the edge after it (a corner listed again a hair outside the side before
// it), the chain goes and both edges meet at their crossing. The loop cut
// off encloses nothing of the lot and lies within the tiny size of it, yet
// a line traced round a figure of eight cannot be closed.
std::vector<CKelCoord2D> WithoutTinyLoops(std::vector<CKelCoord2D> pts, double tiny)
{
  for (bool cut = true; cut;) {
    cut = false;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n && !cut; ++i) {
      const auto at = [&](std::size_t k) -> const CKelCoord2D& { return pts[(i + k) % n]; };
      double chain = 0;
      for (std::size_t k = 1; n > k + 3; ++k) {
        chain += length_2point(at(k - 1), at(k));
        if (!(chain <= tiny))
          break;
        const std::optional<CKelCoord2D> x = StrictCrossing(at(n - 1), at(0), at(k), at(k + 1));
        if (!x)
          continue;
        // The listing keeps its order and start (the crossing where the
        // chain began).
        std::vector<CKelCoord2D> kept;
        for (std::size_t j = 0; j < n; ++j) {
          const std::size_t from = (j + n - i) % n;
          if (from == 0)
            kept.push_back(*x);
          else if (from > k)
            kept.push_back(pts[j]);
        }
        pts = std::move(kept);
        cut = true;
        break;
      }
    }
  }
  return pts;
}

CKelArea<CKelCoord2D> WithoutRepeats(const CKelArea<CKelCoord2D>& outline)
{
  // An outline of fewer than three points comes back whole; its repeats
  // still go.
  const auto same = [](const CKelCoord2D& a, const CKelCoord2D& b) { return a.m_x == b.m_x && a.m_y == b.m_y; };
  CKelArea<CKelCoord2D> once;
  for (int k : CleanOutline(outline.m_pt, SiteTinySize(outline.m_pt)).m_At) {
    const CKelCoord2D& p = outline.m_pt[static_cast<std::size_t>(k)];
    if (once.m_pt.empty() || !same(once.m_pt.back(), p))
      once.m_pt.push_back(p);
  }
  while (once.m_pt.size() > 1 && same(once.m_pt.back(), once.m_pt.front()))
    once.m_pt.pop_back();
  if (once.m_pt.size() > 3)
    once.m_pt = WithoutTinyLoops(once.m_pt, SiteTinySize(outline.m_pt));
  return once;
}

}  // namespace

std::optional<CKelCoord2D> CClineData::AddCorner(const Corner& k)
{
  // A straight corner takes the crossing of the offset lines, a convex one
  // an arc about the vertex. A concave corner takes the crossing of its
  // offset runs where the pieces it cuts off lie beside the other edge, so
  // that nothing of the offset region's boundary is lost; else (an edge
  // shorter than the mitre's set-back, or a needle of an edge beside it) the
  // line goes through the vertex and keeps both runs whole, for the trace to
  // find where they leave the region. That join lies inside the region, and
  // it keeps every run pointing forwards, the site to its left.
  int parallel = 0;
  const std::vector<CKelCoord2D> xs = cross_line0(k.c1, k.c2, k.e1, k.e2, &parallel);
  const double turn = Turn(k.prev, k.v, k.w);
  const bool sameWay = Along(k.prev, k.v, k.w) > 0;
  const CKelCoord2D from = back();
  const auto forwards = [&](const CKelCoord2D& x) {
    return AheadOf(from, x, k.c1, k.c2) && AheadOf(x, k.e2, k.e1, k.e2);
  };
  // check_range's own slack, but never more than a share of the distance.
  const double shrink = std::fmin(0.0, KelTol::ClineMitreSlack * m_Distance - KelTol::RangeSlack);
  const bool concaveCrossing = !xs.empty() && turn < 0 && check_range(k.c1, k.c2, xs[0], shrink) &&
                               check_range(k.e1, k.e2, xs[0], shrink);
  if (xs.empty() && parallel != 0 && sameWay) {
    AddPoint(Mid(k.c2, k.e1), CCrspnt::kLinePoint);
  } else if (concaveCrossing && InBand(k.c2, k.v, k.w, m_Distance) && InBand(k.e1, k.prev, k.v, m_Distance)) {
    AddPoint(xs[0], CCrspnt::kLinePoint);
  } else if (!xs.empty() && k.straight && forwards(xs[0])) {
    AddPoint(xs[0], CCrspnt::kLinePoint);
  } else if (turn > 0 || (turn == 0 && !sameWay)) {
    // A needle's tip turns by half a circle: its arc goes round the tip.
    AddPoint(k.c2, CCrspnt::kLinePoint);
    if (length_2point(k.c2, k.e1) > KelTol::Geometry) {
      AddPoint(k.v, CCrspnt::kCentre);
      AddPoint(k.e1, CCrspnt::kRunStart);
    }
  } else {
    AddPoint(k.c2, CCrspnt::kLinePoint);
    AddPoint(k.v, CCrspnt::kLinePoint);
    AddPoint(k.e1, CCrspnt::kLinePoint);
  }
  if (concaveCrossing)
    return xs[0];
  return std::nullopt;
}

void CClineData::set_checkline(const CKelArea<CKelCoord2D>& outline) { (void)BuildRawLine(outline); }

CKelCoord2D CClineData::BuildRawLine(const CKelArea<CKelCoord2D>& listed)
{
  clear();
  const CKelArea<CKelCoord2D> outline = WithoutRepeats(listed);
  const int n = static_cast<int>(outline.m_pt.size());
  if (n == 0)
    return {};
  const double d = m_Distance;
  auto vertex = [&](int k) -> const CKelCoord2D& { return outline.m_pt[static_cast<std::size_t>(((k % n) + n) % n)]; };
  const int start = StartEdge(outline, d);
  Corner k;
  k.prev = vertex(start - 1);
  std::tie(k.c1, k.c2) = Offset(vertex(start - 1), vertex(start), d);
  AddPoint(k.c1, CCrspnt::kRunStart);
  std::optional<CKelCoord2D> lastCrossing;
  for (int j = 0; j < n; ++j) {
    const int vi = (start + j) % n;
    k.v = vertex(vi);
    k.w = vertex(vi + 1);
    if (length_2point(k.v, k.w) == 0)
      continue;
    std::tie(k.e1, k.e2) = Offset(k.v, k.w, d);
    k.straight = std::fabs(outline.get_pointangle2(vi) - KelAngle::Pi) < kStraightCorner;
    lastCrossing = AddCorner(k);
    k.prev = k.v;
    k.c1 = k.e1;
    k.c2 = k.e2;
  }
  // Closed at a mitre or through a vertex: the first run starts where the
  // last one ends, before or after its own start.
  if (size() >= 3 && back().m_Kind == CCrspnt::kLinePoint)
    static_cast<CKelCoord2D&>(front()) = back();
  emplace_back(0, 0, CCrspnt::kEnd);
  // A finished line starts where the last run meets the first, even where
  // the raw line joins them through the vertex.
  return lastCrossing ? *lastCrossing : static_cast<CKelCoord2D>(front());
}

// --- The line ------------------------------------------------------------------------------

namespace {

// Twice the signed area: positive for a counter-clockwise outline.
double TwiceSignedArea(const std::vector<CKelCoord2D>& pt)
{
  double twice = 0;
  for (std::size_t k = 0, j = pt.size() - 1; k < pt.size(); j = k++)
    twice += pt[j].m_x * pt[k].m_y - pt[k].m_x * pt[j].m_y;
  return twice;
}

}  // namespace

// A whole-metre point near the outline: the line is built about it, so
// that a lot in plane rectangular coordinates, 1e4 to 3e5 m from their
// origin, keeps every digit of its own size (a point less a whole metre
// near it is exact), and a moved lot gives the same line moved. A point
// that is no number, or beyond any site, gives the origin itself.
CKelCoord2D CClineData::LocalOrigin(const CKelCoord2D& near)
{
  const auto whole = [](double v) { return std::fabs(v) <= KelTol::ClineTraceReach ? std::round(v) : 0.0; };
  return {whole(near.m_x), whole(near.m_y)};
}

void CClineData::MoveLine(const CKelCoord2D& by)
{
  for (CCrspnt& p : *this) {
    if (p.m_Kind == CCrspnt::kEnd)
      continue;  // the end marker stays at (0, 0)
    p.m_x += by.m_x;
    p.m_y += by.m_y;
  }
}

bool CClineData::check_cline()
{
  if (empty())
    return false;
  const CKelCoord2D origin = LocalOrigin(front());
  MoveLine(CKelCoord2D(-origin.m_x, -origin.m_y));
  const bool cut = TraceOuterLine(front()) == TraceResult::Cut;
  MoveLine(origin);
  return cut;
}

bool CClineData::CreateCheckline(const CKelArea<CKelCoord2D>& outline)
{
  clear();
  if (outline.m_pt.empty())
    return true;
  // Repeats go before the outline is turned, so that the list without them
  // is the one the line is built from, whichever way it runs.
  const CKelArea<CKelCoord2D> once = WithoutRepeats(outline);
  // A clockwise outline is taken the other way round, as SetArea turns a
  // site polygon: its outside is then to the right of every edge.
  const CKelCoord2D origin = LocalOrigin(once.m_pt.front());
  CKelArea<CKelCoord2D> local;
  local.m_pt.reserve(once.m_pt.size());
  for (const CKelCoord2D& p : once.m_pt)
    local.m_pt.emplace_back(p.m_x - origin.m_x, p.m_y - origin.m_y);
  if (TwiceSignedArea(local.m_pt) < 0)
    std::reverse(local.m_pt.begin(), local.m_pt.end());
  if (!TraceLocal(local)) {
    clear();
    return false;
  }
  MoveLine(origin);
  return true;
}

// --- Searches ------------------------------------------------------------------------------

int CClineData::FindChkLinePoint(const CKelCoord2D& p, double* dist, CKelCoord2D* foot) const
{
  int found = -1;
  for (const ClineElement& e : Elements()) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    CKelCoord2D candidate = s;
    const double d = e.IsArc()
                         ? arcdist(m_Distance, s, t, (*this)[static_cast<std::size_t>(e.centre)], p, &candidate)
                         : linedist(s, t, p, &candidate);
    if (d < *dist) {
      *dist = d;
      if (foot != nullptr)
        *foot = candidate;
      found = e.start;
    }
  }
  return found;
}

int CClineData::cross_checkline(double angle, const CKelCoord2D& p1, const CKelCoord2D& p2, CKelCoord2D* out) const
{
  if (empty())
    throw std::out_of_range("empty check line");
  if (size() <= 2)
    return -1;
  int found = -1;
  double nearest = 0;
  for (const ClineElement& e : Elements()) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    std::vector<CKelCoord2D> xs;
    if (e.IsArc()) {
      xs = cross_arcline(s, t, (*this)[static_cast<std::size_t>(e.centre)], p1, p2);
      xs.resize(std::min<std::size_t>(xs.size(), 1));
    } else {
      xs = cross_line0(p1, p2, s, t);
      if (!xs.empty() && !check_range(s, t, xs[0], KelTol::Geometry))
        xs.clear();
    }
    if (xs.empty() || !check_north(angle, p1, xs[0]))
      continue;
    const double d = length_2point(p1, xs[0]);
    if (found < 0 || d < nearest) {
      found = e.IsArc() ? e.centre : e.start;
      nearest = d;
      if (out != nullptr)
        *out = xs[0];
    }
  }
  return found;
}

int CClineData::check_cross_cline(int kind, const CKelCoord2D& start, const CKelCoord2D& end,
                                  const CKelCoord2D& centre, int base, int* outKind, CKelCoord2D* out) const
{
  std::vector<ClineElement> elements = Elements();
  // A line that opens with a centre is read from its second point.
  if (!empty() && KindAt(0) == CCrspnt::kCentre) {
    CClineData rest(*this);
    rest.erase(rest.begin());
    elements = rest.Elements();
    for (ClineElement& e : elements) {
      e.start += 1;
      e.end += 1;
      e.centre += e.IsArc() ? 1 : 0;
    }
  }
  const int endMarker = static_cast<int>(EndIndex());
  const bool stopAtLast = base == 2 || (base == 3 && kind >= 10);
  int result = -1;
  for (const ClineElement& e : elements) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    const CCrspnt& c = e.IsArc() ? (*this)[static_cast<std::size_t>(e.centre)] : s;
    CKelCoord2D x;
    if (!calc_cross_cline(kind, start, end, centre, ElementType(e), s, t, c, &x))
      continue;
    if (stopAtLast && e.end + 1 == endMarker)
      break;
    if (out != nullptr)
      *out = x;
    result = base + e.end;
    if (outKind != nullptr)
      *outKind = KindAt(static_cast<std::size_t>(e.end));
  }
  return result;
}

// --- Compares and stored forms ------------------------------------------------------------

bool CClineData::operator==(const CClineData& other) const
{
  return std::fabs(m_Distance - other.m_Distance) <= KelTol::Geometry && KelList::Equal(*this, other);
}

bool CClineData::IsNearlyEqual(const CClineData& other) const
{
  return fcmpNearly(m_Distance - other.m_Distance) == 0 && KelList::NearlyEqual(*this, other);
}

bool CClineData::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CClineData");
  if (!KelList::Serialize(ar, *this, kMinPointBytes))
    return false;
  ar.Serialize(m_Distance);
  ar.Serialize(m_LineNo);
  return ar.GetError() == 0;
}

bool CClineData::FromOldParam(int count, const CRS_PNT* old, int oldCount)
{
  if (count < 0 || count > oldCount || (count > 0 && old == nullptr))
    return false;
  clear();
  for (int k = 0; k < count; ++k)
    emplace_back(static_cast<double>(old[k].x), static_cast<double>(old[k].y), static_cast<int>(old[k].kind));
  return true;
}

std::vector<CRS_PNT> CClineData::GetOldParam() const
{
  std::vector<CRS_PNT> old;
  for (const CCrspnt& p : *this)
    old.push_back(CRS_PNT{p.m_Kind, static_cast<float>(p.m_x), static_cast<float>(p.m_y)});
  return old;
}
