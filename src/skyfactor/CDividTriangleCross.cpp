// CDividTriangle: whether diagonals and edges meet, and the inside test of
// a split, over blocks of edges.
//
// The part being divided keeps the box of each block of kBlockEdges
// consecutive edges. A test walks the edges in the outline's order as
// before, but passes over a block whose box shows every edge of it would be
// skipped anyway: clear of the diagonal's grown box (where the box test is
// active), or farther from a point's level (or, within the disc, to its
// right) than point location looks. Only comparisons decide that, so the
// answers, and the order in which the remaining edges are measured, are the
// plain walk's.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "CDividTriangle.h"
#include "CKelAreaCoord2D.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::DividPoint;

// The segment A -> B with its direction and length.
struct Segment {
  CKelCoord2D a;
  double c = 1;
  double s = 0;
  double len = 0;
};


enum class Meet { No, Yes, Invalid };

// An edge end farther than this from a segment's line is clear of it,
// beyond DividPoint and every round-off of the crossing's position.
constexpr double kClearOfLine = kTol + 1e-9;

// Whether the edge P -> Q meets the open segment: a collinear edge when it
// overlaps the segment's inside, another edge when its line crosses the
// segment strictly inside and the crossing lies on the edge. Touching an end
// of the segment is no meeting. endsAtEnd: q is the segment's far end
// itself, on its line by definition: measured, its round-off would let an
// edge arriving there at a hair's angle cross the segment just short of it.
Meet EdgeMeets(const Segment& seg, const CKelCoord2D& p, const CKelCoord2D& q, bool endsAtEnd = false)
{
  const CKelCoord2D& a = seg.a;
  const double sideP = seg.c * (p.m_y - a.m_y) - seg.s * (p.m_x - a.m_x);
  double sideQ = seg.c * (q.m_y - a.m_y) - seg.s * (q.m_x - a.m_x);
  if (endsAtEnd)
    sideQ = std::fabs(sideP) <= kTol ? sideP : 0.0;
  // Both ends on one side, clear of the line: the lines cross beyond the
  // nearer end by at least its distance, so the crossing is off the edge.
  if (sideP != sideQ && (sideP > 0) == (sideQ > 0) && std::fmin(std::fabs(sideP), std::fabs(sideQ)) > kClearOfLine)
    return Meet::No;
  const double alongP = (p.m_x - a.m_x) * seg.c + (p.m_y - a.m_y) * seg.s;
  const double alongQ = endsAtEnd ? seg.len : (q.m_x - a.m_x) * seg.c + (q.m_y - a.m_y) * seg.s;
  const double len = seg.len;
  if (sideP == sideQ) {
    if (!(std::fabs(sideP) <= kTol && std::fabs(sideQ) <= kTol))
      return Meet::No;
    const bool inside = (alongP > kTol && alongP < len - kTol) || (alongQ > kTol && alongQ < len - kTol);
    const bool covers = (alongP < -kTol && alongQ > len + kTol) || (alongQ < -kTol && alongP > len + kTol);
    return inside || covers ? Meet::Yes : Meet::No;
  }
  const double t = alongP + (alongQ - alongP) * (0 - sideP) / (sideQ - sideP);
  if (std::isnan(t))
    return Meet::Invalid;
  // Off the segment nothing else can make it a meeting; the edge's own frame
  // (a square root) is measured only for crossings inside the segment.
  if (!(t > kTol && t < len - kTol))
    return Meet::No;
  const CKelCoord2D x(a.m_x + t * seg.c, a.m_y + t * seg.s);
  double ce = 1, se = 0, le = 0;
  CalcCosSin(p, q, &ce, &se, &le);
  const double off = ce * (x.m_y - p.m_y) - se * (x.m_x - p.m_x);
  if (std::isnan(off))
    return Meet::Invalid;
  if (std::fabs(off) > KelTol::DividCrossLine)
    return Meet::No;
  const double alongEdge = (x.m_x - p.m_x) * ce + (x.m_y - p.m_y) * se;
  return alongEdge >= -kTol && alongEdge <= le + kTol ? Meet::Yes : Meet::No;
}

// The box of an edge, for the sweep of the simplicity test.
struct EdgeBox {
  double xmin, xmax, ymin, ymax;
  int end;  // the position the edge ends at
};

// Boxes farther apart than this cannot hold edges that meet: a meeting
// lies within DividCrossLine and DividPoint of both.
constexpr double kBoxMargin = 1e-5;

