// Block combination: merging blocks that lie on common planes and share a
// run of outline, over a whole list (the merge of two blocks is in
// CKelBlockCubeArrayCombinePair.cpp), and the union of a list's outlines.

#include <algorithm>
#include <cmath>
#include <utility>

#include "CKelAreaToWall.h"
#include "CKelBlockCubeArray.h"
#include "CKelBlockEdgeArray.h"
#include "CPrfPlanParam.h"
#include "KelTolerance.h"

namespace {

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
    TakeMergedOutline(prf, (*this)[uj], std::move(R.m_Coord));
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

void CKelBlockCubeArray::TakeMergedOutline(const CPrfPlanParam* prf, CKelBlockCube& survivor,
                                           CKelBlockCoordArray outline)
{
  if (prf != nullptr) {
    // The pair shares one PpNo; only a block with its own bottom holds its
    // bottom as floor and offset.
    const CPrfPlanItem* item = prf->GetCurProf(survivor.PpNo());
    for (CKelBlockCoord& c : outline) {
      c.SetZH(c.m_z, item);
      if (survivor.IsTyuku())
        c.SetZL(c.m_zL, item);
    }
  }
  survivor.m_Coord = std::move(outline);
  survivor.SetMinMax();
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

// The collector drops segments shorter than it can tell from a point, and
// the loops are chained by points equal within KelTol::BlockPoint: the short
// edge of a point doubled 0.1 mm away would leave a gap no loop closes, and
// one doubled closer would join the wrong ends. So the outlines are fed
// without their survey points.
void CKelBlockCubeArray::CombineBlock2(const CPrfPlanParam* /*prf*/)
{
  if (empty())
    return;
  CKelAreaToWall collector;
  for (CKelBlockCube block : *this) {
    block.DropSurveyPoints();
    for (int k = 0; k < block.GetSize(); ++k)
      collector.AddLine(block.m_Coord[static_cast<std::size_t>(block.PrevPos(k))],
                        block.m_Coord[static_cast<std::size_t>(k)]);
  }
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
