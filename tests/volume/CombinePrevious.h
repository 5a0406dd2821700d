#pragma once
// The block combination as it stood before the pair combination indexed
// its outlines: both blocks copied whole for every pair tried, every edge of
// one outline scanned against every vertex of the other, and the search for
// a first pair of same vertices over all pairs. Kept only so that tests and
// benchmarks can check the faster form against it: the same block lists,
// vertex for vertex and bit for bit, in the same order.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CPrfPlanParam.h"
#include "KelCombineArea.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace combine_previous {

namespace detail {

inline bool Same(const CKelBlockCoord& a, const CKelBlockCoord& b) { return a.IsSameCoord2(nullptr, b); }

// Positions around one outline, wrapping.
struct Ring {
  const CKelBlockCoordArray& v;
  int n;
  explicit Ring(const CKelBlockCube& block) : v(block.m_Coord), n(block.GetSize()) {}
  int Next(int i) const { return (i + 1) % n; }
  int Prev(int i) const { return (i + n - 1) % n; }
  const CKelBlockCoord& operator[](int i) const { return v[static_cast<std::size_t>(i)]; }
};

// A vertex that keeps only its point and heights; the heights are their own
// offsets until the caller splits them again.
inline CKelBlockCoord Plain(const CKelBlockCoord& c)
{
  CKelBlockCoord p(c.m_x, c.m_y, c.m_z, c.m_zL);
  p.m_OffH = c.m_z;
  p.m_OffL = c.m_zL;
  return p;
}

inline void AppendPlain(CKelBlockCoordArray& out, const CKelBlockCoord& c)
{
  CKelBlockCoord p = Plain(c);
  if (out.empty() || !(out.back() == p))
    out.push_back(std::move(p));
}

struct ForwardRun {
  enum class End { kEnded, kWholeA, kWholeB, kMismatch } end = End::kEnded;
  int eA = 0;  // last matched pair of the run
  int eB = 0;
};

// Step 2 of the walk: the match at (a, b), stepping over up to two vertices.
inline bool MatchAt(const Ring& A, const Ring& B, int& a, int& b)
{
  if (Same(A[a], B[b]))
    return true;
  if (Same(A[a], B[B.Prev(b)])) {
    b = B.Prev(b);
  } else if (Same(A[a], B[B.Prev(B.Prev(b))])) {
    b = B.Prev(B.Prev(b));
  } else if (Same(A[A.Next(a)], B[b])) {
    a = A.Next(a);
  } else if (Same(A[A.Next(A.Next(a))], B[b])) {
    a = A.Next(A.Next(a));
  } else {
    return false;
  }
  return true;
}

inline ForwardRun WalkForward(const Ring& A, const Ring& B, int i, int j)
{
  int a = i;
  int b = j;
  CKelBlockCoordArray pa;
  CKelBlockCoordArray pb;
  for (int k = 1;; ++k) {
    if (!MatchAt(A, B, a, b))
      return {ForwardRun::End::kEnded, A.Prev(a), B.Next(b)};
    pa.push_back(A[a]);
    pb.push_back(B[b]);
    const int lastA = a;
    const int lastB = b;
    a = A.Next(a);
    b = B.Prev(b);
    if (k == A.n || k == B.n) {
      const bool sameArea = std::fabs(CKelBlockCube::CalcArea(pa) - CKelBlockCube::CalcArea(pb)) <= KelTol::BlockMinArea;
      if (!sameArea)
        return {ForwardRun::End::kMismatch, 0, 0};
      return {k == A.n ? ForwardRun::End::kWholeA : ForwardRun::End::kWholeB, lastA, lastB};
    }
  }
}

// The first pair of the run: back from (i, j) without stepping over.
inline std::pair<int, int> WalkBackward(const Ring& A, const Ring& B, int i, int j)
{
  int a = i;
  int b = j;
  for (int step = 0; step < A.n; ++step) {  // bounded: the run cannot exceed A
    const int pa = A.Prev(a);
    const int nb = B.Next(b);
    if (!Same(A[pa], B[nb]))
      break;
    a = pa;
    b = nb;
  }
  return {a, b};
}

// Full copies of ring r from `from` forwards to `to`, both included.
inline CKelBlockCoordArray CopyAround(const Ring& r, int from, int to)
{
  CKelBlockCoordArray out;
  for (int idx = from, steps = 0; steps < r.n; idx = r.Next(idx), ++steps) {
    out.push_back(r[idx]);
    if (idx == to)
      break;
  }
  return out;
}

// Plain copies of ring r from `from` forwards up to, not including, `to`.
inline void AppendUpTo(CKelBlockCoordArray& out, const Ring& r, int from, int to)
{
  for (int idx = from, steps = 0; idx != to && steps < r.n; idx = r.Next(idx), ++steps)
    AppendPlain(out, r[idx]);
}

// Step 7's clean-up: false when the outline is not a simple polygon.
inline bool CleanMerged(CKelBlockCube& result)
{
  result.EraseSamePoint();
  if (!result.CheckSameCoord() || !result.CheckCross())
    return false;
  result.DeleteOnLine();
  return result.GetSize() > 2;
}

struct PlanBox {
  double xmin, xmax, ymin, ymax;
  explicit PlanBox(const CKelBlockCube& b)
      : xmin(HUGE_VAL), xmax(-HUGE_VAL), ymin(HUGE_VAL), ymax(-HUGE_VAL)
  {
    for (const CKelBlockCoord& c : b.m_Coord) {
      xmin = std::min(xmin, c.m_x);
      xmax = std::max(xmax, c.m_x);
      ymin = std::min(ymin, c.m_y);
      ymax = std::max(ymax, c.m_y);
    }
  }
  // Blocks whose boxes are apart cannot share a vertex, so they never merge.
  bool Touches(const PlanBox& o) const
  {
    const double t = KelTol::BlockPoint;
    return xmin <= o.xmax + t && o.xmin <= xmax + t && ymin <= o.ymax + t && o.ymin <= ymax + t;
  }
};

inline bool OnPlanesOf(const CKelBlockCube& block, const CKelBlockCube& planes)
{
  return block.Check_SBlockChkPlane(false, planes.PlaneA(false), planes.PlaneB(false), planes.PlaneC(false),
                                    planes.PlaneD(false)) &&
         block.Check_SBlockChkPlane(true, planes.PlaneA(true), planes.PlaneB(true), planes.PlaneC(true),
                                    planes.PlaneD(true));
}

}  // namespace detail

