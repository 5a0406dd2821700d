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
// took seconds.

#include <cmath>

#include "CKelAreaCoord2D.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

struct CKelAreaCoord2D::TriangulateBudget {
  int backtracksLeft = 0;
  int depth = 0;
};

namespace {

// Whether segments p1-p2 and q1-q2 may cross: their boxes, grown by
// KelTol::CrossingBox, overlap. A cheap filter in front of IsLineCrossed2.
bool BoxesMeet(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1, const CKelCoord2D& q2)
{
  const double m = KelTol::CrossingBox;
  return std::fmax(q1.m_x, q2.m_x) >= std::fmin(p1.m_x, p2.m_x) - m &&
         std::fmin(q1.m_x, q2.m_x) <= std::fmax(p1.m_x, p2.m_x) + m &&
         std::fmax(q1.m_y, q2.m_y) >= std::fmin(p1.m_y, p2.m_y) - m &&
         std::fmin(q1.m_y, q2.m_y) <= std::fmax(p1.m_y, p2.m_y) + m;
}

// length_2point(a, b) <= KelTol::Crossing, without the root for points that
// differ by more than that in either coordinate.
bool Coincide(const CKelCoord2D& a, const CKelCoord2D& b)
{
  if (std::fabs(a.m_x - b.m_x) > KelTol::Crossing || std::fabs(a.m_y - b.m_y) > KelTol::Crossing)
    return false;
  return length_2point(a, b) <= KelTol::Crossing;
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
    if (Coincide(s, b1))
      return false;
    if (BoxesMeet(s, e, b1, b2) && IsLineCrossed2(s, e, b1, b2))
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
    if (BoxesMeet(a1, a2, s, e) && IsLineCrossed2(a1, a2, s, e))
      return false;
  }
  return true;
}

bool CKelAreaCoord2D::ClosingEdgeClear(std::size_t from, std::size_t to) const
{
  const std::size_t n = m_pt.size();
  const CKelCoord2D& s = m_pt[to];
  const CKelCoord2D& e = m_pt[from];
  for (std::size_t k = from; k != to; k = k + 1 == n ? 0 : k + 1) {
    const CKelCoord2D& b1 = m_pt[k];
    const CKelCoord2D& b2 = m_pt[k + 1 == n ? 0 : k + 1];
    if (Coincide(s, b1))
      return false;
    if (BoxesMeet(s, e, b1, b2) && (IsLineCrossed2(s, e, b1, b2) || IsLineCrossed2(b1, b2, s, e)))
      return false;
  }
  return true;
}

