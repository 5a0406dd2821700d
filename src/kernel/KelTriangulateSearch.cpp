#include "KelTriangulateSearch.h"

#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"
#include "KelCrossing.h"

namespace {

// Relative share of a vector's size below which a coordinate counts as near
// zero for the quick wedge test: far above the round-off of atan2 and of the
// frame, far below any angle that tells candidates apart.
constexpr double kWedgeMargin = 1e-9;

}  // namespace

KelTriangulateSearch::KelTriangulateSearch(const CKelAreaCoord2D& outline, CKelAreaCoord2DArray& out,
                                           Budget& budget)
    : m_outline(outline), m_pt(outline.m_pt), m_out(out), m_budget(budget)
{
  const int n = static_cast<int>(m_pt.size());
  m_node.resize(m_pt.size());
  for (int i = 0; i < n; ++i)
    m_node[static_cast<std::size_t>(i)] = Node{i, i == 0 ? n - 1 : i - 1, i + 1 == n ? 0 : i + 1};
}

KelTriangulateSearch::Result KelTriangulateSearch::Run(Simplicity simplicity)
{
  Push(0, static_cast<int>(m_pt.size()), simplicity);
  bool haveChild = false;
  Result child = Result::kDone;
  for (;;) {
    Level& level = m_stack.back();
    Result result = Result::kNotCut;
    const bool finished = haveChild ? Resume(level, child, result) : Step(level, result);
    haveChild = false;
    if (!finished)
      continue;
    m_stack.pop_back();
    if (m_stack.empty())
      return result;
    haveChild = true;
    child = result;
  }
}

// --- Levels ------------------------------------------------------------------------

void KelTriangulateSearch::Push(int start, int size, Simplicity simplicity)
{
  Level level;
  level.start = start;
  level.size = size;
  level.simplicity = simplicity;
  m_stack.push_back(level);
}

bool KelTriangulateSearch::Step(Level& level, Result& result)
{
  return level.phase == Phase::kStart ? Begin(level, result) : Search(level, result);
}

// A piece without concave vertices is a triangle or takes the convex path;
// otherwise the whole test of an outline not yet known to be simple lets
// every diagonal tried test one edge.
bool KelTriangulateSearch::Begin(Level& level, Result& result)
{
  level.phase = Phase::kSearch;
  if (NextConcave(level)) {
    if (level.simplicity == Simplicity::kUnknown && Materialize(level.start, level.size).CheckCross2())
      level.simplicity = Simplicity::kKnown;
    level.wedge.valid = WedgeOf(level, level.wedge);
    return Search(level, result);
  }
  if (level.size < 3) {
    result = Result::kNotCut;
  } else if (level.size == 3) {
    EmitTriangle(level.start);
    result = Result::kDone;
  } else {
    result = CutConvex(level);
  }
  return true;
}

// Piece A has been cut (or failed); then piece B; a failure of either undoes
// the cut and moves on to the next candidate, under the backtracking budget.
bool KelTriangulateSearch::Resume(Level& level, Result child, Result& result)
{
  if (child == Result::kGaveUp) {
    result = child;
    return true;
  }
  if (child == Result::kDone) {
    if (level.phase == Phase::kCutB) {
      result = Result::kDone;
      return true;
    }
    level.phase = Phase::kCutB;
    Push(level.bStart, level.bSize, Simplicity::kKnown);
    return false;
  }
  if (--m_budget.backtracksLeft < 0) {
    result = Result::kGaveUp;
    return true;
  }
  Undo(level);
  level.phase = Phase::kSearch;
  return Search(level, result);
}

