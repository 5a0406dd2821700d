// Block combination: merging blocks that lie on common planes and share a
// run of outline.
//
// Vocabulary
//   same      two vertices whose plan points and top heights are equal within
//             KelTol::BlockPoint and whose bottoms differ by less than it
//             (IsSameCoord2); floors, offsets and walls are not compared.
//   run       the stretch of outline two counter-clockwise blocks share; A
//             walks it forwards while B walks it backwards.
//
// The walk may step over up to two vertices of one outline, which lets a
// block merge across a vertex the other lacks, but can also step over a
// hole's corners: a merge is kept only when the merged outline's area is
// the sum of the two blocks' areas, so no merge ever swallows a hole.

#include <algorithm>
#include <cmath>

#include "CKelAreaToWall.h"
#include "CKelBlockCubeArray.h"
#include "CKelBlockEdgeArray.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

bool Same(const CKelBlockCoord& a, const CKelBlockCoord& b) { return a.IsSameCoord2(nullptr, b); }

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
CKelBlockCoord Plain(const CKelBlockCoord& c)
{
  CKelBlockCoord p(c.m_x, c.m_y, c.m_z, c.m_zL);
  p.m_OffH = c.m_z;
  p.m_OffL = c.m_zL;
  return p;
}

void AppendPlain(CKelBlockCoordArray& out, const CKelBlockCoord& c)
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
bool MatchAt(const Ring& A, const Ring& B, int& a, int& b)
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

ForwardRun WalkForward(const Ring& A, const Ring& B, int i, int j)
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
std::pair<int, int> WalkBackward(const Ring& A, const Ring& B, int i, int j)
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
CKelBlockCoordArray CopyAround(const Ring& r, int from, int to)
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
void AppendUpTo(CKelBlockCoordArray& out, const Ring& r, int from, int to)
{
  for (int idx = from, steps = 0; idx != to && steps < r.n; idx = r.Next(idx), ++steps)
    AppendPlain(out, r[idx]);
}

// Step 7's clean-up: false when the outline is not a simple polygon.
bool CleanMerged(CKelBlockCube& result)
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

bool OnPlanesOf(const CKelBlockCube& block, const CKelBlockCube& planes)
{
  return block.Check_SBlockChkPlane(false, planes.PlaneA(false), planes.PlaneB(false), planes.PlaneC(false),
                                    planes.PlaneD(false)) &&
         block.Check_SBlockChkPlane(true, planes.PlaneA(true), planes.PlaneB(true), planes.PlaneC(true),
                                    planes.PlaneD(true));
}

}  // namespace

// --- Two blocks ---------------------------------------------------------------------------------------

