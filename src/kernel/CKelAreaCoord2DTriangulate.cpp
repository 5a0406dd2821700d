// Triangulation of CKelAreaCoord2D.
//
// Vocabulary: a concave vertex (Oukata) is one where a counter-clockwise
// outline turns right. A diagonal runs from a concave vertex c to a candidate
// end j inside c's interior wedge; it splits the outline into piece A
// (c .. j) and piece B (j .. c), both of which must pass the simplicity test
// before they are cut in turn. An outline without concave vertices takes the
// convex path, which peels the triangle (0, 1, k) off its first edge.
//
// Bound: a piece that passes the simplicity test but then cannot be cut sends
// the search back to the next candidate. On pathological outlines those
// backtracks multiply at every level, so the whole call shares one budget of
// them; when it runs out the search stops and reports kGaveUp.
//
// Cost: the simplicity test of a whole outline compares every edge with every
// other. A piece cut along a diagonal keeps all its parent's edges but one, so
// once the parent is known to pass, the piece's test reduces to its closing
// edge against the rest: the same answer, one edge's worth of work. Without
// that, each tried diagonal cost a full pairwise test and a 1,000-vertex star
// took seconds. The search itself (KelTriangulateSearch) cuts pieces in place
// on one ring of vertices: copying every piece at every level held memory
// that grew with the square of the outline and nested one call per spike of
// a star, so large outlines ran into the bound instead of being cut.

#include <algorithm>
#include <cmath>
#include <span>

#include "CKelAreaCoord2D.h"
#include "KelCrossing.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "KelTriangulateSearch.h"
#include "KelVertexTree.h"

namespace {

// Whether b1 and b2 lie on one side of the line of a, both farther from it
// than kClearOfLine tolerances: the case IsLineCrossed2 refuses by the ends'
// offsets, told by cross products without the square root of a's length.
// The bound on their round-off keeps doubtful cases for the full test.
constexpr double kClearOfLine = 4;
using KelCrossing::kCrossRoundOff;

bool BothEndsClearOfLine(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1, const CKelCoord2D& b2)
{
  const double dx = a2.m_x - a1.m_x;
  const double dy = a2.m_y - a1.m_y;
  const double reach = std::fabs(dx) + std::fabs(dy);  // at least a's length
  const auto side = [&](const CKelCoord2D& b) {
    const double ex = b.m_x - a1.m_x;
    const double ey = b.m_y - a1.m_y;
    const double cross = dx * ey - dy * ex;
    const double need = reach * (kClearOfLine * KelTol::Crossing + kCrossRoundOff * (std::fabs(ex) + std::fabs(ey)));
    return cross > need ? 1 : cross < -need ? -1 : 0;
  };
  const int s1 = side(b1);
  return s1 != 0 && s1 == side(b2);
}

// Counts the nesting of the search for as long as one level runs.
struct DepthGuard {
  explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
  ~DepthGuard() { --m_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  int& m_depth;
};

}  // namespace

// --- Concave vertices and candidates ------------------------------------------

std::vector<int> CKelAreaCoord2D::IsOukata() const
{
  std::vector<int> concave;
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& prev = m_pt[i == 0 ? n - 1 : i - 1];
    const CKelCoord2D& next = m_pt[i + 1 == n ? 0 : i + 1];
    const CKelCoord2D& v = m_pt[i];
    const double x1 = v.m_x - prev.m_x, y1 = v.m_y - prev.m_y;
    const double x2 = next.m_x - v.m_x, y2 = next.m_y - v.m_y;
    if (x1 * y2 - y1 * x2 < 0)
      concave.push_back(static_cast<int>(i));
  }
  return concave;
}

// Angles are measured in the frame of the edge arriving at c, so the interior
// wedge of a concave vertex is every direction from the leaving edge
// counter-clockwise round to the arriving edge reversed.
std::vector<int> CKelAreaCoord2D::CutBlockSearchNearistPoint(int c) const
{
  std::vector<int> candidates;
  const int n = GetSize();
  if (c < 0 || c >= n || n < 4)
    return candidates;
  const int p = c == 0 ? n - 1 : c - 1;
  const int q = c + 1 == n ? 0 : c + 1;
  const CKelCoord2D& vc = m_pt[static_cast<std::size_t>(c)];
  double cs = 1, sn = 0;
  // An arriving edge of zero length gives no frame, hence no wedge.
  if (!CalcCosSin(m_pt[static_cast<std::size_t>(p)], vc, &cs, &sn, nullptr))
    return candidates;
  const auto angleOf = [&](const CKelCoord2D& v) {
    const double dx = v.m_x - vc.m_x;
    const double dy = v.m_y - vc.m_y;
    return std::atan2(cs * dy - sn * dx, dx * cs + dy * sn);
  };
  const double a0 = angleOf(m_pt[static_cast<std::size_t>(q)]);
  for (int k = 0; k < n; ++k) {
    if (k == p || k == c || k == q)
      continue;
    if (angleOf(m_pt[static_cast<std::size_t>(k)]) >= a0)
      candidates.push_back(k);
  }
  return candidates;
}