// The box of a segment grown by kBoxMargin, for skipping the edges clear of
// it; an empty filter (for points beyond kBoxedReach) skips none.
class ClearOfBox {
public:
  ClearOfBox(const CKelCoord2D& a, const CKelCoord2D& b, bool active)
      : m_Active(active),
        m_xmin(std::fmin(a.m_x, b.m_x) - kBoxMargin),
        m_xmax(std::fmax(a.m_x, b.m_x) + kBoxMargin),
        m_ymin(std::fmin(a.m_y, b.m_y) - kBoxMargin),
        m_ymax(std::fmax(a.m_y, b.m_y) + kBoxMargin)
  {
  }

  // The sides of the box a point lies beyond, one bit each; an edge whose
  // ends share a bit is clear of the box. Worked out once per vertex, as
  // each vertex ends one edge and starts the next.
  unsigned Beyond(const CKelCoord2D& p) const
  {
    if (!m_Active)
      return 0;
    return (p.m_x < m_xmin ? 1U : 0U) | (p.m_x > m_xmax ? 2U : 0U) | (p.m_y < m_ymin ? 4U : 0U) |
           (p.m_y > m_ymax ? 8U : 0U);
  }

  static bool Clear(unsigned beyondP, unsigned beyondQ) { return (beyondP & beyondQ) != 0; }

  // Whether every point within the box x0 .. x1, y0 .. y1 lies beyond one
  // side: then every edge between such points is clear.
  bool Clears(double x0, double x1, double y0, double y1) const
  {
    return m_Active && (x1 < m_xmin || x0 > m_xmax || y1 < m_ymin || y0 > m_ymax);
  }

private:
  bool m_Active;
  double m_xmin, m_xmax, m_ymin, m_ymax;
};

}  // namespace

// --- Blocks of edges -----------------------------------------------------------

void CDividTriangle::MeasureBlocks(const Index& idx)
{
  m_Current = &idx;
  const std::size_t n = idx.size();
  m_Blocks.clear();
  const auto take = [](Block& b, const CKelCoord2D& p) {
    b.xmin = std::min(b.xmin, p.m_x);
    b.xmax = std::max(b.xmax, p.m_x);
    b.ymin = std::min(b.ymin, p.m_y);
    b.ymax = std::max(b.ymax, p.m_y);
  };
  // Each block's own points first; the edges of a block end at the first
  // point of the next (the last block's at point 0).
  for (std::size_t from = 0; from < n; from += kBlockEdges) {
    const std::size_t to = std::min(from + kBlockEdges, n);
    const CKelCoord2D& first = m_Pt[static_cast<std::size_t>(idx[from])];
    Block b{first.m_x, first.m_x, first.m_y, first.m_y};
    for (std::size_t k = from + 1; k < to; ++k)
      take(b, m_Pt[static_cast<std::size_t>(idx[k])]);
    take(b, m_Pt[static_cast<std::size_t>(idx[to == n ? 0 : to])]);
    m_Blocks.push_back(b);
  }
}