void CKelBlockCubeArray::CombineBlockSub(const CPrfPlanParam* prf, CKelBlockCube& X, const CKelBlockCube& Y)
{
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

bool CKelBlockCubeArray::CombineBlock(const CPrfPlanParam* prf, CKelBlockCube A, CKelBlockCube B,
                                      CKelBlockCube* result)
{
  if (result == nullptr || A.PpNo() != B.PpNo())
    return false;
  const double wholeArea = A.CalcArea() + B.CalcArea();
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
      // A block filling a notch of the other is shared whole; the notch's
      // ends then stand on a straight edge and are cleaned up as well.
      if (!CleanMerged(out))
        return false;
      if (std::fabs(out.CalcArea() - wholeArea) > KelTol::BlockAreaSign)
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

// The merge order is that of a scan from the last pair down (i from the end,
// j below it), restarted after every merge. A restart need not test again
// what the scan before it already found apart: with `tested` the lowest i
// whose pairs have all failed, only the block changed by the last merge
// (`changed`) can merge with a block at or above it; below it the scan goes
// on where it was. Pair tests are deterministic, so the merges, and their
// order, are those of the full restarts.
void CKelBlockCubeArray::CombineBlock(const CPrfPlanParam* prf)
{
  for (CKelBlockCube& block : *this) {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  std::vector<PlanBox> boxes;
  for (const CKelBlockCube& block : *this)
    boxes.emplace_back(block);

  auto merge = [&](int i, int j) {
    const auto ui = static_cast<std::size_t>(i);
    const auto uj = static_cast<std::size_t>(j);
    if (!boxes[ui].Touches(boxes[uj]) || !OnPlanesOf((*this)[ui], (*this)[uj]))
      return false;
    CKelBlockCube R;
    if (!CombineBlock(prf, (*this)[ui], (*this)[uj], &R))
      return false;
    Erase(i);
    boxes.erase(boxes.begin() + i);
    const CKelBlockCube& survivor = (*this)[uj];
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
    BuildOverWrite(j, R.m_Coord);
    boxes[uj] = PlanBox((*this)[uj]);
    return true;
  };

  int tested = Size();
  int changed = -1;
  while (Size() >= 2) {
    bool merged = false;
    for (int i = Size() - 1; i >= tested && i > changed && changed >= 0 && !merged; --i)
      merged = merge(i, changed);
    if (merged)
      continue;
    for (int i = std::min(tested, Size()) - 1; i >= 1 && !merged; --i) {
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

void CKelBlockCubeArray::CombineBlock(const CPrfPlanParam* prf, CKelBlockCubeList& list)
{
  CheckSamePoint();
  for (int i = static_cast<int>(list.size()) - 1; i >= 1; --i) {
    for (int j = i - 1; j >= 0; --j) {
      CKelBlockCube R;
      if (!CombineBlock(prf, list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)], &R))
        continue;
      list[static_cast<std::size_t>(j)].Replace(R.m_Coord);
      list[static_cast<std::size_t>(j)].SetMinMax();
      list.erase(list.begin() + i);
      break;
    }
  }
}

void CKelBlockCubeArray::AddCombineWork(CKelBlockCubeArrayList& groups, const CKelBlockCube& block)
{
  for (CKelBlockCubeArray& group : groups) {
    if (!group.empty() && OnPlanesOf(group.front(), block)) {
      group.push_back(block);
      return;
    }
  }
  CKelBlockCubeArray group;
  group.push_back(block);
  groups.push_back(std::move(group));
}

bool CKelBlockCubeArray::CheckCombineSameCoord(const CKelCoord3DEx& a, const CKelCoord3DEx& b)
{
  const double t = KelTol::BlockPlaneFit;
  return std::fabs(a.m_x - b.m_x) <= t && std::fabs(a.m_y - b.m_y) <= t && std::fabs(a.m_z - b.m_z) <= t &&
         std::fabs(a.m_zL - b.m_zL) <= t;
}

// --- The union of the outlines ------------------------------------------------------------------------

namespace {

// Closed loops of point indices; false when some loop does not close. Each
// edge is used once; cancelled (inner) edges are never used.
bool ChainLoops(const CKelBlockEdgeArray& edges, std::vector<std::vector<int>>& loops)
{
  std::vector<bool> used(edges.size());
  std::size_t remaining = 0;
  for (std::size_t k = 0; k < edges.size(); ++k) {
    used[k] = edges[k].m_bCancel;
    remaining += used[k] ? 0 : 1;
  }
  while (remaining >= 3) {
    const auto first = static_cast<std::size_t>(std::find(used.begin(), used.end(), false) - used.begin());
    std::vector<int> loop{edges[first].m_i1};
    int cur = edges[first].m_i2;
    used[first] = true;
    --remaining;
    while (cur != loop.front()) {
      std::size_t k = 0;
      while (k < edges.size() && (used[k] || edges[k].m_i1 != cur))
        ++k;
      if (k == edges.size())
        return false;
      loop.push_back(cur);
      cur = edges[k].m_i2;
      used[k] = true;
      --remaining;
    }
    loops.push_back(std::move(loop));
  }
  return true;
}

double PlaneOr0(double z) { return z == CKelBlockCube::kNoPlaneHeight ? 0.0 : z; }

}  // namespace

void CKelBlockCubeArray::CombineBlock2(const CPrfPlanParam* /*prf*/)
{
  if (empty())
    return;
  CKelAreaToWall collector;
  for (const CKelBlockCube& block : *this)
    for (int k = 0; k < block.GetSize(); ++k)
      collector.AddLine(block.m_Coord[static_cast<std::size_t>(block.PrevPos(k))],
                        block.m_Coord[static_cast<std::size_t>(k)]);
  CKelCoord2DArray points;
  CKelBlockEdgeArray edges;
  for (const CKelWallLine& line : collector.m_Lines) {
    if (!line.m_bFlag)
      edges.Add(points.Add(line.m_p1), points.Add(line.m_p2));
  }
  std::vector<std::vector<int>> loops;
  if (!ChainLoops(edges, loops))
    return;
  const CKelBlockCube planes = front();
  CKelBlockCubeArray rebuilt;
  for (const std::vector<int>& loop : loops) {
    CKelBlockCube block;
    for (int idx : loop) {
      const CKelCoord2D& p = points[static_cast<std::size_t>(idx)];
      block.Append(CKelBlockCoord(p.m_x, p.m_y, PlaneOr0(planes.Check_CalcZH(p)), PlaneOr0(planes.Check_CalcZL(p))));
    }
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    rebuilt.AddBlock(block);
  }
  std::vector<CKelBlockCube>::operator=(std::move(rebuilt));
}