// --- Simplicity ----------------------------------------------------------------

bool CKelAreaCoord2D::IsLineCrossed2(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                     const CKelCoord2D& b2, CKelCoord2D* /*reserved*/)
{
  const double tol = KelTol::Crossing;
  if (BothEndsClearOfLine(a1, a2, b1, b2))
    return false;
  double ux = 1, uy = 0, len = 0;
  // A segment a of zero length has no inside to cross.
  if (!CalcCosSin(a1, a2, &ux, &uy, &len))
    return false;
  const double along1 = ux * (b1.m_x - a1.m_x) + uy * (b1.m_y - a1.m_y);
  const double across1 = ux * (b1.m_y - a1.m_y) - uy * (b1.m_x - a1.m_x);
  const double along2 = ux * (b2.m_x - a1.m_x) + uy * (b2.m_y - a1.m_y);
  const double across2 = ux * (b2.m_y - a1.m_y) - uy * (b2.m_x - a1.m_x);

  if (std::fabs(across1) <= tol && std::fabs(across2) <= tol) {
    // b lies along a: it crosses when one of its ends is strictly inside a.
    const auto inside = [&](double along) { return along > tol && along < len - tol; };
    return inside(along1) || inside(along2);
  }
  if (!(std::fabs(across1 - across2) > tol))
    return false;
  if ((across1 > tol && across2 > tol) || (across1 < -tol && across2 < -tol))
    return false;
  const double t = along1 - across1 * (along2 - along1) / (across2 - across1);
  if (!(t > tol && t < len - tol))
    return false;
  const double px = a1.m_x + t * ux;
  const double py = a1.m_y + t * uy;
  const double lenB = length_2point(b1, b2);
  const double s = ((px - b1.m_x) * (b2.m_x - b1.m_x) + (py - b1.m_y) * (b2.m_y - b1.m_y)) / lenB;
  return s > tol && s < lenB - tol;
}

bool CKelAreaCoord2D::CheckCross2(const CKelCoord2D& s, const CKelCoord2D& e, int skip) const
{
  const int n = GetSize();
  for (int k = 0; k < n; ++k) {
    const int start = k == 0 ? n - 1 : k - 1;
    if (start == skip)
      continue;
    const CKelCoord2D& b1 = m_pt[static_cast<std::size_t>(start)];
    const CKelCoord2D& b2 = m_pt[static_cast<std::size_t>(k)];
    if (KelCrossing::Coincide(s, b1))
      return false;
    if (KelCrossing::BoxesMeet(s, e, b1, b2) && IsLineCrossed2(s, e, b1, b2))
      return false;
  }
  return true;
}

// Every pair of old edges, and every pair of vertices, was tested in the
// parent with the same segments in the same direction; what CheckCross2 adds
// for the piece is each pair that involves the closing edge, in both roles.
bool CKelAreaCoord2D::ClosingEdgeClear() const
{
  const int n = GetSize();
  if (n < 2)
    return CheckCross2();
  const CKelCoord2D& s = m_pt[static_cast<std::size_t>(n - 1)];
  const CKelCoord2D& e = m_pt[0];
  if (!CheckCross2(s, e, n - 1))
    return false;
  for (int i = 1; i < n; ++i) {
    const CKelCoord2D& a1 = m_pt[static_cast<std::size_t>(i - 1)];
    const CKelCoord2D& a2 = m_pt[static_cast<std::size_t>(i)];
    if (KelCrossing::BoxesMeet(a1, a2, s, e) && IsLineCrossed2(a1, a2, s, e))
      return false;
  }
  return true;
}

