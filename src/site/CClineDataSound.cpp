// Whether a finished check line is the line it stands for, and the outline
// it is traced round again when it is not.
//
// A sound line is closed, no two of its elements cross, every point of it
// lies at least the distance from the outline (ClineSoundSlack less) and at
// most that far (the share ClineStraightMitre and ClineSoundSlack more), and
// the outline lies inside it. Its pieces come from runs and arcs that lie
// no further than the distance from the outline, so such a line runs on
// the boundary of the points within the distance and goes round the site:
// it is the outer boundary. A line that fails is never handed out.

#include <algorithm>
#include <cmath>
#include <vector>

#include "CClineData.h"
#include "ClineElementGeometry.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

using namespace cline_geometry;

double PointSegment(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / l2, 0.0, 1.0) : 0.0;
  const double x = p.m_x - a.m_x - t * dx, y = p.m_y - a.m_y - t * dy;
  return std::sqrt(x * x + y * y);
}

// The distance of two points; hypot's care for overflow is not needed here.
double Dist(const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double x = b.m_x - a.m_x, y = b.m_y - a.m_y;
  return std::sqrt(x * x + y * y);
}

double Turn(const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q)
{
  return (p.m_x - c.m_x) * (q.m_y - c.m_y) - (p.m_y - c.m_y) * (q.m_x - c.m_x);
}

// Whether the ray from the arc's centre through p passes through the arc:
// by the sides of its end rays, without angles.
bool OnArc(const Element& arc, const CKelCoord2D& p)
{
  const bool afterStart = Turn(arc.c, arc.s, p) >= 0, beforeEnd = Turn(arc.c, p, arc.e) >= 0;
  return arc.length <= KelAngle::Pi ? afterStart && beforeEnd : afterStart || beforeEnd;
}

double PointElement(const CKelCoord2D& p, const Element& e)
{
  if (!e.arc)
    return PointSegment(p, e.s, e.e);
  if (OnArc(e, p))
    return std::fabs(Dist(p, e.c) - e.radius);
  return std::fmin(Dist(p, e.s), Dist(p, e.e));
}

double Side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  return (b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x);
}

// The least distance between an element of the line and the outline's
// edge: at an end of either, where they cross, or, for an arc, on the
// normal from its centre to the edge.
double ElementEdge(const Element& e, const Element& edge)
{
  double best = std::fmin(std::fmin(PointSegment(e.s, edge.s, edge.e), PointSegment(e.e, edge.s, edge.e)),
                          std::fmin(PointElement(edge.s, e), PointElement(edge.e, e)));
  if (!e.arc) {
    const bool cross = Side(edge.s, edge.e, e.s) * Side(edge.s, edge.e, e.e) < 0 &&
                       Side(e.s, e.e, edge.s) * Side(e.s, e.e, edge.e) < 0;
    return cross ? 0 : best;
  }
  if (edge.length == 0)
    return best;
  CKelCoord2D at[2];
  const int count = Meet(e, edge, at);
  for (int i = 0; i < count; ++i) {
    const double t = edge.Position(at[i]);
    if (t >= 0 && t <= edge.length && OnArc(e, at[i]))
      return 0;
  }
  const double t = edge.Position(e.c);
  const CKelCoord2D foot = edge.At(t);
  if (t >= 0 && t <= edge.length && Dist(foot, e.c) > 0 && OnArc(e, foot))
    best = std::fmin(best, std::fabs(Dist(foot, e.c) - e.radius));
  return best;
}

// Whether two elements that do not follow each other meet away from their
// ends (joint within `joint`).
bool Cross(const Element& a, const Element& b, double joint)
{
  CKelCoord2D at[2];
  const int count = Meet(a, b, at);
  // A circle that only touches the other element leaves the line simple:
  // the boundary may pinch there.
  if ((a.arc || b.arc) && count == 1)
    return false;
  for (int i = 0; i < count; ++i) {
    const CKelCoord2D& x = at[i];
    const bool nearEnd = std::fmin(std::fmin(Dist(x, a.s), Dist(x, a.e)),
                                   std::fmin(Dist(x, b.s), Dist(x, b.e))) <= joint;
    if (nearEnd)
      continue;
    const auto on = [](const Element& e, const CKelCoord2D& p) {
      const double t = e.Position(p);
      return t >= 0 && t <= e.length;
    };
    if (on(a, x) && on(b, x))
      return true;
  }
  return false;
}