// The concave vertices in position order, and for each its candidates in
// position order: the first diagonal whose pieces pass is cut.
bool KelTriangulateSearch::Search(Level& level, Result& result)
{
  for (;;) {
    while (NextCandidate(level)) {
      const int c = level.c;
      const int j = level.j;
      const int before = m_node[static_cast<std::size_t>(j)].prev;
      const CKelCoord2D& pj = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(j)].v)];
      // Piece A closes at j unless j coincides with one of its ends.
      const bool closesAtJ = !(pj == m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(before)].v)]) &&
                             !(pj == m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(c)].v)]);
      const bool tested = level.simplicity == Simplicity::kKnown && closesAtJ;
      if (tested ? !DiagonalClear(level) : !PiecesPass(level, closesAtJ))
        continue;
      int aStart = 0;
      int aSize = 0;
      CutAlong(level, closesAtJ, aStart, aSize);
      level.phase = Phase::kCutA;
      Push(aStart, aSize, Simplicity::kKnown);  // level is not used after this
      return false;
    }
    if (!NextConcave(level)) {
      result = Result::kNotCut;
      return true;
    }
    level.wedge.valid = WedgeOf(level, level.wedge);
    level.j = -1;
    level.blocker = -1;
  }
}

// --- Concave vertices and candidates --------------------------------------------------

bool KelTriangulateSearch::IsConcave(int node) const
{
  const Node& n = m_node[static_cast<std::size_t>(node)];
  const CKelCoord2D& prev = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(n.prev)].v)];
  const CKelCoord2D& next = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(n.next)].v)];
  const CKelCoord2D& v = m_pt[static_cast<std::size_t>(n.v)];
  const double x1 = v.m_x - prev.m_x, y1 = v.m_y - prev.m_y;
  const double x2 = next.m_x - v.m_x, y2 = next.m_y - v.m_y;
  return x1 * y2 - y1 * x2 < 0;
}

bool KelTriangulateSearch::NextConcave(Level& level) const
{
  int node = level.c < 0 ? level.start : m_node[static_cast<std::size_t>(level.c)].next;
  for (int pos = level.c < 0 ? 0 : level.cPos + 1; pos < level.size; ++pos) {
    if (IsConcave(node)) {
      level.c = node;
      level.cPos = pos;
      return true;
    }
    node = m_node[static_cast<std::size_t>(node)].next;
  }
  return false;
}

// The frame of the edge arriving at c; an arriving edge of zero length, or a
// piece of fewer than four vertices, has no candidates.
bool KelTriangulateSearch::WedgeOf(const Level& level, Wedge& wedge) const
{
  if (level.size < 4)
    return false;
  const Node& c = m_node[static_cast<std::size_t>(level.c)];
  const CKelCoord2D& vc = m_pt[static_cast<std::size_t>(c.v)];
  const CKelCoord2D& vp = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(c.prev)].v)];
  const CKelCoord2D& vq = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(c.next)].v)];
  wedge.cs = 1;
  wedge.sn = 0;
  if (!CalcCosSin(vp, vc, &wedge.cs, &wedge.sn, nullptr))
    return false;
  const double dx = vq.m_x - vc.m_x;
  const double dy = vq.m_y - vc.m_y;
  wedge.qy = wedge.cs * dy - wedge.sn * dx;
  wedge.qx = dx * wedge.cs + dy * wedge.sn;
  wedge.a0 = std::atan2(wedge.qy, wedge.qx);
  return true;
}

bool KelTriangulateSearch::NextCandidate(Level& level) const
{
  if (!level.wedge.valid)
    return false;
  const Node& c = m_node[static_cast<std::size_t>(level.c)];
  int node = level.j < 0 ? level.start : m_node[static_cast<std::size_t>(level.j)].next;
  for (int pos = level.j < 0 ? 0 : level.jPos + 1; pos < level.size; ++pos) {
    if (node != c.prev && node != level.c && node != c.next && InWedge(level.wedge, level.c, node)) {
      level.j = node;
      level.jPos = pos;
      return true;
    }
    node = m_node[static_cast<std::size_t>(node)].next;
  }
  level.j = -1;
  return false;
}

