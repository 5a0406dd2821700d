#pragma once
// The triangulation's diagonal search as it stood before it moved onto one
// shared ring of vertices: a copy of every piece per level of recursion,
// the closing-edge test of each diagonal over the parent's edges, and the
// nesting bound. Kept so that tests compare the two triangle by triangle and
// benchmarks time them side by side.

#include <cmath>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelCrossing.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace former {

using Result = KelTriangulateResult;

struct Budget {
  int backtracksLeft = 0;
  int depth = 0;
};

using KelCrossing::BoxesMeet;
using KelCrossing::Coincide;

// CheckCross2(s, e, skip) of the polygon, edge by edge.
inline bool EdgeClear(const CKelAreaCoord2D& poly, const CKelCoord2D& s, const CKelCoord2D& e, int skip)
{
  const int n = poly.GetSize();
  for (int k = 0; k < n; ++k) {
    const int start = k == 0 ? n - 1 : k - 1;
    if (start == skip)
      continue;
    const CKelCoord2D& b1 = poly.m_pt[static_cast<std::size_t>(start)];
    const CKelCoord2D& b2 = poly.m_pt[static_cast<std::size_t>(k)];
    if (Coincide(s, b1))
      return false;
    if (BoxesMeet(s, e, b1, b2) && CKelAreaCoord2D::IsLineCrossed2(s, e, b1, b2))
      return false;
  }
  return true;
}

// CheckCross2() edge by edge, every pair.
inline bool WholeClear(const CKelAreaCoord2D& poly)
{
  const int n = poly.GetSize();
  for (int i = 0; i < n; ++i) {
    const int start = i == 0 ? n - 1 : i - 1;
    if (!EdgeClear(poly, poly.m_pt[static_cast<std::size_t>(start)], poly.m_pt[static_cast<std::size_t>(i)], start))
      return false;
  }
  return true;
}

inline bool ClosingEdgeClear(const CKelAreaCoord2D& poly)
{
  const int n = poly.GetSize();
  if (n < 2)
    return WholeClear(poly);
  const CKelCoord2D& s = poly.m_pt[static_cast<std::size_t>(n - 1)];
  const CKelCoord2D& e = poly.m_pt[0];
  if (!EdgeClear(poly, s, e, n - 1))
    return false;
  for (int i = 1; i < n; ++i) {
    const CKelCoord2D& a1 = poly.m_pt[static_cast<std::size_t>(i - 1)];
    const CKelCoord2D& a2 = poly.m_pt[static_cast<std::size_t>(i)];
    if (BoxesMeet(a1, a2, s, e) && CKelAreaCoord2D::IsLineCrossed2(a1, a2, s, e))
      return false;
  }
  return true;
}

inline bool ClosingEdgeClear(const CKelAreaCoord2D& poly, std::size_t from, std::size_t to)
{
  const std::size_t n = poly.m_pt.size();
  const CKelCoord2D& s = poly.m_pt[to];
  const CKelCoord2D& e = poly.m_pt[from];
  for (std::size_t k = from; k != to; k = k + 1 == n ? 0 : k + 1) {
    const CKelCoord2D& b1 = poly.m_pt[k];
    const CKelCoord2D& b2 = poly.m_pt[k + 1 == n ? 0 : k + 1];
    if (Coincide(s, b1))
      return false;
    if (BoxesMeet(s, e, b1, b2) &&
        (CKelAreaCoord2D::IsLineCrossed2(s, e, b1, b2) || CKelAreaCoord2D::IsLineCrossed2(b1, b2, s, e)))
      return false;
  }
  return true;
}

inline CKelAreaCoord2D Piece(const CKelAreaCoord2D& poly, std::size_t from, std::size_t to)
{
  CKelAreaCoord2D piece;
  piece.m_area = poly.m_area;
  piece.m_xmin = poly.m_xmin;
  piece.m_xmax = poly.m_xmax;
  piece.m_ymin = poly.m_ymin;
  piece.m_ymax = poly.m_ymax;
  const std::size_t n = poly.m_pt.size();
  for (std::size_t k = from;; k = k + 1 == n ? 0 : k + 1) {
    piece.m_pt.push_back(poly.m_pt[k]);
    if (k == to)
      break;
  }
  return piece;
}

Result Into(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, Budget& budget, bool known);

