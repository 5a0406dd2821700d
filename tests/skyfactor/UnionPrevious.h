#pragma once
// The sky factor by the outline method with the union's steps in the forms
// they had before the contact search, the inside test and the chaining were
// indexed (UnionLiteral.h, and the inside test through every polygon's
// index of levels without the floors), over today's pool and projection:
// the "previous" figures of the benchmarks and the reference that the
// ratios of the faster steps are compared with bit for bit. No progress.

#include <cstddef>
#include <optional>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSpherePolyAreaIndex.h"
#include "CSphereRatioBlock.h"
#include "KelTolerance.h"
#include "UnionLiteral.h"

namespace union_previous {

using Crossing = CKelArea<CKelCoord2D>::Crossing;

inline void FlagSharedEdges(CSphereBlkDataArrayNew& u)
{
  const SphereEdgeOwners owners(u.m_PolyArea);
  union_literal::FlagSharedEdges(u, [&](std::size_t i, int a, int b, std::vector<CSearchIdxWork>& hits) {
    const CKelCoord2D ca = u.m_PolyCoord.Chart(a), cb = u.m_PolyCoord.Chart(b);
    for (const SphereEdgeOwners::Owner& owner : owners.Of(a, b)) {
      const std::size_t j = static_cast<std::size_t>(owner.m_AreaNo);
      if (j != i && union_literal::InBox(u.m_PolyArea[j], ca) && union_literal::InBox(u.m_PolyArea[j], cb))
        hits.emplace_back(owner.m_AreaNo, owner.SearchIdx(a));
    }
  });
}

inline void FlagInsideEdges(CSphereBlkDataArrayNew& u)
{
  CSpherePolyAreaArray& polys = u.m_PolyArea;
  const KelEdge::LocateTol band = CKelAreaCoord2D::InAreaBand(KelTol::SkyUnionInside, Crossing::TenthTol);
  std::vector<KelEdge::LevelIndex> levels;
  for (const CSpherePolyArea& area : polys)
    levels.emplace_back(area.m_AreaCoord.m_pt, band);
  const SphereBoxGrid grid(polys, band.box);
  std::vector<std::size_t> everyArea(polys.size());
  for (std::size_t j = 0; j < everyArea.size(); ++j)
    everyArea[j] = j;
  const auto inside = [&](std::size_t j, const CKelCoord2D& p) {
    return polys[j].m_AreaCoord.InArea(p, levels[j], KelTol::SkyUnionInside, Crossing::TenthTol);
  };
  const auto holds = [&](std::size_t j, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& mid) {
    const int r = inside(j, mid);
    return r == 1 || (r == -1 && (inside(j, a) == 1 || inside(j, b) == 1));
  };
  for (std::size_t i = 0; i < polys.size(); ++i) {
    CSpherePolyArea& area = polys[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      const CKelCoord2D a = u.m_PolyCoord.Chart(area.IdxAt(prev)), b = u.m_PolyCoord.Chart(area.IdxAt(k));
      const CKelCoord2D mid((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
      for (const std::size_t j : grid.Near(mid).value_or(everyArea)) {
        if (j != i && holds(j, a, b, mid)) {
          area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kInside;
          break;
        }
      }
    }
  }
}

inline void DeletePointInArea(CSphereBlkDataArrayNew& u)
{
  union_literal::ChartOutlines(u);
  FlagSharedEdges(u);
  FlagInsideEdges(u);
}

inline void ResetFlags(CSphereBlkDataArrayNew& u)
{
  for (CSpherePolyArea& area : u.m_PolyArea) {
    for (CSpherePolyAreaFlag& f : area.m_Idx)
      f.m_EdgeFlag = CSpherePolyAreaFlag::kKept;
    area.m_AreaCoord.m_pt.clear();
  }
}

inline int RunPhases(CSphereBlkDataArrayNew& u, bool withCrossings)
{
  if (withCrossings && union_literal::CalcCrossPoint(u, nullptr) != 0)
    return CSphereBlkDataArrayNew::kCancelled;
  DeletePointInArea(u);
  union_literal::AddLineArray(u);
  return CSphereBlkDataArrayNew::kDone;
}

inline int RetryOpenChains(CSphereBlkDataArrayNew& u)
{
  bool open = false;
  const CSphereBlkDataLineArrayArray chains = u.m_BlkLine;
  for (const CSphereBlkDataLineArray& chain : chains) {
    if (chain.IsClosed())
      continue;
    open = true;
    for (int p : chain)
      u.CheckPoint(p);
  }
  if (!open)
    return CSphereBlkDataArrayNew::kDone;
  u.m_BlkLine.clear();
  ResetFlags(u);
  RunPhases(u, false);
  if (u.CheckDupLine())
    return CSphereBlkDataArrayNew::kAmbiguous;
  return u.MergeLine();
}

inline int CalcRatio(CSphereBlkDataArrayNew& u, int step, std::vector<CSphereRatioBlockParam>& params)
{
  u.m_BlkLine.clear();
  int r = RunPhases(u, true);
  if (r != CSphereBlkDataArrayNew::kDone)
    return r;
  if (u.CheckDupLine()) {
    u.m_BlkLine.clear();
    u.m_BlkLine.m_DeleteLine.clear();
    ResetFlags(u);
    r = RunPhases(u, true);
    if (u.CheckDupLine())
      return CSphereBlkDataArrayNew::kAmbiguous;
    if (r != CSphereBlkDataArrayNew::kDone)
      return r;
  }
  u.MergeLine();
  r = RetryOpenChains(u);
  if (r != CSphereBlkDataArrayNew::kDone)
    return r;
  return u.RegistBlock(step, params);
}

// CSphereRatioBlock::CalcSphereRatio by the outline method (an expansion
// kind the outline method takes, so none after the union) with the steps
// above; the result's outlines and ratio, or -1 and its code.
struct Outcome {
  CSphereRatioBlock result;
  int code = 0;
};

inline Outcome OutlineRatio(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, double angle, bool mirror,
                            int step, int kind, bool inProjection, int nRound)
{
  Outcome out;
  out.result.m_AngleStep = step;
  out.result.m_ExpandKind = kind;
  out.result.m_bExpandInProjection = inProjection;
  // The calculation starts by taking the blocks into the check point's frame.
  CSphereA sphere;
  sphere.SetChkPnt(&point, angle);
  const CKelBlockCubeArray local = sphere.ToLocal(blocks);
  const CKelCoord3D origin(0, 0, point.m_z);
  sphere.SetChkPnt(&origin, 0);
  sphere.m_AngleStep = step;
  sphere.m_Kind = 1;
  sphere.m_bMirror = mirror;
  CSphereBlkDataArrayNew united;
  for (const CKelBlockCubeArray& group : CSphereRatioBlock::DivideBlock(local, &origin, 0, 0)) {
    if (group.empty())
      continue;
    out.code = sphere.RegistSphereRatio2(kind, inProjection, &origin, group, united);
    if (out.code != 0)
      return out;
  }
  out.code = CalcRatio(united, step, out.result.m_Block);
  if (out.code == 0)
    out.result.CalcRatio(false, nRound);
  return out;
}

}  // namespace union_previous