bool CKelAreaCoord2D::CheckCross2() const
{
  if (Finite() && GetSize() >= kEdgeTreeFrom)
    return EdgePairsClear(KelVertexTree(m_pt));
  if (Finite() && GetSize() > kSweepFrom)
    return EdgePairsClear();
  const int n = GetSize();
  for (int i = 0; i < n; ++i) {
    const int start = i == 0 ? n - 1 : i - 1;
    if (!CheckCross2(m_pt[static_cast<std::size_t>(start)], m_pt[static_cast<std::size_t>(i)], start))
      return false;
  }
  return true;
}

bool CKelAreaCoord2D::CheckCross2(const KelVertexTree& tree) const
{
  return Finite() && GetSize() > kSweepFrom ? EdgePairsClear(tree) : CheckCross2();
}

// Coordinates that are not finite take every pair, with nothing skipped.
bool CKelAreaCoord2D::Finite() const
{
  return std::all_of(m_pt.begin(), m_pt.end(),
                     [](const CKelCoord2D& p) { return std::isfinite(p.m_x) && std::isfinite(p.m_y); });
}

// The same pairs as the edge-by-edge loop of CheckCross2, each once, reached
// by a sweep over the edges sorted by their left ends: a pair whose x ranges
// lie farther apart than the box filter's margin passes that filter in
// neither role, and its start vertices cannot coincide. The answer does not
// depend on the order of the pairs.
bool CKelAreaCoord2D::EdgePairsClear() const
{
  const std::size_t n = m_pt.size();
  const auto next = [n](std::size_t k) { return k + 1 == n ? 0 : k + 1; };
  std::vector<std::size_t> byLeft(n);
  std::vector<double> left(n), right(n);
  for (std::size_t k = 0; k < n; ++k) {
    byLeft[k] = k;
    left[k] = std::fmin(m_pt[k].m_x, m_pt[next(k)].m_x);
    right[k] = std::fmax(m_pt[k].m_x, m_pt[next(k)].m_x);
  }
  std::sort(byLeft.begin(), byLeft.end(), [&left](std::size_t l, std::size_t r) { return left[l] < left[r]; });
  const double reach = 2 * KelTol::CrossingBox;
  for (std::size_t u = 0; u < n; ++u) {
    const std::size_t a = byLeft[u];
    for (std::size_t w = u + 1; w < n && left[byLeft[w]] <= right[a] + reach; ++w) {
      const std::size_t b = byLeft[w];
      if (EdgesMeet(m_pt[a], m_pt[next(a)], m_pt[b], m_pt[next(b)]))
        return false;
    }
  }
  return true;
}

// The same pairs again, reached through a box tree over the edges: a pair
// that SegmentReach keeps apart can neither cross in either role nor have
// coinciding start vertices.
bool CKelAreaCoord2D::EdgePairsClear(const KelVertexTree& tree) const
{
  const std::size_t n = m_pt.size();
  const auto next = [n](std::size_t k) { return k + 1 == n ? 0 : k + 1; };
  for (std::size_t a = 0; a < n; ++a) {
    const CKelCoord2D& a1 = m_pt[a];
    const CKelCoord2D& a2 = m_pt[next(a)];
    const KelCrossing::SegmentReach reach(a1, a2);
    const auto clear = [&reach](const KelBox& box) { return reach.Clear(box); };
    const auto meets = [&](int other) {
      const auto b = static_cast<std::size_t>(other);
      return !reach.Clear(m_pt[b], m_pt[next(b)]) && EdgesMeet(a1, a2, m_pt[b], m_pt[next(b)]);
    };
    if (tree.FindEdge(static_cast<int>(a) + 1, static_cast<int>(n), clear, meets) >= 0)
      return false;
  }
  return true;
}

// The pair's part of CheckCross2, in both roles: start vertices that
// coincide, or one edge crossing the other.
bool CKelAreaCoord2D::EdgesMeet(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                const CKelCoord2D& b2)
{
  return KelCrossing::Coincide(a1, b1) || KelCrossing::Coincide(b1, a1) ||
         (KelCrossing::BoxesMeet(a1, a2, b1, b2) && IsLineCrossed2(a1, a2, b1, b2)) ||
         (KelCrossing::BoxesMeet(b1, b2, a1, a2) && IsLineCrossed2(b1, b2, a1, a2));
}

// --- Entry points ----------------------------------------------------------------

bool CKelAreaCoord2D::Triangulate(CKelAreaCoord2DArray& out, KelTriangulateResult* result) const
{
  const KelTriangulateResult r = CutWholly(out, &CKelAreaCoord2D::TriangulateInto);
  if (result != nullptr)
    *result = r;
  return r == KelTriangulateResult::kDone;
}

