#pragma once
// The sector method's steps as first written, kept only so that tests can
// check that the faster forms give the same groups, projected faces and
// ratios, bit for bit: the sweep that divided every remaining block by
// every ray, and the projection that copied each block and fitted its
// planes whatever its top.

#include <cmath>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSphereRatioBlock.h"
#include "KelTolerance.h"

namespace sector_literal {

inline CKelCoord2D Along(const CKelCoord2D& p, double angle)
{
  return CKelCoord2D(p.m_x + std::cos(angle), p.m_y + std::sin(angle));
}

inline std::vector<CKelBlockCubeArray> DivideBlock(const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt,
                                                   double Angle, int step)
{
  const CKelCoord2D p1(chkpnt.m_x, chkpnt.m_y);
  CKelBlockCubeArray work = blocks;
  for (CKelBlockCube& block : work) {
    if (!block.IsPlaneEuqationSet(false))
      block.GetPlaneEquation(false);
    if (!block.IsPlaneEuqationSet(true))
      block.GetPlaneEquation(true);
  }
  // The corners beside the rays are joined to them first, as the calculation joins them.
  CSphereRatioBlock::JoinCornersToLines(work, p1, Angle, step);
  // Divided enlarged, as the calculation divides them, and shrunk back.
  const double scale = CSphereRatioBlock::DivisionScale(work, p1);
  if (scale > 1)
    CSphereRatioBlock::ScaleAbout(work, p1, scale);
  const auto shrunk = [&](std::vector<CKelBlockCubeArray> groups) {
    for (CKelBlockCubeArray& group : groups) {
      if (scale > 1)
        CSphereRatioBlock::ScaleAbout(group, p1, 1 / scale);
    }
    return groups;
  };
  constexpr CKelBlockCube::ChainArea kChains = CKelBlockCube::ChainArea::kKeepSlivers;
  CKelBlockCubeArray left, right;
  work.DivideBlock(nullptr, p1, Along(p1, Angle), left, right, kChains);
  if (step < 1 || step >= 180)
    return shrunk({right, left});
  std::vector<CKelBlockCubeArray> groups;
  const auto sweep = [&](CKelBlockCubeArray rest, bool rightHalf) {
    for (int a = step; a < 180; a += step) {
      CKelBlockCubeArray l, r;
      rest.DivideBlock(nullptr, p1, Along(p1, Angle + a * KelAngle::Pi / 180), l, r, kChains);
      groups.push_back(rightHalf ? l : r);
      rest = rightHalf ? r : l;
    }
    groups.push_back(rest);
  };
  sweep(right, true);
  sweep(left, false);
  return shrunk(groups);
}

inline bool AppendBlockFaces(const CSphereA& sphere, const CKelBlockCube& piece, int which, bool expand0,
                             std::vector<CSphereCoordD2DArray>& out)
{
  CKelBlockCoordArray local = piece.m_Coord;
  bool upper = false;
  for (CKelBlockCoord& v : local) {
    const CKelCoord2D p = sphere.ToLocal(CKelCoord2D(v.m_x, v.m_y));
    v.m_x = p.m_x;
    v.m_y = p.m_y;
    upper = upper || v.m_y >= KelTol::BlockPoint;
  }
  const int side = upper ? 1 : -1;
  const std::size_t n = local.size();
  for (std::size_t k = 0; k < n; ++k) {
    CSphereCoordD2DArray outline;
    const int r = sphere.CalcSide(local[k == 0 ? n - 1 : k - 1], local[k], side, which, expand0, outline);
    if (r < 0)
      return false;
    if (r == 1)
      out.push_back(outline);
  }
  return true;
}

inline std::vector<std::vector<CSphereCoordD2DArray>> GetSpherePieces(const CSphereA& sphere,
                                                                      const CKelBlockCube& block, int which,
                                                                      bool expand0)
{
  std::vector<std::vector<CSphereCoordD2DArray>> out;
  if (!sphere.m_bChkPnt || sphere.m_AngleStep < 1)
    return out;
  CKelBlockCube lowered = block;
  for (CKelBlockCoord& v : lowered.m_Coord) {
    v.m_z -= sphere.m_ChkPnt.m_z;
    v.m_zL -= sphere.m_ChkPnt.m_z;
  }
  lowered.GetPlaneEquation(false);
  lowered.GetPlaneEquation(true);
  CKelBlockCubeList pieces;
  if (lowered.IsTopSlope())
    lowered.CutTopSlope(nullptr, 0, pieces, false, true);
  else
    pieces.push_back(lowered);
  for (const CKelBlockCube& piece : pieces) {
    out.emplace_back();
    if (!AppendBlockFaces(sphere, piece, which, expand0, out.back()))
      return {};
  }
  return out;
}

inline int RegistSphereRatio2(const CSphereA& sphere, int which, bool expand0, const CKelBlockCubeArray& blocks,
                              CSphereBlkDataArrayNew& store)
{
  if (!sphere.m_bChkPnt)
    return 0;
  const CKelCoord3D& chk = sphere.m_ChkPnt;
  const auto finite = [](double v) { return std::isfinite(v); };
  if (sphere.m_AngleStep < 1 || !finite(chk.m_x) || !finite(chk.m_y) || !finite(chk.m_z))
    return 1;
  for (const CKelBlockCube& block : blocks) {
    for (const CKelBlockCoord& v : block.m_Coord) {
      if (!finite(v.m_x) || !finite(v.m_y) || !finite(v.m_z) || !finite(v.m_zL))
        return 1;
    }
    if (block.ZMax() - chk.m_z > KelTol::SkyHeight) {
      CKelBlockCube plan = block;
      plan.SetMinMax();
      if (plan.InArea(CKelCoord2D(chk.m_x, chk.m_y)) != 0)
        return 1;
    }
    for (const std::vector<CSphereCoordD2DArray>& piece : GetSpherePieces(sphere, block, which, expand0)) {
      const int r = CSphereA::RegistSphereRatioCommon(piece, store, sphere.m_bChordUnion && which >= 2);
      if (r != 0)
        return r;
    }
  }
  return 0;
}

// The sector method's ratio (CalcSphereRatio with bSansya) through the
// steps above; -100 less the code when it fails.
inline double SectorRatio(const CSphereRatioBlock& settings, int nRound, double Angle, bool bMirror,
                          const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt)
{
  CSphereRatioBlock result = settings;
  result.m_FunShape.clear();
  result.m_Block.clear();
  if (result.m_AngleStep < 1)
    return -101;
  const bool post = static_cast<unsigned>(result.m_ExpandKind) <= 1 && !result.m_bExpandInProjection;
  // The calculation starts by taking the blocks into the check point's frame.
  CSphereA sphere;
  sphere.SetChkPnt(&chkpnt, Angle);
  const CKelBlockCubeArray local = sphere.ToLocal(blocks);
  const CKelCoord3D origin(0, 0, chkpnt.m_z);
  sphere.SetChkPnt(&origin, 0);
  sphere.m_AngleStep = post ? 1 : result.m_AngleStep;
  sphere.m_Kind = 1;
  sphere.m_bMirror = bMirror;
  sphere.m_bChordUnion = true;
  for (const CKelBlockCubeArray& group : DivideBlock(local, origin, 0, result.m_AngleStep)) {
    CSphereRatioBlock part;
    part.m_AngleStep = post ? 1 : result.m_AngleStep;
    part.m_ExpandKind = post ? -1 : result.m_ExpandKind;
    part.m_bSide2 = result.m_bSide2;
    part.m_bExpandInProjection = result.m_bExpandInProjection;
    int r = 0;
    if (!group.empty()) {
      CSphereBlkDataArrayNew united;
      r = RegistSphereRatio2(sphere, part.m_ExpandKind, result.m_bExpandInProjection, group, united);
      if (r == 0 && part.m_ExpandKind >= 2)
        united.InsertChordPoints();
      if (r == 0)
        r = united.CalcRatio(nullptr, result.m_AngleStep, part.m_Block);
      if (r == 0) {
        if (post) {
          part.m_AngleStep = result.m_AngleStep;
          part.m_ExpandKind = result.m_ExpandKind;
          part.BlockExpand();
        }
        r = united.CalcSansya(nRound, part.m_Block, part.m_AngleStep, part.m_bSide2, part.m_bMergeFlag,
                              result.m_FunShape);
      }
    }
    result.m_Block.insert(result.m_Block.end(), part.m_Block.begin(), part.m_Block.end());
    if (r != 0)
      return -100.0 - r;
  }
  result.CalcRatio(true, nRound);
  return result.m_Ratio;
}

}  // namespace sector_literal
