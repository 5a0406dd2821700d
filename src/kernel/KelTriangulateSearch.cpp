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

// Ruling out a box of candidates or of edges must never rule out one that
// the exact tests would take, so each margin below lies far above the
// round-off of those tests and far below anything that tells cases apart.
//
// A point counts as clearly on one side of a line through c when its
// distance exceeds this share of its distance from c (the wedge test's
// round-off is some 1e-16 of it).
constexpr double kClearSide = 1e-12;
// A vertex on the line of one of c's edges lies on the candidate diagonal
// when within KelTol::Crossing of it; those within this share of it are
// ruled out, and only those beyond the edge's far end by kBeyondEdge.
constexpr double kOnEdgeLine = 0.5;
constexpr double kBeyondEdge = 1e-4;
// The edges of c that may rule out vertices on their lines: long enough for
// kBeyondEdge, short enough that kClearSide and kOnEdgeLine cover between
// them every vertex near the line.
constexpr double kShortestRulingEdge = 1e-3;
constexpr double kLongestRulingEdge = 1e5;

}  // namespace

KelTriangulateSearch::KelTriangulateSearch(const CKelAreaCoord2D& outline, CKelAreaCoord2DArray& out,
                                           Budget& budget)
    : m_outline(outline), m_pt(outline.m_pt), m_out(out), m_budget(budget)
{
  const int n = static_cast<int>(m_pt.size());
  m_node.resize(m_pt.size());
  for (int i = 0; i < n; ++i) {
    Node& node = m_node[static_cast<std::size_t>(i)];
    node.v = i;
    node.prev = i == 0 ? n - 1 : i - 1;
    node.next = i + 1 == n ? 0 : i + 1;
  }
}