bool CKelAreaCoord2D::TriangulateOld(CKelAreaCoord2DArray& out) const
{
  return CutWholly(out, &CKelAreaCoord2D::TriangulateConvex) == KelTriangulateResult::kDone;
}

// Runs method under a fresh backtracking budget. A failed cut leaves nothing
// behind: triangles of a part of the outline would pass for the whole.
KelTriangulateResult CKelAreaCoord2D::CutWholly(CKelAreaCoord2DArray& out, CutMethod method) const
{
  TriangulateBudget budget;
  budget.backtracksLeft = kTriangulateBacktracksPerVertex * GetSize() + kTriangulateBacktracksFloor;
  const std::size_t before = out.size();
  const KelTriangulateResult r = (this->*method)(out, budget, Simplicity::kUnknown);
  if (r != KelTriangulateResult::kDone)
    out.resize(before);
  return r;
}

// --- The search -------------------------------------------------------------------

// The search proper runs in KelTriangulateSearch; nesting here comes only
// from the convex path handing a concave piece back.
KelTriangulateResult CKelAreaCoord2D::TriangulateInto(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                                      Simplicity simplicity) const
{
  const DepthGuard guard(budget.depth);
  if (budget.depth > kTriangulateMaxDepth)
    return KelTriangulateResult::kGaveUp;
  KelTriangulateSearch search(*this, out, budget);
  return search.Run(simplicity);
}

// The convex path. Its second piece (k .. n-1, 0) is cut in the same loop
// rather than by recursion while it stays convex, so a convex outline of many
// vertices does not nest once per vertex. The piece in hand is the tail of
// one growing list (vertex 0 moves to its end at each cut), and its count of
// concave vertices is carried from cut to cut: only the two vertices whose
// neighbours change are measured again.
// Its pieces are not tested as they are cut, so they start unknown.
KelTriangulateResult CKelAreaCoord2D::TriangulateConvex(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                                        Simplicity /*simplicity*/) const
{
  std::vector<CKelCoord2D> ring(m_pt);
  std::size_t first = 0;
  const auto turnsRight = [](const CKelCoord2D& prev, const CKelCoord2D& v, const CKelCoord2D& next) {
    const double x1 = v.m_x - prev.m_x, y1 = v.m_y - prev.m_y;
    const double x2 = next.m_x - v.m_x, y2 = next.m_y - v.m_y;
    return x1 * y2 - y1 * x2 < 0 ? 1 : 0;
  };
  int concave = static_cast<int>(IsOukata().size());
  for (;;) {
    const std::span<const CKelCoord2D> v(ring.data() + first, ring.size() - first);
    const std::size_t n = v.size();
    const int k = FirstEdgeApex(v);
    if (k < 0)
      return KelTriangulateResult::kNotCut;
    const auto uk = static_cast<std::size_t>(k);

    CKelAreaCoord2D triangle;
    triangle.m_pt = {v[0], v[1], v[uk]};
    out.push_back(triangle);

    CKelAreaCoord2D head;
    head.m_pt.assign(v.begin() + 1, v.begin() + k + 1);
    if (head.m_pt.size() == 3)
      out.push_back(head);
    else if (head.m_pt.size() >= 4 && head.TriangulateInto(out, budget, Simplicity::kUnknown) != KelTriangulateResult::kDone)
      return KelTriangulateResult::kNotCut;

    const std::size_t tailSize = n - uk + 1;
    if (tailSize <= 3) {
      if (tailSize == 3) {
        CKelAreaCoord2D tail;
        tail.m_pt = {v[uk], v[n - 1], v[0]};
        out.push_back(tail);
      }
      return KelTriangulateResult::kDone;
    }
    // The tail drops vertices 1 .. k-1; vertices k and 0 get new neighbours.
    for (std::size_t i = 0; i <= uk; ++i)
      concave -= turnsRight(v[i == 0 ? n - 1 : i - 1], v[i], v[i + 1 == n ? 0 : i + 1]);
    concave += turnsRight(v[0], v[uk], v[uk + 1]) + turnsRight(v[n - 1], v[0], v[uk]);
    if (concave > 0) {
      CKelAreaCoord2D tail;
      tail.m_pt.assign(v.begin() + k, v.end());
      tail.m_pt.push_back(v[0]);
      return tail.TriangulateInto(out, budget, Simplicity::kUnknown);
    }
    const CKelCoord2D apex = v[0];
    ring.push_back(apex);
    first += uk;
  }
}