bool NoTwoCross(const std::vector<Element>& elements, double joint)
{
  ChunkGrid grid(elements, joint);
  const int n = static_cast<int>(elements.size());
  std::vector<int> seen(elements.size(), -1);
  for (int k = 0; k < n; ++k) {
    bool crossed = false;
    for (int j = 0; j < grid.Chunks(k) && !crossed; ++j) {
      grid.ForCells(grid.ChunkBox(k, j), [&](std::vector<int>& cell) {
        for (int chunk : cell) {
          const int other = grid.Owner(chunk);
          const bool neighbour = other <= k + 1 || (k == 0 && other == n - 1);
          if (neighbour || seen[static_cast<std::size_t>(other)] == k ||
              !grid.BoxOf(chunk).Meets(grid.ChunkBox(k, j)))
            continue;
          seen[static_cast<std::size_t>(other)] = k;
          crossed = crossed || Cross(elements[static_cast<std::size_t>(k)], elements[static_cast<std::size_t>(other)], joint);
        }
      });
    }
    if (crossed)
      return false;
  }
  return true;
}

// The boxes of runs of consecutive outline edges, a binary tree over their
// order: an outline's edges follow each other, so a run's box stays small,
// and a search near a point passes over the far runs whole.
class EdgeRuns {
public:
  explicit EdgeRuns(const std::vector<Element>& edges) : m_Edges(edges), m_Boxes(4 * edges.size() + 4)
  {
    Build(1, 0, edges.size());
  }

  // Calls f with every edge whose box `far` cannot rule out.
  template <class Far, class F>
  void Near(const Far& far, F f) const
  {
    Visit(1, 0, m_Edges.size(), far, f);
  }

private:
  const Box& Build(std::size_t node, std::size_t lo, std::size_t hi)
  {
    Box& b = m_Boxes[node];
    if (hi - lo == 1) {
      b.Add(m_Edges[lo].s);
      b.Add(m_Edges[lo].e);
      return b;
    }
    const std::size_t mid = lo + (hi - lo) / 2;
    for (const Box& half : {Build(2 * node, lo, mid), Build(2 * node + 1, mid, hi)}) {
      b.Add(CKelCoord2D(half.xmin, half.ymin));
      b.Add(CKelCoord2D(half.xmax, half.ymax));
    }
    return b;
  }

  template <class Far, class F>
  void Visit(std::size_t node, std::size_t lo, std::size_t hi, const Far& far, F& f) const
  {
    if (far(m_Boxes[node]))
      return;
    if (hi - lo == 1) {
      f(lo);
      return;
    }
    const std::size_t mid = lo + (hi - lo) / 2;
    Visit(2 * node, lo, mid, far, f);
    Visit(2 * node + 1, mid, hi, far, f);
  }

  const std::vector<Element>& m_Edges;
  std::vector<Box> m_Boxes;  // node 1 the whole outline, node k's halves 2k and 2k + 1
};

double BoxPoint(const Box& b, const CKelCoord2D& p)
{
  const double dx = std::fmax(0.0, std::fmax(b.xmin - p.m_x, p.m_x - b.xmax));
  const double dy = std::fmax(0.0, std::fmax(b.ymin - p.m_y, p.m_y - b.ymax));
  return std::sqrt(dx * dx + dy * dy);
}

// Whether every corner of the box lies strictly right of the ray c -> p.
bool RightOf(const Box& b, const CKelCoord2D& c, const CKelCoord2D& p)
{
  for (const CKelCoord2D& q : {CKelCoord2D(b.xmin, b.ymin), CKelCoord2D(b.xmin, b.ymax), CKelCoord2D(b.xmax, b.ymin),
                               CKelCoord2D(b.xmax, b.ymax)}) {
    if (Turn(c, p, q) >= 0)
      return false;
  }
  return true;
}