KelTriangulateSearch::Result KelTriangulateSearch::Run(Simplicity simplicity)
{
  Push(0, static_cast<int>(m_pt.size()), simplicity, 0);
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

void KelTriangulateSearch::Push(int start, int size, Simplicity simplicity, int label)
{
  Level level;
  level.start = start;
  level.size = size;
  level.label = label;
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
    // Before any cut, so that every cut keeps the labels.
    if (!m_tree && m_pt.size() >= kIndexFrom)
      BuildIndex();
    if (level.simplicity == Simplicity::kUnknown && WholeClear(level))
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

void KelTriangulateSearch::BuildIndex()
{
  m_tree.emplace(m_pt);
  m_extras.push_back(-1);
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0; i < n && m_open == 0; ++i) {
    if (m_pt[i] == m_pt[i + 1 == n ? 0 : i + 1])
      m_open = 1;
  }
}

// Only the first piece of a search is ever tested whole, before any cut:
// then it is the outline itself, and the index serves the test too.
bool KelTriangulateSearch::WholeClear(const Level& level) const
{
  if (m_tree && m_cuts.empty() && level.size == static_cast<int>(m_pt.size()))
    return m_outline.CheckCross2(*m_tree);
  return Materialize(level.start, level.size).CheckCross2();
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
    Push(level.bStart, level.bSize, Simplicity::kKnown, level.bLabel);
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
      const int aLabel = m_node[static_cast<std::size_t>(aStart)].label;
      Push(aStart, aSize, Simplicity::kKnown, aLabel);  // level is not used after this
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
  wedge.c = vc;
  wedge.px = vp.m_x - vc.m_x;
  wedge.py = vp.m_y - vc.m_y;
  wedge.pLen = std::hypot(wedge.px, wedge.py);
  wedge.qxWorld = dx;
  wedge.qyWorld = dy;
  wedge.qLen = std::hypot(dx, dy);
  wedge.clear = wedge.qy < -kWedgeMargin * (std::fabs(wedge.qx) + std::fabs(wedge.qy));
  return true;
}

// Positions in a piece follow its vertices' indices round from its start's,
// so the next candidate is the first vertex past the last one's, in that
// order, whose node is in the piece.
bool KelTriangulateSearch::NextCandidate(Level& level) const
{
  if (!level.wedge.valid)
    return false;
  if (!Indexed(level))
    return NextCandidateOnRing(level);
  const int n = static_cast<int>(m_pt.size());
  const Node& c = m_node[static_cast<std::size_t>(level.c)];
  const int origin = m_node[static_cast<std::size_t>(level.start)].v;
  const auto ruledOut = [&](const KelBox& box) { return NoCandidateIn(level, box); };
  int found = -1;
  const auto accept = [&](int v) {
    const int node = NodeIn(v, level.label);
    if (node < 0 || node == c.prev || node == level.c || node == c.next || !InWedge(level.wedge, level.c, node))
      return false;
    found = node;
    return true;
  };
  const int from = origin + (level.j < 0 ? 0 : level.jKey + 1);
  int v = m_tree->FirstVertex(from, n, ruledOut, accept);
  if (v < 0 && from > n)
    v = m_tree->FirstVertex(from - n, origin, ruledOut, accept);
  else if (v < 0)
    v = m_tree->FirstVertex(0, origin, ruledOut, accept);
  if (v < 0) {
    level.j = -1;
    return false;
  }
  level.j = found;
  level.jKey = v >= origin ? v - origin : v + n - origin;
  return true;
}

// A small piece is walked along its ring: the index would visit the other
// pieces' vertices and edges between its own.
bool KelTriangulateSearch::Indexed(const Level& level) const
{
  return m_tree && static_cast<std::size_t>(level.size) >= kIndexFrom;
}

// The ring walked from the last candidate on.
bool KelTriangulateSearch::NextCandidateOnRing(Level& level) const
{
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

int KelTriangulateSearch::NodeIn(int v, int label) const
{
  for (int node = v; node >= 0; node = m_node[static_cast<std::size_t>(node)].copy) {
    if (m_node[static_cast<std::size_t>(node)].label == label)
      return node;
  }
  return -1;
}

// Clearly outside the wedge: right of the arriving edge's line and of the
// leaving edge's. On the leaving edge's line beyond q (and right of the
// arriving edge's, where the rest of the box lies clearly outside), a vertex
// j has q strictly inside the diagonal and within KelTol::Crossing of it:
// the edge c - q, in piece A, refuses it. The same holds on the arriving
// edge's line beyond p for the edge p - c, in piece B. Those refusals are
// only certain for a diagonal that is tested rather than built, hence only
// on a simple piece where every candidate closes at j.
bool KelTriangulateSearch::NoCandidateIn(const Level& level, const KelBox& box) const
{
  const Wedge& w = level.wedge;
  if (!m_tree->Finite() || !w.clear)
    return false;
  const KelBoxCorners k(box, w.c);
  const double side = kClearSide * k.reach;
  const bool rightOfP = k.All([&](double dx, double dy) { return w.cs * dy - w.sn * dx < -side; });
  const double qSize = std::fabs(w.qxWorld) + std::fabs(w.qyWorld);
  const bool rightOfQ = k.All([&](double dx, double dy) { return w.qxWorld * dy - w.qyWorld * dx < -side * qSize; });
  if (rightOfP && rightOfQ)
    return true;
  if (level.simplicity != Simplicity::kKnown || m_open > 0)
    return false;
  const auto ruling = [](double len) { return len >= kShortestRulingEdge && len <= kLongestRulingEdge; };
  const double onLine = kOnEdgeLine * KelTol::Crossing;
  // Along the edge from c and across it towards the wedge, both times the
  // edge's length; a vertex farther across on the other side is clearly
  // outside the wedge.
  const auto onLineBeyond = [&](double ex, double ey, double len, double wedgeSide) {
    return k.All([&](double dx, double dy) {
      const double along = ex * dx + ey * dy;
      const double across = wedgeSide * (ex * dy - ey * dx);
      return along >= len * (len + kBeyondEdge) && across * len <= onLine * along;
    });
  };
  if (rightOfP && ruling(w.qLen) && onLineBeyond(w.qxWorld, w.qyWorld, w.qLen, 1))
    return true;
  return rightOfQ && ruling(w.pLen) && onLineBeyond(w.px, w.py, w.pLen, -1);
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
// Then the piece's edges near the diagonal: those the tree holds, and the
// piece's extras.
bool KelTriangulateSearch::DiagonalClear(Level& level)
{
  if (level.blocker >= 0 && EdgeRefuses(level, level.blocker))
    return false;
  const KelCrossing::SegmentReach diagonal(Point(level.c), Point(level.j));
  const int k = Indexed(level) ? RefusingEdgeIndexed(level, diagonal) : RefusingEdgeOnRing(level, diagonal);
  if (k < 0)
    return true;
  level.blocker = k;
  return false;
}

int KelTriangulateSearch::RefusingEdgeOnRing(const Level& level, const KelCrossing::SegmentReach& diagonal) const
{
  int k = level.start;
  for (int pos = 0; pos < level.size; ++pos) {
    const Node& edge = m_node[static_cast<std::size_t>(k)];
    const CKelCoord2D& b1 = Point(k);
    const CKelCoord2D& b2 = Point(edge.next);
    const KelBox box{std::fmin(b1.m_x, b2.m_x), std::fmin(b1.m_y, b2.m_y), std::fmax(b1.m_x, b2.m_x),
                     std::fmax(b1.m_y, b2.m_y)};
    if (!diagonal.Apart(box) && EdgeRefuses(level, k))
      return k;
    k = edge.next;
  }
  return -1;
}

// The tree holds the edges from vertex to next vertex; an edge a cut made is
// among the piece's extras instead.
int KelTriangulateSearch::RefusingEdgeIndexed(const Level& level, const KelCrossing::SegmentReach& diagonal) const
{
  const bool finite = m_tree->Finite();
  const auto ruledOut = [&](const KelBox& box) { return finite && diagonal.Clear(box); };
  const int n = static_cast<int>(m_pt.size());
  const auto refuses = [&](int v) {
    const Node& node = m_node[static_cast<std::size_t>(v)];
    const int w = v + 1 == n ? 0 : v + 1;
    return node.label == level.label && !node.listed && m_node[static_cast<std::size_t>(node.next)].v == w &&
           !Clear(diagonal, v) && EdgeRefuses(level, v);
  };
  const int k = m_tree->FindEdge(ruledOut, refuses);
  if (k >= 0)
    return k;
  for (int x = m_extras[static_cast<std::size_t>(level.label)]; x >= 0;
       x = m_node[static_cast<std::size_t>(x)].extraNext) {
    if (!Clear(diagonal, x) && EdgeRefuses(level, x))
      return x;
  }
  return -1;
}

// Whether the edge from node k keeps clear of the diagonal by its ends.
bool KelTriangulateSearch::Clear(const KelCrossing::SegmentReach& diagonal, int k) const
{
  return m_tree->Finite() && diagonal.Clear(Point(k), Point(m_node[static_cast<std::size_t>(k)].next));
}

const CKelCoord2D& KelTriangulateSearch::Point(int node) const
{
  return m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(node)].v)];
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

CKelAreaCoord2D KelTriangulateSearch::MaterializeUntil(int from, int stop) const
{
  CKelAreaCoord2D piece;
  for (int k = from; k != stop; k = m_node[static_cast<std::size_t>(k)].next)
    piece.m_pt.push_back(m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(k)].v)]);
  return piece;
}