inline Result Diagonal(const CKelAreaCoord2D& poly, int c, int j, CKelAreaCoord2DArray& out, Budget& budget,
                       bool known)
{
  const std::size_t n = poly.m_pt.size();
  const auto uc = static_cast<std::size_t>(c);
  const auto uj = static_cast<std::size_t>(j);
  const std::size_t before = uj == 0 ? n - 1 : uj - 1;
  const bool closesAtJ = !(poly.m_pt[uj] == poly.m_pt[before]) && !(poly.m_pt[uj] == poly.m_pt[uc]);
  const bool tested = known && closesAtJ;
  if (tested && (!ClosingEdgeClear(poly, uc, uj) || !ClosingEdgeClear(poly, uj, uc)))
    return Result::kNotCut;
  CKelAreaCoord2D a = Piece(poly, uc, before);
  if (closesAtJ)
    a.m_pt.push_back(poly.m_pt[uj]);
  const CKelAreaCoord2D b = Piece(poly, uj, uc);
  const auto passes = [known](const CKelAreaCoord2D& piece) {
    return known ? ClosingEdgeClear(piece) : WholeClear(piece);
  };
  if (!tested && (!passes(a) || !passes(b)))
    return Result::kNotCut;
  CKelAreaCoord2DArray scratch;
  const CKelAreaCoord2D* const pieces[] = {&a, &b};
  for (const CKelAreaCoord2D* piece : pieces) {
    const Result r = Into(*piece, scratch, budget, true);
    if (r == Result::kGaveUp)
      return r;
    if (r == Result::kNotCut)
      return --budget.backtracksLeft < 0 ? Result::kGaveUp : Result::kNotCut;
  }
  out.insert(out.end(), scratch.begin(), scratch.end());
  return Result::kDone;
}

inline Result Convex(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, Budget& budget)
{
  CKelAreaCoord2D current(poly);
  for (;;) {
    const int k = CKelAreaCoord2D::FirstEdgeApex(current.m_pt);
    if (k < 0)
      return Result::kNotCut;
    const std::vector<CKelCoord2D>& v = current.m_pt;
    CKelAreaCoord2D triangle;
    triangle.m_pt = {v[0], v[1], v[static_cast<std::size_t>(k)]};
    out.push_back(triangle);
    CKelAreaCoord2D head;
    head.m_pt.assign(v.begin() + 1, v.begin() + k + 1);
    if (head.m_pt.size() == 3)
      out.push_back(head);
    else if (head.m_pt.size() >= 4 && Into(head, out, budget, false) != Result::kDone)
      return Result::kNotCut;
    CKelAreaCoord2D tail;
    tail.m_pt.assign(v.begin() + k, v.end());
    tail.m_pt.push_back(v[0]);
    if (tail.m_pt.size() == 3)
      out.push_back(tail);
    if (tail.m_pt.size() <= 3)
      return Result::kDone;
    if (!tail.IsOukata().empty())
      return Into(tail, out, budget, false);
    current = std::move(tail);
  }
}

inline Result Into(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, Budget& budget, bool known)
{
  ++budget.depth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{budget.depth};
  if (budget.depth > CKelAreaCoord2D::kTriangulateMaxDepth)
    return Result::kGaveUp;
  const std::vector<int> concave = poly.IsOukata();
  if (!concave.empty()) {
    if (!known && WholeClear(poly))
      known = true;
    for (int c : concave) {
      for (int j : poly.CutBlockSearchNearistPoint(c)) {
        const Result r = Diagonal(poly, c, j, out, budget, known);
        if (r != Result::kNotCut)
          return r;
      }
    }
    return Result::kNotCut;
  }
  if (poly.m_pt.size() < 3)
    return Result::kNotCut;
  if (poly.m_pt.size() == 3) {
    out.push_back(poly);
    return Result::kDone;
  }
  return Convex(poly, out, budget);
}

inline Result Triangulate(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out)
{
  Budget budget;
  budget.backtracksLeft =
      CKelAreaCoord2D::kTriangulateBacktracksPerVertex * poly.GetSize() + CKelAreaCoord2D::kTriangulateBacktracksFloor;
  const std::size_t before = out.size();
  const Result r = Into(poly, out, budget, false);
  if (r != Result::kDone)
    out.resize(before);
  return r;
}

}  // namespace former