// Whether the angle of k seen from c, atan2 in the arriving edge's frame, is
// at least the leaving edge's. Clear cases are told by signs and one cross
// product; only candidates near the leaving edge's direction, or near the
// frame's axis, take the arc tangent itself.
bool KelTriangulateSearch::InWedge(const Wedge& w, int c, int k) const
{
  const CKelCoord2D& vc = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(c)].v)];
  const CKelCoord2D& v = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(k)].v)];
  const double dx = v.m_x - vc.m_x;
  const double dy = v.m_y - vc.m_y;
  const double y = w.cs * dy - w.sn * dx;
  const double x = dx * w.cs + dy * w.sn;
  const double size = std::fabs(x) + std::fabs(y);
  const double qsize = std::fabs(w.qx) + std::fabs(w.qy);
  if (std::fabs(y) > kWedgeMargin * size && std::fabs(w.qy) > kWedgeMargin * qsize) {
    if ((y > 0) != (w.qy > 0))
      return y > 0;
    const double cross = w.qx * y - w.qy * x;
    if (std::fabs(cross) > kWedgeMargin * size * qsize)
      return cross > 0;
  }
  return std::atan2(y, x) >= w.a0;
}

// --- Diagonals ----------------------------------------------------------------------

// The edge that refused the last candidate often refuses the next one too
// (a tooth of a comb hides every vertex behind it), so it is asked first.
bool KelTriangulateSearch::DiagonalClear(Level& level)
{
  if (level.blocker >= 0 && EdgeRefuses(level, level.blocker))
    return false;
  // Edges whose boxes keep twice the box filter's margin from the
  // diagonal's pass that filter in neither role and hold no vertex that
  // coincides with an end of it.
  const CKelCoord2D& vc = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.c)].v)];
  const CKelCoord2D& vj = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.j)].v)];
  const double reach = 2 * KelTol::CrossingBox;
  const double xlo = std::fmin(vc.m_x, vj.m_x) - reach, xhi = std::fmax(vc.m_x, vj.m_x) + reach;
  const double ylo = std::fmin(vc.m_y, vj.m_y) - reach, yhi = std::fmax(vc.m_y, vj.m_y) + reach;
  int k = level.start;
  for (int pos = 0; pos < level.size; ++pos) {
    const Node& edge = m_node[static_cast<std::size_t>(k)];
    const CKelCoord2D& b1 = m_pt[static_cast<std::size_t>(edge.v)];
    const CKelCoord2D& b2 = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(edge.next)].v)];
    const bool far = std::fmax(b1.m_x, b2.m_x) < xlo || std::fmin(b1.m_x, b2.m_x) > xhi ||
                     std::fmax(b1.m_y, b2.m_y) < ylo || std::fmin(b1.m_y, b2.m_y) > yhi;
    if (!far && EdgeRefuses(level, k)) {
      level.blocker = k;
      return false;
    }
    k = edge.next;
  }
  return true;
}

// The edge from node k in the test of the piece it falls into: the closing
// edge j -> c of piece A against A's edges, c -> j of piece B against B's.
bool KelTriangulateSearch::EdgeRefuses(const Level& level, int k) const
{
  const bool inA = InRunCToJ(level, k);
  const CKelCoord2D& vc = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.c)].v)];
  const CKelCoord2D& vj = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.j)].v)];
  const Node& edge = m_node[static_cast<std::size_t>(k)];
  return !KelCrossing::EdgeClear(inA ? vj : vc, inA ? vc : vj, m_pt[static_cast<std::size_t>(edge.v)],
                                         m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(edge.next)].v)]);
}

bool KelTriangulateSearch::InRunCToJ(const Level& level, int k) const
{
  const int vc = m_node[static_cast<std::size_t>(level.c)].v;
  const int vj = m_node[static_cast<std::size_t>(level.j)].v;
  const int vk = m_node[static_cast<std::size_t>(k)].v;
  return vc < vj ? vk >= vc && vk < vj : vk >= vc || vk < vj;
}

CKelAreaCoord2D KelTriangulateSearch::Materialize(int from, int size) const
{
  CKelAreaCoord2D piece;
  piece.m_pt.reserve(static_cast<std::size_t>(size));
  for (int k = from, pos = 0; pos < size; ++pos, k = m_node[static_cast<std::size_t>(k)].next)
    piece.m_pt.push_back(m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(k)].v)]);
  return piece;
}

