#pragma once
// The sector method's steps as first written, kept only so that tests can
// check that the faster forms give the same groups, projected faces and
// traced segments, bit for bit: the sweep that divided every remaining
// block by every ray, the projection that copied each block and fitted its
// planes whatever its top, and the trace's clean-up through ordered maps.

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSpherePolyLine.h"
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
  constexpr CKelBlockCube::ChainArea kChains = CKelBlockCube::ChainArea::kKeepSlivers;
  CKelBlockCubeArray left, right;
  work.DivideBlock(nullptr, p1, Along(p1, Angle), left, right, kChains);
  if (step < 1 || step >= 180)
    return {right, left};
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
  return groups;
}

inline bool AppendBlockFaces(const CSphereA& sphere, const CKelBlockCube& piece, int which, bool expand0,
                             std::vector<CSphereCoordD2DArray>& out)
{
  CKelBlockCoordArray local = piece.m_Coord;
  bool upper = false;
  for (CKelBlockCoord& v : local) {
    const CKelCoord2D p = sphere.m_ToLocal.Conv(CKelCoord2D(v.m_x, v.m_y));
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

// Create2's clean-up before its trace: of equal segments the last stays,
// then one forward pass drops the segments with an end that meets no other.
inline std::vector<CSpherePolyLine> CleanUp(const std::vector<CSpherePolyLine>& lines)
{
  std::vector<CSpherePolyLine> unique;
  std::map<std::pair<int, int>, bool> later;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (later.emplace(std::pair(it->m_Beg, it->m_End), true).second)
      unique.push_back(*it);
  }
  std::vector<CSpherePolyLine> all(unique.rbegin(), unique.rend());
  std::map<int, int> ends;
  for (const CSpherePolyLine& l : all) {
    ++ends[l.m_Beg];
    ++ends[l.m_End];
  }
  std::vector<CSpherePolyLine> kept;
  for (const CSpherePolyLine& l : all) {
    if (ends[l.m_Beg] >= 2 && ends[l.m_End] >= 2) {
      kept.push_back(l);
      continue;
    }
    --ends[l.m_Beg];
    --ends[l.m_End];
  }
  return kept;
}

// Create2 with the clean-up above: the trace itself as it stands.
inline int Create2(CSpherePolyLineArray& lines)
{
  lines.m_OutlineIdx.clear();
  if (lines.empty())
    return CSpherePolyLineArray::kNoOutline;
  const std::vector<CSpherePolyLine> kept = CleanUp(lines);
  lines.assign(kept.begin(), kept.end());
  if (lines.empty())
    return CSpherePolyLineArray::kNoOutline;
  const auto line = [&lines](int r) -> const CSpherePolyLine& {
    return lines[static_cast<std::size_t>(r > 0 ? r - 1 : -r - 1)];
  };
  const auto startOf = [&line](int r) { return r > 0 ? line(r).m_Beg : line(r).m_End; };
  const auto endOf = [&line](int r) { return r > 0 ? line(r).m_End : line(r).m_Beg; };
  int r = lines.GetMinYIndex();
  if (r == 0)
    return CSpherePolyLineArray::kNoOutline;
  lines.m_OutlineIdx.push_back(startOf(r));
  lines.m_OutlineIdx.push_back(endOf(r));
  for (;;) {
    r = lines.Search(r);
    if (r == 0)
      return CSpherePolyLineArray::kNoOutline;
    const int next = endOf(r);
    if (next == lines.m_OutlineIdx.front())
      return CSpherePolyLineArray::kTraced;
    if (lines.m_OutlineIdx.size() > lines.size())
      return CSpherePolyLineArray::kNoOutline;
    lines.m_OutlineIdx.push_back(next);
  }
}

inline int RegistSphereRatioCommon(const std::vector<CSphereCoordD2DArray>& outlines, CSphereBlkDataArrayNew& store)
{
  if (outlines.empty())
    return 0;
  CSphereBlkDataArrayNew work;
  bool hasArea = false;
  for (const CSphereCoordD2DArray& outline : outlines) {
    CSpherePolyArea area = work.NewPolyArea();
    double sum = 0;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
      const CSphereCoordD2D& prev = outline[i == 0 ? n - 1 : i - 1];
      area.AddIdx(work.m_PolyCoord.Add(prev));
      sum += (prev.m_AE + outline[i].m_AE) * (prev.m_AD - outline[i].m_AD);
    }
    hasArea = hasArea || std::fabs(sum) > KelTol::SkyOutlineArea;
    area.CalcCrossPoint(nullptr);
    work.m_PolyArea.push_back(area);
  }
  if (!hasArea)
    return 0;
  const int r = work.CalcCrossPoint(nullptr);
  if (r != 0)
    return r;
  CSpherePolyLineArray lines;
  for (const CSpherePolyArea& area : work.m_PolyArea) {
    for (int k = 0; k < area.Size(); ++k) {
      const int a = area.IdxAt(k);
      const int b = area.IdxAt((k + 1) % area.Size());
      if (a != b)
        lines.AddLine(work.m_PolyCoord[static_cast<std::size_t>(a)], work.m_PolyCoord[static_cast<std::size_t>(b)]);
    }
  }
  const int traced = Create2(lines);
  if (traced == 0 && std::fabs(lines.GetArea()) > KelTol::SkyOutlineArea)
    store.AddPolyLine(lines);
  return traced;
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
      const int r = RegistSphereRatioCommon(piece, store);
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
  CSphereA sphere;
  sphere.SetChkPnt(&chkpnt, Angle);
  sphere.m_AngleStep = post ? 1 : result.m_AngleStep;
  sphere.m_Kind = 1;
  sphere.m_bMirror = bMirror;
  for (const CKelBlockCubeArray& group : DivideBlock(blocks, chkpnt, Angle, result.m_AngleStep)) {
    CSphereRatioBlock part;
    part.m_AngleStep = post ? 1 : result.m_AngleStep;
    part.m_ExpandKind = post ? -1 : result.m_ExpandKind;
    part.m_bSide2 = result.m_bSide2;
    part.m_bExpandInProjection = result.m_bExpandInProjection;
    int r = 0;
    if (!group.empty()) {
      CSphereBlkDataArrayNew united;
      r = RegistSphereRatio2(sphere, part.m_ExpandKind, result.m_bExpandInProjection, group, united);
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