// What rules a box out for a piece of an element no longer than least:
// the box lies beyond least and the piece's reach from its middle, or, for
// an arc, outside the piece's wedge (less than half a turn) and beyond
// least from both its ends, the nearest arc points of anything outside the
// wedge.
class PieceReach {
public:
  PieceReach(const Element& e, double t0, double t1, double least)
      : m_Arc(e.arc), m_C(e.c), m_From(e.At(t0)), m_To(e.At(t1)), m_Least(least)
  {
    const Box piece = PieceBox(e, t0, t1, 0);
    m_Mid = CKelCoord2D((piece.xmin + piece.xmax) / 2, (piece.ymin + piece.ymax) / 2);
    m_Reach = least + std::hypot(piece.xmax - piece.xmin, piece.ymax - piece.ymin) / 2;
  }

  bool Beyond(const Box& b) const
  {
    if (BoxPoint(b, m_Mid) > m_Reach)
      return true;
    const bool outside = m_Arc && (RightOf(b, m_C, m_From) || RightOf(b, m_To, m_C));
    return outside && BoxPoint(b, m_From) >= m_Least && BoxPoint(b, m_To) >= m_Least;
  }

private:
  bool m_Arc;
  CKelCoord2D m_C, m_From, m_To, m_Mid;
  double m_Least, m_Reach = 0;
};

bool FarEnough(const std::vector<Element>& elements, const std::vector<Element>& edges, const EdgeRuns& runs,
               double least)
{
  if (!(least > 0))
    return true;
  std::vector<std::size_t> seen(edges.size(), elements.size());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const Element& e = elements[k];
    // Pieces no longer than the distance.
    const int pieces = std::max(1, static_cast<int>(std::fmin(std::ceil(e.length * e.Scale() / least), 1e4)));
    bool near = false;
    for (int j = 0; j < pieces && !near; ++j) {
      const PieceReach reach(e, e.length * j / pieces, e.length * (j + 1) / pieces, least);
      const auto far = [&reach](const Box& b) { return reach.Beyond(b); };
      runs.Near(far, [&](std::size_t edge) {
        if (near || seen[edge] == k)
          return;
        seen[edge] = k;
        near = ElementEdge(e, edges[edge]) < least;
      });
    }
    if (near)
      return false;
  }
  return true;
}

// The distance between a segment and a box: none when the segment enters
// it, else the least from a corner of the one to the other, as for any two
// convex figures apart.
double SegmentBox(const Element& seg, const Box& b)
{
  // The share of the segment within the box's slabs, clipped one axis at a
  // time.
  double lo = 0, hi = 1;
  const auto clip = [&](double from, double rate, double min, double max) {
    if (rate == 0)
      return from >= min && from <= max;
    const double p = (min - from) / rate, q = (max - from) / rate;
    lo = std::fmax(lo, std::fmin(p, q));
    hi = std::fmin(hi, std::fmax(p, q));
    return lo <= hi;
  };
  if (clip(seg.s.m_x, seg.e.m_x - seg.s.m_x, b.xmin, b.xmax) && clip(seg.s.m_y, seg.e.m_y - seg.s.m_y, b.ymin, b.ymax))
    return 0;
  double least = std::fmin(BoxPoint(b, seg.s), BoxPoint(b, seg.e));
  for (const CKelCoord2D& q : {CKelCoord2D(b.xmin, b.ymin), CKelCoord2D(b.xmin, b.ymax), CKelCoord2D(b.xmax, b.ymin),
                               CKelCoord2D(b.xmax, b.ymax)})
    least = std::fmin(least, PointSegment(q, seg.s, seg.e));
  return least;
}

// Positions lo to hi along a segment (0 to its length); empty when lo > hi.
struct Stretch {
  double lo = 1e300, hi = -1e300;
  void Take(double from, double to)
  {
    if (from > to)
      return;
    lo = std::fmin(lo, from);
    hi = std::fmax(hi, to);
  }
};