inline void CombineBlockSub(const CPrfPlanParam* prf, CKelBlockCube& X, const CKelBlockCube& Y)
{
  using namespace detail;
  const CPrfPlanItem* item = prf != nullptr ? prf->GetCurProf(X.PpNo()) : nullptr;
  const double t = KelTol::BlockPoint;
  const PlanBox yBox(Y);
  for (int e = 0; e < X.GetSize(); ++e) {  // edges made by insertions are visited too
    // No vertex of Y lies inside an edge whose box it does not come near.
    const CKelBlockCoord& a = X.m_Coord[static_cast<std::size_t>(e)];
    const CKelBlockCoord& b = X.m_Coord[static_cast<std::size_t>(X.NextPos(e))];
    const double margin = 2 * t;
    if (std::max(a.m_x, b.m_x) + margin < yBox.xmin || std::min(a.m_x, b.m_x) - margin > yBox.xmax ||
        std::max(a.m_y, b.m_y) + margin < yBox.ymin || std::min(a.m_y, b.m_y) - margin > yBox.ymax)
      continue;
    // The edge's frame, worked out again only when an insertion shortens it.
    bool framed = false;
    double c = 0;
    double s = 0;
    double L = 0;
    for (const CKelBlockCoord& P : Y.m_Coord) {
      const CKelBlockCoord& start = X.m_Coord[static_cast<std::size_t>(e)];
      const CKelBlockCoord& end = X.m_Coord[static_cast<std::size_t>(X.NextPos(e))];
      if (!framed && !CalcCosSin(start, end, &c, &s, &L))
        break;
      framed = true;
      const double dx = P.m_x - start.m_x;
      const double dy = P.m_y - start.m_y;
      const double along = c * dx + s * dy;
      const double across = c * dy - s * dx;
      // Later vertices of Y are tested against the shortened edge.
      if (t <= along && along <= L - t && -t < across && across < t) {
        X.InsertCoord(item, e, P);
        framed = false;
      }
    }
  }
}