bool CKelAreaCoord2D::CheckCross2() const
{
  const int n = GetSize();
  for (int i = 0; i < n; ++i) {
    const int start = i == 0 ? n - 1 : i - 1;
    if (!CheckCross2(m_pt[static_cast<std::size_t>(start)], m_pt[static_cast<std::size_t>(i)], start))
      return false;
  }
  return true;
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

KelTriangulateResult CKelAreaCoord2D::TriangulateInto(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                                      Simplicity simplicity) const
{
  const DepthGuard guard(budget.depth);
  if (budget.depth > kTriangulateMaxDepth)
    return KelTriangulateResult::kGaveUp;
  const std::vector<int> concave = IsOukata();
  if (!concave.empty()) {
    // One whole test here lets every diagonal tried below test one edge.
    if (simplicity == Simplicity::kUnknown && CheckCross2())
      simplicity = Simplicity::kKnown;
    return TriangulateConcave(concave, out, budget, simplicity);
  }
  if (m_pt.size() < 3)
    return KelTriangulateResult::kNotCut;
  if (m_pt.size() == 3) {
    out.push_back(*this);
    return KelTriangulateResult::kDone;
  }
  return TriangulateConvex(out, budget, simplicity);
}

KelTriangulateResult CKelAreaCoord2D::TriangulateConcave(const std::vector<int>& concave, CKelAreaCoord2DArray& out,
                                                         TriangulateBudget& budget, Simplicity simplicity) const
{
  for (int c : concave) {
    for (int j : CutBlockSearchNearistPoint(c)) {
      const KelTriangulateResult r = TryDiagonal(c, j, out, budget, simplicity);
      if (r != KelTriangulateResult::kNotCut)
        return r;
    }
  }
  return KelTriangulateResult::kNotCut;
}

// The vertices from index from, walking forward, up to and including index to.
// The piece keeps this polygon's area and box members.
CKelAreaCoord2D CKelAreaCoord2D::Piece(std::size_t from, std::size_t to) const
{
  CKelAreaCoord2D piece;
  piece.m_area = m_area;
  piece.m_xmin = m_xmin;
  piece.m_xmax = m_xmax;
  piece.m_ymin = m_ymin;
  piece.m_ymax = m_ymax;
  const std::size_t n = m_pt.size();
  piece.m_pt.reserve(to >= from ? to - from + 2 : n - from + to + 2);
  for (std::size_t k = from;; k = k + 1 == n ? 0 : k + 1) {
    piece.m_pt.push_back(m_pt[k]);
    if (k == to)
      break;
  }
  return piece;
}

KelTriangulateResult CKelAreaCoord2D::TryDiagonal(int c, int j, CKelAreaCoord2DArray& out,
                                                  TriangulateBudget& budget, Simplicity simplicity) const
{
  const std::size_t n = m_pt.size();
  const auto uc = static_cast<std::size_t>(c);
  const auto uj = static_cast<std::size_t>(j);
  const std::size_t before = uj == 0 ? n - 1 : uj - 1;
  // Piece A runs from c up to the vertex before j, then closes at j unless j
  // coincides with one of its ends.
  const bool closesAtJ = !(m_pt[uj] == m_pt[before]) && !(m_pt[uj] == m_pt[uc]);
  // The common case is tested on this outline's own vertices first, so a
  // refused diagonal copies nothing.
  const bool tested = simplicity == Simplicity::kKnown && closesAtJ;
  if (tested && (!ClosingEdgeClear(uc, uj) || !ClosingEdgeClear(uj, uc)))
    return KelTriangulateResult::kNotCut;
  CKelAreaCoord2D a = Piece(uc, before);
  if (closesAtJ)
    a.m_pt.push_back(m_pt[uj]);
  const CKelAreaCoord2D b = Piece(uj, uc);
  const auto passes = [simplicity](const CKelAreaCoord2D& piece) {
    return simplicity == Simplicity::kKnown ? piece.ClosingEdgeClear() : piece.CheckCross2();
  };
  if (!tested && (!passes(a) || !passes(b)))
    return KelTriangulateResult::kNotCut;

  CKelAreaCoord2DArray scratch;
  const CKelAreaCoord2D* const pieces[] = {&a, &b};
  for (const CKelAreaCoord2D* piece : pieces) {
    const KelTriangulateResult r = piece->TriangulateInto(scratch, budget, Simplicity::kKnown);
    if (r == KelTriangulateResult::kGaveUp)
      return r;
    if (r == KelTriangulateResult::kNotCut)
      return --budget.backtracksLeft < 0 ? KelTriangulateResult::kGaveUp : KelTriangulateResult::kNotCut;
  }
  out.insert(out.end(), scratch.begin(), scratch.end());
  return KelTriangulateResult::kDone;
}

// The convex path. Its second piece (k .. n-1, 0) is cut in the same loop
// rather than by recursion while it stays convex, so a convex outline of many
// vertices does not nest once per vertex.
// Its pieces are not tested as they are cut, so they start unknown.
KelTriangulateResult CKelAreaCoord2D::TriangulateConvex(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                                        Simplicity /*simplicity*/) const
{
  CKelAreaCoord2D current(*this);
  for (;;) {
    const int k = FirstEdgeApex(current.m_pt);
    if (k < 0)
      return KelTriangulateResult::kNotCut;
    const auto uk = static_cast<std::size_t>(k);
    const std::vector<CKelCoord2D>& v = current.m_pt;

    CKelAreaCoord2D triangle;
    triangle.m_pt = {v[0], v[1], v[uk]};
    out.push_back(triangle);

    CKelAreaCoord2D head;
    head.m_pt.assign(v.begin() + 1, v.begin() + k + 1);
    if (head.m_pt.size() == 3)
      out.push_back(head);
    else if (head.m_pt.size() >= 4 && head.TriangulateInto(out, budget, Simplicity::kUnknown) != KelTriangulateResult::kDone)
      return KelTriangulateResult::kNotCut;

    CKelAreaCoord2D tail;
    tail.m_pt.assign(v.begin() + k, v.end());
    tail.m_pt.push_back(v[0]);
    if (tail.m_pt.size() == 3)
      out.push_back(tail);
    if (tail.m_pt.size() <= 3)
      return KelTriangulateResult::kDone;
    if (!tail.IsOukata().empty())
      return tail.TriangulateInto(out, budget, Simplicity::kUnknown);
    current = std::move(tail);
  }
}