// The stretch of the segment within `most` of the edge: the segment's line
// meets the capsule about the edge, which is convex, in one stretch, made
// up of where it meets the discs about the edge's ends and the band beside
// it.
Stretch WithinOfEdge(const Element& seg, const Element& edge, double most)
{
  Stretch st;
  for (const CKelCoord2D& v : {edge.s, edge.e}) {
    const double b = (seg.s.m_x - v.m_x) * seg.ux + (seg.s.m_y - v.m_y) * seg.uy;
    const double c = (seg.s.m_x - v.m_x) * (seg.s.m_x - v.m_x) + (seg.s.m_y - v.m_y) * (seg.s.m_y - v.m_y) - most * most;
    if (b * b - c >= 0)
      st.Take(-b - std::sqrt(b * b - c), -b + std::sqrt(b * b - c));
  }
  if (edge.length > 0) {
    // along(t) in [0, length] and across(t) in [-most, most], each linear.
    double lo = -1e300, hi = 1e300;
    const auto clip = [&](double base, double rate, double from, double to) {
      if (rate == 0) {
        if (base < from || base > to)
          hi = -1e300;
        return;
      }
      const double p = (from - base) / rate, q = (to - base) / rate;
      lo = std::fmax(lo, std::fmin(p, q));
      hi = std::fmin(hi, std::fmax(p, q));
    };
    const double rx = seg.s.m_x - edge.s.m_x, ry = seg.s.m_y - edge.s.m_y;
    clip(rx * edge.ux + ry * edge.uy, seg.ux * edge.ux + seg.uy * edge.uy, 0, edge.length);
    clip(edge.ux * ry - edge.uy * rx, edge.ux * seg.uy - edge.uy * seg.ux, -most, most);
    st.Take(lo, hi);
  }
  return st;
}

// Whether every point of the segment lies within `most` of some edge: the
// stretches of the edges near it cover it end to end. `stretches` is room
// to work in, kept from segment to segment.
bool SegmentWithin(const Element& seg, const std::vector<Element>& edges, const EdgeRuns& runs, double most,
                   std::vector<Stretch>& stretches)
{
  stretches.clear();
  // Most segments lie beside one edge, whose stretch alone covers them.
  bool whole = false;
  const Box reach = PieceBox(seg, 0, seg.length, most);
  const auto far = [&](const Box& b) { return whole || !b.Meets(reach) || SegmentBox(seg, b) > most; };
  runs.Near(far, [&](std::size_t k) {
    const Stretch st = WithinOfEdge(seg, edges[k], most);
    whole = whole || (st.lo <= 0 && st.hi >= seg.length);
    if (st.lo <= st.hi && st.hi >= 0 && st.lo <= seg.length)
      stretches.push_back(st);
  });
  if (whole)
    return true;
  std::sort(stretches.begin(), stretches.end(), [](const Stretch& a, const Stretch& b) { return a.lo < b.lo; });
  double covered = 0;
  bool begun = false;
  for (const Stretch& st : stretches) {
    if (st.lo > covered)
      break;
    covered = std::fmax(covered, st.hi);
    begun = true;
  }
  return begun && covered >= seg.length;
}

// Whether no point of the line lies further than `most` from the outline.
// An arc lies within its radius of its centre, a vertex of the outline.
bool NearEnough(const std::vector<Element>& elements, const std::vector<Element>& edges, const EdgeRuns& runs,
                double most)
{
  std::vector<Stretch> stretches;
  return std::all_of(elements.begin(), elements.end(), [&](const Element& e) {
    if (!e.arc)
      return SegmentWithin(e, edges, runs, most, stretches);
    bool onOutline = false;
    const auto far = [&](const Box& b) { return onOutline || BoxPoint(b, e.c) > most - e.radius; };
    runs.Near(far, [&](std::size_t k) {
      onOutline = onOutline || PointSegment(e.c, edges[k].s, edges[k].e) <= most - e.radius;
    });
    return onOutline;
  });
}