// The pieces built and tested whole: a piece of an outline that may cross
// itself, or a piece A that does not close at j.
bool KelTriangulateSearch::PiecesPass(const Level& level, bool closesAtJ) const
{
  const CKelCoord2D& pj = m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.j)].v)];
  CKelAreaCoord2D a = MaterializeUntil(level.c, level.j);
  if (closesAtJ)
    a.m_pt.push_back(pj);
  CKelAreaCoord2D b = MaterializeUntil(level.j, level.c);
  b.m_pt.push_back(m_pt[static_cast<std::size_t>(m_node[static_cast<std::size_t>(level.c)].v)]);
  const bool known = level.simplicity == Simplicity::kKnown;
  const auto passes = [known](const CKelAreaCoord2D& piece) {
    return known ? piece.ClosingEdgeClear() : piece.CheckCross2();
  };
  return passes(a) && passes(b);
}

// Piece B keeps node j and ends at a new node for c; piece A keeps node c and
// ends at a new node for j, or at the vertex before j when it does not close
// at j. The smaller piece takes a new label; the cut's new edges are listed
// as their pieces' extras.
void KelTriangulateSearch::CutAlong(Level& level, bool closesAtJ, int& aStart, int& aSize)
{
  const int c = level.c;
  const int j = level.j;
  const int beforeC = m_node[static_cast<std::size_t>(c)].prev;
  const int beforeJ = m_node[static_cast<std::size_t>(j)].prev;
  level.outMark = m_out.size();
  level.cutMark = m_cuts.size();
  level.nodeMark = m_node.size();
  Cut cut{c, j, beforeC, beforeJ};

  const int c2 = NewNode(m_node[static_cast<std::size_t>(c)].v, beforeC, j, level.label);
  m_node[static_cast<std::size_t>(beforeC)].next = c2;
  m_node[static_cast<std::size_t>(j)].prev = c2;
  int endA = beforeJ;
  if (closesAtJ) {
    endA = NewNode(m_node[static_cast<std::size_t>(j)].v, beforeJ, c, level.label);
    m_node[static_cast<std::size_t>(beforeJ)].next = endA;
  }
  m_node[static_cast<std::size_t>(endA)].next = c;
  m_node[static_cast<std::size_t>(c)].prev = endA;

  const int total = level.size + 1 + (closesAtJ ? 1 : 0);
  bool aSmaller = true;
  if (Indexed(level)) {
    int smallSize = 0;
    aSmaller = FirstRingSmaller(c, j, smallSize);
    aSize = aSmaller ? smallSize : total - smallSize;
  } else {
    aSize = (level.jPos - level.cPos + level.size) % level.size + (closesAtJ ? 1 : 0);
    aSmaller = 2 * aSize <= total;
  }
  aStart = c;
  level.bStart = j;
  level.bSize = total - aSize;

  if (m_tree) {
    cut.relabelled = aSmaller ? c : j;
    cut.parentLabel = level.label;
    cut.newLabel = static_cast<int>(m_extras.size());
    m_extras.push_back(-1);
    Relabel(cut.relabelled, cut.newLabel);
    List(c2);
    cut.extraB = c2;
    if (!m_node[static_cast<std::size_t>(endA)].listed) {
      List(endA);
      cut.extraA = endA;
    }
  }
  level.bLabel = m_node[static_cast<std::size_t>(j)].label;
  cut.open = !closesAtJ;
  m_open += cut.open ? 1 : 0;
  m_cuts.push_back(cut);
}