// The pieces built and tested whole: a piece of an outline that may cross
// itself, or a piece A that does not close at j.
bool KelTriangulateSearch::PiecesPass(const Level& level, bool closesAtJ) const
{
  const int m = level.size;
  const int aRun = (level.jPos - level.cPos + m) % m;
  CKelAreaCoord2D a = Materialize(level.c, aRun);
  if (closesAtJ)
    a.m_pt.push_back(m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.j)].v)]);
  const CKelAreaCoord2D b = Materialize(level.j, (level.cPos - level.jPos + m) % m + 1);
  const bool known = level.simplicity == Simplicity::kKnown;
  const auto passes = [known](const CKelAreaCoord2D& piece) {
    return known ? piece.ClosingEdgeClear() : piece.CheckCross2();
  };
  return passes(a) && passes(b);
}

// Piece B keeps node j and ends at a new node for c; piece A keeps node c and
// ends at a new node for j, or at the vertex before j when it does not close
// at j.
void KelTriangulateSearch::CutAlong(Level& level, bool closesAtJ, int& aStart, int& aSize)
{
  const int m = level.size;
  const int c = level.c;
  const int j = level.j;
  const int beforeC = m_node[static_cast<std::size_t>(c)].prev;
  const int beforeJ = m_node[static_cast<std::size_t>(j)].prev;
  level.outMark = m_out.size();
  level.cutMark = m_cuts.size();
  level.nodeMark = m_node.size();
  m_cuts.push_back(Cut{c, j, beforeC, beforeJ});

  const int c2 = static_cast<int>(m_node.size());
  m_node.push_back(Node{m_node[static_cast<std::size_t>(c)].v, beforeC, j});
  m_node[static_cast<std::size_t>(beforeC)].next = c2;
  m_node[static_cast<std::size_t>(j)].prev = c2;
  int endA = beforeJ;
  if (closesAtJ) {
    endA = static_cast<int>(m_node.size());
    m_node.push_back(Node{m_node[static_cast<std::size_t>(j)].v, beforeJ, c});
    m_node[static_cast<std::size_t>(beforeJ)].next = endA;
  }
  m_node[static_cast<std::size_t>(endA)].next = c;
  m_node[static_cast<std::size_t>(c)].prev = endA;

  aStart = c;
  aSize = (level.jPos - level.cPos + m) % m + (closesAtJ ? 1 : 0);
  level.bStart = j;
  level.bSize = (level.cPos - level.jPos + m) % m + 1;
}

// Takes back every cut made since this level's own, newest first, then its
// own, and the triangles of the failed attempt.
void KelTriangulateSearch::Undo(const Level& level)
{
  while (m_cuts.size() > level.cutMark) {
    const Cut& cut = m_cuts.back();
    m_node[static_cast<std::size_t>(cut.beforeC)].next = cut.c;
    m_node[static_cast<std::size_t>(cut.c)].prev = cut.beforeC;
    m_node[static_cast<std::size_t>(cut.beforeJ)].next = cut.j;
    m_node[static_cast<std::size_t>(cut.j)].prev = cut.beforeJ;
    m_cuts.pop_back();
  }
  m_node.resize(level.nodeMark);
  m_out.resize(level.outMark);
}

// A three-vertex piece comes out whole, with the outline's area and box
// members, as every piece cut along a diagonal carries them.
void KelTriangulateSearch::EmitTriangle(int start)
{
  CKelAreaCoord2D triangle;
  triangle.m_area = m_outline.m_area;
  triangle.m_xmin = m_outline.m_xmin;
  triangle.m_xmax = m_outline.m_xmax;
  triangle.m_ymin = m_outline.m_ymin;
  triangle.m_ymax = m_outline.m_ymax;
  triangle.m_pt = Materialize(start, 3).m_pt;
  m_out.push_back(std::move(triangle));
}

KelTriangulateSearch::Result KelTriangulateSearch::CutConvex(const Level& level)
{
  return Materialize(level.start, level.size).TriangulateConvex(m_out, m_budget, Simplicity::kUnknown);
}