// Whether p lies inside the line, its arcs taken as chords of at most an
// eighth of a turn: a point that keeps the distance from every arc lies
// outside the slivers between them.
bool Encloses(const std::vector<Element>& elements, const CKelCoord2D& p)
{
  std::vector<CKelCoord2D> ring;
  for (const Element& e : elements) {
    ring.push_back(e.s);
    if (!e.arc)
      continue;
    const int parts = static_cast<int>(std::ceil(e.length / (KelAngle::Pi / 4)));
    for (int i = 1; i < parts; ++i)
      ring.push_back(e.At(e.length * i / parts));
  }
  bool in = false;
  for (std::size_t k = 0, j = ring.size() - 1; k < ring.size(); j = k++) {
    const CKelCoord2D& a = ring[j];
    const CKelCoord2D& b = ring[k];
    if ((a.m_y > p.m_y) != (b.m_y > p.m_y) && a.m_x + (p.m_y - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y) > p.m_x)
      in = !in;
  }
  return in;
}

// The points of the outline without those within tol of the chord between
// the points kept on either side of it. The walk starts at the first point
// off the chord of its neighbours, a corner: a survey point listed first, a
// hair before a corner on its side, is then left out as any other.
std::vector<CKelCoord2D> WithoutJitter(const std::vector<CKelCoord2D>& listed, double tol)
{
  const std::size_t n = listed.size();
  if (n < 3)
    return listed;
  std::size_t corner = 0;
  while (corner < n && PointSegment(listed[corner], listed[(corner + n - 1) % n], listed[(corner + 1) % n]) <= tol)
    ++corner;
  std::vector<CKelCoord2D> pt(listed.begin() + static_cast<long>(corner % n), listed.end());
  pt.insert(pt.end(), listed.begin(), listed.begin() + static_cast<long>(corner % n));
  std::vector<CKelCoord2D> kept;
  std::size_t from = 0;
  kept.push_back(pt.front());
  for (std::size_t to = 2; to <= pt.size(); ++to) {
    const CKelCoord2D& end = pt[to % pt.size()];
    bool onChord = true;
    for (std::size_t i = from + 1; i < to && onChord; ++i)
      onChord = PointSegment(pt[i], pt[from], end) <= tol;
    if (!onChord) {
      from = to - 1;
      kept.push_back(pt[from]);
    }
  }
  return kept;
}

}  // namespace

bool CClineData::IsSoundFor(const std::vector<CKelCoord2D>& outline) const
{
  const std::vector<ClineElement> chain = Elements();
  if (outline.empty() || chain.size() < 2 || CheckData() < 0)
    return false;
  std::vector<Element> elements;
  Box extent;
  for (const ClineElement& k : chain) {
    elements.push_back(MakeElement(*this, k, m_Distance));
    extent.Add(elements.back().s);
  }
  const double scale = std::max({1.0, extent.xmax - extent.xmin, extent.ymax - extent.ymin});
  const double joint = KelTol::ClineTraceMargin * scale;
  std::vector<Element> edges;
  for (std::size_t k = 0; k < outline.size(); ++k)
    edges.push_back(Segment(outline[k], outline[(k + 1) % outline.size()]));
  const EdgeRuns runs(edges);
  // Only the mitre of a corner within 0.1 degree of straight lies beyond
  // the distance, by its share of it.
  const double most = m_Distance * (1 + KelTol::ClineStraightMitre) + KelTol::ClineSoundSlack;
  return Dist(elements.back().e, elements.front().s) <= joint && NoTwoCross(elements, joint) &&
         FarEnough(elements, edges, runs, m_Distance - KelTol::ClineSoundSlack) &&
         NearEnough(elements, edges, runs, most) && Encloses(elements, outline.front());
}

bool CClineData::TraceSound(const CKelArea<CKelCoord2D>& local, const std::vector<CKelCoord2D>& judged)
{
  const CKelCoord2D first = BuildRawLine(local);
  return TraceOuterLine(first) != TraceResult::Failed && IsSoundFor(judged);
}

bool CClineData::TraceLocal(const CKelArea<CKelCoord2D>& local)
{
  if (TraceSound(local, local.m_pt))
    return true;
  CKelArea<CKelCoord2D> plain;
  plain.m_pt = WithoutJitter(local.m_pt, KelTol::ClineSurveyJitter);
  return plain.m_pt.size() < local.m_pt.size() && TraceSound(plain, local.m_pt);
}