// Takes back every cut made since this level's own, newest first, then its
// own, and the triangles of the failed attempt.
void KelTriangulateSearch::Undo(const Level& level)
{
  while (m_cuts.size() > level.cutMark) {
    const Cut& cut = m_cuts.back();
    TakeBack(cut);
    m_node[static_cast<std::size_t>(cut.beforeC)].next = cut.c;
    m_node[static_cast<std::size_t>(cut.c)].prev = cut.beforeC;
    m_node[static_cast<std::size_t>(cut.beforeJ)].next = cut.j;
    m_node[static_cast<std::size_t>(cut.j)].prev = cut.beforeJ;
    m_cuts.pop_back();
  }
  // Copies go newest first, each the first of its vertex's chain.
  for (std::size_t x = m_node.size(); x > level.nodeMark; --x) {
    const Node& copy = m_node[x - 1];
    m_node[static_cast<std::size_t>(copy.v)].copy = copy.copy;
  }
  m_node.resize(level.nodeMark);
  m_out.resize(level.outMark);
}

// --- Labels and extras -------------------------------------------------------------

// A copy of vertex v's node, first in v's chain of copies.
int KelTriangulateSearch::NewNode(int v, int prev, int next, int label)
{
  const int node = static_cast<int>(m_node.size());
  Node copy;
  copy.v = v;
  copy.prev = prev;
  copy.next = next;
  copy.label = label;
  copy.copy = m_node[static_cast<std::size_t>(v)].copy;
  m_node.push_back(copy);
  m_node[static_cast<std::size_t>(v)].copy = node;
  return node;
}

// Both rings are walked a step at a time, so the walk costs twice the
// smaller one.
bool KelTriangulateSearch::FirstRingSmaller(int a, int b, int& size) const
{
  int x = m_node[static_cast<std::size_t>(a)].next;
  int y = m_node[static_cast<std::size_t>(b)].next;
  for (size = 1;; ++size) {
    if (x == a)
      return true;
    if (y == b)
      return false;
    x = m_node[static_cast<std::size_t>(x)].next;
    y = m_node[static_cast<std::size_t>(y)].next;
  }
}

void KelTriangulateSearch::Relabel(int start, int to)
{
  int node = start;
  do {
    Node& n = m_node[static_cast<std::size_t>(node)];
    if (n.listed) {
      Unlist(node);
      n.label = to;
      List(node);
    } else {
      n.label = to;
    }
    node = n.next;
  } while (node != start);
}

void KelTriangulateSearch::List(int node)
{
  Node& n = m_node[static_cast<std::size_t>(node)];
  int& head = m_extras[static_cast<std::size_t>(n.label)];
  n.listed = true;
  n.extraPrev = -1;
  n.extraNext = head;
  if (head >= 0)
    m_node[static_cast<std::size_t>(head)].extraPrev = node;
  head = node;
}

void KelTriangulateSearch::Unlist(int node)
{
  Node& n = m_node[static_cast<std::size_t>(node)];
  if (n.extraPrev >= 0)
    m_node[static_cast<std::size_t>(n.extraPrev)].extraNext = n.extraNext;
  else
    m_extras[static_cast<std::size_t>(n.label)] = n.extraNext;
  if (n.extraNext >= 0)
    m_node[static_cast<std::size_t>(n.extraNext)].extraPrev = n.extraPrev;
  n.listed = false;
  n.extraPrev = -1;
  n.extraNext = -1;
}

// Labels and lists as they were before the cut; its rings still stand.
void KelTriangulateSearch::TakeBack(const Cut& cut)
{
  m_open -= cut.open ? 1 : 0;
  if (!m_tree)
    return;
  if (cut.extraA >= 0)
    Unlist(cut.extraA);
  Unlist(cut.extraB);
  Relabel(cut.relabelled, cut.parentLabel);
  m_extras.pop_back();
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