inline bool CombinePair(const CPrfPlanParam* prf, CKelBlockCube A, CKelBlockCube B, CKelBlockCube* result)
{
  using namespace detail;
  if (result == nullptr || A.PpNo() != B.PpNo())
    return false;
  const CKelCoord2D origin = kel_combine::AreaOrigin(A);
  const double wholeArea = kel_combine::AreaFrom(A.m_Coord, origin) + kel_combine::AreaFrom(B.m_Coord, origin);
  CombineBlockSub(prf, A, B);
  CombineBlockSub(prf, B, A);
  if (A.GetSize() == 0 || B.GetSize() == 0)
    return false;
  const Ring ra(A);
  const Ring rb(B);
  for (int i = 0; i < ra.n; ++i) {
    for (int j = 0; j < rb.n; ++j) {
      if (!Same(ra[i], rb[j]))
        continue;
      const ForwardRun run = WalkForward(ra, rb, i, j);
      CKelBlockCoordArray merged;
      switch (run.end) {
      case ForwardRun::End::kMismatch:
        return false;
      case ForwardRun::End::kWholeA:
        merged = CopyAround(rb, j, run.eB);
        break;
      case ForwardRun::End::kWholeB:
        merged = CopyAround(ra, run.eA, i);
        break;
      case ForwardRun::End::kEnded: {
        const auto [sA, sB] = WalkBackward(ra, rb, i, j);
        if (Same(ra[run.eA], ra[sA]))
          continue;  // the blocks touch at one point only
        AppendUpTo(merged, ra, run.eA, sA);
        AppendUpTo(merged, rb, sB, run.eB);
        break;
      }
      }
      CKelBlockCube out;
      out.m_Coord = std::move(merged);
      const bool partsKeepArea = kel_combine::KeepsArea(out.m_Coord, origin, wholeArea);
      // A block filling a notch of the other is shared whole; the notch's
      // ends then stand on a straight edge and are cleaned up as well.
      if (!CleanMerged(out))
        return false;
      if (!partsKeepArea && !kel_combine::KeepsArea(out.m_Coord, origin, wholeArea))
        return false;
      out.SetType();
      out.SetPpNo(nullptr, 0, -1);
      out.SetMark(false);
      *result = std::move(out);
      return true;
    }
  }
  return false;
}

// --- The list ----------------------------------------------------------------------------------------

// Block j takes the merged outline R of blocks i and j, and block i goes.
inline void TakeMerged(CKelBlockCubeArray& list, const CPrfPlanParam* prf, int i, int j, CKelBlockCube& R)
{
  list.Erase(i);
  const CKelBlockCube& survivor = list[static_cast<std::size_t>(j)];
  if (prf != nullptr) {
    // The pair shares one PpNo; only a block with its own bottom
    // holds its bottom as floor and offset.
    const CPrfPlanItem* item = prf->GetCurProf(survivor.PpNo());
    for (CKelBlockCoord& c : R.m_Coord) {
      c.SetZH(c.m_z, item);
      if (survivor.IsTyuku())
        c.SetZL(c.m_zL, item);
    }
  }
  list.BuildOverWrite(j, R.m_Coord);
}

// The merge order is that of a scan from the last pair down (i from the end,
// j below it), restarted after every merge. A restart need not test again
// what the scan before it already found apart: with `tested` the lowest i
// whose pairs have all failed, only the block changed by the last merge
// (`changed`) can merge with a block at or above it; below it the scan goes
// on where it was. Pair tests are deterministic, so the merges, and their
// order, are those of the full restarts.
inline void Combine(CKelBlockCubeArray& list, const CPrfPlanParam* prf)
{
  for (CKelBlockCube& block : list) {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  std::vector<detail::PlanBox> boxes;
  for (const CKelBlockCube& block : list)
    boxes.emplace_back(block);

  auto merge = [&](int i, int j) {
    const auto ui = static_cast<std::size_t>(i);
    const auto uj = static_cast<std::size_t>(j);
    if (!boxes[ui].Touches(boxes[uj]) || !detail::OnPlanesOf(list[ui], list[uj]))
      return false;
    CKelBlockCube R;
    if (!CombinePair(prf, list[ui], list[uj], &R))
      return false;
    TakeMerged(list, prf, i, j, R);
    boxes.erase(boxes.begin() + i);
    boxes[uj] = detail::PlanBox(list[uj]);
    return true;
  };

  int tested = list.Size();
  int changed = -1;
  while (list.Size() >= 2) {
    bool merged = false;
    for (int i = list.Size() - 1; i >= tested && i > changed && changed >= 0 && !merged; --i)
      merged = merge(i, changed);
    if (merged)
      continue;
    for (int i = std::min(tested, list.Size()) - 1; i >= 1 && !merged; --i) {
      for (int j = i - 1; j >= 0; --j) {
        if (merge(i, j)) {
          tested = i;
          changed = j;
          merged = true;
          break;
        }
      }
    }
    if (!merged)
      break;
  }
}

}  // namespace combine_previous