void CDividTriangle::PartBox(const Index& idx, CKelAreaCoord2D& outline) const
{
  Block box{DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
  const auto take = [&box](const Block& b) {
    box.xmin = std::min(box.xmin, b.xmin);
    box.xmax = std::max(box.xmax, b.xmax);
    box.ymin = std::min(box.ymin, b.ymin);
    box.ymax = std::max(box.ymax, b.ymax);
  };
  if (IsCurrent(idx)) {
    std::for_each(m_Blocks.begin(), m_Blocks.end(), take);
  } else {
    for (int v : idx) {
      const CKelCoord2D& p = m_Pt[static_cast<std::size_t>(v)];
      take(Block{p.m_x, p.m_x, p.m_y, p.m_y});
    }
  }
  outline.m_xmin = box.xmin;
  outline.m_xmax = box.xmax;
  outline.m_ymin = box.ymin;
  outline.m_ymax = box.ymax;
}

template <class Skip, class Visit>
bool CDividTriangle::VisitEdges(const Index& idx, int from, int count, Skip&& skip, Visit&& visit) const
{
  const int n = static_cast<int>(idx.size());
  const bool blocks = IsCurrent(idx);
  while (count > 0) {
    const int end = std::min(n, from + count);
    count -= end - from;
    for (int q = from; q < end;) {
      const int blockEnd = blocks ? std::min(end, (q / kBlockEdges + 1) * kBlockEdges) : end;
      if (!blocks || !skip(m_Blocks[static_cast<std::size_t>(q / kBlockEdges)])) {
        for (int e = q; e < blockEnd; ++e) {
          if (visit(e))
            return true;
        }
      }
      q = blockEnd;
    }
    from = 0;
  }
  return false;
}

// --- Tests of diagonals and outlines ----------------------------------------

// The walk begins with the closing edge.
int CDividTriangle::CheckCross(const Index& idx, int a, int b)
{
  const int n = static_cast<int>(idx.size());
  const Frame& f = FrameOf(idx, a, b);
  const Segment seg{P(idx, a), f.c, f.s, f.len};
  const ClearOfBox box(P(idx, a), P(idx, b), m_bBoxed);
  int met = -1;
  const auto clearBlock = [&box](const Block& r) { return box.Clears(r.xmin, r.xmax, r.ymin, r.ymax); };
  VisitEdges(idx, n - 1, n, clearBlock, [&](int prev) {
    const int m = prev + 1 == n ? 0 : prev + 1;
    if (m == a || prev == a || prev == b || ClearOfBox::Clear(box.Beyond(P(idx, prev)), box.Beyond(P(idx, m))))
      return false;
    const Meet meet = EdgeMeets(seg, P(idx, prev), P(idx, m), m == b);
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    if (meet == Meet::No)
      return false;
    met = prev;
    return true;
  });
  return met;
}

// Every edge tested against every edge that does not share a vertex
// position with it, in both directions; boxes sorted by x keep the pairs
// tested to those that come close.
bool CDividTriangle::IsSimple(const Index& idx)
{
  const int n = static_cast<int>(idx.size());
  std::vector<EdgeBox> boxes;
  boxes.reserve(static_cast<std::size_t>(n));
  for (int m = 0; m < n; ++m) {
    const CKelCoord2D& p = P(idx, m == 0 ? n - 1 : m - 1);
    const CKelCoord2D& q = P(idx, m);
    boxes.push_back({std::fmin(p.m_x, q.m_x), std::fmax(p.m_x, q.m_x), std::fmin(p.m_y, q.m_y),
                     std::fmax(p.m_y, q.m_y), m});
  }
  std::sort(boxes.begin(), boxes.end(), [](const EdgeBox& l, const EdgeBox& r) { return l.xmin < r.xmin; });
  const auto adjacent = [n](int e1, int e2) {
    return e1 == e2 || (e1 + 1) % n == e2 || (e2 + 1) % n == e1;
  };
  const auto meets = [&](int segEnd, int edgeEnd) {
    const int segStart = segEnd == 0 ? n - 1 : segEnd - 1;
    const int edgeStart = edgeEnd == 0 ? n - 1 : edgeEnd - 1;
    const Frame& f = FrameOf(idx, segStart, segEnd);
    const Meet meet = EdgeMeets(Segment{P(idx, segStart), f.c, f.s, f.len}, P(idx, edgeStart), P(idx, edgeEnd));
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    return meet != Meet::No;
  };
  for (std::size_t u = 0; u < boxes.size(); ++u) {
    for (std::size_t v = u + 1; v < boxes.size() && boxes[v].xmin <= boxes[u].xmax + kBoxMargin; ++v) {
      const EdgeBox& e1 = boxes[u];
      const EdgeBox& e2 = boxes[v];
      if (e2.ymin > e1.ymax + kBoxMargin || e1.ymin > e2.ymax + kBoxMargin || adjacent(e1.end, e2.end))
        continue;
      if (meets(e1.end, e2.end) || meets(e2.end, e1.end))
        return false;
    }
  }
  return true;
}

// A part of a simple outline: its edges met no other edge there, and
// adjacent edges stay adjacent, so only the pairs with the closing edge (the
// new diagonal) are new.
bool CDividTriangle::PartStaysSimple(const Index& parent, int start, const Index& part)
{
  if (!IsCurrent(parent))
    return PartStaysSimpleFar(part);
  // The part's edges 1 ... n - 3 are the parent's from start + 1 on; the
  // others touch the diagonal's ends and are not tested.
  const int n = static_cast<int>(part.size());
  const int whole = static_cast<int>(parent.size());
  const CKelCoord2D& d0 = P(part, n - 1);
  const CKelCoord2D& d1 = P(part, 0);
  const Frame& f = FrameOf(part, n - 1, 0);
  const Segment diagonal{d0, f.c, f.s, f.len};
  const ClearOfBox box(d0, d1, m_bBoxed);
  const auto clearBlock = [&box](const Block& r) { return box.Clears(r.xmin, r.xmax, r.ymin, r.ymax); };
  // meets(at) tests the parent's edge at, clear of the box or not.
  const auto edgeTest = [&](auto meets) {
    return [&, meets](int at) {
      const int next = at + 1 == whole ? 0 : at + 1;
      if (ClearOfBox::Clear(box.Beyond(P(parent, at)), box.Beyond(P(parent, next))))
        return false;
      const Meet meet = meets(at, next);
      if (meet == Meet::Invalid)
        m_bInvalid = true;
      return meet != Meet::No;
    };
  };
  const int from = (start + 1) % whole;
  const auto edgeMeetsDiagonal = [&](int at, int next) { return EdgeMeets(diagonal, P(parent, at), P(parent, next)); };
  const auto diagonalMeetsEdge = [&](int at, int next) {
    const Frame& fe = FrameOf(parent, at, next);
    return EdgeMeets(Segment{P(parent, at), fe.c, fe.s, fe.len}, d0, d1);
  };
  if (m_bBoxed) {
    // Within the disc every crossing can be measured (its position may
    // overflow to infinity, never to NaN), so no test answers Invalid and
    // whether some edge meets does not depend on the order of the tests:
    // both tests of an edge go in one walk.
    return !VisitEdges(parent, from, n - 3, clearBlock, edgeTest([&](int at, int next) {
      const Meet meet = edgeMeetsDiagonal(at, next);
      return meet != Meet::No ? meet : diagonalMeetsEdge(at, next);
    }));
  }
  // The diagonal against each edge, then each edge against the diagonal.
  if (VisitEdges(parent, from, n - 3, clearBlock, edgeTest(edgeMeetsDiagonal)) || m_bInvalid)
    return false;
  return !VisitEdges(parent, from, n - 3, clearBlock, edgeTest(diagonalMeetsEdge));
}

// The same tests walking the part's edges: the diagonal against each edge,
// then each edge against the diagonal.
bool CDividTriangle::PartStaysSimpleFar(const Index& part)
{
  const int n = static_cast<int>(part.size());
  if (CheckCross(part, n - 1, 0) >= 0 || m_bInvalid)
    return false;
  const CKelCoord2D& d0 = P(part, n - 1);
  const CKelCoord2D& d1 = P(part, 0);
  const ClearOfBox box(d0, d1, m_bBoxed);
  unsigned beyondPrev = box.Beyond(P(part, 1));
  for (int m = 2; m <= n - 2; ++m) {
    const unsigned beyond = box.Beyond(P(part, m));
    const bool clear = ClearOfBox::Clear(beyondPrev, beyond);
    beyondPrev = beyond;
    if (clear)
      continue;
    const Frame& f = FrameOf(part, m - 1, m);
    const Meet meet = EdgeMeets(Segment{P(part, m - 1), f.c, f.s, f.len}, d0, d1);
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    if (meet != Meet::No)
      return false;
  }
  return true;
}

// An edge whose level range misses p's by more than the band takes no part
// in the location (KelEdge::MeetsEdge), and none of a block whose box misses
// it so: those are left out, the rest are measured in the same order.
// Within the disc's reach an edge that starts more than the band right of
// p counts nothing either (as KelEdge::LevelIndex has it): the round-off of
// its offset from p is far below the band there.
int CDividTriangle::InsideOutline(const CKelAreaCoord2D& outline, bool reversed, const Index& idx,
                                  const CKelCoord2D& p)
{
  constexpr auto kCrossing = CKelAreaCoord2D::Crossing::TenthTol;
  if (reversed || !IsCurrent(idx))
    return outline.InArea(p, KelTol::DividInside, KelTol::DividInside, kCrossing);
  const KelEdge::LocateTol band = CKelAreaCoord2D::InAreaBand(KelTol::DividInside, kCrossing);
  const double far = KelEdge::FarFromLevel(band);
  const int n = static_cast<int>(idx.size());
  m_EdgeEnds.clear();
  const bool right = m_bBoxed;
  const auto farRun = [&](const Block& r) {
    return r.ymin - p.m_y > far || p.m_y - r.ymax > far || (right && r.xmin - p.m_x > far);
  };
  VisitEdges(idx, n - 1, n, farRun, [&](int q) {
    m_EdgeEnds.push_back(static_cast<std::size_t>(q + 1 == n ? 0 : q + 1));
    return false;
  });
  const KelEdge::Extents box{outline.m_xmin, outline.m_xmax, outline.m_ymin, outline.m_ymax};
  return KelEdge::LocateAmong(outline.m_pt, box, p, band, m_EdgeEnds);
}
